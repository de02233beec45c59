#include "views/OrthoDrags.h"

#include "document/CFacetoDoc.h"
#include "document/EditCommands.h"
#include "document/EditOperations.h"
#include "document/Selection.h"
#include "model/Texts.h"
#include "views/OrthoEditor.h"
#include "views/OrthoView.h"
#include "views/Tools.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <set>

namespace faceto {

namespace {

bool activeVertex(const VertexInfo& info) {
    return info.visible() && (info.flags & (VERTEX_SELECTED | VERTEX_MARKED)) != 0;
}

// Rounds to the nearest integer; a fraction of exactly one half goes towards zero.
float roundHalfTowardZero(float q) {
    return q >= 0.0f ? std::ceil(q - 0.5f) : std::floor(q + 0.5f);
}

// The edit tool: a press on a vertex (or a group's vertex) marks it and a drag moves the picked
// selection, axis locks and grid snap applied; a press elsewhere drags a rectangle whose vertices are
// marked. On release the marks become the selection as the level says.
class EditDrag : public OrthoDrag {
public:
    EditDrag(OrthoDragContext& c, const MouseState& m) {
        const int w = c.host.clientWidth();
        const int h = c.host.clientHeight();
        if (c.app.editLevel == LEVEL_VERTEX || c.app.editLevel == LEVEL_GROUP) {
            hitVertex_ = c.editor.pick(c.doc, m.x, m.y, w, h);
        } else if (c.app.editLevel == LEVEL_TRIANGLE) {
            hitTriangle_ = c.editor.pickTriangle(c.doc, m.x, m.y, w, h);
        }
        std::vector<int32_t> marked;
        if (hitVertex_ >= 0 && c.app.editLevel == LEVEL_VERTEX) {
            marked.push_back(hitVertex_);
            vertexHit_ = true;
        } else if (hitVertex_ >= 0 && c.app.editLevel == LEVEL_GROUP) {
            marked = groupVertices(c.doc.model(), hitVertex_);
            vertexHit_ = true;
        }
        markVertices(c.doc, marked);
    }

    void move(OrthoDragContext& c, const MouseState& m) override {
        if (vertexHit_ && c.doc.currentFrame() != nullptr) {
            moveSelection(c, m);
        } else {
            c.view.bandEnd = {m.x, m.y};
            markInRectangle(c);
        }
        c.host.repaintSelf();
        c.host.updateOtherViews();
    }

    void release(OrthoDragContext& c, MouseButton button, const MouseState& m) override {
        if (button != MouseButton::Left) {
            return;
        }
        c.view.bandStart = c.view.bandEnd = {m.x, m.y};
        if (c.app.editLevel == LEVEL_OBJECT) {
            // A click at the object level takes the whole model.
            endMarks(c.doc, MarksBecome::Nothing);
            c.doc.selectAll();
        } else if (c.app.editLevel == LEVEL_TRIANGLE) {
            selectTriangles(c);
        } else if (c.app.editLevel == LEVEL_VERTEX) {
            // A rectangle adds to the selection, a click toggles the vertex; a vertex dragged stays as it
            // was.
            endMarks(c.doc, c.dragged && !vertexHit_   ? MarksBecome::Selected
                            : !c.dragged && vertexHit_ ? MarksBecome::Toggled
                                                       : MarksBecome::Nothing);
        } else {
            // At the group level whatever the press or the rectangle marked becomes selected.
            endMarks(c.doc, MarksBecome::Selected);
        }
    }

    std::string describe(const CFacetoDoc& doc) const override {
        const auto& infos = doc.model().vertexInfos;
        const auto active = std::count_if(infos.begin(), infos.end(), activeVertex);
        return vertexHit_ ? localText(FACETO_TEXT("Moving %1 vertices"), {std::to_string(active)})
                          : localText(FACETO_TEXT("Selecting the vertices in a rectangle (%1)"),
                                      {std::to_string(active)});
    }

private:
    // Every vertex of every triangle in the groups of vertex `hit`, and the vertex itself.
    static std::vector<int32_t> groupVertices(const Model& model, int32_t hit) {
        std::set<int32_t> groups;
        for (const Triangle& t : model.triangles) {
            if (t.v[0] == hit || t.v[1] == hit || t.v[2] == hit) {
                groups.insert(t.group);
            }
        }
        std::vector<int32_t> marked;
        for (const Triangle& t : model.triangles) {
            if (groups.count(t.group)) {
                marked.insert(marked.end(), t.v.begin(), t.v.end());
            }
        }
        marked.push_back(hit);
        return marked;
    }

