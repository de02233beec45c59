#pragma once

#include "document/CFacetoDoc.h"

namespace faceto {

// Write access to a document's content, for the commands and operations of the document layer (and
// for tests that set a scene up). Views and panels read the content through CFacetoDoc and change it
// only by running commands.
struct DocumentEdit {
    static Model& model(CFacetoDoc& doc) {
        doc.touchModel();
        return doc.content_.model;
    }
    static std::vector<Frame>& frames(CFacetoDoc& doc) { return doc.content_.frames; }
    static SourceFields& source(CFacetoDoc& doc) { return doc.content_.source; }
    static std::vector<Animation>& animations(CFacetoDoc& doc) { return doc.content_.animations; }
    // The frame shown and edited, and the animation chosen (null when there is none).
    static Frame* currentFrame(CFacetoDoc& doc) { return const_cast<Frame*>(doc.currentFrame()); }
    static Animation* currentAnimation(CFacetoDoc& doc) {
        return const_cast<Animation*>(doc.currentAnimation());
    }
};

} // namespace faceto
