#pragma once

#include <QWidget>

class QListWidget;

namespace faceto {

class CFacetoApp;

// The undo history of the active document: where it started and every step since, the steps done
// above the line of those that can be redone. Clicking a step undoes or redoes to just after it.
class CUndoHistoryPanel : public QWidget {
    Q_OBJECT
public:
    // How many times its lists were made again (a drag of vertices makes none).
    int rebuilds() const { return rebuilds_; }
    static constexpr const char* START = "(as opened)";

    explicit CUndoHistoryPanel(CFacetoApp& app, QWidget* parent = nullptr);
    QListWidget* list() const { return list_; }
    void refresh();

private:
    void stepClicked(int row);

    CFacetoApp& app_;
    QListWidget* list_ = nullptr;
    bool refreshing_ = false;
    int rebuilds_ = 0;
};

} // namespace faceto
