// Arbitrary bytes into the OBJ reader: an accepted model must be consistent.
#include "formats/Obj.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    faceto::Result<faceto::ModelData> model = faceto::importObj({data, size}, faceto::ReadContext{});
    if (!model) {
        return 0;
    }
    const int32_t vertices = model->model.vertexCount();
    for (const faceto::Triangle& t : model->model.triangles) {
        for (int32_t v : t.v) {
            if (v < 0 || v >= vertices) {
                std::abort();
            }
        }
    }
    if (model->frames.size() != 1 || model->frames[0].positions.size() != size_t(vertices)) {
        std::abort();
    }
    return 0;
}
