#pragma once

#include "formats/FileIO.h"
#include "model/Skin.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace faceto {

// PCX images of 1, 4, 8 or 24 bits per pixel (all planes merged). On success the skin's image,
// description and palette are replaced; its name and the two values stay. A file that is short,
// malformed, of another depth or larger than the skin limit fails and leaves the skin as it was.
bool decodePcx(std::span<const uint8_t> bytes, Skin& skin);
bool readPcx(const std::string& path, Skin& skin);

// The width and height a PCX header declares; nothing when the bytes are not a PCX file.
std::optional<std::array<int, 2>> pcxSize(std::span<const uint8_t> bytes);

// A skin as a version 5 PCX. An indexed skin is written with 8 bits per pixel (1- and 4-bit pictures
// widened) and its 256-colour palette at the end; a 24-bit skin as three 8-bit planes. Every byte is
// written on its own (values of 192 and more behind a count byte of one), no runs are formed, so the
// picture comes back exactly. Empty for a skin without a picture.
ByteBuffer encodeSkinPcx(const Skin& skin);
Status writeSkinPcx(const std::string& path, const Skin& skin);

} // namespace faceto
