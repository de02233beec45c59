// The skin view and the skin commands, driven as a user drives them.
#include "CommandEditor.h"
#include "app/CAnimationPlayer.h"
#include "app/CProjectManager.h"
#include "app/CSkinPanel.h"
#include "app/Dialogs.h"
#include "document/DocumentEdit.h"
#include "document/SkinOperations.h"
#include "formats/MdlReader.h"
#include "formats/MdlWriter.h"
#include "formats/Pictures.h"
#include "model/Palette.h"
#include "views/CAnimationView.h"
#include "views/CSkinView.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDockWidget>
#include <QSpinBox>
#include <QToolButton>

using namespace faceto;
using namespace faceto::test;

namespace {

// The two squares with a 64 x 64 skin, each square on its own part of it:
//   left square: vertex 0 (4, 44), 1 (24, 44), 2 (4, 24), 3 (24, 24); the right one 32 texels further.
struct SkinEditor : CommandEditor {
    SkinEditor() {
        QDockWidget* dock = frame().skinDock();
        if (!dock->isVisible()) {
            trigger("viewSkinView");
        }
        DocumentEdit::model(*doc).skins = {blankSkin(64, 64, app->paletteTables().palette)};
        DocumentEdit::source(*doc).skinWidth = DocumentEdit::source(*doc).skinHeight = 64;
        for (Triangle& t : DocumentEdit::model(*doc).triangles) {
            for (size_t k = 0; k < 3; ++k) {
                t.st[k] = corner(t.v[k]);
            }
        }
        doc->startHistory();
        doc->changed();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(view()));
        view()->viewState().fitted = false;
        view()->repaint();
    }
    static std::array<float, 2> corner(int v) {
        return {float(4 + (v % 2) * 20 + (v / 4) * 32), float(44 - ((v / 2) % 2) * 20)};
    }
    CSkinView* view() { return app->skinPanel()->view(); }
    QPoint onSkin(float s, float t) {
        const QPointF p = view()->viewState().toScreen(s, t, view()->width(), view()->height());
        return p.toPoint();
    }
    QRgb pixelAt(float s, float t) { return view()->grab().toImage().pixel(onSkin(s, t)) & 0xFFFFFF; }
    std::array<float, 2> st(int triangle, int k) {
        return doc->model().triangles[size_t(triangle)].st[size_t(k)];
    }
};

constexpr QRgb CORNER_MARK = 0xFFE600;

} // namespace

TEST(SkinView, SelectionIsSharedWithTheModelViews) {
    SkinEditor e;
    EXPECT_NE(CORNER_MARK, e.pixelAt(4, 44));
    // A rectangle in the front view selects the left square; the skin view marks its corners.
    e.drag(e.front(), e.at(-35, -15), e.at(-5, 15));
    ASSERT_EQ((std::vector<int>{0, 1, 2, 3}), e.selected());
    e.view()->repaint();
    EXPECT_EQ(CORNER_MARK, e.pixelAt(4, 44));
    EXPECT_EQ(CORNER_MARK, e.pixelAt(24, 24));
    EXPECT_NE(CORNER_MARK, e.pixelAt(36, 44));

    // A click on a triangle in the skin view selects it, and only it.
    QTest::mouseClick(e.view(), Qt::LeftButton, Qt::NoModifier, e.onSkin(52, 28));
    EXPECT_EQ((std::vector<int>{5, 6, 7}), e.selected());
    // Shift adds the one beside it.
    QTest::mouseClick(e.view(), Qt::LeftButton, Qt::ShiftModifier, e.onSkin(40, 40));
    EXPECT_EQ((std::vector<int>{4, 5, 6, 7}), e.selected());
    // A rectangle takes the triangles wholly inside it; on empty skin a click selects nothing.
    e.drag(e.view(), e.onSkin(1, 20), e.onSkin(28, 48));
    EXPECT_EQ((std::vector<int>{0, 1, 2, 3}), e.selected());
    QTest::mouseClick(e.view(), Qt::LeftButton, Qt::NoModifier, e.onSkin(30, 5));
    EXPECT_TRUE(e.selected().empty());
    EXPECT_EQ(0u, e.doc->history().size()); // selecting is not an edit
}

