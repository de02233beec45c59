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

void drawOrthoView(Rasterizer& r, const CFacetoDoc& doc, const ViewState& view, int orientation,
                   const AppState& app, int width, int height, FramePresenter* target,
                   OverlayTarget* overlay) {
    if (width <= 0 || height <= 0 || !r.beginFrame(target, width, height, app.orthoColours.background)) {
        return;
    }
    const OrthoMapping m(view, orientation, width, height);
    if (view.gridVisible) {
        drawGrid(r, view, m, app.orthoColours.grid);
    }
    if (view.originVisible) {
        const int32_t x = m.column(0.0f);
        const int32_t y = m.bufferRow(0.0f);
        r.drawLineIfOpen({x, 0}, {x, height}, app.orthoColours.axes);
        r.drawLineIfOpen({0, y}, {width, y}, app.orthoColours.axes);
    }

    const Frame* frame = doc.currentFrame();
    if (frame != nullptr) {
        const Model& model = doc.model();
        const auto& infos = model.vertexInfos;
        const auto& positions = frame->positions;
        const size_t count = std::min(infos.size(), positions.size());
        std::vector<Pixel> at(count);
        for (size_t v = 0; v < count; ++v) {
            at[v] = m.toBuffer(positions[v]);
        }
        if (view.solid2D) {
            fillTriangles(r, doc, m, *frame, at);
        }
        for (const Edge& e : model.edges) {
            if (e.first < 0 || e.second < 0 || size_t(e.first) >= count || size_t(e.second) >= count) {
                continue;
            }
            const VertexInfo& a = infos[size_t(e.first)];
            const VertexInfo& b = infos[size_t(e.second)];
            if (!a.visible() || !b.visible()) {
                continue;
            }
            // An edge at most two pixels long lies wholly under the dots of its two ends, which are
            // drawn later: it would not show.
            const Pixel p = at[size_t(e.first)];
            const Pixel q = at[size_t(e.second)];
            if (std::abs(int64_t(p.x) - q.x) <= 2 && std::abs(int64_t(p.y) - q.y) <= 2) {
                continue;
            }
            const int colour = active(a) && active(b) ? SELECTED_COLOUR : (e.color & 0xFF);
            r.drawLineIfOpen(p, q, colour);
        }
        for (const SkeletonNode& node : model.skeletonNodes) {
            if (!(node.flags & 2) || !app.skeletonShown) {
                continue;
            }
            const Pixel joint = m.toBuffer({node.block[0], node.block[1], node.block[2]});
            const Pixel pivot = m.toBuffer({node.block[6], node.block[7], node.block[8]});
            r.plotSquareIfOpen(joint, 0, 3);
            r.plotSquareIfOpen(pivot, SELECTED_COLOUR, 3);
            r.drawLineIfOpen(joint, pivot, 0);
        }
        if (app.currentTool == TOOL_EDIT && view.bandView == orientation &&
            view.bandStart.x != view.bandEnd.x && view.bandStart.y != view.bandEnd.y) {
            const Pixel a{view.bandStart.x, height - view.bandStart.y};
            const Pixel b{view.bandEnd.x, height - view.bandEnd.y};
            r.drawLineIfOpen(a, {b.x, a.y}, RECTANGLE);
            r.drawLineIfOpen({b.x, a.y}, b, RECTANGLE);
            r.drawLineIfOpen(b, {a.x, b.y}, RECTANGLE);
            r.drawLineIfOpen({a.x, b.y}, a, RECTANGLE);
        }
        for (size_t v = 0; v < count; ++v) {
            if (!infos[v].visible() || (!view.vertexDots2D && !active(infos[v]))) {
                continue;
            }
            if (active(infos[v])) {
                r.plotSquareIfOpen(at[v], SELECTED_COLOUR, 2);
            } else {
                r.plotSquareIfOpen(at[v], PLAIN_VERTEX, 1);
            }
        }
    }
    r.presentFrame();
    drawAxisIndicator(r, m, doc.model(), frame, overlay);
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
