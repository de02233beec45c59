#include "views/CSkinView.h"

#include "document/CFacetoDoc.h"
#include "views/SkinDrags.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

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
        drag_.reset();
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
    const bool banding = drag_ && drag_->banding() && dragged_;
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
                         tr("The model has no skin: New Skin or Generate SkinMap makes one."));
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
    zoomSkinViewAbout(view_, at, factor, width(), height());
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

SkinDragContext CSkinView::dragContext() {
    return {*doc_, view_, width(), height(), snap_, gesture_, pressAt_, lastAt_, dragged_};
}

void CSkinView::mousePressEvent(QMouseEvent* event) {
    if (doc_ == nullptr || drag_) {
        return;
    }
    setFocus();
    pressAt_ = lastAt_ = event->position();
    dragged_ = false;
    gesture_ = doc_->newGesture();
    const bool left = event->button() == Qt::LeftButton;
    if (!left && event->button() != Qt::RightButton) {
        return;
    }
    SkinDragContext c = dragContext();
    drag_ = SkinDrag::start(c, app_, left, (event->modifiers() & Qt::ControlModifier) != 0);
}

void CSkinView::mouseMoveEvent(QMouseEvent* event) {
    if (doc_ == nullptr || !drag_) {
        return;
    }
    const QPointF at = event->position();
    if ((at - pressAt_).manhattanLength() >= 2) {
        dragged_ = true;
    }
    SkinDragContext c = dragContext();
    drag_->move(
        c, {at, (event->modifiers() & Qt::ShiftModifier) != 0, (event->buttons() & Qt::LeftButton) != 0});
    lastAt_ = at;
    update();
}

void CSkinView::mouseReleaseEvent(QMouseEvent* event) {
    if (doc_ == nullptr || !drag_) {
        return;
    }
    const std::unique_ptr<SkinDrag> ended = std::move(drag_);
    lastAt_ = event->position();
    SkinDragContext c = dragContext();
    ended->release(c, (event->modifiers() & Qt::ShiftModifier) != 0);
    update();
}

} // namespace faceto
