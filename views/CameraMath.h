#pragma once

#include <array>
#include <cmath>

namespace faceto {

struct Vec3 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
};

inline Vec3 operator-(Vec3 a, Vec3 b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
inline float dot(Vec3 a, Vec3 b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
inline Vec3 cross(Vec3 a, Vec3 b) {
    return {a.y * b.z - b.y * a.z, b.x * a.z - a.x * b.z, a.x * b.y - b.x * a.y};
}
// A zero vector stays zero.
inline Vec3 normalize(Vec3 v) {
    const float length = std::sqrt(dot(v, v));
    return length == 0.0f ? Vec3{0, 0, 0} : Vec3{v.x / length, v.y / length, v.z / length};
}

// Row-major 4 x 4 float matrix, multiplied row by column, translation in the fourth column.
struct Mat4 {
    std::array<std::array<float, 4>, 4> m{};

    static Mat4 identity();
    static Mat4 translation(float x, float y, float z);
    // Rotations: Rx has m11 = cos, m12 = sin, m21 = -sin, m22 = cos; Rz has m00 = cos, m01 = sin,
    // m10 = -sin, m11 = cos.
    static Mat4 rotationX(float angle);
    static Mat4 rotationZ(float angle);

    Mat4 operator*(const Mat4& other) const;
    Vec3 transformPoint(float x, float y, float z) const;
    bool operator==(const Mat4&) const = default;
};

// The world-to-camera matrix of a camera at `eye` looking at `target`, `up` giving the vertical.
Mat4 lookAt(Vec3 eye, Vec3 target, Vec3 up, float roll);

// Every camera starts at (100, 0, 0) looking at the origin with +z up.
Mat4 initialCamera();

} // namespace faceto
