// The editor comes back as it was closed: its place, its docks, the files that were open and the
// windows they were shown in.
#include "EditorFixture.h"

#include <QDockWidget>
#include <QStatusBar>
#include <filesystem>

using namespace faceto;
using namespace faceto::test;

namespace {

struct WindowLook {
    QString file;
    QRect place;
    bool minimized = false;
    QList<int> rows;
    QList<int> columns;
    bool operator==(const WindowLook&) const = default;
};

[[maybe_unused]] std::ostream& operator<<(std::ostream& out, const WindowLook& w) {
    const auto list = [](const QList<int>& l) {
        std::string s;
        for (int n : l) {
            s += std::to_string(n) + " ";
        }
        return s;
    };
    return out << w.file.toStdString() << " " << w.place.x() << "," << w.place.y() << " " << w.place.width()
               << "x" << w.place.height() << (w.minimized ? " minimized" : "") << " rows " << list(w.rows)
               << "columns " << list(w.columns);
}

std::vector<WindowLook> windows(Editor& e) {
    std::vector<WindowLook> out;
    for (QMdiSubWindow* w : e.frame().mdiArea()->subWindowList(QMdiArea::CreationOrder)) {
        auto* f = qobject_cast<CChildFrame*>(w->widget());
        // A minimised window's panes are hidden; only its place to go back to counts.
        const bool minimized = w->isMinimized();
        out.push_back({QString::fromStdString(f->document()->pathName()),
                       minimized ? w->property("normalPlace").toRect() : w->geometry(), minimized,
                       minimized ? QList<int>{} : f->rowHeights(),
                       minimized ? QList<int>{} : f->columnWidths()});
    }
    return out;
}

void closeAndStartAgain(Editor& e, const QStringList& files = {}) {
    e.frame().close(); // as Exit or the window's close button do
    ASSERT_FALSE(e.frame().isVisible());
    e.stop();
    e.start(files);
    QApplication::processEvents();
}

} // namespace

TEST(Session, ComesBackAsItWasClosed) {
    Editor e;
    const QString a = e.writeModel("a.fm");
    const QString b = e.writeModel("b.fm");
    e.start({a, b});
    e.frame().showNormal();
    e.frame().setGeometry(60, 50, 1000, 700);
    QApplication::processEvents();
    // Two windows of a, one of b (minimised), the Skin dock closed, the panes of a's first window resized.
    CFacetoDoc* docA = e.app->findDocument(a);
    CFacetoDoc* docB = e.app->findDocument(b);
    CChildFrame* second = e.app->newWindow(docA);
    auto* firstWindow = qobject_cast<QMdiSubWindow*>(e.app->framesOf(docA).front()->parentWidget());
    firstWindow->setGeometry(10, 20, 500, 400);
    e.app->framesOf(docA).front()->setPaneSizes({100, 295}, {300, 195});
    auto* windowB = qobject_cast<QMdiSubWindow*>(e.app->framesOf(docB).front()->parentWidget());
    windowB->setGeometry(200, 100, 450, 350);
    windowB->showMinimized();
    auto* secondWindow = qobject_cast<QMdiSubWindow*>(second->parentWidget());
    secondWindow->setGeometry(40, 30, 420, 380);
    e.frame().mdiArea()->setActiveSubWindow(secondWindow);
    auto* skinDock = e.frame().findChild<QDockWidget*>("skinView");
    const bool skinShown = !skinDock->isVisible(); // the other way round from how it starts
    e.trigger("viewSkinView");
    ASSERT_EQ(skinShown, skinDock->isVisible());
    QApplication::processEvents();
    const std::vector<WindowLook> before = windows(e);
    ASSERT_EQ(3u, before.size());
    const QRect mainPlace = e.frame().geometry();

    closeAndStartAgain(e);
    EXPECT_EQ(2u, e.app->documents().size());
    EXPECT_EQ(before, windows(e));
    EXPECT_EQ(
        e.app->activeFrame(),
        qobject_cast<CChildFrame*>(e.frame().mdiArea()->subWindowList(QMdiArea::CreationOrder)[2]->widget()));
    EXPECT_EQ(skinShown, e.frame().findChild<QDockWidget*>("skinView")->isVisible());
    EXPECT_TRUE(e.frame().findChild<QDockWidget*>("dialogBar")->isVisible());
    EXPECT_EQ(mainPlace, e.frame().geometry());
    auto* restoredB =
        qobject_cast<QMdiSubWindow*>(e.app->framesOf(e.app->findDocument(b)).front()->parentWidget());
    restoredB->showNormal();
    EXPECT_EQ(QRect(200, 100, 450, 350), restoredB->geometry());
    restoredB->showMinimized();

    // A file that is gone is left out, and the status bar says so.
    std::filesystem::remove(b.toStdString());
    closeAndStartAgain(e);
    EXPECT_EQ(1u, e.app->documents().size());
    EXPECT_EQ(2u, windows(e).size());
    EXPECT_EQ("1 file of the last session is gone", e.frame().statusBar()->currentMessage());
    EXPECT_TRUE(e.dialogs.messages.isEmpty());

    // Files named at the start open instead; a model never saved is not part of a session.
    const QString c = e.writeModel("c.fm");
    closeAndStartAgain(e, {c});
    ASSERT_EQ(1u, e.app->documents().size());
    EXPECT_EQ(c.toStdString(), e.app->documents().front()->pathName());
    e.trigger("fileNew");
    closeAndStartAgain(e);
    EXPECT_EQ(1u, e.app->documents().size());
    EXPECT_EQ(1u, windows(e).size());
}
