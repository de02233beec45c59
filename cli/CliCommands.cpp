#include "cli/CliCommands.h"

#include "formats/FileIO.h"
#include "model/CFacetoDoc.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <limits>
#include <memory>
#include <ostream>

namespace faceto::cli {

namespace {

std::string jsonString(const std::string& text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (c < 0x20) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
                out += escaped;
            } else {
                out += char(c);
            }
        }
    }
    return out + "\"";
}

std::string number(float value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", double(value));
    return text;
}

struct Bounds {
    std::array<float, 3> lo{0, 0, 0};
    std::array<float, 3> hi{0, 0, 0};
};

Bounds boundsOf(const Frame& frame) {
    Bounds b;
    for (size_t v = 0; v < frame.positions.size(); ++v) {
        for (int a = 0; a < 3; ++a) {
            const float c = frame.positions[v][a];
            if (v == 0 || c < b.lo[size_t(a)]) {
                b.lo[size_t(a)] = c;
            }
            if (v == 0 || c > b.hi[size_t(a)]) {
                b.hi[size_t(a)] = c;
            }
        }
    }
    return b;
}

std::string triple(const std::array<float, 3>& v, bool json) {
    return json ? "[" + number(v[0]) + ", " + number(v[1]) + ", " + number(v[2]) + "]"
                : "(" + number(v[0]) + ", " + number(v[1]) + ", " + number(v[2]) + ")";
}

ModelFormat formatOf(const std::string& path) {
    auto head = readFilePrefix(path, 4);
    return head ? detectModelFormat(*head, path) : ModelFormat::Unknown;
}

void printText(std::ostream& out, const std::string& path, const CFacetoDoc& doc) {
    const Model& model = doc.model;
    out << path << "\n";
    out << "  format: " << modelFormatName(formatOf(path)) << "\n";
    out << "  vertices: " << model.vertexCount() << "\n";
    out << "  triangles: " << model.triangleCount() << "\n";
    out << "  frames: " << doc.frames.size() << "\n";
    out << "  skins: " << model.skins.size() << "\n";
    for (size_t i = 0; i < model.skins.size(); ++i) {
        const Skin& s = model.skins[i];
        out << "    " << i << ": " << (s.name.empty() ? "(unnamed)" : s.name) << " " << s.imageWidth << "x"
            << s.imageHeight << ", " << s.bitsPerPixel << " bits\n";
    }
    out << "  groups: " << model.groups.size() << "\n";
    out << "  animations: " << doc.animations.size() << "\n";
    for (const Animation& a : doc.animations) {
        out << "    " << (a.name.empty() ? "(no name)" : a.name) << ": " << a.frameIndices.size() << " frames\n";
    }
    out << "  frame bounds:\n";
    for (const Frame& f : doc.frames) {
        const Bounds b = boundsOf(f);
        out << "    " << f.name << ": " << triple(b.lo, false) << " to " << triple(b.hi, false) << "\n";
    }
}

void printJson(std::ostream& out, const std::string& path, const CFacetoDoc& doc) {
    const Model& model = doc.model;
    out << "  {\n    \"file\": " << jsonString(path) << ",\n    \"format\": \"" << modelFormatName(formatOf(path))
        << "\",\n    \"vertices\": " << model.vertexCount() << ",\n    \"triangles\": " << model.triangleCount()
        << ",\n    \"groups\": " << model.groups.size() << ",\n    \"skins\": [";
    for (size_t i = 0; i < model.skins.size(); ++i) {
        const Skin& s = model.skins[i];
        out << (i ? ", " : "") << "{\"name\": " << jsonString(s.name) << ", \"width\": " << s.imageWidth
            << ", \"height\": " << s.imageHeight << ", \"bitsPerPixel\": " << s.bitsPerPixel << "}";
    }
    out << "],\n    \"animations\": [";
    for (size_t i = 0; i < doc.animations.size(); ++i) {
        out << (i ? ", " : "") << "{\"name\": " << jsonString(doc.animations[i].name)
            << ", \"frames\": " << doc.animations[i].frameIndices.size() << "}";
    }
    out << "],\n    \"frames\": [";
    for (size_t i = 0; i < doc.frames.size(); ++i) {
        const Bounds b = boundsOf(doc.frames[i]);
        out << (i ? "," : "") << "\n      {\"name\": " << jsonString(doc.frames[i].name)
            << ", \"min\": " << triple(b.lo, true) << ", \"max\": " << triple(b.hi, true) << "}";
    }
    out << "\n    ]\n  }";
}

// Saves through the editor's Save As; false (with the reason printed) when nothing was written.
bool saveAs(Context& context, CFacetoDoc& doc, const std::string& output) {
    switch (doc.saveAs(output)) {
    case CFacetoDoc::SaveAsResult::Saved:
        return true;
    case CFacetoDoc::SaveAsResult::Failed:
        return false; // the document printed the message
    case CFacetoDoc::SaveAsResult::UnknownExtension:
        break;
    }
    context.err << output << ": can only write .fm, .md2 and .asc files\n";
    return false;
}

} // namespace

std::optional<OpenedDocument> openModel(Context& context, const std::string& path) {
    OpenedDocument opened;
    opened.host = std::make_unique<CliHost>(context.err, path);
    opened.doc = std::make_unique<CFacetoDoc>(context.profile, *opened.host, context.palette);
    if (!opened.doc->onOpenDocument(path)) {
        if (!opened.host->failed) {
            context.err << path << ": cannot open the file\n";
        }
        return std::nullopt;
    }
    return opened;
}

int info(Context& context, const std::vector<std::string>& files, bool json) {
    int status = 0;
    bool first = true;
    if (json) {
        context.out << "[\n";
    }
    for (const std::string& path : files) {
        auto opened = openModel(context, path);
        if (!opened) {
            status = 1;
            continue;
        }
        if (json) {
            if (!first) {
                context.out << ",\n";
            }
            printJson(context.out, path, *opened->doc);
        } else {
            printText(context.out, path, *opened->doc);
        }
        first = false;
    }
    if (json) {
        context.out << "\n]\n";
    }
    return status;
}

int convert(Context& context, const std::string& input, const std::string& output) {
    auto opened = openModel(context, input);
    return opened && saveAs(context, *opened->doc, output) ? 0 : 1;
}

int convertBatch(Context& context, const std::vector<std::string>& inputs, const std::string& extension,
                 const std::string& folder) {
    namespace fs = std::filesystem;
    std::string ext = extension;
    if (!ext.empty() && ext.front() != '.') {
        ext.insert(ext.begin(), '.');
    }
    int status = 0;
    for (const std::string& input : inputs) {
        const fs::path in(input);
        const fs::path outFolder = folder.empty() ? in.parent_path() : fs::path(folder);
        const std::string output = (outFolder / in.stem()).string() + ext;
        auto opened = openModel(context, input);
        if (opened && saveAs(context, *opened->doc, output)) {
            context.out << input << " -> " << output << "\n";
        } else {
            context.out << input << ": failed\n";
            status = 1;
        }
    }
    return status;
}

} // namespace faceto::cli
