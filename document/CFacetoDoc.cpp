#include "document/CFacetoDoc.h"

#include "document/Selection.h"
#include "formats/FileIO.h"
#include "formats/PaletteFiles.h"
#include "formats/SkinLoader.h"
#include "model/DerivedData.h"
#include "model/Palette.h"

#include <algorithm>
#include <atomic>
#include <filesystem>

namespace faceto {

namespace {

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

// Groups the file kept, which every triangle's group word indexes.
bool groupsFitTriangles(const Model& model) {
    return !model.groups.empty() &&
           std::all_of(model.triangles.begin(), model.triangles.end(), [&](const Triangle& t) {
               return t.group >= 0 && size_t(t.group) < model.groups.size();
           });
}

} // namespace

CFacetoDoc::CFacetoDoc(Profile& profile, DocumentHost& host, const PaletteTables& palette)
    : profile_(profile), host_(host), palette_(palette) {
    touchModel();
}

void CFacetoDoc::touchModel() {
    // One count for every document of the process, so that no two documents share a number.
    static std::atomic<uint64_t> revisions{0};
    modelRevision_ = ++revisions;
}

CFacetoDoc::~CFacetoDoc() {
    profile_.set(settings::LAST_DOC, pathName_);
}

bool CFacetoDoc::onNewDocument() {
    content_.frames.clear();
    content_.frames.emplace_back("frame1");
    setCurrentFrame(0);
    currentFrameIndex_ = -1;
    rebuildAnimations();
    title_ = "Untitled";
    history_.clear(*this);
    return true;
}

std::string md2SkinFolder(const Profile& profile) {
    std::string folder = trimmed(profile.get(settings::QUAKE2_BASE, settings::defaultQuake2Base()));
    if (!folder.empty() && folder.back() != '\\' && folder.back() != '/') {
        folder += '/';
    }
    return folder;
}

std::string quakePalettePath(const Profile& profile) {
    std::string path = trimmed(profile.get(settings::QUAKE_PALETTE));
    return path.empty() ? std::string("games/quake/palette.lmp") : path;
}

SkinPalette quakeModelPalette(const Profile& profile, const PaletteTables& tables) {
    if (profile.get(settings::MODEL_PALETTE) == "hexen2") {
        std::string path = trimmed(profile.get(settings::HEXEN2_PALETTE));
        if (path.empty()) {
            path = "games/hexen2/palette.lmp";
        }
        if (fileIsReadable(path)) {
            return {paletteFileOver(quakePalette(), path), "the Hexen II palette " + path};
        }
        return {quakePalette(),
                "the built-in Quake palette (the Hexen II palette " + path + " was not found)"};
    }
    const std::string path = quakePalettePath(profile);
    if (fileIsReadable(path)) {
        return {paletteFileOver(quakePalette(), path), "the Quake palette " + path};
    }
    if (tables.paletteFromFile) {
        return {tables.palette, "the palette of palette.lmp"};
    }
    return {quakePalette(), "the built-in Quake palette"};
}

bool CFacetoDoc::openBytes(const std::string& name, std::span<const uint8_t> bytes) {
    if (!loadFrom(name, bytes)) {
        return false;
    }
    fileFormat_ = nullptr;
    history_.clear(*this);
    return true;
}

bool CFacetoDoc::onOpenDocument(const std::string& path) {
    // The first bytes tell the format; a large file of one that reads as it parses is not read whole.
    // A pipe or device is read whole, once: what it gives cannot be read again.
    constexpr size_t HEAD_BYTES = size_t(1) << 20;
    std::error_code regularError;
    Result<ByteBuffer> bytes = std::filesystem::is_regular_file(path, regularError)
                                   ? readFilePrefix(path, HEAD_BYTES)
                                   : readFile(path);
    const FileFormat* format = bytes ? formatOfFile(*bytes, path) : nullptr;
    const bool streamed = bytes && bytes->size() == HEAD_BYTES && format != nullptr && format->readPath;
    if (bytes && bytes->size() == HEAD_BYTES && !streamed) {
        bytes = readFile(path);
    }
    if (!bytes) {
        host_.message(std::string(messages::ERROR_READING) + "\n" + bytes.error());
        return false;
    }
    if (!loadFrom(path, *bytes, streamed)) {
        return false;
    }
    setPathName(path);
    diskStamp_ = fileStamp(path);
    history_.clear(*this);
    host_.addToRecentFiles(path);
    return true;
}

bool CFacetoDoc::loadFrom(const std::string& path, std::span<const uint8_t> bytes, bool fromPath) {
    const FileFormat* format = formatOfFile(bytes, path);
    if (format == nullptr) {
        host_.message(messages::UNSUPPORTED);
        return false;
    }
    auto failed = [&](const std::string& reason) {
        host_.message(std::string(messages::ERROR_READING) + "\n" + path + ": " + reason);
        return false;
    };
    try {
        FolderSkinLoader skins(md2SkinFolder(profile_), folderOf(path));
        ReadContext context;
        context.skins = &skins;
        // Quake skins are bare indices: they take the game's palette, and the user is told which.
        std::string paletteUsed;
        context.gamePalette = [&] {
            SkinPalette chosen = quakeModelPalette(profile_, palette_);
            paletteUsed = std::move(chosen.description);
            return chosen.rgb;
        };
        context.readBeside = [folder = folderOf(path)](const std::string& name) {
            return readBesideModel(folder, name);
        };
        context.framesPerSecond = exchange_.framesPerSecond;
        context.scale = exchange_.importScale;
        Result<ModelData> data =
            fromPath && format->readPath ? format->readPath(path, context) : format->read(bytes, context);
        if (!data) {
            return failed(data.error());
        }
        if (format->grouping == Grouping::FromTriangleWords && !groupsFitTriangles(data->model)) {
            rebuildGroupsFromTriangles(data->model);
        }
        const std::vector<std::string> warnings = std::move(data->warnings);
        takeOver(std::move(*data));
        if (format->grouping == Grouping::ByConnectivity) {
            buildGroupsByConnectivity(content_.model);
        }
        buildEdges(content_.model);
        touchModel();
        rebuildAnimations();
        sourceFileFormat_ = format;
        fileFormat_ = format;
        if (!paletteUsed.empty()) {
            host_.note("skins in " + paletteUsed);
        }
        for (const std::string& warning : warnings) {
            host_.note(warning);
        }
    } catch (const std::bad_alloc&) {
        return failed("not enough memory for the model");
    }
    return true;
}

void CFacetoDoc::takeOver(ModelData&& data) {
    content_.model = std::move(data.model);
    touchModel();
    content_.frames = std::move(data.frames);
    content_.source = data.source;
    currentFrameIndex_ = 0;
    setCurrentFrame(0);
}

const FileFormat* CFacetoDoc::fileFormat() const {
    if (pathName_.empty()) {
        return nullptr;
    }
    // A document whose file is named .fm is saved as one, whatever it was read from.
    const FileFormat* format = fileFormat_;
    if (const FileFormat* byName = formatForSaving(pathName_); byName != nullptr && byName->native) {
        format = byName;
    }
    return format != nullptr && format->writable() ? format : nullptr;
}

WriteContext CFacetoDoc::writeContext() const {
    WriteContext context;
    context.skin = currentSkin_;
    context.frame = std::max(currentFramePosition(), 0);
    context.scale = exchange_.exportScale;
    context.linearInterpolation = exchange_.exportLinear;
    context.gamePalette = [this] { return quakeModelPalette(profile_, palette_).rgb; };
    context.quake2Palette = [this] { return quake2Palette(md2SkinFolder(profile_)); };
    context.skinDepth = exchange_.skinDepth;
    return context;
}

CFacetoDoc::SaveResult CFacetoDoc::save() {
    const FileFormat* format = fileFormat();
    if (format == nullptr) {
        return SaveResult::NotNative;
    }
    if (diskStamp_ && fileStamp(pathName_) != diskStamp_ && !host_.confirmOverwriteChanged(pathName_)) {
        return SaveResult::Cancelled;
    }
    switch (write(pathName_, *format, true)) {
    case SaveAsResult::Saved:
        return SaveResult::Saved;
    case SaveAsResult::Cancelled:
        return SaveResult::Cancelled;
    default:
        return SaveResult::Failed;
    }
}

CFacetoDoc::SaveAsResult CFacetoDoc::saveAs(const std::string& path) {
    const FileFormat* format = formatForSaving(path);
    if (format == nullptr) {
        return SaveAsResult::UnknownExtension;
    }
    const SaveAsResult result = write(path, *format);
    if (result == SaveAsResult::Saved && format->native) {
        fileFormat_ = format;
        setPathName(path);
        diskStamp_ = fileStamp(path);
        host_.addToRecentFiles(path);
    }
    return result;
}

Result<SaveOutput> CFacetoDoc::saveOutputFor(const std::string& path) const {
    const FileFormat* format = formatForSaving(path);
    if (format == nullptr) {
        return Failure{"no format is written with the extension of " + fileNameOf(path)};
    }
    return format->write(ModelRef{content_.model, content_.frames, content_.source}, path, writeContext());
}

// Builds every file of the save, asks before replacing a skin file of other content, then writes them
// all or none. An export leaves the document's path, title and modified state as they are.
CFacetoDoc::SaveAsResult CFacetoDoc::write(const std::string& path, const FileFormat& format, bool back) {
    const std::string_view heading = format.native ? messages::COULD_NOT_WRITE : messages::ERROR_WRITING;
    auto failed = [&](const std::string& detail) {
        host_.message(std::string(heading) + "\n" + detail);
        return SaveAsResult::Failed;
    };
    try {
        auto writer = back && format.writeBack ? format.writeBack : format.write;
        Result<SaveOutput> output =
            writer(ModelRef{content_.model, content_.frames, content_.source}, path, writeContext());
        if (!output) {
            return failed(path + ": " + output.error());
        }
        if (const std::vector<std::string> conflicts = conflictingFiles(*output);
            !conflicts.empty() && !host_.confirmReplaceAll(conflicts)) {
            return SaveAsResult::Cancelled;
        }
        if (Status written = writeAll(*output); !written) {
            return failed(written.error());
        }
        for (size_t i = 0; i < output->skinNames.size() && i < content_.model.skins.size(); ++i) {
            content_.model.skins[i].name = output->skinNames[i];
        }
        touchModel();
        if (!output->notices.empty()) {
            host_.savedWithNotes(path, output->notices);
        }
    } catch (const std::bad_alloc&) {
        return failed(path + ": not enough memory to write the model");
    }
    if (format.native || back) {
        history_.markClean();
    }
    if (back || path == pathName_) {
        diskStamp_ = fileStamp(path);
    }
    return SaveAsResult::Saved;
}

void CFacetoDoc::setPathName(const std::string& path) {
    pathName_ = path;
    title_ = fileNameOf(path);
}

const Frame* CFacetoDoc::currentFrame() const {
    return currentFrame_ >= 0 && size_t(currentFrame_) < content_.frames.size()
               ? &content_.frames[size_t(currentFrame_)]
               : nullptr;
}

void CFacetoDoc::setCurrentFrame(int32_t index) {
    currentFrame_ = index >= 0 && size_t(index) < content_.frames.size() ? index : -1;
}

const Animation* CFacetoDoc::currentAnimation() const {
    return currentAnimationIndex_ >= 0 && size_t(currentAnimationIndex_) < content_.animations.size()
               ? &content_.animations[size_t(currentAnimationIndex_)]
               : nullptr;
}

void CFacetoDoc::rebuildAnimations() {
    content_.animations = buildAnimations(content_.frames);
    currentAnimationIndex_ = 0;
}

void CFacetoDoc::selectAll() {
    faceto::selectAll(content_.model);
    changed({change::SELECTION});
}

void CFacetoDoc::selectNone() {
    faceto::selectNone(content_.model);
    changed({change::SELECTION});
}

void CFacetoDoc::changed(ChangeNotice notice) {
    if (notice.touches(change::TOPOLOGY | change::SELECTION | change::VISIBILITY | change::SKINS)) {
        touchModel();
    }
    if (isModified() != modifiedShown_) {
        modifiedShown_ = isModified();
        notice.what |= change::FILE;
    }
    host_.documentChanged(*this, notice);
}

void CFacetoDoc::run(std::unique_ptr<Command> command) {
    ChangeNotice notice = command->changes();
    if (history_.run(std::move(command), *this)) {
        notice.what |= change::HISTORY;
    }
    changed(notice);
}

namespace {

// Undoing or redoing a step also takes back or makes again the selection and visibility changes made
// before it.
ChangeNotice steppedOver(const Command* command) {
    ChangeNotice notice = command != nullptr ? command->changes() : ChangeNotice{};
    notice.what |= change::HISTORY | change::SELECTION | change::VISIBILITY;
    notice.frame = -1;
    return notice;
}

} // namespace

bool CFacetoDoc::undo() {
    const ChangeNotice notice = steppedOver(history_.toUndo());
    const bool done = history_.undo(*this);
    changed(done ? notice : ChangeNotice{change::HISTORY});
    return done;
}

bool CFacetoDoc::redo() {
    const ChangeNotice notice = steppedOver(history_.toRedo());
    const bool done = history_.redo(*this);
    changed(done ? notice : ChangeNotice{change::HISTORY});
    return done;
}

void CFacetoDoc::goToStep(size_t position) {
    history_.goTo(position, *this);
    changed();
}

} // namespace faceto
