#include "formats/Pictures.h"

#include "formats/Limits.h"
#include "formats/Pcx.h"
#include "model/Palette.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <stb_image.h>
#include <stb_image_write.h>
#include <string_view>

// The zlib stream writer of the PNG encoder above, declared there only with its implementation.
extern "C" unsigned char* stbi_zlib_compress(unsigned char* data, int data_len, int* out_len, int quality);

namespace faceto {

std::vector<uint8_t> skinRgb(const Skin& skin) {
    std::vector<uint8_t> rgb;
    if (!skin.hasImage() || size_t(skin.stride()) * size_t(skin.imageHeight) > skin.pixels.size()) {
        return rgb;
    }
    rgb.reserve(size_t(skin.imageWidth) * size_t(skin.imageHeight) * 3);
    for (int y = 0; y < skin.imageHeight; ++y) {
        for (int x = 0; x < skin.imageWidth; ++x) {
            const auto c = texelColour(skin, x, y);
            rgb.insert(rgb.end(), c.begin(), c.end());
        }
    }
    return rgb;
}

ByteBuffer encodeSkinPng(const Skin& skin) {
    const std::vector<uint8_t> rgb = skinRgb(skin);
    ByteBuffer out;
    if (rgb.empty()) {
        return out;
    }
    stbi_write_png_to_func(
        [](void* context, void* data, int size) {
            auto* bytes = static_cast<ByteBuffer*>(context);
            const auto* p = static_cast<const uint8_t*>(data);
            bytes->insert(bytes->end(), p, p + size);
        },
        &out, skin.imageWidth, skin.imageHeight, 3, rgb.data(), skin.imageWidth * 3);
    return out;
}

namespace {

bool isPng(std::span<const uint8_t> bytes);

// Why a BMP or TGA picture cannot be what its header says: the decoder would fill the rows the file
// does not hold with whatever it finds. Nothing for a picture that holds its pixels, or another kind.
std::optional<std::string> truncatedPicture(std::span<const uint8_t> bytes);

// A PNG is given to the picture decoder only when its chunks lie within the file and its pixel data
// inflates to no more than its size needs: the decoder would otherwise make room for whatever a
// chunk's length or the compressed stream claims.
std::optional<std::string> pngRefusal(std::span<const uint8_t> bytes);

// A JPEG is given to the picture decoder only when each of its Huffman tables holds at most the 256
// codes a table has room for: the decoder would otherwise write past the end of its table.
std::optional<std::string> jpegRefusal(std::span<const uint8_t> bytes);

} // namespace

Result<Skin> decodePictureAsSkin(std::span<const uint8_t> bytes) {
    if (bytes.size() > size_t(INT_MAX)) {
        return Failure{"the picture is too large"};
    }
    if (isPng(bytes)) {
        if (std::optional<std::string> refused = pngRefusal(bytes)) {
            return Failure{*refused};
        }
    }
    if (std::optional<std::string> refused = jpegRefusal(bytes)) {
        return Failure{*refused};
    }
    if (std::optional<std::string> refused = truncatedPicture(bytes)) {
        return Failure{*refused};
    }
    int width = 0;
    int height = 0;
    int channels = 0;
    // The size first, from the header: a picture larger than a skin is never decoded.
    if (!stbi_info_from_memory(bytes.data(), int(bytes.size()), &width, &height, &channels)) {
        return Failure{"not a picture that can be read (PNG, JPEG, BMP or TGA)"};
    }
    if (bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M' && height < 0 && height != INT_MIN) {
        height = -height; // rows from the top: a BMP of negative height, which the decoder turns over
    }
    if (width <= 0 || height <= 0 || width > limits::MAX_SKIN_SIDE || height > limits::MAX_SKIN_SIDE) {
        return Failure{limits::skinTooLarge(width, height)};
    }
    std::unique_ptr<uint8_t, void (*)(void*)> pixels(
        stbi_load_from_memory(bytes.data(), int(bytes.size()), &width, &height, &channels, 3),
        stbi_image_free);
    if (!pixels) {
        return Failure{std::string("the picture cannot be decoded: ") + stbi_failure_reason()};
    }
    Skin skin;
    skin.imageWidth = width;
    skin.imageHeight = height;
    skin.bitsPerPixel = 24;
    const size_t stride = size_t(skin.stride());
    skin.imageSize = int32_t(stride * size_t(height));
    skin.pixels.assign(stride * size_t(height), 0);
    for (int y = 0; y < height; ++y) {
        std::copy_n(pixels.get() + size_t(y) * size_t(width) * 3, size_t(width) * 3,
                    skin.pixels.begin() + long(size_t(y) * stride));
    }
    return skin;
}

namespace {

uint32_t bigEndian32(const uint8_t* p) {
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}
uint32_t littleEndian32(const uint8_t* p) {
    return uint32_t(p[3]) << 24 | uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
}

constexpr std::array<uint8_t, 8> PNG_SIGNATURE{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

uint32_t crc32Of(const uint8_t* data, size_t size, uint32_t crc = 0) {
    static const std::array<uint32_t, 256> table = [] {
        std::array<uint32_t, 256> t{};
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k) {
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            }
            t[n] = c;
        }
        return t;
    }();
    crc = ~crc;
    for (size_t i = 0; i < size; ++i) {
        crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    }
    return ~crc;
}

Skin indexedSkin(int width, int height) {
    Skin skin;
    skin.imageWidth = width;
    skin.imageHeight = height;
    skin.bitsPerPixel = 8;
    skin.imageSize = skin.stride() * height;
    skin.pixels.assign(size_t(skin.imageSize), 0);
    skin.palette.assign(256, PaletteEntry{0, 0, 0, 0});
    skin.colorsUsed = 256;
    return skin;
}

// An 8-bit, colour-mapped, not interlaced PNG with its indices; nothing for any other PNG (read in true
// colour then) or a damaged one.
// The chunks of a PNG of 8-bit indices this reader takes: its size, its colours, its compressed data.
struct IndexedPngChunks {
    uint32_t width = 0;
    uint32_t height = 0;
    std::vector<PaletteEntry> palette;
    std::vector<uint8_t> compressed;
};

std::optional<IndexedPngChunks> readIndexedPngChunks(std::span<const uint8_t> bytes) {
    if (bytes.size() < 8 + 25 || !std::equal(PNG_SIGNATURE.begin(), PNG_SIGNATURE.end(), bytes.begin())) {
        return std::nullopt;
    }
    IndexedPngChunks out;
    bool header = false;
    for (size_t at = 8; at + 12 <= bytes.size();) {
        const uint32_t length = bigEndian32(&bytes[at]);
        const std::string_view type(reinterpret_cast<const char*>(&bytes[at + 4]), 4);
        if (length > bytes.size() - at - 12) {
            return std::nullopt;
        }
        const uint8_t* data = &bytes[at + 8];
        if (type == "IHDR") {
            if (length < 13 || data[8] != 8 || data[9] != 3 || data[10] != 0 || data[11] != 0 ||
                data[12] != 0) {
                return std::nullopt; // not 8-bit indices, or interlaced
            }
            out.width = bigEndian32(data);
            out.height = bigEndian32(data + 4);
            header = true;
        } else if (type == "PLTE") {
            for (uint32_t i = 0; i + 3 <= length && out.palette.size() < 256; i += 3) {
                out.palette.push_back({data[i + 2], data[i + 1], data[i], 0});
            }
        } else if (type == "IDAT") {
            out.compressed.insert(out.compressed.end(), data, data + length);
        } else if (type == "IEND") {
            break;
        }
        at += 12 + size_t(length);
    }
    if (!header || out.palette.empty() || out.width == 0 || out.height == 0 ||
        out.width > uint32_t(limits::MAX_SKIN_SIDE) || out.height > uint32_t(limits::MAX_SKIN_SIDE) ||
        out.compressed.size() > size_t(INT_MAX)) {
        return std::nullopt;
    }
    return out;
}

// Undoes one row's filter (0 to 4) in place against the row above; false for an unknown filter.
bool unfilterRow(uint8_t filter, uint8_t* line, const std::vector<uint8_t>& previous, uint32_t width) {
    for (uint32_t x = 0; x < width; ++x) {
        const int left = x > 0 ? line[x - 1] : 0;
        const int up = previous[x];
        const int upLeft = x > 0 ? previous[x - 1] : 0;
        int add = 0;
        switch (filter) {
        case 0:
            break;
        case 1:
            add = left;
            break;
        case 2:
            add = up;
            break;
        case 3:
            add = (left + up) / 2;
            break;
        case 4: {
            const int p = left + up - upLeft;
            const int pa = std::abs(p - left), pb = std::abs(p - up), pc = std::abs(p - upLeft);
            add = pa <= pb && pa <= pc ? left : pb <= pc ? up : upLeft;
            break;
        }
        default:
            return false;
        }
        line[x] = uint8_t(line[x] + add);
    }
    return true;
}

std::optional<Skin> decodeIndexedPng(std::span<const uint8_t> bytes) {
    const std::optional<IndexedPngChunks> chunks = readIndexedPngChunks(bytes);
    if (!chunks) {
        return std::nullopt;
    }
    const uint32_t width = chunks->width;
    const uint32_t height = chunks->height;
    // Into a buffer of exactly the size the header promises: a stream that would inflate further fails.
    const size_t rowBytes = size_t(width) + 1;
    std::vector<uint8_t> raw(rowBytes * height + 1);
    const int got = stbi_zlib_decode_buffer(reinterpret_cast<char*>(raw.data()), int(raw.size()),
                                            reinterpret_cast<const char*>(chunks->compressed.data()),
                                            int(chunks->compressed.size()));
    if (got != int(rowBytes * height)) {
        return std::nullopt;
    }
    Skin skin = indexedSkin(int(width), int(height));
    std::copy(chunks->palette.begin(), chunks->palette.end(), skin.palette.begin());
    const size_t stride = size_t(skin.stride());
    std::vector<uint8_t> previous(width, 0);
    for (uint32_t y = 0; y < height; ++y) {
        uint8_t* line = &raw[y * rowBytes + 1];
        if (!unfilterRow(raw[y * rowBytes], line, previous, width)) {
            return std::nullopt;
        }
        std::copy_n(line, width, &skin.pixels[y * stride]);
        std::copy_n(line, width, previous.begin());
    }
    return skin;
}

// An uncompressed 8-bit BMP with its indices; nothing for any other.
std::optional<Skin> decodeIndexedBmp(std::span<const uint8_t> bytes) {
    if (bytes.size() < 54 || bytes[0] != 'B' || bytes[1] != 'M') {
        return std::nullopt;
    }
    const uint32_t pixelsAt = littleEndian32(&bytes[10]);
    const uint32_t infoSize = littleEndian32(&bytes[14]);
    const auto width = int32_t(littleEndian32(&bytes[18]));
    const auto height = int32_t(littleEndian32(&bytes[22]));
    const uint16_t bits = uint16_t(bytes[28] | bytes[29] << 8);
    const uint32_t compression = littleEndian32(&bytes[30]);
    uint32_t colours = littleEndian32(&bytes[46]);
    if (infoSize < 40 || bits != 8 || compression != 0 || width <= 0 || height == 0 || height == INT32_MIN) {
        return std::nullopt;
    }
    const int32_t rows = std::abs(height);
    if (width > limits::MAX_SKIN_SIDE || rows > limits::MAX_SKIN_SIDE) {
        return std::nullopt;
    }
    colours = colours == 0 || colours > 256 ? 256 : colours;
    const size_t paletteAt = 14 + size_t(infoSize);
    const size_t stride = (size_t(width) + 3) & ~size_t(3);
    if (paletteAt + size_t(colours) * 4 > bytes.size() || pixelsAt > bytes.size() ||
        stride * size_t(rows) > bytes.size() - pixelsAt) {
        return std::nullopt;
    }
    Skin skin = indexedSkin(width, rows);
    for (uint32_t i = 0; i < colours; ++i) {
        const uint8_t* c = &bytes[paletteAt + i * 4];
        skin.palette[i] = {c[0], c[1], c[2], 0};
    }
    for (int32_t y = 0; y < rows; ++y) {
        const int32_t from = height > 0 ? rows - 1 - y : y; // rows bottom first unless the height is negative
        std::copy_n(&bytes[pixelsAt + size_t(from) * stride], size_t(width),
                    &skin.pixels[size_t(y) * size_t(skin.stride())]);
    }
    return skin;
}

std::optional<std::string> truncatedPicture(std::span<const uint8_t> bytes) {
    const std::string shorter = "the picture file is shorter than its header says";
    auto u16 = [&](size_t at) { return uint32_t(bytes[at]) | uint32_t(bytes[at + 1]) << 8; };
    if (bytes.size() >= 54 && bytes[0] == 'B' && bytes[1] == 'M') {
        const uint64_t pixelsAt = littleEndian32(&bytes[10]);
        const int64_t width = int32_t(littleEndian32(&bytes[18]));
        const int64_t height = int32_t(littleEndian32(&bytes[22]));
        const uint32_t bits = u16(28);
        const uint32_t compression = littleEndian32(&bytes[30]);
        if (compression != 0 && compression != 3) {
            return std::nullopt; // run-length coded: its length says nothing
        }
        const uint64_t stride = (uint64_t(std::abs(width)) * bits + 31) / 32 * 4;
        if (pixelsAt + stride * uint64_t(std::abs(height)) > bytes.size()) {
            return shorter;
        }
        return std::nullopt;
    }
    // TGA has no magic: a header of a colour-mapped, true-colour or grey picture, plain or run-length.
    if (bytes.size() < 18 || bytes[1] > 1 || (bytes[2] & ~8u) < 1 || (bytes[2] & ~8u) > 3) {
        return std::nullopt;
    }
    const uint64_t mapBytes = bytes[1] == 1 ? uint64_t(u16(5)) * ((bytes[7] + 7u) / 8) : 0;
    const uint64_t pixelBytes = (bytes[16] + 7u) / 8;
    const uint64_t pixels = uint64_t(u16(12)) * u16(14);
    uint64_t at = 18 + uint64_t(bytes[0]) + mapBytes;
    if (pixelBytes == 0) {
        return std::nullopt;
    }
    if ((bytes[2] & 8) == 0) {
        return at + pixels * pixelBytes > bytes.size() ? std::optional<std::string>(shorter) : std::nullopt;
    }
    // Run-length packets: a count byte, then one pixel repeated or that many pixels.
    for (uint64_t done = 0; done < pixels;) {
        if (at >= bytes.size()) {
            return shorter;
        }
        const uint8_t packet = bytes[at++];
        const uint64_t n = (packet & 0x7F) + 1u;
        at += (packet & 0x80) ? pixelBytes : n * pixelBytes;
        done += n;
    }
    return at > bytes.size() ? std::optional<std::string>(shorter) : std::nullopt;
}

bool isPng(std::span<const uint8_t> bytes) {
    return bytes.size() >= PNG_SIGNATURE.size() &&
           std::equal(PNG_SIGNATURE.begin(), PNG_SIGNATURE.end(), bytes.begin());
}

// Whether the Huffman tables of one DHT segment (`data`, after its length) each hold at most 256 codes
// and lie within it.
bool huffmanTablesFit(std::span<const uint8_t> data) {
    size_t at = 0;
    while (at < data.size()) {
        if (data.size() - at < 17) {
            return false;
        }
        size_t codes = 0;
        for (size_t i = 1; i <= 16; ++i) {
            codes += data[at + i];
        }
        if (codes > 256 || codes > data.size() - at - 17) {
            return false;
        }
        at += 17 + codes;
    }
    return true;
}

std::optional<std::string> jpegRefusal(std::span<const uint8_t> bytes) {
    // The start marker, after any number of fill bytes (the decoder takes them too).
    size_t at = 0;
    while (at < bytes.size() && bytes[at] == 0xFF) {
        ++at;
    }
    if (at == 0 || at >= bytes.size() || bytes[at] != 0xD8) {
        return std::nullopt;
    }
    ++at;
    while (at + 4 <= bytes.size()) {
        if (bytes[at] != 0xFF) {
            ++at; // entropy-coded data of a scan, up to the next marker
            continue;
        }
        const uint8_t marker = bytes[at + 1];
        if (marker == 0xFF || marker == 0x00 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {
            at += marker == 0xFF ? 1 : 2; // fill bytes, a stuffed zero, restart markers: no segment
            continue;
        }
        if (marker == 0xD9) {
            break;
        }
        const size_t length = size_t(bytes[at + 2]) << 8 | bytes[at + 3];
        const bool cut = length < 2 || length > bytes.size() - at - 2;
        // The decoder reads a table segment cut short as if zeros followed: such a table is refused too.
        if (marker == 0xC4 && (cut || !huffmanTablesFit(bytes.subspan(at + 4, length - 2)))) {
            return "the JPEG picture is damaged (a Huffman table holds more codes than there are)";
        }
        if (cut) {
            break; // another segment cut short: the decoder refuses it
        }
        at += 2 + length;
    }
    return std::nullopt;
}

std::optional<std::string> pngRefusal(std::span<const uint8_t> bytes) {
    const std::string damaged = "the PNG picture is damaged";
    size_t at = PNG_SIGNATURE.size();
    uint32_t width = 0, height = 0;
    int depth = 0, type = -1;
    std::vector<uint8_t> compressed;
    while (at + 12 <= bytes.size()) {
        const uint32_t length = bigEndian32(&bytes[at]);
        if (length > bytes.size() - at - 12) {
            return damaged + " (a chunk runs past its end)";
        }
        const std::string_view name(reinterpret_cast<const char*>(&bytes[at + 4]), 4);
        const uint8_t* data = &bytes[at + 8];
        if (name == "IHDR" && length >= 13) {
            width = bigEndian32(data);
            height = bigEndian32(data + 4);
            depth = data[8];
            type = data[9];
        } else if (name == "IDAT") {
            compressed.insert(compressed.end(), data, data + length);
        } else if (name == "IEND") {
            break;
        }
        at += 12 + size_t(length);
    }
    if (at + 12 > bytes.size() && at + 8 <= bytes.size()) {
        // A chunk's length and name with no room for what they announce: the decoder would reserve it.
        return damaged + " (a chunk runs past its end)";
    }
    static const int CHANNELS[7] = {1, 0, 3, 1, 2, 0, 4};
    if (type < 0 || type > 6 || CHANNELS[type] == 0 ||
        (depth != 1 && depth != 2 && depth != 4 && depth != 8 && depth != 16)) {
        return damaged;
    }
    if (width == 0 || height == 0 || width > uint32_t(limits::MAX_SKIN_SIDE) ||
        height > uint32_t(limits::MAX_SKIN_SIDE)) {
        return limits::skinTooLarge(width, height);
    }
    // Room for every row of every interlace pass with its filter byte.
    const size_t rowBytes = (size_t(width) * size_t(CHANNELS[type]) * size_t(depth) + 7) / 8;
    const size_t room = (size_t(height) + 8) * (rowBytes + 8);
    std::vector<uint8_t> inflated(room);
    if (compressed.size() > size_t(INT_MAX) ||
        stbi_zlib_decode_buffer(reinterpret_cast<char*>(inflated.data()), int(room),
                                reinterpret_cast<const char*>(compressed.data()),
                                int(compressed.size())) < 0) {
        return damaged + " (its pixel data does not inflate to its size)";
    }
    return std::nullopt;
}

void appendChunk(ByteBuffer& out, const char* type, const std::vector<uint8_t>& data) {
    const auto put32 = [&](uint32_t v) {
        for (int shift = 24; shift >= 0; shift -= 8) {
            out.push_back(uint8_t(v >> shift));
        }
    };
    put32(uint32_t(data.size()));
    const size_t start = out.size();
    const auto* name = reinterpret_cast<const uint8_t*>(type);
    out.insert(out.end(), name, name + 4);
    out.insert(out.end(), data.begin(), data.end());
    put32(crc32Of(&out[start], out.size() - start));
}

// Lines from (x0, y0) to (x1, y1), cut to the picture, one texel wide.
template <typename Plot>
void drawLine(double x0, double y0, double x1, double y1, int width, int height, Plot plot) {
    // Cut to the picture's box first (a coordinate far outside costs nothing).
    double t0 = 0.0;
    double t1 = 1.0;
    const double dx = x1 - x0;
    const double dy = y1 - y0;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {x0, width - 1 - x0, y0, height - 1 - y0};
    for (int i = 0; i < 4; ++i) {
        if (!std::isfinite(p[i]) || !std::isfinite(q[i])) {
            return;
        }
        if (p[i] == 0.0) {
            if (q[i] < 0.0) {
                return;
            }
        } else {
            const double r = q[i] / p[i];
            if (p[i] < 0.0) {
                t0 = std::max(t0, r);
            } else {
                t1 = std::min(t1, r);
            }
        }
    }
    if (t0 > t1) {
        return;
    }
    const double ax = x0 + t0 * dx, ay = y0 + t0 * dy;
    const double bx = x0 + t1 * dx, by = y0 + t1 * dy;
    const int steps = int(std::ceil(std::max(std::abs(bx - ax), std::abs(by - ay))));
    for (int i = 0; i <= steps; ++i) {
        const double t = steps == 0 ? 0.0 : double(i) / steps;
        const int x = std::clamp(int(std::lround(ax + t * (bx - ax))), 0, width - 1);
        const int y = std::clamp(int(std::lround(ay + t * (by - ay))), 0, height - 1);
        plot(x, y);
    }
}

} // namespace

Result<Skin> decodeSkinPicture(std::span<const uint8_t> bytes) {
    if (!bytes.empty() && bytes[0] == 10) {
        Skin skin;
        if (decodePcx(bytes, skin)) {
            return skin;
        }
        if (pcxSize(bytes)) {
            return Failure{"the PCX picture is damaged, of an unknown depth or larger than a skin may be"};
        }
    }
    if (auto png = decodeIndexedPng(bytes)) {
        return std::move(*png);
    }
    if (auto bmp = decodeIndexedBmp(bytes)) {
        return std::move(*bmp);
    }
    return decodePictureAsSkin(bytes);
}

ByteBuffer encodeSkinPicturePng(const Skin& skin) {
    if (!skin.isIndexed8() || size_t(skin.stride()) * size_t(skin.imageHeight) > skin.pixels.size()) {
        return encodeSkinPng(skin);
    }
    const auto width = size_t(skin.imageWidth);
    const auto height = size_t(skin.imageHeight);
    std::vector<uint8_t> raw;
    raw.reserve((width + 1) * height);
    for (size_t y = 0; y < height; ++y) {
        raw.push_back(0); // no filter
        const uint8_t* row = &skin.pixels[y * size_t(skin.stride())];
        raw.insert(raw.end(), row, row + width);
    }
    int packedSize = 0;
    std::unique_ptr<unsigned char, void (*)(void*)> packed(
        stbi_zlib_compress(raw.data(), int(raw.size()), &packedSize, 8), std::free);
    ByteBuffer out(PNG_SIGNATURE.begin(), PNG_SIGNATURE.end());
    if (!packed) {
        return {};
    }
    std::vector<uint8_t> header(13, 0);
    for (int i = 0; i < 4; ++i) {
        header[size_t(i)] = uint8_t(width >> (24 - 8 * i));
        header[size_t(4 + i)] = uint8_t(height >> (24 - 8 * i));
    }
    header[8] = 8; // bits per index
    header[9] = 3; // colour-mapped
    appendChunk(out, "IHDR", header);
    std::vector<uint8_t> palette;
    for (const PaletteEntry& e : skin.palette) {
        palette.insert(palette.end(), {e[2], e[1], e[0]});
    }
    appendChunk(out, "PLTE", palette);
    appendChunk(out, "IDAT", std::vector<uint8_t>(packed.get(), packed.get() + packedSize));
    appendChunk(out, "IEND", {});
    return out;
}

Skin skinWithMap(const Skin& skin, const std::vector<Triangle>& triangles) {
    Skin out;
    if (skin.isIndexed8() || skin.bitsPerPixel == 24) {
        out = skin;
    } else {
        // 1- and 4-bit pictures are drawn on in true colour.
        out.imageWidth = skin.imageWidth;
        out.imageHeight = skin.imageHeight;
        out.bitsPerPixel = 24;
        out.imageSize = out.stride() * out.imageHeight;
        out.pixels.assign(size_t(std::max(out.imageSize, 0)), 0);
        const std::vector<uint8_t> rgb = skinRgb(skin);
        for (int y = 0; y < out.imageHeight && !rgb.empty(); ++y) {
            std::copy_n(&rgb[size_t(y) * size_t(out.imageWidth) * 3], size_t(out.imageWidth) * 3,
                        &out.pixels[size_t(y) * size_t(out.stride())]);
        }
        out.name = skin.name;
    }
    out.shown.reset();
    out.pcxFile.reset();
    if (!out.hasImage() || size_t(out.stride()) * size_t(out.imageHeight) > out.pixels.size()) {
        return out;
    }
    uint8_t white = 0;
    if (out.bitsPerPixel == 8) {
        DisplayPalette colours{};
        std::copy_n(out.palette.begin(), 256, colours.begin());
        white = nearestColour(colours, 255, 255, 255);
    }
    const size_t stride = size_t(out.stride());
    auto plot = [&](int x, int y) {
        if (out.bitsPerPixel == 8) {
            out.pixels[size_t(y) * stride + size_t(x)] = white;
        } else {
            std::fill_n(&out.pixels[size_t(y) * stride + size_t(x) * 3], 3, uint8_t(255));
        }
    };
    for (const Triangle& t : triangles) {
        for (size_t k = 0; k < 3; ++k) {
            const auto& a = t.st[k];
            const auto& b = t.st[(k + 1) % 3];
            drawLine(a[0], a[1], b[0], b[1], out.imageWidth, out.imageHeight, plot);
        }
    }
    return out;
}

} // namespace faceto
