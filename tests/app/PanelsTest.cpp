#include "EditorFixture.h"
#include "app/CAnimationPlayer.h"
#include "app/CGridPanel.h"
#include "app/CPrimitivesPanel.h"
#include "app/CProjectManager.h"
#include "app/CUndoHistoryPanel.h"
#include "app/Dialogs.h"
#include "document/DocumentEdit.h"
#include "document/FrameOperations.h"
#include "views/C2DView.h"
#include "views/CAnimationView.h"
#include "views/CFlatBitmapButton.h"
#include "views/OrthoView.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDockWidget>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

using namespace faceto;
using namespace faceto::test;

namespace {

// An editor with one document: run (run1..run3), stand (stand1), pose (pose1), three groups.
struct PanelEditor : Editor {
    CFacetoDoc* doc = nullptr;
    PanelEditor() {
        ModelData data = makeModel(7, {tri(0, 1, 2), tri(2, 3, 4), tri(4, 5, 6)}, 5);
        const char* names[] = {"run1", "run2", "run3", "stand1", "pose1"};
        for (size_t i = 0; i < 5; ++i) {
            data.frames[i].name = names[i];
        }
        for (int t = 0; t < 3; ++t) {
            data.model.triangles[size_t(t)].group = t;
        }
        writeNative(dir.path("m.fm"), data.model, data.frames, data.source);
        start({path("m.fm")});
        doc = app->documents().front().get();
    }
    CProjectManager& panel() { return *app->projectManager(); }
    QStringList frameNames() {
        QStringList out;
        for (int i = 0; i < panel().frameList()->count(); ++i) {
            out << panel().frameList()->item(i)->text();
        }
        return out;
    }
    QStringList animationNames() {
        QStringList out;
        for (int i = 0; i < panel().animationList()->count(); ++i) {
            out << panel().animationList()->itemText(i);
        }
        return out;
    }
    void clickFrame(const QString& name) {
        QListWidget* list = panel().frameList();
        const auto items = list->findItems(name, Qt::MatchExactly);
        ASSERT_EQ(1, items.size()) << name.toStdString();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier,
                          list->visualItemRect(items[0]).center());
    }
    void chooseAnimation(const QString& name) {
        QComboBox* combo = panel().animationList();
        const int index = combo->findText(name);
        ASSERT_GE(index, 0);
        combo->setFocus();
        while (combo->currentIndex() != index) {
            QTest::keyClick(combo, combo->currentIndex() < index ? Qt::Key_Down : Qt::Key_Up);
        }
    }
    // Right-clicks a frame in the list and picks a command of the menu that opens, as a user does.
    void rightClickFrame(const QString& name, const QString& command) {
        QListWidget* list = panel().frameList();
        const auto items = list->findItems(name, Qt::MatchExactly);
        ASSERT_EQ(1, items.size()) << name.toStdString();
        const QPoint at = list->visualItemRect(items[0]).center();
        QTest::mouseClick(list->viewport(), Qt::RightButton, Qt::NoModifier, at);
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, list->viewport()->mapToGlobal(at));
        QApplication::sendEvent(list->viewport(), &event);
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(nullptr, menu);
        for (QAction* a : menu->actions()) {
            if (a->text() == command) {
                menu->setActiveAction(a);
                QTest::keyClick(menu, Qt::Key_Return);
                return;
            }
        }
        FAIL() << "no " << command.toStdString();
    }
    void frameCommand(const QString& text) {
        for (QAction* a : panel().frameMenu()->actions()) {
            if (a->text() == text) {
                ASSERT_TRUE(a->isEnabled()) << text.toStdString();
                a->trigger();
                return;
            }
        }
        FAIL() << "no " << text.toStdString();
    }
    QAction* groupAction(int group, const QString& text) {
        QTreeWidgetItem* item = group >= 0 ? panel().groupTree()->topLevelItem(group) : nullptr;
        for (QAction* a : panel().groupMenu(item)->actions()) {
            if (a->text() == text) {
                return a;
            }
        }
        return nullptr;
    }
};

} // namespace

