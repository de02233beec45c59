#include "views/CameraMath.h"

namespace faceto {

Mat4 Mat4::identity() {
    Mat4 r;
    for (int i = 0; i < 4; ++i) {
        r.m[size_t(i)][size_t(i)] = 1.0f;
    }
    return r;
}

Mat4 Mat4::translation(float x, float y, float z) {
    Mat4 r = identity();
    r.m[0][3] = x;
    r.m[1][3] = y;
    r.m[2][3] = z;
    return r;
}

Mat4 Mat4::rotationX(float angle) {
    Mat4 r = identity();
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    r.m[1][1] = c;
    r.m[1][2] = s;
    r.m[2][1] = -s;
    r.m[2][2] = c;
    return r;
}

Mat4 Mat4::rotationZ(float angle) {
    Mat4 r = identity();
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    r.m[0][0] = c;
    r.m[0][1] = s;
    r.m[1][0] = -s;
    r.m[1][1] = c;
    return r;
}

Mat4 Mat4::operator*(const Mat4& o) const {
    Mat4 r;
    for (size_t i = 0; i < 4; ++i) {
        for (size_t j = 0; j < 4; ++j) {
            float sum = 0.0f;
            for (size_t k = 0; k < 4; ++k) {
                sum += m[i][k] * o.m[k][j];
            }
            r.m[i][j] = sum;
        }
    }
    return r;
}

Vec3 Mat4::transformPoint(float x, float y, float z) const {
    return {m[0][0] * x + m[0][1] * y + m[0][2] * z + m[0][3],
            m[1][0] * x + m[1][1] * y + m[1][2] * z + m[1][3],
            m[2][0] * x + m[2][1] * y + m[2][2] * z + m[2][3]};
}

Mat4 lookAt(Vec3 eye, Vec3 target, Vec3 up, float roll) {
    const Vec3 f = normalize(target - eye);
    const Vec3 s = normalize(cross(up, f));
    const Vec3 r = normalize(cross(f, s));
    Mat4 camera;
    camera.m[0] = {s.x, s.y, s.z, -dot(eye, s)};
    camera.m[1] = {r.x, r.y, r.z, -dot(eye, r)};
    camera.m[2] = {f.x, f.y, f.z, -dot(eye, f)};
    camera.m[3] = {0, 0, 0, 1};
    if (roll != 0.0f) {
        camera = Mat4::rotationZ(-roll) * camera;
    }
    return camera;
}

Mat4 initialCamera() {
    return lookAt({100, 0, 0}, {0, 0, 0}, {0, 0, 1}, 0);
}

} // namespace faceto
