#include "app/Dialogs.h"

#include "app/Icons.h"
#include "app/UserDialogs.h"
#include "document/CFacetoDoc.h"
#include "formats/Limits.h"
#include "model/Version.h"
#include "views/ViewState.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTextBrowser>
#include <QVBoxLayout>
#include <algorithm>
#include <tuple>

namespace faceto {

namespace {

// In the order the dialog reads and writes them.
const Setting<std::string>* const GAME_SETTINGS[5] = {
    &settings::QUAKE2_BASE,    &settings::QUAKE_PALETTE,   &settings::QUAKE_COLORMAP,
    &settings::HEXEN2_PALETTE, &settings::HEXEN2_COLORMAP,
};

std::string gameSetting(const Profile& profile, int i) {
    return i == 0 ? profile.get(*GAME_SETTINGS[0], settings::defaultQuake2Base())
                  : profile.get(*GAME_SETTINGS[i]);
}

} // namespace

void storeGameSettings(Profile& profile) {
    for (int i = 0; i < 5; ++i) {
        profile.set(*GAME_SETTINGS[i], gameSetting(profile, i));
    }
}

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("About Faceto"));
    auto* layout = new QGridLayout(this);
    auto* picture = new QLabel(this);
    picture->setPixmap(icons::applicationPicture(64));
    layout->addWidget(picture, 0, 0, 4, 1, Qt::AlignTop);
    layout->addWidget(new QLabel(QStringLiteral("Faceto"), this), 0, 1);
    layout->addWidget(new QLabel(tr("Version %1").arg(VERSION), this), 1, 1);
    auto* credits = new QLabel(tr("Written by the Faceto project: the model core and file formats,\n"
                                  "the 8-bit software renderer, and the editor's views and panels.\n\n"
                                  "Tested with models and skins made by the modding community\n"
                                  "and shared under their own licences."),
                               this);
    layout->addWidget(credits, 2, 1);
    layout->addWidget(new QLabel(tr("Licence: MIT (see the LICENSE file that comes with the program)\n"
                                    "Built with Qt %1, running on Qt %2")
                                     .arg(QT_VERSION_STR)
                                     .arg(qVersion()),
                                 this),
                      3, 1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons, 4, 0, 1, 2);
}