TEST(ProjectManager, ListsAnimationsFramesAndGroupsWithCounts) {
    PanelEditor e;
    EXPECT_EQ((QStringList{"run", "stand", "pose"}), e.animationNames());
    EXPECT_EQ((QStringList{"run1", "run2", "run3"}), e.frameNames());
    EXPECT_EQ(3, e.panel().groupTree()->topLevelItemCount());
    EXPECT_EQ("Tri: 3\nVert: 7\nAnim: 3\nFram: 5", e.panel().caption()->text());
    EXPECT_EQ(e.panel().player(), e.panel().subPanels()->currentWidget()); // "A" at start
}

TEST(ProjectManager, PickingAnimationsAndFrames) {
    PanelEditor e;
    e.chooseAnimation("stand");
    EXPECT_EQ(1, e.doc->currentAnimationIndex());
    EXPECT_EQ("stand1", e.doc->currentFrame()->name);
    EXPECT_EQ((QStringList{"stand1"}), e.frameNames());
    e.chooseAnimation("run");
    e.clickFrame("run3");
    EXPECT_EQ(2, e.doc->currentFrameIndex());
    EXPECT_EQ(&e.doc->frames()[2], e.doc->currentFrame());
    // Arrow keys in the frame list step through the frames.
    e.panel().frameList()->setFocus();
    QTest::keyClick(e.panel().frameList(), Qt::Key_Up);
    QApplication::processEvents();
    EXPECT_EQ(1, e.doc->currentFrameIndex());
}

TEST(ProjectManager, InsertBeforeAndAfterRenameTheAnimation) {
    PanelEditor e;
    QMenu* menu = e.panel().frameMenu();
    for (QAction* a : menu->actions()) {
        if (a->text().startsWith("Insert")) {
            EXPECT_FALSE(a->isEnabled()); // nothing to insert yet
        }
    }
    e.clickFrame("run2");
    e.frameCommand("Copy");
    e.frameCommand("Insert After");
    EXPECT_EQ((QStringList{"run1", "run2", "run3", "run4"}), e.frameNames());
    EXPECT_EQ(2, e.doc->currentFrameIndex()); // the new third frame is current
    EXPECT_EQ("run3", e.doc->currentFrame()->name);
    EXPECT_EQ("run3", e.panel().frameList()->currentItem()->text());
    e.clickFrame("run1");
    e.frameCommand("Insert Before");
    EXPECT_EQ((QStringList{"run1", "run2", "run3", "run4", "run5"}), e.frameNames());
    EXPECT_EQ(0, e.doc->currentFrameIndex());
    EXPECT_EQ("Tri: 3\nVert: 7\nAnim: 3\nFram: 7", e.panel().caption()->text());
    EXPECT_TRUE(modelIsConsistent(*e.doc));
}

TEST(ProjectManager, CutAndCopyTakeTheFrameRightClicked) {
    PanelEditor e;
    e.clickFrame("run1");
    e.rightClickFrame("run3", "Copy");
    EXPECT_EQ("run3", e.app->state().clipboard.frame().name);
    e.clickFrame("run1");
    e.rightClickFrame("run2", "Cut");
    EXPECT_EQ("run2", e.app->state().clipboard.frame().name);
    EXPECT_EQ((QStringList{"run1", "run3"}), e.frameNames()); // the others keep their names
    EXPECT_EQ(4u, e.doc->frames().size());
    // Pasted back after run1, the cut frame is there again, its animation numbered again.
    e.rightClickFrame("run1", "Insert After");
    EXPECT_EQ((QStringList{"run1", "run2", "run3"}), e.frameNames());
    EXPECT_EQ(e.app->state().clipboard.frame().positions, e.doc->frames()[1].positions);
}

// A frame renamed into another animation takes its place there by its number, however late it comes in
// the frame list; the player plays the animation in that order.
TEST(ProjectManager, AnAnimationsFramesGoInTheOrderOfTheirNumbers) {
    PanelEditor e;
    e.chooseAnimation("pose");
    e.dialogs.onDialog = [](QDialog& d) {
        dynamic_cast<NameDialog&>(d).nameEdit()->setText("run0");
        return int(QDialog::Accepted);
    };
    e.rightClickFrame("pose1", "Properties"); // the last frame of the list becomes run's first
    EXPECT_EQ((QStringList{"run0", "run1", "run2", "run3"}), e.frameNames());
    CAnimationPlayer& player = *e.panel().player();
    player.playStep = 0;
    player.tick();
    EXPECT_EQ("run0", e.doc->frames()[size_t(player.preview()->settings.shownFrame)].name);
}

