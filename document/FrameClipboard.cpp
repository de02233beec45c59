#include "document/FrameClipboard.h"

#include "document/CFacetoDoc.h"
#include "document/EditCommands.h"
#include "document/EditOperations.h"
#include "model/DerivedData.h"
#include "model/Texts.h"

#include <algorithm>

namespace faceto {

namespace {

bool allSelected(const Model& model, const Triangle& t) {
    for (int32_t v : t.v) {
        if (!model.vertexInfos[size_t(v)].selected()) {
            return false;
        }
    }
    return true;
}

} // namespace

FrameClipboard::FrameClipboard() : frame_("ClipBoard") {
    model_.name = "BaseClipBoard";
}

void FrameClipboard::copySelection(const CFacetoDoc& document) {
    const Model& source = document.model();
    const Frame* current = document.currentFrame();
    std::vector<VertexInfo> infos;
    std::vector<Triangle> triangles;
    Positions positions;
    // Clipboard index of each document vertex already copied, -1 while not.
    std::vector<int32_t> copiedAs(source.vertexInfos.size(), -1);
    for (const Triangle& t : source.triangles) {
        if (!allSelected(source, t)) {
            continue;
        }
        Triangle copy = t;
        for (int32_t& v : copy.v) {
            int32_t& slot = copiedAs[size_t(v)];
            if (slot < 0) {
                slot = int32_t(infos.size());
                infos.push_back(source.vertexInfos[size_t(v)]);
                positions.push_back(current && size_t(v) < current->positions.size()
                                        ? current->positions[size_t(v)]
                                        : FrameVertex{});
            }
            v = slot;
        }
        triangles.push_back(copy);
    }
    if (triangles.empty()) {
        return;
    }
    model_.vertexInfos = std::move(infos);
    model_.triangles = std::move(triangles);
    model_.edges.clear();
    frame_.positions = std::move(positions);
    kind_ = GEOMETRY;
}

void FrameClipboard::cutSelection(CFacetoDoc& document) {
    copySelection(document);
    document.run(deleteSelectedTriangles(document, FACETO_TEXT("Cut")));
}

void FrameClipboard::pasteInto(CFacetoDoc& document) const {
    if (kind_ == EMPTY) {
        return;
    }
    MeshEdit edit(document);
    const int32_t firstVertex = document.model().vertexCount();
    const int32_t group = int32_t(document.model().groups.size());
    // One position per pasted vertex, whatever the clipboard frame holds, so every frame keeps one
    // position per vertex; every frame takes the same positions.
    for (size_t v = 0; v < model_.vertexInfos.size(); ++v) {
        edit.addVertex(model_.vertexInfos[v],
                       v < frame_.positions.size() ? frame_.positions[v] : FrameVertex{});
    }
    Group added;
    added.name = "group " + std::to_string(group + 1);
    added.flags = GROUP_VISIBLE;
    added.tag = 0;
    added.color = GROUP_COLORS[size_t(group) % GROUP_COLORS.size()];
    std::vector<Group> groups = document.model().groups;
    groups.push_back(added);
    edit.setGroups(std::move(groups));
    for (Triangle t : model_.triangles) {
        for (int32_t& v : t.v) {
            v += firstVertex;
        }
        t.group = group;
        t.color = added.color;
        edit.addTriangle(t);
    }
    document.run(std::move(edit).finish(FACETO_TEXT("Paste")));
}

void FrameClipboard::storeFrame(const CFacetoDoc& document, const Frame& frame) {
    copyMesh(document.model(), model_);
    frame_ = frame;
    kind_ = FRAME;
}

} // namespace faceto
