#include "views/SkinDrawing.h"

#include "document/CFacetoDoc.h"
#include "document/GroupOperations.h"
#include "document/SkinOperations.h"
#include "formats/Pictures.h"

#include <QPainter>
#include <QPolygonF>
#include <algorithm>
#include <cmath>

namespace faceto {

void SkinViewState::fit(int skinWidth, int skinHeight, int width, int height) {
    if (skinWidth <= 0 || skinHeight <= 0 || width <= 0 || height <= 0) {
        return;
    }
    centerS = float(skinWidth) / 2.0f;
    centerT = float(skinHeight) / 2.0f;
    zoom =
        std::max(0.05f, 0.95f * std::min(float(width) / float(skinWidth), float(height) / float(skinHeight)));
    fitted = true;
}

const QImage& SkinPictureCache::picture(const Skin& skin) {
    const uint64_t key = digestOf(skin.pixels) * 31 + digestOf(skin.palette) +
                         uint64_t(skin.imageWidth) * 131 + uint64_t(skin.imageHeight) * 65537 +
                         uint64_t(skin.bitsPerPixel);
    if (key != key_ || image_.isNull()) {
        const std::vector<uint8_t> rgb = skinRgb(skin);
        image_ = rgb.empty() ? QImage()
                             : QImage(rgb.data(), skin.imageWidth, skin.imageHeight, skin.imageWidth * 3,
                                      QImage::Format_RGB888)
                                   .convertToFormat(QImage::Format_RGB32);
        key_ = key;
    }
    return image_;
}

int32_t shownSkinIndex(const CFacetoDoc& doc) {
    const auto count = int32_t(doc.model().skins.size());
    return count == 0 ? -1 : std::clamp<int32_t>(playedSkin(doc), 0, count - 1);
}

const Skin* shownSkin(const CFacetoDoc& doc) {
    const int32_t index = shownSkinIndex(doc);
    return index < 0 ? nullptr : &doc.model().skins[size_t(index)];
}

bool triangleShown(const Model& model, const Triangle& t) {
    const auto& infos = model.vertexInfos;
    return std::all_of(t.v.begin(), t.v.end(),
                       [&](int32_t v) { return size_t(v) < infos.size() && infos[size_t(v)].visible(); });
}

int skinTriangleAt(const Model& model, float s, float t) {
    for (size_t i = model.triangles.size(); i-- > 0;) {
        const Triangle& tri = model.triangles[i];
        if (!triangleShown(model, tri)) {
            continue;
        }
        // Inside when on the same side of all three edges, whichever way the corners run.
        float sign[3];
        for (size_t k = 0; k < 3; ++k) {
            const auto& a = tri.st[k];
            const auto& b = tri.st[(k + 1) % 3];
            sign[k] = (b[0] - a[0]) * (t - a[1]) - (b[1] - a[1]) * (s - a[0]);
        }
        if ((sign[0] >= 0 && sign[1] >= 0 && sign[2] >= 0) ||
            (sign[0] <= 0 && sign[1] <= 0 && sign[2] <= 0)) {
            return int(i);
        }
    }
    return -1;
}

std::vector<int32_t> skinTrianglesIn(const Model& model, QRectF area) {
    std::vector<int32_t> out;
    const QRectF box = area.normalized();
    for (size_t i = 0; i < model.triangles.size(); ++i) {
        const Triangle& tri = model.triangles[i];
        if (triangleShown(model, tri) && std::all_of(tri.st.begin(), tri.st.end(), [&](const auto& st) {
                return st[0] >= box.left() && st[0] <= box.right() && st[1] >= box.top() &&
                       st[1] <= box.bottom();
            })) {
            out.push_back(int32_t(i));
        }
    }
    return out;
}

namespace {

// The skin's picture at its place; a skin that repeats past its edges is shown repeated (mirrored every
// other time where it mirrors) over the rest of the pane, a little darker, so that the map's corners out
// there lie on the texels they read.
void drawSkinPicture(QPainter& painter, const Skin& skin, const QImage& picture, const SkinViewState& view,
                     int width, int height) {
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    const float w = float(skin.imageWidth);
    const float h = float(skin.imageHeight);
    auto tileRect = [&](int i, int j) {
        return QRectF(view.toScreen(float(i) * w, float(j) * h, width, height),
                      view.toScreen(float(i + 1) * w, float(j + 1) * h, width, height));
    };
    if (skin.wrap[0] == Wrap::Clamp && skin.wrap[1] == Wrap::Clamp) {
        painter.drawImage(tileRect(0, 0), picture);
        return;
    }
    const auto first = view.toSkin(QPointF(0, 0), width, height);
    const auto last = view.toSkin(QPointF(width, height), width, height);
    constexpr int MOST_TILES = 32; // each way: far enough out, the texels are too small to tell apart
    auto range = [&](Wrap wrap, float from, float to, float size) {
        return wrap == Wrap::Clamp ? std::pair{0, 0}
                                   : std::pair{std::max(-MOST_TILES, int(std::floor(from / size))),
                                               std::min(MOST_TILES, int(std::floor(to / size)))};
    };
    const auto [i0, i1] = range(skin.wrap[0], first[0], last[0], w);
    const auto [j0, j1] = range(skin.wrap[1], first[1], last[1], h);
    for (int j = j0; j <= j1; ++j) {
        for (int i = i0; i <= i1; ++i) {
            const bool flipS = skin.wrap[0] == Wrap::Mirror && (i % 2 != 0);
            const bool flipT = skin.wrap[1] == Wrap::Mirror && (j % 2 != 0);
            painter.drawImage(tileRect(i, j), flipS || flipT ? picture.mirrored(flipS, flipT) : picture);
            if (i != 0 || j != 0) {
                painter.fillRect(tileRect(i, j), QColor(0, 0, 0, 90));
            }
        }
    }
}

} // namespace

void drawSkinView(QPainter& painter, const CFacetoDoc& doc, const SkinViewState& view, int width, int height,
                  SkinPictureCache& cache, const QRectF* band) {
    painter.fillRect(0, 0, width, height, QColor(64, 64, 72));
    const Model& model = doc.model();
    if (const Skin* skin = shownSkin(doc); skin != nullptr && skin->hasImage()) {
        drawSkinPicture(painter, *skin, cache.picture(*skin), view, width, height);
    }
    const std::vector<std::array<bool, 3>> seams = skinSeams(model);
    const auto& infos = model.vertexInfos;
    auto selected = [&](int32_t v) { return size_t(v) < infos.size() && infos[size_t(v)].selected(); };
    std::vector<QLineF> edges, seamEdges, selectedEdges;
    std::vector<QPolygonF> selectedFaces;
    std::vector<QRectF> corners;
    edges.reserve(model.triangles.size() * 3);
    for (size_t i = 0; i < model.triangles.size(); ++i) {
        const Triangle& t = model.triangles[i];
        if (!triangleShown(model, t)) {
            continue;
        }
        QPointF p[3];
        for (size_t k = 0; k < 3; ++k) {
            p[k] = view.toScreen(t.st[k][0], t.st[k][1], width, height);
            if (selected(t.v[k])) {
                corners.emplace_back(p[k].x() - 2.5, p[k].y() - 2.5, 5.0, 5.0);
            }
        }
        const bool whole = selected(t.v[0]) && selected(t.v[1]) && selected(t.v[2]);
        if (whole) {
            selectedFaces.push_back(QPolygonF({p[0], p[1], p[2]}));
        }
        for (size_t k = 0; k < 3; ++k) {
            const QLineF line(p[k], p[(k + 1) % 3]);
            (whole ? selectedEdges : seams[i][k] ? seamEdges : edges).push_back(line);
        }
    }
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 64, 32, 70));
    for (const QPolygonF& face : selectedFaces) {
        painter.drawPolygon(face);
    }
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(230, 230, 230), 0));
    painter.drawLines(edges.data(), int(edges.size()));
    painter.setPen(QPen(QColor(40, 200, 255), 0));
    painter.drawLines(seamEdges.data(), int(seamEdges.size()));
    painter.setPen(QPen(QColor(255, 80, 40), 0));
    painter.drawLines(selectedEdges.data(), int(selectedEdges.size()));
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 230, 0));
    painter.drawRects(corners.data(), int(corners.size()));
    if (band != nullptr) {
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(QColor(255, 255, 255), 0, Qt::DashLine));
        painter.drawRect(band->normalized());
    }
}

} // namespace faceto
