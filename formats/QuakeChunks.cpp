#include "formats/QuakeChunks.h"

#include "formats/ByteReader.h"

#include <algorithm>
#include <cmath>

namespace faceto {

namespace {

constexpr int32_t MAX_TEXT = 256;

void writeText(ByteWriter& w, const std::string& text) {
    const auto length = int32_t(std::min<size_t>(text.size(), MAX_TEXT));
    w.i32(length);
    w.text(std::string_view(text).substr(0, size_t(length)));
}

bool readText(ByteReader& r, std::string& text) {
    const int32_t length = r.i32();
    if (!r.ok() || length < 0 || length > MAX_TEXT) {
        return false;
    }
    const std::span<const uint8_t> bytes = r.bytes(size_t(length));
    text.assign(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    return r.ok();
}

// A count of records of at least `size` bytes each that the rest of the chunk can hold.
bool countFits(const ByteReader& r, int32_t count, size_t size) {
    return r.ok() && count >= 0 && uint64_t(count) * size <= r.remaining();
}

void writeGroups(ByteWriter& w, const std::vector<QuakeFields::Group>& groups) {
    w.i32(int32_t(groups.size()));
    for (const QuakeFields::Group& g : groups) {
        w.u8(g.grouped ? 1 : 0);
        w.i32(g.count);
        w.i32(int32_t(g.intervals.size()));
        for (float interval : g.intervals) {
            w.f32(interval);
        }
        w.u8(g.bounds ? 1 : 0);
        if (g.bounds) {
            w.raw(*g.bounds);
        }
    }
}

bool readGroups(ByteReader& r, std::vector<QuakeFields::Group>& groups) {
    const int32_t count = r.i32();
    if (!countFits(r, count, 10)) {
        return false;
    }
    groups.resize(size_t(count));
    for (QuakeFields::Group& g : groups) {
        g.grouped = r.u8() != 0;
        g.count = r.i32();
        const int32_t intervals = r.i32();
        if (!countFits(r, intervals, 4) || g.count < 1 || g.count > (1 << 20)) {
            return false;
        }
        g.intervals.resize(size_t(intervals));
        for (float& interval : g.intervals) {
            interval = r.f32();
        }
        if (r.u8() != 0) {
            std::array<uint8_t, 8> bounds{};
            const std::span<const uint8_t> bytes = r.bytes(bounds.size());
            std::copy(bytes.begin(), bytes.end(), bounds.begin());
            g.bounds = bounds;
        }
    }
    return r.ok();
}

void writeBlob(ByteWriter& w, const std::vector<uint8_t>& bytes) {
    w.i32(int32_t(bytes.size()));
    w.raw(bytes);
}

bool readBlob(ByteReader& r, std::vector<uint8_t>& bytes) {
    const int32_t size = r.i32();
    if (!countFits(r, size, 1)) {
        return false;
    }
    const std::span<const uint8_t> data = r.bytes(size_t(size));
    bytes.assign(data.begin(), data.end());
    return r.ok();
}

template <size_t N> void writeOptional(ByteWriter& w, const std::optional<std::array<uint8_t, N>>& field) {
    w.u8(field ? 1 : 0);
    if (field) {
        w.raw(*field);
    }
}

template <size_t N> void readOptional(ByteReader& r, std::optional<std::array<uint8_t, N>>& field) {
    if (r.u8() != 0) {
        std::array<uint8_t, N> bytes{};
        const std::span<const uint8_t> data = r.bytes(N);
        std::copy(data.begin(), data.end(), bytes.begin());
        field = bytes;
    }
}

void writeU64(ByteWriter& w, uint64_t v) {
    w.u32(uint32_t(v));
    w.u32(uint32_t(v >> 32));
}

uint64_t readU64(ByteReader& r) {
    const uint64_t lo = r.u32();
    return lo | (uint64_t(r.u32()) << 32);
}

} // namespace

ByteBuffer encodeFramePackings(const std::vector<Frame>& frames) {
    ByteWriter w;
    w.i32(int32_t(frames.size()));
    for (const Frame& frame : frames) {
        // 0: none; else the kind of its digest (a reader of earlier versions takes any as present).
        w.u8(frame.packing ? std::max<uint8_t>(frame.packing->digestKind, 1) : 0);
        if (!frame.packing) {
            continue;
        }
        const FramePacking& p = *frame.packing;
        for (float v : p.scale) {
            w.f32(v);
        }
        for (float v : p.translate) {
            w.f32(v);
        }
        writeBlob(w, p.normals);
        writeOptional(w, p.bounds);
        writeOptional(w, p.nameField);
        writeU64(w, p.packedDigest);
        writeU64(w, p.meshDigest);
        writeOptional(w, p.md3Record);
        writeBlob(w, p.md3Vertices);
    }
    return std::move(w.bytes());
}

std::optional<std::string> decodeFramePackings(std::span<const uint8_t> chunk, std::vector<Frame>& frames,
                                               size_t vertexCount) {
    ByteReader r(chunk);
    const int32_t count = r.i32();
    if (!r.ok() || count < 0 || size_t(count) != frames.size()) {
        return "the frames' packing does not match the frames";
    }
    for (Frame& frame : frames) {
        const uint8_t kind = r.u8();
        if (kind == 0) {
            continue;
        }
        auto p = std::make_shared<FramePacking>();
        p->digestKind = kind;
        for (float& v : p->scale) {
            v = r.f32();
        }
        for (float& v : p->translate) {
            v = r.f32();
        }
        const bool normals = readBlob(r, p->normals);
        readOptional(r, p->bounds);
        readOptional(r, p->nameField);
        p->packedDigest = readU64(r);
        p->meshDigest = readU64(r);
        readOptional(r, p->md3Record);
        if (!normals || !readBlob(r, p->md3Vertices) || !r.ok() ||
            (!p->normals.empty() && p->normals.size() != vertexCount)) {
            return "the frames' packing is damaged";
        }
        frame.packing = std::move(p);
    }
    return std::nullopt;
}

ByteBuffer encodeKeptMesh(const KeptMesh& kept) {
    ByteWriter w;
    w.i32(kept.format);
    writeU64(w, kept.meshDigest);
    w.i32(kept.skinWidth);
    w.i32(kept.skinHeight);
    w.i32(kept.texcoordCount);
    w.i32(kept.glCommandWords);
    writeBlob(w, kept.texcoords);
    writeBlob(w, kept.triangles);
    writeBlob(w, kept.glCommands);
    return std::move(w.bytes());
}

std::optional<std::string> decodeKeptMesh(std::span<const uint8_t> chunk, SourceFields& source) {
    ByteReader r(chunk);
    auto kept = std::make_shared<KeptMesh>();
    kept->format = r.i32();
    kept->meshDigest = readU64(r);
    kept->skinWidth = r.i32();
    kept->skinHeight = r.i32();
    kept->texcoordCount = r.i32();
    kept->glCommandWords = r.i32();
    if (!r.ok() || !readBlob(r, kept->texcoords) || !readBlob(r, kept->triangles) ||
        !readBlob(r, kept->glCommands) || kept->texcoordCount < 0 || kept->glCommandWords < 0) {
        return "the kept mesh sections are damaged";
    }
    source.keptMesh = std::move(kept);
    return std::nullopt;
}

ByteBuffer encodeQuakeFields(const QuakeFields& quake) {
    ByteWriter w;
    for (float e : quake.eye) {
        w.f32(e);
    }
    w.i32(quake.syncType);
    w.i32(quake.flags);
    w.f32(quake.radius);
    w.f32(quake.size);
    writeGroups(w, quake.skinGroups);
    writeGroups(w, quake.frameGroups);
    w.i32(int32_t(quake.frameNames.size()));
    for (const std::string& name : quake.frameNames) {
        writeText(w, name);
    }
    return std::move(w.bytes());
}

std::optional<std::string> decodeQuakeFields(std::span<const uint8_t> chunk, SourceFields& source) {
    ByteReader r(chunk);
    QuakeFields quake;
    for (float& e : quake.eye) {
        e = r.f32();
    }
    quake.syncType = r.i32();
    quake.flags = r.i32();
    quake.radius = r.f32();
    quake.size = r.f32();
    if (!r.ok() || !readGroups(r, quake.skinGroups) || !readGroups(r, quake.frameGroups)) {
        return "the Quake model's fields are damaged";
    }
    const int32_t names = r.i32();
    if (!countFits(r, names, 4)) {
        return "the Quake model's frame names are damaged";
    }
    quake.frameNames.resize(size_t(names));
    for (std::string& name : quake.frameNames) {
        if (!readText(r, name)) {
            return "the Quake model's frame names are damaged";
        }
    }
    if (!std::isfinite(quake.eye[0]) || !std::isfinite(quake.eye[1]) || !std::isfinite(quake.eye[2])) {
        return "the Quake model's eye is not a number";
    }
    source.quake = std::move(quake);
    return std::nullopt;
}

ByteBuffer encodeSkinNames(const std::vector<std::string>& names) {
    ByteWriter w;
    w.i32(int32_t(names.size()));
    for (const std::string& name : names) {
        writeText(w, name);
    }
    return std::move(w.bytes());
}

std::optional<std::string> decodeSkinNames(std::span<const uint8_t> chunk, SourceFields& source) {
    ByteReader r(chunk);
    const int32_t count = r.i32();
    if (!countFits(r, count, 4)) {
        return "the skin names are damaged";
    }
    std::vector<std::string> names(static_cast<size_t>(count));
    for (std::string& name : names) {
        if (!readText(r, name)) {
            return "the skin names are damaged";
        }
    }
    source.storedSkinNames = std::move(names);
    return std::nullopt;
}

} // namespace faceto
