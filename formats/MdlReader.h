#pragma once

#include "formats/Result.h"
#include "model/Model.h"

#include <cstdint>
#include <span>

namespace faceto {

// Reads a Quake or Hexen II model: version 6, or the older layout (any other version) whose frames have
// no names. Skin groups and frame groups are flattened into consecutive skins and frames. Skins come
// without colours: the document gives them the Quake palette afterwards. A file whose counts its bytes
// do not back, with a corner outside the vertex list, without any frame, or passing the limits of a
// load, fails with the reason.
Result<ModelData> parseMdl(std::span<const uint8_t> bytes);

} // namespace faceto
