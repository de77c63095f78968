// image_quad.cpp - CImageQuad: two pre-transformed triangles with a colour and texture
// coordinates, in their own vertex buffer.
#include "render/image_quad.h"

#include "core/logger.h"
#include "math/vertex.h"

namespace {

constexpr UINT kQuadBytes = 6 * sizeof(FLATVERTEX);
// Every quad vertex: depth 0, rhw 0.5.
constexpr float kQuadZ = 0.0f;
constexpr float kQuadRhw = 0.5f;

// Texture coordinates of the six vertices: which of (uL, uR) and (vT, vB) each takes.
constexpr bool kRight[6] = {false, true, false, false, true, true};
constexpr bool kBottom[6] = {false, false, true, true, false, true};

}  // namespace

CImageQuad::CImageQuad(IDirect3DDevice8* pDevice, int left, int top, int right, int bottom) {
    if (!pDevice) {
        if (g_pLogger) g_pLogger->LogMessage("CImageQuad::CImageQuad : unable to create quad buffer");
        return;
    }
    if (left == -1 || top == -1 || right == -1 || bottom == -1) {
        D3DVIEWPORT8 vp{};
        if (FAILED(pDevice->GetViewport(&vp))) {
            if (g_pLogger) g_pLogger->LogMessage("CImageQuad::CImageQuad : unable to create quad buffer");
            return;
        }
        if (left == -1) left = static_cast<int>(vp.X);
        if (top == -1) top = static_cast<int>(vp.Y);
        if (right == -1) right = static_cast<int>(vp.X + vp.Width);
        if (bottom == -1) bottom = static_cast<int>(vp.Y + vp.Height);
    }
    if (FAILED(pDevice->CreateVertexBuffer(kQuadBytes, 0, D3DFVF_FLATVERTEX, D3DPOOL_DEFAULT, &m_lpVB)) || !m_lpVB) {
        m_lpVB = nullptr;
        if (g_pLogger) g_pLogger->LogMessage("CImageQuad::CImageQuad : unable to create quad buffer");
        return;
    }
    const float l = static_cast<float>(left), t = static_cast<float>(top);
    const float r = static_cast<float>(right), b = static_cast<float>(bottom);
    FLATVERTEX* v = nullptr;
    if (FAILED(m_lpVB->Lock(0, kQuadBytes, reinterpret_cast<BYTE**>(&v), 0)) || !v) return;
    for (int i = 0; i < 6; ++i) {
        v[i] = FLATVERTEX{kRight[i] ? r : l, kBottom[i] ? b : t, kQuadZ, kQuadRhw, 0x00ffffffu,
                          kRight[i] ? 1.0f : 0.0f, kBottom[i] ? 1.0f : 0.0f};
    }
    m_lpVB->Unlock();
}

CImageQuad::~CImageQuad() { Release(); }

void CImageQuad::Release() {
    if (m_lpVB) m_lpVB->Release();
    m_lpVB = nullptr;
}

int CImageQuad::SetAlpha(DWORD alpha) {
    FLATVERTEX* v = nullptr;
    if (!m_lpVB || FAILED(m_lpVB->Lock(0, kQuadBytes, reinterpret_cast<BYTE**>(&v), 0)) || !v) {
        if (g_pLogger) g_pLogger->LogMessage("CImageQuad::SetAlpha : locking of vertex buffer failed\n");
        return 0;
    }
    for (int i = 0; i < 6; ++i) v[i].color = (v[i].color & 0x00ffffffu) | ((alpha & 0xffu) << 24);
    m_lpVB->Unlock();
    return 1;
}

int CImageQuad::SetUV(float uLeft, float vTop, float uRight, float vBottom) {
    FLATVERTEX* v = nullptr;
    if (!m_lpVB || FAILED(m_lpVB->Lock(0, kQuadBytes, reinterpret_cast<BYTE**>(&v), 0)) || !v) {
        if (g_pLogger) g_pLogger->LogMessage("CImageQuad::SetUV : locking of vertex buffer failed\n");
        return 0;
    }
    for (int i = 0; i < 6; ++i) {
        v[i].u = kRight[i] ? uRight : uLeft;
        v[i].v = kBottom[i] ? vBottom : vTop;
    }
    m_lpVB->Unlock();
    return 1;
}

int CImageQuad::Render(IDirect3DDevice8* pDevice) {
    if (!pDevice || !m_lpVB) return 0;
    DWORD cull = 0, zEnable = 0;
    pDevice->GetRenderState(D3DRS_CULLMODE, &cull);
    pDevice->GetRenderState(D3DRS_ZENABLE, &zEnable);
    pDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    pDevice->SetRenderState(D3DRS_ZENABLE, FALSE);
    if (FAILED(pDevice->SetStreamSource(0, m_lpVB, sizeof(FLATVERTEX)))) {
        if (g_pLogger) g_pLogger->LogMessage("CImageQuad::Render : SetStreamSource failed\n");
        return 0;
    }
    if (FAILED(pDevice->SetVertexShader(D3DFVF_FLATVERTEX))) {
        if (g_pLogger) g_pLogger->LogMessage("CImageQuad::Render : SetVertexShader failed\n");
        return 0;
    }
    if (FAILED(pDevice->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 2))) {
        if (g_pLogger) g_pLogger->LogMessage("CImageQuad::Render : DrawPrimitive failed\n");
        return 0;
    }
    pDevice->SetRenderState(D3DRS_CULLMODE, cull);
    pDevice->SetRenderState(D3DRS_ZENABLE, zEnable);
    return 1;
}
