// The editing and view commands of the menus, keys and toolbar.
#include "app/EditorCommands.h"

#include "app/CAnimationPlayer.h"
#include "app/CChildFrame.h"
#include "app/CFacetoApp.h"
#include "app/CMainFrame.h"
#include "app/CProjectManager.h"
#include "app/Dialogs.h"
#include "app/InterpolateDialog.h"
#include "app/ModelPropertiesDialog.h"
#include "document/EditOperations.h"
#include "document/FrameOperations.h"
#include "document/ModelProperties.h"
#include "document/ModelTransform.h"
#include "formats/FileIO.h"
#include "model/Texts.h"
#include "views/C2DView.h"
#include "views/CCameraView.h"
#include "views/QtFramePresenter.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDockWidget>
#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QSpinBox>
#include <QStatusBar>

namespace faceto {

namespace {

// The camera view's modes by their commands.
const std::pair<const char*, int> FILL_COMMANDS[] = {{"noRendering", FILL_NONE},
                                                     {"wireframe", FILL_WIREFRAME},
                                                     {"vertexRendering", FILL_VERTEX},
                                                     {"flatShading", FILL_FLAT},
                                                     {"gouraudShading", FILL_GOURAUD},
                                                     {"textureMapped", FILL_TEXTURED},
                                                     {"texturedShaded", FILL_TEXTURED_SHADED}};

const std::pair<const char*, int> LEVEL_COMMANDS[] = {{"levelObject", LEVEL_OBJECT},
                                                      {"levelGroup", LEVEL_GROUP},
                                                      {"levelTriangle", LEVEL_TRIANGLE},
                                                      {"levelVertex", LEVEL_VERTEX}};

QString toolName(int tool) {
    switch (tool) {
    case TOOL_ROTATE:
        return EditorCommands::tr("Rotate");
    case TOOL_SCALE:
        return EditorCommands::tr("Scale");
    case TOOL_MOVE_ZOOM:
        return EditorCommands::tr("Move/Zoom");
    default:
        return EditorCommands::tr("Edit");
    }
}

QString levelName(int level) {
    switch (level) {
    case LEVEL_OBJECT:
        return EditorCommands::tr("object");
    case LEVEL_GROUP:
        return EditorCommands::tr("group");
    case LEVEL_TRIANGLE:
        return EditorCommands::tr("triangle");
    default:
        return EditorCommands::tr("vertex");
    }
}

// The 2D view of the window that has (or last had) the keyboard focus; the first one otherwise.
C2DView* focused2DView(CChildFrame* frame) {
    if (frame == nullptr) {
        return nullptr;
    }
    if (auto* view = qobject_cast<C2DView*>(frame->focusWidget())) {
        return view;
    }
    return frame->view2D(0, 0);
}

} // namespace

void CFacetoApp::redrawActive() {
    if (CChildFrame* f = activeFrame()) {
        f->redrawAllViews();
    }
}

void CFacetoApp::redrawCameraViews(const CFacetoDoc* doc) {
    for (CChildFrame* f : framesOf(doc)) {
        f->cameraView()->update();
    }
}

void EditorCommands::connectEditingCommands() {
    // Tools and levels are one for all documents; the active window's views show the change.
    for (const auto& [name, tool] :
         {std::pair{"toolEdit", TOOL_EDIT}, std::pair{"toolsSelect", TOOL_EDIT},
          std::pair{"toolRotate", TOOL_ROTATE}, std::pair{"toolsRotate", TOOL_ROTATE},
          std::pair{"toolMoveZoom", TOOL_MOVE_ZOOM}}) {
        on(name, [this, tool = tool] {
            app_.state_.currentTool = tool;
            refreshCommandStates();
            app_.redrawActive();
        });
    }
    for (const char* name : {"toolScale", "toolsScale"}) {
        on(name, [this] {
            app_.state_.currentTool = TOOL_SCALE; // no redraw
            refreshCommandStates();
        });
    }
    for (const auto& [name, level] : LEVEL_COMMANDS) {
        on(name, [this, level = level] {
            app_.state_.editLevel = level;
            refreshCommandStates();
            app_.redrawActive();
        });
    }
    for (const char* name : {"levelSkeleton", "skeletonMode"}) {
        on(name, [this] {
            app_.state_.skeletonShown = !app_.state_.skeletonShown;
            refreshCommandStates();
            for (CChildFrame* f : app_.frames_) {
                f->redrawAllViews();
            }
        });
    }
    connectModelCommands();
    connectFrameCommands();
}

// The selection, the triangles and the whole model.
void EditorCommands::connectModelCommands() {
    onDocument("invertSelection", [](CFacetoDoc& doc) { invertSelection(doc); });
    onDocument("hideSelected", [](CFacetoDoc& doc) { hideSelected(doc); });
    onDocument("showAll", [](CFacetoDoc& doc) { showAll(doc); });
    // Del deletes the frame chosen in the frame list while the list has the keyboard focus, else the
    // selected triangles.
    onDocument("deleteTris", [this](CFacetoDoc& doc) {
        if (app_.projectManager_ && app_.projectManager_->frameList()->hasFocus()) {
            app_.projectManager_->deleteChosenFrame();
        } else if (!selectedTriangles(doc).empty()) {
            doc.run(deleteSelectedTriangles(doc, FACETO_TEXT("Delete Triangles")));
        }
    });
    onDocument("flipTris", [](CFacetoDoc& doc) { flipSelectedTriangles(doc); });
    onDocument("transformModel", [this](CFacetoDoc& doc) {
        TransformDialog dialog(app_.mainFrame_);
        if (app_.dialogs_.run(dialog) == QDialog::Accepted) {
            transformModel(doc, dialog.transform());
        }
    });
    onDocument("moveFrameUp", [](CFacetoDoc& doc) { moveFrame(doc, doc.currentFramePosition(), -1); });
    onDocument("moveFrameDown", [](CFacetoDoc& doc) { moveFrame(doc, doc.currentFramePosition(), 1); });
    onDocument("moveAnimationUp",
               [](CFacetoDoc& doc) { moveAnimation(doc, doc.currentAnimationIndex(), -1); });
    onDocument("moveAnimationDown",
               [](CFacetoDoc& doc) { moveAnimation(doc, doc.currentAnimationIndex(), 1); });
    onDocument("interpolateFrames", [this](CFacetoDoc& doc) { interpolate(doc); });
    onDocument("modelProperties", [this](CFacetoDoc& doc) {
        const Skin* skin = doc.model().skins.empty() ? nullptr : &doc.model().skins.front();
        ModelPropertiesDialog dialog(propertiesOf(doc), skin ? skin->imageWidth : doc.source().skinWidth,
                                     skin ? skin->imageHeight : doc.source().skinHeight, app_.mainFrame_);
        if (app_.dialogs_.run(dialog) == QDialog::Accepted) {
            setModelProperties(doc, dialog.properties());
        }
    });
    for (int axis = 0; axis < 3; ++axis) {
        static const char* const NAMES[] = {"mirrorX", "mirrorY", "mirrorZ"};
        onDocument(NAMES[axis], [axis](CFacetoDoc& doc) { mirrorModel(doc, axis); });
    }
    onDocument("centreOnOrigin", [](CFacetoDoc& doc) { centreModelOnOrigin(doc); });
    on("fileUnits", [this] {
        UnitsDialog dialog(app_.fileUnits(true), app_.fileUnits(false), app_.mainFrame_);
        if (app_.dialogs_.run(dialog) != QDialog::Accepted) {
            return;
        }
        app_.profile_->set(settings::IMPORT_SCALE,
                           QString::number(dialog.importScale()->value()).toStdString());
        app_.profile_->set(settings::EXPORT_SCALE,
                           QString::number(dialog.exportScale()->value()).toStdString());
        for (const auto& doc : app_.documents_.documents()) {
            doc->exchange().exportScale = app_.fileUnits(false);
        }
    });
}

// Cloning, and frames exported, imported and pasted as new.
void EditorCommands::connectFrameCommands() {
    onDocument("cloneSelected", [](CFacetoDoc& doc) { cloneSelected(doc); });
    onDocument("exportFrame", [this](CFacetoDoc& doc) {
        if (doc.currentFrame() == nullptr) {
            return;
        }
        const QString folder = QFileInfo(QString::fromStdString(doc.pathName())).absolutePath();
        const QString suggested = folder + "/" + QString::fromStdString(doc.currentFrame()->name) + ".obj";
        if (auto choice =
                app_.dialogs_.chooseFileToSave(app_.mainFrame_, {tr("Wavefront OBJ (*.obj)")}, suggested)) {
            QString path = choice->path;
            if (QFileInfo(path).suffix().compare("obj", Qt::CaseInsensitive) != 0) {
                path += ".obj";
            }
            doc.saveAs(path.toStdString());
        }
    });
    onDocument("importFrame", [this](CFacetoDoc& doc) {
        const QString folder = QFileInfo(QString::fromStdString(doc.pathName())).absolutePath();
        if (auto choice =
                app_.dialogs_.chooseFileToOpen(app_.mainFrame_, {tr("Wavefront OBJ (*.obj)")}, folder)) {
            const std::string refused = importFramePose(doc, choice->path.toStdString());
            if (!refused.empty()) {
                app_.dialogs_.message(app_.mainFrame_, QString::fromStdString(refused));
            }
        }
    });
    onDocument("editPasteNewFrame", [this](CFacetoDoc& doc) {
        const std::string refused = pasteAsNewFrame(doc, app_.state_.clipboard);
        if (!refused.empty()) {
            app_.dialogs_.message(app_.mainFrame_, QString::fromStdString(refused));
        }
    });
}

void EditorCommands::connectViewCommands() {
    for (const auto& [name, mode] : FILL_COMMANDS) {
        onDocument(name, [this, mode = mode](CFacetoDoc& doc) {
            ViewState& view = app_.viewOf(doc);
            view.setCameraSettings(*app_.profile_, mode, view.backColor, view.lightAmbient, view.lightSpot);
            doc.changed({change::VIEW});
            refreshCommandStates();
        });
    }
    onDocument("frontBack", [this](CFacetoDoc& doc) {
        app_.viewOf(doc).drawBackFaces = !app_.viewOf(doc).drawBackFaces;
        doc.changed({change::VIEW});
        refreshCommandStates();
    });
    onDocument("cameraProperties", [this](CFacetoDoc& doc) {
        const ViewState& view = app_.viewOf(doc);
        const CameraPropertiesDialog::Settings current{view.fillMode, view.backColor, view.lightAmbient,
                                                       view.lightSpot};
        CameraPropertiesDialog dialog(
            current, app_.tables_.palette.data(),
            [this, &doc](const auto& s) {
                app_.viewOf(doc).setCameraSettings(*app_.profile_, s.fillMode, s.backColor, s.lightAmbient,
                                                   s.lightSpot);
                doc.changed({change::VIEW});
                refreshCommandStates();
            },
            app_.mainFrame_);
        app_.dialogs_.run(dialog);
    });
    on("captureToFile", [this] { captureCameraView(); });
    onDocument("solid2D", [this](CFacetoDoc& doc) {
        app_.viewOf(doc).solid2D = !app_.viewOf(doc).solid2D;
        doc.changed({change::VIEW});
        refreshCommandStates();
    });
    onDocument("vertex2D", [this](CFacetoDoc& doc) {
        app_.viewOf(doc).vertexDots2D = !app_.viewOf(doc).vertexDots2D;
        doc.changed({change::VIEW});
        refreshCommandStates();
    });
    // The 2D view with the keyboard focus is looked at from its usual side or from the other one.
    for (const auto& [name, negative] :
         {std::pair{"positiveDepth", false}, std::pair{"negativeDepth", true}}) {
        onDocument(name, [this, negative = negative](CFacetoDoc& doc) {
            if (C2DView* view = focused2DView(app_.activeFrame())) {
                OrthoViewState& s = app_.viewOf(doc).orthoViews[size_t(view->orientation())];
                if (s.negative != negative) {
                    s.negative = negative;
                    s.signU = -s.signU;
                    doc.changed({change::VIEW});
                }
            }
            refreshCommandStates();
        });
    }
    connectPlayerCommands();
    connectPanelCommands();
}

// The animation player: shown, played, paused and stepped.
void EditorCommands::connectPlayerCommands() {
    for (const char* name : {"viewAnimationPlayer", "animationPlayerKey"}) {
        on(name, [this] {
            if (app_.projectManager_) {
                app_.projectManager_->setPlayerShown(!app_.projectManager_->playerShown());
            }
            refreshCommandStates();
        });
    }
    // Play and pause, and a step back or on, work with the player shown or not: stepping shows it.
    on("playerPlayPause", [this] {
        CAnimationPlayer* player = app_.projectManager_->player();
        if (!app_.projectManager_->playerShown()) {
            app_.projectManager_->setPlayerShown(true);
            player->setPaused(false);
        } else {
            player->setPaused(!player->paused());
        }
        refreshCommandStates();
    });
    for (const auto& [name, by] : {std::pair{"playerStepBack", -1}, std::pair{"playerStepOn", 1}}) {
        on(name, [this, by = by] {
            app_.projectManager_->setPlayerShown(true);
            app_.projectManager_->player()->step(by);
            refreshCommandStates();
        });
    }
}

// The panels of the Tools menu, the status bar fields and the settings.
void EditorCommands::connectPanelCommands() {
    on("toolsFrame", [this] { app_.projectManager_->focusFrameList(); });
    on("toolsGroups", [this] { app_.projectManager_->focusGroupTree(); });
    on("toolsPrimatives",
       [this] { app_.projectManager_->showPage((QWidget*)app_.projectManager_->primitivesPanel()); });
    on("toolsGrid", [this] { app_.projectManager_->showPage((QWidget*)app_.projectManager_->gridPanel()); });
    on("toolsCurrentMode", [this] {
        app_.mainFrame_->modeField()->setVisible(app_.mainFrame_->action("toolsCurrentMode")->isChecked());
        refreshCommandStates();
    });
    on("toolsCurrentAction", [this] {
        app_.mainFrame_->actionField()->setVisible(
            app_.mainFrame_->action("toolsCurrentAction")->isChecked());
    });
    on("saveSettings", [this] { saveSettings(); });
}

void EditorCommands::refreshEditingStates() {
    CMainFrame& f = *app_.mainFrame_;
    f.action("toolsSelect")->setChecked(app_.state_.currentTool == TOOL_EDIT);
    f.action("toolsScale")->setChecked(app_.state_.currentTool == TOOL_SCALE);
    f.action("toolsRotate")->setChecked(app_.state_.currentTool == TOOL_ROTATE);
    for (const auto& [name, level] : LEVEL_COMMANDS) {
        f.action(name)->setChecked(app_.state_.editLevel == level);
    }
    f.action("levelSkeleton")->setChecked(app_.state_.skeletonShown);
    f.action("skeletonMode")->setChecked(app_.state_.skeletonShown);
    CChildFrame* frame = app_.activeFrame();
    const CFacetoDoc* doc = frame ? frame->document() : nullptr;
    const ViewState* shown = doc ? &app_.viewOf(*doc) : nullptr;
    for (const auto& [name, mode] : FILL_COMMANDS) {
        f.action(name)->setChecked(shown && shown->fillMode == mode);
    }
    f.action("frontBack")->setChecked(shown && shown->drawBackFaces);
    f.action("solid2D")->setChecked(shown && shown->solid2D);
    f.action("vertex2D")->setChecked(shown && shown->vertexDots2D);
    const C2DView* view = focused2DView(frame);
    const bool negative = shown && view && shown->orthoViews[size_t(view->orientation())].negative;
    f.action("positiveDepth")->setChecked(!negative);
    f.action("negativeDepth")->setChecked(negative);
    f.action("viewAnimationPlayer")->setChecked(app_.projectManager_ && app_.projectManager_->playerShown());
    f.showMode(
        tr("%1 tool, %2 level").arg(toolName(app_.state_.currentTool), levelName(app_.state_.editLevel)));
}

void EditorCommands::saveSettings() {
    if (CChildFrame* frame = app_.activeFrame()) {
        ViewState& view = app_.viewOf(*frame->document());
        view.setCameraSettings(*app_.profile_, view.fillMode, view.backColor, view.lightAmbient,
                               view.lightSpot);
        for (int axis = 0; axis < 3; ++axis) {
            app_.profile_->set(settings::LOCKS[axis], view.isLocked(axis) ? 1 : 0);
        }
        app_.profile_->set(settings::FRAME_ON_OPEN, view.frameOnOpen);
    }
    storeGameSettings(*app_.profile_);
    app_.storeRecentFiles();
    app_.storeSession();
    app_.profile_->sync();
    const QString file = app_.profile_->settings().fileName();
    if (app_.profile_->settings().status() != QSettings::NoError) {
        app_.dialogs_.message(app_.mainFrame_, tr("The settings could not be saved.\n") + file);
    } else {
        app_.mainFrame_->statusBar()->showMessage(tr("Settings saved to ") + file, 5000);
    }
}

void EditorCommands::captureCameraView() {
    CChildFrame* frame = app_.activeFrame();
    if (frame == nullptr) {
        return;
    }
    const QImage picture = frame->cameraView()->grab().toImage();
    const QString base = QFileInfo(QString::fromStdString(frame->document()->title())).completeBaseName();
    const QString folder = QString::fromStdString(app_.profile_->get(settings::LAST_FOLDER));
    const QString suggested =
        (folder.isEmpty() ? QString() : folder + "/") + (base.isEmpty() ? "capture" : base) + ".png";
    const auto choice =
        app_.dialogs_.chooseFileToSave(app_.mainFrame_, {tr("PNG picture (*.png)")}, suggested);
    if (!choice) {
        return;
    }
    QString path = choice->path;
    if (QFileInfo(path).suffix().isEmpty()) {
        path += ".png";
    }
    if (const Status written = savePicture(picture, path.toStdString(), "PNG"); !written) {
        app_.dialogs_.message(app_.mainFrame_, tr("The picture could not be saved.\n") + path + ": " +
                                                   QString::fromStdString(written.error()));
    } else {
        app_.mainFrame_->statusBar()->showMessage(tr("Saved ") + path, 5000);
    }
}

} // namespace faceto

