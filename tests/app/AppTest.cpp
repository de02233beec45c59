#include "EditorFixture.h"
#include "app/CChildFrame.h"
#include "app/CFacetoApp.h"
#include "app/CMainFrame.h"
#include "app/Dialogs.h"
#include "document/FrameOperations.h"
#include "formats/Md2Writer.h"
#include "formats/NativeFormat.h"
#include "views/C2DView.h"
#include "views/CCameraView.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDockWidget>
#include <QDropEvent>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QTest>
#include <QToolBar>
#include <QUrl>
#include <chrono>
#include <deque>
#include <filesystem>
#include <functional>
#include <thread>

using namespace faceto;
using namespace faceto::test;

namespace {

bool hasMenu(CMainFrame& frame, const QString& title) {
    return frame.menu(title) != nullptr;
}

} // namespace

TEST(Editor, StartsEmptyWithAnEmptyProfile) {
    Editor e;
    e.start();
    EXPECT_TRUE(e.app->documents().empty());
    EXPECT_EQ("Faceto", e.frame().windowTitle());
    EXPECT_FALSE(hasMenu(e.frame(), "Edit")); // the menu without documents
    EXPECT_TRUE(hasMenu(e.frame(), "File"));
    EXPECT_EQ(LEVEL_VERTEX, e.app->state().editLevel);
    EXPECT_EQ(TOOL_EDIT, e.app->state().currentTool);
    EXPECT_EQ("BaseClipBoard", e.app->state().clipboard.model().name);
    EXPECT_EQ("ClipBoard", e.app->state().clipboard.frame().name);
    EXPECT_TRUE(e.frame().action("levelVertex")->isChecked());
    EXPECT_TRUE(e.frame().action("toolEdit")->isChecked());
    EXPECT_TRUE(e.frame().action("levelSkeleton")->isChecked()); // the hierarchy shows
    EXPECT_FALSE(e.frame().action("unnamed1")->isEnabled());
    // A new document has its axis locks off.
    e.trigger("fileNew");
    ASSERT_EQ(1u, e.app->documents().size());
    EXPECT_FALSE(e.shown().isLocked(0));
    EXPECT_TRUE(hasMenu(e.frame(), "Edit"));
    // The main window names the active document, with a star once it is modified.
    EXPECT_EQ(QString::fromUtf8("Untitled — Faceto"), e.frame().windowTitle());
    // The desktop's standard keys where the menus had none.
    EXPECT_TRUE(e.frame().action("fileExit")->shortcuts().contains(QKeySequence("Ctrl+Q")));
    EXPECT_TRUE(e.frame().action("fileClose")->shortcuts().contains(QKeySequence("Ctrl+W")));
    EXPECT_TRUE(e.frame().action("fileSaveAs")->shortcuts().contains(QKeySequence("Ctrl+Shift+S")));
    // The View menu names the project panel once.
    QStringList panels;
    for (QAction* a : e.frame().menu("View")->actions()) {
        if (a->text().remove(' ').compare("MainToolBar", Qt::CaseInsensitive) == 0) {
            panels << a->text();
        }
    }
    EXPECT_EQ(1, panels.size()) << panels.join(", ").toStdString();
}

TEST(Editor, ReopensTheLastDocumentWithTheProfilesLocks) {
    Editor e;
    const QString model = e.writeModel("last.fm");
    e.setting("Pref/LastDoc", model);
    e.setting("Pref/Lock1", 1);
    e.start();
    ASSERT_EQ(1u, e.app->documents().size());
    CFacetoDoc* doc = e.app->documents().front().get();
    EXPECT_EQ(model.toStdString(), doc->pathName());
    EXPECT_TRUE(e.shown(doc).isLocked(0));
    EXPECT_FALSE(e.shown(doc).isLocked(1));
    EXPECT_EQ(doc, e.app->state().activeDocument);
    EXPECT_TRUE(e.frame().action("lockX")->isChecked());
    EXPECT_EQ(QString::fromUtf8("last.fm — Faceto"), e.frame().windowTitle());
    moveVertex(*doc, 0, {1, 2, 3});
    EXPECT_EQ(QString::fromUtf8("last.fm* — Faceto"), e.frame().windowTitle());
    e.trigger("editUndo");
    EXPECT_EQ(QString::fromUtf8("last.fm — Faceto"), e.frame().windowTitle());
    e.stop();
    EXPECT_EQ(model, e.storedSetting("Pref/LastDoc").toString());

    // A last document that is gone opens nothing and says nothing; an untitled one leaves it empty.
    Editor f;
    f.setting("Pref/LastDoc", f.path("gone.fm"));
    f.start();
    EXPECT_TRUE(f.app->documents().empty());
    EXPECT_TRUE(f.dialogs.messages.isEmpty());
    f.trigger("fileNew");
    f.stop();
    EXPECT_EQ("", f.storedSetting("Pref/LastDoc").toString());
}

