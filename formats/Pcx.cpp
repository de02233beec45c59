#include "formats/Pcx.h"

#include "formats/ByteReader.h"
#include "formats/ByteWriter.h"
#include "formats/Limits.h"

#include <algorithm>
#include <memory>

namespace faceto {

namespace {

constexpr size_t HEADER_SIZE = 128;
constexpr size_t EOF_PALETTE = 769; // marker byte 12, then 256 x (red, green, blue)

struct Header {
    int version;
    int bitsPerPlane;
    int planes;
    int bytesPerLine;
    int width;
    int height;
};

// One scan line holds the planes one after the other; a pixel's value is the planes' samples
// stacked with plane 0 in the lowest bits (EGA's four 1-bit planes give a 4-bit colour index).
uint32_t pixelValue(const uint8_t* line, const Header& h, int x) {
    uint32_t value = 0;
    for (int n = 0; n < h.planes; ++n) {
        const uint8_t* plane = line + size_t(n) * size_t(h.bytesPerLine);
        uint32_t sample = 0;
        if (h.bitsPerPlane == 8) {
            sample = plane[x];
        } else {
            const int bit = x * h.bitsPerPlane;
            const int shift = 8 - h.bitsPerPlane - (bit % 8);
            sample = (plane[bit / 8] >> shift) & ((1u << h.bitsPerPlane) - 1);
        }
        value |= sample << (n * h.bitsPerPlane);
    }
    return value;
}

void storePixel(uint8_t* row, int depth, int x, uint32_t value) {
    switch (depth) {
    case 24:
        row[x * 3] = uint8_t(value);
        row[x * 3 + 1] = uint8_t(value >> 8);
        row[x * 3 + 2] = uint8_t(value >> 16);
        break;
    case 8:
        row[x] = uint8_t(value);
        break;
    default: { // 1 or 4 bits, most significant bits first
        const int bit = x * depth;
        const int shift = 8 - depth - (bit % 8);
        row[bit / 8] = uint8_t(row[bit / 8] | ((value & ((1u << depth) - 1)) << shift));
        break;
    }
    }
}

} // namespace

namespace {

// The header, when it is one of a layout this reader knows and of a size a skin may have; the 16-colour
// palette it holds goes to `headerPalette`.
std::optional<Header> readHeader(std::span<const uint8_t> bytes, std::span<const uint8_t>& headerPalette) {
    if (bytes.size() < HEADER_SIZE) {
        return std::nullopt;
    }
    ByteReader r(bytes);
    if (r.u8() != 10) {
        return std::nullopt;
    }
    Header h{};
    h.version = r.u8();
    r.u8(); // encoding: run-length decoding is always applied
    h.bitsPerPlane = r.u8();
    const int xMin = r.u16();
    const int yMin = r.u16();
    const int xMax = r.u16();
    const int yMax = r.u16();
    h.width = (xMax - xMin + 1) & 0xFFFF;
    h.height = (yMax - yMin + 1) & 0xFFFF;
    r.seek(16);
    headerPalette = r.bytes(48);
    r.seek(65);
    h.planes = r.u8();
    h.bytesPerLine = r.u16();
    const int depth = h.bitsPerPlane * h.planes;
    const bool knownLayout =
        (h.bitsPerPlane == 1 || h.bitsPerPlane == 2 || h.bitsPerPlane == 4 || h.bitsPerPlane == 8);
    if (!r.ok() || !knownLayout || (depth != 1 && depth != 4 && depth != 8 && depth != 24) || h.width == 0 ||
        h.height == 0 || int64_t(h.bytesPerLine) * 8 < int64_t(h.width) * h.bitsPerPlane) {
        return std::nullopt;
    }
    if (h.width > limits::MAX_SKIN_SIDE || h.height > limits::MAX_SKIN_SIDE) {
        return std::nullopt;
    }
    return h;
}

// The run-length encoded scan lines; `end` is where the picture's data ends. Empty when the file ends
// inside the picture (or is too short for it to start with).
std::optional<std::vector<uint8_t>> decodeRuns(std::span<const uint8_t> bytes, const Header& h, size_t& end) {
    // Runs expand at most 63 times, so a file too short for its picture is refused before allocating.
    const uint64_t decodedSize = uint64_t(h.bytesPerLine) * uint64_t(h.height) * uint64_t(h.planes);
    if (decodedSize > 63 * uint64_t(bytes.size())) {
        return std::nullopt;
    }
    std::vector<uint8_t> decoded(decodedSize);
    size_t filled = 0;
    size_t pos = HEADER_SIZE;
    while (filled < decoded.size() && pos < bytes.size()) {
        const uint8_t b = bytes[pos++];
        if (b >= 192) {
            if (pos >= bytes.size()) {
                break; // a run cut off by the end of the file is dropped
            }
            const uint8_t value = bytes[pos++];
            const size_t count = std::min<size_t>(b & 63, decoded.size() - filled);
            std::fill_n(decoded.begin() + std::ptrdiff_t(filled), count, value);
            filled += count;
        } else {
            decoded[filled++] = b;
        }
    }
    end = pos;
    if (filled < decoded.size()) {
        return std::nullopt;
    }
    return decoded;
}

// The colours: 256 from the end of the file, 16 from the header, or black and white for 1-bit pictures;
// none for true colour.
std::vector<PaletteEntry> pictureColours(std::span<const uint8_t> bytes, const Header& h, int depth,
                                         size_t end, std::span<const uint8_t> headerPalette) {
    size_t paletteSize = depth == 1 ? 2 : 16;
    const bool eofPalette = h.version >= 5 && depth > 4 && bytes.size() >= HEADER_SIZE + EOF_PALETTE &&
                            bytes[bytes.size() - EOF_PALETTE] == 12;
    // Some tools end an 8-bit picture with its 768 palette bytes but no marker before them; Quake 2's
    // loader takes the last 768 bytes whatever precedes them, and so does this one where they follow
    // the picture's data.
    const bool bareEofPalette =
        !eofPalette && h.version >= 5 && depth == 8 && bytes.size() - end >= EOF_PALETTE - 1;
    if (eofPalette || bareEofPalette) {
        paletteSize = 256;
    }
    if (depth > 8) {
        paletteSize = 0;
    }
    std::vector<PaletteEntry> palette(paletteSize);
    for (size_t i = 0; i < paletteSize; ++i) {
        const uint8_t* rgb = paletteSize == 256  ? &bytes[bytes.size() - (EOF_PALETTE - 1) + i * 3]
                             : paletteSize == 16 ? &headerPalette[i * 3]
                                                 : nullptr;
        if (rgb != nullptr) {
            palette[i] = {rgb[2], rgb[1], rgb[0], 0};
        } else {
            const uint8_t level = i == 0 ? 0 : 255; // 1-bit pictures are black and white
            palette[i] = {level, level, level, 0};
        }
    }
    return palette;
}

} // namespace

bool decodePcx(std::span<const uint8_t> bytes, Skin& skin) {
    std::span<const uint8_t> headerPalette;
    const std::optional<Header> header = readHeader(bytes, headerPalette);
    if (!header) {
        return false;
    }
    const Header& h = *header;
    size_t end = 0;
    const std::optional<std::vector<uint8_t>> decoded = decodeRuns(bytes, h, end);
    if (!decoded) {
        return false;
    }
    const int depth = h.bitsPerPlane * h.planes;
    Skin image;
    image.imageWidth = h.width;
    image.imageHeight = h.height;
    image.bitsPerPixel = depth;
    const int32_t stride = image.stride();
    image.imageSize = stride * h.height;
    image.colorsUsed = 256;
    image.palette = pictureColours(bytes, h, depth, end, headerPalette);

    image.pixels.assign(size_t(stride) * size_t(h.height), 0);
    const size_t lineBytes = size_t(h.bytesPerLine) * size_t(h.planes);
    for (int y = 0; y < h.height; ++y) {
        const uint8_t* line = decoded->data() + size_t(y) * lineBytes;
        uint8_t* row = image.pixels.data() + size_t(y) * size_t(stride);
        if (depth == 8 && h.planes == 1) {
            std::copy_n(line, h.width, row);
            continue;
        }
        for (int x = 0; x < h.width; ++x) {
            storePixel(row, depth, x, pixelValue(line, h, x));
        }
    }

    skin.imageWidth = image.imageWidth;
    skin.imageHeight = image.imageHeight;
    skin.bitsPerPixel = image.bitsPerPixel;
    skin.imageSize = image.imageSize;
    skin.colorsUsed = image.colorsUsed;
    skin.palette = std::move(image.palette);
    skin.pixels = std::move(image.pixels);
    skin.shown.reset();
    skin.pcxFile = std::make_shared<const std::vector<uint8_t>>(bytes.begin(), bytes.end());
    return true;
}

bool readPcx(const std::string& path, Skin& skin) {
    auto bytes = readFile(path);
    return bytes && decodePcx(*bytes, skin);
}

std::optional<std::array<int, 2>> pcxSize(std::span<const uint8_t> bytes) {
    if (bytes.size() < HEADER_SIZE || bytes[0] != 10) {
        return std::nullopt;
    }
    ByteReader r(bytes);
    r.seek(4);
    const int xMin = r.u16();
    const int yMin = r.u16();
    const int xMax = r.u16();
    const int yMax = r.u16();
    return std::array<int, 2>{(xMax - xMin + 1) & 0xFFFF, (yMax - yMin + 1) & 0xFFFF};
}

namespace {

// The picture as 8-bit indices: 1- and 4-bit pictures widen their packed pixels, keeping their colours.
std::vector<uint8_t> indicesOf(const Skin& skin) {
    const int width = skin.imageWidth;
    const int height = skin.imageHeight;
    const size_t stride = size_t(std::max(0, skin.stride()));
    std::vector<uint8_t> out(size_t(width) * size_t(height), 0);
    const int depth = skin.bitsPerPixel;
    for (int y = 0; y < height; ++y) {
        const size_t row = size_t(y) * stride;
        for (int x = 0; x < width; ++x) {
            uint8_t value = 0;
            if (depth == 8) {
                value = row + size_t(x) < skin.pixels.size() ? skin.pixels[row + size_t(x)] : 0;
            } else {
                const int bit = x * depth;
                const size_t at = row + size_t(bit / 8);
                const int shift = 8 - depth - (bit % 8);
                value =
                    at < skin.pixels.size() ? uint8_t((skin.pixels[at] >> shift) & ((1u << depth) - 1)) : 0;
            }
            out[size_t(y) * size_t(width) + size_t(x)] = value;
        }
    }
    return out;
}

void header(ByteWriter& w, int width, int height, int planes, int bytesPerLine) {
    w.u8(10);
    w.u8(5);
    w.u8(1);
    w.u8(8);
    w.u16(0);
    w.u16(0);
    w.u16(uint16_t(width - 1));
    w.u16(uint16_t(height - 1));
    w.u16(uint16_t(width));
    w.u16(uint16_t(height));
    w.fixedString("", 48);
    w.u8(0);
    w.u8(uint8_t(planes));
    w.u16(uint16_t(bytesPerLine));
    w.u16(planes == 1 ? 2 : 1);
    w.fixedString("", 58);
}

// Every byte on its own: values of 192 and more behind a count byte of one, no runs.
void literal(ByteWriter& w, uint8_t value) {
    if (value >= 192) {
        w.u8(193);
    }
    w.u8(value);
}

} // namespace

ByteBuffer encodeSkinPcx(const Skin& skin) {
    const int width = skin.imageWidth;
    const int height = skin.imageHeight;
    if (!skin.hasImage() || width > 65535 || height > 65535) {
        return {};
    }
    ByteWriter w;
    if (skin.bitsPerPixel == 24) {
        // Three planes of 8 bits, red, green and blue as the picture holds them; lines of an even length.
        const int bytesPerLine = width + (width & 1);
        const size_t stride = size_t(skin.stride());
        w.reserve(HEADER_SIZE + size_t(bytesPerLine) * 3 * size_t(height) * 2);
        header(w, width, height, 3, bytesPerLine);
        for (int y = 0; y < height; ++y) {
            for (int plane = 0; plane < 3; ++plane) {
                for (int x = 0; x < bytesPerLine; ++x) {
                    const size_t at = size_t(y) * stride + size_t(x) * 3 + size_t(plane);
                    literal(w, x < width && at < skin.pixels.size() ? skin.pixels[at] : 0);
                }
            }
        }
        return std::move(w.bytes());
    }
    if (skin.bitsPerPixel != 8 && skin.bitsPerPixel != 4 && skin.bitsPerPixel != 1) {
        return {};
    }
    const std::vector<uint8_t> indices = indicesOf(skin);
    w.reserve(HEADER_SIZE + indices.size() * 2 + EOF_PALETTE);
    header(w, width, height, 1, width);
    for (uint8_t value : indices) {
        literal(w, value);
    }
    w.u8(12);
    for (size_t i = 0; i < 256; ++i) {
        const PaletteEntry entry = i < skin.palette.size() ? skin.palette[i] : PaletteEntry{0, 0, 0, 0};
        w.u8(entry[2]);
        w.u8(entry[1]);
        w.u8(entry[0]);
    }
    return std::move(w.bytes());
}

Status writeSkinPcx(const std::string& path, const Skin& skin) {
    const ByteBuffer bytes = encodeSkinPcx(skin);
    if (bytes.empty()) {
        return Failure{path + ": the skin has no picture that a PCX file can hold"};
    }
    return writeFileReplacing(path, bytes);
}

} // namespace faceto
