#include "TestSupport.h"
#include "document/DocumentEdit.h"
#include "model/DerivedData.h"
#include "views/CameraDrawing.h"
#include "views/CameraMath.h"
#include "views/OrthoEditor.h"
#include "views/OrthoView.h"

#include <random>

using namespace faceto;
using namespace faceto::test;

namespace {

class Frame8 : public FramePresenter {
public:
    void present(const uint8_t* pixels, int s, int w, int h, const DisplayPalette&) override {
        stride = s;
        width = w;
        height = h;
        image.assign(pixels, pixels + size_t(s) * size_t(h));
        ++count;
    }
    // Frame-buffer coordinates (rows upwards from the bottom).
    uint8_t at(int x, int yb) const { return image[size_t(yb) * size_t(stride) + size_t(x)]; }
    size_t colour(uint8_t c) const { return size_t(std::count(image.begin(), image.end(), c)); }
    std::vector<uint8_t> image;
    int stride = 0, width = 0, height = 0, count = 0;
};

class Overlay : public OverlayTarget {
public:
    void line(Pixel a, Pixel b, uint32_t rgb, int, bool) override {
        lines.push_back({a.x, a.y, b.x, b.y, int(rgb)});
    }
    void pixel(Pixel, uint32_t) override { ++pixels; }
    void text(Pixel, const std::string& t, uint32_t) override { texts.push_back(t); }
    std::vector<std::array<int, 5>> lines;
    std::vector<std::string> texts;
    int pixels = 0;
};

// Front view (x to the right, z up) at 2 pixels per unit in a 200 x 200 window: (x, z) is drawn at
// column 100 + 2x, frame row 100 + 2z, and picked at window row 100 - 2z.
struct FrontView {
    DocFixture f;
    PaletteTables tables = PaletteTables::builtIn();
    Rasterizer r{tables};
    AppState app;
    ViewState view;
    FrontView() {
        ModelData data = makeModel(4, {tri(0, 1, 2)}, 1);
        data.frames[0].positions = {{0, 0, 0}, {10, 0, 0}, {0, 0, 10}, {-20, 0, -20}};
        loadInto(*f.doc, data);
        buildEdges(DocumentEdit::model(*f.doc));
        DocumentEdit::model(*f.doc).edges[0].color = 99;
        view.gridVisible = 0;
        view.originVisible = 0;
    }
    CFacetoDoc& doc() { return *f.doc; }
};

} // namespace

TEST(OrthoMapping, OrientationsShowTheirAxes) {
    DocFixture f;
    ViewState view;
    f.doc->onNewDocument();
    EXPECT_EQ(0, orientationForPane(0, 0));
    EXPECT_EQ(1, orientationForPane(0, 1));
    EXPECT_EQ(2, orientationForPane(1, 0));
    EXPECT_EQ(2, orientationForPane(1, 1));
    EXPECT_FLOAT_EQ(4.0f, initialZoomFactor(view, 200, 300)); // 50 units fit the smaller side
    view.zoomFactor = 2.0f;
    const FrameVertex p{10, 20, 30};
    const OrthoMapping top(view, 0, 200, 100); // y to the right, x downwards
    EXPECT_EQ(140, top.toBuffer(p).x);
    EXPECT_EQ(30, top.toBuffer(p).y);
    EXPECT_EQ(70, top.toWindow(p).y);
    const OrthoMapping side(view, 1, 200, 100); // x right, z up
    EXPECT_EQ(120, side.toBuffer(p).x);
    EXPECT_EQ(110, side.toBuffer(p).y);
    EXPECT_FLOAT_EQ(10.0f, side.uAtColumn(120.0f));
    EXPECT_FLOAT_EQ(30.0f, side.vAtBufferRow(110.0f));
    const OrthoMapping front(view, 2, 200, 100); // y right, z up: Quake models face +x
    EXPECT_EQ(140, front.toBuffer(p).x);
    // Each pane names its view and axes.
    EXPECT_EQ("Top (Y right, X down)", paneLabel(top.state()));
    EXPECT_EQ("Side (X right, Z up)", paneLabel(side.state()));
    EXPECT_EQ("Front (Y right, Z up)", paneLabel(front.state()));
}

