#pragma once

#include "formats/Result.h"
#include "model/Model.h"

#include <cstdint>
#include <span>

namespace faceto {

class SkinLoader;

// Reads a Quake 2 model. Each skin name is handed to `skins`; a skin it does not find is left out. A file
// whose counts, offsets or indices its bytes do not back, that has no frame, or that passes the limits
// of a load fails with the reason.
Result<ModelData> parseMd2(std::span<const uint8_t> bytes, SkinLoader& skins);

} // namespace faceto
