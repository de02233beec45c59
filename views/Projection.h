#pragma once

#include "render/Rasterizer.h"
#include "views/CameraMath.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace faceto {

// Float to whole pixels as C truncates, kept within +-2^28 so that halving clipped edges cannot
// overflow (a point that far off the window lies on the same side of it either way).
inline int32_t toPixel(float value) {
    constexpr float LIMIT = 268435456.0f;
    if (!(value == value)) {
        return 0;
    }
    return int32_t(std::min(std::max(value, -LIMIT), LIMIT)); // no NaN here: a plain min and max
}

// The perspective of the camera views for a frame of width w and height h: both scales follow the
// height, the horizontal one 4/3 of the vertical one, and the picture is centred.
struct Projection {
    static constexpr float VIEW_HEIGHT_UNITS = 3.2f;
    static constexpr float VIEW_WIDTH_UNITS = 2.4f;
    static constexpr float FOCAL_UNITS = 4.0f;

    float a = 0.0f;
    float b = 0.0f;
    int cx = 0;
    int cy = 0;
    int h = 0;

    Projection(int width, int height)
        : a(-FOCAL_UNITS * float(height - 1) / VIEW_WIDTH_UNITS),
          b(-FOCAL_UNITS * float(height - 1) / VIEW_HEIGHT_UNITS), cx(width / 2), cy(height / 2), h(height) {}

    // A camera-space point in front of the camera (z > 0) as a frame-buffer pixel (rows upwards).
    Pixel project(Vec3 p) const {
        return {toPixel((p.x * a + p.z * float(cx)) / p.z), h - toPixel((p.y * b + p.z * float(cy)) / p.z)};
    }
};

} // namespace faceto
