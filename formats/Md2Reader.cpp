#include "formats/Md2Reader.h"

#include "formats/ByteReader.h"
#include "formats/FileIO.h"
#include "formats/Md2Layout.h"
#include "formats/PackedVertices.h"
#include "formats/Pcx.h"
#include "model/DerivedData.h"
#include "model/Profile.h"

#include <vector>

namespace faceto {

namespace {

// A section of `count` records of `size` bytes at `offset` must lie inside the file.
bool sectionFits(const ByteReader& r, int32_t offset, int32_t count, int64_t size) {
    return offset >= 0 && count >= 0 && uint64_t(offset) <= r.size() &&
           uint64_t(count) * uint64_t(size) <= r.size() - uint64_t(offset);
}

bool loadSkin(Skin& skin, const SkinSearch& search) {
    const std::string& name = skin.name;
    const size_t slash = name.find_last_of("/\\");
    const std::string lastComponent = slash == std::string::npos ? name : name.substr(slash + 1);
    for (const std::string& path :
         {search.baseFolder + name, search.modelFolder + name, search.modelFolder + lastComponent}) {
        if (!lastComponent.empty() && loadSkinImage(skin, path)) {
            return true;
        }
    }
    return false;
}

} // namespace

std::string md2SkinFolder(const Profile& profile) {
    std::string folder = trimmed(profile.getString(settings::QUAKE2, "base", settings::DEFAULT_QUAKE2_BASE));
    if (folder.empty() || (folder.back() != '\\' && folder.back() != '/')) {
        folder += '/';
    }
    return folder;
}

SkinSearch skinSearchFor(const Profile& profile, const std::string& modelPath) {
    return SkinSearch{md2SkinFolder(profile), folderOf(modelPath)};
}

bool parseMd2(std::span<const uint8_t> bytes, ModelData& out, const SkinSearch& search) {
    ByteReader r(bytes);
    if (!r.require(md2::HEADER_SIZE)) {
        return false;
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
    if (frameCount < 1 || vertexCount < 0 || vertexCount > md2::MAX_INDEX + 1 ||
        !sectionFits(r, skinsOffset, skinCount, md2::SKIN_NAME_SIZE) ||
        !sectionFits(r, texcoordsOffset, texcoordCount, md2::TEXCOORD_SIZE) ||
        !sectionFits(r, trianglesOffset, triangleCount, md2::TRIANGLE_SIZE) ||
        !sectionFits(r, framesOffset, frameCount, frameSize)) {
        return false;
    }

    ModelData data;
    data.source = {SOURCE_MD2, 1, skinWidth, skinHeight, skinCount != 0 ? 1 : 0};

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
                return false;
            }
        }
        for (auto& st : t.st) {
            const int32_t index = r.i16();
            if (index < 0 || index >= texcoordCount) {
                return false;
            }
            st = texcoords[size_t(index)];
        }
    }

    r.seek(framesOffset);
    model.vertexInfos.resize(size_t(vertexCount));
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
        frame.name = r.fixedString(md2::FRAME_NAME_SIZE);
        decodePackedVertices(r.bytes(size_t(vertexCount) * md2::PACKED_VERTEX_SIZE), scale, translate,
                             frame.positions);
    }
    if (!r.ok()) {
        return false;
    }

    // Skins last: everything they depend on was checked, and a skin that does not load is left out.
    r.seek(skinsOffset);
    for (int32_t i = 0; i < skinCount; ++i) {
        Skin skin;
        skin.name = r.fixedString(md2::SKIN_NAME_SIZE);
        skin.width = skinWidth;
        skin.height = skinHeight;
        if (loadSkin(skin, search)) {
            model.skins.push_back(std::move(skin));
        }
    }
    out = std::move(data);
    return true;
}

bool readMd2(const std::string& path, ModelData& out, const Profile& profile) {
    auto bytes = readWholeFile(path);
    return bytes && parseMd2(*bytes, out, skinSearchFor(profile, path));
}

} // namespace faceto
