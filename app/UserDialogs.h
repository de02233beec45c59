#pragma once

#include <QCoreApplication>
#include <QString>
#include <QStringList>
#include <optional>

class QWidget;
class QDialog;

namespace faceto {

// Everything the editor asks the user through modal dialogs. The editor shows message boxes and file
// dialogs; the tests answer in their place.
class UserDialogs {
public:
    virtual ~UserDialogs() = default;

    virtual void message(QWidget* parent, const QString& text) = 0;
    virtual bool askYesNo(QWidget* parent, const QString& text) = 0;
    // A question answered by one of `answers` (the first the default) or Cancel: the index of the
    // answer, -1 for Cancel (also Escape and closing the box).
    virtual int choose(QWidget* parent, const QString& text, const QStringList& answers) = 0;

    enum class SaveAnswer { Save, Discard, Cancel };
    virtual SaveAnswer askToSave(QWidget* parent, const QString& documentTitle) = 0;

    struct FileChoice {
        QString path;
        int filterIndex = 0; // from 0, in the order of the filters given
    };
    // The Open dialog, starting in `folder` (empty: the current folder).
    virtual std::optional<FileChoice> chooseFileToOpen(QWidget* parent, const QStringList& filters,
                                                       const QString& folder) = 0;
    virtual std::optional<FileChoice> chooseFileToSave(QWidget* parent, const QStringList& filters,
                                                       const QString& suggestedPath) = 0;
    // A folder (or a file) to be typed into a setting, starting at `current`.
    virtual std::optional<QString> chooseFolder(QWidget* parent, const QString& current) = 0;
    virtual std::optional<QString> chooseFile(QWidget* parent, const QString& current) = 0;
    // Runs a dialog modally; returns its result.
    virtual int run(QDialog& dialog) = 0;
};

// The real dialogs.
class QtDialogs : public UserDialogs {
    Q_DECLARE_TR_FUNCTIONS(faceto::QtDialogs)
public:
    void message(QWidget* parent, const QString& text) override;
    bool askYesNo(QWidget* parent, const QString& text) override;
    int choose(QWidget* parent, const QString& text, const QStringList& answers) override;
    SaveAnswer askToSave(QWidget* parent, const QString& documentTitle) override;
    std::optional<FileChoice> chooseFileToOpen(QWidget* parent, const QStringList& filters,
                                               const QString& folder) override;
    std::optional<QString> chooseFolder(QWidget* parent, const QString& current) override;
    std::optional<QString> chooseFile(QWidget* parent, const QString& current) override;
    std::optional<FileChoice> chooseFileToSave(QWidget* parent, const QStringList& filters,
                                               const QString& suggestedPath) override;
    int run(QDialog& dialog) override;
};

} // namespace faceto
