#pragma once

#include <QPainter>
#include <QPoint>
#include <QPointF>

namespace faceto {

// The model views draw at device pixels: their frame buffer is the widget's size times its device pixel
// ratio (twice as many pixels each way on a screen of ratio 2), the mouse is mapped onto that buffer,
// and their painter draws the buffer's pixels one to one. At ratio 1 nothing of this changes a thing.
inline int devicePixels(int logical, qreal ratio) {
    return qRound(logical * ratio);
}

inline QPoint devicePoint(QPointF logical, qreal ratio) {
    return (logical * ratio).toPoint();
}

// Makes the painter's units device pixels.
inline void paintInDevicePixels(QPainter& painter, qreal ratio) {
    if (ratio != 1.0) {
        painter.scale(1.0 / ratio, 1.0 / ratio);
    }
}

} // namespace faceto
