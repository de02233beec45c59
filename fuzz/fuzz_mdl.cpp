// Arbitrary bytes into the Quake model reader: an accepted model must be consistent, and writing it as
// a Quake model again must give a file the reader accepts with the same triangles and frames.
#include "formats/MdlReader.h"
#include "formats/MdlWriter.h"

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
    faceto::applyPalette(model->model, faceto::builtInPalette());
    faceto::Result<faceto::MdlOutput> written =
        faceto::encodeMdl(model->model, model->frames, model->source, faceto::builtInPalette());
    if (!written) {
        return 0; // a skin too large to write back is refused, never half written
    }
    faceto::Result<faceto::ModelData> back = faceto::parseMdl(written->bytes);
    if (!back || back->model.triangleCount() != model->model.triangleCount() ||
        back->frames.size() != model->frames.size() ||
        back->model.vertexCount() < model->model.vertexCount()) {
        std::abort();
    }
    return 0;
}
