#include "views/OrthoEditor.h"

#include "document/CFacetoDoc.h"
#include "document/EditCommands.h"
#include "document/EditOperations.h"
#include "document/Selection.h"
#include "views/OrthoView.h"
#include "views/Tools.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <set>

namespace faceto {

namespace {

constexpr int PICK_RADIUS = 5;
constexpr float ZOOM_KEYS[10] = {30.0f, 0.05f, 0.1f, 0.3f, 0.6f, 1.0f, 2.0f, 4.0f, 8.0f, 16.0f};

bool activeVertex(const VertexInfo& info) {
    return info.visible() && (info.flags & (VERTEX_SELECTED | VERTEX_MARKED)) != 0;
}

// Rounds to the nearest integer; a fraction of exactly one half goes towards zero.
float roundHalfTowardZero(float q) {
    return q >= 0.0f ? std::ceil(q - 0.5f) : std::floor(q + 0.5f);
}

} // namespace

int OrthoEditor::pick(const CFacetoDoc& doc, int x, int y, int width, int height) const {
    const Frame* frame = doc.currentFrame();
    if (frame == nullptr) {
        return -1;
    }
    const OrthoMapping m(view_, orientation_, width, height);
    const size_t count = std::min(doc.model.vertexInfos.size(), frame->positions.size());
    int best = -1;
    int64_t bestDistance = 0;
    for (size_t v = 0; v < count; ++v) {
        if (!doc.model.vertexInfos[v].visible()) {
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

void OrthoEditor::press(CFacetoDoc& doc, MouseButton button, const MouseState& m, MouseHost& host) {
    if ((button == MouseButton::Left && m.rightHeld) || (button == MouseButton::Right && m.leftHeld)) {
        return;
    }
    dragged_ = false;
    dragMode_ = NONE;
    gesture_ = doc.newGesture();
    if (m.ctrl) {
        dragMode_ = PAN_ZOOM;
    } else if (app_.currentTool == TOOL_SCALE) {
        dragMode_ = SCALE;
    } else if (app_.currentTool == TOOL_ROTATE) {
        if (button == MouseButton::Left) {
            dragMode_ = ROTATE;
            pressX_ = m.x;
            startRotation(doc);
        }
    } else if (app_.currentTool == TOOL_MOVE_ZOOM) {
        dragMode_ = PAN_ZOOM;
    } else if (app_.currentTool == TOOL_EDIT) {
        view_.bandStart = view_.bandEnd = {m.x, m.y};
        if (button == MouseButton::Left) {
            dragMode_ = EDIT;
            vertexHit_ = false;
            if (app_.editLevel == LEVEL_VERTEX || app_.editLevel == LEVEL_GROUP) {
                hitVertex_ = pick(doc, m.x, m.y, host.clientWidth(), host.clientHeight());
            } else if (app_.editLevel == LEVEL_TRIANGLE) {
                hitTriangle_ = pickTriangle(doc, m.x, m.y, host.clientWidth(), host.clientHeight());
            }
            std::vector<int32_t> marked;
            if (app_.editLevel == LEVEL_VERTEX && hitVertex_ >= 0) {
                vertexHit_ = true;
                marked.push_back(hitVertex_);
            } else if (app_.editLevel == LEVEL_GROUP && hitVertex_ >= 0) {
                // Every vertex of every triangle in the groups of the picked vertex.
                std::set<int32_t> groups;
                for (const Triangle& t : doc.model.triangles) {
                    if (t.v[0] == hitVertex_ || t.v[1] == hitVertex_ || t.v[2] == hitVertex_) {
                        groups.insert(t.group);
                    }
                }
                for (const Triangle& t : doc.model.triangles) {
                    if (groups.count(t.group)) {
                        marked.insert(marked.end(), t.v.begin(), t.v.end());
                    }
                }
                marked.push_back(hitVertex_);
                vertexHit_ = true;
            }
            markVertices(doc, marked);
        }
    }
    host.capture();
    view_.bandView = orientation_;
    lastX_ = m.x;
    lastY_ = m.y;
}

void OrthoEditor::move(CFacetoDoc& doc, const MouseState& m, MouseHost& host) {
    if (!host.hasCapture() || !(m.leftHeld || m.rightHeld)) {
        return;
    }
    if (m.x != lastX_ || m.y != lastY_) {
        dragged_ = true;
    }
    switch (dragMode_) {
    case EDIT:
        if (vertexHit_ && doc.currentFrame() != nullptr) {
            moveSelection(doc, m, host);
        } else {
            view_.bandEnd = {m.x, m.y};
            markInRectangle(doc, host);
        }
        host.repaintSelf();
        host.updateOtherViews();
        break;
    case PAN_ZOOM: {
        OrthoViewState& s = view_.orthoViews[size_t(orientation_)];
        const float scale = s.zoom * view_.zoomFactor;
        if (m.leftHeld) {
            s.centerU += float(lastX_ - m.x) * float(s.signU) / scale;
            s.centerV += float(m.y - lastY_) * float(s.signV) / scale;
        } else if (m.rightHeld) {
            for (int step = 0; step < std::abs(m.y - lastY_) && step < 10000; ++step) {
                s.zoom *= m.y > lastY_ ? 1.01f : 0.990099f;
            }
        }
        host.repaintSelf();
        break;
    }
    case SCALE:
        scaleSelection(doc, m);
        host.repaintSelf();
        host.updateOtherViews();
        break;
    case ROTATE:
        rotateSelection(doc, m, host);
        break;
    case NONE:
        break;
    }
    reportAction(doc, host);
    lastX_ = m.x;
    lastY_ = m.y;
}

void OrthoEditor::reportAction(const CFacetoDoc& doc, MouseHost& host) const {
    const auto& infos = doc.model.vertexInfos;
    const auto active = std::count_if(infos.begin(), infos.end(), activeVertex);
    std::string text;
    switch (dragMode_) {
    case EDIT:
        text = vertexHit_ ? "Moving " + std::to_string(active) + " vertices"
                          : "Selecting the vertices in a rectangle (" + std::to_string(active) + ")";
        break;
    case PAN_ZOOM:
        text = "Moving the view";
        break;
    case SCALE:
        text =
            "Scaling " +
            std::to_string(std::count_if(infos.begin(), infos.end(),
                                         [](const VertexInfo& i) { return i.visible() && i.selected(); })) +
            " vertices";
        break;
    case ROTATE:
        text = "Rotating " + std::to_string(rotated_.size()) + " vertices by " + std::to_string(rotation_) +
               " degrees";
        break;
    case NONE:
        break;
    }
    host.reportAction(text);
}

void OrthoEditor::startRotation(const CFacetoDoc& doc) {
    rotated_.clear();
    rotatedFrom_.clear();
    rotation_ = 0;
    const Frame* frame = doc.currentFrame();
    if (frame == nullptr) {
        return;
    }
    const OrthoViewState& s = view_.orthoViews[size_t(orientation_)];
    float lo[2] = {0, 0};
    float hi[2] = {0, 0};
    const auto& infos = doc.model.vertexInfos;
    for (size_t v = 0; v < std::min(infos.size(), frame->positions.size()); ++v) {
        if (!infos[v].visible() || !infos[v].selected()) {
            continue;
        }
        const FrameVertex& p = frame->positions[v];
        const float c[2] = {p[s.axisU], p[s.axisV]};
        for (int k = 0; k < 2; ++k) {
            lo[k] = rotated_.empty() ? c[k] : std::min(lo[k], c[k]);
            hi[k] = rotated_.empty() ? c[k] : std::max(hi[k], c[k]);
        }
        rotated_.push_back(int32_t(v));
        rotatedFrom_.push_back(p);
    }
    centreU_ = (lo[0] + hi[0]) / 2;
    centreV_ = (lo[1] + hi[1]) / 2;
}

// A degree per pixel the pointer moved right (clockwise as the view shows it), in steps of 15 with
// Shift. A locked view axis keeps its coordinates, so nothing turns then.
void OrthoEditor::rotateSelection(CFacetoDoc& doc, const MouseState& m, MouseHost& host) {
    const OrthoViewState& s = view_.orthoViews[size_t(orientation_)];
    if (rotated_.empty() || doc.currentFrame() == nullptr || view_.isLocked(s.axisU) ||
        view_.isLocked(s.axisV)) {
        return;
    }
    const int degrees = RotateTool::degrees(m.x - pressX_, m.shift);
    rotation_ = degrees;
    const float angle = -float(degrees) * std::numbers::pi_v<float> / 180.0f;
    const float c = std::cos(angle);
    const float sn = std::sin(angle);
    std::vector<FrameVertex> positions = rotatedFrom_;
    for (FrameVertex& p : positions) {
        // In the view's own screen directions (right, up), then back to the world axes.
        const float x = float(s.signU) * (p[s.axisU] - centreU_);
        const float y = float(s.signV) * (p[s.axisV] - centreV_);
        p[s.axisU] = centreU_ + (x * c - y * sn) * float(s.signU);
        p[s.axisV] = centreV_ + (x * sn + y * c) * float(s.signV);
    }
    doc.run(std::make_unique<ChangePositions>(doc, "Rotate Vertices", doc.currentFramePosition(), rotated_,
                                              std::move(positions), gesture_));
    host.repaintSelf();
    host.updateOtherViews();
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
    const auto& infos = doc.model.vertexInfos;
    int best = -1;
    float bestDepth = 0.0f;
    for (size_t t = 0; t < doc.model.triangles.size(); ++t) {
        const Triangle& tri = doc.model.triangles[t];
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

void OrthoEditor::moveSelection(CFacetoDoc& doc, const MouseState& m, MouseHost& host) {
    Frame& frame = *doc.currentFrame();
    const OrthoViewState& s = view_.orthoViews[size_t(orientation_)];
    const OrthoMapping mapping(view_, orientation_, host.clientWidth(), host.clientHeight());
    const float scale = mapping.scale();
    const bool snap =
        view_.snapToGrid && view_.gridSpacing > 0.0f && size_t(hitVertex_) < frame.positions.size();
    // Per view axis: how far the active vertices move, and where the hit vertex lands when snapping.
    float delta[2] = {0.0f, 0.0f};
    float snapped[2] = {0.0f, 0.0f};
    const int axes[2] = {s.axisU, s.axisV};
    for (int k = 0; k < 2; ++k) {
        if (view_.isLocked(axes[k])) {
            continue;
        }
        if (snap) {
            const float cursor = k == 0 ? mapping.uAtColumn(float(m.x))
                                        : mapping.vAtBufferRow(float(host.clientHeight() - m.y));
            snapped[k] = roundHalfTowardZero(cursor / view_.gridSpacing) * view_.gridSpacing;
            delta[k] = frame.positions[size_t(hitVertex_)][axes[k]] - snapped[k];
        } else {
            delta[k] = k == 0 ? float(s.signU) * float(lastX_ - m.x) / scale
                              : float(s.signV) * float(m.y - lastY_) / scale;
        }
    }
    const auto& infos = doc.model.vertexInfos;
    const size_t count = std::min(infos.size(), frame.positions.size());
    std::vector<int32_t> moved;
    std::vector<FrameVertex> positions;
    for (size_t v = 0; v < count; ++v) {
        if (!activeVertex(infos[v])) {
            continue;
        }
        FrameVertex p = frame.positions[v];
        for (int k = 0; k < 2; ++k) {
            if (view_.isLocked(axes[k])) {
                continue;
            }
            // The hit vertex lands exactly on the grid line; the others keep their offsets to it.
            p[axes[k]] = snap && int(v) == hitVertex_ ? snapped[k] : p[axes[k]] - delta[k];
        }
        moved.push_back(int32_t(v));
        positions.push_back(p);
    }
    doc.run(std::make_unique<ChangePositions>(doc, "Move Vertices", doc.currentFramePosition(),
                                              std::move(moved), std::move(positions), gesture_));
}

void OrthoEditor::markInRectangle(CFacetoDoc& doc, MouseHost& host) {
    const Frame* frame = doc.currentFrame();
    if (frame == nullptr) {
        return;
    }
    const OrthoMapping mapping(view_, orientation_, host.clientWidth(), host.clientHeight());
    const int h = host.clientHeight();
    const float uA = mapping.uAtColumn(float(view_.bandStart.x));
    const float uB = mapping.uAtColumn(float(view_.bandEnd.x));
    const float vA = mapping.vAtBufferRow(float(h - view_.bandStart.y));
    const float vB = mapping.vAtBufferRow(float(h - view_.bandEnd.y));
    const float uLo = std::min(uA, uB);
    const float uHi = std::max(uA, uB);
    const float vLo = std::min(vA, vB);
    const float vHi = std::max(vA, vB);
    const size_t count = std::min(doc.model.vertexInfos.size(), frame->positions.size());
    std::vector<int32_t> inside;
    for (size_t v = 0; v < count; ++v) {
        const float u = mapping.u(frame->positions[v]);
        const float w = mapping.v(frame->positions[v]);
        if (u > uLo && u < uHi && w > vLo && w < vHi) {
            inside.push_back(int32_t(v));
        }
    }
    markOnly(doc, inside);
}

void OrthoEditor::scaleSelection(CFacetoDoc& doc, const MouseState& m) {
    Frame* frame = doc.currentFrame();
    if (frame == nullptr) {
        return;
    }
    const OrthoViewState& s = view_.orthoViews[size_t(orientation_)];
    std::array<float, 3> factors{1.0f, 1.0f, 1.0f};
    const auto [across, up] = ScaleTool::factors(m.x - lastX_, lastY_ - m.y, m.leftHeld, m.shift);
    if (m.leftHeld) {
        for (int a = 0; a < 3; ++a) {
            if (!view_.isLocked(a)) {
                factors[size_t(a)] = across;
            }
        }
    } else if (m.rightHeld) {
        if (!view_.isLocked(s.axisV)) {
            factors[size_t(s.axisV)] = up;
        }
        if (!view_.isLocked(s.axisU)) {
            factors[size_t(s.axisU)] = across;
        }
    }
    VertexPositions scaled = scaledSelection(doc.model, *frame, factors);
    // Nothing that would not move (no motion, every axis locked, one vertex alone) is a step.
    bool moves = false;
    for (size_t k = 0; k < scaled.vertices.size() && !moves; ++k) {
        moves = !(scaled.positions[k] == frame->positions[size_t(scaled.vertices[k])]);
    }
    if (moves) {
        doc.run(std::make_unique<ChangePositions>(doc, "Scale Vertices", doc.currentFramePosition(),
                                                  std::move(scaled.vertices), std::move(scaled.positions),
                                                  gesture_));
    }
}

void OrthoEditor::release(CFacetoDoc& doc, MouseButton button, const MouseState& m, MouseHost& host) {
    if ((button == MouseButton::Left && m.rightHeld) || (button == MouseButton::Right && m.leftHeld)) {
        return;
    }
    if (host.hasCapture()) {
        host.release();
    }
    host.reportAction("");
    const DragMode mode = dragMode_;
    dragMode_ = NONE;
    if (mode == PAN_ZOOM && !dragged_) {
        recentreAndZoom(m.x, m.y, button == MouseButton::Left ? 2.0f : 0.5f, host);
        return;
    }
    if (mode != EDIT || button != MouseButton::Left) {
        return;
    }
    view_.bandStart = view_.bandEnd = {m.x, m.y};
    if (app_.editLevel == LEVEL_OBJECT) {
        // A click at the object level takes the whole model.
        endMarks(doc, MarksBecome::Nothing);
        doc.selectAll();
    } else if (app_.editLevel == LEVEL_TRIANGLE) {
        selectTrianglesAt(doc);
    } else if (app_.editLevel == LEVEL_VERTEX) {
        // A rectangle adds to the selection, a click toggles the vertex; a vertex dragged stays as it was.
        endMarks(doc, dragged_ && !vertexHit_   ? MarksBecome::Selected
                      : !dragged_ && vertexHit_ ? MarksBecome::Toggled
                                                : MarksBecome::Nothing);
    } else {
        // At the group level whatever the press or the rectangle marked becomes selected.
        endMarks(doc, MarksBecome::Selected);
    }
}

// A click toggles the triangle under the pointer; a rectangle adds the triangles wholly inside it.
void OrthoEditor::selectTrianglesAt(CFacetoDoc& doc) {
    if (!dragged_) {
        endMarks(doc, MarksBecome::Nothing);
        toggleTriangle(doc, hitTriangle_);
        return;
    }
    const auto& infos = doc.model.vertexInfos;
    std::vector<int32_t> chosen;
    for (size_t t = 0; t < doc.model.triangles.size(); ++t) {
        const Triangle& tri = doc.model.triangles[t];
        if (std::all_of(tri.v.begin(), tri.v.end(), [&](int32_t v) { return infos[size_t(v)].marked(); })) {
            chosen.push_back(int32_t(t));
        }
    }
    endMarks(doc, MarksBecome::Nothing);
    selectTriangles(doc, chosen, true);
}

void OrthoEditor::doubleClick(MouseButton button, const MouseState& m, MouseHost& host) {
    if (app_.currentTool == TOOL_MOVE_ZOOM) {
        recentreAndZoom(m.x, m.y, button == MouseButton::Left ? 2.0f : 0.5f, host);
    }
}

void OrthoEditor::recentreAndZoom(int x, int y, float factor, MouseHost& host) {
    OrthoViewState& s = view_.orthoViews[size_t(orientation_)];
    const float scale = s.zoom * view_.zoomFactor;
    s.centerU += (float(x) - float(host.clientWidth()) * 0.5f) * float(s.signU) / scale;
    s.centerV += float(s.signV) * (float(host.clientHeight()) * 0.5f - float(y)) / scale;
    s.zoom *= factor;
    host.repaintSelf();
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
    const float scale = s.zoom * view_.zoomFactor;
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
