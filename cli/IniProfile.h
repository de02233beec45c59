#pragma once

#include "document/Profile.h"

#include <map>
#include <string>
#include <utility>

namespace faceto {

// The editor's settings file read without the toolkit, as the toolkit writes it: a setting of section
// "games\quake2", entry "base" is the key "quake2\base" under "[games]"; "Pref" / "LastDoc" is
// "LastDoc" under "[Pref]". Names are %-escaped where they hold other characters than letters, digits
// and a few marks; values may be quoted and hold backslash escapes. Read once; writes stay in memory.
class IniProfile : public Profile {
public:
    // A missing or unreadable file reads as one without settings.
    explicit IniProfile(const std::string& path);
    // The user's settings file: $XDG_CONFIG_HOME (or ~/.config) /Hollowbark/Faceto.ini.
    static std::string userFile();

    std::string getString(const std::string& section, const std::string& entry,
                          const std::string& defaultValue) const override;
    int getInt(const std::string& section, const std::string& entry, int defaultValue) const override;
    bool writeString(const std::string& section, const std::string& entry, const std::string& value) override;
    bool writeInt(const std::string& section, const std::string& entry, int value) override;

    // The value text of a line after '=', unquoted and unescaped.
    static std::string unescapeValue(const std::string& text);

private:
    const std::string* find(const std::string& section, const std::string& entry) const;
    std::map<std::string, std::string> values_; // by full key, groups joined with '/'
};

} // namespace faceto
