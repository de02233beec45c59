#pragma once

#include "views/CameraDrawing.h"
#include "views/CameraWidget.h"
#include "views/PaneBatch.h"
#include "views/ViewContext.h"

#include <QPointer>
#include <QRect>

namespace faceto {

// The animation preview ("Animation View"): the active document's shown or current frame, with its
// own camera. It can leave its panel to cover the screen; any key brings it back.
class CAnimationView : public CameraWidget, public ConcurrentPane {
    Q_OBJECT
public:
    explicit CAnimationView(ViewContext& context, QWidget* parent = nullptr);

    PreviewSettings settings;

    void setFullScreen(bool on);
    bool isFullScreenPreview() const { return fullScreen_; }

    // Drawn again, with the other panes that wait.
    void redraw() { requestFrame(); }

public slots:
    void leaveFullScreen() { setFullScreen(false); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    Bounds shownBounds() const override;

private:
    void drawFrame(RecordedFrame& out, int width, int height) override;
    QSize frameSize() const override { return {clientWidth(), clientHeight()}; }
    QString timingName() const override { return QStringLiteral("Preview"); }
    QWidget* paneWidget() override { return this; }
    ViewContext& context_;
    Rasterizer rasterizer_{context_.tables};
    ProjectionMemo projection_; // what the rasterizer's projection was made from
    bool fullScreen_ = false;
    const CFacetoDoc* framedFor_ = nullptr; // the document the camera was last framed on
    QRect savedRect_;
    QPointer<QWidget> savedParent_;
};

} // namespace faceto