TEST(Editor, OpensEveryFormatThroughTheDialogsPath) {
    Editor e;
    e.start();
    const QString native = e.writeModel("model.fm");
    ModelData data = makeModel(3, {tri(0, 1, 2)}, 1);
    writeBytes(e.dir.path("quake2.md2"), toVector(*encodeMd2(data.model, data.frames, data.source, {})));
    writeText(e.dir.path("knight.3do"),
              "GEOSETS 1\nGEOSET 0\nMESHES 1\nMESH 0\nVERTICES 3\n0: 0 0 0 0\n"
              "1: 1 0 0 0\n2: 0 1 0 0\nFACES 1\n0: 0 0x0 4 3 1 0 3 0, 0 1, 0 2, 0\n");
    writeText(e.dir.path("notes.txt"), "hello");
    writeBytes(e.dir.path("broken.mdl"), {'I', 'D', 'P', 'O', 6, 0});

    // The filters: every model first, then each format; a name without a dot takes the chosen filter's
    // extension, and the next Open starts in the folder of the last.
    e.dialogs.files = {{native, 0}, {e.path("quake2"), 3}, {e.path("knight.3do"), 5}};
    e.trigger("fileOpen");
    EXPECT_EQ(
        (QStringList{"All models (*.fm *.mdl *.md2 *.md3 *.3do *.gltf *.glb *.obj)", "Faceto Model (*.fm)",
                     "Quake/Hexen2 Model (*.mdl)", "Quake2 Model (*.md2)", "Quake III Model (*.md3)",
                     "Jedi Knight Model (*.3do)", "glTF 2.0 (*.gltf *.glb)", "Wavefront OBJ (*.obj)"}),
        e.dialogs.openFilters);
    e.trigger("fileOpen"); // "quake2" without a dot: the filter adds ".md2"
    e.trigger("fileOpen");
    ASSERT_EQ(3u, e.app->documents().size());
    EXPECT_EQ(e.path("quake2.md2").toStdString(), e.app->documents()[1]->pathName());
    EXPECT_EQ(e.app->documents()[2].get(), e.app->state().activeDocument);
    EXPECT_EQ(3, e.app->recentFiles().size());
    EXPECT_EQ(e.path("knight.3do"), e.app->recentFiles().front());
    EXPECT_EQ((QStringList{"", QFileInfo(native).absolutePath(), QFileInfo(native).absolutePath()}),
              e.dialogs.openFolders);

    e.dialogs.files = {{e.path("notes.txt"), 0}, {e.path("broken.mdl"), 1}, {e.path("absent.fm"), 0}};
    e.trigger("fileOpen");
    e.trigger("fileOpen");
    e.trigger("fileOpen");
    EXPECT_EQ((QStringList{"Unsupported File type.", "Error reading file.", "Error reading file."}),
              headings(e.dialogs.messages));
    EXPECT_TRUE(e.dialogs.messages[2].endsWith("absent.fm: No such file or directory"));
    EXPECT_EQ(3u, e.app->documents().size());
    EXPECT_EQ(nullptr, e.app->state().activeDocument); // the last open failed
}

// Files of the same name are told apart in the recent list by the folders above them.
TEST(Editor, TheRecentListTellsFilesOfOneNameApart) {
    Editor e;
    e.start();
    for (const char* folder : {"a", "b", "x/deep", "y/deep"}) {
        std::filesystem::create_directories(e.dir.path(folder));
    }
    for (const char* name : {"a/m.fm", "b/m.fm", "x/deep/s.fm", "y/deep/s.fm", "c.fm"}) {
        ASSERT_NE(nullptr, e.app->openDocument(e.writeModel(name)));
    }
    QStringList shown;
    for (QAction* a : e.frame().menu("File")->actions()) {
        if (a->objectName() == "recentFile") {
            shown << a->text();
        }
    }
    EXPECT_EQ((QStringList{"&1 c.fm", "&2 s.fm (y/deep)", "&3 s.fm (x/deep)", "&4 m.fm (b)", "&5 m.fm (a)"}),
              shown);
}