TEST(SkinView, DraggingCornersIsOneStepAndTheTexturedCameraFollows) {
    SkinEditor e;
    ViewState& shown = e.shown(e.doc);
    shown.setCameraSettings(e.doc->profile(), FILL_TEXTURED, shown.backColor, shown.lightAmbient,
                            shown.lightSpot);
    e.doc->changed({change::VIEW});
    // A skin with a left half of one colour and a right half of another, so that moving shows.
    Skin& skin = DocumentEdit::model(*e.doc).skins[0];
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            skin.pixels[size_t(y * skin.stride() + x)] = x < 30 ? 15 : 200;
        }
    }
    e.camera()->repaint();
    const QImage before = e.camera()->grab().toImage();

    e.drag(e.view(), e.onSkin(1, 20), e.onSkin(28, 48)); // the left square
    const float zoom = e.view()->viewState().zoom;
    const QPoint from = e.onSkin(10, 40);
    e.drag(e.view(), from, from + QPoint(40, 20));
    const std::array<float, 2> moved = e.st(0, 0); // vertex 0
    EXPECT_NEAR(4 + 40 / zoom, moved[0], 0.01);
    EXPECT_NEAR(44 + 20 / zoom, moved[1], 0.01);
    EXPECT_EQ(SkinEditor::corner(4), e.st(2, 0)); // the right square stays
    EXPECT_EQ(1u, e.doc->history().size());
    e.camera()->repaint();
    EXPECT_NE(before, e.camera()->grab().toImage());

    e.trigger("editUndo");
    EXPECT_EQ(SkinEditor::corner(0), e.st(0, 0));
    EXPECT_EQ(SkinEditor::corner(3), e.st(1, 1));

    // Snapped: whole texels; Shift: a tenth of the way. (Undo took the selection back too.)
    e.select({0, 1, 2, 3});
    QTest::mouseClick(e.app->skinPanel()->snapBox(), Qt::LeftButton);
    ASSERT_TRUE(e.view()->snapToTexels());
    e.drag(e.view(), e.onSkin(10, 40), e.onSkin(10, 40) + QPoint(7, 3));
    EXPECT_NE(SkinEditor::corner(0), e.st(0, 0));
    EXPECT_EQ(std::round(e.st(0, 0)[0]), e.st(0, 0)[0]);
    EXPECT_EQ(std::round(e.st(0, 0)[1]), e.st(0, 0)[1]);
    e.trigger("editUndo");
    e.select({0, 1, 2, 3});
    QTest::mouseClick(e.app->skinPanel()->snapBox(), Qt::LeftButton);
    e.drag(e.view(), e.onSkin(10, 40), e.onSkin(10, 40) + QPoint(50, 0), Qt::ShiftModifier);
    EXPECT_NEAR(4 + 5 / zoom, e.st(0, 0)[0], 0.01);
}

