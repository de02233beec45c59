// Arbitrary bytes into the Quake 2 model reader; whatever it accepts goes through the writer and is read
// again, which must succeed. Skin names are looked up in memory, so no file is touched.
#include "formats/Md2Reader.h"
#include "formats/Md2Writer.h"
#include "formats/SkinLoader.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    faceto::MemorySkinLoader nowhere;
    faceto::Result<faceto::ModelData> model = faceto::parseMd2({data, size}, nowhere);
    if (!model) {
        return 0;
    }
    auto written = faceto::encodeMd2(model->model, model->frames, model->source, {});
    if (!written) {
        std::abort();
    }
    faceto::Result<faceto::ModelData> again = faceto::parseMd2(*written, nowhere);
    if (!again || again->frames.size() != model->frames.size()) {
        std::abort();
    }
    return 0;
}
