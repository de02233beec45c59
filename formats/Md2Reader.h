#pragma once

#include "model/Model.h"

#include <cstdint>
#include <span>
#include <string>

namespace faceto {

class Profile;

// Where the skins named in a Quake 2 model are looked for.
struct SkinSearch {
    std::string baseFolder;  // the game's base folder, ending in "/" or "\"
    std::string modelFolder; // the folder of the model file, ending in a separator (or empty)
};

// The base folder setting ("games\quake2" / "base"), trimmed, with a "/" added unless it ends in one.
std::string md2SkinFolder(const Profile& profile);
SkinSearch skinSearchFor(const Profile& profile, const std::string& modelPath);

// Reads a Quake 2 model. Each skin is loaded from base folder + stored name, else from the model's
// folder (the stored name, then its last path component); a skin found nowhere is left out.
// A file whose counts, offsets or indices its bytes do not back, or that has no frame, fails.
bool parseMd2(std::span<const uint8_t> bytes, ModelData& out, const SkinSearch& search);
bool readMd2(const std::string& path, ModelData& out, const Profile& profile);

} // namespace faceto
