#pragma once

#include <array>

namespace faceto {

// The rules of the tools that the 2D views and the skin view share: each tool's rule lives here once.

// The rotate tool turns by a degree per pixel the pointer moved right (clockwise as the view shows it);
// with Shift in steps of 15 degrees, to the nearest step.
class RotateTool {
public:
    static int degrees(double pixelsRight, bool steps);
};

// The scale tool grows what it scales by a tenth a step where the pointer moves right or up and shrinks
// it where it moves left or down (a fiftieth with Shift). With the left button every way grows alike, by
// whichever way the pointer moved the more; with the right one the view's horizontal and vertical
// axes each follow their own movement.
class ScaleTool {
public:
    // One step's factor along a direction: `along` > 0 grows, < 0 shrinks, 0 keeps.
    static float factor(int along, bool fine);
    // The factors {horizontal, vertical} of one step of `right` pixels right and `up` pixels up.
    static std::array<float, 2> factors(int right, int up, bool alike, bool fine);
};

} // namespace faceto
