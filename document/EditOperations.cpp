#include "document/EditOperations.h"

#include "document/CFacetoDoc.h"
#include "document/DocumentEdit.h"
#include "document/EditCommands.h"
#include "document/FrameOperations.h"
#include "model/Texts.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace faceto {

namespace {

bool allSelected(const Model& model, const Triangle& t) {
    return std::all_of(t.v.begin(), t.v.end(),
                       [&](int32_t v) { return model.vertexInfos[size_t(v)].selected(); });
}

// The groups' visibility as their vertices show it, after `flags` (new vertex flags) take effect.
std::vector<Group> groupsFollowing(const Model& model, const std::vector<int32_t>& flags) {
    std::vector<Group> groups = model.groups;
    std::vector<int> seen(groups.size(), 0); // 0 no triangle, 1 all hidden, 2 some vertex visible
    for (const Triangle& t : model.triangles) {
        if (t.group < 0 || size_t(t.group) >= groups.size()) {
            continue;
        }
        int& state = seen[size_t(t.group)];
        for (int32_t v : t.v) {
            state = std::max(state, (flags[size_t(v)] & VERTEX_VISIBLE) ? 2 : 1);
        }
    }
    for (size_t g = 0; g < groups.size(); ++g) {
        if (seen[g] != 0) {
            groups[g].flags =
                seen[g] == 2 ? (groups[g].flags | GROUP_VISIBLE) : (groups[g].flags & ~GROUP_VISIBLE);
        }
    }
    return groups;
}

// Sets new flags on every vertex, the groups following them, as one step (none when nothing changes).
void runFlagEdit(CFacetoDoc& doc, const std::vector<int32_t>& flags, const std::string& name) {
    const Model& model = doc.model();
    MeshEdit edit(doc);
    bool changes = false;
    for (size_t v = 0; v < flags.size(); ++v) {
        if (flags[v] != model.vertexInfos[v].flags) {
            edit.setFlags(int32_t(v), flags[v]);
            changes = true;
        }
    }
    std::vector<Group> groups = groupsFollowing(model, flags);
    const bool groupsChange = std::any_of(groups.begin(), groups.end(), [&](const Group& g) {
        return g.flags != model.groups[size_t(&g - groups.data())].flags;
    });
    if (groupsChange) {
        edit.setGroups(std::move(groups));
    }
    if (changes || groupsChange) {
        doc.run(std::move(edit).finish(name));
    }
}

Group newGroup(int32_t index) {
    Group g;
    g.name = "group " + std::to_string(index + 1);
    g.flags = GROUP_VISIBLE;
    g.tag = 0;
    g.color = GROUP_COLORS[size_t(index) % GROUP_COLORS.size()];
    return g;
}

struct Shape {
    std::vector<FrameVertex> points;
    std::vector<std::array<int32_t, 3>> faces; // wound counter-clockwise seen from outside
};

// The primitive shapes, one unit across about the origin.
Shape shapeOf(Primitive primitive) {
    Shape s;
    constexpr int SEGMENTS = 12;
    const float pi = std::numbers::pi_v<float>;
    auto ring = [&](float z, float radius) {
        const int32_t first = int32_t(s.points.size());
        for (int i = 0; i < SEGMENTS; ++i) {
            const float a = 2.0f * pi * float(i) / float(SEGMENTS);
            s.points.push_back({radius * std::cos(a), radius * std::sin(a), z});
        }
        return first;
    };
    auto next = [](int32_t first, int i) { return first + (i + 1) % SEGMENTS; };
    switch (primitive) {
    case Primitive::Triangle:
        // Standing in the plane x = 0, its face towards +x (where the front view looks from).
        s.points = {{0, -0.5f, -0.5f}, {0, 0.5f, -0.5f}, {0, 0, 0.5f}};
        s.faces = {{0, 1, 2}};
        break;
    case Primitive::Cube:
        for (int i = 0; i < 8; ++i) {
            s.points.push_back({i & 1 ? 0.5f : -0.5f, i & 2 ? 0.5f : -0.5f, i & 4 ? 0.5f : -0.5f});
        }
        s.faces = {{0, 2, 3}, {0, 3, 1}, {4, 5, 7}, {4, 7, 6}, {0, 1, 5}, {0, 5, 4},
                   {2, 6, 7}, {2, 7, 3}, {0, 4, 6}, {0, 6, 2}, {1, 3, 7}, {1, 7, 5}};
        break;
    case Primitive::Cone:
    case Primitive::Cylinder: {
        const bool cone = primitive == Primitive::Cone;
        const int32_t bottom = ring(-0.5f, 0.5f);
        const int32_t top = cone ? -1 : ring(0.5f, 0.5f);
        const int32_t apex = int32_t(s.points.size());
        s.points.push_back({0, 0, 0.5f});
        const int32_t base = int32_t(s.points.size());
        s.points.push_back({0, 0, -0.5f});
        for (int i = 0; i < SEGMENTS; ++i) {
            const int32_t a = bottom + i;
            const int32_t b = next(bottom, i);
            s.faces.push_back({base, b, a});
            if (cone) {
                s.faces.push_back({a, b, apex});
            } else {
                const int32_t c = top + i;
                const int32_t d = next(top, i);
                s.faces.push_back({a, b, d});
                s.faces.push_back({a, d, c});
                s.faces.push_back({apex, c, d});
            }
        }
        break;
    }
    case Primitive::Sphere: {
        constexpr int STACKS = 8;
        const int32_t south = int32_t(s.points.size());
        s.points.push_back({0, 0, -0.5f});
        std::vector<int32_t> rings;
        for (int k = 1; k < STACKS; ++k) {
            const float phi = pi * float(k) / float(STACKS) - pi / 2;
            rings.push_back(ring(0.5f * std::sin(phi), 0.5f * std::cos(phi)));
        }
        const int32_t north = int32_t(s.points.size());
        s.points.push_back({0, 0, 0.5f});
        for (int i = 0; i < SEGMENTS; ++i) {
            s.faces.push_back({south, next(rings.front(), i), rings.front() + i});
            s.faces.push_back({rings.back() + i, next(rings.back(), i), north});
            for (size_t k = 0; k + 1 < rings.size(); ++k) {
                const int32_t a = rings[k] + i;
                const int32_t b = next(rings[k], i);
                const int32_t c = rings[k + 1] + i;
                const int32_t d = next(rings[k + 1], i);
                s.faces.push_back({a, b, d});
                s.faces.push_back({a, d, c});
            }
        }
        break;
    }
    }
    return s;
}

} // namespace

