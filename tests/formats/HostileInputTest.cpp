// Files that try to crash, hang or exhaust the program, or to make it read what they should not: each
// finishes quickly with a refusal or a warning, and reads nothing outside the model's folder.
#include "TestSupport.h"
#include "formats/FileIO.h"
#include "formats/Gltf.h"
#include "formats/Limits.h"
#include "formats/Md2Writer.h"
#include "formats/Obj.h"
#include "formats/Pcx.h"
#include "formats/Pictures.h"

#include <cstring>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <set>
#include <sys/stat.h>

using namespace faceto;
using namespace faceto::test;
using json = nlohmann::json;

namespace {

// A one-triangle glTF whose buffer and picture are files of the given names.
std::string gltfNaming(const std::string& buffer, const std::string& picture) {
    json document{
        {"asset", {{"version", "2.0"}}},
        {"scene", 0},
        {"scenes", {{{"nodes", {0}}}}},
        {"nodes", {{{"mesh", 0}}}},
        {"meshes",
         {{{"primitives", {{{"attributes", {{"POSITION", 0}, {"TEXCOORD_0", 1}}}, {"material", 0}}}}}}},
        {"materials", {{{"pbrMetallicRoughness", {{"baseColorTexture", {{"index", 0}}}}}}}},
        {"textures", {{{"source", 0}}}},
        {"images", {{{"uri", picture}}}},
        {"bufferViews",
         {{{"buffer", 0}, {"byteLength", 36}}, {{"buffer", 0}, {"byteOffset", 36}, {"byteLength", 24}}}},
        {"accessors",
         {{{"bufferView", 0},
           {"componentType", 5126},
           {"count", 3},
           {"type", "VEC3"},
           {"min", {0, 0, 0}},
           {"max", {1, 1, 0}}},
          {{"bufferView", 1}, {"componentType", 5126}, {"count", 3}, {"type", "VEC2"}}}},
        {"buffers", {{{"byteLength", 60}, {"uri", buffer}}}}};
    return document.dump();
}

std::vector<uint8_t> triangleBuffer() {
    const float values[15] = {0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 1};
    std::vector<uint8_t> out(sizeof values);
    std::memcpy(out.data(), values, sizeof values);
    return out;
}

} // namespace

// JSON nested thousands of levels deep is refused before the parser recurses into it.
TEST(HostileInput, DeeplyNestedJsonIsRefusedBeforeParsing) {
    std::string text = gltfNaming("b.bin", "s.png");
    text.insert(text.size() - 1, ",\"extras\":" + std::string(15000, '[') + std::string(15000, ']'));
    Result<ModelData> model =
        importGltf({reinterpret_cast<const uint8_t*>(text.data()), text.size()}, ReadContext{});
    ASSERT_FALSE(model);
    EXPECT_EQ("the file's JSON nests deeper than 256 levels", model.error());
    // Brackets inside strings are not nesting.
    const std::string quoted = "{\"a\": \"" + std::string(1000, '[') + "\\\"\"}";
    EXPECT_NE(
        "the file's JSON nests deeper than 256 levels",
        importGltf({reinterpret_cast<const uint8_t*>(quoted.data()), quoted.size()}, ReadContext{}).error());
}

