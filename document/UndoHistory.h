#pragma once

#include "document/Changes.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace faceto {

class CFacetoDoc;

// One edit of a document's content: it knows how to do and undo itself and what that costs in memory.
// A command holds what it changes (the positions it moved, the frames it cut), never the whole model.
class Command {
public:
    explicit Command(std::string name) : name_(std::move(name)) {}
    virtual ~Command() = default;

    // What the Edit menu calls it: "Move Vertices", "Paste", ...
    const std::string& name() const { return name_; }
    virtual void redo(CFacetoDoc& doc) = 0;
    virtual void undo(CFacetoDoc& doc) = 0;
    // Takes `next`, done right after this command, into this one when both belong to one gesture (a
    // whole mouse drag is one step). True when it did; `next` is then dropped.
    virtual bool mergeWith(const Command&) { return false; }
    virtual size_t memoryBytes() const = 0;
    // What doing or undoing it changes.
    virtual ChangeNotice changes() const { return {}; }

private:
    std::string name_;
};

// The steps done to one document, and those undone that can be redone. Selection is not a step of its
// own: the selection made before a step belongs to that step, so undoing the step brings back the
// selection it started from and redoing it the selection it was done on. The oldest steps are dropped
// when there are more than MAX_STEPS or they take more than MAX_BYTES.
class UndoHistory {
public:
    static constexpr size_t MAX_STEPS = 500;
    static constexpr size_t MAX_BYTES = size_t(256) << 20;

    // Does the command and records it, after dropping the steps that were undone. It joins the last
    // step when that one takes it (and is not the state last saved).
    // True when it became a step of its own (the history's list changed).
    bool run(std::unique_ptr<Command> command, CFacetoDoc& doc);
    bool undo(CFacetoDoc& doc);
    bool redo(CFacetoDoc& doc);
    // Undoes or redoes until `position` steps are done.
    void goTo(size_t position, CFacetoDoc& doc);

    bool canUndo() const { return done_ > 0; }
    bool canRedo() const { return done_ < steps_.size(); }
    std::string undoName() const { return canUndo() ? steps_[done_ - 1].command->name() : std::string(); }
    std::string redoName() const { return canRedo() ? steps_[done_].command->name() : std::string(); }
    size_t size() const { return steps_.size(); }
    size_t position() const { return done_; }
    const std::string& stepName(size_t index) const { return steps_[index].command->name(); }
    size_t memoryBytes() const { return bytes_; }
    // The command Undo or Redo would undo or redo (null when there is none).
    const Command* toUndo() const { return canUndo() ? steps_[done_ - 1].command.get() : nullptr; }
    const Command* toRedo() const { return canRedo() ? steps_[done_].command.get() : nullptr; }

    // The current state is the one on disk; true while it is (undoing back to it makes it so again).
    void markClean() { clean_ = done_; }
    bool isClean() const { return clean_ && *clean_ == done_; }
    // Forgets every step (a new model was loaded); the state is clean.
    void clear(const CFacetoDoc& doc);

private:
    // A vertex whose selection or visibility changed between two steps: its flags before and after.
    struct FlagChange {
        int32_t vertex;
        int32_t before;
        int32_t after;
    };
    struct Step {
        std::unique_ptr<Command> command;
        std::vector<FlagChange> selectionBefore; // what changed since the previous step
        size_t bytes() const;
    };

    std::vector<FlagChange> selectionSinceLastStep(const CFacetoDoc& doc) const;
    void remember(const CFacetoDoc& doc);
    void dropOldest();

    std::deque<Step> steps_;
    size_t done_ = 0;
    std::optional<size_t> clean_ = 0;
    size_t bytes_ = 0;
    std::vector<int32_t> flags_; // the vertex flags as the last step left them
};

} // namespace faceto
