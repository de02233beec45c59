// Writing a model as glTF 2.0, in steps: split the vertices by skin coordinates, write the base shape and
// the frames as morph targets, the animations of the morph weights, the skin, then pack it all as a
// .glb or as a .gltf with its .bin and .png.
#include "formats/Gltf.h"
#include "formats/GltfScene.h"
#include "formats/Pictures.h"
#include "model/DerivedData.h"

#include <algorithm>
#include <nlohmann/json.hpp>

namespace faceto {

namespace {

using json = nlohmann::json;
using gltf::toGltf;

constexpr int FLOAT = 5126;
constexpr int UNSIGNED_SHORT = 5123;
constexpr int UNSIGNED_INT = 5125;
constexpr int ARRAY_BUFFER = 34962;
constexpr int ELEMENT_ARRAY_BUFFER = 34963;
constexpr int NEAREST = 9728;
constexpr int CLAMP_TO_EDGE = 33071;
constexpr int MIRRORED_REPEAT = 33648;

std::string stemOf(const std::string& path) {
    std::string name = fileNameOf(path);
    const size_t dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

// One glTF vertex per model vertex and skin coordinate its corners use, in the order of the model's
// vertices (each vertex's first coordinate first), so that a read back finds them in that order.
struct SplitVertices {
    size_t count = 0;
    std::vector<uint32_t> vertexOf; // the model vertex of each glTF vertex
    std::vector<float> uv;          // 2 per glTF vertex, in 0..1 of the skin
    std::vector<uint32_t> indices;  // 3 per triangle, counter-clockwise as glTF's front faces run
};

SplitVertices splitVertices(const Model& model, float width, float height) {
    const size_t vertexCount = model.vertexInfos.size();
    std::vector<std::vector<std::pair<float, float>>> coords(vertexCount);
    std::vector<std::array<uint32_t, 3>> cornerCoord(model.triangles.size());
    for (size_t t = 0; t < model.triangles.size(); ++t) {
        for (size_t c = 0; c < 3; ++c) {
            auto& list = coords[size_t(model.triangles[t].v[c])];
            const std::pair<float, float> st{model.triangles[t].st[c][0], model.triangles[t].st[c][1]};
            auto it = std::find(list.begin(), list.end(), st);
            cornerCoord[t][c] = uint32_t(it - list.begin());
            if (it == list.end()) {
                list.push_back(st);
            }
        }
    }
    std::vector<uint32_t> first(vertexCount + 1, 0);
    for (size_t v = 0; v < vertexCount; ++v) {
        first[v + 1] = first[v] + uint32_t(std::max<size_t>(coords[v].size(), 1));
    }
    SplitVertices out;
    out.count = first[vertexCount];
    out.vertexOf.resize(out.count);
    out.uv.assign(out.count * 2, 0.0f);
    for (size_t v = 0; v < vertexCount; ++v) {
        for (uint32_t k = first[v]; k < first[v + 1]; ++k) {
            out.vertexOf[k] = uint32_t(v);
            if (k - first[v] < coords[v].size()) {
                out.uv[k * 2] = coords[v][k - first[v]].first / width;
                out.uv[k * 2 + 1] = coords[v][k - first[v]].second / height;
            }
        }
    }
    // glTF's front faces run counter-clockwise; Quake's clockwise.
    out.indices.reserve(model.triangles.size() * 3);
    for (size_t t = 0; t < model.triangles.size(); ++t) {
        for (size_t c : {size_t(0), size_t(2), size_t(1)}) {
            out.indices.push_back(first[size_t(model.triangles[t].v[c])] + cornerCoord[t][c]);
        }
    }
    return out;
}

// The binary buffer being built, each part starting on a 4-byte boundary, with the buffer views and
// accessors that describe it.
class Buffers {
public:
    size_t view(const void* data, size_t size, int target) {
        json v{{"buffer", 0}, {"byteOffset", add(data, size)}, {"byteLength", size}};
        if (target != 0) {
            v["target"] = target;
        }
        views_.push_back(v);
        return views_.size() - 1;
    }
    size_t accessor(size_t viewIndex, size_t offset, int type, size_t n, const char* shape) {
        accessors_.push_back(
            {{"bufferView", viewIndex}, {"componentType", type}, {"count", n}, {"type", shape}});
        if (offset != 0) {
            accessors_.back()["byteOffset"] = offset;
        }
        return accessors_.size() - 1;
    }
    // Scalar floats, zero but for `given` values at the indices in view `indices` (uint32, rising).
    size_t sparseAccessor(size_t n, size_t given, size_t indices, size_t values) {
        accessors_.push_back({{"componentType", FLOAT},
                              {"count", n},
                              {"type", "SCALAR"},
                              {"sparse",
                               {{"count", given},
                                {"indices", {{"bufferView", indices}, {"componentType", UNSIGNED_INT}}},
                                {"values", {{"bufferView", values}}}}}});
        return accessors_.size() - 1;
    }
    // The accessor's minimum and maximum per component, which glTF asks of positions and key times.
    void bounds(size_t accessorIndex, const float* values, size_t n, size_t components) {
        std::vector<float> lo(components, 0.0f);
        std::vector<float> hi(components, 0.0f);
        for (size_t i = 0; i < n; ++i) {
            const size_t k = i % components;
            lo[k] = i < components ? values[i] : std::min(lo[k], values[i]);
            hi[k] = i < components ? values[i] : std::max(hi[k], values[i]);
        }
        accessors_[accessorIndex]["min"] = lo;
        accessors_[accessorIndex]["max"] = hi;
    }
    json& views() { return views_; }
    const json& accessors() const { return accessors_; }
    ByteBuffer& bytes() {
        while (bytes_.size() % 4 != 0) {
            bytes_.push_back(0);
        }
        return bytes_;
    }

private:
    size_t add(const void* data, size_t size) {
        while (bytes_.size() % 4 != 0) {
            bytes_.push_back(0);
        }
        const size_t at = bytes_.size();
        const auto* p = static_cast<const uint8_t*>(data);
        bytes_.insert(bytes_.end(), p, p + size);
        return at;
    }

    ByteBuffer bytes_;
    json views_ = json::array();
    json accessors_ = json::array();
};

// A frame's positions for every glTF vertex, in glTF's axes.
std::vector<float> positionsOf(const Frame& frame, const SplitVertices& split, float scale) {
    std::vector<float> out(split.count * 3);
    for (size_t k = 0; k < split.count; ++k) {
        const size_t v = split.vertexOf[k];
        const auto g = toGltf(v < frame.positions.size() ? frame.positions[v] : FrameVertex{}, scale);
        std::copy(g.begin(), g.end(), out.begin() + long(k * 3));
    }
    return out;
}

// The base shape (the first frame), the skin coordinates, the model vertex of each glTF vertex (an
// attribute of this program's own, as glTF allows, so that a read back joins them again exactly) and
// the triangles: the primitive's attributes and indices.
json addPrimitive(const SplitVertices& split, const std::vector<float>& base, Buffers& b) {
    const size_t count = split.count;
    const size_t position =
        b.accessor(b.view(base.data(), base.size() * 4, ARRAY_BUFFER), 0, FLOAT, count, "VEC3");
    b.bounds(position, base.data(), base.size(), 3);
    const size_t uv =
        b.accessor(b.view(split.uv.data(), split.uv.size() * 4, ARRAY_BUFFER), 0, FLOAT, count, "VEC2");
    const std::vector<float> vertexNumbers(split.vertexOf.begin(), split.vertexOf.end());
    const size_t numbers = b.accessor(b.view(vertexNumbers.data(), vertexNumbers.size() * 4, ARRAY_BUFFER), 0,
                                      FLOAT, count, "SCALAR");
    size_t indices;
    if (count <= 65535) {
        const std::vector<uint16_t> small(split.indices.begin(), split.indices.end());
        indices = b.accessor(b.view(small.data(), small.size() * 2, ELEMENT_ARRAY_BUFFER), 0, UNSIGNED_SHORT,
                             small.size(), "SCALAR");
    } else {
        indices = b.accessor(b.view(split.indices.data(), split.indices.size() * 4, ELEMENT_ARRAY_BUFFER), 0,
                             UNSIGNED_INT, split.indices.size(), "SCALAR");
    }
    return {{"attributes", {{"POSITION", position}, {"TEXCOORD_0", uv}, {gltf::VERTEX_ATTRIBUTE, numbers}}},
            {"indices", indices}};
}

// Every frame a morph target: its offsets from the base shape, the targets' accessors sharing one view.
void addTargets(const std::vector<Frame>& frames, const SplitVertices& split, const std::vector<float>& base,
                float scale, Buffers& b, json& targets, json& targetNames) {
    const size_t count = split.count;
    std::vector<float> all;
    all.reserve(frames.size() * count * 3);
    for (const Frame& frame : frames) {
        const std::vector<float> p = positionsOf(frame, split, scale);
        for (size_t i = 0; i < p.size(); ++i) {
            all.push_back(p[i] - base[i]);
        }
    }
    const size_t targetView = b.view(all.data(), all.size() * 4, ARRAY_BUFFER);
    b.views()[targetView]["byteStride"] = 12;
    for (size_t f = 0; f < frames.size(); ++f) {
        const size_t a = b.accessor(targetView, f * count * 12, FLOAT, count, "VEC3");
        b.bounds(a, all.data() + f * count * 3, count * 3, 3);
        targets.push_back(json{{"POSITION", a}});
        targetNames.push_back(frames[f].name);
    }
}

// The morph weights of an animation's keys: at key k, the weight of its own frame is 1, every other 0.
// glTF lists every target's weight at every key, which for a long animation is mostly zeros: past a
// size the accessor is sparse, holding only the ones (a thousand-frame animation writes a thousand
// weights, not a million).
size_t weightsAccessor(const Animation& animation, size_t frames, Buffers& b) {
    constexpr size_t DENSE_UP_TO = 65536;
    const size_t keys = animation.frameIndices.size();
    if (keys * frames <= DENSE_UP_TO) {
        std::vector<float> weights(keys * frames, 0.0f);
        for (size_t k = 0; k < keys; ++k) {
            weights[k * frames + size_t(animation.frameIndices[k])] = 1.0f;
        }
        return b.accessor(b.view(weights.data(), weights.size() * 4, 0), 0, FLOAT, weights.size(), "SCALAR");
    }
    std::vector<uint32_t> at(keys);
    const std::vector<float> ones(keys, 1.0f);
    for (size_t k = 0; k < keys; ++k) {
        at[k] = uint32_t(k * frames + size_t(animation.frameIndices[k]));
    }
    const size_t indices = b.view(at.data(), at.size() * 4, 0);
    const size_t values = b.view(ones.data(), ones.size() * 4, 0);
    return b.sparseAccessor(keys * frames, keys, indices, values);
}

// One animation of the weights per animation of the model: a key per frame, ten a second.
json animationsOf(const std::vector<Frame>& frames, bool linear, Buffers& b) {
    json animations = json::array();
    for (const Animation& animation : buildAnimations(frames)) {
        const size_t keys = animation.frameIndices.size();
        std::vector<float> times(keys);
        for (size_t k = 0; k < keys; ++k) {
            times[k] = float(k) / 10.0f;
        }
        const size_t input = b.accessor(b.view(times.data(), times.size() * 4, 0), 0, FLOAT, keys, "SCALAR");
        b.bounds(input, times.data(), times.size(), 1);
        const size_t output = weightsAccessor(animation, frames.size(), b);
        // Arrays are spelled out: a braced list of one value reads as that value with some compilers.
        json sampler{{"input", input}, {"output", output}, {"interpolation", linear ? "LINEAR" : "STEP"}};
        json channel{{"sampler", 0}, {"target", {{"node", 0}, {"path", "weights"}}}};
        animations.push_back({{"name", animation.name.empty() ? "frames" : animation.name},
                              {"samplers", json::array({sampler})},
                              {"channels", json::array({channel})}});
    }
    return animations;
}

// The skin as the mesh's base colour texture: a PNG in the binary buffer of a .glb, beside a .gltf; read
// texel for texel, and past its edges as the skin is (a Quake skin clamps, glTF's default repeats).
void addSkin(json& document, const Skin& skin, const ByteBuffer& png, bool binary, const std::string& stem,
             Buffers& b) {
    json image;
    if (binary) {
        image = {{"bufferView", b.view(png.data(), png.size(), 0)}, {"mimeType", "image/png"}};
    } else {
        image = {{"uri", stem + ".png"}};
    }
    document["images"] = json::array({image});
    json sampler{{"magFilter", NEAREST}, {"minFilter", NEAREST}};
    for (const auto& [key, wrap] : {std::pair{"wrapS", skin.wrap[0]}, std::pair{"wrapT", skin.wrap[1]}}) {
        if (wrap != Wrap::Repeat) {
            sampler[key] = wrap == Wrap::Clamp ? CLAMP_TO_EDGE : MIRRORED_REPEAT;
        }
    }
    document["samplers"] = json::array({sampler});
    document["textures"] = json::array({json{{"sampler", 0}, {"source", 0}}});
    document["materials"] = json::array(
        {json{{"name", "skin"},
              {"pbrMetallicRoughness",
               {{"baseColorTexture", {{"index", 0}}}, {"metallicFactor", 0.0}, {"roughnessFactor", 1.0}}}}});
    document["meshes"][0]["primitives"][0]["material"] = 0;
}

// One .glb: a header, the JSON chunk, the binary chunk.
Result<ByteBuffer> packGlb(json& document, ByteBuffer& data) {
    document["buffers"] = json::array({json{{"byteLength", data.size()}}});
    std::string text = document.dump();
    while (text.size() % 4 != 0) {
        text.push_back(' ');
    }
    ByteBuffer glb;
    auto u32 = [&](uint32_t v) {
        for (int k = 0; k < 4; ++k) {
            glb.push_back(uint8_t(v >> (8 * k)));
        }
    };
    const uint64_t total = 12 + 8 + text.size() + 8 + data.size();
    if (total > 0xFFFFFFFFu) {
        return Failure{"a binary glTF file holds at most 4 GiB"};
    }
    glb.reserve(size_t(total));
    glb.insert(glb.end(), {'g', 'l', 'T', 'F'});
    u32(2);
    u32(uint32_t(total));
    u32(uint32_t(text.size()));
    u32(0x4E4F534A); // JSON
    const ByteBuffer jsonBytes = bytesOf(text);
    glb.insert(glb.end(), jsonBytes.begin(), jsonBytes.end());
    u32(uint32_t(data.size()));
    u32(0x004E4942); // BIN
    glb.insert(glb.end(), data.begin(), data.end());
    return glb;
}

} // namespace

ExportedSkin exportedSkin(const ModelRef& m, const WriteContext& context) {
    const std::vector<Skin>& skins = m.model.skins;
    const Skin* skin = nullptr;
    if (!skins.empty()) {
        const Skin& s = skins[size_t(std::clamp<int32_t>(context.skin, 0, int32_t(skins.size()) - 1))];
        skin = s.hasImage() ? &s : nullptr;
    }
    const int32_t width = skin ? skin->imageWidth : m.source.skinWidth > 0 ? m.source.skinWidth : 256;
    const int32_t height = skin ? skin->imageHeight : m.source.skinHeight > 0 ? m.source.skinHeight : 256;
    return {skin, float(width), float(height)};
}

Result<SaveOutput> exportGltf(const ModelRef& m, const std::string& path, const WriteContext& context) {
    const Model& model = m.model;
    const std::vector<Frame>& frames = m.frames;
    if (frames.empty()) {
        return Failure{"the model has no frame"};
    }
    for (const Triangle& t : model.triangles) {
        for (int32_t v : t.v) {
            if (v < 0 || v >= model.vertexCount()) {
                return Failure{"a triangle uses a vertex the model does not have"};
            }
        }
    }
    const bool binary = equalsIgnoreCase(extensionAfterLastDot(path), "glb");
    const auto [skin, width, height] = exportedSkin(m, context);

    const SplitVertices split = splitVertices(model, width, height);
    Buffers buffers;
    const std::vector<float> base = positionsOf(frames[0], split, context.scale);
    json primitive = addPrimitive(split, base, buffers);
    json targets = json::array();
    json targetNames = json::array();
    addTargets(frames, split, base, context.scale, buffers, targets, targetNames);
    primitive["targets"] = targets;
    const json animations = animationsOf(frames, context.linearInterpolation, buffers);

    // A model that was never given a name (one read from a Quake file) is named after the file written.
    const std::string name = model.name.empty() || model.name == Model{}.name ? stemOf(path) : model.name;
    json mesh{{"name", name},
              {"primitives", json::array({primitive})},
              {"weights", std::vector<float>(frames.size(), 0.0f)},
              {"extras", {{"targetNames", targetNames}}}};
    json document{{"asset", {{"version", "2.0"}, {"generator", "Faceto"}}},
                  {"scene", 0},
                  {"scenes", json::array({json{{"nodes", json::array({0})}}})},
                  {"nodes", json::array({json{{"mesh", 0}, {"name", name}}})},
                  {"meshes", json::array({mesh})}};
    if (!animations.empty()) {
        document["animations"] = animations;
    }

    SaveOutput output;
    const std::string stem = stemOf(path);
    ByteBuffer png;
    if (skin != nullptr) {
        png = encodeSkinPng(*skin);
        if (png.empty()) {
            return Failure{"the skin cannot be written as a picture"};
        }
        addSkin(document, *skin, png, binary, stem, buffers);
    }
    document["bufferViews"] = buffers.views();
    document["accessors"] = buffers.accessors();
    ByteBuffer& data = buffers.bytes();
    if (binary) {
        Result<ByteBuffer> glb = packGlb(document, data);
        if (!glb) {
            return Failure{glb.error()};
        }
        output.files.push_back({path, std::move(*glb)});
        return output;
    }
    document["buffers"] = json::array({json{{"byteLength", data.size()}, {"uri", stem + ".bin"}}});
    const std::string text = document.dump(1);
    output.files.push_back({path, bytesOf(text)});
    output.files.push_back({folderOf(path) + stem + ".bin", std::move(data)});
    if (!png.empty()) {
        output.files.push_back({folderOf(path) + stem + ".png", std::move(png)});
    }
    return output;
}

} // namespace faceto
