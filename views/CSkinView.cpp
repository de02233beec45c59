#include "views/CSkinView.h"

#include "document/CFacetoDoc.h"
#include "document/EditOperations.h"
#include "document/Selection.h"
#include "views/Tools.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace faceto {

CSkinView::CSkinView(AppState& app, QWidget* parent) : QWidget(parent), app_(app) {
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(false);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(120, 120);
}

void CSkinView::setDocument(CFacetoDoc* doc) {
    if (doc != doc_) {
        doc_ = doc;
        drag_ = Drag::None;
        view_.fitted = false;
    }
    update();
}

void CSkinView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (doc_ == nullptr) {
        painter.fillRect(rect(), QColor(64, 64, 72));
        return;
    }
    const Skin* skin = shownSkin(*doc_);
    if (!view_.fitted) {
        const int w = skin && skin->hasImage() ? skin->imageWidth : std::max(doc_->source().skinWidth, 64);
        const int h = skin && skin->hasImage() ? skin->imageHeight : std::max(doc_->source().skinHeight, 64);
        view_.fit(w, h, width(), height());
    }
    QRectF shownBand;
    const bool banding = drag_ == Drag::Select && dragged_;
    if (banding) {
        shownBand = QRectF(pressAt_, lastAt_);
    }
    // Drawn again only when what it shows changed: moving vertices in the model views changes the
    // document (and asks every view to paint) but not the skin map.
    const uint64_t shown = shownState(banding ? &shownBand : nullptr);
    if (shown != shownState_ || picture_.size() != size()) {
        picture_ = QImage(size(), QImage::Format_RGB32);
        QPainter onPicture(&picture_);
        drawSkinView(onPicture, *doc_, view_, width(), height(), cache_, banding ? &shownBand : nullptr);
        shownState_ = shown;
    }
    painter.drawImage(0, 0, picture_);
    if (skin == nullptr) {
        painter.setPen(QColor(220, 220, 220));
        painter.drawText(rect().adjusted(8, 8, -8, -8), Qt::AlignTop | Qt::AlignLeft | Qt::TextWordWrap,
                         "The model has no skin: New Skin or Generate SkinMap makes one.");
    }
}

uint64_t CSkinView::shownState(const QRectF* band) const {
    // The skin map, the selection, the skin shown (and how it wraps) and the view, as one number.
    uint64_t h = digestOf(doc_->model().triangles);
    h = h * 31 + digestOf(doc_->model().vertexInfos);
    const Skin* skin = shownSkin(*doc_);
    const std::array<float, 7> view{view_.centerS,
                                    view_.centerT,
                                    view_.zoom,
                                    band ? float(band->left()) : -1.0f,
                                    band ? float(band->top()) : -1.0f,
                                    band ? float(band->right()) : -1.0f,
                                    band ? float(band->bottom()) : -1.0f};
    h = h * 31 + digestOf(view);
    h = h * 31 +
        (skin ? digestOf(skin->pixels) + digestOf(skin->palette) + uint64_t(skin->imageWidth) * 7919 +
                    uint64_t(skin->imageHeight) + uint64_t(skin->wrap[0]) * 3 + uint64_t(skin->wrap[1]) * 5
              : 0);
    return h * 31 + uint64_t(reinterpret_cast<uintptr_t>(doc_));
}

void CSkinView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    update();
}

void CSkinView::zoomAbout(QPointF at, float factor) {
    const auto before = view_.toSkin(at, width(), height());
    view_.zoom = std::clamp(view_.zoom * factor, 0.05f, 64.0f);
    const auto after = view_.toSkin(at, width(), height());
    view_.centerS += before[0] - after[0];
    view_.centerT += before[1] - after[1];
    update();
}

void CSkinView::wheelEvent(QWheelEvent* event) {
    const float notches = float(event->angleDelta().y()) / 120.0f;
    if (notches != 0.0f) {
        zoomAbout(event->position(), std::pow(1.25f, notches));
    }
    event->accept();
}

void CSkinView::keyPressEvent(QKeyEvent* event) {
    const QPointF middle(width() / 2.0, height() / 2.0);
    switch (event->key()) {
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        zoomAbout(middle, 1.25f);
        break;
    case Qt::Key_Minus:
        zoomAbout(middle, 0.8f);
        break;
    case Qt::Key_Home:
        view_.fitted = false;
        update();
        break;
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down: {
        const float step = 32.0f / view_.zoom;
        view_.centerS += event->key() == Qt::Key_Left ? -step : event->key() == Qt::Key_Right ? step : 0.0f;
        view_.centerT += event->key() == Qt::Key_Up ? -step : event->key() == Qt::Key_Down ? step : 0.0f;
        update();
        break;
    }
    default:
        QWidget::keyPressEvent(event);
    }
}

