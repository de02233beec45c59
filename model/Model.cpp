#include "model/Model.h"

namespace faceto {

SkeletonNode& SkeletonNode::operator=(const SkeletonNode& other) {
    if (this == &other) {
        return *this;
    }
    for (int i : {0, 1, 2, 6, 7, 8}) {
        block[size_t(i)] = other.block[size_t(i)];
    }
    matrix = other.matrix;
    name = other.name;
    parent = other.parent;
    children = other.children;
    flags = other.flags;
    mesh = other.mesh;
    size = other.size;
    return *this;
}

void copyMesh(const Model& from, Model& to) {
    to.name = from.name;
    to.vertexInfos = from.vertexInfos;
    to.triangles = from.triangles;
    to.edges = from.edges;
    to.skins = from.skins;
}

} // namespace faceto
