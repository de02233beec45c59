#include "formats/PaletteFiles.h"

#include "formats/FileIO.h"
#include "formats/Limits.h"
#include "formats/Pcx.h"

#include <cstring>

namespace faceto {

namespace {

bool loadPrefix(uint8_t* table, size_t size, const std::string& path) {
    Result<ByteBuffer> bytes = readFilePrefix(path, size);
    if (!bytes) {
        return false;
    }
    std::memcpy(table, bytes->data(), bytes->size());
    return true;
}

} // namespace

bool loadPalette(PaletteTables& tables, const std::string& path) {
    const bool loaded = loadPrefix(tables.palette.data(), tables.palette.size(), path);
    tables.paletteFromFile = tables.paletteFromFile || loaded;
    return loaded;
}

bool loadColormap(PaletteTables& tables, const std::string& path) {
    return loadPrefix(tables.colormap.data(), tables.colormap.size(), path);
}

RgbPalette paletteFileOver(const RgbPalette& fallback, const std::string& path) {
    RgbPalette rgb = fallback;
    loadPrefix(rgb.data(), rgb.size(), path);
    return rgb;
}

std::optional<RgbPalette> quake2Palette(const std::string& baseFolder) {
    if (baseFolder.empty()) {
        return std::nullopt;
    }
    Skin colormap;
    const Result<ByteBuffer> bytes =
        readCompanionFile(baseFolder, "pics/colormap.pcx", limits::MAX_DECODED_BYTES);
    if (!bytes || !decodePcx(*bytes, colormap) || !colormap.isIndexed8()) {
        return std::nullopt;
    }
    RgbPalette rgb{};
    for (size_t i = 0; i < 256; ++i) {
        rgb[i * 3] = colormap.palette[i][2];
        rgb[i * 3 + 1] = colormap.palette[i][1];
        rgb[i * 3 + 2] = colormap.palette[i][0];
    }
    return rgb;
}

} // namespace faceto
