// The session: what the editor looked like when it last closed, brought back at the next start.
#include "app/CChildFrame.h"
#include "app/CFacetoApp.h"
#include "app/CMainFrame.h"
#include "formats/FileIO.h"

#include <QApplication>
#include <QEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStatusBar>

namespace faceto {

namespace {

QString joined(const QList<int>& numbers) {
    QStringList parts;
    for (int n : numbers) {
        parts << QString::number(n);
    }
    return parts.join(',');
}

// Comma-separated whole numbers, none negative; empty when the text is anything else.
QList<int> numbers(const QString& text, int count) {
    QList<int> out;
    for (const QString& part : text.split(',')) {
        bool ok = false;
        const int n = part.trimmed().toInt(&ok);
        if (!ok || n < 0) {
            return {};
        }
        out << n;
    }
    return out.size() == count ? out : QList<int>{};
}

// Keeps a window's place while it is neither minimised nor maximised, as the property "normalPlace":
// the place it goes back to, which the window itself does not tell.
class NormalPlaceKeeper : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Move || event->type() == QEvent::Resize) {
            auto* window = static_cast<QMdiSubWindow*>(watched);
            if (!window->isMinimized() && !window->isMaximized() && window->isVisible()) {
                window->setProperty("normalPlace", window->geometry());
            }
        }
        return false;
    }
};

QRect normalPlace(const QMdiSubWindow* window) {
    if (!window->isMinimized() && !window->isMaximized()) {
        return window->geometry();
    }
    const QRect kept = window->property("normalPlace").toRect();
    return kept.isValid() ? kept : window->normalGeometry();
}

QString windowState(const QMdiSubWindow* window) {
    return window->isMinimized() ? "minimized" : window->isMaximized() ? "maximized" : "normal";
}

} // namespace

void CFacetoApp::keepNormalPlace(QMdiSubWindow* window) {
    static NormalPlaceKeeper* keeper = nullptr;
    if (keeper == nullptr) {
        keeper = new NormalPlaceKeeper(qApp);
    }
    window->installEventFilter(keeper);
}

// One entry a window: "file;x,y,width,height;normal|maximized|minimized;row heights;column widths",
// the file an index into the list of files.
void CFacetoApp::storeSession() {
    QSettings& settings = profile_->settings();
    settings.remove(QString::fromStdString(settings::SESSION));
    profile_->set(settings::SESSION_GEOMETRY, mainFrame_->saveGeometry().toBase64().toStdString());
    profile_->set(settings::SESSION_DOCKS, mainFrame_->saveState().toBase64().toStdString());
    profile_->set(settings::SESSION_STATUS_BAR, mainFrame_->statusBar()->isVisibleTo(mainFrame_));
    std::vector<const CFacetoDoc*> files;
    int windows = 0;
    int active = -1;
    for (QMdiSubWindow* window : mainFrame_->mdiArea()->subWindowList(QMdiArea::CreationOrder)) {
        auto* frame = qobject_cast<CChildFrame*>(window->widget());
        const CFacetoDoc* doc = frame ? frame->document() : nullptr;
        if (doc == nullptr || doc->pathName().empty()) {
            continue; // a model never saved has no file to open again
        }
        auto known = std::find(files.begin(), files.end(), doc);
        if (known == files.end()) {
            known = files.insert(files.end(), doc);
            profile_->set(settings::sessionFile(files.size()), doc->pathName());
        }
        const QRect place = normalPlace(window);
        const QString entry =
            QString("%1;%2;%3;%4;%5")
                .arg(known - files.begin())
                .arg(joined({place.x(), place.y(), place.width(), place.height()}), windowState(window),
                     joined(frame->rowHeights()), joined(frame->columnWidths()));
        if (window == mainFrame_->mdiArea()->activeSubWindow()) {
            active = windows;
        }
        ++windows;
        profile_->set(settings::sessionWindow(size_t(windows)), entry.toStdString());
    }
    profile_->set(settings::SESSION_FILES, int(files.size()));
    profile_->set(settings::SESSION_WINDOWS, windows);
    profile_->set(settings::SESSION_ACTIVE, active + 1);
}

bool CFacetoApp::restoreLayout() {
    const auto bytes = [this](const Setting<std::string>& setting) {
        return QByteArray::fromBase64(QByteArray::fromStdString(profile_->get(setting)));
    };
    const bool placed = mainFrame_->restoreGeometry(bytes(settings::SESSION_GEOMETRY));
    mainFrame_->restoreState(bytes(settings::SESSION_DOCKS));
    if (!profile_->get(settings::SESSION_STATUS_BAR)) {
        mainFrame_->action("viewStatusBar")->setChecked(false);
    }
    return placed;
}

bool CFacetoApp::restoreDocuments() {
    const int fileCount = std::clamp(profile_->get(settings::SESSION_FILES), 0, 1000);
    if (fileCount == 0) {
        return false;
    }
    // The files that are still there open; a window of one that is gone is left out, and the status
    // bar says how many were missing.
    std::vector<CFacetoDoc*> docs;
    int missing = 0;
    for (int i = 1; i <= fileCount; ++i) {
        const QString path = QString::fromStdString(profile_->get(settings::sessionFile(size_t(i))));
        CFacetoDoc* doc =
            !path.isEmpty() && fileIsReadable(path.toStdString()) ? openDocument(path) : nullptr;
        missing += doc == nullptr ? 1 : 0;
        docs.push_back(doc);
    }
    const int windowCount = std::clamp(profile_->get(settings::SESSION_WINDOWS), 0, 1000);
    const int active = profile_->get(settings::SESSION_ACTIVE);
    std::vector<bool> firstUsed(docs.size(), false);
    QMdiSubWindow* activeWindow = nullptr;
    for (int w = 1; w <= windowCount; ++w) {
        const QStringList fields =
            QString::fromStdString(profile_->get(settings::sessionWindow(size_t(w)))).split(';');
        bool ok = false;
        const int index = fields.value(0).toInt(&ok);
        if (fields.size() != 5 || !ok || index < 0 || size_t(index) >= docs.size() ||
            docs[size_t(index)] == nullptr) {
            continue;
        }
        CFacetoDoc* doc = docs[size_t(index)];
        // A file's first window is the one opening it made; the others are new windows of it.
        CChildFrame* frame = firstUsed[size_t(index)] ? newWindow(doc) : framesOf(doc).front();
        firstUsed[size_t(index)] = true;
        auto* window = qobject_cast<QMdiSubWindow*>(frame->parentWidget());
        if (const QList<int> place = numbers(fields[1], 4);
            !place.isEmpty() && place[2] > 0 && place[3] > 0) {
            window->setGeometry(place[0], place[1], place[2], place[3]);
        }
        const QList<int> rows = numbers(fields[3], 2);
        const QList<int> columns = numbers(fields[4], 2);
        if (!rows.isEmpty() && !columns.isEmpty()) {
            frame->setPaneSizes(rows, columns);
        }
        if (fields[2] == "maximized") {
            window->showMaximized();
        } else if (fields[2] == "minimized") {
            window->showMinimized();
        }
        if (w == active) {
            activeWindow = window;
        }
    }
    if (activeWindow != nullptr) {
        mainFrame_->mdiArea()->setActiveSubWindow(activeWindow);
        subWindowActivated(activeWindow);
    }
    if (missing > 0) {
        mainFrame_->statusBar()->showMessage(missing == 1
                                                 ? tr("1 file of the last session is gone")
                                                 : tr("%1 files of the last session are gone").arg(missing),
                                             10000);
    }
    return true;
}

} // namespace faceto
