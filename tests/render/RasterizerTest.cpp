#include "render/Rasterizer.h"

#include "TestSupport.h"
#include "render/DepthSort.h"

#include <set>

using namespace faceto;
using namespace faceto::test;

namespace {

class Capture : public FramePresenter {
public:
    void present(const uint8_t* pixels, int stride, int width, int height,
                 const DisplayPalette& palette) override {
        this->width = width;
        this->height = height;
        this->stride = stride;
        this->palette = palette;
        image.assign(pixels, pixels + size_t(stride) * size_t(height));
        ++presented;
    }
    int width = 0, height = 0, stride = 0, presented = 0;
    DisplayPalette palette{};
    std::vector<uint8_t> image;
};

class RecordingOverlay : public OverlayTarget {
public:
    void line(Pixel from, Pixel to, uint32_t rgb, int, bool) override {
        lines.push_back({from.x, from.y, to.x, to.y, int(rgb)});
    }
    void pixel(Pixel at, uint32_t rgb) override { lines.push_back({at.x, at.y, at.x, at.y, int(rgb)}); }
    void text(Pixel, const std::string&, uint32_t) override {}
    std::vector<std::array<int, 5>> lines;
};

// The pixels of colour `c` as (x, y) pairs, rows counted upwards.
std::set<std::pair<int, int>> pixelsOf(const Rasterizer& r, int c) {
    std::set<std::pair<int, int>> out;
    for (int y = 0; y < r.height(); ++y) {
        for (int x = 0; x < r.width(); ++x) {
            if (r.pixelAt(x, y) == c) {
                out.insert({x, y});
            }
        }
    }
    return out;
}

using Pixels = std::set<std::pair<int, int>>;

struct Fixture {
    PaletteTables tables = PaletteTables::builtIn();
    Rasterizer r{tables};
    Capture capture;
};

void literalSort(float* keys, int32_t* idx, int lo, int hi) {
    while (lo < hi) {
        std::swap(keys[lo], keys[(lo + hi) / 2]);
        std::swap(idx[lo], idx[(lo + hi) / 2]);
        int last = lo;
        for (int i = lo + 1; i <= hi; ++i) {
            if (keys[i] > keys[lo]) {
                ++last;
                std::swap(keys[last], keys[i]);
                std::swap(idx[last], idx[i]);
            }
        }
        std::swap(keys[lo], keys[last]);
        std::swap(idx[lo], idx[last]);
        literalSort(keys, idx, lo, last - 1);
        lo = last + 1;
    }
}

} // namespace

TEST(Rasterizer, FramesRoundTheirWidthUpAndTheBufferOnlyGrows) {
    Fixture f;
    ASSERT_TRUE(f.r.beginFrame(&f.capture, 5, 3, 7));
    EXPECT_EQ(8, f.r.width());
    EXPECT_EQ(3, f.r.height());
    EXPECT_EQ(24u, f.r.allocatedBytes()); // the first frame always allocates
    f.r.plotPixel({7, 2}, 9);             // the added columns are part of the frame
    f.r.plotPixel({8, 2}, 9);
    f.r.plotPixel({-1, 0}, 9);
    EXPECT_EQ(1, f.r.presentFrame());
    EXPECT_EQ(0, f.r.presentFrame());
    EXPECT_EQ(1, f.capture.presented);
    EXPECT_EQ(8, f.capture.stride);
    EXPECT_EQ(9, f.capture.image[2 * 8 + 7]);
    EXPECT_EQ(7, f.capture.image[0]);
    EXPECT_EQ(1u, pixelsOf(f.r, 9).size());
    EXPECT_EQ(f.r.defaultPalette()[208], f.capture.palette[208]);
    EXPECT_EQ((PaletteEntry{255, 0, 0, 0}), f.capture.palette[208]); // blue, green, red, 0

    ASSERT_TRUE(f.r.beginFrame(&f.capture, 4, 2, 0));
    EXPECT_EQ(24u, f.r.allocatedBytes()); // a smaller frame keeps the buffer
    f.r.presentFrame();
    ASSERT_TRUE(f.r.beginFrame(&f.capture, 12, 4, 0));
    EXPECT_EQ(48u, f.r.allocatedBytes());

    DisplayPalette own{};
    own[3] = {1, 2, 3, 0};
    f.r.beginFrame(&f.capture, 4, 1, 0, &own);
    f.r.presentFrame();
    EXPECT_EQ(own[3], f.capture.palette[3]);
}

