#include "formats/MdlReader.h"

#include "formats/ByteReader.h"
#include "formats/FramePacking.h"
#include "formats/Limits.h"

#include <algorithm>
#include <vector>

namespace faceto {

namespace {

constexpr int32_t CURRENT_VERSION = 6;
constexpr int32_t ON_SEAM = 32;
constexpr size_t BOUNDS = 8; // packed minimum and maximum vertex
constexpr size_t FRAME_NAME = 16;

struct Header {
    int32_t version;
    float scale[3];
    float translate[3];
    int32_t skinCount;
    int32_t skinWidth;
    int32_t skinHeight;
    int32_t vertexCount;
    int32_t triangleCount;
    int32_t frameCount;
};

// One skin picture: refused when it would pass the number of skins or the memory a load may take.
std::optional<std::string> readSkinImage(ByteReader& r, const Header& h, Model& model,
                                         limits::DecodeBudget& budget) {
    const uint64_t size = uint64_t(h.skinWidth) * uint64_t(h.skinHeight);
    std::span<const uint8_t> pixels = r.bytes(size);
    if (!r.ok()) {
        return "the file ends inside its skins";
    }
    if (model.skins.size() >= size_t(limits::MAX_SKINS)) {
        return limits::tooManySkins();
    }
    Skin skin;
    skin.imageWidth = h.skinWidth;
    skin.imageHeight = h.skinHeight;
    skin.bitsPerPixel = 8;
    const size_t stride = size_t(skin.stride());
    skin.imageSize = int32_t(stride * size_t(h.skinHeight));
    // Rows are padded to whole 4-byte words like every other skin image.
    skin.pixels.assign(stride * size_t(h.skinHeight), 0);
    for (int32_t y = 0; y < h.skinHeight && h.skinWidth > 0; ++y) {
        std::copy_n(pixels.begin() + std::ptrdiff_t(size_t(y) * size_t(h.skinWidth)), h.skinWidth,
                    skin.pixels.begin() + std::ptrdiff_t(size_t(y) * stride));
    }
    if (!budget.take(skin.pixels.size() + sizeof(Skin))) {
        return limits::tooMuchToDecode();
    }
    model.skins.push_back(std::move(skin));
    return std::nullopt;
}

// A frame's bounds (two packed vertices), its name when the layout has one, and its vertices.
bool readFrame(ByteReader& r, const Header& h, bool named, uint64_t mesh, std::vector<Frame>& frames,
               limits::DecodeBudget& budget) {
    std::array<uint8_t, 8> bounds{};
    const std::span<const uint8_t> boundBytes = r.bytes(BOUNDS);
    std::copy(boundBytes.begin(), boundBytes.end(), bounds.begin());
    const std::span<const uint8_t> nameField = named ? r.bytes(FRAME_NAME) : std::span<const uint8_t>();
    std::string name = named ? ByteReader(nameField).fixedString(nameField.size()) : std::string("noname");
    std::span<const uint8_t> packed = r.bytes(size_t(h.vertexCount) * 4);
    if (!r.ok() || !budget.take(size_t(h.vertexCount) * (sizeof(FrameVertex) + 1) + sizeof(Frame))) {
        return false;
    }
    Frame frame(std::move(name));
    frame.packing =
        decodeKeepingPacking(packed, h.scale, h.translate, mesh, nameField, bounds, frame.positions);
    frames.push_back(std::move(frame));
    return true;
}

const char* const ENDS_EARLY = "the file ends before everything its header announces";

// The header, and what a Quake model keeps of it; refused when its counts cannot fit the file.
Result<Header> readHeader(ByteReader& r, QuakeFields& quake) {
    Header h{};
    r.skip(4); // "IDPO", already recognised by the open dispatch
    h.version = r.i32();
    for (float& s : h.scale) {
        s = r.f32();
    }
    for (float& t : h.translate) {
        t = r.f32();
    }
    quake.radius = r.f32();
    for (float& e : quake.eye) {
        e = r.f32();
    }
    h.skinCount = r.i32();
    h.skinWidth = r.i32();
    h.skinHeight = r.i32();
    h.vertexCount = r.i32();
    h.triangleCount = r.i32();
    h.frameCount = r.i32();
    if (h.version == CURRENT_VERSION) {
        quake.syncType = r.i32();
        quake.flags = r.i32();
        quake.size = r.f32();
    } else {
        quake.flags = r.i32(); // flags only in the older layout
    }
    if (!r.ok() || h.skinCount < 0 || h.skinWidth < 0 || h.skinHeight < 0 || h.vertexCount < 0 ||
        h.triangleCount < 0 || h.frameCount < 1 ||
        uint64_t(h.vertexCount) * 12 + uint64_t(h.triangleCount) * 16 > r.remaining()) {
        return Failure{h.frameCount < 1 && r.ok() ? "the model has no frame"
                                                  : "the header's counts do not fit the file"};
    }
    if (h.skinCount > 0 && (h.skinWidth > limits::MAX_SKIN_SIDE || h.skinHeight > limits::MAX_SKIN_SIDE)) {
        return Failure{limits::skinTooLarge(h.skinWidth, h.skinHeight)};
    }
    return h;
}

// The skins: single pictures, and groups of pictures with the times they show.
std::optional<std::string> readSkins(ByteReader& r, const Header& h, Model& model, QuakeFields& quake,
                                     limits::DecodeBudget& budget) {
    for (int32_t i = 0; i < h.skinCount; ++i) {
        if (r.i32() == 0) {
            if (auto error = readSkinImage(r, h, model, budget)) {
                return error;
            }
            quake.skinGroups.push_back({});
            continue;
        }
        const int32_t images = r.i32();
        if (!r.ok() || images < 0 || uint64_t(images) * 4 > r.remaining()) {
            return ENDS_EARLY;
        }
        QuakeFields::Group group{true, images, {}, {}};
        for (int32_t k = 0; k < images; ++k) {
            group.intervals.push_back(r.f32());
        }
        quake.skinGroups.push_back(std::move(group));
        for (int32_t k = 0; k < images; ++k) {
            if (auto error = readSkinImage(r, h, model, budget)) {
                return error;
            }
        }
    }
    return std::nullopt;
}

// The skin coordinates and the triangles. A back-facing triangle on the seam takes its skin coordinates
// from the skin's back half. The sections are kept as read, for a save of the same mesh to write back.
std::optional<std::string> readMesh(ByteReader& r, const Header& h, std::span<const uint8_t> bytes,
                                    ModelData& data) {
    const bool current = h.version == CURRENT_VERSION;
    const size_t texVertsAt = r.position();
    std::vector<int32_t> onSeam(size_t(h.vertexCount));
    std::vector<int32_t> s(size_t(h.vertexCount));
    std::vector<int32_t> t(size_t(h.vertexCount));
    for (int32_t v = 0; v < h.vertexCount; ++v) {
        int32_t seam = r.i32();
        if (!current && (seam & 1)) {
            seam = ON_SEAM; // the older layout marks the seam in bit 0
        }
        onSeam[size_t(v)] = seam;
        s[size_t(v)] = r.i32();
        t[size_t(v)] = r.i32();
    }
    const size_t trianglesAt = r.position();
    Model& model = data.model;
    model.triangles.resize(size_t(h.triangleCount));
    for (Triangle& tri : model.triangles) {
        const int32_t facesFront = r.i32();
        for (size_t c = 0; c < 3; ++c) {
            const int32_t k = r.i32();
            if (k < 0 || k >= h.vertexCount) {
                return "a triangle uses a vertex the model does not have";
            }
            tri.v[c] = k;
            int64_t sk = s[size_t(k)]; // the sum of two file values can pass the int range
            if ((onSeam[size_t(k)] & ON_SEAM) && !(facesFront & 1)) {
                sk += h.skinWidth / 2;
            }
            tri.st[c] = {float(sk), float(t[size_t(k)])};
        }
    }
    if (!r.ok()) {
        return ENDS_EARLY;
    }
    model.vertexInfos.resize(size_t(h.vertexCount));
    if (current) {
        auto kept = std::make_shared<KeptMesh>();
        kept->format = SOURCE_MDL;
        kept->meshDigest = meshDigest(model, true);
        kept->skinWidth = h.skinWidth;
        kept->skinHeight = h.skinHeight;
        kept->texcoordCount = h.vertexCount;
        kept->texcoords.assign(bytes.begin() + std::ptrdiff_t(texVertsAt),
                               bytes.begin() + std::ptrdiff_t(trianglesAt));
        kept->triangles.assign(bytes.begin() + std::ptrdiff_t(trianglesAt),
                               bytes.begin() + std::ptrdiff_t(r.position()));
        data.source.keptMesh = std::move(kept);
    }
    return std::nullopt;
}

// A group of frames: their count, bounds and times, then the frames.
std::optional<std::string> readFrameGroup(ByteReader& r, const Header& h, uint64_t mesh, ModelData& data,
                                          QuakeFields& quake, limits::DecodeBudget& budget) {
    const int32_t count = r.i32();
    const std::span<const uint8_t> bounds = r.bytes(BOUNDS);
    if (!r.ok() || count < 0 || uint64_t(count) * 4 > r.remaining()) {
        return ENDS_EARLY;
    }
    QuakeFields::Group group{true, count, {}, {}};
    group.bounds.emplace();
    std::copy(bounds.begin(), bounds.end(), group.bounds->begin());
    for (int32_t k = 0; k < count; ++k) {
        group.intervals.push_back(r.f32());
    }
    quake.frameGroups.push_back(std::move(group));
    for (int32_t k = 0; k < count; ++k) {
        if (!readFrame(r, h, true, mesh, data.frames, budget)) {
            return budget.within() ? ENDS_EARLY : limits::tooMuchToDecode();
        }
    }
    return std::nullopt;
}

// The frames, single or in groups (the older layout has single unnamed frames only).
std::optional<std::string> readFrames(ByteReader& r, const Header& h, ModelData& data, QuakeFields& quake,
                                      limits::DecodeBudget& budget) {
    const bool current = h.version == CURRENT_VERSION;
    const uint64_t mesh = meshDigest(data.model, false);
    // All frames' positions in one block, as many as the rest of the file can hold (a group holds
    // several).
    const FrameMemoryScope positionsBlock(r.remaining() / std::max<size_t>(size_t(h.vertexCount) * 4 + 24, 1),
                                          size_t(h.vertexCount));
    for (int32_t i = 0; i < h.frameCount; ++i) {
        const int32_t kind = r.i32(); // the older layout's kind word is not looked at
        if (current && kind != 0) {
            if (auto error = readFrameGroup(r, h, mesh, data, quake, budget)) {
                return error;
            }
            continue;
        }
        if (!readFrame(r, h, current, mesh, data.frames, budget)) {
            return budget.within() ? ENDS_EARLY : limits::tooMuchToDecode();
        }
        quake.frameGroups.push_back({});
    }
    if (!r.ok()) {
        return ENDS_EARLY;
    }
    if (data.frames.empty()) {
        return "the model has no frame";
    }
    return std::nullopt;
}

} // namespace

Result<ModelData> parseMdl(std::span<const uint8_t> bytes) {
    ByteReader r(bytes);
    QuakeFields quake;
    const Result<Header> header = readHeader(r, quake);
    if (!header) {
        return Failure{header.error()};
    }
    const Header& h = *header;
    limits::DecodeBudget budget;
    ModelData data;
    data.source.sourceFormat = SOURCE_MDL;
    data.source.sourceFlag = 1;
    data.source.skinWidth = h.skinWidth;
    data.source.skinHeight = h.skinHeight;
    data.source.hasSkins = 1;
    if (auto error = readSkins(r, h, data.model, quake, budget)) {
        return Failure{*error};
    }
    if (auto error = readMesh(r, h, bytes, data)) {
        return Failure{*error};
    }
    if (auto error = readFrames(r, h, data, quake, budget)) {
        return Failure{*error};
    }
    for (const Frame& frame : data.frames) {
        quake.frameNames.push_back(frame.name);
    }
    data.source.quake = std::move(quake);
    return data;
}

} // namespace faceto
