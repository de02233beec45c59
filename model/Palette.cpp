#include "model/Palette.h"

#include "model/Model.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <unordered_map>

namespace faceto {

namespace {

struct Rgb {
    int r, g, b;
};

// Darkest and brightest colour of each shaded ramp (entries 16..223); the grey ramp 0..15 has
// fixed channel values.
constexpr Rgb RAMP_ENDS[13][2] = {
    {{12, 8, 4}, {196, 148, 96}},    // 16: browns
    {{8, 12, 20}, {150, 190, 235}},  // 32: sky blues
    {{4, 16, 4}, {120, 220, 110}},   // 48: greens
    {{20, 4, 4}, {240, 90, 80}},     // 64: reds
    {{20, 10, 2}, {250, 170, 70}},   // 80: oranges
    {{16, 14, 2}, {240, 225, 90}},   // 96: golds
    {{22, 14, 10}, {250, 205, 180}}, // 112: skin tones
    {{12, 4, 18}, {190, 130, 235}},  // 128: purples
    {{18, 4, 12}, {235, 120, 190}},  // 144: magentas
    {{14, 12, 8}, {215, 200, 170}},  // 160: sands
    {{4, 14, 14}, {100, 210, 200}},  // 176: teals
    {{10, 12, 4}, {190, 205, 110}},  // 192: olives
    {{0, 0, 255}, {205, 220, 255}},  // 208: blues, from pure blue up to pale blue
};

constexpr int GREYS[16] = {0, 15, 31, 47, 63, 75, 91, 107, 123, 139, 155, 171, 187, 203, 219, 235};

// Colours 224..255 are never shaded: flames, lights and markers.
constexpr Rgb UNSHADED[32] = {
    {255, 255, 160}, {255, 240, 120}, {255, 224, 80},  {255, 208, 48},  {255, 190, 24},  {255, 170, 8},
    {255, 150, 0},   {250, 130, 0},   {245, 110, 0},   {240, 90, 0},    {230, 70, 0},    {220, 50, 0},
    {205, 35, 0},    {190, 20, 0},    {170, 10, 0},    {150, 0, 0},     {255, 255, 0},   {200, 255, 120},
    {120, 255, 120}, {80, 220, 255},  {127, 191, 255}, {170, 140, 255}, {255, 120, 255}, {255, 180, 200},
    {255, 230, 200}, {0, 255, 255},   {255, 128, 0},   {255, 0, 0},     {0, 255, 0},     {255, 255, 128},
    {255, 255, 255}, {159, 91, 83},
};

std::array<uint8_t, PALETTE_BYTES> makeBuiltInPalette() {
    std::array<uint8_t, PALETTE_BYTES> p{};
    auto set = [&](int index, Rgb c) {
        p[size_t(index) * 3] = uint8_t(c.r);
        p[size_t(index) * 3 + 1] = uint8_t(c.g);
        p[size_t(index) * 3 + 2] = uint8_t(c.b);
    };
    for (int i = 0; i < 16; ++i) {
        set(i, {GREYS[i], GREYS[i], GREYS[i]});
    }
    for (int ramp = 0; ramp < 13; ++ramp) {
        const Rgb lo = RAMP_ENDS[ramp][0];
        const Rgb hi = RAMP_ENDS[ramp][1];
        for (int j = 0; j < 16; ++j) {
            auto mix = [&](int a, int b) { return a + (b - a) * j / 15; };
            set(16 + ramp * 16 + j, {mix(lo.r, hi.r), mix(lo.g, hi.g), mix(lo.b, hi.b)});
        }
    }
    for (int i = 0; i < 32; ++i) {
        set(FIRST_UNSHADED_COLOR + i, UNSHADED[i]);
    }
    return p;
}

} // namespace

const std::array<uint8_t, PALETTE_BYTES>& builtInPalette() {
    static const std::array<uint8_t, PALETTE_BYTES> palette = makeBuiltInPalette();
    return palette;
}

std::array<uint8_t, COLORMAP_BYTES> computeColormap(const std::array<uint8_t, PALETTE_BYTES>& palette) {
    std::array<uint8_t, COLORMAP_BYTES> map{};
    for (int row = 0; row < LIGHT_ROWS; ++row) {
        const double brightness = (63.0 - row) / 31.5; // 2 at row 0, 1 between rows 31 and 32, 0 at row 63
        for (int c = 0; c < 256; ++c) {
            uint8_t result = uint8_t(c);
            if (c < FIRST_UNSHADED_COLOR) {
                int target[3];
                for (int k = 0; k < 3; ++k) {
                    target[k] =
                        std::min(255, int(std::lround(palette[size_t(c) * 3 + size_t(k)] * brightness)));
                }
                // Nearest shaded colour; ties keep the lower index, so black lands on entry 0.
                int best = 0;
                int bestDistance = 1 << 30;
                for (int e = 0; e < FIRST_UNSHADED_COLOR; ++e) {
                    int distance = 0;
                    for (int k = 0; k < 3; ++k) {
                        const int d = palette[size_t(e) * 3 + size_t(k)] - target[k];
                        distance += d * d;
                    }
                    if (distance < bestDistance) {
                        bestDistance = distance;
                        best = e;
                    }
                }
                result = uint8_t(best);
            }
            map[size_t(row) * 256 + size_t(c)] = result;
        }
    }
    return map;
}

PaletteTables PaletteTables::builtIn() {
    static const std::array<uint8_t, COLORMAP_BYTES> colormap = computeColormap(builtInPalette());
    return PaletteTables{builtInPalette(), colormap};
}

uint8_t nearestColour(const DisplayPalette& palette, uint8_t red, uint8_t green, uint8_t blue, int first,
                      int last) {
    int best = first;
    int bestDistance = 1 << 30;
    for (int e = first; e <= last; ++e) {
        const PaletteEntry& p = palette[size_t(e)];
        const int db = p[0] - blue;
        const int dg = p[1] - green;
        const int dr = p[2] - red;
        const int distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = e;
        }
    }
    return uint8_t(best);
}

