// render_3d.cpp - CRender's camera, the view / world / projection matrices and mesh drawing.
#include "core/logger.h"
#include "platform/d3dx8/d3dx8.h"
#include "render/camera.h"
#include "render/render.h"
#include "resources/object.h"

namespace {

// Depth range of the one perspective.
constexpr float kNearPlane = 0.1f;
constexpr float kFarPlane = 10000.0f;

}  // namespace

bool CRender::SetCamera(Camera* pCamera) {
    if (!pCamera) {
        if (g_pLogger) g_pLogger->LogMessage("CRender::SetCamera : empty pointer passed to SetCamera()\n");
        return false;
    }
    m_pCamera = pCamera;
    return true;
}

bool CRender::SetTransformations(float px, float py, float pz, float rx, float ry, float rz, float s) {
    if (!m_pCamera) {
        if (g_pLogger) g_pLogger->LogMessage("CRender::SetTransformations : no camera!!!\n");
        return false;
    }
    if (!m_lpDevice) return false;

    const D3DXVECTOR3 eye(m_pCamera->m_vPosition.x, m_pCamera->m_vPosition.y, m_pCamera->m_vPosition.z);
    const D3DXVECTOR3 at(m_pCamera->m_vTarget.x, m_pCamera->m_vTarget.y, m_pCamera->m_vTarget.z);
    const D3DXVECTOR3 up(0.0f, 1.0f, 0.0f);
    D3DXMATRIX view;
    D3DXMatrixLookAtLH(&view, &eye, &at, &up);
    m_lpDevice->SetTransform(D3DTS_VIEW, &view);

    // Scaled, then turned about X, Y and Z, then moved.
    D3DXMATRIX world, m;
    D3DXMatrixScaling(&world, s, s, s);
    D3DXMatrixRotationX(&m, rx);
    D3DXMatrixMultiply(&world, &world, &m);
    D3DXMatrixRotationY(&m, ry);
    D3DXMatrixMultiply(&world, &world, &m);
    D3DXMatrixRotationZ(&m, rz);
    D3DXMatrixMultiply(&world, &world, &m);
    D3DXMatrixTranslation(&m, px, py, pz);
    D3DXMatrixMultiply(&world, &world, &m);
    m_lpDevice->SetTransform(D3DTS_WORLD, &world);

    // The offset is added after the projection, in clip units: it slides the picture sideways
    // without changing its perspective.
    D3DXMATRIX proj;
    const float aspect = static_cast<float>(m_dwWidth) / static_cast<float>(m_dwHeight);
    D3DXMatrixPerspectiveFovLH(&proj, m_fFov, aspect, kNearPlane, kFarPlane);
    D3DXMatrixTranslation(&m, m_vProjOffset.x, m_vProjOffset.y, m_vProjOffset.z);
    D3DXMatrixMultiply(&proj, &proj, &m);
    m_lpDevice->SetTransform(D3DTS_PROJECTION, &proj);
    return true;
}

bool CRender::DrawObject(cObject* pObject, int mode) {
    if (!pObject) return false;
    if (!SetTransformations(pObject->m_vPos.x, pObject->m_vPos.y, pObject->m_vPos.z, pObject->m_vRotation.x,
                            pObject->m_vRotation.y, pObject->m_vRotation.z, pObject->m_fScale)) {
        return false;
    }
    // A mesh without its buffers (its file could not be read, or their creation failed) cannot be
    // bound: the call fails and is logged like any device error, every time it is made.
    if ((mode == 0 || mode == 1) && (!pObject->m_lpVB || (mode == 0 && !pObject->m_lpIB))) {
        LogDeviceError(D3DERR_INVALIDCALL);
        return false;
    }
    if (pObject->m_dwVertices == 0) return true;

    HRESULT hr = S_OK;
    if (mode == 0) {
        if (pObject->m_dwFaces == 0) return true;
        if (FAILED(hr = m_lpDevice->SetIndices(pObject->m_lpIB, 0)) ||
            FAILED(hr = m_lpDevice->SetStreamSource(0, pObject->m_lpVB, sizeof(MeshVertex))) ||
            FAILED(hr = m_lpDevice->SetVertexShader(D3DFVF_MESHVERTEX))) {
            LogDeviceError(hr);
            return false;
        }
        m_lpDevice->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, pObject->m_dwVertices, 0, pObject->m_dwFaces);
    } else if (mode == 1) {
        if (FAILED(hr = m_lpDevice->SetStreamSource(0, pObject->m_lpVB, sizeof(MeshVertex))) ||
            FAILED(hr = m_lpDevice->SetVertexShader(D3DFVF_MESHVERTEX))) {
            LogDeviceError(hr);
            return false;
        }
        m_lpDevice->DrawPrimitive(D3DPT_POINTLIST, 0, pObject->m_dwVertices);
    }
    return true;
}
