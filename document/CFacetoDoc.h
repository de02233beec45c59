#pragma once

#include "document/Changes.h"
#include "document/DocumentHost.h"
#include "document/Profile.h"
#include "document/UndoHistory.h"
#include "formats/FormatTable.h"
#include "formats/SaveOutput.h"
#include "model/Model.h"
#include "model/Palette.h"

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace faceto {

struct PaletteTables;

// The Quake 2 base folder setting ("games\\quake2" / "base"), trimmed, ending in a separator; empty when
// there is none.
std::string md2SkinFolder(const Profile& profile);
// The file that gives a Quake model's skins their colours: the "games\\quake" / "palette" setting,
// trimmed, or "games/quake/palette.lmp" when that is empty.
std::string quakePalettePath(const Profile& profile);

// The colours a Quake model's skins are given, and which they are, in words for the user. The setting
// "games\\quake" / "modelPalette" chooses Quake's ("quake", the default) or Hexen II's ("hexen2");
// each is read from the file Game Setup names. Without Quake's file the palette.lmp of the current
// folder serves, and without that Quake's own palette, which is built in; Hexen II's has no stand-in.
struct SkinPalette {
    RgbPalette rgb;
    std::string description;
};
SkinPalette quakeModelPalette(const Profile& profile, const PaletteTables& tables);

// How a document reads and writes files besides its own format.
struct ExchangeOptions {
    // glTF and OBJ: units per model unit, and linear instead of stepped animation; animations of other
    // tools are read at this many frames a second.
    float exportScale = 1.0f;
    bool exportLinear = false;
    int framesPerSecond = 10;
    float importScale = 1.0f; // glTF and OBJ: model units per unit of the file, on opening
    int skinDepth = 0;        // of true-colour .md2 skins: 8, 24, or 0 for 8 when Quake 2's palette is known
};

// One open model: its mesh, key frames and animations, its undo history, and the file it came from
// (how its windows show it is theirs: ViewState). It knows no toolkit: messages, redraws and the recent-file
// list go through the DocumentHost, settings through the Profile.
class CFacetoDoc {
public:
    CFacetoDoc(Profile& profile, DocumentHost& host, const PaletteTables& palette);
    ~CFacetoDoc();
    CFacetoDoc(const CFacetoDoc&) = delete;
    CFacetoDoc& operator=(const CFacetoDoc&) = delete;

    // --- life cycle ------------------------------------------------------------------------
    // A new model with one empty frame "frame1".
    bool onNewDocument();
    // Reads the file at `path`, choosing the reader by its first bytes (or its extension). Shows
    // "Unsupported File type.", or "Error reading file." with the file and the reason, on failure.
    bool onOpenDocument(const std::string& path);
    // Reads a model from `bytes` (standard input, say) as onOpenDocument reads a file's, by their first
    // bytes only; `name` stands for the file in messages. The document has no file (Save goes to Save As).
    bool openBytes(const std::string& name, std::span<const uint8_t> bytes);
    // The format the document was read from (null for a new one).
    const FileFormat* sourceFileFormat() const { return sourceFileFormat_; }

    enum class SaveResult { Saved, Failed, NotNative, Cancelled };
    // Writes the document's file back in its format (the native one, or the .mdl or .md2 it was read
    // from; an .md2 keeps the skin names it stores); NotNative when there is none to write (a new
    // document, or one read from a format without a writer), for the caller to offer Save As. A file
    // that another program changed since it was opened or saved is replaced only when the host agrees
    // (Cancelled otherwise).
    SaveResult save();
    // The format Save writes the document's file in; null when Save has nothing to write back.
    const FileFormat* fileFormat() const;
    // What writers need besides the model: the colours of Quake skins (the game's palette, or the one in
    // use without it), the skin shown, the current frame, and the export options below.
    WriteContext writeContext() const;
    // How files are read and written; not part of the content (neither saved nor undone).
    ExchangeOptions& exchange() { return exchange_; }
    const ExchangeOptions& exchange() const { return exchange_; }
    enum class SaveAsResult { Saved, Failed, Cancelled, UnknownExtension };
    // Chooses the writer by the extension of `path`: ".fm" (the document then takes the path),
    // ".md2" or ".asc" (an export: the document keeps its path). A skin file of other content that the
    // export would replace is replaced only when the host agrees (Cancelled otherwise).
    SaveAsResult saveAs(const std::string& path);
    // Every file a Save As to `path` would write, with their bytes, without writing anything.
    Result<SaveOutput> saveOutputFor(const std::string& path) const;

    // --- frames and animations -------------------------------------------------------------
    const Frame* currentFrame() const;
    // Makes frames[index] current (-1 or an index outside the list: no current frame).
    void setCurrentFrame(int32_t index);
    int32_t currentFramePosition() const { return currentFrame_; }
    const Animation* currentAnimation() const;
    void rebuildAnimations();

    // --- editing ------------------------------------------------------------------------------
    // Every change of the content goes through here: the command is done, recorded as a step of the
    // undo history, and every view redrawn.
    void run(std::unique_ptr<Command> command);
    bool undo();
    bool redo();
    // Undoes or redoes until `position` steps of the history are done.
    void goToStep(size_t position);
    const UndoHistory& history() const { return history_; }
    // Forgets every step: the content as it is now is the one on disk (after a load).
    void startHistory() { history_.clear(*this); }
    // A number for the steps of one gesture (a mouse drag) to share, so that they join into one step.
    uint64_t newGesture() { return ++gestures_; }

    void selectAll();
    void selectNone();

    // Tells the views and panels what changed (by default: everything); whether the document is modified
    // is added when that changed too.
    void changed(ChangeNotice notice = {});
    void updateAllViews() { changed(); }

    // --- content ----------------------------------------------------------------------------
    // What is saved and undone. Views and panels read it here; it changes only through commands (run)
    // and the operations of the document layer (DocumentEdit.h).
    const Model& model() const { return content_.model; }
    // A number that changes whenever the model record may have changed (not the frames' positions),
    // never the same for two documents: a view keeps what it drew from it while the number stays.
    uint64_t modelRevision() const { return modelRevision_; }
    const std::vector<Frame>& frames() const { return content_.frames; }
    const SourceFields& source() const { return content_.source; }
    const std::vector<Animation>& animations() const { return content_.animations; }
    int32_t currentAnimationIndex() const { return currentAnimationIndex_; }
    void setCurrentAnimationIndex(int32_t index) { currentAnimationIndex_ = index; }
    // The index the frame panels last selected.
    int32_t currentFrameIndex() const { return currentFrameIndex_; }
    void setCurrentFrameIndex(int32_t index) { currentFrameIndex_ = index; }
    // The skin the textured modes and the skin view show (and .md2 export writes).
    int32_t currentSkin() const { return currentSkin_; }
    void setCurrentSkin(int32_t index) { currentSkin_ = index; }
    // Where the play of skin groups is, in seconds: the textured views show the member of the current
    // skin's group that shows then. Negative while no group plays: they show the current skin.
    double skinPlayTime() const { return skinPlayTime_; }
    void setSkinPlayTime(double seconds) { skinPlayTime_ = seconds; }

    const std::string& pathName() const { return pathName_; }
    const std::string& title() const { return title_; }
    void setPathName(const std::string& path);
    // Changed since it was last opened or saved: the undo history is not at the state saved last.
    bool isModified() const { return !history_.isClean(); }

    Profile& profile() { return profile_; }
    const Profile& profile() const { return profile_; }
    DocumentHost& host() { return host_; }

private:
    friend struct DocumentEdit;
    struct Content {
        Model model;
        std::vector<Frame> frames;
        SourceFields source;
        std::vector<Animation> animations;
    };
    Content content_;
    ExchangeOptions exchange_;
    int32_t currentFrameIndex_ = -1;
    int32_t currentAnimationIndex_ = 0;
    int32_t currentSkin_ = 0;
    double skinPlayTime_ = -1.0;
    bool modifiedShown_ = false; // whether the document was modified at the last notice
    // `fromPath`: `bytes` are only the file's first ones, and its format reads the file itself.
    bool loadFrom(const std::string& path, std::span<const uint8_t> bytes, bool fromPath = false);
    // `back`: the document's own file (it is then saved, not exported).
    SaveAsResult write(const std::string& path, const FileFormat& format, bool back = false);
    void takeOver(ModelData&& data);

    Profile& profile_;
    DocumentHost& host_;
    const PaletteTables& palette_;
    int32_t currentFrame_ = -1; // position in `frames` of the frame shown and edited
    std::string pathName_;
    std::string title_;
    const FileFormat* sourceFileFormat_ = nullptr;
    const FileFormat* fileFormat_ = nullptr; // of the file at pathName_
    UndoHistory history_;
    uint64_t gestures_ = 0;
    uint64_t modelRevision_ = 0;
    void touchModel();
    // The document's file as it was when last opened or saved.
    std::optional<FileStamp> diskStamp_;
};

} // namespace faceto
