#include "views/OrthoEditor.h"

#include "document/CFacetoDoc.h"
#include "views/OrthoView.h"

#include <algorithm>
#include <cmath>

namespace faceto {

namespace {

constexpr int PICK_RADIUS = 5;
constexpr float ZOOM_KEYS[10] = {30.0f, 0.05f, 0.1f, 0.3f, 0.6f, 1.0f, 2.0f, 4.0f, 8.0f, 16.0f};

} // namespace

int OrthoEditor::pick(const CFacetoDoc& doc, int x, int y, int width, int height) const {
    const Frame* frame = doc.currentFrame();
    if (frame == nullptr) {
        return -1;
    }
    const OrthoMapping m(view_, orientation_, width, height);
    const size_t count = std::min(doc.model().vertexInfos.size(), frame->positions.size());
    int best = -1;
    int64_t bestDistance = 0;
    for (size_t v = 0; v < count; ++v) {
        if (!doc.model().vertexInfos[v].visible()) {
            continue;
        }
        const Pixel p = m.toWindow(frame->positions[v]);
        const int64_t dx = int64_t(p.x) - x;
        const int64_t dy = int64_t(p.y) - y;
        if (std::abs(dx) > PICK_RADIUS || std::abs(dy) > PICK_RADIUS) {
            continue;
        }
        const int64_t distance = dx * dx + dy * dy;
        if (best < 0 || distance <= bestDistance) {
            best = int(v);
            bestDistance = distance;
        }
    }
    return best;
}

OrthoEditor::OrthoEditor(int orientation, AppState& app, ViewState& view)
    : orientation_(orientation), app_(app), view_(view) {}

OrthoEditor::~OrthoEditor() = default;

OrthoDragContext OrthoEditor::context(CFacetoDoc& doc, MouseHost& host) {
    return {doc, host, view_, app_, *this, orientation_, lastX_, lastY_, dragged_, gesture_};
}

void OrthoEditor::press(CFacetoDoc& doc, MouseButton button, const MouseState& m, MouseHost& host) {
    if ((button == MouseButton::Left && m.rightHeld) || (button == MouseButton::Right && m.leftHeld)) {
        return;
    }
    dragged_ = false;
    gesture_ = doc.newGesture();
    lastX_ = m.x;
    lastY_ = m.y;
    OrthoDragContext c = context(doc, host);
    drag_ = OrthoDrag::start(c, button, m);
    host.capture();
    view_.bandView = orientation_;
}

void OrthoEditor::move(CFacetoDoc& doc, const MouseState& m, MouseHost& host) {
    if (!host.hasCapture() || !(m.leftHeld || m.rightHeld)) {
        return;
    }
    if (m.x != lastX_ || m.y != lastY_) {
        dragged_ = true;
    }
    if (drag_) {
        OrthoDragContext c = context(doc, host);
        drag_->move(c, m);
        host.reportAction(drag_->describe(doc));
    } else {
        host.reportAction("");
    }
    lastX_ = m.x;
    lastY_ = m.y;
}

void OrthoEditor::release(CFacetoDoc& doc, MouseButton button, const MouseState& m, MouseHost& host) {
    if ((button == MouseButton::Left && m.rightHeld) || (button == MouseButton::Right && m.leftHeld)) {
        return;
    }
    if (host.hasCapture()) {
        host.release();
    }
    host.reportAction("");
    if (const std::unique_ptr<OrthoDrag> drag = std::move(drag_)) {
        OrthoDragContext c = context(doc, host);
        drag->release(c, button, m);
    }
}

int OrthoEditor::pickTriangle(const CFacetoDoc& doc, int x, int y, int width, int height) const {
    const Frame* frame = doc.currentFrame();
    if (frame == nullptr) {
        return -1;
    }
    const OrthoMapping m(view_, orientation_, width, height);
    const OrthoViewState& s = m.state();
    // Towards the viewer: the view's right crossed with its up.
    std::array<float, 3> right{0, 0, 0};
    std::array<float, 3> up{0, 0, 0};
    right[size_t(s.axisU)] = float(s.signU);
    up[size_t(s.axisV)] = float(s.signV);
    const std::array<float, 3> toward{right[1] * up[2] - right[2] * up[1],
                                      right[2] * up[0] - right[0] * up[2],
                                      right[0] * up[1] - right[1] * up[0]};
    const auto& infos = doc.model().vertexInfos;
    int best = -1;
    float bestDepth = 0.0f;
    for (size_t t = 0; t < doc.model().triangles.size(); ++t) {
        const Triangle& tri = doc.model().triangles[t];
        if (!std::all_of(tri.v.begin(), tri.v.end(), [&](int32_t v) { return infos[size_t(v)].visible(); })) {
            continue;
        }
        float px[3];
        float py[3];
        float depth[3];
        for (int c = 0; c < 3; ++c) {
            const FrameVertex& p = frame->positions[size_t(tri.v[size_t(c)])];
            const Pixel w = m.toWindow(p);
            px[c] = float(w.x);
            py[c] = float(w.y);
            depth[c] = p.x * toward[0] + p.y * toward[1] + p.z * toward[2];
        }
        // Barycentric weights of the pointer; all of one sign (or zero) when it lies inside.
        const float area = (px[1] - px[0]) * (py[2] - py[0]) - (px[2] - px[0]) * (py[1] - py[0]);
        if (area == 0.0f) {
            continue;
        }
        const float w1 = ((float(x) - px[0]) * (py[2] - py[0]) - (px[2] - px[0]) * (float(y) - py[0])) / area;
        const float w2 = ((px[1] - px[0]) * (float(y) - py[0]) - (float(x) - px[0]) * (py[1] - py[0])) / area;
        const float w0 = 1.0f - w1 - w2;
        if (w0 < 0.0f || w1 < 0.0f || w2 < 0.0f) {
            continue;
        }
        const float at = w0 * depth[0] + w1 * depth[1] + w2 * depth[2];
        if (best < 0 || at > bestDepth) {
            best = int(t);
            bestDepth = at;
        }
    }
    return best;
}

void OrthoEditor::doubleClick(MouseButton button, const MouseState& m, MouseHost& host) {
    if (app_.currentTool == TOOL_MOVE_ZOOM) {
        recentreAndZoom(view_, orientation_, m.x, m.y, button == MouseButton::Left ? 2.0f : 0.5f, host);
    }
}

bool OrthoEditor::wheel(int x, int y, float notches, MouseHost& host) {
    if (notches == 0.0f) {
        return false;
    }
    const int w = host.clientWidth();
    const int h = host.clientHeight();
    const OrthoMapping before(view_, orientation_, w, h);
    const float u = before.uAtColumn(float(x));
    const float v = before.vAtBufferRow(float(h - y));
    OrthoViewState& s = view_.orthoViews[size_t(orientation_)];
    s.zoom = std::clamp(s.zoom * std::pow(1.25f, notches), 1e-6f, 1e6f);
    const float scale = s.zoom * view_.zoomFactor * view_.pixelRatio;
    s.centerU = u - (float(x) - float(w / 2)) / (float(s.signU) * scale);
    s.centerV = v - (float(h - y) - float(h / 2)) / (float(s.signV) * scale);
    host.repaintSelf();
    return true;
}

bool OrthoEditor::digitKey(int digit, MouseHost& host) {
    if (digit < 0 || digit > 9) {
        return false;
    }
    view_.orthoViews[size_t(orientation_)].zoom = ZOOM_KEYS[digit];
    host.repaintSelf();
    return true;
}

} // namespace faceto
