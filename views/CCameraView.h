#pragma once

#include "views/CameraDrawing.h"
#include "views/CameraWidget.h"
#include "views/PaneBatch.h"
#include "views/ViewContext.h"

namespace faceto {

class CFacetoDoc;

// The perspective pane of a document window: the current frame flat-shaded through the colour map,
// every triangle outlined, turned and moved with the mouse.
class CCameraView : public CameraWidget, public ConcurrentPane {
    Q_OBJECT
public:
    CCameraView(ViewContext& context, CFacetoDoc* doc, QWidget* parent = nullptr);
    ~CCameraView() override;

    CFacetoDoc* document() const { return doc_; }
    void detachDocument() { doc_ = nullptr; }
    // Sets the camera it starts with: at (100, 0, 0) looking at the origin, +z up (moved back to show
    // the whole model at its first paint when the document frames its model on opening).
    void onInitialUpdate();
    // Moves the camera, turned as it is, to show the visible vertices (or the selected ones) whole.
    void frameModel(bool selectedOnly);
    // Puts the camera back where it started.
    void resetCamera();

protected:
    void paintEvent(QPaintEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    // At the triangle level a click (a press and release without a drag) picks the triangle under it.
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    Bounds shownBounds() const override;

private:
    void drawFrame(RecordedFrame& out, int width, int height) override;
    QSize frameSize() const override { return {clientWidth(), clientHeight()}; }
    QString timingName() const override { return QStringLiteral("Camera"); }
    QWidget* paneWidget() override { return this; }
    ViewContext& context_;
    Rasterizer rasterizer_{context_.tables};
    ProjectionMemo projection_; // what the rasterizer's projection was made from
    CFacetoDoc* doc_;
    ViewState& view_;
    Mat4 home_;
    QPoint pressedAt_;
    bool placed_ = false; // the start camera is settled (at the first paint, when the size is known)
};

} // namespace faceto
