#include "app/CChildFrame.h"

#include "views/C2DView.h"
#include "views/CCameraView.h"

#include <QCloseEvent>
#include <QSplitter>
#include <QVBoxLayout>

namespace faceto {

namespace {

constexpr int SPLITTER_BAR = 5;

} // namespace

CChildFrame::CChildFrame(ViewContext& context, CFacetoDoc* doc, QWidget* parent)
    : QWidget(parent), context_(context), doc_(doc) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    rows_ = new QSplitter(Qt::Vertical, this);
    top_ = new QSplitter(Qt::Horizontal, rows_);
    bottom_ = new QSplitter(Qt::Horizontal, rows_);
    for (QSplitter* s : {rows_, top_, bottom_}) {
        s->setHandleWidth(SPLITTER_BAR);
        s->setChildrenCollapsible(true);
    }
    // Created in this order: the camera pane first, then the 2D panes.
    camera_ = new CCameraView(context_, doc_);
    views_[0] = new C2DView(context_, doc_, 0, 0);
    views_[1] = new C2DView(context_, doc_, 0, 1);
    views_[2] = new C2DView(context_, doc_, 1, 0);
    top_->addWidget(views_[0]);
    top_->addWidget(views_[1]);
    bottom_->addWidget(views_[2]);
    bottom_->addWidget(camera_);
    for (QWidget* pane : {static_cast<QWidget*>(views_[0]), static_cast<QWidget*>(views_[1]),
                          static_cast<QWidget*>(views_[2]), static_cast<QWidget*>(camera_)}) {
        pane->setMinimumSize(0, 0);
    }
    layout->addWidget(rows_);
    connect(top_, &QSplitter::splitterMoved, this, [this] { alignColumns(top_); });
    connect(bottom_, &QSplitter::splitterMoved, this, [this] { alignColumns(bottom_); });
    camera_->onInitialUpdate();
}

C2DView* CChildFrame::view2D(int row, int column) const {
    return row == 1 ? views_[2] : column == 1 ? views_[1] : views_[0];
}

void CChildFrame::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!laidOut_) {
        laidOut_ = true;
        resizeViewsEqually();
    }
}

void CChildFrame::closeEvent(QCloseEvent* event) {
    bool accept = true;
    emit closeRequested(this, &accept);
    if (!accept) {
        event->ignore();
        return;
    }
    event->accept();
    emit closed(this);
}

void CChildFrame::resizeViewsEqually() {
    const int w = width();
    const int h = height();
    const int firstRow = std::max(0, h / 2 - SPLITTER_BAR);
    const int firstColumn = std::max(0, w / 2 - SPLITTER_BAR);
    rows_->setSizes({firstRow, std::max(0, h - SPLITTER_BAR - firstRow)});
    const QList<int> columns{firstColumn, std::max(0, w - SPLITTER_BAR - firstColumn)};
    top_->setSizes(columns);
    bottom_->setSizes(columns);
}

QList<int> CChildFrame::rowHeights() const {
    return rows_->sizes();
}

QList<int> CChildFrame::columnWidths() const {
    return top_->sizes();
}

void CChildFrame::setPaneSizes(const QList<int>& rowHeights, const QList<int>& columnWidths) {
    laidOut_ = true;
    rows_->setSizes(rowHeights);
    top_->setSizes(columnWidths);
    bottom_->setSizes(columnWidths);
}

void CChildFrame::alignColumns(QSplitter* moved) {
    QSplitter* other = moved == top_ ? bottom_ : top_;
    other->setSizes(moved->sizes());
}

void CChildFrame::redrawAllViews() {
    if (doc_ != nullptr) {
        context_.registry.updateViews(doc_);
    }
}

void CChildFrame::frameModel(bool selectedOnly) {
    for (C2DView* view : views_) {
        view->frameModel(selectedOnly);
    }
    camera_->frameModel(selectedOnly);
}

void CChildFrame::detachDocument() {
    doc_ = nullptr;
    for (C2DView* view : views_) {
        view->detachDocument();
    }
    camera_->detachDocument();
}

} // namespace faceto
