#pragma once

#include "model/Model.h"

#include <array>
#include <cstdint>
#include <vector>

namespace faceto {

// Selection works on visible vertices only; a hidden vertex keeps its selected bit as it is.
void selectAll(Model& model);
void selectNone(Model& model);

class CFacetoDoc;

// The selection operations the views use. Each tells the document's views that the selection changed.
//
// A gesture in progress marks what it would select (the marks are drawn as the selection is) until it
// ends: `markVertices` adds marks, `markOnly` leaves exactly these of the visible vertices marked (hidden
// ones keep theirs), and `endMarks` turns the marks into selected vertices, flips the marked vertices'
// selection, or only forgets them.
void markVertices(CFacetoDoc& doc, const std::vector<int32_t>& vertices);
void markOnly(CFacetoDoc& doc, const std::vector<int32_t>& vertices);
enum class MarksBecome { Selected, Toggled, Nothing };
void endMarks(CFacetoDoc& doc, MarksBecome what);
// A click on a triangle: its visible vertices become selected, or all of its vertices unselected when
// the three were selected already.
void toggleTriangle(CFacetoDoc& doc, int32_t triangle);

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
