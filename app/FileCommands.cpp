// The commands of the File, Window and Help menus, undo, the clipboard and the selection, and the
// check marks and names of every command.
#include "app/CChildFrame.h"
#include "app/CFacetoApp.h"
#include "app/CMainFrame.h"
#include "app/Dialogs.h"
#include "app/EditorCommands.h"
#include "app/Translation.h"
#include "document/ModelProperties.h"
#include "model/Version.h"
#include "views/CCameraView.h"

#include <QAction>
#include <QDesktopServices>
#include <QDockWidget>
#include <QMdiArea>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QUrl>
#include <algorithm>

namespace faceto {

namespace {

// "12 vertices, 4 triangles selected": the visible selected vertices and the triangles all of whose
// corners are selected.
QString selectionSummary(const CFacetoDoc& doc) {
    const auto& infos = doc.model().vertexInfos;
    const auto vertices = std::count_if(infos.begin(), infos.end(),
                                        [](const VertexInfo& i) { return i.visible() && i.selected(); });
    const auto triangles =
        std::count_if(doc.model().triangles.begin(), doc.model().triangles.end(), [&](const Triangle& t) {
            return std::all_of(t.v.begin(), t.v.end(),
                               [&](int32_t v) { return infos[size_t(v)].selected(); });
        });
    return EditorCommands::tr("%1, %2 selected")
        .arg(vertices == 1 ? EditorCommands::tr("1 vertex") : EditorCommands::tr("%1 vertices").arg(vertices),
             triangles == 1 ? EditorCommands::tr("1 triangle")
                            : EditorCommands::tr("%1 triangles").arg(triangles));
}

} // namespace

EditorCommands::EditorCommands(CFacetoApp& app) : app_(app) {}

EditorCommands::~EditorCommands() = default;

QPrinter& EditorCommands::printer() {
    if (!printer_) {
        printer_ = std::make_unique<QPrinter>();
    }
    return *printer_;
}

void EditorCommands::connectAll() {
    connectFileCommands();
    connectSelectionCommands();
    connectWindowCommands();
    connectHelpCommands();
}

void EditorCommands::on(const QString& action, std::function<void()> handler) {
    QAction* a = app_.mainFrame_->action(action);
    Q_ASSERT(a);
    handled_ << action;
    connect(a, &QAction::triggered, this, [handler = std::move(handler)] { handler(); });
}

QStringList EditorCommands::handledCommands() const {
    // The main window shows and hides its bars and docks itself.
    return handled_ + QStringList{"viewToolbar", "viewStatusBar", "viewUndoHistory", "viewSkinView"};
}

void EditorCommands::onDocument(const QString& action, std::function<void(CFacetoDoc&)> handler) {
    on(action, [this, handler = std::move(handler)] {
        if (CChildFrame* frame = app_.activeFrame()) {
            handler(*frame->document());
        }
    });
}

// File menu: new, open, close, save, exit, game and print setup.
void EditorCommands::connectFileCommands() {
    on("fileNew", [this] { app_.newDocument(); });
    on("fileOpen", [this] {
        const QString folder = QString::fromStdString(app_.profile_->get(settings::LAST_FOLDER));
        if (auto choice = app_.dialogs_.chooseFileToOpen(app_.mainFrame_, app_.openFilters(), folder)) {
            app_.openChosenFile(*choice);
        }
    });
    onDocument("fileClose", [this](CFacetoDoc& doc) { app_.closeDocument(&doc); });
    onDocument("fileSave", [this](CFacetoDoc& doc) { app_.save(&doc); });
    onDocument("fileSaveAs", [this](CFacetoDoc& doc) { app_.saveAs(&doc); });
    on("fileExit", [this] { app_.mainFrame_->close(); });
    on("gameSetup", [this] {
        GameSetupDialog dialog(*app_.profile_, app_.dialogs_, app_.mainFrame_);
        app_.dialogs_.run(dialog);
    });
    // One printer for the session: what Print Setup chooses, Print and Print Preview use.
    on("printSetup", [this] {
        QPageSetupDialog dialog(&printer(), app_.mainFrame_);
        app_.dialogs_.run(dialog);
    });
    on("filePrint", [this] {
        if (app_.activeFrame() == nullptr) {
            return;
        }
        QPrintDialog dialog(&printer(), app_.mainFrame_);
        if (app_.dialogs_.run(dialog) == QDialog::Accepted) {
            app_.printActiveWindow(printer());
        }
    });
    on("filePrintPreview", [this] {
        if (app_.activeFrame() == nullptr) {
            return;
        }
        QPrintPreviewDialog dialog(&printer(), app_.mainFrame_);
        connect(&dialog, &QPrintPreviewDialog::paintRequested, this,
                [this](QPrinter* page) { app_.printActiveWindow(*page); });
        app_.dialogs_.run(dialog);
    });
}

// Undo, the clipboard, the selection, the axis locks and the grid.
void EditorCommands::connectSelectionCommands() {
    onDocument("editUndo", [](CFacetoDoc& doc) { doc.undo(); });
    onDocument("editRedo", [](CFacetoDoc& doc) { doc.redo(); });
    onDocument("editCopy", [this](CFacetoDoc& doc) { app_.state_.clipboard.copySelection(doc); });
    onDocument("editCut", [this](CFacetoDoc& doc) { app_.state_.clipboard.cutSelection(doc); });
    onDocument("editPasteInto", [this](CFacetoDoc& doc) { app_.state_.clipboard.pasteInto(doc); });
    onDocument("selectAll", [](CFacetoDoc& doc) { doc.selectAll(); });
    onDocument("selectNone", [](CFacetoDoc& doc) { doc.selectNone(); });
    const char* locks[3] = {"lockX", "lockY", "lockZ"};
    for (int axis = 0; axis < 3; ++axis) {
        onDocument(locks[axis], [this, axis](CFacetoDoc& doc) {
            app_.viewOf(doc).toggleLock(axis);
            refreshCommandStates();
        });
    }

    onDocument("grids", [this](CFacetoDoc& doc) {
        app_.viewOf(doc).gridVisible = app_.viewOf(doc).gridVisible == 0 ? 1 : 0;
        doc.changed({change::VIEW});
        refreshCommandStates();
    });
}

// The panes, the camera, the toolbar and the windows.
void EditorCommands::connectWindowCommands() {
    on("resizeViewsEqually", [this] {
        if (CChildFrame* f = app_.activeFrame()) {
            f->resizeViewsEqually();
        }
    });
    on("resetCamera", [this] {
        if (CChildFrame* f = app_.activeFrame()) {
            f->cameraView()->resetCamera();
        }
    });
    for (const auto& entry : {std::pair{"frameAll", false}, std::pair{"frameSelected", true}}) {
        on(entry.first, [this, selectedOnly = entry.second] {
            if (CChildFrame* f = app_.activeFrame()) {
                f->frameModel(selectedOnly);
            }
        });
    }
    on("viewMainToolBar",
       [this] { app_.mainFrame_->dialogBar()->setVisible(!app_.mainFrame_->dialogBar()->isVisible()); });
    on("escape", [this] { emit app_.escapePressed(); });

    on("windowNew", [this] {
        if (CChildFrame* f = app_.activeFrame()) {
            app_.newWindow(f->document());
        }
    });
    on("windowCascade", [this] { app_.cascadeWindows(); });
    on("windowTile", [this] { app_.mainFrame_->mdiArea()->tileSubWindows(); });
    on("windowNext", [this] { app_.mainFrame_->mdiArea()->activateNextSubWindow(); });
    on("windowPrevious", [this] { app_.mainFrame_->mdiArea()->activatePreviousSubWindow(); });
}

// About, the web page and the program's own help.
void EditorCommands::connectHelpCommands() {
    on("helpAbout", [this] {
        AboutDialog dialog(app_.mainFrame_);
        app_.dialogs_.run(dialog);
    });
    // The web page opens in the browser; when none can be started, the address is given to copy.
    on("helpHomepage", [this] {
        if (!QDesktopServices::openUrl(QUrl(HOMEPAGE))) {
            app_.dialogs_.message(
                app_.mainFrame_,
                tr("No web browser could be started. The program's web page is at\n%1").arg(HOMEPAGE));
        }
    });
    // The program's own help: the guide (F1), or the keys and gestures of every view.
    for (const auto& [help, page] :
         {std::pair{"helpGettingStarted", HelpDialog::GETTING_STARTED},
          std::pair{"helpTopics", HelpDialog::KEYS}, std::pair{"helpContext", HelpDialog::KEYS}}) {
        on(help, [this, page = page] {
            HelpDialog dialog(page, app_.mainFrame_);
            app_.dialogs_.run(dialog);
        });
    }
    connectEditingCommands();
    connectViewCommands();
    connectSkinCommands();
    connectGroupCommands();
}

void EditorCommands::refreshCommandStates() {
    if (app_.mainFrame_ == nullptr) {
        return;
    }
    CMainFrame& f = *app_.mainFrame_;
    f.action("toolEdit")->setChecked(app_.state_.currentTool == TOOL_EDIT);
    f.action("toolRotate")->setChecked(app_.state_.currentTool == TOOL_ROTATE);
    f.action("toolScale")->setChecked(app_.state_.currentTool == TOOL_SCALE);
    f.action("toolMoveZoom")->setChecked(app_.state_.currentTool == TOOL_MOVE_ZOOM);
    CChildFrame* frame = app_.activeFrame();
    const CFacetoDoc* doc = frame ? frame->document() : nullptr;
    f.action("grids")->setChecked(doc && app_.viewOf(*doc).gridVisible != 0);
    const char* locks[3] = {"lockX", "lockY", "lockZ"};
    for (int axis = 0; axis < 3; ++axis) {
        f.action(locks[axis])->setChecked(doc && app_.viewOf(*doc).isLocked(axis));
    }
    for (const char* name : {"fileSave", "fileSaveAs", "fileClose"}) {
        f.action(name)->setEnabled(doc != nullptr);
    }
    f.showSelection(doc ? selectionSummary(*doc) : QString());
    QStringList limits;
    for (const std::string& note : doc ? engineLimitNotes(*doc) : std::vector<std::string>{}) {
        limits << QString::fromStdString(note);
    }
    f.showLimits(limits);
    refreshEditingStates();
    refreshSkinStates();
    refreshGroupStates();
    // Undo and Redo name the step they would take, and are off when there is none.
    const UndoHistory* history = doc ? &doc->history() : nullptr;
    QAction* undo = f.action("editUndo");
    undo->setEnabled(history && history->canUndo());
    undo->setText(history && history->canUndo() ? tr("&Undo %1").arg(shownText(history->undoName()))
                                                : tr("&Undo"));
    undo->setToolTip(undo->text().remove('&'));
    QAction* redo = f.action("editRedo");
    redo->setEnabled(history && history->canRedo());
    redo->setText(history && history->canRedo() ? tr("&Redo %1").arg(shownText(history->redoName()))
                                                : tr("&Redo"));
    redo->setToolTip(redo->text().remove('&'));
}

} // namespace faceto
