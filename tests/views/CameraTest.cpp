#include "TestSupport.h"
#include "document/DocumentEdit.h"
#include "render/Rasterizer.h"
#include "views/CameraDrawing.h"
#include "views/CameraMouse.h"
#include "views/Projection.h"
#include "views/ViewState.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <set>

using namespace faceto;
using namespace faceto::test;

namespace {

class FakeWindow : public MouseHost {
public:
    bool hasCapture() const override { return captured; }
    void capture() override { captured = true; }
    void release() override {
        captured = false;
        ++releases;
    }
    void repaintSelf() override { ++repaints; }
    void updateOtherViews() override {}
    int clientWidth() const override { return 200; }
    int clientHeight() const override { return 200; }
    bool captured = false;
    int repaints = 0;
    int releases = 0;
};

void expectNear(const Mat4& expected, const Mat4& actual) {
    for (size_t i = 0; i < 4; ++i) {
        for (size_t j = 0; j < 4; ++j) {
            EXPECT_NEAR(expected.m[i][j], actual.m[i][j], 1e-4) << i << "," << j;
        }
    }
}

class Pixels : public FramePresenter {
public:
    void present(const uint8_t* pixels, int stride, int, int height, const DisplayPalette& p) override {
        image.assign(pixels, pixels + size_t(stride) * size_t(height));
        palette = p;
    }
    std::vector<uint8_t> image;
    DisplayPalette palette{};
};

size_t countNot(const std::vector<uint8_t>& image, uint8_t background) {
    return size_t(std::count_if(image.begin(), image.end(), [&](uint8_t p) { return p != background; }));
}

} // namespace

TEST(Camera, StartsAtAHundredUnitsLookingAlongMinusX) {
    const Mat4 c = initialCamera();
    const Vec3 origin = c.transformPoint(0, 0, 0);
    EXPECT_FLOAT_EQ(100.0f, origin.z);
    EXPECT_FLOAT_EQ(0.0f, origin.x);
    // World +y is to the right on screen (camera x points left), world +z up.
    EXPECT_FLOAT_EQ(-1.0f, c.transformPoint(0, 1, 0).x);
    EXPECT_FLOAT_EQ(1.0f, c.transformPoint(0, 0, 1).y);
    const Projection p(200, 100);
    EXPECT_EQ(100, p.cx);
    const Pixel right = p.project(c.transformPoint(0, 10, 0));
    const Pixel up = p.project(c.transformPoint(0, 0, 10));
    EXPECT_GT(right.x, 100);
    EXPECT_GT(up.y, 50); // frame rows count upwards
}

TEST(Camera, DragsTurnAndMoveTheCamera) {
    FakeWindow window;
    CameraMouse mouse;
    Mat4 camera = initialCamera();

    // A left drag of 70 pixels to the left turns the world one radian about its z axis.
    mouse.press(MouseButton::Left, 50, 50, false, false, window);
    EXPECT_TRUE(window.captured);
    mouse.move(-20, 50, true, camera, window);
    expectNear(initialCamera() * Mat4::rotationZ(1.0f), camera);
    EXPECT_EQ(1, window.repaints);

    // The right button pauses the orbit; its release resumes it from where the cursor is.
    mouse.press(MouseButton::Right, -20, 50, true, false, window);
    const Mat4 paused = camera;
    mouse.move(30, 80, true, camera, window);
    expectNear(paused, camera);
    mouse.release(MouseButton::Right, true, false, window);
    mouse.move(30, 10, true, camera, window); // vertical: a tilt about the camera's horizontal axis
    const float tilt = -70.0f * CameraMouse::RADIANS_PER_PIXEL;
    expectNear(Mat4::translation(0, 0, 100) * Mat4::rotationX(tilt) * Mat4::translation(0, 0, -100) * paused,
               camera);
    mouse.release(MouseButton::Left, false, false, window);
    EXPECT_FALSE(window.captured);

    // Right drags pan only once the pointer has moved more than 2 pixels, measured from the press.
    camera = initialCamera();
    window.repaints = 0;
    mouse.press(MouseButton::Right, 100, 100, false, false, window);
    mouse.move(102, 98, false, camera, window);
    mouse.move(101, 102, false, camera, window);
    EXPECT_EQ(0, window.repaints);
    expectNear(initialCamera(), camera);
    mouse.move(104, 100, false, camera, window); // starts the drag, moves nothing yet
    mouse.move(104, 100, false, camera, window);
    expectNear(Mat4::translation(-4, 0, 0) * initialCamera(), camera);
    // With the left button held as well the vertical motion dollies; the left press itself is ignored.
    mouse.press(MouseButton::Left, 104, 100, false, true, window);
    EXPECT_FALSE(mouse.leftActive);
    mouse.move(104, 90, true, camera, window);
    expectNear(Mat4::translation(0, 0, 10) * Mat4::translation(-4, 0, 0) * initialCamera(), camera);
    mouse.release(MouseButton::Right, true, false, window);
    EXPECT_TRUE(window.captured); // released with the left button, which is still down
    mouse.release(MouseButton::Left, false, false, window);
    EXPECT_FALSE(window.captured);
}

