#include "views/SkinDrags.h"

#include "document/CFacetoDoc.h"
#include "document/EditOperations.h"
#include "document/Selection.h"
#include "model/Texts.h"
#include "views/Tools.h"

#include <QLineF>
#include <QRectF>
#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <string>

namespace faceto {

void zoomSkinViewAbout(SkinViewState& view, QPointF at, float factor, int width, int height) {
    const auto before = view.toSkin(at, width, height);
    view.zoom = std::clamp(view.zoom * factor, 0.05f, 64.0f);
    const auto after = view.toSkin(at, width, height);
    view.centerS += before[0] - after[0];
    view.centerT += before[1] - after[1];
}

namespace {

// A click selects the triangle under it (Shift toggles it); a click on nothing selects nothing.
void clickSelect(SkinDragContext& c, bool add) {
    const auto st = c.view.toSkin(c.lastAt, c.width, c.height);
    const int hit = skinTriangleAt(c.doc.model(), st[0], st[1]);
    if (hit < 0) {
        if (!add) {
            c.doc.selectNone();
        }
    } else if (add) {
        toggleTriangle(c.doc, hit); // Shift on a selected triangle takes it away
    } else {
        selectTriangles(c.doc, {hit}, false);
    }
}

class PanDrag : public SkinDrag {
public:
    void move(SkinDragContext& c, const SkinPointer& p) override {
        const QPointF step = p.at - c.lastAt;
        c.view.centerS -= float(step.x()) / c.view.zoom;
        c.view.centerT -= float(step.y()) / c.view.zoom;
    }
};

class ZoomDrag : public SkinDrag {
public:
    void move(SkinDragContext& c, const SkinPointer& p) override {
        const double step = p.at.y() - c.lastAt.y();
        if (step != 0) {
            zoomSkinViewAbout(c.view, c.pressAt, step < 0 ? 1.05f : 0.95f, c.width, c.height);
        }
    }
};

// The edit tool off the selection: a click selects, a rectangle selects the triangles inside it.
class SelectDrag : public SkinDrag {
public:
    void move(SkinDragContext&, const SkinPointer&) override {}
    bool banding() const override { return true; }
    void release(SkinDragContext& c, bool add) override {
        if (!c.dragged) {
            clickSelect(c, add);
            return;
        }
        const auto a = c.view.toSkin(c.pressAt, c.width, c.height);
        const auto b = c.view.toSkin(c.lastAt, c.width, c.height);
        selectTriangles(
            c.doc, skinTrianglesIn(c.doc.model(), QRectF(QPointF(a[0], a[1]), QPointF(b[0], b[1]))), add);
    }
};

// The drags that change the skin coordinates of the selected vertices' corners: each event makes the
// corners' coordinates anew from those at the press (or the previous event) and runs them as one step
// of the gesture.
class CornerDrag : public SkinDrag {
public:
    explicit CornerDrag(const CFacetoDoc& doc) { collect(doc); }

    void move(SkinDragContext& c, const SkinPointer& p) override {
        std::vector<CornerCoords> after = moved(c, p);
        if (triangles_.empty() || after == current_) {
            return;
        }
        current_ = after;
        c.doc.run(std::make_unique<ChangeSkinCoords>(stepName(), triangles_, std::move(after), c.gesture));
    }

protected:
    virtual std::vector<CornerCoords> moved(const SkinDragContext& c, const SkinPointer& p) const = 0;
    virtual const char* stepName() const = 0;

    // Every moved corner of `base` given by `f(corner)`, landing on whole texels when snapping.
    template <typename F>
    std::vector<CornerCoords> each(const SkinDragContext& c, const std::vector<CornerCoords>& base,
                                   F f) const {
        std::vector<CornerCoords> after = base;
        for (size_t i = 0; i < after.size(); ++i) {
            for (size_t k = 0; k < 3; ++k) {
                if (moves_[i][k]) {
                    const std::array<float, 2> st = f(base[i][k]);
                    after[i][k] =
                        c.snapToTexels ? std::array<float, 2>{std::round(st[0]), std::round(st[1])} : st;
                }
            }
        }
        return after;
    }

    std::vector<CornerCoords> from_;          // the corners' coordinates at the press
    std::vector<CornerCoords> current_;       // and now
    std::array<float, 2> centre_{0.0f, 0.0f}; // of the moved corners' box at the press

private:
    void collect(const CFacetoDoc& doc);

