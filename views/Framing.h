#pragma once

#include "model/Model.h"
#include "views/CameraMath.h"

#include <array>

namespace faceto {

class CFacetoDoc;
struct ViewState;

// The box around some vertices of a frame.
struct Bounds {
    std::array<float, 3> lo{0, 0, 0};
    std::array<float, 3> hi{0, 0, 0};
    bool valid = false;

    Vec3 centre() const { return {(lo[0] + hi[0]) / 2, (lo[1] + hi[1]) / 2, (lo[2] + hi[2]) / 2}; }
    // Half the box's diagonal; at least a small positive size, so that a point can be framed.
    float radius() const;
};

// The visible vertices of the current frame (only the selected ones with `selectedOnly`); not valid
// when there are none.
Bounds frameBounds(const CFacetoDoc& doc, bool selectedOnly);

// Centres orientation `orientation` of the document on the box and zooms it so that the box fills a
// window of width x height with a margin.
void frameOrtho(ViewState& view, int orientation, int width, int height, const Bounds& bounds);

// The camera turned as `camera` is, moved so that it looks at the box's centre from far enough for the
// box to fill a window of width x height with a margin.
Mat4 frameCamera(const Mat4& camera, const Bounds& bounds, int width, int height);

// The camera of a thumbnail of `frame`, `size` pixels square: of the sides a model is seen from (front,
// side, three-quarter, above), the one whose view of the vertices covers the most; aimed at the middle of
// their projected shape and at the distance where that shape fills `fill` of the picture's width or
// height. `camera` when the frame has no vertex.
Mat4 thumbnailCamera(const Mat4& camera, const Frame& frame, int size, float fill = 0.9f);

// How far the camera moves per pixel of a pan (horizontally, vertically) so that a point at the depth
// of the box's centre (the world origin without a box) follows the pointer.
std::array<float, 2> panUnitsPerPixel(const Mat4& camera, const Bounds& bounds, int height);

} // namespace faceto
