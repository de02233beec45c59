#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace faceto {

// One setting: where it is kept (section and entry) and what it reads as when the profile has none.
// Each is declared once (below) and used through Profile::get and Profile::set.
template <class T> struct Setting {
    std::string section;
    std::string key;
    T fallback{};
};

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

    int get(const Setting<int>& s) const { return getInt(s.section, s.key, s.fallback); }
    bool get(const Setting<bool>& s) const { return getInt(s.section, s.key, s.fallback ? 1 : 0) != 0; }
    std::string get(const Setting<std::string>& s) const { return getString(s.section, s.key, s.fallback); }
    // A text setting whose default is worked out where it is read (a folder found on this machine).
    std::string get(const Setting<std::string>& s, const std::string& fallback) const {
        return getString(s.section, s.key, fallback);
    }
    bool set(const Setting<int>& s, int value) { return writeInt(s.section, s.key, value); }
    bool set(const Setting<bool>& s, bool value) { return writeInt(s.section, s.key, value ? 1 : 0); }
    bool set(const Setting<std::string>& s, const std::string& value) {
        return writeString(s.section, s.key, value);
    }
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

private:
    std::map<std::pair<std::string, std::string>, std::string> values_;
};

// Section and entry names of the settings.
namespace settings {
inline const std::string PREF = "Pref";
inline const std::string QUAKE = "games\\quake";
inline const std::string QUAKE2 = "games\\quake2";
inline const std::string HEXEN2 = "games\\hexen2";

// The editor's preferences.
inline const Setting<int> FILL_MODE{PREF, "FillMode", -1}; // the camera pane's mode; -1: none chosen yet
inline const Setting<int> BACK_COLOR{PREF, "BackColor", 0};
inline const Setting<int> LIGHT_AMBIENT{PREF, "LightAmbient", 50};
inline const Setting<int> LIGHT_SPOT{PREF, "LightSpot", 24};
inline const Setting<int> LOCKS[3] = {{PREF, "Lock1", 0}, {PREF, "Lock2", 0}, {PREF, "Lock3", 0}};
inline const Setting<bool> FRAME_ON_OPEN{PREF, "FrameOnOpen", true};
inline const Setting<std::string> LAST_DOC{PREF, "LastDoc", ""};
inline const Setting<std::string> LAST_FOLDER{PREF, "LastFolder", ""};
inline const Setting<std::string> IMPORT_SCALE{PREF, "ImportScale", "1"};
inline const Setting<std::string> EXPORT_SCALE{PREF, "ExportScale", "1"};
inline const Setting<int> PLAYER_RATE{PREF, "PlayerRate", 10};
inline const Setting<bool> PLAYER_LOOP{PREF, "PlayerLoop", true};
inline const Setting<bool> PLAYER_SMOOTH{PREF, "PlayerSmooth", false};
inline const Setting<bool> CAMERA_FOLLOWS_PLAYER{PREF, "CameraFollowsPlayer", false};

// Game Setup: where the games' files are (an empty base means the one found by defaultQuake2Base).
inline const Setting<std::string> QUAKE2_BASE{QUAKE2, "base", ""};
inline const Setting<std::string> QUAKE_PALETTE{QUAKE, "palette", ""};
inline const Setting<std::string> QUAKE_COLORMAP{QUAKE, "colormap", ""};
inline const Setting<std::string> HEXEN2_PALETTE{HEXEN2, "palette", ""};
inline const Setting<std::string> HEXEN2_COLORMAP{HEXEN2, "colormap", ""};
inline const Setting<std::string> MODEL_PALETTE{QUAKE, "modelPalette", "quake"}; // "quake" or "hexen2"

// The windows and files of the last session.
inline const std::string SESSION = "Session";
inline const Setting<std::string> SESSION_GEOMETRY{SESSION, "Geometry", ""};
inline const Setting<std::string> SESSION_DOCKS{SESSION, "Docks", ""};
inline const Setting<bool> SESSION_STATUS_BAR{SESSION, "StatusBar", true};
inline const Setting<int> SESSION_FILES{SESSION, "Files", 0};
inline const Setting<int> SESSION_WINDOWS{SESSION, "Windows", 0};
inline const Setting<int> SESSION_ACTIVE{SESSION, "Active", 0}; // 1 + the active window's number; 0: none
// The n-th file and window (from 1).
inline Setting<std::string> sessionFile(size_t n) {
    return {SESSION, "File" + std::to_string(n), ""};
}
inline Setting<std::string> sessionWindow(size_t n) {
    return {SESSION, "Window" + std::to_string(n), ""};
}

// The Quake 2 base folder when none is set: the first that exists of the usual places of a Quake 2
// installation in the user's home folder and of the system's game packages; empty when there is none.
std::string defaultQuake2Base();
} // namespace settings

} // namespace faceto
