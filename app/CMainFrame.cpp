#include "app/CMainFrame.h"

#include "app/Icons.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QDockWidget>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMimeData>
#include <QResizeEvent>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>

namespace faceto {

namespace {

constexpr int RECENT_FILES = 12;

} // namespace

CMainFrame::CMainFrame(QWidget* parent) : QMainWindow(parent) {
    setWindowTitle(tr("Faceto"));
    setWindowIcon(QIcon(icons::applicationPicture(64)));
    setAcceptDrops(true);
    mdi_ = new QMdiArea(this);
    mdi_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdi_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(mdi_);
    mdi_->viewport()->installEventFilter(this); // windows are kept inside the area as it shrinks
    createActions();
    createToolBar();
    createStatusBar();

    // The dialog bar at the left edge, which the project manager fills.
    dock_ = new QDockWidget(tr("Project"), this);
    dock_->setObjectName("dialogBar");
    dock_->setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);
    dock_->setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetClosable);
    dock_->setWidget(new QWidget(dock_));
    addDockWidget(Qt::LeftDockWidgetArea, dock_);
    resizeDocks({dock_}, {190}, Qt::Horizontal); // the user widens it as wanted
    connect(dock_, &QDockWidget::visibilityChanged, this,
            [this] { action("viewMainToolBar")->setChecked(dock_->isVisible()); });

    historyDock_ = new QDockWidget(tr("Undo History"), this);
    historyDock_->setObjectName("undoHistory");
    historyDock_->setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);
    addDockWidget(Qt::RightDockWidgetArea, historyDock_);
    historyDock_->hide();
    connect(action("viewUndoHistory"), &QAction::triggered, historyDock_, &QDockWidget::setVisible);
    connect(historyDock_, &QDockWidget::visibilityChanged, this,
            [this] { action("viewUndoHistory")->setChecked(historyDock_->isVisible()); });

    // The skin view at the right, shown at first where the screen leaves room for it beside the
    // document windows (View > Skin View shows it anywhere).
    skinDock_ = new QDockWidget(tr("Skin"), this);
    skinDock_->setObjectName("skinView");
    skinDock_->setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea | Qt::BottomDockWidgetArea);
    addDockWidget(Qt::RightDockWidgetArea, skinDock_);
    resizeDocks({skinDock_}, {340}, Qt::Horizontal);
    // On a narrow screen it shares the project panel's place, behind a tab of its own, rather than take
    // room from the windows.
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr || screen->availableGeometry().width() < 1280) {
        tabifyDockWidget(dock_, skinDock_);
        dock_->raise();
    }
    connect(action("viewSkinView"), &QAction::triggered, skinDock_, &QDockWidget::setVisible);
    connect(skinDock_, &QDockWidget::visibilityChanged, this,
            [this] { action("viewSkinView")->setChecked(skinDock_->isVisible()); });

    qApp->installEventFilter(this); // the key-state indicators follow every key press
    showDocumentMenus(false);
}

CMainFrame::~CMainFrame() {
    // The bars report their hiding while the window is taken down; nothing is left to follow it.
    qApp->removeEventFilter(this);
    dock_->disconnect(this);
    historyDock_->disconnect(this);
    skinDock_->disconnect(this);
    toolBar_->disconnect(this);
    for (QAction* a : actions_) {
        a->disconnect(this);
    }
}

QAction* CMainFrame::action(const QString& name) const {
    return actions_.value(name, nullptr);
}

QAction* CMainFrame::add(const QString& name, const char* text, const char* promptAndTip,
                         const QKeySequence& key, const QString& icon) {
    auto* a = new QAction(tr(text), this);
    a->setObjectName(name);
    if (promptAndTip != nullptr && *promptAndTip != '\0') {
        // "status bar prompt\ntooltip", as the program's string table holds them.
        const QStringList parts = tr(promptAndTip).split('\n');
        a->setStatusTip(parts.value(0));
        a->setToolTip(parts.size() > 1 ? parts[1] : parts[0]);
    }
    if (!key.isEmpty()) {
        a->setShortcut(key); // active while the main window is: a full-screen preview gets its own keys
    }
    if (!icon.isEmpty()) {
        a->setIcon(icons::make(icon));
    }
    actions_.insert(name, a);
    addAction(a); // keys work whatever menu bar is shown
    return a;
}

namespace {

// The desktop's keys for a standard command, with `fallback` among them (some platforms give none).
QList<QKeySequence> standardKeys(QKeySequence::StandardKey key, const char* fallback) {
    QList<QKeySequence> keys = QKeySequence::keyBindings(key);
    if (!keys.contains(QKeySequence(fallback))) {
        keys << QKeySequence(fallback);
    }
    return keys;
}

} // namespace

