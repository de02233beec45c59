#include "app/CFacetoApp.h"

#include "app/CAnimationPlayer.h"
#include "app/CChildFrame.h"
#include "app/CGridPanel.h"
#include "app/CMainFrame.h"
#include "app/CPrimitivesPanel.h"
#include "app/CProjectManager.h"
#include "app/CSkinPanel.h"
#include "app/CUndoHistoryPanel.h"
#include "app/Dialogs.h"
#include "formats/FileIO.h"
#include "formats/PaletteFiles.h"
#include "model/Version.h"
#include "views/C2DView.h"
#include "views/CCameraView.h"

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QDockWidget>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPageSetupDialog>
#include <QPrinter>
#include <QScreen>
#include <QSettings>
#include <QStyle>
#include <QUrl>
#include <algorithm>
#include <cmath>

namespace faceto {

namespace {

const QString RECENT_SECTION = "Recent File List";

// "12 vertices, 4 triangles selected": the visible selected vertices and the triangles all of whose
// corners are selected.
QString selectionSummary(const CFacetoDoc& doc) {
    const auto& infos = doc.model.vertexInfos;
    const auto vertices = std::count_if(infos.begin(), infos.end(),
                                        [](const VertexInfo& i) { return i.visible() && i.selected(); });
    const auto triangles =
        std::count_if(doc.model.triangles.begin(), doc.model.triangles.end(), [&](const Triangle& t) {
            return std::all_of(t.v.begin(), t.v.end(),
                               [&](int32_t v) { return infos[size_t(v)].selected(); });
        });
    return QString("%1 %2, %3 %4 selected")
        .arg(vertices)
        .arg(vertices == 1 ? "vertex" : "vertices")
        .arg(triangles)
        .arg(triangles == 1 ? "triangle" : "triangles");
}

QString extensionOfFilter(const QString& filter) {
    const int star = filter.indexOf("*.");
    return star < 0 ? QString() : filter.mid(star + 1).section(')', 0, 0).trimmed();
}

} // namespace

QStringList CFacetoApp::openFilters() {
    // First every model the editor reads, then each format.
    QStringList patterns;
    for (const FileFormat& f : fileFormats()) {
        for (std::string_view e : f.extensions) {
            if (f.readable()) {
                patterns << "*." + QString::fromUtf8(e.data(), qsizetype(e.size()));
            }
        }
    }
    QStringList filters{"All models (" + patterns.join(' ') + ")"};
    for (const FileFormat& f : fileFormats()) {
        if (!f.openFilter.empty()) {
            filters << QString::fromUtf8(f.openFilter.data(), qsizetype(f.openFilter.size()));
        }
    }
    return filters;
}

QStringList CFacetoApp::saveFilters() {
    QStringList filters;
    for (const FileFormat& f : fileFormats()) {
        if (!f.saveFilter.empty()) {
            filters << QString::fromUtf8(f.saveFilter.data(), qsizetype(f.saveFilter.size()));
        }
    }
    return filters;
}

CFacetoApp::CFacetoApp(std::unique_ptr<QtProfile> profile, UserDialogs& dialogs)
    : profile_(std::move(profile)), dialogs_(dialogs), tables_(PaletteTables::builtIn()) {}

CFacetoApp::~CFacetoApp() {
    // The windows go first: their views point at the documents. They close as a whole here, not one
    // by one as a user closes them.
    for (CChildFrame* frame : frames_) {
        disconnect(frame, nullptr, this, nullptr);
    }
    frames_.clear();
    delete mainFrame_;
    mainFrame_ = nullptr;
    state_.activeDocument = nullptr;
    documents_.closeAll(); // each remembers itself as the last document
    profile_->sync();
}

bool CFacetoApp::startUp(const QStringList& files) {
    loadRecentFiles();
    // The palette and colour map from the current folder, over the built-in ones.
    loadPalette(tables_);
    loadColormap(tables_);
    viewContext_ = std::make_unique<ViewContext>(ViewContext{state_, tables_, registry_});
    registry_.onPointer = [this](const QString& text) {
        if (mainFrame_) {
            mainFrame_->showPointer(text);
        }
    };
    registry_.onAction = [this](const QString& text) {
        if (mainFrame_) {
            mainFrame_->showAction(text);
        }
    };

    mainFrame_ = new CMainFrame();
    mainFrame_->setRecentFiles(recentFiles_);
    connectCommands();
    projectManager_ = new CProjectManager(*this);
    mainFrame_->setDialogBarContent(projectManager_);
    connect(projectManager_, &CProjectManager::pageChanged, this, &CFacetoApp::refreshCommandStates);
    mainFrame_->setHistoryContent(new CUndoHistoryPanel(*this));
    skinPanel_ = new CSkinPanel(*this);
    mainFrame_->setSkinContent(skinPanel_);
    // Where the last session left it; else maximised (without a window manager to do it, the screen's
    // size is taken directly).
    if (restoreLayout()) {
        mainFrame_->show();
    } else {
        if (QScreen* screen = QGuiApplication::primaryScreen()) {
            mainFrame_->setGeometry(screen->availableGeometry());
        }
        mainFrame_->showMaximized();
    }

    state_.orthoColours = OrthoColours{14, 12, 0};
    // Files named on the command line open instead of the documents of the last session (or, from a
    // settings file older than sessions, the last document).
    const QString lastDoc = QString::fromStdString(profile_->get(settings::LAST_DOC));
    if (files.isEmpty() && !restoreDocuments() && !lastDoc.isEmpty() &&
        fileIsReadable(lastDoc.toStdString())) {
        openDocument(lastDoc);
    }
    for (const QString& file : files) {
        openDocument(file);
    }
    state_.editLevel = LEVEL_VERTEX;
    state_.currentTool = TOOL_EDIT;
    refreshCommandStates();
    return true;
}

// --- documents -----------------------------------------------------------------------------------

CFacetoDoc* CFacetoApp::newDocument() {
    std::unique_ptr<CFacetoDoc> doc = documents_.make();
    if (!doc->onNewDocument()) {
        return nullptr;
    }
    CFacetoDoc* raw = documents_.add(std::move(doc));
    addFrame(raw);
    return raw;
}

CFacetoDoc* CFacetoApp::findDocument(const QString& path) const {
    return documents_.find(path);
}

CFacetoDoc* CFacetoApp::openDocument(const QString& path) {
    // A file that is open already is not read a second time (two documents of one file would each
    // overwrite the other's work): its window comes to the front.
    if (CFacetoDoc* open = findDocument(path)) {
        if (const std::vector<CChildFrame*> frames = framesOf(open); !frames.empty()) {
            if (auto* window = qobject_cast<QMdiSubWindow*>(frames.front()->parentWidget())) {
                mainFrame_->mdiArea()->setActiveSubWindow(window);
                subWindowActivated(window);
            }
        }
        mainFrame_->showAction(QString("%1 is open already").arg(QString::fromStdString(open->title())));
        return open;
    }
    std::unique_ptr<CFacetoDoc> doc = documents_.make();
    doc->importScale = fileUnits(true);
    doc->exportScale = fileUnits(false);
    const QString absolute = QFileInfo(path).absoluteFilePath();
    if (!doc->onOpenDocument(absolute.toStdString())) {
        return nullptr; // the document that failed is discarded (and remembered as an empty last document)
    }
    CFacetoDoc* raw = documents_.add(std::move(doc));
    addFrame(raw);
    return raw;
}

CFacetoDoc* CFacetoApp::openChosenFile(const UserDialogs::FileChoice& choice) {
    // A file that exists opens as it is named (its first bytes tell its format); a name without an
    // extension that names no file gets the chosen filter's.
    QString path = choice.path;
    if (!QFileInfo::exists(path) && !QFileInfo(path).fileName().contains('.')) {
        path += extensionOfFilter(openFilters().value(choice.filterIndex));
    }
    // The next Open starts in this folder.
    profile_->set(settings::LAST_FOLDER, QFileInfo(path).absolutePath().toStdString());
    CFacetoDoc* doc = openDocument(path);
    state_.activeDocument = doc;
    emit activeDocumentChanged(doc);
    return doc;
}

bool CFacetoApp::save(CFacetoDoc* doc) {
    if (doc == nullptr) {
        return false;
    }
    // The first save over a game's model tells, once, what its format leaves out; the user may save it as
    // a Faceto model instead, or not save.
    if (const FileFormat* format = doc->fileFormat();
        format != nullptr && !format->native && !toldWhatGameFormatsLose_) {
        QString kind = QString::fromUtf8(format->saveFilter.data(), qsizetype(format->saveFilter.size()));
        kind = kind.left(kind.indexOf(" (")).trimmed();
        const int answer = dialogs_.choose(
            mainFrame_,
            QString("%1 is saved in its own format (%2), which does not keep groups, the selection or "
                    "hidden vertices.\nTo keep them, use Save As and choose Faceto Model (*.fm).")
                .arg(QString::fromStdString(doc->title()), kind),
            {"Save", "Save As..."});
        if (answer < 0) {
            return false;
        }
        toldWhatGameFormatsLose_ = true;
        if (answer == 1) {
            return saveAs(doc);
        }
    }
    switch (doc->save()) {
    case CFacetoDoc::SaveResult::Saved:
        refreshTitles(doc);
        return true;
    case CFacetoDoc::SaveResult::Failed:
    case CFacetoDoc::SaveResult::Cancelled:
        return false;
    case CFacetoDoc::SaveResult::NotNative:
        break;
    }
    // Never saved, or read from another format: Save As instead of doing nothing.
    return saveAs(doc);
}

bool CFacetoApp::saveAs(CFacetoDoc* doc) {
    if (doc == nullptr) {
        return false;
    }
    QString suggested = QFileInfo(QString::fromStdString(doc->pathName())).completeBaseName();
    if (suggested.isEmpty()) {
        suggested = QString::fromStdString(doc->title());
    }
    const QString folder = doc->pathName().empty()
                               ? QDir::currentPath()
                               : QFileInfo(QString::fromStdString(doc->pathName())).absolutePath();
    auto choice =
        dialogs_.chooseFileToSave(mainFrame_, saveFilters(), QDir(folder).filePath(suggested + ".fm"));
    return choice && saveAsChosenFile(doc, *choice);
}

bool CFacetoApp::saveAsChosenFile(CFacetoDoc* doc, const UserDialogs::FileChoice& choice) {
    QString path = choice.path;
    if (!QFileInfo(path).fileName().contains('.')) {
        path += extensionOfFilter(saveFilters().value(choice.filterIndex));
    }
    const bool saved = doc->saveAs(path.toStdString()) == CFacetoDoc::SaveAsResult::Saved;
    refreshTitles(doc);
    return saved;
}

bool CFacetoApp::closeDocument(CFacetoDoc* doc) {
    if (doc == nullptr) {
        return true;
    }
    if (doc->isModified()) {
        switch (dialogs_.askToSave(mainFrame_, QString::fromStdString(doc->title()))) {
        case UserDialogs::SaveAnswer::Cancel:
            return false;
        case UserDialogs::SaveAnswer::Save:
            if (!save(doc)) {
                return false;
            }
            break;
        case UserDialogs::SaveAnswer::Discard:
            break;
        }
    }
    closingDocument_ = true;
    for (CChildFrame* frame : framesOf(doc)) {
        if (auto* window = qobject_cast<QMdiSubWindow*>(frame->parentWidget())) {
            window->close();
        }
    }
    closingDocument_ = false;
    return true;
}

bool CFacetoApp::closeAllDocuments() {
    while (!documents_.empty()) {
        if (!closeDocument(documents_.documents().front().get())) {
            return false;
        }
    }
    return true;
}

CChildFrame* CFacetoApp::newWindow(CFacetoDoc* doc) {
    return doc ? addFrame(doc) : nullptr;
}

CChildFrame* CFacetoApp::addFrame(CFacetoDoc* doc) {
    auto* frame = new CChildFrame(*viewContext_, doc);
    QMdiSubWindow* window = mainFrame_->mdiArea()->addSubWindow(frame);
    window->setAttribute(Qt::WA_DeleteOnClose);
    keepNormalPlace(window);
    placeWindow(window, int(frames_.size()));
    frames_.push_back(frame);
    connect(frame, &CChildFrame::closeRequested, this, &CFacetoApp::frameCloseRequested);
    connect(frame, &CChildFrame::closed, this, &CFacetoApp::frameClosed);
    refreshTitles(doc);
    mainFrame_->showDocumentMenus(true);
    window->show();
    mainFrame_->mdiArea()->setActiveSubWindow(window);
    subWindowActivated(window);
    return frame;
}

// Window `n` of the area: four fifths of it, each a title bar further down and right of the one before,
// starting again at the top left before a window would leave the visible area.
void CFacetoApp::placeWindow(QMdiSubWindow* window, int n) {
    QMdiArea* area = mainFrame_->mdiArea();
    const QSize room = area->viewport()->size();
    const QSize size(std::max(std::min(320, room.width()), room.width() * 4 / 5),
                     std::max(std::min(240, room.height()), room.height() * 4 / 5));
    const int step =
        std::max(20, window->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, window) + 4);
    const int fit =
        std::max(1, std::min(room.width() - size.width(), room.height() - size.height()) / step + 1);
    const int offset = (n % fit) * step;
    window->setGeometry(QRect(QPoint(offset, offset), size));
}