namespace faceto {

void EditorCommands::interpolate(CFacetoDoc& doc) {
    const int32_t from = doc.currentFramePosition();
    if (from < 0) {
        app_.dialogs_.message(app_.mainFrame_, tr("Choose the frame to interpolate from first."));
        return;
    }
    const int32_t count = int32_t(doc.frames().size());
    const int32_t to = nextFrameOf(doc, from).value_or(std::min(from + 1, count - 1));
    QStringList names;
    for (const Frame& frame : doc.frames()) {
        names << QString::fromStdString(frame.name);
    }
    InterpolateDialog dialog(names, from, to, app_.mainFrame_);
    if (app_.dialogs_.run(dialog) != QDialog::Accepted) {
        return;
    }
    const int32_t a = dialog.fromBox()->currentIndex();
    const int32_t b = dialog.toBox()->currentIndex();
    if (a == b) {
        app_.dialogs_.message(app_.mainFrame_, tr("Choose two different frames."));
        return;
    }
    if (!sameAnimation(doc, a, b) &&
        !app_.dialogs_.askYesNo(
            app_.mainFrame_,
            tr("%1 and %2 belong to different animations.\nMake the frames in %1's animation?")
                .arg(names[a], names[b]))) {
        return;
    }
    interpolateFrames(doc, a, b, dialog.countBox()->value());
}

} // namespace faceto
