#include "app/GroupDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>

namespace faceto {

GroupDialog::GroupDialog(const QString& title, const QStringList& names, int first, int last,
                         const std::vector<float>& intervals, QWidget* parent)
    : QDialog(parent), names_(names) {
    setWindowTitle(title);
    auto* layout = new QFormLayout(this);
    first_ = new QComboBox(this);
    last_ = new QComboBox(this);
    for (QComboBox* box : {first_, last_}) {
        box->addItems(names);
    }
    first_->setCurrentIndex(first);
    last_->setCurrentIndex(last);
    layout->addRow(tr("&First:"), first_);
    layout->addRow(tr("&Last:"), last_);
    table_ = new QTableWidget(this);
    table_->setColumnCount(1);
    table_->setHorizontalHeaderLabels({tr("Shown until (s)")});
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->setAccessibleName(tr("Intervals"));
    auto* note = new QLabel(tr("Each member shows until its time, counted from the group's start; the "
                               "times increase, and after the last the group starts again."),
                            this);
    note->setWordWrap(true);
    layout->addRow(note);
    layout->addRow(table_);
    fillTable();
    for (int k = 0; k < table_->rowCount() && size_t(k) < intervals.size(); ++k) {
        static_cast<QDoubleSpinBox*>(table_->cellWidget(k, 0))->setValue(double(intervals[size_t(k)]));
    }
    connect(first_, &QComboBox::currentIndexChanged, this, &GroupDialog::fillTable);
    connect(last_, &QComboBox::currentIndexChanged, this, &GroupDialog::fillTable);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addRow(buttons);
}

int GroupDialog::first() const {
    return first_->currentIndex();
}

std::vector<float> GroupDialog::intervals() const {
    std::vector<float> out;
    out.reserve(size_t(table_->rowCount()));
    for (int k = 0; k < table_->rowCount(); ++k) {
        out.push_back(float(static_cast<QDoubleSpinBox*>(table_->cellWidget(k, 0))->value()));
    }
    return out;
}

void GroupDialog::fillTable() {
    const std::vector<float> kept = intervals();
    const int rows = std::max(last_->currentIndex() - first_->currentIndex() + 1, 0);
    table_->setRowCount(rows);
    QStringList labels;
    double last = 0.0;
    for (int k = 0; k < rows; ++k) {
        labels << names_.value(first_->currentIndex() + k);
        auto* box = new QDoubleSpinBox(table_);
        box->setRange(0.0, 3600.0);
        box->setDecimals(3);
        box->setSingleStep(0.05);
        box->setValue(size_t(k) < kept.size() ? double(kept[size_t(k)]) : last + 0.1);
        last = box->value();
        table_->setCellWidget(k, 0, box);
    }
    table_->setVerticalHeaderLabels(labels);
}

} // namespace faceto
