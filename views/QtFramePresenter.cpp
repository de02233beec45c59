#include "views/QtFramePresenter.h"

#include "formats/FileIO.h"
#include "model/DerivedData.h"

#include <QBuffer>
#include <QFontMetrics>
#include <QPen>
#include <cstring>

namespace faceto {

const char* pictureFormatOf(const std::string& path) {
    const std::string extension = extensionAfterLastDot(path);
    for (const auto& [ext, format] : {std::pair{"png", "PNG"}, std::pair{"jpg", "JPEG"},
                                      std::pair{"jpeg", "JPEG"}, std::pair{"bmp", "BMP"}}) {
        if (equalsIgnoreCase(extension, ext)) {
            return format;
        }
    }
    return "";
}

Status savePicture(const QImage& image, const std::string& path, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, format)) {
        return Failure{"the picture cannot be encoded"};
    }
    return writeFileReplacing(
        path, std::span(reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size())));
}

namespace {

QColor colourOf(uint32_t rgb) {
    return QColor(int(rgb & 0xFF), int((rgb >> 8) & 0xFF), int((rgb >> 16) & 0xFF));
}

} // namespace

void QtFramePresenter::present(const uint8_t* pixels, int stride, int width, int height,
                               const DisplayPalette& palette) {
    if (image_.width() != width || image_.height() != height || image_.format() != QImage::Format_Indexed8) {
        image_ = QImage(width, height, QImage::Format_Indexed8);
    }
    colours_.resize(256);
    for (int i = 0; i < 256; ++i) {
        const PaletteEntry& e = palette[size_t(i)];
        colours_[i] = qRgb(e[2], e[1], e[0]);
    }
    image_.setColorTable(colours_);
    for (int y = 0; y < height; ++y) {
        std::memcpy(image_.scanLine(height - 1 - y), pixels + size_t(y) * size_t(stride), size_t(width));
    }
    if (painter_ != nullptr) {
        painter_->drawImage(0, 0, image_);
    }
}

void QtOverlay::line(Pixel from, Pixel to, uint32_t rgb, int penWidth, bool dashed) {
    painter_.setPen(QPen(colourOf(rgb), penWidth, dashed ? Qt::DashLine : Qt::SolidLine));
    painter_.drawLine(from.x, from.y, to.x, to.y);
}

void QtOverlay::pixel(Pixel at, uint32_t rgb) {
    painter_.setPen(QPen(colourOf(rgb), 1));
    painter_.drawPoint(at.x, at.y);
}

void QtOverlay::text(Pixel at, const std::string& text, uint32_t rgb) {
    painter_.setPen(colourOf(rgb));
    // Text keeps its size on a screen of any pixel ratio: it is placed at the buffer's pixel and drawn in
    // the widget's own units.
    const qreal scale = painter_.worldTransform().m11();
    painter_.save();
    painter_.resetTransform();
    const QFontMetrics metrics = painter_.fontMetrics();
    painter_.drawText(QPointF(at.x * scale, at.y * scale + metrics.ascent()), QString::fromStdString(text));
    painter_.restore();
}

} // namespace faceto
