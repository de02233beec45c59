#pragma once

#include "formats/FileIO.h"
#include "formats/Result.h"
#include "model/Model.h"
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

// A picture to become a skin: a PCX file as it is (kept with the skin, to be exported again unchanged),
// an 8-bit PNG or BMP with its indices and palette, any other PNG, BMP, TGA or JPEG in true colour.
Result<Skin> decodeSkinPicture(std::span<const uint8_t> bytes);

// The skin as a PNG: an 8-bit skin as an indexed PNG with its palette (its indices come back on
// reading), any other in true colour.
ByteBuffer encodeSkinPicturePng(const Skin& skin);

// The skin's picture with the skin coordinates of `triangles` drawn over it as lines of one texel, in
// white (an 8-bit skin: the palette's entry nearest to white): a template to paint on.
Skin skinWithMap(const Skin& skin, const std::vector<Triangle>& triangles);

} // namespace faceto
