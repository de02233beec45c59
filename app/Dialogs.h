#pragma once

#include "document/ModelTransform.h"
#include "document/Profile.h"

#include <QDialog>
#include <array>
#include <functional>
#include <utility>
#include <vector>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace faceto {

// "About Faceto": the program's picture, its version and credits.
class AboutDialog : public QDialog {
    Q_OBJECT
public:
    explicit AboutDialog(QWidget* parent = nullptr);
};

class UserDialogs;

// Writes the five game settings as they are now (their defaults where they are not set yet).
void storeGameSettings(Profile& profile);

// "Game Dialog": where the games' files are. Shows the five settings, each with a "Browse..." button,
// and which game's palette .mdl skins take; OK writes all five, in order, then that choice; Cancel
// writes nothing.
class GameSetupDialog : public QDialog {
    Q_OBJECT
public:
    GameSetupDialog(Profile& profile, UserDialogs& dialogs, QWidget* parent = nullptr);
    QPushButton* browseButton(int setting) const { return browse_[setting]; }

    QLineEdit* quake2Base() const { return edits_[0]; }
    QLineEdit* quakePalette() const { return edits_[1]; }
    // Which game's palette the skins of .mdl models are given ("games\\quake" / "modelPalette").
    QComboBox* mdlPalette() const { return mdlPalette_; }

public slots:
    void accept() override;

private:
    Profile& profile_;
    QLineEdit* edits_[5] = {};
    QComboBox* mdlPalette_ = nullptr;
    QPushButton* browse_[5] = {};
};

// A name to be typed: of a new animation, or the new name of a frame or group.
class NameDialog : public QDialog {
    Q_OBJECT
public:
    NameDialog(const QString& title, const QString& name, QWidget* parent = nullptr);
    QLineEdit* nameEdit() const { return name_; }
    QString name() const;

private:
    QLineEdit* name_ = nullptr;
};

// "Transform": scale, turn and move the whole model, about the origin or its centre.
class TransformDialog : public QDialog {
    Q_OBJECT
public:
    explicit TransformDialog(QWidget* parent = nullptr);
    ModelTransform transform() const;
    // Scale (0-2), turn in degrees (3-5) and move (6-8), x, y, z each.
    QDoubleSpinBox* field(int index) const { return fields_[size_t(index)]; }
    QComboBox* about() const { return about_; }

private:
    std::array<QDoubleSpinBox*, 9> fields_{};
    QCheckBox* uniform_ = nullptr;
    QComboBox* about_ = nullptr;
};

// "glTF and OBJ Units": model units per unit of such a file when it is opened, and units of such a file
// per model unit when one is written.
class UnitsDialog : public QDialog {
    Q_OBJECT
public:
    UnitsDialog(double importScale, double exportScale, QWidget* parent = nullptr);
    QDoubleSpinBox* importScale() const { return import_; }
    QDoubleSpinBox* exportScale() const { return export_; }

private:
    QDoubleSpinBox* import_ = nullptr;
    QDoubleSpinBox* export_ = nullptr;
};

// A skin's size in texels: "New Skin" and "Resize Skin".
class SkinSizeDialog : public QDialog {
    Q_OBJECT
public:
    SkinSizeDialog(const QString& title, int width, int height, QWidget* parent = nullptr);
    QSpinBox* widthBox() const { return width_; }
    QSpinBox* heightBox() const { return height_; }

private:
    QSpinBox* width_ = nullptr;
    QSpinBox* height_ = nullptr;
};

// "Add Animation": the name of a new, empty animation.
class AddAnimationDialog : public NameDialog {
    Q_OBJECT
public:
    explicit AddAnimationDialog(QWidget* parent = nullptr) : NameDialog("Add Animation", {}, parent) {}
};

// "Camera Properties": how the camera view draws, its background colour and its two lights. Every
// change shows at once (through `apply`); Cancel puts back what was there when the dialog opened.
class CameraPropertiesDialog : public QDialog {
    Q_OBJECT
public:
    struct Settings {
        int fillMode;
        int backColor;
        int lightAmbient;
        int lightSpot;
        bool operator==(const Settings&) const = default;
    };
    // The modes offered, in the order of the 3D View menu, with their names.
    static const std::vector<std::pair<int, QString>>& modes();

    CameraPropertiesDialog(const Settings& current, const uint8_t* palette,
                           std::function<void(const Settings&)> apply, QWidget* parent = nullptr);
    Settings settings() const;
    QComboBox* modeList() const { return mode_; }
    QSpinBox* backColorBox() const { return back_; }
    QSpinBox* ambientBox() const { return ambient_; }
    QSpinBox* spotBox() const { return spot_; }

public slots:
    void reject() override;

private:
    void changed();

    Settings original_;
    const uint8_t* palette_;
    std::function<void(const Settings&)> apply_;
    QComboBox* mode_ = nullptr;
    QSpinBox* back_ = nullptr;
    QLabel* swatch_ = nullptr;
    QSpinBox* ambient_ = nullptr;
    QSpinBox* spot_ = nullptr;
};

// The keys and mouse gestures of the views, for F1.
// The program's help: a getting-started guide (from docs/getting-started.md) and every key and gesture.
class HelpDialog : public QDialog {
    Q_OBJECT
public:
    enum Page { GETTING_STARTED, KEYS };
    explicit HelpDialog(Page page, QWidget* parent = nullptr);
    // The guide as Markdown, with the web page's address filled in.
    static QString guide();
};

} // namespace faceto
