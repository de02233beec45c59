#include "formats/Md2Writer.h"

#include "formats/ByteWriter.h"
#include "formats/Md2Layout.h"
#include "formats/VertexNormals.h"
#include "formats/Pcx.h"

#include <algorithm>
#include <tuple>
#include <cmath>
#include <limits>
#include <unordered_map>

namespace faceto {

namespace {

struct Vec3 {
    float x, y, z;
};

// Float to int as C truncates, kept inside the int range (and NaN at 0) so no value is undefined.
int32_t truncated(float value) {
    if (!(value == value)) {
        return 0;
    }
    if (value >= 2147483520.0f) {
        return std::numeric_limits<int32_t>::max();
    }
    if (value <= -2147483648.0f) {
        return std::numeric_limits<int32_t>::min();
    }
    return int32_t(value);
}

int16_t toInt16(int32_t value) {
    return int16_t(std::clamp<int32_t>(value, std::numeric_limits<int16_t>::min(), std::numeric_limits<int16_t>::max()));
}

struct EdgeKey {
    GlVertex a;
    GlVertex b;
    bool operator==(const EdgeKey&) const = default;
};

struct EdgeKeyHash {
    // Each end mixed on its own (a vertex and its pair index are often equal, and neighbours' numbers
    // close), then the two combined: the buckets stay short on regular meshes too.
    static uint64_t mix(uint64_t x) {
        x ^= x >> 30;
        x *= 0xBF58476D1CE4E5B9ULL;
        x ^= x >> 27;
        x *= 0x94D049BB133111EBULL;
        return x ^ (x >> 31);
    }
    size_t operator()(const EdgeKey& k) const {
        const uint64_t a = mix((uint64_t(uint32_t(k.a.vertex)) << 32) | uint32_t(k.a.pair));
        const uint64_t b = mix((uint64_t(uint32_t(k.b.vertex)) << 32) | uint32_t(k.b.pair));
        return size_t(mix(a + 0x9E3779B97F4A7C15ULL * b));
    }
};

// Where each directed edge occurs: the triangles, in index order, with the corner m at which the
// edge runs from corner m to corner m + 1 (the first such corner of each triangle). Kept flat: every
// occurrence in one array sorted by edge and triangle, and an open-addressed table from each edge to
// its stretch of that array, so that a large model's lookups stay in few cache lines.
class EdgeIndex {
public:
    explicit EdgeIndex(const std::vector<std::array<GlVertex, 3>>& triangles) {
        entries_.reserve(triangles.size() * 3);
        for (int32_t t = 0; t < int32_t(triangles.size()); ++t) {
            for (int m = 0; m < 3; ++m) {
                entries_.push_back({{triangles[size_t(t)][size_t(m)], triangles[size_t(t)][size_t((m + 1) % 3)]}, t, m});
            }
        }
        std::sort(entries_.begin(), entries_.end(), [](const Entry& x, const Entry& y) {
            return std::tie(x.key.a.vertex, x.key.a.pair, x.key.b.vertex, x.key.b.pair, x.triangle, x.corner) <
                   std::tie(y.key.a.vertex, y.key.a.pair, y.key.b.vertex, y.key.b.pair, y.triangle, y.corner);
        });
        // A triangle holding the edge twice keeps its first corner.
        entries_.erase(std::unique(entries_.begin(), entries_.end(),
                                   [](const Entry& x, const Entry& y) { return x.key == y.key && x.triangle == y.triangle; }),
                       entries_.end());
        size_t capacity = 16;
        while (capacity < entries_.size() * 2) {
            capacity *= 2;
        }
        slots_.assign(capacity, Slot{});
        for (size_t i = 0; i < entries_.size();) {
            size_t end = i + 1;
            while (end < entries_.size() && entries_[end].key == entries_[i].key) {
                ++end;
            }
            for (size_t at = EdgeKeyHash{}(entries_[i].key) & (capacity - 1);; at = (at + 1) & (capacity - 1)) {
                if (slots_[at].begin == EMPTY) {
                    slots_[at] = {entries_[i].key, uint32_t(i), uint32_t(end)};
                    break;
                }
            }
            i = end;
        }
    }

