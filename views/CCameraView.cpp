#include "views/CCameraView.h"

#include "document/CFacetoDoc.h"
#include "document/Selection.h"
#include "views/CameraDrawing.h"

#include <QContextMenuEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

namespace faceto {

CCameraView::CCameraView(ViewContext& context, CFacetoDoc* doc, QWidget* parent)
    : CameraWidget(parent), context_(context), doc_(doc), view_(context.registry.stateOf(doc)) {
    setAccessibleName(tr("Camera view"));
    context_.registry.add(doc_, this);
}

CCameraView::~CCameraView() {
    context_.registry.remove(this);
}

void CCameraView::onInitialUpdate() {
    camera = initialCamera();
    home_ = camera;
    mouse.panArmed = false;
}

Bounds CCameraView::shownBounds() const {
    return doc_ ? frameBounds(*doc_, false) : Bounds{};
}

void CCameraView::frameModel(bool selectedOnly) {
    if (doc_ != nullptr) {
        camera = frameCamera(camera, frameBounds(*doc_, selectedOnly), clientWidth(), clientHeight());
        update();
    }
}

void CCameraView::resetCamera() {
    camera = home_;
    update();
}

void CCameraView::paintEvent(QPaintEvent*) {
    if (!placed_ && doc_ != nullptr && width() > 1 && height() > 1) {
        placed_ = true;
        if (view_.frameOnOpen) {
            camera = home_ = frameCamera(camera, frameBounds(*doc_, false), clientWidth(), clientHeight());
        }
    }
    QPainter painter(this);
    paintInDevicePixels(painter, devicePixelRatioF());
    paintFrame(painter);
}

void CCameraView::drawFrame(RecordedFrame& out, int width, int height) {
    const bool following = doc_ == context_.app.activeDocument && context_.app.followedFrame >= 0;
    drawCameraView(rasterizer_, doc_, view_, camera, width, height, &out,
                   following ? context_.app.followedFrame : -1, &out, &projection_);
}

void CCameraView::mousePressEvent(QMouseEvent* e) {
    pressedAt_ = e->position().toPoint();
    CameraWidget::mousePressEvent(e);
}

void CCameraView::mouseReleaseEvent(QMouseEvent* e) {
    const QPoint at = e->position().toPoint();
    const bool click = e->button() == Qt::LeftButton && (at - pressedAt_).manhattanLength() <= 2;
    const Mat4 before = camera;
    CameraWidget::mouseReleaseEvent(e);
    if (!click || doc_ == nullptr || context_.app.editLevel != LEVEL_TRIANGLE) {
        return;
    }
    camera = before;
    const int picked = pickCameraTriangle(*doc_, view_, camera, clientWidth(), clientHeight(),
                                          bufferPoint(at).x(), bufferPoint(at).y());
    if (picked < 0) {
        return;
    }
    toggleTriangle(*doc_, picked); // selected, or unselected when it was
}

void CCameraView::contextMenuEvent(QContextMenuEvent* e) {
    e->accept();
} // no menu here

} // namespace faceto