    std::vector<int32_t> triangles_;         // with a corner being moved
    std::vector<std::array<bool, 3>> moves_; // which of their corners move
};

void CornerDrag::collect(const CFacetoDoc& doc) {
    const Model& model = doc.model();
    const auto& infos = model.vertexInfos;
    float lo[2] = {std::numeric_limits<float>::max(), std::numeric_limits<float>::max()};
    float hi[2] = {std::numeric_limits<float>::lowest(), std::numeric_limits<float>::lowest()};
    for (size_t i = 0; i < model.triangles.size(); ++i) {
        const Triangle& t = model.triangles[i];
        if (!triangleShown(model, t)) {
            continue;
        }
        std::array<bool, 3> moves{};
        for (size_t k = 0; k < 3; ++k) {
            moves[k] = infos[size_t(t.v[k])].selected();
            if (moves[k]) {
                for (int a = 0; a < 2; ++a) {
                    lo[a] = std::min(lo[a], t.st[k][size_t(a)]);
                    hi[a] = std::max(hi[a], t.st[k][size_t(a)]);
                }
            }
        }
        if (moves[0] || moves[1] || moves[2]) {
            triangles_.push_back(int32_t(i));
            from_.push_back(t.st);
            moves_.push_back(moves);
        }
    }
    current_ = from_;
    if (!triangles_.empty()) {
        centre_ = {(lo[0] + hi[0]) / 2.0f, (lo[1] + hi[1]) / 2.0f};
    }
}

// The edit tool on the selection: the corners follow the pointer (a tenth as far with Shift); a click
// without motion selects as the select drag does.
class MoveCornersDrag : public CornerDrag {
public:
    using CornerDrag::CornerDrag;
    void release(SkinDragContext& c, bool add) override {
        if (!c.dragged) {
            clickSelect(c, add);
        }
    }

protected:
    std::vector<CornerCoords> moved(const SkinDragContext& c, const SkinPointer& p) const override {
        const float factor = p.fine ? 0.1f : 1.0f;
        const float ds = float(p.at.x() - c.pressAt.x()) / c.view.zoom * factor;
        const float dt = float(p.at.y() - c.pressAt.y()) / c.view.zoom * factor;
        return each(c, from_, [&](std::array<float, 2> st) {
            return std::array<float, 2>{st[0] + ds, st[1] + dt};
        });
    }
    const char* stepName() const override { return FACETO_TEXT("Move Skin Coordinates"); }
};

// As the 2D views scale, step by step about the box's centre (the skin's t runs down the view).
class ScaleCornersDrag : public CornerDrag {
public:
    using CornerDrag::CornerDrag;

protected:
    std::vector<CornerCoords> moved(const SkinDragContext& c, const SkinPointer& p) const override {
        const QPointF step = p.at - c.lastAt;
        const std::array<float, 2> f =
            ScaleTool::factors(int(std::lround(step.x())), int(std::lround(-step.y())), p.leftHeld, p.fine);
        return each(c, current_, [&](std::array<float, 2> st) {
            return std::array<float, 2>{centre_[0] + (st[0] - centre_[0]) * f[0],
                                        centre_[1] + (st[1] - centre_[1]) * f[1]};
        });
    }
    const char* stepName() const override { return FACETO_TEXT("Scale Skin Coordinates"); }
};

// As the 2D views turn: from the coordinates at the press, by RotateTool's angle for the distance across.
class RotateCornersDrag : public CornerDrag {
public:
    using CornerDrag::CornerDrag;

protected:
    std::vector<CornerCoords> moved(const SkinDragContext& c, const SkinPointer& p) const override {
        const int degrees = RotateTool::degrees(p.at.x() - c.pressAt.x(), p.fine);
        const double angle = degrees * std::numbers::pi / 180.0;
        const auto cosine = float(std::cos(angle));
        const auto sine = float(std::sin(angle));
        return each(c, from_, [&](std::array<float, 2> st) {
            const float u = st[0] - centre_[0];
            const float v = st[1] - centre_[1];
            return std::array<float, 2>{centre_[0] + u * cosine - v * sine,
                                        centre_[1] + u * sine + v * cosine};
        });
    }
    const char* stepName() const override { return FACETO_TEXT("Rotate Skin Coordinates"); }
};

// On a selected triangle or within 5 pixels of a selected corner.
bool onSelection(const SkinDragContext& c) {
    const Model& model = c.doc.model();
    const auto& infos = model.vertexInfos;
    const auto at = c.view.toSkin(c.pressAt, c.width, c.height);
    const int hit = skinTriangleAt(model, at[0], at[1]);
    if (hit >= 0 && std::all_of(model.triangles[size_t(hit)].v.begin(), model.triangles[size_t(hit)].v.end(),
                                [&](int32_t v) { return infos[size_t(v)].selected(); })) {
        return true;
    }
    for (const Triangle& t : model.triangles) {
        if (!triangleShown(model, t)) {
            continue;
        }
        for (size_t k = 0; k < 3; ++k) {
            if (infos[size_t(t.v[k])].selected() &&
                QLineF(c.view.toScreen(t.st[k][0], t.st[k][1], c.width, c.height), c.pressAt).length() <=
                    5.0) {
                return true;
            }
        }
    }
    return false;
}

} // namespace

std::unique_ptr<SkinDrag> SkinDrag::start(SkinDragContext& c, const AppState& app, bool left, bool ctrl) {
    const int tool = app.currentTool;
    if (ctrl || tool == TOOL_MOVE_ZOOM) {
        return left ? std::unique_ptr<SkinDrag>(std::make_unique<PanDrag>()) : std::make_unique<ZoomDrag>();
    }
    if (tool == TOOL_SCALE) {
        return std::make_unique<ScaleCornersDrag>(c.doc);
    }
    if (tool == TOOL_ROTATE && left) {
        return std::make_unique<RotateCornersDrag>(c.doc);
    }
    if (tool == TOOL_EDIT && left) {
        return onSelection(c) ? std::unique_ptr<SkinDrag>(std::make_unique<MoveCornersDrag>(c.doc))
                              : std::make_unique<SelectDrag>();
    }
    return nullptr;
}

} // namespace faceto
