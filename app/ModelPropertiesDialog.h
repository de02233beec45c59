#pragma once

#include "document/ModelProperties.h"

#include <QDialog>
#include <array>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QListWidget;

namespace faceto {

// Edit ▸ Model Properties: a Quake model's flags (by the effects they ask for), its sync type and eye
// position, the size of its skin; the skin names a Quake 2 model stores (add, rename by editing, remove,
// move up and down).
class ModelPropertiesDialog : public QDialog {
    Q_OBJECT
public:
    ModelPropertiesDialog(const ModelProperties& current, int skinWidth, int skinHeight,
                          QWidget* parent = nullptr);
    ModelProperties properties() const;

    QCheckBox* flagBox(size_t bit) const { return flags_[bit]; }
    QComboBox* syncBox() const { return sync_; }
    QDoubleSpinBox* eyeBox(int axis) const { return eye_[size_t(axis)]; }
    QListWidget* skinNames() const { return names_; }

private:
    QWidget* makeQuakeBox(const ModelProperties& current, int skinWidth, int skinHeight);
    QWidget* makeSkinNamesBox(const ModelProperties& current);
    void moveName(int by);

    std::array<QCheckBox*, 8> flags_{};
    QComboBox* sync_ = nullptr;
    std::array<QDoubleSpinBox*, 3> eye_{};
    QListWidget* names_ = nullptr;
    int32_t otherFlags_;
};

} // namespace faceto
