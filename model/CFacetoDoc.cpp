#include "model/CFacetoDoc.h"

#include "formats/AscWriter.h"
#include "formats/FileIO.h"
#include "formats/Md2Reader.h"
#include "formats/Md2Writer.h"
#include "formats/MdlReader.h"
#include "formats/Palette.h"
#include "formats/SkinLoader.h"
#include "formats/ThreeDoReader.h"
#include "model/DerivedData.h"
#include "model/NativeFormat.h"
#include "model/Selection.h"

#include <algorithm>
#include <cstring>

namespace faceto {

namespace {

bool startsWith(std::span<const uint8_t> bytes, const char (&magic)[5]) {
    return bytes.size() >= 4 && std::memcmp(bytes.data(), magic, 4) == 0;
}

// Groups of a native file: the file keeps each triangle's group and colour words but no group list,
// so one group per group index is made again, coloured like its first triangle. A group whose
// vertices are all hidden is listed as hidden.
void rebuildGroupsFromTriangles(Model& model) {
    model.groups.clear();
    int32_t highest = -1;
    for (const Triangle& t : model.triangles) {
        if (t.group < 0 || t.group >= model.triangleCount()) {
            return; // group words that index no sensible list: leave the list empty
        }
        highest = std::max(highest, t.group);
    }
    model.groups.resize(size_t(highest + 1));
    std::vector<bool> coloured(model.groups.size(), false);
    std::vector<bool> anyVisible(model.groups.size(), false);
    for (size_t g = 0; g < model.groups.size(); ++g) {
        model.groups[g].name = "group " + std::to_string(g + 1);
        model.groups[g].tag = 0;
        model.groups[g].color = GROUP_COLORS[g % GROUP_COLORS.size()];
    }
    for (const Triangle& t : model.triangles) {
        const size_t g = size_t(t.group);
        if (!coloured[g]) {
            coloured[g] = true;
            model.groups[g].color = t.color;
        }
        for (int32_t v : t.v) {
            if (model.vertexInfos[size_t(v)].visible()) {
                anyVisible[g] = true;
            }
        }
    }
    for (size_t g = 0; g < model.groups.size(); ++g) {
        model.groups[g].flags = (anyVisible[g] || !coloured[g]) ? GROUP_VISIBLE : 0;
    }
}

} // namespace

CFacetoDoc::CFacetoDoc(Profile& profile, DocumentHost& host, const PaletteTables& palette)
    : profile_(profile), host_(host), palette_(palette) {
    fillMode = uint8_t(profile_.getInt(settings::PREF, "FillMode", 4));
    backColor = uint8_t(profile_.getInt(settings::PREF, "BackColor", 0));
    lightAmbient = profile_.getInt(settings::PREF, "LightAmbient", 50);
    lightSpot = profile_.getInt(settings::PREF, "LightSpot", 24);
    locks[0] = profile_.getInt(settings::PREF, "Lock1", 0);
    locks[1] = profile_.getInt(settings::PREF, "Lock2", 0);
    locks[2] = profile_.getInt(settings::PREF, "Lock3", 0);
}

CFacetoDoc::~CFacetoDoc() { profile_.writeString(settings::PREF, "LastDoc", pathName_); }

bool CFacetoDoc::onNewDocument() {
    frames.clear();
    frames.emplace_back("frame1");
    setCurrentFrame(0);
    currentFrameIndex = -1;
    rebuildAnimations();
    title_ = "Untitled";
    return true;
}

std::string md2SkinFolder(const Profile& profile) {
    std::string folder = trimmed(profile.getString(settings::QUAKE2, "base", settings::DEFAULT_QUAKE2_BASE));
    if (folder.empty() || (folder.back() != '\\' && folder.back() != '/')) {
        folder += '/';
    }
    return folder;
}

bool CFacetoDoc::onOpenDocument(const std::string& path) {
    Result<ByteBuffer> bytes = readFile(path);
    if (!bytes) {
        host_.message(std::string(messages::ERROR_READING) + "\n" + bytes.error());
        return false;
    }
    if (!loadFrom(path, *bytes)) {
        return false;
    }
    setPathName(path);
    modified_ = false;
    host_.addToRecentFiles(path);
    return true;
}

ModelFormat detectModelFormat(std::span<const uint8_t> firstBytes, const std::string& path) {
    if (startsWith(firstBytes, "HBFM")) {
        return ModelFormat::Native;
    }
    if (startsWith(firstBytes, "IDPO")) {
        return ModelFormat::Quake;
    }
    if (startsWith(firstBytes, "IDP2")) {
        return ModelFormat::Quake2;
    }
    return equalsIgnoreCase(extensionAfterLastDot(path), "3do") ? ModelFormat::JediKnight : ModelFormat::Unknown;
}

const char* modelFormatName(ModelFormat format) {
    switch (format) {
    case ModelFormat::Native:
        return "fm";
    case ModelFormat::Quake:
        return "mdl";
    case ModelFormat::Quake2:
        return "md2";
    case ModelFormat::JediKnight:
        return "3do";
    case ModelFormat::Unknown:
        break;
    }
    return "unknown";
}

bool CFacetoDoc::loadFrom(const std::string& path, std::span<const uint8_t> bytes) {
    const ModelFormat format = detectModelFormat(bytes, path);
    if (format == ModelFormat::Unknown) {
        host_.message(messages::UNSUPPORTED);
        return false;
    }
    auto failed = [&](const std::string& reason) {
        host_.message(std::string(messages::ERROR_READING) + "\n" + path + ": " + reason);
        return false;
    };
    try {
        std::optional<Result<ModelData>> read;
        switch (format) {
        case ModelFormat::Native:
            read = parseNative(bytes);
            break;
        case ModelFormat::Quake:
            read = parseMdl(bytes);
            break;
        case ModelFormat::Quake2: {
            FolderSkinLoader skins(md2SkinFolder(profile_), folderOf(path));
            read = parseMd2(bytes, skins);
            break;
        }
        case ModelFormat::JediKnight:
        case ModelFormat::Unknown:
            read = parse3do(bytes, 0);
            break;
        }
        if (!*read) {
            return failed(read->error());
        }
        ModelData& data = read->value();
        switch (format) {
        case ModelFormat::Native:
            rebuildGroupsFromTriangles(data.model);
            takeOver(std::move(data));
            break;
        case ModelFormat::Quake:
        case ModelFormat::Quake2:
            if (format == ModelFormat::Quake) {
                applyQuakePalette(data.model, profile_, palette_);
            }
            takeOver(std::move(data));
            buildGroupsByConnectivity(model);
            buildEdges(model);
            break;
        case ModelFormat::JediKnight:
        case ModelFormat::Unknown:
            takeOver(std::move(data)); // the meshes are the groups: no regrouping
            buildEdges(model);
            break;
        }
        rebuildAnimations();
    } catch (const std::bad_alloc&) {
        return failed("not enough memory for the model");
    }
    return true;
}

void CFacetoDoc::takeOver(ModelData&& data) {
    model = std::move(data.model);
    frames = std::move(data.frames);
    source = data.source;
    currentFrameIndex = 0;
    setCurrentFrame(0);
}

CFacetoDoc::SaveResult CFacetoDoc::save() {
    const std::string& path = pathName_;
    if (path.size() < 2 || !equalsIgnoreCase(std::string_view(path).substr(path.size() - 2), "fm")) {
        return SaveResult::NotNative;
    }
    switch (write(path, ".fm")) {
    case SaveAsResult::Saved:
        modified_ = false;
        return SaveResult::Saved;
    default:
        return SaveResult::Failed;
    }
}

CFacetoDoc::SaveAsResult CFacetoDoc::saveAs(const std::string& path) {
    const size_t dot = path.rfind('.');
    const std::string extension = dot == std::string::npos ? std::string() : path.substr(dot);
    const SaveAsResult result = write(path, extension);
    if (result == SaveAsResult::Saved && equalsIgnoreCase(extension, ".fm")) {
        setPathName(path);
        modified_ = false;
        host_.addToRecentFiles(path);
    }
    return result;
}

Result<SaveOutput> CFacetoDoc::saveOutputFor(const std::string& path) const {
    const size_t dot = path.rfind('.');
    const std::string extension = dot == std::string::npos ? std::string() : path.substr(dot);
    if (equalsIgnoreCase(extension, ".fm")) {
        return SaveOutput{{{path, encodeNative(model, frames, source)}}, {}};
    }
    if (equalsIgnoreCase(extension, ".md2")) {
        return exportMd2(model, frames, source, path);
    }
    if (equalsIgnoreCase(extension, ".asc")) {
        if (std::optional<std::string> text = encodeAsc(model, frames)) {
            return SaveOutput{{{path, ByteBuffer(text->begin(), text->end())}}, {}};
        }
        return Failure{"the model has no frame"};
    }
    return Failure{"no format is written with the extension \"" + extension + "\""};
}

// Builds every file of the save, asks before replacing a skin file of other content, then writes them
// all or none. An export (".md2", ".asc") leaves the document's path and title as they are.
CFacetoDoc::SaveAsResult CFacetoDoc::write(const std::string& path, const std::string& extension) {
    const bool native = equalsIgnoreCase(extension, ".fm");
    if (!native && !equalsIgnoreCase(extension, ".md2") && !equalsIgnoreCase(extension, ".asc")) {
        return SaveAsResult::UnknownExtension;
    }
    const std::string_view heading = native ? messages::COULD_NOT_WRITE : messages::ERROR_WRITING;
    auto failed = [&](const std::string& detail) {
        host_.message(std::string(heading) + "\n" + detail);
        return SaveAsResult::Failed;
    };
    try {
        Result<SaveOutput> output = saveOutputFor(path);
        if (!output) {
            return failed(path + ": " + output.error());
        }
        for (const std::string& conflict : conflictingFiles(*output)) {
            if (!host_.confirmReplace(conflict)) {
                return SaveAsResult::Cancelled;
            }
        }
        if (Status written = writeAll(*output); !written) {
            return failed(written.error());
        }
        for (size_t i = 0; i < output->skinNames.size() && i < model.skins.size(); ++i) {
            model.skins[i].name = output->skinNames[i];
        }
    } catch (const std::bad_alloc&) {
        return failed(path + ": not enough memory to write the model");
    }
    return SaveAsResult::Saved;
}

void CFacetoDoc::setPathName(const std::string& path) {
    pathName_ = path;
    title_ = fileNameOf(path);
}

Frame* CFacetoDoc::currentFrame() {
    return currentFrame_ >= 0 && size_t(currentFrame_) < frames.size() ? &frames[size_t(currentFrame_)] : nullptr;
}

const Frame* CFacetoDoc::currentFrame() const { return const_cast<CFacetoDoc*>(this)->currentFrame(); }

void CFacetoDoc::setCurrentFrame(int32_t index) {
    currentFrame_ = index >= 0 && size_t(index) < frames.size() ? index : -1;
}

Animation* CFacetoDoc::currentAnimation() {
    return currentAnimationIndex >= 0 && size_t(currentAnimationIndex) < animations.size()
               ? &animations[size_t(currentAnimationIndex)]
               : nullptr;
}

const Animation* CFacetoDoc::currentAnimation() const {
    return const_cast<CFacetoDoc*>(this)->currentAnimation();
}

void CFacetoDoc::rebuildAnimations() {
    animations = buildAnimations(frames);
    currentAnimationIndex = 0;
}

void CFacetoDoc::selectAll() {
    faceto::selectAll(model);
    changed(false);
}

void CFacetoDoc::selectNone() {
    faceto::selectNone(model);
    changed(false);
}

void CFacetoDoc::toggleLock(int axis) { locks[size_t(axis)] = locks[size_t(axis)] ? 0 : 1; }

bool CFacetoDoc::isLocked(int axis) const { return locks[size_t(axis)] != 0; }

void CFacetoDoc::changed(bool modifiesContent) {
    if (modifiesContent) {
        modified_ = true;
    }
    host_.updateAllViews(*this);
}

} // namespace faceto
