#include "formats/Pictures.h"

#include "formats/Limits.h"
#include "model/Palette.h"

#include <stb_image.h>
#include <stb_image_write.h>

#include <algorithm>
#include <climits>
#include <memory>

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

Result<Skin> decodePictureAsSkin(std::span<const uint8_t> bytes) {
    if (bytes.size() > size_t(INT_MAX)) {
        return Failure{"the picture is too large"};
    }
    int width = 0;
    int height = 0;
    int channels = 0;
    // The size first, from the header: a picture larger than a skin is never decoded.
    if (!stbi_info_from_memory(bytes.data(), int(bytes.size()), &width, &height, &channels)) {
        return Failure{"not a picture that can be read (PNG, JPEG, BMP or TGA)"};
    }
    if (width <= 0 || height <= 0 || width > limits::MAX_SKIN_SIDE || height > limits::MAX_SKIN_SIDE) {
        return Failure{limits::skinTooLarge(width, height)};
    }
    std::unique_ptr<uint8_t, void (*)(void*)> pixels(
        stbi_load_from_memory(bytes.data(), int(bytes.size()), &width, &height, &channels, 3), stbi_image_free);
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
        std::copy_n(pixels.get() + size_t(y) * size_t(width) * 3, size_t(width) * 3, skin.pixels.begin() + long(size_t(y) * stride));
    }
    return skin;
}

} // namespace faceto
