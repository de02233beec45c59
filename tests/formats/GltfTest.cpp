// glTF 2.0 and OBJ out and in: round trips, skinned and morph-animated files baked into frames (checked
// against positions worked out here), and the pose of a frame coming back from OBJ.
#include "formats/Gltf.h"

#include "TestSupport.h"
#include "document/FrameOperations.h"
#include "formats/NativeFormat.h"
#include "formats/Obj.h"
#include "formats/Pictures.h"
#include "model/FrameMemory.h"

#include <cmath>
#include <cstring>
#include <nlohmann/json.hpp>

using namespace faceto;
using namespace faceto::test;
using json = nlohmann::json;

namespace {

// Writes every file of the output into the folder and reads the first back as a model.
ModelData writeAndRead(const SaveOutput& output, const std::string& folder) {
    for (const OutputFile& f : output.files) {
        writeBytes(f.path, toVector(f.bytes));
    }
    ReadContext context;
    context.readBeside = [folder](const std::string& name) { return readBesideModel(folder, name); };
    const std::vector<uint8_t> bytes = readBytes(output.files[0].path);
    const std::string& path = output.files[0].path;
    ModelData back;
    if (path.size() > 4 && path.substr(path.size() - 4) == ".obj") {
        EXPECT_TRUE(into(importObj(bytes, context), back));
    } else {
        EXPECT_TRUE(into(importGltf(bytes, context), back));
    }
    return back;
}

// A model of two animations ("run" of three frames, "jump" of two), a skin of 8 x 4 in its own
// palette, and skin coordinates that give some vertices two of them.
ModelData animatedModel() {
    std::mt19937 rng(3);
    ModelData data = makeModel(12, randomTriangles(rng, 12, 14, false), 5);
    const char* names[] = {"run1", "run2", "run3", "jump1", "jump2"};
    for (size_t f = 0; f < 5; ++f) {
        data.frames[f].name = names[f];
        for (FrameVertex& p : data.frames[f].positions) {
            p = {float(rng() % 200) / 8.0f - 12, float(rng() % 200) / 4.0f, float(rng() % 64) - 30};
        }
    }
    for (Triangle& t : data.model.triangles) {
        t.st = {{{float(rng() % 8), float(rng() % 4)}, {float(rng() % 8), 1}, {2, float(rng() % 4)}}};
    }
    Skin skin;
    skin.imageWidth = 8;
    skin.imageHeight = 4;
    skin.bitsPerPixel = 8;
    for (int i = 0; i < 32; ++i) {
        skin.pixels.push_back(uint8_t(i * 7));
    }
    for (int c = 0; c < 256; ++c) {
        skin.palette.push_back({uint8_t(c), uint8_t(255 - c), uint8_t(c / 3), 0});
    }
    data.model.skins = {skin};
    data.source.skinWidth = 8;
    data.source.skinHeight = 4;
    return data;
}

void expectSameModel(const ModelData& a, const ModelData& b) {
    ASSERT_EQ(a.model.vertexCount(), b.model.vertexCount());
    ASSERT_EQ(a.frames.size(), b.frames.size());
    for (size_t f = 0; f < a.frames.size(); ++f) {
        EXPECT_EQ(a.frames[f].name, b.frames[f].name);
        for (size_t v = 0; v < a.frames[f].positions.size(); ++v) {
            for (int k = 0; k < 3; ++k) {
                EXPECT_NEAR(a.frames[f].positions[v][k], b.frames[f].positions[v][k], 1e-4f) << f << " " << v;
            }
        }
    }
    ASSERT_EQ(a.model.triangles.size(), b.model.triangles.size());
    for (size_t t = 0; t < a.model.triangles.size(); ++t) {
        EXPECT_EQ(a.model.triangles[t].v, b.model.triangles[t].v) << t;
        for (size_t c = 0; c < 3; ++c) {
            EXPECT_NEAR(a.model.triangles[t].st[c][0], b.model.triangles[t].st[c][0], 1e-4f);
            EXPECT_NEAR(a.model.triangles[t].st[c][1], b.model.triangles[t].st[c][1], 1e-4f);
        }
    }
}

// A .glb made here: the JSON and one binary chunk.
std::vector<uint8_t> glb(const json& document, const std::vector<uint8_t>& bin) {
    std::string text = document.dump();
    while (text.size() % 4) {
        text += ' ';
    }
    std::vector<uint8_t> data = bin;
    while (data.size() % 4) {
        data.push_back(0);
    }
    std::vector<uint8_t> out{'g', 'l', 'T', 'F'};
    auto u32 = [&](uint32_t v) {
        for (int k = 0; k < 4; ++k) {
            out.push_back(uint8_t(v >> (8 * k)));
        }
    };
    u32(2);
    u32(uint32_t(12 + 8 + text.size() + 8 + data.size()));
    u32(uint32_t(text.size()));
    u32(0x4E4F534A);
    out.insert(out.end(), text.begin(), text.end());
    u32(uint32_t(data.size()));
    u32(0x004E4942);
    out.insert(out.end(), data.begin(), data.end());
    return out;
}

template <typename T> size_t put(std::vector<uint8_t>& bin, const std::vector<T>& values) {
    while (bin.size() % 4) {
        bin.push_back(0);
    }
    const size_t at = bin.size();
    bin.resize(at + values.size() * sizeof(T));
    std::memcpy(bin.data() + at, values.data(), values.size() * sizeof(T));
    return at;
}

std::vector<uint8_t> base64(const std::string& text) {
    std::vector<uint8_t> out;
    uint32_t bits = 0;
    int count = 0;
    for (char c : text) {
        const char* table = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
        const char* at = std::strchr(table, c);
        if (c == '=' || at == nullptr) {
            continue;
        }
        bits = bits << 6 | uint32_t(at - table);
        if ((count += 6) >= 8) {
            count -= 8;
            out.push_back(uint8_t(bits >> count));
        }
    }
    return out;
}

template <typename T> std::vector<T> values(const std::vector<uint8_t>& buffer, size_t offset, size_t count) {
    std::vector<T> out(count);
    std::memcpy(out.data(), buffer.data() + offset, count * sizeof(T));
    return out;
}

} // namespace

