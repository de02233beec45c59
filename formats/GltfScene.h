#pragma once

// The stages of reading a glTF file, each a named step: the document is parsed, its scene walked for
// the meshes it draws (GltfScene), its animations read (GltfTrack), and poses of the scene worked out
// at a time of an animation (GltfPoser); importGltf samples those poses into frames, welds vertices and
// builds the model.

#include "formats/FormatTable.h"
#include "formats/Limits.h"
#include "formats/Result.h"
#include "model/Model.h"

#include <array>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <tiny_gltf.h>
#include <vector>

namespace faceto::gltf {

// The name of the attribute in which this program's own files say which model vertex a vertex is.
inline constexpr const char* VERTEX_ATTRIBUTE = "_VERTEX";

// Quake's axes (x forward, y left, z up) as glTF's (+z forward, +x left, +y up): a turn, no mirror.
inline std::array<float, 3> toGltf(const FrameVertex& p, float scale) {
    return {p.y * scale, p.z * scale, p.x * scale};
}
inline FrameVertex fromGltf(double x, double y, double z) {
    return {float(z), float(x), float(y)};
}

// The file parsed: the JSON (nested no deeper than a limit), its buffers and pictures (read beside the
// model through the context). Pictures are kept as their bytes, to be decoded with a skin's limits.
Result<tinygltf::Model> parseDocument(std::span<const uint8_t> bytes, const ReadContext& context);

// Reads the accessors of a parsed file, every access checked against its buffer.
class Accessors {
public:
    Accessors(const tinygltf::Model& model, limits::DecodeBudget& budget) : model_(model), budget_(budget) {}

    // The values of accessor `index` as floats, `components` per element (normalised integers scaled
    // as glTF says; other integers as they are). Empty with `error()` set when it cannot be read.
    std::optional<std::vector<float>> floats(int index, int components);
    // The values of an index accessor.
    std::optional<std::vector<uint32_t>> indices(int index);
    const std::string& error() const { return error_; }

private:
    const tinygltf::Accessor* find(int index, int components);
    bool locate(const tinygltf::Accessor& a, int components, const uint8_t*& data, size_t& stride);

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

// What the default scene draws: its nodes (parents before children), every triangle primitive of the
// meshes they draw merged into one vertex list, and the texture of the first that has one.
struct Scene {
    std::vector<int> parent; // per node, -1 for a root or a node the scene does not reach
    std::vector<int> order;  // the nodes the scene reaches, parents first
    std::vector<Instance> instances;
    std::vector<float> uvs;                       // 2 per merged vertex
    std::vector<std::array<uint32_t, 3>> corners; // of every triangle, merged vertices
    std::vector<std::string> targetNames;         // the morph targets' names, when the file has them
    int texture = -1;
    size_t vertexCount = 0; // merged
};
Result<Scene> readScene(const tinygltf::Model& gltf, Accessors& accessors);

// An animation channel's sampler, read.
struct Track {
    int node = -1;
    std::string path;
    std::vector<float> times;
    std::vector<float> values;
    int width = 0; // values per key (a cubic spline key holds three times as many)
    std::string interpolation;
};
// Every animation's channels, with their keys checked.
Result<std::vector<std::vector<Track>>> readAnimations(const tinygltf::Model& gltf, Accessors& accessors);
// A track's value at time `t`: stepped, linear (spherical for rotations) or a cubic spline.
std::vector<double> sample(const Track& track, double t);

// 4 x 4 matrices in glTF's order: column after column.
using Mat4d = std::array<double, 16>;
// Each skin's inverse bind matrices (identity where the file gives none), per joint.
Result<std::vector<std::vector<Mat4d>>> readInverseBinds(const tinygltf::Model& gltf, Accessors& accessors);

// The positions of every merged vertex, in Quake's axes, for a pose of the scene.
class Poser {
public:
    Poser(const tinygltf::Model& gltf, const Scene& scene, const std::vector<std::vector<Track>>& animations,
          std::vector<std::vector<Mat4d>> inverseBind);
    // At time `t` of animation `animation` (none: -1), or in the rest pose with morph target `target`
    // fully applied (-1: none). `shownWeights` are the morph weights of the first instance.
    Positions pose(int animation, double t, int target, std::vector<float>& shownWeights) const;

private:
    // Every node's transform to the scene at that time of the animation, and the morph weights animated.
    std::vector<Mat4d> globalTransforms(int animation, double t,
                                        std::map<int, std::vector<double>>& weights) const;

    const tinygltf::Model& gltf_;
    const Scene& scene_;
    const std::vector<std::vector<Track>>& animations_;
    std::vector<std::array<double, 3>> translation_;
    std::vector<std::array<double, 4>> rotation_;
    std::vector<std::array<double, 3>> scale_;
    std::vector<Mat4d> fixed_;
    std::vector<bool> hasMatrix_;
    std::vector<std::vector<Mat4d>> inverseBind_;
};

} // namespace faceto::gltf
