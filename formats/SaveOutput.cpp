#include "formats/SaveOutput.h"

namespace faceto {

std::vector<std::string> conflictingFiles(const SaveOutput& output) {
    std::vector<std::string> out;
    for (size_t i = 1; i < output.files.size(); ++i) {
        if (existingFileDiffers(output.files[i].path, output.files[i].bytes)) {
            out.push_back(output.files[i].path);
        }
    }
    return out;
}

Status writeAll(const SaveOutput& output) {
    FileReplacer replacer;
    for (const OutputFile& file : output.files) {
        if (Status staged = replacer.stage(file.path, file.bytes); !staged) {
            return staged;
        }
    }
    return replacer.commit();
}

} // namespace faceto
