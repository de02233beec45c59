#include "formats/Pcx.h"

#include "TestSupport.h"
#include "formats/SkinLoader.h"

using namespace faceto;
using namespace faceto::test;

namespace {

struct PcxSpec {
    int version = 5;
    int bitsPerPlane = 8;
    int planes = 1;
    int width = 4;
    int height = 2;
    int bytesPerLine = 4;
    std::vector<uint8_t> decoded;       // bytesPerLine x planes x height
    std::vector<uint8_t> headerPalette; // 48 bytes
    bool eofPalette = false;
};

// A PCX file; the data is run-length encoded with runs wherever bytes repeat.
std::vector<uint8_t> pcxFile(const PcxSpec& s) {
    std::vector<uint8_t> f(128, 0);
    f[0] = 10;
    f[1] = uint8_t(s.version);
    f[2] = 1;
    f[3] = uint8_t(s.bitsPerPlane);
    f[8] = uint8_t(s.width - 1);
    f[9] = uint8_t((s.width - 1) >> 8);
    f[10] = uint8_t(s.height - 1);
    f[11] = uint8_t((s.height - 1) >> 8);
    for (size_t i = 0; i < s.headerPalette.size() && i < 48; ++i) {
        f[16 + i] = s.headerPalette[i];
    }
    f[65] = uint8_t(s.planes);
    f[66] = uint8_t(s.bytesPerLine);
    f[67] = uint8_t(s.bytesPerLine >> 8);
    for (size_t i = 0; i < s.decoded.size();) {
        size_t run = 1;
        while (i + run < s.decoded.size() && s.decoded[i + run] == s.decoded[i] && run < 63) {
            ++run;
        }
        if (run > 1 || s.decoded[i] >= 192) {
            f.push_back(uint8_t(192 | run));
        }
        f.push_back(s.decoded[i]);
        i += run;
    }
    if (s.eofPalette) {
        f.push_back(12);
        for (int i = 0; i < 256; ++i) {
            f.push_back(uint8_t(i));       // red
            f.push_back(uint8_t(255 - i)); // green
            f.push_back(uint8_t(i / 2));   // blue
        }
    }
    return f;
}

} // namespace

TEST(Pcx, EightBitWithEndPaletteAndPaddedRows) {
    PcxSpec s;
    s.width = 250;
    s.height = 3;
    s.bytesPerLine = 250;
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 250; ++x) {
            s.decoded.push_back(uint8_t(x < 100 ? 200 : (x + y) % 256)); // runs and literals above 192
        }
    }
    s.eofPalette = true;
    Skin skin;
    skin.name = "kept";
    skin.width = 7;
    ASSERT_TRUE(decodePcx(pcxFile(s), skin));
    EXPECT_EQ("kept", skin.name);
    EXPECT_EQ(7, skin.width);
    EXPECT_EQ(250, skin.imageWidth);
    EXPECT_EQ(3, skin.imageHeight);
    EXPECT_EQ(8, skin.bitsPerPixel);
    EXPECT_EQ(252, skin.stride());
    EXPECT_EQ(252 * 3, skin.imageSize);
    EXPECT_EQ(256, skin.colorsUsed);
    ASSERT_EQ(size_t(252 * 3), skin.pixels.size());
    EXPECT_EQ(200, skin.pixels[0]);
    EXPECT_EQ((101 + 2) % 256, skin.pixels[2 * 252 + 101]);
    EXPECT_EQ(0, skin.pixels[250]); // padding
    EXPECT_EQ(0, skin.pixels[251]);
    ASSERT_EQ(256u, skin.palette.size());
    EXPECT_EQ((PaletteEntry{5, 245, 10, 0}), skin.palette[10]); // blue, green, red, 0
}