void CSkinView::collectCorners() {
    triangles_.clear();
    from_.clear();
    moved_.clear();
    const auto& infos = doc_->model().vertexInfos;
    float lo[2] = {std::numeric_limits<float>::max(), std::numeric_limits<float>::max()};
    float hi[2] = {std::numeric_limits<float>::lowest(), std::numeric_limits<float>::lowest()};
    for (size_t i = 0; i < doc_->model().triangles.size(); ++i) {
        const Triangle& t = doc_->model().triangles[i];
        if (!triangleShown(doc_->model(), t)) {
            continue;
        }
        std::array<bool, 3> moved{};
        for (size_t k = 0; k < 3; ++k) {
            moved[k] = infos[size_t(t.v[k])].selected();
            if (moved[k]) {
                for (int a = 0; a < 2; ++a) {
                    lo[a] = std::min(lo[a], t.st[k][size_t(a)]);
                    hi[a] = std::max(hi[a], t.st[k][size_t(a)]);
                }
            }
        }
        if (moved[0] || moved[1] || moved[2]) {
            triangles_.push_back(int32_t(i));
            from_.push_back(t.st);
            moved_.push_back(moved);
        }
    }
    current_ = from_;
    centre_ = triangles_.empty() ? std::array<float, 2>{0.0f, 0.0f}
                                 : std::array<float, 2>{(lo[0] + hi[0]) / 2.0f, (lo[1] + hi[1]) / 2.0f};
}

std::array<float, 2> CSkinView::snapped(std::array<float, 2> st) const {
    return snap_ ? std::array<float, 2>{std::round(st[0]), std::round(st[1])} : st;
}

void CSkinView::applyCorners(const std::vector<CornerCoords>& after, const char* stepName) {
    if (triangles_.empty() || after == current_) {
        return;
    }
    current_ = after;
    doc_->run(std::make_unique<ChangeSkinCoords>(stepName, triangles_, after, gesture_));
}

void CSkinView::mousePressEvent(QMouseEvent* event) {
    if (doc_ == nullptr || drag_ != Drag::None) {
        return;
    }
    setFocus();
    pressAt_ = lastAt_ = event->position();
    dragged_ = false;
    gesture_ = doc_->newGesture();
    const bool left = event->button() == Qt::LeftButton;
    const bool right = event->button() == Qt::RightButton;
    if (!left && !right) {
        return;
    }
    if ((event->modifiers() & Qt::ControlModifier) || app_.currentTool == TOOL_MOVE_ZOOM) {
        drag_ = left ? Drag::Pan : Drag::Zoom;
        return;
    }
    if (app_.currentTool == TOOL_SCALE || (app_.currentTool == TOOL_ROTATE && left)) {
        collectCorners();
        drag_ = app_.currentTool == TOOL_SCALE ? Drag::Scale : Drag::Rotate;
        return;
    }
    if (app_.currentTool == TOOL_EDIT && left) {
        // On a selected triangle or on a selected corner: the drag moves; elsewhere it selects.
        const auto at = view_.toSkin(pressAt_, width(), height());
        const int hit = skinTriangleAt(doc_->model(), at[0], at[1]);
        const auto& infos = doc_->model().vertexInfos;
        bool onSelection = hit >= 0 && std::all_of(doc_->model().triangles[size_t(hit)].v.begin(),
                                                   doc_->model().triangles[size_t(hit)].v.end(),
                                                   [&](int32_t v) { return infos[size_t(v)].selected(); });
        for (size_t i = 0; i < doc_->model().triangles.size() && !onSelection; ++i) {
            const Triangle& t = doc_->model().triangles[i];
            for (size_t k = 0; k < 3 && triangleShown(doc_->model(), t); ++k) {
                if (infos[size_t(t.v[k])].selected() &&
                    QLineF(view_.toScreen(t.st[k][0], t.st[k][1], width(), height()), pressAt_).length() <=
                        5.0) {
                    onSelection = true;
                    break;
                }
            }
        }
        if (onSelection) {
            collectCorners();
            drag_ = Drag::Move;
        } else {
            drag_ = Drag::Select;
        }
    }
}

