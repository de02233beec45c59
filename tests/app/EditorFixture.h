#pragma once

#include "TestSupport.h"
#include "app/CChildFrame.h"
#include "app/CFacetoApp.h"
#include "app/CMainFrame.h"
#include "formats/NativeFormat.h"

#include <QAction>
#include <QDialog>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QSettings>
#include <QTest>
#include <deque>
#include <functional>
#include <map>

namespace faceto::test {

// Counts the paint events of the widgets it watches.
class PaintCounter : public QObject {
public:
    std::map<QObject*, int> paints;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            ++paints[watched];
        }
        return false;
    }
};

// Answers the editor's questions from a script and records its messages.
class ScriptedDialogs : public UserDialogs {
public:
    void message(QWidget*, const QString& text) override { messages << text; }
    bool askYesNo(QWidget*, const QString& text) override {
        questions << text;
        return yes;
    }
    // Answered from `choices` while it holds any; else the first answer when `yes`, the second when not.
    int choose(QWidget*, const QString& text, const QStringList& answers) override {
        choiceQuestions << text;
        choiceAnswers << answers;
        if (!choices.empty()) {
            const int answer = choices.front();
            choices.pop_front();
            return answer;
        }
        return yes ? 0 : 1;
    }
    SaveAnswer askToSave(QWidget*, const QString& title) override {
        saveQuestions << title;
        return saveAnswer;
    }
    std::optional<FileChoice> chooseFileToOpen(QWidget*, const QStringList& filters,
                                               const QString& folder) override {
        openFilters = filters;
        openFolders << folder;
        return next();
    }
    std::optional<QString> chooseFolder(QWidget*, const QString&) override { return browsed; }
    std::optional<QString> chooseFile(QWidget*, const QString&) override { return browsed; }
    std::optional<FileChoice> chooseFileToSave(QWidget*, const QStringList&, const QString&) override {
        return next();
    }
    int run(QDialog& dialog) override { return onDialog ? onDialog(dialog) : QDialog::Rejected; }

    std::optional<FileChoice> next() {
        if (files.empty()) {
            return std::nullopt;
        }
        FileChoice choice = files.front();
        files.pop_front();
        return choice;
    }

    QStringList messages;
    QStringList questions;
    QStringList saveQuestions;
    QStringList choiceQuestions;
    QList<QStringList> choiceAnswers;
    std::deque<int> choices; // -1: Cancel
    bool yes = true;
    SaveAnswer saveAnswer = SaveAnswer::Discard;
    std::deque<FileChoice> files;
    QStringList openFilters;
    QStringList openFolders;
    std::optional<QString> browsed;
    std::function<int(QDialog&)> onDialog;
};

// The first line of each message: the fixed text, without the file and reason below it.
inline QStringList headings(const QStringList& messages) {
    QStringList out;
    for (const QString& m : messages) {
        out << m.section('\n', 0, 0);
    }
    return out;
}

struct Editor {
    TempDir dir;
    ScriptedDialogs dialogs;
    std::unique_ptr<CFacetoApp> app;

    QString settingsFile() const { return QString::fromStdString(dir.path("settings.ini")); }
    QString path(const std::string& name) const { return QString::fromStdString(dir.path(name)); }

    // Writes a setting before the editor starts.
    void setting(const QString& key, const QVariant& value) {
        QSettings s(settingsFile(), QSettings::IniFormat);
        s.setValue(key, value);
    }
    QVariant storedSetting(const QString& key) const {
        QSettings s(settingsFile(), QSettings::IniFormat);
        return s.value(key);
    }
    void start(const QStringList& files = {}) {
        app = std::make_unique<CFacetoApp>(std::make_unique<QtProfile>(settingsFile()), dialogs);
        ASSERT_TRUE(app->startUp(files));
        ASSERT_TRUE(QTest::qWaitForWindowExposed(app->mainFrame()));
    }
    void stop() { app.reset(); }
    CMainFrame& frame() { return *app->mainFrame(); }
    void trigger(const QString& action) { frame().action(action)->trigger(); }
    CFacetoDoc* active() { return app->activeFrame() ? app->activeFrame()->document() : nullptr; }
    // How the windows of the active document (or of `doc`) show it.
    ViewState& shown(const CFacetoDoc* doc = nullptr) { return app->viewOf(doc ? *doc : *active()); }
    void activate(CFacetoDoc* doc) {
        CChildFrame* f = app->framesOf(doc).front();
        frame().mdiArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(f->parentWidget()));
    }

    // A small native model with two animations.
    QString writeModel(const std::string& name) {
        ModelData data = makeModel(4, {tri(0, 1, 2), tri(2, 1, 3)}, 3);
        data.frames[0].name = "run1";
        data.frames[1].name = "run2";
        data.frames[2].name = "stand1";
        writeNative(dir.path(name), data.model, data.frames, data.source);
        return path(name);
    }
};

} // namespace faceto::test
