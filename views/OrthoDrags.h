#pragma once

#include "model/Model.h"
#include "views/AppState.h"
#include "views/MouseHost.h"
#include "views/ViewState.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace faceto {

class CFacetoDoc;
class OrthoEditor;

struct MouseState {
    int x = 0;
    int y = 0; // window pixels, rows downwards
    bool ctrl = false;
    bool shift = false;
    bool leftHeld = false;
    bool rightHeld = false;
};

// What a drag in one orthographic view works on, event by event.
struct OrthoDragContext {
    CFacetoDoc& doc;
    MouseHost& host;
    ViewState& view;
    const AppState& app;
    const OrthoEditor& editor;
    int orientation;
    int lastX; // the pointer at the previous event of the drag
    int lastY;
    bool dragged;     // the pointer moved since the press
    uint64_t gesture; // the steps of one drag join into one

    OrthoViewState& state() const { return view.orthoViews[size_t(orientation)]; }
};

// One press of a tool until its button is let go: each tool is one kind of drag with its own rule.
class OrthoDrag {
public:
    virtual ~OrthoDrag() = default;
    virtual void move(OrthoDragContext& c, const MouseState& m) = 0;
    virtual void release(OrthoDragContext& c, MouseButton button, const MouseState& m) = 0;
    // What the drag does, for the status bar ("Moving 12 vertices").
    virtual std::string describe(const CFacetoDoc& doc) const = 0;

    // The drag that a press of `button` starts with the process-wide tool and level (Ctrl always pans
    // and zooms); null where the press starts none.
    static std::unique_ptr<OrthoDrag> start(OrthoDragContext& c, MouseButton button, const MouseState& m);
};

// Moves the view's centre to (x, y) and multiplies its zoom by `factor`.
void recentreAndZoom(ViewState& view, int orientation, int x, int y, float factor, MouseHost& host);

} // namespace faceto
