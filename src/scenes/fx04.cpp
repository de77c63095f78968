// fx04.cpp - lens and wave grids under stripes of light, spinning foil seen from above whose
// brightness follows the music, and a newsroom band over it all that flares on the beats.
#include "core/carried_state.h"
#include "core/screen_layout.h"
#include "fx/grid.h"
#include "fx/stripes.h"
#include "math/constants.h"
#include "render/camera.h"
#include "render/image_quad.h"
#include "render/render.h"
#include "render/render_globals.h"
#include "resources/object.h"
#include "scenes/fx04_math.h"
#include "scenes/scene_kit.h"
#include "scenes/scenes.h"

#include <cmath>

namespace {

cObject* g_pFx04Foil = nullptr;
CPaski* g_pFx04Stripes = nullptr;
CImageQuad* g_pFx04Band = nullptr;

}  // namespace

void InitFx04() {
    DiscardRandomPoints(100);
    g_pFx04Foil = LoadSphereMapped("data/foil.obj");
    HoldStill(*g_pFx04Foil);
    g_pFx04Stripes = new CPaski(90);
    CarryObjectBetweenFrames(g_pFx04Stripes);
    g_pRender->LoadTexture("data/news.jpg", "fx04_tlo");
    g_pRender->SetTexture("fx04_tlo", 0);
    g_pFx04Band = NewBandQuad(kBandTop);
}

const CPaski& Fx04Stripes() { return *g_pFx04Stripes; }
CImageQuad& Fx04Band() { return *g_pFx04Band; }

void RenderFx04(float t) {
    // One reading of the music drives both the foil and the band.
    const float level = MusicLevel();
    // The grid runs on the demo clock's milliseconds, not on the demo time.
    const float ms = DemoMs();

    g_pRender->m_dwClearColor = 0;
    g_pRender->BeginScene(2);
    SetModulatedGridStates();

    // Lens, with the alpha the lens gives.
    g_pRender->SetTexture("tex1", 0);
    GridPass(*g_pFx1, 0.051f, ms, true, FX_LENS);
    // Waves at half opacity.
    g_pRender->SetTexture("stq1", 0);
    GridPass(*g_pFx1, 0.1f, ms, true, FX_WAVES, GridColour(0x7FFFFFFFu));
    // The inversion map twice, scrolling forwards and backwards, fainter each time.
    GridPass(*g_pFx1, 0.1f, ms, false, FX_INVERSION, [](fx& grid) {
        g_pRender->SetTexture("tex2", 0);
        SetGridColour(grid, 0x5FFFFFFFu);
    });
    GridPass(*g_pFx1, -0.1f, ms, false, FX_INVERSION, [](fx& grid) {
        g_pRender->SetTexture("stq2", 0);
        SetGridColour(grid, 0x3FFFFFFFu);
    });

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
    UseVertexSphereMap();
    g_pDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
    // Inactive while texture transforms are off: the mesh's own coordinates are used.
    SetSphereMapScale(0.5f);
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
