#include "TestSupport.h"
#include "document/DocumentEdit.h"
#include "views/C2DView.h"
#include "views/CAnimationView.h"
#include "views/CCameraView.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTest>

using namespace faceto;
using namespace faceto::test;

namespace {

// Documents whose views are redrawn through the registry, as in the editor.
class RegistryHost : public DocumentHost {
public:
    explicit RegistryHost(ViewRegistry& registry) : registry_(registry) {}
    void message(std::string_view) override {}
    void documentChanged(CFacetoDoc& doc, const ChangeNotice& notice) override {
        registry_.updateViews(&doc, notice);
    }
    void addToRecentFiles(const std::string&) override {}
    bool confirmReplace(const std::string&) override { return false; }

private:
    ViewRegistry& registry_;
};

// A front view (pane row 0, column 1: x to the right, z up) of 200 x 200 pixels at 2 pixels per
// unit: (x, z) is at window (100 + 2x, 100 - 2z).
struct FrontPane {
    PaletteTables tables = PaletteTables::builtIn();
    AppState app;
    ViewRegistry registry;
    ViewContext context{app, tables, registry};
    MemoryProfile profile;
    RegistryHost host{registry};
    CFacetoDoc doc{profile, host, tables};
    std::unique_ptr<C2DView> view;

    FrontPane() {
        ModelData data = makeModel(4, {tri(0, 1, 2)}, 2);
        data.frames[0].positions = {{0, 0, 0}, {10, 0, 0}, {0, 0, 10}, {-20, 0, -20}};
        loadInto(doc, data);
        shown().frameOnOpen = false; // the gestures below are worked out at the first view's own scale
        view = std::make_unique<C2DView>(context, &doc, 0, 1);
        view->resize(200, 200);
        view->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(view.get()));
    }
    ViewState& shown() { return registry.stateOf(&doc); }
    const FrameVertex& position(int v) const { return doc.frames()[0].positions[size_t(v)]; }
    bool selected(int v) const { return doc.model().vertexInfos[size_t(v)].selected(); }

    // A mouse move with the buttons given held, as the window system reports it.
    void moveTo(QPoint p, Qt::MouseButtons held, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QMouseEvent event(QEvent::MouseMove, p, view->mapToGlobal(p), Qt::NoButton, held, modifiers);
        QApplication::sendEvent(view.get(), &event);
    }
    void drag(QPoint from, QPoint to, Qt::MouseButton button = Qt::LeftButton,
              Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::mousePress(view.get(), button, modifiers, from);
        moveTo(to, button, modifiers);
        QTest::mouseRelease(view.get(), button, modifiers, to);
    }
};

} // namespace

TEST(TwoDViewGestures, ClickTogglesAVertexAndEmptySpaceDoesNothing) {
    FrontPane p;
    QTest::mouseClick(p.view.get(), Qt::LeftButton, Qt::NoModifier, QPoint(121, 101));
    EXPECT_TRUE(p.selected(1));
    EXPECT_FALSE(p.doc.model().vertexInfos[1].marked());
    QTest::mouseClick(p.view.get(), Qt::LeftButton, Qt::NoModifier, QPoint(119, 99));
    EXPECT_FALSE(p.selected(1));
    QTest::mouseClick(p.view.get(), Qt::LeftButton, Qt::NoModifier, QPoint(160, 160));
    for (int v = 0; v < 4; ++v) {
        EXPECT_EQ(VERTEX_VISIBLE, p.doc.model().vertexInfos[size_t(v)].flags);
    }
}

TEST(TwoDViewGestures, ARectangleAddsToTheSelection) {
    FrontPane p;
    DocumentEdit::model(p.doc).vertexInfos[3].flags |=
        VERTEX_SELECTED; // outside the rectangle: stays selected
    p.drag(QPoint(90, 70), QPoint(130, 110));
    EXPECT_TRUE(p.selected(0));
    EXPECT_TRUE(p.selected(1));
    EXPECT_TRUE(p.selected(2));
    EXPECT_TRUE(p.selected(3));
    for (const VertexInfo& info : p.doc.model().vertexInfos) {
        EXPECT_FALSE(info.marked());
    }
    EXPECT_EQ(p.shown().bandStart, p.shown().bandEnd);
}

