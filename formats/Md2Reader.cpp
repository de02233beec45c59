#include "formats/Md2Reader.h"

#include "formats/ByteReader.h"
#include "formats/FramePacking.h"
#include "formats/Limits.h"
#include "formats/Md2Layout.h"
#include "formats/PackedVertices.h"
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

} // namespace

Result<ModelData> parseMd2(std::span<const uint8_t> bytes, SkinLoader& skins) {
    ByteReader r(bytes);
    if (!r.require(md2::HEADER_SIZE)) {
        return Failure{"the file is shorter than a Quake 2 model header"};
    }
    auto field = [&](int offset) {
        r.seek(offset);
        return r.i32();
    };
    const int32_t skinWidth = field(md2::header::SKIN_WIDTH);
    const int32_t skinHeight = field(md2::header::SKIN_HEIGHT);
    const int32_t skinCount = field(md2::header::SKIN_COUNT);
    const int32_t vertexCount = field(md2::header::VERTEX_COUNT);
    const int32_t texcoordCount = field(md2::header::TEXCOORD_COUNT);
    const int32_t triangleCount = field(md2::header::TRIANGLE_COUNT);
    const int32_t frameCount = field(md2::header::FRAME_COUNT);
    const int32_t skinsOffset = field(md2::header::SKINS_OFFSET);
    const int32_t texcoordsOffset = field(md2::header::TEXCOORDS_OFFSET);
    const int32_t trianglesOffset = field(md2::header::TRIANGLES_OFFSET);
    const int32_t framesOffset = field(md2::header::FRAMES_OFFSET);
    const int64_t frameSize = md2::FRAME_HEADER_SIZE + int64_t(md2::PACKED_VERTEX_SIZE) * vertexCount;
    if (frameCount < 1) {
        return Failure{"the model has no frame"};
    }
    if (vertexCount < 0 || vertexCount > md2::MAX_INDEX + 1 ||
        !sectionFits(r, skinsOffset, skinCount, md2::SKIN_NAME_SIZE) ||
        !sectionFits(r, texcoordsOffset, texcoordCount, md2::TEXCOORD_SIZE) ||
        !sectionFits(r, trianglesOffset, triangleCount, md2::TRIANGLE_SIZE) ||
        !sectionFits(r, framesOffset, frameCount, frameSize)) {
        return Failure{"the header's counts and offsets point past the end of the file"};
    }
    if (skinCount > limits::MAX_SKINS) {
        return Failure{limits::tooManySkins()};
    }
    limits::DecodeBudget budget;
    if (!budget.take(uint64_t(vertexCount) * sizeof(FrameVertex) * uint64_t(frameCount))) {
        return Failure{limits::tooMuchToDecode()};
    }

    ModelData data;
    data.source.sourceFormat = SOURCE_MD2;
    data.source.sourceFlag = 1;
    data.source.skinWidth = skinWidth;
    data.source.skinHeight = skinHeight;
    data.source.hasSkins = skinCount != 0 ? 1 : 0;

    r.seek(texcoordsOffset);
    std::vector<std::array<float, 2>> texcoords(static_cast<size_t>(texcoordCount));
    for (auto& st : texcoords) {
        st[0] = float(r.i16());
        st[1] = float(r.i16());
    }

    r.seek(trianglesOffset);
    Model& model = data.model;
    model.triangles.resize(size_t(triangleCount));
    for (Triangle& t : model.triangles) {
        for (int32_t& v : t.v) {
            v = r.i16();
            if (v < 0 || v >= vertexCount) {
                return Failure{"a triangle uses a vertex the model does not have"};
            }
        }
        for (auto& st : t.st) {
            const int32_t index = r.i16();
            if (index < 0 || index >= texcoordCount) {
                return Failure{"a triangle uses a skin coordinate the model does not have"};
            }
            st = texcoords[size_t(index)];
        }
    }

    model.vertexInfos.resize(size_t(vertexCount));
    const uint64_t normalsMesh = meshDigest(model, false);
    r.seek(framesOffset);
    // All frames' positions in one block; no more frames than the rest of the file can hold.
    const FrameMemoryScope positionsBlock(
        std::min<size_t>(size_t(frameCount),
                         r.remaining() / std::max<size_t>(size_t(vertexCount) * md2::PACKED_VERTEX_SIZE, 1)),
        size_t(vertexCount));
    data.frames.resize(size_t(frameCount));
    for (Frame& frame : data.frames) {
        float scale[3];
        float translate[3];
        for (float& s : scale) {
            s = r.f32();
        }
        for (float& t : translate) {
            t = r.f32();
        }
        const size_t nameAt = r.position();
        frame.name = r.fixedString(md2::FRAME_NAME_SIZE);
        const std::span<const uint8_t> packed = r.bytes(size_t(vertexCount) * md2::PACKED_VERTEX_SIZE);
        decodePackedVertices(packed, scale, translate, frame.positions);
        if (r.ok()) {
            frame.packing = keepPacking(packed, scale, translate, normalsMesh,
                                        bytes.subspan(nameAt, md2::FRAME_NAME_SIZE));
        }
    }
    if (!r.ok()) {
        return Failure{"the file ends inside its frames"};
    }
    data.source.keptMesh = keptSections(r, model, skinWidth, skinHeight);

    // Skins last: everything they depend on was checked, and a skin that is not found is left out.
    r.seek(skinsOffset);
    for (int32_t i = 0; i < skinCount; ++i) {
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
        skin.width = skinWidth;
        skin.height = skinHeight;
        model.skins.push_back(std::move(skin));
    }
    return data;
}

} // namespace faceto
