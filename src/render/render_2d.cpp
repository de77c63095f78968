// render_2d.cpp - CRender's screen-space drawing: flat rectangles, sprites (flat ones at once,
// textured ones through the per-frame batch) and images through the D3DX sprite.
#include <algorithm>
#include <cstring>

#include "core/globals.h"
#include "core/logger.h"
#include "platform/d3dx8/d3dx8.h"
#include "render/render.h"
#include "math/vertex.h"
#include "resources/sprite.h"

namespace {

// Depth and rhw of every sprite vertex.
constexpr float kSpriteZ = 0.99f;
constexpr float kSpriteRhw = 1.0f;
constexpr UINT kSpriteBytes = 6 * sizeof(FLATVERTEX);

struct Corner {
    float x, y, u, v;
};

// The six corners of a sprite quad about its centre, before rotation.
void SpriteCorners(const CSprite& s, Corner out[6]) {
    // Half sizes: the texture size halved in integers, scaled, truncated to whole pixels.
    const float hw = static_cast<float>(static_cast<int>(static_cast<float>(s.m_dwWidth / 2) * s.m_fScale));
    const float hh = static_cast<float>(static_cast<int>(static_cast<float>(s.m_dwHeight / 2) * s.m_fScale));
    out[0] = {-hw, -hh, 0.0f, 0.0f};
    out[1] = {hw, -hh, 1.0f, 0.0f};
    out[2] = {hw, hh, 1.0f, 1.0f};
    out[3] = {-hw, -hh, 0.0f, 0.0f};
    out[4] = {hw, hh, 1.0f, 1.0f};
    out[5] = {-hw, hh, 0.0f, 1.0f};
}

// Sprite rotations are clockwise on screen: the corners turn by 360 - rotation about Z.
void PlaceCorner(float cx, float cy, float rotation, float x, float y, float* pX, float* pY) {
    RotatePoint(cx, cy, 0.0f, 0.0f, 0.0f, 360.0f - rotation, pX, pY, nullptr);
    *pX += x;
    *pY += y;
}

// 0..1 opacity to the top byte of a colour, truncated.
DWORD AlphaByte(float alpha, float scale) {
    const float a = std::clamp(alpha * scale, 0.0f, 255.0f);
    return static_cast<DWORD>(a) << 24;
}

}  // namespace

bool CRender::DrawRect(float x1, float y1, float x2, float y2, float z, DWORD color) {
    if (!m_lpDevice || !m_lpRectVB) return false;
    IDirect3DDevice8* dev = m_lpDevice;
    DWORD srcBlend = 0, destBlend = 0, zEnable = 0, blend = 0, cull = 0;
    dev->GetRenderState(D3DRS_SRCBLEND, &srcBlend);
    dev->GetRenderState(D3DRS_DESTBLEND, &destBlend);
    dev->GetRenderState(D3DRS_ZENABLE, &zEnable);
    dev->GetRenderState(D3DRS_ALPHABLENDENABLE, &blend);
    dev->GetRenderState(D3DRS_CULLMODE, &cull);

    dev->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    dev->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    dev->SetRenderState(D3DRS_ZENABLE, FALSE);
    dev->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    dev->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);

    const MYVERTEX v[6] = {
        {x1, y2, z, 1.0f, color}, {x2, y2, z, 1.0f, color}, {x1, y1, z, 1.0f, color},
        {x2, y2, z, 1.0f, color}, {x2, y1, z, 1.0f, color}, {x1, y1, z, 1.0f, color},
    };
    BYTE* p = nullptr;
    if (FAILED(m_lpRectVB->Lock(0, sizeof(v), &p, 0)) || !p) {
        if (g_pLogger) g_pLogger->LogMessage("CRender : An error occured while locking temporary vertex buffer");
        return false;
    }
    std::memcpy(p, v, sizeof(v));
    m_lpRectVB->Unlock();
    dev->SetStreamSource(0, m_lpRectVB, sizeof(MYVERTEX));
    dev->SetVertexShader(D3DFVF_MYVERTEX);
    dev->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 2);

    dev->SetRenderState(D3DRS_SRCBLEND, srcBlend);
    dev->SetRenderState(D3DRS_DESTBLEND, destBlend);
    dev->SetRenderState(D3DRS_ZENABLE, zEnable);
    dev->SetRenderState(D3DRS_ALPHABLENDENABLE, blend);
    dev->SetRenderState(D3DRS_CULLMODE, cull);
    return true;
}

