#include "views/CameraWidget.h"

#include <QMouseEvent>

namespace faceto {

namespace {

MouseButton buttonOf(const QMouseEvent* e) { return e->button() == Qt::RightButton ? MouseButton::Right : MouseButton::Left; }

} // namespace

CameraWidget::CameraWidget(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent); // the frame covers the whole window: nothing to erase
    setFocusPolicy(Qt::ClickFocus);
}

void CameraWidget::mousePressEvent(QMouseEvent* e) {
    const QPoint p = e->position().toPoint();
    // The other button's state, without the one just pressed.
    mouse.press(buttonOf(e), p.x(), p.y(), (e->buttons() & Qt::LeftButton) && e->button() != Qt::LeftButton,
                (e->buttons() & Qt::RightButton) && e->button() != Qt::RightButton, *this);
}

void CameraWidget::mouseMoveEvent(QMouseEvent* e) {
    const QPoint p = e->position().toPoint();
    mouse.move(p.x(), p.y(), e->buttons() & Qt::LeftButton, camera, *this);
}

void CameraWidget::mouseReleaseEvent(QMouseEvent* e) {
    mouse.release(buttonOf(e), e->buttons() & Qt::LeftButton, e->buttons() & Qt::RightButton, *this);
}

} // namespace faceto