TEST(CameraView, FacingTrianglesAreShadedThroughTheColourMapAndBackFacesLeftOut) {
    PaletteTables tables = PaletteTables::builtIn();
    Rasterizer r(tables);
    DocFixture f;
    ViewState view;
    // A triangle in the plane x = 0 facing +x (the camera), then wound the other way.
    ModelData data = makeModel(3, {tri(0, 2, 1)}, 1);
    data.frames[0].positions = {{0, -20, -20}, {0, 20, -20}, {0, 0, 20}};
    data.model.triangles[0].color = 100;
    loadInto(*f.doc, data);
    Pixels frame;
    ASSERT_TRUE(drawCameraView(r, f.doc.get(), view, initialCamera(), 64, 64, &frame));
    const uint8_t facing = tables.shade(0, 100);
    EXPECT_GT(std::count(frame.image.begin(), frame.image.end(), facing), 100);
    EXPECT_EQ(0, frame.image[0]); // background
    std::swap(DocumentEdit::model(*f.doc).triangles[0].v[1], DocumentEdit::model(*f.doc).triangles[0].v[2]);
    drawCameraView(r, f.doc.get(), view, initialCamera(), 64, 64, &frame);
    EXPECT_EQ(0u, countNot(frame.image, 0));
    // Seen exactly edge-on: nothing either.
    DocumentEdit::frames(*f.doc)[0].positions = {{-20, 0, -20}, {20, 0, -20}, {0, 0, 20}};
    drawCameraView(r, f.doc.get(), view, initialCamera(), 64, 64, &frame);
    EXPECT_EQ(0u, countNot(frame.image, 0));
    // Behind the camera: left out.
    DocumentEdit::frames(*f.doc)[0].positions = {{200, -20, -20}, {200, 20, -20}, {200, 0, 20}};
    std::swap(DocumentEdit::model(*f.doc).triangles[0].v[1], DocumentEdit::model(*f.doc).triangles[0].v[2]);
    drawCameraView(r, f.doc.get(), view, initialCamera(), 64, 64, &frame);
    EXPECT_EQ(0u, countNot(frame.image, 0));
    // No document or no frame: an empty picture.
    EXPECT_TRUE(drawCameraView(r, nullptr, view, initialCamera(), 64, 64, &frame));
    EXPECT_EQ(0u, countNot(frame.image, 0));
}

TEST(CameraView, DrawsTheWholeOfALargeWindow) {
    PaletteTables tables = PaletteTables::builtIn();
    Rasterizer r(tables);
    DocFixture f;
    ViewState view;
    ModelData data = makeModel(3, {tri(0, 2, 1)}, 1);
    data.frames[0].positions = {{-50, -5000, -5000}, {-50, 5000, -5000}, {-50, 0, 5000}}; // covers the view
    data.model.triangles[0].color = 100;
    loadInto(*f.doc, data);
    Pixels frame;
    drawCameraView(r, f.doc.get(), view, initialCamera(), 1500, 1200, &frame);
    ASSERT_EQ(size_t(1500) * 1200, frame.image.size());
    EXPECT_NE(0, frame.image.back()); // the top right corner, beyond 1023 pixels, is painted
    EXPECT_NE(0, frame.image.front());
}

