#include "formats/PaletteMapping.h"

#include <algorithm>
#include <unordered_map>

namespace faceto {

namespace {

constexpr uint8_t PLAIN_GREY = 7; // a middle grey of the Quake palette

} // namespace

std::vector<uint8_t> gamePaletteIndices(const Skin& skin, const RgbPalette& game, int32_t width,
                                        int32_t height, int32_t padded) {
    std::vector<uint8_t> out(size_t(padded) * size_t(std::max(height, 0)), PLAIN_GREY);
    const bool readable = skin.hasImage() &&
                          size_t(skin.stride()) * size_t(skin.imageHeight) <= skin.pixels.size() &&
                          (skin.bitsPerPixel == 24 || skin.bitsPerPixel == 8 || skin.bitsPerPixel == 4 ||
                           skin.bitsPerPixel == 1);
    if (!readable || width <= 0 || height <= 0) {
        return out;
    }
    DisplayPalette display{};
    std::unordered_map<uint32_t, uint8_t> exact;
    for (size_t i = 0; i < 256; ++i) {
        display[i] = {game[i * 3 + 2], game[i * 3 + 1], game[i * 3], 0};
        exact.try_emplace(uint32_t(game[i * 3]) << 16 | uint32_t(game[i * 3 + 1]) << 8 | game[i * 3 + 2],
                          uint8_t(i));
    }
    const bool samePalette =
        skin.isIndexed8() && std::equal(display.begin(), display.end(), skin.palette.begin(),
                                        [](const PaletteEntry& a, const PaletteEntry& b) {
                                            return a[0] == b[0] && a[1] == b[1] && a[2] == b[2];
                                        });
    std::unordered_map<uint32_t, uint8_t> nearest;
    const size_t stride = size_t(skin.stride());
    for (int32_t y = 0; y < height; ++y) {
        const int32_t sy = int32_t(int64_t(y) * skin.imageHeight / height);
        for (int32_t x = 0; x < padded; ++x) {
            const int32_t sx = int32_t(int64_t(std::min(x, width - 1)) * skin.imageWidth / width);
            uint8_t index;
            if (samePalette) {
                index = skin.pixels[size_t(sy) * stride + size_t(sx)];
            } else {
                const auto [r, g, b] = texelColour(skin, sx, sy);
                const uint32_t key = uint32_t(r) << 16 | uint32_t(g) << 8 | b;
                const bool glows =
                    skin.bitsPerPixel == 8 && skin.pixels[size_t(sy) * stride + size_t(sx)] >= 224;
                if (auto it = exact.find(key); it != exact.end()) {
                    index = it->second;
                } else {
                    auto [it2, added] = nearest.try_emplace(key | (glows ? 1u << 24 : 0u), 0);
                    if (added) {
                        it2->second = glows ? nearestColour(display, r, g, b, 224, 255)
                                            : nearestColour(display, r, g, b, 0, 223);
                    }
                    index = it2->second;
                }
            }
            out[size_t(y) * size_t(padded) + size_t(x)] = index;
        }
    }
    return out;
}

Skin skinInGamePalette(const Skin& skin, const RgbPalette& game) {
    Skin out;
    out.name = skin.name;
    out.width = skin.width;
    out.height = skin.height;
    out.imageWidth = skin.imageWidth;
    out.imageHeight = skin.imageHeight;
    out.bitsPerPixel = 8;
    out.colorsUsed = 256;
    const int32_t stride = out.stride();
    out.imageSize = stride * out.imageHeight;
    out.pixels = gamePaletteIndices(skin, game, skin.imageWidth, skin.imageHeight, stride);
    out.palette.resize(256);
    for (size_t i = 0; i < 256; ++i) {
        out.palette[i] = {game[i * 3 + 2], game[i * 3 + 1], game[i * 3], 0};
    }
    return out;
}

} // namespace faceto