void CMainFrame::createActions() {
    add("fileNew", QT_TR_NOOP("&New"), QT_TR_NOOP("Create a new document\nNew"), QKeySequence("Ctrl+N"),
        "new");
    add("fileOpen", QT_TR_NOOP("&Open..."), QT_TR_NOOP("Open an existing document\nOpen"),
        QKeySequence("Ctrl+O"), "open");
    add("fileClose", QT_TR_NOOP("&Close"), QT_TR_NOOP("Close the active document\nClose"))
        ->setShortcuts(standardKeys(QKeySequence::Close, "Ctrl+W"));
    add("fileSave", QT_TR_NOOP("&Save"), QT_TR_NOOP("Save the active document\nSave"), QKeySequence("Ctrl+S"),
        "save");
    add("fileSaveAs", QT_TR_NOOP("Save &As..."),
        QT_TR_NOOP("Save the active document with a new name\nSave As"))
        ->setShortcuts(standardKeys(QKeySequence::SaveAs, "Ctrl+Shift+S"));
    add("gameSetup", QT_TR_NOOP("Game Setup"), QT_TR_NOOP("Set Game information."));
    add("saveSettings", QT_TR_NOOP("Save Settings"),
        QT_TR_NOOP("Write every setting to the settings file now\nSave Settings"));
    add("exportFrame", QT_TR_NOOP("&Export Frame"),
        QT_TR_NOOP("Save the current frame as a Wavefront OBJ file\nExport Frame"));
    add("importFrame", QT_TR_NOOP("&Import Frame"),
        QT_TR_NOOP("Put a pose from an OBJ file into the current frame\nImport Frame"));
    add("exportSkin", QT_TR_NOOP("Export Skin"),
        QT_TR_NOOP(
            "Save the current skin as a PCX or PNG picture, with its skin map on request\nExport Skin"));
    add("importSkin", QT_TR_NOOP("Import Skin"),
        QT_TR_NOOP("Replace the current skin with a picture, or add it as a new skin\nImport Skin"));
    add("newSkin", QT_TR_NOOP("New Skin"), QT_TR_NOOP("Add an empty skin of a chosen size\nNew Skin"));
    add("deleteSkin", QT_TR_NOOP("Delete Skin"), QT_TR_NOOP("Delete the current skin\nDelete Skin"));
    add("groupSkins", QT_TR_NOOP("Group Skins..."),
        QT_TR_NOOP("Make a run of skins one animated skin, each picture shown for its time\nGroup Skins"));
    add("ungroupSkins", QT_TR_NOOP("Ungroup Skins"),
        QT_TR_NOOP("Break the current skin's group up into single skins\nUngroup Skins"));
    add("resizeSkin", QT_TR_NOOP("Resize Skin"),
        QT_TR_NOOP("Stretch the current skin to another size, with its skin coordinates\nResize Skin"));
    add("generateSkinMap", QT_TR_NOOP("Generate SkinMap"),
        QT_TR_NOOP("Map the current frame seen from the front onto the skin: front faces left, back faces "
                   "right\nGenerate SkinMap"));
    add("printSetup", QT_TR_NOOP("P&rint Setup..."),
        QT_TR_NOOP("Change the printer and printing options\nPage Setup"));
    add("filePrint", QT_TR_NOOP("&Print..."),
        QT_TR_NOOP("Print the active window's four views on one page\nPrint"))
        ->setShortcuts(standardKeys(QKeySequence::Print, "Ctrl+P"));
    add("filePrintPreview", QT_TR_NOOP("Print Pre&view..."),
        QT_TR_NOOP("Show the page as it would be printed\nPrint Preview"));
    add("fileExit", QT_TR_NOOP("E&xit"), QT_TR_NOOP("Quit the application; prompts to save documents\nExit"))
        ->setShortcuts(standardKeys(QKeySequence::Quit, "Ctrl+Q"));
    createEditActions();
    createToolActions();
    create2DViewActions();
    createToolAndLevelActions();
    createWindowActions();
}

