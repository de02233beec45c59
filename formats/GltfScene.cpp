#include "formats/GltfScene.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace faceto::gltf {

namespace {

// The reason given, or the accessors' when none is.
Failure failure(const Accessors& accessors, const std::string& why) {
    return Failure{why.empty() ? accessors.error() : why};
}

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
Mat4d composeTRS(const std::array<double, 3>& t, const std::array<double, 4>& q,
                 const std::array<double, 3>& s) {
    const double x = q[0], y = q[1], z = q[2], w = q[3];
    Mat4d m{1 - 2 * (y * y + z * z),
            2 * (x * y + z * w),
            2 * (x * z - y * w),
            0,
            2 * (x * y - z * w),
            1 - 2 * (x * x + z * z),
            2 * (y * z + x * w),
            0,
            2 * (x * z + y * w),
            2 * (y * z - x * w),
            1 - 2 * (x * x + y * y),
            0,
            t[0],
            t[1],
            t[2],
            1};
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

// The nodes the default scene reaches, parents before children, with their parents; without scenes, every
// node that is no other's child is a root.
void walkNodes(const tinygltf::Model& gltf, Scene& scene) {
    const size_t nodeCount = gltf.nodes.size();
    scene.parent.assign(nodeCount, -1);
    std::vector<int> roots;
    const int chosen = gltf.defaultScene >= 0 ? gltf.defaultScene : 0;
    if (size_t(chosen) < gltf.scenes.size()) {
        roots = gltf.scenes[size_t(chosen)].nodes;
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
        scene.parent[size_t(n)] = p;
        scene.order.push_back(n);
        const auto& children = gltf.nodes[size_t(n)].children;
        for (auto it = children.rbegin(); it != children.rend(); ++it) {
            stack.emplace_back(*it, n);
        }
    }
}

// The morph targets of a primitive (their offsets, 3 per vertex) and the weights they rest at.
std::optional<std::string> readTargets(const tinygltf::Primitive& primitive, const std::vector<double>& rest,
                                       size_t count, Accessors& accessors, Instance& in) {
    static const Floats none = std::make_shared<const std::vector<float>>();
    for (const auto& target : primitive.targets) {
        Floats offsets;
        if (const auto t = target.find("POSITION"); t != target.end()) {
            offsets = accessors.floats(t->second, 3);
            if (offsets == nullptr || offsets->size() != count * 3) {
                return offsets ? "a morph target and its mesh differ in vertices" : accessors.error();
            }
        }
        in.targets.push_back(offsets ? offsets : none); // a target that moves nothing
    }
    for (size_t k = 0; k < rest.size() && k < in.targets.size(); ++k) {
        if (float(rest[k]) != 0.0f) {
            in.restWeights.emplace_back(uint32_t(k), float(rest[k]));
        }
    }
    return std::nullopt;
}

// The joints and weights of a skinned primitive: every set of them (JOINTS_0 and WEIGHTS_0, JOINTS_1 and
// WEIGHTS_1...), four influences each, the weights of a vertex scaled to add up to one.
std::optional<std::string> readJoints(const tinygltf::Primitive& primitive, size_t count,
                                      Accessors& accessors, Instance& in) {
    std::vector<Floats> joints;
    std::vector<Floats> weights;
    for (int set = 0;; ++set) {
        const auto j = primitive.attributes.find("JOINTS_" + std::to_string(set));
        const auto w = primitive.attributes.find("WEIGHTS_" + std::to_string(set));
        if (j == primitive.attributes.end() || w == primitive.attributes.end()) {
            break;
        }
        joints.push_back(accessors.floats(j->second, 4));
        weights.push_back(accessors.floats(w->second, 4));
        if (!joints.back() || !weights.back() || joints.back()->size() != count * 4 ||
            weights.back()->size() != count * 4) {
            return joints.back() && weights.back() ? "joints, weights and positions differ in number"
                                                   : accessors.error();
        }
    }
    if (joints.empty()) {
        return "a skinned mesh has no joints or weights";
    }
    in.influences = joints.size() * 4;
    if (joints.size() == 1) {
        in.joints = joints[0];
        in.weights = weights[0];
    } else {
        auto allJoints = std::make_shared<std::vector<float>>(count * in.influences);
        auto allWeights = std::make_shared<std::vector<float>>(count * in.influences);
        for (size_t v = 0; v < count; ++v) {
            for (size_t set = 0; set < joints.size(); ++set) {
                std::copy_n(joints[set]->begin() + std::ptrdiff_t(v * 4), 4,
                            allJoints->begin() + std::ptrdiff_t(v * in.influences + set * 4));
                std::copy_n(weights[set]->begin() + std::ptrdiff_t(v * 4), 4,
                            allWeights->begin() + std::ptrdiff_t(v * in.influences + set * 4));
            }
        }
        in.joints = std::move(allJoints);
        in.weights = std::move(allWeights);
    }
    // Exporters write weights that add up to one only roughly (in bytes or shorts, or by hand).
    auto scaled = std::make_shared<std::vector<float>>(*in.weights);
    bool changed = false;
    for (size_t v = 0; v < count; ++v) {
        float* w = scaled->data() + v * in.influences;
        double sum = 0;
        for (size_t i = 0; i < in.influences; ++i) {
            sum += std::isfinite(w[i]) && w[i] > 0 ? double(w[i]) : 0.0;
        }
        if (sum > 0 && float(sum) != 1.0f) {
            for (size_t i = 0; i < in.influences; ++i) {
                w[i] = std::isfinite(w[i]) && w[i] > 0 ? float(double(w[i]) / sum) : 0.0f;
            }
            changed = true;
        }
    }
    if (changed) {
        in.weights = std::move(scaled);
    }
    return std::nullopt;
}

// A primitive's triangles, from a list, a strip or a fan, as merged vertices from `first` on.
std::optional<std::string> readTriangles(const tinygltf::Primitive& primitive, int mode, size_t count,
                                         size_t first, Accessors& accessors,
                                         std::vector<std::array<uint32_t, 3>>& corners) {
    std::vector<uint32_t> index;
    if (primitive.indices >= 0) {
        auto i = accessors.indices(primitive.indices);
        if (!i) {
            return accessors.error();
        }
        index = std::move(*i);
    } else {
        index.resize(count);
        std::iota(index.begin(), index.end(), 0u);
    }
    for (uint32_t i : index) {
        if (i >= count) {
            return "a triangle uses a vertex the mesh does not have";
        }
    }
    auto add = [&](uint32_t a, uint32_t b, uint32_t c) {
        corners.push_back({uint32_t(first) + a, uint32_t(first) + b, uint32_t(first) + c});
    };
    if (mode == TINYGLTF_MODE_TRIANGLES) {
        for (size_t i = 0; i + 2 < index.size(); i += 3) {
            add(index[i], index[i + 1], index[i + 2]);
        }
    } else if (mode == TINYGLTF_MODE_TRIANGLE_STRIP) {
        for (size_t i = 0; i + 2 < index.size(); ++i) {
            i % 2 == 0 ? add(index[i], index[i + 1], index[i + 2])
                       : add(index[i + 1], index[i], index[i + 2]);
        }
    } else {
        for (size_t i = 1; i + 1 < index.size(); ++i) {
            add(index[0], index[i], index[i + 1]);
        }
    }
    return std::nullopt;
}

// One triangle primitive drawn by node `n`, added to the scene's merged vertices and triangles.
std::optional<std::string> readPrimitive(const tinygltf::Model& gltf, int n, const tinygltf::Mesh& mesh,
                                         const tinygltf::Primitive& primitive, Accessors& accessors,
                                         limits::DecodeBudget& budget, Scene& scene) {
    const tinygltf::Node& node = gltf.nodes[size_t(n)];
    const int mode = primitive.mode < 0 ? TINYGLTF_MODE_TRIANGLES : primitive.mode;
    if (mode != TINYGLTF_MODE_TRIANGLES && mode != TINYGLTF_MODE_TRIANGLE_STRIP &&
        mode != TINYGLTF_MODE_TRIANGLE_FAN) {
        return "only triangles are read, and a primitive of the file draws points or lines";
    }
    const auto position = primitive.attributes.find("POSITION");
    if (position == primitive.attributes.end()) {
        return "a primitive has no positions";
    }
    Instance in;
    in.node = n;
    in.skin = node.skin;
    in.first = scene.vertexCount;
    in.positions = accessors.floats(position->second, 3);
    if (!in.positions) {
        return accessors.error();
    }
    const size_t count = in.positions->size() / 3;
    in.count = count;
    // What the model will hold of this instance, before any of it is made: its share of the merged
    // vertices (a position in each frame, counted as frames are made; the skin coordinate and the weld
    // here) and of the triangles.
    const uint64_t triangles =
        primitive.indices >= 0 ? accessors.count(primitive.indices).value_or(0) : count;
    if (!budget.take(uint64_t(count) * 16 + triangles * (12 + sizeof(Triangle)))) {
        return limits::tooMuchToDecode();
    }
    if (const auto v = primitive.attributes.find(VERTEX_ATTRIBUTE); v != primitive.attributes.end()) {
        in.vertexNumbers = accessors.floats(v->second, 1);
        if (!in.vertexNumbers || in.vertexNumbers->size() != count) {
            return in.vertexNumbers ? "vertex numbers and positions differ in number" : accessors.error();
        }
    }
    if (const auto t = primitive.attributes.find("TEXCOORD_0"); t != primitive.attributes.end()) {
        const Floats uv = accessors.floats(t->second, 2);
        if (!uv || uv->size() != count * 2) {
            return uv ? "texture coordinates and positions differ in number" : accessors.error();
        }
        scene.uvs.insert(scene.uvs.end(), uv->begin(), uv->end());
    } else {
        scene.uvs.insert(scene.uvs.end(), count * 2, 0.0f);
    }
    const std::vector<double>& rest = !node.weights.empty() ? node.weights : mesh.weights;
    if (auto error = readTargets(primitive, rest, count, accessors, in)) {
        return error;
    }
    if (in.skin >= 0) {
        if (auto error = readJoints(primitive, count, accessors, in)) {
            return error;
        }
    }
    if (auto error = readTriangles(primitive, mode, count, scene.vertexCount, accessors, scene.corners)) {
        return error;
    }
    if (scene.texture < 0 && primitive.material >= 0 && size_t(primitive.material) < gltf.materials.size()) {
        scene.texture =
            gltf.materials[size_t(primitive.material)].pbrMetallicRoughness.baseColorTexture.index;
    }
    scene.vertexCount += count;
    scene.instances.push_back(std::move(in));
    return std::nullopt;
}

} // namespace

Result<Scene> readScene(const tinygltf::Model& gltf, Accessors& accessors, limits::DecodeBudget& budget) {
    Scene scene;
    walkNodes(gltf, scene);
    // Every triangle primitive of every mesh the scene draws, merged.
    for (int n : scene.order) {
        const tinygltf::Node& node = gltf.nodes[size_t(n)];
        if (node.mesh < 0) {
            continue;
        }
        if (size_t(node.mesh) >= gltf.meshes.size()) {
            return Failure{"a node draws a mesh the file does not have"};
        }
        const tinygltf::Mesh& mesh = gltf.meshes[size_t(node.mesh)];
        if (scene.targetNames.empty() && mesh.extras.Has("targetNames") &&
            mesh.extras.Get("targetNames").IsArray()) {
            const tinygltf::Value& names = mesh.extras.Get("targetNames");
            for (size_t i = 0; i < names.ArrayLen(); ++i) {
                scene.targetNames.push_back(
                    names.Get(int(i)).IsString() ? names.Get(int(i)).Get<std::string>() : "");
            }
        }
        for (const tinygltf::Primitive& primitive : mesh.primitives) {
            if (auto error = readPrimitive(gltf, n, mesh, primitive, accessors, budget, scene)) {
                return Failure{*error};
            }
        }
    }
    if (scene.instances.empty()) {
        return Failure{"the file's scene has no mesh"};
    }
    return scene;
}

namespace {

// A track's values: as they are for a node's transform, the weights other than zero for morph weights.
std::optional<std::string> readValues(int output, Accessors& accessors, Track& track) {
    const bool weights = track.path == "weights";
    const int components = track.path == "rotation" ? 4 : weights ? 1 : 3;
    const size_t keys = std::max<size_t>(track.times.size(), 1);
    const size_t perKey = (track.interpolation == "CUBICSPLINE" ? 3 : 1);
    const std::optional<size_t> count = accessors.count(output);
    const size_t values = count.value_or(0) * size_t(weights ? 1 : components);
    track.width = int(std::min<size_t>(values / (keys * perKey), size_t(INT32_MAX)));
    if (!count || track.width <= 0 || size_t(track.width) * keys * perKey != values ||
        (!weights && track.width != components)) {
        return count ? "an animation's values do not match its times" : accessors.error();
    }
    if (!weights) {
        const Floats dense = accessors.floats(output, components);
        if (!dense) {
            return accessors.error();
        }
        track.values = *dense;
        return std::nullopt;
    }
    const auto nonZero = accessors.nonZero(output);
    if (!nonZero) {
        return accessors.error();
    }
    track.weights.resize(keys * perKey);
    for (const auto& [element, value] : *nonZero) {
        track.weights[element / size_t(track.width)].emplace_back(uint32_t(element % size_t(track.width)),
                                                                  value);
    }
    return std::nullopt;
}

} // namespace

Result<std::vector<std::vector<Track>>> readAnimations(const tinygltf::Model& gltf, Accessors& accessors) {
    auto fail = [&](const std::string& why) { return failure(accessors, why); };
    std::vector<std::vector<Track>> animations;
    for (const tinygltf::Animation& animation : gltf.animations) {
        std::vector<Track> tracks;
        for (const tinygltf::AnimationChannel& channel : animation.channels) {
            if (channel.sampler < 0 || size_t(channel.sampler) >= animation.samplers.size() ||
                channel.target_node < 0 || size_t(channel.target_node) >= gltf.nodes.size()) {
                continue;
            }
            const tinygltf::AnimationSampler& s = animation.samplers[size_t(channel.sampler)];
            Track track;
            track.node = channel.target_node;
            track.path = channel.target_path;
            track.interpolation = s.interpolation.empty() ? "LINEAR" : s.interpolation;
            const Floats times = accessors.floats(s.input, 1);
            if (!times) {
                return fail("");
            }
            track.times = *times;
            if (!std::is_sorted(track.times.begin(), track.times.end()) ||
                std::any_of(track.times.begin(), track.times.end(),
                            [](float t) { return !std::isfinite(t); })) {
                return fail("an animation's times do not run forwards");
            }
            if (auto error = readValues(s.output, accessors, track)) {
                return fail(*error);
            }
            tracks.push_back(std::move(track));
        }
        animations.push_back(std::move(tracks));
    }
    return animations;
}

// Where time `t` falls among a track's keys (of which it has at least one): at key `key` itself
// (before the first, after the last, or the only one), or `u` of the way from `key` to the next, `dt`
// apart.
struct KeySpan {
    size_t key = 0;
    bool atKey = true;
    double u = 0.0;
    double dt = 0.0;
};

KeySpan keySpan(const Track& track, double t) {
    const size_t keys = track.times.size();
    if (t <= track.times.front() || keys == 1) {
        return {0, true};
    }
    if (t >= track.times.back() - 1e-6 * std::max(1.0, std::abs(t))) {
        return {keys - 1, true};
    }
    // A sample a rounding away from a key is at the key (frames at k / 10 s meet keys written in float).
    const float probe = float(t) + 1e-6f * std::max(1.0f, std::abs(float(t)));
    size_t k =
        size_t(std::upper_bound(track.times.begin(), track.times.end(), probe) - track.times.begin()) - 1;
    k = std::min(k, keys - 2);
    const double t0 = track.times[k];
    const double dt = double(track.times[k + 1]) - t0;
    return {k, false, dt > 0 ? std::clamp((t - t0) / dt, 0.0, 1.0) : 0.0, dt};
}

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
    const KeySpan span = keySpan(track, t);
    if (span.atKey) {
        return value(span.key);
    }
    const size_t k = span.key;
    const double dt = span.dt;
    const double u = span.u;
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
            out[c] = (2 * u3 - 3 * u2 + 1) * a[c] + (u3 - 2 * u2 + u) * dt * outTangent +
                     (-2 * u3 + 3 * u2) * b[c] + (u3 - u2) * dt * inTangent;
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

namespace {

// The weights of up to four keys target by target (a target missing from a key is 0 there), combined by
// `f` from their values in the order given; weights that come to 0 are left out.
template <size_t N, typename F> Weights combine(const std::array<const Weights*, N>& keys, F f) {
    Weights out;
    std::array<size_t, N> at{};
    for (;;) {
        uint32_t target = UINT32_MAX;
        for (size_t i = 0; i < N; ++i) {
            if (at[i] < keys[i]->size()) {
                target = std::min(target, (*keys[i])[at[i]].first);
            }
        }
        if (target == UINT32_MAX) {
            return out;
        }
        std::array<double, N> values{};
        for (size_t i = 0; i < N; ++i) {
            if (at[i] < keys[i]->size() && (*keys[i])[at[i]].first == target) {
                values[i] = (*keys[i])[at[i]++].second;
            }
        }
        if (const float value = float(f(values)); value != 0.0f) {
            out.emplace_back(target, value);
        }
    }
}

} // namespace

Weights sampleWeights(const Track& track, double t) {
    const size_t keys = track.times.size();
    const bool cubic = track.interpolation == "CUBICSPLINE";
    auto value = [&](size_t k) -> const Weights& { return track.weights[cubic ? 3 * k + 1 : k]; };
    if (keys == 0 || track.weights.empty()) {
        return {};
    }
    const KeySpan span = keySpan(track, t);
    if (span.atKey) {
        return value(span.key);
    }
    const size_t k = span.key;
    const double dt = span.dt;
    const double u = span.u;
    if (track.interpolation == "STEP") {
        return value(k);
    }
    // The same arithmetic as `sample`, weight by weight.
    if (!cubic) {
        return combine<2>({&value(k), &value(k + 1)},
                          [u](const std::array<double, 2>& v) { return v[0] + (v[1] - v[0]) * u; });
    }
    const double u2 = u * u;
    const double u3 = u2 * u;
    return combine<4>({&value(k), &track.weights[3 * k + 2], &value(k + 1), &track.weights[3 * (k + 1)]},
                      [&](const std::array<double, 4>& v) {
                          return (2 * u3 - 3 * u2 + 1) * v[0] + (u3 - 2 * u2 + u) * dt * v[1] +
                                 (-2 * u3 + 3 * u2) * v[2] + (u3 - u2) * dt * v[3];
                      });
}

Result<std::vector<std::vector<Mat4d>>> readInverseBinds(const tinygltf::Model& gltf, Accessors& accessors) {
    std::vector<std::vector<Mat4d>> inverseBind(gltf.skins.size());
    for (size_t k = 0; k < gltf.skins.size(); ++k) {
        const tinygltf::Skin& skin = gltf.skins[k];
        std::vector<float> matrices;
        if (skin.inverseBindMatrices >= 0) {
            const Floats m = accessors.floats(skin.inverseBindMatrices, 16);
            if (!m) {
                return failure(accessors, "");
            }
            matrices = *m;
        }
        inverseBind[k].assign(skin.joints.size(), IDENTITY);
        for (size_t j = 0; j < skin.joints.size() && matrices.size() >= (j + 1) * 16; ++j) {
            std::copy(matrices.begin() + long(j * 16), matrices.begin() + long(j * 16 + 16),
                      inverseBind[k][j].begin());
        }
    }
    return inverseBind;
}

Poser::Poser(const tinygltf::Model& gltf, const Scene& scene,
             const std::vector<std::vector<Track>>& animations, std::vector<std::vector<Mat4d>> inverseBind)
    : gltf_(gltf), scene_(scene), animations_(animations), inverseBind_(std::move(inverseBind)) {
    const size_t nodeCount = gltf.nodes.size();
    translation_.resize(nodeCount);
    rotation_.resize(nodeCount);
    scale_.resize(nodeCount);
    fixed_.assign(nodeCount, IDENTITY);
    hasMatrix_.assign(nodeCount, false);
    for (size_t n = 0; n < nodeCount; ++n) {
        const tinygltf::Node& node = gltf.nodes[n];
        translation_[n] =
            node.translation.size() == 3
                ? std::array<double, 3>{node.translation[0], node.translation[1], node.translation[2]}
                : std::array<double, 3>{0, 0, 0};
        rotation_[n] = node.rotation.size() == 4 ? std::array<double, 4>{node.rotation[0], node.rotation[1],
                                                                         node.rotation[2], node.rotation[3]}
                                                 : std::array<double, 4>{0, 0, 0, 1};
        scale_[n] = node.scale.size() == 3
                        ? std::array<double, 3>{node.scale[0], node.scale[1], node.scale[2]}
                        : std::array<double, 3>{1, 1, 1};
        if (node.matrix.size() == 16) {
            hasMatrix_[n] = true;
            std::copy(node.matrix.begin(), node.matrix.end(), fixed_[n].begin());
        }
    }
}

std::vector<Mat4d> Poser::globalTransforms(int animation, double t,
                                           std::map<int, AnimatedWeights>& weights) const {
    const size_t nodeCount = gltf_.nodes.size();
    std::vector<std::array<double, 3>> tr = translation_;
    std::vector<std::array<double, 4>> ro = rotation_;
    std::vector<std::array<double, 3>> sc = scale_;
    std::vector<bool> animated(nodeCount, false);
    if (animation >= 0) {
        for (const Track& track : animations_[size_t(animation)]) {
            if (track.path == "weights") {
                weights[track.node] = {sampleWeights(track, t), uint32_t(track.width)};
                continue;
            }
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
            }
        }
    }
    std::vector<Mat4d> global(nodeCount, IDENTITY);
    for (int n : scene_.order) {
        const size_t i = size_t(n);
        const Mat4d local = hasMatrix_[i] && !animated[i] ? fixed_[i] : composeTRS(tr[i], ro[i], sc[i]);
        global[i] = scene_.parent[i] >= 0 ? multiply(global[size_t(scene_.parent[i])], local) : local;
    }
    return global;
}

