#include "app/CUndoHistoryPanel.h"

#include "app/CFacetoApp.h"
#include "app/Translation.h"

#include <QListWidget>
#include <QVBoxLayout>

namespace faceto {

CUndoHistoryPanel::CUndoHistoryPanel(CFacetoApp& app, QWidget* parent) : QWidget(parent), app_(app) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    list_ = new QListWidget(this);
    list_->setToolTip(tr("Click a step to go back (or forward) to just after it"));
    layout->addWidget(list_);
    connect(list_, &QListWidget::currentRowChanged, this, &CUndoHistoryPanel::stepClicked);
    connect(&app_, &CFacetoApp::activeDocumentChanged, this, [this] { refresh(); });
    connect(&app_, &CFacetoApp::changeNoticed, this, [this](CFacetoDoc* doc, ChangeNotice notice) {
        if (doc == app_.state().activeDocument && notice.touches(change::HISTORY)) {
            refresh();
        }
    });
    refresh();
}

void CUndoHistoryPanel::refresh() {
    refreshing_ = true;
    ++rebuilds_;
    list_->clear();
    if (const CFacetoDoc* doc = app_.state().activeDocument) {
        const UndoHistory& history = doc->history();
        list_->addItem(START);
        for (size_t i = 0; i < history.size(); ++i) {
            auto* item = new QListWidgetItem(shownText(history.stepName(i)), list_);
            if (i >= history.position()) {
                item->setForeground(
                    palette().color(QPalette::Disabled, QPalette::Text)); // undone: can be redone
            }
        }
        list_->setCurrentRow(int(history.position()));
    }
    refreshing_ = false;
}

void CUndoHistoryPanel::stepClicked(int row) {
    CFacetoDoc* doc = app_.state().activeDocument;
    if (refreshing_ || doc == nullptr || row < 0) {
        return;
    }
    doc->goToStep(size_t(row));
}

} // namespace faceto
