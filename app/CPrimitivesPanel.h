#pragma once

#include "document/EditOperations.h"

#include <QWidget>

class QListWidget;
class QPushButton;

namespace faceto {

// The primitives panel: a list of shapes; "New Face" (or a double click on a shape) adds the chosen one
// to the model.
class CPrimitivesPanel : public QWidget {
    Q_OBJECT
public:
    explicit CPrimitivesPanel(QWidget* parent = nullptr);
    QListWidget* list() const { return list_; }
    QPushButton* newFaceButton() const { return newFace_; }

signals:
    void shapeChosen(Primitive shape);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void fill();
    void choose();
    QListWidget* list_ = nullptr;
    QPushButton* newFace_ = nullptr;
};

} // namespace faceto
