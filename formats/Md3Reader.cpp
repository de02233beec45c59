#include "formats/ByteReader.h"
#include "formats/FileIO.h"
#include "formats/FramePacking.h"
#include "formats/Limits.h"
#include "formats/Md3.h"
#include "formats/Pictures.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace faceto {

namespace {

// `count` records of `size` bytes at `offset` from `base` lie inside a file of `fileSize` bytes.
bool fits(size_t fileSize, size_t base, int64_t offset, int64_t count, uint64_t size) {
    if (offset < 0 || count < 0 || base > fileSize || uint64_t(offset) > fileSize - base) {
        return false;
    }
    const uint64_t room = fileSize - base - uint64_t(offset);
    return size == 0 || uint64_t(count) <= room / size;
}

// The next N bytes (zeros past the end of the file).
template <size_t N> std::array<uint8_t, N> fixedBytes(ByteReader& r) {
    std::array<uint8_t, N> field{};
    const std::span<const uint8_t> bytes = r.bytes(N);
    std::copy(bytes.begin(), bytes.end(), field.begin());
    return field;
}

Md3Fields::NameField nameField(ByteReader& r) {
    return fixedBytes<md3::NAME_SIZE>(r);
}

struct Header {
    Md3Fields::NameField name{};
    int32_t flags, frames, tags, surfaces, skins, framesAt, tagsAt, surfacesAt, end;
};

Result<Header> readHeader(ByteReader& r) {
    if (!r.require(md3::HEADER_SIZE)) {
        return Failure{"the file is shorter than a Quake III model header"};
    }
    r.skip(4);
    if (const int32_t version = r.i32(); version != md3::VERSION) {
        return Failure{"not a Quake III model of version 15 (version " + std::to_string(version) + ")"};
    }
    Header h{};
    h.name = nameField(r);
    for (int32_t* field : {&h.flags, &h.frames, &h.tags, &h.surfaces, &h.skins, &h.framesAt, &h.tagsAt,
                           &h.surfacesAt, &h.end}) {
        *field = r.i32();
    }
    if (h.frames < 1) {
        return Failure{"the model has no frame"};
    }
    const size_t size = r.size();
    if (h.tags < 0 || h.surfaces < 0 || !fits(size, 0, h.framesAt, h.frames, md3::FRAME_SIZE) ||
        !fits(size, 0, h.tagsAt, int64_t(h.tags) * h.frames, md3::TAG_SIZE) ||
        !fits(size, 0, h.surfacesAt, h.surfaces, md3::SURFACE_HEADER_SIZE)) {
        return Failure{"the header's counts and offsets point past the end of the file"};
    }
    return h;
}

struct SurfaceHeader {
    size_t at = 0; // where it starts in the file; its offsets count from here
    Md3Fields::NameField name{};
    int32_t flags, frames, shaders, vertices, triangles, trianglesAt, shadersAt, stAt, verticesAt, end;
};

// The surfaces' headers, one after another from the header's offset; each checked against the file.
Result<std::vector<SurfaceHeader>> readSurfaceHeaders(ByteReader& r, const Header& h) {
    std::vector<SurfaceHeader> surfaces;
    size_t at = size_t(h.surfacesAt);
    for (int32_t s = 0; s < h.surfaces; ++s) {
        r.seek(int64_t(at));
        if (!r.require(md3::SURFACE_HEADER_SIZE) || std::memcmp(r.bytes(4).data(), "IDP3", 4) != 0) {
            return Failure{"surface " + std::to_string(s + 1) + " is not where the file says"};
        }
        SurfaceHeader sh{};
        sh.at = at;
        sh.name = nameField(r);
        for (int32_t* field : {&sh.flags, &sh.frames, &sh.shaders, &sh.vertices, &sh.triangles,
                               &sh.trianglesAt, &sh.shadersAt, &sh.stAt, &sh.verticesAt, &sh.end}) {
            *field = r.i32();
        }
        const size_t size = r.size();
        if (sh.frames != h.frames) {
            return Failure{"a surface has " + std::to_string(sh.frames) + " frames, the model " +
                           std::to_string(h.frames)};
        }
        if (!fits(size, at, sh.shadersAt, sh.shaders, md3::SHADER_SIZE) ||
            !fits(size, at, sh.trianglesAt, sh.triangles, md3::TRIANGLE_SIZE) ||
            !fits(size, at, sh.stAt, sh.vertices, md3::ST_SIZE) ||
            !fits(size, at, sh.verticesAt, int64_t(sh.vertices) * sh.frames, md3::VERTEX_SIZE) ||
            sh.end < int32_t(md3::SURFACE_HEADER_SIZE) || !fits(size, at, sh.end, 0, 1)) {
            return Failure{"a surface's counts and offsets point past the end of the file"};
        }
        surfaces.push_back(sh);
        at += size_t(sh.end);
    }
    return surfaces;
}

// A surface's triangles and skin coordinates (its shaders are read before); its triangles join the model's as
// group `group`, their corners counted from `first`.
Status readSurfaceMesh(ByteReader& r, const SurfaceHeader& sh, int32_t first, int32_t group,
                       std::array<float, 2> skinSize, Model& model, Md3Fields::Surface& kept) {
    kept.name = sh.name;
    kept.flags = sh.flags;
    kept.firstVertex = first;
    kept.vertexCount = sh.vertices;
    r.seek(int64_t(sh.at) + sh.stAt);
    kept.st.resize(size_t(sh.vertices));
    for (auto& st : kept.st) {
        st = {r.f32(), r.f32()};
    }
    r.seek(int64_t(sh.at) + sh.trianglesAt);
    kept.triangles.resize(size_t(sh.triangles));
    for (auto& corners : kept.triangles) {
        Triangle t;
        t.group = group;
        for (size_t c = 0; c < 3; ++c) {
            corners[c] = r.i32();
            if (corners[c] < 0 || corners[c] >= sh.vertices) {
                return Failure{"a triangle uses a vertex its surface does not have"};
            }
            t.v[c] = first + corners[c];
            const auto& st = kept.st[size_t(corners[c])];
            t.st[c] = {st[0] * skinSize[0], st[1] * skinSize[1]};
        }
        model.triangles.push_back(t);
    }
    if (!r.ok()) {
        return Failure{"the file ends inside a surface"};
    }
    Group g;
    g.name = nameFieldText(sh.name);
    g.color = GROUP_COLORS[size_t(group) % GROUP_COLORS.size()];
    g.flags = GROUP_VISIBLE;
    model.groups.push_back(g);
    return {};
}

// Every frame's positions, surface after surface, with the records a save writes back.
void readFrames(ByteReader& r, const Header& h, const std::vector<SurfaceHeader>& surfaces,
                size_t vertexCount, ModelData& data) {
    const uint64_t mesh = meshDigest(data.model, false);
    const FrameMemoryScope block(size_t(h.frames), vertexCount);
    data.frames.resize(size_t(h.frames));
    for (size_t f = 0; f < data.frames.size(); ++f) {
        Frame& frame = data.frames[f];
        auto packing = std::make_shared<FramePacking>();
        r.seek(int64_t(h.framesAt) + int64_t(f * md3::FRAME_SIZE));
        packing->md3Record = fixedBytes<40>(r);
        const auto name = fixedBytes<md3::FRAME_NAME_SIZE>(r);
        packing->nameField = name;
        frame.name.assign(reinterpret_cast<const char*>(name.data()),
                          size_t(std::find(name.begin(), name.end(), uint8_t(0)) - name.begin()));
        frame.positions.reserve(vertexCount);
        packing->md3Vertices.reserve(vertexCount * md3::VERTEX_SIZE);
        for (const SurfaceHeader& sh : surfaces) {
            r.seek(int64_t(sh.at) + sh.verticesAt + int64_t(f * size_t(sh.vertices) * md3::VERTEX_SIZE));
            const std::span<const uint8_t> vertices = r.bytes(size_t(sh.vertices) * md3::VERTEX_SIZE);
            packing->md3Vertices.insert(packing->md3Vertices.end(), vertices.begin(), vertices.end());
            ByteReader v(vertices);
            for (int32_t k = 0; k < sh.vertices; ++k) {
                const float x = float(v.i16()) * md3::POSITION_STEP;
                const float y = float(v.i16()) * md3::POSITION_STEP;
                const float z = float(v.i16()) * md3::POSITION_STEP;
                v.skip(2);
                frame.positions.push_back({x, y, z});
            }
        }
        packing->meshDigest = mesh;
        frame.packing = std::move(packing);
    }
}

// Every frame's placement of every tag (the names from the first frame's records).
void readTags(ByteReader& r, const Header& h, ModelData& data) {
    r.seek(h.tagsAt);
    for (Frame& frame : data.frames) {
        frame.tags.resize(size_t(h.tags));
        for (int32_t t = 0; t < h.tags; ++t) {
            const std::string name = nameFieldText(nameField(r));
            if (&frame == &data.frames.front()) {
                data.model.tagNames.push_back(name);
            }
            TagPlacement& p = frame.tags[size_t(t)];
            for (float& o : p.origin) {
                o = r.f32();
            }
            for (auto& axis : p.axes) {
                for (float& a : axis) {
                    a = r.f32();
                }
            }
        }
    }
}

// The picture a shader names: under its name and its last component, with the extension as stored and
// then swapped for .tga, .jpg and .png.
std::optional<ByteBuffer> findPicture(const std::string& shader, const PictureFinder& find) {
    if (!find || shader.empty()) {
        return std::nullopt;
    }
    std::vector<std::string> stems{shader};
    if (const std::string last = fileNameOf(shader); last != shader && !last.empty()) {
        stems.push_back(last);
    }
    for (const std::string& stem : stems) {
        const size_t dot = stem.rfind('.');
        const size_t slash = stem.find_last_of("/\\");
        const std::string bare = dot != std::string::npos && (slash == std::string::npos || dot > slash)
                                     ? stem.substr(0, dot)
                                     : stem;
        for (const std::string& name : {stem, bare + ".tga", bare + ".jpg", bare + ".png"}) {
            if (Result<ByteBuffer> bytes = find(name)) {
                return std::move(*bytes);
            }
        }
    }
    return std::nullopt;
}

// One skin per surface whose first shader names a picture that is found (a picture two surfaces name is
// one skin); the skins' coordinates are those of the first found picture's size (256 x 256 without one).
Status readSkins(const std::vector<Md3Fields::Surface>& surfaces, const PictureFinder& find,
                 limits::DecodeBudget& budget, ModelData& data, std::array<float, 2>& skinSize) {
    skinSize = {256.0f, 256.0f};
    for (const Md3Fields::Surface& surface : surfaces) {
        if (surface.shaders.empty()) {
            continue;
        }
        const std::string name = nameFieldText(surface.shaders.front().name);
        if (std::any_of(data.model.skins.begin(), data.model.skins.end(),
                        [&](const Skin& s) { return s.name == name; })) {
            continue;
        }
        std::optional<ByteBuffer> bytes = findPicture(name, find);
        Result<Skin> skin = bytes ? decodePictureAsSkin(*bytes) : Result<Skin>(Failure{"not found"});
        if (!skin) {
            data.warnings.push_back("skin " + name + ": " + skin.error());
            continue;
        }
        if (!budget.take(skin->pixels.size())) {
            return Failure{limits::tooMuchToDecode()};
        }
        if (data.model.skins.empty()) {
            skinSize = {float(skin->imageWidth), float(skin->imageHeight)};
        }
        skin->name = name;
        data.model.skins.push_back(std::move(*skin));
    }
    for (Skin& skin : data.model.skins) {
        skin.width = int32_t(skinSize[0]);
        skin.height = int32_t(skinSize[1]);
    }
    return {};
}

} // namespace