// With Smooth ticked each step of the player draws towards the next frame of the animation (round it
// when it loops); unticked, frame by frame as before.
TEST(ProjectManager, TheSmoothPlayerBlendsTowardsTheNextFrame) {
    PanelEditor e;
    e.chooseAnimation("run");
    CAnimationPlayer& player = *e.panel().player();
    PreviewSettings& s = player.preview()->settings;
    player.smoothBox()->setChecked(true);
    player.loopBox()->setChecked(true);
    player.playStep = 0;
    player.tick();
    EXPECT_EQ("run1", e.doc->frames()[size_t(s.shownFrame)].name);
    EXPECT_EQ("run2", e.doc->frames()[size_t(s.blendFrame)].name);
    player.playStep = 2;
    player.tick();
    EXPECT_EQ("run1", e.doc->frames()[size_t(s.blendFrame)].name); // round the animation
    player.smoothBox()->setChecked(false);
    EXPECT_EQ(-1, s.blendFrame);
    player.tick();
    EXPECT_EQ(-1, s.blendFrame);
}

// A frame dragged to another row of the list moves there as one step; the frames are named after their
// new places.
TEST(ProjectManager, AFrameDraggedInTheListMovesThere) {
    PanelEditor e;
    e.chooseAnimation("run");
    const FrameVertex third = e.doc->frames()[2].positions[0];
    QListWidget* list = e.panel().frameList();
    ASSERT_TRUE(list->model()->moveRow(QModelIndex(), 2, QModelIndex(), 0));
    QApplication::processEvents();
    EXPECT_EQ((QStringList{"run1", "run2", "run3"}), e.frameNames());
    EXPECT_EQ(third, e.doc->frames()[0].positions[0]);
    EXPECT_EQ("Move Frame", e.doc->history().undoName());
}

TEST(ProjectManager, CutRemovesAFrameButOnlyCopiesTheLastOne) {
    PanelEditor e;
    e.clickFrame("run2");
    e.frameCommand("Cut");
    EXPECT_EQ((QStringList{"run1", "run3"}), e.frameNames());
    EXPECT_EQ(4u, e.doc->frames().size());
    e.chooseAnimation("stand");
    e.clickFrame("stand1");
    e.frameCommand("Cut");
    EXPECT_EQ((QStringList{"stand1"}), e.frameNames());
    EXPECT_EQ("stand1", e.app->state().clipboard.frame().name);
    EXPECT_EQ(4u, e.doc->frames().size());
}

TEST(ProjectManager, DeleteAsksAndAddingNeedsAName) {
    PanelEditor e;
    e.chooseAnimation("stand");
    e.dialogs.yes = false;
    QTest::mouseClick(e.panel().delButton(), Qt::LeftButton);
    EXPECT_EQ((QStringList{"Are you sure you want to delete stand and all of the associated frames?"}),
              e.dialogs.questions);
    EXPECT_EQ(3u, e.doc->animations().size());
    e.dialogs.yes = true;
    QTest::mouseClick(e.panel().delButton(), Qt::LeftButton);
    EXPECT_EQ((QStringList{"run", "pose"}), e.animationNames());
    EXPECT_EQ(4u, e.doc->frames().size());
    EXPECT_EQ("run", e.panel().animationList()->currentText()); // the first one takes over

    // An animation added without a name is listed under "(no name)" and can be chosen.
    e.dialogs.onDialog = [](QDialog& dialog) {
        auto* add = qobject_cast<AddAnimationDialog*>(&dialog);
        EXPECT_EQ("Add Animation", add->windowTitle());
        return int(QDialog::Accepted);
    };
    QTest::mouseClick(e.panel().insButton(), Qt::LeftButton);
    EXPECT_EQ(3u, e.doc->animations().size());
    EXPECT_EQ((QStringList{"run", "pose", "(no name)"}), e.animationNames());
    EXPECT_TRUE(e.frameNames().isEmpty()); // the new animation is current and has no frames
    e.dialogs.onDialog = [](QDialog& dialog) {
        qobject_cast<AddAnimationDialog*>(&dialog)->nameEdit()->setText("jump");
        return int(QDialog::Accepted);
    };
    QTest::mouseClick(e.panel().insButton(), Qt::LeftButton);
    EXPECT_EQ((QStringList{"run", "pose", "(no name)", "jump"}), e.animationNames());
    EXPECT_EQ("jump", e.panel().animationList()->currentText());
}