TEST(OrthoView, DrawsEdgesVerticesAndSelection) {
    FrontView v;
    Frame8 frame;
    Overlay overlay;
    drawOrthoView(v.r, v.doc(), v.view, 1, v.app, 200, 200, &frame, &overlay);
    ASSERT_EQ(200, frame.width);
    EXPECT_EQ(14, frame.at(5, 5));    // background
    EXPECT_EQ(0, frame.at(100, 100)); // an unselected vertex: a 3 x 3 dot in 0
    EXPECT_EQ(0, frame.at(101, 101));
    EXPECT_EQ(99, frame.at(110, 100)); // the edge from vertex 0 to vertex 1 in its own colour
    EXPECT_EQ(0, frame.at(60, 60));    // vertex 3
    // The axis indicator: z (blue) up, x (red) to the right, with its arrow heads.
    ASSERT_EQ(2u, overlay.lines.size());
    EXPECT_EQ((std::array<int, 5>{6, 194, 6, 173, 0xFF0000}), overlay.lines[0]);
    EXPECT_EQ((std::array<int, 5>{6, 194, 27, 194, 0x0000FF}), overlay.lines[1]);
    EXPECT_EQ(8, overlay.pixels);
    EXPECT_EQ(std::vector<std::string>{"Side (X right, Z up)"},
              overlay.texts); // the pane's name in its corner

    auto& infos = DocumentEdit::model(v.doc()).vertexInfos;
    infos[0].flags |= VERTEX_SELECTED;
    infos[1].flags |= VERTEX_MARKED;
    infos[3].flags = 0; // hidden
    drawOrthoView(v.r, v.doc(), v.view, 1, v.app, 200, 200, &frame, &overlay);
    EXPECT_EQ(250, frame.at(110, 100)); // both ends active: the edge in 250
    EXPECT_EQ(250, frame.at(102, 102)); // a 5 x 5 dot
    EXPECT_EQ(14, frame.at(60, 60));    // the hidden vertex is not drawn
    EXPECT_NE(250, frame.at(100, 110)); // the edge to vertex 2 keeps its colour
    EXPECT_NE(14, frame.at(100, 110));
}

// A tag is a cross of its axes, 16 pixels long (x red, y green, z blue), named beside its origin, in the
// 2D views and, where it lies in front of the camera, in the camera view.
TEST(OrthoView, TagsShowAsNamedAxisCrossesInTheViews) {
    FrontView v;
    DocumentEdit::model(v.doc()).tagNames = {"tag_hand", "tag_behind"};
    TagPlacement hand;
    hand.origin = {10, 0, 10};
    TagPlacement behind;
    behind.origin = {200, 0, 0};
    DocumentEdit::frames(v.doc())[0].tags = {hand, behind};
    Frame8 frame;
    Overlay overlay;
    drawOrthoView(v.r, v.doc(), v.view, 1, v.app, 200, 200, &frame, &overlay);
    // (10, 10) at column 120, window row 80; 16 pixels are 8 units; y points into the screen.
    EXPECT_EQ((std::array<int, 5>{120, 80, 136, 80, 0x0000FF}), overlay.lines[0]);
    EXPECT_EQ((std::array<int, 5>{120, 80, 120, 80, 0x00FF00}), overlay.lines[1]);
    EXPECT_EQ((std::array<int, 5>{120, 80, 120, 64, 0xFF0000}), overlay.lines[2]);
    EXPECT_EQ((std::vector<std::string>{"tag_hand", "tag_behind", "Side (X right, Z up)"}), overlay.texts);

    Overlay camera;
    ASSERT_TRUE(drawCameraView(v.r, &v.doc(), v.view, initialCamera(), 200, 200, &frame, -1, &camera));
    EXPECT_EQ((std::vector<std::string>{"tag_hand", "Camera (Flat Shading)"}), camera.texts);
    ASSERT_EQ(3u, camera.lines.size());
    for (const auto& line : camera.lines) {
        const double length = std::hypot(line[2] - line[0], line[3] - line[1]);
        EXPECT_LE(length, 16.5); // 16 pixels at most at the tag's depth, less where it is foreshortened
    }
}

