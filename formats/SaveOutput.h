#pragma once

#include "formats/FileIO.h"

#include <span>
#include <string>
#include <vector>

namespace faceto {

struct OutputFile {
    struct Piece;
    OutputFile() = default;
    OutputFile(std::string path_, ByteBuffer bytes_, std::vector<Piece> pieces_ = {});

    std::string path;
    ByteBuffer bytes;
    // A large file written without copying the model's memory: when there are pieces, the file is
    // them, in order, each a run of `bytes` or (with `external`) memory that outlives the save, such as
    // a frame's positions.
    struct Piece {
        size_t offset = 0;
        size_t size = 0;
        const uint8_t* external = nullptr;
    };
    std::vector<Piece> pieces;

    // What the file holds, piece by piece.
    std::vector<std::span<const uint8_t>> parts() const;
    // What the file holds, in one buffer.
    ByteBuffer joined() const;
};

// Everything one save writes: the model file first, then the files that go beside it (the skins of
// a Quake 2 model).
struct SaveOutput {
    std::vector<OutputFile> files;
    std::vector<std::string> skinNames; // the names the model's skins take once saved; empty: unchanged
    // What the user should know about the files written (vertices split, limits of the games passed).
    std::vector<std::string> notices;
};

// The files beside the model (all but the first) that exist already with other bytes than this save
// writes: replacing one of them may destroy another model's skin. A file named after the model file
// that is there already (the .bin and .png of an earlier glTF export of it) is its own, not in the way.
std::vector<std::string> conflictingFiles(const SaveOutput& output);

// Writes every file, or none of them (the old files then stay as they were).
Status writeAll(const SaveOutput& output);

} // namespace faceto
