#pragma once

#include "app/DocumentManager.h"
#include "app/QtProfile.h"
#include "app/UserDialogs.h"
#include "document/CFacetoDoc.h"
#include "model/Palette.h"
#include "render/Rasterizer.h"
#include "views/AppState.h"
#include "views/ViewContext.h"

#include <QObject>
#include <QStringList>
#include <memory>
#include <vector>

class QMdiSubWindow;
class QPrinter;

namespace faceto {

class CChildFrame;
class EditorCommands;
class CMainFrame;
class CProjectManager;
class CSkinPanel;

// The editor: its settings, the one rasterizer, the process-wide editing state and clipboard, the
// open documents (DocumentManager) with their windows, the recent files and the session; the commands
// of the menus, toolbar and keys are EditorCommands'.
class CFacetoApp : public QObject, public DocumentHost {
    Q_OBJECT
    friend class EditorCommands;

public:
    // The file dialogs' filters, from the table of formats.
    static QStringList openFilters();
    static QStringList saveFilters();
    static constexpr int RECENT_FILES = 12;

    CFacetoApp(std::unique_ptr<QtProfile> profile, UserDialogs& dialogs);
    ~CFacetoApp() override;

    // Starts the editor: the palette and colour map from the current folder, the main window, the
    // document that was open last, then `files`. False when the main window cannot be made.
    bool startUp(const QStringList& files = {});

    CMainFrame* mainFrame() const { return mainFrame_; }
    CProjectManager* projectManager() const { return projectManager_; }
    CSkinPanel* skinPanel() const { return skinPanel_; }
    AppState& state() { return state_; }
    QtProfile& profile() { return *profile_; }
    ViewContext& viewContext() { return *viewContext_; }
    const PaletteTables& paletteTables() const { return tables_; }
    UserDialogs& dialogs() { return dialogs_; }

    const std::vector<std::unique_ptr<CFacetoDoc>>& documents() const { return documents_.documents(); }
    CChildFrame* activeFrame() const;
    // How the windows of `doc` show it.
    ViewState& viewOf(const CFacetoDoc& doc) { return registry_.stateOf(&doc); }
    std::vector<CChildFrame*> framesOf(const CFacetoDoc* doc) const;
    // The camera panes of the document's windows are drawn again (the frame the player shows moved).
    void redrawCameraViews(const CFacetoDoc* doc);
    QStringList recentFiles() const { return recentFiles_; }

    // Model units per unit of a glTF or OBJ file on opening, or such units per model unit on saving
    // ("Pref" / "ImportScale", "ExportScale"; 1 when not set).
    float fileUnits(bool opening) const;

    CFacetoDoc* newDocument();
    // Opens a model in a new window; shows the reader's message when it fails. Null on failure. A file
    // that is open already brings its window to the front instead.
    CFacetoDoc* openDocument(const QString& path);
    // The open document of that file (links resolved), or null.
    CFacetoDoc* findDocument(const QString& path) const;
    // What the Open dialog's answer leads to: a name of no file and without a "." gets the chosen
    // filter's extension.
    CFacetoDoc* openChosenFile(const UserDialogs::FileChoice& choice);
    // Save, falling back to Save As for a document that Save cannot write. False when nothing was saved.
    bool save(CFacetoDoc* doc);
    bool saveAs(CFacetoDoc* doc);
    // What the Save As dialog's answer leads to: a file name without a "." gets the filter's extension.
    bool saveAsChosenFile(CFacetoDoc* doc, const UserDialogs::FileChoice& choice);
    // Closes every window of the document, asking first when it has unsaved changes.
    bool closeDocument(CFacetoDoc* doc);
    bool closeAllDocuments();
    CChildFrame* newWindow(CFacetoDoc* doc);

    // DocumentHost
    void message(std::string_view text) override;
    void documentChanged(CFacetoDoc& doc, const ChangeNotice& notice) override;
    void addToRecentFiles(const std::string& path) override;
    bool confirmReplace(const std::string& path) override;
    bool confirmReplaceAll(const std::vector<std::string>& paths) override;
    bool confirmOverwriteChanged(const std::string& path) override;
    void note(std::string_view text) override;

    // The active window's four views, as they show, on one page of `printer` (nothing without a window).
    void printActiveWindow(QPrinter& printer);

    // The commands that have a handler, by name.
    QStringList handledCommands() const;

    // Brings the check marks and pressed buttons in line with the tool, level, locks and grid.
    void refreshCommandStates();

signals:
    void activeDocumentChanged(CFacetoDoc* doc);
    // What changed in a document, for the panels to rebuild what shows it.
    void changeNoticed(CFacetoDoc* doc, faceto::ChangeNotice notice);
    void escapePressed();

private:
    void connectCommands();
    void redrawActive();
    CChildFrame* addFrame(CFacetoDoc* doc);
    void placeWindow(QMdiSubWindow* window, int n);
    void cascadeWindows();
    void frameCloseRequested(CChildFrame* frame, bool* accept);
    void frameClosed(CChildFrame* frame);
    void subWindowActivated(QMdiSubWindow* window);
    void refreshTitles(const CFacetoDoc* doc);
    // The main window names the active document: "name.md2 — Faceto", with "*" when it is modified.
    void refreshMainTitle();
    void loadRecentFiles();
    void storeRecentFiles();
    // The session: the main window's place and docks, the files open and their windows (section
    // "Session"). The layout comes back before the main window shows (false when none was kept); the
    // documents after, those files that still exist (false when the session named none).
    void storeSession();
    // A window's place while not minimised or maximised is kept, for the session.
    static void keepNormalPlace(QMdiSubWindow* window);
    bool restoreLayout();
    bool restoreDocuments();

    std::unique_ptr<QtProfile> profile_;
    UserDialogs& dialogs_;
    PaletteTables tables_;
    AppState state_;
    ViewRegistry registry_;
    std::unique_ptr<ViewContext> viewContext_;
    std::unique_ptr<EditorCommands> commands_;
    DocumentManager documents_{*profile_, *this, tables_};
    std::vector<CChildFrame*> frames_;
    CMainFrame* mainFrame_ = nullptr;
    CProjectManager* projectManager_ = nullptr; // in the main window's dialog bar
    CSkinPanel* skinPanel_ = nullptr;           // in the skin dock
    QStringList recentFiles_;
    bool closingDocument_ = false;
    bool toldWhatGameFormatsLose_ = false; // once a session
};

} // namespace faceto