// The Edit menu.
void CMainFrame::createEditActions() {
    add("editUndo", QT_TR_NOOP("&Undo"), QT_TR_NOOP("Undo the last action\nUndo"), QKeySequence("Ctrl+Z"),
        "undo")
        ->setEnabled(false);
    add("editRedo", QT_TR_NOOP("&Redo"), QT_TR_NOOP("Redo the action undone last\nRedo"),
        QKeySequence("Ctrl+Y"), "redo")
        ->setEnabled(false);
    action("editRedo")->setShortcuts({QKeySequence("Ctrl+Y"), QKeySequence("Ctrl+Shift+Z")});
    add("viewUndoHistory", QT_TR_NOOP("Undo &History"),
        QT_TR_NOOP("Show or hide the list of the steps that can be undone\nUndo History"))
        ->setCheckable(true);
    add("viewSkinView", QT_TR_NOOP("&Skin View"),
        QT_TR_NOOP("Show or hide the skin with its skin map\nSkin View"))
        ->setCheckable(true);
    add("editCut", QT_TR_NOOP("Cu&t"), QT_TR_NOOP("Cut the selection and put it on the Clipboard\nCut"),
        QKeySequence("Ctrl+X"), "cut");
    add("editCopy", QT_TR_NOOP("&Copy"), QT_TR_NOOP("Copy the selection and put it on the Clipboard\nCopy"),
        QKeySequence("Ctrl+C"), "copy");
    add("editPasteInto", QT_TR_NOOP("&Paste Into"), QT_TR_NOOP("Insert Clipboard contents\nPaste"),
        QKeySequence("Ctrl+V"), "paste");
    add("editPasteNewFrame", QT_TR_NOOP("&Paste as New Frame"),
        QT_TR_NOOP("Add the frame on the clipboard after the current frame\nPaste as New Frame"),
        QKeySequence("Ctrl+B"));
    add("selectAll", QT_TR_NOOP("Select &All"), QT_TR_NOOP("Select every visible vertex\nSelect All"),
        QKeySequence("Shift+C"));
    add("selectNone", QT_TR_NOOP("Select &None"), QT_TR_NOOP("Deselect every visible vertex\nSelect None"),
        QKeySequence("C"));
    add("invertSelection", QT_TR_NOOP("Invert Selection"),
        QT_TR_NOOP("Select the visible vertices that are not selected, and only them\nInvert Selection"),
        QKeySequence("I"));
    add("hideSelected", QT_TR_NOOP("Hide Selected"), QT_TR_NOOP("Hide All Selected Data\nHide Selected"),
        QKeySequence("H"));
    add("showAll", QT_TR_NOOP("Show All"), QT_TR_NOOP("Show All Data\nShow All"), QKeySequence("Shift+H"));
    add("cloneSelected", QT_TR_NOOP("Clone Selected"),
        QT_TR_NOOP("Clone Completely Selected Triangles\nClone Selected Triangles"), QKeySequence("Ctrl+D"));
    add("deleteTris", QT_TR_NOOP("Delete Selected Tris"),
        QT_TR_NOOP("Delete Completely Selected Triangles\nDelete Selected Triangles"),
        QKeySequence(Qt::Key_Delete));
    add("flipTris", QT_TR_NOOP("Flip Selected Tris"),
        QT_TR_NOOP("Flip Completely Selected Triangles\nFlip Selected Triangles"), QKeySequence("Ctrl+F"));
    add("transformModel", QT_TR_NOOP("&Transform..."),
        QT_TR_NOOP("Scale, turn and move the whole model, every frame alike\nTransform"),
        QKeySequence("Ctrl+T"));
    add("modelProperties", QT_TR_NOOP("Model &Properties..."),
        QT_TR_NOOP(
            "The Quake flags, sync type and eye position, and the Quake 2 skin names\nModel Properties"));
    add("mirrorX", QT_TR_NOOP("Mirror &X"),
        QT_TR_NOOP("Mirror the whole model front to back, every frame alike\nMirror X"));
    add("mirrorY", QT_TR_NOOP("Mirror &Y"),
        QT_TR_NOOP("Mirror the whole model left to right, every frame alike\nMirror Y"));
    add("mirrorZ", QT_TR_NOOP("Mirror &Z"),
        QT_TR_NOOP("Mirror the whole model top to bottom, every frame alike\nMirror Z"));
    add("centreOnOrigin", QT_TR_NOOP("&Centre on Origin"),
        QT_TR_NOOP("Move the whole model so that its middle is at the origin\nCentre on Origin"));
    add("interpolateFrames", QT_TR_NOOP("&Interpolate..."),
        QT_TR_NOOP("Make frames between the current frame and the next one, evenly spaced\nInterpolate"));
    add("groupFrames", QT_TR_NOOP("&Group Frames..."),
        QT_TR_NOOP("Make a run of frames one frame group, played at its intervals\nGroup Frames"));
    add("ungroupFrames", QT_TR_NOOP("U&ngroup Frames"),
        QT_TR_NOOP("Break the current frame's group up into single frames\nUngroup Frames"));
    add("moveFrameUp", QT_TR_NOOP("Move Frame &Up"),
        QT_TR_NOOP("Move the current frame up the frame list\nMove Frame Up"), QKeySequence("Alt+Up"));
    add("moveFrameDown", QT_TR_NOOP("Move Frame &Down"),
        QT_TR_NOOP("Move the current frame down the frame list\nMove Frame Down"), QKeySequence("Alt+Down"));
    add("moveAnimationUp", QT_TR_NOOP("Move &Animation Up"),
        QT_TR_NOOP("Move the current animation's frames before the animation above it\nMove Animation Up"));
    add("moveAnimationDown", QT_TR_NOOP("Move A&nimation Down"),
        QT_TR_NOOP("Move the current animation's frames after the animation below it\nMove Animation Down"));
    add("fileUnits", QT_TR_NOOP("glTF and OBJ Units..."),
        QT_TR_NOOP("How large a unit of a glTF or OBJ file is in model units, on opening and saving\nUnits"));
}

