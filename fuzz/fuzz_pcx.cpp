// Arbitrary bytes into the PCX reader; an accepted picture must survive the skin writer unchanged.
#include "formats/Pcx.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    faceto::Skin skin;
    if (!faceto::decodePcx({data, size}, skin)) {
        return 0;
    }
    if (skin.pixels.size() != size_t(skin.stride()) * size_t(skin.imageHeight)) {
        std::abort();
    }
    // 1- and 4-bit pictures come back widened to 8 bits; 8- and 24-bit ones exactly.
    if (skin.bitsPerPixel == 8 || skin.bitsPerPixel == 24) {
        faceto::Skin again;
        if (!faceto::decodePcx(faceto::encodeSkinPcx(skin), again) || again.pixels != skin.pixels) {
            std::abort();
        }
    }
    return 0;
}
