#include "app/CGridPanel.h"

#include "app/CFacetoApp.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace faceto {

CGridPanel::CGridPanel(CFacetoApp& app, QWidget* parent) : QWidget(parent), app_(app) {
    auto* layout = new QGridLayout(this);
    visible_ = new QCheckBox(tr("Visible"), this);
    snap_ = new QCheckBox(tr("Snap To"), this);
    frame_ = new QCheckBox(tr("Frame"), this);
    frame_->setEnabled(false);
    combo_ = new QComboBox(this);
    combo_->addItems({"Previous", "Next"});
    spacing_ = new QLineEdit(this);
    apply_ = new QPushButton(tr("Apply"), this);
    layout->addWidget(visible_, 0, 0);
    layout->addWidget(snap_, 0, 1);
    layout->addWidget(frame_, 1, 0);
    layout->addWidget(combo_, 1, 1);
    layout->addWidget(new QLabel(tr("Grid Spacing"), this), 2, 0, 1, 2);
    layout->addWidget(spacing_, 3, 0);
    layout->addWidget(apply_, 3, 1);
    layout->setRowStretch(4, 1);

    connect(snap_, &QCheckBox::clicked, this, [this](bool on) {
        if (CFacetoDoc* doc = app_.state().activeDocument) {
            app_.viewOf(*doc).snapToGrid = on ? 1 : 0;
            doc->changed({change::VIEW});
        }
    });
    connect(visible_, &QCheckBox::clicked, this, [this](bool on) {
        if (CFacetoDoc* doc = app_.state().activeDocument) {
            app_.viewOf(*doc).gridVisible = on ? 1 : 0;
            doc->changed({change::VIEW});
        }
    });
    connect(apply_, &QPushButton::clicked, this, &CGridPanel::applySpacing);
}

// Shows the active document's grid. With no active document nothing is read and the controls rest.
void CGridPanel::loadFromDocument() {
    const CFacetoDoc* doc = app_.state().activeDocument;
    for (QWidget* control :
         {static_cast<QWidget*>(visible_), static_cast<QWidget*>(snap_), static_cast<QWidget*>(combo_),
          static_cast<QWidget*>(spacing_), static_cast<QWidget*>(apply_)}) {
        control->setEnabled(doc != nullptr);
    }
    combo_->setCurrentIndex(0);
    if (doc == nullptr) {
        return;
    }
    visible_->setChecked(app_.viewOf(*doc).gridVisible != 0);
    snap_->setChecked(app_.viewOf(*doc).snapToGrid != 0);
    spacing_->setText(QString::number(double(app_.viewOf(*doc).gridSpacing), 'g', 6));
}

void CGridPanel::applySpacing() {
    CFacetoDoc* doc = app_.state().activeDocument;
    if (doc == nullptr) {
        return;
    }
    bool ok = false;
    const float value = spacing_->text().trimmed().toFloat(&ok);
    if (!ok) {
        app_.dialogs().message(this, tr("Enter a number."));
        return;
    }
    float spacing = value;
    if (!(value >= 1e-8f && value <= 1000.0f)) {
        app_.dialogs().message(this, tr("Enter a number between 1e-08 and 1000."));
        if (value > 0.0f) {
            return; // refused: the grid keeps its spacing
        }
    }
    if (!(spacing > 0.0f)) {
        spacing = 1.0f;
    }
    app_.viewOf(*doc).gridSpacing = spacing;
    doc->changed({change::VIEW});
}

void CGridPanel::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    loadFromDocument();
}

void CGridPanel::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    loadFromDocument();
}

} // namespace faceto
