// fx04.cpp - lens and wave grids under stripes of light, spinning foil seen from above whose
// brightness follows the music, and a newsroom band over it all that flares on the beats.
#include "core/globals.h"
#include "core/screen_layout.h"
#include "fx/grid.h"
#include "fx/stripes.h"
#include "math/constants.h"
#include "math/matrix.h"
#include "platform/fsound/fmod.h"
#include "render/camera.h"
#include "render/image_quad.h"
#include "render/render.h"
#include "render/render_globals.h"
#include "resources/object.h"
#include "scenes/scene_math.h"
#include "scenes/scene_util.h"
#include "scenes/scenes.h"

#include <cmath>

cObject* g_pFx04Foil = nullptr;
CPaski* g_pFx04Stripes = nullptr;
CImageQuad* g_pFx04Band = nullptr;

void InitFx04() {
    DiscardRandomPoints(100);
    g_pFx04Foil = new cObject("data/foil.obj", g_pDevice, nullptr);
    g_pFx04Foil->ComputeNormals();
    g_pFx04Foil->SphereMapUV();
    g_pFx04Foil->UpdateBuffers();
    g_pFx04Foil->SetRotation(0.0f, 0.0f, 0.0f);
    g_pFx04Foil->SetRotationSpeed(0.0f, 0.0f, 0.0f);
    g_pFx04Stripes = new CPaski(90);
    g_pRender->LoadTexture("data/news.jpg", "fx04_tlo");
    g_pRender->SetTexture("fx04_tlo", 0);
    g_pFx04Band = new CImageQuad(g_pDevice, 0, kBandTop, kScreenWidth, kBandBottom);
    g_pFx04Band->SetAlpha(1);
    // The band shows the picture's top 384 rows.
    g_pFx04Band->SetUV(0.0f, 0.0f, 1.0f, g_pRender->PixelToV(384));
}

void RenderFx04(float t) {
    // One reading of the music drives both the foil and the band.
    const float level = SpectrumLevel(FSOUND_DSP_GetSpectrum());
    // The grid runs on the demo clock's milliseconds, not on the demo time.
    const float ms = static_cast<float>(g_dwElapsed);

    g_pRender->m_dwClearColor = 0;
    g_pRender->BeginScene(2);
    SetModulatedGridStates();

    // Lens, with the alpha the lens gives.
    g_pRender->SetTexture("tex1", 0);
    g_pFx1->speed = 0.051f;
    g_pFx1->Animate(ms, true);
    g_pFx1->Update(FX_LENS, ms);
    g_pFx1->Render();

    // Waves at half opacity.
    g_pRender->SetTexture("stq1", 0);
    g_pFx1->speed = 0.1f;
    g_pFx1->Animate(ms, true);
    SetGridColour(*g_pFx1, 0x7FFFFFFFu);
    g_pFx1->Update(FX_WAVES, ms);
    g_pFx1->Render();

    // The inversion map twice, scrolling forwards and backwards, fainter each time.
    g_pFx1->speed = 0.1f;
    g_pFx1->Animate(ms, false);
    g_pRender->SetTexture("tex2", 0);
    SetGridColour(*g_pFx1, 0x5FFFFFFFu);
    g_pFx1->Update(FX_INVERSION, ms);
    g_pFx1->Render();

    g_pFx1->speed = -0.1f;
    g_pFx1->Animate(ms, false);
    g_pRender->SetTexture("stq2", 0);
    SetGridColour(*g_pFx1, 0x3FFFFFFFu);
    g_pFx1->Update(FX_INVERSION, ms);
    g_pFx1->Render();

    // Stripes pulsing; the colour reaches them through the update.
    g_pFx04Stripes->colour = Fx04StripeColour(t);
    g_pFx04Stripes->Update(t);
    g_pFx04Stripes->Render();

    // Foil: additive, the texture times the lit material, brighter with louder music.
    g_pRender->SetTexture("stq3", 0);
    const float c = Fx04FoilColour(level);
    g_pRender->SetMaterial(0.05f, c, c, c);
    g_pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    g_pDevice->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    g_pDevice->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
    g_pDevice->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
    g_pDevice->SetRenderState(D3DRS_ZENABLE, FALSE);
    g_pRender->SetTextureMode(TM_TEXTUREONLY, 0);
    g_pRender->SetTextureMode(TM_SPHEREMAP, 0);
    g_pRender->SetTextureMode(TM_NOTEXGEN, 0);
    g_pDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
    // Inactive while texture transforms are off: the mesh's own coordinates are used.
    Matrix4 texture = MatrixScaling(0.5f) * MatrixTranslation(0.5f, 0.5f, 0.5f);
    g_pDevice->SetTransform(D3DTS_TEXTURE0, texture);
    // Straight down from a height bobbing between 90 and 150, once every 2 s.
    g_pCamera->Set(0.0f, 120.0f + 30.0f * static_cast<float>(std::sin(kPi * t)), 0.0f, 0.0f, 0.0f, 0.01f);
    g_pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    g_pDevice->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);

    // Four copies, smaller and slower each; the last, negatively scaled, is point-mirrored.
    const float scales[4] = {1.0f, 0.65f, 0.3f, -0.05f};
    const float rates[4] = {130.0f, 100.0f, 70.0f, 40.0f};
    for (int i = 0; i < 4; ++i) {
        g_pFx04Foil->m_fScale = scales[i];
        g_pFx04Foil->SetRotation(0.0f, rates[i] * t + 50.0f * static_cast<float>(i), 0.0f);
        g_pRender->DrawObject(g_pFx04Foil, 0);
    }

    DrawBandOver(*g_pFx04Band, "fx04_tlo", static_cast<DWORD>(Fx04BandAlpha(level)));
}