void CFacetoApp::cascadeWindows() {
    const QList<QMdiSubWindow*> windows = mainFrame_->mdiArea()->subWindowList();
    for (int i = 0; i < windows.size(); ++i) {
        windows[i]->showNormal();
        placeWindow(windows[i], i);
        windows[i]->raise();
    }
}

void CFacetoApp::frameCloseRequested(CChildFrame* frame, bool* accept) {
    // Closing the last window of a document closes the document: never without asking.
    CFacetoDoc* doc = frame->document();
    if (closingDocument_ || framesOf(doc).size() != 1 || !doc->isModified()) {
        return;
    }
    const auto answer = dialogs_.askToSave(mainFrame_, QString::fromStdString(doc->title()));
    if (answer == UserDialogs::SaveAnswer::Cancel ||
        (answer == UserDialogs::SaveAnswer::Save && !save(doc))) {
        *accept = false;
    }
}

void CFacetoApp::frameClosed(CChildFrame* frame) {
    if (std::erase(frames_, frame) == 0) {
        return;
    }
    // The window lets go of its document first, so that nothing reaches the document through it (it is
    // still the active window until it is gone).
    CFacetoDoc* doc = frame->document();
    frame->detachDocument();
    const bool lastWindow = framesOf(doc).empty();
    if (lastWindow || state_.activeDocument == doc) {
        // Every panel lets go of the document before it is destroyed.
        CFacetoDoc* next = nullptr;
        if (CChildFrame* active = activeFrame()) {
            next = active->document();
        }
        state_.activeDocument = next;
        emit activeDocumentChanged(next);
    }
    if (frames_.empty()) {
        mainFrame_->showDocumentMenus(false);
    }
    if (lastWindow) {
        registry_.removeDocument(doc);
        documents_.close(doc); // remembers itself as the last document
    }
    for (const auto& d : documents_.documents()) {
        refreshTitles(d.get());
    }
    refreshCommandStates();
}

