#include "formats/MdlWriter.h"

#include "formats/ByteWriter.h"
#include "formats/FrameNames.h"
#include "formats/FramePacking.h"
#include "formats/Limits.h"
#include "formats/PaletteMapping.h"
#include "formats/VertexNormals.h"
#include "model/QuakeGroups.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <limits>
#include <numeric>
#include <thread>
#include <unordered_map>

namespace faceto {

namespace {

constexpr int32_t VERSION = 6;
constexpr int32_t ON_SEAM = 32;
constexpr size_t FRAME_NAME = 16;
constexpr int32_t DEFAULT_SKIN_SIDE = 64;

// Skin coordinates are whole texels in the file.
int32_t texel(float value) {
    if (!(value == value)) {
        return 0;
    }
    return int32_t(std::clamp(std::lround(value), -2147483647L, 2147483647L));
}

// The frames' positions as the file packs them: per axis the lowest value and 1/255 of the range (a flat
// axis gets a step of 1/255 all the same, as a scale of 0 leaves engines dividing by zero). Frames that
// all lie on the one grid they were read with keep it (`kept`), so that they pack to the bytes read.
struct Quantiser {
    std::array<float, 3> origin{0, 0, 0};
    std::array<float, 3> scale{1.0f / 255, 1.0f / 255, 1.0f / 255};
    bool kept = false;

