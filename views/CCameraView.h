#pragma once

#include "views/CameraMath.h"
#include "views/CameraMouse.h"
#include "views/ViewContext.h"

#include <QWidget>

namespace faceto {

class CFacetoDoc;

// The perspective pane of a document window: the current frame flat-shaded through the colour map,
// every triangle outlined, turned and moved with the mouse.
class CCameraView : public QWidget, private MouseHost {
    Q_OBJECT
public:
    CCameraView(ViewContext& context, CFacetoDoc* doc, QWidget* parent = nullptr);
    ~CCameraView() override;

    CFacetoDoc* document() const { return doc_; }
    // Sets the camera it starts with: at (100, 0, 0) looking at the origin, +z up.
    void onInitialUpdate();

    Mat4 camera = initialCamera();
    CameraMouse mouse;

public slots:
    // "Reset Camera" and "No Rendering" repaint the view; the camera stays where it is.
    void resetCamera() { update(); }
    void noRendering() { update(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    bool hasCapture() const override { return captured_; }
    // While a button is down the window receives every mouse event (the toolkit's implicit grab), which
    // is what the capture of a drag stands for.
    void capture() override { captured_ = true; }
    void release() override { captured_ = false; }
    void repaintSelf() override { update(); }
    void updateOtherViews() override {}
    int clientWidth() const override { return width(); }
    int clientHeight() const override { return height(); }

    ViewContext& context_;
    CFacetoDoc* doc_;
    bool captured_ = false;
};

} // namespace faceto