TEST(Gltf, AModelGoesOutAndComesBackWithItsFramesNamesAndSkin) {
    const ModelData data = animatedModel();
    for (const char* name : {"m.gltf", "m.glb"}) {
        TempDir dir;
        Result<SaveOutput> out =
            exportGltf(ModelRef{data.model, data.frames, data.source}, dir.path(name), WriteContext{});
        ASSERT_TRUE(out) << out.error();
        EXPECT_EQ(std::string(name) == "m.gltf" ? 3u : 1u, out->files.size()); // .gltf, .bin, .png
        const ModelData back = writeAndRead(*out, dir.dir().string() + "/");
        expectSameModel(data, back);
        ASSERT_EQ(1u, back.model.skins.size());
        EXPECT_EQ(skinRgb(data.model.skins[0]), skinRgb(back.model.skins[0])); // every texel exact
        EXPECT_EQ(24, back.model.skins[0].bitsPerPixel);
    }
    // The file: one target per frame named after it, one animation per animation, the axes turned.
    TempDir dir;
    Result<SaveOutput> out =
        exportGltf(ModelRef{data.model, data.frames, data.source}, dir.path("m.gltf"), WriteContext{});
    const json document = json::parse(std::string(out->files[0].bytes.begin(), out->files[0].bytes.end()));
    EXPECT_EQ("m", document["meshes"][0]["name"]); // a model without a name of its own: the file's
    EXPECT_EQ("m", document["nodes"][0]["name"]);
    EXPECT_EQ(5u, document["meshes"][0]["primitives"][0]["targets"].size());
    EXPECT_EQ(json({"run1", "run2", "run3", "jump1", "jump2"}),
              document["meshes"][0]["extras"]["targetNames"]);
    ASSERT_EQ(2u, document["animations"].size());
    EXPECT_EQ("run", document["animations"][0]["name"]);
    EXPECT_EQ("STEP", document["animations"][0]["samplers"][0]["interpolation"]);
    const json& position =
        document["accessors"][document["meshes"][0]["primitives"][0]["attributes"]["POSITION"].get<int>()];
    float lo = 1e9f;
    for (const FrameVertex& p : data.frames[0].positions) {
        lo = std::min(lo, p.x); // Quake's x is glTF's z
    }
    EXPECT_FLOAT_EQ(lo, position["min"][2].get<float>());
    // Options: linear keys, another scale.
    WriteContext options;
    options.linearInterpolation = true;
    options.scale = 2.0f;
    Result<SaveOutput> scaled =
        exportGltf(ModelRef{data.model, data.frames, data.source}, dir.path("s.gltf"), options);
    const json other = json::parse(std::string(scaled->files[0].bytes.begin(), scaled->files[0].bytes.end()));
    EXPECT_EQ("LINEAR", other["animations"][0]["samplers"][0]["interpolation"]);
    const ModelData twice = writeAndRead(*scaled, dir.dir().string() + "/");
    EXPECT_NEAR(2 * data.frames[2].positions[3].y, twice.frames[2].positions[3].y, 1e-4f);
}

