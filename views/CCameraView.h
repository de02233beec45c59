#pragma once

#include "views/CameraWidget.h"
#include "views/ViewContext.h"

namespace faceto {

class CFacetoDoc;

// The perspective pane of a document window: the current frame flat-shaded through the colour map,
// every triangle outlined, turned and moved with the mouse.
class CCameraView : public CameraWidget {
    Q_OBJECT
public:
    CCameraView(ViewContext& context, CFacetoDoc* doc, QWidget* parent = nullptr);
    ~CCameraView() override;

    CFacetoDoc* document() const { return doc_; }
    void detachDocument() { doc_ = nullptr; }
    // Sets the camera it starts with: at (100, 0, 0) looking at the origin, +z up.
    void onInitialUpdate();

public slots:
    // "Reset Camera" and "No Rendering" repaint the view; the camera stays where it is.
    void resetCamera() { update(); }
    void noRendering() { update(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    ViewContext& context_;
    CFacetoDoc* doc_;
};

} // namespace faceto