std::vector<CChildFrame*> CFacetoApp::framesOf(const CFacetoDoc* doc) const {
    std::vector<CChildFrame*> out;
    for (CChildFrame* frame : frames_) {
        if (frame->document() == doc) {
            out.push_back(frame);
        }
    }
    return out;
}

CChildFrame* CFacetoApp::activeFrame() const {
    QMdiSubWindow* window = mainFrame_ ? mainFrame_->mdiArea()->currentSubWindow() : nullptr;
    auto* frame = window ? qobject_cast<CChildFrame*>(window->widget()) : nullptr;
    // A window that is closing is no longer one of the editor's: it has let go of its document.
    return std::find(frames_.begin(), frames_.end(), frame) != frames_.end() ? frame : nullptr;
}

void CFacetoApp::subWindowActivated(QMdiSubWindow* window) {
    // The application losing the focus does not deactivate its document window.
    if (window == nullptr) {
        return;
    }
    auto* frame = qobject_cast<CChildFrame*>(window->widget());
    if (frame == nullptr || frame->document() == nullptr || state_.activeDocument == frame->document()) {
        refreshCommandStates();
        return;
    }
    state_.activeDocument = frame->document();
    refreshCommandStates();
    emit activeDocumentChanged(state_.activeDocument);
}

void CFacetoApp::refreshTitles(const CFacetoDoc* doc) {
    const std::vector<CChildFrame*> frames = framesOf(doc);
    for (size_t i = 0; i < frames.size(); ++i) {
        QString title = QString::fromStdString(doc->title());
        if (frames.size() > 1) {
            title += QString(":%1").arg(i + 1);
        }
        if (auto* window = qobject_cast<QMdiSubWindow*>(frames[i]->parentWidget())) {
            window->setWindowTitle(title + "[*]");
            window->setWindowModified(doc->isModified());
        }
    }
}

