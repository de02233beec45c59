// The camera pane shows the model as `faceto-cli render` draws it, whatever the animation player draws
// in between: the two views share nothing of their drawing.
#include "EditorFixture.h"
#include "app/CAnimationPlayer.h"
#include "app/CChildFrame.h"
#include "app/CFacetoApp.h"
#include "app/CMainFrame.h"
#include "app/CProjectManager.h"
#include "views/CAnimationView.h"
#include "views/CCameraView.h"
#include "views/CameraDrawing.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDockWidget>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QMainWindow>
#include <QScreen>
#include <QTest>
#include <QWheelEvent>
#include <cstdlib>

using namespace faceto;
using namespace faceto::test;

namespace {

// The camera pane as faceto-cli draws it at that size, in that mode, framed as a window first shows it.
QImage rendered(const Editor& e, const std::string& model, QSize size, const char* mode) {
    const std::string out = e.dir.path("render.png");
    const std::string command = "'" FACETO_CLI "' --settings '" + e.dir.path("cli.ini") + "' render '" +
                                model + "' '" + out + "' --view camera --fit --mode " + mode + " --size " +
                                std::to_string(size.width()) + "x" + std::to_string(size.height());
    EXPECT_EQ(0, std::system(command.c_str())) << command;
    return QImage(QString::fromStdString(out)).convertToFormat(QImage::Format_RGB32);
}

constexpr std::pair<int, const char*> MODES[] = {{FILL_FLAT, "flat"},
                                                 {FILL_GOURAUD, "gouraud"},
                                                 {FILL_TEXTURED, "textured"},
                                                 {FILL_TEXTURED_SHADED, "textured-shaded"}};

// Pixels that differ, outside `left` (the pane's corner label, which a camera picture of its own lacks).
int differentPixels(const QImage& a, const QImage& b, QRect left = {}) {
    if (a.size() != b.size()) {
        return -1;
    }
    int count = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            count += !left.contains(x, y) && (a.pixel(x, y) & 0xFFFFFF) != (b.pixel(x, y) & 0xFFFFFF) ? 1 : 0;
        }
    }
    return count;
}

// Where the camera pane's label lies: the only pixels in which it differs from `faceto-cli render`.
QRect labelArea(const QWidget* pane, int mode) {
    const QFontMetrics metrics(pane->font());
    return {0, 0, metrics.horizontalAdvance(QString::fromStdString(cameraPaneLabel(mode))) + 8,
            metrics.height() + 4};
}

} // namespace

