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

// Values decoded from an accessor, shared by every instance of the mesh that uses them.
using Floats = std::shared_ptr<const std::vector<float>>;

// A morph weight other than zero: of which target, and how much.
using Weight = std::pair<uint32_t, float>;
using Weights = std::vector<Weight>; // by target, ascending

// Reads the accessors of a parsed file, every access checked against its buffer. Each accessor is
// decoded once, whatever uses it how often, and all that they decode together stays within a budget of
// its own (it is what the reader reads through, not what the model keeps).
class Accessors {
public:
    explicit Accessors(const tinygltf::Model& model) : model_(model) {}

    // The values of accessor `index` as floats, `components` per element (normalised integers scaled
    // as glTF says; other integers as they are; a sparse accessor's values over its base). Null with
    // `error()` set when it cannot be read.
    Floats floats(int index, int components);
    // The values of an index accessor.
    std::optional<std::vector<uint32_t>> indices(int index);
    // The values other than zero of a scalar accessor, by element: what a sparse accessor without a base
    // gives is read as it is, without the zeros around it.
    std::optional<std::vector<std::pair<size_t, float>>> nonZero(int index);
    // The number of elements, or nothing for an accessor the file does not have.
    std::optional<size_t> count(int index) const;
    const std::string& error() const { return error_; }

private:
    const tinygltf::Accessor* find(int index, int components);
    bool locate(const tinygltf::Accessor& a, int components, const uint8_t*& data, size_t& stride);
    // The elements and values a sparse accessor gives.
    bool readSparse(const tinygltf::Accessor& a, int components, std::vector<uint32_t>& at,
                    std::vector<float>& values);

    const tinygltf::Model& model_;
    limits::DecodeBudget budget_;
    std::map<std::pair<int, int>, Floats> decoded_;
    std::string error_;
};

// A mesh drawn by a node, and its vertices in the merged vertex list.
struct Instance {
    int node = -1;
    int skin = -1;
    size_t first = 0;            // its first vertex in the merged list
    size_t count = 0;            // its vertices
    Floats positions;            // 3 per vertex, the mesh's own space
    std::vector<Floats> targets; // per morph target, 3 per vertex
    Floats joints;               // `influences` per vertex, for a skinned mesh
    Floats weights;              // as many, adding up to one
    size_t influences = 0;       // 4 per set of joints and weights
    Weights restWeights;         // the morph weights of the node (or its mesh)
    Floats vertexNumbers;        // the model vertex of each, when the file says so
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
// What the model will hold is taken from `budget` before it is made.
Result<Scene> readScene(const tinygltf::Model& gltf, Accessors& accessors, limits::DecodeBudget& budget);

// An animation channel's sampler, read.
struct Track {
    int node = -1;
    std::string path;
    std::vector<float> times;
    std::vector<float>
        values; // translation, rotation, scale: `width` per key (a cubic spline key holds three)
    // Morph weights: per key (a cubic spline key: in-tangent, value, out-tangent) the weights other than
    // zero, which stay few where a key shows one target of many.
    std::vector<Weights> weights;
    int width = 0; // values per key
    std::string interpolation;
};
// Every animation's channels, with their keys checked.
Result<std::vector<std::vector<Track>>> readAnimations(const tinygltf::Model& gltf, Accessors& accessors);
// A track's value at time `t`: stepped, linear (spherical for rotations) or a cubic spline.
std::vector<double> sample(const Track& track, double t);
// The same for a track of morph weights.
Weights sampleWeights(const Track& track, double t);

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
    Positions pose(int animation, double t, int target, Weights& shownWeights) const;

private:
    // Morph weights an animation gives a node, for the first `width` of its targets.
    struct AnimatedWeights {
        Weights weights;
        uint32_t width = 0;
    };
    // Every node's transform to the scene at that time of the animation, and the morph weights animated.
    std::vector<Mat4d> globalTransforms(int animation, double t,
                                        std::map<int, AnimatedWeights>& weights) const;
    // The morph weights of an instance: a target shown alone, the animation's, or those it rests at;
    // only the targets that take part.
    static Weights activeWeights(const Instance& in, int target,
                                 const std::map<int, AnimatedWeights>& weights);
    // The joint matrices of an instance's skin at these node transforms (none without a skin).
    std::vector<Mat4d> jointMatrices(const Instance& in, const std::vector<Mat4d>& global) const;

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
