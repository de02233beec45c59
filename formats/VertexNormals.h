#pragma once

#include "model/Model.h"

#include <array>
#include <cstdint>
#include <vector>

namespace faceto {

// For each vertex of the frame, the index of the nearest of the 162 standard normals to the average of
// the unit normals of the triangles around it (index 0 for a vertex no triangle uses), as the Quake
// model formats store them.
void vertexNormalIndices(const Model& model, const Frame& frame, std::vector<uint8_t>& indices);

// A model's triangle corners, taken once for the normals of many frames: a pass over them stays in the
// cache where one over whole triangles would not.
struct TriangleCorners {
    explicit TriangleCorners(const Model& model);
    std::vector<std::array<int32_t, 3>> corners;
    size_t vertexCount;
};
void vertexNormalIndices(const TriangleCorners& mesh, const Frame& frame, std::vector<uint8_t>& indices);

} // namespace faceto