TEST(Editor, SaveAndSaveAsDispatchByExtension) {
    Editor e;
    e.start();
    e.trigger("fileNew");
    CFacetoDoc* doc = e.active();
    // Save on a document never saved offers Save As; a name without an extension takes the filter's.
    e.dialogs.files = {{e.path("first"), 0}};
    e.trigger("fileSave");
    EXPECT_EQ(e.path("first.fm").toStdString(), doc->pathName());
    EXPECT_EQ("first.fm", doc->title());
    EXPECT_TRUE(std::filesystem::exists(e.dir.path("first.fm")));

    // The filters: Faceto, Quake, Quake 2, 3D Studio.
    e.dialogs.files = {{e.path("export"), 2}, {e.path("mesh.ASC"), 0}, {e.path("quake"), 1}};
    e.trigger("fileSaveAs");
    e.trigger("fileSaveAs");
    e.trigger("fileSaveAs");
    EXPECT_TRUE(std::filesystem::exists(e.dir.path("export.md2")));
    EXPECT_TRUE(std::filesystem::exists(e.dir.path("quake.mdl")));
    EXPECT_TRUE(std::filesystem::exists(e.dir.path("mesh.ASC")));
    EXPECT_EQ("first.fm", doc->title()); // exports leave the document's name alone

    // A folder in the way: each writer's own message.
    std::filesystem::create_directory(e.dir.path("taken.fm"));
    std::filesystem::create_directory(e.dir.path("taken.md2"));
    e.dialogs.files = {{e.path("taken.fm"), 0}, {e.path("taken.md2"), 2}};
    e.trigger("fileSaveAs");
    e.trigger("fileSaveAs");
    EXPECT_EQ((QStringList{"Couldn't write file\n" + e.path("taken.fm") + ": Is a directory",
                           "Error writing file.\n" + e.path("taken.md2") + ": Is a directory"}),
              e.dialogs.messages);
    EXPECT_EQ("first.fm", doc->title());
}

TEST(Editor, SaveWritesAGameModelBackAndSaysOnceWhatItLeavesOut) {
    Editor e;
    e.start();
    // A Quake model and a Quake 2 model, made from the same mesh.
    const QString native = e.writeModel("m.fm");
    CFacetoDoc* source = e.app->openDocument(native);
    ASSERT_EQ(CFacetoDoc::SaveAsResult::Saved, source->saveAs(e.dir.path("q.mdl")));
    ASSERT_EQ(CFacetoDoc::SaveAsResult::Saved, source->saveAs(e.dir.path("q2.md2")));
    CFacetoDoc* quake = e.app->openDocument(e.path("q.mdl"));
    ASSERT_NE(nullptr, quake);
    moveVertex(*quake, 0, {7.0f, 0.0f, 0.0f});
    e.dialogs.files.clear(); // a Save As dialog would find no answer
    // The warning can be cancelled (nothing is saved, and it is given again), or answered with Save.
    e.dialogs.choices = {-1, 0};
    e.trigger("fileSave");
    EXPECT_TRUE(quake->isModified());
    e.trigger("fileSave");
    EXPECT_FALSE(quake->isModified());
    ASSERT_EQ(2, e.dialogs.choiceQuestions.size());
    EXPECT_TRUE(e.dialogs.choiceQuestions[1].startsWith("q.mdl is saved in its own format (Quake model)"))
        << e.dialogs.choiceQuestions[1].toStdString();
    EXPECT_EQ((QStringList{"Save", "Save As..."}), e.dialogs.choiceAnswers[1]);
    CFacetoDoc check(e.app->profile(), *e.app, e.app->paletteTables());
    ASSERT_TRUE(check.onOpenDocument(e.dir.path("q.mdl")));
    EXPECT_NEAR(7.0f, check.frames()[0].positions[0].x, 0.1f);

    CFacetoDoc* quake2 = e.app->openDocument(e.path("q2.md2"));
    moveVertex(*quake2, 1, {3.0f, 0.0f, 0.0f});
    e.trigger("fileSave");
    EXPECT_FALSE(quake2->isModified());
    EXPECT_EQ(2, e.dialogs.choiceQuestions.size()); // told once a session
    EXPECT_EQ(e.path("q2.md2").toStdString(), quake2->pathName());
}