// An 8-bit picture ending in its 768 palette bytes without the marker before them has its colours too,
// as Quake 2 reads it; without room for them after the picture it keeps the header's.
TEST(Pcx, AnEndPaletteWithoutItsMarkerIsRead) {
    PcxSpec s;
    s.decoded = {1, 2, 3, 4, 5, 6, 7, 8};
    s.eofPalette = true;
    std::vector<uint8_t> file = pcxFile(s);
    file.erase(file.end() - 769); // the marker
    Skin skin;
    ASSERT_TRUE(decodePcx(file, skin));
    ASSERT_EQ(256u, skin.palette.size());
    EXPECT_EQ((PaletteEntry{5, 245, 10, 0}), skin.palette[10]);
    file.resize(file.size() - 400);
    ASSERT_TRUE(decodePcx(file, skin));
    EXPECT_EQ(16u, skin.palette.size());
}

TEST(Pcx, OlderVersionsAndSmallDepthsUseTheHeaderPalette) {
    PcxSpec s;
    s.version = 3;
    s.decoded = {1, 2, 3, 4, 5, 6, 7, 8};
    for (int i = 0; i < 48; ++i) {
        s.headerPalette.push_back(uint8_t(i));
    }
    s.eofPalette = true; // ignored before version 5
    Skin skin;
    ASSERT_TRUE(decodePcx(pcxFile(s), skin));
    ASSERT_EQ(16u, skin.palette.size());
    EXPECT_EQ((PaletteEntry{5, 4, 3, 0}), skin.palette[1]);
    EXPECT_EQ(8, skin.pixels[4 + 3]);
}

TEST(Pcx, PlanesAndBitsMergeIntoPackedPixels) {
    // Four 1-bit planes (EGA): pixel x takes bit n from plane n.
    PcxSpec ega;
    ega.bitsPerPlane = 1;
    ega.planes = 4;
    ega.width = 3;
    ega.height = 1;
    ega.bytesPerLine = 2;
    ega.decoded = {0b10100000, 0, 0b01100000, 0, 0b00000000, 0, 0b11100000, 0};
    Skin skin;
    ASSERT_TRUE(decodePcx(pcxFile(ega), skin));
    EXPECT_EQ(4, skin.bitsPerPixel);
    EXPECT_EQ(4, skin.stride());
    EXPECT_EQ(16u, skin.palette.size());
    // Pixel values 1+8=9, 2+8=10, 1+2+8=11 packed high nibble first.
    EXPECT_EQ(0x9A, skin.pixels[0]);
    EXPECT_EQ(0xB0, skin.pixels[1]);

    PcxSpec mono;
    mono.bitsPerPlane = 1;
    mono.width = 10;
    mono.height = 1;
    mono.bytesPerLine = 2;
    mono.decoded = {0b10110011, 0b11000000};
    ASSERT_TRUE(decodePcx(pcxFile(mono), skin));
    EXPECT_EQ(1, skin.bitsPerPixel);
    EXPECT_EQ((std::vector<uint8_t>{0b10110011, 0b11000000, 0, 0}), skin.pixels);
    ASSERT_EQ(2u, skin.palette.size());
    EXPECT_EQ((PaletteEntry{255, 255, 255, 0}), skin.palette[1]);

    PcxSpec rgb;
    rgb.planes = 3;
    rgb.width = 2;
    rgb.height = 1;
    rgb.bytesPerLine = 2;
    rgb.decoded = {10, 11, 20, 21, 30, 31}; // red plane, green plane, blue plane
    rgb.eofPalette = true;
    ASSERT_TRUE(decodePcx(pcxFile(rgb), skin));
    EXPECT_EQ(24, skin.bitsPerPixel);
    EXPECT_EQ(8, skin.stride());
    EXPECT_TRUE(skin.palette.empty());
    EXPECT_EQ((std::vector<uint8_t>{10, 20, 30, 11, 21, 31, 0, 0}), skin.pixels);
}