bool CRender::Render(float x, float y, CSprite* pSprite) {
    if (!pSprite) {
        if (g_pLogger) g_pLogger->LogMessage("CRender::Render : Pointer to CSprite was NULL\n");
        return false;
    }
    if (!pSprite->m_bLoaded) {
        if (g_pLogger) g_pLogger->LogMessage("CRender::Render : Sprite is not loaded\n");
        return false;
    }
    if (!m_lpDevice || !m_lpTmpMyVB || !m_lpTmpFlatVB) return false;

    Corner c[6];
    if (pSprite->m_nType == CSprite::kFlat) {
        SpriteCorners(*pSprite, c);
        MYVERTEX v[6];
        for (int i = 0; i < 6; ++i) {
            v[i] = MYVERTEX{0.0f, 0.0f, kSpriteZ, kSpriteRhw, pSprite->m_dwColor};
            PlaceCorner(c[i].x, c[i].y, pSprite->m_fRotation, x, y, &v[i].x, &v[i].y);
        }
        m_lpDevice->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
        m_lpDevice->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
        m_lpDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
        m_lpDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
        BYTE* p = nullptr;
        m_hr = m_lpTmpMyVB->Lock(0, sizeof(v), &p, 0);
        if (FAILED(m_hr) || !p) {
            if (g_pLogger) {
                g_pLogger->LogMessage(
                    "CRender::Render : An error occured while locking temporary vertex buffer (m_lpTmpMyVB)\n");
            }
            D3DXGetErrorStringA(m_hr, m_szError, sizeof(m_szError));
            if (g_pLogger) g_pLogger->LogMessage("CRender::Render : %s\n", m_szError);
            return false;
        }
        std::memcpy(p, v, sizeof(v));
        m_lpTmpMyVB->Unlock();
        m_lpDevice->SetStreamSource(0, m_lpTmpMyVB, sizeof(MYVERTEX));
        m_lpDevice->SetVertexShader(D3DFVF_MYVERTEX);
        m_lpDevice->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 2);
        return true;
    }

    if (m_nSpriteTris / 2 >= kMaxBatchSprites) {
        if (g_pLogger) g_pLogger->LogMessage("CRender:Render : Sprite vertex buffer overflow!! incerase size!\n");
        return false;
    }
    pSprite->UpdateFrame(static_cast<float>(g_dwElapsed));
    SetTextureByIndex(pSprite->GetFrameTexture(), 0);
    // The size may have come from the frame's texture only now.
    SpriteCorners(*pSprite, c);

    const DWORD color = AlphaByte(pSprite->m_fAlpha, 255.0f) | (pSprite->m_dwColor & 0x00ffffffu);
    FLATVERTEX v[6];
    for (int i = 0; i < 6; ++i) {
        // Negated coordinates mirror the image under wrap addressing.
        const float u = pSprite->m_bMirrorH ? -c[i].u : c[i].u;
        const float vv = pSprite->m_bMirrorV ? -c[i].v : c[i].v;
        v[i] = FLATVERTEX{0.0f, 0.0f, kSpriteZ, kSpriteRhw, color, u, vv};
        PlaceCorner(c[i].x, c[i].y, pSprite->m_fRotation, x, y, &v[i].x, &v[i].y);
    }
    BYTE* p = nullptr;
    m_hr = m_lpTmpFlatVB->Lock(static_cast<UINT>(m_nSpriteTris / 2) * kSpriteBytes, kSpriteBytes, &p, 0);
    if (FAILED(m_hr) || !p) {
        if (g_pLogger) {
            g_pLogger->LogMessage(
                "CRender::Render : An error occured while locking temporary vertex buffer (m_lpTmpFlatVB)\n");
        }
        D3DXGetErrorStringA(m_hr, m_szError, sizeof(m_szError));
        if (g_pLogger) g_pLogger->LogMessage("CRender::Render : %s\n", m_szError);
        return false;
    }
    std::memcpy(p, v, sizeof(v));
    m_lpTmpFlatVB->Unlock();
    m_nSpriteTris += 2;
    return true;
}

bool CRender::FlushSprites() {
    if (m_nSpriteTris <= 0 || !m_lpDevice) return true;
    IDirect3DDevice8* dev = m_lpDevice;
    DWORD srcBlend = 0, destBlend = 0, blend = 0, cull = 0;
    dev->GetRenderState(D3DRS_SRCBLEND, &srcBlend);
    dev->GetRenderState(D3DRS_DESTBLEND, &destBlend);
    dev->GetRenderState(D3DRS_ALPHABLENDENABLE, &blend);
    dev->GetRenderState(D3DRS_CULLMODE, &cull);
    dev->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    dev->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);

    dev->SetStreamSource(0, m_lpTmpFlatVB, sizeof(FLATVERTEX));
    dev->SetVertexShader(D3DFVF_FLATVERTEX);
    dev->DrawPrimitive(D3DPT_TRIANGLELIST, 0, static_cast<UINT>(m_nSpriteTris));
    m_nSpriteTris = 0;

    dev->SetRenderState(D3DRS_SRCBLEND, srcBlend);
    dev->SetRenderState(D3DRS_DESTBLEND, destBlend);
    dev->SetRenderState(D3DRS_ALPHABLENDENABLE, blend);
    dev->SetRenderState(D3DRS_CULLMODE, cull);
    return true;
}

bool CRender::DrawImage(float x, float y, float /*z*/, float alpha, float scale, float rotation, const RECT* pRect) {
    if (!m_lpDevice || !m_lpSprite) return true;
    float hw, hh;
    if (pRect) {
        hw = scale * static_cast<float>(pRect->right - pRect->left) * 0.5f;
        hh = scale * static_cast<float>(pRect->bottom - pRect->top) * 0.5f;
    } else {
        hw = scale * static_cast<float>(m_dwTexWidth) * 0.5f;
        hh = scale * static_cast<float>(m_dwTexHeight) * 0.5f;
    }
    DWORD zEnable = 0, zWrite = 0;
    m_lpDevice->GetRenderState(D3DRS_ZENABLE, &zEnable);
    m_lpDevice->GetRenderState(D3DRS_ZWRITEENABLE, &zWrite);
    m_lpDevice->SetRenderState(D3DRS_ZENABLE, FALSE);
    m_lpDevice->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);

    const D3DXVECTOR2 scaling(scale, scale);
    const D3DXVECTOR2 centre(hw, hh);
    const D3DXVECTOR2 translation(x - hw, y - hh);
    // Full opacity is 254, not 255.
    const D3DCOLOR color = AlphaByte(alpha, 254.0f) | 0x00ffffffu;
    m_lpSprite->Draw(m_lpCurrentTexture, pRect, &scaling, &centre, rotation * 0.017453292f, &translation, color);

    m_lpDevice->SetRenderState(D3DRS_ZENABLE, zEnable);
    m_lpDevice->SetRenderState(D3DRS_ZWRITEENABLE, zWrite);
    return true;
}
