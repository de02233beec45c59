#pragma once

#include "document/CFacetoDoc.h"
#include "document/Profile.h"
#include "model/Palette.h"

#include <memory>
#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <vector>

namespace faceto::cli {

// Everything a command needs: settings, the palette tables as the editor loads them at start-up,
// and where to print.
struct Context {
    Profile& profile;
    const PaletteTables& palette;
    std::ostream& out;
    std::ostream& err;
    bool force = false; // replace skin files of other content instead of refusing
    // glTF and OBJ: units per model unit, linear animation, and the rate other tools' animations are
    // read at.
    float scale = 1.0f;
    bool linear = false;
    int framesPerSecond = 10;
    int skinDepth = 0;        // of true-colour .md2 skins: 8, 24, or 0 for 8 when Quake 2's palette is known
    float importScale = 1.0f; // glTF and OBJ read: model units per unit of the file
    std::string lastError;    // why the last model that could not be opened could not
};

// Messages of the document go to the error stream on one line: a message of its own ("Unsupported File
// type.") after the file it concerns, one with details (the file that could not be read or written,
// and why) followed by them.
class CliHost : public DocumentHost {
public:
    CliHost(std::ostream& err, std::string file, bool force)
        : err_(err), file_(std::move(file)), force_(force) {}
    void message(std::string_view text) override;
    void documentChanged(CFacetoDoc&, const ChangeNotice&) override {}
    void addToRecentFiles(const std::string&) override {}
    bool confirmReplace(const std::string& path) override;
    // Every file in the way named on one line.
    bool confirmReplaceAll(const std::vector<std::string>& paths) override;
    void note(std::string_view text) override;
    // Printed as warnings; the save stands.
    void savedWithNotes(const std::string& path, const std::vector<std::string>& notes) override;
    bool failed = false;
    std::string lastMessage;   // as printed, without the program's name
    std::vector<uint8_t> head; // the first bytes of the file, for saying what it is not

private:
    std::ostream& err_;
    std::string file_;
    bool force_;
};

// A model opened as the editor opens it, with the host that reports its messages.
struct OpenedDocument {
    std::unique_ptr<CliHost> host;
    std::unique_ptr<CFacetoDoc> doc;
};

// "-" (standard input or output) or "-.EXT" (standard output, in the format of EXT).
bool isStandardStream(const std::string& path);

// Opens a model as the editor does ("-": from standard input); prints why when it cannot.
std::optional<OpenedDocument> openModel(Context& context, const std::string& path);

// Each returns the process exit status: 0 when every file succeeded, 1 otherwise.
// With `json` the description is one JSON document: {"faceto-cli": VERSION, "files": [...]}, a file
// that could not be read as {"file", "error"}.
int info(Context& context, const std::vector<std::string>& files, bool json);
int convert(Context& context, const std::string& input, const std::string& output);
// Changes the model's properties by key=value (flags, sync, eye, skins) and writes it to `output`.
int setProperties(Context& context, const std::string& model, const std::vector<std::string>& assignments,
                  const std::string& output);
// Converts every input to `extension`, into `folder` (made when missing) or beside each input; with
// `tree` each input keeps its folder below `folder`, relative to the inputs' common folder. Inputs
// that would write the same file, or the same skin file with other bytes, are refused before anything
// is written.
int convertBatch(Context& context, const std::vector<std::string>& inputs, const std::string& extension,
                 const std::string& folder, bool tree);

// Skin `index` of the model written as OUTPUT (.pcx: an imported PCX exactly as read; .png: an 8-bit
// skin with its indices), with the skin map's lines over it when `withMap`.
int skinExport(Context& context, const std::string& model, int index, const std::string& output,
               bool withMap);
// The picture becomes skin `index` (a new skin when `index` is the skin count) and the model is written
// as OUTPUT_MODEL; with `scaleCoords` the skin coordinates follow a change of size.
int skinImport(Context& context, const std::string& model, int index, const std::string& picture,
               const std::string& outputModel, bool scaleCoords);

// Why a file of a format no reader knows cannot be opened: "not a model file (starts with "hell")", the
// first bytes as text where they are printable, else in hexadecimal.
std::string notAModel(std::span<const uint8_t> head);

// The text as valid UTF-8: every byte that is not part of a UTF-8 sequence becomes the code point of the
// same value (names in model files are often Latin-1), so that strict JSON parsers accept it.
std::string utf8Text(const std::string& text);

} // namespace faceto::cli
