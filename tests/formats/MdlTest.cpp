#include "TestSupport.h"
#include "formats/MdlReader.h"

#include <cstring>

using namespace faceto;
using namespace faceto::test;

namespace {

class MdlBytes {
public:
    MdlBytes& i32(int32_t v) {
        for (int k = 0; k < 4; ++k) {
            b.push_back(uint8_t(uint32_t(v) >> (8 * k)));
        }
        return *this;
    }
    MdlBytes& f32(float f) {
        int32_t v;
        std::memcpy(&v, &f, 4);
        return i32(v);
    }
    MdlBytes& raw(std::vector<uint8_t> bytes) {
        b.insert(b.end(), bytes.begin(), bytes.end());
        return *this;
    }
    MdlBytes& name(const std::string& s) {
        std::vector<uint8_t> field(16, 0);
        std::copy(s.begin(), s.end(), field.begin());
        return raw(field);
    }
    std::vector<uint8_t> b;
};

// Header with scale (1, 2, 0.5), translate (10, 0, -1), a skin of 4 x 2 pixels, three vertices,
// `triangles` triangles and `frames` frame entries.
MdlBytes header(int32_t version, int32_t skins, int32_t skinWidth, int32_t triangles, int32_t frames) {
    MdlBytes m;
    m.raw({'I', 'D', 'P', 'O'}).i32(version).f32(1).f32(2).f32(0.5f).f32(10).f32(0).f32(-1);
    m.f32(30).f32(0).f32(0).f32(24); // radius, eye
    m.i32(skins).i32(skinWidth).i32(2).i32(3).i32(triangles).i32(frames);
    if (version == 6) {
        m.i32(0).i32(0).f32(1); // sync type, flags, size
    } else {
        m.i32(0); // flags
    }
    return m;
}

std::vector<uint8_t> pixels(int count, uint8_t first) {
    std::vector<uint8_t> p;
    for (int i = 0; i < count; ++i) {
        p.push_back(uint8_t(first + i));
    }
    return p;
}

// Version 6: a single skin, a group of three skins, a single frame and a group of four frames.
std::vector<uint8_t> version6(int32_t skinWidth = 4) {
    MdlBytes m = header(6, 2, skinWidth, 2, 2);
    const int size = skinWidth * 2;
    m.i32(0).raw(pixels(size, 0));
    m.i32(1)
        .i32(3)
        .f32(0.1f)
        .f32(0.2f)
        .f32(0.3f)
        .raw(pixels(size, 10))
        .raw(pixels(size, 20))
        .raw(pixels(size, 30));
    m.i32(0).i32(10).i32(20);  // vertex 0 not on the seam
    m.i32(32).i32(10).i32(21); // vertex 1 on the seam
    m.i32(32).i32(0).i32(22);
    m.i32(1).i32(0).i32(1).i32(2); // front-facing
    m.i32(0).i32(2).i32(1).i32(0); // back-facing
    m.i32(0).raw({0, 0, 0, 0, 9, 9, 9, 0}).name("stand1").raw({1, 2, 3, 0, 4, 5, 6, 0, 7, 8, 9, 0});
    m.i32(1).i32(4).raw({0, 0, 0, 0, 9, 9, 9, 0}).f32(0.1f).f32(0.2f).f32(0.3f).f32(0.4f);
    for (int k = 0; k < 4; ++k) {
        m.raw({0, 0, 0, 0, 9, 9, 9, 0}).name("run" + std::to_string(k + 1)).raw(pixels(12, uint8_t(k)));
    }
    return m.b;
}

} // namespace

