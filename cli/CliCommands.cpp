#include "cli/CliCommands.h"

#include "document/CFacetoDoc.h"
#include "document/SkinOperations.h"
#include "formats/FileIO.h"
#include "formats/Md2Writer.h"
#include "formats/Pictures.h"
#include "model/Version.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <limits>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>
#include <ostream>

namespace faceto::cli {

namespace {

using json = nlohmann::ordered_json;

// The length of the valid UTF-8 sequence at `at`, or 0 when the bytes there are not one.
size_t utf8Sequence(const std::string& text, size_t at) {
    const auto byte = [&](size_t i) { return i < text.size() ? uint8_t(text[i]) : uint8_t(0); };
    const uint8_t lead = byte(at);
    size_t length = lead >= 0xF0 && lead <= 0xF4 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 && lead < 0xE0 ? 2 : 0;
    if (lead >= 0xF5 || length == 0) {
        return 0;
    }
    for (size_t k = 1; k < length; ++k) {
        if ((byte(at + k) & 0xC0) != 0x80) {
            return 0;
        }
    }
    const uint8_t second = byte(at + 1);
    // No overlong forms, no surrogates, nothing past U+10FFFF.
    if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second >= 0xA0) ||
        (lead == 0xF0 && second < 0x90) || (lead == 0xF4 && second >= 0x90)) {
        return 0;
    }
    return length;
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

std::string triple(const std::array<float, 3>& v) {
    return "(" + number(v[0]) + ", " + number(v[1]) + ", " + number(v[2]) + ")";
}

std::string formatName(const CFacetoDoc& doc) {
    return doc.sourceFileFormat() ? std::string(doc.sourceFileFormat()->name) : "unknown";
}

void printText(std::ostream& out, const std::string& path, const CFacetoDoc& doc) {
    const Model& model = doc.model;
    out << path << "\n";
    out << "  format: " << formatName(doc) << "\n";
    out << "  vertices: " << model.vertexCount() << "\n";
    out << "  triangles: " << model.triangleCount() << "\n";
    out << "  frames: " << doc.frames.size() << "\n";
    const std::vector<std::string> missing = missingSkinNames(model, doc.source);
    out << "  skins: " << model.skins.size();
    if (!missing.empty()) {
        out << " (and " << missing.size() << " named but not found)";
    }
    out << "\n";
    for (size_t i = 0; i < model.skins.size(); ++i) {
        const Skin& s = model.skins[i];
        out << "    " << i << ": " << (s.name.empty() ? "(unnamed)" : s.name) << " " << s.imageWidth << "x"
            << s.imageHeight << ", " << s.bitsPerPixel << " bits\n";
    }
    for (const std::string& name : missing) {
        out << "    -: " << name << " (missing: its picture was not found)\n";
    }
    out << "  groups: " << model.groups.size() << "\n";
    if (!model.tagNames.empty()) {
        out << "  tags: " << model.tagNames.size() << "\n";
        for (const std::string& name : model.tagNames) {
            out << "    " << name << "\n";
        }
    }
    out << "  animations: " << doc.animations.size() << "\n";
    for (const Animation& a : doc.animations) {
        out << "    " << (a.name.empty() ? "(no name)" : a.name) << ": " << a.frameIndices.size()
            << (a.frameIndices.size() == 1 ? " frame\n" : " frames\n");
    }
    out << "  frame bounds:\n";
    for (const Frame& f : doc.frames) {
        const Bounds b = boundsOf(f);
        out << "    " << f.name << ": " << triple(b.lo) << " to " << triple(b.hi) << "\n";
    }
}

// A float as a JSON number with as few digits as bring back the same float; null when it is not finite.
json jsonNumber(float value) {
    if (!std::isfinite(value)) {
        return nullptr;
    }
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, value).ptr;
    return std::strtod(std::string(text, end).c_str(), nullptr);
}

json jsonTriple(const std::array<float, 3>& v) {
    return json::array({jsonNumber(v[0]), jsonNumber(v[1]), jsonNumber(v[2])});
}