    void moveSelection(OrthoDragContext& c, const MouseState& m) const;
    static void markInRectangle(OrthoDragContext& c);
    void selectTriangles(OrthoDragContext& c) const;

    bool vertexHit_ = false;
    int hitVertex_ = -1;
    int hitTriangle_ = -1;
};

void EditDrag::moveSelection(OrthoDragContext& c, const MouseState& m) const {
    const Frame& frame = *c.doc.currentFrame();
    const ViewState& view = c.view;
    const OrthoViewState& s = c.state();
    const OrthoMapping mapping(c.view, c.orientation, c.host.clientWidth(), c.host.clientHeight());
    const float scale = mapping.scale();
    const bool snap =
        view.snapToGrid && view.gridSpacing > 0.0f && size_t(hitVertex_) < frame.positions.size();
    // Per view axis: how far the active vertices move, and where the hit vertex lands when snapping.
    float delta[2] = {0.0f, 0.0f};
    float snapped[2] = {0.0f, 0.0f};
    const int axes[2] = {s.axisU, s.axisV};
    for (int k = 0; k < 2; ++k) {
        if (view.isLocked(axes[k])) {
            continue;
        }
        if (snap) {
            const float cursor = k == 0 ? mapping.uAtColumn(float(m.x))
                                        : mapping.vAtBufferRow(float(c.host.clientHeight() - m.y));
            snapped[k] = roundHalfTowardZero(cursor / view.gridSpacing) * view.gridSpacing;
            delta[k] = frame.positions[size_t(hitVertex_)][axes[k]] - snapped[k];
        } else {
            delta[k] = k == 0 ? float(s.signU) * float(c.lastX - m.x) / scale
                              : float(s.signV) * float(m.y - c.lastY) / scale;
        }
    }
    const auto& infos = c.doc.model().vertexInfos;
    const size_t count = std::min(infos.size(), frame.positions.size());
    std::vector<int32_t> moved;
    std::vector<FrameVertex> positions;
    for (size_t v = 0; v < count; ++v) {
        if (!activeVertex(infos[v])) {
            continue;
        }
        FrameVertex p = frame.positions[v];
        for (int k = 0; k < 2; ++k) {
            if (view.isLocked(axes[k])) {
                continue;
            }
            // The hit vertex lands exactly on the grid line; the others keep their offsets to it.
            p[axes[k]] = snap && int(v) == hitVertex_ ? snapped[k] : p[axes[k]] - delta[k];
        }
        moved.push_back(int32_t(v));
        positions.push_back(p);
    }
    c.doc.run(std::make_unique<ChangePositions>(c.doc, FACETO_TEXT("Move Vertices"),
                                                c.doc.currentFramePosition(), std::move(moved),
                                                std::move(positions), c.gesture));
}

void EditDrag::markInRectangle(OrthoDragContext& c) {
    const Frame* frame = c.doc.currentFrame();
    if (frame == nullptr) {
        return;
    }
    const OrthoMapping mapping(c.view, c.orientation, c.host.clientWidth(), c.host.clientHeight());
    const int h = c.host.clientHeight();
    const float uA = mapping.uAtColumn(float(c.view.bandStart.x));
    const float uB = mapping.uAtColumn(float(c.view.bandEnd.x));
    const float vA = mapping.vAtBufferRow(float(h - c.view.bandStart.y));
    const float vB = mapping.vAtBufferRow(float(h - c.view.bandEnd.y));
    const float uLo = std::min(uA, uB);
    const float uHi = std::max(uA, uB);
    const float vLo = std::min(vA, vB);
    const float vHi = std::max(vA, vB);
    const size_t count = std::min(c.doc.model().vertexInfos.size(), frame->positions.size());
    std::vector<int32_t> inside;
    for (size_t v = 0; v < count; ++v) {
        const float u = mapping.u(frame->positions[v]);
        const float w = mapping.v(frame->positions[v]);
        if (u > uLo && u < uHi && w > vLo && w < vHi) {
            inside.push_back(int32_t(v));
        }
    }
    markOnly(c.doc, inside);
}

// A click toggles the triangle under the pointer; a rectangle adds the triangles wholly inside it.
void EditDrag::selectTriangles(OrthoDragContext& c) const {
    if (!c.dragged) {
        endMarks(c.doc, MarksBecome::Nothing);
        toggleTriangle(c.doc, hitTriangle_);
        return;
    }
    const auto& infos = c.doc.model().vertexInfos;
    std::vector<int32_t> chosen;
    for (size_t t = 0; t < c.doc.model().triangles.size(); ++t) {
        const Triangle& tri = c.doc.model().triangles[t];
        if (std::all_of(tri.v.begin(), tri.v.end(), [&](int32_t v) { return infos[size_t(v)].marked(); })) {
            chosen.push_back(int32_t(t));
        }
    }
    endMarks(c.doc, MarksBecome::Nothing);
    faceto::selectTriangles(c.doc, chosen, true);
}

// The move/zoom tool (and any tool with Ctrl): the left button pans, the right one zooms by a hundredth
// a pixel; a click without motion recentres there and zooms in (left) or out (right).
class PanZoomDrag : public OrthoDrag {
public:
    void move(OrthoDragContext& c, const MouseState& m) override {
        OrthoViewState& s = c.state();
        const float scale = s.zoom * c.view.zoomFactor * c.view.pixelRatio;
        if (m.leftHeld) {
            s.centerU += float(c.lastX - m.x) * float(s.signU) / scale;
            s.centerV += float(m.y - c.lastY) * float(s.signV) / scale;
        } else if (m.rightHeld) {
            for (int step = 0; step < std::abs(m.y - c.lastY) && step < 10000; ++step) {
                s.zoom *= m.y > c.lastY ? 1.01f : 0.990099f;
            }
        }
        c.host.repaintSelf();
    }

