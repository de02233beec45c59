#pragma once

#include "model/Palette.h"
#include "model/Skin.h"

#include <cstdint>
#include <vector>

namespace faceto {

// A skin as a game with a fixed palette draws it: 8-bit indices into `game`, `width` by `height`, each
// row `rowLength` indices long (the columns past `width` repeat the last one). An 8-bit skin already in
// that palette keeps its indices; any other is mapped to the nearest colour outside the full-bright
// range (224-255, which glows in the game), unless the texel is exactly one of those colours or an
// 8-bit texel of that range. A picture of another size is stretched to this one; a skin without a
// picture is plain grey.
std::vector<uint8_t> gamePaletteIndices(const Skin& skin, const RgbPalette& game, int32_t width,
                                        int32_t height, int32_t rowLength);

// The skin as an 8-bit picture of its own size in `game`'s colours, by the rule above.
Skin skinInGamePalette(const Skin& skin, const RgbPalette& game);

} // namespace faceto