TEST(TwoDViewGestures, DraggingMovesTheSelectionInTheCurrentFrameOnly) {
    FrontPane p;
    DocumentEdit::model(p.doc).vertexInfos[2].flags |= VERTEX_SELECTED; // moves along with the picked vertex
    p.drag(QPoint(120, 100), QPoint(140, 90));
    EXPECT_FLOAT_EQ(20.0f, p.position(1).x);
    EXPECT_FLOAT_EQ(5.0f, p.position(1).z);
    EXPECT_FLOAT_EQ(10.0f, p.position(2).x);
    EXPECT_FLOAT_EQ(15.0f, p.position(2).z);
    EXPECT_FLOAT_EQ(0.0f, p.position(0).x);
    EXPECT_FLOAT_EQ(1.0f, p.doc.frames()[1].positions[1].x); // the other frame keeps its positions
    EXPECT_FALSE(p.selected(1));                             // a move does not select the picked vertex
    EXPECT_FALSE(p.doc.model().vertexInfos[1].marked());
    EXPECT_TRUE(p.doc.isModified());

    // With the vertical axis (z) locked the vertex moves horizontally only.
    p.shown().toggleLock(2);
    p.drag(QPoint(140, 90), QPoint(160, 60));
    EXPECT_FLOAT_EQ(30.0f, p.position(1).x);
    EXPECT_FLOAT_EQ(5.0f, p.position(1).z);
}

TEST(TwoDViewGestures, SnapPutsTheDraggedVertexOnTheGrid) {
    FrontPane p;
    p.shown().snapToGrid = 1;
    DocumentEdit::model(p.doc).vertexInfos[3].flags |= VERTEX_SELECTED;
    // The cursor at world (16.5, 11.5): the grid points are 20 and 10.
    p.drag(QPoint(120, 100), QPoint(133, 77));
    EXPECT_EQ(20.0f, p.position(1).x);
    EXPECT_EQ(10.0f, p.position(1).z);
    EXPECT_FLOAT_EQ(-10.0f, p.position(3).x); // the others keep their offsets
    EXPECT_FLOAT_EQ(-10.0f, p.position(3).z);
    // A fraction of exactly one half rounds towards zero: 15 / 10 = 1.5 gives 10.
    p.drag(QPoint(140, 80), QPoint(130, 80));
    EXPECT_EQ(10.0f, p.position(1).x);
}

TEST(TwoDViewGestures, ScaleStepsAreTwoPercentWithShift) {
    FrontPane p;
    p.app.currentTool = TOOL_SCALE;
    DocumentEdit::model(p.doc).vertexInfos[0].flags |= VERTEX_SELECTED;
    DocumentEdit::model(p.doc).vertexInfos[1].flags |= VERTEX_SELECTED;
    QTest::mousePress(p.view.get(), Qt::LeftButton, Qt::ShiftModifier, QPoint(50, 50));
    p.moveTo(QPoint(50, 51), Qt::LeftButton, Qt::ShiftModifier); // down: shrink
    EXPECT_FLOAT_EQ(5.0f + 5.0f * 0.98f, p.position(1).x);
    p.moveTo(QPoint(50, 53), Qt::LeftButton, Qt::ShiftModifier); // one event, one step, however far
    EXPECT_FLOAT_EQ(5.0f + 5.0f * 0.98f * 0.98f, p.position(1).x);
    p.moveTo(QPoint(50, 40), Qt::LeftButton); // up without Shift: 10 % larger
    EXPECT_NEAR(5.0f + 5.0f * 0.98f * 0.98f * 1.1f, p.position(1).x, 1e-4);
    QTest::mouseRelease(p.view.get(), Qt::LeftButton, Qt::NoModifier, QPoint(50, 40));
    EXPECT_FLOAT_EQ(10.0f, p.position(2).z); // not selected
}

