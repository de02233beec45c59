#pragma once

#include <string>
#include <utility>

namespace faceto {

// The temporary files a save writes beside its targets (".#<name>.<process>-<number>") before renaming
// them over the targets. None may outlive the save: one that is pending when the program is told to stop
// (Ctrl+C, SIGTERM, a closed terminal) is removed before it stops, and one left by a program that was
// killed outright is removed by the next save into its folder.

// The name of a new temporary file for `name` in `folder` (which ends without a separator).
std::string temporaryName(const std::string& folder, const std::string& name, unsigned number);

// Removes the pending temporary files when SIGINT, SIGTERM or SIGHUP arrives, then stops as the signal
// would have. Called once at start-up.
void removeTemporariesOnSignals();

// Removes, once a run for each folder, the temporary files of our naming there whose process is gone.
void removeStaleTemporaries(const std::string& folder);

// A temporary file that the signal handler removes while it is registered.
class PendingTemporary {
public:
    explicit PendingTemporary(const std::string& path);
    ~PendingTemporary();
    PendingTemporary(PendingTemporary&& other) noexcept : slot_(other.slot_) { other.slot_ = -1; }
    PendingTemporary(const PendingTemporary&) = delete;
    PendingTemporary& operator=(const PendingTemporary&) = delete;
    PendingTemporary& operator=(PendingTemporary&& other) noexcept {
        std::swap(slot_, other.slot_);
        return *this;
    }

private:
    int slot_ = -1;
};

} // namespace faceto
