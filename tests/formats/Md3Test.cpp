#include "formats/Md3.h"

#include "TestSupport.h"
#include "formats/FormatTable.h"
#include "formats/NativeFormat.h"

#include <cstring>
#include <filesystem>

using namespace faceto;
using namespace faceto::test;

namespace {

namespace fs = std::filesystem;

const fs::path WATERCAN = fs::path(FACETO_REALDATA_DIR) / "md3" / "watercan.md3";

PictureFinder besideWatercan() {
    return
        [](const std::string& name) { return readBesideModel(WATERCAN.parent_path().string() + "/", name); };
}

// Two surfaces ("body" with two triangles, "head" with one) over five vertices; vertex 2 is shared by
// both, and its corners in "body" name two skin coordinates. Three frames, two tags.
ModelData twoSurfaces() {
    ModelData data = makeModel(5, {tri(0, 1, 2), tri(1, 3, 2), tri(2, 3, 4)}, 3);
    data.model.groups = {Group{"body", 8, GROUP_VISIBLE, -1}, Group{"head", 212, GROUP_VISIBLE, -1}};
    data.model.triangles[2].group = 1;
    data.model.triangles[0].st = {{{0, 0}, {64, 0}, {32, 32}}};
    data.model.triangles[1].st = {{{64, 0}, {64, 64}, {0, 64}}};
    data.model.triangles[2].st = {{{0, 64}, {64, 64}, {32, 0}}};
    data.source.skinWidth = 64;
    data.source.skinHeight = 64;
    data.model.tagNames = {"tag_head", "tag_weapon"};
    for (size_t f = 0; f < data.frames.size(); ++f) {
        for (FrameVertex& p : data.frames[f].positions) {
            p = {std::round(p.x * 64) / 64, std::round(p.y * 64) / 64, std::round(p.z * 64) / 64};
        }
        TagPlacement head;
        head.origin = {0, 0, float(f) + 0.5f};
        TagPlacement weapon;
        weapon.origin = {3, 1, 2};
        weapon.axes = {{{0, 1, 0}, {-1, 0, 0}, {0, 0, 1}}};
        data.frames[f].tags = {head, weapon};
    }
    return data;
}

std::vector<uint8_t> encoded(const ModelData& data) {
    Result<SaveOutput> out = encodeMd3(data.model, data.frames, data.source, "m.md3");
    EXPECT_TRUE(out) << (out ? "" : out.error());
    return out ? std::vector<uint8_t>(out->files[0].bytes.begin(), out->files[0].bytes.end())
               : std::vector<uint8_t>{};
}

void putWord(std::vector<uint8_t>& b, size_t at, int32_t v) {
    std::memcpy(&b[at], &v, 4);
}

} // namespace

// The real model opens with its one surface, its frame and its skin, and saves back byte for byte; as a
// native file it keeps its surface and shader, and comes back as a Quake III model with them.
TEST(Md3, RealModelOpensWithItsSkinAndSavesBackByteForByte) {
    if (!fs::exists(WATERCAN)) {
        GTEST_SKIP() << "no real data";
    }
    const std::vector<uint8_t> bytes = readBytes(WATERCAN.string());
    Result<ModelData> data = parseMd3(bytes, besideWatercan());
    ASSERT_TRUE(data) << data.error();
    EXPECT_EQ(92, data->model.vertexCount());
    EXPECT_EQ(78, data->model.triangleCount());
    ASSERT_EQ(1u, data->model.groups.size());
    EXPECT_EQ("watercan", data->model.groups[0].name);
    ASSERT_EQ(1u, data->frames.size());
    EXPECT_EQ("MilkShape 3D", data->frames[0].name);
    ASSERT_EQ(1u, data->model.skins.size());
    EXPECT_EQ("models/mapobjects/kt_utilities/water_can.tga", data->model.skins[0].name);
    EXPECT_EQ(256, data->model.skins[0].imageWidth);
    EXPECT_EQ(128, data->model.skins[0].imageHeight);
    EXPECT_EQ(256, data->source.skinWidth);
    EXPECT_EQ(bytes, encoded(*data));

    const ByteBuffer native = encodeNative(data->model, data->frames, data->source);
    Result<ModelData> back = parseNative(native);
    ASSERT_TRUE(back) << back.error();
    ASSERT_TRUE(back->source.md3);
    EXPECT_EQ("watercan", nameFieldText(back->source.md3->surfaces[0].name));
    const std::vector<uint8_t> again = encoded(*back);
    ASSERT_EQ(bytes.size(), again.size());
    // Header, surface and shader as read; the triangles and skin coordinates as stored.
    EXPECT_TRUE(std::equal(bytes.begin(), bytes.begin() + 108, again.begin()));
    EXPECT_TRUE(std::equal(bytes.begin() + 164, bytes.begin() + 164 + 1848, again.begin() + 164));
}

