// The editing and view commands of the menus, keys and toolbar.
#include "app/CAnimationPlayer.h"
#include "app/CChildFrame.h"
#include "app/CFacetoApp.h"
#include "app/CMainFrame.h"
#include "app/CProjectManager.h"
#include "app/Dialogs.h"
#include "document/EditOperations.h"
#include "document/FrameOperations.h"
#include "document/ModelTransform.h"
#include "formats/FileIO.h"
#include "views/C2DView.h"
#include "views/CCameraView.h"
#include "views/QtFramePresenter.h"

#include <QAction>
#include <QApplication>
#include <QDockWidget>
#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
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
        return "Rotate";
    case TOOL_SCALE:
        return "Scale";
    case TOOL_MOVE_ZOOM:
        return "Move/Zoom";
    default:
        return "Edit";
    }
}

QString levelName(int level) {
    switch (level) {
    case LEVEL_OBJECT:
        return "object";
    case LEVEL_GROUP:
        return "group";
    case LEVEL_TRIANGLE:
        return "triangle";
    default:
        return "vertex";
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

void CFacetoApp::connectEditingCommands() {
    // Tools and levels are one for all documents; the active window's views show the change.
    for (const auto& [name, tool] :
         {std::pair{"toolEdit", TOOL_EDIT}, std::pair{"toolsSelect", TOOL_EDIT},
          std::pair{"toolRotate", TOOL_ROTATE}, std::pair{"toolsRotate", TOOL_ROTATE},
          std::pair{"toolMoveZoom", TOOL_MOVE_ZOOM}}) {
        on(name, [this, tool = tool] {
            state_.currentTool = tool;
            refreshCommandStates();
            redrawActive();
        });
    }
    for (const char* name : {"toolScale", "toolsScale"}) {
        on(name, [this] {
            state_.currentTool = TOOL_SCALE; // no redraw
            refreshCommandStates();
        });
    }
    for (const auto& [name, level] : LEVEL_COMMANDS) {
        on(name, [this, level = level] {
            state_.editLevel = level;
            refreshCommandStates();
            redrawActive();
        });
    }
    for (const char* name : {"levelSkeleton", "skeletonMode"}) {
        on(name, [this] {
            state_.skeletonShown = !state_.skeletonShown;
            refreshCommandStates();
            for (CChildFrame* f : frames_) {
                f->redrawAllViews();
            }
        });
    }
    connectModelCommands();
    connectFrameCommands();
}

// The selection, the triangles and the whole model.
void CFacetoApp::connectModelCommands() {
    onDocument("invertSelection", [](CFacetoDoc& doc) { invertSelection(doc); });
    onDocument("hideSelected", [](CFacetoDoc& doc) { hideSelected(doc); });
    onDocument("showAll", [](CFacetoDoc& doc) { showAll(doc); });
    // Del deletes the frame chosen in the frame list while the list has the keyboard focus, else the
    // selected triangles.
    onDocument("deleteTris", [this](CFacetoDoc& doc) {
        if (projectManager_ && projectManager_->frameList()->hasFocus()) {
            projectManager_->deleteChosenFrame();
        } else if (!selectedTriangles(doc).empty()) {
            doc.run(deleteSelectedTriangles(doc, "Delete Triangles"));
        }
    });
    onDocument("flipTris", [](CFacetoDoc& doc) { flipSelectedTriangles(doc); });
    onDocument("transformModel", [this](CFacetoDoc& doc) {
        TransformDialog dialog(mainFrame_);
        if (dialogs_.run(dialog) == QDialog::Accepted) {
            transformModel(doc, dialog.transform());
        }
    });
    for (int axis = 0; axis < 3; ++axis) {
        static const char* const NAMES[] = {"mirrorX", "mirrorY", "mirrorZ"};
        onDocument(NAMES[axis], [axis](CFacetoDoc& doc) { mirrorModel(doc, axis); });
    }
    onDocument("centreOnOrigin", [](CFacetoDoc& doc) { centreModelOnOrigin(doc); });
    on("fileUnits", [this] {
        UnitsDialog dialog(fileUnits(true), fileUnits(false), mainFrame_);
        if (dialogs_.run(dialog) != QDialog::Accepted) {
            return;
        }
        profile_->set(settings::IMPORT_SCALE, QString::number(dialog.importScale()->value()).toStdString());
        profile_->set(settings::EXPORT_SCALE, QString::number(dialog.exportScale()->value()).toStdString());
        for (const auto& doc : documents_.documents()) {
            doc->exportScale = fileUnits(false);
        }
    });
}

// Cloning, and frames exported, imported and pasted as new.
void CFacetoApp::connectFrameCommands() {
    onDocument("cloneSelected", [](CFacetoDoc& doc) { cloneSelected(doc); });
    onDocument("exportFrame", [this](CFacetoDoc& doc) {
        if (doc.currentFrame() == nullptr) {
            return;
        }
        const QString folder = QFileInfo(QString::fromStdString(doc.pathName())).absolutePath();
        const QString suggested = folder + "/" + QString::fromStdString(doc.currentFrame()->name) + ".obj";
        if (auto choice = dialogs_.chooseFileToSave(mainFrame_, {"Wavefront OBJ (*.obj)"}, suggested)) {
            QString path = choice->path;
            if (QFileInfo(path).suffix().compare("obj", Qt::CaseInsensitive) != 0) {
                path += ".obj";
            }
            doc.saveAs(path.toStdString());
        }
    });
    onDocument("importFrame", [this](CFacetoDoc& doc) {
        const QString folder = QFileInfo(QString::fromStdString(doc.pathName())).absolutePath();
        if (auto choice = dialogs_.chooseFileToOpen(mainFrame_, {"Wavefront OBJ (*.obj)"}, folder)) {
            const std::string refused = importFramePose(doc, choice->path.toStdString());
            if (!refused.empty()) {
                dialogs_.message(mainFrame_, QString::fromStdString(refused));
            }
        }
    });
    onDocument("editPasteNewFrame", [this](CFacetoDoc& doc) {
        const std::string refused = pasteAsNewFrame(doc, state_.clipboard);
        if (!refused.empty()) {
            dialogs_.message(mainFrame_, QString::fromStdString(refused));
        }
    });
}

void CFacetoApp::connectViewCommands() {
    for (const auto& [name, mode] : FILL_COMMANDS) {
        onDocument(name, [this, mode = mode](CFacetoDoc& doc) {
            ViewState& view = viewOf(doc);
            view.setCameraSettings(*profile_, mode, view.backColor, view.lightAmbient, view.lightSpot);
            doc.changed({change::VIEW});
            refreshCommandStates();
        });
    }
    onDocument("frontBack", [this](CFacetoDoc& doc) {
        viewOf(doc).drawBackFaces = !viewOf(doc).drawBackFaces;
        doc.changed({change::VIEW});
        refreshCommandStates();
    });
    onDocument("cameraProperties", [this](CFacetoDoc& doc) {
        const ViewState& view = viewOf(doc);
        const CameraPropertiesDialog::Settings current{view.fillMode, view.backColor, view.lightAmbient,
                                                       view.lightSpot};
        CameraPropertiesDialog dialog(
            current, tables_.palette.data(),
            [this, &doc](const auto& s) {
                viewOf(doc).setCameraSettings(*profile_, s.fillMode, s.backColor, s.lightAmbient,
                                              s.lightSpot);
                doc.changed({change::VIEW});
                refreshCommandStates();
            },
            mainFrame_);
        dialogs_.run(dialog);
    });
    on("captureToFile", [this] { captureCameraView(); });
    onDocument("solid2D", [this](CFacetoDoc& doc) {
        viewOf(doc).solid2D = !viewOf(doc).solid2D;
        doc.changed({change::VIEW});
        refreshCommandStates();
    });
    onDocument("vertex2D", [this](CFacetoDoc& doc) {
        viewOf(doc).vertexDots2D = !viewOf(doc).vertexDots2D;
        doc.changed({change::VIEW});
        refreshCommandStates();
    });
    // The 2D view with the keyboard focus is looked at from its usual side or from the other one.
    for (const auto& [name, negative] :
         {std::pair{"positiveDepth", false}, std::pair{"negativeDepth", true}}) {
        onDocument(name, [this, negative = negative](CFacetoDoc& doc) {
            if (C2DView* view = focused2DView(activeFrame())) {
                OrthoViewState& s = viewOf(doc).orthoViews[size_t(view->orientation())];
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
void CFacetoApp::connectPlayerCommands() {
    for (const char* name : {"viewAnimationPlayer", "animationPlayerKey"}) {
        on(name, [this] {
            if (projectManager_) {
                projectManager_->setPlayerShown(!projectManager_->playerShown());
            }
            refreshCommandStates();
        });
    }
    // Play and pause, and a step back or on, work with the player shown or not: stepping shows it.
    on("playerPlayPause", [this] {
        CAnimationPlayer* player = projectManager_->player();
        if (!projectManager_->playerShown()) {
            projectManager_->setPlayerShown(true);
            player->setPaused(false);
        } else {
            player->setPaused(!player->paused());
        }
        refreshCommandStates();
    });
    for (const auto& [name, by] : {std::pair{"playerStepBack", -1}, std::pair{"playerStepOn", 1}}) {
        on(name, [this, by = by] {
            projectManager_->setPlayerShown(true);
            projectManager_->player()->step(by);
            refreshCommandStates();
        });
    }
}

// The panels of the Tools menu, the status bar fields and the settings.
void CFacetoApp::connectPanelCommands() {
    on("toolsFrame", [this] { projectManager_->focusFrameList(); });
    on("toolsGroups", [this] { projectManager_->focusGroupTree(); });
    on("toolsPrimatives",
       [this] { projectManager_->showPage((QWidget*)projectManager_->primitivesPanel()); });
    on("toolsGrid", [this] { projectManager_->showPage((QWidget*)projectManager_->gridPanel()); });
    on("toolsCurrentMode", [this] {
        mainFrame_->modeField()->setVisible(mainFrame_->action("toolsCurrentMode")->isChecked());
        refreshCommandStates();
    });
    on("toolsCurrentAction", [this] {
        mainFrame_->actionField()->setVisible(mainFrame_->action("toolsCurrentAction")->isChecked());
    });
    on("saveSettings", [this] { saveSettings(); });
}

void CFacetoApp::refreshEditingStates() {
    CMainFrame& f = *mainFrame_;
    f.action("toolsSelect")->setChecked(state_.currentTool == TOOL_EDIT);
    f.action("toolsScale")->setChecked(state_.currentTool == TOOL_SCALE);
    f.action("toolsRotate")->setChecked(state_.currentTool == TOOL_ROTATE);
    for (const auto& [name, level] : LEVEL_COMMANDS) {
        f.action(name)->setChecked(state_.editLevel == level);
    }
    f.action("levelSkeleton")->setChecked(state_.skeletonShown);
    f.action("skeletonMode")->setChecked(state_.skeletonShown);
    CChildFrame* frame = activeFrame();
    const CFacetoDoc* doc = frame ? frame->document() : nullptr;
    const ViewState* shown = doc ? &viewOf(*doc) : nullptr;
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
    f.action("viewAnimationPlayer")->setChecked(projectManager_ && projectManager_->playerShown());
    f.showMode(QString("%1 tool, %2 level").arg(toolName(state_.currentTool), levelName(state_.editLevel)));
}

void CFacetoApp::saveSettings() {
    if (CChildFrame* frame = activeFrame()) {
        ViewState& view = viewOf(*frame->document());
        view.setCameraSettings(*profile_, view.fillMode, view.backColor, view.lightAmbient, view.lightSpot);
        for (int axis = 0; axis < 3; ++axis) {
            profile_->set(settings::LOCKS[axis], view.isLocked(axis) ? 1 : 0);
        }
        profile_->set(settings::FRAME_ON_OPEN, view.frameOnOpen);
    }
    storeGameSettings(*profile_);
    storeRecentFiles();
    storeSession();
    profile_->sync();
    const QString file = profile_->settings().fileName();
    if (profile_->settings().status() != QSettings::NoError) {
        dialogs_.message(mainFrame_, "The settings could not be saved.\n" + file);
    } else {
        mainFrame_->statusBar()->showMessage("Settings saved to " + file, 5000);
    }
}

void CFacetoApp::captureCameraView() {
    CChildFrame* frame = activeFrame();
    if (frame == nullptr) {
        return;
    }
    const QImage picture = frame->cameraView()->grab().toImage();
    const QString base = QFileInfo(QString::fromStdString(frame->document()->title())).completeBaseName();
    const QString folder = QString::fromStdString(profile_->get(settings::LAST_FOLDER));
    const QString suggested =
        (folder.isEmpty() ? QString() : folder + "/") + (base.isEmpty() ? "capture" : base) + ".png";
    const auto choice = dialogs_.chooseFileToSave(mainFrame_, {"PNG picture (*.png)"}, suggested);
    if (!choice) {
        return;
    }
    QString path = choice->path;
    if (QFileInfo(path).suffix().isEmpty()) {
        path += ".png";
    }
    if (const Status written = savePicture(picture, path.toStdString(), "PNG"); !written) {
        dialogs_.message(mainFrame_, "The picture could not be saved.\n" + path + ": " +
                                         QString::fromStdString(written.error()));
    } else {
        mainFrame_->statusBar()->showMessage("Saved " + path, 5000);
    }
}

} // namespace faceto