// Two joints: the second, one unit up, turns a quarter about z in one second (linear). A vertex on the
// first joint stays, one on the second turns with it, one shared half and half goes half way.
TEST(Gltf, ASkinnedAnimationIsBakedIntoFramesAsWorkedOutByHand) {
    std::vector<uint8_t> bin;
    const size_t positions = put<float>(bin, {0, 0.5f, 0, 0, 1.5f, 0, 1, 1.5f, 0});
    const size_t joints = put<uint8_t>(bin, {0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0});
    const size_t weights = put<float>(bin, {1, 0, 0, 0, 1, 0, 0, 0, 0.5f, 0.5f, 0, 0});
    const size_t indices = put<uint16_t>(bin, {0, 1, 2});
    const size_t inverse = put<float>(bin, {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0,  0, 1,   // joint 0
                                            1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, -1, 0, 1}); // joint 1
    const size_t times = put<float>(bin, {0, 1});
    const float h = std::sqrt(0.5f);
    const size_t turns = put<float>(bin, {0, 0, 0, 1, 0, 0, h, h});
    auto view = [](size_t offset, size_t length) {
        return json{{"buffer", 0}, {"byteOffset", offset}, {"byteLength", length}};
    };
    auto accessor = [](int viewIndex, int type, int count, const char* shape, json bounds = json::object()) {
        json a{{"bufferView", viewIndex}, {"componentType", type}, {"count", count}, {"type", shape}};
        a.update(bounds);
        return a;
    };
    json document{
        {"asset", {{"version", "2.0"}}},
        {"scene", 0},
        {"scenes", {{{"nodes", {0, 1}}}}},
        {"nodes", {{{"mesh", 0}, {"skin", 0}}, {{"children", {2}}}, {{"translation", {0, 1, 0}}}}},
        {"meshes",
         {{{"primitives",
            {{{"attributes", {{"POSITION", 0}, {"JOINTS_0", 1}, {"WEIGHTS_0", 2}}}, {"indices", 3}}}}}}},
        {"skins", {{{"joints", {1, 2}}, {"inverseBindMatrices", 4}}}},
        {"animations",
         {{{"name", "bend"},
           {"samplers", {{{"input", 5}, {"output", 6}, {"interpolation", "LINEAR"}}}},
           {"channels", {{{"sampler", 0}, {"target", {{"node", 2}, {"path", "rotation"}}}}}}}}},
        {"bufferViews",
         {view(positions, 36), view(joints, 12), view(weights, 48), view(indices, 6), view(inverse, 128),
          view(times, 8), view(turns, 32)}},
        {"accessors",
         {accessor(0, 5126, 3, "VEC3", {{"min", {0, 0.5, 0}}, {"max", {1, 1.5, 0}}}),
          accessor(1, 5121, 3, "VEC4"), accessor(2, 5126, 3, "VEC4"), accessor(3, 5123, 3, "SCALAR"),
          accessor(4, 5126, 2, "MAT4"), accessor(5, 5126, 2, "SCALAR", {{"min", {0}}, {"max", {1}}}),
          accessor(6, 5126, 2, "VEC4")}},
        {"buffers", json::array({{{"byteLength", size_t((bin.size() + 3) / 4 * 4)}}})}};
    ModelData data;
    ASSERT_TRUE(into(importGltf(glb(document, bin), ReadContext{}), data));
    ASSERT_EQ(11u, data.frames.size()); // 0 to 1 second at 10 a second
    EXPECT_EQ("bend1", data.frames[0].name);
    EXPECT_EQ("bend11", data.frames[10].name);
    // In Quake's axes: glTF (x, y, z) is (z, x, y).
    auto expectAt = [&](size_t frame, size_t vertex, float x, float y) {
        const FrameVertex& p = data.frames[frame].positions[vertex];
        EXPECT_NEAR(0.0f, p.x, 1e-5f);
        EXPECT_NEAR(x, p.y, 1e-5f) << "frame " << frame << " vertex " << vertex;
        EXPECT_NEAR(y, p.z, 1e-5f) << "frame " << frame << " vertex " << vertex;
    };
    expectAt(0, 0, 0, 0.5f); // the rest pose
    expectAt(0, 1, 0, 1.5f);
    expectAt(0, 2, 1, 1.5f);
    expectAt(10, 0, 0, 0.5f); // a quarter turn: (0, 0.5) about (0, 1) goes to (-0.5, 1)
    expectAt(10, 1, -0.5f, 1.0f);
    expectAt(10, 2, 0.25f, 1.75f);              // half of (1, 1.5) and half of (-0.5, 2)
    expectAt(5, 1, -0.5f * h, 1.0f + 0.5f * h); // half way: an eighth of a turn
    // Another rate: 4 a second gives frames at 0, 0.25, 0.5, 0.75 and 1.
    ReadContext slow;
    slow.framesPerSecond = 4;
    ModelData four;
    ASSERT_TRUE(into(importGltf(glb(document, bin), slow), four));
    EXPECT_EQ(5u, four.frames.size());

    // A last key between two samples (1.05 s at 10 a second) is a frame of its own: the animation ends
    // in its final pose.
    std::vector<uint8_t> later = bin;
    const float end = 1.05f;
    std::memcpy(&later[times + 4], &end, 4);
    json longer = document;
    longer["accessors"][5]["max"] = {end};
    ModelData last;
    ASSERT_TRUE(into(importGltf(glb(longer, later), ReadContext{}), last));
    ASSERT_EQ(12u, last.frames.size());
    EXPECT_EQ("bend12", last.frames[11].name);
    const FrameVertex& p = last.frames[11].positions[1];
    EXPECT_NEAR(-0.5f, p.y, 1e-5f);
    EXPECT_NEAR(1.0f, p.z, 1e-5f);
}