// The locks, the bars and the panels.
void CMainFrame::createToolActions() {
    add("lockX", QT_TR_NOOP("X Lock"), QT_TR_NOOP("Lock the X axis\nX Lock"), QKeySequence("X"), "xlock")
        ->setCheckable(true);
    add("lockY", QT_TR_NOOP("Y Lock"), QT_TR_NOOP("Lock the Y axis\nY Lock"), QKeySequence("Y"), "ylock")
        ->setCheckable(true);
    add("lockZ", QT_TR_NOOP("Z Lock"), QT_TR_NOOP("Lock the Z axis\nZ Lock"), QKeySequence("Z"), "zlock")
        ->setCheckable(true);

    QAction* toolbar =
        add("viewToolbar", QT_TR_NOOP("&Toolbar"), QT_TR_NOOP("Show or hide the toolbar\nToggle ToolBar"));
    toolbar->setCheckable(true);
    QAction* status = add("viewStatusBar", QT_TR_NOOP("&Status Bar"),
                          QT_TR_NOOP("Show or hide the status bar\nToggle StatusBar"));
    status->setCheckable(true);
    add("viewMainToolBar", QT_TR_NOOP("Main ToolBar"),
        QT_TR_NOOP("Show or hide the project panel\nMain ToolBar"))
        ->setCheckable(true);
    add("toolsFrame", QT_TR_NOOP("Frame"), QT_TR_NOOP("Show the frame list of the project panel\nFrame"));
    add("toolsGroups", QT_TR_NOOP("Groups"), QT_TR_NOOP("Show the group list of the project panel\nGroups"));
    add("toolsPrimatives", QT_TR_NOOP("Primitives"), QT_TR_NOOP("Show the primitives panel\nPrimitives"));
    add("toolsCurrentMode", QT_TR_NOOP("Current Mode"),
        QT_TR_NOOP("Show the tool and the editing level in the status bar\nCurrent Mode"))
        ->setCheckable(true);
    add("toolsCurrentAction", QT_TR_NOOP("Current Action"),
        QT_TR_NOOP("Show what a drag is doing in the status bar\nCurrent Action"))
        ->setCheckable(true);
    add("toolsGrid", QT_TR_NOOP("Grid"), QT_TR_NOOP("Show the grid panel\nGrid"));
    add("viewAnimationPlayer", QT_TR_NOOP("Animation Player"),
        QT_TR_NOOP("Show or hide the animation player\nAnimation Player"))
        ->setCheckable(true);
    add("animationPlayerKey", QT_TR_NOOP("Animation Player"),
        QT_TR_NOOP("Show or hide the animation player\nAnimation Player"), QKeySequence(Qt::Key_F5));
    add("playerPlayPause", QT_TR_NOOP("&Play/Pause"),
        QT_TR_NOOP("Play the current animation or pause it\nPlay/Pause"),
        QKeySequence(Qt::CTRL | Qt::Key_Space));
    add("playerStepBack", QT_TR_NOOP("Step &Back"),
        QT_TR_NOOP("Show the frame before in the animation player\nStep Back"),
        QKeySequence(Qt::Key_BracketLeft));
    add("playerStepOn", QT_TR_NOOP("Step &On"),
        QT_TR_NOOP("Show the next frame in the animation player\nStep On"),
        QKeySequence(Qt::Key_BracketRight));
    add("resetCamera", QT_TR_NOOP("&Reset Camera"),
        QT_TR_NOOP("Put the camera back where it started\nReset Camera"), QKeySequence("R"));
    add("frameAll", QT_TR_NOOP("Frame All"),
        QT_TR_NOOP("Show the whole model in every view of the window\nFrame All"),
        QKeySequence(Qt::Key_Home));
    add("frameSelected", QT_TR_NOOP("Frame Selected"),
        QT_TR_NOOP("Show the selected vertices in every view of the window\nFrame Selected"),
        QKeySequence(Qt::SHIFT | Qt::Key_Home));
    fillGroup_ = new QActionGroup(this);
    fillGroup_->setExclusive(true);
    for (QAction* a :
         {add("noRendering", QT_TR_NOOP("&No Rendering"),
              QT_TR_NOOP("Draw nothing in the camera view\nNo Rendering"), QKeySequence("Shift+1")),
          add("wireframe", QT_TR_NOOP("&Wireframe"), QT_TR_NOOP("Draw the edges of the triangles\nWireframe"),
              QKeySequence("W")),
          add("vertexRendering", QT_TR_NOOP("&Vertex"), QT_TR_NOOP("Draw the vertices as dots\nVertex"),
              QKeySequence("V")),
          add("flatShading", QT_TR_NOOP("Flat &Shading"),
              QT_TR_NOOP("Fill each triangle in one light\nFlat Shading"), QKeySequence("Shift+2")),
          add("gouraudShading", QT_TR_NOOP("&Gouraud Shading"),
              QT_TR_NOOP("Light the triangles smoothly across\nGouraud Shading"), QKeySequence("Shift+3")),
          add("textureMapped", QT_TR_NOOP("Texture &Mapped"),
              QT_TR_NOOP("Paint the triangles with the skin\nTexture Mapped"), QKeySequence("Shift+4")),
          add("texturedShaded", QT_TR_NOOP("&Textured and Shaded"),
              QT_TR_NOOP("Paint the triangles with the skin, lit\nTextured and Shaded"),
              QKeySequence("Shift+5"))}) {
        a->setCheckable(true);
        fillGroup_->addAction(a);
    }
    add("frontBack", QT_TR_NOOP("&Front/Back"),
        QT_TR_NOOP("Draw the triangles that face away too\nFront/Back"), QKeySequence("F"))
        ->setCheckable(true);
    add("captureToFile", QT_TR_NOOP("&Capture to File"),
        QT_TR_NOOP("Save the camera view as a picture\nCapture to File"), QKeySequence(Qt::Key_F12));
}

