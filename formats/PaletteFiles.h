#pragma once

#include "model/Palette.h"

#include <optional>
#include <string>

namespace faceto {

// Replace the leading bytes of a table with the file's (a short file replaces a prefix, bytes past the
// table's size are ignored). A missing file leaves the table as it was. True when the file was read.
bool loadPalette(PaletteTables& tables, const std::string& path = "palette.lmp");
bool loadColormap(PaletteTables& tables, const std::string& path = "colormap.lmp");

// The palette file at `path` over `fallback`: the file's entries where it has them (a short file only
// gives the leading ones), the fallback's everywhere else and when it cannot be read.
RgbPalette paletteFileOver(const RgbPalette& fallback, const std::string& path);

// Quake 2's palette: the one of pics/colormap.pcx under the game's base folder (which ends in a
// separator); nothing when there is no such 8-bit PCX file.
std::optional<RgbPalette> quake2Palette(const std::string& baseFolder);

} // namespace faceto
