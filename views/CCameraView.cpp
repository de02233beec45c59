#include "views/CCameraView.h"

#include "views/CameraDrawing.h"
#include "views/QtFramePresenter.h"

#include <QContextMenuEvent>
#include <QMouseEvent>
#include <QPainter>

namespace faceto {

namespace {

MouseButton buttonOf(const QMouseEvent* e) { return e->button() == Qt::RightButton ? MouseButton::Right : MouseButton::Left; }

} // namespace

CCameraView::CCameraView(ViewContext& context, CFacetoDoc* doc, QWidget* parent)
    : QWidget(parent), context_(context), doc_(doc) {
    setAttribute(Qt::WA_OpaquePaintEvent); // the frame covers the whole window: nothing to erase
    setFocusPolicy(Qt::ClickFocus);
    context_.registry.add(doc_, this);
}

CCameraView::~CCameraView() { context_.registry.remove(this); }

void CCameraView::onInitialUpdate() {
    camera = initialCamera();
    mouse.panArmed = false;
}

void CCameraView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QtFramePresenter presenter(&painter);
    drawCameraView(context_.rasterizer, doc_, camera, width(), height(), &presenter);
}

void CCameraView::mousePressEvent(QMouseEvent* e) {
    const QPoint p = e->position().toPoint();
    mouse.press(buttonOf(e), p.x(), p.y(), (e->buttons() & Qt::LeftButton) && e->button() != Qt::LeftButton,
                (e->buttons() & Qt::RightButton) && e->button() != Qt::RightButton, *this);
}

void CCameraView::mouseMoveEvent(QMouseEvent* e) {
    const QPoint p = e->position().toPoint();
    mouse.move(p.x(), p.y(), e->buttons() & Qt::LeftButton, camera, *this);
}

void CCameraView::mouseReleaseEvent(QMouseEvent* e) {
    mouse.release(buttonOf(e), e->buttons() & Qt::LeftButton, e->buttons() & Qt::RightButton, *this);
}

void CCameraView::contextMenuEvent(QContextMenuEvent* e) { e->accept(); }


} // namespace faceto
