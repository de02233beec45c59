#pragma once

#include <QWidget>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

namespace faceto {

class CFacetoApp;

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

} // namespace faceto