TEST(ProjectManager, AnAnimationWithoutANameCanBeChosen) {
    // A frame without digits ("base") makes an animation with an empty name, as in Quake's debris.mdl.
    Editor e;
    ModelData data = makeModel(3, {tri(0, 1, 2)}, 3);
    data.frames[0].name = "large1";
    data.frames[1].name = "base";
    data.frames[2].name = "large2";
    writeNative(e.dir.path("debris.fm"), data.model, data.frames, data.source);
    e.start({e.path("debris.fm")});
    CProjectManager& panel = *e.app->projectManager();
    QComboBox* combo = panel.animationList();
    ASSERT_EQ(2, combo->count());
    EXPECT_EQ("large", combo->itemText(0));
    EXPECT_EQ("(no name)", combo->itemText(1));
    combo->setFocus();
    QTest::keyClick(combo, Qt::Key_Down);
    ASSERT_EQ(1, panel.frameList()->count());
    EXPECT_EQ("base", panel.frameList()->item(0)->text());
    EXPECT_EQ("base", e.active()->currentFrame()->name);
    QTest::keyClick(combo, Qt::Key_Up);
    EXPECT_EQ("large1", e.active()->currentFrame()->name);
}

TEST(ProjectManager, HidingAGroupHidesItsSharedVertices) {
    PanelEditor e;
    EXPECT_TRUE(e.groupAction(1, "Properties")->isEnabled());
    EXPECT_TRUE(e.groupAction(1, "Delete")->isEnabled());
    EXPECT_FALSE(e.groupAction(-1, "Visible")->isEnabled()); // not over a group
    EXPECT_FALSE(e.groupAction(-1, "Properties")->isEnabled());
    EXPECT_FALSE(e.groupAction(-1, "Delete")->isEnabled());
    QAction* visible = e.groupAction(1, "Visible");
    EXPECT_TRUE(visible->isEnabled());
    EXPECT_TRUE(visible->isChecked());
    visible->trigger();
    EXPECT_FALSE(e.doc->model().vertexInfos[2].visible()); // shared with group 0
    EXPECT_FALSE(e.doc->model().vertexInfos[4].visible()); // shared with group 2
    EXPECT_TRUE(e.doc->model().vertexInfos[0].visible());
    EXPECT_FALSE(e.groupAction(1, "Visible")->isChecked());
    e.groupAction(1, "Visible")->trigger();
    EXPECT_TRUE(e.doc->model().vertexInfos[2].visible());
}

TEST(ProjectManager, FollowsTheActiveDocument) {
    PanelEditor e;
    CFacetoDoc* other = e.app->newDocument();
    EXPECT_EQ((QStringList{"frame"}), e.animationNames());
    EXPECT_EQ((QStringList{"frame1"}), e.frameNames());
    e.activate(e.doc);
    EXPECT_EQ((QStringList{"run", "stand", "pose"}), e.animationNames());
    e.activate(other);
    EXPECT_EQ((QStringList{"frame"}), e.animationNames());
    // Closing a window: the panels move to the document still open before the closed one is freed
    // (run under AddressSanitizer, a read of the freed document fails this test).
    e.trigger("fileClose");
    EXPECT_EQ(e.doc, e.app->state().activeDocument);
    EXPECT_EQ((QStringList{"run", "stand", "pose"}), e.animationNames());
    e.trigger("fileClose");
    EXPECT_EQ(nullptr, e.app->state().activeDocument);
    EXPECT_TRUE(e.animationNames().isEmpty());
    EXPECT_EQ(0, e.panel().groupTree()->topLevelItemCount());
    EXPECT_EQ("Tri:\nVert:\nAnim:\nFram:", e.panel().caption()->text());
}

