#pragma once

#include "document/SkinOperations.h"
#include "views/AppState.h"
#include "views/SkinDrags.h"
#include "views/SkinDrawing.h"

#include <QWidget>
#include <memory>
#include <vector>

namespace faceto {

// The skin of a document at its pixels with the skin map over it. The wheel, + and - zoom, Home shows
// the whole skin; Ctrl, or the move/zoom tool, pans with the left button and zooms with the right one.
// The edit tool selects triangles (a click, or a rectangle; Shift adds) and drags the corners of the
// selected vertices; the scale and rotate tools scale and turn them as in the 2D views. Shift makes
// every step fine; with snapping on, moved corners land on whole texels. One drag is one undo step.
class CSkinView : public QWidget {
    Q_OBJECT
public:
    explicit CSkinView(AppState& app, QWidget* parent = nullptr);

    void setDocument(CFacetoDoc* doc);
    CFacetoDoc* document() const { return doc_; }
    SkinViewState& viewState() { return view_; }
    void setSnapToTexels(bool snap) { snap_ = snap; }
    bool snapToTexels() const { return snap_; }
    QSize sizeHint() const override { return {300, 300}; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void zoomAbout(QPointF at, float factor);
    SkinDragContext dragContext();
    uint64_t shownState(const QRectF* band) const;

    AppState& app_;
    CFacetoDoc* doc_ = nullptr;
    SkinViewState view_;
    SkinPictureCache cache_;
    QImage picture_;          // the pane as last drawn
    uint64_t shownState_ = 0; // what it showed
    bool snap_ = false;
    std::unique_ptr<SkinDrag> drag_; // the drag under way
    bool dragged_ = false;
    QPointF pressAt_;
    QPointF lastAt_;
    uint64_t gesture_ = 0;
};

} // namespace faceto
