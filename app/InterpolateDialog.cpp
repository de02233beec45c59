#include "app/InterpolateDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QPushButton>
#include <QSpinBox>

namespace faceto {

InterpolateDialog::InterpolateDialog(const QStringList& frameNames, int from, int to, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(tr("Interpolate"));
    auto* layout = new QFormLayout(this);
    count_ = new QSpinBox(this);
    count_->setRange(1, 256);
    count_->setValue(1);
    from_ = new QComboBox(this);
    to_ = new QComboBox(this);
    for (QComboBox* box : {from_, to_}) {
        box->addItems(frameNames);
    }
    from_->setCurrentIndex(from);
    to_->setCurrentIndex(to);
    layout->addRow(tr("&Frames between:"), count_);
    layout->addRow(tr("F&rom:"), from_);
    layout->addRow(tr("&To:"), to_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addRow(buttons);
}

} // namespace faceto
