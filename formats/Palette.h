#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace faceto {

struct Model;
class Profile;

constexpr int PALETTE_BYTES = 768;      // 256 x (red, green, blue)
constexpr int LIGHT_ROWS = 64;
constexpr int COLORMAP_BYTES = 64 * 256; // [light row][colour index] -> colour index
constexpr int FIRST_UNSHADED_COLOR = 224; // colours 224..255 look the same in every light row

// The game palette and light colour map that every 8-bit picture is drawn with.
struct PaletteTables {
    std::array<uint8_t, PALETTE_BYTES> palette;
    std::array<uint8_t, COLORMAP_BYTES> colormap;

    // The built-in tables: 16 ramps of 16 colours, and a colour map computed against them.
    static PaletteTables builtIn();

    uint8_t shade(int row, int color) const { return colormap[size_t(row) * 256 + size_t(color & 0xFF)]; }
};

const std::array<uint8_t, PALETTE_BYTES>& builtInPalette();
// A colour map against `palette`: row 0 twice as bright, brightness falling linearly to black at
// row 63, colours 224..255 left unshaded.
std::array<uint8_t, COLORMAP_BYTES> computeColormap(const std::array<uint8_t, PALETTE_BYTES>& palette);

// Replace the leading bytes of a table with the file's (a short file replaces a prefix, bytes past the
// table's size are ignored). A missing file leaves the table as it was. True when the file was read.
bool loadPalette(PaletteTables& tables, const std::string& path = "palette.lmp");
bool loadColormap(PaletteTables& tables, const std::string& path = "colormap.lmp");

// The file that gives a Quake model's skins their colours: the "games\quake" / "palette" setting,
// trimmed, or "games/quake/palette.lmp" when that is empty.
std::string quakePalettePath(const Profile& profile);

// Gives every skin of `model` a 256-entry palette (blue, green, red, 0) from the Quake palette file,
// or from the process palette when that file cannot be read.
void applyQuakePalette(Model& model, const Profile& profile, const PaletteTables& tables);

} // namespace faceto
