#pragma once

#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>
#include <vector>

class QCheckBox;
class QComboBox;
class QToolButton;

namespace faceto {

class CFacetoApp;
class CSkinView;

// The skin view of the active document with what goes with it: the choice of skin, the skin commands
// (new, delete, resize, generate a map, import, export, group, ungroup), snapping to whole texels, and
// the play of skin groups: while the current skin belongs to one, the skin view and the textured views
// show its pictures at their intervals.
class CSkinPanel : public QWidget {
    Q_OBJECT
public:
    // How many times its lists were made again (a drag of vertices makes none).
    int rebuilds() const { return rebuilds_; }
    explicit CSkinPanel(CFacetoApp& app, QWidget* parent = nullptr);

    CSkinView* view() const { return view_; }
    QComboBox* skinCombo() const { return combo_; }
    QCheckBox* snapBox() const { return snap_; }
    QCheckBox* playBox() const { return play_; }
    // The buttons of the skin commands, in the order of the menu's actions.
    const std::vector<QToolButton*>& buttons() const { return buttons_; }
    void refresh();

private:
    CFacetoApp& app_;
    QComboBox* combo_ = nullptr;
    std::vector<QToolButton*> buttons_;
    QCheckBox* snap_ = nullptr;
    CSkinView* view_ = nullptr;
    QCheckBox* play_ = nullptr;
    // The play of skin groups: the clock it keeps time by, and the timer of the next change of picture.
    QElapsedTimer clock_;
    QTimer playTimer_;
    // Sets the active document's play time to now, and the timer to the next change of its picture; the
    // other documents show their current skins.
    void playSkinGroups();
    bool refreshing_ = false;
    int rebuilds_ = 0;
};

} // namespace faceto
