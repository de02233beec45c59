#include "formats/SaveOutput.h"

namespace faceto {

namespace {

std::string stemOf(const std::string& path) {
    const std::string name = fileNameOf(path);
    return name.substr(0, name.rfind('.'));
}

// A file named after the model file in its folder ("hero.bin" beside "hero.gltf") that the model file,
// being there already, was written with: an earlier save of the same model, its own to replace.
bool companionOfExisting(const std::string& model, const std::string& companion) {
    return folderOf(model) == folderOf(companion) && stemOf(model) == stemOf(companion) && fileStamp(model);
}

} // namespace

std::vector<std::string> conflictingFiles(const SaveOutput& output) {
    std::vector<std::string> out;
    for (size_t i = 1; i < output.files.size(); ++i) {
        if (!companionOfExisting(output.files[0].path, output.files[i].path) &&
            existingFileDiffers(output.files[i].path, output.files[i].bytes)) {
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
