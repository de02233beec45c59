#include "cli/CliCommands.h"

#include "document/CFacetoDoc.h"
#include "document/GroupOperations.h"
#include "document/ModelProperties.h"
#include "document/SkinOperations.h"
#include "formats/FileIO.h"
#include "formats/Limits.h"
#include "formats/Md2Writer.h"
#include "formats/Pictures.h"
#include "model/Version.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <limits>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>
#include <ostream>
#include <unistd.h>

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

// Each group of the entries: "  skin group: 0 to 2, until 0.1 0.2 0.3 s".
void printGroups(std::ostream& out, const char* what, const QuakeGroups& groups) {
    int32_t first = 0;
    for (const QuakeFields::Group& g : groups) {
        if (g.grouped) {
            out << "  " << what << " group: " << first << " to " << first + g.count - 1 << ", until";
            for (float t : g.intervals) {
                out << " " << number(t);
            }
            out << " s\n";
        }
        first += std::max(g.count, 0);
    }
}

json jsonGroups(const QuakeGroups& groups) {
    json out = json::array();
    int32_t first = 0;
    for (const QuakeFields::Group& g : groups) {
        if (g.grouped) {
            out.push_back({{"first", first}, {"count", g.count}, {"intervals", g.intervals}});
        }
        first += std::max(g.count, 0);
    }
    return out;
}

void printText(std::ostream& out, const std::string& path, const CFacetoDoc& doc) {
    const Model& model = doc.model();
    out << path << "\n";
    out << "  format: " << formatName(doc) << "\n";
    if (const auto& quake = doc.source().quake) {
        const std::vector<std::string> flags = quakeFlagNames(quake->flags);
        std::string named;
        for (const std::string& f : flags) {
            named += (named.empty() ? "" : ", ") + f;
        }
        out << "  quake flags: " << (named.empty() ? "none" : named) << "\n";
        out << "  quake sync: " << QUAKE_SYNC_NAMES[quake->syncType == 1 ? 1 : 0] << "\n";
        out << "  quake eye: " << triple(quake->eye) << "\n";
        printGroups(out, "skin", skinGroupsOf(doc));
        printGroups(out, "frame", frameGroupsOf(doc));
    }
    if (!doc.source().storedSkinNames.empty()) {
        out << "  skin names:";
        for (const std::string& name : doc.source().storedSkinNames) {
            out << " " << name;
        }
        out << "\n";
    }
    for (const std::string& note : engineLimitNotes(doc)) {
        out << "  beyond the engine: " << note << "\n";
    }
    out << "  vertices: " << model.vertexCount() << "\n";
    out << "  triangles: " << model.triangleCount() << "\n";
    out << "  frames: " << doc.frames().size() << "\n";
    const std::vector<std::string> missing = missingSkinNames(model, doc.source());
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
    out << "  animations: " << doc.animations().size() << "\n";
    for (const Animation& a : doc.animations()) {
        out << "    " << (a.name.empty() ? "(no name)" : a.name) << ": " << a.frameIndices.size()
            << (a.frameIndices.size() == 1 ? " frame\n" : " frames\n");
    }
    out << "  frame bounds:\n";
    for (const Frame& f : doc.frames()) {
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
    const Model& model = doc.model();
    json skins = json::array();
    for (const Skin& s : model.skins) {
        skins.push_back({{"name", utf8Text(s.name)},
                         {"width", s.imageWidth},
                         {"height", s.imageHeight},
                         {"bitsPerPixel", s.bitsPerPixel},
                         {"missing", false}});
    }
    for (const std::string& name : missingSkinNames(model, doc.source())) {
        skins.push_back({{"name", utf8Text(name)}, {"missing", true}});
    }
    json animations = json::array();
    for (const Animation& a : doc.animations()) {
        animations.push_back({{"name", utf8Text(a.name)}, {"frames", a.frameIndices.size()}});
    }
    json frames = json::array();
    for (const Frame& f : doc.frames()) {
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
    json out = {{"file", utf8Text(path)},          {"format", formatName(doc)},
                {"vertices", model.vertexCount()}, {"triangles", model.triangleCount()},
                {"groups", model.groups.size()},   {"skins", std::move(skins)},
                {"tags", std::move(tags)},         {"animations", std::move(animations)},
                {"frames", std::move(frames)}};
    if (const auto& quake = doc.source().quake) {
        out["quake"] = {{"flags", quakeFlagNames(quake->flags)},
                        {"flagBits", quake->flags},
                        {"sync", QUAKE_SYNC_NAMES[quake->syncType == 1 ? 1 : 0]},
                        {"eye", jsonTriple(quake->eye)},
                        {"skinGroups", jsonGroups(skinGroupsOf(doc))},
                        {"frameGroups", jsonGroups(frameGroupsOf(doc))}};
    }
    if (!doc.source().storedSkinNames.empty()) {
        json names = json::array();
        for (const std::string& name : doc.source().storedSkinNames) {
            names.push_back(utf8Text(name));
        }
        out["skinNames"] = std::move(names);
    }
    out["engineLimits"] = engineLimitNotes(doc);
    return out;
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
    context.err << "faceto-cli: " << output << ": can only write " << extensionList(true) << " files\n";
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
    const size_t newline = text.find('\n');
    if (text == messages::UNSUPPORTED) {
        lastMessage = file_ + ": " + notAModel(head);
    } else if (newline == std::string_view::npos) {
        lastMessage = file_ + ": " + std::string(text);
    } else {
        // "Error reading file.\nFILE: reason": the details say it all, a failed write that it is one.
        lastMessage = std::string(text.substr(newline + 1));
        std::replace(lastMessage.begin(), lastMessage.end(), '\n', ' ');
        const std::string_view heading = text.substr(0, newline);
        const size_t colon = lastMessage.find(": ");
        if ((heading == messages::ERROR_WRITING || heading == messages::COULD_NOT_WRITE) &&
            colon != std::string::npos) {
            lastMessage.insert(colon + 2, "not written: ");
        }
    }
    err_ << "faceto-cli: " << lastMessage << "\n";
    failed = true;
}

void CliHost::note(std::string_view text) {
    err_ << "faceto-cli: " << file_ << ": " << text << "\n";
}

std::string notAModel(std::span<const uint8_t> head) {
    if (head.empty()) {
        return "not a model file (it is empty)";
    }
    const std::span<const uint8_t> first = head.first(std::min<size_t>(head.size(), 4));
    const bool printable =
        std::all_of(first.begin(), first.end(), [](uint8_t b) { return b >= 0x20 && b < 0x7F; });
    std::string shown;
    if (printable) {
        shown = "\"" + std::string(first.begin(), first.end()) + "\"";
    } else {
        for (uint8_t b : first) {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%02x", b);
            shown += (shown.empty() ? "" : " ") + std::string(hex);
        }
    }
    return "not a model file (starts with " + shown + ")";
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
    err_ << "faceto-cli: ";
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
    err_ << "faceto-cli: " << path
         << ": a different file of this name is in the way; it is not replaced (--force replaces it)\n";
    failed = true;
    return false;
}

namespace {

// Everything on standard input, up to what a load may take.
Result<ByteBuffer> readStandardInput() {
    ByteBuffer bytes;
    uint8_t buffer[65536];
    size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, stdin)) > 0) {
        if (bytes.size() + n > limits::MAX_DECODED_BYTES) {
            return Failure{"more than a model may hold"};
        }
        bytes.insert(bytes.end(), buffer, buffer + n);
    }
    if (std::ferror(stdin)) {
        return Failure{"cannot be read"};
    }
    return bytes;
}

