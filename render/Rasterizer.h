#pragma once

#include "model/Palette.h"
#include "model/Skin.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace faceto {

// A point in frame-buffer pixels (rows count upwards) or, for overlays, in window pixels.
struct Pixel {
    int32_t x = 0;
    int32_t y = 0;
    bool operator==(const Pixel&) const = default;
};

// Scratch records of the perspective views, reused from frame to frame: each vertex in camera space
// with its projected pixel, and each triangle as the draw loop needs it.
struct ProjectedVertex {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    Pixel pixel;
};

struct ProjectedTriangle {
    std::array<Pixel, 3> corners;
    float normalZ = 0.0f; // of the unit face normal in camera space
    int32_t color = 0;
    bool inFront = false; // every corner in front of the camera
};

// Where a finished 8-bit frame goes: rows bottom-up, `stride` bytes apart, each byte a palette index.
class FramePresenter {
public:
    virtual ~FramePresenter() = default;
    virtual void present(const uint8_t* pixels, int stride, int width, int height,
                         const DisplayPalette& palette) = 0;
};

// True-colour lines and dots drawn on the window after the frame, in window coordinates (rows downwards).
class OverlayTarget {
public:
    virtual ~OverlayTarget() = default;
    // `rgb` holds red in its low byte, then green, then blue.
    virtual void line(Pixel from, Pixel to, uint32_t rgb, int penWidth, bool dashed) = 0;
    virtual void pixel(Pixel at, uint32_t rgb) = 0;
    // A line of text whose top left corner is at `at`.
    virtual void text(Pixel at, const std::string& text, uint32_t rgb) = 0;
};

// The 8-bit software rasterizer: one frame buffer with its span tables, reused by every view.
// Coordinates are whole pixels; polygons are clipped by halving their edges, walked into per-row
// spans by Bresenham's method and filled flat or with an affine texture; lines and square dots are
// drawn the same way. A frame is opened, drawn into and presented; then an overlay may follow.
class Rasterizer {
public:
    // Uses the given palette and colour map (the process's tables, loaded once at start-up).
    explicit Rasterizer(const PaletteTables& tables);

    const PaletteTables& tables() const { return tables_; }
    // The colour map the textured and shaded fill lights texels with, until it is set again: a game's
    // own (Quake's or Hexen II's, for a skin in that game's palette); null: the tables'.
    void useColormap(const std::array<uint8_t, COLORMAP_BYTES>* colormap) {
        colormap_ = colormap != nullptr ? colormap->data() : nullptr;
    }
    const DisplayPalette& defaultPalette() const { return defaultPalette_; }

    // Opens a frame for a client area of width x height (the width rounded up to a multiple of 4),
    // cleared to `fill`. `palette` shows the frame in other colours (null: the game palette).
    bool beginFrame(FramePresenter* target, int width, int height, int fill,
                    const DisplayPalette* palette = nullptr);
    // Hands the frame to its presenter and closes it; 0 when no frame was open.
    int presentFrame();
    void clearFrame(int colour);
    bool frameOpen() const { return frameOpen_; }

    int width() const { return width_; }
    int height() const { return height_; }
    int stride() const { return width_; }
    const uint8_t* pixels() const { return pixels_.data(); }
    // The open frame's pixels, for a picture kept from an earlier frame to be copied in.
    uint8_t* framePixels() { return pixels_.data(); }
    uint8_t pixelAt(int x, int y) const { return pixels_[size_t(y) * size_t(width_) + size_t(x)]; }
    size_t allocatedBytes() const { return pixels_.size(); }

    void plotPixel(Pixel p, int colour);
    // The (2r+1) x (2r+1) square around p, r = 1, 2 or 3.
    void plotSquare(Pixel p, int colour, int r);
    void drawLine(Pixel a, Pixel b, int colour);
    // `vertices` holds count + 1 points (x, y), the first repeated at the end.
    void fillFlatPolygon(const int32_t* vertices, int count, int colour);
    // `vertices` holds count + 1 vectors (x, y, u, v), u and v in texels of an 8-bit image.
    void fillTexturedPolygon(const int32_t* vertices, int count, const Skin& texture);
    // Spans that stay inside the picture are read four texels at a time (the same texels); off, every
    // span is read texel by texel, clamped, as the pictures are compared in the tests.
    void readTexelsInBlocks(bool on) { texelBlocks_ = on; }
    // Polygons wholly inside the frame are walked without clipping (the same spans); off, every polygon
    // goes through the clipping, as the pictures are compared in the tests.
    void skipClippingInside(bool on) { skipClipping_ = on; }
    // `vertices` holds count + 1 vectors (x, y, row): `colour` lit through the colour map, the light row
    // (0 brightest, 63 darkest) interpolated across the polygon.
    void fillGouraudPolygon(const int32_t* vertices, int count, int colour);
    // `vertices` holds count + 1 vectors (x, y, u, v, row): the texture lit through the colour map, the
    // light row interpolated across the polygon as in the Gouraud fill.
    void fillTexturedShadedPolygon(const int32_t* vertices, int count, const Skin& texture);

