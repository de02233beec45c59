#pragma once

#include "document/UndoHistory.h"
#include "model/Model.h"

#include <memory>
#include <string>

namespace faceto {

class CFacetoDoc;

// The editor's own clipboard, one per application, shared by all documents. It holds either the
// selected triangles with their vertices (kind 1) or a whole model with one of its frames (kind 2).
class FrameClipboard {
public:
    enum Kind : int32_t { EMPTY = 0, GEOMETRY = 1, FRAME = 2 };

    FrameClipboard();

    // Copies the triangles whose three vertices are selected, with those vertices and their positions
    // in the current frame. A selection that holds no whole triangle leaves the clipboard as it was.
    void copySelection(const CFacetoDoc& document);
    // Copies the selection, then removes the selected triangles and every vertex that no remaining
    // triangle uses, from every frame, and clears the selection: one step "Cut".
    void cutSelection(CFacetoDoc& document);
    // Adds the clipboard's vertices (at the clipboard frame's positions, in every frame) and its
    // triangles as one new group: one step "Paste". Nothing happens while the clipboard is empty.
    void pasteInto(CFacetoDoc& document) const;
    // Keeps a copy of the document's mesh and of `frame`.
    void storeFrame(const CFacetoDoc& document, const Frame& frame);

    Kind kind() const { return kind_; }
    const Model& model() const { return model_; }
    const Frame& frame() const { return frame_; }

private:
    Model model_;
    Frame frame_;
    Kind kind_ = EMPTY;
};

} // namespace faceto
