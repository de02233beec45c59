#pragma once

#include "document/FrameClipboard.h"

#include <cstdint>

namespace faceto {

class CFacetoDoc;

constexpr int LEVEL_VERTEX = 0;
constexpr int LEVEL_OBJECT = 1;
constexpr int LEVEL_GROUP = 2;
constexpr int LEVEL_TRIANGLE = 3;

constexpr int TOOL_EDIT = 0;
constexpr int TOOL_ROTATE = 1;
constexpr int TOOL_SCALE = 2;
constexpr int TOOL_MOVE_ZOOM = 3;

// The colours of the 2D views (palette indices), set once at start-up.
struct OrthoColours {
    int background = 14;
    int grid = 12;
    int axes = 0;
    bool operator==(const OrthoColours&) const = default;
};

// What every window shares: the editing level and mouse tool (one for all documents), the document of
// the active window, the frame clipboard and the 2D view colours. The running editor has one.
struct AppState {
    int editLevel = LEVEL_VERTEX;
    int currentTool = TOOL_EDIT;
    CFacetoDoc* activeDocument = nullptr;
    FrameClipboard clipboard;
    OrthoColours orthoColours;
    bool skeletonShown = true; // the 2D views draw the nodes of a Jedi Knight hierarchy
    // The frame the animation player shows, which the active document's camera pane shows too while it
    // follows the player (-1: it shows the current frame).
    int followedFrame = -1;
};

} // namespace faceto
