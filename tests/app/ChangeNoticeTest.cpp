// A change tells what it touched, and only what shows that is drawn or rebuilt again: a drag of vertices
// redraws the panes once a step and rebuilds no panel.
#include "EditorFixture.h"
#include "app/CAnimationPlayer.h"
#include "app/CProjectManager.h"
#include "app/CSkinPanel.h"
#include "app/CUndoHistoryPanel.h"
#include "document/FrameOperations.h"
#include "views/C2DView.h"
#include "views/CAnimationView.h"
#include "views/CCameraView.h"
#include "views/CameraDrawing.h"
#include "views/OrthoView.h"
#include "views/QtFramePresenter.h"

#include <QDockWidget>
#include <QElapsedTimer>
#include <QMouseEvent>

using namespace faceto;
using namespace faceto::test;

namespace {

// The editor on a small model with every vertex selected; its front pane.
C2DView* startWithAllSelected(Editor& e) {
    e.start({e.writeModel("m.fm")});
    QApplication::processEvents();
    C2DView* front = e.app->activeFrame()->view2D(1, 0);
    QTest::keyClick(front, Qt::Key_C, Qt::ShiftModifier); // select all
    QApplication::processEvents();
    return front;
}

} // namespace

TEST(ChangeNotices, ADragRedrawsThePanesOnceAStepAndRebuildsNoPanel) {
    Editor e;
    e.start({e.writeModel("m.fm")});
    e.frame().findChild<QDockWidget*>("undoHistory")->show();
    QApplication::processEvents();
    CChildFrame* window = e.app->activeFrame();
    C2DView* front = window->view2D(1, 0);
    QTest::keyClick(front, Qt::Key_C, Qt::ShiftModifier); // select all
    QApplication::processEvents();

    CProjectManager& project = *e.app->projectManager();
    CSkinPanel& skins = *e.app->skinPanel();
    auto* history = e.frame().findChild<CUndoHistoryPanel*>();
    ASSERT_NE(nullptr, history);
    const int projectBefore = project.rebuilds();
    const int skinsBefore = skins.rebuilds();
    const int historyBefore = history->rebuilds();
    ASSERT_FALSE(window->parentWidget()->isWindowModified());

    PaintCounter counter;
    const std::vector<QWidget*> panes{window->view2D(0, 0), window->view2D(0, 1), front,
                                      window->cameraView()};
    for (QWidget* pane : panes) {
        pane->installEventFilter(&counter);
    }
    const OrthoMapping map(e.shown(), front->orientation(), front->width(), front->height());
    const Pixel at = map.toWindow(e.active()->currentFrame()->positions[1]);
    QPoint p(at.x, at.y);
    QTest::mousePress(front, Qt::LeftButton, Qt::NoModifier, p);
    constexpr int STEPS = 40;
    for (int step = 0; step < STEPS; ++step) {
        p += QPoint(1, step % 2);
        QMouseEvent move(QEvent::MouseMove, p, front->mapToGlobal(p), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QApplication::sendEvent(front, &move);
        QApplication::processEvents();
    }
    QTest::mouseRelease(front, Qt::LeftButton, Qt::NoModifier, p);
    QApplication::processEvents();

    EXPECT_EQ(1u, e.active()->history().size()); // one drag, one step
    EXPECT_EQ(projectBefore, project.rebuilds());
    EXPECT_EQ(skinsBefore, skins.rebuilds());
    EXPECT_LE(history->rebuilds() - historyBefore, 1);       // the new step, listed once
    EXPECT_TRUE(window->parentWidget()->isWindowModified()); // the title's "*"
    for (QWidget* pane : panes) {
        EXPECT_GE(counter.paints[pane], STEPS / 2) << pane->metaObject()->className();
        EXPECT_LE(counter.paints[pane], STEPS + 2) << pane->metaObject()->className();
    }
}

// A playing animation of one frame costs nothing at rest: its steps show the same frame and the preview
// is not drawn again; an edit of the model draws it again.
TEST(ChangeNotices, ThePlayerDrawsAnUnchangedFrameOnce) {
    Editor e;
    e.start({e.writeModel("m.fm")});
    ASSERT_TRUE(selectAnimationByName(*e.active(), "stand"));
    CAnimationPlayer& player = *e.app->projectManager()->player();
    player.tick();
    QApplication::processEvents();
    PaintCounter counter;
    player.preview()->installEventFilter(&counter);
    for (int step = 0; step < 10; ++step) {
        player.tick();
        QApplication::processEvents();
    }
    EXPECT_EQ(0, counter.paints[player.preview()]);
    e.trigger("mirrorX");
    QApplication::processEvents();
    EXPECT_EQ(1, counter.paints[player.preview()]);
}

// The preview follows a drag ten times a second, not at every step, and always ends on its last step:
// once the drag is over it shows what a preview drawn afresh shows. Another change draws it at once.
TEST(ChangeNotices, ThePreviewFollowsADragTenTimesASecondAndShowsItsEnd) {
    Editor e;
    C2DView* front = startWithAllSelected(e);
    CAnimationPlayer& player = *e.app->projectManager()->player();
    player.setPaused(true); // the player's own steps do not draw it meanwhile
    ASSERT_FALSE(player.playing());
    CAnimationView& preview = *player.preview();
    ASSERT_TRUE(preview.isVisible());
    QApplication::processEvents();
    PaintCounter counter;
    preview.installEventFilter(&counter);
    const OrthoMapping map(e.shown(), front->orientation(), front->width(), front->height());
    const Pixel at = map.toWindow(e.active()->currentFrame()->positions[1]);
    QPoint p(at.x, at.y);
    QTest::mousePress(front, Qt::LeftButton, Qt::NoModifier, p);
    QElapsedTimer clock;
    clock.start();
    int steps = 0;
    while (clock.elapsed() < 350) { // about four tenths of a second of steps, 2 ms apart
        p += QPoint(1, steps++ % 2);
        QMouseEvent move(QEvent::MouseMove, p, front->mapToGlobal(p), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QApplication::sendEvent(front, &move);
        QApplication::processEvents();
        QTest::qWait(2);
    }
    QTest::mouseRelease(front, Qt::LeftButton, Qt::NoModifier, p);
    const int duringDrag = counter.paints[&preview];
    // One for each tenth of a second, and one for the first step (which adds the drag's undo step).
    EXPECT_GE(duringDrag, 2);
    EXPECT_LE(duringDrag, 2 + int(clock.elapsed() / 100)) << steps << " steps";
    EXPECT_LT(duringDrag, steps);
    QTest::qWait(250);
    PaletteTables tables = PaletteTables::builtIn();
    Rasterizer alone(tables);
    QtFramePresenter picture;
    PreviewSettings settings = preview.settings;
    drawPreview(alone, e.active(), settings, preview.camera, preview.shownPicture().width(),
                preview.shownPicture().height(), &picture);
    EXPECT_EQ(picture.image(), preview.shownPicture());
    const int before = counter.paints[&preview];
    e.trigger("mirrorX");
    QApplication::processEvents();
    EXPECT_EQ(before + 1, counter.paints[&preview]);
}

// The panes a drag step changes are drawn at once, on several cores, and show what each would have
// drawn alone.
TEST(ChangeNotices, ADragStepDrawsThePanesTogetherWithTheirOwnPixels) {
    Editor e;
    C2DView* front = startWithAllSelected(e);
    CChildFrame* window = e.app->activeFrame();
    const uint64_t before = ConcurrentPane::framesDrawnWithOthers();
    const OrthoMapping map(e.shown(), front->orientation(), front->width(), front->height());
    const Pixel at = map.toWindow(e.active()->currentFrame()->positions[1]);
    QPoint p(at.x, at.y);
    QTest::mousePress(front, Qt::LeftButton, Qt::NoModifier, p);
    PaletteTables tables = PaletteTables::builtIn();
    for (int step = 0; step < 6; ++step) {
        p += QPoint(2, 1);
        QMouseEvent move(QEvent::MouseMove, p, front->mapToGlobal(p), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QApplication::sendEvent(front, &move);
        QApplication::processEvents();
        for (C2DView* pane : {window->view2D(0, 0), window->view2D(0, 1), front}) {
            Rasterizer alone(tables);
            QtFramePresenter picture;
            drawOrthoView(alone, *e.active(), e.shown(), pane->orientation(), e.app->state(), pane->width(),
                          pane->height(), &picture, nullptr);
            ASSERT_EQ(picture.image(), pane->shownPicture()) << "step " << step;
        }
        Rasterizer alone(tables);
        QtFramePresenter picture;
        CCameraView* camera = window->cameraView();
        drawCameraView(alone, e.active(), e.shown(), camera->camera, camera->width(), camera->height(),
                       &picture);
        ASSERT_EQ(picture.image(), camera->shownPicture()) << "step " << step;
    }
    QTest::mouseRelease(front, Qt::LeftButton, Qt::NoModifier, p);
    QApplication::processEvents();
    EXPECT_GE(ConcurrentPane::framesDrawnWithOthers() - before, 6u * 4u);
}
