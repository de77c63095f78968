// fx10.cpp - the flower: two translucent grid passes over a still picture, then a sphere-mapped
// flower spinning while the camera descends onto it, and a faint ghost of it shaken by the music.
#include "core/crt_rand.h"
#include "core/globals.h"
#include "core/screen_layout.h"
#include "fx/grid.h"
#include "render/camera.h"
#include "render/image_quad.h"
#include "render/render.h"
#include "render/render_globals.h"
#include "resources/object.h"
#include "scenes/fx10_math.h"
#include "scenes/scene_kit.h"
#include "scenes/scenes.h"

namespace crt = velunar::crt;

namespace {

CImageQuad* g_pFx10Band = nullptr;
cObject* g_pFx10Flower = nullptr;

}  // namespace

void InitFx10() {
    g_pRender->LoadTexture("data/shibumi.jpg", "fx10_tlo");
    g_pRender->SetTexture("fx10_tlo", 0);
    g_pFx10Band = NewBandQuad(kBandTop - 1);
    g_pFx10Flower = LoadSphereMapped("data/flower.obj");
}

namespace {
// --gentle's share of the shaken flower's jumps.
constexpr float kGentleShake = 0.2f;
}  // namespace

void RenderFx10(float t) {
    const float level = MusicLevel();
    const float e = DemoMs();

    BeginGridsOverBand(0, *g_pFx10Band, "fx10_tlo", "h3");

    GridPass(*g_pFx1, 0.061f, e, true, FX_SINE_WARP, GridColour(0x3FFFFFFFu));
    // The rings centred 150 pixels lower, for this pass only.
    GridPass(*g_pFx1, 0.061f, e, false, FX_RADIAL, [](fx& grid) {
        GridColourWrapped(0x3FFFFFFFu)(grid);
        grid.centreY = 150.0f;
    });
    g_pFx1->centreY = 0.0f;
    g_pDevice->SetRenderState(D3DRS_WRAP0, 0);

    BeginSphereMappedMesh("h3", D3DCULL_CW, 0.75f, D3DCULL_CCW);
    DepthOn();
    BlendByMaterial();
    g_pDevice->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG2);

    // The 3D picture sits right of and below the band's centre.
    g_pRender->m_vProjOffset = Vector3(0.83f, -0.32f, 0.0f);

    float sx = -1.0f, sy = -1.0f;
    if (crt::rand() % 10 < 5) sx = 1.0f;
    if (crt::rand() % 10 < 5) sy = 1.0f;
    // The shaken flower jumps to a new place every frame; --gentle keeps its jumps small, so the
    // band does not flicker more than three times a second.
    const float shake = static_cast<float>(crt::rand() % 100 + 50) * level * (g_bGentle ? kGentleShake : 1.0f);

    g_pFx10Flower->m_vPos = Vector3(0.0f, 0.0f, 0.0f);
    g_pCamera->Set(0.1f, Fx10CameraHeight(t), 0.1f, 0.0f, 0.0f, 1.01f);
    g_pFx10Flower->m_fScale = 0.5f;
    g_pRender->SetMaterial(1.0f, 1.0f, 1.0f, 1.0f);
    g_pFx10Flower->SetRotation(0.0f, t * 30.0f, 0.0f);
    g_pRender->DrawObject(g_pFx10Flower, 0);

    g_pDevice->SetRenderState(D3DRS_ZENABLE, FALSE);
    g_pDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    g_pCamera->Set(0.1f, 20.1f, 0.1f, 0.0f, 0.0f, 1.01f);
    g_pFx10Flower->m_vPos = Vector3(shake * sx, shake * sy, 0.0f);
    g_pFx10Flower->m_fScale = 0.5f;
    g_pRender->SetMaterial(0.2f, 1.0f, 1.0f, 1.0f);
    g_pFx10Flower->SetRotation(0.0f, t * -30.0f, 0.0f);
    g_pRender->DrawObject(g_pFx10Flower, 0);

    g_pDevice->SetRenderState(D3DRS_WRAP0, 0);
    g_pRender->m_vProjOffset = Vector3(0.0f, 0.0f, 0.0f);
}