TEST(OrthoView, GridAxesAndTheSelectionRectangle) {
    FrontView v;
    Frame8 frame;
    v.view.gridVisible = 1;
    v.view.originVisible = 1;
    drawOrthoView(v.r, v.doc(), v.view, 1, v.app, 200, 200, &frame, nullptr);
    EXPECT_EQ(12, frame.at(120, 5)); // grid line at x = 10
    EXPECT_EQ(12, frame.at(5, 120)); // grid line at z = 10
    EXPECT_EQ(0, frame.at(100, 5));  // the axes through the origin
    EXPECT_EQ(0, frame.at(5, 100));
    v.view.gridSpacing = 0.4f; // 0.8 pixels apart: no grid at all
    drawOrthoView(v.r, v.doc(), v.view, 1, v.app, 200, 200, &frame, nullptr);
    EXPECT_EQ(0u, frame.colour(12));
    v.view.gridSpacing = 1e-8f;
    v.view.orthoViews[1].centerU = 1e8f; // a tiny spacing far away must not stall the drawing
    drawOrthoView(v.r, v.doc(), v.view, 1, v.app, 200, 200, &frame, nullptr);

    FrontView w;
    w.view.bandView = 1;
    w.view.bandStart = {20, 20};
    w.view.bandEnd = {50, 60};
    drawOrthoView(w.r, w.doc(), w.view, 1, w.app, 200, 200, &frame, nullptr);
    EXPECT_EQ(0, frame.at(35, 180)); // window rows 20 and 60 are frame rows 180 and 140
    EXPECT_EQ(0, frame.at(50, 160));
    EXPECT_EQ(0, frame.at(35, 140));
    drawOrthoView(w.r, w.doc(), w.view, 0, w.app, 200, 200, &frame, nullptr); // another view: no rectangle
    EXPECT_EQ(14, frame.at(35, 180));
    w.app.currentTool = TOOL_SCALE;
    drawOrthoView(w.r, w.doc(), w.view, 1, w.app, 200, 200, &frame, nullptr);
    EXPECT_EQ(14, frame.at(35, 180));

    const int before = frame.count;
    drawOrthoView(w.r, w.doc(), w.view, 1, w.app, 0, 200, &frame, nullptr);
    EXPECT_EQ(before, frame.count); // a zero-sized window draws nothing
}

TEST(OrthoView, ShortEdgesLeftOutChangeNoPixel) {
    // A dense random mesh drawn by the view, and again with every edge drawn before the dots.
    FrontView v;
    std::mt19937 rng(4);
    ModelData data = makeModel(400, randomTriangles(rng, 400, 700, true), 1);
    for (FrameVertex& p : data.frames[0].positions) {
        p = {float(rng() % 200) / 4.0f - 25.0f, 0.0f, float(rng() % 200) / 4.0f - 25.0f};
    }
    for (size_t i = 0; i < 400; i += 3) {
        data.model.vertexInfos[i].flags |= VERTEX_SELECTED;
    }
    data.model.vertexInfos[7].flags = 0;
    loadInto(v.doc(), data);
    buildEdges(DocumentEdit::model(v.doc()));
    v.view.zoomFactor = 3.0f;
    Frame8 drawn;
    drawOrthoView(v.r, v.doc(), v.view, 1, v.app, 200, 200, &drawn, nullptr);

    const OrthoMapping m(v.view, 1, 200, 200);
    const auto& infos = v.doc().model().vertexInfos;
    const auto& positions = v.doc().frames()[0].positions;
    Frame8 literal;
    v.r.beginFrame(&literal, 200, 200, 14);
    for (const Edge& e : v.doc().model().edges) {
        const VertexInfo& a = infos[size_t(e.first)];
        const VertexInfo& b = infos[size_t(e.second)];
        if (a.visible() && b.visible()) {
            const bool both = (a.flags & 5) && (b.flags & 5);
            v.r.drawLine(m.toBuffer(positions[size_t(e.first)]), m.toBuffer(positions[size_t(e.second)]),
                         both ? 250 : e.color & 0xFF);
        }
    }
    for (size_t i = 0; i < infos.size(); ++i) {
        if (infos[i].visible()) {
            v.r.plotSquare(m.toBuffer(positions[i]), infos[i].flags & 5 ? 250 : 0,
                           infos[i].flags & 5 ? 2 : 1);
        }
    }
    v.r.presentFrame();
    EXPECT_EQ(literal.image, drawn.image);
}