TEST(MdlReader, Version6WithSkinGroupsFrameGroupsAndTheSeam) {
    ModelData data;
    ASSERT_TRUE(into(parseMdl(version6()), data));
    EXPECT_EQ(4, data.source.skinWidth);
    EXPECT_EQ(2, data.source.skinHeight);
    EXPECT_EQ(1, data.source.sourceFormat);
    EXPECT_EQ(1, data.source.hasSkins);
    ASSERT_EQ(4u, data.model.skins.size());
    EXPECT_EQ("", data.model.skins[1].name);
    EXPECT_EQ(8, data.model.skins[2].bitsPerPixel);
    EXPECT_EQ(4, data.model.skins[3].imageWidth);
    EXPECT_EQ(30, data.model.skins[3].pixels[0]);
    EXPECT_EQ(37, data.model.skins[3].pixels[7]);
    EXPECT_TRUE(data.model.skins[0].palette.empty()); // colours come from the Quake palette later

    ASSERT_EQ(3, data.model.vertexCount());
    const Triangle& front = data.model.triangles[0];
    const Triangle& back = data.model.triangles[1];
    EXPECT_EQ(10.0f, front.st[1][0]); // on the seam but facing front
    EXPECT_EQ(21.0f, front.st[1][1]);
    EXPECT_EQ(2.0f, back.st[0][0]);  // vertex 2: 0 + 4 / 2
    EXPECT_EQ(12.0f, back.st[1][0]); // vertex 1: 10 + 2
    EXPECT_EQ(10.0f, back.st[2][0]); // vertex 0: not on the seam
    EXPECT_EQ((std::array<int32_t, 3>{2, 1, 0}), back.v);

    ASSERT_EQ(5u, data.frames.size());
    EXPECT_EQ("stand1", data.frames[0].name);
    EXPECT_EQ("run4", data.frames[4].name);
    const FrameVertex& p = data.frames[0].positions[1];
    EXPECT_EQ(14.0f, p.x);                           // 4 x 1 + 10
    EXPECT_EQ(10.0f, p.y);                           // 5 x 2 + 0
    EXPECT_EQ(2.0f, p.z);                            // 6 x 0.5 - 1
    EXPECT_EQ(13.0f, data.frames[4].positions[0].x); // the fourth sub-frame's first byte is 3
}

TEST(MdlReader, SeamOnAWideSkin) {
    MdlBytes m = header(6, 0, 296, 1, 1);
    m.i32(32).i32(10).i32(0).i32(0).i32(5).i32(0).i32(0).i32(6).i32(0);
    m.i32(0).i32(0).i32(1).i32(2);
    m.i32(0).raw({0, 0, 0, 0, 0, 0, 0, 0}).name("a").raw(pixels(12, 0));
    ModelData data;
    ASSERT_TRUE(into(parseMdl(m.b), data));
    EXPECT_EQ(158.0f, data.model.triangles[0].st[0][0]);
    EXPECT_EQ(5.0f, data.model.triangles[0].st[1][0]);
}

TEST(MdlReader, SeamOffsetDoesNotOverflow) {
    MdlBytes m = header(6, 0, 0x7FFFFFF0, 1, 1);
    m.i32(32).i32(0x7FFFFFF0).i32(0).i32(0).i32(5).i32(0).i32(0).i32(6).i32(0);
    m.i32(0).i32(0).i32(1).i32(2);
    m.i32(0).raw({0, 0, 0, 0, 0, 0, 0, 0}).name("a").raw(pixels(12, 0));
    ModelData data;
    ASSERT_TRUE(into(parseMdl(m.b), data));
    EXPECT_EQ(float(int64_t(0x7FFFFFF0) + 0x7FFFFFF0 / 2), data.model.triangles[0].st[0][0]);
}