// The switches of the 2D views.
void CMainFrame::create2DViewActions() {
    add("solid2D", QT_TR_NOOP("&Solid"), QT_TR_NOOP("Fill the triangles in the 2D views\nSolid"),
        QKeySequence("S"))
        ->setCheckable(true);
    add("vertex2D", QT_TR_NOOP("&Vertex"), QT_TR_NOOP("Draw the vertices in the 2D views\nVertex"),
        QKeySequence("Shift+V"))
        ->setCheckable(true);
    auto* depth = new QActionGroup(this);
    for (QAction* a : {add("positiveDepth", QT_TR_NOOP("Positive Depth"),
                           QT_TR_NOOP("Look at the 2D view from its usual side\nPositive Depth")),
                       add("negativeDepth", QT_TR_NOOP("Negative Depth"),
                           QT_TR_NOOP("Look at the 2D view from the other side\nNegative Depth"))}) {
        a->setCheckable(true);
        depth->addAction(a);
    }
    action("positiveDepth")->setChecked(true);

    add("toolsSelect", QT_TR_NOOP("&Select"), QT_TR_NOOP("Select and move vertices\nSelect"))
        ->setCheckable(true);
    add("toolMoveZoom", QT_TR_NOOP("&Move/Zoom"), QT_TR_NOOP("Move and Zoom view\nMove + Zoom"),
        QKeySequence("M"), "movezoom")
        ->setCheckable(true);
    add("toolsScale", QT_TR_NOOP("&Scale"), QT_TR_NOOP("Scale Selected\nScale"))->setCheckable(true);
    add("toolsRotate", QT_TR_NOOP("&Rotate"), QT_TR_NOOP("Rotate Selected\nRotate"))->setCheckable(true);
}

// The tools and the editing levels.
void CMainFrame::createToolAndLevelActions() {
    add("toolEdit", QT_TR_NOOP("Edit"), QT_TR_NOOP("Edit\nEdit"), {}, "edit")->setCheckable(true);
    add("toolScale", QT_TR_NOOP("Scale"), QT_TR_NOOP("Scale Selected\nScale"), {}, "scale")
        ->setCheckable(true);
    add("toolRotate", QT_TR_NOOP("Rotate"), QT_TR_NOOP("Rotate Selected\nRotate"), {}, "rotate")
        ->setCheckable(true);

    levelGroup_ = new QActionGroup(this);
    levelGroup_->setExclusive(true);
    for (QAction* a :
         {add("levelGroup", QT_TR_NOOP("Group"), QT_TR_NOOP("Group Level Editing\nEdit Groups"),
              QKeySequence("Alt+2"), "group"),
          add("levelTriangle", QT_TR_NOOP("Triangle"), QT_TR_NOOP("Triangle Level Editing\nEdit Triangles"),
              QKeySequence("Alt+3"), "triangle"),
          add("levelVertex", QT_TR_NOOP("Vertex"), QT_TR_NOOP("Vertex Level Editing\nEdit Vertices"),
              QKeySequence("Alt+4"), "vertex")}) {
        a->setCheckable(true);
        levelGroup_->addAction(a);
    }
    QAction* object = add("levelObject", QT_TR_NOOP("Object"),
                          QT_TR_NOOP("Object Level Editing\nEdit Objects"), QKeySequence("Alt+1"));
    object->setCheckable(true);
    levelGroup_->addAction(object);
    action("levelVertex")->setChecked(true);
    add("levelSkeleton", QT_TR_NOOP("Skeleton"),
        QT_TR_NOOP("Show or hide the hierarchy of a Jedi Knight model\nSkeleton"), QKeySequence("Alt+5"))
        ->setCheckable(true);
    add("skeletonMode", QT_TR_NOOP("Skeleton"), QT_TR_NOOP("Skeleton Mode\nSkeleton"), QKeySequence("P"),
        "skeleton")
        ->setCheckable(true);
    add("grids", QT_TR_NOOP("Grids"), QT_TR_NOOP("Toggle grids\nGrids"), {}, "grids")->setCheckable(true);
    add("cameraProperties", QT_TR_NOOP("Camera Properties"),
        QT_TR_NOOP("Display camera properties dialog\nCamera Properties"), {}, "camera");
    add("resizeViewsEqually", QT_TR_NOOP("Resize Views Equally"),
        QT_TR_NOOP("Resize all four views equally\nResize Views Equally"), {}, "resize");
    add("unnamed1", QT_TR_NOOP(""), {}, {}, "blank")->setEnabled(false);
    add("unnamed2", QT_TR_NOOP(""), {}, {}, "blank")->setEnabled(false);
    add("escape", QT_TR_NOOP("Escape"), QT_TR_NOOP(""), QKeySequence(Qt::Key_Escape));
}

// The Window and Help menus.
void CMainFrame::createWindowActions() {
    add("windowNew", QT_TR_NOOP("&New Window"),
        QT_TR_NOOP("Open another window for the active document\nNew Window"));
    add("windowCascade", QT_TR_NOOP("&Cascade"),
        QT_TR_NOOP("Arrange windows so they overlap\nCascade Windows"));
    add("windowTile", QT_TR_NOOP("&Tile"),
        QT_TR_NOOP("Arrange windows as non-overlapping tiles\nTile Windows"));
    add("windowNext", QT_TR_NOOP("Ne&xt Window"),
        QT_TR_NOOP("Activate the next document window\nNext Window"), QKeySequence(Qt::CTRL | Qt::Key_Tab));
    add("windowPrevious", QT_TR_NOOP("Pre&vious Window"),
        QT_TR_NOOP("Activate the previous document window\nPrevious Window"),
        QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab));
    // Shift+Tab arrives as Backtab; the menu shows the first, the keys people press.
    action("windowPrevious")
        ->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab),
                        QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab)});
    add("helpAbout", QT_TR_NOOP("&About Faceto..."),
        QT_TR_NOOP("Display program information, version number and copyright\nAbout"));
    add("helpHomepage", QT_TR_NOOP("&Faceto Homepage"),
        QT_TR_NOOP("Open the program's web page in the browser\nHomepage"));
    add("helpGettingStarted", QT_TR_NOOP("&Getting Started"),
        QT_TR_NOOP("A short guide to the editor\nGetting Started"), QKeySequence(Qt::Key_F1));
    add("helpTopics", QT_TR_NOOP("&Help Topics"),
        QT_TR_NOOP("List the keys and mouse gestures of the views\nHelp"));
    add("helpContext", QT_TR_NOOP("Help"), QT_TR_NOOP("Display help for the views\nHelp"),
        QKeySequence("Shift+F1"));
}

