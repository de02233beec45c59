// Skin groups and frame groups made from the menus and the skin panel: the textured views play a skin
// group at its intervals, the player a frame group.
#include "EditorFixture.h"
#include "app/CAnimationPlayer.h"
#include "app/CChildFrame.h"
#include "app/CFacetoApp.h"
#include "app/CMainFrame.h"
#include "app/CProjectManager.h"
#include "app/CSkinPanel.h"
#include "app/GroupDialog.h"
#include "document/FrameOperations.h"
#include "document/GroupOperations.h"
#include "document/SkinOperations.h"
#include "views/CCameraView.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QImage>
#include <QTableWidget>
#include <QTest>
#include <set>

using namespace faceto;
using namespace faceto::test;

namespace {

void setIntervals(GroupDialog& dialog, const std::vector<double>& times) {
    ASSERT_EQ(int(times.size()), dialog.table()->rowCount());
    for (int k = 0; k < int(times.size()); ++k) {
        static_cast<QDoubleSpinBox*>(dialog.table()->cellWidget(k, 0))->setValue(times[size_t(k)]);
    }
}

// The sample model with two more skins of its size, each of one colour.
CFacetoDoc& sampleWithThreeSkins(Editor& e) {
    const std::string model = e.dir.path("sample.md2");
    std::filesystem::copy_file(FACETO_SOURCE_DIR "/examples/sample.md2", model);
    std::filesystem::copy_file(FACETO_SOURCE_DIR "/examples/sample.pcx", e.dir.path("sample.pcx"));
    e.start({QString::fromStdString(model)});
    CFacetoDoc& doc = *e.active();
    for (uint8_t colour : {200, 50}) {
        Skin skin = doc.model().skins.at(0);
        std::fill(skin.pixels.begin(), skin.pixels.end(), colour);
        skin.pcxFile.reset();
        skin.name = "plain" + std::to_string(colour);
        addSkin(doc, std::move(skin));
    }
    doc.setCurrentSkin(0);
    doc.changed({change::SKINS | change::VIEW});
    QApplication::processEvents();
    return doc;
}

QImage cameraPicture(Editor& e) {
    QApplication::processEvents();
    return e.app->activeFrame()->cameraView()->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

} // namespace

// Group Skins takes the run and the intervals from its dialog; the camera pane paints the member that
// shows at the play time, and while the group plays its pictures change; bad intervals are refused with
// the reason; Ungroup Skins breaks the group up.
TEST(Groups, SkinGroupsPlayInTheTexturedViews) {
    Editor e;
    CFacetoDoc& doc = sampleWithThreeSkins(e);
    QCheckBox* play = e.app->skinPanel()->playBox();
    play->setChecked(false);
    EXPECT_FALSE(e.frame().action("ungroupSkins")->isEnabled());
    e.dialogs.onDialog = [](QDialog& d) {
        auto& dialog = dynamic_cast<GroupDialog&>(d);
        EXPECT_EQ(0, dialog.firstBox()->currentIndex());
        EXPECT_EQ(1, dialog.lastBox()->currentIndex());
        EXPECT_EQ(2, dialog.table()->rowCount());
        dialog.lastBox()->setCurrentIndex(2);
        setIntervals(dialog, {0.1, 0.2, 0.3});
        return int(QDialog::Accepted);
    };
    e.trigger("groupSkins");
    ASSERT_TRUE(skinInGroup(doc, 2));
    EXPECT_EQ("&Undo Group Skins", e.frame().action("editUndo")->text());
    EXPECT_TRUE(e.frame().action("ungroupSkins")->isEnabled());
    EXPECT_EQ("Group 0: 3 pictures", e.app->skinPanel()->skinCombo()->itemText(0));

    const QImage first = cameraPicture(e);
    doc.setSkinPlayTime(0.15);
    doc.changed({change::SKIN_PLAY});
    const QImage played = cameraPicture(e);
    doc.setSkinPlayTime(-1.0);
    doc.setCurrentSkin(1);
    doc.changed({change::SKINS | change::VIEW});
    EXPECT_EQ(cameraPicture(e), played);
    EXPECT_NE(first, played);

    // Playing, the views are told each change of picture.
    std::set<int32_t> shown;
    QObject::connect(e.app.get(), &CFacetoApp::changeNoticed, [&](CFacetoDoc* d, ChangeNotice notice) {
        if (d == &doc && notice.touches(change::SKIN_PLAY) && doc.skinPlayTime() >= 0.0) {
            shown.insert(playedSkin(doc));
        }
    });
    play->setChecked(true);
    QTest::qWait(600);
    EXPECT_GE(shown.size(), 2u);
    play->setChecked(false);
    EXPECT_LT(doc.skinPlayTime(), 0.0);

    const size_t steps = doc.history().size();
    e.dialogs.onDialog = [](QDialog& d) {
        setIntervals(dynamic_cast<GroupDialog&>(d), {0.3, 0.2, 0.4});
        return int(QDialog::Accepted);
    };
    e.trigger("groupSkins");
    EXPECT_EQ(steps, doc.history().size());
    ASSERT_FALSE(e.dialogs.messages.isEmpty());
    EXPECT_EQ("The intervals must be positive, each larger than the one before.", e.dialogs.messages.last());

    e.trigger("ungroupSkins");
    EXPECT_FALSE(skinInGroup(doc, 0));
    EXPECT_FALSE(e.frame().action("ungroupSkins")->isEnabled());
}

// Group Frames starts from the current frame's animation; the player shows each member of a frame
// group for its time, the other frames a step of its rate.
TEST(Groups, ThePlayerPlaysAFrameGroupAtItsIntervals) {
    Editor e;
    e.start({e.writeModel("m.fm")});
    CFacetoDoc& doc = *e.active();
    ASSERT_TRUE(selectAnimationByName(doc, "run"));
    e.dialogs.onDialog = [](QDialog& d) {
        auto& dialog = dynamic_cast<GroupDialog&>(d);
        EXPECT_EQ("run1", dialog.firstBox()->currentText());
        EXPECT_EQ("run2", dialog.lastBox()->currentText());
        setIntervals(dialog, {0.1, 0.35});
        return int(QDialog::Accepted);
    };
    e.trigger("groupFrames");
    ASSERT_TRUE(frameInGroup(doc, 1));
    EXPECT_TRUE(e.frame().action("ungroupFrames")->isEnabled());

    CAnimationPlayer& player = *e.app->projectManager()->player();
    player.setFramesPerSecond(5);
    player.playStep = 0;
    player.tick();
    EXPECT_EQ(100, player.stepMilliseconds());
    player.tick();
    EXPECT_EQ(250, player.stepMilliseconds());

    e.trigger("ungroupFrames");
    EXPECT_FALSE(frameInGroup(doc, 1));
    player.playStep = 0;
    player.tick();
    EXPECT_EQ(200, player.stepMilliseconds());
}
