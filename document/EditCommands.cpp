#include "document/EditCommands.h"

#include "document/CFacetoDoc.h"
#include "document/DocumentEdit.h"
#include "model/DerivedData.h"
#include "model/QuakeGroups.h"

#include <algorithm>
#include <optional>

namespace faceto {

// --- positions ---------------------------------------------------------------------------------------

ChangePositions::ChangePositions(const CFacetoDoc&, std::string name, int32_t frame,
                                 std::vector<int32_t> vertices, std::vector<FrameVertex> after,
                                 uint64_t gesture)
    : Command(std::move(name)), frame_(frame), vertices_(std::move(vertices)), other_(std::move(after)),
      gesture_(gesture) {
    vertices_.shrink_to_fit(); // kept for as long as the step is: no room to spare
    other_.shrink_to_fit();
}

// The positions in the frame and the other positions trade places: doing the step leaves the old ones
// here, undoing it the new ones, so one set of positions is kept, not two.
void ChangePositions::swap(CFacetoDoc& doc) {
    Positions& positions = DocumentEdit::frames(doc)[size_t(frame_)].positions;
    for (size_t i = 0; i < vertices_.size(); ++i) {
        std::swap(positions[size_t(vertices_[i])], other_[i]);
    }
}

void ChangePositions::redo(CFacetoDoc& doc) {
    swap(doc);
}

void ChangePositions::undo(CFacetoDoc& doc) {
    swap(doc);
}

bool ChangePositions::mergeWith(const Command& next) {
    // Both are done: this one keeps the positions from before the gesture, the document has the latest.
    const auto* other = dynamic_cast<const ChangePositions*>(&next);
    return other != nullptr && gesture_ != 0 && other->gesture_ == gesture_ && other->frame_ == frame_ &&
           other->name() == name() && other->vertices_ == vertices_;
}

size_t ChangePositions::memoryBytes() const {
    return sizeof(*this) + vertices_.capacity() * sizeof(int32_t) + other_.capacity() * sizeof(FrameVertex);
}

// --- the mesh ----------------------------------------------------------------------------------------

bool MeshChange::empty() const {
    return flags.empty() && triangles.empty() && removedTriangles.empty() && removedVertices.empty() &&
           addedInfos.empty() && addedTriangles.empty() && !groupsAfter;
}

namespace {

template <typename T, typename A> size_t bytesOf(const std::vector<T, A>& v) {
    return v.capacity() * sizeof(T);
}

size_t frameBytes(const Frame& f) {
    return sizeof(Frame) + f.name.capacity() + bytesOf(f.positions);
}

// Keeps the elements whose indices are not listed (ascending).
template <typename T, typename A>
void eraseListed(std::vector<T, A>& items, const std::vector<int32_t>& listed) {
    if (listed.empty()) {
        return;
    }
    size_t out = 0;
    size_t next = 0;
    for (size_t i = 0; i < items.size(); ++i) {
        if (next < listed.size() && size_t(listed[next]) == i) {
            ++next;
            continue;
        }
        if (out != i) {
            items[out] = std::move(items[i]);
        }
        ++out;
    }
    items.resize(out);
}

// Puts `values` back at the listed (ascending) indices, the other elements keeping their order.
template <typename T, typename A>
void insertListed(std::vector<T, A>& items, const std::vector<int32_t>& listed,
                  const std::vector<T>& values) {
    if (listed.empty()) {
        return;
    }
    std::vector<T, A> merged;
    merged.reserve(items.size() + listed.size());
    size_t kept = 0;
    for (size_t k = 0; k < listed.size(); ++k) {
        while (merged.size() < size_t(listed[k])) {
            merged.push_back(std::move(items[kept++]));
        }
        merged.push_back(values[k]);
    }
    while (kept < items.size()) {
        merged.push_back(std::move(items[kept++]));
    }
    items = std::move(merged);
}

class ChangeMesh : public Command {
public:
    ChangeMesh(std::string name, MeshChange change) : Command(std::move(name)), c_(std::move(change)) {}

