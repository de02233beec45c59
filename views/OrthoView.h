#pragma once

#include "document/CFacetoDoc.h"
#include "render/Rasterizer.h"
#include "views/AppState.h"
#include "views/ViewState.h"

#include <string>
#include <vector>

namespace faceto {

// How one orthographic orientation of a document maps world points to a window of W x H pixels:
// scale = zoom x zoomFactor pixels per unit, the view's centre at the window's centre.
class OrthoMapping {
public:
    OrthoMapping(const ViewState& view, int orientation, int width, int height);

    const OrthoViewState& state() const { return state_; }
    float scale() const { return scale_; }
    int width() const { return width_; }
    int height() const { return height_; }

    float u(const FrameVertex& p) const { return p[state_.axisU]; }
    float v(const FrameVertex& p) const { return p[state_.axisV]; }
    int32_t column(float u) const;
    int32_t bufferRow(float v) const; // rows counted upwards from the bottom of the window
    Pixel toBuffer(const FrameVertex& p) const { return {column(u(p)), bufferRow(v(p))}; }
    // The window pixel (rows downwards) where the mouse code finds a point.
    Pixel toWindow(const FrameVertex& p) const;
    float uAtColumn(float x) const;
    float vAtBufferRow(float yb) const;

private:
    OrthoViewState state_;
    float scale_;
    int width_;
    int height_;
    int halfW_;
    int halfH_;
};

// What a 2D pane keeps from frame to frame so that a drag draws again only what it moves: the picture
// of everything that touches no selected vertex, the draw order of each of its pixels, and what that
// picture was drawn from. A frame that differs from the last in anything but the selected vertices'
// positions is drawn whole; the pixels are the same either way.
struct OrthoLayer {
    // Everything but the frame's positions that a 2D view's picture depends on.
    struct Key {
        const CFacetoDoc* doc = nullptr;
        uint64_t revision = 0;
        int orientation = 0;
        int width = 0;
        int height = 0;
        OrthoViewState state;
        float zoomFactor = 0.0f;
        float pixelRatio = 0.0f;
        float gridSpacing = 0.0f;
        int32_t gridVisible = 0;
        int32_t originVisible = 0;
        bool vertexDots2D = false;
        int32_t bandView = -1;
        WindowPoint bandStart;
        WindowPoint bandEnd;
        OrthoColours colours;
        bool skeletonShown = false;
        int tool = 0;
        bool operator==(const Key&) const = default;
    };
    Key key;
    std::vector<Pixel> at;    // each vertex's pixel in the last frame drawn
    std::vector<Pixel> spare; // room for the next frame's
    bool kept = false;        // the picture below holds the last frame's still part
    std::vector<uint8_t> pixels;
    std::vector<uint32_t> stamps;
    std::vector<int32_t> movingEdges;    // edges with a selected end
    std::vector<int32_t> movingVertices; // selected vertices
    size_t bytes() const;
};

// Draws the 2D view of `orientation`: grid, axes through the origin, the edges, skeleton nodes, the
// selection rectangle being dragged and the vertices of the current frame, then the axis indicator
// in the lower-left corner. A zero-sized window draws nothing at all. With a layer, what it keeps
// stands in for what has not changed since the last frame.
void drawOrthoView(Rasterizer& r, const CFacetoDoc& doc, const ViewState& view, int orientation,
                   const AppState& app, int width, int height, FramePresenter* target, OverlayTarget* overlay,
                   OrthoLayer* layer = nullptr);

// The zoom factor that makes every orientation's extent fit a window of this size.
float initialZoomFactor(const ViewState& view, int width, int height);

// Which orientation a view in the given pane of the 2 x 2 layout shows.
int orientationForPane(int row, int column);

// The name of the view an orientation gives and its axes, shown in the pane's corner: "Top (Y right,
// X down)", "Side (X right, Z up)", "Front (Y right, Z up)".
std::string paneLabel(const OrthoViewState& state);

} // namespace faceto