TEST(SkinView, ScaleAndRotateToolsWorkOnTheSelectedCorners) {
    SkinEditor e;
    e.drag(e.view(), e.onSkin(1, 20), e.onSkin(28, 48)); // the left square, centred on (14, 34)
    e.toolbarClick("toolRotate");
    ASSERT_EQ(TOOL_ROTATE, e.app->state().currentTool);
    e.drag(e.view(), e.onSkin(14, 34), e.onSkin(14, 34) + QPoint(90, 0));
    // A quarter turn: the corner 10 texels left and below the centre goes 10 right and below... turned.
    const std::array<float, 2> turned = e.st(0, 0); // vertex 0 was at (4, 44): (-10, +10) from the centre
    EXPECT_NEAR(14 - 10, turned[0], 0.02);
    EXPECT_NEAR(34 - 10, turned[1], 0.02);
    EXPECT_EQ(1u, e.doc->history().size());
    e.trigger("editUndo");
    e.select({0, 1, 2, 3});
    e.toolbarClick("toolScale");
    QTest::mousePress(e.view(), Qt::LeftButton, Qt::NoModifier, e.onSkin(14, 34));
    QMouseEvent up(QEvent::MouseMove, e.onSkin(14, 34) - QPoint(0, 5),
                   e.view()->mapToGlobal(e.onSkin(14, 34) - QPoint(0, 5)), Qt::NoButton, Qt::LeftButton,
                   Qt::NoModifier);
    QApplication::sendEvent(e.view(), &up);
    QTest::mouseRelease(e.view(), Qt::LeftButton, Qt::NoModifier, e.onSkin(14, 34) - QPoint(0, 5));
    EXPECT_NEAR(14 - 10 * 1.1f, e.st(0, 0)[0], 0.01);
    EXPECT_NEAR(34 + 10 * 1.1f, e.st(0, 0)[1], 0.01);
    EXPECT_EQ(SkinEditor::corner(5), e.st(2, 2));
}