    // Draw order, for a picture kept between frames: while recording, every pixel the lines, dots and
    // squares write also takes the current stamp in `stamps` (one per pixel of the open frame); while
    // testing, they write a pixel only where the current stamp is later than the one there, so that
    // what is drawn over the kept picture lands as if drawn in its place among that picture's drawing.
    enum class Stamping { OFF, RECORD, TEST };
    void useStamps(Stamping mode, uint32_t* stamps = nullptr) {
        stamping_ = stamps != nullptr ? mode : Stamping::OFF;
        stamps_ = stamps;
    }
    void setStamp(uint32_t stamp) { stamp_ = stamp; }

    // The corners (`count` x, y pairs) lie inside the frame and within one pixel of each other each way
    // (a polygon of a dense mesh seen from afar): its edges and spans cover nothing but their pixels.
    bool withinTwoPixels(const int32_t* vertices, int count) const;

    // The forms the 2D views use: they do nothing while no frame is open.
    void drawLineIfOpen(Pixel a, Pixel b, int colour);
    void plotSquareIfOpen(Pixel p, int colour, int r);

    bool beginOverlay(OverlayTarget* target);
    void overlayLine(Pixel from, Pixel to, uint32_t rgb, int penWidth, bool dashed);
    void overlayPixel(Pixel at, uint32_t rgb);
    void overlayText(Pixel at, const std::string& text, uint32_t rgb);
    void endOverlay();

    // Depth sort: keys[lo..hi] in descending order, indices moved along. Elements equal to the pivot
    // stay to its right; the views rely on that order for triangles of equal depth.
    void reserveSortSpace(size_t n);
    std::vector<float>& sortKeys() { return sortKeys_; }
    std::vector<int32_t>& sortIndices() { return sortIndices_; }
    static void sortByDepth(float* keys, int32_t* indices, int lo, int hi);

    std::vector<ProjectedVertex>& projectedVertices() { return projectedVertices_; }
    std::vector<ProjectedTriangle>& projectedTriangles() { return projectedTriangles_; }

private:
    // An edge end with up to five components: x, y and up to three attributes.
    static constexpr int MAX_ATTRIBUTES = 3;
    using Vec = std::array<int32_t, 2 + MAX_ATTRIBUTES>;
    bool clipEdge(int axis, const Vec& a, const Vec& b, int n, Vec& outA, Vec& outB, bool& firstMoved) const;
    int clipPolygonX(const int32_t* in, int n, int count);
    void resetSpans();
    // Walks the edge into the span tables, clipped against the rows unless it lies inside them.
    void walkEdge(const Vec& a, const Vec& b, int n, bool clip);
    template <int ATTRIBUTES> void walkEdgeWith(const Vec& a, const Vec& b, bool clip);
    // Clips the polygon against the columns and walks its edges into the span tables.
    void spansOf(const int32_t* vertices, int n, int count);
    // Calls span(y, xl, xr, start, step) for each row, the attributes at the left end and their step per
    // pixel (the attribute's run divided by the span's pixel count).
    template <typename Span> void eachSpan(int attributes, Span&& span);
    void bresenham(Pixel a, Pixel b, int colour);
    void writeStamped(size_t at, uint8_t colour) {
        if (stamping_ == Stamping::RECORD) {
            pixels_[at] = colour;
            stamps_[at] = stamp_;
        } else if (stamp_ > stamps_[at]) {
            pixels_[at] = colour;
        }
    }

    PaletteTables tables_;
    const uint8_t* colormap_ = nullptr; // instead of the tables' (useColormap)
    DisplayPalette defaultPalette_{};
    FramePresenter* target_ = nullptr;
    const DisplayPalette* framePalette_ = nullptr;
    OverlayTarget* overlay_ = nullptr;
    bool frameOpen_ = false;
    bool texelBlocks_ = true;
    bool skipClipping_ = true;
    bool overlayOpen_ = false;
    Stamping stamping_ = Stamping::OFF;
    uint32_t* stamps_ = nullptr;
    uint32_t stamp_ = 0;

    std::vector<uint8_t> pixels_;
    int allocWidth_ = 100;
    int allocHeight_ = 100;
    int allocBits_ = 0; // the first frame always allocates
    int width_ = 0;
    int height_ = 0;

    std::vector<int32_t> leftX_;
    std::vector<int32_t> rightX_;
    std::array<std::vector<int32_t>, MAX_ATTRIBUTES> leftAttr_;
    std::array<std::vector<int32_t>, MAX_ATTRIBUTES> rightAttr_;
    int32_t minRow_ = 0;
    int32_t maxRow_ = 0;
    std::vector<int32_t> clipped_;

    std::vector<float> sortKeys_;
    std::vector<int32_t> sortIndices_;
    std::vector<ProjectedVertex> projectedVertices_;
    std::vector<ProjectedTriangle> projectedTriangles_;
};

} // namespace faceto
