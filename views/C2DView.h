#pragma once

#include "views/DevicePixels.h"
#include "views/OrthoEditor.h"
#include "views/OrthoView.h"
#include "views/PaneBatch.h"
#include "views/ViewContext.h"

#include <QWidget>

namespace faceto {

class CFacetoDoc;

// One orthographic pane of a document window: which of the three orientations it shows follows from
// its pane in the 2 x 2 layout. Draws through a rasterizer of its own and edits through OrthoEditor.
class C2DView : public QWidget, private MouseHost, public ConcurrentPane {
    Q_OBJECT
public:
    C2DView(ViewContext& context, CFacetoDoc* doc, int paneRow, int paneColumn, QWidget* parent = nullptr);
    ~C2DView() override;

    CFacetoDoc* document() const { return doc_; }
    const ViewState& viewState() const { return view_; }
    void detachDocument() { doc_ = nullptr; }
    int orientation() const { return editor_.orientation(); }
    bool isFirstView() const { return paneRow_ == 0 && paneColumn_ == 0; }
    // The first view sets the document's zoom factor from its size, once; each view frames its orientation
    // when the document frames its model on opening.
    void onInitialUpdate();
    // Centres and zooms this pane's orientation on the visible vertices (or the selected ones).
    void frameModel(bool selectedOnly);
    const OrthoEditor& editor() const { return editor_; }

protected:
    // A paint, a mouse event or a key first takes the pixel ratio of the screen the pane is on.
    bool event(QEvent* e) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    // The wheel zooms about the pointer.
    void wheelEvent(QWheelEvent* event) override;

private:
    bool hasCapture() const override { return captured_; }
    // While a button is down the window receives every mouse event (the toolkit's implicit grab), which
    // is what the capture of a drag stands for.
    void capture() override { captured_ = true; }
    void release() override { captured_ = false; }
    // Drawn with the other panes in this pass of the event loop: a drag step that also changes the
    // document (and so every pane) paints each pane once.
    void repaintSelf() override { requestFrame(); }
    void updateOtherViews() override;
    // The frame buffer's size, in device pixels.
    int clientWidth() const override { return devicePixels(width(), devicePixelRatioF()); }
    int clientHeight() const override { return devicePixels(height(), devicePixelRatioF()); }
    // A mouse position on the frame buffer.
    QPoint bufferPoint(QPointF at) const { return devicePoint(at, devicePixelRatioF()); }
    void reportAction(const std::string& text) override;
    void drawFrame(RecordedFrame& out, int width, int height) override;
    QSize frameSize() const override { return {clientWidth(), clientHeight()}; }
    QString timingName() const override { return accessibleName(); }
    QWidget* paneWidget() override { return this; }
    MouseState stateOf(const QMouseEvent* event) const;

    ViewContext& context_;
    Rasterizer rasterizer_{context_.tables};
    OrthoLayer layer_; // what a drag leaves as it was, kept between frames
    CFacetoDoc* doc_;
    ViewState& view_;
    int paneRow_;
    int paneColumn_;
    OrthoEditor editor_;
    bool initialised_ = false;
    bool captured_ = false;
};

} // namespace faceto