TEST(Preview, ChoosesTheFrameSkinAndFillMode) {
    PaletteTables tables = PaletteTables::builtIn();
    Rasterizer r(tables);
    DocFixture f;
    ModelData data = makeModel(3, {tri(0, 2, 1)}, 2);
    data.frames[0].positions = {{0, -20, -20}, {0, 20, -20}, {0, 0, 20}};
    data.frames[1].positions = {{0, -2, -2}, {0, 2, -2}, {0, 0, 2}}; // a smaller second frame
    loadInto(*f.doc, data);
    PreviewSettings settings;
    Pixels frame;

    // Without skins the textured switch falls back to flat shading along the ramp of colour 7.
    drawPreview(r, f.doc.get(), settings, initialCamera(), 64, 64, &frame);
    const size_t large = countNot(frame.image, 0);
    EXPECT_GT(std::count(frame.image.begin(), frame.image.end(), tables.shade(0, 7)), 100);
    settings.shownFrame = 1;
    drawPreview(r, f.doc.get(), settings, initialCamera(), 64, 64, &frame);
    EXPECT_LT(countNot(frame.image, 0), large / 10);
    settings.shownFrame = 7; // not a frame: the current one
    drawPreview(r, f.doc.get(), settings, initialCamera(), 64, 64, &frame);
    EXPECT_EQ(large, countNot(frame.image, 0));

    // Neither fill: wire frame in colour 12 once edges are on, back faces included.
    settings.textured = 0;
    settings.shaded = 0;
    settings.showEdges = 1;
    std::swap(DocumentEdit::model(*f.doc).triangles[0].v[1], DocumentEdit::model(*f.doc).triangles[0].v[2]);
    drawPreview(r, f.doc.get(), settings, initialCamera(), 64, 64, &frame);
    EXPECT_GT(std::count(frame.image.begin(), frame.image.end(), 12), 20);
    EXPECT_EQ(size_t(std::count(frame.image.begin(), frame.image.end(), 12)), countNot(frame.image, 0));

    // Two skins: the index wraps, and the picture shows in the first skin's colours.
    Skin skin;
    skin.imageWidth = 4;
    skin.imageHeight = 4;
    skin.bitsPerPixel = 8;
    skin.pixels.assign(16, 77);
    skin.palette.assign(256, PaletteEntry{9, 9, 9, 0});
    DocumentEdit::model(*f.doc).skins = {skin, skin};
    DocumentEdit::model(*f.doc).skins[1].pixels.assign(16, 88);
    std::swap(DocumentEdit::model(*f.doc).triangles[0].v[1], DocumentEdit::model(*f.doc).triangles[0].v[2]);
    settings = PreviewSettings{};
    settings.skinIndex = 2;
    drawPreview(r, f.doc.get(), settings, initialCamera(), 64, 64, &frame);
    EXPECT_EQ(0, settings.skinIndex);
    EXPECT_GT(std::count(frame.image.begin(), frame.image.end(), 77), 100);
    EXPECT_EQ((PaletteEntry{9, 9, 9, 0}), frame.palette[0]);
    settings.skinIndex = 1;
    drawPreview(r, f.doc.get(), settings, initialCamera(), 64, 64, &frame);
    EXPECT_GT(std::count(frame.image.begin(), frame.image.end(), 88), 100);
    settings.showVertices = 1;
    drawPreview(r, f.doc.get(), settings, initialCamera(), 64, 64, &frame);
    EXPECT_EQ(3, std::count(frame.image.begin(), frame.image.end(), 250));
}

TEST(Preview, TrueColourSkinsShowInTheNearestColours) {
    PaletteTables tables = PaletteTables::builtIn();
    Rasterizer r(tables);
    DocFixture f;
    ModelData data = makeModel(3, {tri(0, 2, 1)}, 1);
    data.frames[0].positions = {{0, -20, -20}, {0, 20, -20}, {0, 0, 20}};
    loadInto(*f.doc, data);
    // A 24-bit skin of pure red: the built-in palette's red is entry 251.
    Skin rgb;
    rgb.imageWidth = 4;
    rgb.imageHeight = 4;
    rgb.bitsPerPixel = 24;
    rgb.pixels.resize(size_t(rgb.stride()) * 4, 0);
    for (size_t i = 0; i < rgb.pixels.size(); i += 3) {
        rgb.pixels[i] = 255;
    }
    DocumentEdit::model(*f.doc).skins = {rgb};
    PreviewSettings settings;
    Pixels frame;
    drawPreview(r, f.doc.get(), settings, initialCamera(), 64, 64, &frame);
    EXPECT_EQ(251, nearestColour(r.defaultPalette(), 255, 0, 0));
    EXPECT_GT(std::count(frame.image.begin(), frame.image.end(), 251), 100);
    // The 8-bit picture was made once and is kept with the skin; the true colours stay for saving.
    const Skin* shown = f.doc->model().skins[0].shown.get();
    ASSERT_NE(nullptr, shown);
    drawPreview(r, f.doc.get(), settings, initialCamera(), 64, 64, &frame);
    EXPECT_EQ(shown, f.doc->model().skins[0].shown.get());
    EXPECT_EQ(24, f.doc->model().skins[0].bitsPerPixel);
    EXPECT_EQ(255, f.doc->model().skins[0].pixels[0]);
}