TEST(Rasterizer, OverlayAndFrameExcludeEachOther) {
    Fixture f;
    RecordingOverlay overlay;
    EXPECT_FALSE(f.r.frameOpen());
    ASSERT_TRUE(f.r.beginOverlay(&overlay));
    EXPECT_FALSE(f.r.beginFrame(&f.capture, 4, 4, 0));
    f.r.overlayLine({6, 10}, {6, 0}, 255, 1, false);
    f.r.endOverlay();
    f.r.overlayLine({0, 0}, {1, 1}, 255, 1, false); // ignored once closed
    EXPECT_EQ(1u, overlay.lines.size());
    ASSERT_TRUE(f.r.beginFrame(&f.capture, 4, 4, 0));
    EXPECT_FALSE(f.r.beginOverlay(&overlay));
    f.r.presentFrame();
    // The guarded forms draw nothing without a frame.
    f.r.drawLineIfOpen({0, 0}, {3, 3}, 5);
    f.r.plotSquareIfOpen({1, 1}, 5, 1);
    EXPECT_TRUE(pixelsOf(f.r, 5).empty());
}

TEST(Rasterizer, LinesAreBresenhamAndClipOnEverySide) {
    Fixture f;
    f.r.beginFrame(&f.capture, 8, 4, 0);
    f.r.drawLine({0, 0}, {4, 1}, 1);
    EXPECT_EQ((Pixels{{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 1}}),
              pixelsOf(f.r, 1)); // both ends, first column kept

    f.r.drawLine({-5, 0}, {10, 0}, 2); // along the first row
    EXPECT_EQ(8u, pixelsOf(f.r, 2).size());
    f.r.drawLine({0, -3}, {0, 10}, 3); // along the first column
    EXPECT_EQ((Pixels{{0, 0}, {0, 1}, {0, 2}, {0, 3}}), pixelsOf(f.r, 3));

    f.r.clearFrame(0);
    f.r.drawLine({-8, 0}, {8, 4}, 4); // halved to (0, 2) on the left and to (7, 3) on the right
    EXPECT_EQ((Pixels{{0, 2}, {1, 2}, {2, 2}, {3, 2}, {4, 3}, {5, 3}, {6, 3}, {7, 3}}), pixelsOf(f.r, 4));

    f.r.clearFrame(0);
    f.r.drawLine({0, 0}, {4, 10}, 5); // halved to (1, 3) at the top row
    EXPECT_EQ((Pixels{{0, 0}, {0, 1}, {1, 2}, {1, 3}}), pixelsOf(f.r, 5));

    f.r.clearFrame(0);
    f.r.drawLine({2, 2}, {2, 2}, 6);
    EXPECT_EQ((Pixels{{2, 2}}), pixelsOf(f.r, 6));
    f.r.drawLine({-3, -3}, {-1, 10}, 6); // wholly left
    f.r.drawLine({0, 5}, {7, 9}, 6);     // wholly above
    EXPECT_EQ(1u, pixelsOf(f.r, 6).size());
}

TEST(Rasterizer, DotsAndSquaresStayInTheFrame) {
    Fixture f;
    f.r.beginFrame(&f.capture, 8, 8, 0);
    f.r.plotSquare({0, 0}, 1, 1);
    EXPECT_EQ(4u, pixelsOf(f.r, 1).size());
    f.r.plotSquare({5, 5}, 2, 3);
    EXPECT_EQ(36u, pixelsOf(f.r, 2).size()); // 7 x 7 less the column x = 8 and the row y = 8
    f.r.plotSquare({4, 4}, 3, 2);
    EXPECT_EQ(25u, pixelsOf(f.r, 3).size());
}

