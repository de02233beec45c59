#include "formats/NormalTable.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace faceto {

// The directions of a twice-subdivided icosahedron, in the order the format numbers them.
const std::array<std::array<float, 3>, 162> MD2_NORMALS{{
    {-0.525731f, 0.000000f, 0.850651f},   {-0.442863f, 0.238856f, 0.864188f},
    {-0.295242f, 0.000000f, 0.955423f},   {-0.309017f, 0.500000f, 0.809017f},
    {-0.162460f, 0.262866f, 0.951056f},   {0.000000f, 0.000000f, 1.000000f},
    {0.000000f, 0.850651f, 0.525731f},    {-0.147621f, 0.716567f, 0.681718f},
    {0.147621f, 0.716567f, 0.681718f},    {0.000000f, 0.525731f, 0.850651f},
    {0.309017f, 0.500000f, 0.809017f},    {0.525731f, 0.000000f, 0.850651f},
    {0.295242f, 0.000000f, 0.955423f},    {0.442863f, 0.238856f, 0.864188f},
    {0.162460f, 0.262866f, 0.951056f},    {-0.681718f, 0.147621f, 0.716567f},
    {-0.809017f, 0.309017f, 0.500000f},   {-0.587785f, 0.425325f, 0.688191f},
    {-0.850651f, 0.525731f, 0.000000f},   {-0.864188f, 0.442863f, 0.238856f},
    {-0.716567f, 0.681718f, 0.147621f},   {-0.688191f, 0.587785f, 0.425325f},
    {-0.500000f, 0.809017f, 0.309017f},   {-0.238856f, 0.864188f, 0.442863f},
    {-0.425325f, 0.688191f, 0.587785f},   {-0.716567f, 0.681718f, -0.147621f},
    {-0.500000f, 0.809017f, -0.309017f},  {-0.525731f, 0.850651f, 0.000000f},
    {0.000000f, 0.850651f, -0.525731f},   {-0.238856f, 0.864188f, -0.442863f},
    {0.000000f, 0.955423f, -0.295242f},   {-0.262866f, 0.951056f, -0.162460f},
    {0.000000f, 1.000000f, 0.000000f},    {0.000000f, 0.955423f, 0.295242f},
    {-0.262866f, 0.951056f, 0.162460f},   {0.238856f, 0.864188f, 0.442863f},
    {0.262866f, 0.951056f, 0.162460f},    {0.500000f, 0.809017f, 0.309017f},
    {0.238856f, 0.864188f, -0.442863f},   {0.262866f, 0.951056f, -0.162460f},
    {0.500000f, 0.809017f, -0.309017f},   {0.850651f, 0.525731f, 0.000000f},
    {0.716567f, 0.681718f, 0.147621f},    {0.716567f, 0.681718f, -0.147621f},
    {0.525731f, 0.850651f, 0.000000f},    {0.425325f, 0.688191f, 0.587785f},
    {0.864188f, 0.442863f, 0.238856f},    {0.688191f, 0.587785f, 0.425325f},
    {0.809017f, 0.309017f, 0.500000f},    {0.681718f, 0.147621f, 0.716567f},
    {0.587785f, 0.425325f, 0.688191f},    {0.955423f, 0.295242f, 0.000000f},
    {1.000000f, 0.000000f, 0.000000f},    {0.951056f, 0.162460f, 0.262866f},
    {0.850651f, -0.525731f, 0.000000f},   {0.955423f, -0.295242f, 0.000000f},
    {0.864188f, -0.442863f, 0.238856f},   {0.951056f, -0.162460f, 0.262866f},
    {0.809017f, -0.309017f, 0.500000f},   {0.681718f, -0.147621f, 0.716567f},
    {0.850651f, 0.000000f, 0.525731f},    {0.864188f, 0.442863f, -0.238856f},
    {0.809017f, 0.309017f, -0.500000f},   {0.951056f, 0.162460f, -0.262866f},
    {0.525731f, 0.000000f, -0.850651f},   {0.681718f, 0.147621f, -0.716567f},
    {0.681718f, -0.147621f, -0.716567f},  {0.850651f, 0.000000f, -0.525731f},
    {0.809017f, -0.309017f, -0.500000f},  {0.864188f, -0.442863f, -0.238856f},
    {0.951056f, -0.162460f, -0.262866f},  {0.147621f, 0.716567f, -0.681718f},
    {0.309017f, 0.500000f, -0.809017f},   {0.425325f, 0.688191f, -0.587785f},
    {0.442863f, 0.238856f, -0.864188f},   {0.587785f, 0.425325f, -0.688191f},
    {0.688191f, 0.587785f, -0.425325f},   {-0.147621f, 0.716567f, -0.681718f},
    {-0.309017f, 0.500000f, -0.809017f},  {0.000000f, 0.525731f, -0.850651f},
    {-0.525731f, 0.000000f, -0.850651f},  {-0.442863f, 0.238856f, -0.864188f},
    {-0.295242f, 0.000000f, -0.955423f},  {-0.162460f, 0.262866f, -0.951056f},
    {0.000000f, 0.000000f, -1.000000f},   {0.295242f, 0.000000f, -0.955423f},
    {0.162460f, 0.262866f, -0.951056f},   {-0.442863f, -0.238856f, -0.864188f},
    {-0.309017f, -0.500000f, -0.809017f}, {-0.162460f, -0.262866f, -0.951056f},
    {0.000000f, -0.850651f, -0.525731f},  {-0.147621f, -0.716567f, -0.681718f},
    {0.147621f, -0.716567f, -0.681718f},  {0.000000f, -0.525731f, -0.850651f},
    {0.309017f, -0.500000f, -0.809017f},  {0.442863f, -0.238856f, -0.864188f},
    {0.162460f, -0.262866f, -0.951056f},  {0.238856f, -0.864188f, -0.442863f},
    {0.500000f, -0.809017f, -0.309017f},  {0.425325f, -0.688191f, -0.587785f},
    {0.716567f, -0.681718f, -0.147621f},  {0.688191f, -0.587785f, -0.425325f},
    {0.587785f, -0.425325f, -0.688191f},  {0.000000f, -0.955423f, -0.295242f},
    {0.000000f, -1.000000f, 0.000000f},   {0.262866f, -0.951056f, -0.162460f},
    {0.000000f, -0.850651f, 0.525731f},   {0.000000f, -0.955423f, 0.295242f},
    {0.238856f, -0.864188f, 0.442863f},   {0.262866f, -0.951056f, 0.162460f},
    {0.500000f, -0.809017f, 0.309017f},   {0.716567f, -0.681718f, 0.147621f},
    {0.525731f, -0.850651f, 0.000000f},   {-0.238856f, -0.864188f, -0.442863f},
    {-0.500000f, -0.809017f, -0.309017f}, {-0.262866f, -0.951056f, -0.162460f},
    {-0.850651f, -0.525731f, 0.000000f},  {-0.716567f, -0.681718f, -0.147621f},
    {-0.716567f, -0.681718f, 0.147621f},  {-0.525731f, -0.850651f, 0.000000f},
    {-0.500000f, -0.809017f, 0.309017f},  {-0.238856f, -0.864188f, 0.442863f},
    {-0.262866f, -0.951056f, 0.162460f},  {-0.864188f, -0.442863f, 0.238856f},
    {-0.809017f, -0.309017f, 0.500000f},  {-0.688191f, -0.587785f, 0.425325f},
    {-0.681718f, -0.147621f, 0.716567f},  {-0.442863f, -0.238856f, 0.864188f},
    {-0.587785f, -0.425325f, 0.688191f},  {-0.309017f, -0.500000f, 0.809017f},
    {-0.147621f, -0.716567f, 0.681718f},  {-0.425325f, -0.688191f, 0.587785f},
    {-0.162460f, -0.262866f, 0.951056f},  {0.442863f, -0.238856f, 0.864188f},
    {0.162460f, -0.262866f, 0.951056f},   {0.309017f, -0.500000f, 0.809017f},
    {0.147621f, -0.716567f, 0.681718f},   {0.000000f, -0.525731f, 0.850651f},
    {0.425325f, -0.688191f, 0.587785f},   {0.587785f, -0.425325f, 0.688191f},
    {0.688191f, -0.587785f, 0.425325f},   {-0.955423f, 0.295242f, 0.000000f},
    {-0.951056f, 0.162460f, 0.262866f},   {-1.000000f, 0.000000f, 0.000000f},
    {-0.850651f, 0.000000f, 0.525731f},   {-0.955423f, -0.295242f, 0.000000f},
    {-0.951056f, -0.162460f, 0.262866f},  {-0.864188f, 0.442863f, -0.238856f},
    {-0.951056f, 0.162460f, -0.262866f},  {-0.809017f, 0.309017f, -0.500000f},
    {-0.864188f, -0.442863f, -0.238856f}, {-0.951056f, -0.162460f, -0.262866f},
    {-0.809017f, -0.309017f, -0.500000f}, {-0.681718f, 0.147621f, -0.716567f},
    {-0.681718f, -0.147621f, -0.716567f}, {-0.850651f, 0.000000f, -0.525731f},
    {-0.688191f, 0.587785f, -0.425325f},  {-0.587785f, 0.425325f, -0.688191f},
    {-0.425325f, 0.688191f, -0.587785f},  {-0.425325f, -0.688191f, -0.587785f},
    {-0.587785f, -0.425325f, -0.688191f}, {-0.688191f, -0.587785f, -0.425325f},
}};

} // namespace faceto