TEST(MdlReader, OlderLayoutHasUnnamedFramesAndSeamInBitZero) {
    MdlBytes m = header(3, 1, 4, 1, 2);
    m.i32(0).raw(pixels(8, 0));
    m.i32(1).i32(10).i32(0).i32(0).i32(3).i32(0).i32(0).i32(4).i32(0);
    m.i32(0).i32(0).i32(1).i32(2);
    for (int f = 0; f < 2; ++f) {
        m.i32(0).raw({0, 0, 0, 0, 0, 0, 0, 0}).raw(pixels(12, uint8_t(f)));
    }
    ModelData data;
    ASSERT_TRUE(into(parseMdl(m.b), data));
    ASSERT_EQ(2u, data.frames.size());
    EXPECT_EQ("noname", data.frames[0].name);
    EXPECT_EQ("noname", data.frames[1].name);
    EXPECT_EQ(12.0f, data.model.triangles[0].st[0][0]); // 10 + 4 / 2: bit 0 counts as the seam
    EXPECT_EQ(11.0f, data.frames[1].positions[0].x);
}

TEST(MdlReader, RejectsWhatItsHeaderDoesNotDescribe) {
    const std::vector<uint8_t> good = version6();
    ModelData out;
    for (size_t n = 0; n < good.size(); ++n) {
        ASSERT_FALSE(into(parseMdl(std::span(good.data(), n)), out)) << n;
    }
    auto patched = [&](size_t offset, int32_t value) {
        std::vector<uint8_t> b = good;
        std::memcpy(&b[offset], &value, 4);
        return b;
    };
    EXPECT_FALSE(into(parseMdl(patched(48, -1)), out));      // skins
    EXPECT_FALSE(into(parseMdl(patched(52, 1 << 20)), out)); // skin width beyond the file
    EXPECT_FALSE(into(parseMdl(patched(60, 1 << 28)), out)); // vertices
    EXPECT_FALSE(into(parseMdl(patched(64, -2)), out));      // triangles
    EXPECT_FALSE(into(parseMdl(patched(68, 0)), out));       // no frame
    const size_t triangles = 84 + 4 + 8 + 4 + 4 + 12 + 24 + 36;
    EXPECT_FALSE(into(parseMdl(patched(triangles + 8, 3)), out));   // corner past the last vertex
    EXPECT_FALSE(into(parseMdl(patched(84 + 4 + 8 + 4, -1)), out)); // skin group size
    EXPECT_TRUE(out.frames.empty());
}

TEST(MdlReader, RealFile) {
    const std::string path = std::string(FACETO_REALDATA_DIR) + "/mdl/armor.mdl";
    if (!std::filesystem::exists(path)) {
        GTEST_SKIP() << "no real data";
    }
    ModelData data;
    ASSERT_TRUE(into(parseMdl(readBytes(path)), data));
    EXPECT_EQ(3u, data.model.skins.size());
    EXPECT_EQ(1u, data.frames.size());
    EXPECT_EQ(114, data.model.vertexCount());
    EXPECT_EQ(94, data.model.triangleCount());
    EXPECT_EQ("armor", data.frames[0].name);
}

TEST(MdlReader, SkinGroupBombsAreRefusedByTheirCount) {
    // One skin group of 300 pictures of 0 x 0 pixels: a few bytes each in the file, a whole skin each in
    // memory (ten million of them once took 7 GB).
    MdlBytes m = header(6, 1, 0, 1, 1);
    m.i32(1).i32(300);
    for (int i = 0; i < 300; ++i) {
        m.f32(0.1f);
    }
    m.i32(0).i32(0).i32(0).i32(0).i32(0).i32(0).i32(0).i32(0).i32(0);
    m.i32(1).i32(0).i32(1).i32(2);
    m.i32(0).raw({0, 0, 0, 0, 0, 0, 0, 0}).name("a").raw(pixels(12, 0));
    Result<ModelData> bomb = parseMdl(m.b);
    ASSERT_FALSE(bomb);
    EXPECT_EQ("the model has more than 256 skins", bomb.error());

    // A skin larger than any game's, announced with its pixels present.
    MdlBytes wide = header(6, 1, 5000, 1, 1).raw(std::vector<uint8_t>(64, 0));
    Result<ModelData> large = parseMdl(wide.b);
    EXPECT_EQ("a skin of 5000 x 2 pixels is larger than 4096 x 4096", large.error());
}
