#pragma once

#include <QWidget>

class QListWidget;

namespace faceto {

// The primitives panel: a list of primitive shapes and "New Face" (which makes none in this version).
class CPrimitivesPanel : public QWidget {
    Q_OBJECT
public:
    explicit CPrimitivesPanel(QWidget* parent = nullptr);
    QListWidget* list() const { return list_; }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void fill();
    QListWidget* list_ = nullptr;
};

} // namespace faceto