std::array<uint8_t, 3> texelColour(const Skin& skin, int x, int y) {
    const size_t row = size_t(y) * size_t(skin.stride());
    const int depth = skin.bitsPerPixel;
    if (depth == 24) {
        const uint8_t* p = &skin.pixels[row + size_t(x) * 3];
        return {p[0], p[1], p[2]};
    }
    const int bit = x * depth;
    const uint8_t byte = skin.pixels[row + size_t(bit / 8)];
    const int index = depth == 8 ? byte : (byte >> (8 - depth - bit % 8)) & ((1 << depth) - 1);
    if (size_t(index) >= skin.palette.size()) {
        return {0, 0, 0};
    }
    const PaletteEntry& e = skin.palette[size_t(index)];
    return {e[2], e[1], e[0]};
}

const Skin& skinInColours(const Skin& skin, const DisplayPalette& palette) {
    if (skin.isIndexed8() || !skin.hasImage() ||
        size_t(skin.stride()) * size_t(skin.imageHeight) > skin.pixels.size()) {
        return skin;
    }
    if (skin.shown && std::equal(palette.begin(), palette.end(), skin.shown->palette.begin())) {
        return *skin.shown;
    }
    auto shown = std::make_shared<Skin>();
    shown->name = skin.name;
    shown->wrap = skin.wrap;
    shown->imageWidth = skin.imageWidth;
    shown->imageHeight = skin.imageHeight;
    shown->bitsPerPixel = 8;
    shown->palette.assign(palette.begin(), palette.end());
    shown->colorsUsed = 256;
    const size_t stride = size_t(shown->stride());
    shown->imageSize = int32_t(stride * size_t(skin.imageHeight));
    shown->pixels.assign(stride * size_t(skin.imageHeight), 0);
    // A picture has far fewer colours than texels: each is looked up once.
    std::unordered_map<uint32_t, uint8_t> nearest;
    for (int y = 0; y < skin.imageHeight; ++y) {
        for (int x = 0; x < skin.imageWidth; ++x) {
            const auto [r, g, b] = texelColour(skin, x, y);
            const uint32_t key = uint32_t(r) << 16 | uint32_t(g) << 8 | b;
            auto [it, added] = nearest.try_emplace(key, 0);
            if (added) {
                it->second = nearestColour(palette, r, g, b);
            }
            shown->pixels[size_t(y) * stride + size_t(x)] = it->second;
        }
    }
    skin.shown = std::move(shown);
    return *skin.shown;
}

void applyPalette(Model& model, const RgbPalette& rgb) {
    for (Skin& skin : model.skins) {
        skin.palette.resize(256);
        for (size_t i = 0; i < 256; ++i) {
            skin.palette[i] = {rgb[i * 3 + 2], rgb[i * 3 + 1], rgb[i * 3], 0};
        }
        skin.colorsUsed = 256;
    }
}

} // namespace faceto