    void redo(CFacetoDoc& doc) override {
        Model& model = DocumentEdit::model(doc);
        for (const auto& f : c_.flags) {
            model.vertexInfos[size_t(f.vertex)].flags = f.after;
        }
        for (const auto& t : c_.triangles) {
            model.triangles[size_t(t.triangle)] = t.after;
        }
        eraseListed(model.triangles, c_.removedTriangles);
        if (!c_.removedVertices.empty()) {
            std::vector<int32_t> newIndex(model.vertexInfos.size(), -1);
            size_t next = 0;
            size_t k = 0;
            for (size_t v = 0; v < newIndex.size(); ++v) {
                if (k < c_.removedVertices.size() && size_t(c_.removedVertices[k]) == v) {
                    ++k;
                } else {
                    newIndex[v] = int32_t(next++);
                }
            }
            eraseListed(model.vertexInfos, c_.removedVertices);
            for (Frame& frame : DocumentEdit::frames(doc)) {
                eraseListed(frame.positions, c_.removedVertices);
            }
            for (Triangle& t : model.triangles) {
                for (int32_t& v : t.v) {
                    v = newIndex[size_t(v)];
                }
            }
        }
        model.vertexInfos.insert(model.vertexInfos.end(), c_.addedInfos.begin(), c_.addedInfos.end());
        if (!c_.addedInfos.empty()) {
            // Every frame grows: the grown frames are made together, in one block.
            const size_t grown = model.vertexInfos.size();
            const bool moving = !doc.frames().empty() && doc.frames()[0].positions.capacity() < grown;
            std::optional<FrameMemoryScope> scope;
            if (moving) {
                scope.emplace(doc.frames().size(), grown);
            }
            for (size_t f = 0; f < doc.frames().size(); ++f) {
                const auto& added =
                    c_.addedPositions.size() == 1 ? c_.addedPositions[0] : c_.addedPositions[f];
                Positions& positions = DocumentEdit::frames(doc)[f].positions;
                positions.reserve(grown);
                positions.insert(positions.end(), added.begin(), added.end());
            }
        }
        model.triangles.insert(model.triangles.end(), c_.addedTriangles.begin(), c_.addedTriangles.end());
        if (c_.groupsAfter) {
            model.groups = *c_.groupsAfter;
        }
        buildEdges(model);
    }

    void undo(CFacetoDoc& doc) override {
        Model& model = DocumentEdit::model(doc);
        model.triangles.resize(model.triangles.size() - c_.addedTriangles.size());
        model.vertexInfos.resize(model.vertexInfos.size() - c_.addedInfos.size());
        for (Frame& frame : DocumentEdit::frames(doc)) {
            frame.positions.resize(model.vertexInfos.size());
        }
        if (!c_.removedVertices.empty()) {
            const size_t before = model.vertexInfos.size() + c_.removedVertices.size();
            std::vector<int32_t> oldIndex;
            oldIndex.reserve(model.vertexInfos.size());
            size_t k = 0;
            for (size_t v = 0; v < before; ++v) {
                if (k < c_.removedVertices.size() && size_t(c_.removedVertices[k]) == v) {
                    ++k;
                } else {
                    oldIndex.push_back(int32_t(v));
                }
            }
            for (Triangle& t : model.triangles) {
                for (int32_t& v : t.v) {
                    v = oldIndex[size_t(v)];
                }
            }
            insertListed(model.vertexInfos, c_.removedVertices, c_.removedInfos);
            const FrameMemoryScope scope(doc.frames().size(), before);
            for (size_t f = 0; f < doc.frames().size(); ++f) {
                insertListed(DocumentEdit::frames(doc)[f].positions, c_.removedVertices,
                             c_.removedPositions[f]);
            }
        }
        insertListed(model.triangles, c_.removedTriangles, c_.removedTriangleRecords);
        for (const auto& t : c_.triangles) {
            model.triangles[size_t(t.triangle)] = t.before;
        }
        for (const auto& f : c_.flags) {
            model.vertexInfos[size_t(f.vertex)].flags = f.before;
        }
        if (c_.groupsBefore) {
            model.groups = *c_.groupsBefore;
        }
        buildEdges(model);
    }

