#pragma once

#include "formats/FileIO.h"

#include <string>
#include <vector>

namespace faceto {

struct OutputFile {
    std::string path;
    ByteBuffer bytes;
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