    void release(OrthoDragContext& c, MouseButton button, const MouseState& m) override {
        if (!c.dragged) {
            recentreAndZoom(c.view, c.orientation, m.x, m.y, button == MouseButton::Left ? 2.0f : 0.5f,
                            c.host);
        }
    }

    std::string describe(const CFacetoDoc&) const override {
        return localText(FACETO_TEXT("Moving the view"));
    }
};

// The scale tool scales the selection about the centre of its box by the rule of ScaleTool.
class ScaleDrag : public OrthoDrag {
public:
    void move(OrthoDragContext& c, const MouseState& m) override {
        scale(c, m);
        c.host.repaintSelf();
        c.host.updateOtherViews();
    }

    void release(OrthoDragContext&, MouseButton, const MouseState&) override {}

    std::string describe(const CFacetoDoc& doc) const override {
        const auto& infos = doc.model().vertexInfos;
        const auto count = std::count_if(infos.begin(), infos.end(),
                                         [](const VertexInfo& i) { return i.visible() && i.selected(); });
        return localText(FACETO_TEXT("Scaling %1 vertices"), {std::to_string(count)});
    }

private:
    static void scale(OrthoDragContext& c, const MouseState& m) {
        const Frame* frame = c.doc.currentFrame();
        if (frame == nullptr) {
            return;
        }
        const OrthoViewState& s = c.state();
        std::array<float, 3> factors{1.0f, 1.0f, 1.0f};
        const auto [across, up] = ScaleTool::factors(m.x - c.lastX, c.lastY - m.y, m.leftHeld, m.shift);
        if (m.leftHeld) {
            for (int a = 0; a < 3; ++a) {
                if (!c.view.isLocked(a)) {
                    factors[size_t(a)] = across;
                }
            }
        } else if (m.rightHeld) {
            if (!c.view.isLocked(s.axisV)) {
                factors[size_t(s.axisV)] = up;
            }
            if (!c.view.isLocked(s.axisU)) {
                factors[size_t(s.axisU)] = across;
            }
        }
        VertexPositions scaled = scaledSelection(c.doc.model(), *frame, factors);
        // Nothing that would not move (no motion, every axis locked, one vertex alone) is a step.
        bool moves = false;
        for (size_t k = 0; k < scaled.vertices.size() && !moves; ++k) {
            moves = !(scaled.positions[k] == frame->positions[size_t(scaled.vertices[k])]);
        }
        if (moves) {
            c.doc.run(std::make_unique<ChangePositions>(
                c.doc, FACETO_TEXT("Scale Vertices"), c.doc.currentFramePosition(),
                std::move(scaled.vertices), std::move(scaled.positions), c.gesture));
        }
    }
};

// The rotate tool turns the selection in the view's plane about the centre of its box, as it was at the
// press, by the rule of RotateTool. A locked view axis keeps its coordinates, so nothing turns then.
class RotateDrag : public OrthoDrag {
public:
    RotateDrag(OrthoDragContext& c, const MouseState& m) : pressX_(m.x) {
        const Frame* frame = c.doc.currentFrame();
        if (frame == nullptr) {
            return;
        }
        const OrthoViewState& s = c.state();
        float lo[2] = {0, 0};
        float hi[2] = {0, 0};
        const auto& infos = c.doc.model().vertexInfos;
        for (size_t v = 0; v < std::min(infos.size(), frame->positions.size()); ++v) {
            if (!infos[v].visible() || !infos[v].selected()) {
                continue;
            }
            const FrameVertex& p = frame->positions[v];
            const float at[2] = {p[s.axisU], p[s.axisV]};
            for (int k = 0; k < 2; ++k) {
                lo[k] = rotated_.empty() ? at[k] : std::min(lo[k], at[k]);
                hi[k] = rotated_.empty() ? at[k] : std::max(hi[k], at[k]);
            }
            rotated_.push_back(int32_t(v));
            rotatedFrom_.push_back(p);
        }
        centreU_ = (lo[0] + hi[0]) / 2;
        centreV_ = (lo[1] + hi[1]) / 2;
    }

