#pragma once

#include "formats/FormatTable.h"
#include "formats/Result.h"
#include "formats/SaveOutput.h"

#include <span>
#include <string>
#include <vector>

namespace faceto {

// Frame `context.frame` of the model as Wavefront OBJ: one "v" per vertex in the model's order (so
// that the pose can come back), the distinct skin coordinates, the triangles (counter-clockwise, as
// OBJ's front faces run), and beside it an .mtl naming the current skin, written as a PNG. Axes as in
// glTF: y up, z forward.
Result<SaveOutput> exportObj(const ModelRef& model, const std::string& path, const WriteContext& context);

// An OBJ file as a one-frame model: its vertices in file order, polygons split into fans, texture
// coordinates, and the picture of the first material used (read through `context.readBeside`).
Result<ModelData> importObj(std::span<const uint8_t> bytes, const ReadContext& context);

// Only the vertex positions of an OBJ file, in the model's axes and file order: a pose to put back.
Result<std::vector<FrameVertex>> readObjPositions(std::span<const uint8_t> bytes);

} // namespace faceto