TEST(AnimationPlayer, PlaysTheCurrentAnimationOnTimerTicks) {
    PanelEditor e;
    CAnimationPlayer& player = *e.panel().player();
    EXPECT_TRUE(player.playing());
    PreviewSettings& s = player.preview()->settings;
    std::vector<int> shown;
    for (int i = 0; i < 5; ++i) {
        player.tick();
        shown.push_back(s.shownFrame);
    }
    EXPECT_EQ((std::vector<int>{0, 1, 2, 0, 1}), shown);
    // The step is kept when another document becomes active; bounded by that animation's length.
    CFacetoDoc* other = e.app->newDocument();
    player.tick();
    EXPECT_EQ(0, s.shownFrame);
    EXPECT_EQ(1, player.playStep);
    // No animations: frame 0 at the next redraw; an animation without frames: no frame.
    DocumentEdit::animations(*other).clear();
    player.tick();
    EXPECT_EQ(0, s.shownFrame);
    EXPECT_EQ(0, player.playStep);
    addAnimation(*other, "empty");
    player.tick();
    EXPECT_EQ(-1, s.shownFrame);
    // Hidden, the player stops.
    QTest::mouseClick(e.panel().panelButton('G'), Qt::LeftButton);
    EXPECT_FALSE(player.playing());
    QTest::mouseClick(e.panel().panelButton('T'), Qt::LeftButton); // the tool and level buttons
    EXPECT_EQ(e.panel().toolsPage(), e.panel().subPanels()->currentWidget());
    QTest::mouseClick(e.panel().panelButton('A'), Qt::LeftButton);
    EXPECT_TRUE(player.playing());
}

TEST(AnimationPlayer, PausesStepsAndStopsAtTheEndWhenNotLooping) {
    PanelEditor e;
    CAnimationPlayer& player = *e.panel().player();
    PreviewSettings& s = player.preview()->settings;
    player.tick();
    ASSERT_EQ(0, s.shownFrame);
    // Pausing keeps the panel where it is.
    QTest::mouseClick(player.playButton(), Qt::LeftButton);
    EXPECT_TRUE(player.paused());
    EXPECT_FALSE(player.playing());
    EXPECT_EQ(&player, e.panel().subPanels()->currentWidget());
    EXPECT_TRUE(player.isVisible());
    EXPECT_EQ(0, s.shownFrame);
    QTest::keyClick(&e.frame(), Qt::Key_Space, Qt::ControlModifier);
    EXPECT_TRUE(player.playing());
    // A step on or back pauses and moves one frame, round the animation; the slider follows.
    QTest::keyClick(&e.frame(), Qt::Key_BracketRight);
    EXPECT_TRUE(player.paused());
    EXPECT_EQ(1, s.shownFrame);
    EXPECT_EQ(1, player.slider()->value());
    QTest::keyClick(&e.frame(), Qt::Key_BracketLeft);
    QTest::keyClick(&e.frame(), Qt::Key_BracketLeft);
    EXPECT_EQ(2, s.shownFrame);
    EXPECT_EQ(2, player.slider()->value());
    // Not looped, playing stops on the last frame and stays there.
    QTest::mouseClick(player.loopBox(), Qt::LeftButton, Qt::NoModifier,
                      QPoint(8, player.loopBox()->height() / 2));
    ASSERT_FALSE(player.loopBox()->isChecked());
    QTest::keyClick(&e.frame(), Qt::Key_BracketRight); // run1
    QTest::mouseClick(player.playButton(), Qt::LeftButton);
    std::vector<int> shown;
    for (int i = 0; i < 4; ++i) {
        player.tick();
        shown.push_back(s.shownFrame);
    }
    EXPECT_EQ((std::vector<int>{1, 2, 2, 2}), shown);
    EXPECT_TRUE(player.paused());
    // Playing again from the end starts over.
    QTest::mouseClick(player.playButton(), Qt::LeftButton);
    player.tick();
    EXPECT_EQ(0, s.shownFrame);
    // The rate, typed in; it and the loop switch are kept for the next session.
    player.rateBox()->setFocus();
    player.rateBox()->selectAll();
    QTest::keyClicks(player.rateBox(), "25");
    QTest::keyClick(player.rateBox(), Qt::Key_Return);
    EXPECT_EQ(40, player.stepMilliseconds());
    EXPECT_EQ(25, e.app->profile().getInt("Pref", "PlayerRate", 0));
    EXPECT_EQ(0, e.app->profile().getInt("Pref", "PlayerLoop", 1));
    // The menu's Play/Pause shows a hidden player, playing.
    QTest::mouseClick(e.panel().panelButton('G'), Qt::LeftButton);
    EXPECT_FALSE(player.playing());
    e.trigger("playerPlayPause");
    EXPECT_TRUE(player.isVisible());
    EXPECT_TRUE(player.playing());
}