    Quantiser(const std::vector<Frame>& frames, size_t vertexCount) {
        if (keepGrid(frames, vertexCount)) {
            return;
        }
        float lo[3] = {0, 0, 0};
        float hi[3] = {0, 0, 0};
        bool any = false;
        for (const Frame& frame : frames) {
            for (size_t v = 0; v < vertexCount && v < frame.positions.size(); ++v) {
                for (int a = 0; a < 3; ++a) {
                    const float c = frame.positions[v][a];
                    if (!std::isfinite(c)) {
                        continue;
                    }
                    lo[a] = any ? std::min(lo[a], c) : c;
                    hi[a] = any ? std::max(hi[a], c) : c;
                }
                any = true;
            }
        }
        for (size_t a = 0; a < 3; ++a) {
            origin[a] = lo[a];
            const float range = hi[a] - lo[a];
            if (range > 0.0f) {
                scale[a] = range / 255.0f;
            }
            inverse[a] = 1.0f / scale[a];
        }
    }
    bool keepGrid(const std::vector<Frame>& frames, size_t vertexCount) {
        const FramePacking* first = frames.front().packing.get();
        if (first == nullptr) {
            return false;
        }
        std::vector<uint8_t> xyz;
        for (const Frame& frame : frames) {
            if (frame.packing == nullptr || frame.packing->scale != first->scale ||
                frame.packing->translate != first->translate ||
                !packOnGrid(frame.positions, vertexCount, first->scale, first->translate, xyz)) {
                return false;
            }
        }
        scale = first->scale;
        origin = first->translate;
        kept = true;
        return true;
    }
    // The nearest step, found with one multiplication.
    uint8_t pack(float value, size_t axis) const {
        return nearestStep((value - origin[axis]) * inverse[axis]);
    }
    std::array<float, 3> inverse{255, 255, 255};
};

struct Packed {
    std::vector<uint8_t> bytes; // 4 per written vertex
    std::array<uint8_t, 4> lo{255, 255, 255, 0};
    std::array<uint8_t, 4> hi{0, 0, 0, 0};
    bool asRead = false; // the frame packs to the bytes it was read from, over the same triangles
};

void packFrame(const Model& model, const Frame& frame, const MdlTexCoords& tex, const Quantiser& q,
               uint64_t normalsMesh, std::vector<uint8_t>& xyz, std::vector<uint8_t>& normals, Packed& out) {
    const size_t count = model.vertexInfos.size();
    if (!q.kept || !packOnGrid(frame.positions, count, q.scale, q.origin, xyz)) {
        xyz.resize(count * 3);
        for (size_t v = 0; v < count; ++v) {
            const FrameVertex p = v < frame.positions.size() ? frame.positions[v] : FrameVertex{};
            for (size_t a = 0; a < 3; ++a) {
                xyz[v * 3 + a] = q.pack(p[int(a)], a);
            }
        }
    }
    const FramePacking* kept = frame.packing.get();
    out.asRead = q.kept && kept != nullptr && kept->meshDigest == normalsMesh &&
                 kept->normals.size() == count &&
                 kept->packedDigest == packedDigest(xyz, 3, kept->digestKind);
    if (out.asRead) {
        normals = kept->normals;
    } else {
        vertexNormalIndices(model, frame, normals);
    }
    out.bytes.resize(tex.vertices.size() * 4);
    out.lo = {255, 255, 255, 0};
    out.hi = {0, 0, 0, 0};
    for (size_t w = 0; w < tex.vertices.size(); ++w) {
        const size_t v = size_t(tex.vertexOf[w]);
        uint8_t* b = &out.bytes[w * 4];
        for (size_t a = 0; a < 3; ++a) {
            b[a] = xyz[v * 3 + a];
            out.lo[a] = std::min(out.lo[a], b[a]);
            out.hi[a] = std::max(out.hi[a], b[a]);
        }
        b[3] = normals[v];
    }
    if (tex.vertices.empty()) {
        out.lo = {0, 0, 0, 0};
    }
    if (out.asRead && kept->bounds) {
        std::copy_n(kept->bounds->begin(), 4, out.lo.begin());
        std::copy_n(kept->bounds->begin() + 4, 4, out.hi.begin());
    }
}

// The mesh sections the file had, while the model holds the mesh they describe on a skin of that size.
const KeptMesh* keptMdlMesh(const Model& model, const SourceFields& source, int32_t skinWidth,
                            int32_t skinHeight) {
    const KeptMesh* kept = source.keptMesh.get();
    if (kept == nullptr || kept->format != SOURCE_MDL || kept->skinWidth != skinWidth ||
        kept->skinHeight != skinHeight || kept->texcoordCount != model.vertexCount() ||
        kept->meshDigest != meshDigest(model, true)) {
        return nullptr;
    }
    return kept;
}

// Skin coordinates for kept sections: every vertex written once, as itself.
MdlTexCoords identityTexCoords(const Model& model) {
    MdlTexCoords tex;
    tex.modelVertices = model.vertexCount();
    tex.vertices.resize(model.vertexInfos.size());
    tex.vertexOf.resize(model.vertexInfos.size());
    std::iota(tex.vertexOf.begin(), tex.vertexOf.end(), 0);
    return tex;
}

} // namespace

int32_t paddedSkinWidth(int32_t width) {
    return (std::max(width, 1) + 3) / 4 * 4;
}

namespace {

using Coord = std::pair<int32_t, int32_t>;
enum : uint8_t { FREE, FRONT, BACK }; // which side of the skin a triangle takes on a seam

// The distinct coordinates each vertex's corners ask for, in order of first use, which of them each
// corner asks for, and the corners of each vertex (triangle * 3 + corner).
struct CornerCoords {
    std::vector<std::vector<Coord>> coords;
    std::vector<std::array<uint8_t, 3>> cornerCoord;
    std::vector<std::vector<int32_t>> cornersOf;
};

CornerCoords cornerCoords(const Model& model) {
    const size_t count = model.vertexInfos.size();
    CornerCoords out{std::vector<std::vector<Coord>>(count),
                     std::vector<std::array<uint8_t, 3>>(model.triangles.size()),
                     std::vector<std::vector<int32_t>>(count)};
    for (size_t t = 0; t < model.triangles.size(); ++t) {
        const Triangle& tri = model.triangles[t];
        for (size_t c = 0; c < 3; ++c) {
            const size_t v = size_t(tri.v[c]);
            const Coord st{texel(tri.st[c][0]), texel(tri.st[c][1])};
            auto& list = out.coords[v];
            auto it = std::find(list.begin(), list.end(), st);
            if (it == list.end()) {
                list.push_back(st);
                it = list.end() - 1;
            }
            // More than 255 coordinates on one vertex still split it, each copy its own.
            out.cornerCoord[t][c] = uint8_t(std::min<ptrdiff_t>(it - list.begin(), 255));
            out.cornersOf[v].push_back(int32_t(t * 3 + c));
        }
    }
    return out;
}

// A vertex with two coordinates half the skin apart sits on the seam: its triangles that ask for the
// right-hand one do not face front, the others do. It is taken as one when no triangle is asked to be
// both; otherwise (and for any other mix of coordinates) the vertex is split. Gives each seam vertex's
// left-hand coordinate (-1 for others) and fills in each triangle's side.
std::vector<int32_t> seamVertices(const CornerCoords& in, int32_t half, std::vector<uint8_t>& side) {
    std::vector<int32_t> seamBase(in.coords.size(), -1);
    for (size_t v = 0; v < in.coords.size(); ++v) {
        const auto& list = in.coords[v];
        if (list.size() != 2 || half <= 0 || list[0].second != list[1].second ||
            std::abs(list[0].first - list[1].first) != half) {
            continue;
        }
        const int32_t base = list[0].first < list[1].first ? 0 : 1;
        const auto wants = [&](int32_t corner) {
            return in.cornerCoord[size_t(corner / 3)][size_t(corner % 3)] == base ? FRONT : BACK;
        };
        const bool fits = std::all_of(in.cornersOf[v].begin(), in.cornersOf[v].end(), [&](int32_t corner) {
            const uint8_t now = side[size_t(corner / 3)];
            return now == FREE || now == wants(corner);
        });
        if (!fits) {
            continue;
        }
        for (int32_t corner : in.cornersOf[v]) {
            side[size_t(corner / 3)] = wants(corner);
        }
        seamBase[v] = base;
    }
    return seamBase;
}

} // namespace

MdlTexCoords mdlTexCoords(const Model& model, int32_t skinWidth) {
    const size_t count = model.vertexInfos.size();
    const size_t triangles = model.triangles.size();
    const CornerCoords in = cornerCoords(model);
    std::vector<uint8_t> side(triangles, FREE);
    const std::vector<int32_t> seamBase = seamVertices(in, skinWidth / 2, side);

    // Every model vertex keeps its number; the copies of split vertices follow them.
    MdlTexCoords out;
    out.modelVertices = int32_t(count);
    out.vertices.resize(count);
    out.vertexOf.resize(count);
    std::vector<std::vector<int32_t>> copies(count); // the written vertex of each coordinate
    for (size_t v = 0; v < count; ++v) {
        out.vertexOf[v] = int32_t(v);
        const auto& list = in.coords[v];
        if (list.empty()) {
            continue;
        }
        if (seamBase[v] >= 0) {
            const Coord& c = list[size_t(seamBase[v])];
            out.vertices[v] = {ON_SEAM, c.first, c.second};
            copies[v] = {int32_t(v), int32_t(v)};
            continue;
        }
        out.vertices[v] = {0, list[0].first, list[0].second};
        copies[v].push_back(int32_t(v));
        for (size_t k = 1; k < list.size(); ++k) {
            copies[v].push_back(int32_t(out.vertices.size()));
            out.vertices.push_back({0, list[k].first, list[k].second});
            out.vertexOf.push_back(int32_t(v));
        }
    }
    out.facesFront.resize(triangles);
    out.corners.resize(triangles);
    for (size_t t = 0; t < triangles; ++t) {
        out.facesFront[t] = side[t] == BACK ? 0 : 1;
        for (size_t c = 0; c < 3; ++c) {
            const auto& list = copies[size_t(model.triangles[t].v[c])];
            out.corners[t][c] = list[std::min<size_t>(in.cornerCoord[t][c], list.size() - 1)];
        }
    }
    return out;
}

std::vector<uint8_t> quakeSkinPixels(const Skin& skin, const RgbPalette& quake, int32_t width,
                                     int32_t height) {
    return gamePaletteIndices(skin, quake, width, height, paddedSkinWidth(width));
}

namespace {

// Every frame's bytes, each frame packed on its own (normals and all), the frames shared out among the
// cores.
std::vector<Packed> packFrames(const Model& model, const std::vector<Frame>& frames, const MdlTexCoords& tex,
                               const Quantiser& q) {
    std::vector<Packed> packed(frames.size());
    const uint64_t normalsMesh = meshDigest(model, false);
    const size_t workers = std::clamp<size_t>(std::thread::hardware_concurrency(), 1, 8);
    std::atomic<size_t> next{0};
    auto work = [&] {
        std::vector<uint8_t> xyz;
        std::vector<uint8_t> normals;
        for (size_t f = next++; f < frames.size(); f = next++) {
            packFrame(model, frames[f], tex, q, normalsMesh, xyz, normals, packed[f]);
        }
    };
    std::vector<std::thread> threads;
    for (size_t k = 1; k < workers && k < frames.size(); ++k) {
        threads.emplace_back(work);
    }
    work();
    for (std::thread& t : threads) {
        t.join();
    }
    return packed;
}

// The header's bounding radius (the farthest vertex from the origin) and size (the first frame's average
// triangle area).
std::pair<float, float> radiusAndSize(const Model& model, const std::vector<Frame>& frames) {
    const size_t vertexCount = model.vertexInfos.size();
    float radius = 0.0f;
    double area = 0.0;
    for (const Frame& frame : frames) {
        for (size_t v = 0; v < vertexCount && v < frame.positions.size(); ++v) {
            const FrameVertex& p = frame.positions[v];
            const float r = std::sqrt(p.x * p.x + p.y * p.y + p.z * p.z);
            if (std::isfinite(r)) {
                radius = std::max(radius, r);
            }
        }
    }
    for (const Triangle& t : model.triangles) {
        const auto& p = frames[0].positions;
        if (size_t(std::max({t.v[0], t.v[1], t.v[2]})) >= p.size()) {
            continue;
        }
        const FrameVertex a = p[size_t(t.v[0])], b = p[size_t(t.v[1])], c = p[size_t(t.v[2])];
        const double ux = b.x - a.x, uy = b.y - a.y, uz = b.z - a.z;
        const double vx = c.x - a.x, vy = c.y - a.y, vz = c.z - a.z;
        const double cx = uy * vz - uz * vy, cy = uz * vx - ux * vz, cz = ux * vy - uy * vx;
        area += std::sqrt(cx * cx + cy * cy + cz * cz) / 2;
    }
    const float size =
        model.triangles.empty() || !std::isfinite(area) ? 0.0f : float(area / double(model.triangles.size()));
    return {radius, size};
}

std::vector<std::string> mdlNotices(const Model& model, const MdlTexCoords& tex, const FittedNames& names) {
    std::vector<std::string> notices;
    const int32_t written = int32_t(tex.vertices.size());
    if (tex.split() > 0) {
        notices.push_back(std::to_string(tex.split()) +
                          (tex.split() == 1 ? " vertex was" : " vertices were") +
                          " split where the skin coordinates need more than the format's seam");
    }
    if (written > MDL_ENGINE_VERTICES) {
        notices.push_back(std::to_string(written) + " vertices: more than the " +
                          std::to_string(MDL_ENGINE_VERTICES) + " the original Quake engine draws");
    }
    if (model.triangleCount() > MDL_ENGINE_TRIANGLES) {
        notices.push_back(std::to_string(model.triangleCount()) + " triangles: more than the " +
                          std::to_string(MDL_ENGINE_TRIANGLES) + " the original Quake engine draws");
    }
    if (!names.notice.empty()) {
        notices.push_back(names.notice);
    }
    return notices;
}

// The skin's size as written: the first skin's (or the one recorded, or a default), its width padded.
struct SkinLayout {
    bool haveSkins = false;
    int32_t width = 0;
    int32_t height = 0;
    int32_t padded = 0;
    size_t count = 1;
};

Result<SkinLayout> skinLayout(const Model& model, const std::vector<Frame>& frames,
                              const SourceFields& source) {
    if (frames.empty()) {
        return Failure{"the model has no frame"};
    }
    const int32_t vertexCount = model.vertexCount();
    for (const Triangle& t : model.triangles) {
        if (std::any_of(t.v.begin(), t.v.end(), [&](int32_t v) { return v < 0 || v >= vertexCount; })) {
            return Failure{"a triangle uses a vertex the model does not have"};
        }
    }
    SkinLayout s;
    s.haveSkins = !model.skins.empty() && model.skins[0].hasImage();
    s.width = s.haveSkins ? model.skins[0].imageWidth : source.skinWidth;
    s.height = s.haveSkins ? model.skins[0].imageHeight : source.skinHeight;
    if (s.width <= 0 || s.height <= 0) {
        s.width = s.height = DEFAULT_SKIN_SIDE;
    }
    s.padded = paddedSkinWidth(s.width);
    if (s.padded > limits::MAX_SKIN_SIDE || s.height > limits::MAX_SKIN_SIDE) {
        return Failure{limits::skinTooLarge(s.padded, s.height)};
    }
    s.count = s.haveSkins ? model.skins.size() : 1;
    return s;
}

// The skin and frame groups to write: the model's while they hold as many skins and frames as it has,
// else each skin and frame on its own.
struct Groups {
    std::vector<QuakeFields::Group> skins;
    std::vector<QuakeFields::Group> frames;
    bool sameFrames = false; // the frames are named as read
};

Groups groupsToWrite(const std::vector<Frame>& frames, const SourceFields& source, const SkinLayout& layout) {
    const QuakeFields quake = source.quake.value_or(QuakeFields{});
    std::vector<std::string> frameNames;
    frameNames.reserve(frames.size());
    for (const Frame& f : frames) {
        frameNames.push_back(f.name);
    }
    Groups g{std::vector<QuakeFields::Group>(layout.count), std::vector<QuakeFields::Group>(frames.size()),
             source.quake && frameNames == quake.frameNames};
    // The frame groups follow the frames through the editor's frame edits, so they stand while they
    // hold as many frames as there are.
    if (source.quake && membersIn(quake.frameGroups) == int64_t(frames.size())) {
        g.frames = quake.frameGroups;
    }
    if (source.quake && layout.haveSkins && membersIn(quake.skinGroups) == int64_t(layout.count)) {
        g.skins = quake.skinGroups;
    }
    return g;
}

void writeIntervals(ByteWriter& w, const QuakeFields::Group& g) {
    for (int32_t k = 0; k < g.count; ++k) {
        w.f32(size_t(k) < g.intervals.size() ? g.intervals[size_t(k)] : 0.1f * float(k + 1));
    }
}

void writeSkins(ByteWriter& w, const std::vector<QuakeFields::Group>& groups, const Model& model,
                const SkinLayout& layout, const RgbPalette& quakePalette) {
    const Skin plain;
    size_t skin = 0;
    for (const QuakeFields::Group& g : groups) {
        w.i32(g.grouped ? 1 : 0);
        if (g.grouped) {
            w.i32(g.count);
            writeIntervals(w, g);
        }
        for (int32_t k = 0; k < (g.grouped ? g.count : 1); ++k, ++skin) {
            w.raw(quakeSkinPixels(layout.haveSkins ? model.skins[skin] : plain, quakePalette, layout.width,
                                  layout.height));
        }
    }
}

// The skin coordinates and triangles: as read while the mesh is, else from `tex`.
void writeMesh(ByteWriter& w, const Model& model, const MdlTexCoords& tex, const KeptMesh* keptMesh) {
    if (keptMesh != nullptr) {
        w.raw(keptMesh->texcoords);
        w.raw(keptMesh->triangles);
        return;
    }
    for (const MdlTexCoords::Vertex& v : tex.vertices) {
        w.i32(v.onSeam);
        w.i32(v.s);
        w.i32(v.t);
    }
    for (size_t t = 0; t < model.triangles.size(); ++t) {
        w.i32(tex.facesFront[t]);
        for (int32_t c : tex.corners[t]) {
            w.i32(c);
        }
    }
}

// The frames, single or as groups; a group's bounds cover all its frames (as read while they are).
void writeFrames(ByteWriter& w, const std::vector<QuakeFields::Group>& groups,
                 const std::vector<Frame>& frames, const std::vector<Packed>& packed,
                 const FittedNames& names) {
    auto simpleFrame = [&](size_t f) {
        w.raw(packed[f].lo);
        w.raw(packed[f].hi);
        writeNameField(w.bytes(), frames[f], names.names[f], FRAME_NAME);
        w.raw(packed[f].bytes);
    };
    size_t f = 0;
    for (const QuakeFields::Group& g : groups) {
        if (!g.grouped) {
            w.i32(0);
            simpleFrame(f++);
            continue;
        }
        std::array<uint8_t, 4> lo{255, 255, 255, 0};
        std::array<uint8_t, 4> hi{0, 0, 0, 0};
        bool membersAsRead = true;
        for (int32_t k = 0; k < g.count; ++k) {
            const Packed& member = packed[f + size_t(k)];
            membersAsRead = membersAsRead && member.asRead;
            for (size_t a = 0; a < 3; ++a) {
                lo[a] = std::min(lo[a], member.lo[a]);
                hi[a] = std::max(hi[a], member.hi[a]);
            }
        }
        if (membersAsRead && g.bounds) {
            std::copy_n(g.bounds->begin(), 4, lo.begin());
            std::copy_n(g.bounds->begin() + 4, 4, hi.begin());
        }
        w.i32(1);
        w.i32(g.count);
        w.raw(lo);
        w.raw(hi);
        writeIntervals(w, g);
        for (int32_t k = 0; k < g.count; ++k) {
            simpleFrame(f++);
        }
    }
}

} // namespace

Result<MdlOutput> encodeMdl(const Model& model, const std::vector<Frame>& frames, const SourceFields& source,
                            const RgbPalette& quakePalette) {
    const Result<SkinLayout> layout = skinLayout(model, frames, source);
    if (!layout) {
        return Failure{layout.error()};
    }
    MdlOutput out;
    const KeptMesh* keptMesh = keptMdlMesh(model, source, layout->padded, layout->height);
    const MdlTexCoords tex =
        keptMesh != nullptr ? identityTexCoords(model) : mdlTexCoords(model, layout->padded);
    const int32_t written = int32_t(tex.vertices.size());
    const FittedNames names = fitFrameNames(frames, FRAME_NAME);
    out.notices = mdlNotices(model, tex, names);
    const Groups groups = groupsToWrite(frames, source, *layout);
    const QuakeFields quake = source.quake.value_or(QuakeFields{});

    const Quantiser q(frames, size_t(model.vertexCount()));
    const std::vector<Packed> packed = packFrames(model, frames, tex, q);
    // The header's radius and size stay as read while the mesh and every frame are.
    const bool allAsRead =
        keptMesh != nullptr && groups.sameFrames &&
        std::all_of(packed.begin(), packed.end(), [](const Packed& p) { return p.asRead; });
    const auto [radius, size] =
        allAsRead ? std::pair{quake.radius, quake.size} : radiusAndSize(model, frames);

    ByteWriter w;
    w.reserve(84 + layout->count * (size_t(layout->padded) * size_t(layout->height) + 8) +
              size_t(written) * 12 + model.triangles.size() * 16 +
              frames.size() * (24 + size_t(written) * 4));
    w.text("IDPO");
    w.i32(VERSION);
    for (float v : q.scale) {
        w.f32(v);
    }
    for (float o : q.origin) {
        w.f32(o);
    }
    w.f32(radius);
    for (float e : quake.eye) {
        w.f32(e);
    }
    for (int32_t v : {int32_t(groups.skins.size()), layout->padded, layout->height, written,
                      model.triangleCount(), int32_t(groups.frames.size()), quake.syncType, quake.flags}) {
        w.i32(v);
    }
    w.f32(size);
    writeSkins(w, groups.skins, model, *layout, quakePalette);
    writeMesh(w, model, tex, keptMesh);
    writeFrames(w, groups.frames, frames, packed, names);
    out.bytes = std::move(w.bytes());
    return out;
}

} // namespace faceto
