#include "app/UserDialogs.h"

#include <QDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>

namespace faceto {

namespace {

// "Quake2 Model (*.md2)" -> "md2"
QString extensionOf(const QString& filter) {
    const QRegularExpressionMatch m = QRegularExpression(R"(\*\.(\w+))").match(filter);
    return m.hasMatch() ? m.captured(1) : QString();
}

std::optional<UserDialogs::FileChoice> runFileDialog(QFileDialog& dialog, const QStringList& filters) {
    dialog.setNameFilters(filters);
    dialog.setDefaultSuffix(extensionOf(filters.value(0)));
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                     [&dialog](const QString& filter) { dialog.setDefaultSuffix(extensionOf(filter)); });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return UserDialogs::FileChoice{dialog.selectedFiles().front(),
                                   std::max<int>(0, int(filters.indexOf(dialog.selectedNameFilter())))};
}

} // namespace

void QtDialogs::message(QWidget* parent, const QString& text) {
    QMessageBox::warning(parent, "Faceto", text);
}

bool QtDialogs::askYesNo(QWidget* parent, const QString& text) {
    return QMessageBox::question(parent, "Faceto", text, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

int QtDialogs::choose(QWidget* parent, const QString& text, const QStringList& answers) {
    QMessageBox box(QMessageBox::Question, "Faceto", text, QMessageBox::NoButton, parent);
    std::vector<QAbstractButton*> buttons;
    for (const QString& answer : answers) {
        buttons.push_back(
            box.addButton(answer, buttons.empty() ? QMessageBox::AcceptRole : QMessageBox::ActionRole));
    }
    QAbstractButton* cancel = box.addButton(QMessageBox::Cancel);
    box.setEscapeButton(cancel);
    if (!buttons.empty()) {
        box.setDefaultButton(qobject_cast<QPushButton*>(buttons.front()));
    }
    box.exec();
    const auto chosen = std::find(buttons.begin(), buttons.end(), box.clickedButton());
    return chosen == buttons.end() ? -1 : int(chosen - buttons.begin());
}

UserDialogs::SaveAnswer QtDialogs::askToSave(QWidget* parent, const QString& documentTitle) {
    const auto answer = QMessageBox::question(parent, "Faceto", tr("Save changes to %1?").arg(documentTitle),
                                              QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel,
                                              QMessageBox::Save);
    return answer == QMessageBox::Save      ? SaveAnswer::Save
           : answer == QMessageBox::Discard ? SaveAnswer::Discard
                                            : SaveAnswer::Cancel;
}

std::optional<UserDialogs::FileChoice>
QtDialogs::chooseFileToOpen(QWidget* parent, const QStringList& filters, const QString& folder) {
    QFileDialog dialog(parent, tr("Open"), folder);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::ReadOnly, false);
    return runFileDialog(dialog, filters);
}

std::optional<UserDialogs::FileChoice>
QtDialogs::chooseFileToSave(QWidget* parent, const QStringList& filters, const QString& suggestedPath) {
    QFileDialog dialog(parent, tr("Save As"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    if (!suggestedPath.isEmpty()) {
        dialog.selectFile(suggestedPath);
    }
    return runFileDialog(dialog, filters);
}

std::optional<QString> QtDialogs::chooseFolder(QWidget* parent, const QString& current) {
    const QString folder = QFileDialog::getExistingDirectory(parent, tr("Choose a Folder"), current);
    return folder.isEmpty() ? std::nullopt : std::optional<QString>(folder);
}

std::optional<QString> QtDialogs::chooseFile(QWidget* parent, const QString& current) {
    const QString file = QFileDialog::getOpenFileName(parent, tr("Choose a File"), current);
    return file.isEmpty() ? std::nullopt : std::optional<QString>(file);
}

int QtDialogs::run(QDialog& dialog) {
    return dialog.exec();
}

} // namespace faceto