    // The first triangle after `after` holding the edge, or -1.
    std::pair<int32_t, int> firstAfter(int32_t after, GlVertex a, GlVertex b) const {
        const EdgeKey key{a, b};
        const size_t mask = slots_.size() - 1;
        for (size_t at = EdgeKeyHash{}(key) & mask;; at = (at + 1) & mask) {
            const Slot& slot = slots_[at];
            if (slot.begin == EMPTY) {
                return {-1, 0};
            }
            if (slot.key == key) {
                const auto first = entries_.begin() + slot.begin;
                const auto last = entries_.begin() + slot.end;
                const auto found = std::upper_bound(first, last, after,
                                                    [](int32_t value, const Entry& e) { return value < e.triangle; });
                return found == last ? std::pair<int32_t, int>{-1, 0} : std::pair<int32_t, int>{found->triangle, found->corner};
            }
        }
    }

private:
    static constexpr uint32_t EMPTY = UINT32_MAX;
    struct Entry {
        EdgeKey key;
        int32_t triangle;
        int corner;
    };
    struct Slot {
        EdgeKey key{};
        uint32_t begin = EMPTY;
        uint32_t end = EMPTY;
    };
    std::vector<Entry> entries_;
    std::vector<Slot> slots_;
};

GlRun tryRun(const std::vector<std::array<GlVertex, 3>>& triangles, const EdgeIndex& edges,
             const std::vector<uint8_t>& used, std::vector<uint8_t>& taken, int32_t start, int corner, bool strip) {
    const auto& first = triangles[size_t(start)];
    auto at = [&](int c) { return first[size_t((corner + c) % 3)]; };
    GlRun run;
    run.strip = strip;
    run.vertices = {at(0), at(1), at(2)};
    run.triangles = {start};
    GlVertex edgeFirst = strip ? at(2) : at(0);
    GlVertex edgeSecond = strip ? at(1) : at(2);
    for (;;) {
        const auto [next, m] = edges.firstAfter(start, edgeFirst, edgeSecond);
        if (next < 0 || used[size_t(next)] || taken[size_t(next)]) {
            break;
        }
        const GlVertex w = triangles[size_t(next)][size_t((m + 2) % 3)];
        if (strip) {
            if (run.triangles.size() % 2 == 1) {
                edgeSecond = w;
            } else {
                edgeFirst = w;
            }
        } else {
            edgeSecond = w;
        }
        run.vertices.push_back(w);
        run.triangles.push_back(next);
        taken[size_t(next)] = 1;
    }
    for (size_t k = 1; k < run.triangles.size(); ++k) {
        taken[size_t(run.triangles[k])] = 0;
    }
    return run;
}

} // namespace

std::vector<GlRun> buildGlRuns(const std::vector<std::array<GlVertex, 3>>& triangles) {
    const EdgeIndex edges(triangles);
    std::vector<uint8_t> used(triangles.size(), 0);
    std::vector<uint8_t> taken(triangles.size(), 0);
    std::vector<GlRun> runs;
    for (int32_t i = 0; i < int32_t(triangles.size()); ++i) {
        if (used[size_t(i)]) {
            continue;
        }
        GlRun best;
        for (bool strip : {false, true}) {
            for (int corner = 0; corner < 3; ++corner) {
                GlRun run = tryRun(triangles, edges, used, taken, i, corner, strip);
                if (run.triangles.size() > best.triangles.size()) {
                    best = std::move(run);
                }
            }
        }
        for (int32_t t : best.triangles) {
            used[size_t(t)] = 1;
        }
        runs.push_back(std::move(best));
    }
    return runs;
}

Md2TexCoords collectTexCoords(const Model& model) {
    Md2TexCoords out;
    std::unordered_map<uint64_t, int32_t> indexOf;
    out.corners.resize(model.triangles.size());
    for (size_t t = 0; t < model.triangles.size(); ++t) {
        const Triangle& tri = model.triangles[t];
        for (size_t c = 0; c < 3; ++c) {
            const std::array<int32_t, 2> pair{truncated(tri.st[c][0]), truncated(tri.st[c][1])};
            const uint64_t key = (uint64_t(uint32_t(pair[0])) << 32) | uint32_t(pair[1]);
            auto [it, added] = indexOf.try_emplace(key, int32_t(out.pairs.size()));
            if (added) {
                out.pairs.push_back(pair);
            }
            out.corners[t][c] = GlVertex{tri.v[c], it->second};
        }
    }
    return out;
}

std::optional<ByteBuffer> encodeMd2(const Model& model, const std::vector<Frame>& frames,
                                    const SourceFields& source, const std::vector<std::string>& skinNames) {
    const int32_t vertexCount = model.vertexCount();
    const Md2TexCoords tex = collectTexCoords(model);
    if (frames.empty() || vertexCount > md2::MAX_INDEX + 1 || int64_t(tex.pairs.size()) > md2::MAX_INDEX + 1) {
        return std::nullopt;
    }
    for (const Triangle& t : model.triangles) {
        for (int32_t v : t.v) {
            if (v < 0 || v >= vertexCount) {
                return std::nullopt;
            }
        }
    }

    const bool useFirstSkin = !model.skins.empty();
    const int32_t skinWidth = useFirstSkin ? model.skins[0].imageWidth : source.skinWidth;
    const int32_t skinHeight = useFirstSkin ? model.skins[0].imageHeight : source.skinHeight;
    // A skin size of 0 would make every normalised coordinate infinite.
    const double sDivisor = skinWidth != 0 ? skinWidth : 1;
    const double tDivisor = skinHeight != 0 ? skinHeight : 1;

    const std::vector<GlRun> runs = buildGlRuns(tex.corners);
    int32_t glWords = 1;
    for (const GlRun& run : runs) {
        glWords += 1 + 3 * int32_t(run.vertices.size());
    }

    const int32_t skinCount = int32_t(skinNames.size());
    const int32_t texcoordCount = int32_t(tex.pairs.size());
    const int32_t triangleCount = model.triangleCount();
    const int32_t frameCount = int32_t(frames.size());
    const int32_t frameSize = md2::FRAME_HEADER_SIZE + md2::PACKED_VERTEX_SIZE * vertexCount;
    const int64_t skinsOffset = md2::HEADER_SIZE;
    const int64_t texcoordsOffset = skinsOffset + int64_t(md2::SKIN_NAME_SIZE) * skinCount;
    const int64_t trianglesOffset = texcoordsOffset + int64_t(md2::TEXCOORD_SIZE) * texcoordCount;
    const int64_t framesOffset = trianglesOffset + int64_t(md2::TRIANGLE_SIZE) * triangleCount;
    const int64_t glOffset = framesOffset + int64_t(frameSize) * frameCount;
    const int64_t endOffset = glOffset + 4 * int64_t(glWords);
    if (endOffset > std::numeric_limits<int32_t>::max()) {
        return std::nullopt;
    }

    ByteWriter w;
    w.reserve(size_t(endOffset));
    w.text("IDP2");
    for (int64_t value : {int64_t(md2::VERSION), int64_t(skinWidth), int64_t(skinHeight), int64_t(frameSize),
                          int64_t(skinCount), int64_t(vertexCount), int64_t(texcoordCount), int64_t(triangleCount),
                          int64_t(glWords), int64_t(frameCount), skinsOffset, texcoordsOffset, trianglesOffset,
                          framesOffset, glOffset, endOffset}) {
        w.i32(int32_t(value));
    }
    for (const std::string& name : skinNames) {
        w.fixedString(name, md2::SKIN_NAME_SIZE);
    }
    for (const auto& pair : tex.pairs) {
        w.i16(toInt16(pair[0]));
        w.i16(toInt16(pair[1]));
    }
    for (const auto& corners : tex.corners) {
        for (const GlVertex& c : corners) {
            w.i16(int16_t(c.vertex));
        }
        for (const GlVertex& c : corners) {
            w.i16(int16_t(c.pair));
        }
    }

    std::vector<uint8_t> normals;
    for (const Frame& frame : frames) {
        auto position = [&](int32_t v) {
            return size_t(v) < frame.positions.size()
                       ? Vec3{frame.positions[size_t(v)].x, frame.positions[size_t(v)].y, frame.positions[size_t(v)].z}
                       : Vec3{0, 0, 0};
        };
        vertexNormalIndices(model, frame, normals);

        float lo[3] = {0, 0, 0};
        float hi[3] = {0, 0, 0};
        for (int32_t v = 0; v < vertexCount; ++v) {
            const Vec3 p = position(v);
            const float c[3] = {p.x, p.y, p.z};
            for (int a = 0; a < 3; ++a) {
                if (v == 0 || c[a] < lo[a]) {
                    lo[a] = c[a];
                }
                if (v == 0 || c[a] > hi[a]) {
                    hi[a] = c[a];
                }
            }
        }
        float scale[3];
        for (int a = 0; a < 3; ++a) {
            scale[a] = (hi[a] - lo[a]) * 0.003921569f;
            w.f32(scale[a]);
        }
        for (int a = 0; a < 3; ++a) {
            w.f32(lo[a]);
        }
        w.fixedString(frame.name, md2::FRAME_NAME_SIZE);

        uint8_t* packed = w.append(size_t(vertexCount) * md2::PACKED_VERTEX_SIZE);
        for (int32_t v = 0; v < vertexCount; ++v) {
            const Vec3 p = position(v);
            const float c[3] = {p.x, p.y, p.z};
            for (int a = 0; a < 3; ++a) {
                // A flat axis (scale 0) packs to 0 instead of dividing by zero.
                const int32_t q = scale[a] == 0.0f ? 0 : truncated((c[a] - lo[a]) / scale[a]);
                *packed++ = uint8_t(std::clamp(q, 0, 255));
            }
            *packed++ = normals[size_t(v)];
        }
    }

    for (const GlRun& run : runs) {
        const int32_t count = int32_t(run.vertices.size());
        w.i32(run.strip ? count : -count);
        for (const GlVertex& c : run.vertices) {
            const auto& pair = tex.pairs[size_t(c.pair)];
            w.f32(float((pair[0] + 0.5) / sDivisor));
            w.f32(float((pair[1] + 0.5) / tDivisor));
            w.i32(c.vertex);
        }
    }
    w.i32(0);
    return std::move(w.bytes());
}

Result<SaveOutput> exportMd2(const Model& model, const std::vector<Frame>& frames, const SourceFields& source,
                             const std::string& path) {
    // Skins keep a name that starts with ".PCX"; every other skin is named after its index and written
    // beside the model, where a game looks for skins named without a folder.
    SaveOutput output;
    std::vector<OutputFile> skins;
    if (source.hasSkins) {
        const std::string folder = folderOf(path);
        for (size_t i = 0; i < model.skins.size(); ++i) {
            const bool keep = model.skins[i].name.rfind(".PCX", 0) == 0;
            const std::string name = keep ? model.skins[i].name : "skin" + std::to_string(i) + ".PCX";
            output.skinNames.push_back(name);
            if (keep) {
                continue;
            }
            ByteBuffer picture = encodeSkinPcx(model.skins[i]);
            if (picture.empty()) {
                return Failure{"skin " + std::to_string(i) + " has no picture to write as " + name};
            }
            skins.push_back({folder + name, std::move(picture)});
        }
    }
    std::optional<ByteBuffer> bytes = encodeMd2(model, frames, source, output.skinNames);
    if (!bytes) {
        return Failure{frames.empty() ? "the model has no frame"
                                      : "a Quake 2 model holds at most 32768 vertices and skin coordinates"};
    }
    output.files.push_back({path, std::move(*bytes)});
    for (OutputFile& skin : skins) {
        output.files.push_back(std::move(skin));
    }
    return output;
}

Result<SaveOutput> saveMd2Back(const Model& model, const std::vector<Frame>& frames, const SourceFields& source,
                               const std::string& path) {
    if (source.storedSkinNames.empty()) {
        return exportMd2(model, frames, source, path);
    }
    SaveOutput output;
    std::vector<std::string> names = source.storedSkinNames;
    std::vector<OutputFile> skins;
    for (size_t i = 0; i < model.skins.size(); ++i) {
        const Skin& skin = model.skins[i];
        if (std::find(names.begin(), names.end(), skin.name) != names.end()) {
            output.skinNames.push_back(skin.name);
            continue;
        }
        const std::string name = "skin" + std::to_string(names.size()) + ".PCX";
        ByteBuffer picture = encodeSkinPcx(skin);
        if (picture.empty()) {
            return Failure{"skin " + std::to_string(i) + " has no picture to write as " + name};
        }
        names.push_back(name);
        output.skinNames.push_back(name);
        skins.push_back({folderOf(path) + name, std::move(picture)});
    }
    std::optional<ByteBuffer> bytes = encodeMd2(model, frames, source, names);
    if (!bytes) {
        return Failure{frames.empty() ? "the model has no frame"
                                      : "a Quake 2 model holds at most 32768 vertices and skin coordinates"};
    }
    output.files.push_back({path, std::move(*bytes)});
    for (OutputFile& skin : skins) {
        output.files.push_back(std::move(skin));
    }
    return output;
}

Status writeMd2(const std::string& path, Model& model, const std::vector<Frame>& frames, const SourceFields& source) {
    Result<SaveOutput> output = exportMd2(model, frames, source, path);
    if (!output) {
        return Failure{output.error()};
    }
    if (Status written = writeAll(*output); !written) {
        return written;
    }
    for (size_t i = 0; i < output->skinNames.size(); ++i) {
        model.skins[i].name = output->skinNames[i];
    }
    return Status::success();
}

} // namespace faceto
