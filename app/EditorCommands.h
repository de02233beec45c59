#pragma once

#include <QCoreApplication>
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class QPrinter;

namespace faceto {

class CFacetoApp;
class CFacetoDoc;

// Every command of the menus, toolbar and keys, connected to what it does in the editor, and the check
// marks, names and enabled states of the commands brought in line with the editor's state.
class EditorCommands : public QObject {
    Q_DECLARE_TR_FUNCTIONS(faceto::EditorCommands)
public:
    explicit EditorCommands(CFacetoApp& app);
    ~EditorCommands() override;
    EditorCommands(const EditorCommands&) = delete;
    EditorCommands& operator=(const EditorCommands&) = delete;

    // Gives every command its handler (once, when the main window exists).
    void connectAll();
    // The commands that have a handler, by name.
    QStringList handledCommands() const;
    // Brings the check marks and pressed buttons in line with the tool, level, locks and grid.
    void refreshCommandStates();

private:
    void on(const QString& action, std::function<void()> handler);
    // A command that acts on the active window's document (nothing when there is none).
    void onDocument(const QString& action, std::function<void(CFacetoDoc&)> handler);
    void connectFileCommands();
    void connectSelectionCommands();
    void connectWindowCommands();
    void connectHelpCommands();
    // The commands of the Edit and Tools menus, the levels, and the frame and selection commands.
    void connectEditingCommands();
    void connectModelCommands();
    void connectFrameCommands();
    // The commands of the View menu: the camera view's modes, the 2D views' switches, the panels.
    void connectViewCommands();
    void connectPlayerCommands();
    void connectPanelCommands();
    // The check marks of the commands connectEditingCommands and connectViewCommands add.
    void refreshEditingStates();
    // The skin commands: new, delete, resize, generate a map, import, export; on when they can act.
    void connectSkinCommands();
    void connectSkinImport();
    void connectSkinExport();
    void refreshSkinStates();
    // Skins and frames grouped and ungrouped; on when they can act.
    void connectGroupCommands();
    void refreshGroupStates();
    // Writes every setting to the profile now.
    void saveSettings();
    // Saves the active window's camera view as a PNG picture, through a file dialog.
    void captureCameraView();
    // Frame ▸ Interpolate: asks how many frames between which two, and whether across two animations.
    void interpolate(CFacetoDoc& doc);

    QPrinter& printer();

    CFacetoApp& app_;
    QStringList handled_;               // the commands given a handler by on()
    std::unique_ptr<QPrinter> printer_; // made when first needed
};

} // namespace faceto
