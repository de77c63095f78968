// scene_util.cpp - drawing steps the scenes share: the band picture, grid render states, grid colours, point discards.
#include "scenes/scene_util.h"

#include "core/crt_rand.h"
#include "render/render.h"
#include "render/render_globals.h"

void DrawBandPicture(CImageQuad& band, const char* texture) {
    g_pRender->SetTexture(texture, 0);
    g_pDevice->SetRenderState(D3DRS_WRAP0, 0);
    g_pRender->SetTextureMode(TM_ALPHABLEND, 0);
    g_pDevice->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
    band.SetAlpha(255);
    band.Render(g_pDevice);
}

void SetTranslucentGridStates(const char* texture) {
    g_pRender->SetTextureMode(TM_NOTEXGEN, 0);
    g_pDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    g_pDevice->SetRenderState(D3DRS_WRAP0, D3DWRAP_U);
    g_pDevice->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    g_pDevice->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    g_pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    g_pDevice->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG2);
    g_pRender->SetTexture(texture, 0);
}

void SetGridColour(fx& grid, std::uint32_t argb) {
    FLATVERTEX* v = grid.Live();
    if (!v) return;
    for (unsigned i = 0, n = grid.VertexCount(); i < n; ++i) v[i].color = argb;
}

void QuarterGridAlpha(fx& grid) {
    FLATVERTEX* v = grid.Live();
    if (!v) return;
    for (unsigned i = 0, n = grid.VertexCount(); i < n; ++i) v[i].color = QuarterAlphaWhite(v[i].color);
}

void SetModulatedGridStates() {
    g_pRender->SetTextureMode(TM_NOTEXGEN, 0);
    g_pDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    g_pDevice->SetRenderState(D3DRS_WRAP0, D3DWRAP_U);
    g_pDevice->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    g_pDevice->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    g_pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    g_pDevice->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    g_pDevice->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    g_pDevice->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_CURRENT);
    g_pDevice->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG2);
}

void DrawBandOver(CImageQuad& band, const char* texture, DWORD alpha) {
    g_pRender->SetTexture(texture, 0);
    g_pDevice->SetRenderState(D3DRS_WRAP0, 0);
    g_pRender->SetTextureMode(TM_TEXTUREONLY, 0);
    g_pRender->SetTextureMode(TM_ALPHABLEND, 0);
    g_pDevice->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG2);
    g_pDevice->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    band.SetAlpha(alpha);
    band.Render(g_pDevice);
}

void DiscardRandomPoints(int points) {
    for (int i = 0; i < points * 3; ++i) crt::rand();
}
