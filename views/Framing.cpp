#include "views/Framing.h"

#include "document/CFacetoDoc.h"
#include "views/Projection.h"
#include "views/ViewState.h"

#include <algorithm>
#include <cmath>

namespace faceto {

namespace {

constexpr float MARGIN = 0.85f; // the part of the window the box fills

} // namespace

float Bounds::radius() const {
    const float dx = hi[0] - lo[0];
    const float dy = hi[1] - lo[1];
    const float dz = hi[2] - lo[2];
    return std::max(0.5f * std::sqrt(dx * dx + dy * dy + dz * dz), 1e-3f);
}

Bounds frameBounds(const CFacetoDoc& doc, bool selectedOnly) {
    Bounds b;
    const Frame* frame = doc.currentFrame();
    if (frame == nullptr) {
        return b;
    }
    const auto& infos = doc.model.vertexInfos;
    const size_t count = std::min(infos.size(), frame->positions.size());
    for (size_t v = 0; v < count; ++v) {
        if (!infos[v].visible() || (selectedOnly && !infos[v].selected())) {
            continue;
        }
        const FrameVertex& p = frame->positions[v];
        for (int a = 0; a < 3; ++a) {
            if (!std::isfinite(p[a])) {
                continue;
            }
            b.lo[size_t(a)] = b.valid ? std::min(b.lo[size_t(a)], p[a]) : p[a];
            b.hi[size_t(a)] = b.valid ? std::max(b.hi[size_t(a)], p[a]) : p[a];
        }
        b.valid = true;
    }
    return b;
}

void frameOrtho(ViewState& view, int orientation, int width, int height, const Bounds& bounds) {
    if (!bounds.valid || width <= 0 || height <= 0 || !(view.zoomFactor > 0.0f)) {
        return;
    }
    OrthoViewState& s = view.orthoViews[size_t(std::clamp(orientation, 0, 2))];
    s.centerU = (bounds.lo[size_t(s.axisU)] + bounds.hi[size_t(s.axisU)]) / 2;
    s.centerV = (bounds.lo[size_t(s.axisV)] + bounds.hi[size_t(s.axisV)]) / 2;
    // A flat box (one axis of no extent) is framed by its other axis; a point by a small size.
    const float extentU = std::max(bounds.hi[size_t(s.axisU)] - bounds.lo[size_t(s.axisU)], 1e-3f);
    const float extentV = std::max(bounds.hi[size_t(s.axisV)] - bounds.lo[size_t(s.axisV)], 1e-3f);
    const float scale = MARGIN * std::min(float(width) / extentU, float(height) / extentV);
    s.zoom = std::clamp(scale / view.zoomFactor, 1e-6f, 1e6f);
}

Mat4 frameCamera(const Mat4& camera, const Bounds& bounds, int width, int height) {
    if (!bounds.valid || width <= 1 || height <= 1) {
        return camera;
    }
    const Projection projection(width, height);
    const Vec3 c = bounds.centre();
    // The box's corners as the camera is turned, about the centre. A corner (x, y, z) at distance d lies
    // on the screen within the margin when |a x| <= (z + d) * MARGIN * w/2, and so for y: the nearest
    // distance at which all eight do. The camera stays out of the box in any case.
    const float halfWidth = MARGIN * float(width) / 2;
    const float halfHeight = MARGIN * float(height) / 2;
    const float r = bounds.radius();
    float distance = 0.0f;
    for (int corner = 0; corner < 8; ++corner) {
        const float p[3] = {(corner & 1 ? bounds.hi[0] : bounds.lo[0]) - c.x,
                            (corner & 2 ? bounds.hi[1] : bounds.lo[1]) - c.y,
                            (corner & 4 ? bounds.hi[2] : bounds.lo[2]) - c.z};
        float q[3];
        for (size_t row = 0; row < 3; ++row) {
            q[row] = camera.m[row][0] * p[0] + camera.m[row][1] * p[1] + camera.m[row][2] * p[2];
        }
        distance = std::max({distance, std::abs(projection.a * q[0]) / halfWidth - q[2],
                             std::abs(projection.b * q[1]) / halfHeight - q[2], 0.05f * r - q[2]});
    }
    if (!std::isfinite(distance)) {
        return camera;
    }
    Mat4 framed = camera;
    // Keep the camera's turn; move it so that the centre lies straight ahead at that distance.
    for (size_t row = 0; row < 3; ++row) {
        const float rotated = camera.m[row][0] * c.x + camera.m[row][1] * c.y + camera.m[row][2] * c.z;
        framed.m[row][3] = (row == 2 ? distance : 0.0f) - rotated;
    }
    return framed;
}

std::array<float, 2> panUnitsPerPixel(const Mat4& camera, const Bounds& bounds, int height) {
    const Vec3 c = bounds.valid ? bounds.centre() : Vec3{0, 0, 0};
    const float depth = camera.transformPoint(c.x, c.y, c.z).z;
    if (!(depth > 0.0f) || height <= 1) {
        return {1.0f, 1.0f};
    }
    const Projection projection(height, height);
    return {depth / std::abs(projection.a), depth / std::abs(projection.b)};
}

} // namespace faceto