Result<ModelData> parseMd3(std::span<const uint8_t> bytes, const PictureFinder& find) {
    ByteReader r(bytes);
    const Result<Header> header = readHeader(r);
    if (!header) {
        return Failure{header.error()};
    }
    const Header& h = *header;
    const Result<std::vector<SurfaceHeader>> surfaces = readSurfaceHeaders(r, h);
    if (!surfaces) {
        return Failure{surfaces.error()};
    }
    uint64_t vertexCount = 0;
    for (const SurfaceHeader& sh : *surfaces) {
        vertexCount += uint64_t(sh.vertices);
    }
    limits::DecodeBudget budget;
    if (vertexCount > uint64_t(INT32_MAX) ||
        !budget.take(vertexCount * (sizeof(FrameVertex) + md3::VERTEX_SIZE) * uint64_t(h.frames))) {
        return Failure{limits::tooMuchToDecode()};
    }
    ModelData data;
    auto fields = std::make_shared<Md3Fields>();
    fields->name = h.name;
    fields->flags = h.flags;
    fields->skinCount = h.skins;
    fields->surfaces.resize(surfaces->size());
    // The shaders first: the skin coordinates are in pixels of the skin they find.
    for (size_t s = 0; s < surfaces->size(); ++s) {
        const SurfaceHeader& sh = (*surfaces)[s];
        r.seek(int64_t(sh.at) + sh.shadersAt);
        for (int32_t k = 0; k < sh.shaders; ++k) {
            Md3Fields::Shader shader;
            shader.name = nameField(r);
            shader.index = r.i32();
            fields->surfaces[s].shaders.push_back(shader);
        }
    }
    std::array<float, 2> skinSize{};
    if (Status read = readSkins(fields->surfaces, find, budget, data, skinSize); !read) {
        return Failure{read.error()};
    }
    int32_t first = 0;
    for (size_t s = 0; s < surfaces->size(); ++s) {
        Status read =
            readSurfaceMesh(r, (*surfaces)[s], first, int32_t(s), skinSize, data.model, fields->surfaces[s]);
        if (!read) {
            return Failure{read.error()};
        }
        first += (*surfaces)[s].vertices;
    }
    data.model.vertexInfos.resize(size_t(vertexCount));
    readFrames(r, h, *surfaces, size_t(vertexCount), data);
    readTags(r, h, data);
    if (!r.ok()) {
        return Failure{"the file ends inside its frames or tags"};
    }
    fields->meshDigest = meshDigest(data.model, true);
    data.source.skinWidth = int32_t(skinSize[0]);
    data.source.skinHeight = int32_t(skinSize[1]);
    data.source.hasSkins = data.model.skins.empty() ? 0 : 1;
    data.source.md3 = std::move(fields);
    return data;
}

} // namespace faceto