GameSetupDialog::GameSetupDialog(Profile& profile, UserDialogs& dialogs, QWidget* parent)
    : QDialog(parent), profile_(profile) {
    setWindowTitle(tr("Game Dialog"));
    auto* layout = new QVBoxLayout(this);
    auto addGroup = [&](const QString& title, std::initializer_list<std::pair<QString, int>> rows) {
        auto* box = new QGroupBox(title, this);
        auto* grid = new QGridLayout(box);
        int row = 0;
        for (const auto& entry : rows) {
            const int index = entry.second;
            grid->addWidget(new QLabel(entry.first, box), row, 0);
            edits_[index] = new QLineEdit(box);
            edits_[index]->setMinimumWidth(260);
            grid->addWidget(edits_[index], row, 1);
            browse_[index] = new QPushButton(tr("Browse..."), box);
            grid->addWidget(browse_[index], row++, 2);
            // The base folder is a folder; the others are palette and colour map files.
            connect(browse_[index], &QPushButton::clicked, this, [this, index, &dialogs] {
                const QString current = edits_[index]->text();
                const auto chosen =
                    index == 0 ? dialogs.chooseFolder(this, current) : dialogs.chooseFile(this, current);
                if (chosen) {
                    edits_[index]->setText(*chosen);
                }
            });
        }
        layout->addWidget(box);
    };
    addGroup(tr("Quake 2"), {{tr("Base Folder"), 0}});
    addGroup(tr("Quake (MDL)"), {{"Palette.lmp", 1}, {"Colormap.lmp", 2}});
    addGroup(tr("Hexen2 (MDL)"), {{"Palette.lmp", 3}, {"Colormap.lmp", 4}});
    // .mdl files do not say which game they are for: the user does.
    auto* choice = new QHBoxLayout();
    choice->addWidget(new QLabel(tr("Skins of .mdl models use"), this));
    mdlPalette_ = new QComboBox(this);
    mdlPalette_->addItem(tr("the Quake palette"), "quake");
    mdlPalette_->addItem(tr("the Hexen II palette"), "hexen2");
    mdlPalette_->setCurrentIndex(profile_.get(settings::MODEL_PALETTE) == "hexen2" ? 1 : 0);
    choice->addWidget(mdlPalette_, 1);
    layout->addLayout(choice);
    for (int i = 0; i < 5; ++i) {
        edits_[i]->setText(QString::fromStdString(gameSetting(profile_, i)));
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

void GameSetupDialog::accept() {
    for (int i = 0; i < 5; ++i) {
        profile_.set(*GAME_SETTINGS[i], edits_[i]->text().toStdString());
    }
    profile_.set(settings::MODEL_PALETTE, mdlPalette_->currentData().toString().toStdString());
    QDialog::accept();
}

NameDialog::NameDialog(const QString& title, const QString& name, QWidget* parent) : QDialog(parent) {
    setWindowTitle(title);
    auto* layout = new QGridLayout(this);
    layout->addWidget(new QLabel(tr("Name:"), this), 0, 0);
    name_ = new QLineEdit(name, this);
    name_->selectAll();
    layout->addWidget(name_, 0, 1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons, 1, 0, 1, 2);
    // Wide enough for the whole title beside the title bar's buttons, and for a long name.
    const QFontMetrics metrics(font());
    setMinimumWidth(std::max(
        {320, metrics.horizontalAdvance(title) * 3 / 2 + 160, metrics.horizontalAdvance(QString(24, 'M'))}));
}

QString NameDialog::name() const {
    return name_->text();
}

TransformDialog::TransformDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("Transform"));
    auto* layout = new QGridLayout(this);
    const char* axes[] = {"X", "Y", "Z"};
    for (int c = 0; c < 3; ++c) {
        layout->addWidget(new QLabel(axes[c], this), 0, c + 1, Qt::AlignCenter);
    }
    const char* rows[] = {QT_TR_NOOP("Scale"), QT_TR_NOOP("Turn (degrees)"), QT_TR_NOOP("Move (units)")};
    for (int r = 0; r < 3; ++r) {
        layout->addWidget(new QLabel(tr(rows[r]), this), r + 1, 0);
        for (int c = 0; c < 3; ++c) {
            auto* box = new QDoubleSpinBox(this);
            box->setDecimals(r == 0 ? 4 : 3);
            box->setRange(r == 0 ? -1000.0 : r == 1 ? -360.0 : -1e6, r == 0 ? 1000.0 : r == 1 ? 360.0 : 1e6);
            box->setValue(r == 0 ? 1.0 : 0.0);
            box->setAccessibleName(QString("%1 %2").arg(tr(rows[r]), axes[c]));
            fields_[size_t(r * 3 + c)] = box;
            layout->addWidget(box, r + 1, c + 1);
        }
    }
    uniform_ = new QCheckBox(tr("Scale alike on every axis"), this);
    uniform_->setChecked(true);
    layout->addWidget(uniform_, 4, 0, 1, 4);
    // One scale for all three while the box is ticked.
    for (int c = 0; c < 3; ++c) {
        connect(fields_[size_t(c)], &QDoubleSpinBox::valueChanged, this, [this, c](double value) {
            if (uniform_->isChecked()) {
                for (int k = 0; k < 3; ++k) {
                    if (k != c && fields_[size_t(k)]->value() != value) {
                        fields_[size_t(k)]->setValue(value);
                    }
                }
            }
        });
    }
    layout->addWidget(new QLabel(tr("About"), this), 5, 0);
    about_ = new QComboBox(this);
    about_->addItems({tr("the origin"), tr("the centre of the model")});
    layout->addWidget(about_, 5, 1, 1, 3);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons, 6, 0, 1, 4);
}

ModelTransform TransformDialog::transform() const {
    ModelTransform t;
    for (size_t a = 0; a < 3; ++a) {
        t.scale[a] = float(fields_[a]->value());
        t.degrees[a] = float(fields_[3 + a]->value());
        t.move[a] = float(fields_[6 + a]->value());
    }
    t.aboutCentre = about_->currentIndex() == 1;
    return t;
}

UnitsDialog::UnitsDialog(double importScale, double exportScale, QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("glTF and OBJ Units"));
    auto* layout = new QGridLayout(this);
    import_ = new QDoubleSpinBox(this);
    export_ = new QDoubleSpinBox(this);
    for (auto [row, box, label, value] :
         {std::tuple{0, import_, tr("Opening: model units per unit of the file (a file in metres: 32)"),
                     importScale},
          std::tuple{1, export_, tr("Saving: units of the file per model unit (to metres: 0.03125)"),
                     exportScale}}) {
        box->setDecimals(5);
        box->setRange(0.00001, 100000.0);
        box->setValue(value);
        auto* text = new QLabel(label, this);
        text->setBuddy(box);
        layout->addWidget(text, row, 0);
        layout->addWidget(box, row, 1);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons, 2, 0, 1, 2);
}

