#include "app/CPrimitivesPanel.h"

#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace faceto {

namespace {

const std::pair<const char*, Primitive> SHAPES[] = {
    {QT_TRANSLATE_NOOP("faceto::CPrimitivesPanel", "Triangle"), Primitive::Triangle},
    {QT_TRANSLATE_NOOP("faceto::CPrimitivesPanel", "Cube"), Primitive::Cube},
    {QT_TRANSLATE_NOOP("faceto::CPrimitivesPanel", "Cone"), Primitive::Cone},
    {QT_TRANSLATE_NOOP("faceto::CPrimitivesPanel", "Cylinder"), Primitive::Cylinder},
    {QT_TRANSLATE_NOOP("faceto::CPrimitivesPanel", "Sphere"), Primitive::Sphere}};

} // namespace

CPrimitivesPanel::CPrimitivesPanel(QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    list_ = new QListWidget(this);
    list_->setSortingEnabled(true);
    list_->setToolTip(
        tr("Choose a shape, then New Face (or double-click it) to add it where the 2D views look"));
    layout->addWidget(list_);
    newFace_ = new QPushButton(tr("New Face"), this);
    newFace_->setEnabled(false);
    layout->addWidget(newFace_);
    connect(list_, &QListWidget::currentRowChanged, this,
            [this](int row) { newFace_->setEnabled(row >= 0); });
    connect(newFace_, &QPushButton::clicked, this, &CPrimitivesPanel::choose);
    connect(list_, &QListWidget::itemDoubleClicked, this, &CPrimitivesPanel::choose);
}

void CPrimitivesPanel::choose() {
    const QListWidgetItem* item = list_->currentItem();
    if (item == nullptr) {
        return;
    }
    for (const auto& [name, shape] : SHAPES) {
        if (item->text() == tr(name)) {
            emit shapeChosen(shape);
        }
    }
}

void CPrimitivesPanel::fill() {
    list_->clear();
    for (const auto& shape : SHAPES) {
        list_->addItem(tr(shape.first));
    }
}

void CPrimitivesPanel::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    fill();
}

void CPrimitivesPanel::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    fill();
}

} // namespace faceto