json describe(const std::string& path, const CFacetoDoc& doc) {
    const Model& model = doc.model;
    json skins = json::array();
    for (const Skin& s : model.skins) {
        skins.push_back({{"name", utf8Text(s.name)},
                         {"width", s.imageWidth},
                         {"height", s.imageHeight},
                         {"bitsPerPixel", s.bitsPerPixel},
                         {"missing", false}});
    }
    for (const std::string& name : missingSkinNames(model, doc.source)) {
        skins.push_back({{"name", utf8Text(name)}, {"missing", true}});
    }
    json animations = json::array();
    for (const Animation& a : doc.animations) {
        animations.push_back({{"name", utf8Text(a.name)}, {"frames", a.frameIndices.size()}});
    }
    json frames = json::array();
    for (const Frame& f : doc.frames) {
        const Bounds b = boundsOf(f);
        json frame = {{"name", utf8Text(f.name)}, {"min", jsonTriple(b.lo)}, {"max", jsonTriple(b.hi)}};
        const bool finite = std::all_of(f.positions.begin(), f.positions.end(), [](const FrameVertex& p) {
            return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
        });
        if (!finite) {
            frame["nonFinite"] = true; // positions that are not numbers: the bounds say null
        }
        frames.push_back(std::move(frame));
    }
    json tags = json::array();
    for (const std::string& name : model.tagNames) {
        tags.push_back(utf8Text(name));
    }
    return {{"file", utf8Text(path)},          {"format", formatName(doc)},
            {"vertices", model.vertexCount()}, {"triangles", model.triangleCount()},
            {"groups", model.groups.size()},   {"skins", std::move(skins)},
            {"tags", std::move(tags)},         {"animations", std::move(animations)},
            {"frames", std::move(frames)}};
}

// Saves through the editor's Save As; false (with the reason printed) when nothing was written.
bool saveAs(Context& context, CFacetoDoc& doc, const std::string& output) {
    switch (doc.saveAs(output)) {
    case CFacetoDoc::SaveAsResult::Saved:
        return true;
    case CFacetoDoc::SaveAsResult::Failed:
    case CFacetoDoc::SaveAsResult::Cancelled:
        return false; // the document printed the message
    case CFacetoDoc::SaveAsResult::UnknownExtension:
        break;
    }
    context.err << output << ": can only write " << extensionList(true) << " files\n";
    return false;
}

} // namespace

std::string utf8Text(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c >= 0x80) {
            if (const size_t length = utf8Sequence(text, i)) {
                out.append(text, i, length);
                i += length;
                continue;
            }
            out += char(0xC0 | (c >> 6)); // the byte as the code point of its value
            out += char(0x80 | (c & 0x3F));
        } else {
            out += char(c);
        }
        ++i;
    }
    return out;
}

void CliHost::message(std::string_view text) {
    lastMessage = std::string(text);
    const size_t newline = text.find('\n');
    if (newline == std::string_view::npos) {
        err_ << file_ << ": " << text << "\n";
    } else {
        std::string details(text.substr(newline + 1));
        std::replace(details.begin(), details.end(), '\n', ' ');
        err_ << text.substr(0, newline) << " " << details << "\n";
    }
    failed = true;
}

void CliHost::note(std::string_view text) {
    err_ << file_ << ": " << text << "\n";
}

void CliHost::savedWithNotes(const std::string& path, const std::vector<std::string>& notes) {
    for (const std::string& note : notes) {
        err_ << "warning: " << path << ": " << note << "\n";
    }
}

bool CliHost::confirmReplaceAll(const std::vector<std::string>& paths) {
    if (force_ || paths.size() == 1) {
        return force_ || confirmReplace(paths.front());
    }
    for (size_t i = 0; i < paths.size(); ++i) {
        err_ << (i ? ", " : "") << paths[i];
    }
    err_
        << ": different files of these names are in the way; they are not replaced (--force replaces them)\n";
    failed = true;
    return false;
}

