#include "formats/NativeFormat.h"

#include "formats/ByteReader.h"
#include "formats/ByteWriter.h"
#include "formats/FileIO.h"
#include "formats/Limits.h"
#include "formats/Md3Chunks.h"
#include "formats/QuakeChunks.h"
#include "model/DerivedData.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <optional>
#include <type_traits>

namespace faceto {

namespace {

constexpr uint8_t MAGIC[4] = {'H', 'B', 'F', 'M'};
constexpr float VERSION = 4.0f;
constexpr int32_t MAX_NAME = 256; // name lengths count the terminating zero byte
constexpr uint64_t VERTEX_RECORD = 16;
constexpr uint64_t TRIANGLE_RECORD = 52;
constexpr uint64_t POSITION_RECORD = 12;

// Length-prefixed name; a name longer than 255 characters is cut.
void writeName(ByteWriter& w, const std::string& name) {
    const int32_t length = int32_t(std::min<size_t>(name.size() + 1, MAX_NAME));
    w.i32(length);
    w.text(std::string_view(name).substr(0, size_t(length - 1)));
    w.u8(0);
}

template <typename Source> bool readName(Source& r, std::string& name) {
    const int32_t length = r.i32();
    if (!r.ok() || length < 1 || length > MAX_NAME) {
        return false;
    }
    name = r.fixedString(size_t(length));
    return r.ok();
}

// Positions are stored as they lie in memory on a little-endian machine: copy them in one block.
static_assert(sizeof(FrameVertex) == 12 && std::is_trivially_copyable_v<FrameVertex>);
constexpr bool HOST_IS_LITTLE_ENDIAN = std::endian::native == std::endian::little;

template <typename Source> void readPositions(Source& r, Positions& positions) {
    if constexpr (HOST_IS_LITTLE_ENDIAN) {
        r.copyTo(positions.data(), positions.size() * POSITION_RECORD);
    } else {
        for (FrameVertex& p : positions) {
            p.x = r.f32();
            p.y = r.f32();
            p.z = r.f32();
        }
    }
}

void writePositions(ByteWriter& w, const Positions& positions) {
    if constexpr (HOST_IS_LITTLE_ENDIAN) {
        w.raw({reinterpret_cast<const uint8_t*>(positions.data()), positions.size() * POSITION_RECORD});
    } else {
        for (const FrameVertex& p : positions) {
            w.f32(p.x);
            w.f32(p.y);
            w.f32(p.z);
        }
    }
}

// After the last frame an optional section keeps what the records above cannot: the skins and the
// groups. "HBFX", a version, then chunks of a 4-character tag and a byte count; a reader that stops
// after the last frame never sees it, and chunks of unknown tags are passed over.
constexpr uint8_t EXTRA_MAGIC[4] = {'H', 'B', 'F', 'X'};
constexpr int32_t EXTRA_VERSION = 1;
constexpr char SKINS_TAG[] = "SKIN";
constexpr char GROUPS_TAG[] = "GRPS";
constexpr char TAGS_TAG[] = "TAGS";       // a Quake III model's tags, with their place in every frame
constexpr char MD3_TAG[] = "MD3S";        // a Quake III model's header and surfaces
constexpr char QUAKE_TAG[] = "QUAK";      // a Quake model's eye, sync type, flags and groups
constexpr char SKIN_NAMES_TAG[] = "SKNM"; // the skin names a Quake 2 model stores
constexpr char PACKING_TAG[] = "PACK";    // how the file the frames came from packed them
constexpr char KEPT_MESH_TAG[] = "KEPT";  // the mesh sections a Quake or Quake 2 file keeps
constexpr char WRAP_TAG[] = "WRAP";       // how each skin reads coordinates past its edges, when one repeats

ByteBuffer encodeSkins(const std::vector<Skin>& skins) {
    ByteWriter w;
    w.i32(int32_t(skins.size()));
    for (const Skin& skin : skins) {
        writeName(w, skin.name);
        w.i32(skin.width);
        w.i32(skin.height);
        w.i32(skin.imageWidth);
        w.i32(skin.imageHeight);
        w.i32(skin.bitsPerPixel);
        w.i32(int32_t(skin.palette.size()));
        for (const PaletteEntry& e : skin.palette) {
            w.raw(e);
        }
        const size_t size = size_t(std::max(0, skin.stride())) * size_t(std::max(0, skin.imageHeight));
        w.i32(int32_t(size));
        uint8_t* pixels = w.append(size);
        std::memset(pixels, 0, size);
        std::memcpy(pixels, skin.pixels.data(), std::min(size, skin.pixels.size()));
    }
    return std::move(w.bytes());
}

ByteBuffer encodeGroups(const std::vector<Group>& groups) {
    ByteWriter w;
    w.i32(int32_t(groups.size()));
    for (const Group& g : groups) {
        writeName(w, g.name);
        w.i32(g.color);
        w.i32(g.flags);
        w.i32(g.tag);
    }
    return std::move(w.bytes());
}

std::optional<std::string> readSkins(ByteReader& r, Model& model, limits::DecodeBudget& budget) {
    const int32_t count = r.i32();
    if (!r.ok() || count < 0 || count > limits::MAX_SKINS) {
        return count > limits::MAX_SKINS ? limits::tooManySkins()
                                         : "the skins are not stored as the format says";
    }
    for (int32_t i = 0; i < count; ++i) {
        Skin skin;
        if (!readName(r, skin.name)) {
            return "the skins are not stored as the format says";
        }
        skin.width = r.i32();
        skin.height = r.i32();
        skin.imageWidth = r.i32();
        skin.imageHeight = r.i32();
        skin.bitsPerPixel = r.i32();
        const int32_t entries = r.i32();
        const int bits = skin.bitsPerPixel;
        if (!r.ok() || entries < 0 || entries > 256 || (bits != 1 && bits != 4 && bits != 8 && bits != 24) ||
            skin.imageWidth < 0 || skin.imageHeight < 0) {
            return "the skins are not stored as the format says";
        }
        if (skin.imageWidth > limits::MAX_SKIN_SIDE || skin.imageHeight > limits::MAX_SKIN_SIDE) {
            return limits::skinTooLarge(skin.imageWidth, skin.imageHeight);
        }
        std::span<const uint8_t> palette = r.bytes(size_t(entries) * 4);
        if (!r.ok() || palette.size() != size_t(entries) * 4) {
            return "the skins are not stored as the format says";
        }
        skin.palette.resize(size_t(entries));
        for (size_t e = 0; e < skin.palette.size(); ++e) {
            std::memcpy(skin.palette[e].data(), palette.data() + e * 4, 4);
        }
        const int32_t size = r.i32();
        const uint64_t expected = uint64_t(skin.stride()) * uint64_t(skin.imageHeight);
        if (!r.ok() || size < 0 || uint64_t(size) != expected || !r.require(uint64_t(size))) {
            return "the skins are not stored as the format says";
        }
        if (!budget.take(expected)) {
            return limits::tooMuchToDecode();
        }
        std::span<const uint8_t> pixels = r.bytes(size_t(size));
        skin.pixels.assign(pixels.begin(), pixels.end());
        skin.imageSize = size;
        skin.colorsUsed = 256;
        model.skins.push_back(std::move(skin));
    }
    return std::nullopt;
}

std::optional<std::string> readGroups(ByteReader& r, Model& model) {
    const int32_t count = r.i32();
    // A group takes at least 17 bytes of the file.
    if (!r.ok() || count < 0 || uint64_t(count) * 17 > r.remaining()) {
        return "the groups are not stored as the format says";
    }
    model.groups.resize(size_t(count));
    for (Group& g : model.groups) {
        if (!readName(r, g.name)) {
            return "the groups are not stored as the format says";
        }
        g.color = r.i32();
        g.flags = r.i32();
        g.tag = r.i32();
    }
    return r.ok() ? std::nullopt : std::optional<std::string>("the groups are not stored as the format says");
}

// A byte for s and one for t per skin (after the skins' chunk); an unknown value clamps.
ByteBuffer encodeWraps(const std::vector<Skin>& skins) {
    ByteWriter w;
    w.i32(int32_t(skins.size()));
    for (const Skin& skin : skins) {
        w.u8(uint8_t(skin.wrap[0]));
        w.u8(uint8_t(skin.wrap[1]));
    }
    return std::move(w.bytes());
}

void readWraps(ByteReader& r, Model& model) {
    const int32_t count = r.i32();
    for (int32_t i = 0; r.ok() && i < count && size_t(i) < model.skins.size(); ++i) {
        for (Wrap& wrap : model.skins[size_t(i)].wrap) {
            const uint8_t value = r.u8();
            wrap = value <= uint8_t(Wrap::Mirror) && r.ok() ? Wrap(value) : Wrap::Clamp;
        }
    }
}

// The section after the frames, when there is one.
std::optional<std::string> readExtras(ByteReader& r, ModelData& data, limits::DecodeBudget& budget) {
    Model& model = data.model;
    if (r.remaining() < 8 || !std::equal(EXTRA_MAGIC, EXTRA_MAGIC + 4, r.bytes(4).begin())) {
        return std::nullopt; // nothing of ours: older files may carry bytes of an older file here
    }
    if (r.i32() != EXTRA_VERSION) {
        return std::nullopt;
    }
    while (r.remaining() > 0) {
        const std::string tag = r.fixedString(4);
        const uint32_t size = r.u32();
        std::span<const uint8_t> chunk = r.bytes(size);
        if (!r.ok()) {
            return "the section after the frames ends early";
        }
        ByteReader c(chunk);
        std::optional<std::string> error;
        if (tag == SKINS_TAG) {
            error = readSkins(c, model, budget);
        } else if (tag == GROUPS_TAG) {
            error = readGroups(c, model);
        } else if (tag == WRAP_TAG) {
            readWraps(c, model);
        } else if (tag == TAGS_TAG) {
            error = decodeTags(chunk, model, data.frames);
        } else if (tag == MD3_TAG) {
            error = decodeMd3Fields(chunk, model.vertexInfos.size(), data.source);
        } else if (tag == QUAKE_TAG) {
            error = decodeQuakeFields(chunk, data.source);
        } else if (tag == SKIN_NAMES_TAG) {
            error = decodeSkinNames(chunk, data.source);
        } else if (tag == PACKING_TAG) {
            error = decodeFramePackings(chunk, data.frames, model.vertexInfos.size());
        } else if (tag == KEPT_MESH_TAG) {
            error = decodeKeptMesh(chunk, data.source);
        }
        if (error) {
            return error;
        }
    }
    return std::nullopt;
}

void appendChunk(ByteWriter& w, const char (&tag)[5], const ByteBuffer& payload) {
    w.text(std::string_view(tag, 4));
    w.u32(uint32_t(payload.size()));
    w.raw(payload);
}

} // namespace

namespace {

const char* const TRUNCATED = "the file ends before everything its header announces";

// The vertex records and the triangles; a triangle's corner must be one of the vertices.
template <typename Source>
Status readMesh(Source& r, int32_t vertexCount, int32_t triangleCount, Model& model) {
    model.vertexInfos.resize(size_t(vertexCount));
    for (VertexInfo& info : model.vertexInfos) {
        info.flags = r.i32();
        for (int32_t& word : info.reserved) {
            word = r.i32();
        }
    }
    model.triangles.resize(size_t(triangleCount));
    for (Triangle& t : model.triangles) {
        for (int32_t& v : t.v) {
            v = r.i32();
            if (v < 0 || v >= vertexCount) {
                return Failure{"a triangle uses a vertex the model does not have"};
            }
        }
        t.aux = r.i32();
        t.group = r.i32();
        t.color = r.i32();
        for (auto& corner : t.st) {
            corner[0] = r.f32();
            corner[1] = r.f32();
        }
        t.tail = r.i32();
    }
    return {};
}

// Every frame: its name and one position a vertex.
template <typename Source>
Status readFrames(Source& r, int32_t frameCount, int32_t vertexCount, std::vector<Frame>& frames) {
    // All frames' positions in one block; no more frames than the rest of the file can hold.
    const FrameMemoryScope positionsBlock(
        std::min<size_t>(size_t(frameCount),
                         r.remaining() / std::max<size_t>(POSITION_RECORD * size_t(vertexCount), 1)),
        size_t(vertexCount));
    frames.resize(size_t(frameCount));
    for (Frame& frame : frames) {
        if (!readName(r, frame.name) || !r.require(POSITION_RECORD * uint64_t(vertexCount))) {
            return Failure{TRUNCATED};
        }
        frame.positions.resize(size_t(vertexCount));
        readPositions(r, frame.positions);
    }
    if (!r.ok()) {
        return Failure{TRUNCATED};
    }
    return {};
}

// The header, the mesh and the frames from `r`, then the section after the frames, which
// `extras(r, data, budget)` reads from whatever `r` has left.
template <typename Source, typename Extras> Result<ModelData> parseNativeFrom(Source& r, Extras extras) {
    r.skip(4); // magic: the open dispatch has already looked at it
    r.f32();   // version
    ModelData data;
    data.source.sourceFormat = r.i32();
    data.source.sourceFlag = r.i32();
    data.source.skinWidth = r.i32();
    data.source.skinHeight = r.i32();
    data.source.hasSkins = r.i32();
    if (!readName(r, data.model.name)) {
        return Failure{"the model's name is not stored as the format says"};
    }
    const int32_t frameCount = r.i32();
    const int32_t vertexCount = r.i32();
    const int32_t triangleCount = r.i32();
    if (!r.ok() || vertexCount < 0 || triangleCount < 0) {
        return Failure{TRUNCATED};
    }
    if (frameCount < 1) {
        return Failure{"the model has no frame"};
    }
    // Every count must fit in the bytes that are left before anything is allocated for it.
    const uint64_t meshBytes =
        VERTEX_RECORD * uint64_t(vertexCount) + TRIANGLE_RECORD * uint64_t(triangleCount);
    const uint64_t smallestFrame = 4 + 1 + POSITION_RECORD * uint64_t(vertexCount);
    if (meshBytes > r.remaining() || smallestFrame * uint64_t(frameCount) > r.remaining() - meshBytes) {
        return Failure{TRUNCATED};
    }
    if (Status read = readMesh(r, vertexCount, triangleCount, data.model); !read) {
        return Failure{read.error()};
    }
    if (Status read = readFrames(r, frameCount, vertexCount, data.frames); !read) {
        return Failure{read.error()};
    }
    limits::DecodeBudget budget;
    if (!budget.take(uint64_t(vertexCount) * sizeof(FrameVertex) * uint64_t(frameCount))) {
        return Failure{limits::tooMuchToDecode()};
    }
    if (std::optional<std::string> error = extras(r, data, budget)) {
        return Failure{*error};
    }
    buildEdges(data.model);
    return data;
}

} // namespace

Result<ModelData> parseNative(std::span<const uint8_t> bytes) {
    ByteReader r(bytes);
    return parseNativeFrom(r, readExtras);
}

Result<ModelData> readNativeFile(const std::string& path) {
    FileStream stream;
    if (Status opened = stream.open(path); !opened) {
        return Failure{opened.error()};
    }
    Result<ModelData> data = parseNativeFrom(
        stream,
        [](FileStream& s, ModelData& model, limits::DecodeBudget& budget) -> std::optional<std::string> {
            Result<ByteBuffer> rest = s.rest();
            if (!rest) {
                return rest.error();
            }
            ByteReader r(*rest);
            return readExtras(r, model, budget);
        });
    if (stream.ioError()) {
        return Failure{*stream.ioError()};
    }
    return data;
}

namespace {

// The header, the vertex records and the triangles, with room reserved for `frameBytes` more.
void writeHead(ByteWriter& w, const Model& model, const std::vector<Frame>& frames,
               const SourceFields& source, size_t frameBytes) {
    const size_t vertexCount = model.vertexInfos.size();
    w.reserve(64 + model.name.size() + vertexCount * VERTEX_RECORD +
              model.triangles.size() * TRIANGLE_RECORD + frameBytes);
    w.raw(MAGIC);
    w.f32(VERSION);
    w.i32(source.sourceFormat);
    w.i32(source.sourceFlag);
    w.i32(source.skinWidth);
    w.i32(source.skinHeight);
    w.i32(source.hasSkins);
    writeName(w, model.name);
    w.i32(int32_t(frames.size()));
    w.i32(int32_t(vertexCount));
    w.i32(int32_t(model.triangles.size()));
    for (const VertexInfo& info : model.vertexInfos) {
        w.i32(info.flags);
        for (int32_t word : info.reserved) {
            w.i32(word);
        }
    }
    for (const Triangle& t : model.triangles) {
        for (int32_t v : t.v) {
            w.i32(v);
        }
        w.i32(t.aux);
        w.i32(t.group);
        w.i32(t.color);
        for (const auto& corner : t.st) {
            w.f32(corner[0]);
            w.f32(corner[1]);
        }
        w.i32(t.tail);
    }
}

// The section after the last frame, when the model has anything for it.
void writeExtra(ByteWriter& w, const Model& model, const std::vector<Frame>& frames,
                const SourceFields& source) {
    const bool packed =
        std::any_of(frames.begin(), frames.end(), [](const Frame& f) { return f.packing != nullptr; });
    if (!model.skins.empty() || !model.groups.empty() || !model.tagNames.empty() || source.md3 ||
        source.quake || !source.storedSkinNames.empty() || packed || source.keptMesh) {
        w.raw(EXTRA_MAGIC);
        w.i32(EXTRA_VERSION);
        if (!model.skins.empty()) {
            appendChunk(w, SKINS_TAG, encodeSkins(model.skins));
        }
        if (std::any_of(model.skins.begin(), model.skins.end(), [](const Skin& s) {
                return s.wrap != std::array<Wrap, 2>{Wrap::Clamp, Wrap::Clamp};
            })) {
            appendChunk(w, WRAP_TAG, encodeWraps(model.skins));
        }
        if (!model.groups.empty()) {
            appendChunk(w, GROUPS_TAG, encodeGroups(model.groups));
        }
        if (!model.tagNames.empty()) {
            appendChunk(w, TAGS_TAG, encodeTags(model, frames));
        }
        if (source.md3) {
            appendChunk(w, MD3_TAG, encodeMd3Fields(*source.md3));
        }
        if (source.quake) {
            appendChunk(w, QUAKE_TAG, encodeQuakeFields(*source.quake));
        }
        if (!source.storedSkinNames.empty()) {
            appendChunk(w, SKIN_NAMES_TAG, encodeSkinNames(source.storedSkinNames));
        }
        if (packed) {
            appendChunk(w, PACKING_TAG, encodeFramePackings(frames));
        }
        if (source.keptMesh) {
            appendChunk(w, KEPT_MESH_TAG, encodeKeptMesh(*source.keptMesh));
        }
    }
}

} // namespace

ByteBuffer encodeNative(const Model& model, const std::vector<Frame>& frames, const SourceFields& source) {
    ByteWriter w;
    writeHead(w, model, frames, source,
              frames.size() * (4 + MAX_NAME + model.vertexInfos.size() * POSITION_RECORD));
    for (const Frame& frame : frames) {
        writeName(w, frame.name);
        writePositions(w, frame.positions);
    }
    writeExtra(w, model, frames, source);
    return std::move(w.bytes());
}

OutputFile nativeOutputFile(const std::string& path, const Model& model, const std::vector<Frame>& frames,
                            const SourceFields& source) {
    if constexpr (!HOST_IS_LITTLE_ENDIAN) {
        return OutputFile{path, encodeNative(model, frames, source), {}};
    }
    // The positions are written from the frames themselves; everything else from one buffer.
    ByteWriter w;
    writeHead(w, model, frames, source, frames.size() * (4 + MAX_NAME));
    std::vector<OutputFile::Piece> pieces;
    pieces.reserve(frames.size() * 2 + 1);
    size_t runStart = 0;
    for (const Frame& frame : frames) {
        writeName(w, frame.name);
        pieces.push_back({runStart, w.size() - runStart, nullptr});
        pieces.push_back({0, frame.positions.size() * POSITION_RECORD,
                          reinterpret_cast<const uint8_t*>(frame.positions.data())});
        runStart = w.size();
    }
    writeExtra(w, model, frames, source);
    pieces.push_back({runStart, w.size() - runStart, nullptr});
    std::erase_if(pieces, [](const OutputFile::Piece& p) { return p.size == 0; });
    return OutputFile{path, std::move(w.bytes()), std::move(pieces)};
}

Status writeNative(const std::string& path, const Model& model, const std::vector<Frame>& frames,
                   const SourceFields& source) {
    const OutputFile file = nativeOutputFile(path, model, frames, source);
    FileReplacer replacer;
    if (Status staged = replacer.stage(path, file.parts()); !staged) {
        return staged;
    }
    return replacer.commit();
}

} // namespace faceto
