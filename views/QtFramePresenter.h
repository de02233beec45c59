#pragma once

#include "formats/Result.h"
#include "render/Rasterizer.h"

#include <QImage>
#include <QPainter>

namespace faceto {

// Shows a finished 8-bit frame as an indexed QImage: rows flipped (the frame is bottom-up), the
// frame's 256 colours as the colour table.
class QtFramePresenter : public FramePresenter {
public:
    // With a painter the frame is drawn at the window's origin as soon as it is presented, so that
    // an overlay drawn afterwards lies on top of it.
    explicit QtFramePresenter(QPainter* painter = nullptr) : painter_(painter) {}
    void present(const uint8_t* pixels, int stride, int width, int height,
                 const DisplayPalette& palette) override;
    const QImage& image() const { return image_; }

private:
    QPainter* painter_;
    QImage image_;
    QList<QRgb> colours_;
};

// Overlay lines and dots drawn with a QPainter on the window.
class QtOverlay : public OverlayTarget {
public:
    explicit QtOverlay(QPainter& painter) : painter_(painter) {}
    void line(Pixel from, Pixel to, uint32_t rgb, int penWidth, bool dashed) override;
    void pixel(Pixel at, uint32_t rgb) override;
    void text(Pixel at, const std::string& text, uint32_t rgb) override;

private:
    QPainter& painter_;
};

// The picture format of a file name's extension ("PNG", "JPEG" or "BMP"); empty for one not written.
const char* pictureFormatOf(const std::string& path);

// Writes a picture in that format, replacing the file whole (never through another user's link).
Status savePicture(const QImage& image, const std::string& path, const char* format);

} // namespace faceto