TEST(CameraView, EachModeDrawsTheModelItsOwnWay) {
    PaletteTables tables = PaletteTables::builtIn();
    Rasterizer r(tables);
    DocFixture f;
    ViewState view;
    // Two triangles of a square facing the camera, and beside it one wound away from it.
    ModelData data = makeModel(7, {tri(0, 2, 1), tri(1, 2, 3), tri(4, 5, 6)}, 1);
    data.frames[0].positions = {{0, -20, -20}, {0, 20, -20}, {0, -20, 20}, {0, 20, 20},
                                {0, 22, -10},  {0, 40, -10}, {0, 31, 10}};
    for (Triangle& t : data.model.triangles) {
        t.color = 100;
        t.st = {{{0, 0}, {1, 0}, {0, 1}}};
    }
    loadInto(*f.doc, data);
    Skin skin;
    skin.imageWidth = 2;
    skin.imageHeight = 2;
    skin.bitsPerPixel = 8;
    skin.pixels = {60, 60, 0, 0, 60, 60, 0, 0};
    skin.palette.assign(256, PaletteEntry{5, 5, 5, 0});
    DocumentEdit::model(*f.doc).skins = {skin};
    Pixels frame;
    auto draw = [&](int mode) {
        view.fillMode = uint8_t(mode);
        drawCameraView(r, f.doc.get(), view, initialCamera(), 64, 64, &frame);
        return std::set<uint8_t>(frame.image.begin(), frame.image.end());
    };
    // The default (flat) is the picture as ever: the facing light row of the triangle's colour, outlines in
    // 0.
    EXPECT_EQ((std::set<uint8_t>{0, tables.shade(0, 100)}), draw(FILL_FLAT));
    EXPECT_EQ((std::set<uint8_t>{0}), draw(FILL_NONE));
    EXPECT_EQ((std::set<uint8_t>{0, 100}), draw(FILL_WIREFRAME)); // edges in the triangle's colour
    EXPECT_EQ((std::set<uint8_t>{0, 254}), draw(FILL_VERTEX));
    DocumentEdit::model(*f.doc).vertexInfos[0].flags |= VERTEX_SELECTED;
    EXPECT_EQ((std::set<uint8_t>{0, 250, 254}), draw(FILL_VERTEX)); // selected corners stand out
    // Gouraud: every vertex faces the camera squarely, all in the brightest row of the default lights.
    EXPECT_EQ((std::set<uint8_t>{0, tables.shade(0, 100)}), draw(FILL_GOURAUD));
    // Dimmer lights darken it: no spot light at all leaves the ambient light only.
    view.lightSpot = 0;
    view.lightAmbient = 25;
    EXPECT_EQ((std::set<uint8_t>{0, tables.shade(0, 100)}),
              draw(FILL_GOURAUD)); // ambient alone is the full light
    view.lightAmbient = 50;
    view.lightSpot = 24;
    EXPECT_EQ((std::set<uint8_t>{0, 60}), draw(FILL_TEXTURED));
    EXPECT_EQ((std::set<uint8_t>{0, tables.shade(0, 60)}), draw(FILL_TEXTURED_SHADED));
    // A background colour of one's own.
    view.backColor = 14;
    EXPECT_EQ(14, *draw(FILL_NONE).begin());
    view.backColor = 0;

    // Front/Back: the triangle wound away shows once back faces are drawn.
    const size_t frontOnly = countNot((draw(FILL_FLAT), frame.image), 0);
    view.drawBackFaces = true;
    const size_t both = countNot((draw(FILL_FLAT), frame.image), 0);
    EXPECT_GT(both, frontOnly + 20);
}