std::vector<uint8_t> firstBytes(const std::string& path, size_t count) {
    std::vector<uint8_t> head(count);
    std::ifstream in(path, std::ios::binary);
    in.read(reinterpret_cast<char*>(head.data()), std::streamsize(count));
    head.resize(size_t(std::max<std::streamsize>(in.gcount(), 0)));
    return head;
}

} // namespace

bool isStandardStream(const std::string& path) {
    return path == "-" || path.rfind("-.", 0) == 0;
}

std::optional<OpenedDocument> openModel(Context& context, const std::string& path) {
    const bool standardInput = path == "-";
    const std::string name = standardInput ? "standard input" : path;
    OpenedDocument opened;
    opened.host = std::make_unique<CliHost>(context.err, name, context.force);
    opened.doc = std::make_unique<CFacetoDoc>(context.profile, *opened.host, context.palette);
    opened.doc->exchange().framesPerSecond = context.framesPerSecond;
    opened.doc->exchange().exportScale = context.scale;
    opened.doc->exchange().exportLinear = context.linear;
    opened.doc->exchange().skinDepth = context.skinDepth;
    opened.doc->exchange().importScale = context.importScale;
    bool read = false;
    if (standardInput) {
        Result<ByteBuffer> bytes = readStandardInput();
        if (!bytes) {
            opened.host->message(std::string(messages::ERROR_READING) + "\n" + name + ": " + bytes.error());
        } else {
            opened.host->head.assign(bytes->begin(),
                                     bytes->begin() + long(std::min<size_t>(bytes->size(), 4)));
            read = opened.doc->openBytes(name, *bytes);
        }
    } else {
        opened.host->head = firstBytes(path, 4);
        read = opened.doc->onOpenDocument(path);
    }
    if (!read) {
        if (!opened.host->failed) {
            context.err << "faceto-cli: " << name << ": cannot open the file\n";
        }
        context.lastError =
            opened.host->lastMessage.empty() ? name + ": cannot open the file" : opened.host->lastMessage;
        return std::nullopt;
    }
    return opened;
}

