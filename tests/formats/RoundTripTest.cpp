#include "TestSupport.h"
#include "document/DocumentEdit.h"
#include "formats/FrameNames.h"
#include "formats/Md2Writer.h"
#include "formats/NativeFormat.h"
#include "formats/PaletteFiles.h"
#include "formats/Pcx.h"
#include "model/DerivedData.h"

#include <filesystem>
#include <set>

using namespace faceto;
using namespace faceto::test;

namespace {

namespace fs = std::filesystem;

std::vector<fs::path> realModels(std::initializer_list<const char*> folders) {
    std::vector<fs::path> out;
    const fs::path root = FACETO_REALDATA_DIR;
    for (const char* folder : folders) {
        if (!fs::exists(root / folder)) {
            continue;
        }
        for (const auto& entry : fs::recursive_directory_iterator(root / folder)) {
            const std::string ext = entry.path().extension().string();
            if (ext == ".md2" || ext == ".mdl" || ext == ".md3" || ext == ".3do" || ext == ".3DO" ||
                ext == ".gltf") {
                out.push_back(entry.path());
            }
        }
    }
    std::sort(out.begin(), out.end());
    return out;
}

// Opens `in` as the editor does and saves it as `out`; the bytes of `out`.
std::vector<uint8_t> convert(const std::string& in, const std::string& out) {
    DocFixture f;
    if (!f.doc->onOpenDocument(in)) {
        ADD_FAILURE() << in << ": " << (f.host.messages.empty() ? "" : f.host.messages.back());
        return {};
    }
    EXPECT_EQ(CFacetoDoc::SaveAsResult::Saved, f.doc->saveAs(out)) << in << " -> " << out;
    return readBytes(out);
}

int32_t word32(const std::vector<uint8_t>& b, size_t at) {
    return int32_t(uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 |
                   uint32_t(b[at + 3]) << 24);
}

ModelData wavyModel(int frames) {
    std::mt19937 rng(5);
    ModelData data = makeModel(30, randomTriangles(rng, 30, 40, false), frames);
    for (Frame& f : data.frames) {
        for (FrameVertex& p : f.positions) {
            p = {float(rng() % 10000) / 77.0f, float(rng() % 10000) / 31.0f - 50.0f,
                 float(rng() % 1000) / 9.0f};
        }
    }
    for (Triangle& t : data.model.triangles) {
        for (auto& st : t.st) {
            st = {float(rng() % 6400) / 100.0f, float(rng() % 3200) / 100.0f};
        }
    }
    data.source.skinWidth = 64;
    data.source.skinHeight = 32;
    return data;
}

} // namespace

// An unedited real model saved back is the file it was, directly or through a native file; every conversion
// to a Quake format, repeated ten times from its own output, gives the bytes of the first one.
TEST(RoundTrip, RealModelsSaveBackByteForByteAndConversionsSettle) {
    const std::vector<fs::path> models = realModels({"md2", "mdl", "md3", "3do", "gltf"});
    if (models.empty()) {
        GTEST_SKIP() << "no real data";
    }
    TempDir dir;
    for (const fs::path& model : models) {
        const std::string ext = model.extension().string();
        if (ext == ".md2" || ext == ".mdl" || ext == ".md3") {
            const std::string copy = dir.path("back" + ext);
            fs::copy_file(model, copy, fs::copy_options::overwrite_existing);
            fs::permissions(copy, fs::perms::owner_write, fs::perm_options::add);
            DocFixture f;
            ASSERT_TRUE(f.doc->onOpenDocument(copy)) << model;
            ASSERT_EQ(CFacetoDoc::SaveResult::Saved, f.doc->save()) << model;
            EXPECT_EQ(readBytes(model.string()), readBytes(copy)) << model << " saved back";
            // A native file keeps what a save back needs: through one the model is its file again.
            const std::string native = dir.path(model.stem().string() + ".fm");
            ASSERT_FALSE(convert(model.string(), native).empty()) << model;
            EXPECT_EQ(readBytes(model.string()), convert(native, dir.path("again" + ext)))
                << model << " through a native file";
        }
        for (const char* to : {".md2", ".mdl", ".md3"}) {
            const std::string first = dir.path(model.stem().string() + "-1" + to);
            const std::vector<uint8_t> bytes = convert(model.string(), first);
            ASSERT_FALSE(bytes.empty()) << model << to;
            std::string previous = first;
            for (int cycle = 2; cycle <= 10; ++cycle) {
                const std::string next = dir.path(model.stem().string() + "-" + std::to_string(cycle) + to);
                ASSERT_EQ(bytes, convert(previous, next)) << model << " to " << to << ", cycle " << cycle;
                previous = next;
            }
        }
    }
}

