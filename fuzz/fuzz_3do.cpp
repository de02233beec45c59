// Arbitrary text into the Jedi Knight model reader; an accepted model must be consistent.
#include "formats/ThreeDoReader.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    faceto::Result<faceto::ModelData> model = faceto::parse3do({data, size});
    if (!model) {
        return 0;
    }
    const auto vertices = model->model.vertexInfos.size();
    if (model->frames.empty() || model->frames[0].positions.size() != vertices) {
        std::abort();
    }
    for (const faceto::Triangle& t : model->model.triangles) {
        for (int32_t v : t.v) {
            if (v < 0 || size_t(v) >= vertices || t.group < 0 ||
                size_t(t.group) >= model->model.groups.size()) {
                std::abort();
            }
        }
    }
    return 0;
}