namespace {

// The progress of a batch on standard error, once it has run a second, when that is a terminal: files
// done of the total and the file at hand, on one line that the next overwrites and the end clears.
class Progress {
public:
    explicit Progress(size_t total) : total_(total), shown_(::isatty(STDERR_FILENO) == 1 && total > 1) {}
    Progress(const Progress&) = delete;
    Progress& operator=(const Progress&) = delete;
    ~Progress() {
        if (drawn_) {
            std::fputs("\r\033[K", stderr);
        }
    }
    void at(size_t done, const std::string& file) {
        if (!shown_ || std::chrono::steady_clock::now() - start_ < std::chrono::seconds(1)) {
            return;
        }
        std::fprintf(stderr, "\r\033[K%zu/%zu %s", done, total_, file.c_str());
        std::fflush(stderr);
        drawn_ = true;
    }
    // Before a message of its own: the line is cleared so that the message stands alone.
    void clear() {
        if (drawn_) {
            std::fputs("\r\033[K", stderr);
            drawn_ = false;
        }
    }

private:
    size_t total_;
    bool shown_;
    bool drawn_ = false;
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

} // namespace

int info(Context& context, const std::vector<std::string>& files, bool asJson) {
    int status = 0;
    json described = json::array();
    Progress progress(files.size());
    for (size_t i = 0; i < files.size(); ++i) {
        const std::string& path = files[i];
        progress.at(i, path);
        auto opened = openModel(context, path);
        progress.clear();
        if (!opened) {
            status = 1;
            if (asJson) {
                // The reason alone: the file is named beside it.
                std::string reason = context.lastError;
                if (const size_t colon = reason.find(": "); colon != std::string::npos) {
                    reason.erase(0, colon + 2);
                }
                described.push_back({{"file", utf8Text(path)}, {"error", utf8Text(reason)}});
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
    Result<ByteBuffer> bytes = skinFileBytes(opened->doc->model(), index, png, withMap);
    if (!bytes) {
        context.err << "faceto-cli: " << model << ": " << bytes.error() << "\n";
        return 1;
    }
    if (const Status written = writeFileReplacing(output, *bytes); !written) {
        context.err << "faceto-cli: " << output << ": " << written.error() << "\n";
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
    const auto count = int(doc.model().skins.size());
    if (index < 0 || index > count) {
        context.err << "faceto-cli: " << model << ": no skin " << index << " to replace (the model has "
                    << count << "; " << count << " adds one)\n";
        return 1;
    }
    const auto bytes = readFile(picture);
    if (!bytes) {
        context.err << "faceto-cli: " << picture << ": " << bytes.error() << "\n";
        return 1;
    }
    Result<Skin> skin = decodeSkinPicture(*bytes);
    if (!skin) {
        context.err << "faceto-cli: " << picture << ": " << skin.error() << "\n";
        return 1;
    }
    skin->name = std::filesystem::path(picture).filename().string();
    if (index == count) {
        addSkin(doc, std::move(*skin), "Import Skin", scaleCoords);
    } else {
        doc.setCurrentSkin(index);
        replaceSkin(doc, index, std::move(*skin), scaleCoords);
    }
    return saveAs(context, doc, outputModel) ? 0 : 1;
}

namespace {

bool saveToStandardOutput(Context& context, CFacetoDoc& doc, const std::string& output);

// Reads one key=value of `set` into `p`; false (with the reason printed) for a key or value it is not.
bool setProperty(Context& context, const std::string& assignment, ModelProperties& p) {
    const size_t equals = assignment.find('=');
    const std::string key = assignment.substr(0, equals);
    const std::string value = equals == std::string::npos ? std::string() : assignment.substr(equals + 1);
    bool ok = equals != std::string::npos;
    if (ok && key == "flags") {
        const std::optional<int32_t> flags = parseQuakeFlags(value);
        ok = flags.has_value();
        p.flags = flags.value_or(p.flags);
    } else if (ok && key == "sync") {
        ok = value == QUAKE_SYNC_NAMES[0] || value == QUAKE_SYNC_NAMES[1] || value == "0" || value == "1";
        p.syncType = value == QUAKE_SYNC_NAMES[1] || value == "1" ? 1 : 0;
    } else if (ok && key == "eye") {
        std::array<float, 3> eye{};
        char end = 0;
        ok = std::sscanf(value.c_str(), "%f,%f,%f%c", &eye[0], &eye[1], &eye[2], &end) == 3 &&
             std::isfinite(eye[0]) && std::isfinite(eye[1]) && std::isfinite(eye[2]);
        p.eye = ok ? eye : p.eye;
    } else if (ok && key == "skins") {
        p.skinNames.clear();
        for (size_t from = 0; from <= value.size() && !value.empty();) {
            const size_t comma = std::min(value.find(',', from), value.size());
            if (comma > from) {
                p.skinNames.push_back(value.substr(from, comma - from));
            }
            from = comma + 1;
        }
    } else {
        ok = false;
    }
    if (!ok) {
        context.err << "faceto-cli: set: " << assignment
                    << ": not a property (flags=NAMES|N, sync=sync|random, eye=X,Y,Z, skins=NAME,..., "
                       "skin-group=FIRST:T,T,..., frame-group=FIRST:T,T,..., ungroup-skins=N, "
                       "ungroup-frames=N)\n";
    }
    return ok;
}

std::optional<int32_t> wholeNumber(std::string_view text) {
    int32_t n = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), n);
    return error == std::errc() && end == text.data() + text.size() ? std::optional(n) : std::nullopt;
}

// "3:0.1,0.25,0.4": the first item and the intervals of a group.
std::optional<std::pair<int32_t, std::vector<float>>> groupSpec(const std::string& value) {
    const size_t colon = value.find(':');
    const std::optional<int32_t> first = wholeNumber(std::string_view(value).substr(0, colon));
    if (colon == std::string::npos || !first) {
        return std::nullopt;
    }
    std::vector<float> intervals;
    for (size_t from = colon + 1; from <= value.size();) {
        const size_t comma = std::min(value.find(',', from), value.size());
        const std::string part = value.substr(from, comma - from);
        char* end = nullptr;
        const float t = std::strtof(part.c_str(), &end);
        if (part.empty() || end != part.c_str() + part.size()) {
            return std::nullopt;
        }
        intervals.push_back(t);
        from = comma + 1;
    }
    return std::pair{*first, std::move(intervals)};
}

// A grouping key of `set`, done at once as an edit of the model; nullopt for another key, else whether
// it was done (with the reason printed when not).
std::optional<bool> setGroup(Context& context, CFacetoDoc& doc, const std::string& assignment) {
    const size_t equals = assignment.find('=');
    const std::string key = assignment.substr(0, equals);
    const std::string value = equals == std::string::npos ? std::string() : assignment.substr(equals + 1);
    const bool skins = key == "skin-group" || key == "ungroup-skins";
    std::string why;
    if (key == "skin-group" || key == "frame-group") {
        const auto spec = groupSpec(value);
        why = !spec ? "not FIRST:T,T,..."
                    : (skins ? groupSkins(doc, spec->first, spec->second)
                             : groupFrames(doc, spec->first, spec->second));
    } else if (key == "ungroup-skins" || key == "ungroup-frames") {
        const std::optional<int32_t> item = wholeNumber(value);
        const bool done = item && (skins ? ungroupSkins(doc, *item) : ungroupFrames(doc, *item));
        why = done ? "" : (skins ? "no skin group holds that skin" : "no frame group holds that frame");
    } else {
        return std::nullopt;
    }
    if (!why.empty()) {
        context.err << "faceto-cli: set: " << assignment << ": " << why << "\n";
    }
    return why.empty();
}

} // namespace

int setProperties(Context& context, const std::string& model, const std::vector<std::string>& assignments,
                  const std::string& output) {
    auto opened = openModel(context, model);
    if (!opened) {
        return 1;
    }
    CFacetoDoc& doc = *opened->doc;
    ModelProperties properties = propertiesOf(doc);
    for (const std::string& assignment : assignments) {
        if (const std::optional<bool> grouped = setGroup(context, doc, assignment)) {
            if (!*grouped) {
                return 1;
            }
        } else if (!setProperty(context, assignment, properties)) {
            return 1;
        }
    }
    setModelProperties(doc, properties); // keeps the groups just made
    if (isStandardStream(output)) {
        return saveToStandardOutput(context, doc, output) ? 0 : 1;
    }
    return saveAs(context, doc, output) ? 0 : 1;
}

namespace {

// Writes what a Save As to "-.EXT" would write to standard output, which takes one file only.
bool saveToStandardOutput(Context& context, CFacetoDoc& doc, const std::string& output) {
    if (output == "-") {
        context.err << "faceto-cli: -: standard output needs the format: -.EXT (or --to EXT)\n";
        return false;
    }
    Result<SaveOutput> files = doc.saveOutputFor(output);
    if (!files) {
        context.err << "faceto-cli: " << output << ": " << files.error() << "\n";
        return false;
    }
    if (files->files.size() != 1) {
        context.err << "faceto-cli: " << output << ": the model is written as " << files->files.size()
                    << " files; standard output takes one\n";
        return false;
    }
    for (const std::string& note : files->notices) {
        context.err << "warning: standard output: " << note << "\n";
    }
    const ByteBuffer bytes = files->files.front().joined();
    context.out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    context.out.flush();
    return bool(context.out);
}

} // namespace

int convert(Context& context, const std::string& input, const std::string& output) {
    auto opened = openModel(context, input);
    if (!opened) {
        return 1;
    }
    if (isStandardStream(output)) {
        return saveToStandardOutput(context, *opened->doc, output) ? 0 : 1;
    }
    return saveAs(context, *opened->doc, output) ? 0 : 1;
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

namespace {

// Reads every input and works out the files it would write; true (after saying which) when two inputs
// would write one file, or one skin file with other bytes. `readable` says which inputs could be read.
bool outputsClash(Context& context, const std::vector<std::string>& inputs,
                  const std::function<std::string(const std::string&)>& outputFor,
                  std::vector<bool>& readable) {
    namespace fs = std::filesystem;
    struct Claim {
        std::string input;
        uint64_t digest;
    };
    std::map<std::string, Claim> claims;
    readable.assign(inputs.size(), false);
    bool clash = false;
    Progress reading(inputs.size());
    for (size_t i = 0; i < inputs.size(); ++i) {
        reading.at(i, inputs[i]);
        auto opened = openModel(context, inputs[i]);
        reading.clear();
        if (!opened) {
            continue;
        }
        readable[i] = true;
        const std::string output = outputFor(inputs[i]);
        Result<SaveOutput> files = opened->doc->saveOutputFor(output);
        if (!files) {
            continue; // the write reports it
        }
        for (size_t f = 0; f < files->files.size(); ++f) {
            const std::string key = fs::absolute(files->files[f].path).lexically_normal().string();
            const uint64_t d = f == 0 ? uint64_t(i) : digest(files->files[f].bytes);
            auto [it, added] = claims.try_emplace(key, Claim{inputs[i], d});
            if (!added && (f == 0 || it->second.digest != d)) {
                context.err << "faceto-cli: " << inputs[i] << " and " << it->second.input
                            << " would both write " << files->files[f].path
                            << (f == 0 ? "" : " (different skins)")
                            << "; nothing was written (--tree keeps each input's folder below -d)\n";
                clash = true;
            }
        }
    }
    return clash;
}

} // namespace

int convertBatch(Context& context, const std::vector<std::string>& inputs, const std::string& extension,
                 const std::string& folder, bool tree) {
    namespace fs = std::filesystem;
    std::string ext = extension;
    if (!ext.empty() && ext.front() != '.') {
        ext.insert(ext.begin(), '.');
    }
    if (std::find(inputs.begin(), inputs.end(), "-") != inputs.end()) {
        if (inputs.size() != 1 || !folder.empty()) {
            context.err << "faceto-cli: -: standard input is converted alone, to standard output\n";
            return 2;
        }
        return convert(context, "-", "-" + ext);
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
    std::vector<bool> readable;
    const bool clash = outputsClash(context, inputs, outputFor, readable);
    if (clash) {
        return 1;
    }
    if (!folder.empty()) {
        std::error_code ec;
        fs::create_directories(folder, ec);
        if (ec) {
            context.err << "faceto-cli: " << folder << ": " << ec.message() << "\n";
            return 1;
        }
    }
    int status = 0;
    Progress writing(inputs.size());
    for (size_t i = 0; i < inputs.size(); ++i) {
        writing.at(i, inputs[i]);
        const std::string output = outputFor(inputs[i]);
        bool done = false;
        if (readable[i]) { // an input that cannot be read has said why
            std::error_code ec;
            fs::create_directories(fs::path(output).parent_path(), ec);
            auto opened = openModel(context, inputs[i]);
            done = opened && saveAs(context, *opened->doc, output);
        }
        writing.clear();
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
