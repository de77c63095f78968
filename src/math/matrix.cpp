// matrix.cpp - Matrix4 products and builders, and RotatePoint.
#include "math/matrix.h"

#include <cmath>

#include "math/constants.h"

Matrix4 Matrix4::operator*(const Matrix4& b) const {
    // Built in a temporary so that a = a * b and a = b * a read the old values throughout.
    Matrix4 p(0.0f);
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            p.m[4 * r + c] = m[4 * r + 0] * b.m[0 + c] + m[4 * r + 1] * b.m[4 + c] + m[4 * r + 2] * b.m[8 + c] +
                             m[4 * r + 3] * b.m[12 + c];
        }
    }
    return p;
}

Matrix4 MatrixIdentity() {
    Matrix4 r(0.0f);
    r.m[0] = r.m[5] = r.m[10] = r.m[15] = 1.0f;
    return r;
}

Matrix4 MatrixTranslation(float x, float y, float z) {
    Matrix4 r = MatrixIdentity();
    r.m[12] = x;
    r.m[13] = y;
    r.m[14] = z;
    return r;
}

Matrix4 MatrixScaling(float s) {
    Matrix4 r(0.0f);
    r.m[0] = r.m[5] = r.m[10] = s;
    r.m[15] = 1.0f;
    return r;
}

void RotatePoint(float x, float y, float z, float angleX, float angleY, float angleZ, float* pOutX,
                 float* pOutY, float* pOutZ) {
    // Degrees to radians in double precision; sines and cosines rounded to float.
    constexpr double kDegToRad = kPi / 180.0;
    const float sx = static_cast<float>(std::sin(angleX * kDegToRad));
    const float cx = static_cast<float>(std::cos(angleX * kDegToRad));
    const float sy = static_cast<float>(std::sin(angleY * kDegToRad));
    const float cy = static_cast<float>(std::cos(angleY * kDegToRad));
    const float sz = static_cast<float>(std::sin(angleZ * kDegToRad));
    const float cz = static_cast<float>(std::cos(angleZ * kDegToRad));

    const float y1 = y * cx + z * sx;
    const float z1 = z * cx - y * sx;
    const float x2 = x * cy - z1 * sy;
    const float z2 = z1 * cy + x * sy;
    const float x3 = x2 * cz + y1 * sz;
    const float y3 = y1 * cz - x2 * sz;

    if (pOutX) *pOutX = x3;
    if (pOutY) *pOutY = y3;
    if (pOutZ) *pOutZ = z2;
}
