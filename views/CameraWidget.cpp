#include "views/CameraWidget.h"

#include <QMouseEvent>
#include <QWheelEvent>

namespace faceto {

namespace {

MouseButton buttonOf(const QMouseEvent* e) {
    return e->button() == Qt::RightButton ? MouseButton::Right : MouseButton::Left;
}

} // namespace

CameraWidget::CameraWidget(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent); // the frame covers the whole window: nothing to erase
    setFocusPolicy(Qt::ClickFocus);
}

void CameraWidget::mousePressEvent(QMouseEvent* e) {
    const QPoint p = e->position().toPoint();
    const std::array<float, 2> units = panUnitsPerPixel(camera, shownBounds(), height());
    mouse.unitsPerPixelX = units[0];
    mouse.unitsPerPixelY = units[1];
    // The other button's state, without the one just pressed.
    mouse.press(buttonOf(e), p.x(), p.y(), (e->buttons() & Qt::LeftButton) && e->button() != Qt::LeftButton,
                (e->buttons() & Qt::RightButton) && e->button() != Qt::RightButton, *this);
}

void CameraWidget::mouseMoveEvent(QMouseEvent* e) {
    const QPoint p = e->position().toPoint();
    mouse.move(p.x(), p.y(), e->buttons() & Qt::LeftButton, camera, *this);
}

void CameraWidget::wheelEvent(QWheelEvent* e) {
    const Bounds bounds = shownBounds();
    const Vec3 c = bounds.valid ? bounds.centre() : Vec3{0, 0, 0};
    const float depth = camera.transformPoint(c.x, c.y, c.z).z;
    const float notches = float(e->angleDelta().y()) / 120.0f;
    if (notches == 0.0f) {
        return;
    }
    // Towards the model a tenth of its distance per notch, never through it; out as far as wanted.
    const float step = (depth > 0.0f ? depth : bounds.radius()) * 0.1f * notches;
    camera = Mat4::translation(0, 0, -step) * camera;
    e->accept();
    update();
}

void CameraWidget::mouseReleaseEvent(QMouseEvent* e) {
    mouse.release(buttonOf(e), e->buttons() & Qt::LeftButton, e->buttons() & Qt::RightButton, *this);
}

} // namespace faceto