// A file that is open already comes to the front instead of opening again (by any of its names), a
// model file without an extension opens from the dialog, and Save asks before replacing a file that
// another program changed meanwhile.
TEST(Editor, AFileIsOpenOnceAndAFileChangedElsewhereIsNotOverwrittenUnasked) {
    Editor e;
    e.start();
    const QString model = e.writeModel("m.fm");
    std::filesystem::create_symlink(e.dir.path("m.fm"), e.dir.path("link.fm"));
    std::filesystem::copy_file(e.dir.path("m.fm"), e.dir.path("noextension"));
    CFacetoDoc* doc = e.app->openDocument(model);
    CFacetoDoc* other = e.app->openDocument(e.writeModel("other.fm"));
    e.dialogs.files = {{e.path("link.fm"), 0}, {model, 0}, {e.path("noextension"), 1}};
    e.trigger("fileOpen");
    EXPECT_EQ(doc, e.active());
    e.activate(other);
    e.trigger("fileOpen");
    EXPECT_EQ(doc, e.active());
    EXPECT_EQ(2u, e.app->documents().size());
    EXPECT_EQ(1u, e.app->framesOf(doc).size());
    e.trigger("fileOpen");
    ASSERT_EQ(3u, e.app->documents().size());
    EXPECT_EQ(e.path("noextension").toStdString(), e.active()->pathName());
    EXPECT_EQ(4, e.active()->model().vertexCount());

    // Another program writes the file: Save asks, and "no" leaves its bytes.
    e.activate(doc);
    moveVertex(*doc, 0, {9, 9, 9});
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    writeText(e.dir.path("m.fm"), "written elsewhere");
    e.dialogs.yes = false;
    e.trigger("fileSave");
    ASSERT_EQ(1, e.dialogs.questions.size());
    EXPECT_TRUE(e.dialogs.questions[0].contains("was changed by another program"))
        << e.dialogs.questions[0].toStdString();
    const std::vector<uint8_t> kept = readBytes(e.dir.path("m.fm"));
    EXPECT_EQ("written elsewhere", std::string(kept.begin(), kept.end()));
    EXPECT_TRUE(doc->isModified());
    e.dialogs.yes = true;
    e.trigger("fileSave");
    EXPECT_FALSE(doc->isModified());
    e.trigger("fileSave"); // saved here since: no question
    EXPECT_EQ(2, e.dialogs.questions.size());
}

TEST(Editor, ClosingAskToSaveModifiedDocumentsAndSwitchTheMenus) {
    Editor e;
    e.start();
    const QString model = e.writeModel("m.fm");
    CFacetoDoc* doc = e.app->openDocument(model);
    ASSERT_NE(nullptr, doc);
    e.trigger("selectAll");
    EXPECT_FALSE(doc->isModified()); // selecting is not an edit
    moveVertex(*doc, 0, {42.0f, 0.0f, 0.0f});

    e.dialogs.saveAnswer = UserDialogs::SaveAnswer::Cancel;
    e.trigger("fileClose");
    EXPECT_EQ(1u, e.app->documents().size());
    EXPECT_FALSE(e.frame().close()); // quitting asks too
    EXPECT_EQ(2, e.dialogs.saveQuestions.size());

    e.dialogs.saveAnswer = UserDialogs::SaveAnswer::Save;
    e.trigger("fileClose");
    EXPECT_TRUE(e.app->documents().empty());
    EXPECT_FALSE(hasMenu(e.frame(), "Edit"));
    ModelData back;
    ASSERT_TRUE(into(readNativeFile(model.toStdString()), back));
    EXPECT_EQ(42.0f, back.frames[0].positions[0].x);
    EXPECT_EQ(nullptr, e.app->state().activeDocument);

    // Closing one of two windows of a document closes only the window.
    CFacetoDoc* again = e.app->openDocument(model);
    e.trigger("windowNew");
    ASSERT_EQ(2u, e.app->framesOf(again).size());
    moveVertex(*again, 0, {1.0f, 2.0f, 3.0f});
    e.dialogs.saveQuestions.clear();
    qobject_cast<QMdiSubWindow*>(e.app->framesOf(again)[1]->parentWidget())->close();
    QApplication::processEvents();
    EXPECT_EQ(1u, e.app->framesOf(again).size());
    EXPECT_TRUE(e.dialogs.saveQuestions.isEmpty());
}

