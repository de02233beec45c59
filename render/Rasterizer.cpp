#include "render/Rasterizer.h"

#include "render/DepthSort.h"
#include "render/TexelSpans.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <cstring>
#include <functional>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

namespace faceto {

namespace {

constexpr int FRACTION_BITS = 10; // fixed-point attributes along edges and spans

int sign(int32_t v) {
    return v < 0 ? -1 : 1;
}

// Bresenham's walk from (x0, y0) to (x1, y1), both ends included: the straight step along the major
// axis while the error term is negative, the diagonal step otherwise. `visit(x, y)` gets every
// pixel; returns the number of steps (the major extent).
template <typename Visit> int32_t walkLine(int32_t x0, int32_t y0, int32_t x1, int32_t y1, Visit&& visit) {
    const int32_t dx = x1 - x0;
    const int32_t dy = y1 - y0;
    const int sx = sign(dx);
    const int sy = sign(dy);
    const bool xMajor = std::abs(dx) > std::abs(dy);
    const int32_t major = xMajor ? std::abs(dx) : std::abs(dy);
    const int32_t minor = xMajor ? std::abs(dy) : std::abs(dx);
    int64_t e = 2 * int64_t(minor) - major;
    int32_t x = x0;
    int32_t y = y0;
    for (int32_t i = 0; i <= major; ++i) {
        visit(x, y);
        if (e >= 0) {
            x += sx;
            y += sy;
            e += 2 * (int64_t(minor) - major);
        } else {
            if (xMajor) {
                x += sx;
            } else {
                y += sy;
            }
            e += 2 * int64_t(minor);
        }
    }
    return major;
}

int32_t majorExtent(int32_t dx, int32_t dy) {
    return std::max(std::abs(dx), std::abs(dy));
}

} // namespace

Rasterizer::Rasterizer(const PaletteTables& tables) : tables_(tables) {
    for (size_t i = 0; i < 256; ++i) {
        defaultPalette_[i] = {tables_.palette[i * 3 + 2], tables_.palette[i * 3 + 1], tables_.palette[i * 3],
                              0};
    }
    pixels_.resize(10000);
}

bool Rasterizer::beginFrame(FramePresenter* target, int width, int height, int fill,
                            const DisplayPalette* palette) {
    if (overlayOpen_) {
        return false;
    }
    while (width % 4 != 0) {
        ++width;
    }
    width = std::max(width, 0);
    height = std::max(height, 0);
    const int64_t needed = int64_t(width) * height;
    if (needed > int64_t(allocBits_ / 8) * allocHeight_ * allocWidth_) {
        pixels_.assign(size_t(needed), 0); // the buffer grows, it never shrinks
        allocWidth_ = width;
        allocHeight_ = height;
        allocBits_ = 8;
    }
    if (leftX_.size() < size_t(height)) {
        leftX_.resize(size_t(height), INT32_MAX);
        rightX_.resize(size_t(height), INT32_MIN);
        for (int k = 0; k < MAX_ATTRIBUTES; ++k) {
            leftAttr_[size_t(k)].resize(size_t(height), 0);
            rightAttr_[size_t(k)].resize(size_t(height), 0);
        }
    }
    target_ = target;
    framePalette_ = palette;
    width_ = width;
    height_ = height;
    clearFrame(fill);
    frameOpen_ = true;
    return true;
}

int Rasterizer::presentFrame() {
    if (!frameOpen_) {
        return 0;
    }
    if (target_ != nullptr) {
        target_->present(pixels_.data(), width_, width_, height_,
                         framePalette_ ? *framePalette_ : defaultPalette_);
    }
    frameOpen_ = false;
    framePalette_ = nullptr;
    return 1;
}

void Rasterizer::clearFrame(int colour) {
    std::memset(pixels_.data(), uint8_t(colour), size_t(width_) * size_t(height_));
}

void Rasterizer::plotPixel(Pixel p, int colour) {
    if (p.x >= 0 && p.x < width_ && p.y >= 0 && p.y < height_) {
        const size_t at = size_t(p.y) * size_t(width_) + size_t(p.x);
        if (stamping_ == Stamping::OFF) {
            pixels_[at] = uint8_t(colour);
        } else {
            writeStamped(at, uint8_t(colour));
        }
    }
}

void Rasterizer::plotSquare(Pixel p, int colour, int r) {
    if (stamping_ == Stamping::OFF && p.x >= r && p.x + r < width_ && p.y >= r && p.y + r < height_) {
        for (int y = p.y - r; y <= p.y + r; ++y) {
            std::memset(&pixels_[size_t(y) * size_t(width_) + size_t(p.x - r)], uint8_t(colour),
                        size_t(2 * r + 1));
        }
        return;
    }
    for (int dy = -r; dy <= r; ++dy) {
        for (int dx = -r; dx <= r; ++dx) {
            plotPixel({p.x + dx, p.y + dy}, colour);
        }
    }
}

// Clips the edge a-b against the columns (axis 0) or rows (axis 1) of the frame by halving it until a
// point lands on the boundary; every component moves with the halving, so attributes stay in step.
// An end that lies on the first column or row is inside and stays where it is.
bool Rasterizer::clipEdge(int axis, const Vec& a, const Vec& b, int n, Vec& outA, Vec& outB,
                          bool& firstMoved) const {
    const int32_t low = 0;
    const int32_t high = (axis == 0 ? width_ : height_) - 1;
    const bool aIsLow = a[size_t(axis)] < b[size_t(axis)];
    Vec lo = aIsLow ? a : b;
    Vec hi = aIsLow ? b : a;
    if (lo[size_t(axis)] > high || hi[size_t(axis)] < low) {
        return false;
    }
    auto halve = [&](Vec l, Vec h, int32_t bound) {
        for (;;) {
            Vec m{};
            for (int k = 0; k < n; ++k) {
                m[size_t(k)] = (l[size_t(k)] + h[size_t(k)]) >> 1;
            }
            if (m[size_t(axis)] == bound) {
                return m;
            }
            if (m[size_t(axis)] < bound) {
                l = m;
            } else {
                h = m;
            }
        }
    };
    bool loMoved = false;
    bool hiMoved = false;
    if (lo[size_t(axis)] < low) {
        lo = hi[size_t(axis)] == low ? hi : halve(lo, hi, low);
        loMoved = true;
    }
    if (hi[size_t(axis)] >= high) {
        if (hi[size_t(axis)] != high) {
            hi = halve(lo, hi, high);
        }
        hiMoved = true;
    }
    outA = aIsLow ? lo : hi;
    outB = aIsLow ? hi : lo;
    firstMoved = aIsLow ? loMoved : hiMoved;
    return true;
}

// Clips a polygon against the left and right columns. An edge wholly outside vanishes, so the
// remaining vertices join along the boundary column and a polygon covering the window edge stays
// filled up to it. Returns the vertex count; the first vertex is repeated after the last.
int Rasterizer::clipPolygonX(const int32_t* in, int n, int count) {
    clipped_.clear();
    auto vec = [&](int i) {
        Vec v{};
        for (int k = 0; k < n; ++k) {
            v[size_t(k)] = in[i * n + k];
        }
        return v;
    };
    auto append = [&](const Vec& v) {
        for (int k = 0; k < n; ++k) {
            clipped_.push_back(v[size_t(k)]);
        }
    };
    for (int i = 0; i < count; ++i) {
        Vec a;
        Vec b;
        bool firstMoved = false;
        if (!clipEdge(0, vec(i), vec(i + 1), n, a, b, firstMoved)) {
            continue;
        }
        if (firstMoved) {
            append(a);
        }
        append(b);
    }
    const int out = int(clipped_.size()) / n;
    if (out > 0) {
        for (int k = 0; k < n; ++k) {
            clipped_.push_back(clipped_[size_t(k)]);
        }
    }
    return out;
}

void Rasterizer::resetSpans() {
    // Every row the last polygon touched, whatever the height of the frame now open: a taller frame
    // later would find the rows above this one's top still holding that polygon's spans.
    for (int32_t y = std::max(minRow_, 0); y <= maxRow_ && size_t(y) < leftX_.size(); ++y) {
        leftX_[size_t(y)] = INT32_MAX;
        rightX_[size_t(y)] = INT32_MIN;
    }
    minRow_ = INT32_MAX;
    maxRow_ = INT32_MIN;
}

template <int ATTRIBUTES> void Rasterizer::walkEdgeWith(const Vec& edgeA, const Vec& edgeB, bool clip) {
    constexpr int n = 2 + ATTRIBUTES;
    Vec a = edgeA;
    Vec b = edgeB;
    bool firstMoved = false;
    if (clip && !clipEdge(1, edgeA, edgeB, n, a, b, firstMoved)) {
        return;
    }
    minRow_ = std::min({minRow_, a[1], b[1]});
    maxRow_ = std::max({maxRow_, a[1], b[1]});
    const int32_t major = majorExtent(b[0] - a[0], b[1] - a[1]);
    constexpr int attributes = ATTRIBUTES;
    int32_t value[MAX_ATTRIBUTES] = {0, 0, 0};
    int32_t delta[MAX_ATTRIBUTES] = {0, 0, 0};
    for (int k = 0; k < attributes; ++k) {
        // Attributes are texel coordinates, which the callers keep within +-2^20.
        value[k] = a[size_t(2 + k)] * (1 << FRACTION_BITS);
        if (major > 0) {
            delta[k] = int32_t(int64_t(b[size_t(2 + k)] - a[size_t(2 + k)]) * (1 << FRACTION_BITS) / major);
        }
    }
    walkLine(a[0], a[1], b[0], b[1], [&](int32_t x, int32_t y) {
        // Strict comparisons: on a tie the earlier pixel keeps the entry.
        if (x < leftX_[size_t(y)]) {
            leftX_[size_t(y)] = x;
            for (int k = 0; k < attributes; ++k) {
                leftAttr_[size_t(k)][size_t(y)] = value[k];
            }
        }
        if (x > rightX_[size_t(y)]) {
            rightX_[size_t(y)] = x;
            for (int k = 0; k < attributes; ++k) {
                rightAttr_[size_t(k)][size_t(y)] = value[k];
            }
        }
        for (int k = 0; k < attributes; ++k) {
            value[k] += delta[k];
        }
    });
}

void Rasterizer::walkEdge(const Vec& a, const Vec& b, int n, bool clip) {
    // The attribute count fixed at compile time: the per-pixel loops over attributes go away.
    switch (n) {
    case 2:
        walkEdgeWith<0>(a, b, clip);
        break;
    case 3:
        walkEdgeWith<1>(a, b, clip);
        break;
    case 4:
        walkEdgeWith<2>(a, b, clip);
        break;
    default:
        walkEdgeWith<3>(a, b, clip);
        break;
    }
}

void Rasterizer::fillFlatPolygon(const int32_t* vertices, int count, int colour) {
    if (skipClipping_ && count > 0 && withinTwoPixels(vertices, count)) {
        // Each edge visits its two ends only, so every span runs from corner to corner: the corners are
        // the polygon.
        for (int i = 0; i < count; ++i) {
            pixels_[size_t(vertices[2 * i + 1]) * size_t(width_) + size_t(vertices[2 * i])] = uint8_t(colour);
        }
        return;
    }
    spansOf(vertices, 2, count);
    for (int32_t y = minRow_; y <= maxRow_; ++y) {
        const int32_t left = leftX_[size_t(y)];
        const int32_t right = rightX_[size_t(y)];
        if (left <= right) {
            std::memset(&pixels_[size_t(y) * size_t(width_) + size_t(left)], uint8_t(colour),
                        size_t(right - left + 1));
        }
    }
}

bool Rasterizer::withinTwoPixels(const int32_t* vertices, int count) const {
    int32_t minX = vertices[0];
    int32_t maxX = vertices[0];
    int32_t minY = vertices[1];
    int32_t maxY = vertices[1];
    for (int i = 1; i < count; ++i) {
        minX = std::min(minX, vertices[2 * i]);
        maxX = std::max(maxX, vertices[2 * i]);
        minY = std::min(minY, vertices[2 * i + 1]);
        maxY = std::max(maxY, vertices[2 * i + 1]);
    }
    return int64_t(maxX) - minX <= 1 && int64_t(maxY) - minY <= 1 && minX >= 0 && minY >= 0 &&
           maxX < width_ && maxY < height_;
}

void Rasterizer::spansOf(const int32_t* vertices, int n, int count) {
    resetSpans();
    int32_t minX = INT32_MAX;
    int32_t maxX = INT32_MIN;
    int32_t minY = INT32_MAX;
    int32_t maxY = INT32_MIN;
    for (int i = 0; i < count; ++i) {
        minX = std::min(minX, vertices[i * n]);
        maxX = std::max(maxX, vertices[i * n]);
        minY = std::min(minY, vertices[i * n + 1]);
        maxY = std::max(maxY, vertices[i * n + 1]);
    }
    // Wholly beside the frame: every edge would be clipped away (halving keeps a point on its side).
    if (maxX < 0 || minX > width_ - 1 || maxY < 0 || minY > height_ - 1) {
        return;
    }
    // Wholly inside, short of the last column and row: clipping would leave every edge as it is, the
    // clipped polygon starting at the end of the first edge (which edge is walked first decides ties).
    const bool inside = skipClipping_ && minX >= 0 && maxX < width_ - 1 && minY >= 0 && maxY < height_ - 1;
    const int edges = inside ? count : clipPolygonX(vertices, n, count);
    for (int i = 0; i < edges; ++i) {
        const int32_t* p =
            inside ? &vertices[size_t((i + 1) % count) * size_t(n)] : &clipped_[size_t(i) * size_t(n)];
        Vec a{};
        Vec b{};
        for (int k = 0; k < n; ++k) {
            a[size_t(k)] = p[k];
            b[size_t(k)] = p[n + k];
        }
        walkEdge(a, b, n, !inside);
    }
}

template <typename Span> void Rasterizer::eachSpan(int attributes, Span&& span) {
    for (int32_t y = minRow_; y <= maxRow_; ++y) {
        const int32_t xl = leftX_[size_t(y)];
        const int32_t xr = rightX_[size_t(y)];
        if (xl > xr) {
            continue;
        }
        int32_t start[MAX_ATTRIBUTES] = {0, 0, 0};
        int32_t step[MAX_ATTRIBUTES] = {0, 0, 0};
        for (int k = 0; k < attributes; ++k) {
            start[k] = leftAttr_[size_t(k)][size_t(y)];
            step[k] = rightAttr_[size_t(k)][size_t(y)] - start[k];
            if (xr > xl) {
                // Divided by the span's pixel count, so the last pixel samples one step short of the end.
                step[k] /= (xr - xl + 1);
            }
        }
        span(y, xl, xr, start, step);
    }
}

namespace {

constexpr int32_t MAX_ROW = LIGHT_ROWS - 1;

// The light row of a span pixel, from its fixed-point value (kept in the colour map's rows).
int32_t rowOf(int32_t light) {
    return std::clamp(light >> FRACTION_BITS, 0, MAX_ROW);
}

} // namespace

namespace {

// A texel coordinate past the picture's edge, brought back as the skin says: to the edge, repeated, or
// repeated mirrored.
int32_t wrapped(int32_t t, int32_t last, Wrap wrap) {
    if (t >= 0 && t <= last) {
        return t;
    }
    const int64_t size = int64_t(last) + 1;
    switch (wrap) {
    case Wrap::Repeat:
        return int32_t(((t % size) + size) % size);
    case Wrap::Mirror: {
        const int64_t m = ((t % (2 * size)) + 2 * size) % (2 * size);
        return int32_t(m < size ? m : 2 * size - 1 - m);
    }
    case Wrap::Clamp:
        break;
    }
    return std::clamp(t, 0, last);
}

// Whether a coordinate that starts at `first` and steps `step` a pixel `steps` times stays within the
// texels 0..last all the way (it moves in a straight line, so its two ends tell), without overflowing
// on the way.
bool withinTexture(int32_t first, int32_t step, int32_t steps, int32_t last) {
    const int64_t end = int64_t(first) + int64_t(step) * steps;
    const int64_t limit = (int64_t(last) << FRACTION_BITS) + ((int64_t(1) << FRACTION_BITS) - 1);
    return first >= 0 && end >= 0 && first <= limit && end <= limit &&
           end + 8 * int64_t(std::abs(step)) <= INT32_MAX && end - 8 * int64_t(std::abs(step)) >= INT32_MIN;
}

// Whether a coordinate within the texture (see above) stays below `last` all the way: eight-pixel
// gathers read three bytes past each texel, which the rows below the last one always hold.
bool belowLast(int32_t first, int32_t step, int32_t steps, int32_t last) {
    const int64_t end = int64_t(first) + int64_t(step) * steps;
    return (std::max<int64_t>(first, end) >> FRACTION_BITS) < last;
}

// A coordinate `count` pixels on (in range where a span reads it).
int32_t stepped(int32_t value, int32_t step, int32_t count) {
    return int32_t(uint32_t(value) + uint32_t(step) * uint32_t(count));
}

} // namespace

void Rasterizer::fillTexturedPolygon(const int32_t* vertices, int count, const Skin& texture) {
    if (texture.bitsPerPixel != 8 || !texture.hasImage()) {
        resetSpans();
        return;
    }
    spansOf(vertices, 4, count);
    // Texels are read with the image's own row stride and kept inside the picture (real models put seam
    // coordinates on the skin's far edge), or repeated where the skin repeats.
    const uint8_t* texels = texture.pixels.data();
    const size_t texStride = size_t(texture.stride());
    const int32_t maxU = texture.imageWidth - 1;
    const int32_t maxV = texture.imageHeight - 1;
    const bool gatherable = texture.pixels.size() >= texStride * size_t(texture.imageHeight);
    eachSpan(2, [&](int32_t y, int32_t xl, int32_t xr, const int32_t* start, const int32_t* step) {
        int32_t u = start[0];
        int32_t v = start[1];
        uint8_t* row = &pixels_[size_t(y) * size_t(width_)];
        int32_t x = xl;
        if (texelBlocks_ && withinTexture(u, step[0], xr - xl, maxU) &&
            withinTexture(v, step[1], xr - xl, maxV)) {
            // The whole span reads inside the picture: no clamping, four texels at a time from
            // coordinates of their own (the same values the one-by-one steps reach).
            const int32_t su = step[0];
            const int32_t sv = step[1];
            if (gatherable && belowLast(v, sv, xr - xl, maxV)) {
                const int32_t done = texel_spans::textured({row + x, xr - xl + 1, u, v, su, sv}, texels,
                                                           int32_t(texStride), FRACTION_BITS);
                x += done;
                u = stepped(u, su, done);
                v = stepped(v, sv, done);
            }
            // Four coordinate pairs a pixel apart, each stepping four pixels.
            int32_t u1 = u + su, u2 = u + 2 * su, u3 = u + 3 * su;
            int32_t v1 = v + sv, v2 = v + 2 * sv, v3 = v + 3 * sv;
            const int32_t su4 = 4 * su;
            const int32_t sv4 = 4 * sv;
            for (; x + 3 <= xr; x += 4) {
                row[x] = texels[uint32_t(v >> FRACTION_BITS) * texStride + uint32_t(u >> FRACTION_BITS)];
                row[x + 1] =
                    texels[uint32_t(v1 >> FRACTION_BITS) * texStride + uint32_t(u1 >> FRACTION_BITS)];
                row[x + 2] =
                    texels[uint32_t(v2 >> FRACTION_BITS) * texStride + uint32_t(u2 >> FRACTION_BITS)];
                row[x + 3] =
                    texels[uint32_t(v3 >> FRACTION_BITS) * texStride + uint32_t(u3 >> FRACTION_BITS)];
                u += su4, u1 += su4, u2 += su4, u3 += su4;
                v += sv4, v1 += sv4, v2 += sv4, v3 += sv4;
            }
            for (; x <= xr; ++x) {
                row[x] = texels[size_t(v >> FRACTION_BITS) * texStride + size_t(u >> FRACTION_BITS)];
                u += su;
                v += sv;
            }
            return;
        }
        for (; x <= xr; ++x) {
            const int32_t tu = wrapped(u >> FRACTION_BITS, maxU, texture.wrap[0]);
            const int32_t tv = wrapped(v >> FRACTION_BITS, maxV, texture.wrap[1]);
            row[x] = texels[size_t(tv) * texStride + size_t(tu)];
            u += step[0];
            v += step[1];
        }
    });
}

void Rasterizer::fillGouraudPolygon(const int32_t* vertices, int count, int colour) {
    spansOf(vertices, 3, count);
    const uint8_t* column = &tables_.colormap[size_t(colour & 0xFF)];
    eachSpan(1, [&](int32_t y, int32_t xl, int32_t xr, const int32_t* start, const int32_t* step) {
        int32_t light = start[0];
        uint8_t* row = &pixels_[size_t(y) * size_t(width_)];
        for (int32_t x = xl; x <= xr; ++x) {
            row[x] = column[size_t(rowOf(light)) * 256];
            light += step[0];
        }
    });
}

void Rasterizer::fillTexturedShadedPolygon(const int32_t* vertices, int count, const Skin& texture) {
    if (texture.bitsPerPixel != 8 || !texture.hasImage()) {
        resetSpans();
        return;
    }
    spansOf(vertices, 5, count);
    const uint8_t* texels = texture.pixels.data();
    const size_t texStride = size_t(texture.stride());
    const int32_t maxU = texture.imageWidth - 1;
    const int32_t maxV = texture.imageHeight - 1;
    const uint8_t* colormap = colormap_ != nullptr ? colormap_ : tables_.colormap.data();
    const bool gatherable = texture.pixels.size() >= texStride * size_t(texture.imageHeight);
    eachSpan(3, [&](int32_t y, int32_t xl, int32_t xr, const int32_t* start, const int32_t* step) {
        int32_t u = start[0];
        int32_t v = start[1];
        int32_t light = start[2];
        uint8_t* row = &pixels_[size_t(y) * size_t(width_)];
        if (texelBlocks_ && withinTexture(u, step[0], xr - xl, maxU) &&
            withinTexture(v, step[1], xr - xl, maxV) && withinTexture(light, step[2], xr - xl, MAX_ROW)) {
            // The whole span reads inside the picture and the colour map's rows: no clamping, the same
            // values the steps below reach.
            const uint8_t* row0 = colormap;
            int32_t x = xl;
            if (gatherable && belowLast(v, step[1], xr - xl, maxV) &&
                belowLast(light, step[2], xr - xl, MAX_ROW)) {
                const int32_t done =
                    texel_spans::texturedShaded({row + x, xr - xl + 1, u, v, step[0], step[1]}, light,
                                                step[2], texels, int32_t(texStride), colormap, FRACTION_BITS);
                x += done;
                u = stepped(u, step[0], done);
                v = stepped(v, step[1], done);
                light = stepped(light, step[2], done);
            }
            for (; x <= xr; ++x) {
                row[x] = row0[size_t(uint32_t(light >> FRACTION_BITS)) * 256 +
                              texels[size_t(uint32_t(v >> FRACTION_BITS)) * texStride +
                                     size_t(uint32_t(u >> FRACTION_BITS))]];
                u += step[0];
                v += step[1];
                light += step[2];
            }
            return;
        }
        for (int32_t x = xl; x <= xr; ++x) {
            const int32_t tu = wrapped(u >> FRACTION_BITS, maxU, texture.wrap[0]);
            const int32_t tv = wrapped(v >> FRACTION_BITS, maxV, texture.wrap[1]);
            row[x] = colormap[size_t(rowOf(light)) * 256 + texels[size_t(tv) * texStride + size_t(tu)]];
            u += step[0];
            v += step[1];
            light += step[2];
        }
    });
}

void Rasterizer::bresenham(Pixel a, Pixel b, int colour) {
    if (stamping_ != Stamping::OFF) {
        walkLine(a.x, a.y, b.x, b.y, [&](int32_t x, int32_t y) {
            writeStamped(size_t(y) * size_t(width_) + size_t(x), uint8_t(colour));
        });
        return;
    }
    walkLine(a.x, a.y, b.x, b.y, [&](int32_t x, int32_t y) {
        pixels_[size_t(y) * size_t(width_) + size_t(x)] = uint8_t(colour);
    });
}

void Rasterizer::drawLine(Pixel p1, Pixel p2, int colour) {
    auto inside = [&](Pixel p) { return p.x >= 0 && p.x < width_ && p.y >= 0 && p.y < height_; };
    if (inside(p1) && inside(p2)) {
        bresenham(p1, p2, colour); // nothing to clip
        return;
    }
    // Wholly beside the frame: clipping would leave nothing.
    if ((p1.x < 0 && p2.x < 0) || (p1.x >= width_ && p2.x >= width_) || (p1.y < 0 && p2.y < 0) ||
        (p1.y >= height_ && p2.y >= height_)) {
        return;
    }
    Vec a;
    Vec b;
    Vec c;
    Vec d;
    bool moved = false;
    if (!clipEdge(0, {p1.x, p1.y, 0, 0}, {p2.x, p2.y, 0, 0}, 2, a, b, moved) ||
        !clipEdge(1, a, b, 2, c, d, moved)) {
        return;
    }
    bresenham({c[0], c[1]}, {d[0], d[1]}, colour);
}

void Rasterizer::drawLineIfOpen(Pixel a, Pixel b, int colour) {
    if (frameOpen_) {
        drawLine(a, b, colour);
    }
}

void Rasterizer::plotSquareIfOpen(Pixel p, int colour, int r) {
    if (frameOpen_) {
        plotSquare(p, colour, r);
    }
}

bool Rasterizer::beginOverlay(OverlayTarget* target) {
    if (frameOpen_) {
        return false;
    }
    overlay_ = target;
    overlayOpen_ = true;
    return true;
}

void Rasterizer::overlayLine(Pixel from, Pixel to, uint32_t rgb, int penWidth, bool dashed) {
    if (overlayOpen_ && overlay_ != nullptr) {
        overlay_->line(from, to, rgb, penWidth, dashed);
    }
}

void Rasterizer::overlayPixel(Pixel at, uint32_t rgb) {
    if (overlayOpen_ && overlay_ != nullptr) {
        overlay_->pixel(at, rgb);
    }
}

void Rasterizer::overlayText(Pixel at, const std::string& text, uint32_t rgb) {
    if (overlayOpen_ && overlay_ != nullptr) {
        overlay_->text(at, text, rgb);
    }
}

void Rasterizer::endOverlay() {
    overlayOpen_ = false;
    overlay_ = nullptr;
}

void Rasterizer::reserveSortSpace(size_t n) {
    if (n > sortKeys_.size()) {
        sortKeys_.assign(n + 100, 0.0f);
        sortIndices_.assign(n + 100, 0);
    }
}

void Rasterizer::sortByDepth(float* keys, int32_t* indices, int lo, int hi) {
    depthSort(keys, indices, lo, hi);
}

} // namespace faceto
