// object.cpp - cObject: loading, normals, sphere-map coordinates, buffer upload, rotations.
#include "resources/object.h"

#include <cstring>
#include <string>

#include "core/logger.h"
#include "platform/d3d8/d3d8.h"
#include "math/vector3.h"
#include "resources/mesh_file.h"

namespace {
constexpr float kDegToRad = 0.017453292f;
}

cObject::cObject(const char* fileName, IDirect3DDevice8* pDevice, const Vector3* pLoadRotation) {
    if (!fileName || !pDevice) return;
    m_pDevice = pDevice;

    velunar::mesh::MeshData mesh;
    std::string reason;
    if (!velunar::mesh::ReadMeshFile(fileName, mesh, &reason)) {
        // A file that does not hold what its header promises leaves the mesh empty.
        if (g_pLogger) g_pLogger->LogMessage("cObject : Cannot load %s - %s\n", fileName, reason.c_str());
        return;
    }
    m_dwVertices = static_cast<DWORD>(mesh.vertices.size());
    m_dwFaces = static_cast<DWORD>(mesh.faces.size());
    m_pVertices = new MeshVertex[m_dwVertices ? m_dwVertices : 1];
    m_pFaces = new MeshFace[m_dwFaces ? m_dwFaces : 1];
    m_pFaceNormals = new MeshNormal[m_dwFaces ? m_dwFaces : 1];
    if (m_dwVertices) std::memcpy(m_pVertices, mesh.vertices.data(), m_dwVertices * sizeof(MeshVertex));
    if (m_dwFaces) std::memcpy(m_pFaces, mesh.faces.data(), m_dwFaces * sizeof(MeshFace));
    for (DWORD i = 0; i < m_dwFaces; ++i) m_pFaceNormals[i] = MeshNormal{0.0f, 0.0f, 0.0f};

    if (pLoadRotation) {
        for (DWORD i = 0; i < m_dwVertices; ++i) {
            MeshVertex& v = m_pVertices[i];
            RotatePoint(v.x, v.y, v.z, pLoadRotation->x, pLoadRotation->y, pLoadRotation->z, &v.x, &v.y, &v.z);
        }
    }

    if (FAILED(pDevice->CreateVertexBuffer(m_dwVertices * sizeof(MeshVertex), D3DUSAGE_WRITEONLY, D3DFVF_MESHVERTEX,
                                           D3DPOOL_DEFAULT, &m_lpVB))) {
        m_lpVB = nullptr;
        if (g_pLogger) g_pLogger->LogMessage("cObject : creation of vertex buffer failed");
        return;
    }
    if (FAILED(pDevice->CreateIndexBuffer(m_dwFaces * sizeof(MeshFace), D3DUSAGE_WRITEONLY, D3DFMT_INDEX16,
                                          D3DPOOL_DEFAULT, &m_lpIB))) {
        m_lpIB = nullptr;
        if (g_pLogger) g_pLogger->LogMessage("cObject : creation of index buffer failed");
        return;
    }
    UpdateBuffers();

    m_vPos = Vector3(0.0f, 0.0f, 0.0f);
    m_fScale = 1.0f;
    m_vRotation = Vector3(0.0f, 0.0f, 0.0f);
    m_vRotationStep = Vector3(0.1f, 0.1f, 0.1f);
    if (g_pLogger) {
        g_pLogger->LogMessage("cObject : Loaded %s (", fileName);
        g_pLogger->LogMessage("%d vertices and ", static_cast<int>(m_dwVertices));
        g_pLogger->LogMessage("%d faces)\n", static_cast<int>(m_dwFaces));
    }
}

cObject::~cObject() {
    if (m_lpVB) m_lpVB->Release();
    if (m_lpIB) m_lpIB->Release();
    delete[] m_pVertices;
    delete[] m_pFaces;
    delete[] m_pFaceNormals;
}

void cObject::ComputeNormals() {
    if (!m_pVertices) return;
    velunar::mesh::ComputeNormals(m_pVertices, m_dwVertices, m_pFaces, m_dwFaces, m_pFaceNormals);
}

void cObject::SphereMapUV() {
    for (DWORD i = 0; i < m_dwVertices && m_pVertices; ++i) {
        MeshVertex& v = m_pVertices[i];
        v.u = v.nx * 0.5f + 0.5f;
        v.v = v.ny * 0.5f + 0.5f;
    }
}

void cObject::UpdateBuffers() {
    if (!m_lpVB || !m_lpIB) return;
    BYTE* p = nullptr;
    if (FAILED(m_lpVB->Lock(0, 0, &p, 0)) || !p) {
        if (g_pLogger) g_pLogger->LogMessage("cObject : cannot lock the vertex buffer");
        return;
    }
    std::memcpy(p, m_pVertices, m_dwVertices * sizeof(MeshVertex));
    m_lpVB->Unlock();
    p = nullptr;
    if (FAILED(m_lpIB->Lock(0, 0, &p, 0)) || !p) return;
    std::memcpy(p, m_pFaces, m_dwFaces * sizeof(MeshFace));
    m_lpIB->Unlock();
}

void cObject::SetRotation(float x, float y, float z) {
    m_vRotation = Vector3(x * kDegToRad, y * kDegToRad, z * kDegToRad);
}

void cObject::SetRotationSpeed(float x, float y, float z) {
    m_vRotationStep = Vector3(x * kDegToRad, y * kDegToRad, z * kDegToRad);
}

void cObject::Rotate() {
    m_vRotation = Vector3(m_vRotation.x + m_vRotationStep.x, m_vRotation.y + m_vRotationStep.y,
                          m_vRotation.z + m_vRotationStep.z);
}
