#include "formats/Md2Writer.h"

#include "formats/ByteWriter.h"
#include "formats/FrameNames.h"
#include "formats/FramePacking.h"
#include "formats/Md2Layout.h"
#include "formats/PaletteMapping.h"
#include "formats/Pcx.h"
#include "formats/VertexNormals.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <tuple>
#include <unordered_map>

namespace faceto {

namespace {

// A skin coordinate as the nearest whole pixel, kept inside the int16 range the file stores (NaN at 0).
int32_t nearestPixel(float value) {
    if (!(value == value)) {
        return 0;
    }
    return int32_t(std::lround(std::clamp(value, -32768.0f, 32767.0f)));
}

int16_t toInt16(int32_t value) {
    return int16_t(
        std::clamp<int32_t>(value, std::numeric_limits<int16_t>::min(), std::numeric_limits<int16_t>::max()));
}

struct EdgeKey {
    GlVertex a;
    GlVertex b;
    bool operator==(const EdgeKey&) const = default;
};

// Where each directed edge occurs: the triangles, in index order, with the corner m at which the
// edge runs from corner m to corner m + 1 (the first such corner of each triangle). Kept flat: every
// occurrence in one array sorted by edge and triangle, and where the edges from each vertex begin in
// it, so that the lookups of neighbouring triangles stay in few cache lines however large the model.
class EdgeIndex {
public:
    explicit EdgeIndex(const std::vector<std::array<GlVertex, 3>>& triangles) {
        if (triangles.empty()) {
            return;
        }
        int32_t lowest = INT32_MAX;
        int32_t highest = INT32_MIN;
        for (const auto& t : triangles) {
            for (const GlVertex& corner : t) {
                lowest = std::min(lowest, corner.vertex);
                highest = std::max(highest, corner.vertex);
            }
        }
        const size_t occurrences = triangles.size() * 3;
        const int64_t span = int64_t(highest) - int64_t(lowest) + 1;
        base_ = lowest;
        // Numbers spread far wider than the model (a damaged file): one sort of the whole array.
        byVertex_ = span <= int64_t(occurrences) * 4 + 1024;
        entries_.resize(occurrences);
        if (byVertex_) {
            // By first vertex, in triangle and corner order within each (a stable counting sort); then
            // each vertex's few edges in edge order, the triangles' order kept.
            std::vector<uint32_t> next(size_t(span) + 1, 0);
            for (const auto& t : triangles) {
                for (const GlVertex& corner : t) {
                    ++next[size_t(corner.vertex - base_) + 1];
                }
            }
            for (size_t v = 1; v < next.size(); ++v) {
                next[v] += next[v - 1];
            }
            for (int32_t t = 0; t < int32_t(triangles.size()); ++t) {
                for (int m = 0; m < 3; ++m) {
                    const GlVertex a = triangles[size_t(t)][size_t(m)];
                    entries_[next[size_t(a.vertex - base_)]++] = {
                        {a, triangles[size_t(t)][size_t((m + 1) % 3)]}, t, m};
                }
            }
            for (size_t from = 0; from < entries_.size();) {
                size_t to = from + 1;
                while (to < entries_.size() && entries_[to].key.a.vertex == entries_[from].key.a.vertex) {
                    ++to;
                }
                std::stable_sort(entries_.begin() + std::ptrdiff_t(from),
                                 entries_.begin() + std::ptrdiff_t(to),
                                 [](const Entry& x, const Entry& y) { return keyLess(x.key, y.key); });
                from = to;
            }
        } else {
            size_t k = 0;
            for (int32_t t = 0; t < int32_t(triangles.size()); ++t) {
                for (int m = 0; m < 3; ++m) {
                    entries_[k++] = {
                        {triangles[size_t(t)][size_t(m)], triangles[size_t(t)][size_t((m + 1) % 3)]}, t, m};
                }
            }
            std::stable_sort(entries_.begin(), entries_.end(),
                             [](const Entry& x, const Entry& y) { return keyLess(x.key, y.key); });
        }
        // A triangle holding the edge twice keeps its first corner.
        entries_.erase(std::unique(entries_.begin(), entries_.end(),
                                   [](const Entry& x, const Entry& y) {
                                       return x.key == y.key && x.triangle == y.triangle;
                                   }),
                       entries_.end());
        if (byVertex_) {
            starts_.assign(size_t(span) + 1, 0);
            for (const Entry& e : entries_) {
                ++starts_[size_t(e.key.a.vertex - base_) + 1];
            }
            for (size_t v = 1; v < starts_.size(); ++v) {
                starts_[v] += starts_[v - 1];
            }
        }
    }

