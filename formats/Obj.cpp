#include "formats/Obj.h"

#include "formats/Gltf.h"
#include "formats/Limits.h"
#include "formats/Pictures.h"
#include "model/DerivedData.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdio>
#include <map>
#include <string_view>

namespace faceto {

namespace {

std::string stemOf(const std::string& path) {
    std::string name = fileNameOf(path);
    const size_t dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

void appendFloat(std::string& out, float value) {
    char buffer[32];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, ec == std::errc() ? end : buffer);
}

// The words of a line, split at blanks.
std::vector<std::string_view> words(std::string_view line) {
    std::vector<std::string_view> out;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) {
            ++i;
        }
        const size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t') {
            ++i;
        }
        if (i > start) {
            out.push_back(line.substr(start, i - start));
        }
    }
    return out;
}

// How many words a line has, without making them.
size_t wordCount(std::string_view line) {
    size_t count = 0;
    bool inWord = false;
    for (char c : line) {
        const bool blank = c == ' ' || c == '\t';
        count += !blank && !inWord ? 1 : 0;
        inWord = !blank;
    }
    return count;
}

bool number(std::string_view text, float& value) {
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size() && std::isfinite(value);
}

bool integer(std::string_view text, int64_t& value) {
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size();
}

// Calls `line` with each line of the text (without its end), and its number from 1.
template <typename F> bool eachLine(std::span<const uint8_t> bytes, F&& line) {
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    size_t at = 0;
    size_t number = 0;
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        std::string_view l = text.substr(at, end - at);
        if (!l.empty() && l.back() == '\r') {
            l.remove_suffix(1);
        }
        if (!line(l, ++number)) {
            return false;
        }
        at = end + 1;
    }
    return true;
}

// OBJ's axes (y up, z forward, x left) back to the model's.
FrameVertex fromObj(float x, float y, float z) {
    return {z, x, y};
}

} // namespace

Result<SaveOutput> exportObj(const ModelRef& m, const std::string& path, const WriteContext& context) {
    const Model& model = m.model;
    if (m.frames.empty()) {
        return Failure{"the model has no frame"};
    }
    const Frame& frame =
        m.frames[size_t(std::clamp<int32_t>(context.frame, 0, int32_t(m.frames.size()) - 1))];
    const auto [skin, width, height] = exportedSkin(m, context);
    const std::string stem = stemOf(path);
    const std::string folder = folderOf(path);

    std::string text =
        "# " + frame.name + ", written by Faceto\nmtllib " + stem + ".mtl\no " + frame.name + "\n";
    for (size_t v = 0; v < model.vertexInfos.size(); ++v) {
        const FrameVertex p = v < frame.positions.size() ? frame.positions[v] : FrameVertex{};
        text += "v ";
        appendFloat(text, p.y * context.scale);
        text += ' ';
        appendFloat(text, p.z * context.scale);
        text += ' ';
        appendFloat(text, p.x * context.scale);
        text += '\n';
    }
    // Each distinct skin coordinate once; OBJ's v runs upwards from the bottom of the picture.
    std::map<std::pair<float, float>, size_t> coordinate;
    std::vector<std::array<size_t, 3>> corners;
    for (const Triangle& t : model.triangles) {
        std::array<size_t, 3> c{};
        for (size_t k = 0; k < 3; ++k) {
            const std::pair<float, float> st{t.st[k][0], t.st[k][1]};
            auto [it, added] = coordinate.try_emplace(st, coordinate.size() + 1);
            if (added) {
                text += "vt ";
                appendFloat(text, st.first / width);
                text += ' ';
                appendFloat(text, 1.0f - st.second / height);
                text += '\n';
            }
            c[k] = it->second;
        }
        corners.push_back(c);
    }
    text += "usemtl skin\n";
    for (size_t i = 0; i < model.triangles.size(); ++i) {
        const Triangle& t = model.triangles[i];
        text += 'f';
        for (size_t k : {size_t(0), size_t(2), size_t(1)}) {
            if (t.v[k] < 0 || size_t(t.v[k]) >= model.vertexInfos.size()) {
                return Failure{"a triangle uses a vertex the model does not have"};
            }
            text += ' ' + std::to_string(t.v[k] + 1) + '/' + std::to_string(corners[i][k]);
        }
        text += '\n';
    }
    SaveOutput output;
    output.files.push_back({path, bytesOf(text)});
    std::string material = "# written by Faceto\nnewmtl skin\nKd 1 1 1\n";
    ByteBuffer png;
    if (skin != nullptr) {
        png = encodeSkinPng(*skin);
        material += "map_Kd " + stem + ".png\n";
    }
    output.files.push_back({folder + stem + ".mtl", bytesOf(material)});
    if (!png.empty()) {
        output.files.push_back({folder + stem + ".png", std::move(png)});
    }
    return output;
}

