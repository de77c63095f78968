// Matrix4 products and builders, Vector3 assignment, RotatePoint's axis order and signs.
#include <gtest/gtest.h>

#include "math/matrix.h"

namespace {

void ExpectPoint(float x, float y, float z, float ex, float ey, float ez) {
    EXPECT_NEAR(x, ex, 1e-6f);
    EXPECT_NEAR(y, ey, 1e-6f);
    EXPECT_NEAR(z, ez, 1e-6f);
}

// (x, y, z, 1) x M.
void Transform(const Matrix4& m, float x, float y, float z, float out[4]) {
    for (int c = 0; c < 4; ++c) out[c] = x * m[c] + y * m[4 + c] + z * m[8 + c] + m[12 + c];
}

}  // namespace

TEST(Matrix4, BuildersAndLayout) {
    const Matrix4 zero(0.0f);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(zero[i], 0.0f);

    const Matrix4 id = MatrixIdentity();
    const Matrix4 s1 = MatrixScaling(1.0f);
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(id[i], (i % 5 == 0) ? 1.0f : 0.0f) << i;
        EXPECT_EQ(s1[i], id[i]) << i;
    }
    // Translation lives in the fourth row, as Direct3D expects.
    const Matrix4 t = MatrixTranslation(2.0f, 3.0f, 4.0f);
    EXPECT_EQ(t[12], 2.0f);
    EXPECT_EQ(t[13], 3.0f);
    EXPECT_EQ(t[14], 4.0f);
    EXPECT_EQ(t[15], 1.0f);
    EXPECT_EQ(t[3], 0.0f);
    EXPECT_EQ(static_cast<const D3DMATRIX*>(t)->_41, 2.0f);
}

TEST(Matrix4, SphereMapTextureTransformAppliesScalingFirst) {
    const Matrix4 m = MatrixScaling(0.5f) * MatrixTranslation(0.5f, 0.5f, 0.5f);
    for (int i = 0; i < 16; ++i) {
        float expected = 0.0f;
        if (i == 0 || i == 5 || i == 10 || i == 12 || i == 13 || i == 14) expected = 0.5f;
        if (i == 15) expected = 1.0f;
        EXPECT_EQ(m[i], expected) << i;
    }
    float out[4];
    Transform(m, -1.0f, 0.0f, 1.0f, out);
    EXPECT_FLOAT_EQ(out[0], 0.0f);
    EXPECT_FLOAT_EQ(out[1], 0.5f);
    EXPECT_FLOAT_EQ(out[2], 1.0f);
    EXPECT_FLOAT_EQ(out[3], 1.0f);

    // The other order scales the translation too.
    const Matrix4 r = MatrixTranslation(0.5f, 0.5f, 0.5f) * MatrixScaling(0.5f);
    EXPECT_FLOAT_EQ(r[12], 0.25f);
}

TEST(Matrix4, ProductIntoItsOwnOperandUsesTheOldValues) {
    Matrix4 a(0.0f);
    for (int i = 0; i < 16; ++i) a[i] = static_cast<float>(i + 1);
    const Matrix4 copy = a;
    Matrix4 square(0.0f);
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            for (int k = 0; k < 4; ++k) square[4 * r + c] += copy[4 * r + k] * copy[4 * k + c];
    a = a * a;
    for (int i = 0; i < 16; ++i) EXPECT_EQ(a[i], square[i]) << i;
}

TEST(Vector3, CopyAndSelfAssignment) {
    Vector3 v(1.5f, -2.0f, 3.25f);
    Vector3& alias = v;
    v = alias;
    EXPECT_EQ(v.x, 1.5f);
    EXPECT_EQ(v.y, -2.0f);
    EXPECT_EQ(v.z, 3.25f);
    const Vector3 c = v.Get();
    EXPECT_EQ(c.z, 3.25f);
}

TEST(RotatePoint, EachAxisTurnsTheWayTheDesignSays) {
    float x, y, z;
    RotatePoint(1, 0, 0, 0, 0, 90, &x, &y, &z);
    ExpectPoint(x, y, z, 0, -1, 0);
    RotatePoint(0, 1, 0, 90, 0, 0, &x, &y, &z);
    ExpectPoint(x, y, z, 0, 0, -1);
    RotatePoint(1, 0, 0, 0, 90, 0, &x, &y, &z);
    ExpectPoint(x, y, z, 0, 0, 1);
}

TEST(RotatePoint, AxesApplyInOrderXThenYThenZ) {
    // (0, 1, 0) about X by 90 goes to (0, 0, -1); about Y by 90 that becomes (1, 0, 0); about Z
    // by 90 it ends at (0, -1, 0). Any other order ends elsewhere.
    float x, y, z;
    RotatePoint(0, 1, 0, 90, 90, 90, &x, &y, &z);
    ExpectPoint(x, y, z, 0, -1, 0);
}

TEST(RotatePoint, NullOutputsAreSkippedAndOutputsMayAliasInputs) {
    float x = 1.0f, y = 0.0f, z = 5.0f;
    RotatePoint(x, y, z, 0, 0, 90, &x, &y, nullptr);
    ExpectPoint(x, y, z, 0, -1, 5);
    RotatePoint(1, 2, 3, 10, 20, 30, nullptr, nullptr, nullptr);
}
