// Arbitrary bytes into the Quake model reader: an accepted model must be consistent.
#include "formats/MdlReader.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    faceto::Result<faceto::ModelData> model = faceto::parseMdl({data, size});
    if (!model) {
        return 0;
    }
    for (const faceto::Triangle& t : model->model.triangles) {
        for (int32_t v : t.v) {
            if (v < 0 || v >= model->model.vertexCount()) {
                std::abort();
            }
        }
    }
    return 0;
}
