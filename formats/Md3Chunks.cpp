#include "formats/Md3Chunks.h"

#include "formats/ByteReader.h"
#include "formats/ByteWriter.h"

#include <algorithm>

namespace faceto {

namespace {

void writeField(ByteWriter& w, const Md3Fields::NameField& field) {
    w.raw(field);
}

Md3Fields::NameField readField(ByteReader& r) {
    Md3Fields::NameField field{};
    const std::span<const uint8_t> bytes = r.bytes(field.size());
    std::copy(bytes.begin(), bytes.end(), field.begin());
    return field;
}

// A count of records of at least `size` bytes each that the rest of the chunk can hold.
bool countFits(const ByteReader& r, int32_t count, size_t size) {
    return r.ok() && count >= 0 && uint64_t(count) * size <= r.remaining();
}

} // namespace

Md3Fields::NameField nameFieldOf(const std::string& text) {
    Md3Fields::NameField field{};
    std::copy_n(text.begin(), std::min(text.size(), field.size() - 1), field.begin());
    return field;
}

ByteBuffer encodeTags(const Model& model, const std::vector<Frame>& frames) {
    ByteWriter w;
    w.i32(int32_t(model.tagNames.size()));
    for (const std::string& name : model.tagNames) {
        writeField(w, nameFieldOf(name));
    }
    w.i32(int32_t(frames.size()));
    for (const Frame& frame : frames) {
        for (size_t t = 0; t < model.tagNames.size(); ++t) {
            const TagPlacement p = t < frame.tags.size() ? frame.tags[t] : TagPlacement{};
            for (float o : p.origin) {
                w.f32(o);
            }
            for (const auto& axis : p.axes) {
                for (float a : axis) {
                    w.f32(a);
                }
            }
        }
    }
    return std::move(w.bytes());
}

std::optional<std::string> decodeTags(std::span<const uint8_t> chunk, Model& model,
                                      std::vector<Frame>& frames) {
    ByteReader r(chunk);
    const int32_t count = r.i32();
    if (!countFits(r, count, 64)) {
        return "the tags are not stored as the format says";
    }
    model.tagNames.clear();
    for (int32_t t = 0; t < count; ++t) {
        model.tagNames.push_back(nameFieldText(readField(r)));
    }
    const int32_t frameCount = r.i32();
    if (!r.ok() || frameCount != int32_t(frames.size()) ||
        uint64_t(frameCount) * uint64_t(count) * 48 != r.remaining()) {
        return "the tags are not stored as the format says";
    }
    for (Frame& frame : frames) {
        frame.tags.resize(size_t(count));
        for (TagPlacement& p : frame.tags) {
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
    return std::nullopt;
}

ByteBuffer encodeMd3Fields(const Md3Fields& fields) {
    ByteWriter w;
    writeField(w, fields.name);
    w.i32(fields.flags);
    w.i32(fields.skinCount);
    w.u32(uint32_t(fields.meshDigest));
    w.u32(uint32_t(fields.meshDigest >> 32));
    w.i32(int32_t(fields.surfaces.size()));
    for (const Md3Fields::Surface& s : fields.surfaces) {
        writeField(w, s.name);
        w.i32(s.flags);
        w.i32(s.firstVertex);
        w.i32(s.vertexCount);
        w.i32(int32_t(s.shaders.size()));
        for (const Md3Fields::Shader& shader : s.shaders) {
            writeField(w, shader.name);
            w.i32(shader.index);
        }
        w.i32(int32_t(s.triangles.size()));
        for (const auto& t : s.triangles) {
            for (int32_t c : t) {
                w.i32(c);
            }
        }
        w.i32(int32_t(s.st.size()));
        for (const auto& st : s.st) {
            w.f32(st[0]);
            w.f32(st[1]);
        }
    }
    return std::move(w.bytes());
}

std::optional<std::string> decodeMd3Fields(std::span<const uint8_t> chunk, size_t vertexCount,
                                           SourceFields& source) {
    const char* const wrong = "the Quake III surfaces are not stored as the format says";
    ByteReader r(chunk);
    auto fields = std::make_shared<Md3Fields>();
    fields->name = readField(r);
    fields->flags = r.i32();
    fields->skinCount = r.i32();
    const uint64_t low = r.u32();
    fields->meshDigest = low | (uint64_t(r.u32()) << 32);
    const int32_t surfaces = r.i32();
    if (!countFits(r, surfaces, 64 + 20)) {
        return wrong;
    }
    fields->surfaces.resize(size_t(surfaces));
    for (Md3Fields::Surface& s : fields->surfaces) {
        s.name = readField(r);
        s.flags = r.i32();
        s.firstVertex = r.i32();
        s.vertexCount = r.i32();
        const int32_t shaders = r.i32();
        if (!countFits(r, shaders, 68)) {
            return wrong;
        }
        s.shaders.resize(size_t(shaders));
        for (Md3Fields::Shader& shader : s.shaders) {
            shader.name = readField(r);
            shader.index = r.i32();
        }
        const int32_t triangles = r.i32();
        if (!countFits(r, triangles, 12)) {
            return wrong;
        }
        s.triangles.resize(size_t(triangles));
        for (auto& t : s.triangles) {
            for (int32_t& c : t) {
                c = r.i32();
            }
        }
        const int32_t st = r.i32();
        if (!countFits(r, st, 8)) {
            return wrong;
        }
        s.st.resize(size_t(st));
        for (auto& c : s.st) {
            c = {r.f32(), r.f32()};
        }
    }
    if (!r.ok() || r.remaining() != 0 || !surfacesFit(*fields, vertexCount)) {
        return wrong;
    }
    source.md3 = std::move(fields);
    return std::nullopt;
}

bool surfacesFit(const Md3Fields& fields, size_t vertexCount) {
    return std::all_of(fields.surfaces.begin(), fields.surfaces.end(), [&](const Md3Fields::Surface& s) {
        return s.firstVertex >= 0 && s.vertexCount >= 0 &&
               uint64_t(s.firstVertex) + uint64_t(s.vertexCount) <= vertexCount &&
               s.st.size() == size_t(s.vertexCount) &&
               std::all_of(s.triangles.begin(), s.triangles.end(), [&](const std::array<int32_t, 3>& t) {
                   return std::all_of(t.begin(), t.end(),
                                      [&](int32_t c) { return c >= 0 && c < s.vertexCount; });
               });
    });
}

} // namespace faceto
