#pragma once

#include "formats/FileIO.h"
#include "model/Model.h"

#include <optional>
#include <span>
#include <string>
#include <vector>

namespace faceto {

// What a native file keeps of a Quake III model in chunks of its own: the tags with their placement in
// every frame, and the header and surfaces (Md3Fields).
ByteBuffer encodeTags(const Model& model, const std::vector<Frame>& frames);
ByteBuffer encodeMd3Fields(const Md3Fields& fields);

// Each fails with the reason when the chunk does not hold what it should, or names vertices, frames or
// corners the model does not have.
std::optional<std::string> decodeTags(std::span<const uint8_t> chunk, Model& model,
                                      std::vector<Frame>& frames);
std::optional<std::string> decodeMd3Fields(std::span<const uint8_t> chunk, size_t vertexCount,
                                           SourceFields& source);

// A name as a stored 64-byte field: cut to 63 bytes, the rest zeros.
Md3Fields::NameField nameFieldOf(const std::string& text);

// The surfaces lie inside a model of `vertexCount` vertices and their triangles inside them.
bool surfacesFit(const Md3Fields& fields, size_t vertexCount);

} // namespace faceto
