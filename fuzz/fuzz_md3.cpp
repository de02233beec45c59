// Arbitrary bytes into the Quake III model reader; whatever it accepts goes through the writer and is read
// again, which must succeed with the same frames and give the same bytes when written once more.
// No picture is looked for, so no file is touched.
#include "formats/Md3.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    faceto::Result<faceto::ModelData> model = faceto::parseMd3({data, size}, nullptr);
    if (!model) {
        return 0;
    }
    auto written = faceto::encodeMd3(model->model, model->frames, model->source, "fuzz.md3");
    if (!written) {
        return 0; // too large for the format's offsets
    }
    const auto& bytes = written->files.front().bytes;
    faceto::Result<faceto::ModelData> again = faceto::parseMd3(bytes, nullptr);
    if (!again || again->frames.size() != model->frames.size()) {
        std::abort();
    }
    auto rewritten = faceto::encodeMd3(again->model, again->frames, again->source, "fuzz.md3");
    if (!rewritten || rewritten->files.front().bytes != bytes) {
        std::abort();
    }
    return 0;
}