TEST(Rasterizer, FlatPolygonsFillTheirSpans) {
    Fixture f;
    f.r.beginFrame(&f.capture, 8, 6, 0);
    const int32_t triangle[] = {0, 0, 4, 0, 0, 4, 0, 0};
    f.r.fillFlatPolygon(triangle, 3, 9);
    Pixels expected;
    for (int y = 0; y <= 4; ++y) {
        for (int x = 0; x <= 4 - y; ++x) {
            expected.insert({x, y});
        }
    }
    EXPECT_EQ(expected, pixelsOf(f.r, 9));

    f.r.clearFrame(0);
    const int32_t point[] = {3, 3, 3, 3, 3, 3, 3, 3};
    f.r.fillFlatPolygon(point, 3, 5);
    EXPECT_EQ((Pixels{{3, 3}}), pixelsOf(f.r, 5));

    f.r.clearFrame(0);
    const int32_t left[] = {-9, 0, -1, 2, -5, 5, -9, 0};
    const int32_t right[] = {8, 0, 20, 2, 9, 5, 8, 0};
    const int32_t above[] = {0, 6, 7, 9, 3, 12, 0, 6};
    const int32_t below[] = {0, -1, 7, -9, 3, -12, 0, -1};
    for (const int32_t* p : {left, right, above, below}) {
        f.r.fillFlatPolygon(p, 3, 4);
    }
    EXPECT_TRUE(pixelsOf(f.r, 4).empty());

    // A triangle far outside on different sides that covers the window fills all of it.
    const int32_t cover[] = {-1000, -1000, 3000, -1000, -1000, 3000, -1000, -1000};
    f.r.fillFlatPolygon(cover, 3, 7);
    EXPECT_EQ(48u, pixelsOf(f.r, 7).size());
    // The same from the other winding, and with huge coordinates.
    f.r.clearFrame(0);
    const int32_t huge[] = {-200000000, 200000000,  200000000,  200000000,
                            0,          -200000000, -200000000, 200000000};
    f.r.fillFlatPolygon(huge, 3, 8);
    EXPECT_EQ(48u, pixelsOf(f.r, 8).size());
}

// A frame of another size in between (the preview drawn between two paints of the camera pane) leaves
// nothing of its spans behind: the tall frame's rows above the short one's are as clean as the rest.
TEST(Rasterizer, AShortFrameInBetweenLeavesNoSpansBehind) {
    const int32_t high[] = {0, 20, 6, 20, 0, 28, 0, 20}; // rows 20 to 28 of the tall frame
    const int32_t low[] = {1, 1, 3, 1, 1, 3, 1, 1};
    const int32_t other[] = {4, 22, 7, 22, 7, 26, 4, 22}; // rows 22 to 26, further right
    Fixture shared;
    shared.r.beginFrame(&shared.capture, 8, 30, 0);
    shared.r.fillFlatPolygon(high, 3, 5);
    shared.r.presentFrame();
    shared.r.beginFrame(&shared.capture, 8, 8, 0);
    shared.r.fillFlatPolygon(low, 3, 6);
    shared.r.presentFrame();
    shared.r.beginFrame(&shared.capture, 8, 30, 0);
    shared.r.fillFlatPolygon(other, 3, 7);
    shared.r.presentFrame();
    Fixture fresh;
    fresh.r.beginFrame(&fresh.capture, 8, 30, 0);
    fresh.r.fillFlatPolygon(other, 3, 7);
    fresh.r.presentFrame();
    EXPECT_EQ(fresh.capture.image, shared.capture.image);
}

// A skin that repeats (as a glTF sampler may ask) is read again past its edges, straight or mirrored,
// in both textured fills; one that clamps reads its edge.
TEST(Rasterizer, TexturesRepeatOrMirrorPastTheirEdgesAsTheSkinSays) {
    Fixture f;
    Skin skin;
    skin.imageWidth = 2;
    skin.imageHeight = 1;
    skin.bitsPerPixel = 8;
    skin.pixels = {10, 20, 0, 0};
    auto rowOf = [&](Wrap wrap, bool shaded) {
        skin.wrap = {wrap, wrap};
        f.r.beginFrame(&f.capture, 8, 1, 0);
        // One row of 8 pixels over u 0..8 (texels), v 0: the pixels sample texels 0, 0, 1, 2, 3, 4, 5, 6
        // (the walked left end starts a little short of 1).
        const int32_t flat[] = {0, 0, 0, 0, 8, 0, 8, 0, 8, 0, 8, 0, 0, 0, 0, 0};
        const int32_t lit[] = {0, 0, 0, 0, 0, 8, 0, 8, 0, 0, 8, 0, 8, 0, 0, 0, 0, 0, 0, 0};
        shaded ? f.r.fillTexturedShadedPolygon(lit, 3, skin) : f.r.fillTexturedPolygon(flat, 3, skin);
        std::vector<int> out;
        for (int x = 0; x < 8; ++x) {
            out.push_back(f.r.pixelAt(x, 0));
        }
        f.r.presentFrame();
        return out;
    };
    EXPECT_EQ((std::vector<int>{10, 10, 20, 20, 20, 20, 20, 20}), rowOf(Wrap::Clamp, false));
    EXPECT_EQ((std::vector<int>{10, 10, 20, 10, 20, 10, 20, 10}), rowOf(Wrap::Repeat, false));
    EXPECT_EQ((std::vector<int>{10, 10, 20, 20, 10, 10, 20, 20}), rowOf(Wrap::Mirror, false));
    const std::vector<int> repeated = rowOf(Wrap::Repeat, false);
    const std::vector<int> lit = rowOf(Wrap::Repeat, true); // light row 0 all the way
    for (size_t x = 0; x < lit.size(); ++x) {
        EXPECT_EQ(f.tables.shade(0, repeated[x]), lit[x]) << x;
    }
}

