#pragma once

#include "formats/FileIO.h"
#include "formats/SaveOutput.h"
#include "model/Model.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace faceto {

// The editor's own model file (".fm", magic "HBFM"): the mesh with every frame, the per-vertex
// flags and the per-triangle group and colour words, so that editing resumes exactly. After the last
// frame an optional section keeps the skins (name, size, depth, palette, pixels) and the groups (name,
// colour, visibility); files without it read as before, and readers that stop after the frames do not
// see it.

// Parses a native file. Fails with the reason on anything the file's length or its own counts cannot
// support: a name length outside 1..256, no frame, a truncated file, or a triangle corner outside the
// vertex list. On success the model (with its edges built), the frames in file order and the five
// source fields; the skins and groups of the section after the frames, when there is one.
Result<ModelData> parseNative(std::span<const uint8_t> bytes);
// The same, read from the file at `path` as it is parsed: the frames' positions go straight from the
// file into frame memory, so a large file is not held twice. Fails as parseNative does, or with the
// reason the file could not be read.
Result<ModelData> readNativeFile(const std::string& path);

ByteBuffer encodeNative(const Model& model, const std::vector<Frame>& frames, const SourceFields& source);
// The same file as pieces, the frames' positions taken from the frames themselves (which must outlive
// the file's writing): a save of a large model copies them no more.
OutputFile nativeOutputFile(const std::string& path, const Model& model, const std::vector<Frame>& frames,
                            const SourceFields& source);

// Fails when the file cannot be written; the previous file at `path` then stays as it was.
Status writeNative(const std::string& path, const Model& model, const std::vector<Frame>& frames,
                   const SourceFields& source);

} // namespace faceto
