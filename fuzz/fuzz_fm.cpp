// Feeds arbitrary bytes to the native model reader; whatever it accepts must survive a write and a
// second read unchanged.
#include "formats/NativeFormat.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    faceto::Result<faceto::ModelData> model = faceto::parseNative({data, size});
    if (!model) {
        return 0;
    }
    const faceto::ByteBuffer again = faceto::encodeNative(model->model, model->frames, model->source);
    faceto::Result<faceto::ModelData> reread = faceto::parseNative(again);
    if (!reread || reread->frames.size() != model->frames.size() ||
        reread->model.triangles.size() != model->model.triangles.size()) {
        std::abort();
    }
    return 0;
}