    size_t memoryBytes() const override {
        size_t bytes = sizeof(*this) + bytesOf(c_.flags) + bytesOf(c_.triangles) +
                       bytesOf(c_.removedTriangles) + bytesOf(c_.removedTriangleRecords) +
                       bytesOf(c_.removedVertices) + bytesOf(c_.removedInfos) + bytesOf(c_.addedInfos) +
                       bytesOf(c_.addedTriangles);
        for (const auto& p : c_.removedPositions) {
            bytes += bytesOf(p);
        }
        for (const auto& p : c_.addedPositions) {
            bytes += bytesOf(p);
        }
        for (const auto* groups : {&c_.groupsBefore, &c_.groupsAfter}) {
            if (*groups) {
                bytes += (*groups)->size() * (sizeof(Group) + 16);
            }
        }
        return bytes;
    }

private:
    MeshChange c_;
};

} // namespace

MeshEdit::MeshEdit(const CFacetoDoc& doc)
    : doc_(doc), removeTriangle_(doc.model().triangles.size(), false),
      removeVertex_(doc.model().vertexInfos.size(), false), newTriangle_(doc.model().triangles.size()),
      newFlags_(doc.model().vertexInfos.size()), keptVertices_(doc.model().vertexInfos.size()) {}

void MeshEdit::setFlags(int32_t vertex, int32_t flags) {
    if (size_t(vertex) < newFlags_.size()) {
        newFlags_[size_t(vertex)] = flags;
    }
}

void MeshEdit::setTriangle(int32_t triangle, const Triangle& after) {
    newTriangle_[size_t(triangle)] = after;
}

void MeshEdit::removeTriangle(int32_t triangle) {
    removeTriangle_[size_t(triangle)] = true;
}

void MeshEdit::removeUnusedVertices() {
    std::vector<bool> used(removeVertex_.size(), false);
    const auto& triangles = doc_.model().triangles;
    for (size_t t = 0; t < triangles.size(); ++t) {
        if (removeTriangle_[t]) {
            continue;
        }
        for (int32_t v : newTriangle_[t] ? newTriangle_[t]->v : triangles[t].v) {
            used[size_t(v)] = true;
        }
    }
    keptVertices_ = 0;
    for (size_t v = 0; v < used.size(); ++v) {
        removeVertex_[v] = !used[v];
        keptVertices_ += used[v] ? 1u : 0u;
    }
}

int32_t MeshEdit::addVertex(const VertexInfo& info, const FrameVertex& position) {
    change_.addedInfos.push_back(info);
    shared_.push_back(position);
    for (auto& list : perFrame_) {
        list.push_back(position);
    }
    return int32_t(keptVertices_ + change_.addedInfos.size() - 1);
}

int32_t MeshEdit::addVertex(const VertexInfo& info, const std::vector<FrameVertex>& positionPerFrame) {
    if (!positionsPerFrame_) {
        positionsPerFrame_ = true;
        perFrame_.assign(doc_.frames().size(), shared_);
    }
    for (size_t f = 0; f < perFrame_.size(); ++f) {
        perFrame_[f].push_back(f < positionPerFrame.size() ? positionPerFrame[f] : FrameVertex{});
    }
    change_.addedInfos.push_back(info);
    shared_.push_back(positionPerFrame.empty() ? FrameVertex{} : positionPerFrame[0]);
    return int32_t(keptVertices_ + change_.addedInfos.size() - 1);
}

void MeshEdit::addTriangle(const Triangle& triangle) {
    change_.addedTriangles.push_back(triangle);
}

void MeshEdit::setGroups(std::vector<Group> groups) {
    change_.groupsAfter = std::move(groups);
}

const std::vector<Group>& MeshEdit::groups() const {
    return change_.groupsAfter ? *change_.groupsAfter : doc_.model().groups;
}

std::unique_ptr<Command> MeshEdit::finish(std::string name) && {
    const Model& model = doc_.model();
    for (size_t v = 0; v < newFlags_.size(); ++v) {
        if (removeVertex_[v]) {
            change_.removedVertices.push_back(int32_t(v));
            change_.removedInfos.push_back(model.vertexInfos[v]);
        } else if (newFlags_[v] && *newFlags_[v] != model.vertexInfos[v].flags) {
            change_.flags.push_back({int32_t(v), model.vertexInfos[v].flags, *newFlags_[v]});
        }
    }
    if (!change_.removedVertices.empty()) {
        change_.removedPositions.resize(doc_.frames().size());
        for (size_t f = 0; f < doc_.frames().size(); ++f) {
            const auto& positions = doc_.frames()[f].positions;
            auto& removed = change_.removedPositions[f];
            removed.reserve(change_.removedVertices.size());
            for (int32_t v : change_.removedVertices) {
                removed.push_back(size_t(v) < positions.size() ? positions[size_t(v)] : FrameVertex{});
            }
        }
    }
    for (size_t t = 0; t < removeTriangle_.size(); ++t) {
        if (removeTriangle_[t]) {
            change_.removedTriangles.push_back(int32_t(t));
            change_.removedTriangleRecords.push_back(model.triangles[t]);
        } else if (newTriangle_[t]) {
            change_.triangles.push_back({int32_t(t), model.triangles[t], *newTriangle_[t]});
        }
    }
    if (!change_.addedInfos.empty()) {
        if (positionsPerFrame_) {
            change_.addedPositions = std::move(perFrame_);
        } else {
            change_.addedPositions = {std::move(shared_)};
        }
    }
    if (change_.groupsAfter) {
        change_.groupsBefore = model.groups;
    }
    return std::make_unique<ChangeMesh>(std::move(name), std::move(change_));
}

// --- frames and animations ---------------------------------------------------------------------------

namespace {

struct FrameListChange {
    std::vector<int32_t> removed; // ascending indices before the change
    std::vector<Frame> removedFrames;
    std::vector<int32_t> inserted; // ascending indices after the change
    std::vector<Frame> insertedFrames;
    struct Rename {
        int32_t frame; // index after the change
        std::string before;
        std::string after;
    };
    std::vector<Rename> renamed;
    std::vector<Animation> animationsBefore;
    std::vector<Animation> animationsAfter;
    int32_t animationBefore = 0;
    int32_t animationAfter = 0;
    int32_t frameIndexBefore = -1;
    int32_t frameIndexAfter = -1;
    int32_t currentBefore = -1;
    int32_t currentAfter = -1;
    // The frame groups of a Quake model, when the frames are grouped: the other ones until done.
    std::optional<QuakeGroups> frameGroups;
};

// Frames move between the document and the step, never copied: a done step holds the frames it
// removed, an undone one those it added.
class ChangeFrames : public Command {
public:
    // `removedBytes`: what the frames it removes take (they are still in the document).
    ChangeFrames(std::string name, FrameListChange change, size_t removedBytes)
        : Command(std::move(name)), c_(std::move(change)), framesBytes_(removedBytes) {
        for (const Frame& f : c_.insertedFrames) {
            framesBytes_ += frameBytes(f);
        }
    }

