#pragma once

#include <QHash>
#include <QMainWindow>
#include <QString>
#include <initializer_list>

class QAction;
class QActionGroup;
class QDockWidget;
class QLabel;
class QMdiArea;
class QMenu;
class QToolBar;

namespace faceto {

// The main window: the document windows in an MDI area, the main toolbar, the status bar with its
// CAP, NUM and SCRL indicators, and the docked panel at the left. Its menu bar is the one without
// documents, or the document menu while any document window is open. The title stays "Faceto".
class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    explicit CMainFrame(QWidget* parent = nullptr);
    ~CMainFrame() override;

    QMdiArea* mdiArea() const { return mdi_; }
    static QStringList recentFileLabels(const QStringList& paths);
    void keepWindowsInside();
    QToolBar* mainToolBar() const { return toolBar_; }
    QDockWidget* dialogBar() const { return dock_; }
    // The command of a menu item, toolbar button or key, by name ("fileOpen", "toolEdit", ...).
    QAction* action(const QString& name) const;
    const QHash<QString, QAction*>& actions() const { return actions_; }
    QActionGroup* levelGroup() const { return levelGroup_; }

    // The menus for "no document open" and "documents open", switched by the application.
    void showDocumentMenus(bool documentsOpen);
    void setRecentFiles(const QStringList& paths);
    QMenu* menu(const QString& title) const; // a top-level menu of the current menu bar, by its text

    // The panel shown in the docked bar at the left.
    void setDialogBarContent(QWidget* widget);
    // The dock of the undo history (hidden at first) and what it shows.
    QDockWidget* historyDock() const { return historyDock_; }
    void setHistoryContent(QWidget* widget);
    // The dock of the skin view (shown at first) and what it shows.
    QDockWidget* skinDock() const { return skinDock_; }
    void setSkinContent(QWidget* widget);
    // The status bar's fields: where the pointer is in a 2D view, and what is selected.
    void showPointer(const QString& text);
    void showSelection(const QString& text);
    // What the original engines would not draw of the active model, before it is saved.
    void showLimits(const QStringList& notes);
    QLabel* limitsField() const { return limits_; }
    // Shown only while View ▸ Tools... ▸ Current Mode / Current Action are checked.
    void showMode(const QString& text);
    void showAction(const QString& text);
    QLabel* modeField() const { return mode_; }
    QLabel* actionField() const { return action_; }
    QLabel* pointerField() const { return pointer_; }
    QLabel* selectionField() const { return selection_; }

signals:
    void filesDropped(const QStringList& paths);
    void recentFileChosen(const QString& path);
    void closing(bool* accept);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QAction* add(const QString& name, const char* text, const char* promptAndTip = nullptr,
                 const QKeySequence& key = {}, const QString& icon = {});
    void createActions();
    void createEditActions();
    void createToolActions();
    void create2DViewActions();
    void createToolAndLevelActions();
    void createWindowActions();
    void createToolBar();
    void createStatusBar();
    QMenu* fileMenu(bool documentsOpen);
    void addCommands(QMenu* menu, std::initializer_list<const char*> names);
    void fillRecentFiles(QMenu* menu);
    void listWindows(QMenu* menu);

    QMdiArea* mdi_ = nullptr;
    QToolBar* toolBar_ = nullptr;
    QDockWidget* dock_ = nullptr;
    QDockWidget* historyDock_ = nullptr;
    QDockWidget* skinDock_ = nullptr;
    QHash<QString, QAction*> actions_;
    QActionGroup* levelGroup_ = nullptr;
    QActionGroup* fillGroup_ = nullptr;
    QStringList recentFiles_;
    QLabel* indicators_[3] = {};
    QLabel* pointer_ = nullptr;
    QLabel* mode_ = nullptr;
    QLabel* action_ = nullptr;
    QLabel* selection_ = nullptr;
    QLabel* limits_ = nullptr;
    bool locks_[3] = {false, false, false}; // caps, num, scroll
    bool documentMenus_ = false;
    const QEvent* lastKeyEvent_ = nullptr;
};

} // namespace faceto