TEST(SkinView, SkinCommandsFromThePanelAndTheMenus) {
    SkinEditor e;
    CSkinPanel& panel = *e.app->skinPanel();
    e.dialogs.onDialog = [](QDialog& dialog) {
        auto& size = dynamic_cast<SkinSizeDialog&>(dialog);
        size.widthBox()->setValue(128);
        size.heightBox()->setValue(32);
        return int(QDialog::Accepted);
    };
    // New Skin from its button: a second, plain skin, shown.
    QTest::mouseClick(panel.buttons()[0], Qt::LeftButton);
    ASSERT_EQ(2u, e.doc->model().skins.size());
    EXPECT_EQ(1, e.doc->currentSkin());
    EXPECT_EQ(2, panel.skinCombo()->count());
    EXPECT_EQ(1, panel.skinCombo()->currentIndex());
    panel.skinCombo()->setCurrentIndex(0);
    EXPECT_EQ(0, e.doc->currentSkin());
    // Resize Skin: the coordinates follow.
    e.trigger("resizeSkin");
    EXPECT_EQ(128, e.doc->model().skins[0].imageWidth);
    EXPECT_FLOAT_EQ(8.0f, e.st(0, 0)[0]);
    EXPECT_FLOAT_EQ(22.0f, e.st(0, 0)[1]);
    e.trigger("editUndo");
    // Delete Skin asks first.
    e.dialogs.yes = false;
    e.trigger("deleteSkin");
    EXPECT_EQ(2u, e.doc->model().skins.size());
    e.dialogs.yes = true;
    e.trigger("deleteSkin");
    EXPECT_EQ(1u, e.doc->model().skins.size());
    EXPECT_EQ(128, e.doc->model().skins[0].imageWidth); // the new one is left

    // Generate SkinMap from the frame list's menu.
    e.trigger("editUndo");
    e.doc->setCurrentSkin(0);
    QMenu* menu = e.panel().frameMenu();
    QAction* generate = e.menuAction(menu, "Generate SkinMap");
    ASSERT_NE(nullptr, generate);
    ASSERT_TRUE(generate->isEnabled());
    generate->trigger();
    for (const Triangle& t : e.doc->model().triangles) {
        for (const auto& c : t.st) {
            EXPECT_TRUE(c[0] >= 0 && c[0] <= 64 && c[1] >= 0 && c[1] <= 64);
        }
    }
    const size_t steps = e.doc->history().size();

    // Export with the map as PNG, then import it back in place of the skin.
    const QString png = e.path("skin-map.png");
    e.dialogs.files.push_back({png, 1});
    e.dialogs.choices = {1}; // with the map
    e.trigger("exportSkin");
    EXPECT_EQ((QStringList{"Picture Only", "With the Skin Map"}), e.dialogs.choiceAnswers.back());
    ASSERT_TRUE(QFileInfo::exists(png)) << e.dialogs.messages.join("\n").toStdString();
    const QImage written(png);
    EXPECT_EQ(QSize(64, 64), written.size());
    EXPECT_EQ(QImage::Format_Indexed8, written.format()); // an 8-bit skin keeps its indices
    // The picture only, the map not drawn: the blank skin's one colour; Cancel writes nothing.
    const QString plain = e.path("skin.png");
    e.dialogs.files.push_back({plain, 1});
    e.dialogs.choices = {0};
    e.trigger("exportSkin");
    const QImage plainPicture(plain);
    ASSERT_FALSE(plainPicture.isNull());
    EXPECT_NE(plainPicture.convertToFormat(QImage::Format_RGB32),
              written.convertToFormat(QImage::Format_RGB32));
    e.dialogs.files.push_back({e.path("never.png"), 1});
    e.dialogs.choices = {-1};
    e.trigger("exportSkin");
    EXPECT_FALSE(QFileInfo::exists(e.path("never.png")));

    // A picture of another size: replace (yes), scale the coordinates (yes).
    Skin small = blankSkin(32, 32, e.app->paletteTables().palette);
    small.pixels[0] = 77;
    const QString smallPath = e.path("small.png");
    const ByteBuffer smallPng = encodeSkinPicturePng(small);
    writeBytes(smallPath.toStdString(), std::vector<uint8_t>(smallPng.begin(), smallPng.end()));
    const std::array<float, 2> mapped = e.st(0, 0);
    // Cancel at the Replace or Add question imports nothing.
    e.dialogs.files.push_back({smallPath, 0});
    e.dialogs.choices = {-1};
    e.trigger("importSkin");
    EXPECT_EQ(steps, e.doc->history().size());
    EXPECT_EQ(64, e.doc->model().skins[0].imageWidth);
    EXPECT_EQ((QStringList{"Replace", "Add as New Skin"}), e.dialogs.choiceAnswers.back());
    e.dialogs.files.push_back({smallPath, 0});
    e.dialogs.choices = {0};
    e.dialogs.questions.clear();
    e.trigger("importSkin");
    ASSERT_EQ(1, e.dialogs.questions.size());
    EXPECT_TRUE(e.dialogs.questions[0].contains("32 x 32"));
    EXPECT_EQ(32, e.doc->model().skins[0].imageWidth);
    EXPECT_EQ(77, e.doc->model().skins[0].pixels[0]);
    EXPECT_FLOAT_EQ(mapped[0] / 2, e.st(0, 0)[0]);
    EXPECT_EQ(steps + 1, e.doc->history().size());
    e.trigger("editUndo");
    EXPECT_EQ(64, e.doc->model().skins[0].imageWidth);
    EXPECT_EQ(mapped, e.st(0, 0));

    // A damaged picture is refused with a message.
    writeText(e.dir.path("bad.png"), "not a picture");
    e.dialogs.files.push_back({e.path("bad.png"), 0});
    e.trigger("importSkin");
    ASSERT_FALSE(e.dialogs.messages.isEmpty());
    EXPECT_TRUE(e.dialogs.messages.back().startsWith("Cannot import"));
}

// A skin that repeats shows its picture again past its edges (darker), mirrored where it mirrors; one
// that clamps shows the pane's background there.
TEST(SkinView, ARepeatingSkinShowsAgainPastItsEdges) {
    SkinEditor e;
    Skin& skin = DocumentEdit::model(*e.doc).skins[0];
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            skin.pixels[size_t(y * skin.stride() + x)] = x < 32 ? 4 : 250; // dark left half, red right half
        }
    }
    e.view()->viewState().zoom /= 3; // room around the picture
    e.doc->changed();
    e.view()->repaint();
    const QRgb background = e.pixelAt(70, 10); // right of the picture, clamped
    EXPECT_EQ(0x404048u, background);
    skin.wrap = {Wrap::Repeat, Wrap::Clamp};
    e.doc->changed();
    e.view()->repaint();
    const QRgb again = e.pixelAt(70, 10); // texel 6 of the next copy: the dark half
    EXPECT_NE(background, again);
    EXPECT_GE(qRed(e.pixelAt(6, 10)), qRed(again)); // the copy is darker than the picture itself
    skin.wrap = {Wrap::Mirror, Wrap::Clamp};
    e.doc->changed();
    e.view()->repaint();
    EXPECT_GT(qRed(e.pixelAt(70, 10)), qRed(again)); // mirrored: texel 57, the red half
}

