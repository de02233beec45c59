#pragma once

#include "formats/FileIO.h"
#include "formats/Result.h"
#include "model/Skin.h"

#include <cstdint>
#include <span>
#include <vector>

namespace faceto {

// A skin's picture as red, green, blue bytes, rows top first, whatever its depth (an indexed skin
// through its palette).
std::vector<uint8_t> skinRgb(const Skin& skin);

// The skin as a PNG file of its colours.
ByteBuffer encodeSkinPng(const Skin& skin);

// A PNG, JPEG, BMP or TGA picture as a true-colour skin (alpha left out). Refused when it is not such a
// picture or larger than a skin may be.
Result<Skin> decodePictureAsSkin(std::span<const uint8_t> bytes);

} // namespace faceto
