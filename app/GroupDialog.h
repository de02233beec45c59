#pragma once

#include <QDialog>
#include <QStringList>
#include <vector>

class QComboBox;
class QTableWidget;

namespace faceto {

// Group Skins and Group Frames: the run of skins or frames to make one group (the first and the last),
// and until when each member shows, in seconds from the group's start.
class GroupDialog : public QDialog {
    Q_OBJECT
public:
    // `names`: the skins' or frames' names; `intervals`: the members' times to start from.
    GroupDialog(const QString& title, const QStringList& names, int first, int last,
                const std::vector<float>& intervals, QWidget* parent = nullptr);
    QComboBox* firstBox() const { return first_; }
    QComboBox* lastBox() const { return last_; }
    QTableWidget* table() const { return table_; }
    int first() const;
    // The time of each member, as the table holds them.
    std::vector<float> intervals() const;

private:
    // One row a member of the run; a row that was there keeps its time, a new one ends a tenth of a
    // second after the row above.
    void fillTable();
    QStringList names_;
    QComboBox* first_ = nullptr;
    QComboBox* last_ = nullptr;
    QTableWidget* table_ = nullptr;
};

} // namespace faceto