// The real skinned sample: at each key time the second joint's turn is the key's, and each vertex sits
// where its weights put it, computed here with plain trigonometry.
TEST(Gltf, TheRealSkinnedSampleBakesAsItsKeysSay) {
    const std::string path = std::string(FACETO_REALDATA_DIR) + "/gltf/SimpleSkin.gltf";
    if (!std::filesystem::exists(path)) {
        GTEST_SKIP() << "no real data";
    }
    const std::vector<uint8_t> file = readBytes(path);
    const json document = json::parse(std::string(file.begin(), file.end()));
    std::vector<std::vector<uint8_t>> buffers;
    for (const json& b : document["buffers"]) {
        const std::string uri = b["uri"];
        buffers.push_back(base64(uri.substr(uri.find(',') + 1)));
    }
    auto accessorData = [&](int index, size_t components) {
        const json& a = document["accessors"][size_t(index)];
        const json& v = document["bufferViews"][a["bufferView"].get<size_t>()];
        const size_t offset = v.value("byteOffset", 0) + a.value("byteOffset", 0);
        const size_t stride = v.value("byteStride", 0);
        std::vector<float> out;
        for (size_t e = 0; e < a["count"].get<size_t>(); ++e) {
            const size_t at = offset + e * (stride ? stride : components * 4);
            for (size_t c = 0; c < components; ++c) {
                out.push_back(values<float>(buffers[v["buffer"].get<size_t>()], at + c * 4, 1)[0]);
            }
        }
        return out;
    };
    const std::vector<float> positions = accessorData(1, 3);
    const std::vector<float> weights = accessorData(3, 4);
    const std::vector<float> times = accessorData(5, 1);
    const std::vector<float> turns = accessorData(6, 4);

    ModelData data;
    ASSERT_TRUE(into(importGltf(file, ReadContext{}), data));
    ASSERT_EQ(10, data.model.vertexCount());
    EXPECT_EQ(8, data.model.triangleCount());
    for (size_t k = 0; k < times.size(); ++k) {
        const size_t frame = size_t(std::lround(times[k] * 10));
        ASSERT_LT(frame, data.frames.size());
        const double angle = 2 * std::atan2(double(turns[k * 4 + 2]), double(turns[k * 4 + 3]));
        for (size_t v = 0; v < 10; ++v) {
            // The second joint turns the vertex about (0, 1); the first leaves it.
            const double x = positions[v * 3];
            const double y = positions[v * 3 + 1] - 1;
            const double tx = x * std::cos(angle) - y * std::sin(angle);
            const double ty = x * std::sin(angle) + y * std::cos(angle) + 1;
            const double w0 = weights[v * 4];
            const double w1 = weights[v * 4 + 1];
            const FrameVertex& p = data.frames[frame].positions[v];
            EXPECT_NEAR(w0 * x + w1 * tx, p.y, 1e-4) << "key " << k << " vertex " << v;
            EXPECT_NEAR(w0 * positions[v * 3 + 1] + w1 * ty, p.z, 1e-4) << "key " << k << " vertex " << v;
        }
    }
}