// --- the document host ---------------------------------------------------------------------------

void CFacetoApp::message(std::string_view text) {
    dialogs_.message(mainFrame_, QString::fromUtf8(text.data(), qsizetype(text.size())));
}

void CFacetoApp::documentChanged(CFacetoDoc& doc, const ChangeNotice& notice) {
    registry_.updateViews(&doc, notice, nullptr, doc.currentFramePosition());
    if (notice.touches(change::FILE)) {
        refreshTitles(&doc);
    }
    // Positions alone change no command's state, nor the selection's count.
    if (notice.what != change::POSITIONS) {
        refreshCommandStates();
    }
    emit changeNoticed(&doc, notice);
}

bool CFacetoApp::confirmReplace(const std::string& path) {
    return dialogs_.askYesNo(mainFrame_,
                             QString("%1 already exists and holds another picture than the one this "
                                     "save writes there (perhaps the skin of another model).\n"
                                     "Replace it?")
                                 .arg(QString::fromStdString(path)));
}

float CFacetoApp::fileUnits(bool opening) const {
    const std::string text = profile_->get(opening ? settings::IMPORT_SCALE : settings::EXPORT_SCALE);
    const float value = QString::fromStdString(text).toFloat();
    return value > 0.0f && std::isfinite(value) ? value : 1.0f;
}

