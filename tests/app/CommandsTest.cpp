// Every command of the menus, keys and toolbar, tried as a user does: its effect, its undo, its redo.
#include "CommandEditor.h"
#include "app/CAnimationPlayer.h"
#include "app/CGridPanel.h"
#include "app/CPrimitivesPanel.h"
#include "app/CProjectManager.h"
#include "app/Dialogs.h"
#include "app/InterpolateDialog.h"
#include "app/ModelPropertiesDialog.h"
#include "document/DocumentEdit.h"
#include "document/EditOperations.h"
#include "document/FrameClipboard.h"
#include "document/FrameOperations.h"
#include "document/ModelProperties.h"
#include "views/C2DView.h"
#include "views/CCameraView.h"
#include "views/CameraDrawing.h"
#include "views/OrthoView.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDockWidget>
#include <QDoubleSpinBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QToolBar>
#include <QTreeWidget>
#include <cmath>
#include <map>

using namespace faceto;
using namespace faceto::test;

TEST(Commands, SelectionAndVisibilityKeys) {
    CommandEditor e;
    CFacetoDoc& doc = *e.doc;
    e.select({0, 1});
    e.key(Qt::Key_I); // invert
    EXPECT_EQ((std::vector<int>{2, 3, 4, 5, 6, 7}), e.selected());
    EXPECT_FALSE(doc.history().canUndo()); // a selection is no step of its own

    // Hide the right square: its group's eye closes; Show All brings it back; each one step.
    e.select({4, 5, 6, 7});
    e.key(Qt::Key_H);
    for (int v = 4; v < 8; ++v) {
        EXPECT_FALSE(doc.model().vertexInfos[size_t(v)].visible());
        EXPECT_FALSE(doc.model().vertexInfos[size_t(v)].selected());
    }
    EXPECT_TRUE(doc.model().vertexInfos[0].visible());
    EXPECT_EQ(0, doc.model().groups[1].flags & GROUP_VISIBLE);
    EXPECT_NE(0, doc.model().groups[0].flags & GROUP_VISIBLE);
    EXPECT_EQ("Hide Selected", doc.history().undoName());
    // Invert now leaves the hidden vertices alone.
    e.key(Qt::Key_I);
    EXPECT_EQ((std::vector<int>{0, 1, 2, 3}), e.selected());
    e.key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(doc.model().vertexInfos[5].visible());
    EXPECT_NE(0, doc.model().groups[1].flags & GROUP_VISIBLE);
    e.key(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_FALSE(doc.model().vertexInfos[5].visible());
    e.key(Qt::Key_H, Qt::ShiftModifier); // Show All
    for (const VertexInfo& info : doc.model().vertexInfos) {
        EXPECT_TRUE(info.visible());
    }
    EXPECT_EQ("Show All", doc.history().undoName());
    e.key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_FALSE(doc.model().vertexInfos[7].visible());
}

TEST(Commands, TriangleCommandsWorkOnEveryFrameAndUndo) {
    CommandEditor e;
    CFacetoDoc& doc = *e.doc;
    const Model original = doc.model();
    const auto originalFrames = doc.frames();

    // Flip: corners 1 and 2 trade places with their skin coordinates.
    e.select({0, 1, 2});
    e.key(Qt::Key_F, Qt::ControlModifier);
    EXPECT_EQ((std::array<int32_t, 3>{0, 1, 2}), doc.model().triangles[0].v);
    EXPECT_EQ((std::array<float, 2>{0, 10}), doc.model().triangles[0].st[1]);
    EXPECT_EQ((std::array<float, 2>{10, 0}), doc.model().triangles[0].st[2]);
    EXPECT_EQ(original.triangles[1].v, doc.model().triangles[1].v); // only the selected one
    e.key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(original.triangles[0].v, doc.model().triangles[0].v);
    e.key(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ((std::array<int32_t, 3>{0, 1, 2}), doc.model().triangles[0].v);
    e.key(Qt::Key_Z, Qt::ControlModifier);

    // Clone: the copies (3 vertices, 1 triangle) are in every frame and become the selection.
    e.select({0, 1, 2});
    e.key(Qt::Key_D, Qt::ControlModifier);
    ASSERT_EQ(11, doc.model().vertexCount());
    ASSERT_EQ(5, doc.model().triangleCount());
    EXPECT_EQ((std::vector<int>{8, 9, 10}), e.selected());
    for (const Frame& f : doc.frames()) {
        ASSERT_EQ(11u, f.positions.size());
        // Copied in the order the triangle names them: 0, 2, 1.
        EXPECT_EQ(f.positions[0], f.positions[8]);
        EXPECT_EQ(f.positions[2], f.positions[9]);
        EXPECT_EQ(f.positions[1], f.positions[10]);
    }
    EXPECT_EQ((std::array<int32_t, 3>{8, 9, 10}), doc.model().triangles[4].v);
    EXPECT_TRUE(e.caption().startsWith("Tri: 5\nVert: 11")) << e.caption().toStdString();
    e.key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(8, doc.model().vertexCount());
    EXPECT_EQ(originalFrames, doc.frames());
    e.key(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(11, doc.model().vertexCount());
    e.key(Qt::Key_Z, Qt::ControlModifier);

    // Delete: the triangle goes, and vertex 0 that nothing else uses, from every frame; the groups,
    // edges and counts follow.
    e.select({0, 1, 2});
    e.key(Qt::Key_Delete);
    ASSERT_EQ(3, doc.model().triangleCount());
    ASSERT_EQ(7, doc.model().vertexCount());
    for (const Frame& f : doc.frames()) {
        ASSERT_EQ(7u, f.positions.size());
    }
    // What were vertices 1, 2, 3 are now 0, 1, 2, still where they were.
    EXPECT_EQ(originalFrames[1].positions[1], doc.frames()[1].positions[0]);
    EXPECT_EQ((std::array<int32_t, 3>{1, 2, 0}), doc.model().triangles[0].v);
    EXPECT_TRUE(e.caption().startsWith("Tri: 3\nVert: 7")) << e.caption().toStdString();
    for (const Edge& edge : doc.model().edges) {
        EXPECT_LT(edge.first, 7);
        EXPECT_LT(edge.second, 7);
    }
    e.key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(original.triangles.size(), doc.model().triangles.size());
    EXPECT_EQ(originalFrames, doc.frames());
    EXPECT_TRUE(e.caption().startsWith("Tri: 4\nVert: 8"));
    e.key(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(7, doc.model().vertexCount());

    // Nothing selected: no command makes a step.
    doc.selectNone();
    const size_t steps = doc.history().position();
    for (auto [k, m] : {std::pair{Qt::Key_Delete, Qt::NoModifier}, std::pair{Qt::Key_F, Qt::ControlModifier},
                        std::pair{Qt::Key_D, Qt::ControlModifier}}) {
        e.key(k, m);
    }
    EXPECT_EQ(steps, doc.history().position());
}

TEST(Commands, DelInTheFrameListDeletesTheFrameNotTriangles) {
    CommandEditor e;
    CFacetoDoc& doc = *e.doc;
    doc.selectAll();
    QListWidget* list = e.panel().frameList();
    ASSERT_EQ(2, list->count());
    list->setFocus();
    list->setCurrentRow(1);
    QTest::keyClick(list, Qt::Key_Delete);
    EXPECT_EQ(1u, doc.frames().size());
    EXPECT_EQ(4, doc.model().triangleCount());
    EXPECT_EQ(1, list->count());
    e.key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(2u, doc.frames().size());
}

TEST(Commands, RotateTurnsTheSelectionAboutItsCentre) {
    CommandEditor e;
    CFacetoDoc& doc = *e.doc;
    e.toolbarClick("toolRotate");
    EXPECT_EQ(TOOL_ROTATE, e.app->state().currentTool);
    e.select({0, 1, 2, 3}); // the left square, centred at y -20, z 0
    const auto before = doc.frames()[0].positions;
    e.drag(e.front(), QPoint(50, 50), QPoint(140, 50)); // 90 pixels: 90 degrees
    const auto& p = doc.frames()[0].positions;
    // Corner 0 (-30, -10) about (-20, 0): a quarter turn clockwise as seen takes it to (-30, 10).
    EXPECT_NEAR(-30.0f, p[0].y, 1e-3f);
    EXPECT_NEAR(10.0f, p[0].z, 1e-3f);
    EXPECT_NEAR(-30.0f, p[1].y, 1e-3f);
    EXPECT_NEAR(-10.0f, p[1].z, 1e-3f);
    EXPECT_EQ(before[4], p[4]);     // the other square stays
    EXPECT_EQ(before[0].x, p[0].x); // the axis the view looks along keeps its coordinate
    EXPECT_EQ("Rotate Vertices", doc.history().undoName());
    const size_t steps = doc.history().position();
    e.key(Qt::Key_Z, Qt::ControlModifier); // the whole drag is one step
    EXPECT_EQ(before, doc.frames()[0].positions);
    EXPECT_EQ(steps - 1, doc.history().position());

    // With Shift the angle goes in 15-degree steps: 20 pixels make 15 degrees.
    e.select({0, 1, 2, 3}); // the undo took the selection back to where the previous step left it
    e.drag(e.front(), QPoint(50, 50), QPoint(70, 50), Qt::ShiftModifier);
    const float angle = std::atan2(p[0].z - 0.0f, p[0].y + 20.0f) - std::atan2(-10.0f, -10.0f);
    EXPECT_NEAR(-15.0, std::remainder(angle * 180.0 / M_PI, 360.0), 1e-3);
    e.key(Qt::Key_Z, Qt::ControlModifier);

    // A lock on one of the view's axes keeps the selection where it is; the Tools menu's Rotate is
    // the same tool.
    e.trigger("toolEdit");
    e.trigger("toolsRotate");
    EXPECT_EQ(TOOL_ROTATE, e.app->state().currentTool);
    e.key(Qt::Key_Y);
    e.select({0, 1, 2, 3});
    e.drag(e.front(), QPoint(50, 50), QPoint(140, 50));
    EXPECT_EQ(before, doc.frames()[0].positions);
}

TEST(Commands, TriangleAndObjectLevelsPickByClick) {
    CommandEditor e;
    CFacetoDoc& doc = *e.doc;
    e.key(Qt::Key_3, Qt::AltModifier);
    EXPECT_EQ(LEVEL_TRIANGLE, e.app->state().editLevel);
    EXPECT_TRUE(e.frame().action("levelTriangle")->isChecked());
    // A click inside the lower-left triangle of the left square (corners 0, 1, 2).
    QTest::mouseClick(e.front(), Qt::LeftButton, Qt::NoModifier, e.at(-25, -5));
    EXPECT_EQ((std::vector<int>{0, 1, 2}), e.selected());
    // Again: it is unselected.
    QTest::mouseClick(e.front(), Qt::LeftButton, Qt::NoModifier, e.at(-25, -5));
    EXPECT_TRUE(e.selected().empty());
    // A rectangle takes the triangles wholly inside it: the right square, not the left one it touches.
    e.drag(e.front(), e.at(-12, 15), e.at(35, -15));
    EXPECT_EQ((std::vector<int>{4, 5, 6, 7}), e.selected());
    // In the camera view a click picks the triangle under it.
    doc.selectNone();
    CCameraView* camera = e.camera();
    camera->repaint();
    QPoint hit;
    for (int y = 0; y < camera->height() && hit.isNull(); y += 2) {
        for (int x = 0; x < camera->width(); x += 2) {
            if (pickCameraTriangle(doc, e.shown(&doc), camera->camera, camera->width(), camera->height(), x,
                                   y) == 3) {
                hit = QPoint(x, y);
                break;
            }
        }
    }
    ASSERT_FALSE(hit.isNull());
    QTest::mouseClick(camera, Qt::LeftButton, Qt::NoModifier, hit);
    EXPECT_EQ((std::vector<int>{5, 6, 7}), e.selected());

    // The object level: a click anywhere takes the whole model.
    e.key(Qt::Key_1, Qt::AltModifier);
    EXPECT_EQ(LEVEL_OBJECT, e.app->state().editLevel);
    QTest::mouseClick(e.front(), Qt::LeftButton, Qt::NoModifier, QPoint(3, 3));
    EXPECT_EQ(8u, e.selected().size());
    EXPECT_TRUE(e.dialogs.messages.isEmpty());
}

TEST(Commands, FrameMenuMakesRenamesAndDeletesFrames) {
    CommandEditor e;
    CFacetoDoc& doc = *e.doc;
    CProjectManager& panel = e.panel();
    panel.frameList()->setCurrentRow(0);
    doc.setCurrentFrame(0);
    doc.setCurrentFrameIndex(0);
    // New: a copy of the current frame after it, in the same animation.
    e.menuAction(panel.frameMenu(), "New")->trigger();
    ASSERT_EQ(3u, doc.frames().size());
    EXPECT_EQ(doc.frames()[0].positions, doc.frames()[1].positions);
    ASSERT_EQ(1u, doc.animations().size());
    EXPECT_EQ(3u, doc.animations()[0].frameIndices.size());
    EXPECT_EQ("New Frame", doc.history().undoName());
    e.key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(2u, doc.frames().size());

    // Properties: rename; the animations are made again from the names.
    panel.frameList()->setCurrentRow(1);
    e.dialogs.onDialog = [](QDialog& d) {
        auto& named = dynamic_cast<NameDialog&>(d);
        EXPECT_EQ("run2", named.name());
        // Its title shows whole: the box is wider than the title's text with room for the title bar's
        // buttons.
        EXPECT_EQ("Frame Properties", named.windowTitle());
        EXPECT_GE(named.minimumSizeHint().expandedTo(named.minimumSize()).width(),
                  QFontMetrics(named.font()).horizontalAdvance(named.windowTitle()) + 150);
        named.nameEdit()->setText("walk1");
        return int(QDialog::Accepted);
    };
    e.menuAction(panel.frameMenu(), "Properties")->trigger();
    EXPECT_EQ("walk1", doc.frames()[1].name);
    EXPECT_EQ(2u, doc.animations().size());
    e.key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ("run2", doc.frames()[1].name);
    EXPECT_EQ(1u, doc.animations().size());

    // Delete.
    panel.frameList()->setCurrentRow(1);
    e.menuAction(panel.frameMenu(), "Delete")->trigger();
    ASSERT_EQ(1u, doc.frames().size());
    EXPECT_EQ("run1", doc.frames()[0].name);
    e.key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(2u, doc.frames().size());
    // With no frame chosen, Properties and Delete are off.
    panel.frameList()->setCurrentRow(-1);
    EXPECT_FALSE(e.menuAction(panel.frameMenu(), "Delete")->isEnabled());
    EXPECT_FALSE(e.menuAction(panel.frameMenu(), "Properties")->isEnabled());
}

TEST(Commands, GroupMenuMakesRenamesAndDeletesGroups) {
    CommandEditor e;
    CFacetoDoc& doc = *e.doc;
    CProjectManager& panel = e.panel();
    QTreeWidget* tree = panel.groupTree();
    // New without selected triangles says what is needed.
    e.menuAction(panel.groupMenu(nullptr), "New")->trigger();
    EXPECT_EQ(1, e.dialogs.messages.size());
    EXPECT_EQ(2u, doc.model().groups.size());
    e.select({0, 1, 2});
    e.menuAction(panel.groupMenu(nullptr), "New")->trigger();
    ASSERT_EQ(3u, doc.model().groups.size());
    EXPECT_EQ(2, doc.model().triangles[0].group);
    EXPECT_EQ(0, doc.model().triangles[1].group);
    EXPECT_EQ(3, tree->topLevelItemCount());
    e.key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(2u, doc.model().groups.size());
    EXPECT_EQ(0, doc.model().triangles[0].group);

    e.dialogs.onDialog = [](QDialog& d) {
        dynamic_cast<NameDialog&>(d).nameEdit()->setText("torso");
        return int(QDialog::Accepted);
    };
    e.menuAction(panel.groupMenu(tree->topLevelItem(1)), "Properties")->trigger();
    EXPECT_EQ("torso", doc.model().groups[1].name);
    EXPECT_EQ("torso", tree->topLevelItem(1)->text(0));

    // Delete asks, naming the group; no keeps it.
    e.dialogs.yes = false;
    e.menuAction(panel.groupMenu(tree->topLevelItem(1)), "Delete")->trigger();
    ASSERT_EQ(1, e.dialogs.questions.size());
    EXPECT_TRUE(e.dialogs.questions[0].contains("torso"));
    EXPECT_EQ(4, doc.model().triangleCount());
    e.dialogs.yes = true;
    e.menuAction(panel.groupMenu(tree->topLevelItem(1)), "Delete")->trigger();
    EXPECT_EQ(2, doc.model().triangleCount());
    EXPECT_EQ(4, doc.model().vertexCount());
    ASSERT_EQ(1u, doc.model().groups.size());
    EXPECT_EQ("left", doc.model().groups[0].name);
    e.key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(4, doc.model().triangleCount());
    EXPECT_EQ("torso", doc.model().groups[1].name);
    e.key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ("right", doc.model().groups[1].name);
}

TEST(Commands, PasteAsNewFrameNeedsTheSameVertexCount) {
    CommandEditor e;
    CFacetoDoc& doc = *e.doc;
    e.key(Qt::Key_B, Qt::ControlModifier); // nothing on the clipboard
    ASSERT_EQ(1, e.dialogs.messages.size());
    doc.setCurrentFrame(1);
    doc.setCurrentFrameIndex(1);
    copyFrame(doc, e.app->state().clipboard);
    doc.setCurrentFrame(0);
    doc.setCurrentFrameIndex(0);
    e.key(Qt::Key_B, Qt::ControlModifier);
    ASSERT_EQ(3u, doc.frames().size());
    EXPECT_EQ(doc.frames()[2].positions, doc.frames()[1].positions); // after run1: a copy of run2
    EXPECT_EQ("Paste as New Frame", doc.history().undoName());
    e.key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(2u, doc.frames().size());
    // A model of another vertex count refuses it, saying why.
    e.select({0, 1, 2});
    e.key(Qt::Key_Delete);
    e.key(Qt::Key_B, Qt::ControlModifier);
    EXPECT_EQ(2u, doc.frames().size());
    ASSERT_EQ(2, e.dialogs.messages.size());
    EXPECT_TRUE(e.dialogs.messages[1].contains("8 vertices")) << e.dialogs.messages[1].toStdString();
}

TEST(Commands, CameraModesPropertiesAndCapture) {
    CommandEditor e;
    CFacetoDoc& doc = *e.doc;
    Skin skin; // a checker board of two mid-light colours
    skin.imageWidth = skin.imageHeight = 16;
    skin.bitsPerPixel = 8;
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            skin.pixels.push_back(uint8_t(((x / 4 + y / 4) % 2) ? 40 : 120));
        }
    }
    const auto& game = e.app->paletteTables().palette;
    for (size_t c = 0; c < 256; ++c) {
        skin.palette.push_back(PaletteEntry{game[c * 3 + 2], game[c * 3 + 1], game[c * 3], 0});
    }
    DocumentEdit::model(doc).skins = {skin};
    const std::pair<QKeyCombination, int> keys[] = {{Qt::Key_W, FILL_WIREFRAME},
                                                    {Qt::Key_V, FILL_VERTEX},
                                                    {Qt::SHIFT | Qt::Key_3, FILL_GOURAUD},
                                                    {Qt::SHIFT | Qt::Key_4, FILL_TEXTURED},
                                                    {Qt::SHIFT | Qt::Key_5, FILL_TEXTURED_SHADED},
                                                    {Qt::SHIFT | Qt::Key_1, FILL_NONE},
                                                    {Qt::SHIFT | Qt::Key_2, FILL_FLAT}};
    const char* commands[] = {"wireframe",      "vertexRendering", "gouraudShading", "textureMapped",
                              "texturedShaded", "noRendering",     "flatShading"};
    QImage last;
    for (size_t i = 0; i < std::size(keys); ++i) {
        QTest::keyClick(e.camera(), keys[i].first.key(), keys[i].first.keyboardModifiers());
        EXPECT_EQ(keys[i].second, e.shown(&doc).fillMode) << commands[i];
        EXPECT_TRUE(e.frame().action(commands[i])->isChecked()) << commands[i];
        EXPECT_EQ(keys[i].second, e.storedSetting("Pref/FillMode").toInt());
        const QImage shown = e.camera()->grab().toImage();
        EXPECT_NE(last, shown) << commands[i];
        last = shown;
    }
    // F: back faces drawn or culled.
    e.key(Qt::Key_F);
    EXPECT_TRUE(e.shown(&doc).drawBackFaces);
    EXPECT_TRUE(e.frame().action("frontBack")->isChecked());
    e.key(Qt::Key_F);
    EXPECT_FALSE(e.shown(&doc).drawBackFaces);

    // Camera Properties: live changes; Cancel puts them back, OK keeps them.
    e.dialogs.onDialog = [&](QDialog& d) {
        auto& props = dynamic_cast<CameraPropertiesDialog&>(d);
        props.backColorBox()->setValue(12);
        props.ambientBox()->setValue(90);
        EXPECT_EQ(12, e.shown(&doc).backColor); // shown at once
        EXPECT_EQ(90, e.shown(&doc).lightAmbient);
        props.reject();
        return int(QDialog::Rejected);
    };
    e.toolbarClick("cameraProperties");
    EXPECT_EQ(0, e.shown(&doc).backColor);
    EXPECT_EQ(50, e.shown(&doc).lightAmbient);
    e.dialogs.onDialog = [&](QDialog& d) {
        auto& props = dynamic_cast<CameraPropertiesDialog&>(d);
        props.modeList()->setCurrentIndex(props.modeList()->findText("Gouraud Shading"));
        props.spotBox()->setValue(40);
        props.accept();
        return int(QDialog::Accepted);
    };
    e.toolbarClick("cameraProperties");
    EXPECT_EQ(FILL_GOURAUD, e.shown(&doc).fillMode);
    EXPECT_EQ(40, e.shown(&doc).lightSpot);
    EXPECT_EQ(40, e.storedSetting("Pref/LightSpot").toInt());
    EXPECT_TRUE(e.frame().action("gouraudShading")->isChecked());

    // F12 saves the camera view as PNG; a name without an extension gets ".png".
    e.dialogs.files.push_back({e.path("shot"), 0});
    e.key(Qt::Key_F12);
    QImage saved(e.path("shot.png"), "PNG");
    ASSERT_FALSE(saved.isNull());
    EXPECT_EQ(e.camera()->size(), saved.size());
    // Into a folder that does not exist: a message, nothing else.
    e.dialogs.files.push_back({e.path("no/such/folder/shot.png"), 0});
    e.key(Qt::Key_F12);
    ASSERT_EQ(1, e.dialogs.messages.size());
    EXPECT_EQ("The picture could not be saved.", headings(e.dialogs.messages)[0]);
}

TEST(Commands, TwoDViewSwitchesAndSkeleton) {
    CommandEditor e;
    CFacetoDoc& doc = *e.doc;
    C2DView* front = e.front();
    front->setFocus();
    const QImage plain = front->grab().toImage();
    e.key(Qt::Key_S); // solid
    EXPECT_TRUE(e.shown(&doc).solid2D);
    EXPECT_TRUE(e.frame().action("solid2D")->isChecked());
    const QImage solid = front->grab().toImage();
    EXPECT_NE(plain, solid);
    // The square's middle is filled with its colour, not the background.
    const QPoint middle = e.at(-25, -5); // inside triangle 0, on no edge
    EXPECT_NE(plain.pixel(middle), solid.pixel(middle));
    e.key(Qt::Key_S);
    e.key(Qt::Key_V, Qt::ShiftModifier); // vertex dots off
    EXPECT_FALSE(e.shown(&doc).vertexDots2D);
    EXPECT_NE(plain, front->grab().toImage());
    e.key(Qt::Key_V, Qt::ShiftModifier);
    EXPECT_EQ(plain, front->grab().toImage());

    // Negative depth: the focused view looks from the other side, left and right swap.
    const QPoint leftBefore = e.at(-30, -10);
    e.trigger("negativeDepth");
    EXPECT_TRUE(e.shown(&doc).orthoViews[size_t(front->orientation())].negative);
    EXPECT_TRUE(e.frame().action("negativeDepth")->isChecked());
    EXPECT_NEAR(front->width() - leftBefore.x(), e.at(-30, -10).x(), 2); // mirrored about the middle
    EXPECT_EQ(leftBefore.y(), e.at(-30, -10).y());
    e.trigger("positiveDepth");
    EXPECT_EQ(leftBefore, e.at(-30, -10));

    // P and Alt+5 both show or hide the hierarchy, with check marks.
    EXPECT_TRUE(e.app->state().skeletonShown);
    e.key(Qt::Key_P);
    EXPECT_FALSE(e.app->state().skeletonShown);
    EXPECT_FALSE(e.frame().action("skeletonMode")->isChecked());
    EXPECT_FALSE(e.frame().action("levelSkeleton")->isChecked());
    e.key(Qt::Key_5, Qt::AltModifier);
    EXPECT_TRUE(e.app->state().skeletonShown);
}

TEST(Commands, PanelsStatusFieldsAndSettings) {
    CommandEditor e;
    CProjectManager& panel = e.panel();
    EXPECT_TRUE(panel.playerShown());
    EXPECT_TRUE(e.frame().action("viewAnimationPlayer")->isChecked());
    e.key(Qt::Key_F5);
    EXPECT_FALSE(panel.playerShown());
    EXPECT_FALSE(panel.player()->playing());
    EXPECT_FALSE(e.frame().action("viewAnimationPlayer")->isChecked());
    e.trigger("viewAnimationPlayer");
    EXPECT_TRUE(panel.playerShown());
    EXPECT_TRUE(panel.player()->playing());

    e.trigger("toolsPrimatives");
    EXPECT_EQ((QWidget*)panel.primitivesPanel(), panel.subPanels()->currentWidget());
    EXPECT_FALSE(e.frame().action("viewAnimationPlayer")->isChecked());
    e.trigger("toolsGrid");
    EXPECT_EQ((QWidget*)panel.gridPanel(), panel.subPanels()->currentWidget());
    e.frame().dialogBar()->hide();
    e.trigger("toolsFrame");
    EXPECT_TRUE(e.frame().dialogBar()->isVisible());
    EXPECT_TRUE(panel.frameList()->hasFocus());
    e.trigger("toolsGroups");
    EXPECT_TRUE(panel.groupTree()->hasFocus());

    // Current Mode and Current Action show in the status bar while checked.
    EXPECT_FALSE(e.frame().modeField()->isVisible());
    e.trigger("toolsCurrentMode");
    EXPECT_TRUE(e.frame().modeField()->isVisible());
    EXPECT_EQ("Edit tool, vertex level", e.frame().modeField()->text());
    e.key(Qt::Key_3, Qt::AltModifier);
    EXPECT_EQ("Edit tool, triangle level", e.frame().modeField()->text());
    e.key(Qt::Key_4, Qt::AltModifier);
    e.trigger("toolsCurrentAction");
    EXPECT_TRUE(e.frame().actionField()->isVisible());
    e.select({0, 1, 2, 3});
    QString during;
    const QPoint from = e.at(-30, -10);
    QTest::mousePress(e.front(), Qt::LeftButton, Qt::NoModifier, from);
    QMouseEvent move(QEvent::MouseMove, from + QPoint(10, 0), e.front()->mapToGlobal(from + QPoint(10, 0)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(e.front(), &move);
    during = e.frame().actionField()->text();
    QTest::mouseRelease(e.front(), Qt::LeftButton, Qt::NoModifier, from + QPoint(10, 0));
    EXPECT_EQ("Moving 4 vertices", during);
    EXPECT_EQ("", e.frame().actionField()->text());
    e.trigger("toolsCurrentMode");
    EXPECT_FALSE(e.frame().modeField()->isVisible());

    // Primitives: a chosen shape becomes a new group of selected triangles, one step.
    e.trigger("toolsPrimatives");
    CPrimitivesPanel* primitives = panel.primitivesPanel();
    EXPECT_FALSE(primitives->newFaceButton()->isEnabled());
    primitives->list()->setCurrentItem(primitives->list()->findItems("Cube", Qt::MatchExactly).front());
    QTest::mouseClick(primitives->newFaceButton(), Qt::LeftButton);
    EXPECT_EQ(8 + 8, e.doc->model().vertexCount());
    EXPECT_EQ(4 + 12, e.doc->model().triangleCount());
    EXPECT_EQ(3u, e.doc->model().groups.size());
    EXPECT_EQ(8u, e.selected().size());
    e.key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(8, e.doc->model().vertexCount());

    // Save Settings writes every setting now, the axis locks among them.
    e.key(Qt::Key_X);
    e.trigger("saveSettings");
    EXPECT_EQ(1, e.storedSetting("Pref/Lock1").toInt());
    EXPECT_EQ(0, e.storedSetting("Pref/Lock2").toInt());
    EXPECT_EQ(50, e.storedSetting("Pref/LightAmbient").toInt());
    // The camera pane's mode is kept once it was chosen (until then a skinned model starts textured).
    EXPECT_FALSE(e.storedSetting("Pref/FillMode").isValid());
    e.trigger("gouraudShading");
    e.trigger("saveSettings");
    EXPECT_EQ(FILL_GOURAUD, e.storedSetting("Pref/FillMode").toInt());
    EXPECT_TRUE(e.storedSetting("games/quake/palette").isValid());
}

// No enabled command of the menus, keys and toolbar is without a handler.
TEST(Commands, EveryEnabledCommandIsHandled) {
    CommandEditor e;
    const QStringList handled = e.app->handledCommands();
    for (auto it = e.frame().actions().begin(); it != e.frame().actions().end(); ++it) {
        if (it.value()->isEnabled()) {
            EXPECT_TRUE(handled.contains(it.key())) << it.key().toStdString();
        }
    }
}

// Print and Print Preview put the active window's four panes on one page of the printer that Print Setup
// chose.
TEST(Commands, PrintPutsTheWindowOnAPage) {
    CommandEditor e;
    const std::string pdf = e.dir.path("page.pdf");
    QStringList shown;
    e.dialogs.onDialog = [&](QDialog& d) {
        shown << d.metaObject()->className();
        if (auto* print = qobject_cast<QPrintDialog*>(&d)) {
            print->printer()->setOutputFormat(QPrinter::PdfFormat);
            print->printer()->setOutputFileName(QString::fromStdString(pdf));
            return int(QDialog::Accepted);
        }
        return int(QDialog::Rejected);
    };
    e.trigger("filePrint");
    ASSERT_TRUE(std::filesystem::exists(pdf));
    const std::vector<uint8_t> bytes = readBytes(pdf);
    ASSERT_GT(bytes.size(), 1000u); // a page with a picture on it
    EXPECT_EQ("%PDF", std::string(bytes.begin(), bytes.begin() + 4));
    e.trigger("filePrintPreview");
    e.trigger("printSetup");
    EXPECT_EQ((QStringList{"QPrintDialog", "QPrintPreviewDialog", "QPageSetupDialog"}), shown);
}

// Export Frame writes the current frame as OBJ; Import Frame puts a pose back, one undo step.
TEST(Commands, ExportAndImportFrame) {
    CommandEditor e;
    CFacetoDoc& doc = *e.doc;
    doc.setCurrentFrame(1);
    e.dialogs.files.push_back({e.path("pose"), 0});
    e.trigger("exportFrame");
    ASSERT_TRUE(std::filesystem::exists(e.dir.path("pose.obj")));
    EXPECT_EQ(e.path("squares.fm").toStdString(), doc.pathName()); // an export
    doc.setCurrentFrame(0);
    const auto before = doc.frames()[0].positions;
    e.dialogs.files.push_back({e.path("pose.obj"), 0});
    e.trigger("importFrame");
    EXPECT_TRUE(e.dialogs.messages.isEmpty());
    EXPECT_NEAR(doc.frames()[1].positions[3].x, doc.frames()[0].positions[3].x, 1e-4f);
    e.key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(before, doc.frames()[0].positions);
    // A pose of another model: a message, nothing changed.
    writeText(e.dir.path("other.obj"), "v 0 0 0\nv 1 0 0\nv 0 1 0\n");
    e.dialogs.files.push_back({e.path("other.obj"), 0});
    e.trigger("importFrame");
    ASSERT_EQ(1, e.dialogs.messages.size());
    EXPECT_TRUE(e.dialogs.messages[0].startsWith("The pose has 3 vertices; this model has 8."));
    EXPECT_EQ(before, doc.frames()[0].positions);
}

// One step of a vertex drag changes the document and so every pane; each pane paints once for it,
// the dragged one included.
TEST(Commands, ADragStepPaintsEachPaneOnce) {
    CommandEditor e;
    CChildFrame* frame = e.app->activeFrame();
    std::vector<QWidget*> panes{frame->view2D(0, 0), frame->view2D(0, 1), frame->view2D(1, 0),
                                frame->cameraView()};
    QApplication::processEvents();
    PaintCounter counter;
    for (QWidget* pane : panes) {
        pane->installEventFilter(&counter);
    }
    const QPoint from = e.at(-30, -10); // vertex 0
    QTest::mousePress(e.front(), Qt::LeftButton, Qt::NoModifier, from);
    QApplication::processEvents();
    counter.paints.clear();
    const QPoint to = from + QPoint(6, -4);
    QMouseEvent move(QEvent::MouseMove, to, e.front()->mapToGlobal(to), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(e.front(), &move);
    QApplication::processEvents();
    for (QWidget* pane : panes) {
        EXPECT_EQ(1, counter.paints[pane]) << pane->metaObject()->className();
    }
    QTest::mouseRelease(e.front(), Qt::LeftButton, Qt::NoModifier, to);
    EXPECT_NE(-30.0f, e.doc->frames()[0].positions[0].y); // it did move
}

// Edit > Transform: the numbers typed into the dialog scale the whole model, every frame, as one step;
// the mirror and centring commands too.
TEST(Commands, TransformScalesTheWholeModelAsOneStep) {
    CommandEditor e;
    CFacetoDoc& doc = *e.doc;
    const std::vector<Frame> before = doc.frames();
    e.dialogs.onDialog = [](QDialog& d) {
        auto& dialog = dynamic_cast<TransformDialog&>(d);
        dialog.show();
        QDoubleSpinBox* scale = dialog.field(0);
        scale->setFocus();
        scale->selectAll();
        QTest::keyClicks(scale, "3");
        QTest::keyClick(scale, Qt::Key_Tab);
        EXPECT_EQ(3.0, dialog.field(2)->value()); // alike on every axis while the box is ticked
        return int(QDialog::Accepted);
    };
    e.trigger("transformModel");
    for (size_t f = 0; f < before.size(); ++f) {
        for (size_t v = 0; v < before[f].positions.size(); ++v) {
            EXPECT_EQ(3 * before[f].positions[v].x, doc.frames()[f].positions[v].x);
        }
    }
    e.key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(before, doc.frames());
    e.trigger("mirrorZ");
    EXPECT_EQ("Mirror Z", doc.history().undoName());
    e.trigger("centreOnOrigin");
    EXPECT_EQ("Centre on Origin", doc.history().undoName());
}

// Edit > Model Properties: the flags ticked, the sync type and eye chosen and the skin names edited in the
// dialog become the model's in one step (Cancel changes nothing); the status bar says what the original
// engine would not draw of the model it is saved for.
TEST(Commands, ModelPropertiesSetsTheFieldsAsOneStep) {
    CommandEditor e;
    CFacetoDoc& doc = *e.doc;
    e.dialogs.onDialog = [](QDialog&) { return int(QDialog::Rejected); };
    e.trigger("modelProperties");
    EXPECT_FALSE(doc.isModified());
    e.dialogs.onDialog = [](QDialog& d) {
        auto& dialog = dynamic_cast<ModelPropertiesDialog&>(d);
        dialog.show();
        QTest::mouseClick(dialog.flagBox(3), Qt::LeftButton, Qt::NoModifier, QPoint(4, 4)); // rotate
        dialog.syncBox()->setCurrentIndex(1);
        dialog.eyeBox(2)->setValue(16.0);
        new QListWidgetItem("models/x/skin.pcx", dialog.skinNames());
        return int(QDialog::Accepted);
    };
    e.trigger("modelProperties");
    const ModelProperties p = propertiesOf(doc);
    EXPECT_EQ(8, p.flags);
    EXPECT_EQ(1, p.syncType);
    EXPECT_EQ(16.0f, p.eye[2]);
    EXPECT_EQ((std::vector<std::string>{"models/x/skin.pcx"}), p.skinNames);
    EXPECT_EQ("&Undo Model Properties", e.frame().action("editUndo")->text());

    EXPECT_TRUE(e.frame().limitsField()->text().isEmpty());
    DocumentEdit::source(doc).sourceFormat = SOURCE_MD2;
    DocumentEdit::source(doc).skinWidth = 32;
    DocumentEdit::source(doc).skinHeight = 32;
    DocumentEdit::model(doc).skins.clear();
    e.app->refreshCommandStates();
    EXPECT_EQ("a 32 x 32 skin: Quake 2 skins are 64 to 512 texels a side", e.frame().limitsField()->text());
}

// Frame ▸ Interpolate makes the frames the dialog asks for between the current frame and the next one;
// two frames of different animations are interpolated only when the user agrees. Alt+Down and Alt+Up
// move the current frame down and up the list.
TEST(Commands, FrameMenuInterpolatesAndMovesFrames) {
    CommandEditor e;
    CFacetoDoc& doc = *e.doc;
    selectFrameByName(doc, "run1");
    e.dialogs.onDialog = [](QDialog& d) {
        auto& dialog = dynamic_cast<InterpolateDialog&>(d);
        EXPECT_EQ("run1", dialog.fromBox()->currentText());
        EXPECT_EQ("run2", dialog.toBox()->currentText());
        dialog.countBox()->setValue(2);
        return int(QDialog::Accepted);
    };
    e.trigger("interpolateFrames");
    ASSERT_EQ(4u, doc.frames().size());
    EXPECT_EQ("run4", doc.frames()[3].name);
    EXPECT_FLOAT_EQ(doc.frames()[0].positions[0].x + 5.0f / 3.0f, doc.frames()[1].positions[0].x);
    EXPECT_EQ("&Undo Interpolate Frames", e.frame().action("editUndo")->text());

    addAnimation(doc, "wave");
    FrameClipboard clipboard;
    ASSERT_TRUE(copyFrameAt(doc, clipboard, 0));
    ASSERT_TRUE(insertFrame(doc, clipboard, InsertPlace::After, std::nullopt));
    selectFrameByName(doc, "run4");
    const size_t before = doc.frames().size();
    e.dialogs.onDialog = [](QDialog& d) {
        auto& dialog = dynamic_cast<InterpolateDialog&>(d);
        dialog.toBox()->setCurrentIndex(dialog.toBox()->count() - 1); // the wave frame
        return int(QDialog::Accepted);
    };
    e.dialogs.yes = false;
    e.trigger("interpolateFrames");
    EXPECT_EQ(before, doc.frames().size());
    EXPECT_EQ(1, e.dialogs.questions.size());
    e.dialogs.yes = true;
    e.trigger("interpolateFrames");
    EXPECT_EQ(before + 1, doc.frames().size());

    selectFrameByName(doc, "run1");
    const FrameVertex first = doc.frames()[0].positions[0];
    QTest::keyClick(&e.frame(), Qt::Key_Down, Qt::AltModifier);
    EXPECT_EQ(first, doc.frames()[1].positions[0]);
    EXPECT_EQ("run2", doc.frames()[1].name);
    QTest::keyClick(&e.frame(), Qt::Key_Up, Qt::AltModifier);
    EXPECT_EQ(first, doc.frames()[0].positions[0]);
}
