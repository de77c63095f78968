// matrix.h - Matrix4, a 4x4 float matrix laid out exactly like a Direct3D D3DMATRIX (row-major,
// row vectors, translation in elements 12..14), handed to SetTransform as is.
// Depends on: Vector3.
#pragma once

#include "platform/d3d8/d3d8types.h"
#include "math/vector3.h"

struct Matrix4 {
    float m[16];

    Matrix4() : Matrix4(0.0f) {}
    explicit Matrix4(float fill) {
        for (float& e : m) e = fill;
    }
    Matrix4(const Matrix4& o) = default;
    Matrix4& operator=(const Matrix4& o) = default;

    // This times b: applies this first, then b. Safe when the result is assigned to an operand.
    Matrix4 operator*(const Matrix4& b) const;

    float& operator[](int i) { return m[i]; }
    float operator[](int i) const { return m[i]; }

    // The 16 floats, for SetTransform.
    float* Ptr() { return m; }
    const float* Ptr() const { return m; }
    operator D3DMATRIX*() { return reinterpret_cast<D3DMATRIX*>(m); }
    operator const D3DMATRIX*() const { return reinterpret_cast<const D3DMATRIX*>(m); }
};
static_assert(sizeof(Matrix4) == sizeof(D3DMATRIX));

Matrix4 MatrixIdentity();
Matrix4 MatrixTranslation(float x, float y, float z);
// Uniform scaling only.
Matrix4 MatrixScaling(float s);