bool CFacetoApp::confirmReplaceAll(const std::vector<std::string>& paths) {
    if (paths.size() == 1) {
        return confirmReplace(paths.front());
    }
    QStringList names;
    for (const std::string& path : paths) {
        names << QString::fromStdString(path);
    }
    return dialogs_.askYesNo(mainFrame_,
                             QString("These files already exist and hold other pictures than the ones this "
                                     "save writes there (perhaps the skins of another model):\n%1\n"
                                     "Replace them?")
                                 .arg(names.join("\n")));
}

bool CFacetoApp::confirmOverwriteChanged(const std::string& path) {
    return dialogs_.askYesNo(mainFrame_,
                             QString("%1 was changed by another program since it was opened or saved "
                                     "here.\nSave over it, losing those changes?")
                                 .arg(QString::fromStdString(path)));
}

void CFacetoApp::note(std::string_view text) {
    if (mainFrame_) {
        mainFrame_->showAction(QString::fromUtf8(text.data(), qsizetype(text.size())));
    }
}

void CFacetoApp::addToRecentFiles(const std::string& path) {
    const QString absolute = QFileInfo(QString::fromStdString(path)).absoluteFilePath();
    recentFiles_.removeAll(absolute);
    recentFiles_.prepend(absolute);
    while (recentFiles_.size() > RECENT_FILES) {
        recentFiles_.removeLast();
    }
    storeRecentFiles();
    if (mainFrame_) {
        mainFrame_->setRecentFiles(recentFiles_);
    }
}

void CFacetoApp::loadRecentFiles() {
    QSettings& s = profile_->settings();
    recentFiles_.clear();
    for (int i = 1; i <= RECENT_FILES; ++i) {
        const QString path = s.value(QString("%1/File%2").arg(RECENT_SECTION).arg(i)).toString();
        if (!path.isEmpty()) {
            recentFiles_ << path;
        }
    }
}

void CFacetoApp::storeRecentFiles() {
    QSettings& s = profile_->settings();
    s.remove(RECENT_SECTION);
    for (int i = 0; i < recentFiles_.size(); ++i) {
        s.setValue(QString("%1/File%2").arg(RECENT_SECTION).arg(i + 1), recentFiles_[i]);
    }
}

// --- commands --------------------------------------------------------------------------------------

void CFacetoApp::on(const QString& action, std::function<void()> handler) {
    QAction* a = mainFrame_->action(action);
    Q_ASSERT(a);
    handled_ << action;
    connect(a, &QAction::triggered, this, [handler = std::move(handler)] { handler(); });
}

