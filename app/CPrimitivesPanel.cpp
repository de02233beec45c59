#include "app/CPrimitivesPanel.h"

#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace faceto {

CPrimitivesPanel::CPrimitivesPanel(QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    list_ = new QListWidget(this);
    list_->setSortingEnabled(true);
    layout->addWidget(list_);
    layout->addWidget(new QPushButton("New Face", this)); // makes no geometry in this version
}

void CPrimitivesPanel::fill() {
    list_->clear();
    list_->addItems({"Triangle", "Cube", "Cone", "Cylinder", "Sphere"});
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
