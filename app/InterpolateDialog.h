#pragma once

#include <QDialog>
#include <QStringList>

class QComboBox;
class QSpinBox;

namespace faceto {

// Frame ▸ Interpolate: how many frames to make between two frames of the list (by default the current
// frame and the next one of its animation).
class InterpolateDialog : public QDialog {
    Q_OBJECT
public:
    InterpolateDialog(const QStringList& frameNames, int from, int to, QWidget* parent = nullptr);
    QSpinBox* countBox() const { return count_; }
    QComboBox* fromBox() const { return from_; }
    QComboBox* toBox() const { return to_; }

private:
    QSpinBox* count_ = nullptr;
    QComboBox* from_ = nullptr;
    QComboBox* to_ = nullptr;
};

} // namespace faceto