    // The first triangle after `after` holding the edge, or -1.
    std::pair<int32_t, int> firstAfter(int32_t after, GlVertex a, GlVertex b) const {
        auto first = entries_.begin();
        auto last = entries_.end();
        if (byVertex_) {
            const int64_t v = int64_t(a.vertex) - base_;
            if (v < 0 || v + 1 >= int64_t(starts_.size())) {
                return {-1, 0};
            }
            first = entries_.begin() + starts_[size_t(v)];
            last = entries_.begin() + starts_[size_t(v) + 1];
        }
        const EdgeKey key{a, b};
        const auto [from, to] =
            std::equal_range(first, last, Entry{key, 0, 0},
                             [](const Entry& x, const Entry& y) { return keyLess(x.key, y.key); });
        const auto found = std::upper_bound(from, to, after,
                                            [](int32_t value, const Entry& e) { return value < e.triangle; });
        return found == to ? std::pair<int32_t, int>{-1, 0}
                           : std::pair<int32_t, int>{found->triangle, found->corner};
    }

private:
    struct Entry {
        EdgeKey key;
        int32_t triangle;
        int corner;
    };
    static bool keyLess(const EdgeKey& x, const EdgeKey& y) {
        return std::tie(x.a.vertex, x.a.pair, x.b.vertex, x.b.pair) <
               std::tie(y.a.vertex, y.a.pair, y.b.vertex, y.b.pair);
    }
    std::vector<Entry> entries_;
    std::vector<uint32_t> starts_; // per vertex from base_: where its edges begin in entries_
    int32_t base_ = 0;
    bool byVertex_ = false;
};

GlRun tryRun(const std::vector<std::array<GlVertex, 3>>& triangles, const EdgeIndex& edges,
             const std::vector<uint8_t>& used, std::vector<uint8_t>& taken, int32_t start, int corner,
             bool strip) {
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
            const std::array<int32_t, 2> pair{nearestPixel(tri.st[c][0]), nearestPixel(tri.st[c][1])};
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

namespace {

// The mesh sections a file had, while the model still holds the mesh they describe on a skin of the
// same size.
const KeptMesh* keptMd2Mesh(const Model& model, const SourceFields& source, int32_t skinWidth,
                            int32_t skinHeight) {
    const KeptMesh* kept = source.keptMesh.get();
    if (kept == nullptr || kept->format != SOURCE_MD2 || kept->skinWidth != skinWidth ||
        kept->skinHeight != skinHeight || kept->meshDigest != meshDigest(model, true)) {
        return nullptr;
    }
    return kept;
}

// One frame's scale, translate and packed vertices. A frame that lies on the grid it was read with keeps
// that grid (and its normals, while its positions and triangles are the ones read); any other is packed
// afresh: its bounds split into 255 steps, each coordinate on the nearest step.
void packMd2Frame(const Model& model, const TriangleCorners& corners, const Frame& frame,
                  uint64_t normalsMesh, std::vector<uint8_t>& xyz, std::vector<uint8_t>& normals,
                  float (&scale)[3], float (&translate)[3]) {
    const size_t vertexCount = model.vertexInfos.size();
    if (const FramePacking* kept = frame.packing.get();
        kept != nullptr && packOnGrid(frame.positions, vertexCount, kept->scale, kept->translate, xyz)) {
        for (size_t a = 0; a < 3; ++a) {
            scale[a] = kept->scale[a];
            translate[a] = kept->translate[a];
        }
        if (kept->meshDigest == normalsMesh && kept->normals.size() == vertexCount &&
            kept->packedDigest == packedDigest(xyz, 3, kept->digestKind)) {
            normals = kept->normals;
        } else {
            vertexNormalIndices(corners, frame, normals);
        }
        return;
    }
    vertexNormalIndices(corners, frame, normals);
    auto position = [&](size_t v) { return v < frame.positions.size() ? frame.positions[v] : FrameVertex{}; };
    float lo[3] = {0, 0, 0};
    float hi[3] = {0, 0, 0};
    for (size_t v = 0; v < vertexCount; ++v) {
        const FrameVertex p = position(v);
        for (int a = 0; a < 3; ++a) {
            if (v == 0 || p[a] < lo[a]) {
                lo[a] = p[a];
            }
            if (v == 0 || p[a] > hi[a]) {
                hi[a] = p[a];
            }
        }
    }
    for (int a = 0; a < 3; ++a) {
        scale[a] = (hi[a] - lo[a]) * 0.003921569f;
        translate[a] = lo[a];
    }
    xyz.resize(vertexCount * 3);
    for (size_t v = 0; v < vertexCount; ++v) {
        const FrameVertex p = position(v);
        for (int a = 0; a < 3; ++a) {
            // A flat axis (scale 0) packs to 0 instead of dividing by zero.
            xyz[v * 3 + size_t(a)] = scale[a] == 0.0f ? 0 : nearestStep((p[a] - lo[a]) / scale[a]);
        }
    }
}

// The mesh sections: as the file had them while the mesh is unchanged (`kept`), else made afresh.
struct Md2Mesh {
    const KeptMesh* kept = nullptr;
    Md2TexCoords tex;
    std::vector<GlRun> runs;
    int32_t glWords = 1;
    int32_t texcoordCount = 0;
};

std::optional<Md2Mesh> md2Mesh(const Model& model, const SourceFields& source, int32_t skinWidth,
                               int32_t skinHeight) {
    Md2Mesh mesh;
    mesh.kept = keptMd2Mesh(model, source, skinWidth, skinHeight);
    if (mesh.kept != nullptr) {
        mesh.texcoordCount = mesh.kept->texcoordCount;
        mesh.glWords = mesh.kept->glCommandWords;
        return mesh;
    }
    mesh.tex = collectTexCoords(model);
    if (int64_t(mesh.tex.pairs.size()) > md2::MAX_INDEX + 1) {
        return std::nullopt;
    }
    mesh.texcoordCount = int32_t(mesh.tex.pairs.size());
    mesh.runs = buildGlRuns(mesh.tex.corners);
    for (const GlRun& run : mesh.runs) {
        mesh.glWords += 1 + 3 * int32_t(run.vertices.size());
    }
    return mesh;
}

void writeMeshSections(ByteWriter& w, const Md2Mesh& mesh) {
    if (mesh.kept != nullptr) {
        w.raw(mesh.kept->texcoords);
        w.raw(mesh.kept->triangles);
        return;
    }
    for (const auto& pair : mesh.tex.pairs) {
        w.i16(toInt16(pair[0]));
        w.i16(toInt16(pair[1]));
    }
    for (const auto& corners : mesh.tex.corners) {
        for (const GlVertex& c : corners) {
            w.i16(int16_t(c.vertex));
        }
        for (const GlVertex& c : corners) {
            w.i16(int16_t(c.pair));
        }
    }
}

void writeFrames(ByteWriter& w, const Model& model, const std::vector<Frame>& frames,
                 const FittedNames& names) {
    const uint64_t normalsMesh = meshDigest(model, false);
    const size_t vertexCount = size_t(model.vertexCount());
    std::vector<uint8_t> xyz;
    std::vector<uint8_t> normals;
    const TriangleCorners corners(model);
    for (size_t f = 0; f < frames.size(); ++f) {
        float scale[3];
        float translate[3];
        packMd2Frame(model, corners, frames[f], normalsMesh, xyz, normals, scale, translate);
        for (float v : scale) {
            w.f32(v);
        }
        for (float v : translate) {
            w.f32(v);
        }
        writeNameField(w.bytes(), frames[f], names.names[f], md2::FRAME_NAME_SIZE);
        uint8_t* packed = w.append(vertexCount * md2::PACKED_VERTEX_SIZE);
        for (size_t v = 0; v < vertexCount; ++v) {
            *packed++ = xyz[v * 3];
            *packed++ = xyz[v * 3 + 1];
            *packed++ = xyz[v * 3 + 2];
            *packed++ = normals[v];
        }
    }
}

// The GL commands: strips and fans, each corner's coordinates normalised to the skin's size (a size of
// 0 would make every one infinite), ended by a 0.
void writeGlCommands(ByteWriter& w, const Md2Mesh& mesh, int32_t skinWidth, int32_t skinHeight) {
    if (mesh.kept != nullptr) {
        w.raw(mesh.kept->glCommands);
        return;
    }
    const double sDivisor = skinWidth != 0 ? skinWidth : 1;
    const double tDivisor = skinHeight != 0 ? skinHeight : 1;
    for (const GlRun& run : mesh.runs) {
        const int32_t count = int32_t(run.vertices.size());
        w.i32(run.strip ? count : -count);
        for (const GlVertex& c : run.vertices) {
            const auto& pair = mesh.tex.pairs[size_t(c.pair)];
            w.f32(float((pair[0] + 0.5) / sDivisor));
            w.f32(float((pair[1] + 0.5) / tDivisor));
            w.i32(c.vertex);
        }
    }
    w.i32(0);
}

} // namespace

std::optional<ByteBuffer> encodeMd2(const Model& model, const std::vector<Frame>& frames,
                                    const SourceFields& source, const std::vector<std::string>& skinNames,
                                    std::vector<std::string>* notices) {
    const int32_t vertexCount = model.vertexCount();
    if (frames.empty() || vertexCount > md2::MAX_INDEX + 1) {
        return std::nullopt;
    }
    for (const Triangle& t : model.triangles) {
        if (std::any_of(t.v.begin(), t.v.end(), [&](int32_t v) { return v < 0 || v >= vertexCount; })) {
            return std::nullopt;
        }
    }
    const bool useFirstSkin = !model.skins.empty();
    const int32_t skinWidth = useFirstSkin ? model.skins[0].imageWidth : source.skinWidth;
    const int32_t skinHeight = useFirstSkin ? model.skins[0].imageHeight : source.skinHeight;
    const std::optional<Md2Mesh> mesh = md2Mesh(model, source, skinWidth, skinHeight);
    if (!mesh) {
        return std::nullopt;
    }
    const FittedNames names = fitFrameNames(frames, size_t(md2::FRAME_NAME_SIZE));
    if (notices != nullptr && !names.notice.empty()) {
        notices->push_back(names.notice);
    }

    const int32_t skinCount = int32_t(skinNames.size());
    const int32_t triangleCount = model.triangleCount();
    const int32_t frameCount = int32_t(frames.size());
    const int32_t frameSize = md2::FRAME_HEADER_SIZE + md2::PACKED_VERTEX_SIZE * vertexCount;
    const int64_t skinsOffset = md2::HEADER_SIZE;
    const int64_t texcoordsOffset = skinsOffset + int64_t(md2::SKIN_NAME_SIZE) * skinCount;
    const int64_t trianglesOffset = texcoordsOffset + int64_t(md2::TEXCOORD_SIZE) * mesh->texcoordCount;
    const int64_t framesOffset = trianglesOffset + int64_t(md2::TRIANGLE_SIZE) * triangleCount;
    const int64_t glOffset = framesOffset + int64_t(frameSize) * frameCount;
    const int64_t endOffset = glOffset + 4 * int64_t(mesh->glWords);
    if (endOffset > std::numeric_limits<int32_t>::max()) {
        return std::nullopt;
    }

    ByteWriter w;
    w.reserve(size_t(endOffset));
    w.text("IDP2");
    for (int64_t value : {int64_t(md2::VERSION), int64_t(skinWidth), int64_t(skinHeight), int64_t(frameSize),
                          int64_t(skinCount), int64_t(vertexCount), int64_t(mesh->texcoordCount),
                          int64_t(triangleCount), int64_t(mesh->glWords), int64_t(frameCount), skinsOffset,
                          texcoordsOffset, trianglesOffset, framesOffset, glOffset, endOffset}) {
        w.i32(int32_t(value));
    }
    for (const std::string& name : skinNames) {
        w.fixedString(name, md2::SKIN_NAME_SIZE);
    }
    writeMeshSections(w, *mesh);
    writeFrames(w, model, frames, names);
    writeGlCommands(w, *mesh, skinWidth, skinHeight);
    return std::move(w.bytes());
}

namespace {

// Why encodeMd2 could not write the model.
std::string whyNotMd2(const Model& model, const std::vector<Frame>& frames) {
    if (frames.empty()) {
        return "the model has no frame";
    }
    const int64_t limit = md2::MAX_INDEX + 1;
    if (model.vertexCount() > limit) {
        return "the model has " + std::to_string(model.vertexCount()) +
               " vertices; a Quake 2 model holds at most " + std::to_string(limit);
    }
    for (const Triangle& t : model.triangles) {
        for (int32_t v : t.v) {
            if (v < 0 || v >= model.vertexCount()) {
                return "a triangle uses a vertex the model does not have";
            }
        }
    }
    const size_t pairs = collectTexCoords(model).pairs.size();
    if (int64_t(pairs) > limit) {
        return "the model has " + std::to_string(pairs) +
               " different skin coordinates; a Quake 2 model holds at most " + std::to_string(limit);
    }
    return "the file would be larger than 2 GiB, the most a Quake 2 model can be";
}

// A skin's picture as the PCX file written beside the model: a true-colour skin in Quake 2's palette
// when 8-bit skins are asked for or (by default) when that palette is known, else in true colour, with
// a word for the user since the game reads only 8-bit skins.
Result<ByteBuffer> skinFile(const Skin& skin, const std::string& name, const Md2SkinOptions& options,
                            std::vector<std::string>& notices) {
    ByteBuffer picture;
    if (skin.hasImage() && skin.bitsPerPixel == 24 && options.depth != 24) {
        if (options.palette) {
            picture = encodeSkinPcx(skinInGamePalette(skin, *options.palette));
        } else if (options.depth == 8) {
            return Failure{name + ": an 8-bit skin needs Quake 2's palette, and the base folder has no "
                                  "pics/colormap.pcx"};
        } else {
            notices.push_back(name + " is written in true colour (24 bits), which Quake 2 does not read: "
                                     "with pics/colormap.pcx under the Quake 2 base folder it is written in "
                                     "8 bits");
        }
    }
    if (picture.empty()) {
        picture = encodeSkinPcx(skin);
    }
    if (picture.empty()) {
        return Failure{name + ": the skin has no picture to write"};
    }
    return picture;
}

} // namespace

std::vector<std::string> missingSkinNames(const Model& model, const SourceFields& source) {
    std::vector<std::string> missing;
    for (const std::string& name : source.storedSkinNames) {
        if (std::none_of(model.skins.begin(), model.skins.end(),
                         [&](const Skin& s) { return s.name == name; })) {
            missing.push_back(name);
        }
    }
    return missing;
}

Result<SaveOutput> exportMd2(const Model& model, const std::vector<Frame>& frames, const SourceFields& source,
                             const std::string& path, const Md2SkinOptions& options) {
    // Skins keep a name that starts with ".PCX"; every other skin is named after its index and written
    // beside the model, where a game looks for skins named without a folder. A skin whose picture was
    // not found keeps the name it was stored under, where it stood among the others.
    SaveOutput output;
    std::vector<std::string> names;
    std::vector<OutputFile> skins;
    const std::vector<std::string> missing = missingSkinNames(model, source);
    if (source.hasSkins || !missing.empty()) {
        // Each missing name goes before the skin that followed it in the file: after as many found
        // skins as the file named before it.
        std::vector<std::pair<size_t, std::string>> missingAt;
        size_t foundSoFar = 0;
        for (const std::string& stored : source.storedSkinNames) {
            if (std::find(missing.begin(), missing.end(), stored) != missing.end()) {
                missingAt.emplace_back(foundSoFar, stored);
            } else {
                ++foundSoFar;
            }
        }
        size_t nextMissing = 0;
        auto addMissingUpTo = [&](size_t skinsBefore) {
            for (; nextMissing < missingAt.size() && missingAt[nextMissing].first <= skinsBefore;
                 ++nextMissing) {
                names.push_back(missingAt[nextMissing].second);
            }
        };
        const std::string folder = folderOf(path);
        for (size_t i = 0; i < model.skins.size(); ++i) {
            addMissingUpTo(i);
            const bool keep = model.skins[i].name.rfind(".PCX", 0) == 0;
            const std::string name = keep ? model.skins[i].name : "skin" + std::to_string(i) + ".PCX";
            // A skin the document's own .md2 names keeps that name, which a later Save writes back.
            const bool stored = std::find(source.storedSkinNames.begin(), source.storedSkinNames.end(),
                                          model.skins[i].name) != source.storedSkinNames.end();
            output.skinNames.push_back(stored ? model.skins[i].name : name);
            names.push_back(name);
            if (keep) {
                continue;
            }
            Result<ByteBuffer> picture = skinFile(model.skins[i], name, options, output.notices);
            if (!picture) {
                return Failure{picture.error()};
            }
            skins.push_back({folder + name, std::move(*picture)});
        }
        addMissingUpTo(SIZE_MAX);
    }
    std::optional<ByteBuffer> bytes = encodeMd2(model, frames, source, names, &output.notices);
    if (!bytes) {
        return Failure{whyNotMd2(model, frames)};
    }
    output.files.push_back({path, std::move(*bytes)});
    for (OutputFile& skin : skins) {
        output.files.push_back(std::move(skin));
    }
    return output;
}

Result<SaveOutput> saveMd2Back(const Model& model, const std::vector<Frame>& frames,
                               const SourceFields& source, const std::string& path,
                               const Md2SkinOptions& options) {
    if (source.storedSkinNames.empty()) {
        return exportMd2(model, frames, source, path, options);
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
        Result<ByteBuffer> picture = skinFile(skin, name, options, output.notices);
        if (!picture) {
            return Failure{picture.error()};
        }
        names.push_back(name);
        output.skinNames.push_back(name);
        skins.push_back({folderOf(path) + name, std::move(*picture)});
    }
    std::optional<ByteBuffer> bytes = encodeMd2(model, frames, source, names, &output.notices);
    if (!bytes) {
        return Failure{whyNotMd2(model, frames)};
    }
    output.files.push_back({path, std::move(*bytes)});
    for (OutputFile& skin : skins) {
        output.files.push_back(std::move(skin));
    }
    return output;
}

Status writeMd2(const std::string& path, Model& model, const std::vector<Frame>& frames,
                const SourceFields& source) {
    Result<SaveOutput> output = exportMd2(model, frames, source, path, {});
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
