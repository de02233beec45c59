#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace faceto {

// One palette entry as the display wants it: blue, green, red, 0.
using PaletteEntry = std::array<uint8_t, 4>;

// How skin coordinates past the picture's edges read it: kept at the edge (the game formats), the picture
// repeated, or repeated mirrored every other time (as a glTF sampler may ask).
enum class Wrap : uint8_t { Clamp = 0, Repeat = 1, Mirror = 2 };

// A skin image of a model. Rows are stored top row first, each `stride()` bytes long
// (padded with zero bytes to a multiple of 4), as the image reader stored them.
struct Skin {
    std::string name;
    // Two values a reader may set (the md2 reader stores the header's skin size here).
    int32_t width = 0;
    int32_t height = 0;

    // Image description.
    int32_t imageWidth = 0;
    int32_t imageHeight = 0;
    int32_t bitsPerPixel = 0;
    int32_t imageSize = 0;
    int32_t colorsUsed = 0;

    // 256, 16 or 2 entries, or none (24-bit images).
    std::vector<PaletteEntry> palette;
    std::vector<uint8_t> pixels;
    std::array<Wrap, 2> wrap{Wrap::Clamp, Wrap::Clamp}; // across (s), down (t)

    // Bytes from one row to the next: the bits of a row rounded up to whole 4-byte words.
    int32_t stride() const {
        const int64_t bits = int64_t(imageWidth) * bitsPerPixel;
        return int32_t(((bits + 31) / 32) * 4);
    }
    bool hasImage() const { return imageWidth > 0 && imageHeight > 0 && !pixels.empty(); }
    bool isIndexed8() const { return bitsPerPixel == 8 && palette.size() == 256 && hasImage(); }

    // The picture in the 256 colours the 8-bit renderer shows, for a skin that is not an 8-bit picture
    // (true colour, or 1 and 4 bits): made when the skin is first drawn, kept with it, never stored. A
    // skin whose pixels change in place must drop it.
    mutable std::shared_ptr<const Skin> shown;

    // The PCX file the picture was imported from, written back as it is by Export Skin: a skin is
    // replaced as a whole when it changes, so the file stays the picture's own.
    std::shared_ptr<const std::vector<uint8_t>> pcxFile;
};

} // namespace faceto
