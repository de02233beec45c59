#pragma once

#include "model/Model.h"

#include <QImage>
#include <QPointF>
#include <QRectF>
#include <array>
#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

class QPainter;

namespace faceto {

class CFacetoDoc;

// Where the skin view looks: the skin coordinates at the middle of the pane and the screen pixels per
// texel.
struct SkinViewState {
    float centerS = 0.0f;
    float centerT = 0.0f;
    float zoom = 1.0f;
    bool fitted = false; // framed on the skin once it is first shown

    QPointF toScreen(float s, float t, int width, int height) const {
        return {(double(s) - centerS) * zoom + width / 2.0, (double(t) - centerT) * zoom + height / 2.0};
    }
    std::array<float, 2> toSkin(QPointF p, int width, int height) const {
        return {float((p.x() - width / 2.0) / zoom + centerS),
                float((p.y() - height / 2.0) / zoom + centerT)};
    }
    // The whole skin in view, with a little room around it.
    void fit(int skinWidth, int skinHeight, int width, int height);
};

// The picture of a skin in its colours, made again only when the skin's pixels or palette change.
class SkinPictureCache {
public:
    const QImage& picture(const Skin& skin);

private:
    QImage image_;
    uint64_t key_ = 0;
};

// The skin shown: the document's current skin (while a skin group plays, the member showing now), kept
// within the list; -1 / null when the model has none.
int32_t shownSkinIndex(const CFacetoDoc& doc);
const Skin* shownSkin(const CFacetoDoc& doc);

// A digest of a vector's bytes, to tell whether what a picture shows changed.
template <typename V> uint64_t digestOf(const V& items) {
    return std::hash<std::string_view>{}(
        std::string_view(reinterpret_cast<const char*>(items.data()), items.size() * sizeof(items[0])));
}

// The triangles whose three vertices are visible: the ones the skin view draws and picks.
bool triangleShown(const Model& model, const Triangle& t);

// The shown triangle whose skin coordinates hold point (s, t), the last one where several do; -1.
int skinTriangleAt(const Model& model, float s, float t);
// The shown triangles whose three corners lie within the rectangle of skin coordinates.
std::vector<int32_t> skinTrianglesIn(const Model& model, QRectF area);

// Draws the skin view: the skin at its pixels, the skin map over it (seams in their own colour,
// selected triangles filled, the corners of selected vertices marked), and the band being dragged.
void drawSkinView(QPainter& painter, const CFacetoDoc& doc, const SkinViewState& view, int width, int height,
                  SkinPictureCache& cache, const QRectF* band = nullptr);

} // namespace faceto