    ChangeNotice changes() const override { return {change::FRAMES | change::POSITIONS}; }

    void redo(CFacetoDoc& doc) override {
        for (size_t k = c_.removed.size(); k-- > 0;) {
            c_.removedFrames[k] = std::move(DocumentEdit::frames(doc)[size_t(c_.removed[k])]);
            DocumentEdit::frames(doc).erase(DocumentEdit::frames(doc).begin() + c_.removed[k]);
        }
        for (size_t k = 0; k < c_.inserted.size(); ++k) {
            DocumentEdit::frames(doc).insert(DocumentEdit::frames(doc).begin() + c_.inserted[k],
                                             std::move(c_.insertedFrames[k]));
        }
        for (const auto& r : c_.renamed) {
            DocumentEdit::frames(doc)[size_t(r.frame)].name = r.after;
        }
        DocumentEdit::animations(doc) = c_.animationsAfter;
        swapGroups(doc);
        doc.setCurrentAnimationIndex(c_.animationAfter);
        doc.setCurrentFrameIndex(c_.frameIndexAfter);
        doc.setCurrentFrame(c_.currentAfter);
    }

    void undo(CFacetoDoc& doc) override {
        for (const auto& r : c_.renamed) {
            DocumentEdit::frames(doc)[size_t(r.frame)].name = r.before;
        }
        for (size_t k = c_.inserted.size(); k-- > 0;) {
            c_.insertedFrames[k] = std::move(DocumentEdit::frames(doc)[size_t(c_.inserted[k])]);
            DocumentEdit::frames(doc).erase(DocumentEdit::frames(doc).begin() + c_.inserted[k]);
        }
        for (size_t k = 0; k < c_.removed.size(); ++k) {
            DocumentEdit::frames(doc).insert(DocumentEdit::frames(doc).begin() + c_.removed[k],
                                             std::move(c_.removedFrames[k]));
        }
        DocumentEdit::animations(doc) = c_.animationsBefore;
        swapGroups(doc);
        doc.setCurrentAnimationIndex(c_.animationBefore);
        doc.setCurrentFrameIndex(c_.frameIndexBefore);
        doc.setCurrentFrame(c_.currentBefore);
    }

