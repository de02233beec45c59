#pragma once

#include "model/Skin.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace faceto {

struct Model;

using DisplayPalette = std::array<PaletteEntry, 256>; // blue, green, red, 0

constexpr int PALETTE_BYTES = 768; // 256 x (red, green, blue)
constexpr int LIGHT_ROWS = 64;
constexpr int COLORMAP_BYTES = 64 * 256;  // [light row][colour index] -> colour index
constexpr int FIRST_UNSHADED_COLOR = 224; // colours 224..255 look the same in every light row

using RgbPalette = std::array<uint8_t, PALETTE_BYTES>;

// The game palette and light colour map that every 8-bit picture is drawn with.
struct PaletteTables {
    std::array<uint8_t, PALETTE_BYTES> palette;
    std::array<uint8_t, COLORMAP_BYTES> colormap;
    bool paletteFromFile = false; // the palette was read from a palette.lmp

    // The built-in tables: 16 ramps of 16 colours, and a colour map computed against them.
    static PaletteTables builtIn();

    uint8_t shade(int row, int color) const { return colormap[size_t(row) * 256 + size_t(color & 0xFF)]; }
};

const std::array<uint8_t, PALETTE_BYTES>& builtInPalette();
// Quake's own palette, which Quake models' skins are in when no palette file is set up.
const RgbPalette& quakePalette();
// A colour map against `palette`: row 0 twice as bright, brightness falling linearly to black at
// row 63, colours 224..255 left unshaded.
std::array<uint8_t, COLORMAP_BYTES> computeColormap(const std::array<uint8_t, PALETTE_BYTES>& palette);

// The entry of `palette` nearest to the colour (red, green, blue), among entries first..last; on a tie
// the lower index.
uint8_t nearestColour(const DisplayPalette& palette, uint8_t red, uint8_t green, uint8_t blue, int first = 0,
                      int last = 255);

// The colour (red, green, blue) of texel (x, y) of a skin picture of any depth; black for an index the
// skin's palette lacks.
std::array<uint8_t, 3> texelColour(const Skin& skin, int x, int y);

// The skin as an 8-bit picture in the colours of `palette`: the skin itself when it is one, otherwise
// every texel as the nearest colour of the palette, made once and kept with the skin (`Skin::shown`).
const Skin& skinInColours(const Skin& skin, const DisplayPalette& palette);

// Gives every skin of `model` the 256 colours of `rgb` (as blue, green, red, 0): Quake skins are stored
// as bare indices into the game's palette.
void applyPalette(Model& model, const RgbPalette& rgb);

} // namespace faceto
