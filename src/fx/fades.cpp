// fades.cpp - each active fade creates, draws and deletes its own quad; nothing is kept.
#include "fx/fades.h"

#include "render/image_quad.h"
#include "render/render.h"
#include "render/render_globals.h"

float FadeOpacity(float t, float start, float duration, bool rising) {
    if (t < start || t >= start + duration) return -1.0f;
    const float ramp = (t - start) / duration;
    return rising ? ramp : 1.0f - ramp;
}

int FadeVertexAlpha(float opacity) { return static_cast<int>(opacity * 255.0f); }

namespace {

void DrawFade(float t, float start, float duration, bool rising, const char* texture, float depth = 1.0f) {
    const float ramp = FadeOpacity(t, start, duration, rising);
    if (ramp < 0.0f || !g_pRender || !g_pDevice) return;
    const float a = ramp * depth;
    g_pRender->SetTextureMode(TM_ALPHABLEND, 0);
    g_pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    // The opacity comes from the vertices, not from the texture.
    g_pDevice->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG2);
    CImageQuad* quad = new CImageQuad(g_pDevice, -1, -1, -1, -1);
    g_pRender->SetTexture(texture, 0);
    quad->SetAlpha(FadeVertexAlpha(a));
    g_pRender->SetMaterial(a, 0.0f, 0.0f, 0.0f);
    quad->Render(g_pDevice);
    quad->Release();
    delete quad;
}

}  // namespace

void FadeToBlack(float t, float start, float duration) { DrawFade(t, start, duration, true, "black"); }
void FadeFromBlack(float t, float start, float duration) { DrawFade(t, start, duration, false, "black"); }
void FadeToWhite(float t, float start, float duration) { DrawFade(t, start, duration, true, "white"); }
void FadeFromWhite(float t, float start, float duration) { DrawFade(t, start, duration, false, "white"); }
void DimToBlack(float t, float start, float duration, float depth) {
    DrawFade(t, start, duration, true, "black", depth);
}