Weights Poser::activeWeights(const Instance& in, int target, const std::map<int, AnimatedWeights>& weights) {
    Weights active;
    if (target >= 0) {
        if (size_t(target) < in.targets.size()) {
            active.emplace_back(uint32_t(target), 1.0f);
        }
        return active;
    }
    const auto it = weights.find(in.node);
    if (it == weights.end()) {
        return in.restWeights;
    }
    // The animation gives the weights of its first `width` targets; the rest stay as they rest.
    const auto& [animated, width] = it->second;
    for (const Weight& w : animated) {
        if (w.first < in.targets.size()) {
            active.push_back(w);
        }
    }
    for (const Weight& w : in.restWeights) {
        if (w.first >= width) {
            active.push_back(w);
        }
    }
    return active;
}

std::vector<Mat4d> Poser::jointMatrices(const Instance& in, const std::vector<Mat4d>& global) const {
    std::vector<Mat4d> joints;
    if (in.skin < 0 || size_t(in.skin) >= gltf_.skins.size()) {
        return joints;
    }
    const tinygltf::Skin& skin = gltf_.skins[size_t(in.skin)];
    for (size_t j = 0; j < skin.joints.size(); ++j) {
        const int node = skin.joints[j];
        const Mat4d& ibm = inverseBind_[size_t(in.skin)][j];
        joints.push_back(node >= 0 && size_t(node) < gltf_.nodes.size() ? multiply(global[size_t(node)], ibm)
                                                                        : ibm);
    }
    return joints;
}