// Re-saving never moves a vertex: a position already on its frame's grid packs to the byte it came
// from, and an edit repacks only the frame it changed.
TEST(RoundTrip, SavesDoNotDriftAndAnEditRepacksOnlyItsFrame) {
    TempDir dir;
    ModelData data = wavyModel(3);
    writeNative(dir.path("m.fm"), data.model, data.frames, data.source);
    const std::vector<uint8_t> first = convert(dir.path("m.fm"), dir.path("a.md2"));
    DocFixture f;
    ASSERT_TRUE(f.doc->onOpenDocument(dir.path("a.md2")));
    const std::vector<Frame> read = f.doc->frames();
    for (int save = 0; save < 5; ++save) {
        ASSERT_EQ(CFacetoDoc::SaveResult::Saved, f.doc->save());
        DocFixture again;
        ASSERT_TRUE(again.doc->onOpenDocument(dir.path("a.md2")));
        ASSERT_EQ(read, again.doc->frames()) << "save " << save;
    }
    EXPECT_EQ(first, readBytes(dir.path("a.md2")));

    // Moving one vertex of frame 1 far out changes that frame's grid; frames 0 and 2 keep their bytes.
    f.doc->setCurrentFrame(1);
    moveVertex(*f.doc, 4, {500, 500, 500});
    ASSERT_EQ(CFacetoDoc::SaveResult::Saved, f.doc->save());
    const std::vector<uint8_t> edited = readBytes(dir.path("a.md2"));
    ASSERT_EQ(first.size(), edited.size());
    const size_t frames = size_t(word32(first, 56));
    const size_t frameSize = size_t(word32(first, 16));
    for (size_t fr : {size_t(0), size_t(2)}) {
        EXPECT_TRUE(std::equal(first.begin() + std::ptrdiff_t(frames + fr * frameSize),
                               first.begin() + std::ptrdiff_t(frames + (fr + 1) * frameSize),
                               edited.begin() + std::ptrdiff_t(frames + fr * frameSize)))
            << "frame " << fr;
    }
    DocFixture back;
    ASSERT_TRUE(back.doc->onOpenDocument(dir.path("a.md2")));
    for (int a = 0; a < 3; ++a) {
        EXPECT_NEAR(500.0f, back.doc->frames()[1].positions[4][a], 1e-3f); // the top of the new grid
    }
    for (size_t v = 0; v < 30; ++v) {
        for (int a = 0; a < 3; ++a) {
            // Every other vertex within half a step of the new grid.
            const float step = (500 - -50.0f) / 255;
            EXPECT_NEAR(read[1].positions[v][a], back.doc->frames()[1].positions[v][a], v == 4 ? 1e9f : step);
        }
    }
}

