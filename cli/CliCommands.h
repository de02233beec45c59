#pragma once

#include "formats/Palette.h"
#include "model/CFacetoDoc.h"
#include "model/Profile.h"

#include <memory>
#include <optional>
#include <ostream>
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
};

// Messages of the document go to the error stream, prefixed with the file they concern.
class CliHost : public DocumentHost {
public:
    CliHost(std::ostream& err, std::string file) : err_(err), file_(std::move(file)) {}
    void message(std::string_view text) override {
        err_ << file_ << ": " << text << "\n";
        failed = true;
    }
    void updateAllViews(CFacetoDoc&) override {}
    void addToRecentFiles(const std::string&) override {}
    bool failed = false;

private:
    std::ostream& err_;
    std::string file_;
};

// A model opened as the editor opens it, with the host that reports its messages.
struct OpenedDocument {
    std::unique_ptr<CliHost> host;
    std::unique_ptr<CFacetoDoc> doc;
};

// Opens a model as the editor does; prints why when it cannot.
std::optional<OpenedDocument> openModel(Context& context, const std::string& path);

// Each returns the process exit status: 0 when every file succeeded, 1 otherwise.
int info(Context& context, const std::vector<std::string>& files, bool json);
int convert(Context& context, const std::string& input, const std::string& output);
int convertBatch(Context& context, const std::vector<std::string>& inputs, const std::string& extension,
                 const std::string& folder);

} // namespace faceto::cli
