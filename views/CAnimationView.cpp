#include "views/CAnimationView.h"

#include "views/QtFramePresenter.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

namespace faceto {

CAnimationView::CAnimationView(ViewContext& context, QWidget* parent) : QWidget(parent), context_(context) {
    setWindowTitle("Animation View");
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::ClickFocus);
}

void CAnimationView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QtFramePresenter presenter(&painter);
    drawPreview(context_.rasterizer, context_.app.activeDocument, settings, camera, width(), height(), &presenter);
}

void CAnimationView::setFullScreen(bool on) {
    if (on == fullScreen_) {
        return;
    }
    if (on) {
        savedRect_ = geometry();
        savedParent_ = parentWidget();
        QScreen* screen = savedParent_ ? savedParent_->screen() : QGuiApplication::primaryScreen();
        setParent(nullptr, Qt::Window | Qt::FramelessWindowHint);
        setGeometry(screen ? screen->geometry() : QRect(0, 0, 640, 480));
        fullScreen_ = true;
        show();
        raise();
        activateWindow();
        setFocus();
    } else {
        setParent(savedParent_, Qt::Widget);
        setGeometry(savedRect_);
        fullScreen_ = false;
        show();
    }
}

void CAnimationView::mousePressEvent(QMouseEvent* e) {
    const QPoint p = e->position().toPoint();
    const MouseButton button = e->button() == Qt::RightButton ? MouseButton::Right : MouseButton::Left;
    mouse.press(button, p.x(), p.y(), (e->buttons() & Qt::LeftButton) && button != MouseButton::Left,
                (e->buttons() & Qt::RightButton) && button != MouseButton::Right, *this);
}

void CAnimationView::mouseMoveEvent(QMouseEvent* e) {
    const QPoint p = e->position().toPoint();
    mouse.move(p.x(), p.y(), e->buttons() & Qt::LeftButton, camera, *this);
}

void CAnimationView::mouseReleaseEvent(QMouseEvent* e) {
    const MouseButton button = e->button() == Qt::RightButton ? MouseButton::Right : MouseButton::Left;
    mouse.release(button, e->buttons() & Qt::LeftButton, e->buttons() & Qt::RightButton, *this);
}

void CAnimationView::keyPressEvent(QKeyEvent* e) {
    setFullScreen(false); // any key brings the preview back to its panel
    e->accept();
}


} // namespace faceto