// The skin chosen in the Skin drop-down is the one the preview shows, as the textured camera modes do.
TEST(SkinView, ThePreviewShowsTheSkinChosenInTheDropDown) {
    SkinEditor e;
    Skin red = e.doc->model().skins[0];
    red.pixels.assign(red.pixels.size(), 251); // pure red in the editor's colours
    DocumentEdit::model(*e.doc).skins.push_back(red);
    e.doc->changed();
    CAnimationPlayer& player = *e.app->projectManager()->player();
    QComboBox* skins = e.app->skinPanel()->skinCombo();
    skins->setFocus();
    QTest::keyClick(skins, Qt::Key_Down);
    ASSERT_EQ(1, e.doc->currentSkin());
    player.preview()->settings.textured = 1;
    const QImage shown = player.preview()->grab().toImage();
    int reds = 0;
    for (int y = 0; y < shown.height(); ++y) {
        for (int x = 0; x < shown.width(); ++x) {
            reds += (shown.pixel(x, y) & 0xFFFFFF) == 0xFF0000 ? 1 : 0;
        }
    }
    EXPECT_GT(reds, 20);
}

// A Quake skin group is one entry with its pictures under it, each with how long it shows; the heading
// cannot be chosen.
TEST(SkinView, ASkinGroupIsListedAsOneGroup) {
    Result<ModelData> read = parseMdl(readBytes(FACETO_SOURCE_DIR "/fuzz/corpus/mdl/v6.mdl"));
    ASSERT_TRUE(read) << read.error();
    ModelData data = std::move(*read);
    ASSERT_EQ(3u, data.model.skins.size());
    data.model.skins.push_back(data.model.skins.back());
    data.source.quake->skinGroups = {{false, 1, {}, {}}, {true, 3, {0.1f, 0.3f, 0.6f}, {}}};
    Result<MdlOutput> out = encodeMdl(data.model, data.frames, data.source, quakePalette());
    ASSERT_TRUE(out) << out.error();
    Editor e;
    const std::string path = e.dir.path("grouped.mdl");
    writeBytes(path, std::vector<uint8_t>(out->bytes.begin(), out->bytes.end()));
    e.start({QString::fromStdString(path)});
    QComboBox* skins = e.app->skinPanel()->skinCombo();
    QStringList entries;
    for (int i = 0; i < skins->count(); ++i) {
        entries << skins->itemText(i);
    }
    EXPECT_EQ((QStringList{"0: skin (4 x 2)", "Group 1: 3 pictures", "    1: picture 1 of 3, 0.1 s (4 x 2)",
                           "    2: picture 2 of 3, 0.2 s (4 x 2)", "    3: picture 3 of 3, 0.3 s (4 x 2)"}),
              entries);
    // Down from the single skin steps over the heading to the group's first picture.
    skins->setFocus();
    QTest::keyClick(skins, Qt::Key_Down);
    EXPECT_EQ(1, e.active()->currentSkin());
    QTest::keyClick(skins, Qt::Key_Down);
    EXPECT_EQ(2, e.active()->currentSkin());
    QTest::keyClick(skins, Qt::Key_Up);
    QTest::keyClick(skins, Qt::Key_Up);
    EXPECT_EQ(0, e.active()->currentSkin());
}
