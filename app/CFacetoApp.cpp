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
#include "app/EditorCommands.h"
#include "app/Translation.h"
#include "formats/FileIO.h"
#include "formats/PaletteFiles.h"
#include "model/Version.h"
#include "views/C2DView.h"
#include "views/CCameraView.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QDockWidget>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPainter>
#include <QPixmap>
#include <QPrinter>
#include <QScreen>
#include <QSettings>
#include <QStyle>
#include <algorithm>
#include <cmath>

namespace faceto {

namespace {

const QString RECENT_SECTION = "Recent File List";

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
    QStringList filters{tr("All models (%1)").arg(patterns.join(' '))};
    for (const FileFormat& f : fileFormats()) {
        if (!f.openFilter.empty()) {
            filters << shownText(f.openFilter);
        }
    }
    return filters;
}

QStringList CFacetoApp::saveFilters() {
    QStringList filters;
    for (const FileFormat& f : fileFormats()) {
        if (!f.saveFilter.empty()) {
            filters << shownText(f.saveFilter);
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
    commands_ = std::make_unique<EditorCommands>(*this);
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
        mainFrame_->showAction(tr("%1 is open already").arg(QString::fromStdString(open->title())));
        return open;
    }
    std::unique_ptr<CFacetoDoc> doc = documents_.make();
    doc->exchange().importScale = fileUnits(true);
    doc->exchange().exportScale = fileUnits(false);
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
        QString kind = shownText(format->saveFilter);
        kind = kind.left(kind.indexOf(" (")).trimmed();
        const int answer = dialogs_.choose(
            mainFrame_,
            tr("%1 is saved in its own format (%2), which does not keep groups, the selection or "
               "hidden vertices.\nTo keep them, use Save As and choose Faceto Model (*.fm).")
                .arg(QString::fromStdString(doc->title()), kind),
            {tr("Save"), tr("Save As...")});
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

void CFacetoApp::printActiveWindow(QPrinter& printer) {
    CChildFrame* frame = activeFrame();
    if (frame == nullptr) {
        return;
    }
    const QPixmap picture = frame->grab();
    QPainter painter(&printer);
    const QRect page = painter.viewport();
    const QSize fitted = picture.size().scaled(page.size(), Qt::KeepAspectRatio);
    painter.setViewport(page.x(), page.y(), fitted.width(), fitted.height());
    painter.setWindow(picture.rect());
    painter.drawPixmap(0, 0, picture);
}

// --- the document host ---------------------------------------------------------------------------

void CFacetoApp::message(std::string_view text) {
    dialogs_.message(mainFrame_, shownText(text));
}

void CFacetoApp::documentChanged(CFacetoDoc& doc, const ChangeNotice& notice) {
    registry_.updateViews(&doc, notice, nullptr, doc.currentFramePosition());
    if (notice.touches(change::FILE)) {
        refreshTitles(&doc);
    }
    // Positions alone change no command's state, nor the selection's count.
    if (notice.what != change::POSITIONS && notice.what != change::SKIN_PLAY) {
        refreshCommandStates();
    }
    emit changeNoticed(&doc, notice);
}

bool CFacetoApp::confirmReplace(const std::string& path) {
    return dialogs_.askYesNo(mainFrame_, tr("%1 already exists and holds another picture than the one this "
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
                             tr("These files already exist and hold other pictures than the ones this "
                                "save writes there (perhaps the skins of another model):\n%1\n"
                                "Replace them?")
                                 .arg(names.join("\n")));
}

bool CFacetoApp::confirmOverwriteChanged(const std::string& path) {
    return dialogs_.askYesNo(mainFrame_, tr("%1 was changed by another program since it was opened or saved "
                                            "here.\nSave over it, losing those changes?")
                                             .arg(QString::fromStdString(path)));
}

void CFacetoApp::note(std::string_view text) {
    if (mainFrame_) {
        mainFrame_->showAction(shownText(text));
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
    commands_->connectAll();
}

QStringList CFacetoApp::handledCommands() const {
    return commands_->handledCommands();
}

void CFacetoApp::refreshCommandStates() {
    commands_->refreshCommandStates();
    refreshMainTitle();
}

void CFacetoApp::refreshMainTitle() {
    if (mainFrame_ == nullptr) {
        return;
    }
    const CFacetoDoc* doc = state_.activeDocument;
    mainFrame_->setWindowTitle(doc == nullptr
                                   ? QString("Faceto")
                                   : QString::fromStdString(doc->title()) + (doc->isModified() ? "*" : "") +
                                         QString::fromUtf8(" — Faceto"));
}

} // namespace faceto
