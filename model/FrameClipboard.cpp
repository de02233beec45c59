#include "model/FrameClipboard.h"

#include "model/CFacetoDoc.h"
#include "model/DerivedData.h"

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

FrameClipboard::FrameClipboard() : frame_("ClipBoard") { model_.name = "BaseClipBoard"; }

void FrameClipboard::copySelection(const CFacetoDoc& document) {
    const Model& source = document.model;
    const Frame* current = document.currentFrame();
    std::vector<VertexInfo> infos;
    std::vector<Triangle> triangles;
    std::vector<FrameVertex> positions;
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
                positions.push_back(current && size_t(v) < current->positions.size() ? current->positions[size_t(v)]
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

void removeSelectedTriangles(Model& model, std::vector<Frame>& frames) {
    const size_t vertexCount = model.vertexInfos.size();
    std::vector<bool> used(vertexCount, false);
    size_t kept = 0;
    for (const Triangle& t : model.triangles) {
        if (allSelected(model, t)) {
            continue;
        }
        for (int32_t v : t.v) {
            used[size_t(v)] = true;
        }
        model.triangles[kept++] = t;
    }
    model.triangles.resize(kept);

    // New index of every vertex that stays; the others go from the vertex list and from every frame.
    std::vector<int32_t> newIndex(vertexCount, -1);
    size_t next = 0;
    for (size_t v = 0; v < vertexCount; ++v) {
        VertexInfo& info = model.vertexInfos[v];
        info.flags &= ~(VERTEX_SELECTED | VERTEX_MARKED);
        if (used[v]) {
            newIndex[v] = int32_t(next);
            model.vertexInfos[next++] = info;
        }
    }
    model.vertexInfos.resize(next);
    for (Triangle& t : model.triangles) {
        for (int32_t& v : t.v) {
            v = newIndex[size_t(v)];
        }
    }
    for (Frame& frame : frames) {
        size_t out = 0;
        for (size_t v = 0; v < frame.positions.size() && v < vertexCount; ++v) {
            if (newIndex[v] >= 0) {
                frame.positions[out++] = frame.positions[v];
            }
        }
        frame.positions.resize(out);
    }
}

void FrameClipboard::cutSelection(CFacetoDoc& document) {
    copySelection(document);
    removeSelectedTriangles(document.model, document.frames);
    buildEdges(document.model);
    document.changed(true);
}

void FrameClipboard::pasteInto(CFacetoDoc& document) const {
    if (kind_ == EMPTY) {
        return;
    }
    Model& target = document.model;
    const int32_t firstVertex = target.vertexCount();
    const int32_t group = int32_t(target.groups.size());
    target.vertexInfos.insert(target.vertexInfos.end(), model_.vertexInfos.begin(), model_.vertexInfos.end());
    // One position per pasted vertex, whatever the clipboard frame holds, so every frame keeps one
    // position per vertex.
    std::vector<FrameVertex> pasted(model_.vertexInfos.size());
    std::copy_n(frame_.positions.begin(), std::min(pasted.size(), frame_.positions.size()), pasted.begin());
    for (Frame& frame : document.frames) {
        frame.positions.insert(frame.positions.end(), pasted.begin(), pasted.end());
    }
    Group added;
    added.name = "group " + std::to_string(group + 1);
    added.flags = GROUP_VISIBLE;
    added.tag = 0;
    added.color = GROUP_COLORS[size_t(group) % GROUP_COLORS.size()];
    target.groups.push_back(added);
    target.triangles.reserve(target.triangles.size() + model_.triangles.size());
    for (Triangle t : model_.triangles) {
        for (int32_t& v : t.v) {
            v += firstVertex;
        }
        t.group = group;
        t.color = added.color;
        target.triangles.push_back(t);
    }
    buildEdges(target);
    document.changed(true);
}

void FrameClipboard::storeFrame(const CFacetoDoc& document, const Frame& frame) {
    copyMesh(document.model, model_);
    frame_ = frame;
    kind_ = FRAME;
}

} // namespace faceto