TEST(AnimationPlayer, SwitchesFillSkinsAndFullScreen) {
    PanelEditor e;
    CAnimationPlayer& player = *e.panel().player();
    PreviewSettings& s = player.preview()->settings;
    auto fill = [&] { return std::pair<int, int>{s.textured, s.shaded}; };
    QTest::mouseClick(player.button('T'), Qt::LeftButton);
    EXPECT_EQ((std::pair<int, int>{1, 0}), fill()); // textured
    QTest::mouseClick(player.button('T'), Qt::LeftButton);
    EXPECT_EQ((std::pair<int, int>{0, 0}), fill()); // no fill
    QTest::mouseClick(player.button('T'), Qt::LeftButton);
    EXPECT_EQ((std::pair<int, int>{0, 1}), fill()); // shaded
    QTest::mouseClick(player.button('T'), Qt::LeftButton);
    EXPECT_EQ((std::pair<int, int>{1, 0}), fill());

    QTest::mouseClick(player.button('V'), Qt::LeftButton);
    EXPECT_EQ(1, s.showVertices);
    EXPECT_TRUE(player.button('V')->isLatched());
    EXPECT_TRUE(player.button('V')->looksPressed());
    QTest::mouseClick(player.button('V'), Qt::LeftButton);
    EXPECT_FALSE(player.button('V')->isLatched());
    QTest::mouseClick(player.button('L'), Qt::LeftButton);
    EXPECT_EQ(1, s.showEdges);
    EXPECT_TRUE(player.button('L')->isLatched());

    // Two skins: "S" moves past the last one and the preview wraps to the first.
    Skin skin;
    skin.imageWidth = skin.imageHeight = 4;
    skin.bitsPerPixel = 8;
    skin.pixels.assign(16, 5);
    skin.palette.assign(256, PaletteEntry{0, 0, 0, 0});
    DocumentEdit::model(*e.doc).skins = {skin, skin};
    s.skinIndex = 1;
    QTest::mouseClick(player.button('S'), Qt::LeftButton);
    EXPECT_EQ(2, s.skinIndex);
    player.preview()->repaint();
    EXPECT_EQ(0, s.skinIndex);

    QWidget* panelArea = player.preview()->parentWidget();
    const QRect normal = player.preview()->geometry();
    for (int round = 0; round < 2; ++round) {
        QTest::mouseClick(player.button('F'), Qt::LeftButton);
        EXPECT_TRUE(player.preview()->isFullScreenPreview());
        EXPECT_TRUE(player.preview()->isWindow());
        if (round == 0) {
            QTest::keyClick(player.preview(), Qt::Key_Space); // any key
        } else {
            player.leaveFullScreen(); // what the main window's Escape does
        }
        EXPECT_FALSE(player.preview()->isFullScreenPreview());
        EXPECT_EQ(panelArea, player.preview()->parentWidget());
        EXPECT_EQ(normal, player.preview()->geometry());
    }
}

