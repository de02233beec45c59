#include "views/C2DView.h"

#include "document/CFacetoDoc.h"
#include "views/Framing.h"
#include "views/OrthoView.h"
#include "views/QtFramePresenter.h"
#include "views/StepTimings.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

namespace faceto {

namespace {

MouseButton buttonOf(const QMouseEvent* e) {
    return e->button() == Qt::RightButton ? MouseButton::Right : MouseButton::Left;
}

} // namespace

C2DView::C2DView(ViewContext& context, CFacetoDoc* doc, int paneRow, int paneColumn, QWidget* parent)
    : QWidget(parent), context_(context), doc_(doc), view_(context.registry.stateOf(doc)), paneRow_(paneRow),
      paneColumn_(paneColumn), editor_(orientationForPane(paneRow, paneColumn), context.app, view_) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::ClickFocus);
    setMouseTracking(true); // the status bar shows where the pointer is
    static const char* const NAMES[3] = {QT_TR_NOOP("Top view"), QT_TR_NOOP("Side view"),
                                         QT_TR_NOOP("Front view")};
    setAccessibleName(tr(NAMES[orientationForPane(paneRow, paneColumn)]));
    context_.registry.add(doc_, this, ViewRegistry::MODEL_PANE & ~change::SKIN_PLAY); // no skin shows here
}

C2DView::~C2DView() {
    context_.registry.remove(this);
}

void C2DView::onInitialUpdate() {
    if (initialised_) {
        return;
    }
    initialised_ = true;
    if (doc_ == nullptr) {
        return;
    }
    if (isFirstView()) {
        const float old = view_.zoomFactor;
        view_.zoomFactor = initialZoomFactor(view_, width(), height());
        // Panes framed before this one keep their scale.
        for (int o = 0; o < 3; ++o) {
            if (view_.orthoFramed[size_t(o)] && view_.zoomFactor > 0.0f) {
                view_.orthoViews[size_t(o)].zoom *= old / view_.zoomFactor;
            }
        }
        // Panes drawn before this one used the old factor.
        context_.registry.updateViews(doc_, {change::VIEW}, this);
    }
    const int o = orientation();
    if (view_.frameOnOpen && !view_.orthoFramed[size_t(o)]) {
        view_.orthoFramed[size_t(o)] = true;
        frameOrtho(view_, o, width(), height(), frameBounds(*doc_, false));
    }
}

void C2DView::frameModel(bool selectedOnly) {
    if (doc_ != nullptr) {
        frameOrtho(view_, orientation(), width(), height(), frameBounds(*doc_, selectedOnly));
        context_.registry.updateViews(doc_, {change::VIEW});
    }
}

void C2DView::wheelEvent(QWheelEvent* e) {
    if (doc_ != nullptr && editor_.wheel(bufferPoint(e->position()).x(), bufferPoint(e->position()).y(),
                                         float(e->angleDelta().y()) / 120.0f, *this)) {
        e->accept();
    }
}

bool C2DView::event(QEvent* e) {
    switch (e->type()) {
    case QEvent::Paint:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::KeyPress:
        if (doc_ != nullptr) {
            view_.pixelRatio = float(devicePixelRatioF());
        }
        break;
    default:
        break;
    }
    return QWidget::event(e);
}

void C2DView::paintEvent(QPaintEvent*) {
    if (doc_ == nullptr) {
        return;
    }
    onInitialUpdate();
    QPainter painter(this);
    paintInDevicePixels(painter, devicePixelRatioF());
    paintFrame(painter);
}

void C2DView::drawFrame(RecordedFrame& out, int width, int height) {
    drawOrthoView(rasterizer_, *doc_, view_, orientation(), context_.app, width, height, &out, &out, &layer_);
}

MouseState C2DView::stateOf(const QMouseEvent* e) const {
    const QPoint p = bufferPoint(e->position());
    MouseState m;
    m.x = p.x();
    m.y = p.y();
    m.ctrl = e->modifiers() & Qt::ControlModifier;
    m.shift = e->modifiers() & Qt::ShiftModifier;
    m.leftHeld = e->buttons() & Qt::LeftButton;
    m.rightHeld = e->buttons() & Qt::RightButton;
    return m;
}

void C2DView::mousePressEvent(QMouseEvent* e) {
    if (doc_ == nullptr) {
        return;
    }
    MouseState m = stateOf(e);
    // The other button's state, without the one just pressed.
    if (e->button() == Qt::LeftButton) {
        m.leftHeld = false;
    } else {
        m.rightHeld = false;
    }
    editor_.press(*doc_, buttonOf(e), m, *this);
}

void C2DView::mouseMoveEvent(QMouseEvent* e) {
    if (doc_ == nullptr) {
        return;
    }
    if (StepTimings::instance().enabled() && (e->buttons() & (Qt::LeftButton | Qt::RightButton))) {
        StepTimings::instance().beginStep();
        const StepTimings::Scope timed(true, {});
        editor_.move(*doc_, stateOf(e), *this);
    } else {
        editor_.move(*doc_, stateOf(e), *this);
    }
    if (context_.registry.onPointer) {
        // Where the pointer is, in the world coordinates of the two axes this pane shows.
        const OrthoMapping m(view_, orientation(), clientWidth(), clientHeight());
        const QPoint p = bufferPoint(e->position());
        static const char* const AXES[3] = {"X", "Y", "Z"};
        const OrthoViewState& s = m.state();
        context_.registry.onPointer(
            QString("%1 %2   %3 %4")
                .arg(AXES[s.axisU])
                .arg(double(m.uAtColumn(float(p.x()))), 0, 'f', 2)
                .arg(AXES[s.axisV])
                .arg(double(m.vAtBufferRow(float(clientHeight() - p.y()))), 0, 'f', 2));
    }
}

void C2DView::mouseReleaseEvent(QMouseEvent* e) {
    if (doc_ != nullptr) {
        editor_.release(*doc_, buttonOf(e), stateOf(e), *this);
    }
    StepTimings::instance().endDrag();
}

void C2DView::mouseDoubleClickEvent(QMouseEvent* e) {
    if (doc_ != nullptr) {
        editor_.doubleClick(buttonOf(e), stateOf(e), *this);
    }
}

void C2DView::keyPressEvent(QKeyEvent* e) {
    const int key = e->key();
    if (doc_ != nullptr && key >= Qt::Key_0 && key <= Qt::Key_9 && !(e->modifiers() & Qt::KeypadModifier) &&
        editor_.digitKey(key - Qt::Key_0, *this)) {
        e->accept();
        return;
    }
    QWidget::keyPressEvent(e);
}

void C2DView::updateOtherViews() {
    context_.registry.updateViews(doc_, {change::VIEW | change::SELECTION}, this);
}

void C2DView::reportAction(const std::string& text) {
    if (context_.registry.onAction) {
        context_.registry.onAction(QString::fromStdString(text));
    }
}

} // namespace faceto
