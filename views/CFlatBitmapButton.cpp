#include "views/CFlatBitmapButton.h"

#include <QApplication>
#include <QEnterEvent>
#include <QPainter>

namespace faceto {

CFlatBitmapButton::CFlatBitmapButton(const QString& caption, QWidget* parent) : QAbstractButton(parent) {
    setText(caption);
    setFocusPolicy(Qt::NoFocus);
}

QSize CFlatBitmapButton::sizeHint() const {
    if (!picture_.isNull()) {
        return picture_.size() + QSize(6, 6);
    }
    const QFontMetrics metrics(parentWidget() ? parentWidget()->font() : font());
    return QSize(std::max(22, metrics.horizontalAdvance(text()) + 10), std::max(22, metrics.height() + 8));
}

void CFlatBitmapButton::setPicture(const QImage& picture) {
    picture_ = picture.convertToFormat(QImage::Format_ARGB32);
    rebuildNeeded_ = true;
    updateGeometry();
    update();
}

void CFlatBitmapButton::setTransparentColour(QRgb colour) {
    transparent_ = true;
    transparentColour_ = colour | 0xFF000000u;
    rebuildNeeded_ = true;
    update();
}

void CFlatBitmapButton::setStretch(bool stretch) {
    stretch_ = stretch;
    rebuildNeeded_ = true;
    update();
}

void CFlatBitmapButton::setFaceColour(const QColor& colour) {
    useCustomFace_ = true;
    customFace_ = colour;
    rebuildNeeded_ = true;
    update();
}

void CFlatBitmapButton::setLatched(bool latched) {
    latched_ = latched;
    update();
}

QColor CFlatBitmapButton::faceColour() const {
    return useCustomFace_ ? customFace_ : palette().color(QPalette::Button);
}

void CFlatBitmapButton::enterEvent(QEnterEvent* event) {
    // Only the window in front shows where the pointer is.
    if (window()->isActiveWindow()) {
        hot_ = true;
        update();
    }
    QAbstractButton::enterEvent(event);
}

void CFlatBitmapButton::leaveEvent(QEvent* event) {
    hot_ = false;
    update();
    QAbstractButton::leaveEvent(event);
}

void CFlatBitmapButton::focusOutEvent(QFocusEvent* event) {
    QAbstractButton::focusOutEvent(event);
    hot_ = false;
    update();
}

void CFlatBitmapButton::changeEvent(QEvent* event) {
    switch (event->type()) {
    case QEvent::PaletteChange:
    case QEvent::EnabledChange:
    case QEvent::StyleChange:
    case QEvent::FontChange:
        rebuildNeeded_ = true;
        update();
        break;
    default:
        break;
    }
    QAbstractButton::changeEvent(event);
}

// Copies the picture onto the face; with a transparent colour, pixels of that colour are left out, and
// `tint` blends the rest two thirds of the way towards the face colour.
void CFlatBitmapButton::drawPicture(QPainter& painter, QImage& face, bool tint) {
    const QRect inner(1, 1, width() - 2, height() - 2);
    QRect target;
    if (stretch_) {
        target = inner;
    } else {
        const int w = std::min(picture_.width(), inner.width());
        const int h = std::min(picture_.height(), inner.height());
        const int x = picture_.width() < inner.width() ? (inner.width() - picture_.width()) / 2 + 1 : 1;
        const int y = picture_.height() < inner.height() ? (inner.height() - picture_.height()) / 2 + 1 : 1;
        target = QRect(x, y, w, h);
    }
    if (target.isEmpty()) {
        return;
    }
    if (!transparent_) {
        painter.drawImage(target, stretch_ ? picture_ : picture_.copy(0, 0, target.width(), target.height()));
        return;
    }
    painter.end();
    const QImage scaled = picture_.scaled(target.size(), Qt::IgnoreAspectRatio, Qt::FastTransformation);
    const QColor tintColour = faceColour();
    for (int y = 0; y < target.height(); ++y) {
        for (int x = 0; x < target.width(); ++x) {
            const QRgb c = scaled.pixel(x, y) | 0xFF000000u;
            if (c == transparentColour_) {
                continue;
            }
            QRgb out = c;
            if (tint) {
                out = qRgb((qRed(c) + 2 * tintColour.red()) / 3, (qGreen(c) + 2 * tintColour.green()) / 3,
                           (qBlue(c) + 2 * tintColour.blue()) / 3);
            }
            face.setPixel(target.x() + x, target.y() + y, out);
        }
    }
    painter.begin(&face);
}

void CFlatBitmapButton::rebuildFaces() {
    const QSize size(width() + 1, height() + 1);
    for (bool enabled : {true, false}) {
        QImage face(size, QImage::Format_RGB32);
        face.fill(faceColour());
        QPainter painter(&face);
        if (!picture_.isNull()) {
            // A disabled face fades only a picture with a transparent colour.
            drawPicture(painter, face, !enabled && transparent_);
        } else {
            painter.setFont(parentWidget() ? parentWidget()->font() : font());
            painter.setPen(
                palette().color(enabled ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
            painter.drawText(QRect(0, 0, width(), height()), Qt::AlignCenter, text());
        }
        painter.end();
        (enabled ? enabledFace_ : disabledFace_) = face;
    }
    rebuildNeeded_ = false;
}

QImage CFlatBitmapButton::faceImage(bool enabled) {
    if (rebuildNeeded_ || enabledFace_.size() != QSize(width() + 1, height() + 1)) {
        rebuildFaces();
    }
    return enabled ? enabledFace_ : disabledFace_;
}

void CFlatBitmapButton::paintEvent(QPaintEvent*) {
    const QImage& face = faceImage(isEnabled());
    QImage canvas(size(), QImage::Format_RGB32);
    QPainter p(&canvas);
    const QColor light = palette().color(QPalette::Light);
    const QColor shadow = palette().color(QPalette::Dark);
    const QRect r(0, 0, width() - 1, height() - 1);
    if (looksPressed()) {
        p.fillRect(canvas.rect(), faceColour());
        p.drawImage(QPoint(1, 1), face, QRect(0, 0, width() - 1, height() - 1));
        p.setPen(shadow); // sunken: dark above and left
        p.drawLine(r.topLeft(), r.topRight());
        p.drawLine(r.topLeft(), r.bottomLeft());
        p.setPen(light);
        p.drawLine(r.bottomLeft(), r.bottomRight());
        p.drawLine(r.topRight(), r.bottomRight());
    } else {
        p.drawImage(QPoint(0, 0), face);
        if (hot_) {
            p.setPen(light); // raised: light above and left
            p.drawLine(r.topLeft(), r.topRight());
            p.drawLine(r.topLeft(), r.bottomLeft());
            p.setPen(shadow);
            p.drawLine(r.bottomLeft(), r.bottomRight());
            p.drawLine(r.topRight(), r.bottomRight());
        }
    }
    p.end();
    QPainter(this).drawImage(0, 0, canvas);
}

} // namespace faceto
