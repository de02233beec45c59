#include "document/Selection.h"

#include "document/CFacetoDoc.h"
#include "document/DocumentEdit.h"

#include <algorithm>

namespace faceto {

void selectAll(Model& model) {
    for (VertexInfo& info : model.vertexInfos) {
        if (info.visible()) {
            info.flags = (info.flags | VERTEX_SELECTED) & ~VERTEX_MARKED;
        }
    }
}

void selectNone(Model& model) {
    for (VertexInfo& info : model.vertexInfos) {
        if (info.visible()) {
            info.flags &= ~(VERTEX_SELECTED | VERTEX_MARKED);
        }
    }
}

void markVertices(CFacetoDoc& doc, const std::vector<int32_t>& vertices) {
    auto& infos = DocumentEdit::model(doc).vertexInfos;
    for (int32_t v : vertices) {
        if (v >= 0 && size_t(v) < infos.size()) {
            infos[size_t(v)].flags |= VERTEX_MARKED;
        }
    }
    doc.changed({change::SELECTION});
}

void markOnly(CFacetoDoc& doc, const std::vector<int32_t>& vertices) {
    auto& infos = DocumentEdit::model(doc).vertexInfos;
    for (VertexInfo& info : infos) {
        if (info.visible()) {
            info.flags &= ~VERTEX_MARKED;
        }
    }
    for (int32_t v : vertices) {
        if (v >= 0 && size_t(v) < infos.size() && infos[size_t(v)].visible()) {
            infos[size_t(v)].flags |= VERTEX_MARKED;
        }
    }
    doc.changed({change::SELECTION});
}

void endMarks(CFacetoDoc& doc, MarksBecome what) {
    for (VertexInfo& info : DocumentEdit::model(doc).vertexInfos) {
        if (!info.marked()) {
            continue;
        }
        info.flags &= ~VERTEX_MARKED;
        if (what == MarksBecome::Selected) {
            info.flags |= VERTEX_SELECTED;
        } else if (what == MarksBecome::Toggled) {
            info.flags ^= VERTEX_SELECTED;
        }
    }
    doc.changed({change::SELECTION});
}

void toggleTriangle(CFacetoDoc& doc, int32_t triangle) {
    if (triangle < 0 || size_t(triangle) >= doc.model().triangles.size()) {
        return;
    }
    auto& infos = DocumentEdit::model(doc).vertexInfos;
    const Triangle& t = doc.model().triangles[size_t(triangle)];
    const bool whole =
        std::all_of(t.v.begin(), t.v.end(), [&](int32_t v) { return infos[size_t(v)].selected(); });
    for (int32_t v : t.v) {
        VertexInfo& info = infos[size_t(v)];
        if (whole) {
            info.flags &= ~VERTEX_SELECTED;
        } else if (info.visible()) {
            info.flags |= VERTEX_SELECTED;
        }
    }
    doc.changed({change::SELECTION});
}

VertexPositions scaledSelection(const Model& model, const Frame& frame, const std::array<float, 3>& factors) {
    const size_t count = std::min(model.vertexInfos.size(), frame.positions.size());
    auto qualifies = [&](size_t i) {
        const int32_t flags = model.vertexInfos[i].flags;
        return (flags & VERTEX_VISIBLE) && (flags & VERTEX_SELECTED);
    };
    std::array<float, 3> lo{1e23f, 1e23f, 1e23f};
    std::array<float, 3> hi{-1e23f, -1e23f, -1e23f};
    VertexPositions out;
    for (size_t i = 0; i < count; ++i) {
        if (!qualifies(i)) {
            continue;
        }
        out.vertices.push_back(int32_t(i));
        for (int a = 0; a < 3; ++a) {
            lo[size_t(a)] = std::min(lo[size_t(a)], frame.positions[i][a]);
            hi[size_t(a)] = std::max(hi[size_t(a)], frame.positions[i][a]);
        }
    }
    std::array<float, 3> centre{};
    for (size_t a = 0; a < 3; ++a) {
        centre[a] = (lo[a] + hi[a]) / 2.0f;
    }
    out.positions.reserve(out.vertices.size());
    for (int32_t v : out.vertices) {
        FrameVertex p = frame.positions[size_t(v)];
        for (int a = 0; a < 3; ++a) {
            p[a] = centre[size_t(a)] + (p[a] - centre[size_t(a)]) * factors[size_t(a)];
        }
        out.positions.push_back(p);
    }
    return out;
}

void scaleSelection(const Model& model, Frame& frame, const std::array<float, 3>& factors) {
    const VertexPositions scaled = scaledSelection(model, frame, factors);
    for (size_t i = 0; i < scaled.vertices.size(); ++i) {
        frame.positions[size_t(scaled.vertices[i])] = scaled.positions[i];
    }
}

} // namespace faceto
