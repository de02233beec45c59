#pragma once

#include "document/Profile.h"

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace faceto {

// "About Faceto": the program's picture, its version and credits.
class AboutDialog : public QDialog {
    Q_OBJECT
public:
    explicit AboutDialog(QWidget* parent = nullptr);
};

class UserDialogs;

// "Game Dialog": where the games' files are. Shows the five settings, each with a "Browse..." button;
// OK writes all five, in order; Cancel writes nothing.
class GameSetupDialog : public QDialog {
    Q_OBJECT
public:
    GameSetupDialog(Profile& profile, UserDialogs& dialogs, QWidget* parent = nullptr);
    QPushButton* browseButton(int setting) const { return browse_[setting]; }

    QLineEdit* quake2Base() const { return edits_[0]; }
    QLineEdit* quakePalette() const { return edits_[1]; }
    QLineEdit* quakeColormap() const { return edits_[2]; }
    QLineEdit* hexen2Palette() const { return edits_[3]; }
    QLineEdit* hexen2Colormap() const { return edits_[4]; }

public slots:
    void accept() override;

private:
    Profile& profile_;
    QLineEdit* edits_[5] = {};
    QPushButton* browse_[5] = {};
};

// "Add Animation": the name of a new, empty animation.
class AddAnimationDialog : public QDialog {
    Q_OBJECT
public:
    explicit AddAnimationDialog(QWidget* parent = nullptr);
    QLineEdit* nameEdit() const { return name_; }
    QString name() const;

private:
    QLineEdit* name_ = nullptr;
};

// The keys and mouse gestures of the views, for F1.
class HelpDialog : public QDialog {
    Q_OBJECT
public:
    explicit HelpDialog(QWidget* parent = nullptr);
};

} // namespace faceto