// The real morph sample: each frame is the base shape plus the targets by the weights of that moment,
// the weights interpolated here between the keys; the node's turn and scale apply.
TEST(Gltf, TheRealMorphSampleFollowsItsWeights) {
    const std::string folder = std::string(FACETO_REALDATA_DIR) + "/gltf/AnimatedMorphCube/";
    if (!std::filesystem::exists(folder)) {
        GTEST_SKIP() << "no real data";
    }
    const std::vector<uint8_t> file = readBytes(folder + "AnimatedMorphCube.gltf");
    const std::vector<uint8_t> bin = readBytes(folder + "AnimatedMorphCube.bin");
    const json document = json::parse(std::string(file.begin(), file.end()));
    auto accessorData = [&](int index, size_t components) {
        const json& a = document["accessors"][size_t(index)];
        const json& v = document["bufferViews"][a["bufferView"].get<size_t>()];
        return values<float>(bin, v.value("byteOffset", 0) + a.value("byteOffset", 0),
                             a["count"].get<size_t>() * components);
    };
    const std::vector<float> base = accessorData(2, 3);
    const std::vector<float> thin = accessorData(4, 3);
    const std::vector<float> angle = accessorData(7, 3);
    const std::vector<float> times = accessorData(10, 1);
    const std::vector<float> keys = accessorData(11, 1);

    ReadContext context;
    context.readBeside = [folder](const std::string& name) { return readBesideModel(folder, name); };
    ModelData data;
    ASSERT_TRUE(into(importGltf(file, context), data));
    EXPECT_EQ(12, data.model.triangleCount());
    ASSERT_EQ(size_t(std::floor(times.back() * 10 + 1e-4)) + 1, data.frames.size());
    EXPECT_EQ("Square1", data.frames[0].name);
    // The node turns (0, 0.7071, -0.7071, 0) and scales by 100: worked out, (x, y, z) goes to
    // (-x, -z, -y) x 100 in glTF, then to Quake's axes.
    auto expected = [&](size_t vertex, double w0, double w1) {
        double p[3];
        for (int c = 0; c < 3; ++c) {
            p[c] = base[vertex * 3 + size_t(c)] + w0 * thin[vertex * 3 + size_t(c)] +
                   w1 * angle[vertex * 3 + size_t(c)];
        }
        const double g[3] = {-p[0] * 100, -p[2] * 100, -p[1] * 100};
        return FrameVertex{float(g[2]), float(g[0]), float(g[1])};
    };
    for (size_t f = 0; f < data.frames.size(); f += 7) {
        const double t = double(f) / 10;
        size_t k = 0;
        while (k + 2 < times.size() && times[k + 1] <= t) {
            ++k;
        }
        const double u = std::clamp((t - times[k]) / (times[k + 1] - times[k]), 0.0, 1.0);
        const double w0 = keys[k * 2] + (keys[(k + 1) * 2] - keys[k * 2]) * u;
        const double w1 = keys[k * 2 + 1] + (keys[(k + 1) * 2 + 1] - keys[k * 2 + 1]) * u;
        // Every vertex of the file is at one of the model's vertices.
        for (size_t v = 0; v < 24; ++v) {
            const FrameVertex want = expected(v, w0, w1);
            bool found = false;
            for (const FrameVertex& p : data.frames[f].positions) {
                found = found || (std::abs(p.x - want.x) < 1e-3f && std::abs(p.y - want.y) < 1e-3f &&
                                  std::abs(p.z - want.z) < 1e-3f);
            }
            EXPECT_TRUE(found) << "frame " << f << " vertex " << v;
        }
    }
}