TEST(GridPanel, ReadsTheDocumentWhenShownAndAppliesTheSpacing) {
    PanelEditor e;
    QTest::mouseClick(e.panel().panelButton('G'), Qt::LeftButton);
    CGridPanel& grid = *e.panel().gridPanel();
    EXPECT_TRUE(grid.visibleBox()->isChecked());
    EXPECT_FALSE(grid.snapBox()->isChecked());
    EXPECT_EQ("10", grid.spacingEdit()->text());
    EXPECT_EQ("Previous", grid.frameCombo()->currentText());

    // Clicked on their boxes, as a user clicks them.
    QTest::mouseClick(grid.snapBox(), Qt::LeftButton, Qt::NoModifier,
                      QPoint(6, grid.snapBox()->height() / 2));
    EXPECT_EQ(1, e.shown(e.doc).snapToGrid);
    QTest::mouseClick(grid.visibleBox(), Qt::LeftButton, Qt::NoModifier,
                      QPoint(6, grid.visibleBox()->height() / 2));
    EXPECT_EQ(0, e.shown(e.doc).gridVisible);

    grid.spacingEdit()->setText("2.5");
    QTest::mouseClick(grid.applyButton(), Qt::LeftButton);
    EXPECT_EQ(2.5f, e.shown(e.doc).gridSpacing);
    grid.spacingEdit()->setText("0");
    QTest::mouseClick(grid.applyButton(), Qt::LeftButton);
    EXPECT_EQ(1.0f, e.shown(e.doc).gridSpacing);
    EXPECT_EQ(QStringList{"Enter a number between 1e-08 and 1000."}, e.dialogs.messages);
    grid.spacingEdit()->setText("-4");
    QTest::mouseClick(grid.applyButton(), Qt::LeftButton);
    EXPECT_EQ(1.0f, e.shown(e.doc).gridSpacing);
    grid.spacingEdit()->setText("5000");
    QTest::mouseClick(grid.applyButton(), Qt::LeftButton);
    EXPECT_EQ(1.0f, e.shown(e.doc).gridSpacing); // refused
    grid.spacingEdit()->setText("ten");
    QTest::mouseClick(grid.applyButton(), Qt::LeftButton);
    EXPECT_EQ(1.0f, e.shown(e.doc).gridSpacing);
    EXPECT_EQ((QStringList{"Enter a number between 1e-08 and 1000.", "Enter a number between 1e-08 and 1000.",
                           "Enter a number between 1e-08 and 1000.", "Enter a number."}),
              e.dialogs.messages);

    // Another document: the controls keep the first one's values until the panel is shown again.
    CFacetoDoc* other = e.app->newDocument();
    e.shown(other).gridSpacing = 7.0f;
    EXPECT_EQ("ten", grid.spacingEdit()->text());
    QTest::mouseClick(e.panel().panelButton('P'), Qt::LeftButton);
    QTest::mouseClick(e.panel().panelButton('G'), Qt::LeftButton);
    EXPECT_EQ("7", grid.spacingEdit()->text());

    // Without a document the panel reads nothing and its controls rest.
    e.trigger("fileClose");
    e.trigger("fileClose");
    QTest::mouseClick(e.panel().panelButton('P'), Qt::LeftButton);
    QTest::mouseClick(e.panel().panelButton('G'), Qt::LeftButton);
    EXPECT_FALSE(grid.applyButton()->isEnabled());
    EXPECT_FALSE(grid.spacingEdit()->isEnabled());
}

TEST(PrimitivesPanel, ListsTheShapesSorted) {
    PanelEditor e;
    QTest::mouseClick(e.panel().panelButton('P'), Qt::LeftButton);
    QListWidget* list = e.panel().primitivesPanel()->list();
    QStringList items;
    for (int i = 0; i < list->count(); ++i) {
        items << list->item(i)->text();
    }
    EXPECT_EQ((QStringList{"Cone", "Cube", "Cylinder", "Sphere", "Triangle"}), items);
}

TEST(FlatBitmapButton, FacesFollowTheStateAndThePicture) {
    QWidget window;
    CFlatBitmapButton plain("A", &window);
    CFlatBitmapButton picture("", &window);
    plain.setGeometry(0, 0, 24, 24);
    picture.setGeometry(30, 0, 24, 24);
    QImage image(8, 8, QImage::Format_ARGB32);
    image.fill(qRgb(200, 0, 0));
    picture.setPicture(image);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    // An opaque picture looks the same disabled; with a transparent colour it fades to the face.
    EXPECT_EQ(picture.faceImage(true).pixel(12, 12), picture.faceImage(false).pixel(12, 12));
    picture.setTransparentColour(qRgb(0, 0, 255));
    const QColor face = picture.palette().color(QPalette::Button);
    EXPECT_EQ(qRgb(200, 0, 0), picture.faceImage(true).pixel(12, 12));
    EXPECT_EQ(qRgb((200 + 2 * face.red()) / 3, (0 + 2 * face.green()) / 3, (0 + 2 * face.blue()) / 3),
              picture.faceImage(false).pixel(12, 12));
    // The face colour follows a palette change.
    QPalette palette = picture.palette();
    palette.setColor(QPalette::Button, QColor(10, 20, 30));
    picture.setPalette(palette);
    EXPECT_EQ(qRgb(10, 20, 30), picture.faceImage(true).pixel(1, 1));

    plain.setLatched(true);
    EXPECT_TRUE(plain.looksPressed());
    plain.setLatched(false);
    EXPECT_FALSE(plain.looksPressed());
}

