#pragma once

#include "model/FrameMemory.h"
#include "model/Skin.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
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

// How a Quake or Quake 2 file packed a frame into bytes: its grid (per axis, position = byte x scale +
// translate), the normal index it gave each vertex and, in a Quake model, the frame's packed bounds. A
// save packs the frame on that grid again while every position still lies on it, and writes the
// normals and bounds back while the packed positions are the ones read (`packedDigest`) over the same
// triangles (`meshDigest`): an unedited frame keeps the bytes the tool that made it gave it.
struct FramePacking {
    std::array<float, 3> scale{};
    std::array<float, 3> translate{};
    std::vector<uint8_t> normals; // one per vertex
    std::optional<std::array<uint8_t, 8>> bounds;
    // The 16-byte name field as stored (what follows the name's zero byte included), written back while
    // the frame keeps the name read from it.
    std::optional<std::array<uint8_t, 16>> nameField;
    uint64_t packedDigest = 0;
    // How `packedDigest` was made: 1 one vertex after the other (files of earlier versions), 2 in four
    // lanes (see packedDigest).
    uint8_t digestKind = 1;
    uint64_t meshDigest = 0;
    // A Quake III frame's bounds, local origin and radius (40 bytes) as stored.
    std::optional<std::array<uint8_t, 40>> md3Record;
    // A Quake III frame's packed positions and normals (8 bytes a vertex, surface after surface).
    std::vector<uint8_t> md3Vertices;
};

// Where a tag (a Quake III attachment point: head on torso, weapon in hand) lies in one frame: its origin
// and its three axes.
struct TagPlacement {
    std::array<float, 3> origin{0, 0, 0};
    std::array<std::array<float, 3>, 3> axes{{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}};
    bool operator==(const TagPlacement&) const = default;
};

struct Frame {
    std::string name = "unnamed";
    Positions positions; // exactly one per vertex index
    // What the file it was read from packed it as; travels with the frame (copies, clipboard, undo).
    std::shared_ptr<const FramePacking> packing;
    // One placement per tag of the model (none when it has no tags; a frame made in the editor may have
    // fewer, its missing tags lie at the origin).
    std::vector<TagPlacement> tags;

    Frame() = default;
    explicit Frame(std::string frameName) : name(std::move(frameName)) {}
    bool operator==(const Frame& other) const { return name == other.name && positions == other.positions; }
};

// Derived from the frame names.
struct Animation {
    std::string name;
    std::vector<int32_t> frameIndices; // into the document's frame list, in the order of the frames' numbers
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
};

struct Model {
    std::string name = "unnamed";
    std::vector<VertexInfo> vertexInfos;
    std::vector<Triangle> triangles;
    std::vector<Edge> edges;
    std::vector<Group> groups;
    std::vector<SkeletonNode> skeletonNodes;
    std::vector<Skin> skins;
    std::vector<std::string> tagNames; // the model's tags; where each lies is a frame's

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
        std::optional<std::array<uint8_t, 8>> bounds; // of a frame group, as read
    };
    std::vector<Group> skinGroups;
    std::vector<Group> frameGroups;
    // The frame names as read: the groups are written back only while the frames are still these.
    std::vector<std::string> frameNames;
    // The bounding radius and average triangle size of the header, written back while the mesh and every
    // frame are the ones read.
    float radius = 0.0f;
    float size = 0.0f;
};

// The sections of a Quake or Quake 2 file that describe its mesh, as read: the skin coordinates, the
// triangles and (Quake 2) the GL commands. A save writes them back while the mesh is still the one they
// describe (`meshDigest`: the vertex count, the triangles' corners and skin coordinates) on a skin of the
// same size, so that an unedited model keeps the layout its tool gave it (unused coordinates, strip order).
struct KeptMesh {
    int32_t format = 0; // SOURCE_MDL or SOURCE_MD2
    uint64_t meshDigest = 0;
    int32_t skinWidth = 0;
    int32_t skinHeight = 0;
    int32_t texcoordCount = 0;
    int32_t glCommandWords = 0;
    std::vector<uint8_t> texcoords;
    std::vector<uint8_t> triangles;
    std::vector<uint8_t> glCommands;
};

// What a Quake III model keeps of its header and surfaces, for a save back (and through a native file):
// the name fields as stored, each surface's flags, shaders and the vertices it holds, and, while the mesh
// is the one read (`meshDigest`), each surface's triangles and skin coordinates as stored.
struct Md3Fields {
    using NameField = std::array<uint8_t, 64>;
    NameField name{};
    int32_t flags = 0;
    int32_t skinCount = 0; // the header's count of skins, which the engine never reads
    struct Shader {
        NameField name{};
        int32_t index = 0;
    };
    struct Surface {
        NameField name{};
        int32_t flags = 0;
        std::vector<Shader> shaders;
        int32_t firstVertex = 0; // of the model's vertices, the surface holds `vertexCount` from here
        int32_t vertexCount = 0;
        std::vector<std::array<int32_t, 3>> triangles; // surface-local corners
        std::vector<std::array<float, 2>> st;          // one per vertex, as stored
    };
    std::vector<Surface> surfaces;
    uint64_t meshDigest = 0;
};

// The text of a stored name field: up to its first zero byte.
std::string nameFieldText(const Md3Fields::NameField& field);

// What every model file holds besides the mesh: the game format the model came from and its skin size.
struct SourceFields {
    int32_t sourceFormat = 0; // 1 = mdl, 2 = md2
    int32_t sourceFlag = 0;
    int32_t skinWidth = 0;
    int32_t skinHeight = 0;
    int32_t hasSkins = 0;
    // What a Quake model read from a file keeps of its header and groups, and the skin names a Quake 2
    // model stores (every one, found or not), which a save back keeps; a native file keeps both.
    std::optional<QuakeFields> quake;
    std::vector<std::string> storedSkinNames;
    std::shared_ptr<const KeptMesh> keptMesh;
    std::shared_ptr<const Md3Fields> md3;
};

constexpr int32_t SOURCE_MDL = 1;
constexpr int32_t SOURCE_MD2 = 2;

// Everything a reader produces: the document takes it over only when the read succeeded, so a
// failed read never leaves a half-loaded document.
struct ModelData {
    Model model;
    std::vector<Frame> frames;
    SourceFields source;
    std::vector<std::string> warnings; // what the reader left out (a skin picture it could not read)
};

// The colours of groups made by the editor, by group index modulo 8.
constexpr std::array<int32_t, 8> GROUP_COLORS{8, 212, 25, 47, 55, 144, 79, 128};

// Copies what the frame clipboard keeps of a model: name, vertex infos, triangles, edges and skins.
// Groups and skeleton nodes of the target are left as they are.
void copyMesh(const Model& from, Model& to);

} // namespace faceto
