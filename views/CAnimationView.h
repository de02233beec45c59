#pragma once

#include "views/CameraDrawing.h"
#include "views/CameraMath.h"
#include "views/CameraMouse.h"
#include "views/ViewContext.h"

#include <QPointer>
#include <QRect>
#include <QWidget>

namespace faceto {

// The animation preview ("Animation View"): the active document's shown or current frame, with its
// own camera. It can leave its panel to cover the screen; any key brings it back.
class CAnimationView : public QWidget, private MouseHost {
    Q_OBJECT
public:
    explicit CAnimationView(ViewContext& context, QWidget* parent = nullptr);

    PreviewSettings settings;
    Mat4 camera = initialCamera();
    CameraMouse mouse;

    void setFullScreen(bool on);
    bool isFullScreenPreview() const { return fullScreen_; }
    QRect savedRect() const { return savedRect_; }

public slots:
    void leaveFullScreen() { setFullScreen(false); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

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
    bool captured_ = false;
    bool fullScreen_ = false;
    QRect savedRect_;
    QPointer<QWidget> savedParent_;
};

} // namespace faceto
