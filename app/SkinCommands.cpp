// The skin commands: new, delete, resize, generate a skin map, import and export.
#include "app/CChildFrame.h"
#include "app/CFacetoApp.h"
#include "app/CMainFrame.h"
#include "app/Dialogs.h"
#include "app/EditorCommands.h"
#include "document/SkinOperations.h"
#include "formats/FileIO.h"
#include "formats/Pictures.h"
#include "model/Texts.h"
#include "views/SkinDrawing.h"

#include <QAction>
#include <QFileInfo>
#include <QSpinBox>

namespace faceto {

namespace {

QString skinLabel(const CFacetoDoc& doc, int index) {
    const Skin& skin = doc.model().skins[size_t(index)];
    return QString("%1 (%2)").arg(index).arg(skin.name.empty() ? EditorCommands::tr("unnamed")
                                                               : QString::fromStdString(skin.name));
}

// The skin the commands work on: the current one (0 when there is none), not the member of its group
// that plays at the moment.
int shownIndex(const CFacetoDoc& doc) {
    return std::clamp(doc.currentSkin(), 0, std::max(int(doc.model().skins.size()) - 1, 0));
}

// The size the skin coordinates are made for: the recorded skin size, or the shown skin's.
std::array<int, 2> mapSize(const CFacetoDoc& doc) {
    if (doc.source().skinWidth > 0 && doc.source().skinHeight > 0) {
        return {doc.source().skinWidth, doc.source().skinHeight};
    }
    if (!doc.model().skins.empty()) {
        const Skin& skin = doc.model().skins[size_t(shownIndex(doc))];
        return {skin.imageWidth, skin.imageHeight};
    }
    return {256, 256};
}

} // namespace

void EditorCommands::connectSkinCommands() {
    onDocument("newSkin", [this](CFacetoDoc& doc) {
        const auto size = mapSize(doc);
        SkinSizeDialog dialog(tr("New Skin"), size[0], size[1], app_.mainFrame_);
        if (app_.dialogs_.run(dialog) == QDialog::Accepted) {
            Skin skin =
                blankSkin(dialog.widthBox()->value(), dialog.heightBox()->value(), app_.tables_.palette);
            skin.name = "skin" + std::to_string(doc.model().skins.size());
            addSkin(doc, std::move(skin));
        }
    });
    onDocument("deleteSkin", [this](CFacetoDoc& doc) {
        if (doc.model().skins.empty()) {
            return;
        }
        const int index = shownIndex(doc);
        if (app_.dialogs_.askYesNo(app_.mainFrame_, tr("Delete skin %1?").arg(skinLabel(doc, index)))) {
            deleteSkin(doc, index);
        }
    });
    onDocument("resizeSkin", [this](CFacetoDoc& doc) {
        if (doc.model().skins.empty()) {
            return;
        }
        const int index = shownIndex(doc);
        const Skin& skin = doc.model().skins[size_t(index)];
        SkinSizeDialog dialog(tr("Resize Skin"), skin.imageWidth, skin.imageHeight, app_.mainFrame_);
        if (app_.dialogs_.run(dialog) == QDialog::Accepted) {
            resizeSkin(doc, index, dialog.widthBox()->value(), dialog.heightBox()->value());
        }
    });
    onDocument("generateSkinMap", [this](CFacetoDoc& doc) {
        if (!generateSkinMap(doc, app_.tables_.palette)) {
            app_.dialogs_.message(app_.mainFrame_,
                                  tr("Generate SkinMap needs a current frame with triangles."));
        }
    });
    connectSkinImport();
    connectSkinExport();
}

// Skin ▸ Import: a picture replaces the skin shown or is added as a new one.
void EditorCommands::connectSkinImport() {
    onDocument("importSkin", [this](CFacetoDoc& doc) {
        const QString folder = QFileInfo(QString::fromStdString(doc.pathName())).absolutePath();
        const auto choice = app_.dialogs_.chooseFileToOpen(
            app_.mainFrame_, {tr("Skin Pictures (*.pcx *.png *.bmp *.tga)"), tr("All Files (*)")}, folder);
        if (!choice) {
            return;
        }
        const std::string path = choice->path.toStdString();
        const auto bytes = readFile(path);
        Result<Skin> skin = bytes ? decodeSkinPicture(*bytes) : Result<Skin>(Failure{bytes.error()});
        if (!skin) {
            app_.dialogs_.message(
                app_.mainFrame_,
                tr("Cannot import %1:\n%2").arg(choice->path, QString::fromStdString(skin.error())));
            return;
        }
        skin->name = QFileInfo(choice->path).fileName().toStdString();
        bool replace = false;
        if (!doc.model().skins.empty()) {
            const int answer = app_.dialogs_.choose(
                app_.mainFrame_,
                tr("Replace skin %1 with %2, or add the picture as a new skin?")
                    .arg(skinLabel(doc, shownIndex(doc)), QFileInfo(choice->path).fileName()),
                {tr("Replace"), tr("Add as New Skin")});
            if (answer < 0) {
                return;
            }
            replace = answer == 0;
        }
        const auto size = mapSize(doc);
        const bool scale =
            !doc.model().triangles.empty() && !doc.model().skins.empty() &&
            (skin->imageWidth != size[0] || skin->imageHeight != size[1]) &&
            app_.dialogs_.askYesNo(app_.mainFrame_,
                                   tr("The picture is %1 x %2 texels; the skin map is made for %3 x %4.\n"
                                      "Scale the skin coordinates to the picture?")
                                       .arg(skin->imageWidth)
                                       .arg(skin->imageHeight)
                                       .arg(size[0])
                                       .arg(size[1]));
        if (replace) {
            replaceSkin(doc, shownIndex(doc), std::move(*skin), scale);
        } else {
            addSkin(doc, std::move(*skin), FACETO_TEXT("Import Skin"), scale);
        }
    });
}

// Skin ▸ Export: the picture alone, or with the skin map drawn over it.
void EditorCommands::connectSkinExport() {
    onDocument("exportSkin", [this](CFacetoDoc& doc) {
        if (doc.model().skins.empty()) {
            app_.dialogs_.message(app_.mainFrame_, tr("The model has no skin to export."));
            return;
        }
        const int index = shownIndex(doc);
        const QStringList filters{"PCX (*.pcx)", "PNG (*.png)"};
        const QString folder = QFileInfo(QString::fromStdString(doc.pathName())).absolutePath();
        const QString base =
            QFileInfo(QString::fromStdString(doc.model().skins[size_t(index)].name)).completeBaseName();
        const auto choice = app_.dialogs_.chooseFileToSave(
            app_.mainFrame_, filters,
            folder + "/" + (base.isEmpty() ? tr("skin%1").arg(index) : base) + ".pcx");
        if (!choice) {
            return;
        }
        QString path = choice->path;
        QString suffix = QFileInfo(path).suffix().toLower();
        if (suffix != "pcx" && suffix != "png") {
            suffix = choice->filterIndex == 1 ? "png" : "pcx";
            path += "." + suffix;
        }
        // The map drawn over the picture makes a template to paint a new skin on.
        const int drawn =
            app_.dialogs_.choose(app_.mainFrame_,
                                 tr("Export skin %1 as it is, or with the skin map drawn over it as a "
                                    "template to paint on?")
                                     .arg(skinLabel(doc, index)),
                                 {tr("Picture Only"), tr("With the Skin Map")});
        if (drawn < 0) {
            return;
        }
        Result<ByteBuffer> bytes = skinFileBytes(doc.model(), index, suffix == "png", drawn == 1);
        const Status written =
            bytes ? writeFileReplacing(path.toStdString(), *bytes) : Status(Failure{bytes.error()});
        if (!written) {
            app_.dialogs_.message(
                app_.mainFrame_,
                tr("Cannot export the skin to %1:\n%2").arg(path, QString::fromStdString(written.error())));
        }
    });
}

void EditorCommands::refreshSkinStates() {
    CChildFrame* frame = app_.activeFrame();
    const CFacetoDoc* doc = frame ? frame->document() : nullptr;
    const bool skins = doc && !doc->model().skins.empty();
    for (const char* name : {"deleteSkin", "resizeSkin", "exportSkin"}) {
        app_.mainFrame_->action(name)->setEnabled(skins);
    }
    for (const char* name : {"newSkin", "importSkin", "generateSkinMap"}) {
        app_.mainFrame_->action(name)->setEnabled(doc != nullptr);
    }
}

} // namespace faceto
