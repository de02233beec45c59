#pragma once

#include "formats/FileIO.h"
#include "model/Skin.h"

#include <cstdint>
#include <span>
#include <string>

namespace faceto {

// PCX images of 1, 4, 8 or 24 bits per pixel (all planes merged). On success the skin's image,
// description and palette are replaced; its name and the two values stay. A file that is short,
// malformed or of another depth fails and leaves the skin as it was.
bool decodePcx(std::span<const uint8_t> bytes, Skin& skin);
bool readPcx(const std::string& path, Skin& skin);

// Loads a skin image by its file name: only names ending in ".pcx" (any case) are read.
bool loadSkinImage(Skin& skin, const std::string& path);

// An 8-bit skin as a version 5 PCX with the skin's 256-colour palette at the end. Every pixel is
// written on its own (values of 192 and more behind a count byte of one), no runs are formed.
// Empty for a skin that is not 8 bits per pixel.
ByteBuffer encodeSkinPcx(const Skin& skin);
// False when the skin is not 8 bits per pixel (no file is made then) or the file cannot be written.
bool writeSkinPcx(const std::string& path, const Skin& skin);

} // namespace faceto
