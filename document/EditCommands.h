#pragma once

#include "document/UndoHistory.h"
#include "model/Model.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace faceto {

class CFacetoDoc;

// New positions for some vertices of one frame: moving, scaling and rotating in the views, a pose
// imported into a frame. The steps of one gesture (the same non-zero `gesture` on the same vertices of
// the same frame) join into one.
class ChangePositions : public Command {
public:
    ChangePositions(const CFacetoDoc& doc, std::string name, int32_t frame, std::vector<int32_t> vertices,
                    std::vector<FrameVertex> after, uint64_t gesture = 0);
    void redo(CFacetoDoc& doc) override;
    void undo(CFacetoDoc& doc) override;
    bool mergeWith(const Command& next) override;
    size_t memoryBytes() const override;
    ChangeNotice changes() const override { return {change::POSITIONS, frame_}; }

private:
    void swap(CFacetoDoc& doc);

    int32_t frame_;
    std::vector<int32_t> vertices_;
    std::vector<FrameVertex> other_; // the positions not in the frame: the new ones until done, then the old
    uint64_t gesture_;
};

// A change of the mesh, described by what it removes, changes and adds, so that it keeps only those
// parts: vertices and triangles removed (a vertex goes from every frame), vertex flags and triangles
// changed in place, vertices and triangles appended, and the group list replaced.
struct MeshChange {
    struct FlagChange {
        int32_t vertex; // an index before the change, of a vertex that stays
        int32_t before;
        int32_t after;
    };
    struct TriangleChange {
        int32_t triangle; // an index before the change, of a triangle that stays
        Triangle before;
        Triangle after; // its corners numbered as before the change
    };

    std::vector<FlagChange> flags;
    std::vector<TriangleChange> triangles;
    std::vector<int32_t> removedTriangles; // ascending indices before the change
    std::vector<Triangle> removedTriangleRecords;
    std::vector<int32_t> removedVertices; // ascending indices before the change; no triangle left uses them
    std::vector<VertexInfo> removedInfos;
    std::vector<std::vector<FrameVertex>> removedPositions; // per frame, one per removed vertex
    std::vector<VertexInfo> addedInfos;
    // Per frame, one per added vertex; or a single list that every frame takes (a paste).
    std::vector<std::vector<FrameVertex>> addedPositions;
    std::vector<Triangle> addedTriangles; // corners numbered as after the change
    std::optional<std::vector<Group>> groupsBefore;
    std::optional<std::vector<Group>> groupsAfter;

    bool empty() const;
};

// Builds a MeshChange against the document as it is now.
class MeshEdit {
public:
    explicit MeshEdit(const CFacetoDoc& doc);

    const CFacetoDoc& document() const { return doc_; }
    void setFlags(int32_t vertex, int32_t flags);
    void setTriangle(int32_t triangle, const Triangle& after);
    void removeTriangle(int32_t triangle);
    // Removes every vertex that no triangle kept by this edit uses (call it before adding vertices).
    void removeUnusedVertices();
    // Adds a vertex at the same position in every frame; returns its index after the change.
    int32_t addVertex(const VertexInfo& info, const FrameVertex& position);
    // Adds a vertex with a position per frame.
    int32_t addVertex(const VertexInfo& info, const std::vector<FrameVertex>& positionPerFrame);
    void addTriangle(const Triangle& triangle);
    void setGroups(std::vector<Group> groups);
    const std::vector<Group>& groups() const;

    bool removesTriangle(int32_t triangle) const { return removeTriangle_[size_t(triangle)]; }
    std::unique_ptr<Command> finish(std::string name) &&;

private:
    const CFacetoDoc& doc_;
    MeshChange change_;
    std::vector<bool> removeTriangle_;
    std::vector<bool> removeVertex_;
    std::vector<std::optional<Triangle>> newTriangle_;
    std::vector<std::optional<int32_t>> newFlags_;
    std::vector<std::vector<FrameVertex>> perFrame_; // added positions, per frame
    std::vector<FrameVertex> shared_;                // added positions every frame takes
    bool positionsPerFrame_ = false;
    size_t keptVertices_;
};

// The frame list and the animations as an edit reshapes them: frames are kept, dropped, renamed or
// added by name; their positions stay where they are until the edit is done, so a step keeps only the
// frames it removed or added.
class FrameListEdit {
public:
    struct Slot {
        int32_t original = -1; // the frame's index before the edit; -1 for a new frame
        std::string name;
        std::shared_ptr<const Frame> added; // the positions of a new frame
    };

    explicit FrameListEdit(const CFacetoDoc& doc);

    std::vector<Slot> slots;
    std::vector<Animation> animations;
    int32_t currentAnimationIndex;
    int32_t currentFrameIndex; // the index the frame panels show as selected
    int32_t currentFrame;      // the frame shown and edited (-1: none)

    std::unique_ptr<Command> finish(std::string name) &&;

private:
    const CFacetoDoc& doc_;
};

} // namespace faceto
