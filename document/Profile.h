#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace faceto {

// The user's settings, by section and entry ("Pref"/"LastDoc", "games\quake2"/"base", ...).
// A missing entry reads as the given default.
class Profile {
public:
    virtual ~Profile() = default;
    virtual std::string getString(const std::string& section, const std::string& entry,
                                  const std::string& defaultValue) const = 0;
    virtual int getInt(const std::string& section, const std::string& entry, int defaultValue) const = 0;
    virtual bool writeString(const std::string& section, const std::string& entry,
                             const std::string& value) = 0;
    virtual bool writeInt(const std::string& section, const std::string& entry, int value) = 0;
};

// Settings held in memory, for tests and for tools that do not keep settings.
class MemoryProfile : public Profile {
public:
    std::string getString(const std::string& section, const std::string& entry,
                          const std::string& defaultValue) const override;
    int getInt(const std::string& section, const std::string& entry, int defaultValue) const override;
    bool writeString(const std::string& section, const std::string& entry, const std::string& value) override;
    bool writeInt(const std::string& section, const std::string& entry, int value) override;

    bool contains(const std::string& section, const std::string& entry) const;
    // Every write in order, as "section/entry=value".
    const std::vector<std::string>& writeLog() const { return writeLog_; }

private:
    std::map<std::pair<std::string, std::string>, std::string> values_;
    std::vector<std::string> writeLog_;
};

// Section and entry names of the settings.
namespace settings {
inline const std::string PREF = "Pref";
inline const std::string QUAKE = "games\\quake";
inline const std::string QUAKE2 = "games\\quake2";
inline const std::string HEXEN2 = "games\\hexen2";
// The Quake 2 base folder when none is set: the first that exists of the usual places of a Quake 2
// installation in the user's home folder and of the system's game packages; empty when there is none.
std::string defaultQuake2Base();
} // namespace settings

} // namespace faceto