TEST(Pcx, MalformedFilesFailAndLeaveTheSkinAlone) {
    PcxSpec s;
    s.decoded = {1, 2, 3, 4, 5, 6, 7, 8};
    const std::vector<uint8_t> good = pcxFile(s);
    Skin skin;
    skin.imageWidth = 99;
    auto fails = [&](std::vector<uint8_t> bytes) { return !decodePcx(bytes, skin) && skin.imageWidth == 99; };
    for (size_t n = 0; n < good.size(); ++n) {
        ASSERT_TRUE(fails(std::vector<uint8_t>(good.begin(), good.begin() + std::ptrdiff_t(n)))) << n;
    }
    auto patched = [&](size_t offset, uint8_t value) {
        std::vector<uint8_t> b = good;
        b[offset] = value;
        return b;
    };
    EXPECT_TRUE(fails(patched(0, 11)));    // manufacturer
    EXPECT_TRUE(fails(patched(3, 2)));     // 2 bits in one plane
    EXPECT_TRUE(fails(patched(65, 2)));    // 16 bits
    EXPECT_TRUE(fails(patched(66, 1)));    // lines shorter than the picture
    EXPECT_TRUE(fails(patched(11, 0xFF))); // 65,000 rows from a file of a few bytes
    EXPECT_TRUE(decodePcx(good, skin));
}

TEST(Pcx, OnlyPcxNamesAreLoaded) {
    TempDir dir;
    PcxSpec s;
    s.decoded = {1, 2, 3, 4, 5, 6, 7, 8};
    writeBytes(dir.path("skin.PCX"), pcxFile(s));
    writeBytes(dir.path("skin.bmp"), pcxFile(s));
    writeBytes(dir.path(".pcx"), pcxFile(s));
    FolderSkinLoader skins("/nonexistent/", dir.dir().string() + "/");
    EXPECT_TRUE(skins.load("skin.PCX")->has_value());
    EXPECT_FALSE(skins.load("skin.bmp")->has_value());
    EXPECT_FALSE(skins.load("missing.pcx")->has_value());
}

TEST(Pcx, WriterEscapesHighValuesAndAppendsThePalette) {
    Skin skin;
    skin.imageWidth = 3;
    skin.imageHeight = 2;
    skin.bitsPerPixel = 8;
    skin.pixels = {5, 192, 255, 0, 191, 7, 8, 0};
    skin.palette.assign(256, PaletteEntry{0, 0, 0, 0});
    skin.palette[1] = {30, 20, 10, 0};
    const std::vector<uint8_t> bytes = toVector(encodeSkinPcx(skin));
    ASSERT_EQ(128u + 8 + 769, bytes.size());
    const std::vector<uint8_t> header{10, 5, 1, 8, 0, 0, 0, 0, 2, 0, 1, 0, 3, 0, 2, 0};
    EXPECT_EQ(header, std::vector<uint8_t>(bytes.begin(), bytes.begin() + 16));
    EXPECT_EQ(1, bytes[65]);
    EXPECT_EQ(3, bytes[66]);
    EXPECT_EQ(2, bytes[68]);
    EXPECT_EQ((std::vector<uint8_t>{5, 193, 192, 193, 255, 191, 7, 8}),
              std::vector<uint8_t>(bytes.begin() + 128, bytes.begin() + 136));
    EXPECT_EQ(12, bytes[136]);
    EXPECT_EQ((std::vector<uint8_t>{10, 20, 30}),
              std::vector<uint8_t>(bytes.begin() + 140, bytes.begin() + 143));

    Skin back;
    ASSERT_TRUE(decodePcx(bytes, back));
    EXPECT_EQ((std::vector<uint8_t>{5, 192, 255, 0, 191, 7, 8, 0}), back.pixels);
    EXPECT_EQ(skin.palette[1], back.palette[1]);

    TempDir dir;
    Skin empty;
    EXPECT_FALSE(writeSkinPcx(dir.path("no.pcx"), empty));
    EXPECT_FALSE(std::filesystem::exists(dir.path("no.pcx")));
}