// Skin coordinates are stored as the nearest texel; frame names too long for the field stay apart and
// keep their animations.
TEST(RoundTrip, SkinCoordinatesRoundAndLongFrameNamesKeepTheirAnimations) {
    TempDir dir;
    ModelData data = wavyModel(24);
    for (int k = 0; k < 12; ++k) {
        data.frames[size_t(k)].name = "ArmatureAction" + std::to_string(k + 1);
        data.frames[size_t(k + 12)].name = "ArmatureAction." + std::to_string(k + 1);
    }
    writeNative(dir.path("m.fm"), data.model, data.frames, data.source);
    for (const char* ext : {".md2", ".mdl"}) {
        DocFixture f;
        ASSERT_TRUE(f.doc->onOpenDocument(dir.path("m.fm")));
        ASSERT_EQ(CFacetoDoc::SaveAsResult::Saved, f.doc->saveAs(dir.path(std::string("m") + ext)));
        ASSERT_EQ(1u, f.host.messages.size()) << ext;
        EXPECT_NE(std::string::npos,
                  f.host.messages[0].find("12 frame names were shortened to 16 characters"))
            << f.host.messages[0];
        DocFixture back;
        ASSERT_TRUE(back.doc->onOpenDocument(dir.path(std::string("m") + ext)));
        ASSERT_EQ(2u, back.doc->animations().size()) << ext;
        EXPECT_EQ(12u, back.doc->animations()[0].frameIndices.size());
        EXPECT_EQ(12u, back.doc->animations()[1].frameIndices.size());
        std::set<std::string> names;
        for (const Frame& fr : back.doc->frames()) {
            EXPECT_LE(fr.name.size(), 16u);
            names.insert(fr.name);
        }
        EXPECT_EQ(24u, names.size()) << ext;
        for (size_t t = 0; t < data.model.triangles.size(); ++t) {
            for (size_t c = 0; c < 3; ++c) {
                for (size_t k = 0; k < 2; ++k) {
                    EXPECT_LE(
                        std::abs(data.model.triangles[t].st[c][k] - back.doc->model().triangles[t].st[c][k]),
                        0.5f)
                        << ext;
                }
            }
        }
    }

    // Names that fit are kept; an animation name is cut once for all its frames; names without a number
    // are cut apart from one another.
    std::vector<Frame> frames;
    for (const char* n : {"run1", "averyveryverylongname1", "averyveryverylongname12",
                          "averyveryverylongnamX1", "nonumberbutfartoolong", "nonumberbutfartoolongtoo"}) {
        frames.emplace_back(n);
    }
    const FittedNames fitted = fitFrameNames(frames, 16);
    EXPECT_EQ((std::vector<std::string>{"run1", "averyveryveryl1", "averyveryveryl12", "averyveryverylo1",
                                        "nonumberbutfarto", "nonumberbutfart~"}),
              fitted.names);
    EXPECT_EQ("5 frame names were shortened to 16 characters: animation \"averyveryverylongname\" as "
              "\"averyveryveryl\", \"averyveryverylongnamX\" as \"averyveryverylo\"",
              fitted.notice);
}

namespace {

Skin pictureSkin(int bits, int width, int height, uint8_t fill) {
    Skin s;
    s.imageWidth = width;
    s.imageHeight = height;
    s.bitsPerPixel = bits;
    s.pixels.assign(size_t(s.stride()) * size_t(height), fill);
    if (bits == 8) {
        s.palette.assign(256, PaletteEntry{fill, fill, fill, 0});
    }
    return s;
}

std::vector<std::string> storedSkinNames(const std::string& md2) {
    const std::vector<uint8_t> b = readBytes(md2);
    std::vector<std::string> names;
    for (int32_t i = 0; i < word32(b, 20); ++i) {
        names.emplace_back(reinterpret_cast<const char*>(&b[size_t(word32(b, 44) + 64 * i)]));
    }
    return names;
}

} // namespace

