// fx09.cpp - the strobe bridge: a still picture in the band under two translucent passes of the
// shared grid warping "tc" in opposite directions; the schedule's black flashes play over it.
#include "core/screen_layout.h"
#include "fx/grid.h"
#include "render/image_quad.h"
#include "render/render.h"
#include "render/render_globals.h"
#include "scenes/scene_kit.h"
#include "scenes/scenes.h"

namespace {

CImageQuad* g_pFx09Band = nullptr;

}  // namespace

void InitFx09() {
    g_pRender->LoadTexture("data/tc.jpg", "tc");
    g_pRender->LoadTexture("data/tarnel.png", "fx09_tlo");
    g_pRender->SetTexture("fx09_tlo", 0);
    g_pFx09Band = NewBandQuad(kBandTop - 1);
}

void RenderFx09(float) {
    // The grid runs on the demo clock's milliseconds, not on the demo time.
    const float e = DemoMs();
    BeginGridsOverBand(0, *g_pFx09Band, "fx09_tlo", "tc");

    // First pass: the radial map, a quarter opaque.
    GridPass(*g_pFx1, 0.061f, e, false, FX_RADIAL, GridColourWrapped(0x3FFFFFFFu));
    // Second pass: the planes turning the other way, their distance alpha quartered.
    GridPass(*g_pFx1, -0.061f, e, true, FX_PLANES, NoStep{}, QuarterGridAlpha);

    g_pDevice->SetRenderState(D3DRS_WRAP0, 0);
}
