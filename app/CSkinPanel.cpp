#include "app/CSkinPanel.h"

#include "app/CFacetoApp.h"
#include "app/CMainFrame.h"
#include "views/CSkinView.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QGridLayout>
#include <QToolButton>
#include <QVBoxLayout>

namespace faceto {

CSkinPanel::CSkinPanel(CFacetoApp& app, QWidget* parent) : QWidget(parent), app_(app) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    auto* top = new QHBoxLayout();
    combo_ = new QComboBox(this);
    combo_->setToolTip("The skin shown here and in the textured views");
    combo_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    combo_->setMinimumContentsLength(8);
    top->addWidget(combo_, 1);
    snap_ = new QCheckBox("Snap to texels", this);
    snap_->setToolTip("Moved, scaled and turned skin coordinates land on whole texels");
    top->addWidget(snap_);
    layout->addLayout(top);
    // The commands in two rows of three, so that all show in a narrow dock.
    auto* commands = new QGridLayout();
    commands->setSpacing(2);
    int n = 0;
    for (const char* name : {"newSkin", "deleteSkin", "resizeSkin", "generateSkinMap", "importSkin", "exportSkin"}) {
        auto* button = new QToolButton(this);
        button->setDefaultAction(app_.mainFrame()->action(name));
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        commands->addWidget(button, n / 3, n % 3);
        buttons_.push_back(button);
        ++n;
    }
    layout->addLayout(commands);
    view_ = new CSkinView(app_.state(), this);
    layout->addWidget(view_, 1);

    connect(combo_, &QComboBox::currentIndexChanged, this, [this](int index) {
        CFacetoDoc* doc = app_.state().activeDocument;
        if (refreshing_ || doc == nullptr || index < 0 || index == doc->currentSkin) {
            return;
        }
        doc->currentSkin = index; // a way of looking, not an edit: the textured views follow
        view_->viewState().fitted = false;
        doc->changed();
    });
    connect(snap_, &QCheckBox::toggled, view_, &CSkinView::setSnapToTexels);
    connect(&app_, &CFacetoApp::activeDocumentChanged, this, [this] { refresh(); });
    connect(&app_, &CFacetoApp::documentChanged, this, [this](CFacetoDoc* doc) {
        if (doc == app_.state().activeDocument) {
            refresh();
        }
    });
    refresh();
}

void CSkinPanel::refresh() {
    refreshing_ = true;
    CFacetoDoc* doc = app_.state().activeDocument;
    view_->setDocument(doc);
    QStringList names;
    if (doc != nullptr) {
        for (size_t i = 0; i < doc->model.skins.size(); ++i) {
            const Skin& skin = doc->model.skins[i];
            names << QString("%1: %2 (%3 x %4)")
                         .arg(i)
                         .arg(skin.name.empty() ? QString("skin") : QString::fromStdString(skin.name))
                         .arg(skin.imageWidth)
                         .arg(skin.imageHeight);
        }
    }
    QStringList shown;
    for (int i = 0; i < combo_->count(); ++i) {
        shown << combo_->itemText(i);
    }
    if (shown != names) {
        combo_->clear();
        combo_->addItems(names);
    }
    if (doc != nullptr && !names.isEmpty()) {
        combo_->setCurrentIndex(std::clamp(doc->currentSkin, 0, int(names.size()) - 1));
    }
    combo_->setEnabled(!names.isEmpty());
    refreshing_ = false;
}

} // namespace faceto
