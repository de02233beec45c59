#include "model/Palette.h"

#include "TestSupport.h"
#include "document/CFacetoDoc.h"
#include "formats/PaletteFiles.h"

#include <unistd.h>

using namespace faceto;
using namespace faceto::test;

namespace {

std::array<int, 3> rgb(const std::array<uint8_t, PALETTE_BYTES>& p, int i) {
    return {p[size_t(i) * 3], p[size_t(i) * 3 + 1], p[size_t(i) * 3 + 2]};
}

// Runs a test from inside a folder, as the editor looks for its files in the current folder.
class InFolder {
public:
    explicit InFolder(const std::filesystem::path& dir) : old_(std::filesystem::current_path()) {
        std::filesystem::current_path(dir);
    }
    ~InFolder() { std::filesystem::current_path(old_); }

private:
    std::filesystem::path old_;
};

} // namespace

TEST(Palette, BuiltInPaletteHasItsTellingEntries) {
    const auto& p = builtInPalette();
    const int greys[16] = {0, 15, 31, 47, 63, 75, 91, 107, 123, 139, 155, 171, 187, 203, 219, 235};
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ((std::array<int, 3>{greys[i], greys[i], greys[i]}), rgb(p, i));
    }
    EXPECT_EQ((std::array<int, 3>{0, 0, 255}), rgb(p, 208));
    EXPECT_EQ((std::array<int, 3>{127, 191, 255}), rgb(p, 244));
    EXPECT_EQ((std::array<int, 3>{255, 0, 0}), rgb(p, 251));
    EXPECT_EQ((std::array<int, 3>{255, 255, 255}), rgb(p, 254));
    EXPECT_EQ((std::array<int, 3>{159, 91, 83}), rgb(p, 255));
}

TEST(Palette, BuiltInColormapShadesAsAGameExpects) {
    const PaletteTables t = PaletteTables::builtIn();
    for (int c = 0; c < 8; ++c) {
        EXPECT_EQ(2 * c, t.shade(0, c)) << "row 0 doubles the grey ramp";
    }
    for (int c = 0; c < 224; ++c) {
        EXPECT_EQ(0, t.shade(63, c)) << "row 63 is black";
    }
    for (int row = 0; row < 64; ++row) {
        for (int c = 224; c < 256; ++c) {
            ASSERT_EQ(c, t.shade(row, c)) << "unshaded colours";
        }
    }
    // Rows 31 and 32 keep nearly every colour, and what changes moves to a colour close by.
    for (int row : {31, 32}) {
        int changed = 0;
        for (int c = 0; c < 224; ++c) {
            if (t.shade(row, c) != c) {
                ++changed;
                const auto a = rgb(t.palette, c);
                const auto b = rgb(t.palette, t.shade(row, c));
                EXPECT_LE(std::abs(a[0] - b[0]) + std::abs(a[1] - b[1]) + std::abs(a[2] - b[2]), 24) << c;
            }
        }
        EXPECT_LT(changed, 40) << "row " << row;
    }
    // Brightness falls with the row.
    const auto brightness = [&](int row) {
        int sum = 0;
        for (int c = 0; c < 224; ++c) {
            const auto v = rgb(t.palette, t.shade(row, c));
            sum += v[0] + v[1] + v[2];
        }
        return sum;
    };
    for (int row = 1; row < 64; row += 7) {
        EXPECT_LT(brightness(row), brightness(row - 1));
    }
}

TEST(Palette, FilesReplaceAPrefixOfTheTables) {
    TempDir dir;
    PaletteTables t = PaletteTables::builtIn();
    EXPECT_FALSE(loadPalette(t, dir.path("palette.lmp"))); // missing: unchanged
    EXPECT_EQ(builtInPalette(), t.palette);

    writeBytes(dir.path("palette.lmp"), std::vector<uint8_t>(300, 7));
    ASSERT_TRUE(loadPalette(t, dir.path("palette.lmp")));
    EXPECT_EQ((std::array<int, 3>{7, 7, 7}), rgb(t.palette, 99));
    EXPECT_EQ(rgb(builtInPalette(), 100), rgb(t.palette, 100));

    std::vector<uint8_t> colormap(16385, 3);
    colormap.back() = 99;
    writeBytes(dir.path("colormap.lmp"), colormap);
    ASSERT_TRUE(loadColormap(t, dir.path("colormap.lmp")));
    EXPECT_EQ(3, t.colormap.back());

    // Without a path the files are looked for in the current folder.
    PaletteTables fromFolder = PaletteTables::builtIn();
    InFolder inside(dir.dir());
    EXPECT_TRUE(loadPalette(fromFolder));
    EXPECT_TRUE(loadColormap(fromFolder));
    EXPECT_EQ(7, fromFolder.palette[0]);
}

TEST(Palette, QuakeSkinsTakeTheGamePaletteOrTheProcessPalette) {
    TempDir dir;
    Model model;
    model.skins.resize(2);
    PaletteTables tables = PaletteTables::builtIn();
    tables.palette[3 * 5] = 77; // the process palette differs from the built-in one
    MemoryProfile profile;
    // What opening a Quake model does with its skins.
    auto applyQuakePalette = [](Model& m, const Profile& p, const PaletteTables& t) {
        applyPalette(m, paletteFileOver(t.palette, quakePalettePath(p)));
    };

    // No palette file where the setting points: the process palette is used.
    profile.writeString("games\\quake", "palette", dir.path("nowhere.lmp"));
    applyQuakePalette(model, profile, tables);
    ASSERT_EQ(256u, model.skins[1].palette.size());
    EXPECT_EQ((PaletteEntry{tables.palette[17], tables.palette[16], 77, 0}), model.skins[1].palette[5]);

    std::vector<uint8_t> game(768);
    for (size_t i = 0; i < game.size(); ++i) {
        game[i] = uint8_t(i % 251);
    }
    writeBytes(dir.path("q.lmp"), game);
    profile.writeString("games\\quake", "palette", "  " + dir.path("q.lmp") + "  ");
    applyQuakePalette(model, profile, tables);
    EXPECT_EQ((PaletteEntry{game[5], game[4], game[3], 0}), model.skins[0].palette[1]);

    // A blank setting means games/quake/palette.lmp under the current folder.
    std::filesystem::create_directories(dir.dir() / "games" / "quake");
    writeBytes((dir.dir() / "games" / "quake" / "palette.lmp").string(), std::vector<uint8_t>(768, 9));
    profile.writeString("games\\quake", "palette", "   ");
    EXPECT_EQ("games/quake/palette.lmp", quakePalettePath(profile));
    InFolder inside(dir.dir());
    applyQuakePalette(model, profile, tables);
    EXPECT_EQ((PaletteEntry{9, 9, 9, 0}), model.skins[0].palette[200]);
}
