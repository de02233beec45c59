#include "model/Model.h"

namespace faceto {

void copyMesh(const Model& from, Model& to) {
    to.name = from.name;
    to.vertexInfos = from.vertexInfos;
    to.triangles = from.triangles;
    to.edges = from.edges;
    to.skins = from.skins;
}

std::string nameFieldText(const Md3Fields::NameField& field) {
    size_t n = 0;
    while (n < field.size() && field[n] != 0) {
        ++n;
    }
    return {reinterpret_cast<const char*>(field.data()), n};
}

} // namespace faceto
