#pragma once

#include "formats/Result.h"
#include "model/Model.h"

#include <cstdint>
#include <span>

namespace faceto {

// Reads a Jedi Knight model (".3do" text) into one frame: the meshes of geometry set `geometrySet`
// become groups, their polygons fans of triangles, and the hierarchy the skeleton nodes, with every
// vertex moved from its mesh's space into model space. Coordinates are scaled by 1000. A vertex, face
// or hierarchy block that the file does not complete, a corner outside the vertex list, a parent that
// is not a node, or a file without geometry, fails.
Result<ModelData> parse3do(std::span<const uint8_t> bytes, int geometrySet = 0);

} // namespace faceto