TEST(Editor, ToolsAndLevelsAreOneForAllDocuments) {
    Editor e;
    e.start();
    CFacetoDoc* a = e.app->newDocument();
    CFacetoDoc* b = e.app->newDocument();
    e.activate(a);
    // The toolbar's buttons, pressed as a user presses them.
    QToolBar* bar = e.frame().mainToolBar();
    QTest::mouseClick(bar->widgetForAction(e.frame().action("toolMoveZoom")), Qt::LeftButton);
    EXPECT_EQ(TOOL_MOVE_ZOOM, e.app->state().currentTool);
    e.activate(b);
    EXPECT_EQ(b, e.app->state().activeDocument);
    EXPECT_TRUE(e.frame().action("toolMoveZoom")->isChecked());
    EXPECT_FALSE(e.frame().action("toolEdit")->isChecked());

    QTest::mouseClick(bar->widgetForAction(e.frame().action("toolScale")), Qt::LeftButton);
    EXPECT_EQ(TOOL_SCALE, e.app->state().currentTool);
    QTest::mouseClick(bar->widgetForAction(e.frame().action("toolRotate")), Qt::LeftButton);
    EXPECT_EQ(TOOL_ROTATE, e.app->state().currentTool);
    EXPECT_TRUE(e.frame().action("toolRotate")->isChecked());
    EXPECT_FALSE(e.frame().action("toolScale")->isChecked());

    QTest::mouseClick(bar->widgetForAction(e.frame().action("levelGroup")), Qt::LeftButton);
    EXPECT_EQ(LEVEL_GROUP, e.app->state().editLevel);
    EXPECT_FALSE(e.frame().action("levelVertex")->isChecked());
    QTest::mouseClick(bar->widgetForAction(e.frame().action("levelTriangle")), Qt::LeftButton);
    EXPECT_EQ(LEVEL_TRIANGLE, e.app->state().editLevel);
    EXPECT_TRUE(e.frame().action("levelTriangle")->isChecked());
    e.trigger("levelVertex");
    EXPECT_EQ(LEVEL_VERTEX, e.app->state().editLevel);
    EXPECT_FALSE(e.frame().action("levelTriangle")->isChecked());
    e.trigger("levelObject"); // Alt+1
    EXPECT_TRUE(e.dialogs.messages.isEmpty());
    EXPECT_EQ(LEVEL_OBJECT, e.app->state().editLevel);
    EXPECT_TRUE(e.frame().action("levelObject")->isChecked());
    EXPECT_FALSE(e.frame().action("levelVertex")->isChecked());
    // The Tools menu's Scale and Rotate choose the tools as the toolbar does.
    e.trigger("toolsScale");
    EXPECT_EQ(TOOL_SCALE, e.app->state().currentTool);
    EXPECT_TRUE(e.frame().action("toolScale")->isChecked());
    e.trigger("toolsRotate");
    EXPECT_EQ(TOOL_ROTATE, e.app->state().currentTool);
    EXPECT_TRUE(e.frame().action("toolsRotate")->isChecked());
    EXPECT_FALSE(e.frame().action("toolsScale")->isChecked());
    // Tools > Select is the Select tool, checked while it is chosen.
    QAction* select = e.frame().action("toolsSelect");
    EXPECT_TRUE(select->isEnabled());
    EXPECT_FALSE(select->isChecked());
    select->trigger();
    EXPECT_EQ(TOOL_EDIT, e.app->state().currentTool);
    EXPECT_TRUE(select->isChecked());
    EXPECT_TRUE(e.frame().action("toolEdit")->isChecked());
    EXPECT_FALSE(e.frame().action("toolsRotate")->isChecked());

    // The locks and the grid follow the active document.
    e.trigger("lockY");
    EXPECT_TRUE(e.shown(b).isLocked(1));
    e.activate(a);
    EXPECT_FALSE(e.frame().action("lockY")->isChecked());
    QTest::mouseClick(bar->widgetForAction(e.frame().action("grids")), Qt::LeftButton);
    EXPECT_EQ(0, e.shown(a).gridVisible);
    EXPECT_FALSE(e.frame().action("grids")->isChecked());
    EXPECT_EQ(1, e.shown(b).gridVisible);
    e.activate(b);
    EXPECT_TRUE(e.frame().action("grids")->isChecked());
}