// A model of two groups becomes two surfaces: a vertex two surfaces share is written once for each, one
// whose corners name two skin coordinates once for each coordinate. Positions round to 64ths, tags and
// frames come back, and the file written from what was read is the same file.
TEST(Md3, GroupsBecomeSurfacesWithTagsAndTheFileSettles) {
    ModelData data = twoSurfaces();
    data.frames[1].positions[0] = {1.0f / 128 + 0.001f, -1.0f / 128 - 0.001f, 100.0f};
    const std::vector<uint8_t> first = encoded(data);
    Result<ModelData> read = parseMd3(first, nullptr);
    ASSERT_TRUE(read) << read.error();
    ASSERT_EQ(2u, read->model.groups.size());
    EXPECT_EQ("body", read->model.groups[0].name);
    EXPECT_EQ("head", read->model.groups[1].name);
    // body: 0, 1, 2 (at 32,32), 3, 2 (at 0,64); head: 2, 3, 4.
    EXPECT_EQ(8, read->model.vertexCount());
    EXPECT_EQ(3, read->model.triangleCount());
    EXPECT_EQ(3u, read->frames.size());
    EXPECT_EQ((FrameVertex{1.0f / 64, -1.0f / 64, 100.0f}), read->frames[1].positions[0]);
    EXPECT_EQ(data.frames[2].positions[4], read->frames[2].positions[7]);
    EXPECT_EQ(data.model.tagNames, read->model.tagNames);
    for (size_t f = 0; f < 3; ++f) {
        EXPECT_EQ(data.frames[f].tags, read->frames[f].tags) << f;
    }
    // 64ths of the skin's 256 pixels of the reader's stand-in size, as the writer's 64 were.
    EXPECT_FLOAT_EQ(128.0f, read->model.triangles[0].st[2][0]);
    std::vector<uint8_t> previous = first;
    for (int save = 0; save < 10; ++save) {
        Result<ModelData> again = parseMd3(previous, nullptr);
        ASSERT_TRUE(again);
        const std::vector<uint8_t> next = encoded(*again);
        ASSERT_EQ(first, next) << "save " << save;
        previous = next;
    }
    // The native file keeps the tags in every frame.
    Result<ModelData> native = parseNative(encodeNative(read->model, read->frames, read->source));
    ASSERT_TRUE(native) << native.error();
    EXPECT_EQ(read->model.tagNames, native->model.tagNames);
    EXPECT_EQ(read->frames[2].tags, native->frames[2].tags);
}

// Damaged files fail with a reason and never read outside their bytes; what passes the engine's limits
// is written and reported.
TEST(Md3, DamagedFilesFailWithAReasonAndLimitsAreReported) {
    const std::vector<uint8_t> good = encoded(twoSurfaces());
    for (size_t length = 0; length < good.size(); length += 7) {
        const std::vector<uint8_t> cut(good.begin(), good.begin() + long(length));
        EXPECT_FALSE(parseMd3(cut, nullptr)) << length;
    }
    auto damaged = [&](size_t at, int32_t value) {
        std::vector<uint8_t> b = good;
        putWord(b, at, value);
        Result<ModelData> r = parseMd3(b, nullptr);
        return r ? std::string("read") : r.error();
    };
    EXPECT_EQ("not a Quake III model of version 15 (version 16)", damaged(4, 16));
    EXPECT_EQ("the model has no frame", damaged(76, 0));
    EXPECT_EQ("the header's counts and offsets point past the end of the file", damaged(80, 1 << 28));
    const size_t surface = size_t(good[100] | good[101] << 8);
    EXPECT_EQ("a surface has 2 frames, the model 3", damaged(surface + 72, 2));
    EXPECT_EQ("a surface's counts and offsets point past the end of the file",
              damaged(surface + 80, 1 << 20));
    const size_t triangles = surface + size_t(good[surface + 88] | good[surface + 89] << 8);
    EXPECT_EQ("a triangle uses a vertex its surface does not have", damaged(triangles, 99));
    EXPECT_EQ("a triangle uses a vertex its surface does not have", damaged(triangles, -1));
    for (size_t at = 0; at + 4 <= good.size(); at += 4) {
        std::vector<uint8_t> b = good;
        putWord(b, at, int32_t(0x7FFFFFF0));
        (void)parseMd3(b, nullptr); // fails or reads, inside its bytes (the sanitizers watch)
    }

    ModelData many = makeModel(3, {tri(0, 1, 2)}, 1);
    for (int g = 0; g < 33; ++g) {
        many.model.groups.push_back(Group{"g" + std::to_string(g), 8, GROUP_VISIBLE, -1});
        many.model.triangles.push_back(tri(0, 1, 2));
        many.model.triangles.back().group = g;
    }
    many.frames[0].positions[1] = {600, 0, 0};
    Result<SaveOutput> out = encodeMd3(many.model, many.frames, many.source, "many.md3");
    ASSERT_TRUE(out);
    EXPECT_EQ((std::vector<std::string>{"33 surfaces: Quake III draws at most 32",
                                        "positions beyond 512 units from the origin were moved to 512"}),
              out->notices);
}

// A native file whose Quake III surfaces name vertices the model lacks is refused; saved as a Quake or
// Quake 2 model, the surfaces share the first surface's skin and the others are reported.
TEST(Md3, NativeSurfacesAreCheckedAndQuakeFormatsKeepTheFirstSkin) {
    Result<ModelData> read = parseMd3(encoded(twoSurfaces()), nullptr);
    ASSERT_TRUE(read);
    auto wrong = std::make_shared<Md3Fields>(*read->source.md3);
    wrong->surfaces[1].firstVertex = 7; // three vertices from 7 pass the model's eight
    SourceFields source = read->source;
    source.md3 = wrong;
    Result<ModelData> refused = parseNative(encodeNative(read->model, read->frames, source));
    ASSERT_FALSE(refused);
    EXPECT_EQ("the Quake III surfaces are not stored as the format says", refused.error());

    for (const char* name : {"body.tga", "head.tga"}) {
        Skin skin;
        skin.name = name;
        skin.width = skin.imageWidth = 8;
        skin.height = skin.imageHeight = 8;
        skin.bitsPerPixel = 8;
        skin.palette.resize(256);
        skin.pixels.assign(64, 3);
        read->model.skins.push_back(skin);
    }
    for (const char* format : {"mdl", "md2"}) {
        Result<SaveOutput> out = formatNamed(format)->write(ModelRef{read->model, read->frames, read->source},
                                                            "m." + std::string(format), {});
        ASSERT_TRUE(out) << format;
        EXPECT_EQ("the surfaces share the skin body.tga; the other skin was left out", out->notices.back())
            << format;
    }
}
