#include "model/Model.h"

namespace faceto {

void copyMesh(const Model& from, Model& to) {
    to.name = from.name;
    to.vertexInfos = from.vertexInfos;
    to.triangles = from.triangles;
    to.edges = from.edges;
    to.skins = from.skins;
}

} // namespace faceto