QStringList CFacetoApp::handledCommands() const {
    // The main window shows and hides its bars and docks itself.
    return handled_ + QStringList{"viewToolbar", "viewStatusBar", "viewUndoHistory", "viewSkinView"};
}

void CFacetoApp::onDocument(const QString& action, std::function<void(CFacetoDoc&)> handler) {
    on(action, [this, handler = std::move(handler)] {
        if (CChildFrame* frame = activeFrame()) {
            handler(*frame->document());
        }
    });
}

void CFacetoApp::connectCommands() {
    CMainFrame& frame = *mainFrame_;
    connect(frame.mdiArea(), &QMdiArea::subWindowActivated, this, &CFacetoApp::subWindowActivated);
    connect(&frame, &CMainFrame::filesDropped, this, [this](const QStringList& paths) {
        for (const QString& path : paths) {
            openDocument(path);
        }
    });
    connect(&frame, &CMainFrame::recentFileChosen, this, [this](const QString& path) { openDocument(path); });
    connect(&frame, &CMainFrame::closing, this, [this](bool* accept) {
        storeSession(); // before the documents go: they are part of it
        *accept = closeAllDocuments();
        if (*accept) {
            emit escapePressed(); // a full-screen preview is a window of its own: it goes back first
        }
    });
    connectFileCommands();
    connectSelectionCommands();
    connectWindowCommands();
    connectHelpCommands();
}

// File menu: new, open, close, save, exit, game and print setup.
void CFacetoApp::connectFileCommands() {
    on("fileNew", [this] { newDocument(); });
    on("fileOpen", [this] {
        const QString folder = QString::fromStdString(profile_->get(settings::LAST_FOLDER));
        if (auto choice = dialogs_.chooseFileToOpen(mainFrame_, openFilters(), folder)) {
            openChosenFile(*choice);
        }
    });
    onDocument("fileClose", [this](CFacetoDoc& doc) { closeDocument(&doc); });
    onDocument("fileSave", [this](CFacetoDoc& doc) { save(&doc); });
    onDocument("fileSaveAs", [this](CFacetoDoc& doc) { saveAs(&doc); });
    on("fileExit", [this] { mainFrame_->close(); });
    on("gameSetup", [this] {
        GameSetupDialog dialog(*profile_, dialogs_, mainFrame_);
        dialogs_.run(dialog);
    });
    on("printSetup", [this] {
        QPrinter printer;
        QPageSetupDialog dialog(&printer, mainFrame_);
        dialogs_.run(dialog);
    });
}

// Undo, the clipboard, the selection, the axis locks and the grid.
void CFacetoApp::connectSelectionCommands() {
    onDocument("editUndo", [](CFacetoDoc& doc) { doc.undo(); });
    onDocument("editRedo", [](CFacetoDoc& doc) { doc.redo(); });
    onDocument("editCopy", [this](CFacetoDoc& doc) { state_.clipboard.copySelection(doc); });
    onDocument("editCut", [this](CFacetoDoc& doc) { state_.clipboard.cutSelection(doc); });
    onDocument("editPasteInto", [this](CFacetoDoc& doc) { state_.clipboard.pasteInto(doc); });
    onDocument("selectAll", [](CFacetoDoc& doc) { doc.selectAll(); });
    onDocument("selectNone", [](CFacetoDoc& doc) { doc.selectNone(); });
    const char* locks[3] = {"lockX", "lockY", "lockZ"};
    for (int axis = 0; axis < 3; ++axis) {
        onDocument(locks[axis], [this, axis](CFacetoDoc& doc) {
            viewOf(doc).toggleLock(axis);
            refreshCommandStates();
        });
    }

    onDocument("grids", [this](CFacetoDoc& doc) {
        viewOf(doc).gridVisible = viewOf(doc).gridVisible == 0 ? 1 : 0;
        doc.changed({change::VIEW});
        refreshCommandStates();
    });
}

