// fx05.cpp - planes and inversion grids crossed by travelling bands of transparency, a dim nebula
// band, and three translucent copies of a knot tumbling in front of a fixed camera.
#include "core/globals.h"
#include "core/screen_layout.h"
#include "fx/grid.h"
#include "fx/stripes.h"
#include "math/matrix.h"
#include "render/camera.h"
#include "render/image_quad.h"
#include "render/render.h"
#include "render/render_globals.h"
#include "resources/object.h"
#include "scenes/scene_math.h"
#include "scenes/scene_util.h"
#include "scenes/scenes.h"

cObject* g_pFx05Mesh = nullptr;
CImageQuad* g_pFx05Band = nullptr;
// Built and never drawn: like the points, it matters for its draws alone.
CPaski* g_pFx05Stripes = nullptr;

void InitFx05() {
    DiscardRandomPoints(100);
    g_pFx05Stripes = new CPaski(90);
    g_pFx05Mesh = new cObject("data/1.obj", g_pDevice, nullptr);
    g_pFx05Mesh->ComputeNormals();
    g_pFx05Mesh->SphereMapUV();
    g_pFx05Mesh->UpdateBuffers();
    g_pFx05Mesh->SetRotation(0.0f, 0.0f, 0.0f);
    g_pFx05Mesh->SetRotationSpeed(0.0f, 0.0f, 0.0f);
    g_pRender->LoadTexture("data/fx4.jpg", "fx05_tlo");
    g_pRender->SetTexture("fx05_tlo", 0);
    g_pFx05Band = new CImageQuad(g_pDevice, 0, kBandTop, kScreenWidth, kBandBottom);
    g_pFx05Band->SetAlpha(1);
    // The band shows the picture's top 384 rows.
    g_pFx05Band->SetUV(0.0f, 0.0f, 1.0f, g_pRender->PixelToV(384));
}

void RenderFx05(float t) {
    // The grid runs on the demo clock's milliseconds, not on the demo time.
    const float ms = static_cast<float>(g_dwElapsed);

    g_pRender->m_dwClearColor = 0;
    g_pRender->BeginScene(2);
    SetModulatedGridStates();

    // Floor and ceiling, fading with distance; turned by the previous frame's rotation.
    g_pRender->SetTexture("tex2", 0);
    g_pFx1->speed = 0.2f;
    g_pFx1->Update(FX_PLANES, ms);
    g_pFx1->Animate(ms, true);
    g_pFx1->Render();

    // The inversion map twice, through bands of transparency running across the columns, then
    // down the rows.
    g_pRender->SetTexture("stq4", 0);
    g_pFx1->speed = 0.1f;
    g_pFx1->Update(FX_INVERSION, ms);
    g_pFx1->Animate(ms, false);
    SetGridColumnColours(*g_pFx1, [ms](int c) { return Fx05WaveColour(ms, c); });
    g_pFx1->Render();

    g_pRender->SetTexture("stq5", 0);
    g_pFx1->speed = 0.1f;
    g_pFx1->Update(FX_INVERSION, ms);
    g_pFx1->Animate(ms, false);
    SetGridRowColours(*g_pFx1, [ms](int r) { return Fx05WaveColour(ms, r); });
    g_pFx1->Render();

    // Rings and rays, a quarter opaque, wrapping both ways.
    g_pRender->SetTexture("stq2", 0);
    g_pFx1->speed = -0.1f;
    g_pFx1->Update(FX_RADIAL, ms);
    g_pFx1->Animate(ms, false);
    g_pDevice->SetRenderState(D3DRS_WRAP0, D3DWRAP_U | D3DWRAP_V);
    SetGridColour(*g_pFx1, 0x3FFFFFFFu);
    g_pFx1->Render();

    DrawBandOver(*g_pFx05Band, "fx05_tlo", 88);

    // The knot: sphere-mapped, blended in drawing order with the depth test off.
    g_pRender->SetTexture("tex3", 0);
    g_pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    g_pDevice->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
    g_pDevice->SetRenderState(D3DRS_ZENABLE, FALSE);
    g_pRender->SetTextureMode(TM_SPHEREMAP, 0);
    g_pDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    // Sphere-map coordinates n * 0.5 + 0.5.
    Matrix4 texture = MatrixScaling(0.5f) * MatrixTranslation(0.5f, 0.5f, 0.5f);
    g_pDevice->SetTransform(D3DTS_TEXTURE0, texture);
    g_pCamera->Set(0.0f, 60.0f, 80.0f, 0.0f, 0.0f, 0.01f);
    g_pDevice->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    g_pDevice->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    g_pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    g_pDevice->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
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
