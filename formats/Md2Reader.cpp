#include "formats/Md2Reader.h"

#include "formats/ByteReader.h"
#include "formats/FramePacking.h"
#include "formats/Limits.h"
#include "formats/Md2Layout.h"
#include "formats/SkinLoader.h"

#include <algorithm>
#include <vector>

namespace faceto {

namespace {

// A section of `count` records of `size` bytes at `offset` must lie inside the file.
bool sectionFits(const ByteReader& r, int32_t offset, int32_t count, int64_t size) {
    return offset >= 0 && count >= 0 && uint64_t(offset) <= r.size() &&
           uint64_t(count) * uint64_t(size) <= r.size() - uint64_t(offset);
}

// The mesh sections as the file has them, for a save to write back while the mesh is unchanged; none
// when the GL commands do not lie inside the file (the reader itself does not need them).
std::shared_ptr<const KeptMesh> keptSections(ByteReader& r, const Model& model, int32_t skinWidth,
                                             int32_t skinHeight) {
    auto section = [&](int field, int countField, int64_t size) -> std::optional<std::vector<uint8_t>> {
        r.seek(countField);
        const int32_t count = r.i32();
        r.seek(field);
        const int32_t offset = r.i32();
        if (!r.ok() || !sectionFits(r, offset, count, size)) {
            return std::nullopt;
        }
        r.seek(offset);
        const std::span<const uint8_t> bytes = r.bytes(size_t(count) * size_t(size));
        return std::vector<uint8_t>(bytes.begin(), bytes.end());
    };
    auto texcoords = section(md2::header::TEXCOORDS_OFFSET, md2::header::TEXCOORD_COUNT, md2::TEXCOORD_SIZE);
    auto triangles = section(md2::header::TRIANGLES_OFFSET, md2::header::TRIANGLE_COUNT, md2::TRIANGLE_SIZE);
    auto commands = section(md2::header::GLCMDS_OFFSET, md2::header::GLCMD_COUNT, 4);
    if (!texcoords || !triangles || !commands) {
        return nullptr;
    }
    auto kept = std::make_shared<KeptMesh>();
    kept->format = SOURCE_MD2;
    kept->meshDigest = meshDigest(model, true);
    kept->skinWidth = skinWidth;
    kept->skinHeight = skinHeight;
    kept->texcoordCount = int32_t(texcoords->size() / md2::TEXCOORD_SIZE);
    kept->glCommandWords = int32_t(commands->size() / 4);
    kept->texcoords = std::move(*texcoords);
    kept->triangles = std::move(*triangles);
    kept->glCommands = std::move(*commands);
    return kept;
}

// The header's counts and where its sections lie.
struct Md2Header {
    int32_t skinWidth, skinHeight, skinCount, vertexCount, texcoordCount, triangleCount, frameCount;
    int32_t skinsOffset, texcoordsOffset, trianglesOffset, framesOffset;
};

// The header; refused when a section lies past the end of the file or the frames pass the memory a load
// may take.
Result<Md2Header> readHeader(ByteReader& r, limits::DecodeBudget& budget) {
    if (!r.require(md2::HEADER_SIZE)) {
        return Failure{"the file is shorter than a Quake 2 model header"};
    }
    auto field = [&](int offset) {
        r.seek(offset);
        return r.i32();
    };
    namespace at = md2::header;
    const Md2Header h{field(at::SKIN_WIDTH),       field(at::SKIN_HEIGHT),    field(at::SKIN_COUNT),
                      field(at::VERTEX_COUNT),     field(at::TEXCOORD_COUNT), field(at::TRIANGLE_COUNT),
                      field(at::FRAME_COUNT),      field(at::SKINS_OFFSET),   field(at::TEXCOORDS_OFFSET),
                      field(at::TRIANGLES_OFFSET), field(at::FRAMES_OFFSET)};
    const int64_t frameSize = md2::FRAME_HEADER_SIZE + int64_t(md2::PACKED_VERTEX_SIZE) * h.vertexCount;
    if (h.frameCount < 1) {
        return Failure{"the model has no frame"};
    }
    if (h.vertexCount < 0 || h.vertexCount > md2::MAX_INDEX + 1 ||
        !sectionFits(r, h.skinsOffset, h.skinCount, md2::SKIN_NAME_SIZE) ||
        !sectionFits(r, h.texcoordsOffset, h.texcoordCount, md2::TEXCOORD_SIZE) ||
        !sectionFits(r, h.trianglesOffset, h.triangleCount, md2::TRIANGLE_SIZE) ||
        !sectionFits(r, h.framesOffset, h.frameCount, frameSize)) {
        return Failure{"the header's counts and offsets point past the end of the file"};
    }
    if (h.skinCount > limits::MAX_SKINS) {
        return Failure{limits::tooManySkins()};
    }
    if (!budget.take(uint64_t(h.vertexCount) * sizeof(FrameVertex) * uint64_t(h.frameCount))) {
        return Failure{limits::tooMuchToDecode()};
    }
    return h;
}

// The triangles, with the skin coordinates their corners name.
Status readTriangles(ByteReader& r, const Md2Header& h, Model& model) {
    r.seek(h.texcoordsOffset);
    std::vector<std::array<float, 2>> texcoords(size_t(h.texcoordCount));
    for (auto& st : texcoords) {
        st[0] = float(r.i16());
        st[1] = float(r.i16());
    }
    r.seek(h.trianglesOffset);
    model.triangles.resize(size_t(h.triangleCount));
    for (Triangle& t : model.triangles) {
        for (int32_t& v : t.v) {
            v = r.i16();
            if (v < 0 || v >= h.vertexCount) {
                return Failure{"a triangle uses a vertex the model does not have"};
            }
        }
        for (auto& st : t.st) {
            const int32_t index = r.i16();
            if (index < 0 || index >= h.texcoordCount) {
                return Failure{"a triangle uses a skin coordinate the model does not have"};
            }
            st = texcoords[size_t(index)];
        }
    }
    model.vertexInfos.resize(size_t(h.vertexCount));
    return {};
}

// Every frame: its scale and translation, its name and its packed vertices, kept for a save to write back.
Status readFrames(ByteReader& r, const Md2Header& h, std::span<const uint8_t> bytes, ModelData& data) {
    const uint64_t normalsMesh = meshDigest(data.model, false);
    r.seek(h.framesOffset);
    // All frames' positions in one block; no more frames than the rest of the file can hold.
    const size_t packedSize = size_t(h.vertexCount) * md2::PACKED_VERTEX_SIZE;
    const FrameMemoryScope positionsBlock(
        std::min<size_t>(size_t(h.frameCount), r.remaining() / std::max<size_t>(packedSize, 1)),
        size_t(h.vertexCount));
    data.frames.resize(size_t(h.frameCount));
    for (Frame& frame : data.frames) {
        float scale[3];
        float translate[3];
        for (float& v : scale) {
            v = r.f32();
        }
        for (float& t : translate) {
            t = r.f32();
        }
        const size_t nameAt = r.position();
        frame.name = r.fixedString(md2::FRAME_NAME_SIZE);
        const std::span<const uint8_t> packed = r.bytes(packedSize);
        if (r.ok()) {
            frame.packing = decodeKeepingPacking(packed, scale, translate, normalsMesh,
                                                 bytes.subspan(nameAt, md2::FRAME_NAME_SIZE), std::nullopt,
                                                 frame.positions);
        }
    }
    if (!r.ok()) {
        return Failure{"the file ends inside its frames"};
    }
    return {};
}

// The skins the file names, each read through `skins`; one that is not found is left out (its name
// is kept).
Status readSkins(ByteReader& r, const Md2Header& h, SkinLoader& skins, limits::DecodeBudget& budget,
                 ModelData& data) {
    r.seek(h.skinsOffset);
    for (int32_t i = 0; i < h.skinCount; ++i) {
        const std::string name = r.fixedString(md2::SKIN_NAME_SIZE);
        data.source.storedSkinNames.push_back(name);
        Result<std::optional<Skin>> picture = skins.load(name);
        if (!picture) {
            return Failure{picture.error()};
        }
        if (!picture->has_value()) {
            continue;
        }
        Skin skin = std::move(**picture);
        if (!budget.take(skin.pixels.size())) {
            return Failure{limits::tooMuchToDecode()};
        }
        skin.name = name;
        skin.width = h.skinWidth;
        skin.height = h.skinHeight;
        data.model.skins.push_back(std::move(skin));
    }
    return {};
}

} // namespace

Result<ModelData> parseMd2(std::span<const uint8_t> bytes, SkinLoader& skins) {
    ByteReader r(bytes);
    limits::DecodeBudget budget;
    const Result<Md2Header> header = readHeader(r, budget);
    if (!header) {
        return Failure{header.error()};
    }
    const Md2Header& h = *header;
    ModelData data;
    data.source.sourceFormat = SOURCE_MD2;
    data.source.sourceFlag = 1;
    data.source.skinWidth = h.skinWidth;
    data.source.skinHeight = h.skinHeight;
    data.source.hasSkins = h.skinCount != 0 ? 1 : 0;
    if (Status read = readTriangles(r, h, data.model); !read) {
        return Failure{read.error()};
    }
    if (Status read = readFrames(r, h, bytes, data); !read) {
        return Failure{read.error()};
    }
    data.source.keptMesh = keptSections(r, data.model, h.skinWidth, h.skinHeight);
    // Skins last: everything they depend on was checked.
    if (Status read = readSkins(r, h, skins, budget, data); !read) {
        return Failure{read.error()};
    }
    return data;
}

} // namespace faceto
