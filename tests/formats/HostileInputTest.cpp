// Files that try to crash, hang or exhaust the program, or to make it read what they should not: each
// finishes quickly with a refusal or a warning, and reads nothing outside the model's folder.
#include "TestSupport.h"
#include "formats/FileIO.h"
#include "formats/Gltf.h"
#include "formats/Md2Writer.h"
#include "formats/Obj.h"
#include "formats/Pcx.h"

#include <filesystem>
#include <nlohmann/json.hpp>
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
    EXPECT_TRUE(f.doc->model.skins.empty());
}
