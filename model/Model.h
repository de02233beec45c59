#pragma once

#include "model/FrameMemory.h"

#include "model/Skin.h"

#include <array>
#include <optional>
#include <cstdint>
#include <string>
#include <vector>

namespace faceto {

// Per-vertex flag bits, shared by all frames and views.
constexpr int32_t VERTEX_SELECTED = 1;
constexpr int32_t VERTEX_VISIBLE = 2;
constexpr int32_t VERTEX_MARKED = 4; // transient: lives only during one operation

struct VertexInfo {
    int32_t flags = VERTEX_VISIBLE;
    std::array<int32_t, 3> reserved{0, 0, 0};

    bool visible() const { return (flags & VERTEX_VISIBLE) != 0; }
    bool selected() const { return (flags & VERTEX_SELECTED) != 0; }
    bool marked() const { return (flags & VERTEX_MARKED) != 0; }
};

struct Triangle {
    std::array<int32_t, 3> v{0, 0, 0};
    int32_t aux = 0;
    std::array<int32_t, 3> cornerAux{0, 0, 0};
    int32_t group = 0;
    int32_t color = 0;
    int32_t spare = 0;
    // Skin coordinates (s, t) of corners 0, 1, 2, in skin pixels.
    std::array<std::array<float, 2>, 3> st{};
    int32_t tail = 0;
};

// Derived from the triangles; never stored.
struct Edge {
    int32_t first = 0;
    int32_t second = 0;
    int32_t flags = 0;
    int32_t color = 0;
};

constexpr int32_t GROUP_VISIBLE = 2;

struct Group {
    std::string name = "unnamed";
    int32_t color = 0;
    int32_t flags = 0;
    int32_t tag = -1;
};

// One vertex position of one key frame. Files store exactly these three values. Nothing else travels
// with a position: the renderer keeps its per-vertex scratch values (camera-space positions) in
// buffers of its own, so a frame costs 12 bytes per vertex, which matters for 100 frames of a large mesh.
struct FrameVertex {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;

    float operator[](int axis) const { return axis == 0 ? x : axis == 1 ? y : z; }
    float& operator[](int axis) { return axis == 0 ? x : axis == 1 ? y : z; }
    bool operator==(const FrameVertex&) const = default;
};

// A frame's positions, one per vertex index: kept where FrameMemory puts them.
using Positions = std::vector<FrameVertex, FrameAllocator<FrameVertex>>;

struct Frame {
    std::string name = "unnamed";
    Positions positions; // exactly one per vertex index

    Frame() = default;
    explicit Frame(std::string frameName) : name(std::move(frameName)) {}
    bool operator==(const Frame&) const = default;
};

// Derived from the frame names.
struct Animation {
    std::string name;
    std::vector<int32_t> frameIndices; // ascending indices into the document's frame list
    std::vector<int32_t> reserved;     // stays empty
};

// A node of a 3do hierarchy. The block holds, as the 3do reader fills it, the node's position
// (values 0-2), its three angles (3-5), its pivot (6-8) and three scratch values (9-11).
struct SkeletonNode {
    std::array<float, 12> block{};
    std::array<std::array<float, 4>, 4> matrix{};
    std::string name = "unnamed";
    int32_t parent = -1;
    std::vector<int32_t> children;
    int32_t flags = 0; // 2 = drawn in the 2D views
    int32_t mesh = 0;
    float size = 0.0f;

    SkeletonNode() = default;
    SkeletonNode(const SkeletonNode&) = default;
    SkeletonNode(SkeletonNode&&) = default;
    SkeletonNode& operator=(SkeletonNode&&) = default;
    // Assigning a node keeps the target's angles and scratch values (block values 3-5 and 9-11).
    SkeletonNode& operator=(const SkeletonNode& other);
};

struct Model {
    std::string name = "unnamed";
    std::vector<VertexInfo> vertexInfos;
    std::vector<Triangle> triangles;
    std::vector<Edge> edges;
    std::vector<Group> groups;
    std::vector<SkeletonNode> skeletonNodes;
    std::vector<Skin> skins;

    int32_t vertexCount() const { return int32_t(vertexInfos.size()); }
    int32_t triangleCount() const { return int32_t(triangles.size()); }
};

// What a Quake model file holds besides its mesh and pictures, kept so that saving the model as one
// again writes it back.
struct QuakeFields {
    std::array<float, 3> eye{0, 0, 24};
    int32_t syncType = 0;
    int32_t flags = 0;
    // A skin group or frame group of the file (or a single skin or frame: not `grouped`), and how many
    // consecutive skins or frames of the model it holds.
    struct Group {
        bool grouped = false;
        int32_t count = 1;
        std::vector<float> intervals;
    };
    std::vector<Group> skinGroups;
    std::vector<Group> frameGroups;
    // The frame names as read: the groups are written back only while the frames are still these.
    std::vector<std::string> frameNames;
};

// What every model file holds besides the mesh: the game format the model came from and its skin size.
struct SourceFields {
    int32_t sourceFormat = 0; // 1 = mdl, 2 = md2
    int32_t sourceFlag = 0;
    int32_t skinWidth = 0;
    int32_t skinHeight = 0;
    int32_t hasSkins = 0;
    // Not stored in a native file: what a Quake model read from a file keeps of its header and groups,
    // and the skin names a Quake 2 model stores (every one, found or not), which a save back keeps.
    std::optional<QuakeFields> quake;
    std::vector<std::string> storedSkinNames;
};

constexpr int32_t SOURCE_MDL = 1;
constexpr int32_t SOURCE_MD2 = 2;

// Everything a reader produces: the document takes it over only when the read succeeded, so a
// failed read never leaves a half-loaded document.
struct ModelData {
    Model model;
    std::vector<Frame> frames;
    SourceFields source;
};

// The colours of groups made by the editor, by group index modulo 8.
constexpr std::array<int32_t, 8> GROUP_COLORS{8, 212, 25, 47, 55, 144, 79, 128};

// Copies what the frame clipboard keeps of a model: name, vertex infos, triangles, edges and skins.
// Groups and skeleton nodes of the target are left as they are.
void copyMesh(const Model& from, Model& to);

} // namespace faceto