TEST(Gltf, HostileFilesAreRefusedWithAReason) {
    ModelData data;
    EXPECT_FALSE(into(importGltf(std::vector<uint8_t>{'{', '}'}, ReadContext{}), data));
    EXPECT_FALSE(into(importGltf(std::vector<uint8_t>{'g', 'l', 'T', 'F', 2, 0, 0, 0}, ReadContext{}), data));
    // An accessor that reaches past its buffer, points, and a buffer outside the model's folder.
    std::vector<uint8_t> bin;
    put<float>(bin, {0, 0, 0, 1, 0, 0, 0, 1, 0});
    json document{
        {"asset", {{"version", "2.0"}}},
        {"scenes", {{{"nodes", {0}}}}},
        {"nodes", {{{"mesh", 0}}}},
        {"meshes", {{{"primitives", {{{"attributes", {{"POSITION", 0}}}}}}}}},
        {"bufferViews", {{{"buffer", 0}, {"byteLength", 36}}}},
        {"accessors", {{{"bufferView", 0}, {"componentType", 5126}, {"count", 3000000}, {"type", "VEC3"}}}},
        {"buffers", {{{"byteLength", 36}}}}};
    Result<ModelData> past = importGltf(glb(document, bin), ReadContext{});
    ASSERT_FALSE(past);
    EXPECT_EQ("an accessor reaches past its buffer", past.error());
    document["accessors"][0]["count"] = 3;
    document["meshes"][0]["primitives"][0]["mode"] = 0;
    Result<ModelData> points = importGltf(glb(document, bin), ReadContext{});
    ASSERT_FALSE(points);
    EXPECT_EQ("only triangles are read, and a primitive of the file draws points or lines", points.error());
    TempDir dir;
    writeBytes(dir.path("secret.bin"), std::vector<uint8_t>(36, 0));
    std::filesystem::create_directory(dir.path("model"));
    json outside = document;
    outside["meshes"][0]["primitives"][0].erase("mode");
    outside["buffers"][0]["uri"] = "../secret.bin";
    const std::string text = outside.dump();
    ReadContext context;
    const std::string folder = dir.path("model/");
    context.readBeside = [folder](const std::string& name) { return readBesideModel(folder, name); };
    EXPECT_FALSE(importGltf(std::vector<uint8_t>(text.begin(), text.end()), context));
    // An animation that would take too many frames.
    json endless = document;
    endless["meshes"][0]["primitives"][0].erase("mode");
    std::vector<uint8_t> more = bin;
    const size_t times = put<float>(more, {0, 1e9f});
    const size_t moves = put<float>(more, {0, 0, 0, 1, 1, 1});
    endless["bufferViews"].push_back({{"buffer", 0}, {"byteOffset", times}, {"byteLength", 8}});
    endless["bufferViews"].push_back({{"buffer", 0}, {"byteOffset", moves}, {"byteLength", 24}});
    endless["accessors"].push_back({{"bufferView", 1},
                                    {"componentType", 5126},
                                    {"count", 2},
                                    {"type", "SCALAR"},
                                    {"min", {0}},
                                    {"max", {1e9}}});
    endless["accessors"].push_back(
        {{"bufferView", 2}, {"componentType", 5126}, {"count", 2}, {"type", "VEC3"}});
    endless["animations"] = {
        {{"samplers", {{{"input", 1}, {"output", 2}}}},
         {"channels", {{{"sampler", 0}, {"target", {{"node", 0}, {"path", "translation"}}}}}}}};
    endless["buffers"][0]["byteLength"] = more.size();
    Result<ModelData> bomb = importGltf(glb(endless, more), ReadContext{});
    ASSERT_FALSE(bomb);
    EXPECT_EQ("the model would take more than 1 GiB of memory", bomb.error());
}

TEST(Obj, AFramesPoseGoesOutAndComesBackAsOneStep) {
    TempDir dir;
    ModelData data = animatedModel();
    DocFixture f;
    loadInto(*f.doc, data);
    f.doc->setCurrentFrame(2);
    ASSERT_EQ(CFacetoDoc::SaveAsResult::Saved, f.doc->saveAs(dir.path("pose.obj")));
    EXPECT_TRUE(std::filesystem::exists(dir.path("pose.mtl")));
    EXPECT_TRUE(std::filesystem::exists(dir.path("pose.png")));
    // Opened as a model: one frame, its vertices in the model's order.
    const ModelData opened =
        writeAndRead(*f.doc->saveOutputFor(dir.path("pose.obj")), dir.dir().string() + "/");
    ASSERT_EQ(1u, opened.frames.size());
    ASSERT_EQ(data.model.vertexCount(), opened.model.vertexCount());
    for (size_t v = 0; v < opened.frames[0].positions.size(); ++v) {
        for (int k = 0; k < 3; ++k) {
            EXPECT_NEAR(data.frames[2].positions[v][k], opened.frames[0].positions[v][k], 1e-4f);
        }
    }
    EXPECT_EQ(data.model.triangles[3].v, opened.model.triangles[3].v);
    EXPECT_NEAR(data.model.triangles[3].st[1][0], opened.model.triangles[3].st[1][0], 1e-4f);
    ASSERT_EQ(1u, opened.model.skins.size());
    EXPECT_EQ(skinRgb(data.model.skins[0]), skinRgb(opened.model.skins[0]));

    // The pose edited elsewhere comes back into another frame: one step, undone in one.
    f.doc->setCurrentFrame(0);
    const auto before = f.doc->frames()[0].positions;
    EXPECT_EQ("", importFramePose(*f.doc, dir.path("pose.obj")));
    for (size_t v = 0; v < before.size(); ++v) {
        EXPECT_NEAR(data.frames[2].positions[v].z, f.doc->frames()[0].positions[v].z, 1e-4f);
    }
    EXPECT_EQ("Import Frame", f.doc->history().undoName());
    f.doc->undo();
    EXPECT_EQ(before, f.doc->frames()[0].positions);
    // Another vertex count: a clear message, nothing changed.
    writeText(dir.path("small.obj"), "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n");
    const std::string refused = importFramePose(*f.doc, dir.path("small.obj"));
    EXPECT_EQ(0u, refused.find("The pose has 3 vertices; this model has 12.")) << refused;
    EXPECT_EQ(before, f.doc->frames()[0].positions);
    // Quads and negative indices of other tools' files.
    writeText(dir.path("quad.obj"), "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nvt 0 0\nf -4/1 -3/1 -2/1 -1/1\n");
    ModelData quad;
    ASSERT_TRUE(into(importObj(readBytes(dir.path("quad.obj")), ReadContext{}), quad));
    EXPECT_EQ(2, quad.model.triangleCount());
    writeText(dir.path("bad.obj"), "v 0 0 0\nf 1 2 3\n");
    Result<ModelData> bad = importObj(readBytes(dir.path("bad.obj")), ReadContext{});
    ASSERT_FALSE(bad);
    EXPECT_EQ("line 2: a face uses a vertex or texture coordinate the file has not given", bad.error());
}

