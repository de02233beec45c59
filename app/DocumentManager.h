#pragma once

#include "document/CFacetoDoc.h"

#include <QString>
#include <memory>
#include <vector>

namespace faceto {

// The open documents: made here (with the settings, the host that shows their messages and redraws
// them, and the palette), found by the file they were read from, and closed. The windows that show
// them are the application's.
class DocumentManager {
public:
    DocumentManager(Profile& profile, DocumentHost& host, const PaletteTables& tables)
        : profile_(profile), host_(host), tables_(tables) {}
    ~DocumentManager() { closeAll(); }
    DocumentManager(const DocumentManager&) = delete;
    DocumentManager& operator=(const DocumentManager&) = delete;

    // A document not yet in the list, for the caller to fill (a new model, or one read from a file).
    std::unique_ptr<CFacetoDoc> make() const {
        return std::make_unique<CFacetoDoc>(profile_, host_, tables_);
    }
    // Takes `doc` into the list.
    CFacetoDoc* add(std::unique_ptr<CFacetoDoc> doc);
    // The open document of the file at `path` (links resolved, so that two names of one file are one
    // document); null when there is none.
    CFacetoDoc* find(const QString& path) const;
    // Closes `doc` (it remembers itself as the last document); false when it is not in the list.
    bool close(const CFacetoDoc* doc);
    // Closes every document, the last opened first.
    void closeAll();

    const std::vector<std::unique_ptr<CFacetoDoc>>& documents() const { return documents_; }
    bool empty() const { return documents_.empty(); }

private:
    Profile& profile_;
    DocumentHost& host_;
    const PaletteTables& tables_;
    std::vector<std::unique_ptr<CFacetoDoc>> documents_;
};

} // namespace faceto