Result<std::vector<FrameVertex>> readObjPositions(std::span<const uint8_t> bytes) {
    std::vector<FrameVertex> positions;
    std::string error;
    limits::DecodeBudget budget;
    const bool ok = eachLine(bytes, [&](std::string_view line, size_t n) {
        const auto w = words(line);
        if (w.empty() || w[0] != "v") {
            return true;
        }
        float c[3];
        if (w.size() < 4 || !number(w[1], c[0]) || !number(w[2], c[1]) || !number(w[3], c[2])) {
            error = "line " + std::to_string(n) + ": a vertex needs three numbers";
            return false;
        }
        if (!budget.take(sizeof(FrameVertex))) {
            error = limits::tooMuchToDecode();
            return false;
        }
        positions.push_back(fromObj(c[0], c[1], c[2]));
        return true;
    });
    if (!ok) {
        return Failure{error};
    }
    return positions;
}

namespace {

// What the lines of an .obj give: positions, texture coordinates, faces cut into triangles (a corner is a
// vertex and a coordinate, from 0, -1 for none), and the first material library and material named.
struct ObjLines {
    Frame frame{"frame1"};
    std::vector<std::array<float, 2>> coordinates;
    std::vector<std::array<std::pair<int64_t, int64_t>, 3>> faces;
    std::string library;
    std::string material;
    std::string error;

    // From 1, or counted back from the last one read when negative.
    static int64_t resolve(int64_t index, size_t count) {
        return index > 0 ? index - 1 : index < 0 ? int64_t(count) + index : -1;
    }

    // One face corner ("v", "v/t", "v/t/n", "v//n"); an empty reason when it is sound.
    std::string corner(std::string_view item, std::vector<std::pair<int64_t, int64_t>>& corners) const {
        const size_t slash = item.find('/');
        int64_t v = 0;
        int64_t t = 0;
        if (!integer(item.substr(0, slash), v)) {
            return "a face corner needs a vertex number";
        }
        if (slash != std::string_view::npos) {
            const std::string_view rest = item.substr(slash + 1);
            const std::string_view tex = rest.substr(0, rest.find('/'));
            if (!tex.empty() && !integer(tex, t)) {
                return "a face corner has a texture coordinate that is not a number";
            }
        }
        const int64_t vi = resolve(v, frame.positions.size());
        const int64_t ti = t == 0 ? -1 : resolve(t, coordinates.size());
        if (vi < 0 || size_t(vi) >= frame.positions.size() ||
            (t != 0 && (ti < 0 || size_t(ti) >= coordinates.size()))) {
            return "a face uses a vertex or texture coordinate the file has not given";
        }
        corners.emplace_back(vi, ti);
        return {};
    }

    // A face of many corners is a fan of triangles around its first.
    std::string face(const std::vector<std::string_view>& w) {
        std::vector<std::pair<int64_t, int64_t>> corners;
        for (size_t k = 1; k < w.size(); ++k) {
            if (std::string why = corner(w[k], corners); !why.empty()) {
                return why;
            }
        }
        if (corners.size() < 3) {
            return "a face needs three corners";
        }
        for (size_t k = 1; k + 1 < corners.size(); ++k) {
            faces.push_back({corners[0], corners[k], corners[k + 1]});
        }
        return {};
    }

