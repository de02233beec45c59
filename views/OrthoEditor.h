#pragma once

#include "model/Model.h"
#include "views/AppState.h"
#include "views/MouseHost.h"
#include "views/ViewState.h"

#include <cstdint>
#include <vector>

namespace faceto {

class CFacetoDoc;

struct MouseState {
    int x = 0;
    int y = 0; // window pixels, rows downwards
    bool ctrl = false;
    bool shift = false;
    bool leftHeld = false;
    bool rightHeld = false;
};

// Mouse and key editing in one orthographic view. By the process-wide tool and level (and Ctrl, which
// always pans and zooms): the edit tool picks and toggles vertices, adds a dragged rectangle to the
// selection and moves the picked selection (axis locks and grid snap applied); the scale tool scales
// the selection; move/zoom pans with the left button and zooms with the right one; the rotate tool
// turns the selection in the view's plane about the centre of its box. The tools' rules are those of
// Tools.h; the selection changes through the selection operations. Digit keys set the view's zoom.
class OrthoEditor {
public:
    enum DragMode { NONE = 0, EDIT = 1, PAN_ZOOM = 2, SCALE = 3, ROTATE = 4 };

    OrthoEditor(int orientation, AppState& app, ViewState& view)
        : orientation_(orientation), app_(app), view_(view) {}

    void press(CFacetoDoc& doc, MouseButton button, const MouseState& m, MouseHost& host);
    void move(CFacetoDoc& doc, const MouseState& m, MouseHost& host);
    void release(CFacetoDoc& doc, MouseButton button, const MouseState& m, MouseHost& host);
    void doubleClick(MouseButton button, const MouseState& m, MouseHost& host);
    // The wheel zooms by a quarter per notch (`notches` > 0: in) about the pointer, whose world point stays
    // under it. False when there was nothing to do.
    bool wheel(int x, int y, float notches, MouseHost& host);
    // Digits 0 to 9 set the zoom of this orientation; false for any other key.
    bool digitKey(int digit, MouseHost& host);

    // The visible vertex of the current frame within 5 pixels of (x, y), the nearest (on a tie the
    // higher index); -1 when there is none.
    int pick(const CFacetoDoc& doc, int x, int y, int width, int height) const;
    // The triangle of visible vertices under (x, y), the nearest to the viewer where several are; -1.
    int pickTriangle(const CFacetoDoc& doc, int x, int y, int width, int height) const;

    int orientation() const { return orientation_; }

private:
    void moveSelection(CFacetoDoc& doc, const MouseState& m, MouseHost& host);
    void markInRectangle(CFacetoDoc& doc, MouseHost& host);
    void scaleSelection(CFacetoDoc& doc, const MouseState& m);
    void recentreAndZoom(int x, int y, float factor, MouseHost& host);
    void startRotation(const CFacetoDoc& doc);
    void selectTrianglesAt(CFacetoDoc& doc);
    void reportAction(const CFacetoDoc& doc, MouseHost& host) const;
    void rotateSelection(CFacetoDoc& doc, const MouseState& m, MouseHost& host);

    int orientation_;
    AppState& app_;
    ViewState& view_;
    DragMode dragMode_ = NONE;
    bool dragged_ = false;
    bool vertexHit_ = false;
    int hitVertex_ = -1;
    int lastX_ = 0;
    int lastY_ = 0;
    uint64_t gesture_ = 0; // the steps of one drag join into one
    // A rotation turns the vertices as they were at the press, about the centre of their box.
    int pressX_ = 0;
    int rotation_ = 0; // degrees
    int hitTriangle_ = -1;
    std::vector<int32_t> rotated_;
    std::vector<FrameVertex> rotatedFrom_;
    float centreU_ = 0.0f;
    float centreV_ = 0.0f;
};

} // namespace faceto