namespace faceto {

namespace {

constexpr int CELLS = 16; // per side of each cube face
// Directions are float-rounded, so a cell also lists entries a little beyond the exact bound.
constexpr double SLACK = 0.01;

struct Direction {
    double x, y, z;
};

double angleBetween(Direction a, Direction b) {
    const double la = std::sqrt(a.x * a.x + a.y * a.y + a.z * a.z);
    const double lb = std::sqrt(b.x * b.x + b.y * b.y + b.z * b.z);
    return std::acos(std::clamp((a.x * b.x + a.y * b.y + a.z * b.z) / (la * lb), -1.0, 1.0));
}

// A point of cube face `face` (axis face / 2, its negative side when face is odd) at (u, v) in [-1, 1].
Direction onFace(int face, double u, double v) {
    const int axis = face / 2;
    const double side = face % 2 ? -1.0 : 1.0;
    double c[3];
    c[axis] = side;
    c[(axis + 1) % 3] = u;
    c[(axis + 2) % 3] = v;
    return {c[0], c[1], c[2]};
}

class CubeCells {
public:
    CubeCells() {
        for (int face = 0; face < 6; ++face) {
            for (int i = 0; i < CELLS; ++i) {
                for (int j = 0; j < CELLS; ++j) {
                    fill(face, i, j);
                }
            }
        }
    }

