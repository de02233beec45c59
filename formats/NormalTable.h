#pragma once

#include <array>

namespace faceto {

// The 162 vertex normals of the Quake 2 model format, indexed by the fourth byte of a packed vertex.
extern const std::array<std::array<float, 3>, 162> MD2_NORMALS;

// The entry with the largest dot product with (x, y, z), computed in float, the first (lowest) index on a
// tie and 0 for a zero vector: the search over all 162 entries, one after the other.
int closestNormalByScan(float x, float y, float z);

// The same answer, found among the few entries near the direction: the directions are split into the
// cells of a cube, and each cell lists every entry that can be the closest for some direction in it.
int closestNormal(float x, float y, float z);

} // namespace faceto
