#include "app/Dialogs.h"

#include "app/Icons.h"
#include "app/UserDialogs.h"
#include "app/Version.h"

#include <QApplication>

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace faceto {

namespace {

struct GameSetting {
    const std::string* section;
    const char* entry;
    std::string defaultValue;
};

// In the order the dialog reads and writes them.
const GameSetting GAME_SETTINGS[5] = {
    {&settings::QUAKE2, "base", ""},
    {&settings::QUAKE, "palette", ""},
    {&settings::QUAKE, "colormap", ""},
    {&settings::HEXEN2, "palette", ""},
    {&settings::HEXEN2, "colormap", ""},
};

} // namespace

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle("About Faceto");
    auto* layout = new QGridLayout(this);
    auto* picture = new QLabel(this);
    picture->setPixmap(icons::applicationPicture(64));
    layout->addWidget(picture, 0, 0, 4, 1, Qt::AlignTop);
    layout->addWidget(new QLabel("Faceto", this), 0, 1);
    layout->addWidget(new QLabel(QString("Version ") + VERSION, this), 1, 1);
    auto* credits = new QLabel(
        "Written by the Faceto project: the model core and file formats,\n"
        "the 8-bit software renderer, and the editor's views and panels.\n\n"
        "Tested with models and skins made by the modding community\n"
        "and shared under their own licences.",
        this);
    layout->addWidget(credits, 2, 1);
    layout->addWidget(new QLabel(QString("Licence: MIT (see the LICENSE file that comes with the program)\n"
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
    setWindowTitle("Game Dialog");
    auto* layout = new QVBoxLayout(this);
    auto addGroup = [&](const QString& title, std::initializer_list<std::pair<QString, int>> rows) {
        auto* box = new QGroupBox(title, this);
        auto* grid = new QGridLayout(box);
        int row = 0;
        for (const auto& [label, index] : rows) {
            grid->addWidget(new QLabel(label, box), row, 0);
            edits_[index] = new QLineEdit(box);
            edits_[index]->setMinimumWidth(260);
            grid->addWidget(edits_[index], row, 1);
            browse_[index] = new QPushButton("Browse...", box);
            grid->addWidget(browse_[index], row++, 2);
            // The base folder is a folder; the others are palette and colour map files.
            connect(browse_[index], &QPushButton::clicked, this, [this, index, &dialogs] {
                const QString current = edits_[index]->text();
                const auto chosen = index == 0 ? dialogs.chooseFolder(this, current) : dialogs.chooseFile(this, current);
                if (chosen) {
                    edits_[index]->setText(*chosen);
                }
            });
        }
        layout->addWidget(box);
    };
    addGroup("Quake 2", {{"Base Folder", 0}});
    addGroup("Quake (MDL)", {{"Palette.lmp", 1}, {"Colormap.lmp", 2}});
    addGroup("Hexen2 (MDL)", {{"Palette.lmp", 3}, {"Colormap.lmp", 4}});
    for (int i = 0; i < 5; ++i) {
        const GameSetting& s = GAME_SETTINGS[i];
        const std::string fallback = i == 0 ? settings::defaultQuake2Base() : s.defaultValue;
        edits_[i]->setText(QString::fromStdString(profile_.getString(*s.section, s.entry, fallback)));
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

void GameSetupDialog::accept() {
    for (int i = 0; i < 5; ++i) {
        const GameSetting& s = GAME_SETTINGS[i];
        profile_.writeString(*s.section, s.entry, edits_[i]->text().toStdString());
    }
    QDialog::accept();
}

AddAnimationDialog::AddAnimationDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle("Add Animation");
    auto* layout = new QGridLayout(this);
    layout->addWidget(new QLabel("Name:", this), 0, 0);
    name_ = new QLineEdit(this);
    layout->addWidget(name_, 0, 1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons, 1, 0, 1, 2);
}

QString AddAnimationDialog::name() const { return name_->text(); }

HelpDialog::HelpDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle("Faceto Help");
    resize(520, 560);
    auto* layout = new QVBoxLayout(this);
    auto* text = new QTextBrowser(this);
    text->setHtml(
        "<h3>2D views</h3><ul>"
        "<li><b>Edit tool</b>: click a vertex to select or deselect it; drag from empty space to add the "
        "vertices inside the rectangle to the selection; drag a selected vertex to move the selection "
        "(X, Y and Z lock axes; <i>Snap To</i> puts the dragged vertex on the grid).</li>"
        "<li><b>Scale tool</b>: drag up to grow, down to shrink the selection (Shift: 2% steps); with the "
        "right button each view axis follows its own direction.</li>"
        "<li><b>Move/Zoom tool</b> (M), or any tool with <b>Ctrl</b>: drag with the left button to pan, "
        "with the right button to zoom; click to zoom in (left) or out (right) about the point.</li>"
        "<li>Keys <b>0</b>-<b>9</b> set the zoom of the view under the keyboard focus.</li></ul>"
        "<h3>3D views</h3><ul>"
        "<li>Left drag turns the model, right drag pans; both buttons: the right pauses the turn, "
        "and pressing the left during a right drag moves the camera in and out.</li>"
        "<li><b>R</b> redraws the camera view.</li></ul>"
        "<h3>Keys</h3><ul>"
        "<li><b>C</b> select none, <b>Shift+C</b> select all, <b>X</b> <b>Y</b> <b>Z</b> axis locks.</li>"
        "<li><b>Alt+2</b> group level, <b>Alt+4</b> vertex level.</li>"
        "<li><b>Ctrl+C</b>, <b>Ctrl+X</b>, <b>Ctrl+V</b>: copy, cut and paste the selected triangles.</li>"
        "<li><b>Esc</b> ends the full-screen animation preview.</li></ul>");
    layout->addWidget(text);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

} // namespace faceto
