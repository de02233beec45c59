#pragma once

#include "document/Profile.h"

#include <optional>
#include <string>

namespace faceto {

// The editor's settings as the command-line tool sees them: read from the settings file, with the
// Quake 2 base folder replaced when one is given, and never written (a document remembers itself as
// the last one when it closes; the tool keeps that to itself).
class CliProfile : public Profile {
public:
    CliProfile(const Profile& settings, std::optional<std::string> quake2Base)
        : settings_(settings), quake2Base_(std::move(quake2Base)) {}

    std::string getString(const std::string& section, const std::string& entry,
                          const std::string& defaultValue) const override {
        if (quake2Base_ && section == settings::QUAKE2 && entry == "base") {
            return *quake2Base_;
        }
        if (writes_.contains(section, entry)) {
            return writes_.getString(section, entry, defaultValue);
        }
        return settings_.getString(section, entry, defaultValue);
    }
    int getInt(const std::string& section, const std::string& entry, int defaultValue) const override {
        return writes_.contains(section, entry) ? writes_.getInt(section, entry, defaultValue)
                                                : settings_.getInt(section, entry, defaultValue);
    }
    bool writeString(const std::string& section, const std::string& entry,
                     const std::string& value) override {
        return writes_.writeString(section, entry, value);
    }
    bool writeInt(const std::string& section, const std::string& entry, int value) override {
        return writes_.writeInt(section, entry, value);
    }

private:
    const Profile& settings_;
    std::optional<std::string> quake2Base_;
    MemoryProfile writes_;
};

} // namespace faceto