TEST(Rasterizer, TexturedSpansSampleAffinelyAndStayInTheImage) {
    Fixture f;
    Skin skin;
    skin.imageWidth = 6; // stride 8: the rows are padded
    skin.imageHeight = 4;
    skin.bitsPerPixel = 8;
    skin.pixels.assign(32, 0);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 6; ++x) {
            skin.pixels[size_t(y * 8 + x)] = uint8_t(10 * y + x + 1);
        }
    }
    f.r.beginFrame(&f.capture, 8, 4, 0);
    // One-pixel span: the texel at the left end exactly.
    const int32_t dot[] = {2, 1, 3, 2, 2, 1, 3, 2, 2, 1, 3, 2, 2, 1, 3, 2};
    f.r.fillTexturedPolygon(dot, 3, skin);
    EXPECT_EQ(24, f.r.pixelAt(2, 1));

    // A row of 4 pixels over u 0..4. The left end is set by the edge walked from the right corner
    // (u = 4 - 3 x 1.333 = 1/1024), the right end by the corner itself (u = 4); the span steps by a
    // quarter of that, so the last pixel samples one step short of the end: u = 0.001, 1.0, 1.999, 2.998.
    f.r.clearFrame(0);
    const int32_t row[] = {0, 0, 0, 0, 3, 0, 4, 0, 3, 0, 4, 0, 0, 0, 0, 0};
    f.r.fillTexturedPolygon(row, 3, skin);
    EXPECT_EQ(1, f.r.pixelAt(0, 0));
    EXPECT_EQ(2, f.r.pixelAt(1, 0));
    EXPECT_EQ(2, f.r.pixelAt(2, 0));
    EXPECT_EQ(3, f.r.pixelAt(3, 0));

    // Coordinates past the picture (a seam at s = width) read its last column, never the padding.
    f.r.clearFrame(0);
    const int32_t seam[] = {0, 3, 6, 3, 7, 3, 40, 99, 7, 3, 40, 99, 0, 3, 6, 3};
    f.r.fillTexturedPolygon(seam, 3, skin);
    for (int x = 0; x < 8; ++x) {
        EXPECT_EQ(36, f.r.pixelAt(x, 3)) << x;
    }
}

// The textured fills, plain and lit, read the picture without clamping where a span stays inside it
// (and inside the colour map's rows): the same pixels as reading texel by texel, clamped, for triangles
// inside the picture, partly outside and far outside it, lights past the rows, steep and flat spans.
TEST(Rasterizer, TexturedSpansReadTheSameTexelsInBlocksAsOneByOne) {
    Fixture blocks;
    Fixture single;
    single.r.readTexelsInBlocks(false);
    Skin skin;
    skin.imageWidth = 37; // stride 40
    skin.imageHeight = 29;
    skin.bitsPerPixel = 8;
    std::mt19937 rng(5);
    skin.pixels.resize(size_t(skin.stride()) * 29);
    for (uint8_t& p : skin.pixels) {
        p = uint8_t(rng());
    }
    blocks.r.beginFrame(nullptr, 200, 150, 0);
    single.r.beginFrame(nullptr, 200, 150, 0);
    for (int round = 0; round < 2000; ++round) {
        const bool wide = round % 4 == 0; // texel coordinates often past the picture
        int32_t corners[16];
        for (int k = 0; k < 3; ++k) {
            corners[4 * k] = int32_t(rng() % 260) - 30;
            corners[4 * k + 1] = int32_t(rng() % 200) - 25;
            corners[4 * k + 2] = wide ? int32_t(rng() % 200) - 80 : int32_t(rng() % 37);
            corners[4 * k + 3] = wide ? int32_t(rng() % 200) - 80 : int32_t(rng() % 29);
        }
        std::copy(corners, corners + 4, corners + 12);
        if (round % 2 == 0) {
            blocks.r.fillTexturedPolygon(corners, 3, skin);
            single.r.fillTexturedPolygon(corners, 3, skin);
            continue;
        }
        int32_t lit[20];
        for (int k = 0; k < 4; ++k) {
            std::copy(corners + 4 * k, corners + 4 * k + 4, lit + 5 * k);
            lit[5 * k + 4] = int32_t(rng() % 48) - 8; // rows past both ends now and then
        }
        lit[19] = lit[4];
        blocks.r.fillTexturedShadedPolygon(lit, 3, skin);
        single.r.fillTexturedShadedPolygon(lit, 3, skin);
    }
    int painted = 0;
    for (int y = 0; y < 150; ++y) {
        for (int x = 0; x < 200; ++x) {
            ASSERT_EQ(single.r.pixelAt(x, y), blocks.r.pixelAt(x, y)) << x << ", " << y;
            painted += single.r.pixelAt(x, y) != 0;
        }
    }
    EXPECT_GT(painted, 20000);
}

