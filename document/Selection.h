#pragma once

#include "model/Model.h"

#include <array>
#include <cstdint>
#include <vector>

namespace faceto {

// Selection works on visible vertices only; a hidden vertex keeps its selected bit as it is.
void selectAll(Model& model);
void selectNone(Model& model);

// Some vertices of a frame with new positions for them.
struct VertexPositions {
    std::vector<int32_t> vertices;
    std::vector<FrameVertex> positions;
};

// The visible, selected vertices of `frame` scaled about the centre of their bounding box, one factor
// per axis (1.0 for a locked axis). Empty when no vertex qualifies.
VertexPositions scaledSelection(const Model& model, const Frame& frame, const std::array<float, 3>& factors);
// Scales them in place.
void scaleSelection(const Model& model, Frame& frame, const std::array<float, 3>& factors);

} // namespace faceto