void CMainFrame::createToolBar() {
    toolBar_ = addToolBar(tr("Toolbar"));
    toolBar_->setObjectName("mainToolBar");
    toolBar_->setIconSize(QSize(16, 16));
    const QStringList layout{"fileNew",
                             "fileOpen",
                             "fileSave",
                             "|",
                             "editCut",
                             "editCopy",
                             "editPasteInto",
                             "|",
                             "toolEdit",
                             "toolMoveZoom",
                             "toolScale",
                             "toolRotate",
                             "|",
                             "levelGroup",
                             "levelTriangle",
                             "levelVertex",
                             "skeletonMode",
                             "|",
                             "lockX",
                             "lockY",
                             "lockZ",
                             "unnamed1",
                             "grids",
                             "|",
                             "cameraProperties",
                             "resizeViewsEqually",
                             "|",
                             "unnamed2",
                             "|",
                             "editUndo",
                             "editRedo"};
    for (const QString& name : layout) {
        if (name == "|") {
            toolBar_->addSeparator();
        } else {
            toolBar_->addAction(action(name));
            if (action(name)->text().isEmpty()) {
                toolBar_->widgetForAction(action(name))
                    ->setAccessibleName(tr("Blank")); // a spacer of the bar
            }
        }
    }
    action("viewToolbar")->setChecked(true);
    connect(action("viewToolbar"), &QAction::toggled, toolBar_, &QToolBar::setVisible);
    connect(toolBar_, &QToolBar::visibilityChanged, action("viewToolbar"), &QAction::setChecked);
}

