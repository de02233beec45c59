#pragma once

#include "model/Model.h"

#include <cstdint>
#include <span>
#include <string>

namespace faceto {

// Reads a Quake or Hexen II model: version 6, or the older layout (any other version) whose frames have
// no names. Skin groups and frame groups are flattened into consecutive skins and frames. Skins come
// without colours: the document gives them the Quake palette afterwards. A file whose counts its bytes
// do not back, with a corner outside the vertex list, or without any frame, fails.
bool parseMdl(std::span<const uint8_t> bytes, ModelData& out);
bool readMdl(const std::string& path, ModelData& out);

} // namespace faceto
