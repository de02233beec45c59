#include "document/UndoHistory.h"

#include "document/CFacetoDoc.h"
#include "document/DocumentEdit.h"

namespace faceto {

namespace {

// The flags a step keeps for a vertex: selection and visibility, not the mark of a gesture in progress.
constexpr int32_t KEPT_FLAGS = ~VERTEX_MARKED;

} // namespace

size_t UndoHistory::Step::bytes() const {
    return sizeof(Step) + command->memoryBytes() + selectionBefore.capacity() * sizeof(FlagChange);
}

std::vector<UndoHistory::FlagChange> UndoHistory::selectionSinceLastStep(const CFacetoDoc& doc) const {
    std::vector<FlagChange> changes;
    const auto& infos = doc.model().vertexInfos;
    if (flags_.size() != infos.size()) {
        return changes; // only the steps themselves change the number of vertices
    }
    for (size_t v = 0; v < infos.size(); ++v) {
        const int32_t now = infos[v].flags & KEPT_FLAGS;
        if (now != flags_[v]) {
            changes.push_back({int32_t(v), flags_[v], now});
        }
    }
    return changes;
}

void UndoHistory::remember(const CFacetoDoc& doc) {
    const auto& infos = doc.model().vertexInfos;
    flags_.resize(infos.size());
    for (size_t v = 0; v < infos.size(); ++v) {
        flags_[v] = infos[v].flags & KEPT_FLAGS;
    }
}

bool UndoHistory::run(std::unique_ptr<Command> command, CFacetoDoc& doc) {
    std::vector<FlagChange> selection = selectionSinceLastStep(doc);
    command->redo(doc);
    while (steps_.size() > done_) {
        bytes_ -= steps_.back().bytes();
        steps_.pop_back();
    }
    if (clean_ && *clean_ > done_) {
        clean_.reset(); // the saved state was undone and is now out of reach
    }
    const bool joinable = done_ > 0 && selection.empty() && !isClean();
    if (joinable) {
        Step& last = steps_.back();
        const size_t before = last.bytes();
        if (last.command->mergeWith(*command)) {
            bytes_ = bytes_ - before + last.bytes();
            remember(doc);
            return false;
        }
    }
    steps_.push_back(Step{std::move(command), std::move(selection)});
    bytes_ += steps_.back().bytes();
    ++done_;
    while (steps_.size() > 1 && (steps_.size() > MAX_STEPS || bytes_ > MAX_BYTES)) {
        dropOldest();
    }
    remember(doc);
    return true;
}

void UndoHistory::dropOldest() {
    bytes_ -= steps_.front().bytes();
    steps_.pop_front();
    --done_;
    if (clean_) {
        if (*clean_ == 0) {
            clean_.reset(); // the saved state can no longer be reached
        } else {
            --*clean_;
        }
    }
}

bool UndoHistory::undo(CFacetoDoc& doc) {
    if (!canUndo()) {
        return false;
    }
    Step& step = steps_[--done_];
    step.command->undo(doc);
    auto& infos = DocumentEdit::model(doc).vertexInfos;
    for (const FlagChange& c : step.selectionBefore) {
        if (size_t(c.vertex) < infos.size()) {
            infos[size_t(c.vertex)].flags = c.before;
        }
    }
    remember(doc);
    return true;
}

bool UndoHistory::redo(CFacetoDoc& doc) {
    if (!canRedo()) {
        return false;
    }
    Step& step = steps_[done_++];
    auto& infos = DocumentEdit::model(doc).vertexInfos;
    for (const FlagChange& c : step.selectionBefore) {
        if (size_t(c.vertex) < infos.size()) {
            infos[size_t(c.vertex)].flags = c.after;
        }
    }
    step.command->redo(doc);
    remember(doc);
    return true;
}

void UndoHistory::goTo(size_t position, CFacetoDoc& doc) {
    while (done_ > position && undo(doc)) {
    }
    while (done_ < position && redo(doc)) {
    }
}

void UndoHistory::clear(const CFacetoDoc& doc) {
    steps_.clear();
    done_ = 0;
    bytes_ = 0;
    clean_ = 0;
    remember(doc);
}

} // namespace faceto
