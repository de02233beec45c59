#include "formats/Temporaries.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <dirent.h>
#include <mutex>
#include <set>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace faceto {

namespace {

// Slots the signal handler reads without locking: a path is written before its slot is marked ready.
constexpr int SLOTS = 256;
constexpr size_t PATH_ROOM = 4096;
struct Slot {
    std::atomic<bool> claimed{false};
    std::atomic<bool> ready{false};
    char path[PATH_ROOM];
};
Slot slots[SLOTS];

extern "C" void removePendingAndStop(int signal) {
    for (Slot& slot : slots) {
        if (slot.ready.load()) {
            ::unlink(slot.path);
        }
    }
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

// The process number in a name of our naming (".#<name>.<process>-<number>"), or 0.
pid_t processOf(std::string_view name) {
    auto digits = [](std::string_view text) {
        return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
    };
    const size_t dash = name.rfind('-');
    const size_t dot = dash == std::string_view::npos ? dash : name.rfind('.', dash);
    if (name.substr(0, 2) != ".#" || dot == std::string_view::npos || dot < 3 ||
        !digits(name.substr(dot + 1, dash - dot - 1)) || !digits(name.substr(dash + 1)) || dash - dot > 8) {
        return 0;
    }
    return pid_t(std::stol(std::string(name.substr(dot + 1, dash - dot - 1))));
}

} // namespace

std::string temporaryName(const std::string& folder, const std::string& name, unsigned number) {
    return folder + "/.#" + name + "." + std::to_string(::getpid()) + "-" + std::to_string(number % 1000000);
}

void removeTemporariesOnSignals() {
    struct sigaction action {};
    action.sa_handler = removePendingAndStop;
    sigemptyset(&action.sa_mask);
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction old {};
        // A signal the program was started to ignore stays ignored (a background job's SIGINT).
        if (::sigaction(signal, nullptr, &old) == 0 && old.sa_handler != SIG_IGN) {
            ::sigaction(signal, &action, nullptr);
        }
    }
}

void removeStaleTemporaries(const std::string& folder) {
    static std::mutex mutex;
    static std::set<std::string> done;
    {
        const std::lock_guard lock(mutex);
        if (!done.insert(folder).second) {
            return;
        }
    }
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (dir == nullptr) {
        return;
    }
    while (const dirent* entry = ::readdir(dir)) {
        const pid_t process = processOf(entry->d_name);
        if (process <= 0 || process == ::getpid() || ::kill(process, 0) == 0 || errno != ESRCH) {
            continue; // not ours, or its process may still be writing it
        }
        const std::string path = folder + "/" + entry->d_name;
        struct stat st {};
        if (::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid()) {
            ::unlink(path.c_str());
        }
    }
    ::closedir(dir);
}

PendingTemporary::PendingTemporary(const std::string& path) {
    if (path.size() >= PATH_ROOM) {
        return;
    }
    for (int i = 0; i < SLOTS; ++i) {
        bool expected = false;
        if (slots[i].claimed.compare_exchange_strong(expected, true)) {
            std::memcpy(slots[i].path, path.c_str(), path.size() + 1);
            slots[i].ready.store(true);
            slot_ = i;
            return;
        }
    }
}

PendingTemporary::~PendingTemporary() {
    if (slot_ >= 0) {
        slots[slot_].ready.store(false);
        slots[slot_].claimed.store(false);
    }
}

} // namespace faceto
