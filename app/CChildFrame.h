#pragma once

#include "views/ViewContext.h"

#include <QWidget>

class QSplitter;

namespace faceto {

class C2DView;
class CCameraView;
class CFacetoDoc;

// A document window: four panes in two rows and two columns whose column widths stay aligned.
// Top left, top right and bottom left are 2D views (orientations 0, 1 and 2), bottom right the
// camera view.
class CChildFrame : public QWidget {
    Q_OBJECT
public:
    CChildFrame(ViewContext& context, CFacetoDoc* doc, QWidget* parent = nullptr);

    CFacetoDoc* document() const { return doc_; }
    // The window is closing and its document is going: from now on it and its panes show nothing.
    void detachDocument();
    C2DView* view2D(int row, int column) const;
    CCameraView* cameraView() const { return camera_; }

    // The first row and the first column get half the room less 5 pixels (never below 0);
    // the second ones take the rest.
    void resizeViewsEqually();
    QList<int> rowHeights() const;
    QList<int> columnWidths() const;
    // The panes as they were in an earlier session (instead of shared equally when first shown).
    void setPaneSizes(const QList<int>& rowHeights, const QList<int>& columnWidths);
    void redrawAllViews();
    // Every pane shows the whole model (or its selected vertices).
    void frameModel(bool selectedOnly);

signals:
    // Asked before the window closes; clearing `accept` keeps it open.
    void closeRequested(CChildFrame* frame, bool* accept);
    void closed(CChildFrame* frame);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void alignColumns(QSplitter* moved);

    ViewContext& context_;
    CFacetoDoc* doc_;
    QSplitter* rows_ = nullptr;
    QSplitter* top_ = nullptr;
    QSplitter* bottom_ = nullptr;
    C2DView* views_[3] = {};
    CCameraView* camera_ = nullptr;
    bool laidOut_ = false;
};

} // namespace faceto