TEST(Rasterizer, GouraudAndShadedSpansLightEachPixelThroughTheColourMap) {
    Fixture f;
    // A(0, 0) in light row 0, B(4, 0) in row 8, C(0, 2) in row 0. Row 0 runs from A (0 << 10) to B
    // (8 << 10, reached by the edge walked from A); its step is 8192 / 5 pixels = 1638, so the pixels
    // get 0, 1638, 3276, 4914, 6552: rows 0, 1, 3, 4 and 6.
    const int rows[5] = {0, 1, 3, 4, 6};
    f.r.beginFrame(&f.capture, 8, 4, 0);
    const int32_t lit[] = {0, 0, 0, 4, 0, 8, 0, 2, 0, 0, 0, 0};
    f.r.fillGouraudPolygon(lit, 3, 100);
    for (int x = 0; x < 5; ++x) {
        EXPECT_EQ(f.tables.shade(rows[x], 100), f.r.pixelAt(x, 0)) << x;
    }
    EXPECT_EQ(0, f.r.pixelAt(5, 0));
    // Row 2 is C alone, in row 0.
    EXPECT_EQ(f.tables.shade(0, 100), f.r.pixelAt(0, 2));

    // The same light over one texel of colour 50: each pixel is that texel in its light row.
    Skin skin;
    skin.imageWidth = 1;
    skin.imageHeight = 1;
    skin.bitsPerPixel = 8;
    skin.pixels.assign(4, 50);
    f.r.clearFrame(0);
    const int32_t shaded[] = {0, 0, 0, 0, 0, 4, 0, 0, 0, 8, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0};
    f.r.fillTexturedShadedPolygon(shaded, 3, skin);
    for (int x = 0; x < 5; ++x) {
        EXPECT_EQ(f.tables.shade(rows[x], 50), f.r.pixelAt(x, 0)) << x;
    }
    // Rows past the colour map's last are kept in it.
    f.r.clearFrame(0);
    const int32_t dark[] = {0, 0, 90, 4, 0, 90, 0, 2, 90, 0, 0, 90};
    f.r.fillGouraudPolygon(dark, 3, 100);
    EXPECT_EQ(f.tables.shade(63, 100), f.r.pixelAt(2, 0));
}