TEST(UndoInTheEditor, ADragInAViewIsOneStepAndTheTitleFollows) {
    PanelEditor e;
    QMdiSubWindow* window = qobject_cast<QMdiSubWindow*>(e.app->activeFrame()->parentWidget());
    EXPECT_FALSE(window->windowTitle().contains('*') && window->isWindowModified());
    EXPECT_FALSE(e.frame().action("editUndo")->isEnabled());
    C2DView* front = e.app->activeFrame()->view2D(0, 1);
    e.doc->selectAll();
    const FrameVertex before = e.doc->frames()[0].positions[1];
    // A drag of a selected vertex across many mouse moves.
    const Frame& frame = e.doc->frames()[0];
    const OrthoMapping map(e.shown(e.doc), front->orientation(), front->width(), front->height());
    const Pixel at = map.toWindow(frame.positions[1]);
    QTest::mousePress(front, Qt::LeftButton, Qt::NoModifier, QPoint(at.x, at.y));
    for (int step = 1; step <= 10; ++step) {
        QMouseEvent move(QEvent::MouseMove, QPointF(at.x + 3 * step, at.y),
                         front->mapToGlobal(QPointF(at.x + 3 * step, at.y)), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QApplication::sendEvent(front, &move);
    }
    QTest::mouseRelease(front, Qt::LeftButton, Qt::NoModifier, QPoint(at.x + 30, at.y));
    ASSERT_NE(before.x, e.doc->frames()[0].positions[1].x);
    EXPECT_EQ(1u, e.doc->history().size());
    EXPECT_TRUE(window->isWindowModified());
    EXPECT_EQ("&Undo Move Vertices", e.frame().action("editUndo")->text());

    // Ctrl+Z, a real key press, undoes the whole drag.
    QTest::keyClick(front, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(before.x, e.doc->frames()[0].positions[1].x);
    EXPECT_FALSE(window->isWindowModified());
    EXPECT_EQ("&Redo Move Vertices", e.frame().action("editRedo")->text());
    QTest::keyClick(front, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_NE(before.x, e.doc->frames()[0].positions[1].x);
    QTest::keyClick(front, Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(front, Qt::Key_Y, Qt::ControlModifier);
    EXPECT_NE(before.x, e.doc->frames()[0].positions[1].x);
}

TEST(UndoInTheEditor, UndoingAFrameCutBringsTheFrameBack) {
    PanelEditor e;
    e.clickFrame("run2");
    e.frameCommand("Cut");
    EXPECT_EQ((QStringList{"run1", "run3"}), e.frameNames());
    QTest::keyClick(e.panel().frameList(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ((QStringList{"run1", "run2", "run3"}), e.frameNames());
    EXPECT_EQ(5u, e.doc->frames().size());
    EXPECT_EQ("run2", e.panel().frameList()->currentItem()->text()); // the frame it cut is current again

    // The history panel lists the step; clicking a row goes there.
    e.frame().action("viewUndoHistory")->trigger();
    auto* history = qobject_cast<CUndoHistoryPanel*>(e.frame().historyDock()->widget());
    ASSERT_NE(nullptr, history);
    ASSERT_EQ(2, history->list()->count());
    EXPECT_EQ("Cut Frame", history->list()->item(1)->text());
    QListWidget* list = history->list();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier,
                      list->visualItemRect(list->item(1)).center());
    EXPECT_EQ((QStringList{"run1", "run3"}), e.frameNames());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier,
                      list->visualItemRect(list->item(0)).center());
    EXPECT_EQ(5u, e.doc->frames().size());
}