// A Quake model's skin, shown in its own colours, is lit by the colour map Game Setup names for the game
// (Hexen II's with its palette); without that file, by the program's own.
TEST(CameraView, QuakeModelsAreLitByTheGamesColourMap) {
    PaletteTables tables = PaletteTables::builtIn();
    Rasterizer r(tables);
    DocFixture f;
    TempDir dir;
    ModelData data = makeModel(3, {tri(0, 2, 1)}, 1);
    data.frames[0].positions = {{0, -20, -20}, {0, 20, -20}, {0, 0, 20}};
    data.model.triangles[0].st = {{{0, 0}, {1, 0}, {0, 1}}};
    data.source.sourceFormat = SOURCE_MDL;
    Skin skin;
    skin.imageWidth = skin.imageHeight = 2;
    skin.bitsPerPixel = 8;
    skin.pixels = {60, 60, 0, 0, 60, 60, 0, 0};
    skin.palette.assign(256, PaletteEntry{5, 5, 5, 0});
    data.model.skins = {skin};
    loadInto(*f.doc, data);
    writeBytes(dir.path("quake.lmp"), std::vector<uint8_t>(COLORMAP_BYTES, 7));
    writeBytes(dir.path("hexen.lmp"), std::vector<uint8_t>(COLORMAP_BYTES, 9));
    f.profile.set(settings::QUAKE_COLORMAP, dir.path("quake.lmp"));
    f.profile.set(settings::HEXEN2_COLORMAP, dir.path("hexen.lmp"));
    Pixels frame;
    auto colours = [&](const ViewState& shown) {
        ViewState view = shown;
        view.fillMode = FILL_TEXTURED_SHADED;
        drawCameraView(r, f.doc.get(), view, initialCamera(), 64, 64, &frame);
        return std::set<uint8_t>(frame.image.begin(), frame.image.end());
    };
    EXPECT_EQ((std::set<uint8_t>{0, 7}), colours(ViewState(f.profile, *f.doc)));
    f.profile.set(settings::MODEL_PALETTE, "hexen2");
    EXPECT_EQ((std::set<uint8_t>{0, 9}), colours(ViewState(f.profile, *f.doc)));
    f.profile.set(settings::HEXEN2_COLORMAP, dir.path("missing.lmp"));
    EXPECT_EQ((std::set<uint8_t>{0, tables.shade(0, 60)}), colours(ViewState(f.profile, *f.doc)));
    // The next picture, of another model, is lit by the program's map again.
    f.profile.set(settings::MODEL_PALETTE, "quake");
    colours(ViewState(f.profile, *f.doc));
    EXPECT_EQ((std::set<uint8_t>{0, tables.shade(0, 60)}), colours(ViewState()));
}

// A Quake III model paints each surface with its own skin, its skin coordinates scaled onto that
// picture; a skin chosen that no surface names paints them all, as does every skin of other models.
TEST(CameraView, QuakeThreeSurfacesPaintWithTheirOwnSkins) {
    PaletteTables tables = PaletteTables::builtIn();
    Rasterizer r(tables);
    DocFixture f;
    ViewState view;
    ModelData data = makeModel(4, {tri(0, 2, 1), tri(1, 2, 3)}, 1);
    data.frames[0].positions = {{0, -20, -20}, {0, 20, -20}, {0, -20, 20}, {0, 20, 20}};
    data.model.groups = {Group{"left", 8, GROUP_VISIBLE, -1}, Group{"right", 8, GROUP_VISIBLE, -1}};
    data.model.triangles[0].st = {{{0, 0}, {0, 2}, {1, 0}}};
    data.model.triangles[1].group = 1;
    data.model.triangles[1].st = {{{1, 0}, {1, 2}, {2, 2}}}; // the right half of a 2 x 2 map
    data.source.skinWidth = 2;
    data.source.skinHeight = 2;
    auto fields = std::make_shared<Md3Fields>();
    for (const char* name : {"left", "right"}) {
        Md3Fields::Surface surface;
        std::copy_n(name, std::strlen(name), surface.name.begin());
        Md3Fields::Shader shader;
        const std::string skin = std::string(name) + ".tga";
        std::copy(skin.begin(), skin.end(), shader.name.begin());
        surface.shaders = {shader};
        fields->surfaces.push_back(surface);
    }
    data.source.md3 = fields;
    auto skin = [](const char* name, int side, std::vector<uint8_t> pixels) {
        Skin s;
        s.name = name;
        s.width = s.height = 2;
        s.imageWidth = s.imageHeight = side;
        s.bitsPerPixel = 8;
        s.pixels = std::move(pixels);
        s.palette.assign(256, PaletteEntry{5, 5, 5, 0});
        return s;
    };
    // 4 x 4: columns 0 and 1 in 70, 2 and 3 in 71 (rows padded to 4 bytes).
    std::vector<uint8_t> halves;
    for (int row = 0; row < 4; ++row) {
        halves.insert(halves.end(), {70, 70, 71, 71});
    }
    data.model.skins = {skin("left.tga", 2, {60, 60, 0, 0, 60, 60, 0, 0}), skin("right.tga", 4, halves),
                        skin("other.tga", 2, {90, 90, 0, 0, 90, 90, 0, 0})};
    loadInto(*f.doc, data);
    view.fillMode = FILL_TEXTURED;
    Pixels frame;
    auto colours = [&] {
        drawCameraView(r, f.doc.get(), view, initialCamera(), 64, 64, &frame);
        return std::set<uint8_t>(frame.image.begin(), frame.image.end());
    };
    EXPECT_EQ((std::set<uint8_t>{0, 60, 71}), colours());
    f.doc->setCurrentSkin(2); // named by no surface: everywhere
    EXPECT_EQ((std::set<uint8_t>{0, 90}), colours());
    f.doc->setCurrentSkin(0);
    DocumentEdit::source(*f.doc).md3.reset();
    EXPECT_EQ((std::set<uint8_t>{0, 60}), colours());
}

