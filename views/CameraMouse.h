#pragma once

#include "views/CameraMath.h"
#include "views/MouseHost.h"

namespace faceto {

// Turning and moving a camera with the mouse. A left drag orbits the world about its origin (1/70
// radian per pixel), a right drag pans once the pointer has moved more than 2 pixels from the press
// (dollies while the left button is held too), by the window's units per pixel; pressing the right button
// during a left drag pauses the orbit until it is released. Each drag holds the mouse capture until its
// button comes up.
class CameraMouse {
public:
    static constexpr float RADIANS_PER_PIXEL = 0.014285714285714285f;

    void press(MouseButton button, int x, int y, bool leftHeld, bool rightHeld, MouseHost& host);
    // `leftHeld` is the left button's state during the move.
    void move(int x, int y, bool leftHeld, Mat4& camera, MouseHost& host);
    void release(MouseButton button, bool leftHeld, bool rightHeld, MouseHost& host);

    bool leftActive = false;
    bool rightActive = false;
    bool rotating = false;
    bool bothButtons = false;
    bool panArmed = false;
    bool dragStarted = false;
    bool releaseOnLeftUp = false;
    bool releaseOnRightUp = false;
    int lastX = 0;
    int lastY = 0;
    // World units a pan moves the camera per pixel, horizontally and vertically (set by the window so that
    // the model follows the pointer at its own depth).
    float unitsPerPixelX = 1.0f;
    float unitsPerPixelY = 1.0f;
};

} // namespace faceto
