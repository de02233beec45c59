// Arbitrary bytes as a picture to import as a skin: a picture that is accepted has the pixels its size
// says, and an 8-bit one comes back from the PNG it is exported as with the same indices and palette.
#include "formats/Limits.h"
#include "formats/Pictures.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    faceto::Result<faceto::Skin> skin = faceto::decodeSkinPicture({data, size});
    if (!skin) {
        return 0;
    }
    if (skin->imageWidth <= 0 || skin->imageHeight <= 0 || skin->imageWidth > faceto::limits::MAX_SKIN_SIDE ||
        skin->imageHeight > faceto::limits::MAX_SKIN_SIDE ||
        skin->pixels.size() < size_t(skin->stride()) * size_t(skin->imageHeight)) {
        std::abort();
    }
    if (skin->isIndexed8()) {
        const faceto::ByteBuffer png = faceto::encodeSkinPicturePng(*skin);
        faceto::Result<faceto::Skin> back = faceto::decodeSkinPicture(png);
        if (!back || back->palette != skin->palette || back->imageWidth != skin->imageWidth) {
            std::abort();
        }
        for (int y = 0; y < skin->imageHeight; ++y) {
            for (int x = 0; x < skin->imageWidth; ++x) {
                const size_t at = size_t(y) * size_t(skin->stride()) + size_t(x);
                if (back->pixels[at] != skin->pixels[at]) {
                    std::abort();
                }
            }
        }
    }
    return 0;
}
