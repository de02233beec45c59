#pragma once

#include <QWidget>

class QComboBox;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QMenu;
class QPushButton;
class QStackedWidget;
class QTreeWidget;
class QTreeWidgetItem;

namespace faceto {

class CAnimationPlayer;
class CFacetoApp;
class CFacetoDoc;
class CFlatBitmapButton;
class CGridPanel;
class CPrimitivesPanel;

// The project manager: the active document's animations, the frames of its current animation and its
// groups, with the sub-panels above them. It keeps no model data: every change goes through the
// document's frame operations and the panel reads the document again afterwards.
class CProjectManager : public QWidget {
    Q_OBJECT
public:
    // How many times its lists were made again (a drag of vertices makes none).
    int rebuilds() const { return rebuilds_; }
    // How an animation without a name is listed.
    static constexpr const char* NO_NAME = QT_TR_NOOP("(no name)");

    explicit CProjectManager(CFacetoApp& app, QWidget* parent = nullptr);

    void refresh();

    CAnimationPlayer* player() const { return player_; }
    CGridPanel* gridPanel() const { return grid_; }
    CPrimitivesPanel* primitivesPanel() const { return primitives_; }
    QStackedWidget* subPanels() const { return stack_; }
    QWidget* toolsPage() const { return tools_; }
    // Shows a sub-panel (the player, the tools, the grid or the primitives) in the area below the four
    // buttons, and the panel itself.
    void showPage(QWidget* page);
    // The player is shown when its page is the one in view; hiding it empties the area.
    bool playerShown() const;
    void setPlayerShown(bool shown);
    // Shows the panel with the keyboard focus in the frame list or the group tree.
    void focusFrameList();
    void focusGroupTree();
    // The frame chosen in the frame list is deleted (as one step); false when none is chosen.
    bool deleteChosenFrame();
    CFlatBitmapButton* panelButton(char name) const; // 'A', 'T', 'G' or 'P'
    QPushButton* insButton() const { return ins_; }
    QPushButton* delButton() const { return del_; }
    QComboBox* animationList() const { return animations_; }
    QListWidget* frameList() const { return frames_; }
    QTreeWidget* groupTree() const { return groups_; }
    QLabel* caption() const { return caption_; }

    // The right-click menus as they would open now (for the group tree: over `hit`, or empty space).
    // The frame list's menu, for the frame `hit` (right-clicked; null: the one chosen in the list).
    QMenu* frameMenu(QListWidgetItem* hit = nullptr);
    // A frame of the list dragged from row `from` to before row `before`: it moves there, as one step.
    void frameDropped(int from, int before);
    QMenu* groupMenu(QTreeWidgetItem* hit);

signals:
    void pageChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void connectControls();
    CFacetoDoc* document() const;
    void animationChosen(int index);
    void frameClicked();
    void addAnimation();
    void deleteAnimation();
    int chosenFrame() const; // the index of the frame chosen in the frame list, or -1
    QWidget* makeToolsPage();

    CFacetoApp& app_;
    CFlatBitmapButton* panelButtons_[4] = {};
    QStackedWidget* stack_ = nullptr;
    CAnimationPlayer* player_ = nullptr;
    CGridPanel* grid_ = nullptr;
    CPrimitivesPanel* primitives_ = nullptr;
    QWidget* tools_ = nullptr;
    QPushButton* ins_ = nullptr;
    QPushButton* del_ = nullptr;
    QComboBox* animations_ = nullptr;
    QLabel* caption_ = nullptr;
    QListWidget* frames_ = nullptr;
    QTreeWidget* groups_ = nullptr;
    QMenu* menu_ = nullptr;
    bool refreshing_ = false;
    int rebuilds_ = 0;
};

} // namespace faceto
