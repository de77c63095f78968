// scene_kit.cpp - the steps the scenes share: clock and music readings, meshes and bands built at
// init, band pictures, mesh and grid states, grid colours, point discards.
#include "scenes/scene_kit.h"

#include "core/crt_rand.h"
#include "core/globals.h"
#include "core/screen_layout.h"
#include "math/matrix.h"
#include "platform/fsound/fmod.h"
#include "render/render.h"
#include "render/render_globals.h"

namespace crt = velunar::crt;

float DemoMs() { return static_cast<float>(g_dwElapsed); }

const float* Spectrum() { return FSOUND_DSP_GetSpectrum(); }

float MusicLevel() { return SpectrumLevel(Spectrum()); }

cObject* LoadSphereMapped(const char* file) {
    cObject* mesh = new cObject(file, g_pDevice, nullptr);
    mesh->ComputeNormals();
    mesh->SphereMapUV();
    mesh->UpdateBuffers();
    return mesh;
}

void HoldStill(cObject& mesh) {
    mesh.SetRotation(0.0f, 0.0f, 0.0f);
    mesh.SetRotationSpeed(0.0f, 0.0f, 0.0f);
}

CImageQuad* NewBandQuad(int top) {
    CImageQuad* band = new CImageQuad(g_pDevice, 0, top, kScreenWidth, kBandBottom);
    band->SetAlpha(1);
    band->SetUV(0.0f, 0.0f, 1.0f, g_pRender->PixelToV(384));
    return band;
}

void DiscardRandomPoints(int points) {
    for (int i = 0; i < points * 3; ++i) crt::rand();
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

void SetSphereMapScale(float scale) {
    Matrix4 texture = MatrixScaling(scale) * MatrixTranslation(0.5f, 0.5f, 0.5f);
    g_pDevice->SetTransform(D3DTS_TEXTURE0, texture);
}

void UseVertexSphereMap() {
    g_pRender->SetTextureMode(TM_TEXTUREONLY, 0);
    g_pRender->SetTextureMode(TM_SPHEREMAP, 0);
    g_pRender->SetTextureMode(TM_NOTEXGEN, 0);
}

void BeginSphereMappedMesh(const char* texture, DWORD cull, float uvScale, DWORD cullFirst) {
    g_pRender->SetTexture(texture, 0);
    g_pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    if (cullFirst != 0) g_pDevice->SetRenderState(D3DRS_CULLMODE, cullFirst);
    g_pDevice->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
    g_pDevice->SetRenderState(D3DRS_ZENABLE, FALSE);
    g_pRender->SetTextureMode(TM_SPHEREMAP, 0);
    g_pDevice->SetRenderState(D3DRS_CULLMODE, cull);
    SetSphereMapScale(uvScale);
}

void DepthOn() {
    g_pDevice->SetRenderState(D3DRS_ZENABLE, TRUE);
    g_pDevice->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
}

void BlendByMaterial() {
    g_pDevice->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    g_pDevice->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    g_pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    g_pDevice->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
}

namespace {

// No culling, u wrapping, source-alpha blending over what is drawn.
void GridBlendStates() {
    g_pRender->SetTextureMode(TM_NOTEXGEN, 0);
    g_pDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    g_pDevice->SetRenderState(D3DRS_WRAP0, D3DWRAP_U);
    g_pDevice->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    g_pDevice->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    g_pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
}

// The band's still picture: bound with wrapping off, blended by its own alpha, fully opaque.
void DrawBandPicture(CImageQuad& band, const char* texture) {
    g_pRender->SetTexture(texture, 0);
    g_pDevice->SetRenderState(D3DRS_WRAP0, 0);
    g_pRender->SetTextureMode(TM_ALPHABLEND, 0);
    g_pDevice->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
    band.SetAlpha(255);
    band.Render(g_pDevice);
}

// Translucent passes over that picture: the alpha from the vertex colour, the grid's texture bound.
void SetTranslucentGridStates(const char* texture) {
    GridBlendStates();
    g_pDevice->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG2);
    g_pRender->SetTexture(texture, 0);
}

}  // namespace

void BeginGridsOverBand(DWORD clearColour, CImageQuad& band, const char* picture, const char* gridTexture) {
    g_pRender->m_dwClearColor = clearColour;
    g_pRender->BeginScene(2);
    DrawBandPicture(band, picture);
    SetTranslucentGridStates(gridTexture);
}

void SetModulatedGridStates() {
    GridBlendStates();
    g_pDevice->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    g_pDevice->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    g_pDevice->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_CURRENT);
    g_pDevice->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG2);
}

void WrapBothWays() { g_pDevice->SetRenderState(D3DRS_WRAP0, D3DWRAP_U | D3DWRAP_V); }

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
