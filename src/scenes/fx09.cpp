// fx09.cpp - the strobe bridge: a still picture in the band under two translucent passes of the
// shared grid warping "tc" in opposite directions; the schedule's black flashes play over it.
#include "core/globals.h"
#include "core/screen_layout.h"
#include "fx/grid.h"
#include "render/image_quad.h"
#include "render/render.h"
#include "render/render_globals.h"
#include "scenes/scene_util.h"
#include "scenes/scenes.h"

CImageQuad* g_pFx09Band = nullptr;

void InitFx09() {
    g_pRender->LoadTexture("data/tc.jpg", "tc");
    g_pRender->LoadTexture("data/tarnel.png", "fx09_tlo");
    g_pRender->SetTexture("fx09_tlo", 0);
    g_pFx09Band = new CImageQuad(g_pDevice, 0, kBandTop - 1, kScreenWidth, kBandBottom);
    g_pFx09Band->SetAlpha(1);
    // The band shows the picture's top 384 rows.
    g_pFx09Band->SetUV(0.0f, 0.0f, 1.0f, g_pRender->PixelToV(384));
}

void RenderFx09(float) {
    // The grid runs on the demo clock's milliseconds, not on the demo time.
    const float e = static_cast<float>(g_dwElapsed);
    g_pRender->m_dwClearColor = 0;
    g_pRender->BeginScene(2);

    DrawBandPicture(*g_pFx09Band, "fx09_tlo");
    SetTranslucentGridStates("tc");

    // First pass: the radial map, a quarter opaque.
    g_pFx1->speed = 0.061f;
    g_pFx1->Animate(e, false);
    SetGridColour(*g_pFx1, 0x3FFFFFFFu);
    g_pDevice->SetRenderState(D3DRS_WRAP0, D3DWRAP_U | D3DWRAP_V);
    g_pFx1->Update(FX_RADIAL, e);
    g_pFx1->Render();

    // Second pass: the planes turning the other way, their distance alpha quartered.
    g_pFx1->speed = -0.061f;
    g_pFx1->Animate(e, true);
    g_pFx1->Update(FX_PLANES, e);
    QuarterGridAlpha(*g_pFx1);
    g_pFx1->Render();

    g_pDevice->SetRenderState(D3DRS_WRAP0, 0);
}