bool CliHost::confirmReplace(const std::string& path) {
    if (force_) {
        return true;
    }
    err_ << path
         << ": a different file of this name is in the way; it is not replaced (--force replaces it)\n";
    failed = true;
    return false;
}

std::optional<OpenedDocument> openModel(Context& context, const std::string& path) {
    OpenedDocument opened;
    opened.host = std::make_unique<CliHost>(context.err, path, context.force);
    opened.doc = std::make_unique<CFacetoDoc>(context.profile, *opened.host, context.palette);
    opened.doc->framesPerSecond = context.framesPerSecond;
    opened.doc->exportScale = context.scale;
    opened.doc->exportLinear = context.linear;
    opened.doc->skinDepth = context.skinDepth;
    opened.doc->importScale = context.importScale;
    if (!opened.doc->onOpenDocument(path)) {
        if (!opened.host->failed) {
            context.err << path << ": cannot open the file\n";
        }
        context.lastError =
            opened.host->lastMessage.empty() ? "cannot open the file" : opened.host->lastMessage;
        std::replace(context.lastError.begin(), context.lastError.end(), '\n', ' ');
        return std::nullopt;
    }
    return opened;
}

int info(Context& context, const std::vector<std::string>& files, bool asJson) {
    int status = 0;
    json described = json::array();
    for (const std::string& path : files) {
        auto opened = openModel(context, path);
        if (!opened) {
            status = 1;
            if (asJson) {
                described.push_back({{"file", utf8Text(path)}, {"error", utf8Text(context.lastError)}});
            }
            continue;
        }
        if (asJson) {
            described.push_back(describe(path, *opened->doc));
        } else {
            printText(context.out, path, *opened->doc);
        }
    }
    if (asJson) {
        const json document = {{"faceto-cli", VERSION}, {"files", std::move(described)}};
        context.out << document.dump(2) << "\n";
    }
    return status;
}

int skinExport(Context& context, const std::string& model, int index, const std::string& output,
               bool withMap) {
    const std::string extension = std::filesystem::path(output).extension().string();
    const bool png = extension == ".png" || extension == ".PNG";
    if (!png && extension != ".pcx" && extension != ".PCX") {
        context.err << "faceto-cli: " << output << ": skins are written as .pcx or .png\n";
        return 2;
    }
    auto opened = openModel(context, model);
    if (!opened) {
        return 1;
    }
    Result<ByteBuffer> bytes = skinFileBytes(opened->doc->model, index, png, withMap);
    if (!bytes) {
        context.err << model << ": " << bytes.error() << "\n";
        return 1;
    }
    if (const Status written = writeFileReplacing(output, *bytes); !written) {
        context.err << output << ": " << written.error() << "\n";
        return 1;
    }
    return 0;
}

int skinImport(Context& context, const std::string& model, int index, const std::string& picture,
               const std::string& outputModel, bool scaleCoords) {
    auto opened = openModel(context, model);
    if (!opened) {
        return 1;
    }
    CFacetoDoc& doc = *opened->doc;
    const auto count = int(doc.model.skins.size());
    if (index < 0 || index > count) {
        context.err << model << ": no skin " << index << " to replace (the model has " << count << "; "
                    << count << " adds one)\n";
        return 1;
    }
    const auto bytes = readFile(picture);
    if (!bytes) {
        context.err << picture << ": " << bytes.error() << "\n";
        return 1;
    }
    Result<Skin> skin = decodeSkinPicture(*bytes);
    if (!skin) {
        context.err << picture << ": " << skin.error() << "\n";
        return 1;
    }
    skin->name = std::filesystem::path(picture).filename().string();
    if (index == count) {
        addSkin(doc, std::move(*skin), "Import Skin", scaleCoords);
    } else {
        doc.currentSkin = index;
        replaceSkin(doc, index, std::move(*skin), scaleCoords);
    }
    return saveAs(context, doc, outputModel) ? 0 : 1;
}

int convert(Context& context, const std::string& input, const std::string& output) {
    auto opened = openModel(context, input);
    return opened && saveAs(context, *opened->doc, output) ? 0 : 1;
}