// Companion files are regular files inside the model's folder: not a device, not a pipe (which would
// block), not a link that leads out; a picture that cannot be had costs the model its skin only.
TEST(HostileInput, CompanionFilesAreRegularFilesInsideTheModelsFolder) {
    TempDir dir;
    std::filesystem::create_directory(dir.path("model"));
    const std::string folder = dir.path("model/");
    writeBytes(dir.path("secret.bin"), triangleBuffer());
    writeBytes(dir.path("model/b.bin"), triangleBuffer());
    std::filesystem::create_symlink("../secret.bin", dir.path("model/link.bin"));
    std::filesystem::create_symlink("/dev/zero", dir.path("model/zero.bin"));
    ASSERT_EQ(0, ::mkfifo(dir.path("model/fifo.bin").c_str(), 0600));

    EXPECT_TRUE(readBesideModel(folder, "b.bin"));
    const Result<ByteBuffer> outside = readBesideModel(folder, "link.bin");
    ASSERT_FALSE(outside);
    EXPECT_NE(std::string::npos, outside.error().find("lies outside the model's folder")) << outside.error();
    for (const char* name : {"zero.bin", "fifo.bin"}) {
        const Result<ByteBuffer> special = readBesideModel(folder, name);
        ASSERT_FALSE(special) << name;
    }
    EXPECT_NE(std::string::npos, readBesideModel(folder, "fifo.bin").error().find("not a regular file"));
    EXPECT_FALSE(readBesideModel(folder, "../secret.bin"));
    EXPECT_FALSE(readBesideModel(folder, "/etc/passwd"));

    ReadContext context;
    context.readBeside = [folder](const std::string& name) { return readBesideModel(folder, name); };
    for (const char* buffer : {"link.bin", "zero.bin", "fifo.bin", "/dev/zero"}) {
        const std::string text = gltfNaming(buffer, "s.png");
        EXPECT_FALSE(importGltf({reinterpret_cast<const uint8_t*>(text.data()), text.size()}, context))
            << buffer;
    }
    // The buffer is there, the picture is not: the model loads without its skin, and says which file.
    const std::string text = gltfNaming("b.bin", "missing.png");
    Result<ModelData> model =
        importGltf({reinterpret_cast<const uint8_t*>(text.data()), text.size()}, context);
    ASSERT_TRUE(model) << model.error();
    EXPECT_TRUE(model->model.skins.empty());
    ASSERT_EQ(1u, model->warnings.size());
    EXPECT_NE(std::string::npos, model->warnings[0].find("missing.png")) << model->warnings[0];

    // A Quake 2 skin name that leads out of the folders is not read either.
    Skin skin;
    skin.imageWidth = skin.imageHeight = 2;
    skin.bitsPerPixel = 8;
    skin.pixels.assign(8, 1);
    skin.palette.assign(256, PaletteEntry{});
    writeBytes(dir.path("outside.pcx"), toVector(encodeSkinPcx(skin)));
    std::filesystem::create_symlink("../outside.pcx", dir.path("model/skin.pcx"));
    ModelData data = makeModel(3, {tri(0, 1, 2)}, 1);
    data.source.hasSkins = 1;
    writeBytes(dir.path("model/m.md2"),
               toVector(*encodeMd2(data.model, data.frames, data.source, {"skin.pcx", "../outside.pcx"})));
    DocFixture f;
    ASSERT_TRUE(f.doc->onOpenDocument(dir.path("model/m.md2")));
    EXPECT_TRUE(f.doc->model().skins.empty());
}

namespace {

Result<ModelData> importText(const std::string& text, const ReadContext& context = ReadContext{}) {
    return importGltf({reinterpret_cast<const uint8_t*>(text.data()), text.size()}, context);
}

// A glTF of one triangle, its data (and `more` after it) in a data URI, drawn by `nodes` nodes.
json smallScene(int nodes, const std::vector<uint8_t>& more = {}) {
    std::vector<uint8_t> buffer = triangleBuffer();
    buffer.insert(buffer.end(), more.begin(), more.end());
    static const char* table = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string b64;
    for (size_t i = 0; i < buffer.size(); i += 3) {
        const size_t n = std::min<size_t>(3, buffer.size() - i);
        uint32_t v = 0;
        for (size_t k = 0; k < 3; ++k) {
            v = v << 8 | (k < n ? buffer[i + k] : 0);
        }
        for (size_t k = 0; k < 4; ++k) {
            b64 += k <= n ? table[(v >> (18 - 6 * k)) & 63] : '=';
        }
    }
    json document{
        {"asset", {{"version", "2.0"}}},
        {"meshes", {{{"primitives", {{{"attributes", {{"POSITION", 0}}}}}}}}},
        {"bufferViews", {{{"buffer", 0}, {"byteLength", 36}}}},
        {"accessors",
         {{{"bufferView", 0},
           {"componentType", 5126},
           {"count", 3},
           {"type", "VEC3"},
           {"min", {0, 0, 0}},
           {"max", {1, 1, 0}}}}},
        {"buffers",
         {{{"byteLength", buffer.size()}, {"uri", "data:application/octet-stream;base64," + b64}}}}};
    if (!more.empty()) {
        document["bufferViews"].push_back({{"buffer", 0}, {"byteOffset", 60}, {"byteLength", more.size()}});
    }
    json list = json::array();
    json roots = json::array();
    for (int n = 0; n < nodes; ++n) {
        list.push_back({{"mesh", 0}});
        roots.push_back(n);
    }
    document["nodes"] = list;
    document["scenes"] = {{{"nodes", roots}}};
    document["scene"] = 0;
    return document;
}

} // namespace