void CMainFrame::createStatusBar() {
    mode_ = new QLabel(this);
    mode_->setObjectName("currentMode");
    mode_->hide();
    statusBar()->addPermanentWidget(mode_);
    action_ = new QLabel(this);
    action_->setObjectName("currentAction");
    action_->hide();
    statusBar()->addPermanentWidget(action_);
    pointer_ = new QLabel(this);
    pointer_->setObjectName("pointerPosition");
    pointer_->setMinimumWidth(150);
    statusBar()->addPermanentWidget(pointer_);
    limits_ = new QLabel(this);
    limits_->setObjectName("engineLimits");
    limits_->setStyleSheet("color: #b00000");
    statusBar()->addPermanentWidget(limits_);
    selection_ = new QLabel(this);
    selection_->setObjectName("selectionCount");
    statusBar()->addPermanentWidget(selection_);
    const char* names[3] = {"CAP", "NUM", "SCRL"};
    for (int i = 0; i < 3; ++i) {
        indicators_[i] = new QLabel(names[i], this);
        indicators_[i]->setEnabled(false);
        indicators_[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        statusBar()->addPermanentWidget(indicators_[i]);
    }
    statusBar()->showMessage(tr("Ready"));
    action("viewStatusBar")->setChecked(true);
    connect(action("viewStatusBar"), &QAction::toggled, statusBar(), &QStatusBar::setVisible);
}

QMenu* CMainFrame::fileMenu(bool documentsOpen) {
    auto* file = new QMenu(tr("&File"), this);
    file->addAction(action("fileNew"));
    file->addAction(action("fileOpen"));
    if (documentsOpen) {
        file->addAction(action("fileClose"));
        file->addAction(action("fileSave"));
        file->addAction(action("fileSaveAs"));
    }
    file->addSeparator();
    QMenu* settingsMenu = file->addMenu(tr("Settings..."));
    settingsMenu->addAction(action("gameSetup"));
    settingsMenu->addAction(action("fileUnits"));
    settingsMenu->addAction(action("saveSettings"));
    if (documentsOpen) {
        file->addSeparator();
        file->addAction(action("exportFrame"));
        file->addAction(action("importFrame"));
        file->addAction(action("exportSkin"));
        file->addAction(action("importSkin"));
        file->addSeparator();
        file->addAction(action("filePrint"));
        file->addAction(action("filePrintPreview"));
        file->addAction(action("printSetup"));
    } else {
        file->addSeparator();
        file->addAction(action("printSetup"));
    }
    file->addSeparator();
    fillRecentFiles(file);
    file->addSeparator();
    file->addAction(action("fileExit"));
    return file;
}

// The names the recent list shows: a file's name, and where two files have the same name, as many of the
// folders above it as tell them apart ("sydney.md2 (models/a)").
QStringList CMainFrame::recentFileLabels(const QStringList& paths) {
    std::vector<QStringList> parts; // each path's folders, then its name
    for (const QString& path : paths) {
        parts.push_back(QDir::fromNativeSeparators(path).split('/', Qt::SkipEmptyParts));
    }
    // The last `depth` folders of path i, or fewer when it has fewer.
    const auto folders = [&](size_t i, qsizetype depth) {
        const QStringList& p = parts[i];
        const qsizetype count = std::min(depth, p.size() - 1);
        return p.mid(p.size() - 1 - count, count).join('/');
    };
    QStringList labels;
    for (size_t i = 0; i < parts.size(); ++i) {
        const QString name = parts[i].value(parts[i].size() - 1);
        std::vector<size_t> namesakes;
        for (size_t j = 0; j < parts.size(); ++j) {
            if (j != i && parts[j].value(parts[j].size() - 1) == name) {
                namesakes.push_back(j);
            }
        }
        if (namesakes.empty()) {
            labels << name;
            continue;
        }
        // The fewest folders that set this path apart from every other of its name.
        qsizetype depth = 1;
        while (depth < parts[i].size() - 1 && std::any_of(namesakes.begin(), namesakes.end(), [&](size_t j) {
                   return folders(j, depth) == folders(i, depth);
               })) {
            ++depth;
        }
        labels << name + " (" + folders(i, depth) + ")";
    }
    return labels;
}

void CMainFrame::fillRecentFiles(QMenu* menu) {
    if (recentFiles_.isEmpty()) {
        menu->addAction(tr("Recent File"))->setEnabled(false);
        return;
    }
    const QStringList labels = recentFileLabels(recentFiles_.mid(0, RECENT_FILES));
    for (int i = 0; i < recentFiles_.size() && i < RECENT_FILES; ++i) {
        const QString path = recentFiles_[i];
        QAction* a = menu->addAction(QString("&%1 %2").arg(i + 1).arg(labels[i]));
        a->setStatusTip(path);
        a->setObjectName("recentFile");
        connect(a, &QAction::triggered, this, [this, path] { emit recentFileChosen(path); });
    }
}

// Adds the named commands to a menu; "|" stands for a separator.
void CMainFrame::addCommands(QMenu* menu, std::initializer_list<const char*> names) {
    for (const char* name : names) {
        if (QString(name) == "|") {
            menu->addSeparator();
        } else {
            menu->addAction(action(name));
        }
    }
}

void CMainFrame::showDocumentMenus(bool documentsOpen) {
    documentMenus_ = documentsOpen;
    QMenuBar* bar = menuBar();
    bar->clear();
    bar->addMenu(fileMenu(documentsOpen));
    if (documentsOpen) {
        addCommands(bar->addMenu(tr("&Edit")), {"editUndo",
                                                "editRedo",
                                                "|",
                                                "editCut",
                                                "editCopy",
                                                "editPasteInto",
                                                "editPasteNewFrame",
                                                "|",
                                                "selectAll",
                                                "selectNone",
                                                "invertSelection",
                                                "|",
                                                "hideSelected",
                                                "showAll",
                                                "|",
                                                "cloneSelected",
                                                "deleteTris",
                                                "flipTris",
                                                "|",
                                                "transformModel",
                                                "modelProperties",
                                                "mirrorX",
                                                "mirrorY",
                                                "mirrorZ",
                                                "centreOnOrigin",
                                                "|",
                                                "lockX",
                                                "lockY",
                                                "lockZ"});
    }
    QMenu* view = bar->addMenu(tr("&View"));
    addCommands(view, {"viewToolbar", "viewStatusBar"});
    if (documentsOpen) {
        addCommands(view, {"viewMainToolBar", "viewUndoHistory", "viewSkinView"});
        addCommands(view->addMenu(tr("Tools...")), {"toolsFrame", "toolsGroups", "toolsPrimatives",
                                                    "toolsCurrentMode", "toolsCurrentAction", "toolsGrid"});
        addCommands(view, {"viewAnimationPlayer"});
        addCommands(view->addMenu(tr("Player")), {"playerPlayPause", "playerStepBack", "playerStepOn"});
        addCommands(view, {"|", "frameAll", "frameSelected", "|"});
        addCommands(view->addMenu(tr("3D View")),
                    {"resetCamera", "noRendering", "wireframe", "vertexRendering", "frontBack", "flatShading",
                     "gouraudShading", "textureMapped", "texturedShaded", "captureToFile"});
        addCommands(view->addMenu(tr("2D View")), {"solid2D", "vertex2D", "positiveDepth", "negativeDepth"});
        addCommands(bar->addMenu(tr("F&rame")), {"interpolateFrames", "|", "moveFrameUp", "moveFrameDown",
                                                 "moveAnimationUp", "moveAnimationDown", "|", "groupFrames",
                                                 "ungroupFrames", "|", "groupSkins", "ungroupSkins"});
        QMenu* tools = bar->addMenu(tr("&Tools"));
        addCommands(tools, {"toolsSelect", "toolMoveZoom", "toolsScale", "toolsRotate"});
        addCommands(tools->addMenu(tr("Editing Level")),
                    {"levelGroup", "levelTriangle", "levelVertex", "levelSkeleton"});
        QMenu* windows = bar->addMenu(tr("&Window"));
        addCommands(windows,
                    {"windowNew", "windowCascade", "windowTile", "|", "windowNext", "windowPrevious"});
        connect(windows, &QMenu::aboutToShow, this, [this, windows] { listWindows(windows); });
        listWindows(windows);
    }
    addCommands(bar->addMenu(tr("&Help")),
                {"helpGettingStarted", "helpTopics", "|", "helpAbout", "helpHomepage"});
}

QMenu* CMainFrame::menu(const QString& title) const {
    for (QAction* a : menuBar()->actions()) {
        if (a->menu() && (a->text() == title || a->text().remove('&') == title)) {
            return a->menu();
        }
    }
    return nullptr;
}

// The document windows at the end of the Window menu, the active one checked.
void CMainFrame::listWindows(QMenu* menu) {
    for (QAction* a : menu->actions()) {
        if (a->objectName() == "windowEntry" || a->objectName() == "windowSeparator") {
            menu->removeAction(a);
            a->deleteLater();
        }
    }
    const QList<QMdiSubWindow*> windows = mdi_->subWindowList();
    if (windows.isEmpty()) {
        return;
    }
    menu->addSeparator()->setObjectName("windowSeparator");
    for (int i = 0; i < windows.size(); ++i) {
        QMdiSubWindow* window = windows[i];
        QString title = window->windowTitle();
        title.replace("[*]", window->isWindowModified() ? "*" : "");
        QAction* a = menu->addAction(QString("&%1 %2").arg(i + 1).arg(title));
        a->setObjectName("windowEntry");
        a->setCheckable(true);
        a->setChecked(window == mdi_->activeSubWindow());
        connect(a, &QAction::triggered, this, [this, window] { mdi_->setActiveSubWindow(window); });
    }
}

void CMainFrame::setRecentFiles(const QStringList& paths) {
    recentFiles_ = paths;
    showDocumentMenus(documentMenus_);
}

void CMainFrame::setDialogBarContent(QWidget* widget) {
    QWidget* old = dock_->widget();
    dock_->setWidget(widget);
    if (old && old != widget) {
        old->deleteLater();
    }
}

void CMainFrame::setHistoryContent(QWidget* widget) {
    historyDock_->setWidget(widget);
}

void CMainFrame::setSkinContent(QWidget* widget) {
    skinDock_->setWidget(widget);
}

void CMainFrame::showPointer(const QString& text) {
    pointer_->setText(text);
}

void CMainFrame::showLimits(const QStringList& notes) {
    limits_->setText(notes.isEmpty()     ? QString()
                     : notes.size() == 1 ? notes.front()
                                         : tr("%1 (and %2 more)").arg(notes.front()).arg(notes.size() - 1));
    limits_->setToolTip(notes.join('\n'));
}

void CMainFrame::showSelection(const QString& text) {
    selection_->setText(text);
}

void CMainFrame::showMode(const QString& text) {
    mode_->setText(text);
}

void CMainFrame::showAction(const QString& text) {
    action_->setText(text);
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) {
        event->acceptProposedAction();
    }
}

