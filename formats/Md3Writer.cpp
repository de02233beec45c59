#include "formats/ByteWriter.h"
#include "formats/FileIO.h"
#include "formats/FramePacking.h"
#include "formats/Md3.h"
#include "formats/Md3Chunks.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <numbers>

namespace faceto {

namespace {

// One surface as it is written: its vertices (each a model vertex with a skin coordinate) and triangles.
struct SurfaceLayout {
    Md3Fields::NameField name{};
    int32_t flags = 0;
    std::vector<Md3Fields::Shader> shaders;
    std::vector<int32_t> vertexOf; // the model vertex of each surface vertex
    std::vector<std::array<float, 2>> st;
    std::vector<std::array<int32_t, 3>> triangles;
};

// The surfaces as read, while the mesh is the one read.
std::vector<SurfaceLayout> keptLayout(const Md3Fields& kept) {
    std::vector<SurfaceLayout> layout;
    for (const Md3Fields::Surface& s : kept.surfaces) {
        SurfaceLayout l;
        l.name = s.name;
        l.flags = s.flags;
        l.shaders = s.shaders;
        for (int32_t v = 0; v < s.vertexCount; ++v) {
            l.vertexOf.push_back(s.firstVertex + v);
        }
        l.st = s.st;
        l.triangles = s.triangles;
        layout.push_back(std::move(l));
    }
    return layout;
}

// The size the skin coordinates are given in pixels of.
std::array<float, 2> skinSpace(const Model& model, const SourceFields& source) {
    if (source.skinWidth > 0 && source.skinHeight > 0) {
        return {float(source.skinWidth), float(source.skinHeight)};
    }
    if (!model.skins.empty() && model.skins.front().width > 0 && model.skins.front().height > 0) {
        return {float(model.skins.front().width), float(model.skins.front().height)};
    }
    return {256.0f, 256.0f};
}

// One surface per group that has triangles, in the groups' order; a vertex gets one surface vertex per
// surface and skin coordinate it is used with. A surface that a file read had under the group's name keeps
// its flags and shaders; any other is shaded by the first skin.
std::vector<SurfaceLayout> layoutFromGroups(const Model& model, const SourceFields& source) {
    const size_t groupCount = std::max<size_t>(model.groups.size(), 1);
    std::vector<std::vector<size_t>> trianglesOf(groupCount);
    for (size_t t = 0; t < model.triangles.size(); ++t) {
        const int32_t g = model.triangles[t].group;
        trianglesOf[g >= 0 && size_t(g) < groupCount ? size_t(g) : 0].push_back(t);
    }
    const std::array<float, 2> space = skinSpace(model, source);
    std::vector<SurfaceLayout> layout;
    for (size_t g = 0; g < groupCount; ++g) {
        if (trianglesOf[g].empty()) {
            continue;
        }
        SurfaceLayout l;
        const std::string name = g < model.groups.size() ? model.groups[g].name : "unnamed";
        l.name = nameFieldOf(name);
        const Md3Fields::Surface* was = nullptr;
        if (source.md3) {
            for (const Md3Fields::Surface& s : source.md3->surfaces) {
                was = was == nullptr && nameFieldText(s.name) == name ? &s : was;
            }
        }
        if (was != nullptr) {
            l.flags = was->flags;
            l.shaders = was->shaders;
        } else if (!model.skins.empty()) {
            l.shaders.push_back({nameFieldOf(model.skins.front().name), 0});
        }
        std::map<std::tuple<int32_t, float, float>, int32_t> index;
        for (size_t t : trianglesOf[g]) {
            const Triangle& tri = model.triangles[t];
            std::array<int32_t, 3> corners{};
            for (size_t c = 0; c < 3; ++c) {
                const std::array<float, 2> st{tri.st[c][0] / space[0], tri.st[c][1] / space[1]};
                const auto [it, added] =
                    index.try_emplace({tri.v[c], st[0], st[1]}, int32_t(l.vertexOf.size()));
                if (added) {
                    l.vertexOf.push_back(tri.v[c]);
                    l.st.push_back(st);
                }
                corners[c] = it->second;
            }
            l.triangles.push_back(corners);
        }
        layout.push_back(std::move(l));
    }
    return layout;
}

int16_t quantise(float value, bool& clamped) {
    const float steps = std::round(value * 64.0f);
    if (!(steps >= -32768.0f && steps <= 32767.0f)) {
        clamped = true;
        return steps > 0.0f ? int16_t(32767) : int16_t(-32768); // NaN goes to the low end
    }
    return int16_t(steps);
}

// A unit normal as the game packs it: the angle from the z axis and the angle about it, each in 256ths
// of a turn, rounded.
uint16_t packNormal(const std::array<float, 3>& n) {
    const float length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    if (!(length > 0.0f)) {
        return 0;
    }
    const float z = std::clamp(n[2] / length, -1.0f, 1.0f);
    const auto turn = [](float angle) {
        return uint16_t(int32_t(std::lround(angle * 128.0f / std::numbers::pi_v<float>)) & 0xFF);
    };
    if (n[0] == 0.0f && n[1] == 0.0f) {
        return z > 0.0f ? 0 : 128; // straight up or down
    }
    return uint16_t(turn(std::acos(z)) | (turn(std::atan2(n[1], n[0])) << 8));
}

// The unnormalised normals of the model's vertices in a frame: the sum of the unit normals of the
// triangles around each.
std::vector<std::array<float, 3>> vertexNormals(const Model& model, const Frame& frame) {
    std::vector<std::array<float, 3>> normals(model.vertexInfos.size(), {0, 0, 0});
    const size_t count = std::min(normals.size(), frame.positions.size());
    for (const Triangle& t : model.triangles) {
        if (std::any_of(t.v.begin(), t.v.end(), [&](int32_t v) { return v < 0 || size_t(v) >= count; })) {
            continue;
        }
        const FrameVertex& a = frame.positions[size_t(t.v[0])];
        const FrameVertex& b = frame.positions[size_t(t.v[1])];
        const FrameVertex& c = frame.positions[size_t(t.v[2])];
        const float u[3] = {b.x - a.x, b.y - a.y, b.z - a.z};
        const float w[3] = {c.x - a.x, c.y - a.y, c.z - a.z};
        std::array<float, 3> n{u[1] * w[2] - u[2] * w[1], u[2] * w[0] - u[0] * w[2],
                               u[0] * w[1] - u[1] * w[0]};
        const float length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
        if (!(length > 0.0f)) {
            continue;
        }
        for (int32_t v : t.v) {
            for (size_t k = 0; k < 3; ++k) {
                normals[size_t(v)][k] += n[k] / length;
            }
        }
    }
    return normals;
}

// One frame's vertices (surface after surface, 8 bytes each) and its 40-byte record of bounds, origin
// and radius: as read while the positions are, the normals too while the triangles are.
struct PackedFrame {
    std::vector<uint8_t> vertices;
    std::array<uint8_t, 40> record{};
};

PackedFrame packFrame(const Model& model, const Frame& frame, const std::vector<SurfaceLayout>& layout,
                      bool keptOrder, uint64_t mesh, bool& clamped) {
    PackedFrame out;
    std::array<float, 3> lo{0, 0, 0};
    std::array<float, 3> hi{0, 0, 0};
    bool first = true;
    for (const SurfaceLayout& s : layout) {
        for (int32_t v : s.vertexOf) {
            const FrameVertex p =
                size_t(v) < frame.positions.size() ? frame.positions[size_t(v)] : FrameVertex{};
            for (int a = 0; a < 3; ++a) {
                const int16_t q = quantise(p[a], clamped);
                out.vertices.push_back(uint8_t(uint16_t(q)));
                out.vertices.push_back(uint8_t(uint16_t(q) >> 8));
                const float at = float(q) / 64.0f;
                lo[size_t(a)] = first ? at : std::min(lo[size_t(a)], at);
                hi[size_t(a)] = first ? at : std::max(hi[size_t(a)], at);
            }
            first = false;
            out.vertices.push_back(0);
            out.vertices.push_back(0);
        }
    }
    const FramePacking* kept = frame.packing.get();
    bool positionsAsRead = keptOrder && kept != nullptr && kept->md3Vertices.size() == out.vertices.size();
    for (size_t i = 0; positionsAsRead && i < out.vertices.size(); ++i) {
        positionsAsRead = i % 8 >= 6 || out.vertices[i] == kept->md3Vertices[i];
    }
    if (positionsAsRead && kept->meshDigest == mesh) {
        out.vertices = kept->md3Vertices;
    } else {
        const std::vector<std::array<float, 3>> normals = vertexNormals(model, frame);
        size_t w = 0;
        for (const SurfaceLayout& s : layout) {
            for (int32_t v : s.vertexOf) {
                const uint16_t n = packNormal(normals[size_t(v)]);
                out.vertices[w * 8 + 6] = uint8_t(n);
                out.vertices[w * 8 + 7] = uint8_t(n >> 8);
                ++w;
            }
        }
    }
    if (positionsAsRead && kept->md3Record) {
        out.record = *kept->md3Record;
        return out;
    }
    // The radius is that of the box's corner farthest from the origin.
    std::array<float, 3> far{};
    for (size_t a = 0; a < 3; ++a) {
        far[a] = std::max(std::abs(lo[a]), std::abs(hi[a]));
    }
    const float values[10] = {
        lo[0], lo[1], lo[2], hi[0], hi[1],
        hi[2], 0.0f,  0.0f,  0.0f,  std::sqrt(far[0] * far[0] + far[1] * far[1] + far[2] * far[2])};
    for (size_t k = 0; k < 10; ++k) {
        const uint32_t bits = std::bit_cast<uint32_t>(values[k]);
        for (size_t b = 0; b < 4; ++b) {
            out.record[k * 4 + b] = uint8_t(bits >> (8 * b));
        }
    }
    return out;
}

void writeFrameRecords(ByteWriter& w, const std::vector<Frame>& frames,
                       const std::vector<PackedFrame>& packed) {
    for (size_t f = 0; f < frames.size(); ++f) {
        w.raw(packed[f].record);
        // The name field as read while the frame keeps its name; else the name, cut or padded with zeros.
        writeNameField(w.bytes(), frames[f], frames[f].name, md3::FRAME_NAME_SIZE);
    }
}

void writeTags(ByteWriter& w, const Model& model, const std::vector<Frame>& frames) {
    for (const Frame& frame : frames) {
        for (size_t t = 0; t < model.tagNames.size(); ++t) {
            w.raw(nameFieldOf(model.tagNames[t]));
            const TagPlacement p = t < frame.tags.size() ? frame.tags[t] : TagPlacement{};
            for (float o : p.origin) {
                w.f32(o);
            }
            for (const auto& axis : p.axes) {
                for (float a : axis) {
                    w.f32(a);
                }
            }
        }
    }
}

void writeSurface(ByteWriter& w, const SurfaceLayout& s, const std::vector<PackedFrame>& packed,
                  size_t firstWritten) {
    const auto frames = int32_t(packed.size());
    const auto vertices = int32_t(s.vertexOf.size());
    const int32_t shadersAt = int32_t(md3::SURFACE_HEADER_SIZE);
    const int32_t trianglesAt = shadersAt + int32_t(s.shaders.size() * md3::SHADER_SIZE);
    const int32_t stAt = trianglesAt + int32_t(s.triangles.size() * md3::TRIANGLE_SIZE);
    const int32_t verticesAt = stAt + int32_t(s.st.size() * md3::ST_SIZE);
    const int32_t end = verticesAt + vertices * frames * int32_t(md3::VERTEX_SIZE);
    w.text("IDP3");
    w.raw(s.name);
    for (int32_t v : {s.flags, frames, int32_t(s.shaders.size()), vertices, int32_t(s.triangles.size()),
                      trianglesAt, shadersAt, stAt, verticesAt, end}) {
        w.i32(v);
    }
    for (const Md3Fields::Shader& shader : s.shaders) {
        w.raw(shader.name);
        w.i32(shader.index);
    }
    for (const auto& t : s.triangles) {
        for (int32_t c : t) {
            w.i32(c);
        }
    }
    for (const auto& st : s.st) {
        w.f32(st[0]);
        w.f32(st[1]);
    }
    for (const PackedFrame& f : packed) {
        w.raw(std::span<const uint8_t>(f.vertices)
                  .subspan(firstWritten * md3::VERTEX_SIZE, size_t(vertices) * md3::VERTEX_SIZE));
    }
}

std::vector<std::string> limitNotices(const std::vector<SurfaceLayout>& layout, size_t frames, size_t tags,
                                      bool clamped) {
    std::vector<std::string> notices;
    auto passes = [&](size_t count, int32_t limit, const std::string& what) {
        if (count > size_t(limit)) {
            notices.push_back(std::to_string(count) + " " + what + ": Quake III draws at most " +
                              std::to_string(limit));
        }
    };
    passes(layout.size(), md3::MAX_SURFACES, "surfaces");
    passes(frames, md3::MAX_FRAMES, "frames");
    passes(tags, md3::MAX_TAGS, "tags");
    for (const SurfaceLayout& s : layout) {
        const std::string name = nameFieldText(s.name);
        passes(s.vertexOf.size(), md3::MAX_VERTICES, "vertices in surface " + name);
        passes(s.triangles.size(), md3::MAX_TRIANGLES, "triangles in surface " + name);
    }
    if (clamped) {
        notices.push_back("positions beyond 512 units from the origin were moved to 512");
    }
    return notices;
}

} // namespace

Result<SaveOutput> encodeMd3(const Model& model, const std::vector<Frame>& frames, const SourceFields& source,
                             const std::string& path) {
    if (frames.empty()) {
        return Failure{"the model has no frame"};
    }
    const bool keptOrder = source.md3 && source.md3->meshDigest == meshDigest(model, true) &&
                           surfacesFit(*source.md3, model.vertexInfos.size());
    const std::vector<SurfaceLayout> layout =
        keptOrder ? keptLayout(*source.md3) : layoutFromGroups(model, source);
    const uint64_t mesh = meshDigest(model, false);
    bool clamped = false;
    std::vector<PackedFrame> packed;
    packed.reserve(frames.size());
    for (const Frame& frame : frames) {
        packed.push_back(packFrame(model, frame, layout, keptOrder, mesh, clamped));
    }
    const auto frameCount = int32_t(frames.size());
    const auto tagCount = int32_t(model.tagNames.size());
    const int32_t framesAt = int32_t(md3::HEADER_SIZE);
    const int32_t tagsAt = framesAt + frameCount * int32_t(md3::FRAME_SIZE);
    const int32_t surfacesAt = tagsAt + frameCount * tagCount * int32_t(md3::TAG_SIZE);
    int64_t end = surfacesAt;
    for (const SurfaceLayout& s : layout) {
        end += int64_t(md3::SURFACE_HEADER_SIZE + s.shaders.size() * md3::SHADER_SIZE +
                       s.triangles.size() * md3::TRIANGLE_SIZE + s.st.size() * md3::ST_SIZE) +
               int64_t(s.vertexOf.size() * md3::VERTEX_SIZE) * frameCount;
    }
    if (end > INT32_MAX) {
        return Failure{"the model is too large for a Quake III model file"};
    }
    ByteWriter w;
    w.reserve(size_t(end));
    w.text("IDP3");
    w.i32(md3::VERSION);
    w.raw(source.md3 ? source.md3->name : nameFieldOf(fileNameOf(path)));
    for (int32_t v : {source.md3 ? source.md3->flags : 0, frameCount, tagCount, int32_t(layout.size()),
                      source.md3 ? source.md3->skinCount : 0, framesAt, tagsAt, surfacesAt, int32_t(end)}) {
        w.i32(v);
    }
    writeFrameRecords(w, frames, packed);
    writeTags(w, model, frames);
    size_t firstWritten = 0;
    for (const SurfaceLayout& s : layout) {
        writeSurface(w, s, packed, firstWritten);
        firstWritten += s.vertexOf.size();
    }
    return SaveOutput{{{path, std::move(w.bytes())}},
                      {},
                      limitNotices(layout, frames.size(), model.tagNames.size(), clamped)};
}

} // namespace faceto