    const std::vector<uint8_t>& candidates(int face, int i, int j) const {
        return cells_[size_t((face * CELLS + i) * CELLS + j)];
    }

private:
    // For a direction n in the cell, an entry k can only beat the entry j nearest the cell's centre c if
    // angle(c, k) - r <= angle(c, j) + r, r being the largest angle from c to the cell's corners.
    void fill(int face, int i, int j) {
        const double u0 = -1.0 + 2.0 * i / CELLS;
        const double u1 = -1.0 + 2.0 * (i + 1) / CELLS;
        const double v0 = -1.0 + 2.0 * j / CELLS;
        const double v1 = -1.0 + 2.0 * (j + 1) / CELLS;
        const Direction centre = onFace(face, (u0 + u1) / 2, (v0 + v1) / 2);
        double radius = 0;
        for (double u : {u0, u1}) {
            for (double v : {v0, v1}) {
                radius = std::max(radius, angleBetween(centre, onFace(face, u, v)));
            }
        }
        std::array<double, 162> angles{};
        double nearest = 10;
        for (size_t k = 0; k < 162; ++k) {
            angles[k] = angleBetween(centre, {MD2_NORMALS[k][0], MD2_NORMALS[k][1], MD2_NORMALS[k][2]});
            nearest = std::min(nearest, angles[k]);
        }
        std::vector<uint8_t> list;
        for (size_t k = 0; k < 162; ++k) {
            if (angles[k] <= nearest + 2 * radius + SLACK) {
                list.push_back(uint8_t(k));
            }
        }
        cells_.push_back(std::move(list));
    }

    std::vector<std::vector<uint8_t>> cells_;
};

float dot(float x, float y, float z, size_t k) {
    return x * MD2_NORMALS[k][0] + y * MD2_NORMALS[k][1] + z * MD2_NORMALS[k][2];
}

int cellIndex(float coordinate, float major) {
    const int i = int((coordinate / major + 1.0f) * 0.5f * CELLS);
    return std::clamp(i, 0, CELLS - 1);
}

} // namespace

int closestNormalByScan(float x, float y, float z) {
    int best = 0;
    float bestDot = -10.0f;
    for (size_t k = 0; k < MD2_NORMALS.size(); ++k) {
        const float d = dot(x, y, z, k);
        if (d > bestDot) {
            bestDot = d;
            best = int(k);
        }
    }
    return best;
}

int closestNormal(float x, float y, float z) {
    static const CubeCells cells;
    const float ax = std::fabs(x);
    const float ay = std::fabs(y);
    const float az = std::fabs(z);
    if (!(ax + ay + az > 0.0f) || !std::isfinite(ax + ay + az)) {
        return closestNormalByScan(x, y, z); // zero, infinite or NaN: the plain search decides
    }
    int face;
    int i;
    int j;
    if (ax >= ay && ax >= az) {
        face = x < 0 ? 1 : 0;
        i = cellIndex(y, ax);
        j = cellIndex(z, ax);
    } else if (ay >= az) {
        face = y < 0 ? 3 : 2;
        i = cellIndex(z, ay);
        j = cellIndex(x, ay);
    } else {
        face = z < 0 ? 5 : 4;
        i = cellIndex(x, az);
        j = cellIndex(y, az);
    }
    int best = 0;
    float bestDot = -10.0f;
    for (uint8_t k : cells.candidates(face, i, j)) {
        const float d = dot(x, y, z, k);
        if (d > bestDot) {
            bestDot = d;
            best = k;
        }
    }
    return best;
}

} // namespace faceto
