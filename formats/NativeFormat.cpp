#include "formats/NativeFormat.h"

#include "formats/ByteReader.h"
#include "formats/ByteWriter.h"
#include "formats/FileIO.h"
#include "model/DerivedData.h"

#include <bit>
#include <cstring>
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

bool readName(ByteReader& r, std::string& name) {
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

void readPositions(ByteReader& r, std::vector<FrameVertex>& positions) {
    if constexpr (HOST_IS_LITTLE_ENDIAN) {
        std::span<const uint8_t> block = r.bytes(positions.size() * POSITION_RECORD);
        if (!block.empty()) {
            std::memcpy(positions.data(), block.data(), block.size());
        }
    } else {
        for (FrameVertex& p : positions) {
            p.x = r.f32();
            p.y = r.f32();
            p.z = r.f32();
        }
    }
}

void writePositions(ByteWriter& w, const std::vector<FrameVertex>& positions) {
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

} // namespace

Result<ModelData> parseNative(std::span<const uint8_t> bytes) {
    const Failure truncated{"the file ends before everything its header announces"};
    ByteReader r(bytes);
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
        return truncated;
    }
    if (frameCount < 1) {
        return Failure{"the model has no frame"};
    }
    // Every count must fit in the bytes that are left before anything is allocated for it.
    const uint64_t meshBytes = VERTEX_RECORD * uint64_t(vertexCount) + TRIANGLE_RECORD * uint64_t(triangleCount);
    const uint64_t smallestFrame = 4 + 1 + POSITION_RECORD * uint64_t(vertexCount);
    if (meshBytes > r.remaining() || smallestFrame * uint64_t(frameCount) > r.remaining() - meshBytes) {
        return truncated;
    }

    Model& model = data.model;
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

    data.frames.resize(size_t(frameCount));
    for (Frame& frame : data.frames) {
        if (!readName(r, frame.name) || !r.require(POSITION_RECORD * uint64_t(vertexCount))) {
            return truncated;
        }
        frame.positions.resize(size_t(vertexCount));
        readPositions(r, frame.positions);
    }
    if (!r.ok()) {
        return truncated;
    }
    buildEdges(model);
    return data;
}

ByteBuffer encodeNative(const Model& model, const std::vector<Frame>& frames,
                                  const SourceFields& source) {
    ByteWriter w;
    const size_t vertexCount = model.vertexInfos.size();
    w.reserve(64 + model.name.size() + vertexCount * VERTEX_RECORD + model.triangles.size() * TRIANGLE_RECORD +
              frames.size() * (4 + MAX_NAME + vertexCount * POSITION_RECORD));
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
    for (const Frame& frame : frames) {
        writeName(w, frame.name);
        writePositions(w, frame.positions);
    }
    return std::move(w.bytes());
}

Status writeNative(const std::string& path, const Model& model, const std::vector<Frame>& frames,
                   const SourceFields& source) {
    return writeFileReplacing(path, encodeNative(model, frames, source));
}

} // namespace faceto