TEST(CameraPane, ShowsWhatRenderDrawsWhileThePlayerSteps) {
    Editor e;
    const std::string model = e.dir.path("sample.md2");
    std::filesystem::copy_file(FACETO_SOURCE_DIR "/examples/sample.md2", model);
    std::filesystem::copy_file(FACETO_SOURCE_DIR "/examples/sample.pcx", e.dir.path("sample.pcx"));
    e.start({QString::fromStdString(model)});
    CCameraView* camera = e.app->activeFrame()->cameraView();
    CAnimationPlayer& player = *e.app->projectManager()->player();
    ASSERT_TRUE(player.playing());
    QApplication::processEvents();
    // The preview is the smaller picture: its frames are shorter than the pane's.
    ASSERT_LT(player.preview()->height(), camera->height());
    camera->setFocus();

    for (const Qt::Key key : {Qt::Key_2, Qt::Key_3, Qt::Key_4, Qt::Key_5}) {
        QTest::keyClick(camera, key, Qt::ShiftModifier); // the camera pane's mode
        const auto named = std::find_if(std::begin(MODES), std::end(MODES),
                                        [&](const auto& m) { return m.first == e.shown().fillMode; });
        ASSERT_NE(std::end(MODES), named);
        const char* mode = named->second;
        // Zoom in, step the player (its preview drawn between the pane's pictures), then back home.
        const QPoint centre(camera->width() / 2, camera->height() / 2);
        QWheelEvent wheel(centre, camera->mapToGlobal(centre), QPoint(), QPoint(0, 240), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(camera, &wheel);
        for (int step = 0; step < 4; ++step) {
            camera->repaint();
            player.tick();
            player.preview()->repaint();
        }
        QTest::keyClick(camera, Qt::Key_R);
        camera->repaint();
        player.tick();
        player.preview()->repaint();
        const QImage shown = camera->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QImage picture = rendered(e, model, camera->size(), mode);
        EXPECT_EQ(0, differentPixels(picture, shown, labelArea(camera, e.shown().fillMode))) << mode;
        EXPECT_GT(differentPixels(picture, shown), 0) << mode; // the label is there
    }
}

// With "Camera follows" on, the camera pane of the active window shows the frame the player shows; off,
// it shows the current frame again.
TEST(CameraPane, FollowsThePlayerWhenAsked) {
    Editor e;
    const std::string model = e.dir.path("sample.md2");
    std::filesystem::copy_file(FACETO_SOURCE_DIR "/examples/sample.md2", model);
    std::filesystem::copy_file(FACETO_SOURCE_DIR "/examples/sample.pcx", e.dir.path("sample.pcx"));
    e.start({QString::fromStdString(model)});
    CCameraView* camera = e.app->activeFrame()->cameraView();
    CAnimationPlayer& player = *e.app->projectManager()->player();
    QComboBox* animations = e.app->projectManager()->animationList();
    animations->setFocus();
    QTest::keyClick(animations, Qt::Key_Down); // walk
    ASSERT_EQ("walk", animations->currentText());
    QApplication::processEvents();
    const auto picture = [&] { return camera->grab().toImage().convertToFormat(QImage::Format_RGB32); };
    const QImage standing = picture(); // walk1, the current frame
    const int current = e.active()->currentFrameIndex();

    QTest::mouseClick(player.followBox(), Qt::LeftButton, Qt::NoModifier,
                      QPoint(8, player.followBox()->height() / 2));
    QTest::keyClick(&e.frame(), Qt::Key_BracketRight);
    QTest::keyClick(&e.frame(), Qt::Key_BracketRight); // walk2, a stride
    const int played = player.preview()->settings.shownFrame;
    ASSERT_EQ("walk2", e.active()->frames()[size_t(played)].name);
    const QImage following = picture();
    EXPECT_GT(differentPixels(standing, following), 0);
    EXPECT_EQ(current, e.active()->currentFrameIndex()); // the current frame stays

    QTest::mouseClick(player.followBox(), Qt::LeftButton, Qt::NoModifier,
                      QPoint(8, player.followBox()->height() / 2));
    EXPECT_EQ(0, differentPixels(standing, picture()));
    e.active()->setCurrentFrame(played);
    e.active()->updateAllViews();
    EXPECT_EQ(0, differentPixels(following, picture()));
}

// A model opened with no settings yet: the camera pane paints it with its skin and names its mode, the
// Skin dock waits behind a tab on a narrow screen, and windows stay inside the area when a dock takes room.
TEST(CameraPane, FirstLook) {
    Editor e;
    const std::string model = e.dir.path("sample.md2");
    std::filesystem::copy_file(FACETO_SOURCE_DIR "/examples/sample.md2", model);
    std::filesystem::copy_file(FACETO_SOURCE_DIR "/examples/sample.pcx", e.dir.path("sample.pcx"));
    e.start({QString::fromStdString(model)});
    EXPECT_EQ(FILL_TEXTURED, e.shown().fillMode);
    EXPECT_EQ("Camera (Texture Mapped)", cameraPaneLabel(e.shown().fillMode));
    CCameraView* camera = e.app->activeFrame()->cameraView();
    QApplication::processEvents();
    const QImage shown = camera->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const std::string out = e.dir.path("default.png");
    const std::string command = "'" FACETO_CLI "' --settings '" + e.dir.path("cli.ini") + "' render '" +
                                model + "' '" + out + "' --view camera --fit --size " +
                                std::to_string(camera->width()) + "x" + std::to_string(camera->height());
    ASSERT_EQ(0, std::system(command.c_str()));
    const QImage picture = QImage(QString::fromStdString(out)).convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(0, differentPixels(picture, shown, labelArea(camera, FILL_TEXTURED)));

    auto* project = e.frame().findChild<QDockWidget*>("dialogBar");
    auto* skin = e.frame().findChild<QDockWidget*>("skinView");
    if (QGuiApplication::primaryScreen()->availableGeometry().width() < 1280) {
        EXPECT_TRUE(e.frame().tabifiedDockWidgets(project).contains(skin));
    }
    // A window reaching to the area's edge, then a dock shown beside the area.
    QMdiSubWindow* window = e.frame().mdiArea()->subWindowList().front();
    const QSize room = e.frame().mdiArea()->viewport()->size();
    window->setGeometry(room.width() / 4, 0, room.width() * 3 / 4, room.height());
    e.trigger("viewUndoHistory");
    QApplication::processEvents();
    ASSERT_LT(e.frame().mdiArea()->viewport()->width(), room.width());
    EXPECT_TRUE(e.frame().mdiArea()->viewport()->rect().contains(window->geometry()));
}