namespace {

// A digest of a file's bytes, to see whether two inputs would write different skins under one name.
uint64_t digest(std::span<const uint8_t> bytes) {
    uint64_t h = 1469598103934665603ULL;
    for (uint8_t b : bytes) {
        h = (h ^ b) * 1099511628211ULL;
    }
    return h ^ bytes.size();
}

// The folder that holds every input (their common ancestor).
std::filesystem::path commonFolder(const std::vector<std::string>& inputs) {
    namespace fs = std::filesystem;
    std::optional<fs::path> common;
    for (const std::string& input : inputs) {
        const fs::path parent = fs::absolute(input).lexically_normal().parent_path();
        if (!common) {
            common = parent;
            continue;
        }
        fs::path shared;
        for (auto a = common->begin(), b = parent.begin();
             a != common->end() && b != parent.end() && *a == *b; ++a, ++b) {
            shared /= *a;
        }
        common = shared;
    }
    return common.value_or(fs::path());
}

} // namespace

int convertBatch(Context& context, const std::vector<std::string>& inputs, const std::string& extension,
                 const std::string& folder, bool tree) {
    namespace fs = std::filesystem;
    std::string ext = extension;
    if (!ext.empty() && ext.front() != '.') {
        ext.insert(ext.begin(), '.');
    }
    const fs::path common = tree ? commonFolder(inputs) : fs::path();
    auto outputFor = [&](const std::string& input) {
        const fs::path in(input);
        fs::path outFolder = folder.empty() ? in.parent_path() : fs::path(folder);
        if (tree && !folder.empty()) {
            outFolder /= fs::absolute(in).lexically_normal().parent_path().lexically_relative(common);
        }
        return (outFolder / in.stem()).lexically_normal().string() + ext;
    };

    // First every input is read and its files worked out: two inputs that would write one file (or one
    // skin file with other bytes) stop the batch before anything is written.
    struct Claim {
        std::string input;
        uint64_t digest;
    };
    std::map<std::string, Claim> claims;
    std::vector<bool> readable(inputs.size(), false);
    bool clash = false;
    for (size_t i = 0; i < inputs.size(); ++i) {
        auto opened = openModel(context, inputs[i]);
        if (!opened) {
            continue;
        }
        readable[i] = true;
        const std::string output = outputFor(inputs[i]);
        Result<SaveOutput> files = opened->doc->saveOutputFor(output);
        if (!files) {
            continue; // the write below reports it
        }
        for (size_t f = 0; f < files->files.size(); ++f) {
            const std::string key = fs::absolute(files->files[f].path).lexically_normal().string();
            const uint64_t d = f == 0 ? uint64_t(i) : digest(files->files[f].bytes);
            auto [it, added] = claims.try_emplace(key, Claim{inputs[i], d});
            if (!added && (f == 0 || it->second.digest != d)) {
                context.err << inputs[i] << " and " << it->second.input << " would both write "
                            << files->files[f].path << (f == 0 ? "" : " (different skins)")
                            << "; nothing was written (--tree keeps each input's folder below -d)\n";
                clash = true;
            }
        }
    }
    if (clash) {
        return 1;
    }
    if (!folder.empty()) {
        std::error_code ec;
        fs::create_directories(folder, ec);
        if (ec) {
            context.err << folder << ": " << ec.message() << "\n";
            return 1;
        }
    }
    int status = 0;
    for (size_t i = 0; i < inputs.size(); ++i) {
        const std::string output = outputFor(inputs[i]);
        bool done = false;
        if (readable[i]) { // an input that cannot be read has said why
            std::error_code ec;
            fs::create_directories(fs::path(output).parent_path(), ec);
            auto opened = openModel(context, inputs[i]);
            done = opened && saveAs(context, *opened->doc, output);
        }
        if (done) {
            context.out << inputs[i] << " -> " << output << "\n";
        } else {
            context.out << inputs[i] << ": failed\n";
            status = 1;
        }
    }
    return status;
}

} // namespace faceto::cli