    size_t memoryBytes() const override {
        size_t bytes = sizeof(*this) + framesBytes_ + bytesOf(c_.removed) + bytesOf(c_.inserted) +
                       c_.renamed.size() * (sizeof(FrameListChange::Rename) + 32);
        for (const auto* list : {&c_.animationsBefore, &c_.animationsAfter}) {
            for (const Animation& a : *list) {
                bytes += sizeof(Animation) + a.name.capacity() + bytesOf(a.frameIndices);
            }
        }
        return bytes;
    }

private:
    void swapGroups(CFacetoDoc& doc) {
        if (c_.frameGroups && DocumentEdit::source(doc).quake) {
            std::swap(DocumentEdit::source(doc).quake->frameGroups, *c_.frameGroups);
        }
    }
    FrameListChange c_;
    size_t framesBytes_ = 0;
};

} // namespace

FrameListEdit::FrameListEdit(const CFacetoDoc& doc)
    : animations(doc.animations()), currentAnimationIndex(doc.currentAnimationIndex()),
      currentFrameIndex(doc.currentFrameIndex()), currentFrame(doc.currentFramePosition()), doc_(doc) {
    slots.reserve(doc.frames().size());
    for (size_t f = 0; f < doc.frames().size(); ++f) {
        slots.push_back(Slot{int32_t(f), doc.frames()[f].name, nullptr});
    }
}

std::unique_ptr<Command> FrameListEdit::finish(std::string name) && {
    FrameListChange c;
    if (const std::optional<QuakeFields>& quake = doc_.source().quake;
        quake && holdsGroups(quake->frameGroups, doc_.frames().size())) {
        std::vector<int32_t> origins;
        origins.reserve(slots.size());
        for (const Slot& slot : slots) {
            origins.push_back(slot.original);
        }
        c.frameGroups = groupsAfterEdit(quake->frameGroups, origins);
    }
    // A frame kept out of its order (a move) leaves and comes back as a new frame.
    int32_t last = -1;
    for (Slot& slot : slots) {
        if (slot.original >= 0 && slot.original <= last) {
            slot.added = std::make_shared<Frame>(doc_.frames()[size_t(slot.original)]);
            slot.original = -1;
        } else if (slot.original >= 0) {
            last = slot.original;
        }
    }
    std::vector<bool> kept(doc_.frames().size(), false);
    for (size_t i = 0; i < slots.size(); ++i) {
        const Slot& slot = slots[i];
        if (slot.original >= 0) {
            kept[size_t(slot.original)] = true;
            const std::string& before = doc_.frames()[size_t(slot.original)].name;
            if (before != slot.name) {
                c.renamed.push_back({int32_t(i), before, slot.name});
            }
        } else {
            Frame frame = slot.added ? *slot.added : Frame();
            frame.name = slot.name;
            c.inserted.push_back(int32_t(i));
            c.insertedFrames.push_back(std::move(frame));
        }
    }
    size_t removedBytes = 0;
    for (size_t f = 0; f < kept.size(); ++f) {
        if (!kept[f]) {
            c.removed.push_back(int32_t(f));
            removedBytes += frameBytes(doc_.frames()[f]);
        }
    }
    c.removedFrames.resize(c.removed.size());
    c.animationsBefore = doc_.animations();
    c.animationsAfter = std::move(animations);
    c.animationBefore = doc_.currentAnimationIndex();
    c.animationAfter = currentAnimationIndex;
    c.frameIndexBefore = doc_.currentFrameIndex();
    c.frameIndexAfter = currentFrameIndex;
    c.currentBefore = doc_.currentFramePosition();
    c.currentAfter = currentFrame;
    return std::make_unique<ChangeFrames>(std::move(name), std::move(c), removedBytes);
}

} // namespace faceto