std::vector<int32_t> selectedTriangles(const CFacetoDoc& doc) {
    std::vector<int32_t> out;
    for (size_t t = 0; t < doc.model().triangles.size(); ++t) {
        if (allSelected(doc.model(), doc.model().triangles[t])) {
            out.push_back(int32_t(t));
        }
    }
    return out;
}

void invertSelection(CFacetoDoc& doc) {
    for (VertexInfo& info : DocumentEdit::model(doc).vertexInfos) {
        if (info.visible()) {
            info.flags = (info.flags ^ VERTEX_SELECTED) & ~VERTEX_MARKED;
        }
    }
    doc.changed({change::SELECTION});
}

void selectTriangles(CFacetoDoc& doc, const std::vector<int32_t>& triangles, bool add) {
    auto& infos = DocumentEdit::model(doc).vertexInfos;
    if (!add) {
        for (VertexInfo& info : infos) {
            if (info.visible()) {
                info.flags &= ~VERTEX_SELECTED;
            }
        }
    }
    for (int32_t t : triangles) {
        for (int32_t v : doc.model().triangles[size_t(t)].v) {
            if (infos[size_t(v)].visible()) {
                infos[size_t(v)].flags |= VERTEX_SELECTED;
            }
        }
    }
    doc.changed({change::SELECTION});
}

void hideSelected(CFacetoDoc& doc) {
    std::vector<int32_t> flags;
    for (const VertexInfo& info : doc.model().vertexInfos) {
        const bool hide = info.visible() && info.selected();
        flags.push_back(hide ? info.flags & ~(VERTEX_VISIBLE | VERTEX_SELECTED | VERTEX_MARKED) : info.flags);
    }
    runFlagEdit(doc, flags, FACETO_TEXT("Hide Selected"));
}

void showAll(CFacetoDoc& doc) {
    std::vector<int32_t> flags;
    for (const VertexInfo& info : doc.model().vertexInfos) {
        flags.push_back(info.flags | VERTEX_VISIBLE);
    }
    runFlagEdit(doc, flags, FACETO_TEXT("Show All"));
}

std::unique_ptr<Command> deleteSelectedTriangles(const CFacetoDoc& doc, const std::string& name) {
    const Model& model = doc.model();
    MeshEdit edit(doc);
    for (int32_t t : selectedTriangles(doc)) {
        edit.removeTriangle(t);
    }
    edit.removeUnusedVertices();
    for (size_t v = 0; v < model.vertexInfos.size(); ++v) {
        edit.setFlags(int32_t(v), model.vertexInfos[v].flags & ~(VERTEX_SELECTED | VERTEX_MARKED));
    }
    return std::move(edit).finish(name);
}

void flipSelectedTriangles(CFacetoDoc& doc) {
    const std::vector<int32_t> selected = selectedTriangles(doc);
    if (selected.empty()) {
        return;
    }
    MeshEdit edit(doc);
    for (int32_t t : selected) {
        Triangle flipped = doc.model().triangles[size_t(t)];
        std::swap(flipped.v[1], flipped.v[2]);
        std::swap(flipped.st[1], flipped.st[2]);
        std::swap(flipped.cornerAux[1], flipped.cornerAux[2]);
        edit.setTriangle(t, flipped);
    }
    doc.run(std::move(edit).finish(FACETO_TEXT("Flip Triangles")));
}