// A skin the file names but whose picture is not found stays in the file, where it stood, through Save
// and through a conversion to another .md2.
TEST(RoundTrip, SkinsNamedButNotFoundAreKept) {
    TempDir dir;
    ModelData data = makeModel(3, {tri(0, 1, 2)}, 1);
    data.source.hasSkins = 1;
    writeBytes(dir.path("found.pcx"), toVector(encodeSkinPcx(pictureSkin(8, 4, 4, 3))));
    const std::vector<std::string> stored{"models/x/skin.bmp", "found.pcx", "models/x/other.bmp"};
    writeBytes(dir.path("m.md2"), toVector(*encodeMd2(data.model, data.frames, data.source, stored)));
    DocFixture f;
    ASSERT_TRUE(f.doc->onOpenDocument(dir.path("m.md2")));
    ASSERT_EQ(1u, f.doc->model().skins.size());
    EXPECT_EQ((std::vector<std::string>{"models/x/skin.bmp", "models/x/other.bmp"}),
              missingSkinNames(f.doc->model(), f.doc->source()));
    ASSERT_EQ(CFacetoDoc::SaveAsResult::Saved, f.doc->saveAs(dir.path("copy.md2")));
    EXPECT_EQ((std::vector<std::string>{"models/x/skin.bmp", "skin0.PCX", "models/x/other.bmp"}),
              storedSkinNames(dir.path("copy.md2")));
    ASSERT_EQ(CFacetoDoc::SaveResult::Saved, f.doc->save());
    EXPECT_EQ(stored, storedSkinNames(dir.path("m.md2")));
}

// Quake skins are bare indices: without a palette set up they take Quake's own, Hexen II's when that is
// chosen, and the user is told which.
TEST(RoundTrip, QuakeSkinsTakeTheQuakePaletteUnlessAnotherIsChosen) {
    const fs::path real = fs::path(FACETO_REALDATA_DIR) / "lmp" / "palette.lmp";
    if (fs::exists(real)) {
        const std::vector<uint8_t> bytes = readBytes(real.string());
        EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), quakePalette().begin(), quakePalette().end()));
    }
    TempDir dir;
    ModelData data = makeModel(3, {tri(0, 1, 2)}, 1);
    data.model.skins = {pictureSkin(8, 4, 2, 0)};
    for (size_t i = 0; i < 8; ++i) {
        data.model.skins[0].pixels[i] = uint8_t(250 + i % 6);
    }
    data.source.hasSkins = 1;
    writeNative(dir.path("m.fm"), data.model, data.frames, data.source);
    DocFixture native;
    ASSERT_TRUE(native.doc->onOpenDocument(dir.path("m.fm")));
    DocumentEdit::model(*native.doc)
        .skins[0]
        .palette.clear(); // indices only: they keep their numbers in any palette
    ASSERT_EQ(CFacetoDoc::SaveAsResult::Saved, native.doc->saveAs(dir.path("q.mdl")));

    DocFixture quake;
    ASSERT_TRUE(quake.doc->onOpenDocument(dir.path("q.mdl")));
    const std::vector<PaletteEntry>& p = quake.doc->model().skins[0].palette;
    ASSERT_EQ(256u, p.size());
    for (size_t i = 0; i < 256; ++i) {
        ASSERT_EQ(
            (PaletteEntry{quakePalette()[i * 3 + 2], quakePalette()[i * 3 + 1], quakePalette()[i * 3], 0}),
            p[i]);
    }
    EXPECT_EQ(std::vector<std::string>{"skins in the built-in Quake palette"}, quake.host.notes);

    std::vector<uint8_t> hexen(768);
    for (size_t i = 0; i < 768; ++i) {
        hexen[i] = uint8_t(255 - i / 3);
    }
    writeBytes(dir.path("hexen.lmp"), hexen);
    DocFixture h2;
    h2.profile.writeString("games\\quake", "modelPalette", "hexen2");
    h2.profile.writeString("games\\hexen2", "palette", dir.path("hexen.lmp"));
    ASSERT_TRUE(h2.doc->onOpenDocument(dir.path("q.mdl")));
    EXPECT_EQ((PaletteEntry{5, 5, 5, 0}), h2.doc->model().skins[0].palette[250]);
    EXPECT_EQ(std::vector<std::string>{"skins in the Hexen II palette " + dir.path("hexen.lmp")},
              h2.host.notes);
    // Written back in the palette it was read in, the skin keeps its indices.
    ASSERT_EQ(CFacetoDoc::SaveResult::Saved, h2.doc->save());
    DocFixture again;
    again.profile.writeString("games\\quake", "modelPalette", "hexen2");
    again.profile.writeString("games\\hexen2", "palette", dir.path("hexen.lmp"));
    ASSERT_TRUE(again.doc->onOpenDocument(dir.path("q.mdl")));
    EXPECT_EQ(h2.doc->model().skins[0].pixels, again.doc->model().skins[0].pixels);
}

