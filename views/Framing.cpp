#include "views/Framing.h"

#include "document/CFacetoDoc.h"
#include "views/Projection.h"
#include "views/ViewState.h"

#include <algorithm>
#include <cmath>
#include <optional>

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
    const auto& infos = doc.model().vertexInfos;
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

namespace {

// The area the points cover seen along `forward` (with `up` upwards), as the box of their projection.
float coveredArea(const Positions& points, Vec3 forward, Vec3 up) {
    const Vec3 right = normalize(cross(up, forward));
    const Vec3 top = normalize(cross(forward, right));
    float lo[2] = {0, 0};
    float hi[2] = {0, 0};
    bool first = true;
    for (const FrameVertex& p : points) {
        const Vec3 v{p.x, p.y, p.z};
        const float at[2] = {dot(v, right), dot(v, top)};
        if (!std::isfinite(at[0]) || !std::isfinite(at[1])) {
            continue;
        }
        for (int k = 0; k < 2; ++k) {
            lo[k] = first ? at[k] : std::min(lo[k], at[k]);
            hi[k] = first ? at[k] : std::max(hi[k], at[k]);
        }
        first = false;
    }
    return (hi[0] - lo[0]) * (hi[1] - lo[1]);
}

// The extent of the points' projection in pixels, {centre x, centre y, largest side / size}, or none
// when a point lies behind the camera.
std::optional<std::array<float, 3>> projectedExtent(const Mat4& camera, const Positions& points, int size) {
    const Projection projection(size, size);
    float lo[2] = {0, 0};
    float hi[2] = {0, 0};
    bool first = true;
    for (const FrameVertex& p : points) {
        const Vec3 c = camera.transformPoint(p.x, p.y, p.z);
        if (!std::isfinite(c.x) || !std::isfinite(c.y) || !std::isfinite(c.z)) {
            continue;
        }
        if (!(c.z > 0.0f)) {
            return std::nullopt;
        }
        const float at[2] = {c.x * projection.a / c.z, c.y * projection.b / c.z};
        for (int k = 0; k < 2; ++k) {
            lo[k] = first ? at[k] : std::min(lo[k], at[k]);
            hi[k] = first ? at[k] : std::max(hi[k], at[k]);
        }
        first = false;
    }
    return std::array<float, 3>{(lo[0] + hi[0]) / 2, (lo[1] + hi[1]) / 2,
                                std::max(hi[0] - lo[0], hi[1] - lo[1]) / float(size)};
}

} // namespace

Mat4 thumbnailCamera(const Mat4& camera, const Frame& frame, int size, float fill) {
    Bounds bounds;
    for (const FrameVertex& p : frame.positions) {
        for (int a = 0; a < 3; ++a) {
            if (std::isfinite(p[a])) {
                bounds.lo[size_t(a)] = bounds.valid ? std::min(bounds.lo[size_t(a)], p[a]) : p[a];
                bounds.hi[size_t(a)] = bounds.valid ? std::max(bounds.hi[size_t(a)], p[a]) : p[a];
            }
        }
        bounds.valid = true;
    }
    if (!bounds.valid || size <= 1) {
        return camera;
    }
    // The sides, from the front (Quake models face +x) round to above; the first of the largest wins.
    const std::pair<Vec3, Vec3> sides[] = {{{-1, 0, 0}, {0, 0, 1}},
                                           {{0, -1, 0}, {0, 0, 1}},
                                           {{-1, -1, -0.7f}, {0, 0, 1}},
                                           {{-1, 1, -0.7f}, {0, 0, 1}},
                                           {{0, 0, -1}, {-1, 0, 0}}};
    size_t best = 0;
    float bestArea = -1.0f;
    for (size_t k = 0; k < std::size(sides); ++k) {
        const float area = coveredArea(frame.positions, normalize(sides[k].first), sides[k].second);
        if (area > bestArea * 1.05f) { // another side must show clearly more
            best = k;
            bestArea = area;
        }
    }
    const Vec3 forward = normalize(sides[best].first);
    const Vec3 up = sides[best].second;
    Vec3 target = bounds.centre();
    float distance = 3.0f * bounds.radius();
    Mat4 framed = camera;
    // Aim and distance converge in a few steps: the shape is moved to the middle, then scaled to fill.
    for (int step = 0; step < 8; ++step) {
        const Vec3 eye{target.x - forward.x * distance, target.y - forward.y * distance,
                       target.z - forward.z * distance};
        framed = lookAt(eye, target, up, 0);
        const auto extent = projectedExtent(framed, frame.positions, size);
        if (!extent) {
            distance *= 2.0f; // a point behind the camera: step back
            continue;
        }
        const auto [cx, cy, covered] = *extent;
        // The pixel offset of the shape's middle, at the target's depth, in the camera's right and up.
        const Projection projection(size, size);
        const float across = cx / projection.a * distance;
        const float upwards = cy / projection.b * distance;
        for (size_t axis = 0; axis < 3; ++axis) {
            const float shift = framed.m[0][axis] * across + framed.m[1][axis] * upwards;
            (axis == 0 ? target.x : axis == 1 ? target.y : target.z) += shift;
        }
        if (covered > 0.0f && std::isfinite(covered)) {
            distance = std::max(distance * covered / fill, 1e-3f * bounds.radius());
        }
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