TEST(Pcx, TrueColourAndSmallDepthsAreWrittenWithoutLoss) {
    // A 24-bit skin of an odd width (its lines are padded to an even length in the file).
    Skin rgb;
    rgb.imageWidth = 3;
    rgb.imageHeight = 2;
    rgb.bitsPerPixel = 24;
    rgb.pixels.resize(size_t(rgb.stride()) * 2, 0);
    for (size_t i = 0; i < 9; ++i) {
        rgb.pixels[i] = uint8_t(200 + i);    // first row, values that need escaping
        rgb.pixels[12 + i] = uint8_t(i * 7); // second row
    }
    const std::vector<uint8_t> bytes = toVector(encodeSkinPcx(rgb));
    EXPECT_EQ(3, bytes[65]); // three planes
    EXPECT_EQ(4, bytes[66]); // of four bytes a line
    Skin back;
    ASSERT_TRUE(decodePcx(bytes, back));
    EXPECT_EQ(24, back.bitsPerPixel);
    EXPECT_EQ(rgb.pixels, back.pixels);
    EXPECT_TRUE(back.palette.empty());

    // A 4-bit picture is written as 8-bit indices with its colours.
    Skin nibbles;
    nibbles.imageWidth = 3;
    nibbles.imageHeight = 1;
    nibbles.bitsPerPixel = 4;
    nibbles.pixels = {0x1F, 0x20, 0, 0};
    nibbles.palette.assign(16, PaletteEntry{0, 0, 0, 0});
    nibbles.palette[15] = {1, 2, 3, 0};
    ASSERT_TRUE(decodePcx(encodeSkinPcx(nibbles), back));
    EXPECT_EQ(8, back.bitsPerPixel);
    EXPECT_EQ((std::vector<uint8_t>{1, 15, 2, 0}), back.pixels);
    EXPECT_EQ(nibbles.palette[15], back.palette[15]);
}

TEST(Pcx, RealFiles) {
    const std::filesystem::path dir = std::filesystem::path(FACETO_REALDATA_DIR) / "pcx";
    if (!std::filesystem::exists(dir)) {
        GTEST_SKIP() << "no real data at " << dir;
    }
    struct Expected {
        const char* file;
        int width, height, depth;
        size_t palette;
    };
    for (const Expected& e :
         {Expected{"testpcx_1bit.pcx", 70, 63, 1, 2}, Expected{"testpcx_4bit.pcx", 70, 63, 4, 16},
          Expected{"testpcx_8bit.pcx", 70, 63, 8, 256}, Expected{"testpcx_rgb.pcx", 70, 63, 24, 0},
          Expected{"p_4_planes.pcx", 1, 1, 4, 16}, Expected{"odd_stride.pcx", 371, 150, 8, 256}}) {
        Skin skin;
        ASSERT_TRUE(readPcx((dir / e.file).string(), skin)) << e.file;
        EXPECT_EQ(e.width, skin.imageWidth) << e.file;
        EXPECT_EQ(e.height, skin.imageHeight) << e.file;
        EXPECT_EQ(e.depth, skin.bitsPerPixel) << e.file;
        EXPECT_EQ(e.palette, skin.palette.size()) << e.file;
        EXPECT_EQ(size_t(skin.stride()) * size_t(skin.imageHeight), skin.pixels.size()) << e.file;
        EXPECT_EQ(0, skin.stride() % 4);
    }
    // The 8-bit picture is the 24-bit one reduced to 256 colours: the colours of the two agree closely,
    // which they would not if the planes were merged in the wrong order.
    Skin indexed;
    Skin rgb;
    ASSERT_TRUE(readPcx((dir / "testpcx_8bit.pcx").string(), indexed));
    ASSERT_TRUE(readPcx((dir / "testpcx_rgb.pcx").string(), rgb));
    long difference = 0;
    for (int y = 0; y < 63; ++y) {
        for (int x = 0; x < 70; ++x) {
            const PaletteEntry& p = indexed.palette[indexed.pixels[size_t(y * indexed.stride() + x)]];
            const uint8_t* c = &rgb.pixels[size_t(y * rgb.stride() + x * 3)];
            difference += std::abs(p[2] - c[0]) + std::abs(p[1] - c[1]) + std::abs(p[0] - c[2]);
        }
    }
    EXPECT_LT(double(difference) / (70 * 63 * 3), 8.0);
}