SkinSizeDialog::SkinSizeDialog(const QString& title, int width, int height, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(title);
    auto* layout = new QGridLayout(this);
    width_ = new QSpinBox(this);
    height_ = new QSpinBox(this);
    for (auto [row, box, label, value] :
         {std::tuple{0, width_, tr("Width:"), width}, std::tuple{1, height_, tr("Height:"), height}}) {
        box->setRange(1, limits::MAX_SKIN_SIDE);
        box->setValue(value);
        box->setSuffix(tr(" texels"));
        layout->addWidget(new QLabel(label, this), row, 0);
        layout->addWidget(box, row, 1);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons, 2, 0, 1, 2);
}

const std::vector<std::pair<int, QString>>& CameraPropertiesDialog::modes() {
    static const std::vector<std::pair<int, QString>> list{{FILL_NONE, tr("No Rendering")},
                                                           {FILL_WIREFRAME, tr("Wireframe")},
                                                           {FILL_VERTEX, tr("Vertex")},
                                                           {FILL_FLAT, tr("Flat Shading")},
                                                           {FILL_GOURAUD, tr("Gouraud Shading")},
                                                           {FILL_TEXTURED, tr("Texture Mapped")},
                                                           {FILL_TEXTURED_SHADED, tr("Textured and Shaded")}};
    return list;
}

CameraPropertiesDialog::CameraPropertiesDialog(const Settings& current, const uint8_t* palette,
                                               std::function<void(const Settings&)> apply, QWidget* parent)
    : QDialog(parent), original_(current), palette_(palette), apply_(std::move(apply)) {
    setWindowTitle(tr("Camera Properties"));
    auto* layout = new QGridLayout(this);
    mode_ = new QComboBox(this);
    for (const auto& [value, name] : modes()) {
        mode_->addItem(name, value);
        if (value == current.fillMode) {
            mode_->setCurrentIndex(mode_->count() - 1);
        }
    }
    auto spin = [this](int value, int maximum, const QString& tip) {
        auto* box = new QSpinBox(this);
        box->setRange(0, maximum);
        box->setValue(std::clamp(value, 0, maximum));
        box->setToolTip(tip);
        return box;
    };
    back_ = spin(current.backColor, 255, tr("The palette index of the background"));
    ambient_ = spin(current.lightAmbient, 255, tr("The light everywhere, facing the camera or not"));
    spot_ = spin(current.lightSpot, 255, tr("The light on what faces the camera"));
    swatch_ = new QLabel(this);
    swatch_->setFixedSize(24, 18);
    swatch_->setFrameStyle(QFrame::Box | QFrame::Plain);
    auto* back = new QHBoxLayout();
    back->addWidget(back_, 1);
    back->addWidget(swatch_);
    const std::pair<const char*, QWidget*> rows[4] = {{QT_TR_NOOP("&Rendering:"), mode_},
                                                      {QT_TR_NOOP("&Background colour:"), back_},
                                                      {QT_TR_NOOP("&Ambient light:"), ambient_},
                                                      {QT_TR_NOOP("&Spot light:"), spot_}};
    for (int row = 0; row < 4; ++row) {
        auto* label = new QLabel(tr(rows[row].first), this);
        label->setBuddy(rows[row].second);
        layout->addWidget(label, row, 0);
        if (row == 1) {
            layout->addLayout(back, row, 1);
        } else {
            layout->addWidget(rows[row].second, row, 1);
        }
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons, 4, 0, 1, 2);
    connect(mode_, &QComboBox::currentIndexChanged, this, &CameraPropertiesDialog::changed);
    for (QSpinBox* box : {back_, ambient_, spot_}) {
        connect(box, &QSpinBox::valueChanged, this, &CameraPropertiesDialog::changed);
    }
    changed();
}

CameraPropertiesDialog::Settings CameraPropertiesDialog::settings() const {
    return {mode_->currentData().toInt(), back_->value(), ambient_->value(), spot_->value()};
}

void CameraPropertiesDialog::changed() {
    const int c = back_->value();
    swatch_->setStyleSheet(QString("background: rgb(%1, %2, %3)")
                               .arg(palette_[c * 3])
                               .arg(palette_[c * 3 + 1])
                               .arg(palette_[c * 3 + 2]));
    if (apply_ && settings() != original_) {
        apply_(settings());
    }
}