TEST(TwoDViewGestures, ScaleFollowsSidewaysDragsAndRecordsOnlyWhatMoves) {
    FrontPane p;
    p.app.currentTool = TOOL_SCALE;
    DocumentEdit::model(p.doc).vertexInfos[0].flags |= VERTEX_SELECTED;
    DocumentEdit::model(p.doc).vertexInfos[1].flags |= VERTEX_SELECTED;
    QTest::mousePress(p.view.get(), Qt::LeftButton, Qt::NoModifier, QPoint(50, 50));
    p.moveTo(QPoint(60, 51), Qt::LeftButton); // mostly right: grow
    EXPECT_FLOAT_EQ(5.0f + 5.0f * 1.1f, p.position(1).x);
    p.moveTo(QPoint(55, 51), Qt::LeftButton); // left: shrink
    EXPECT_FLOAT_EQ(5.0f + 5.0f * 1.1f * 0.9f, p.position(1).x);
    QTest::mouseRelease(p.view.get(), Qt::LeftButton, Qt::NoModifier, QPoint(55, 51));
    EXPECT_EQ(1u, p.doc.history().size()); // one drag, one step

    // A drag that changes nothing (every axis locked; one vertex alone) leaves no step behind.
    for (int a = 0; a < 3; ++a) {
        p.shown().locks[size_t(a)] = 1;
    }
    p.drag(QPoint(50, 50), QPoint(50, 20));
    EXPECT_EQ(1u, p.doc.history().size());
    p.shown().locks = {0, 0, 0};
    DocumentEdit::model(p.doc).vertexInfos[0].flags &= ~VERTEX_SELECTED;
    p.drag(QPoint(50, 50), QPoint(50, 20));
    EXPECT_EQ(1u, p.doc.history().size());
}

TEST(TwoDViewGestures, RotateWithoutASelectionMovesNothingAndMoveZoomPansAndZooms) {
    FrontPane p;
    p.app.currentTool = TOOL_ROTATE;
    p.drag(QPoint(120, 100), QPoint(150, 50));
    p.drag(QPoint(10, 10), QPoint(190, 190));
    EXPECT_FLOAT_EQ(10.0f, p.position(1).x);
    for (const VertexInfo& info : p.doc.model().vertexInfos) {
        EXPECT_EQ(VERTEX_VISIBLE, info.flags);
    }

    p.app.currentTool = TOOL_MOVE_ZOOM;
    QTest::mouseClick(p.view.get(), Qt::LeftButton, Qt::NoModifier, QPoint(150, 100)); // recentre, zoom x 2
    EXPECT_FLOAT_EQ(25.0f, p.shown().orthoViews[1].centerU);
    EXPECT_FLOAT_EQ(2.0f, p.shown().orthoViews[1].zoom);
    QTest::mouseClick(p.view.get(), Qt::RightButton, Qt::NoModifier, QPoint(100, 100)); // zoom out
    EXPECT_FLOAT_EQ(1.0f, p.shown().orthoViews[1].zoom);
    p.drag(QPoint(100, 100), QPoint(80, 100)); // the picture follows the cursor
    EXPECT_FLOAT_EQ(35.0f, p.shown().orthoViews[1].centerU);

    // Ctrl pans whatever the tool.
    p.app.currentTool = TOOL_EDIT;
    p.drag(QPoint(100, 100), QPoint(100, 120), Qt::LeftButton, Qt::ControlModifier);
    EXPECT_FLOAT_EQ(10.0f, p.shown().orthoViews[1].centerV);
    EXPECT_FLOAT_EQ(10.0f, p.position(1).x);
}

TEST(TwoDViewGestures, DigitKeysSetTheZoomOfTheView) {
    FrontPane p;
    QTest::keyClick(p.view.get(), Qt::Key_7);
    EXPECT_FLOAT_EQ(4.0f, p.shown().orthoViews[1].zoom);
    QTest::keyClick(p.view.get(), Qt::Key_0);
    EXPECT_FLOAT_EQ(30.0f, p.shown().orthoViews[1].zoom);
    EXPECT_FLOAT_EQ(1.0f, p.shown().orthoViews[0].zoom);
}

TEST(TwoDViewGestures, GroupLevelSelectsTheGroupsOfThePickedVertex) {
    FrontPane p;
    ModelData data = makeModel(6, {tri(0, 1, 2), tri(3, 4, 5)}, 1);
    data.frames[0].positions = {{0, 0, 0},     {10, 0, 0},    {0, 0, 10},
                                {-20, 0, -20}, {-30, 0, -20}, {-20, 0, -30}};
    data.model.triangles[1].group = 1;
    loadInto(p.doc, data);
    p.app.editLevel = LEVEL_GROUP;
    QTest::mouseClick(p.view.get(), Qt::LeftButton, Qt::NoModifier, QPoint(100, 80)); // vertex 2
    EXPECT_TRUE(p.selected(0));
    EXPECT_TRUE(p.selected(1));
    EXPECT_TRUE(p.selected(2));
    EXPECT_FALSE(p.selected(3));
    for (const VertexInfo& info : p.doc.model().vertexInfos) {
        EXPECT_FALSE(info.marked());
    }
}