// A long animation's morph weights are written sparse (its keys hold one weight each, not every
// frame's), and read back as the same frames; a file written so opens again however long it is.
TEST(Gltf, LongAnimationsWriteSparseWeightsAndComeBack) {
    ModelData data = makeModel(4, {tri(0, 1, 2), tri(0, 2, 3)}, 300);
    for (Frame& f : data.frames) {
        f.name = "pose"; // no number: one animation of them all
    }
    TempDir dir;
    Result<SaveOutput> out =
        exportGltf(ModelRef{data.model, data.frames, data.source}, dir.path("long.glb"), WriteContext{});
    ASSERT_TRUE(out) << out.error();
    const ByteBuffer& glbBytes = out->files[0].bytes;
    EXPECT_LT(glbBytes.size(), 100000u); // dense, the weights alone would take 300 x 300 x 4 bytes
    uint32_t length = 0;
    std::memcpy(&length, glbBytes.data() + 12, 4);
    const json document = json::parse(std::string(glbBytes.begin() + 20, glbBytes.begin() + 20 + length));
    size_t sparse = 0;
    for (const json& a : document["accessors"]) {
        sparse += a.contains("sparse") ? 1 : 0;
    }
    EXPECT_GE(sparse, 1u);
    const ModelData back = writeAndRead(*out, dir.dir().string() + "/");
    ASSERT_EQ(data.frames.size(), back.frames.size());
    for (size_t f = 0; f < data.frames.size(); ++f) {
        EXPECT_EQ(data.frames[f].name, back.frames[f].name);
        for (size_t v = 0; v < 4; ++v) {
            for (int k = 0; k < 3; ++k) {
                ASSERT_NEAR(data.frames[f].positions[v][k], back.frames[f].positions[v][k], 1e-4f) << f;
            }
        }
    }
}

// A large animation comes back with its frames cut from one block, as a reader's frames are.
TEST(Gltf, ImportedFramesShareOneBlock) {
    std::mt19937 rng(9);
    ModelData data = makeModel(20000, randomTriangles(rng, 20000, 400, false), 8);
    for (size_t f = 0; f < data.frames.size(); ++f) {
        data.frames[f].name = "walk" + std::to_string(f + 1);
        for (FrameVertex& p : data.frames[f].positions) {
            p = {float(rng() % 1000), float(rng() % 1000), float(f)};
        }
    }
    TempDir dir;
    Result<SaveOutput> out =
        exportGltf(ModelRef{data.model, data.frames, data.source}, dir.path("walk.glb"), WriteContext{});
    ASSERT_TRUE(out) << out.error();
    frame_memory::giveBackKept();
    const frame_memory::Usage before = frame_memory::usage();
    {
        const ModelData back = writeAndRead(*out, dir.dir().string() + "/");
        ASSERT_EQ(8u, back.frames.size());
        EXPECT_EQ(before.blocks + 1, frame_memory::usage().blocks);
        EXPECT_GE(frame_memory::usage().bytes - before.bytes, 8u * size_t(back.model.vertexCount()) * 12);
    }
    EXPECT_EQ(before.blocks, frame_memory::usage().blocks);
}

