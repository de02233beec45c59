#include "model/HugePages.h"

#include <atomic>
#include <cstdlib>
#include <cstring>

namespace faceto {

namespace {

std::atomic<bool>& wanted() {
    static std::atomic<bool> value = [] {
        const char* setting = std::getenv("FACETO_HUGE_PAGES");
        return setting != nullptr && std::strcmp(setting, "1") == 0;
    }();
    return value;
}

} // namespace

bool hugePagesWanted() {
    return wanted().load(std::memory_order_relaxed);
}

void setHugePagesWanted(bool on) {
    wanted().store(on, std::memory_order_relaxed);
}

} // namespace faceto