void cloneSelected(CFacetoDoc& doc) {
    const std::vector<int32_t> selected = selectedTriangles(doc);
    if (selected.empty()) {
        return;
    }
    const Model& model = doc.model();
    MeshEdit edit(doc);
    std::vector<int32_t> copyOf(model.vertexInfos.size(), -1);
    std::vector<FrameVertex> positions(doc.frames().size());
    for (int32_t t : selected) {
        Triangle copy = model.triangles[size_t(t)];
        for (int32_t& v : copy.v) {
            if (copyOf[size_t(v)] < 0) {
                for (size_t f = 0; f < doc.frames().size(); ++f) {
                    positions[f] = doc.frames()[f].positions[size_t(v)];
                }
                VertexInfo info = model.vertexInfos[size_t(v)];
                info.flags = (info.flags | VERTEX_SELECTED) & ~VERTEX_MARKED;
                copyOf[size_t(v)] = edit.addVertex(info, positions);
            }
            v = copyOf[size_t(v)];
        }
        edit.addTriangle(copy);
    }
    // The copies are the selection, so that a drag moves them off the originals.
    for (size_t v = 0; v < model.vertexInfos.size(); ++v) {
        if (model.vertexInfos[v].selected()) {
            edit.setFlags(int32_t(v), model.vertexInfos[v].flags & ~(VERTEX_SELECTED | VERTEX_MARKED));
        }
    }
    doc.run(std::move(edit).finish(FACETO_TEXT("Clone")));
}

bool newGroupFromSelection(CFacetoDoc& doc) {
    const std::vector<int32_t> selected = selectedTriangles(doc);
    if (selected.empty()) {
        return false;
    }
    MeshEdit edit(doc);
    std::vector<Group> groups = doc.model().groups;
    const int32_t index = int32_t(groups.size());
    groups.push_back(newGroup(index));
    for (int32_t t : selected) {
        Triangle moved = doc.model().triangles[size_t(t)];
        moved.group = index;
        moved.color = groups.back().color;
        edit.setTriangle(t, moved);
    }
    edit.setGroups(std::move(groups));
    doc.run(std::move(edit).finish(FACETO_TEXT("New Group")));
    return true;
}

void renameGroup(CFacetoDoc& doc, int group, const std::string& name) {
    if (group < 0 || size_t(group) >= doc.model().groups.size() || name.empty() ||
        doc.model().groups[size_t(group)].name == name) {
        return;
    }
    MeshEdit edit(doc);
    std::vector<Group> groups = doc.model().groups;
    groups[size_t(group)].name = name;
    edit.setGroups(std::move(groups));
    doc.run(std::move(edit).finish(FACETO_TEXT("Rename Group")));
}

void deleteGroup(CFacetoDoc& doc, int group) {
    const Model& model = doc.model();
    if (group < 0 || size_t(group) >= model.groups.size()) {
        return;
    }
    MeshEdit edit(doc);
    for (size_t t = 0; t < model.triangles.size(); ++t) {
        const Triangle& tri = model.triangles[t];
        if (tri.group == group) {
            edit.removeTriangle(int32_t(t));
        } else if (tri.group > group) {
            Triangle renumbered = tri;
            --renumbered.group;
            edit.setTriangle(int32_t(t), renumbered);
        }
    }
    edit.removeUnusedVertices();
    std::vector<Group> groups = model.groups;
    groups.erase(groups.begin() + group);
    edit.setGroups(std::move(groups));
    doc.run(std::move(edit).finish(FACETO_TEXT("Delete Group")));
}

void addPrimitive(CFacetoDoc& doc, Primitive shape, const std::array<float, 3>& centre, float size) {
    const Shape s = shapeOf(shape);
    const Model& model = doc.model();
    MeshEdit edit(doc);
    // The new shape is the selection, ready to be moved into place.
    for (size_t v = 0; v < model.vertexInfos.size(); ++v) {
        if (model.vertexInfos[v].selected()) {
            edit.setFlags(int32_t(v), model.vertexInfos[v].flags & ~VERTEX_SELECTED);
        }
    }
    const int32_t first = model.vertexCount();
    VertexInfo info;
    info.flags = VERTEX_VISIBLE | VERTEX_SELECTED;
    for (const FrameVertex& p : s.points) {
        edit.addVertex(info,
                       FrameVertex{centre[0] + p.x * size, centre[1] + p.y * size, centre[2] + p.z * size});
    }
    std::vector<Group> groups = model.groups;
    const int32_t index = int32_t(groups.size());
    groups.push_back(newGroup(index));
    for (const auto& face : s.faces) {
        Triangle t;
        // The camera draws a face whose corners run clockwise seen from outside.
        t.v = {first + face[0], first + face[2], first + face[1]};
        t.group = index;
        t.color = groups.back().color;
        edit.addTriangle(t);
    }
    edit.setGroups(std::move(groups));
    doc.run(std::move(edit).finish(FACETO_TEXT("Add Primitive")));
}

} // namespace faceto