namespace {

// Linear blend skinning: the point moved by each joint matrix, weighted.
std::array<double, 3> skinned(const Instance& in, size_t v, const std::vector<Mat4d>& joints,
                              const std::array<double, 3>& p) {
    std::array<double, 3> q{0, 0, 0};
    for (size_t i = 0; i < in.influences; ++i) {
        const float weight = (*in.weights)[v * in.influences + i];
        const auto which = (*in.joints)[v * in.influences + i];
        // A joint number the skin does not have (negative, too large) moves nothing.
        if (weight == 0.0f || !(which >= 0) || !(double(which) < double(joints.size()))) {
            continue;
        }
        const auto r = transformPoint(joints[size_t(which)], p);
        for (size_t c = 0; c < 3; ++c) {
            q[c] += double(weight) * r[c];
        }
    }
    return q;
}

} // namespace

Positions Poser::pose(int animation, double t, int target, Weights& shownWeights) const {
    std::map<int, AnimatedWeights> weights;
    const std::vector<Mat4d> global = globalTransforms(animation, t, weights);
    Positions out(scene_.vertexCount);
    shownWeights.clear();
    bool shown = false;
    for (const Instance& in : scene_.instances) {
        const Weights active = activeWeights(in, target, weights);
        if (!shown) {
            shownWeights = active;
            shown = true;
        }
        const std::vector<Mat4d> joints = jointMatrices(in, global);
        const std::vector<float>& positions = *in.positions;
        for (size_t v = 0; v < in.count; ++v) {
            std::array<double, 3> p{positions[v * 3], positions[v * 3 + 1], positions[v * 3 + 2]};
            for (const auto& [k, weight] : active) {
                const std::vector<float>& offsets = *in.targets[k];
                for (size_t c = 0; c < 3 && !offsets.empty(); ++c) {
                    p[c] += double(weight) * offsets[v * 3 + c];
                }
            }
            p = joints.empty() ? transformPoint(global[size_t(in.node)], p) : skinned(in, v, joints, p);
            out[in.first + v] = fromGltf(p[0], p[1], p[2]);
        }
    }
    return out;
}

} // namespace faceto::gltf
