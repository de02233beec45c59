#pragma once

#include "model/Texts.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

namespace faceto {

class CFacetoDoc;
struct ChangeNotice;

// What a document needs from the program that shows it: modal messages, redraws of its views and
// the recent-file list. The editor implements it with message boxes and widgets; tests in memory.
class DocumentHost {
public:
    virtual ~DocumentHost() = default;
    virtual void message(std::string_view text) = 0;
    // The document changed: the views and panels that show what changed redraw or rebuild.
    virtual void documentChanged(CFacetoDoc& document, const ChangeNotice& notice) = 0;
    virtual void addToRecentFiles(const std::string& path) = 0;
    // A save would replace `path`, a file beside the model (a skin) whose content differs from what the
    // save writes: true to replace it, false to leave everything as it is (the save is then cancelled).
    virtual bool confirmReplace(const std::string& path) = 0;
    // The same for every such file of one save at once: true to replace them all.
    virtual bool confirmReplaceAll(const std::vector<std::string>& paths) {
        return std::all_of(paths.begin(), paths.end(),
                           [this](const std::string& p) { return confirmReplace(p); });
    }
    // Save is about to replace the document's file, which another program changed since it was opened
    // or last saved: true to replace it all the same.
    virtual bool confirmOverwriteChanged(const std::string&) { return true; }
    // Something worth knowing that needs no answer (which palette a model's skins were given): the
    // editor shows it in its status bar.
    virtual void note(std::string_view) {}
    // A save succeeded with things the user should know about the file written (`notes`: one line each).
    virtual void savedWithNotes(const std::string& path, const std::vector<std::string>& notes) {
        std::string text = "Saved " + path + " with notes:";
        for (const std::string& note : notes) {
            text += "\n" + note;
        }
        message(text);
    }
};

// The system's fixed message texts.
namespace messages {
inline constexpr std::string_view ERROR_READING = FACETO_TEXT("Error reading file.");
inline constexpr std::string_view UNSUPPORTED = FACETO_TEXT("Unsupported File type.");
inline constexpr std::string_view ERROR_WRITING = FACETO_TEXT("Error writing file.");
inline constexpr std::string_view COULD_NOT_WRITE = FACETO_TEXT("Couldn't write file");
} // namespace messages

} // namespace faceto
