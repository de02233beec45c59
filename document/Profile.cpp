#include "document/Profile.h"

#include <charconv>
#include <cstdlib>
#include <filesystem>

namespace faceto {

std::string MemoryProfile::getString(const std::string& section, const std::string& entry,
                                     const std::string& defaultValue) const {
    auto it = values_.find({section, entry});
    return it == values_.end() ? defaultValue : it->second;
}

int MemoryProfile::getInt(const std::string& section, const std::string& entry, int defaultValue) const {
    auto it = values_.find({section, entry});
    if (it == values_.end()) {
        return defaultValue;
    }
    int value = 0;
    const std::string& text = it->second;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() ? value : 0;
}

bool MemoryProfile::writeString(const std::string& section, const std::string& entry,
                                const std::string& value) {
    values_[{section, entry}] = value;
    return true;
}

bool MemoryProfile::writeInt(const std::string& section, const std::string& entry, int value) {
    return writeString(section, entry, std::to_string(value));
}

std::string settings::defaultQuake2Base() {
    std::vector<std::string> places;
    if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') {
        for (const char* place :
             {"/.yq2/baseq2", "/.quake2/baseq2", "/quake2/baseq2", "/.local/share/quake2/baseq2"}) {
            places.push_back(std::string(home) + place);
        }
    }
    places.push_back("/usr/share/games/quake2/baseq2");
    for (const std::string& place : places) {
        std::error_code ec;
        if (std::filesystem::is_directory(place, ec)) {
            return place;
        }
    }
    return {};
}

bool MemoryProfile::contains(const std::string& section, const std::string& entry) const {
    return values_.count({section, entry}) != 0;
}

} // namespace faceto
