// object.h - cObject, a static triangle mesh from one of the show's binary .obj files, held in a
// vertex and an index buffer and drawn by CRender::DrawObject at its position, angles and scale.
// Depends on: the Direct3D 8 and D3DX 8 layers, Vector3 and RotatePoint, the debug log.
//
// File layout (little-endian, no gaps): two unused 32-bit words, vertex count V, face count F
// (unsigned 32-bit), V records of x, y, z, u, v (floats), F records of three 32-bit vertex
// indices of which the low 16 bits are used.
#pragma once

#include "platform/wintypes.h"
#include "math/vector3.h"
#include "resources/mesh_types.h"

struct IDirect3DDevice8;
struct IDirect3DVertexBuffer8;
struct IDirect3DIndexBuffer8;

class cObject {
public:
    // pLoadRotation: degrees about X, Y, Z applied to every vertex once, or null. A file that
    // cannot be read, or whose counts or indices do not fit, leaves the object empty.
    cObject(const char* fileName, IDirect3DDevice8* pDevice, const Vector3* pLoadRotation = nullptr);
    ~cObject();
    cObject(const cObject&) = delete;
    cObject& operator=(const cObject&) = delete;

    void ComputeNormals();
    // u, v from the normals: n * 0.5 + 0.5.
    void SphereMapUV();
    void UpdateBuffers();
    // Degrees in, radians stored.
    void SetRotation(float x, float y, float z);
    void SetRotationSpeed(float x, float y, float z);
    void Rotate();

    bool IsEmpty() const { return m_pVertices == nullptr; }

    IDirect3DDevice8* m_pDevice = nullptr;
    IDirect3DVertexBuffer8* m_lpVB = nullptr;
    IDirect3DIndexBuffer8* m_lpIB = nullptr;
    MeshVertex* m_pVertices = nullptr;
    MeshFace* m_pFaces = nullptr;
    MeshNormal* m_pFaceNormals = nullptr;
    DWORD m_dwVertices = 0;
    DWORD m_dwFaces = 0;
    Vector3 m_vPos{0.0f, 0.0f, 0.0f};
    float m_fScale = 1.0f;
    Vector3 m_vRotation{0.0f, 0.0f, 0.0f};      // radians
    Vector3 m_vRotationStep{0.1f, 0.1f, 0.1f};  // radians per Rotate()
};
