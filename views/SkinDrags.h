#pragma once

#include "document/SkinOperations.h"
#include "views/AppState.h"
#include "views/SkinDrawing.h"

#include <QPointF>
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace faceto {

class CFacetoDoc;

// What a drag in the skin view works on, event by event.
struct SkinDragContext {
    CFacetoDoc& doc;
    SkinViewState& view;
    int width;
    int height;
    bool snapToTexels; // moved corners land on whole texels
    uint64_t gesture;  // the steps of one drag join into one
    QPointF pressAt;
    QPointF lastAt; // the pointer at the previous event of the drag
    bool dragged;   // the pointer moved since the press
};

// How the pointer is at one event of a skin-view drag.
struct SkinPointer {
    QPointF at;
    bool fine = false; // Shift: every step a fine one
    bool leftHeld = false;
};

// One press in the skin view until its button is let go, by the tool's rule (the 2D views' rules where
// both have the tool: ScaleTool, RotateTool).
class SkinDrag {
public:
    virtual ~SkinDrag() = default;
    virtual void move(SkinDragContext& c, const SkinPointer& p) = 0;
    // `add`: Shift, which adds to the selection.
    virtual void release(SkinDragContext& /*c*/, bool /*add*/) {}
    // The rectangle being dragged out is to be drawn.
    virtual bool banding() const { return false; }

    // The drag that a press of the left or right button starts with the process-wide tool (Ctrl always
    // pans and zooms); null where the press starts none.
    static std::unique_ptr<SkinDrag> start(SkinDragContext& c, const AppState& app, bool left, bool ctrl);
};

// Multiplies the skin view's zoom by `factor`, keeping the texel under `at` where it is.
void zoomSkinViewAbout(SkinViewState& view, QPointF at, float factor, int width, int height);

} // namespace faceto
