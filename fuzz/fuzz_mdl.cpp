// Arbitrary bytes into the Quake model reader.
#include "formats/MdlReader.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    faceto::ModelData model;
    if (faceto::parseMdl({data, size}, model)) {
        for (const faceto::Triangle& t : model.model.triangles) {
            for (int32_t v : t.v) {
                if (v < 0 || v >= model.model.vertexCount()) {
                    std::abort();
                }
            }
        }
    }
    return 0;
}
