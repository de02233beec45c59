#include "formats/VertexNormals.h"

#include "formats/NormalTable.h"

#include <cmath>

namespace faceto {

namespace {

struct Vec3 {
    float x, y, z;
};
Vec3 sub(Vec3 a, Vec3 b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
Vec3 cross(Vec3 a, Vec3 b) {
    return {a.y * b.z - b.y * a.z, b.x * a.z - a.x * b.z, a.x * b.y - b.x * a.y};
}
// The three divisions as one of four lanes: each lane rounds as its own division would.
using Lanes = float __attribute__((vector_size(16)));

Vec3 normalized(Vec3 v) {
    const float length = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    if (length == 0.0f) {
        return v;
    }
    const Lanes q = Lanes{v.x, v.y, v.z, 1.0f} / Lanes{length, length, length, 1.0f};
    return {q[0], q[1], q[2]};
}

} // namespace

TriangleCorners::TriangleCorners(const Model& model) : vertexCount(model.vertexInfos.size()) {
    corners.reserve(model.triangles.size());
    for (const Triangle& t : model.triangles) {
        corners.push_back(t.v);
    }
}

void vertexNormalIndices(const Model& model, const Frame& frame, std::vector<uint8_t>& indices) {
    vertexNormalIndices(TriangleCorners(model), frame, indices);
}

void vertexNormalIndices(const TriangleCorners& mesh, const Frame& frame, std::vector<uint8_t>& indices) {
    const size_t count = mesh.vertexCount;
    auto position = [&](int32_t v) {
        return size_t(v) < frame.positions.size()
                   ? Vec3{frame.positions[size_t(v)].x, frame.positions[size_t(v)].y,
                          frame.positions[size_t(v)].z}
                   : Vec3{0, 0, 0};
    };
    std::vector<Vec3> sum(count, Vec3{0, 0, 0});
    std::vector<int32_t> faces(count, 0);
    for (const std::array<int32_t, 3> t : mesh.corners) { // a copy: the sums written do not touch it
        const Vec3 face =
            normalized(cross(sub(position(t[0]), position(t[1])), sub(position(t[2]), position(t[1]))));
        for (int32_t v : t) {
            if (size_t(v) < count) {
                Vec3& s = sum[size_t(v)];
                s = {s.x + face.x, s.y + face.y, s.z + face.z};
                ++faces[size_t(v)];
            }
        }
    }
    indices.resize(count);
    for (size_t v = 0; v < count; ++v) {
        Vec3 n = sum[v];
        if (faces[v] > 0) {
            const float k = float(faces[v]);
            n = {n.x / k, n.y / k, n.z / k};
        }
        n = normalized(n);
        indices[v] = uint8_t(closestNormal(n.x, n.y, n.z));
    }
}

} // namespace faceto
