#include "views/CAnimationView.h"

#include "document/CFacetoDoc.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>

namespace faceto {

CAnimationView::CAnimationView(ViewContext& context, QWidget* parent)
    : CameraWidget(parent), context_(context) {
    setWindowTitle(tr("Animation View"));
    setAccessibleName(tr("Animation preview"));
}

Bounds CAnimationView::shownBounds() const {
    const CFacetoDoc* doc = context_.app.activeDocument;
    return doc ? frameBounds(*doc, false) : Bounds{};
}

void CAnimationView::paintEvent(QPaintEvent*) {
    // A document shown for the first time is framed, as its windows are.
    CFacetoDoc* doc = context_.app.activeDocument;
    if (doc != nullptr && doc != framedFor_ && width() > 1 && height() > 1) {
        framedFor_ = doc;
        if (context_.registry.stateOf(doc).frameOnOpen) {
            camera = frameCamera(camera, frameBounds(*doc, false), clientWidth(), clientHeight());
            discardFrame();
        }
    }
    QPainter painter(this);
    paintInDevicePixels(painter, devicePixelRatioF());
    paintFrame(painter);
}

void CAnimationView::drawFrame(RecordedFrame& out, int width, int height) {
    drawPreview(rasterizer_, context_.app.activeDocument, settings, camera, width, height, &out,
                &projection_);
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

void CAnimationView::keyPressEvent(QKeyEvent* e) {
    setFullScreen(false); // any key brings the preview back to its panel
    e->accept();
}

} // namespace faceto