// The panes, the camera, the toolbar and the windows.
void CFacetoApp::connectWindowCommands() {
    on("resizeViewsEqually", [this] {
        if (CChildFrame* f = activeFrame()) {
            f->resizeViewsEqually();
        }
    });
    on("resetCamera", [this] {
        if (CChildFrame* f = activeFrame()) {
            f->cameraView()->resetCamera();
        }
    });
    for (const auto& entry : {std::pair{"frameAll", false}, std::pair{"frameSelected", true}}) {
        on(entry.first, [this, selectedOnly = entry.second] {
            if (CChildFrame* f = activeFrame()) {
                f->frameModel(selectedOnly);
            }
        });
    }
    on("viewMainToolBar",
       [this] { mainFrame_->dialogBar()->setVisible(!mainFrame_->dialogBar()->isVisible()); });
    on("escape", [this] { emit escapePressed(); });

    on("windowNew", [this] {
        if (CChildFrame* f = activeFrame()) {
            newWindow(f->document());
        }
    });
    on("windowCascade", [this] { cascadeWindows(); });
    on("windowTile", [this] { mainFrame_->mdiArea()->tileSubWindows(); });
    on("windowNext", [this] { mainFrame_->mdiArea()->activateNextSubWindow(); });
    on("windowPrevious", [this] { mainFrame_->mdiArea()->activatePreviousSubWindow(); });
}

// About, the web page and the program's own help.
void CFacetoApp::connectHelpCommands() {
    on("helpAbout", [this] {
        AboutDialog dialog(mainFrame_);
        dialogs_.run(dialog);
    });
    // The web page opens in the browser; when none can be started, the address is given to copy.
    on("helpHomepage", [this] {
        if (!QDesktopServices::openUrl(QUrl(HOMEPAGE))) {
            dialogs_.message(
                mainFrame_,
                QString("No web browser could be started. The program's web page is at\n%1").arg(HOMEPAGE));
        }
    });
    // The program's own help: the guide (F1), or the keys and gestures of every view.
    for (const auto& [help, page] :
         {std::pair{"helpGettingStarted", HelpDialog::GETTING_STARTED},
          std::pair{"helpTopics", HelpDialog::KEYS}, std::pair{"helpContext", HelpDialog::KEYS}}) {
        on(help, [this, page = page] {
            HelpDialog dialog(page, mainFrame_);
            dialogs_.run(dialog);
        });
    }
    connectEditingCommands();
    connectViewCommands();
    connectSkinCommands();
}

void CFacetoApp::refreshCommandStates() {
    if (mainFrame_ == nullptr) {
        return;
    }
    CMainFrame& f = *mainFrame_;
    f.action("toolEdit")->setChecked(state_.currentTool == TOOL_EDIT);
    f.action("toolRotate")->setChecked(state_.currentTool == TOOL_ROTATE);
    f.action("toolScale")->setChecked(state_.currentTool == TOOL_SCALE);
    f.action("toolMoveZoom")->setChecked(state_.currentTool == TOOL_MOVE_ZOOM);
    CChildFrame* frame = activeFrame();
    const CFacetoDoc* doc = frame ? frame->document() : nullptr;
    f.action("grids")->setChecked(doc && viewOf(*doc).gridVisible != 0);
    const char* locks[3] = {"lockX", "lockY", "lockZ"};
    for (int axis = 0; axis < 3; ++axis) {
        f.action(locks[axis])->setChecked(doc && viewOf(*doc).isLocked(axis));
    }
    for (const char* name : {"fileSave", "fileSaveAs", "fileClose"}) {
        f.action(name)->setEnabled(doc != nullptr);
    }
    f.showSelection(doc ? selectionSummary(*doc) : QString());
    refreshEditingStates();
    refreshSkinStates();
    // Undo and Redo name the step they would take, and are off when there is none.
    const UndoHistory* history = doc ? &doc->history() : nullptr;
    QAction* undo = f.action("editUndo");
    undo->setEnabled(history && history->canUndo());
    undo->setText(history && history->canUndo() ? "&Undo " + QString::fromStdString(history->undoName())
                                                : "&Undo");
    undo->setToolTip(undo->text().remove('&'));
    QAction* redo = f.action("editRedo");
    redo->setEnabled(history && history->canRedo());
    redo->setText(history && history->canRedo() ? "&Redo " + QString::fromStdString(history->redoName())
                                                : "&Redo");
    redo->setToolTip(redo->text().remove('&'));
}

} // namespace faceto