// Quake 2 reads only 8-bit skins: a true-colour skin goes out in the game's palette when the base folder
// has it, in true colour with a word for the user otherwise, and never silently in 8 bits without it.
TEST(RoundTrip, TrueColourSkinsOfAnMd2GoOutInQuake2sPaletteWhenItIsThere) {
    TempDir dir;
    ModelData data = makeModel(3, {tri(0, 1, 2)}, 1);
    Skin rgb = pictureSkin(24, 2, 1, 0);
    rgb.pixels = {10, 20, 200, 250, 250, 250, 0, 0}; // red-ish blue-ish as stored (red, green, blue)
    data.model.skins = {rgb};
    data.source.hasSkins = 1;
    writeNative(dir.path("m.fm"), data.model, data.frames, data.source);

    DocFixture plain;
    ASSERT_TRUE(plain.doc->onOpenDocument(dir.path("m.fm")));
    ASSERT_EQ(CFacetoDoc::SaveAsResult::Saved, plain.doc->saveAs(dir.path("a.md2")));
    ASSERT_EQ(1u, plain.host.messages.size());
    EXPECT_NE(std::string::npos, plain.host.messages[0].find("skin0.PCX is written in true colour"));
    Skin back;
    ASSERT_TRUE(readPcx(dir.path("skin0.PCX"), back));
    EXPECT_EQ(24, back.bitsPerPixel);
    plain.doc->exchange().skinDepth = 8;
    EXPECT_EQ(CFacetoDoc::SaveAsResult::Failed, plain.doc->saveAs(dir.path("b.md2")));
    EXPECT_NE(std::string::npos, plain.host.messages.back().find("needs Quake 2's palette"));

    // A base folder with pics/colormap.pcx: its palette has the two colours at 7 and 9.
    fs::create_directories(dir.path("baseq2/pics"));
    Skin colormap = pictureSkin(8, 4, 4, 0);
    colormap.palette[7] = {200, 20, 10, 0};
    colormap.palette[9] = {250, 250, 250, 0};
    writeBytes(dir.path("baseq2/pics/colormap.pcx"), toVector(encodeSkinPcx(colormap)));
    DocFixture game;
    game.profile.writeString("games\\quake2", "base", dir.path("baseq2"));
    ASSERT_TRUE(game.doc->onOpenDocument(dir.path("m.fm")));
    ASSERT_EQ(CFacetoDoc::SaveAsResult::Saved, game.doc->saveAs(dir.path("c.md2")));
    EXPECT_TRUE(game.host.messages.empty());
    ASSERT_TRUE(readPcx(dir.path("skin0.PCX"), back));
    ASSERT_EQ(8, back.bitsPerPixel);
    EXPECT_EQ(7, back.pixels[0]);
    EXPECT_EQ(9, back.pixels[1]);
    game.doc->exchange().skinDepth = 24;
    ASSERT_EQ(CFacetoDoc::SaveAsResult::Saved, game.doc->saveAs(dir.path("d.md2")));
    ASSERT_TRUE(readPcx(dir.path("skin0.PCX"), back));
    EXPECT_EQ(24, back.bitsPerPixel);
}
