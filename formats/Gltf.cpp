#include "formats/Gltf.h"

#include "formats/Limits.h"
#include "formats/Pictures.h"
#include "model/DerivedData.h"

#include <nlohmann/json.hpp>
#include <tiny_gltf.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <functional>
#include <map>
#include <numeric>
#include <unordered_map>

namespace faceto {

namespace {

using json = nlohmann::json;

constexpr int FLOAT = 5126;
constexpr int UNSIGNED_SHORT = 5123;
constexpr int UNSIGNED_INT = 5125;
constexpr int ARRAY_BUFFER = 34962;
constexpr int ELEMENT_ARRAY_BUFFER = 34963;
constexpr int NEAREST = 9728;
constexpr const char* VERTEX_ATTRIBUTE = "_VERTEX";

// Quake's axes (x forward, y left, z up) as glTF's (+z forward, +x left, +y up): a turn, no mirror.
std::array<float, 3> toGltf(const FrameVertex& p, float scale) { return {p.y * scale, p.z * scale, p.x * scale}; }
FrameVertex fromGltf(double x, double y, double z) { return {float(z), float(x), float(y)}; }

std::string stemOf(const std::string& path) {
    std::string name = fileNameOf(path);
    const size_t dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

// The binary buffer being built, each part starting on a 4-byte boundary.
class BinaryBuffer {
public:
    size_t add(const void* data, size_t size) {
        while (bytes_.size() % 4 != 0) {
            bytes_.push_back(0);
        }
        const size_t at = bytes_.size();
        const auto* p = static_cast<const uint8_t*>(data);
        bytes_.insert(bytes_.end(), p, p + size);
        return at;
    }
    ByteBuffer& bytes() { return bytes_; }

private:
    ByteBuffer bytes_;
};

} // namespace

Result<SaveOutput> exportGltf(const ModelRef& m, const std::string& path, const WriteContext& context) {
    const Model& model = m.model;
    const std::vector<Frame>& frames = m.frames;
    if (frames.empty()) {
        return Failure{"the model has no frame"};
    }
    const size_t vertexCount = model.vertexInfos.size();
    for (const Triangle& t : model.triangles) {
        for (int32_t v : t.v) {
            if (v < 0 || size_t(v) >= vertexCount) {
                return Failure{"a triangle uses a vertex the model does not have"};
            }
        }
    }
    const bool binary = equalsIgnoreCase(extensionAfterLastDot(path), "glb");
    const float scale = context.scale;

    // The skin shown, and the size its coordinates are measured in.
    const Skin* skin = nullptr;
    if (!model.skins.empty()) {
        const Skin& s = model.skins[size_t(std::clamp<int32_t>(context.skin, 0, int32_t(model.skins.size()) - 1))];
        skin = s.hasImage() ? &s : nullptr;
    }
    const float width = float(skin ? skin->imageWidth : m.source.skinWidth > 0 ? m.source.skinWidth : 256);
    const float height = float(skin ? skin->imageHeight : m.source.skinHeight > 0 ? m.source.skinHeight : 256);

    // One glTF vertex per model vertex and skin coordinate its corners use, in the order of the model's
    // vertices (each vertex's first coordinate first), so that a read back finds them in that order.
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
    const size_t count = first[vertexCount];
    std::vector<uint32_t> vertexOf(count);
    std::vector<float> uv(count * 2, 0.0f);
    for (size_t v = 0; v < vertexCount; ++v) {
        for (uint32_t k = first[v]; k < first[v + 1]; ++k) {
            vertexOf[k] = uint32_t(v);
            if (k - first[v] < coords[v].size()) {
                uv[k * 2] = coords[v][k - first[v]].first / width;
                uv[k * 2 + 1] = coords[v][k - first[v]].second / height;
            }
        }
    }
    // glTF's front faces run counter-clockwise; Quake's clockwise.
    std::vector<uint32_t> indices;
    indices.reserve(model.triangles.size() * 3);
    for (size_t t = 0; t < model.triangles.size(); ++t) {
        for (size_t c : {0, 2, 1}) {
            indices.push_back(first[size_t(model.triangles[t].v[c])] + cornerCoord[t][c]);
        }
    }

    BinaryBuffer bin;
    json views = json::array();
    json accessors = json::array();
    auto view = [&](const void* data, size_t size, int target) {
        json v{{"buffer", 0}, {"byteOffset", bin.add(data, size)}, {"byteLength", size}};
        if (target != 0) {
            v["target"] = target;
        }
        views.push_back(v);
        return views.size() - 1;
    };
    auto accessor = [&](size_t viewIndex, size_t offset, int type, size_t n, const char* shape) {
        accessors.push_back({{"bufferView", viewIndex}, {"componentType", type}, {"count", n}, {"type", shape}});
        if (offset != 0) {
            accessors.back()["byteOffset"] = offset;
        }
        return accessors.size() - 1;
    };
    auto bounds = [&](json& a, const std::vector<float>& values, size_t components) {
        std::vector<float> lo(components, 0.0f);
        std::vector<float> hi(components, 0.0f);
        for (size_t i = 0; i < values.size(); ++i) {
            const size_t k = i % components;
            lo[k] = i < components ? values[i] : std::min(lo[k], values[i]);
            hi[k] = i < components ? values[i] : std::max(hi[k], values[i]);
        }
        a["min"] = lo;
        a["max"] = hi;
    };

    // The base shape: the first frame.
    auto positionsOf = [&](const Frame& frame) {
        std::vector<float> out(count * 3);
        for (size_t k = 0; k < count; ++k) {
            const size_t v = vertexOf[k];
            const auto g = toGltf(v < frame.positions.size() ? frame.positions[v] : FrameVertex{}, scale);
            std::copy(g.begin(), g.end(), out.begin() + long(k * 3));
        }
        return out;
    };
    const std::vector<float> base = positionsOf(frames[0]);
    const size_t positionAccessor =
        accessor(view(base.data(), base.size() * 4, ARRAY_BUFFER), 0, FLOAT, count, "VEC3");
    bounds(accessors[positionAccessor], base, 3);
    const size_t uvAccessor = accessor(view(uv.data(), uv.size() * 4, ARRAY_BUFFER), 0, FLOAT, count, "VEC2");
    // Which model vertex each glTF vertex is (an attribute of this program's own, as glTF allows), so
    // that a read back joins them again exactly.
    std::vector<float> vertexNumbers(vertexOf.begin(), vertexOf.end());
    const size_t vertexAccessor =
        accessor(view(vertexNumbers.data(), vertexNumbers.size() * 4, ARRAY_BUFFER), 0, FLOAT, count, "SCALAR");
    size_t indexAccessor;
    if (count <= 65535) {
        std::vector<uint16_t> small(indices.begin(), indices.end());
        indexAccessor = accessor(view(small.data(), small.size() * 2, ELEMENT_ARRAY_BUFFER), 0, UNSIGNED_SHORT,
                                 small.size(), "SCALAR");
    } else {
        indexAccessor = accessor(view(indices.data(), indices.size() * 4, ELEMENT_ARRAY_BUFFER), 0, UNSIGNED_INT,
                                 indices.size(), "SCALAR");
    }

    // Every frame a morph target: its offsets from the base shape.
    json targets = json::array();
    json targetNames = json::array();
    {
        std::vector<float> all;
        all.reserve(frames.size() * count * 3);
        for (const Frame& frame : frames) {
            const std::vector<float> p = positionsOf(frame);
            for (size_t i = 0; i < p.size(); ++i) {
                all.push_back(p[i] - base[i]);
            }
        }
        const size_t targetView = view(all.data(), all.size() * 4, ARRAY_BUFFER);
        views[targetView]["byteStride"] = 12; // the targets' accessors share the view
        for (size_t f = 0; f < frames.size(); ++f) {
            const size_t a = accessor(targetView, f * count * 12, FLOAT, count, "VEC3");
            bounds(accessors[a], std::vector<float>(all.begin() + long(f * count * 3), all.begin() + long((f + 1) * count * 3)),
                   3);
            targets.push_back(json{{"POSITION", a}});
            targetNames.push_back(frames[f].name);
        }
    }

    // One animation of the weights per animation of the model: a key per frame, ten a second.
    json animations = json::array();
    for (const Animation& animation : buildAnimations(frames)) {
        const size_t keys = animation.frameIndices.size();
        std::vector<float> times(keys);
        std::vector<float> weights(keys * frames.size(), 0.0f);
        for (size_t k = 0; k < keys; ++k) {
            times[k] = float(k) / 10.0f;
            weights[k * frames.size() + size_t(animation.frameIndices[k])] = 1.0f;
        }
        const size_t input = accessor(view(times.data(), times.size() * 4, 0), 0, FLOAT, keys, "SCALAR");
        bounds(accessors[input], times, 1);
        const size_t output =
            accessor(view(weights.data(), weights.size() * 4, 0), 0, FLOAT, weights.size(), "SCALAR");
        // Arrays are spelled out: a braced list of one value reads as that value with some compilers.
        json sampler{{"input", input}, {"output", output}, {"interpolation", context.linearInterpolation ? "LINEAR" : "STEP"}};
        json channel{{"sampler", 0}, {"target", {{"node", 0}, {"path", "weights"}}}};
        animations.push_back({{"name", animation.name.empty() ? "frames" : animation.name},
                              {"samplers", json::array({sampler})},
                              {"channels", json::array({channel})}});
    }

    json primitive{{"attributes", {{"POSITION", positionAccessor}, {"TEXCOORD_0", uvAccessor}, {VERTEX_ATTRIBUTE, vertexAccessor}}},
                   {"indices", indexAccessor},
                   {"targets", targets}};
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
    const std::string folder = folderOf(path);
    const std::string stem = stemOf(path);
    ByteBuffer png;
    if (skin != nullptr) {
        png = encodeSkinPng(*skin);
        if (png.empty()) {
            return Failure{"the skin cannot be written as a picture"};
        }
        json image;
        if (binary) {
            image = {{"bufferView", view(png.data(), png.size(), 0)}, {"mimeType", "image/png"}};
        } else {
            image = {{"uri", stem + ".png"}};
        }
        document["images"] = json::array({image});
        document["samplers"] = json::array({json{{"magFilter", NEAREST}, {"minFilter", NEAREST}}});
        document["textures"] = json::array({json{{"sampler", 0}, {"source", 0}}});
        document["materials"] = json::array(
            {json{{"name", "skin"},
                  {"pbrMetallicRoughness",
                   {{"baseColorTexture", {{"index", 0}}}, {"metallicFactor", 0.0}, {"roughnessFactor", 1.0}}}}});
        document["meshes"][0]["primitives"][0]["material"] = 0;
    }
    document["bufferViews"] = views;
    document["accessors"] = accessors;
    ByteBuffer& data = bin.bytes();
    while (data.size() % 4 != 0) {
        data.push_back(0);
    }
    if (binary) {
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
        glb.insert(glb.end(), text.begin(), text.end());
        u32(uint32_t(data.size()));
        u32(0x004E4942); // BIN
        glb.insert(glb.end(), data.begin(), data.end());
        output.files.push_back({path, std::move(glb)});
        return output;
    }
    document["buffers"] = json::array({json{{"byteLength", data.size()}, {"uri", stem + ".bin"}}});
    const std::string text = document.dump(1);
    output.files.push_back({path, ByteBuffer(text.begin(), text.end())});
    output.files.push_back({folder + stem + ".bin", std::move(data)});
    if (!png.empty()) {
        output.files.push_back({folder + stem + ".png", std::move(png)});
    }
    return output;
}

// --- import -------------------------------------------------------------------------------------

namespace {

// 4 x 4 matrices in glTF's order: column after column.
using Mat4d = std::array<double, 16>;
constexpr Mat4d IDENTITY{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

Mat4d multiply(const Mat4d& a, const Mat4d& b) {
    Mat4d r{};
    for (int c = 0; c < 4; ++c) {
        for (int row = 0; row < 4; ++row) {
            double s = 0;
            for (int k = 0; k < 4; ++k) {
                s += a[size_t(k * 4 + row)] * b[size_t(c * 4 + k)];
            }
            r[size_t(c * 4 + row)] = s;
        }
    }
    return r;
}

// Translation, then rotation (a unit quaternion x, y, z, w), then scale, as glTF composes them.
Mat4d composeTRS(const std::array<double, 3>& t, const std::array<double, 4>& q, const std::array<double, 3>& s) {
    const double x = q[0], y = q[1], z = q[2], w = q[3];
    Mat4d m{1 - 2 * (y * y + z * z), 2 * (x * y + z * w),     2 * (x * z - y * w),     0,
            2 * (x * y - z * w),     1 - 2 * (x * x + z * z), 2 * (y * z + x * w),     0,
            2 * (x * z + y * w),     2 * (y * z - x * w),     1 - 2 * (x * x + y * y), 0,
            t[0],                    t[1],                    t[2],                    1};
    for (int c = 0; c < 3; ++c) {
        for (int row = 0; row < 3; ++row) {
            m[size_t(c * 4 + row)] *= s[size_t(c)];
        }
    }
    return m;
}

std::array<double, 3> transformPoint(const Mat4d& m, const std::array<double, 3>& p) {
    return {m[0] * p[0] + m[4] * p[1] + m[8] * p[2] + m[12], m[1] * p[0] + m[5] * p[1] + m[9] * p[2] + m[13],
            m[2] * p[0] + m[6] * p[1] + m[10] * p[2] + m[14]};
}

// Reads the accessors of a parsed file, every access checked against its buffer.
class Accessors {
public:
    Accessors(const tinygltf::Model& model, limits::DecodeBudget& budget) : model_(model), budget_(budget) {}

    // The values of accessor `index` as floats, `components` per element (normalised integers scaled
    // as glTF says; other integers as they are). Empty with `error_` set when it cannot be read.
    std::optional<std::vector<float>> floats(int index, int components) {
        const tinygltf::Accessor* a = find(index, components);
        if (a == nullptr) {
            return std::nullopt;
        }
        std::vector<float> out(a->count * size_t(components), 0.0f);
        if (a->bufferView < 0) {
            return out; // no data: zeros
        }
        const uint8_t* data = nullptr;
        size_t stride = 0;
        if (!locate(*a, components, data, stride)) {
            return std::nullopt;
        }
        for (size_t e = 0; e < a->count; ++e) {
            for (int c = 0; c < components; ++c) {
                out[e * size_t(components) + size_t(c)] = component(data + e * stride, c, a->componentType, a->normalized);
            }
        }
        return out;
    }

    // The values of an index accessor.
    std::optional<std::vector<uint32_t>> indices(int index) {
        const tinygltf::Accessor* a = find(index, 1);
        if (a == nullptr) {
            return std::nullopt;
        }
        if (a->componentType != TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE &&
            a->componentType != TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT &&
            a->componentType != TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT) {
            error_ = "indices are not unsigned integers";
            return std::nullopt;
        }
        std::vector<uint32_t> out(a->count, 0);
        if (a->bufferView < 0) {
            return out;
        }
        const uint8_t* data = nullptr;
        size_t stride = 0;
        if (!locate(*a, 1, data, stride)) {
            return std::nullopt;
        }
        for (size_t e = 0; e < a->count; ++e) {
            const uint8_t* p = data + e * stride;
            if (a->componentType == TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE) {
                out[e] = p[0];
            } else if (a->componentType == TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT) {
                uint16_t v;
                std::memcpy(&v, p, 2);
                out[e] = v;
            } else {
                std::memcpy(&out[e], p, 4);
            }
        }
        return out;
    }

    const std::string& error() const { return error_; }

private:
    const tinygltf::Accessor* find(int index, int components) {
        if (index < 0 || size_t(index) >= model_.accessors.size()) {
            error_ = "an accessor the file does not have";
            return nullptr;
        }
        const tinygltf::Accessor& a = model_.accessors[size_t(index)];
        if (tinygltf::GetNumComponentsInType(uint32_t(a.type)) != components) {
            error_ = "an accessor of another shape than its use needs";
            return nullptr;
        }
        if (a.sparse.isSparse) {
            error_ = "sparse accessors are not read";
            return nullptr;
        }
        if (!budget_.take(uint64_t(a.count) * uint64_t(components) * 4)) {
            error_ = limits::tooMuchToDecode();
            return nullptr;
        }
        return &a;
    }

    bool locate(const tinygltf::Accessor& a, int components, const uint8_t*& data, size_t& stride) {
        if (size_t(a.bufferView) >= model_.bufferViews.size()) {
            error_ = "a buffer view the file does not have";
            return false;
        }
        const tinygltf::BufferView& v = model_.bufferViews[size_t(a.bufferView)];
        if (v.buffer < 0 || size_t(v.buffer) >= model_.buffers.size()) {
            error_ = "a buffer the file does not have";
            return false;
        }
        const std::vector<unsigned char>& buffer = model_.buffers[size_t(v.buffer)].data;
        const int size = tinygltf::GetComponentSizeInBytes(uint32_t(a.componentType));
        if (size <= 0) {
            error_ = "an accessor of an unknown component type";
            return false;
        }
        const uint64_t element = uint64_t(size) * uint64_t(components);
        stride = v.byteStride != 0 ? v.byteStride : size_t(element);
        const uint64_t span = a.count == 0 ? 0 : uint64_t(stride) * (a.count - 1) + element;
        if (stride < element || uint64_t(a.byteOffset) + span > v.byteLength ||
            uint64_t(v.byteOffset) + v.byteLength > buffer.size()) {
            error_ = "an accessor reaches past its buffer";
            return false;
        }
        data = buffer.data() + v.byteOffset + a.byteOffset;
        return true;
    }

    static float component(const uint8_t* element, int c, int type, bool normalized) {
        switch (type) {
        case TINYGLTF_COMPONENT_TYPE_FLOAT: {
            float v;
            std::memcpy(&v, element + c * 4, 4);
            return v;
        }
        case TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE:
            return normalized ? float(element[c]) / 255.0f : float(element[c]);
        case TINYGLTF_COMPONENT_TYPE_BYTE:
            return normalized ? std::max(float(int8_t(element[c])) / 127.0f, -1.0f) : float(int8_t(element[c]));
        case TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT: {
            uint16_t v;
            std::memcpy(&v, element + c * 2, 2);
            return normalized ? float(v) / 65535.0f : float(v);
        }
        case TINYGLTF_COMPONENT_TYPE_SHORT: {
            int16_t v;
            std::memcpy(&v, element + c * 2, 2);
            return normalized ? std::max(float(v) / 32767.0f, -1.0f) : float(v);
        }
        case TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT: {
            uint32_t v;
            std::memcpy(&v, element + c * 4, 4);
            return float(v);
        }
        default:
            return 0.0f;
        }
    }

    const tinygltf::Model& model_;
    limits::DecodeBudget& budget_;
    std::string error_;
};

// A mesh drawn by a node, and its vertices in the merged vertex list.
struct Instance {
    int node = -1;
    int skin = -1;
    size_t first = 0;                        // its first vertex in the merged list
    std::vector<float> positions;            // 3 per vertex, the mesh's own space
    std::vector<std::vector<float>> targets; // per morph target, 3 per vertex
    std::vector<float> joints;               // 4 per vertex, for a skinned mesh
    std::vector<float> weights;              // 4 per vertex
    std::vector<float> restWeights;          // the morph weights of the node (or its mesh)
    std::vector<float> vertexNumbers;        // the model vertex of each, when the file says so
};

// An animation channel's sampler, read.
struct Track {
    int node = -1;
    std::string path;
    std::vector<float> times;
    std::vector<float> values;
    int width = 0; // values per key (a cubic spline key holds three times as many)
    std::string interpolation;
};

std::vector<double> sample(const Track& track, double t) {
    const size_t keys = track.times.size();
    const bool cubic = track.interpolation == "CUBICSPLINE";
    const size_t w = size_t(track.width);
    auto value = [&](size_t k) {
        const size_t at = cubic ? (3 * k + 1) * w : k * w;
        return std::vector<double>(track.values.begin() + long(at), track.values.begin() + long(at + w));
    };
    if (keys == 0) {
        return {};
    }
    if (t <= track.times.front() || keys == 1) {
        return value(0);
    }
    if (t >= track.times.back() - 1e-6 * std::max(1.0, std::abs(t))) {
        return value(keys - 1);
    }
    // A sample a rounding away from a key is at the key (frames at k / 10 s meet keys written in float).
    const float probe = float(t) + 1e-6f * std::max(1.0f, std::abs(float(t)));
    size_t k = size_t(std::upper_bound(track.times.begin(), track.times.end(), probe) - track.times.begin()) - 1;
    k = std::min(k, keys - 2);
    const double t0 = track.times[k];
    const double t1 = track.times[k + 1];
    const double dt = t1 - t0;
    const double u = dt > 0 ? std::clamp((t - t0) / dt, 0.0, 1.0) : 0.0;
    std::vector<double> a = value(k);
    if (track.interpolation == "STEP") {
        return a;
    }
    const std::vector<double> b = value(k + 1);
    std::vector<double> out(w);
    if (cubic) {
        const double u2 = u * u;
        const double u3 = u2 * u;
        for (size_t c = 0; c < w; ++c) {
            const double outTangent = track.values[(3 * k + 2) * w + c];
            const double inTangent = track.values[(3 * (k + 1)) * w + c];
            out[c] = (2 * u3 - 3 * u2 + 1) * a[c] + (u3 - 2 * u2 + u) * dt * outTangent + (-2 * u3 + 3 * u2) * b[c] +
                     (u3 - u2) * dt * inTangent;
        }
    } else if (track.path == "rotation") {
        // Spherical linear interpolation, along the shorter arc.
        double d = a[0] * b[0] + a[1] * b[1] + a[2] * b[2] + a[3] * b[3];
        std::vector<double> bb = b;
        if (d < 0) {
            d = -d;
            for (double& x : bb) {
                x = -x;
            }
        }
        double wa = 1 - u;
        double wb = u;
        if (d < 0.9995) {
            const double theta = std::acos(std::clamp(d, -1.0, 1.0));
            wa = std::sin((1 - u) * theta) / std::sin(theta);
            wb = std::sin(u * theta) / std::sin(theta);
        }
        for (size_t c = 0; c < w; ++c) {
            out[c] = wa * a[c] + wb * bb[c];
        }
    } else {
        for (size_t c = 0; c < w; ++c) {
            out[c] = a[c] + (b[c] - a[c]) * u;
        }
    }
    if (track.path == "rotation") {
        const double n = std::sqrt(out[0] * out[0] + out[1] * out[1] + out[2] * out[2] + out[3] * out[3]);
        if (n > 0) {
            for (double& x : out) {
                x /= n;
            }
        }
    }
    return out;
}

// "", "b", "c", ... "z", "ba", ...: letters that set names apart, since digits would join the numbers
// of the frames.
std::string letters(size_t k) {
    std::string out;
    for (size_t n = k; n > 0; n /= 26) {
        out.insert(out.begin(), char('a' + n % 26));
    }
    return out;
}

// Stores a picture's bytes as they are: the one a skin needs is decoded later, with the limits of a
// skin. A picture in a buffer view is handed over without the view being checked against its buffer
// (`user` is the model being read): one that reaches past the buffer is refused here.
bool keepPictureBytes(tinygltf::Image* image, const int, std::string* error, std::string*, int, int,
                      const unsigned char* bytes, int size, void* user) {
    if (image->bufferView >= 0) {
        const auto* gltf = static_cast<const tinygltf::Model*>(user);
        const tinygltf::BufferView& view = gltf->bufferViews.at(size_t(image->bufferView));
        const tinygltf::Buffer& buffer = gltf->buffers.at(size_t(view.buffer));
        if (size < 0 || view.byteOffset > buffer.data.size() || view.byteLength > buffer.data.size() - view.byteOffset ||
            size_t(size) != view.byteLength) {
            *error += "a picture's buffer view reaches past the end of its buffer\n";
            return false;
        }
    }
    image->image.assign(bytes, bytes + size);
    image->width = image->height = 0;
    return true;
}

// The JSON of a glTF file: all of a .gltf, the first chunk of a .glb (as far as the file holds it).
std::span<const uint8_t> jsonPart(std::span<const uint8_t> bytes) {
    if (bytes.size() < 20 || std::memcmp(bytes.data(), "glTF", 4) != 0) {
        return bytes;
    }
    uint32_t length = 0;
    std::memcpy(&length, bytes.data() + 12, 4);
    return bytes.subspan(20, std::min<size_t>(length, bytes.size() - 20));
}

// Arrays and objects nested no deeper than `limit` (strings passed over): the JSON parser recurses for
// each level, and a file of a few kilobytes could otherwise exhaust the stack.
bool nestedWithin(std::span<const uint8_t> json, int limit) {
    int depth = 0;
    bool inString = false;
    for (size_t i = 0; i < json.size(); ++i) {
        const uint8_t c = json[i];
        if (inString) {
            if (c == '\\') {
                ++i;
            } else if (c == '"') {
                inString = false;
            }
        } else if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            if (++depth > limit) {
                return false;
            }
        } else if (c == ']' || c == '}') {
            --depth;
        }
    }
    return true;
}

} // namespace

Result<ModelData> importGltf(std::span<const uint8_t> bytes, const ReadContext& context) {
    if (!nestedWithin(jsonPart(bytes), limits::MAX_JSON_DEPTH)) {
        return Failure{"the file's JSON nests deeper than " + std::to_string(limits::MAX_JSON_DEPTH) + " levels"};
    }
    tinygltf::Model gltf;
    tinygltf::TinyGLTF loader;
    loader.SetImageLoader(keepPictureBytes, &gltf);
    // Files beside the model are read only through the context (inside the model's folder).
    tinygltf::FsCallbacks fs{};
    fs.user_data = const_cast<ReadContext*>(&context);
    // Whether a file is there is left to the read, which says why when it is not (and reads it once).
    fs.FileExists = [](const std::string&, void* user) { return bool(static_cast<const ReadContext*>(user)->readBeside); };
    fs.ExpandFilePath = [](const std::string& name, void*) { return name; };
    fs.ReadWholeFile = [](std::vector<unsigned char>* out, std::string* err, const std::string& name, void* user) {
        const auto* c = static_cast<const ReadContext*>(user);
        if (!c->readBeside) {
            *err = "a file beside the model cannot be read here: " + name;
            return false;
        }
        Result<ByteBuffer> file = c->readBeside(name);
        if (!file) {
            *err = name + ": " + file.error();
            return false;
        }
        out->assign(file->begin(), file->end());
        return true;
    };
    fs.WriteWholeFile = [](std::string* err, const std::string&, const std::vector<unsigned char>&, void*) {
        *err = "nothing is written while reading";
        return false;
    };
    loader.SetFsCallbacks(fs);

    std::string error;
    std::string warning;
    bool parsed = false;
    try {
        if (bytes.size() >= 4 && std::memcmp(bytes.data(), "glTF", 4) == 0) {
            parsed = loader.LoadBinaryFromMemory(&gltf, &error, &warning, bytes.data(), unsigned(bytes.size()), "");
        } else {
            parsed = loader.LoadASCIIFromString(&gltf, &error, &warning, reinterpret_cast<const char*>(bytes.data()),
                                                unsigned(bytes.size()), "");
        }
    } catch (const std::exception& e) {
        error = e.what();
    }
    if (!parsed) {
        const std::string line = error.substr(0, error.find('\n'));
        return Failure{"not a glTF 2.0 file that can be read" + (line.empty() ? std::string() : ": " + line)};
    }

    limits::DecodeBudget budget;
    Accessors accessors(gltf, budget);
    auto fail = [&](const std::string& why) { return Failure{why.empty() ? accessors.error() : why}; };

    // The nodes of the scene, parents before children, with their parents.
    const size_t nodeCount = gltf.nodes.size();
    std::vector<int> parent(nodeCount, -1);
    std::vector<int> order;
    {
        std::vector<int> roots;
        const int scene = gltf.defaultScene >= 0 ? gltf.defaultScene : 0;
        if (size_t(scene) < gltf.scenes.size()) {
            roots = gltf.scenes[size_t(scene)].nodes;
        } else {
            std::vector<bool> child(nodeCount, false);
            for (const tinygltf::Node& n : gltf.nodes) {
                for (int c : n.children) {
                    if (c >= 0 && size_t(c) < nodeCount) {
                        child[size_t(c)] = true;
                    }
                }
            }
            for (size_t n = 0; n < nodeCount; ++n) {
                if (!child[n]) {
                    roots.push_back(int(n));
                }
            }
        }
        std::vector<bool> seen(nodeCount, false);
        std::vector<std::pair<int, int>> stack;
        for (auto it = roots.rbegin(); it != roots.rend(); ++it) {
            stack.emplace_back(*it, -1);
        }
        while (!stack.empty()) {
            const auto [n, p] = stack.back();
            stack.pop_back();
            if (n < 0 || size_t(n) >= nodeCount || seen[size_t(n)]) {
                continue; // a node twice (or in a cycle) is taken once
            }
            seen[size_t(n)] = true;
            parent[size_t(n)] = p;
            order.push_back(n);
            const auto& children = gltf.nodes[size_t(n)].children;
            for (auto it = children.rbegin(); it != children.rend(); ++it) {
                stack.emplace_back(*it, n);
            }
        }
    }

    // Every triangle primitive of every mesh the scene draws, merged.
    ModelData data;
    std::vector<Instance> instances;
    std::vector<float> uvs;
    std::vector<std::array<uint32_t, 3>> corners;
    int texture = -1;
    size_t total = 0;
    std::vector<std::string> targetNames;
    for (int n : order) {
        const tinygltf::Node& node = gltf.nodes[size_t(n)];
        if (node.mesh < 0) {
            continue;
        }
        if (size_t(node.mesh) >= gltf.meshes.size()) {
            return fail("a node draws a mesh the file does not have");
        }
        const tinygltf::Mesh& mesh = gltf.meshes[size_t(node.mesh)];
        if (targetNames.empty() && mesh.extras.Has("targetNames") && mesh.extras.Get("targetNames").IsArray()) {
            const tinygltf::Value& names = mesh.extras.Get("targetNames");
            for (size_t i = 0; i < names.ArrayLen(); ++i) {
                targetNames.push_back(names.Get(int(i)).IsString() ? names.Get(int(i)).Get<std::string>() : "");
            }
        }
        for (const tinygltf::Primitive& primitive : mesh.primitives) {
            const int mode = primitive.mode < 0 ? TINYGLTF_MODE_TRIANGLES : primitive.mode;
            if (mode != TINYGLTF_MODE_TRIANGLES && mode != TINYGLTF_MODE_TRIANGLE_STRIP && mode != TINYGLTF_MODE_TRIANGLE_FAN) {
                return fail("only triangles are read, and a primitive of the file draws points or lines");
            }
            const auto position = primitive.attributes.find("POSITION");
            if (position == primitive.attributes.end()) {
                return fail("a primitive has no positions");
            }
            Instance in;
            in.node = n;
            in.skin = node.skin;
            in.first = total;
            auto p = accessors.floats(position->second, 3);
            if (!p) {
                return fail("");
            }
            in.positions = std::move(*p);
            const size_t count = in.positions.size() / 3;
            if (const auto n = primitive.attributes.find(VERTEX_ATTRIBUTE); n != primitive.attributes.end()) {
                auto numbers = accessors.floats(n->second, 1);
                if (!numbers || numbers->size() != count) {
                    return fail(numbers ? "vertex numbers and positions differ in number" : "");
                }
                in.vertexNumbers = std::move(*numbers);
            }
            if (const auto t = primitive.attributes.find("TEXCOORD_0"); t != primitive.attributes.end()) {
                auto uv = accessors.floats(t->second, 2);
                if (!uv || uv->size() != count * 2) {
                    return fail(uv ? "texture coordinates and positions differ in number" : "");
                }
                uvs.insert(uvs.end(), uv->begin(), uv->end());
            } else {
                uvs.insert(uvs.end(), count * 2, 0.0f);
            }
            for (const auto& target : primitive.targets) {
                std::vector<float> offsets(count * 3, 0.0f);
                if (const auto t = target.find("POSITION"); t != target.end()) {
                    auto o = accessors.floats(t->second, 3);
                    if (!o || o->size() != count * 3) {
                        return fail(o ? "a morph target and its mesh differ in vertices" : "");
                    }
                    offsets = std::move(*o);
                }
                in.targets.push_back(std::move(offsets));
            }
            in.restWeights.assign(in.targets.size(), 0.0f);
            const std::vector<double>& rest = !node.weights.empty() ? node.weights : mesh.weights;
            for (size_t k = 0; k < rest.size() && k < in.restWeights.size(); ++k) {
                in.restWeights[k] = float(rest[k]);
            }
            if (in.skin >= 0) {
                const auto j = primitive.attributes.find("JOINTS_0");
                const auto w = primitive.attributes.find("WEIGHTS_0");
                if (j == primitive.attributes.end() || w == primitive.attributes.end()) {
                    return fail("a skinned mesh has no joints or weights");
                }
                auto joints = accessors.floats(j->second, 4);
                auto weights = accessors.floats(w->second, 4);
                if (!joints || !weights || joints->size() != count * 4 || weights->size() != count * 4) {
                    return fail(joints && weights ? "joints, weights and positions differ in number" : "");
                }
                in.joints = std::move(*joints);
                in.weights = std::move(*weights);
            }
            // The triangles, from a list, a strip or a fan.
            std::vector<uint32_t> index;
            if (primitive.indices >= 0) {
                auto i = accessors.indices(primitive.indices);
                if (!i) {
                    return fail("");
                }
                index = std::move(*i);
            } else {
                index.resize(count);
                std::iota(index.begin(), index.end(), 0u);
            }
            for (uint32_t i : index) {
                if (i >= count) {
                    return fail("a triangle uses a vertex the mesh does not have");
                }
            }
            auto add = [&](uint32_t a, uint32_t b, uint32_t c) {
                corners.push_back({uint32_t(total) + a, uint32_t(total) + b, uint32_t(total) + c});
            };
            if (mode == TINYGLTF_MODE_TRIANGLES) {
                for (size_t i = 0; i + 2 < index.size(); i += 3) {
                    add(index[i], index[i + 1], index[i + 2]);
                }
            } else if (mode == TINYGLTF_MODE_TRIANGLE_STRIP) {
                for (size_t i = 0; i + 2 < index.size(); ++i) {
                    i % 2 == 0 ? add(index[i], index[i + 1], index[i + 2]) : add(index[i + 1], index[i], index[i + 2]);
                }
            } else {
                for (size_t i = 1; i + 1 < index.size(); ++i) {
                    add(index[0], index[i], index[i + 1]);
                }
            }
            if (texture < 0 && primitive.material >= 0 && size_t(primitive.material) < gltf.materials.size()) {
                texture = gltf.materials[size_t(primitive.material)].pbrMetallicRoughness.baseColorTexture.index;
            }
            total += count;
            instances.push_back(std::move(in));
        }
    }
    if (instances.empty()) {
        return fail("the file's scene has no mesh");
    }

    // The skin: the base colour picture of the first primitive that has one.
    Model& model = data.model;
    int width = 256;
    int height = 256;
    if (texture >= 0 && size_t(texture) < gltf.textures.size()) {
        const int source = gltf.textures[size_t(texture)].source;
        if (source >= 0 && size_t(source) < gltf.images.size()) {
            const tinygltf::Image& image = gltf.images[size_t(source)];
            const std::string name = !image.uri.empty() ? image.uri : !image.name.empty() ? image.name : "skin";
            // A picture that cannot be had costs the model its skin, not the whole model.
            Result<Skin> skin = Failure{""};
            if (image.image.empty() && !image.uri.empty() && context.readBeside) {
                const Result<ByteBuffer> file = context.readBeside(image.uri);
                skin = Failure{file ? "it cannot be read" : file.error()};
            } else {
                skin = decodePictureAsSkin(image.image);
            }
            if (skin && !budget.take(skin->pixels.size())) {
                return fail(limits::tooMuchToDecode());
            }
            if (skin) {
                skin->name = name;
                width = skin->imageWidth;
                height = skin->imageHeight;
                model.skins.push_back(std::move(*skin));
            } else {
                data.warnings.push_back("the skin picture " + name + " is left out: " + skin.error());
            }
        }
    }
    data.source.skinWidth = width;
    data.source.skinHeight = height;
    data.source.hasSkins = model.skins.empty() ? 0 : 1;

    // The animations, read.
    std::vector<std::vector<Track>> animations;
    for (const tinygltf::Animation& animation : gltf.animations) {
        std::vector<Track> tracks;
        for (const tinygltf::AnimationChannel& channel : animation.channels) {
            if (channel.sampler < 0 || size_t(channel.sampler) >= animation.samplers.size() || channel.target_node < 0 ||
                size_t(channel.target_node) >= nodeCount) {
                continue;
            }
            const tinygltf::AnimationSampler& s = animation.samplers[size_t(channel.sampler)];
            Track track;
            track.node = channel.target_node;
            track.path = channel.target_path;
            track.interpolation = s.interpolation.empty() ? "LINEAR" : s.interpolation;
            auto times = accessors.floats(s.input, 1);
            if (!times) {
                return fail("");
            }
            track.times = std::move(*times);
            if (!std::is_sorted(track.times.begin(), track.times.end()) ||
                std::any_of(track.times.begin(), track.times.end(), [](float t) { return !std::isfinite(t); })) {
                return fail("an animation's times do not run forwards");
            }
            const int components = track.path == "rotation" ? 4 : track.path == "weights" ? 1 : 3;
            auto values = accessors.floats(s.output, components);
            if (!values) {
                return fail("");
            }
            const size_t keys = std::max<size_t>(track.times.size(), 1);
            const size_t perKey = (track.interpolation == "CUBICSPLINE" ? 3 : 1);
            track.width = int(values->size() / (keys * perKey));
            if (track.width <= 0 || size_t(track.width) * keys * perKey != values->size() ||
                (track.path != "weights" && track.width != components)) {
                return fail("an animation's values do not match its times");
            }
            track.values = std::move(*values);
            tracks.push_back(std::move(track));
        }
        animations.push_back(std::move(tracks));
    }

    // The positions of every merged vertex, in Quake's axes, at time `t` of animation `a` (none: -1),
    // or in the rest pose with morph target `target` fully applied.
    std::vector<std::array<double, 3>> base(nodeCount);
    std::vector<std::array<double, 4>> turn(nodeCount);
    std::vector<std::array<double, 3>> size(nodeCount);
    std::vector<Mat4d> fixed(nodeCount, IDENTITY);
    std::vector<bool> hasMatrix(nodeCount, false);
    for (size_t n = 0; n < nodeCount; ++n) {
        const tinygltf::Node& node = gltf.nodes[n];
        base[n] = node.translation.size() == 3 ? std::array<double, 3>{node.translation[0], node.translation[1], node.translation[2]}
                                               : std::array<double, 3>{0, 0, 0};
        turn[n] = node.rotation.size() == 4
                      ? std::array<double, 4>{node.rotation[0], node.rotation[1], node.rotation[2], node.rotation[3]}
                      : std::array<double, 4>{0, 0, 0, 1};
        size[n] = node.scale.size() == 3 ? std::array<double, 3>{node.scale[0], node.scale[1], node.scale[2]}
                                         : std::array<double, 3>{1, 1, 1};
        if (node.matrix.size() == 16) {
            hasMatrix[n] = true;
            std::copy(node.matrix.begin(), node.matrix.end(), fixed[n].begin());
        }
    }
    // Each skin's inverse bind matrices (identity where the file gives none).
    std::vector<std::vector<Mat4d>> inverseBind(gltf.skins.size());
    for (size_t k = 0; k < gltf.skins.size(); ++k) {
        const tinygltf::Skin& skin = gltf.skins[k];
        std::vector<float> matrices;
        if (skin.inverseBindMatrices >= 0) {
            auto m = accessors.floats(skin.inverseBindMatrices, 16);
            if (!m) {
                return fail("");
            }
            matrices = std::move(*m);
        }
        inverseBind[k].assign(skin.joints.size(), IDENTITY);
        for (size_t j = 0; j < skin.joints.size() && matrices.size() >= (j + 1) * 16; ++j) {
            std::copy(matrices.begin() + long(j * 16), matrices.begin() + long(j * 16 + 16), inverseBind[k][j].begin());
        }
    }
    auto pose = [&](int a, double t, int target, std::vector<float>& shownWeights) {
        std::vector<std::array<double, 3>> tr = base;
        std::vector<std::array<double, 4>> ro = turn;
        std::vector<std::array<double, 3>> sc = size;
        std::vector<bool> animated(nodeCount, false);
        std::map<int, std::vector<double>> weights;
        if (a >= 0) {
            for (const Track& track : animations[size_t(a)]) {
                const std::vector<double> v = sample(track, t);
                const size_t n = size_t(track.node);
                if (track.path == "translation") {
                    tr[n] = {v[0], v[1], v[2]};
                    animated[n] = true;
                } else if (track.path == "rotation") {
                    ro[n] = {v[0], v[1], v[2], v[3]};
                    animated[n] = true;
                } else if (track.path == "scale") {
                    sc[n] = {v[0], v[1], v[2]};
                    animated[n] = true;
                } else if (track.path == "weights") {
                    weights[track.node] = v;
                }
            }
        }
        std::vector<Mat4d> global(nodeCount, IDENTITY);
        for (int n : order) {
            const size_t i = size_t(n);
            const Mat4d local = hasMatrix[i] && !animated[i] ? fixed[i] : composeTRS(tr[i], ro[i], sc[i]);
            global[i] = parent[i] >= 0 ? multiply(global[size_t(parent[i])], local) : local;
        }
        Positions out(total);
        shownWeights.clear();
        for (const Instance& in : instances) {
            std::vector<float> w = in.restWeights;
            if (target >= 0) {
                std::fill(w.begin(), w.end(), 0.0f);
                if (size_t(target) < w.size()) {
                    w[size_t(target)] = 1.0f;
                }
            } else if (auto it = weights.find(in.node); it != weights.end()) {
                for (size_t k = 0; k < w.size() && k < it->second.size(); ++k) {
                    w[k] = float(it->second[k]);
                }
            }
            if (shownWeights.empty()) {
                shownWeights = w;
            }
            std::vector<Mat4d> joints;
            if (in.skin >= 0 && size_t(in.skin) < gltf.skins.size()) {
                const tinygltf::Skin& skin = gltf.skins[size_t(in.skin)];
                for (size_t j = 0; j < skin.joints.size(); ++j) {
                    const int node = skin.joints[j];
                    const Mat4d& ibm = inverseBind[size_t(in.skin)][j];
                    joints.push_back(node >= 0 && size_t(node) < nodeCount ? multiply(global[size_t(node)], ibm) : ibm);
                }
            }
            // Only the targets that take part (a frame of a file this program wrote shows one).
            std::vector<std::pair<size_t, double>> active;
            for (size_t k = 0; k < in.targets.size() && k < w.size(); ++k) {
                if (w[k] != 0.0f) {
                    active.emplace_back(k, double(w[k]));
                }
            }
            const size_t count = in.positions.size() / 3;
            for (size_t v = 0; v < count; ++v) {
                std::array<double, 3> p{in.positions[v * 3], in.positions[v * 3 + 1], in.positions[v * 3 + 2]};
                for (const auto& [k, weight] : active) {
                    for (size_t c = 0; c < 3; ++c) {
                        p[c] += weight * in.targets[k][v * 3 + c];
                    }
                }
                if (!joints.empty()) {
                    // Linear blend skinning: the joint matrices weighted.
                    std::array<double, 3> q{0, 0, 0};
                    for (size_t i = 0; i < 4; ++i) {
                        const float weight = in.weights[v * 4 + i];
                        const auto which = in.joints[v * 4 + i];
                        // A joint number the skin does not have (negative, too large) moves nothing.
                        if (weight == 0.0f || !(which >= 0) || !(double(which) < double(joints.size()))) {
                            continue;
                        }
                        const auto joint = size_t(which);
                        const auto r = transformPoint(joints[joint], p);
                        for (size_t c = 0; c < 3; ++c) {
                            q[c] += double(weight) * r[c];
                        }
                    }
                    p = q;
                } else {
                    p = transformPoint(global[size_t(in.node)], p);
                }
                out[in.first + v] = fromGltf(p[0], p[1], p[2]);
            }
        }
        return out;
    };
    // A frame named after the morph target its weights show, when they show exactly one.
    auto nameOf = [&](const std::vector<float>& w, const std::string& fallback) {
        int shown = -1;
        for (size_t k = 0; k < w.size(); ++k) {
            if (w[k] == 1.0f && shown < 0) {
                shown = int(k);
            } else if (w[k] != 0.0f) {
                return fallback;
            }
        }
        return shown >= 0 && size_t(shown) < targetNames.size() && !targetNames[size_t(shown)].empty()
                   ? targetNames[size_t(shown)]
                   : fallback;
    };
    auto take = [&](Positions&& positions, std::string name) {
        if (!budget.take(positions.size() * sizeof(FrameVertex) + sizeof(Frame))) {
            return false;
        }
        Frame frame(std::move(name));
        frame.positions = std::move(positions);
        data.frames.push_back(std::move(frame));
        return true;
    };

    // The frames of an animation are named after it and numbered; the name loses its digits (which the
    // numbers would run into) and differs from the other animations' names.
    std::vector<std::string> animationNames;
    for (const tinygltf::Animation& animation : gltf.animations) {
        std::string name;
        for (char c : animation.name) {
            if (!std::isdigit(static_cast<unsigned char>(c)) && c != ' ') {
                name += c;
            }
        }
        if (name.empty()) {
            name = "animation";
        }
        std::string unique = name;
        for (size_t k = 1; std::any_of(animationNames.begin(), animationNames.end(),
                                       [&](const std::string& n) { return equalsIgnoreCase(n, unique); });
             ++k) {
            unique = name + letters(k);
        }
        animationNames.push_back(unique);
    }
    const int fps = std::clamp(context.framesPerSecond, 1, 1000);
    std::vector<float> shown;
    double sampled = 0; // frames of the animations so far: each costs its record even without vertices
    for (size_t a = 0; a < animations.size(); ++a) {
        double duration = 0;
        for (const Track& track : animations[a]) {
            if (!track.times.empty()) {
                duration = std::max(duration, double(track.times.back()));
            }
        }
        // Samples at 0, 1/fps, 2/fps... and one more at the last key when it falls between two of them,
        // so that the animation ends in its final pose.
        const double whole = std::floor(duration * fps + 1e-4);
        const bool lastBetween = duration * fps - whole > 1e-4;
        const double samples = whole + 1 + (lastBetween ? 1 : 0);
        sampled += samples;
        if (samples * double(total) * 12 > double(limits::MAX_DECODED_BYTES) || !(sampled <= limits::MAX_SAMPLED_FRAMES)) {
            return fail(limits::tooMuchToDecode());
        }
        const std::string name = animationNames[a];
        for (size_t k = 0; k < size_t(samples); ++k) {
            const double time = lastBetween && k + 1 == size_t(samples) ? duration : double(k) / fps;
            Positions positions = pose(int(a), time, -1, shown);
            // Frame numbers run to 99 (from 100 on, a name's first digit belongs to its animation's name):
            // a longer animation goes on as "<name>b1", "<name>c1", ...
            const std::string numbered = name + letters(k / 99) + std::to_string(k % 99 + 1);
            if (!take(std::move(positions), nameOf(shown, numbered))) {
                return fail(limits::tooMuchToDecode());
            }
        }
    }
    if (data.frames.empty()) {
        if (!take(pose(-1, 0, -1, shown), "base")) {
            return fail(limits::tooMuchToDecode());
        }
        const size_t targets = instances.front().targets.size();
        for (size_t k = 0; k < targets; ++k) {
            std::string fallback = "target" + std::to_string(k + 1);
            if (!take(pose(-1, 0, int(k), shown), k < targetNames.size() && !targetNames[k].empty() ? targetNames[k] : fallback)) {
                return fail(limits::tooMuchToDecode());
            }
        }
    }

    // Vertices at the same place in every frame are one vertex (a glTF mesh repeats a vertex for each
    // of its texture coordinates).
    std::vector<uint32_t> merged(total);
    std::vector<uint32_t> kept;
    const bool numbered = instances.size() == 1 && !instances[0].vertexNumbers.empty();
    if (numbered) {
        // A file this program wrote: its vertices say which model vertex they are.
        std::map<float, uint32_t> numbers;
        for (uint32_t v = 0; v < total; ++v) {
            auto [it, added] = numbers.try_emplace(instances[0].vertexNumbers[v], uint32_t(kept.size()));
            if (added) {
                kept.push_back(v);
            }
            merged[v] = it->second;
        }
    } else {
        std::unordered_map<uint64_t, std::vector<uint32_t>> buckets;
        auto same = [&](uint32_t a, uint32_t b) {
            for (const Frame& f : data.frames) {
                if (std::memcmp(&f.positions[a], &f.positions[b], sizeof(FrameVertex)) != 0) {
                    return false;
                }
            }
            return true;
        };
        for (uint32_t v = 0; v < total; ++v) {
            uint64_t h = 1469598103934665603ull;
            for (const Frame& f : data.frames) {
                uint32_t words[3];
                std::memcpy(words, &f.positions[v], 12);
                for (uint32_t w : words) {
                    h = (h ^ w) * 1099511628211ull;
                }
            }
            auto& bucket = buckets[h];
            auto it = std::find_if(bucket.begin(), bucket.end(), [&](uint32_t k) { return same(kept[k], v); });
            if (it == bucket.end()) {
                bucket.push_back(uint32_t(kept.size()));
                merged[v] = uint32_t(kept.size());
                kept.push_back(v);
            } else {
                merged[v] = *it;
            }
        }
    }
    for (Frame& f : data.frames) {
        Positions compact(kept.size());
        for (size_t k = 0; k < kept.size(); ++k) {
            compact[k] = f.positions[kept[k]];
        }
        f.positions = std::move(compact);
    }
    model.vertexInfos.resize(kept.size());
    model.triangles.reserve(corners.size());
    for (const auto& c : corners) {
        Triangle t;
        // Back to Quake's clockwise front faces.
        const uint32_t order3[3] = {c[0], c[2], c[1]};
        for (size_t k = 0; k < 3; ++k) {
            t.v[k] = int32_t(merged[order3[k]]);
            t.st[k] = {uvs[size_t(order3[k]) * 2] * float(width), uvs[size_t(order3[k]) * 2 + 1] * float(height)};
        }
        model.triangles.push_back(t);
    }
    if (!gltf.meshes.empty()) {
        model.name = gltf.meshes[size_t(gltf.nodes[size_t(instances.front().node)].mesh)].name;
    }
    return data;
}

} // namespace faceto