TEST(TwoDView, FirstPaneSetsTheZoomFactorFromItsSize) {
    FrontPane p;
    p.shown().zoomFactor = 2.0f;
    C2DView first(p.context, &p.doc, 0, 0);
    first.resize(300, 150);
    first.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&first));
    first.repaint();
    EXPECT_EQ(0, first.orientation());
    EXPECT_FLOAT_EQ(3.0f, p.shown().zoomFactor); // 50 units fit the smaller side
    C2DView side(p.context, &p.doc, 1, 0);
    EXPECT_EQ(2, side.orientation());
}

TEST(AnimationView, GoesFullScreenAndBackTwice) {
    FrontPane p;
    p.app.activeDocument = &p.doc;
    QWidget panel;
    panel.resize(300, 300);
    CAnimationView preview(p.context, &panel);
    preview.setGeometry(10, 10, 150, 158);
    panel.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&panel));
    EXPECT_EQ("Animation View", preview.windowTitle());
    for (int round = 0; round < 2; ++round) {
        preview.setFullScreen(true);
        preview.setFullScreen(true); // a second "on" must not remember the full-screen rectangle
        EXPECT_TRUE(preview.isFullScreenPreview());
        EXPECT_EQ(nullptr, preview.parentWidget());
        EXPECT_TRUE(preview.isWindow());
        QTest::keyClick(&preview, Qt::Key_A); // any key comes back
        EXPECT_FALSE(preview.isFullScreenPreview());
        EXPECT_EQ(&panel, preview.parentWidget());
        EXPECT_EQ(QRect(10, 10, 150, 158), preview.geometry());
    }
}

TEST(CameraViewWidget, DragsOrbitTheCameraAndCommandsKeepIt) {
    FrontPane p;
    CCameraView camera(p.context, &p.doc);
    camera.resize(200, 200);
    camera.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&camera));
    camera.onInitialUpdate();
    const Mat4 start = camera.camera;
    QTest::mousePress(&camera, Qt::LeftButton, Qt::NoModifier, QPoint(100, 100));
    QMouseEvent move(QEvent::MouseMove, QPointF(30, 100), camera.mapToGlobal(QPointF(30, 100)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&camera, &move);
    QTest::mouseRelease(&camera, Qt::LeftButton, Qt::NoModifier, QPoint(30, 100));
    const Mat4 turned = start * Mat4::rotationZ(1.0f);
    for (size_t i = 0; i < 3; ++i) {
        for (size_t j = 0; j < 4; ++j) {
            EXPECT_NEAR(turned.m[i][j], camera.camera.m[i][j], 1e-4);
        }
    }
    // Reset Camera puts it back where it started.
    camera.resetCamera();
    EXPECT_EQ(start, camera.camera);
}

// On a screen of pixel ratio 2 (the suite is run so as well) the 2D views draw a frame buffer of the
// screen's own pixels: edges step one device pixel at a time, not in 2-pixel stairs, while the pane keeps
// its size and the gestures above land where they do at ratio 1.
TEST(HiDpi, TwoDViewsDrawEveryDevicePixel) {
    FrontPane p;
    const qreal ratio = p.view->devicePixelRatioF();
    if (ratio == 1.0) {
        GTEST_SKIP() << "the screen's pixel ratio is 1";
    }
    const QImage picture = p.view->grab().toImage();
    ASSERT_EQ(QSize(qRound(200 * ratio), qRound(200 * ratio)), picture.size());
    // Doubled pixels make every aligned 2 x 2 block one colour; a picture drawn at device pixels has
    // blocks that straddle an edge.
    int mixed = 0;
    for (int y = 0; y + 1 < picture.height(); y += 2) {
        for (int x = 0; x + 1 < picture.width(); x += 2) {
            const QRgb c = picture.pixel(x, y);
            mixed += c != picture.pixel(x + 1, y) || c != picture.pixel(x, y + 1) ||
                     c != picture.pixel(x + 1, y + 1);
        }
    }
    EXPECT_GT(mixed, 50);
}