TEST(Editor, ResizeViewsEquallyLeavesRoomForTheSplitterBars) {
    Editor e;
    e.start();
    e.app->newDocument();
    CChildFrame* frame = e.app->activeFrame();
    QMdiSubWindow* window = qobject_cast<QMdiSubWindow*>(frame->parentWidget());
    window->resize(500, 400);
    QApplication::processEvents();
    e.trigger("resizeViewsEqually");
    EXPECT_EQ(frame->height() / 2 - 5, frame->rowHeights()[0]);
    EXPECT_EQ(frame->width() / 2 - 5, frame->columnWidths()[0]);
    frame->setMinimumSize(0, 0);
    window->setMinimumSize(0, 0);
    frame->resize(8, 9);
    frame->resizeViewsEqually();
    EXPECT_EQ(0, frame->rowHeights()[0]);
    EXPECT_EQ(0, frame->columnWidths()[0]);
}

TEST(Editor, GameSetupWritesAllFiveEntriesOnOkAndNothingOnCancel) {
    Editor e;
    // Without a setting, the base folder is the first usual Quake 2 place that exists.
    const QByteArray home = qgetenv("HOME");
    std::filesystem::create_directories(e.dir.dir() / ".quake2" / "baseq2");
    qputenv("HOME", QByteArray::fromStdString(e.dir.dir().string()));
    const QString base = QString::fromStdString((e.dir.dir() / ".quake2" / "baseq2").string());
    e.start();
    e.dialogs.onDialog = [&](QDialog& dialog) {
        auto* setup = qobject_cast<GameSetupDialog*>(&dialog);
        EXPECT_EQ(base, setup->quake2Base()->text());
        EXPECT_EQ("", setup->quakePalette()->text());
        setup->quakePalette()->setText("q/palette.lmp");
        dialog.reject();
        return int(QDialog::Rejected);
    };
    e.trigger("gameSetup");
    EXPECT_FALSE(e.storedSetting("games/quake/palette").isValid());

    e.dialogs.onDialog = [](QDialog& dialog) {
        auto* setup = qobject_cast<GameSetupDialog*>(&dialog);
        dialog.show();
        setup->quakePalette()->setText("q/palette.lmp");
        EXPECT_EQ("the Quake palette", setup->mdlPalette()->currentText());
        setup->mdlPalette()->setCurrentIndex(1);
        QTest::keyClick(setup->quakePalette(), Qt::Key_Return); // OK is the default button
        return dialog.result();
    };
    e.trigger("gameSetup");
    EXPECT_EQ("hexen2", e.storedSetting("games/quake/modelPalette").toString());
    EXPECT_EQ(base, e.storedSetting("games/quake2/base").toString());
    EXPECT_EQ("q/palette.lmp", e.storedSetting("games/quake/palette").toString());
    EXPECT_TRUE(e.storedSetting("games/quake/colormap").isValid());
    EXPECT_TRUE(e.storedSetting("games/hexen2/palette").isValid());
    EXPECT_TRUE(e.storedSetting("games/hexen2/colormap").isValid());
    const std::vector<uint8_t> ini = readBytes(e.dir.path("settings.ini"));
    EXPECT_NE(std::string::npos,
              std::string(ini.begin(), ini.end()).find("quake2\\base=" + base.toStdString()));

    // "Browse..." puts the chosen folder or file into its field.
    e.dialogs.browsed = "/games/q2/baseq2";
    e.dialogs.onDialog = [&](QDialog& dialog) {
        auto* setup = qobject_cast<GameSetupDialog*>(&dialog);
        QTest::mouseClick(setup->browseButton(0), Qt::LeftButton);
        EXPECT_EQ("/games/q2/baseq2", setup->quake2Base()->text());
        e.dialogs.browsed = "/games/q1/palette.lmp";
        QTest::mouseClick(setup->browseButton(1), Qt::LeftButton);
        EXPECT_EQ("/games/q1/palette.lmp", setup->quakePalette()->text());
        return int(QDialog::Rejected);
    };
    e.trigger("gameSetup");
    qputenv("HOME", home);
}