TEST(Rasterizer, DepthSortKeepsTheQuicksortOrderOfEqualKeys) {
    // Equal keys end in the order the partitioning leaves them, not in index order.
    float keys[] = {1, 1, 1, 2};
    int32_t idx[] = {0, 1, 2, 3};
    Rasterizer::sortByDepth(keys, idx, 0, 3);
    EXPECT_EQ(2.0f, keys[0]);
    float lk[] = {1, 1, 1, 2};
    int32_t li[] = {0, 1, 2, 3};
    literalSort(lk, li, 0, 3);
    EXPECT_EQ(std::vector<int32_t>(li, li + 4), std::vector<int32_t>(idx, idx + 4));
    EXPECT_NE((std::vector<int32_t>{3, 0, 1, 2}), std::vector<int32_t>(idx, idx + 4));

    std::mt19937 rng(21);
    for (int round = 0; round < 200; ++round) {
        const int n = 1 + int(rng() % 300);
        std::vector<float> a(static_cast<size_t>(n));
        std::vector<int32_t> ai(static_cast<size_t>(n));
        for (int i = 0; i < n; ++i) {
            a[size_t(i)] = float(rng() % (round % 3 == 0 ? 4 : 1000));
            ai[size_t(i)] = i;
        }
        if (round % 5 == 0) {
            std::sort(a.begin(), a.end()); // ascending input, the hardest for a middle pivot
        }
        std::vector<float> b = a;
        std::vector<int32_t> bi = ai;
        Rasterizer::sortByDepth(a.data(), ai.data(), 0, n - 1);
        literalSort(b.data(), bi.data(), 0, n - 1);
        ASSERT_EQ(bi, ai);
        ASSERT_TRUE(std::is_sorted(a.begin(), a.end(), std::greater<float>()));
    }
    // Large enough to be sorted on two cores: the same order as the one-core quicksort, for keys with
    // many equals, few equals, and already in order.
    for (int round = 0; round < 6; ++round) {
        const int n = 30000 + int(rng() % 250000);
        std::vector<float> a(static_cast<size_t>(n));
        std::vector<int32_t> ai(static_cast<size_t>(n));
        for (int i = 0; i < n; ++i) {
            a[size_t(i)] = float(rng() % (round % 2 == 0 ? 64 : 1000000));
            ai[size_t(i)] = i;
        }
        if (round == 5) {
            std::sort(a.begin(), a.end());
        }
        std::vector<float> b = a;
        std::vector<int32_t> bi = ai;
        Rasterizer::sortByDepth(a.data(), ai.data(), 0, n - 1);
        literalSort(b.data(), bi.data(), 0, n - 1);
        ASSERT_EQ(bi, ai) << n;
    }
}

namespace {

// Keys that make a middle-pivot quicksort quadratic: the pivot of every range is its greatest key.
std::vector<float> greatestInTheMiddle(int n) {
    std::vector<int> at(static_cast<size_t>(n)); // which original place each position holds
    std::iota(at.begin(), at.end(), 0);
    std::vector<float> keys(static_cast<size_t>(n));
    for (int lo = 0; lo < n; ++lo) {
        const int mid = (lo + n - 1) / 2;
        keys[size_t(at[size_t(mid)])] = float(n - lo);
        std::swap(at[size_t(lo)], at[size_t(mid)]);
    }
    return keys;
}

} // namespace

// The inputs that made the quicksort quadratic (keys all equal, few different keys, each range's
// greatest key in its middle, NaNs) still come out in its order.
TEST(Rasterizer, DepthSortKeepsItsOrderOnTheInputsThatMadeItSlow) {
    std::mt19937 rng(5);
    const int n = 3000;
    std::vector<std::vector<float>> inputs;
    inputs.emplace_back(size_t(n), 7.0f);
    inputs.push_back(greatestInTheMiddle(n));
    for (int values : {2, 3, 17}) {
        std::vector<float> k(static_cast<size_t>(n));
        for (float& x : k) {
            x = float(rng() % unsigned(values));
        }
        inputs.push_back(k);
    }
    std::vector<float> fan(static_cast<size_t>(n), 100.0f); // a fan: most triangles share the far corner
    for (size_t i = 0; i < fan.size(); i += 7) {
        fan[i] = float(rng() % 100);
    }
    inputs.push_back(fan);
    std::vector<float> nan = inputs[2];
    for (size_t i = 0; i < nan.size(); i += 11) {
        nan[i] = std::numeric_limits<float>::quiet_NaN();
    }
    inputs.push_back(nan);
    for (size_t round = 0; round < inputs.size(); ++round) {
        std::vector<float> a = inputs[round];
        std::vector<int32_t> ai(a.size());
        std::iota(ai.begin(), ai.end(), 0);
        std::vector<float> b = a;
        std::vector<int32_t> bi = ai;
        Rasterizer::sortByDepth(a.data(), ai.data(), 0, n - 1);
        literalSort(b.data(), bi.data(), 0, n - 1);
        ASSERT_EQ(bi, ai) << "input " << round;
    }
    // Large ones, sorted on two cores, against the one-core order.
    for (const std::vector<float>& keys : {std::vector<float>(60000, 3.0f), greatestInTheMiddle(60000)}) {
        std::vector<float> a = keys;
        std::vector<int32_t> ai(a.size());
        std::iota(ai.begin(), ai.end(), 0);
        Rasterizer::sortByDepth(a.data(), ai.data(), 0, int(a.size()) - 1);
        ASSERT_TRUE(std::is_sorted(a.begin(), a.end(), std::greater<float>()));
        std::vector<float> half(keys.begin(), keys.begin() + 4000);
        std::vector<int32_t> hi(half.size());
        std::iota(hi.begin(), hi.end(), 0);
        std::vector<float> lk = half;
        std::vector<int32_t> li = hi;
        Rasterizer::sortByDepth(half.data(), hi.data(), 0, int(half.size()) - 1);
        literalSort(lk.data(), li.data(), 0, int(lk.size()) - 1);
        ASSERT_EQ(li, hi);
    }
}

