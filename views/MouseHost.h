#pragma once

#include <string>

namespace faceto {

enum class MouseButton { Left, Right };

// What the mouse logic of a view needs from its window.
class MouseHost {
public:
    virtual ~MouseHost() = default;
    virtual bool hasCapture() const = 0;
    virtual void capture() = 0;
    virtual void release() = 0;
    virtual void repaintSelf() = 0;      // this view only, drawn in this pass of the event loop
    virtual void updateOtherViews() = 0; // every other view of the document
    virtual int clientWidth() const = 0;
    virtual int clientHeight() const = 0;
    // What a drag in progress does ("Moving 12 vertices"); empty when none is.
    virtual void reportAction(const std::string&) {}
};

} // namespace faceto