// Positions far past any model's (1e30) or not numbers at all make normals and light rows that are
// not numbers: every mode draws them without an undefined conversion (the sanitizer build checks).
TEST(CameraView, PositionsFarOutOrNotNumbersDrawInEveryMode) {
    PaletteTables tables = PaletteTables::builtIn();
    Rasterizer r(tables);
    DocFixture f;
    ViewState view;
    ModelData data = makeModel(4, {tri(0, 1, 2), tri(0, 2, 3), tri(1, 3, 2)}, 1);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    data.frames[0].positions = {{1e30f, 0, 0}, {0, 1e30f, 1}, {0, 0, 1e30f}, {nan, 1, 2}};
    loadInto(*f.doc, std::move(data));
    Pixels frame;
    for (int mode : {FILL_NONE, FILL_WIREFRAME, FILL_VERTEX, FILL_FLAT, FILL_GOURAUD, FILL_TEXTURED,
                     FILL_TEXTURED_SHADED}) {
        view.fillMode = uint8_t(mode);
        view.drawBackFaces = true;
        EXPECT_TRUE(drawCameraView(r, f.doc.get(), view, initialCamera(), 48, 48, &frame)) << mode;
    }
    PreviewSettings settings;
    EXPECT_TRUE(drawPreview(r, f.doc.get(), settings, initialCamera(), 48, 48, &frame));
    const int picked = pickCameraTriangle(*f.doc, view, initialCamera(), 48, 48, 24, 24);
    EXPECT_TRUE(picked >= -1 && picked < 3);
}

// The smooth preview at t = 0.5 between two frames draws their mean, pixel for pixel; at t = 0 the frame
// itself.
TEST(Preview, BlendsTowardsTheNextFrameAsTheEnginesDo) {
    PaletteTables tables = PaletteTables::builtIn();
    Rasterizer r(tables);
    DocFixture f;
    ModelData data = makeModel(3, {tri(0, 2, 1)}, 3);
    data.frames[0].positions = {{0, -20, -20}, {0, 20, -20}, {0, 0, 20}};
    data.frames[1].positions = {{0, -4, -6}, {10, 2, -2}, {0, 0, 8}};
    for (size_t v = 0; v < 3; ++v) {
        const FrameVertex& a = data.frames[0].positions[v];
        const FrameVertex& b = data.frames[1].positions[v];
        data.frames[2].positions[v] = {a.x + (b.x - a.x) * 0.5f, a.y + (b.y - a.y) * 0.5f,
                                       a.z + (b.z - a.z) * 0.5f};
    }
    loadInto(*f.doc, data);
    PreviewSettings settings;
    Pixels blended;
    Pixels mean;
    Pixels first;
    settings.shownFrame = 0;
    drawPreview(r, f.doc.get(), settings, initialCamera(), 64, 64, &first);
    settings.blendFrame = 1;
    settings.blend = 0.5f;
    drawPreview(r, f.doc.get(), settings, initialCamera(), 64, 64, &blended);
    settings.blendFrame = -1;
    settings.shownFrame = 2;
    drawPreview(r, f.doc.get(), settings, initialCamera(), 64, 64, &mean);
    EXPECT_EQ(mean.image, blended.image);
    EXPECT_NE(first.image, blended.image);
    settings.shownFrame = 0;
    settings.blendFrame = 1;
    settings.blend = 0.0f;
    drawPreview(r, f.doc.get(), settings, initialCamera(), 64, 64, &blended);
    EXPECT_EQ(first.image, blended.image);
}

