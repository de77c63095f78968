// texture_renderer.cpp - CTextureRenderer: a render-target texture with its own depth surface,
// swapped in for the device's targets between BeginRender and EndRender.
#include "render/texture_renderer.h"

#include "core/logger.h"

CTextureRenderer::CTextureRenderer(IDirect3DDevice8* pDevice, int bWithDepth, UINT width, UINT height,
                                   D3DFORMAT colorFormat, D3DFORMAT depthFormat) {
    if (!pDevice) {
        if (g_pLogger) g_pLogger->LogMessage("CTextureRenderer : null pointer device\n");
        return;
    }
    if (FAILED(pDevice->CreateTexture(width, height, 1, D3DUSAGE_RENDERTARGET, colorFormat, D3DPOOL_DEFAULT,
                                      &m_lpTexture)) ||
        !m_lpTexture) {
        m_lpTexture = nullptr;
        if (g_pLogger) g_pLogger->LogMessage("CTextureRenderer : unable to create texture target\n");
        return;
    }
    if (bWithDepth) {
        if (FAILED(pDevice->CreateDepthStencilSurface(width, height, depthFormat, D3DMULTISAMPLE_NONE, &m_lpDepth))) {
            m_lpDepth = nullptr;
            if (g_pLogger) g_pLogger->LogMessage("CTextureRenderer : unable to create zbuffer for target surface\n");
            return;
        }
    }
    m_bActive = 0;
}

CTextureRenderer::~CTextureRenderer() {
    if (m_lpDepth) m_lpDepth->Release();
    if (m_lpTexture) m_lpTexture->Release();
    m_lpDepth = nullptr;
    m_lpTexture = nullptr;
}

int CTextureRenderer::BeginRender(IDirect3DDevice8* pDevice) {
    if (m_bActive) return 1;
    // A target whose construction failed cannot be drawn into.
    if (!pDevice || !m_lpTexture) return 0;

    IDirect3DSurface8* level0 = nullptr;
    IDirect3DSurface8* target = nullptr;
    IDirect3DSurface8* depth = nullptr;
    bool ok = SUCCEEDED(m_lpTexture->GetSurfaceLevel(0, &level0)) && level0;
    ok = ok && SUCCEEDED(pDevice->GetRenderTarget(&target)) && target;
    ok = ok && SUCCEEDED(pDevice->GetDepthStencilSurface(&depth));
    ok = ok && SUCCEEDED(pDevice->SetRenderTarget(level0, m_lpDepth));
    // The device and the texture keep their own references, so the saved pointers stay valid.
    if (level0) level0->Release();
    if (target) target->Release();
    if (depth) depth->Release();
    if (!ok) return 0;
    m_lpSavedTarget = target;
    m_lpSavedDepth = depth;
    m_bActive = 1;
    return 1;
}

int CTextureRenderer::EndRender(IDirect3DDevice8* pDevice) {
    if (!m_bActive) return 1;
    if (!pDevice || FAILED(pDevice->SetRenderTarget(m_lpSavedTarget, m_lpSavedDepth))) return 0;
    m_bActive = 0;
    return 1;
}