// Files that ask for far more than they hold are refused before it is made, quickly, and what this
// program writes it reads again.
TEST(HostileInput, MemoryAndTimeBombsAreRefusedBeforeTheyGoOff) {
    // An accessor of 89 million elements without data.
    json empty = smallScene(1);
    empty["accessors"][0] = {{"componentType", 5126}, {"count", 89000000}, {"type", "VEC3"}};
    const Result<ModelData> none = importText(empty.dump());
    ASSERT_FALSE(none);
    EXPECT_EQ("an accessor of 89000000 elements holds no data for them", none.error());

    // One triangle drawn by a hundred thousand nodes is read (its data once), a mesh of 400k triangles
    // drawn a thousand times is refused before its triangles are made.
    ModelData many;
    ASSERT_TRUE(into(importText(smallScene(100000).dump()), many));
    EXPECT_EQ(100000, many.model.triangleCount());
    std::vector<uint8_t> indices(2400000, 0); // 400,000 triangles over the first corner
    json heavy = smallScene(1000, indices);
    heavy["accessors"].push_back(
        {{"componentType", 5123}, {"count", 1200000}, {"type", "SCALAR"}, {"bufferView", 1}});
    heavy["meshes"][0]["primitives"][0]["indices"] = 1;
    EXPECT_EQ(limits::tooMuchToDecode(), importText(heavy.dump()).error());

    // Thousands of animations whose names differ only in their digits get names apart, in linear time.
    json named = smallScene(1);
    named["accessors"].push_back({{"bufferView", 0},
                                  {"componentType", 5126},
                                  {"count", 1},
                                  {"type", "SCALAR"},
                                  {"min", {0}},
                                  {"max", {0}}});
    named["accessors"].push_back(
        {{"bufferView", 0}, {"componentType", 5126}, {"count", 1}, {"type", "VEC3"}});
    json animations = json::array();
    for (int a = 0; a < 8000; ++a) {
        char name[32];
        std::snprintf(name, sizeof name, "Action.%03d", a);
        animations.push_back(
            {{"name", name},
             {"samplers", {{{"input", 1}, {"output", 2}}}},
             {"channels", {{{"sampler", 0}, {"target", {{"node", 0}, {"path", "translation"}}}}}}});
    }
    named["animations"] = animations;
    ModelData actions;
    ASSERT_TRUE(into(importText(named.dump()), actions));
    std::set<std::string> frames;
    for (const Frame& f : actions.frames) {
        frames.insert(f.name);
    }
    EXPECT_EQ(8000u, frames.size());

    // Five thousand nodes posed a hundred thousand times: refused, not sampled for half a minute.
    std::vector<uint8_t> times(8);
    const float end = 9999;
    std::memcpy(times.data() + 4, &end, 4);
    json joints = smallScene(5000, times);
    for (size_t n = 1; n < 5000; ++n) {
        joints["nodes"][n] = json::object(); // one mesh, the rest joints
    }
    joints["accessors"].push_back({{"bufferView", 1},
                                   {"componentType", 5126},
                                   {"count", 2},
                                   {"type", "SCALAR"},
                                   {"min", {0}},
                                   {"max", {9999}}});
    joints["accessors"].push_back(
        {{"bufferView", 0}, {"componentType", 5126}, {"count", 2}, {"type", "VEC3"}});
    joints["animations"] = {
        {{"samplers", {{{"input", 1}, {"output", 2}}}},
         {"channels", {{{"sampler", 0}, {"target", {{"node", 0}, {"path", "translation"}}}}}}}};
    const Result<ModelData> slow = importText(joints.dump());
    ASSERT_FALSE(slow);
    EXPECT_NE(std::string::npos, slow.error().find("more than can be sampled in good time")) << slow.error();

    // An OBJ face of ten million corners.
    std::string obj = "v 0 0 0\nv 1 0 0\nv 0 1 0\nf";
    for (int k = 0; k < 10000000; ++k) {
        obj += k % 2 ? " 2" : " 3";
    }
    obj += "\n";
    const Result<ModelData> face =
        importObj({reinterpret_cast<const uint8_t*>(obj.data()), obj.size()}, ReadContext{});
    EXPECT_EQ(limits::tooMuchToDecode(), face.error());
}

