#include "app/ModelPropertiesDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace faceto {

namespace {

// The effect of each flag bit, as the dialog names it.
const char* const FLAG_LABELS[8] = {
    QT_TRANSLATE_NOOP("faceto::ModelPropertiesDialog", "Rocket trail"),
    QT_TRANSLATE_NOOP("faceto::ModelPropertiesDialog", "Grenade smoke"),
    QT_TRANSLATE_NOOP("faceto::ModelPropertiesDialog", "Gib (blood trail)"),
    QT_TRANSLATE_NOOP("faceto::ModelPropertiesDialog", "Rotate"),
    QT_TRANSLATE_NOOP("faceto::ModelPropertiesDialog", "Tracer (green)"),
    QT_TRANSLATE_NOOP("faceto::ModelPropertiesDialog", "Zombie gib"),
    QT_TRANSLATE_NOOP("faceto::ModelPropertiesDialog", "Tracer 2 (orange)"),
    QT_TRANSLATE_NOOP("faceto::ModelPropertiesDialog", "Tracer 3 (purple)"),
};

} // namespace

ModelPropertiesDialog::ModelPropertiesDialog(const ModelProperties& current, int skinWidth, int skinHeight,
                                             QWidget* parent)
    : QDialog(parent), otherFlags_(int32_t(uint32_t(current.flags) & ~0xFFu)) {
    setWindowTitle(tr("Model Properties"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(makeQuakeBox(current, skinWidth, skinHeight));
    layout->addWidget(makeSkinNamesBox(current));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

QWidget* ModelPropertiesDialog::makeQuakeBox(const ModelProperties& current, int skinWidth, int skinHeight) {
    auto* box = new QGroupBox(tr("Quake (.mdl)"), this);
    auto* grid = new QGridLayout(box);
    for (size_t bit = 0; bit < flags_.size(); ++bit) {
        flags_[bit] = new QCheckBox(tr(FLAG_LABELS[bit]), box);
        flags_[bit]->setChecked((uint32_t(current.flags) & (1u << bit)) != 0);
        grid->addWidget(flags_[bit], int(bit / 2), int(bit % 2) * 2, 1, 2);
    }
    const int row = int(flags_.size() / 2);
    grid->addWidget(new QLabel(tr("Animations of several copies:"), box), row, 0, 1, 2);
    sync_ = new QComboBox(box);
    sync_->addItems({tr("start together"), tr("start at random")});
    sync_->setCurrentIndex(current.syncType == 1 ? 1 : 0);
    sync_->setAccessibleName(tr("Sync type"));
    grid->addWidget(sync_, row, 2, 1, 2);
    grid->addWidget(new QLabel(tr("Eye position:"), box), row + 1, 0);
    const char* axes[3] = {"X", "Y", "Z"};
    for (int a = 0; a < 3; ++a) {
        eye_[size_t(a)] = new QDoubleSpinBox(box);
        eye_[size_t(a)]->setRange(-100000.0, 100000.0);
        eye_[size_t(a)]->setDecimals(3);
        eye_[size_t(a)]->setValue(double(current.eye[size_t(a)]));
        eye_[size_t(a)]->setAccessibleName(tr("Eye %1").arg(axes[a]));
        grid->addWidget(eye_[size_t(a)], row + 1, a + 1);
    }
    grid->addWidget(new QLabel(tr("Skin size:"), box), row + 2, 0);
    grid->addWidget(new QLabel(tr("%1 x %2 texels").arg(skinWidth).arg(skinHeight), box), row + 2, 1, 1, 3);
    return box;
}

QWidget* ModelPropertiesDialog::makeSkinNamesBox(const ModelProperties& current) {
    auto* box = new QGroupBox(tr("Quake 2 skin names (.md2)"), this);
    auto* layout = new QHBoxLayout(box);
    names_ = new QListWidget(box);
    names_->setAccessibleName(tr("Skin names"));
    for (const std::string& name : current.skinNames) {
        auto* item = new QListWidgetItem(QString::fromStdString(name), names_);
        item->setFlags(item->flags() | Qt::ItemIsEditable);
    }
    layout->addWidget(names_, 1);
    auto* buttons = new QVBoxLayout();
    auto* add = new QPushButton(tr("Add"), box);
    auto* remove = new QPushButton(tr("Remove"), box);
    auto* up = new QPushButton(tr("Up"), box);
    auto* down = new QPushButton(tr("Down"), box);
    for (QPushButton* b : {add, remove, up, down}) {
        buttons->addWidget(b);
    }
    buttons->addStretch(1);
    layout->addLayout(buttons);
    connect(add, &QPushButton::clicked, this, [this] {
        auto* item = new QListWidgetItem(QString("models/skin%1.pcx").arg(names_->count()), names_);
        item->setFlags(item->flags() | Qt::ItemIsEditable);
        names_->setCurrentItem(item);
        names_->editItem(item);
    });
    connect(remove, &QPushButton::clicked, this, [this] { delete names_->currentItem(); });
    connect(up, &QPushButton::clicked, this, [this] { moveName(-1); });
    connect(down, &QPushButton::clicked, this, [this] { moveName(1); });
    return box;
}

void ModelPropertiesDialog::moveName(int by) {
    const int row = names_->currentRow();
    const int to = row + by;
    if (row < 0 || to < 0 || to >= names_->count()) {
        return;
    }
    QListWidgetItem* item = names_->takeItem(row);
    names_->insertItem(to, item);
    names_->setCurrentRow(to);
}

ModelProperties ModelPropertiesDialog::properties() const {
    ModelProperties p;
    p.flags = otherFlags_; // the bits the dialog does not show (Hexen II's) stay as they are
    for (size_t bit = 0; bit < flags_.size(); ++bit) {
        if (flags_[bit]->isChecked()) {
            p.flags |= int32_t(1u << bit);
        }
    }
    p.syncType = sync_->currentIndex();
    for (size_t a = 0; a < 3; ++a) {
        p.eye[a] = float(eye_[a]->value());
    }
    for (int i = 0; i < names_->count(); ++i) {
        const QString name = names_->item(i)->text().trimmed();
        if (!name.isEmpty()) {
            p.skinNames.push_back(name.toStdString());
        }
    }
    return p;
}

} // namespace faceto
