// Arbitrary bytes into the Quake 2 model reader; whatever it accepts goes through the writer and is read
// again, which must succeed. Skin names lead nowhere, so no file outside the input is touched.
#include "formats/Md2Reader.h"
#include "formats/Md2Writer.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const faceto::SkinSearch nowhere{"/nonexistent/", "/nonexistent/"};
    faceto::ModelData model;
    if (!faceto::parseMd2({data, size}, model, nowhere)) {
        return 0;
    }
    auto written = faceto::encodeMd2(model.model, model.frames, model.source, {});
    faceto::ModelData again;
    if (!written || !faceto::parseMd2(*written, again, nowhere) || again.frames.size() != model.frames.size()) {
        std::abort();
    }
    return 0;
}
