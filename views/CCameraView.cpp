#include "views/CCameraView.h"

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
    mouse.panArmed = false;
}

void CCameraView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QtFramePresenter presenter(&painter);
    drawCameraView(context_.rasterizer, doc_, camera, width(), height(), &presenter);
}

void CCameraView::contextMenuEvent(QContextMenuEvent* e) { e->accept(); } // no menu here

} // namespace faceto