void CSkinView::mouseMoveEvent(QMouseEvent* event) {
    if (doc_ == nullptr || drag_ == Drag::None) {
        return;
    }
    const QPointF at = event->position();
    if ((at - pressAt_).manhattanLength() >= 2) {
        dragged_ = true;
    }
    const bool fine = (event->modifiers() & Qt::ShiftModifier) != 0;
    const QPointF step = at - lastAt_;
    switch (drag_) {
    case Drag::Pan:
        view_.centerS -= float(step.x()) / view_.zoom;
        view_.centerT -= float(step.y()) / view_.zoom;
        update();
        break;
    case Drag::Zoom:
        if (step.y() != 0) {
            zoomAbout(pressAt_, step.y() < 0 ? 1.05f : 0.95f);
        }
        break;
    case Drag::Select:
        update();
        break;
    case Drag::Move: {
        // Shift moves a tenth as far.
        const float factor = fine ? 0.1f : 1.0f;
        const float ds = float(at.x() - pressAt_.x()) / view_.zoom * factor;
        const float dt = float(at.y() - pressAt_.y()) / view_.zoom * factor;
        std::vector<CornerCoords> after = from_;
        for (size_t i = 0; i < after.size(); ++i) {
            for (size_t k = 0; k < 3; ++k) {
                if (moved_[i][k]) {
                    after[i][k] = snapped({from_[i][k][0] + ds, from_[i][k][1] + dt});
                }
            }
        }
        applyCorners(after, "Move Skin Coordinates");
        break;
    }
    case Drag::Scale: {
        // As the 2D views scale (the skin's t runs down the view).
        const auto [fs, ft] = ScaleTool::factors(int(std::lround(step.x())), int(std::lround(-step.y())),
                                                 (event->buttons() & Qt::LeftButton) != 0, fine);
        std::vector<CornerCoords> after = current_;
        for (size_t i = 0; i < after.size(); ++i) {
            for (size_t k = 0; k < 3; ++k) {
                if (moved_[i][k]) {
                    after[i][k] = snapped({centre_[0] + (after[i][k][0] - centre_[0]) * fs,
                                           centre_[1] + (after[i][k][1] - centre_[1]) * ft});
                }
            }
        }
        applyCorners(after, "Scale Skin Coordinates");
        break;
    }
    case Drag::Rotate: {
        // A degree per pixel across, in steps of 15 with Shift, from the coordinates at the press.
        const int degrees = RotateTool::degrees(at.x() - pressAt_.x(), fine);
        const double angle = degrees * std::numbers::pi / 180.0;
        const auto c = float(std::cos(angle));
        const auto s = float(std::sin(angle));
        std::vector<CornerCoords> after = from_;
        for (size_t i = 0; i < after.size(); ++i) {
            for (size_t k = 0; k < 3; ++k) {
                if (moved_[i][k]) {
                    const float u = from_[i][k][0] - centre_[0];
                    const float v = from_[i][k][1] - centre_[1];
                    after[i][k] = snapped({centre_[0] + u * c - v * s, centre_[1] + u * s + v * c});
                }
            }
        }
        applyCorners(after, "Rotate Skin Coordinates");
        break;
    }
    case Drag::None:
        break;
    }
    lastAt_ = at;
}

void CSkinView::clickSelect(QPointF at, bool add) {
    const auto st = view_.toSkin(at, width(), height());
    const int hit = skinTriangleAt(doc_->model(), st[0], st[1]);
    if (hit < 0) {
        if (!add) {
            doc_->selectNone();
        }
    } else if (add) {
        toggleTriangle(*doc_, hit); // Shift on a selected triangle takes it away
    } else {
        selectTriangles(*doc_, {hit}, false);
    }
}

void CSkinView::bandSelect(bool add) {
    const auto a = view_.toSkin(pressAt_, width(), height());
    const auto b = view_.toSkin(lastAt_, width(), height());
    selectTriangles(*doc_, skinTrianglesIn(doc_->model(), QRectF(QPointF(a[0], a[1]), QPointF(b[0], b[1]))),
                    add);
}

void CSkinView::mouseReleaseEvent(QMouseEvent* event) {
    if (doc_ == nullptr || drag_ == Drag::None) {
        return;
    }
    const Drag ended = drag_;
    drag_ = Drag::None;
    lastAt_ = event->position();
    const bool add = (event->modifiers() & Qt::ShiftModifier) != 0;
    if ((ended == Drag::Select || ended == Drag::Move) && !dragged_) {
        clickSelect(lastAt_, add);
    } else if (ended == Drag::Select) {
        bandSelect(add);
    }
    update();
}

} // namespace faceto
