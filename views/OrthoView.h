#pragma once

#include "document/CFacetoDoc.h"
#include "render/Rasterizer.h"
#include "views/AppState.h"
#include "views/ViewState.h"

#include <string>

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

// Draws the 2D view of `orientation`: grid, axes through the origin, the edges, skeleton nodes, the
// selection rectangle being dragged and the vertices of the current frame, then the axis indicator
// in the lower-left corner. A zero-sized window draws nothing at all.
void drawOrthoView(Rasterizer& r, const CFacetoDoc& doc, const ViewState& view, int orientation,
                   const AppState& app, int width, int height, FramePresenter* target,
                   OverlayTarget* overlay);

// The zoom factor that makes every orientation's extent fit a window of this size.
float initialZoomFactor(const ViewState& view, int width, int height);

// Which orientation a view in the given pane of the 2 x 2 layout shows.
int orientationForPane(int row, int column);

// The name of the view an orientation gives and its axes, shown in the pane's corner: "Top (Y right,
// X down)", "Side (X right, Z up)", "Front (Y right, Z up)".
std::string paneLabel(const OrthoViewState& state);

} // namespace faceto