TEST(OrthoView, PickPrefersTheNearestThenTheHigherIndex) {
    FrontView v;
    OrthoEditor editor(1, v.app, v.view);
    EXPECT_EQ(1, editor.pick(v.doc(), 121, 101, 200, 200));
    EXPECT_EQ(1, editor.pick(v.doc(), 125, 105, 200, 200));
    EXPECT_EQ(-1, editor.pick(v.doc(), 126, 100, 200, 200));    // 6 pixels away
    DocumentEdit::frames(v.doc())[0].positions[2] = {10, 0, 0}; // on top of vertex 1
    EXPECT_EQ(2, editor.pick(v.doc(), 120, 100, 200, 200));
    DocumentEdit::model(v.doc()).vertexInfos[2].flags = 0; // hidden vertices cannot be picked
    EXPECT_EQ(1, editor.pick(v.doc(), 120, 100, 200, 200));
}

// A drag redraws each 2D pane over the picture it kept of what does not move: every frame must be the
// one drawn whole, wherever moving edges and dots cross still ones of other colours, and whatever else
// changes between frames.
TEST(OrthoView, FramesDrawnOverTheKeptPictureAreTheWholeFrames) {
    DocFixture f;
    std::mt19937 random(7);
    std::uniform_real_distribution<float> coordinate(-45.0f, 45.0f);
    std::vector<Triangle> triangles;
    for (int t = 0; t < 90; ++t) {
        triangles.push_back(tri(int32_t(random() % 60), int32_t(random() % 60), int32_t(random() % 60)));
    }
    ModelData data = makeModel(60, triangles, 1);
    for (FrameVertex& p : data.frames[0].positions) {
        p = {coordinate(random), coordinate(random), coordinate(random)};
    }
    loadInto(*f.doc, data);
    Model& model = DocumentEdit::model(*f.doc);
    buildEdges(model);
    for (size_t e = 0; e < model.edges.size(); ++e) {
        model.edges[e].color = int32_t(20 + e % 5);
    }
    for (int32_t v = 0; v < 60; v += 6) {
        model.vertexInfos[size_t(v)].flags |= VERTEX_SELECTED;
    }
    model.vertexInfos[3].flags &= ~VERTEX_VISIBLE;
    PaletteTables tables = PaletteTables::builtIn();
    Rasterizer layered(tables);
    Rasterizer whole(tables);
    AppState app;
    ViewState view;
    view.gridSpacing = 7.0f;
    OrthoLayer layer;
    Frame8 a;
    Frame8 b;
    size_t keptFrames = 0;
    for (int step = 0; step < 40; ++step) {
        Positions& positions = DocumentEdit::frames(*f.doc)[0].positions;
        for (size_t v = 0; v < 60; ++v) {
            if (f.doc->model().vertexInfos[v].selected()) {
                positions[v].x += coordinate(random) / 6.0f;
                positions[v].z += coordinate(random) / 6.0f;
            }
        }
        if (step == 12) {
            positions[1].x += 3.0f; // a vertex that is not selected moves too
        }
        if (step == 20) {
            DocumentEdit::model(*f.doc).vertexInfos[1].flags |= VERTEX_SELECTED;
        }
        if (step == 28) {
            view.orthoViews[1].zoom *= 1.25f;
        }
        drawOrthoView(layered, *f.doc, view, 1, app, 203, 150, &a, nullptr, &layer);
        drawOrthoView(whole, *f.doc, view, 1, app, 203, 150, &b, nullptr);
        ASSERT_EQ(b.image, a.image) << "step " << step;
        keptFrames += layer.kept ? 1 : 0;
    }
    EXPECT_GE(keptFrames, 30u); // the kept picture was drawn over, not only made again
    EXPECT_GT(layer.bytes(), 0u);
}
