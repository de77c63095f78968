// fx05.cpp - planes and inversion grids crossed by travelling bands of transparency, a dim nebula
// band, and three translucent copies of a knot tumbling in front of a fixed camera.
#include "core/screen_layout.h"
#include "fx/grid.h"
#include "fx/stripes.h"
#include "render/camera.h"
#include "render/image_quad.h"
#include "render/render.h"
#include "render/render_globals.h"
#include "resources/object.h"
#include "scenes/fx05_math.h"
#include "scenes/scene_kit.h"
#include "scenes/scenes.h"

namespace {

cObject* g_pFx05Mesh = nullptr;
CImageQuad* g_pFx05Band = nullptr;
// Built and never drawn: like the points, it matters for its draws alone.
CPaski* g_pFx05Stripes = nullptr;

}  // namespace

void InitFx05() {
    DiscardRandomPoints(100);
    g_pFx05Stripes = new CPaski(90);
    g_pFx05Mesh = LoadSphereMapped("data/1.obj");
    HoldStill(*g_pFx05Mesh);
    g_pRender->LoadTexture("data/fx4.jpg", "fx05_tlo");
    g_pRender->SetTexture("fx05_tlo", 0);
    g_pFx05Band = NewBandQuad(kBandTop);
}

CImageQuad& Fx05Band() { return *g_pFx05Band; }

void RenderFx05(float t) {
    // The grid runs on the demo clock's milliseconds, not on the demo time.
    const float ms = DemoMs();

    g_pRender->m_dwClearColor = 0;
    g_pRender->BeginScene(2);
    SetModulatedGridStates();

    // Floor and ceiling, fading with distance; turned by the previous frame's rotation.
    g_pRender->SetTexture("tex2", 0);
    GridPassModeFirst(*g_pFx1, 0.2f, ms, true, FX_PLANES);

    // The inversion map twice, through bands of transparency running across the columns, then
    // down the rows.
    const auto wave = [ms](int index) { return Fx05WaveColour(ms, index); };
    g_pRender->SetTexture("stq4", 0);
    GridPassModeFirst(*g_pFx1, 0.1f, ms, false, FX_INVERSION, [&](fx& grid) { SetGridColumnColours(grid, wave); });
    g_pRender->SetTexture("stq5", 0);
    GridPassModeFirst(*g_pFx1, 0.1f, ms, false, FX_INVERSION, [&](fx& grid) { SetGridRowColours(grid, wave); });

    // Rings and rays, a quarter opaque, wrapping both ways.
    g_pRender->SetTexture("stq2", 0);
    GridPassModeFirst(*g_pFx1, -0.1f, ms, false, FX_RADIAL, [](fx& grid) {
        WrapBothWays();
        SetGridColour(grid, 0x3FFFFFFFu);
    });

    DrawBandOver(*g_pFx05Band, "fx05_tlo", 88);

    // The knot: sphere-mapped, blended in drawing order with the depth test off.
    BeginSphereMappedMesh("tex3", D3DCULL_NONE, 0.5f);
    g_pCamera->Set(0.0f, 60.0f, 80.0f, 0.0f, 0.0f, 0.01f);
    BlendByMaterial();
    g_pFx05Mesh->m_fScale = 0.9f;

    g_pRender->SetMaterial(0.21f, 1.0f, 1.0f, 1.0f);
    g_pFx05Mesh->SetRotation(0.0f, 150.0f * t + 351.0f, 0.0f);
    g_pRender->DrawObject(g_pFx05Mesh, 0);
    g_pRender->SetMaterial(0.1f, 1.0f, 1.0f, 1.0f);
    g_pFx05Mesh->SetRotation(90.0f * t, 0.0f, 0.0f);
    g_pRender->DrawObject(g_pFx05Mesh, 0);
    g_pFx05Mesh->SetRotation(10.0f * t, 0.0f, 70.0f * t);
    g_pRender->DrawObject(g_pFx05Mesh, 0);
}