// A vertex moved by eight joints (two sets of joints and weights) goes where all eight put it, its weights
// scaled to add up to one.
TEST(Gltf, EverySetOfJointsAndWeightsMovesTheVertex) {
    std::vector<uint8_t> bin;
    const size_t positions = put<float>(bin, {0, 0, 0, 0, 1, 0, 0, 0, 1});
    const size_t joints0 = put<uint8_t>(bin, {0, 1, 2, 3, 0, 0, 0, 0, 0, 0, 0, 0});
    const size_t joints1 = put<uint8_t>(bin, {4, 5, 6, 7, 0, 0, 0, 0, 0, 0, 0, 0});
    const size_t weights0 = put<float>(bin, {0.1f, 0.1f, 0.1f, 0.1f, 1, 0, 0, 0, 1, 0, 0, 0});
    const size_t weights1 = put<float>(bin, {0.1f, 0.1f, 0.1f, 0.1f, 0, 0, 0, 0, 0, 0, 0, 0});
    auto view = [](size_t offset, size_t length) {
        return json{{"buffer", 0}, {"byteOffset", offset}, {"byteLength", length}};
    };
    json nodes = json::array({{{"mesh", 0}, {"skin", 0}}});
    json jointNodes = json::array();
    for (int j = 0; j < 8; ++j) {
        nodes.push_back({{"translation", {j, 0, 0}}});
        jointNodes.push_back(j + 1);
    }
    json document{
        {"asset", {{"version", "2.0"}}},
        {"scene", 0},
        {"scenes", {{{"nodes", {0, 1, 2, 3, 4, 5, 6, 7, 8}}}}},
        {"nodes", nodes},
        {"meshes",
         {{{"primitives",
            {{{"attributes",
               {{"POSITION", 0}, {"JOINTS_0", 1}, {"JOINTS_1", 2}, {"WEIGHTS_0", 3}, {"WEIGHTS_1", 4}}}}}}}}},
        {"skins", {{{"joints", jointNodes}}}},
        {"bufferViews",
         {view(positions, 36), view(joints0, 12), view(joints1, 12), view(weights0, 48), view(weights1, 48)}},
        {"accessors",
         {{{"bufferView", 0},
           {"componentType", 5126},
           {"count", 3},
           {"type", "VEC3"},
           {"min", {0, 0, 0}},
           {"max", {0, 1, 1}}},
          {{"bufferView", 1}, {"componentType", 5121}, {"count", 3}, {"type", "VEC4"}},
          {{"bufferView", 2}, {"componentType", 5121}, {"count", 3}, {"type", "VEC4"}},
          {{"bufferView", 3}, {"componentType", 5126}, {"count", 3}, {"type", "VEC4"}},
          {{"bufferView", 4}, {"componentType", 5126}, {"count", 3}, {"type", "VEC4"}}}},
        {"buffers", json::array({{{"byteLength", size_t((bin.size() + 3) / 4 * 4)}}})}};
    ModelData data;
    ASSERT_TRUE(into(importGltf(glb(document, bin), ReadContext{}), data));
    ASSERT_EQ(1u, data.frames.size());
    // glTF x is Quake's y: each joint moves the vertex by its number, each an eighth of the way.
    EXPECT_NEAR(3.5f, data.frames[0].positions[0].y, 1e-5f);
    EXPECT_NEAR(0.0f, data.frames[0].positions[1].y, 1e-5f);
}

// How a skin reads past its edges goes out as the texture's sampler and comes back from it, and the
// native file keeps it: a Quake skin clamps, a glTF skin repeats (straight or mirrored) as its file said.
TEST(Gltf, TheSkinsWrappingGoesOutAndComesBack) {
    for (const auto& wrap :
         {std::array<Wrap, 2>{Wrap::Clamp, Wrap::Clamp}, std::array<Wrap, 2>{Wrap::Repeat, Wrap::Mirror}}) {
        ModelData data = animatedModel();
        data.model.skins[0].wrap = wrap;
        TempDir dir;
        Result<SaveOutput> out =
            exportGltf(ModelRef{data.model, data.frames, data.source}, dir.path("w.glb"), WriteContext{});
        ASSERT_TRUE(out);
        const ModelData back = writeAndRead(*out, dir.dir().string() + "/");
        ASSERT_EQ(1u, back.model.skins.size());
        EXPECT_EQ(wrap, back.model.skins[0].wrap);
        const ByteBuffer native = encodeNative(back.model, back.frames, back.source);
        ModelData again;
        ASSERT_TRUE(into(parseNative(native), again));
        EXPECT_EQ(wrap, again.model.skins[0].wrap);
    }
}