// Keys in runs, as a mesh's triangles in index order come (neighbours lie at about the same depth),
// at lengths around the point where ranges are partitioned several elements at a time: runs of one to
// forty above and below each pivot, greater keys before any other, a single other key among greater
// ones, ties and NaNs in runs. Every length from 60 to 140 and a few large ones, against the
// element-by-element quicksort.
TEST(Rasterizer, DepthSortKeepsItsOrderForKeysInRuns) {
    std::mt19937 rng(77);
    std::vector<size_t> lengths;
    for (size_t n = 2; n <= 140; ++n) {
        lengths.push_back(n);
    }
    lengths.insert(lengths.end(), {1000, 4099, 25000, 70001});
    for (const size_t n : lengths) {
        for (int shape = 0; shape < 5; ++shape) {
            std::vector<float> a(n);
            size_t i = 0;
            while (i < n) {
                const size_t run = 1 + rng() % (shape == 0 ? 3 : 40);
                const float level = float(rng() % (shape == 1 ? 3 : 50));
                for (size_t k = 0; k < run && i < n; ++k, ++i) {
                    a[i] = shape == 4 && rng() % 9 == 0 ? std::numeric_limits<float>::quiet_NaN() : level;
                }
            }
            if (shape == 2) {
                std::fill(a.begin(), a.begin() + long(n / 3), 1000.0f); // greater than any pivot first
            }
            if (shape == 3) {
                std::fill(a.begin(), a.end(), 5.0f);
                a[n / 4] = 1.0f; // one key under the rest
                a[n - 1] = 9.0f;
            }
            std::vector<int32_t> ai(n);
            std::iota(ai.begin(), ai.end(), 0);
            std::vector<float> b = a;
            std::vector<int32_t> bi = ai;
            Rasterizer::sortByDepth(a.data(), ai.data(), 0, int(n) - 1);
            literalSort(b.data(), bi.data(), 0, int(n) - 1);
            ASSERT_EQ(bi, ai) << n << " shape " << shape;
        }
    }
}

// Sorting again after a few keys changed gives what a whole sort of the new keys gives: keys that
// move a little or far, into runs of equal keys or out of them, to NaN and back, the pivots' own keys,
// many keys or one, and a list with repeats and keys that did not change.
TEST(Rasterizer, DepthOrderSortedAgainIsTheWholeSort) {
    std::mt19937 rng(5);
    for (const int32_t n : {1, 2, 3, 9, 64, 65, 300, 5000, 41000}) {
        for (int shape = 0; shape < 4; ++shape) {
            const auto size = size_t(n);
            std::vector<float> keys(size);
            for (float& k : keys) {
                k = shape == 0   ? float(rng() % 1000000) * 0.001f
                    : shape == 1 ? float(rng() % 12)
                    : shape == 2
                        ? (rng() % 31 == 0 ? std::numeric_limits<float>::quiet_NaN() : float(rng() % 200))
                        : 3.0f;
            }
            DepthOrder order;
            order.sortAll(keys.data(), n);
            for (int step = 0; step < 14; ++step) {
                const size_t many =
                    std::array<size_t, 5>{1, 3, 20, size_t(n) / 60, size_t(n) / 9}[size_t(step % 5)];
                std::vector<int32_t> changed;
                for (size_t c = 0; c < std::max<size_t>(many, 1); ++c) {
                    // Every third step takes the first pivot among them: the middle element.
                    const auto index =
                        int32_t(c == 0 && step % 3 == 0 ? (n - 1) / 2 : int32_t(rng() % uint32_t(n)));
                    changed.push_back(index);
                    float& k = keys[size_t(index)];
                    switch (rng() % 5) {
                    case 0:
                        k = std::isnan(k) ? 1.0f : k + (rng() % 2 ? 1e-3f : -1e-3f);
                        break;
                    case 1:
                        k = keys[rng() % size_t(n)];
                        break; // onto another key, or its own
                    case 2:
                        k = shape == 2 ? std::numeric_limits<float>::quiet_NaN() : k * 2.0f;
                        break;
                    case 3:
                        changed.push_back(index);
                        break; // listed twice, unchanged
                    default:
                        k = float(rng() % 200) - 50.0f;
                        break;
                    }
                }
                order.sortAgain(keys.data(), n, changed);
                std::vector<float> wholeKeys = keys;
                std::vector<int32_t> whole(size);
                std::iota(whole.begin(), whole.end(), 0);
                Rasterizer::sortByDepth(wholeKeys.data(), whole.data(), 0, n - 1);
                std::vector<int32_t> again;
                for (const DepthEntry& e : order.sorted()) {
                    again.push_back(e.index);
                    ASSERT_EQ(std::bit_cast<uint32_t>(keys[size_t(e.index)]), std::bit_cast<uint32_t>(e.key))
                        << n << " shape " << shape << " step " << step << " index " << e.index;
                }
                ASSERT_EQ(whole, again) << n << " shape " << shape << " step " << step;
            }
            order.sortAgain(keys.data(), n, {}); // nothing changed: as it was
            keys.push_back(0.5f);
            order.sortAgain(keys.data(), n + 1, std::vector<int32_t>{0}); // another count: sorted whole
            std::vector<int32_t> whole(size + 1);
            std::iota(whole.begin(), whole.end(), 0);
            std::vector<float> wholeKeys = keys;
            Rasterizer::sortByDepth(wholeKeys.data(), whole.data(), 0, n);
            ASSERT_EQ(size_t(n) + 1, order.sorted().size());
            for (size_t i = 0; i <= size_t(n); ++i) {
                ASSERT_EQ(whole[i], order.sorted()[i].index) << n;
            }
        }
    }
}