namespace {

// A 24-bit BMP of 4 x 2 texels: rows from the top when `topDown` (a negative height).
std::vector<uint8_t> bmp24(bool topDown) {
    std::vector<uint8_t> b(54 + 2 * 12, 0);
    auto put32 = [&](size_t at, int32_t v) {
        for (int i = 0; i < 4; ++i) {
            b[at + size_t(i)] = uint8_t(uint32_t(v) >> (8 * i));
        }
    };
    b[0] = 'B';
    b[1] = 'M';
    put32(2, int32_t(b.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, 4);
    put32(22, topDown ? -2 : 2);
    b[26] = 1;
    b[28] = 24;
    for (size_t i = 54; i < 54 + 12; ++i) {
        b[i] = 200; // the first row of the file: light
    }
    return b;
}

} // namespace

// A BMP or TGA that holds fewer texels than its header claims is refused; a BMP stored from the top
// down is read the right way up.
TEST(HostileInput, PicturesThatEndEarlyAreRefusedAndTopDownBmpsRead) {
    const Result<Skin> top = decodeSkinPicture(bmp24(true));
    ASSERT_TRUE(top) << top.error();
    EXPECT_EQ(2, top->imageHeight);
    EXPECT_EQ(200, top->pixels[0]); // the file's first row is the top row
    const Result<Skin> bottom = decodeSkinPicture(bmp24(false));
    ASSERT_TRUE(bottom);
    EXPECT_EQ(0, bottom->pixels[0]);
    std::vector<uint8_t> cut = bmp24(false);
    cut.resize(cut.size() - 5);
    EXPECT_EQ("the picture file is shorter than its header says", decodeSkinPicture(cut).error());

    // An uncompressed true-colour TGA of 2 x 2, and a run-length one whose last packet is missing.
    std::vector<uint8_t> tga(18 + 12, 9);
    std::fill(tga.begin(), tga.begin() + 18, 0);
    tga[2] = 2;
    tga[12] = 2;
    tga[14] = 2;
    tga[16] = 24;
    EXPECT_TRUE(decodeSkinPicture(tga));
    tga.pop_back();
    EXPECT_EQ("the picture file is shorter than its header says", decodeSkinPicture(tga).error());
    std::vector<uint8_t> rle(tga.begin(), tga.begin() + 18);
    rle[2] = 10;
    rle.insert(rle.end(), {0x82, 1, 2, 3}); // three texels of one colour; the fourth is not there
    EXPECT_EQ("the picture file is shorter than its header says", decodeSkinPicture(rle).error());
    rle.insert(rle.end(), {0x00, 4, 5, 6});
    EXPECT_TRUE(decodeSkinPicture(rle));

    // A PNG whose last chunk announces 1.1 GB in a file of 71 bytes: refused before the decoder would
    // reserve room for it (found by the fuzzer).
    const ByteBuffer whole = encodeSkinPng(*decodeSkinPicture(bmp24(false)));
    std::vector<uint8_t> png(whole.begin(), whole.end() - 12); // without its IEND
    png.insert(png.end(), {0x45, 0x00, 0x00, 0x00, 'I', 'D', 'A', 'T', 1, 2});
    EXPECT_EQ("the PNG picture is damaged (a chunk runs past its end)", decodeSkinPicture(png).error());

    // A JPEG whose Huffman table counts more than 256 codes: refused before the decoder would write past
    // its table (found by the fuzzer).
    std::vector<uint8_t> jpeg{0xFF, 0xD8, 0xFF, 0xC4, 0x00, 0x13, 0x00};
    jpeg.insert(jpeg.end(), 16, 0x20); // 16 x 32 codes
    jpeg.insert(jpeg.end(), {0xFF, 0xD9});
    EXPECT_EQ("the JPEG picture is damaged (a Huffman table holds more codes than there are)",
              decodeSkinPicture(jpeg).error());
}
