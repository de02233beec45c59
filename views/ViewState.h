#pragma once

#include "document/Profile.h"
#include "model/Palette.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string_view>

namespace faceto {

class CFacetoDoc;

// How one of the three orthographic orientations maps the world to its window.
struct OrthoViewState {
    int axisU = 0; // world component shown horizontally (0 = x, 1 = y, 2 = z)
    int signU = 1;
    int axisV = 0; // world component shown vertically
    int signV = 1;
    float centerU = 0.0f; // world coordinates at the window centre
    float centerV = 0.0f;
    float zoom = 1.0f;
    float viewExtentU = 50.0f;
    float viewExtentV = 50.0f;
    bool negative = false; // looked at from the other side: the horizontal axis runs the other way
    bool operator==(const OrthoViewState&) const = default;
};

// The camera pane's drawing modes (the "FillMode" setting).
constexpr int FILL_NONE = 0;
constexpr int FILL_WIREFRAME = 1;
constexpr int FILL_VERTEX = 2;
constexpr int FILL_FLAT = 4;
constexpr int FILL_GOURAUD = 5;
constexpr int FILL_TEXTURED = 6;
constexpr int FILL_TEXTURED_SHADED = 7;

// A mode by the name scripts give it: "none", "wireframe", "vertex", "flat", "gouraud", "textured" or
// "textured-shaded"; -1 for any other.
int fillModeNamed(std::string_view name);

struct WindowPoint {
    int x = 0;
    int y = 0;
    bool operator==(const WindowPoint&) const = default;
};

// How the windows of one document show it and edit it: nothing of this is saved with the model or
// undone. The windows of a document share one.
struct ViewState {
    ViewState() = default;
    // The camera settings, the axis locks and whether views frame the model come from the profile; a
    // model with a skin starts painted with it until a camera mode is chosen.
    ViewState(const Profile& profile, const CFacetoDoc& doc);

    // --- the 2D views ---
    std::array<OrthoViewState, 3> orthoViews{{{1, 1, 0, -1}, {0, 1, 2, 1}, {1, 1, 2, 1}}};
    float zoomFactor = 2.0f;
    // Device pixels per pixel of the windows' screen: the 2D panes draw at device pixels, and their scale
    // is the one above times this, so that a model looks as large on any screen.
    float pixelRatio = 1.0f;
    int32_t originVisible = 1;
    int32_t bandView = -1; // orientation the selection rectangle belongs to
    WindowPoint bandStart;
    WindowPoint bandEnd;
    bool solid2D = false;     // the 2D views fill the triangles in their colours
    bool vertexDots2D = true; // the 2D views draw the vertices as dots
    // The views show the whole model when a window first opens ("Pref" / "FrameOnOpen"), each 2D
    // orientation once.
    bool frameOnOpen = true;
    // A Quake or Hexen II model's colour map (Game Setup's, of the game whose palette its skins take),
    // which lights its skin in the textured and shaded camera mode; null without one.
    std::shared_ptr<const std::array<uint8_t, COLORMAP_BYTES>> gameColormap;
    std::array<bool, 3> orthoFramed{false, false, false};

    // --- the grid and the axis locks of editing ---
    float gridSpacing = 10.0f;
    int32_t snapToGrid = 0;
    int32_t gridVisible = 1;
    std::array<int32_t, 3> locks{0, 0, 0};                                           // x, y, z
    void toggleLock(int axis) { locks[size_t(axis)] = locks[size_t(axis)] ? 0 : 1; } // 0 = x, 1 = y, 2 = z
    bool isLocked(int axis) const { return locks[size_t(axis)] != 0; }

    // --- the camera pane ---
    // Its mode (one of the FILL_ values), background colour (a palette index) and the light of its
    // shaded modes.
    uint8_t fillMode = FILL_FLAT;
    uint8_t backColor = 0;
    int32_t lightAmbient = 50;
    int32_t lightSpot = 24;
    bool drawBackFaces = false; // the Front/Back switch
    // Sets the camera settings and writes them to the profile (the mode only once it was chosen).
    void setCameraSettings(Profile& profile, int fill, int background, int ambient, int spot);
    bool fillModeChosen() const { return fillModeChosen_; }

private:
    bool fillModeChosen_ = false; // the profile holds a mode, or the user picked one
};

} // namespace faceto
