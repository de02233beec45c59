#pragma once

#include <QAbstractButton>
#include <QColor>
#include <QImage>
#include <QPixmap>

namespace faceto {

// A flat picture button of the tool panels: the picture (or the caption) on the button face, a raised
// edge only while the pointer is over it and its window is in front, a sunken edge while it is
// pressed or latched, and a faded picture when disabled if the picture has a transparent colour.
// The two faces are drawn once and drawn again when the palette, the style or the enabled state changes.
class CFlatBitmapButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit CFlatBitmapButton(const QString& caption, QWidget* parent = nullptr);

    void setPicture(const QImage& picture);
    void setTransparentColour(QRgb colour);
    void setStretch(bool stretch);
    void setFaceColour(const QColor& colour); // instead of the style's button colour
    void setLatched(bool latched);
    bool isLatched() const { return latched_; }
    bool looksPressed() const { return (isDown() && hot_) || latched_; }

    QSize sizeHint() const override;
    // The face drawn for the given state, as it appears on screen.
    QImage faceImage(bool enabled);

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void rebuildFaces();
    QColor faceColour() const;
    void drawPicture(QPainter& painter, QImage& face, bool tint);

    QImage picture_;
    bool rebuildNeeded_ = true;
    bool hot_ = false;
    bool stretch_ = false;
    bool transparent_ = false;
    QRgb transparentColour_ = 0;
    bool useCustomFace_ = false;
    QColor customFace_;
    bool latched_ = false;
    QImage enabledFace_;
    QImage disabledFace_;
};

} // namespace faceto
