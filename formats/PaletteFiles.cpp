#include "formats/PaletteFiles.h"

#include "formats/FileIO.h"

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
    return loadPrefix(tables.palette.data(), tables.palette.size(), path);
}

bool loadColormap(PaletteTables& tables, const std::string& path) {
    return loadPrefix(tables.colormap.data(), tables.colormap.size(), path);
}

RgbPalette paletteFileOver(const RgbPalette& fallback, const std::string& path) {
    RgbPalette rgb = fallback;
    loadPrefix(rgb.data(), rgb.size(), path);
    return rgb;
}

} // namespace faceto