    // One line; an empty reason when it is sound (or of a kind not read).
    std::string line(std::string_view text, const std::vector<std::string_view>& w) {
        if (w[0] == "v") {
            float c[3];
            if (w.size() < 4 || !number(w[1], c[0]) || !number(w[2], c[1]) || !number(w[3], c[2])) {
                return "a vertex needs three numbers";
            }
            frame.positions.push_back(fromObj(c[0], c[1], c[2]));
        } else if (w[0] == "vt") {
            float c[2] = {0, 0};
            if (w.size() < 2 || !number(w[1], c[0]) || (w.size() > 2 && !number(w[2], c[1]))) {
                return "a texture coordinate needs numbers";
            }
            coordinates.push_back({c[0], c[1]});
        } else if (w[0] == "f") {
            return face(w);
        } else if (w[0] == "mtllib" && w.size() > 1 && library.empty()) {
            library = std::string(text.substr(text.find(w[1])));
        } else if (w[0] == "usemtl" && w.size() > 1 && material.empty()) {
            material = std::string(w[1]);
        }
        return {};
    }
};

bool readObjLines(std::span<const uint8_t> bytes, ObjLines& out) {
    limits::DecodeBudget budget;
    return eachLine(bytes, [&](std::string_view line, size_t n) {
        // A face of many corners is as many triangles, each a record of the model: taken from the budget
        // before anything of it is made.
        const size_t items = wordCount(line);
        if (!budget.take(32 + (items > 3 ? items - 3 : 0) * (sizeof(out.faces.front()) + sizeof(Triangle)))) {
            out.error = limits::tooMuchToDecode();
            return false;
        }
        const auto w = words(line);
        if (w.empty() || w[0][0] == '#') {
            return true;
        }
        if (std::string why = out.line(line, w); !why.empty()) {
            out.error = "line " + std::to_string(n) + ": " + why;
            return false;
        }
        return true;
    });
}

// The picture of the first material used, when the material library names one: the model's skin.
// Fails when the picture is there but cannot be read.
Status readMaterialPicture(const ObjLines& lines, const ReadContext& context, Model& model) {
    if (lines.library.empty() || lines.material.empty() || !context.readBeside) {
        return {};
    }
    const Result<ByteBuffer> mtl = context.readBeside(lines.library);
    if (!mtl) {
        return {};
    }
    std::string current;
    std::string picture;
    eachLine(*mtl, [&](std::string_view line, size_t) {
        const auto w = words(line);
        if (w.size() > 1 && w[0] == "newmtl") {
            current = std::string(w[1]);
        } else if (w.size() > 1 && w[0] == "map_Kd" && current == lines.material && picture.empty()) {
            picture = std::string(w.back());
        }
        return true;
    });
    if (picture.empty()) {
        return {};
    }
    if (Result<ByteBuffer> file = context.readBeside(picture)) {
        Result<Skin> skin = decodePictureAsSkin(*file);
        if (!skin) {
            return Failure{picture + ": " + skin.error()};
        }
        skin->name = picture;
        model.skins.push_back(std::move(*skin));
    }
    return {};
}

} // namespace

Result<ModelData> importObj(std::span<const uint8_t> bytes, const ReadContext& context) {
    ObjLines lines;
    if (!readObjLines(bytes, lines)) {
        return Failure{lines.error};
    }
    if (lines.frame.positions.empty()) {
        return Failure{"the file has no vertex"};
    }
    ModelData data;
    Model& model = data.model;
    if (const Status read = readMaterialPicture(lines, context, model); !read) {
        return Failure{read.error()};
    }
    const int width = model.skins.empty() ? 256 : model.skins[0].imageWidth;
    const int height = model.skins.empty() ? 256 : model.skins[0].imageHeight;
    data.source.skinWidth = width;
    data.source.skinHeight = height;
    data.source.hasSkins = model.skins.empty() ? 0 : 1;

    model.vertexInfos.resize(lines.frame.positions.size());
    for (const auto& face : lines.faces) {
        Triangle t;
        // Counter-clockwise in the file, clockwise in the model.
        const size_t order[3] = {0, 2, 1};
        for (size_t k = 0; k < 3; ++k) {
            const auto& [v, tex] = face[order[k]];
            t.v[k] = int32_t(v);
            if (tex >= 0) {
                t.st[k] = {lines.coordinates[size_t(tex)][0] * float(width),
                           (1.0f - lines.coordinates[size_t(tex)][1]) * float(height)};
            }
        }
        model.triangles.push_back(t);
    }
    if (model.vertexInfos.size() > size_t(INT32_MAX)) {
        return Failure{limits::tooMuchToDecode()};
    }
    data.frames.push_back(std::move(lines.frame));
    scalePositions(data.frames, context.scale);
    return data;
}

} // namespace faceto