void CMainFrame::dropEvent(QDropEvent* event) {
    QStringList paths;
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile()) {
            paths << url.toLocalFile();
        }
    }
    if (!paths.isEmpty()) {
        event->acceptProposedAction();
        emit filesDropped(paths);
    }
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    bool accept = true;
    emit closing(&accept);
    if (accept) {
        event->accept();
    } else {
        event->ignore();
    }
}

// When the area gets smaller (a dock shown, the main window made smaller), a window that would now reach
// past it is moved back in and, if it must, made smaller: none ends up behind a scroll bar.
void CMainFrame::keepWindowsInside() {
    const QSize room = mdi_->viewport()->size();
    for (QMdiSubWindow* window : mdi_->subWindowList()) {
        if (window->isMinimized() || window->isMaximized() || room.width() < 100 || room.height() < 100) {
            continue;
        }
        QRect place = window->geometry();
        place.setWidth(std::min(place.width(), room.width()));
        place.setHeight(std::min(place.height(), room.height()));
        place.moveLeft(std::clamp(place.left(), 0, room.width() - place.width()));
        place.moveTop(std::clamp(place.top(), 0, room.height() - place.height()));
        if (place != window->geometry()) {
            window->setGeometry(place);
        }
    }
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event) {
    if (watched == mdi_->viewport() && event->type() == QEvent::Resize) {
        const auto* resize = static_cast<QResizeEvent*>(event);
        if (resize->size().width() < resize->oldSize().width() ||
            resize->size().height() < resize->oldSize().height()) {
            keepWindowsInside();
        }
    }
    // A key event travels up to the parents of its receiver; count it once.
    if (event->type() == QEvent::KeyPress && event != lastKeyEvent_) {
        lastKeyEvent_ = event;
        const int key = static_cast<QKeyEvent*>(event)->key();
        const int index = key == Qt::Key_CapsLock     ? 0
                          : key == Qt::Key_NumLock    ? 1
                          : key == Qt::Key_ScrollLock ? 2
                                                      : -1;
        if (index >= 0 && !static_cast<QKeyEvent*>(event)->isAutoRepeat()) {
            locks_[index] = !locks_[index];
            indicators_[index]->setEnabled(locks_[index]);
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

} // namespace faceto