void CameraPropertiesDialog::reject() {
    if (apply_ && settings() != original_) {
        apply_(original_);
    }
    QDialog::reject();
}

QString HelpDialog::guide() {
    QFile file(":/help/getting-started.md");
    if (!file.open(QIODevice::ReadOnly)) {
        return tr("The guide is missing from this build. See %1").arg(HOMEPAGE);
    }
    return QString::fromUtf8(file.readAll()).replace("@HOMEPAGE@", HOMEPAGE);
}

HelpDialog::HelpDialog(Page page, QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("Faceto Help"));
    resize(600, 620);
    auto* layout = new QVBoxLayout(this);
    auto* tabs = new QTabWidget(this);
    auto* guideText = new QTextBrowser(tabs);
    guideText->setObjectName("guide");
    guideText->setOpenExternalLinks(true);
    guideText->setMarkdown(guide());
    tabs->addTab(guideText, tr("Getting Started"));
    auto* text = new QTextBrowser(tabs);
    text->setObjectName("keys");
    tabs->addTab(text, tr("Keys and Mouse"));
    text->setHtml(tr(
        "<h3>2D views</h3><ul>"
        "<li><b>Edit tool</b>: click a vertex to select or deselect it; drag from empty space to add the "
        "vertices inside the rectangle to the selection; drag a selected vertex to move the selection "
        "(X, Y and Z lock axes; <i>Snap To</i> puts the dragged vertex on the grid).</li>"
        "<li>At the <b>triangle level</b> (Alt+3) a click selects the triangle under the pointer, a "
        "rectangle "
        "the triangles wholly inside it; at the <b>object level</b> (Alt+1) a click selects the whole "
        "model.</li>"
        "<li><b>Scale tool</b>: drag up or right to grow, down or left to shrink the selection (Shift: 2% "
        "steps); with the "
        "right button each view axis follows its own direction.</li>"
        "<li><b>Rotate tool</b>: drag sideways to turn the selection about its centre, one degree per pixel "
        "(Shift: 15-degree steps).</li>"
        "<li><b>Move/Zoom tool</b> (M), or any tool with <b>Ctrl</b>: drag with the left button to pan, "
        "with the right button to zoom; click to zoom in (left) or out (right) about the point.</li>"
        "<li>Keys <b>0</b>-<b>9</b> set the zoom of the view under the keyboard focus; <b>S</b> fills the "
        "triangles, <b>Shift+V</b> shows or hides the vertex dots, <b>P</b> the Jedi Knight "
        "hierarchy.</li></ul>"
        "<h3>3D views</h3><ul>"
        "<li>Left drag turns the model, right drag pans; both buttons: the right pauses the turn, "
        "and pressing the left during a right drag moves the camera in and out.</li>"
        "<li><b>W</b> wireframe, <b>V</b> vertices, <b>Shift+1</b>-<b>Shift+5</b> none, flat, Gouraud, "
        "textured, textured and shaded; <b>F</b> draws the back faces too; <b>F12</b> saves the picture.</li>"
        "<li><b>R</b> puts the camera back where it started.</li></ul>"
        "<h3>Keys</h3><ul>"
        "<li><b>C</b> select none, <b>Shift+C</b> select all, <b>I</b> invert, <b>H</b> hide the selection, "
        "<b>Shift+H</b> show all; <b>X</b> <b>Y</b> <b>Z</b> axis locks.</li>"
        "<li><b>Del</b> deletes the selected triangles (in the frame list: the frame), <b>Ctrl+F</b> flips "
        "them, <b>Ctrl+D</b> clones them.</li>"
        "<li><b>Alt+1</b> object, <b>Alt+2</b> group, <b>Alt+3</b> triangle, <b>Alt+4</b> vertex level.</li>"
        "<li><b>Ctrl+C</b>, <b>Ctrl+X</b>, <b>Ctrl+V</b>: copy, cut and paste the selected triangles; "
        "<b>Ctrl+B</b> pastes a copied frame as a new frame.</li>"
        "<li><b>Ctrl+Z</b> undo, <b>Ctrl+Y</b> redo; <b>F5</b> shows or hides the animation player, "
        "<b>Ctrl+Space</b> plays or pauses it, <b>[</b> and <b>]</b> step it back and on.</li>"
        "<li><b>Esc</b> ends the full-screen animation preview.</li></ul>"));
    tabs->setCurrentIndex(page == KEYS ? 1 : 0);
    layout->addWidget(tabs);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

} // namespace faceto
