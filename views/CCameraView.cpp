#include "views/CCameraView.h"

#include "document/CFacetoDoc.h"
#include "views/CameraDrawing.h"
#include "views/QtFramePresenter.h"

#include <QContextMenuEvent>
#include <QPainter>

namespace faceto {

CCameraView::CCameraView(ViewContext& context, CFacetoDoc* doc, QWidget* parent)
    : CameraWidget(parent), context_(context), doc_(doc) {
    context_.registry.add(doc_, this);
}

CCameraView::~CCameraView() { context_.registry.remove(this); }

void CCameraView::onInitialUpdate() {
    camera = initialCamera();
    home_ = camera;
    mouse.panArmed = false;
}

Bounds CCameraView::shownBounds() const { return doc_ ? frameBounds(*doc_, false) : Bounds{}; }

void CCameraView::frameModel(bool selectedOnly) {
    if (doc_ != nullptr) {
        camera = frameCamera(camera, frameBounds(*doc_, selectedOnly), width(), height());
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
        if (doc_->frameOnOpen) {
            camera = home_ = frameCamera(camera, frameBounds(*doc_, false), width(), height());
        }
    }
    QPainter painter(this);
    QtFramePresenter presenter(&painter);
    drawCameraView(context_.rasterizer, doc_, camera, width(), height(), &presenter);
}

void CCameraView::contextMenuEvent(QContextMenuEvent* e) { e->accept(); } // no menu here

} // namespace faceto