// A polygon wholly inside the frame is walked without clipping (one of a pixel or two is its corners):
// the same spans, ties between its edges included, in every fill, as when it goes through the clipping.
TEST(Rasterizer, PolygonsInsideTheFrameFillAsIfClipped) {
    Fixture direct;
    Fixture clipped;
    clipped.r.skipClippingInside(false);
    Skin skin;
    skin.imageWidth = 16;
    skin.imageHeight = 16;
    skin.bitsPerPixel = 8;
    std::mt19937 rng(11);
    skin.pixels.resize(256);
    for (uint8_t& p : skin.pixels) {
        p = uint8_t(rng());
    }
    direct.r.beginFrame(nullptr, 64, 48, 0);
    clipped.r.beginFrame(nullptr, 64, 48, 0);
    for (int round = 0; round < 4000; ++round) {
        int32_t v[20];
        // Every eighth within a pixel of one corner each way (a dense mesh seen from afar).
        const bool tiny = round % 8 == 0;
        const int32_t x0 = int32_t(rng() % 66) - 1;
        const int32_t y0 = int32_t(rng() % 50) - 1;
        for (int k = 0; k < 3; ++k) {
            // Mostly inside, now and then on the last column or row, or past an edge.
            v[5 * k] = tiny ? x0 + int32_t(rng() % 2) : int32_t(rng() % 72) - 4;
            v[5 * k + 1] = tiny ? y0 + int32_t(rng() % 2) : int32_t(rng() % 56) - 4;
            v[5 * k + 2] = int32_t(rng() % 16);
            v[5 * k + 3] = int32_t(rng() % 16);
            v[5 * k + 4] = int32_t(rng() % 64);
        }
        std::copy(v, v + 5, v + 15);
        auto packed = [&](int n) {
            std::vector<int32_t> out;
            for (int k = 0; k < 4; ++k) {
                out.insert(out.end(), v + 5 * k, v + 5 * k + n);
            }
            return out;
        };
        for (Fixture* f : {&direct, &clipped}) {
            f->r.clearFrame(0);
            switch (round % 4) {
            case 0:
                f->r.fillFlatPolygon(packed(2).data(), 3, 77);
                break;
            case 1:
                f->r.fillGouraudPolygon(packed(3).data(), 3, 100);
                break;
            case 2:
                f->r.fillTexturedPolygon(packed(4).data(), 3, skin);
                break;
            default:
                f->r.fillTexturedShadedPolygon(packed(5).data(), 3, skin);
                break;
            }
        }
        ASSERT_TRUE(std::equal(clipped.r.pixels(), clipped.r.pixels() + 64 * 48, direct.r.pixels()))
            << "round " << round;
    }
}
