#pragma once

#include "model/Model.h"

#include <array>

namespace faceto {

// Selection works on visible vertices only; a hidden vertex keeps its selected bit as it is.
void selectAll(Model& model);
void selectNone(Model& model);

// Scales the visible, selected vertices of `frame` about the centre of their bounding box, one
// factor per axis (1.0 for a locked axis). Nothing happens when no vertex qualifies.
void scaleSelection(const Model& model, Frame& frame, const std::array<float, 3>& factors);

} // namespace faceto
