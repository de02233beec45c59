#include "cli/CliRender.h"

#include "document/CFacetoDoc.h"
#include "document/EditCommands.h"
#include "document/FrameOperations.h"
#include "formats/FileIO.h"
#include "formats/Pictures.h"
#include "model/DerivedData.h"
#include "render/Rasterizer.h"
#include "views/AppState.h"
#include "views/CameraDrawing.h"
#include "views/Framing.h"
#include "views/OrthoView.h"
#include "views/QtFramePresenter.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <memory>
#include <ostream>

namespace faceto::cli {

namespace {

// The picture format of OUTPUT's extension; "-" (standard output) is a PNG.
const char* pictureFormatFor(const std::string& output) {
    return output == "-" ? "PNG" : pictureFormatOf(output);
}

// Writes the picture to the file, or to standard output for "-" or "-.EXT".
Status writePicture(Context& context, const QImage& image, const std::string& output, const char* format) {
    if (!isStandardStream(output)) {
        return savePicture(image, output, format);
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, format)) {
        return Failure{"the picture cannot be encoded"};
    }
    context.out.write(bytes.constData(), std::streamsize(bytes.size()));
    context.out.flush();
    return context.out ? Status{} : Status{Failure{"standard output cannot be written"}};
}

// A frame given by index or by name (ignoring case); -1 when there is no such frame.
int frameIndex(const CFacetoDoc& doc, const std::string& wanted) {
    int index = -1;
    const auto [end, ec] = std::from_chars(wanted.data(), wanted.data() + wanted.size(), index);
    if (ec == std::errc() && end == wanted.data() + wanted.size()) {
        return index >= 0 && size_t(index) < doc.frames().size() ? index : -1;
    }
    for (size_t f = 0; f < doc.frames().size(); ++f) {
        if (equalsIgnoreCase(doc.frames()[f].name, wanted)) {
            return int(f);
        }
    }
    return -1;
}

// "2.5": frame 2 and the fraction of the way to the frame after it; none for a frame number without a
// fraction, or one the model does not have.
std::optional<std::pair<int, float>> frameBetween(const CFacetoDoc& doc, const std::string& wanted) {
    if (wanted.find('.') == std::string::npos) {
        return std::nullopt;
    }
    double at = 0;
    const auto [end, ec] = std::from_chars(wanted.data(), wanted.data() + wanted.size(), at);
    if (ec != std::errc() || end != wanted.data() + wanted.size()) {
        return std::nullopt; // a frame's name
    }
    if (!(at >= 0) || at >= double(doc.frames().size())) {
        return std::pair{-1, 0.0f};
    }
    const double whole = std::floor(at);
    return std::pair{int(whole), float(at - whole)};
}

// Puts the pose `t` of the way from frame `index` to the next frame of its animation (its first after the
// last, as the engines loop) into frame `index`, as the player's smooth preview shows it.
void showInBetween(CFacetoDoc& doc, int index, float t) {
    const int32_t next = nextFrameOf(doc, index, true).value_or(index);
    const Frame pose = interpolatedFrame(doc.frames()[size_t(index)], doc.frames()[size_t(next)], t);
    std::vector<int32_t> vertices(pose.positions.size());
    for (size_t v = 0; v < vertices.size(); ++v) {
        vertices[v] = int32_t(v);
    }
    doc.run(std::make_unique<ChangePositions>(
        doc, "In Between", index, std::move(vertices),
        std::vector<FrameVertex>(pose.positions.begin(), pose.positions.end())));
}

// One pane as a window of width x height shows it: the frame is drawn onto a picture of exactly that
// size (the columns added to round the frame's width are cut off, as the window clips them), then
// the overlay on top.
// The 2D views by name: top (y right, x down), side (x right, z up) and front (y right, z up: Quake
// models face +x).
int orientationOf(const std::string& view) {
    return view == "top" ? 0 : view == "side" ? 1 : 2;
}

// The camera pane's corner label is drawn in the four panes of a window only: a camera picture of its own
// is the model alone.
QImage pane(Rasterizer& r, CFacetoDoc& doc, ViewState& shown, AppState& app, const std::string& view,
            int width, int height, PreviewSettings& preview, bool fit, bool inWindow = false) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter painter(&image);
    QtFramePresenter presenter(&painter);
    QtOverlay overlay(painter);
    const Bounds bounds = frameBounds(doc, false);
    const Mat4 camera = fit ? frameCamera(initialCamera(), bounds, width, height) : initialCamera();
    if (view == "camera") {
        drawCameraView(r, &doc, shown, camera, width, height, &presenter, -1, inWindow ? &overlay : nullptr);
    } else if (view == "preview") {
        drawPreview(r, &doc, preview, camera, width, height, &presenter);
    } else {
        const int orientation = orientationOf(view);
        if (fit) {
            frameOrtho(shown, orientation, width, height, bounds);
        }
        drawOrthoView(r, doc, shown, orientation, app, width, height, &presenter, &overlay);
    }
    return image;
}

