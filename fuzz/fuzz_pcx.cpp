// Arbitrary bytes into the PCX reader; an accepted 8-bit picture must survive the skin writer.
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
    if (skin.bitsPerPixel == 8) {
        faceto::Skin again;
        if (!faceto::decodePcx(faceto::encodeSkinPcx(skin), again) || again.pixels != skin.pixels) {
            std::abort();
        }
    }
    return 0;
}
