#pragma once

#include "model/Model.h"
#include "views/AppState.h"
#include "views/MouseHost.h"
#include "views/OrthoDrags.h"
#include "views/ViewState.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace faceto {

class CFacetoDoc;

// Mouse and key editing in one orthographic view. A press starts the drag of the process-wide tool and
// level (OrthoDrags.h: edit, scale, rotate, move/zoom; Ctrl always pans and zooms), which takes the
// pointer's motion until the button is let go. The wheel and the digit keys zoom.
class OrthoEditor {
public:
    OrthoEditor(int orientation, AppState& app, ViewState& view);
    ~OrthoEditor();
    OrthoEditor(const OrthoEditor&) = delete;
    OrthoEditor& operator=(const OrthoEditor&) = delete;

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
    OrthoDragContext context(CFacetoDoc& doc, MouseHost& host);

    int orientation_;
    AppState& app_;
    ViewState& view_;
    std::unique_ptr<OrthoDrag> drag_; // the drag in progress, if any
    bool dragged_ = false;
    int lastX_ = 0;
    int lastY_ = 0;
    uint64_t gesture_ = 0;
};

} // namespace faceto