// The skin at its size with its map drawn over it.
int renderSkin(Context& context, const std::string& input, const std::string& output, int index,
               const char* format) {
    std::optional<OpenedDocument> opened = openModel(context, input);
    if (!opened) {
        return 1;
    }
    const Model& model = opened->doc->model();
    if (index >= int(model.skins.size()) || !model.skins[size_t(index)].hasImage()) {
        context.err << "faceto-cli: " << input << ": no skin " << index << " (the model has "
                    << model.skins.size() << ")\n";
        return 1;
    }
    const std::vector<uint8_t> rgb = skinRgb(skinWithMap(model.skins[size_t(index)], model.triangles));
    const Skin& skin = model.skins[size_t(index)];
    const QImage image =
        QImage(rgb.data(), skin.imageWidth, skin.imageHeight, skin.imageWidth * 3, QImage::Format_RGB888)
            .copy();
    if (const Status written = writePicture(context, image, output, format); !written) {
        context.err << "faceto-cli: " << output << ": " << written.error() << "\n";
        return 1;
    }
    return 0;
}

// What the options ask for that needs no model: a known view, a size in range, a picture format, a
// known mode; 0 when all is well, otherwise the exit status after saying what is wrong.
int checkRenderOptions(Context& context, const std::string& output, const RenderOptions& options) {
    static const char* const VIEWS[] = {"camera", "preview", "top", "front", "side", "quad", "skin"};
    if (std::find(std::begin(VIEWS), std::end(VIEWS), options.view) == std::end(VIEWS)) {
        context.err << "faceto-cli: unknown view " << options.view << "\n";
        return 2;
    }
    if (options.width <= 0 || options.height <= 0 || options.width > 16384 || options.height > 16384) {
        context.err << "faceto-cli: the size must be between 1x1 and 16384x16384\n";
        return 2;
    }
    if (*pictureFormatFor(output) == '\0') {
        context.err << "faceto-cli: " << output << ": pictures are written as .png, .jpg or .bmp\n";
        return 2;
    }
    if (options.view != "skin" && !options.mode.empty() &&
        fillModeNamed(options.mode) < 0) { // the skin has no mode
        context.err << "faceto-cli: unknown mode " << options.mode
                    << " (none, wireframe, vertex, flat, gouraud, textured or textured-shaded)\n";
        return 2;
    }
    return 0;
}

// Makes the frame and skin the options name the shown ones; false (after saying why) when the model has
// no such frame or skin.
bool showChosenFrameAndSkin(Context& context, const std::string& input, CFacetoDoc& doc,
                            const RenderOptions& options, PreviewSettings& preview) {
    if (options.frame) {
        const std::optional<std::pair<int, float>> between = frameBetween(doc, *options.frame);
        const int index = between ? between->first : frameIndex(doc, *options.frame);
        if (index < 0) {
            context.err << "faceto-cli: " << input << ": no frame " << *options.frame << "\n";
            return false;
        }
        if (between && between->second > 0.0f) {
            showInBetween(doc, index, between->second);
        }
        doc.setCurrentFrame(index);
        doc.setCurrentFrameIndex(index);
        preview.shownFrame = index;
    }
    if (options.skin >= 0 && size_t(options.skin) >= doc.model().skins.size()) {
        context.err << "faceto-cli: " << input << ": no skin " << options.skin << " (the model has "
                    << doc.model().skins.size() << ")\n";
        return false;
    }
    if (options.skin >= 0) {
        doc.setCurrentSkin(options.skin); // the textured modes of the camera view paint with it too
    }
    return true;
}

