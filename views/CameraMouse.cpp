#include "views/CameraMouse.h"

#include <cstdlib>

namespace faceto {

void CameraMouse::press(MouseButton button, int x, int y, bool leftHeld, bool rightHeld, MouseHost& host) {
    if (button == MouseButton::Left) {
        if (rightActive || rightHeld) {
            return;
        }
        rotating = true;
        leftActive = true;
        releaseOnLeftUp = releaseOnRightUp = false;
        host.capture();
        lastX = x;
        lastY = y;
        dragStarted = false;
        return;
    }
    if (leftActive || leftHeld) {
        rotating = false; // the orbit pauses while both buttons are down
        bothButtons = true;
        return;
    }
    panArmed = true;
    rightActive = true;
    releaseOnLeftUp = releaseOnRightUp = false;
    host.capture();
    dragStarted = false;
    lastX = x;
    lastY = y;
}

void CameraMouse::move(int x, int y, bool leftHeld, Mat4& camera, MouseHost& host) {
    if (!host.hasCapture()) {
        return;
    }
    if (leftActive && rotating) {
        const float spin = float(lastX - x) * RADIANS_PER_PIXEL;
        const float tilt = float(y - lastY) * RADIANS_PER_PIXEL;
        // Turn the world about its own z axis and about the camera's horizontal axis through the origin.
        const float tx = camera.m[0][3];
        const float ty = camera.m[1][3];
        const float tz = camera.m[2][3];
        camera = Mat4::translation(tx, ty, tz) * Mat4::rotationX(tilt) * Mat4::translation(-tx, -ty, -tz) *
                 camera * Mat4::rotationZ(spin);
        lastX = x;
        lastY = y;
        host.repaintSelf();
    } else if (leftActive && bothButtons) {
        lastX = x;
        lastY = y;
        host.repaintSelf();
    } else if (rightActive && !dragStarted) {
        // The first pan step is measured from the press point once the pointer has left its surroundings.
        if (std::abs(x - lastX) > 2 || std::abs(y - lastY) > 2) {
            dragStarted = true;
        }
    } else if (rightActive && dragStarted && panArmed) {
        const float dx = float(lastX - x) * unitsPerPixelX;
        const float dy = float(lastY - y) * unitsPerPixelY;
        camera = (leftHeld ? Mat4::translation(dx, 0, dy) : Mat4::translation(dx, dy, 0)) * camera;
        lastX = x;
        lastY = y;
        host.repaintSelf();
    }
}

void CameraMouse::release(MouseButton button, bool leftHeld, bool rightHeld, MouseHost& host) {
    if (button == MouseButton::Left) {
        if (leftActive) {
            leftActive = false;
            if (rightHeld) {
                releaseOnRightUp = true;
            } else if (host.hasCapture()) {
                host.release();
            }
            rotating = false;
            bothButtons = false;
        }
        if (releaseOnLeftUp && host.hasCapture()) {
            host.release();
        }
        releaseOnLeftUp = false;
        return;
    }
    if (rightActive) {
        rightActive = false;
        if (leftHeld) {
            releaseOnLeftUp = true;
        } else if (host.hasCapture()) {
            host.release();
        }
        panArmed = false;
    } else {
        rotating = true; // the paused orbit goes on
        bothButtons = false;
    }
    if (releaseOnRightUp && host.hasCapture()) {
        host.release();
    }
    releaseOnRightUp = false;
}

} // namespace faceto