TEST(Editor, DroppedFilesAndTheCommandLineOpenDocuments) {
    Editor e;
    const QString first = e.writeModel("first.fm");
    const QString second = e.writeModel("second.fm");
    // A file on the command line opens alone: not with the document of the last session.
    e.setting("Pref/LastDoc", second);
    e.start({first});
    ASSERT_EQ(1u, e.app->documents().size());
    EXPECT_EQ(first.toStdString(), e.app->documents()[0]->pathName());

    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(second)});
    QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&e.frame(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(50, 50), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&e.frame(), &drop);
    ASSERT_EQ(2u, e.app->documents().size());
    EXPECT_EQ(second.toStdString(), e.app->documents()[1]->pathName());
}

TEST(Editor, DialogBarAndEscape) {
    Editor e;
    e.start();
    e.app->newDocument();
    QDockWidget* dock = e.frame().dialogBar();
    EXPECT_TRUE(dock->isVisible());
    e.trigger("viewMainToolBar");
    EXPECT_FALSE(dock->isVisible());
    EXPECT_FALSE(e.frame().action("viewMainToolBar")->isChecked());
    e.trigger("viewMainToolBar");
    EXPECT_TRUE(e.frame().action("viewMainToolBar")->isChecked());
    int escapes = 0;
    QObject::connect(e.app.get(), &CFacetoApp::escapePressed, [&] { ++escapes; });
    e.frame().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&e.frame()));
    QTest::keyClick(&e.frame(), Qt::Key_Escape);
    EXPECT_EQ(1, escapes);
}

namespace {

// What the screen shows of a widget: the window's backing store, as the last paints left it.
QImage onScreen(QWidget* widget) {
    QWidget* window = widget->window();
    const QPoint at = widget->mapTo(window, QPoint(0, 0));
    const QImage all = QGuiApplication::primaryScreen()->grabWindow(window->winId()).toImage();
    return all.copy(QRect(at, widget->size()));
}

// How many pixels of two pictures of one size differ in colour (-1: the sizes differ).
int differentPixels(const QImage& a, const QImage& b) {
    if (a.size() != b.size()) {
        return -1;
    }
    int count = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            count += (a.pixel(x, y) & 0xFFFFFF) != (b.pixel(x, y) & 0xFFFFFF) ? 1 : 0;
        }
    }
    return count;
}

} // namespace

TEST(Editor, EveryPaintShowsTheViewsOwnPicture) {
    Editor e;
    e.start();
    // Two documents whose camera panes look different.
    ModelData big = makeModel(3, {tri(0, 2, 1)}, 1);
    big.frames[0].positions = {{0, -40, -40}, {0, 40, -40}, {0, 0, 40}};
    big.model.triangles[0].color = 100;
    ModelData small = makeModel(3, {tri(0, 2, 1)}, 1);
    small.frames[0].positions = {{0, -5, -5}, {0, 5, -5}, {0, 0, 5}};
    small.model.triangles[0].color = 200;
    writeNative(e.dir.path("big.fm"), big.model, big.frames, big.source);
    writeNative(e.dir.path("small.fm"), small.model, small.frames, small.source);
    CFacetoDoc* first = e.app->openDocument(e.path("big.fm"));
    CFacetoDoc* second = e.app->openDocument(e.path("small.fm"));
    e.trigger("windowTile");
    QApplication::processEvents();
    CCameraView* a = e.app->framesOf(first).front()->cameraView();
    CCameraView* b = e.app->framesOf(second).front()->cameraView();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(a->window()));
    a->repaint();
    b->repaint();
    // A partial expose of the first pane after the second drew last.
    a->repaint(QRect(5, 5, a->width() / 2, a->height() / 2));
    const QImage shown = onScreen(a);
    const QImage fresh = a->grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(0, differentPixels(fresh, shown));
    // The same after the other document changes its frame and the windows are laid out again.
    selectFrameByName(*second, second->frames()[0].name);
    e.trigger("windowCascade");
    e.trigger("windowTile");
    QApplication::processEvents();
    e.trigger("resizeViewsEqually");
    QApplication::processEvents();
    b->repaint();
    a->repaint(QRect(0, 0, 20, 20));
    EXPECT_EQ(0, differentPixels(a->grab().toImage(), onScreen(a)));
}