// A pane drawing again from what it projected last must notice every change that moves a pixel: the
// positions changed in place, the camera, the mesh, the window's size.
TEST(CameraView, AKeptProjectionIsTakenOnlyForTheSameFrame) {
    PaletteTables tables = PaletteTables::builtIn();
    Rasterizer kept(tables);
    Rasterizer fresh(tables);
    DocFixture f;
    ViewState view;
    ModelData data = makeModel(4, {tri(0, 2, 1), tri(0, 3, 2)}, 1);
    data.frames[0].positions = {{0, -20, -20}, {0, 20, -20}, {0, 0, 20}, {5, -25, 15}};
    data.model.triangles[0].color = 100;
    data.model.triangles[1].color = 140;
    loadInto(*f.doc, data);
    ProjectionMemo memo;
    Mat4 camera = initialCamera();
    int width = 64;
    Pixels a;
    Pixels b;
    auto same = [&] {
        drawCameraView(kept, f.doc.get(), view, camera, width, 64, &a, -1, nullptr, &memo);
        drawCameraView(fresh, f.doc.get(), view, camera, width, 64, &b);
        EXPECT_GT(countNot(a.image, 0), 0u);
        return a.image == b.image;
    };
    EXPECT_TRUE(same());
    EXPECT_TRUE(same()); // nothing changed
    DocumentEdit::frames(*f.doc)[0].positions[2].z = 8.0f;
    EXPECT_TRUE(same());
    camera = camera * Mat4::rotationZ(0.3f);
    EXPECT_TRUE(same());
    std::swap(DocumentEdit::model(*f.doc).triangles[1].v[1], DocumentEdit::model(*f.doc).triangles[1].v[2]);
    EXPECT_TRUE(same());
    width = 96;
    EXPECT_TRUE(same());
    view.fillMode = FILL_WIREFRAME;
    EXPECT_TRUE(same());
}

// Drag steps on a sheet: a few vertices move each time (back and forth, behind the camera and back, to
// a NaN and back, onto another's depth), and the camera pane and the preview, which project only those
// again, draw what a whole projection draws. A triangle with a corner past the last vertex stays out.
TEST(CameraView, AFewMovedVerticesDrawAsAWholeProjectionDoes) {
    PaletteTables tables = PaletteTables::builtIn();
    Rasterizer kept(tables);
    Rasterizer fresh(tables);
    Rasterizer keptPreview(tables);
    Rasterizer freshPreview(tables);
    DocFixture f;
    ViewState view;
    view.backColor = 200;
    constexpr int SIDE = 24;
    std::vector<Triangle> triangles;
    std::mt19937 rng(31);
    for (int row = 0; row + 1 < SIDE; ++row) {
        for (int column = 0; column + 1 < SIDE; ++column) {
            const int32_t v = row * SIDE + column;
            triangles.push_back(tri(v, v + SIDE, v + 1));
            triangles.push_back(tri(v + 1, v + SIDE, v + SIDE + 1));
            triangles[triangles.size() - 2].color = int32_t(rng() % 200);
            triangles.back().color = int32_t(rng() % 200);
        }
    }
    triangles.push_back(tri(3, SIDE * SIDE + 5, 4));
    ModelData data = makeModel(SIDE * SIDE, triangles, 1);
    for (size_t v = 0; v < data.frames[0].positions.size(); ++v) {
        // Depths in whole steps, so that many triangles share their key.
        data.frames[0].positions[v] = {float(rng() % 4) * 0.25f, float(v % SIDE) * 3.0f - 36.0f,
                                       float(v / SIDE) * 3.0f - 36.0f};
    }
    loadInto(*f.doc, data);
    ProjectionMemo memo;
    ProjectionMemo previewMemo;
    PreviewSettings settings;
    settings.textured = 0;
    settings.showEdges = 1;
    const Mat4 camera = initialCamera() * Mat4::rotationZ(0.4f);
    Pixels a;
    Pixels b;
    auto& positions = DocumentEdit::frames(*f.doc)[0].positions;
    for (int step = 0; step < 40; ++step) {
        const int32_t first = int32_t(rng() % (SIDE * SIDE - 20));
        for (int32_t v = first; v < first + 3 + step % 4; ++v) {
            FrameVertex& p = positions[size_t(v)];
            switch (step % 5) {
            case 0:
                p.x += step % 2 ? 0.5f : -0.5f;
                break;
            case 1:
                p.x = 400.0f; // behind the camera
                break;
            case 2:
                p.x = std::numeric_limits<float>::quiet_NaN();
                break;
            case 3:
                p.x = positions[0].x; // the same depth as another
                break;
            default:
                p.y += 0.25f;
                break;
            }
        }
        drawCameraView(kept, f.doc.get(), view, camera, 160, 128, &a, -1, nullptr, &memo);
        drawCameraView(fresh, f.doc.get(), view, camera, 160, 128, &b);
        ASSERT_EQ(b.image, a.image) << "camera, step " << step;
        ASSERT_GT(countNot(a.image, 200), 5000u);
        drawPreview(keptPreview, f.doc.get(), settings, camera, 150, 120, &a, &previewMemo);
        drawPreview(freshPreview, f.doc.get(), settings, camera, 150, 120, &b);
        ASSERT_EQ(b.image, a.image) << "preview, step " << step;
    }
}

