#pragma once

#include <QWidget>

#include <QTimer>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPushButton;
class QSlider;
class QStackedWidget;
class QTreeWidget;
class QTreeWidgetItem;

namespace faceto {

class CAnimationView;
class CFacetoApp;
class CFacetoDoc;
class CFlatBitmapButton;

// The animation player: the active document's current animation in the preview, ten frames a second
// while the panel is shown, with the switches F (full screen), V (vertex dots), L (lines), T (fill:
// textured, none, shaded) and S (next skin).
class CAnimationPlayer : public QWidget {
    Q_OBJECT
public:
    explicit CAnimationPlayer(CFacetoApp& app, QWidget* parent = nullptr);
    ~CAnimationPlayer() override;

    CAnimationView* preview() const { return preview_; }
    CFlatBitmapButton* button(char name) const;
    QSlider* slider() const { return slider_; }
    bool playing() const { return timer_.isActive(); }
    // One step of the playback; the timer calls it every 100 ms.
    void tick();
    int playStep = 0; // the position in the current animation, kept across documents

public slots:
    void leaveFullScreen();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void cycleFill();

    CFacetoApp& app_;
    CAnimationView* preview_ = nullptr;
    QSlider* slider_ = nullptr;
    CFlatBitmapButton* buttons_[5] = {}; // F V L T S
    QTimer timer_;
};

// The grid panel: the active document's grid, read when the panel is shown or hidden.
class CGridPanel : public QWidget {
    Q_OBJECT
public:
    explicit CGridPanel(CFacetoApp& app, QWidget* parent = nullptr);

    QCheckBox* visibleBox() const { return visible_; }
    QCheckBox* snapBox() const { return snap_; }
    QLineEdit* spacingEdit() const { return spacing_; }
    QPushButton* applyButton() const { return apply_; }
    QComboBox* frameCombo() const { return combo_; }
    void loadFromDocument();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void applySpacing();

    CFacetoApp& app_;
    QCheckBox* visible_ = nullptr;
    QCheckBox* snap_ = nullptr;
    QCheckBox* frame_ = nullptr;
    QComboBox* combo_ = nullptr;
    QLineEdit* spacing_ = nullptr;
    QPushButton* apply_ = nullptr;
};

// The primitives panel: a list of primitive shapes and "New Face" (which makes none in this version).
class CPrimitivesPanel : public QWidget {
    Q_OBJECT
public:
    explicit CPrimitivesPanel(QWidget* parent = nullptr);
    QListWidget* list() const { return list_; }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void fill();
    QListWidget* list_ = nullptr;
};

// The project manager: the active document's animations, the frames of its current animation and its
// groups, with the sub-panels above them. It keeps no model data: every change goes through the
// document's frame operations and the panel reads the document again afterwards.
class CProjectManager : public QWidget {
    Q_OBJECT
public:
    explicit CProjectManager(CFacetoApp& app, QWidget* parent = nullptr);

    void refresh();

    CAnimationPlayer* player() const { return player_; }
    CGridPanel* gridPanel() const { return grid_; }
    CPrimitivesPanel* primitivesPanel() const { return primitives_; }
    QStackedWidget* subPanels() const { return stack_; }
    CFlatBitmapButton* panelButton(char name) const; // 'A', 'T', 'G' or 'P'
    QPushButton* insButton() const { return ins_; }
    QPushButton* delButton() const { return del_; }
    QComboBox* animationList() const { return animations_; }
    QListWidget* frameList() const { return frames_; }
    QTreeWidget* groupTree() const { return groups_; }
    QLabel* caption() const { return caption_; }

    // The right-click menus as they would open now (for the group tree: over `hit`, or empty space).
    QMenu* frameMenu();
    QMenu* groupMenu(QTreeWidgetItem* hit);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    CFacetoDoc* document() const;
    void animationChosen(int index);
    void frameClicked();
    void addAnimation();
    void deleteAnimation();
    void showSubPanel(QWidget* panel);

    CFacetoApp& app_;
    CFlatBitmapButton* panelButtons_[4] = {};
    QStackedWidget* stack_ = nullptr;
    CAnimationPlayer* player_ = nullptr;
    CGridPanel* grid_ = nullptr;
    CPrimitivesPanel* primitives_ = nullptr;
    QPushButton* ins_ = nullptr;
    QPushButton* del_ = nullptr;
    QComboBox* animations_ = nullptr;
    QLabel* caption_ = nullptr;
    QListWidget* frames_ = nullptr;
    QTreeWidget* groups_ = nullptr;
    QMenu* menu_ = nullptr;
    bool refreshing_ = false;
};

} // namespace faceto
