// Arbitrary bytes into the glTF reader (no files beside it): an accepted model must be consistent.
#include "formats/Gltf.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    faceto::Result<faceto::ModelData> model = faceto::importGltf({data, size}, faceto::ReadContext{});
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
    for (const faceto::Frame& f : model->frames) {
        if (f.positions.size() != size_t(vertices)) {
            std::abort();
        }
    }
    return 0;
}
