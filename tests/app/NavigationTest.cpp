#include "EditorFixture.h"
#include "app/CAnimationPlayer.h"
#include "app/CProjectManager.h"
#include "app/Dialogs.h"
#include "app/Translation.h"
#include "document/DocumentEdit.h"
#include "model/Version.h"
#include "views/C2DView.h"
#include "views/CAnimationView.h"
#include "views/CCameraView.h"
#include "views/CFlatBitmapButton.h"
#include "views/Framing.h"
#include "views/OrthoView.h"
#include "views/Projection.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QComboBox>
#include <QDesktopServices>
#include <QDockWidget>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QScrollBar>
#include <QSlider>
#include <QTabWidget>
#include <QTest>
#include <QTextBrowser>
#include <QTranslator>
#include <QTreeWidget>
#include <QWheelEvent>

using namespace faceto;
using namespace faceto::test;

namespace {

// A model far from the origin and a thousand times larger than the views' 50 units, as a Jedi Knight
// model in its own units.
QString writeHugeModel(Editor& e) {
    ModelData data = makeModel(4, {tri(0, 1, 2), tri(1, 3, 2)}, 1);
    data.frames[0].positions = {
        {5000, -8000, 3000}, {5000, 8000, 3000}, {5000, -8000, 9000}, {9000, 8000, 9000}};
    writeNative(e.dir.path("huge.fm"), data.model, data.frames, data.source);
    return e.path("huge.fm");
}

// Where a pane shows a vertex of the current frame, in window pixels.
QPoint shownAt(C2DView* view, const CFacetoDoc& doc, int vertex) {
    const OrthoMapping map(view->viewState(), view->orientation(), view->width(), view->height());
    const Pixel p = map.toWindow(doc.currentFrame()->positions[size_t(vertex)]);
    return {p.x, p.y};
}

bool inside(QWidget* view, QPoint p) {
    return view->rect().contains(p);
}

void wheel(QWidget* view, QPoint at, int notches) {
    QWheelEvent event(at, view->mapToGlobal(at), QPoint(), QPoint(0, 120 * notches), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(view, &event);
}

} // namespace

TEST(Navigation, AModelOpensFramedInEveryPane) {
    Editor e;
    e.start({writeHugeModel(e)});
    CChildFrame* frame = e.app->activeFrame();
    ASSERT_NE(nullptr, frame);
    QApplication::processEvents();
    for (int pane = 0; pane < 3; ++pane) {
        C2DView* view = frame->view2D(pane == 2 ? 1 : 0, pane == 1 ? 1 : 0);
        view->repaint();
        for (int v = 0; v < 4; ++v) {
            EXPECT_TRUE(inside(view, shownAt(view, *e.active(), v))) << "pane " << pane << " vertex " << v;
        }
    }
    // The camera looks at the model from far enough to see all of it, and near enough for it to fill the
    // pane one way.
    CCameraView* camera = frame->cameraView();
    camera->repaint();
    const Projection projection(camera->width(), camera->height());
    QRect shown;
    for (const FrameVertex& p : e.active()->frames()[0].positions) {
        const Vec3 c = camera->camera.transformPoint(p.x, p.y, p.z);
        ASSERT_GT(c.z, 0.0f);
        const Pixel at = projection.project(c);
        EXPECT_TRUE(at.x >= 0 && at.x < camera->width() && at.y >= 0 && at.y <= camera->height());
        shown |= QRect(at.x, at.y, 1, 1);
    }
    EXPECT_GE(std::max(double(shown.width()) / camera->width(), double(shown.height()) / camera->height()),
              0.8);

    // With the setting off, a window opens on the views of a new document, the model out of sight.
    Editor plain;
    plain.setting("Pref/FrameOnOpen", 0);
    plain.start({writeHugeModel(plain)});
    C2DView* top = plain.app->activeFrame()->view2D(0, 0);
    top->repaint();
    EXPECT_FALSE(inside(top, shownAt(top, *plain.active(), 0)));
    // Home frames it, Shift+Home frames the selection.
    QTest::keyClick(top, Qt::Key_Home);
    EXPECT_TRUE(inside(top, shownAt(top, *plain.active(), 0)));
    DocumentEdit::model(*plain.active()).vertexInfos[3].flags |= VERTEX_SELECTED;
    QTest::keyClick(top, Qt::Key_Home, Qt::ShiftModifier);
    const QPoint alone = shownAt(top, *plain.active(), 3);
    EXPECT_NEAR(top->width() / 2, alone.x(), 2);
    EXPECT_NEAR(top->height() / 2, alone.y(), 2);
}

TEST(Navigation, TheWheelZoomsAboutThePointerAndDollies) {
    Editor e;
    e.start({e.writeModel("m.fm")});
    C2DView* view = e.app->activeFrame()->view2D(0, 0);
    QApplication::processEvents();
    const float zoom = e.shown().orthoViews[0].zoom;
    const QPoint at(view->width() / 3, view->height() / 4);
    const OrthoMapping before(e.shown(), 0, view->width(), view->height());
    const float u = before.uAtColumn(float(at.x()));
    wheel(view, at, 2);
    EXPECT_FLOAT_EQ(zoom * 1.5625f, e.shown().orthoViews[0].zoom);
    const OrthoMapping after(e.shown(), 0, view->width(), view->height());
    EXPECT_NEAR(u, after.uAtColumn(float(at.x())), 1e-3f); // the point under the pointer stays
    wheel(view, at, -2);
    EXPECT_FLOAT_EQ(zoom, e.shown().orthoViews[0].zoom);

    CCameraView* camera = e.app->activeFrame()->cameraView();
    const float depth = camera->camera.m[2][3];
    wheel(camera, QPoint(10, 10), 1);
    EXPECT_LT(camera->camera.m[2][3], depth); // nearer
    wheel(camera, QPoint(10, 10), -3);
    EXPECT_GT(camera->camera.m[2][3], depth);
    // R puts the camera back where the window started.
    QTest::keyClick(camera, Qt::Key_R);
    EXPECT_FLOAT_EQ(depth, camera->camera.m[2][3]);
}

TEST(Navigation, APanKeepsTheModelUnderThePointer) {
    Editor e;
    e.start({writeHugeModel(e)});
    CCameraView* camera = e.app->activeFrame()->cameraView();
    camera->repaint();
    const Vec3 centre = frameBounds(*e.active(), false).centre();
    const Projection projection(camera->width(), camera->height());
    const Pixel before = projection.project(camera->camera.transformPoint(centre.x, centre.y, centre.z));
    const QPoint from(camera->width() / 2, camera->height() / 2);
    QTest::mousePress(camera, Qt::RightButton, Qt::NoModifier, from);
    for (QPoint to : {from + QPoint(5, 0), from + QPoint(50, 0)}) {
        QMouseEvent move(QEvent::MouseMove, to, camera->mapToGlobal(to), Qt::NoButton, Qt::RightButton,
                         Qt::NoModifier);
        QApplication::sendEvent(camera, &move);
    }
    QTest::mouseRelease(camera, Qt::RightButton, Qt::NoModifier, from + QPoint(50, 0));
    const Pixel after = projection.project(camera->camera.transformPoint(centre.x, centre.y, centre.z));
    // A 50-pixel pan (measured from the press) moves the model by about as much, not out of sight.
    EXPECT_NEAR(50, after.x - before.x, 3);
    EXPECT_NEAR(0, after.y - before.y, 2);
}

TEST(Navigation, WindowsOpenInsideTheAreaAndTheWindowMenuListsThem) {
    Editor e;
    e.start();
    e.frame().resize(1000, 700);
    QApplication::processEvents();
    CFacetoDoc* first = e.app->openDocument(e.writeModel("a.fm"));
    CFacetoDoc* second = e.app->openDocument(e.writeModel("b.fm"));
    QMdiArea* area = e.frame().mdiArea();
    const QRect room = area->viewport()->rect();
    for (QMdiSubWindow* window : area->subWindowList()) {
        EXPECT_TRUE(room.contains(window->geometry())) << window->windowTitle().toStdString();
    }
    e.trigger("windowCascade");
    for (QMdiSubWindow* window : area->subWindowList()) {
        EXPECT_GE(window->width(), room.width() / 2);
        EXPECT_GE(window->height(), room.height() / 2);
        EXPECT_TRUE(room.contains(window->geometry()));
    }

    QMenu* windows = e.frame().menu("Window");
    ASSERT_NE(nullptr, windows);
    emit windows->aboutToShow();
    QStringList entries;
    QString checked;
    for (QAction* a : windows->actions()) {
        if (a->objectName() == "windowEntry") {
            entries << a->text();
            if (a->isChecked()) {
                checked = a->text();
            }
        }
    }
    EXPECT_EQ((QStringList{"&1 a.fm", "&2 b.fm"}), entries);
    EXPECT_EQ("&2 b.fm", checked);
    EXPECT_EQ(second, e.active());
    // Ctrl+Tab and Ctrl+Shift+Tab go from one document to the other.
    QTest::keyClick(e.app->activeFrame()->view2D(0, 0), Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(first, e.active());
    QTest::keyClick(e.app->activeFrame()->view2D(0, 0), Qt::Key_Backtab,
                    Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(second, e.active());
    // The menu names the keys as they are pressed.
    for (QAction* a : windows->actions()) {
        EXPECT_FALSE(a->shortcut().toString(QKeySequence::NativeText).contains("Backtab"))
            << a->text().toStdString();
    }
    EXPECT_EQ("Ctrl+Shift+Tab",
              e.frame().action("windowPrevious")->shortcut().toString(QKeySequence::NativeText));
}

TEST(Navigation, AtSixHundredFortyByFourHundredEightyThePanelStillShowsTheGroups) {
    Editor e;
    e.start({e.writeModel("m.fm")});
    e.frame().showNormal();
    e.frame().resize(640, 480);
    QApplication::processEvents();
    CProjectManager& panel = *e.app->projectManager();
    QTreeWidget* groups = panel.groupTree();
    ASSERT_GT(groups->topLevelItemCount(), 0);
    EXPECT_GT(groups->height(), 30);
    EXPECT_TRUE(e.frame().rect().contains(QRect(groups->mapTo(&e.frame(), QPoint(0, 0)), groups->size())));

    // A click on a group's eye hides the group, another shows it again; each is a step.
    QTreeWidgetItem* item = groups->topLevelItem(0);
    const QRect row = groups->visualItemRect(item);
    QTest::mouseClick(groups->viewport(), Qt::LeftButton, Qt::NoModifier,
                      QPoint(row.left() + 8, row.center().y()));
    EXPECT_EQ(0, e.active()->model().groups[0].flags & GROUP_VISIBLE);
    EXPECT_EQ("Hide Group", e.active()->history().undoName());
    item = groups->topLevelItem(0);
    QTest::mouseClick(
        groups->viewport(), Qt::LeftButton, Qt::NoModifier,
        QPoint(groups->visualItemRect(item).left() + 8, groups->visualItemRect(item).center().y()));
    EXPECT_NE(0, e.active()->model().groups[0].flags & GROUP_VISIBLE);
}

TEST(Navigation, TheStatusBarShowsThePointerAndTheSelection) {
    Editor e;
    e.start({e.writeModel("m.fm")});
    C2DView* front = e.app->activeFrame()->view2D(1, 0); // y right, z up
    QApplication::processEvents();
    const OrthoMapping map(e.shown(), front->orientation(), front->width(), front->height());
    const QPoint at(front->width() / 2 + 10, front->height() / 2 - 20);
    QMouseEvent move(QEvent::MouseMove, at, front->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(front, &move);
    const QString expected = QString("Y %1   Z %2")
                                 .arg(double(map.uAtColumn(float(at.x()))), 0, 'f', 2)
                                 .arg(double(map.vAtBufferRow(float(front->height() - at.y()))), 0, 'f', 2);
    EXPECT_EQ(expected, e.frame().pointerField()->text());

    QTest::keyClick(front, Qt::Key_C, Qt::ShiftModifier); // select all
    EXPECT_EQ("4 vertices, 2 triangles selected", e.frame().selectionField()->text());
    QTest::keyClick(front, Qt::Key_C);
    EXPECT_EQ("0 vertices, 0 triangles selected", e.frame().selectionField()->text());
    QTest::mouseClick(front, Qt::LeftButton, Qt::NoModifier, shownAt(front, *e.active(), 0)); // one vertex
    EXPECT_EQ("1 vertex, 0 triangles selected", e.frame().selectionField()->text());
}

TEST(Navigation, ThePlayersControlsSayWhatTheyDo) {
    Editor e;
    e.start({e.writeModel("m.fm")});
    CAnimationPlayer& player = *e.app->projectManager()->player();
    for (char name : {'F', 'V', 'L', 'T', 'S'}) {
        EXPECT_FALSE(player.button(name)->toolTip().isEmpty()) << name;
        EXPECT_FALSE(player.button(name)->statusTip().isEmpty()) << name;
    }
    EXPECT_FALSE(player.slider()->toolTip().isEmpty());
    auto* label = player.findChild<QLabel*>();
    ASSERT_NE(nullptr, label);
    EXPECT_EQ(player.slider(), label->buddy());
    // The slider follows the playback and shows the frame it is moved to.
    player.tick();
    player.tick();
    EXPECT_EQ(1, player.slider()->value());
    EXPECT_EQ(1, player.slider()->maximum()); // run1, run2
    player.showStep(0);
    EXPECT_EQ(0, player.preview()->settings.shownFrame);
}

namespace {
// Takes the addresses the editor asks the desktop to open.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QStringList opened;
public slots:
    void open(const QUrl& url) { opened << url.toString(); }
};
} // namespace

TEST(Navigation, TextsAreSpelledAndTheHelpIsTheProgramsOwn) {
    Editor e;
    e.start({e.writeModel("m.fm")});
    EXPECT_EQ("&Gouraud Shading", e.frame().action("gouraudShading")->text());
    EXPECT_EQ("Primitives", e.frame().action("toolsPrimatives")->text());
    QStringList shown;
    QString guide, keys;
    e.dialogs.onDialog = [&](QDialog& dialog) {
        shown << dialog.windowTitle();
        if (dialog.windowTitle() == "About Faceto") {
            QStringList texts;
            for (QLabel* label : dialog.findChildren<QLabel*>()) {
                texts << label->text();
            }
            const QString all = texts.join('\n');
            EXPECT_TRUE(all.contains("Version 2.0b1"));
            EXPECT_TRUE(all.contains("Licence: MIT"));
            EXPECT_TRUE(all.contains(QString("Qt ") + QT_VERSION_STR));
            EXPECT_FALSE(all.contains("More credits later"));
        } else if (auto* tabs = dialog.findChild<QTabWidget*>()) {
            auto* page = qobject_cast<QTextBrowser*>(tabs->currentWidget());
            (page->objectName() == "guide" ? guide : keys) = page->toPlainText();
        }
        return int(QDialog::Accepted);
    };
    // F1 is the guide; Help Topics the keys; the homepage goes to the browser, not to a dialog.
    QTest::keyClick(&e.frame(), Qt::Key_F1);
    e.trigger("helpTopics");
    UrlCatcher browser;
    QDesktopServices::setUrlHandler("https", &browser, "open");
    e.trigger("helpHomepage");
    QDesktopServices::unsetUrlHandler("https");
    e.trigger("helpAbout");
    EXPECT_EQ((QStringList{"Faceto Help", "Faceto Help", "About Faceto"}), shown);
    EXPECT_EQ((QStringList{HOMEPAGE}), browser.opened);
    for (const char* heading : {"Opening a model", "The four panes", "Selecting and moving",
                                "Frames and animations", "Skins", "Saving and formats", "Game Setup"}) {
        EXPECT_TRUE(guide.contains(heading)) << heading;
    }
    EXPECT_TRUE(guide.contains(HOMEPAGE));
    EXPECT_FALSE(guide.contains("@HOMEPAGE@"));
    EXPECT_TRUE(keys.contains("Ctrl+Space"));
    EXPECT_FALSE(keys.contains("Getting started"));
    // The README gives the same address.
    QFile readme(FACETO_SOURCE_DIR "/README.md");
    ASSERT_TRUE(readme.open(QIODevice::ReadOnly));
    EXPECT_TRUE(readme.readAll().contains(HOMEPAGE));
}

#include "NavigationTest.moc"

// Every control, view and panel of the main window with a model open has a name that screen readers say.
TEST(Navigation, EveryControlViewAndPanelHasAnAccessibleName) {
    Editor e;
    const QString model = e.writeModel("named.fm");
    e.start({model});
    QStringList nameless;
    for (QWidget* w : e.frame().findChildren<QWidget*>()) {
        const bool control = qobject_cast<QAbstractButton*>(w) || qobject_cast<QAbstractSpinBox*>(w) ||
                             qobject_cast<QComboBox*>(w) || qobject_cast<QAbstractItemView*>(w) ||
                             qobject_cast<QAbstractSlider*>(w) || qobject_cast<QLineEdit*>(w) ||
                             qobject_cast<QDockWidget*>(w) || qobject_cast<C2DView*>(w) ||
                             qobject_cast<CCameraView*>(w) || qobject_cast<CAnimationView*>(w);
        // (a spin box's line edit is part of the spin box, which has the name)
        if (!control || !w->isVisibleTo(&e.frame()) || qobject_cast<QScrollBar*>(w) ||
            qobject_cast<QAbstractSpinBox*>(w->parentWidget())) {
            continue;
        }
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
        if (a == nullptr || a->text(QAccessible::Name).trimmed().isEmpty()) {
            nameless << QString("%1 %2 in %3")
                            .arg(w->metaObject()->className(), w->objectName(),
                                 w->parentWidget() ? w->parentWidget()->metaObject()->className() : "");
        }
    }
    EXPECT_TRUE(nameless.isEmpty()) << nameless.join(", ").toStdString();
}

// The editor speaks the language of the desktop it runs on when it has a translation for it: its own
// menus and dialogs, and the messages and step names the document layer makes, while file names and
// readers' reasons stay as they are.
TEST(Navigation, AGermanDesktopGetsTheEditorInGerman) {
    EXPECT_FALSE(installTranslations(*QCoreApplication::instance(), QLocale(QLocale::Japanese)));
    ASSERT_TRUE(
        installTranslations(*QCoreApplication::instance(), QLocale(QLocale::German, QLocale::Germany)));
    struct Uninstall {
        ~Uninstall() {
            setTextTranslator(nullptr);
            for (QTranslator* t : QCoreApplication::instance()->findChildren<QTranslator*>()) {
                QCoreApplication::removeTranslator(t);
                delete t;
            }
        }
    } uninstall;
    Editor e;
    const QString model = e.writeModel("deutsch.fm");
    e.start({model});
    EXPECT_EQ("&Datei", e.frame().menuBar()->actions().value(0)->text());
    EXPECT_EQ("&Speichern", e.frame().action("fileSave")->text());
    EXPECT_EQ("Das aktive Dokument speichern", e.frame().action("fileSave")->statusTip());
    EXPECT_EQ("Speichern", e.frame().action("fileSave")->toolTip());

    e.trigger("selectAll");
    e.trigger("hideSelected");
    EXPECT_EQ("&Rückgängig: Auswahl ausblenden", e.frame().action("editUndo")->text());

    e.dialogs.files = {{e.path("absent.fm"), 0}};
    e.trigger("fileOpen");
    ASSERT_EQ(1, e.dialogs.messages.size());
    EXPECT_EQ("Fehler beim Lesen der Datei.", headings(e.dialogs.messages).value(0));
    EXPECT_TRUE(e.dialogs.messages[0].endsWith("absent.fm: No such file or directory"));
    EXPECT_EQ("Faceto-Modell (*.fm)", CFacetoApp::saveFilters().value(0));
    EXPECT_EQ("Kamera (Flache Schattierung)", cameraPaneLabel(FILL_FLAT));
}