// The four panes of a document window, each a quarter of it.
QImage quadPicture(Rasterizer& r, CFacetoDoc& doc, ViewState& shown, AppState& app,
                   const RenderOptions& options, PreviewSettings& preview) {
    const int w = std::max(1, options.width / 2);
    const int h = std::max(1, options.height / 2);
    shown.zoomFactor = initialZoomFactor(shown, w, h);
    QImage image(options.width, options.height, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter painter(&image);
    const bool fit = options.fit;
    painter.drawImage(0, 0, pane(r, doc, shown, app, "top", w, h, preview, fit));
    painter.drawImage(w, 0, pane(r, doc, shown, app, "side", options.width - w, h, preview, fit));
    painter.drawImage(0, h, pane(r, doc, shown, app, "front", w, options.height - h, preview, fit));
    painter.drawImage(
        w, h, pane(r, doc, shown, app, "camera", options.width - w, options.height - h, preview, fit, true));
    return image;
}

} // namespace

int render(Context& context, const std::string& input, const std::string& output,
           const RenderOptions& options) {
    if (const int status = checkRenderOptions(context, output, options); status != 0) {
        return status;
    }
    const char* format = pictureFormatFor(output);
    if (options.view == "skin") {
        return renderSkin(context, input, output, options.skin < 0 ? 0 : options.skin, format);
    }
    std::optional<OpenedDocument> opened = openModel(context, input);
    if (!opened) {
        return 1;
    }
    CFacetoDoc& doc = *opened->doc;
    ViewState shown(doc.profile(), doc); // as a window of the editor would show the model
    PreviewSettings preview;
    preview.skinIndex = options.skin;
    preview.showEdges = options.edges;
    preview.showVertices = options.vertices;
    if (!showChosenFrameAndSkin(context, input, doc, options, preview)) {
        return 1;
    }
    if (!options.mode.empty()) {
        shown.fillMode = uint8_t(fillModeNamed(options.mode));
    }
    Rasterizer rasterizer(context.palette);
    AppState app;
    QImage image;
    if (options.view == "quad") {
        image = quadPicture(rasterizer, doc, shown, app, options, preview);
    } else {
        shown.zoomFactor = initialZoomFactor(shown, options.width, options.height);
        image = pane(rasterizer, doc, shown, app, options.view, options.width, options.height, preview,
                     options.fit);
    }
    if (const Status written = writePicture(context, image, output, format); !written) {
        context.err << "faceto-cli: " << output << ": " << written.error() << "\n";
        return 1;
    }
    return 0;
}

int thumbnail(Context& context, const std::string& input, const std::string& output, int size) {
    std::optional<OpenedDocument> opened = openModel(context, input);
    if (!opened) {
        return 1;
    }
    CFacetoDoc& doc = *opened->doc;
    const bool skinned = !doc.model().skins.empty() && doc.model().skins[0].hasImage();
    ViewState shown;
    shown.fillMode = uint8_t(skinned ? FILL_TEXTURED : FILL_FLAT);
    Rasterizer rasterizer(context.palette);
    QImage image(size, size, QImage::Format_RGB32);
    QPainter painter(&image);
    QtFramePresenter presenter(&painter);
    const Mat4 camera =
        doc.currentFrame() ? thumbnailCamera(initialCamera(), *doc.currentFrame(), size) : initialCamera();
    drawCameraView(rasterizer, &doc, shown, camera, size, size, &presenter);
    painter.end();
    if (const Status written = writePicture(context, image, output, "PNG"); !written) {
        context.err << "faceto-cli: " << output << ": " << written.error() << "\n";
        return 1;
    }
    return 0;
}

} // namespace faceto::cli
