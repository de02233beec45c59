#include "views/OrthoView.h"

#include "model/Texts.h"
#include "views/Projection.h"
#include "views/TagDrawing.h"

#include <algorithm>
#include <cmath>

namespace faceto {

namespace {

constexpr int SELECTED_COLOUR = 250;
constexpr int PLAIN_VERTEX = 0;
constexpr int RECTANGLE = 0;
constexpr uint32_t AXIS_RGB[3] = {0x0000FF, 0x00FF00,
                                  0xFF0000}; // x red, y green, z blue (red in the low byte)

constexpr uint32_t LABEL_RGB = 0x303030;

bool active(const VertexInfo& info) {
    return (info.flags & (VERTEX_SELECTED | VERTEX_MARKED)) != 0;
}

void drawGrid(Rasterizer& r, const ViewState& view, const OrthoMapping& m, int colour) {
    const float spacing = view.gridSpacing;
    if (!(m.scale() * spacing > 1.0f)) {
        return; // lines closer than a pixel
    }
    const float u0 = m.uAtColumn(0.0f);
    const float u1 = m.uAtColumn(float(m.width()));
    const float v0 = m.vAtBufferRow(0.0f);
    const float v1 = m.vAtBufferRow(float(m.height()));
    // Lines are counted rather than summed, so a tiny spacing far from the origin cannot stall the loop;
    // more than one pixel apart, at most one line per column (or row) fits.
    auto lines = [&](float lo, float hi, int limit, auto&& draw) {
        const float first = std::trunc(lo / spacing) * spacing;
        for (int k = 0; k <= limit + 1; ++k) {
            const float at = first + float(k) * spacing;
            if (!(at <= hi)) {
                break;
            }
            draw(at);
        }
    };
    lines(std::min(u0, u1), std::max(u0, u1), m.width(), [&](float u) {
        const int32_t x = m.column(u);
        r.drawLineIfOpen({x, 0}, {x, m.height()}, colour);
    });
    lines(std::min(v0, v1), std::max(v0, v1), m.height(), [&](float v) {
        const int32_t y = m.bufferRow(v);
        r.drawLineIfOpen({0, y}, {m.width(), y}, colour);
    });
}

// The visible triangles filled in their colours, the farthest from the viewer first.
void fillTriangles(Rasterizer& r, const CFacetoDoc& doc, const OrthoMapping& m, const Frame& frame,
                   const std::vector<Pixel>& at) {
    const OrthoViewState& s = m.state();
    const int depthAxis = 3 - s.axisU - s.axisV;
    // The viewer looks from the side the view's right crossed with its up points to.
    std::array<int, 3> right{0, 0, 0};
    std::array<int, 3> up{0, 0, 0};
    right[size_t(s.axisU)] = s.signU;
    up[size_t(s.axisV)] = s.signV;
    const int toward = depthAxis == 0   ? right[1] * up[2] - right[2] * up[1]
                       : depthAxis == 1 ? right[2] * up[0] - right[0] * up[2]
                                        : right[0] * up[1] - right[1] * up[0];
    const auto& infos = doc.model().vertexInfos;
    std::vector<std::pair<float, int32_t>> order;
    for (size_t t = 0; t < doc.model().triangles.size(); ++t) {
        const Triangle& tri = doc.model().triangles[t];
        if (std::all_of(tri.v.begin(), tri.v.end(),
                        [&](int32_t v) { return size_t(v) < at.size() && infos[size_t(v)].visible(); })) {
            float depth = 0;
            for (int32_t v : tri.v) {
                depth += float(toward) * frame.positions[size_t(v)][depthAxis];
            }
            order.emplace_back(depth, int32_t(t));
        }
    }
    std::stable_sort(order.begin(), order.end());
    for (const auto& [depth, t] : order) {
        const Triangle& tri = doc.model().triangles[size_t(t)];
        const Pixel a = at[size_t(tri.v[0])];
        const Pixel b = at[size_t(tri.v[1])];
        const Pixel c = at[size_t(tri.v[2])];
        const int32_t polygon[] = {a.x, a.y, b.x, b.y, c.x, c.y, a.x, a.y};
        r.fillFlatPolygon(polygon, 3, tri.color & 0xFF);
    }
}

void drawAxisIndicator(Rasterizer& r, const OrthoMapping& m, const Model& model, const Frame* frame,
                       OverlayTarget* overlay) {
    if (!r.beginOverlay(overlay)) {
        return;
    }
    if (frame != nullptr && m.scale() > 0.0f) {
        drawTags(
            r, model, *frame, [&](const FrameVertex&) { return 1.0f / m.scale(); },
            [&](const FrameVertex& p) -> std::optional<Pixel> { return m.toWindow(p); });
    }
    const int h = m.height();
    const uint32_t vertical = AXIS_RGB[m.state().axisV];
    const uint32_t horizontal = AXIS_RGB[m.state().axisU];
    r.overlayLine({6, h - 6}, {6, h - 27}, vertical, 1, false);
    for (Pixel p : {Pixel{5, h - 25}, Pixel{7, h - 25}, Pixel{4, h - 24}, Pixel{8, h - 24}}) {
        r.overlayPixel(p, vertical);
    }
    r.overlayLine({6, h - 6}, {27, h - 6}, horizontal, 1, false);
    for (Pixel p : {Pixel{25, h - 7}, Pixel{25, h - 5}, Pixel{24, h - 4}, Pixel{24, h - 8}}) {
        r.overlayPixel(p, horizontal);
    }
    r.overlayText({4, 2}, paneLabel(m.state()), LABEL_RGB);
    r.endOverlay();
}

} // namespace

OrthoMapping::OrthoMapping(const ViewState& view, int orientation, int width, int height)
    : state_(view.orthoViews[size_t(std::clamp(orientation, 0, 2))]),
      scale_(state_.zoom * view.zoomFactor * view.pixelRatio), width_(width), height_(height),
      halfW_(width / 2), halfH_(height / 2) {}

int32_t OrthoMapping::column(float u) const {
    return toPixel((u - state_.centerU) * float(state_.signU) * scale_ + float(halfW_));
}

int32_t OrthoMapping::bufferRow(float v) const {
    return toPixel((v - state_.centerV) * float(state_.signV) * scale_ + float(halfH_));
}

Pixel OrthoMapping::toWindow(const FrameVertex& p) const {
    return {toPixel(scale_ * float(state_.signU) * (u(p) - state_.centerU) + float(halfW_)),
            toPixel(scale_ * float(-state_.signV) * (v(p) - state_.centerV) + float(halfH_))};
}

float OrthoMapping::uAtColumn(float x) const {
    return (x - float(halfW_)) / (float(state_.signU) * scale_) + state_.centerU;
}

float OrthoMapping::vAtBufferRow(float yb) const {
    return (yb - float(halfH_)) / (float(state_.signV) * scale_) + state_.centerV;
}

namespace {

// What one frame of a 2D view is drawn from.
struct OrthoScene {
    const Model& model;
    const ViewState& view;
    const AppState& app;
    const OrthoMapping& m;
    int orientation;
    const std::vector<Pixel>& at;
};

// The draw order of each part of a frame, for drawing over a kept picture: the background (the
// clearing, the grid and the axes) first, then the edges in their order, the skeleton and the
// selection rectangle, then the vertices in their order.
constexpr uint32_t BACKGROUND_STAMP = 0;
uint32_t edgeStamp(size_t edge) {
    return uint32_t(1 + edge);
}
uint32_t overEdgesStamp(const Model& model) {
    return uint32_t(1 + model.edges.size());
}
uint32_t vertexStamp(const Model& model, size_t vertex) {
    return uint32_t(2 + model.edges.size() + vertex);
}

void drawBackground(Rasterizer& r, const OrthoScene& s) {
    if (s.view.gridVisible) {
        drawGrid(r, s.view, s.m, s.app.orthoColours.grid);
    }
    if (s.view.originVisible) {
        const int32_t x = s.m.column(0.0f);
        const int32_t y = s.m.bufferRow(0.0f);
        r.drawLineIfOpen({x, 0}, {x, s.m.height()}, s.app.orthoColours.axes);
        r.drawLineIfOpen({0, y}, {s.m.width(), y}, s.app.orthoColours.axes);
    }
}

// The edge with both ends shown, in its colour (the selection's when both ends are selected or
// marked); false for one that does not show.
bool drawEdge(Rasterizer& r, const OrthoScene& s, size_t index) {
    const Edge& e = s.model.edges[index];
    const size_t count = s.at.size();
    if (e.first < 0 || e.second < 0 || size_t(e.first) >= count || size_t(e.second) >= count) {
        return false;
    }
    const VertexInfo& a = s.model.vertexInfos[size_t(e.first)];
    const VertexInfo& b = s.model.vertexInfos[size_t(e.second)];
    if (!a.visible() || !b.visible()) {
        return false;
    }
    // An edge at most two pixels long lies wholly under the dots of its two ends, which are drawn
    // later: it would not show.
    const Pixel p = s.at[size_t(e.first)];
    const Pixel q = s.at[size_t(e.second)];
    if (std::abs(int64_t(p.x) - q.x) <= 2 && std::abs(int64_t(p.y) - q.y) <= 2) {
        return true;
    }
    r.setStamp(edgeStamp(index));
    r.drawLineIfOpen(p, q, active(a) && active(b) ? SELECTED_COLOUR : (e.color & 0xFF));
    return true;
}

// The skeleton's nodes and the selection rectangle being dragged.
void drawOverEdges(Rasterizer& r, const OrthoScene& s) {
    r.setStamp(overEdgesStamp(s.model));
    for (const SkeletonNode& node : s.model.skeletonNodes) {
        if (!(node.flags & 2) || !s.app.skeletonShown) {
            continue;
        }
        const Pixel joint = s.m.toBuffer({node.block[0], node.block[1], node.block[2]});
        const Pixel pivot = s.m.toBuffer({node.block[6], node.block[7], node.block[8]});
        r.plotSquareIfOpen(joint, 0, 3);
        r.plotSquareIfOpen(pivot, SELECTED_COLOUR, 3);
        r.drawLineIfOpen(joint, pivot, 0);
    }
    const ViewState& view = s.view;
    if (s.app.currentTool == TOOL_EDIT && view.bandView == s.orientation &&
        view.bandStart.x != view.bandEnd.x && view.bandStart.y != view.bandEnd.y) {
        const int height = s.m.height();
        const Pixel a{view.bandStart.x, height - view.bandStart.y};
        const Pixel b{view.bandEnd.x, height - view.bandEnd.y};
        r.drawLineIfOpen(a, {b.x, a.y}, RECTANGLE);
        r.drawLineIfOpen({b.x, a.y}, b, RECTANGLE);
        r.drawLineIfOpen(b, {a.x, b.y}, RECTANGLE);
        r.drawLineIfOpen({a.x, b.y}, a, RECTANGLE);
    }
}

void drawVertex(Rasterizer& r, const OrthoScene& s, size_t v) {
    const VertexInfo& info = s.model.vertexInfos[v];
    if (!info.visible() || (!s.view.vertexDots2D && !active(info))) {
        return;
    }
    r.setStamp(vertexStamp(s.model, v));
    if (active(info)) {
        r.plotSquareIfOpen(s.at[v], SELECTED_COLOUR, 2);
    } else {
        r.plotSquareIfOpen(s.at[v], PLAIN_VERTEX, 1);
    }
}

void drawWhole(Rasterizer& r, const CFacetoDoc& doc, const Frame& frame, const OrthoScene& s) {
    drawBackground(r, s);
    if (s.view.solid2D) {
        fillTriangles(r, doc, s.m, frame, s.at);
    }
    for (size_t e = 0; e < s.model.edges.size(); ++e) {
        drawEdge(r, s, e);
    }
    drawOverEdges(r, s);
    for (size_t v = 0; v < s.at.size(); ++v) {
        drawVertex(r, s, v);
    }
}

OrthoLayer::Key keyOf(const CFacetoDoc& doc, const OrthoScene& s) {
    const ViewState& view = s.view;
    return {&doc,
            doc.modelRevision(),
            s.orientation,
            s.m.width(),
            s.m.height(),
            s.m.state(),
            view.zoomFactor,
            view.pixelRatio,
            view.gridSpacing,
            view.gridVisible,
            view.originVisible,
            view.vertexDots2D,
            view.bandView,
            view.bandStart,
            view.bandEnd,
            s.app.orthoColours,
            s.app.skeletonShown,
            s.app.currentTool};
}

// The still part of the frame drawn with the draw order of its pixels, kept; and what moves listed.
// False when nothing or most of the model moves: then nothing is kept.
bool keepStillPart(Rasterizer& r, OrthoLayer& layer, const OrthoScene& s) {
    const auto& infos = s.model.vertexInfos;
    layer.movingVertices.clear();
    for (size_t v = 0; v < s.at.size(); ++v) {
        if (active(infos[v])) {
            layer.movingVertices.push_back(int32_t(v));
        }
    }
    if (layer.movingVertices.empty() || layer.movingVertices.size() > s.at.size() / 2) {
        return false;
    }
    const size_t area = size_t(r.width()) * size_t(r.height());
    layer.stamps.assign(area, BACKGROUND_STAMP);
    r.useStamps(Rasterizer::Stamping::RECORD, layer.stamps.data());
    r.setStamp(BACKGROUND_STAMP);
    drawBackground(r, s);
    layer.movingEdges.clear();
    for (size_t e = 0; e < s.model.edges.size(); ++e) {
        const Edge& edge = s.model.edges[e];
        const bool moves = (size_t(edge.first) < s.at.size() && active(infos[size_t(edge.first)])) ||
                           (size_t(edge.second) < s.at.size() && active(infos[size_t(edge.second)]));
        if (moves) {
            layer.movingEdges.push_back(int32_t(e));
        } else {
            drawEdge(r, s, e);
        }
    }
    drawOverEdges(r, s);
    for (size_t v = 0; v < s.at.size(); ++v) {
        if (!active(infos[v])) {
            drawVertex(r, s, v);
        }
    }
    r.useStamps(Rasterizer::Stamping::OFF);
    layer.pixels.assign(r.framePixels(), r.framePixels() + area);
    return true;
}

// Draws the frame from the layer where only the selected vertices moved since the last frame: the
// kept picture with what moves drawn over it in its place. False when the frame is to be drawn whole.
bool drawFromLayer(Rasterizer& r, OrthoLayer& layer, const CFacetoDoc& doc, const OrthoScene& s) {
    const OrthoLayer::Key key = keyOf(doc, s);
    bool same = !s.view.solid2D && layer.key == key && layer.at.size() == s.at.size();
    const auto& infos = s.model.vertexInfos;
    for (size_t v = 0; same && v < s.at.size(); ++v) {
        same = active(infos[v]) || s.at[v] == layer.at[v];
    }
    if (!same) {
        layer.key = key;
        layer.kept = false;
        layer.pixels = {};
        layer.stamps = {};
        return false;
    }
    if (!layer.kept) {
        layer.kept = keepStillPart(r, layer, s);
        if (!layer.kept) {
            return false;
        }
    } else {
        std::copy(layer.pixels.begin(), layer.pixels.end(), r.framePixels());
    }
    r.useStamps(Rasterizer::Stamping::TEST, layer.stamps.data());
    for (int32_t e : layer.movingEdges) {
        drawEdge(r, s, size_t(e));
    }
    for (int32_t v : layer.movingVertices) {
        drawVertex(r, s, size_t(v));
    }
    r.useStamps(Rasterizer::Stamping::OFF);
    return true;
}

} // namespace

size_t OrthoLayer::bytes() const {
    return (at.capacity() + spare.capacity()) * sizeof(Pixel) + pixels.capacity() +
           stamps.capacity() * sizeof(uint32_t) +
           (movingEdges.capacity() + movingVertices.capacity()) * sizeof(int32_t);
}

void drawOrthoView(Rasterizer& r, const CFacetoDoc& doc, const ViewState& view, int orientation,
                   const AppState& app, int width, int height, FramePresenter* target, OverlayTarget* overlay,
                   OrthoLayer* layer) {
    if (width <= 0 || height <= 0 || !r.beginFrame(target, width, height, app.orthoColours.background)) {
        return;
    }
    const OrthoMapping m(view, orientation, width, height);
    const Frame* frame = doc.currentFrame();
    const Model& model = doc.model();
    // With a layer, the pixels go into the room the frame before last used (the last frame's are kept).
    std::vector<Pixel> at = layer != nullptr ? std::move(layer->spare) : std::vector<Pixel>{};
    at.clear();
    if (frame != nullptr) {
        const size_t count = std::min(model.vertexInfos.size(), frame->positions.size());
        at.resize(count);
        for (size_t v = 0; v < count; ++v) {
            at[v] = m.toBuffer(frame->positions[v]);
        }
    }
    const OrthoScene scene{model, view, app, m, orientation, at};
    if (frame == nullptr) {
        drawBackground(r, scene);
    } else if (layer == nullptr || !drawFromLayer(r, *layer, doc, scene)) {
        drawWhole(r, doc, *frame, scene);
    }
    if (layer != nullptr) {
        layer->spare = std::move(layer->at);
        layer->at = std::move(at);
    }
    r.presentFrame();
    drawAxisIndicator(r, m, model, frame, overlay);
}

float initialZoomFactor(const ViewState& view, int width, int height) {
    float factor = 1e10f;
    for (const OrthoViewState& s : view.orthoViews) {
        if (s.viewExtentU > 0.0f) {
            factor = std::min(factor, float(width) / s.viewExtentU);
        }
        if (s.viewExtentV > 0.0f) {
            factor = std::min(factor, float(height) / s.viewExtentV);
        }
    }
    return factor;
}

int orientationForPane(int row, int column) {
    return row == 1 ? 2 : column == 1 ? 1 : 0;
}

std::string paneLabel(const OrthoViewState& state) {
    static const char* const AXES[3] = {"X", "Y", "Z"};
    // Quake models face +x: the pane of y to the right and z up looks at their front; seen from the
    // other side (the horizontal axis runs the other way) it looks at their back.
    const bool down = state.axisV == 2 ? false : true;
    const char* name = state.axisV != 2   ? (state.negative ? FACETO_TEXT("Bottom") : FACETO_TEXT("Top"))
                       : state.axisU == 0 ? (state.negative ? FACETO_TEXT("Other Side") : FACETO_TEXT("Side"))
                                          : (state.negative ? FACETO_TEXT("Back") : FACETO_TEXT("Front"));
    const char* pattern =
        state.signU > 0 ? (down ? FACETO_TEXT("%1 (%2 right, %3 down)") : FACETO_TEXT("%1 (%2 right, %3 up)"))
                        : (down ? FACETO_TEXT("%1 (%2 left, %3 down)") : FACETO_TEXT("%1 (%2 left, %3 up)"));
    return localText(pattern, {localText(name), AXES[state.axisU], AXES[state.axisV]});
}

} // namespace faceto