// A dense mesh seen from afar: triangles of a pixel or two, drawn as their corners, give the pixels of
// filling and outlining each of them in the depth order.
TEST(CameraView, TinyTrianglesShowAsFilledAndOutlined) {
    PaletteTables tables = PaletteTables::builtIn();
    Rasterizer r(tables);
    DocFixture f;
    ViewState view;
    view.backColor = 200;
    std::mt19937 rng(9);
    std::vector<Triangle> triangles;
    for (int t = 0; t < 3000; ++t) {
        // Mostly neighbours on the sheet, either way round; now and then three vertices anywhere.
        const int32_t b = int32_t(rng() % 19) + 20 * int32_t(rng() % 19);
        const bool anywhere = t % 10 == 0;
        const int32_t c = anywhere ? int32_t(rng() % 400) : b + 1;
        const int32_t d = anywhere ? int32_t(rng() % 400) : b + 20;
        triangles.push_back(rng() % 2 ? tri(b, c, d) : tri(b, d, c));
        triangles.back().color = int32_t(rng() % 200);
    }
    ModelData data = makeModel(400, triangles, 1);
    for (size_t v = 0; v < 400; ++v) {
        // A 20 x 20 sheet, a hair apart in depth, seen at about a pixel per vertex.
        data.frames[0].positions[v] = {float(rng() % 100) * 0.01f, float(v % 20) * 0.9f - 9.0f,
                                       float(v / 20) * 0.9f - 9.0f};
    }
    loadInto(*f.doc, data);
    Pixels drawn;
    ASSERT_TRUE(drawCameraView(r, f.doc.get(), view, initialCamera(), 64, 64, &drawn));
    Rasterizer plain(tables);
    Pixels expected;
    plain.beginFrame(&expected, 64, 64, 200);
    const auto& projected = r.projectedTriangles();
    size_t tiny = 0;
    for (int32_t k = 0; k < int32_t(projected.size()); ++k) {
        const ProjectedTriangle& t = projected[size_t(r.sortIndices()[size_t(k)])];
        if (!t.inFront || t.normalZ >= 0.0f) {
            continue;
        }
        const auto& q = t.corners;
        const auto [minX, maxX] = std::minmax({q[0].x, q[1].x, q[2].x});
        tiny += maxX - minX <= 1 ? 1 : 0;
        const int32_t polygon[] = {q[0].x, q[0].y, q[1].x, q[1].y, q[2].x, q[2].y, q[0].x, q[0].y};
        const float row = 64.0f * (1.0f - std::abs(t.normalZ));
        plain.fillFlatPolygon(polygon, 3, tables.shade(std::clamp(int(row), 0, LIGHT_ROWS - 1), t.color));
        plain.drawLine(q[0], q[1], 0);
        plain.drawLine(q[2], q[1], 0);
        plain.drawLine(q[2], q[0], 0);
    }
    plain.presentFrame();
    EXPECT_GT(tiny, 100u);
    EXPECT_EQ(expected.image, drawn.image);
}