    void move(OrthoDragContext& c, const MouseState& m) override {
        const OrthoViewState& s = c.state();
        if (rotated_.empty() || c.doc.currentFrame() == nullptr || c.view.isLocked(s.axisU) ||
            c.view.isLocked(s.axisV)) {
            return;
        }
        degrees_ = RotateTool::degrees(m.x - pressX_, m.shift);
        const float angle = -float(degrees_) * std::numbers::pi_v<float> / 180.0f;
        const float cs = std::cos(angle);
        const float sn = std::sin(angle);
        std::vector<FrameVertex> positions = rotatedFrom_;
        for (FrameVertex& p : positions) {
            // In the view's own screen directions (right, up), then back to the world axes.
            const float x = float(s.signU) * (p[s.axisU] - centreU_);
            const float y = float(s.signV) * (p[s.axisV] - centreV_);
            p[s.axisU] = centreU_ + (x * cs - y * sn) * float(s.signU);
            p[s.axisV] = centreV_ + (x * sn + y * cs) * float(s.signV);
        }
        c.doc.run(std::make_unique<ChangePositions>(c.doc, FACETO_TEXT("Rotate Vertices"),
                                                    c.doc.currentFramePosition(), rotated_,
                                                    std::move(positions), c.gesture));
        c.host.repaintSelf();
        c.host.updateOtherViews();
    }

    void release(OrthoDragContext&, MouseButton, const MouseState&) override {}

    std::string describe(const CFacetoDoc&) const override {
        return localText(FACETO_TEXT("Rotating %1 vertices by %2 degrees"),
                         {std::to_string(rotated_.size()), std::to_string(degrees_)});
    }

private:
    int pressX_;
    int degrees_ = 0;
    std::vector<int32_t> rotated_;
    std::vector<FrameVertex> rotatedFrom_;
    float centreU_ = 0.0f;
    float centreV_ = 0.0f;
};

} // namespace

std::unique_ptr<OrthoDrag> OrthoDrag::start(OrthoDragContext& c, MouseButton button, const MouseState& m) {
    if (m.ctrl || c.app.currentTool == TOOL_MOVE_ZOOM) {
        return std::make_unique<PanZoomDrag>();
    }
    switch (c.app.currentTool) {
    case TOOL_SCALE:
        return std::make_unique<ScaleDrag>();
    case TOOL_ROTATE:
        return button == MouseButton::Left ? std::make_unique<RotateDrag>(c, m) : nullptr;
    case TOOL_EDIT:
        c.view.bandStart = c.view.bandEnd = {m.x, m.y};
        return button == MouseButton::Left ? std::make_unique<EditDrag>(c, m) : nullptr;
    default:
        return nullptr;
    }
}

void recentreAndZoom(ViewState& view, int orientation, int x, int y, float factor, MouseHost& host) {
    OrthoViewState& s = view.orthoViews[size_t(orientation)];
    const float scale = s.zoom * view.zoomFactor * view.pixelRatio;
    s.centerU += (float(x) - float(host.clientWidth()) * 0.5f) * float(s.signU) / scale;
    s.centerV += float(s.signV) * (float(host.clientHeight()) * 0.5f - float(y)) / scale;
    s.zoom *= factor;
    host.repaintSelf();
}

} // namespace faceto
