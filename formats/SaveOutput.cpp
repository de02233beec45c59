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

OutputFile::OutputFile(std::string path_, ByteBuffer bytes_, std::vector<Piece> pieces_)
    : path(std::move(path_)), bytes(std::move(bytes_)), pieces(std::move(pieces_)) {}

std::vector<std::span<const uint8_t>> OutputFile::parts() const {
    if (pieces.empty()) {
        return {std::span<const uint8_t>(bytes)};
    }
    std::vector<std::span<const uint8_t>> out;
    out.reserve(pieces.size());
    for (const Piece& p : pieces) {
        out.emplace_back(p.external != nullptr ? p.external : bytes.data() + p.offset, p.size);
    }
    return out;
}

ByteBuffer OutputFile::joined() const {
    if (pieces.empty()) {
        return bytes;
    }
    size_t size = 0;
    for (const Piece& p : pieces) {
        size += p.size;
    }
    ByteBuffer out;
    out.reserve(size);
    for (const std::span<const uint8_t> part : parts()) {
        out.insert(out.end(), part.begin(), part.end());
    }
    return out;
}

std::vector<std::string> conflictingFiles(const SaveOutput& output) {
    std::vector<std::string> out;
    for (size_t i = 1; i < output.files.size(); ++i) {
        if (!companionOfExisting(output.files[0].path, output.files[i].path) &&
            existingFileDiffers(output.files[i].path, output.files[i].pieces.empty()
                                                          ? output.files[i].bytes
                                                          : output.files[i].joined())) {
            out.push_back(output.files[i].path);
        }
    }
    return out;
}

Status writeAll(const SaveOutput& output) {
    FileReplacer replacer;
    for (const OutputFile& file : output.files) {
        if (Status staged = replacer.stage(file.path, file.parts()); !staged) {
            return staged;
        }
    }
    return replacer.commit();
}

} // namespace faceto
