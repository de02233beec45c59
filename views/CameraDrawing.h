#pragma once

#include "model/Model.h"
#include "render/DepthSort.h"
#include "render/Rasterizer.h"
#include "views/CameraMath.h"

#include <vector>

namespace faceto {

class CFacetoDoc;
struct ViewState;

// The display switches of the animation preview.
struct PreviewSettings {
    int textured = 1;
    int showVertices = 0;
    int showEdges = 0;
    int shaded = 1;
    int cullBackFaces = 1;
    int shownFrame = -1; // a valid index draws that frame instead of the current one
    int skinIndex = -1;  // -1: the document's current skin; past the last skin: the first
    // A valid index: the pose `blend` (0 to 1) of the way from the frame drawn to this frame, vertex by
    // vertex, as the engines draw between frames.
    int blendFrame = -1;
    float blend = 0.0f;
};

// What a perspective pane keeps of the last frame it projected, so that a frame drawn again from the same
// model, positions, camera and size (a 2D view panned, the selection changed, the mode switched) takes
// the projection and depth order its rasterizer still holds instead of making them again, and a frame
// where a few vertices moved (a drag step) projects only those and the triangles around them again
// and sorts again only the ranges of the last depth order that their keys touch. Kept with one rasterizer,
// with which nothing else projects meanwhile.
struct ProjectionMemo {
    const CFacetoDoc* doc = nullptr;
    uint64_t revision = 0;
    Mat4 camera{};
    int width = 0;
    int height = 0;
    std::vector<FrameVertex> positions;
    std::vector<float> keys; // each triangle's depth key, in triangle order
    // The triangles around each vertex: those of vertex v are aroundVertex[firstAround[v] ..
    // firstAround[v + 1] - 1]. Made for `revision` when first needed.
    std::vector<int32_t> firstAround;
    std::vector<int32_t> aroundVertex;
    uint64_t aroundRevision = 0;
    DepthOrder order; // of `keys`
    bool valid = false;
};

// The camera pane: the current frame in perspective, every triangle facing the camera filled with the
// light row of its facing through the colour map and outlined in colour 0, far ones first. A frame of
// the given client size is drawn and presented; false when no frame could be opened.
// `frame`, when it is one of the document's, is drawn instead of the current one. With an overlay the
// pane's corner label is drawn on top: "Camera (" and the mode as the View menu names it, ")".
bool drawCameraView(Rasterizer& r, const CFacetoDoc* doc, const ViewState& view, const Mat4& camera,
                    int width, int height, FramePresenter* target, int frame = -1,
                    OverlayTarget* overlay = nullptr, ProjectionMemo* memo = nullptr);
std::string cameraPaneLabel(int fillMode);

// The triangle the camera pane shows at window pixel (x, y) (rows downwards): the nearest of those in
// front of the camera that face it (or any, with back faces drawn) and hold the point; -1 when none does.
int pickCameraTriangle(const CFacetoDoc& doc, const ViewState& view, const Mat4& camera, int width,
                       int height, int x, int y);

// The animation preview: the shown frame (or the current one) textured with a skin, flat-shaded,
// as wire frame and/or with vertex dots, in the first skin's colours. Adjusts `settings.skinIndex`
// to the skin it used.
bool drawPreview(Rasterizer& r, const CFacetoDoc* doc, PreviewSettings& settings, const Mat4& camera,
                 int width, int height, FramePresenter* target, ProjectionMemo* memo = nullptr);

} // namespace faceto
