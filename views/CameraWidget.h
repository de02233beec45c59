#pragma once

#include "views/CameraMath.h"
#include "views/CameraMouse.h"
#include "views/DevicePixels.h"
#include "views/Framing.h"

#include <QWidget>

namespace faceto {

// What the two perspective windows share: a camera of their own, turned and moved with the mouse.
class CameraWidget : public QWidget, protected MouseHost {
    Q_OBJECT
public:
    Mat4 camera = initialCamera();
    CameraMouse mouse;

protected:
    explicit CameraWidget(QWidget* parent);

    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    // The wheel moves the camera towards what it looks at (or away), a tenth of the way per notch.
    void wheelEvent(QWheelEvent* event) override;
    // The box of what the window shows, which pans and the wheel measure their steps by.
    virtual Bounds shownBounds() const { return {}; }

    bool hasCapture() const override { return captured_; }
    // While a button is down the window receives every mouse event (the toolkit's implicit grab), which
    // is what the capture of a drag stands for.
    void capture() override { captured_ = true; }
    void release() override { captured_ = false; }
    void repaintSelf() override { update(); }
    void updateOtherViews() override {}
    // The frame buffer's size, in device pixels.
    int clientWidth() const override { return devicePixels(width(), devicePixelRatioF()); }
    int clientHeight() const override { return devicePixels(height(), devicePixelRatioF()); }
    // A mouse position on the frame buffer.
    QPoint bufferPoint(QPointF at) const { return devicePoint(at, devicePixelRatioF()); }

private:
    bool captured_ = false;
};

} // namespace faceto
