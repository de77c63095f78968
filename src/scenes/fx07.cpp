// fx07.cpp - drifting flares: two rows of inverse flares multiplied into a white frame along the
// band's top and bottom edges, the skyline with its own alpha over them, and a small sphere-mapped
// rosette turning near the right edge.
// Depends on: the renderer and its D3DX sprite, the image quad, cObject, the flare arithmetic.
#include "core/carried_state.h"
#include "core/screen_layout.h"
#include "platform/d3dx8/d3dx8.h"
#include "render/camera.h"
#include "render/image_quad.h"
#include "render/render.h"
#include "render/render_globals.h"
#include "resources/object.h"
#include "scenes/scene_kit.h"
#include "scenes/scenes.h"
#include "scenes/fx07_math.h"

namespace {

DriftFlare g_aFx07TopFlares[kFx07Flares];
DriftFlare g_aFx07BottomFlares[kFx07Flares];
cObject* g_pFx07Mesh = nullptr;
CImageQuad* g_pFx07Band = nullptr;

}  // namespace

void InitFx07() {
    InitDriftFlares(g_aFx07TopFlares, g_aFx07BottomFlares, kFx07Flares);
    // The wraps move the flares' bases for good.
    CarryBetweenFrames(g_aFx07TopFlares);
    CarryBetweenFrames(g_aFx07BottomFlares);

    g_pFx07Mesh = LoadSphereMapped("data/5.obj");
    HoldStill(*g_pFx07Mesh);

    g_pRender->LoadTextureA("data/8802.jpg", "data/8802alpha.jpg", "fx07_tlo");
    g_pRender->LoadTexture("data/flarainv.jpg", "flarainv");

    // Nothing is bound here: the height is that of the texture fx06's init left current.
    g_pFx07Band = NewBandQuad(kBandTop);
}

void RenderFx07(float t) {
    g_pRender->m_dwClearColor = 0xFFFFFFFFu;
    g_pRender->BeginScene(2);

    // The flares multiply the white frame: states set inside the sprite's bracket reach its draws.
    ID3DXSprite* sprite = g_pRender->GetSprite();
    if (sprite) sprite->Begin();
    g_pRender->SetTexture("flarainv", 0);
    g_pDevice->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ZERO);
    g_pDevice->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_DESTCOLOR);
    g_pDevice->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SUBTRACT);
    g_pDevice->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    g_pDevice->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_CURRENT);

    // Pixels drifted since the show began at speed 1.
    const float u = 100.0f * t;
    for (int i = 0; i < kFx07Flares; ++i) {
        DriftFlare& top = g_aFx07TopFlares[i];
        DriftFlare& bottom = g_aFx07BottomFlares[i];
        WrapFlare(top, u);
        WrapFlare(bottom, u);
        g_pRender->DrawImage(FlareX(top, u), top.y, 0.0f, 0.0f, 0.2f, 0.0f, nullptr);
        g_pRender->DrawImage(FlareX(bottom, u), bottom.y, 0.0f, 0.0f, 0.4f, 0.0f, nullptr);
    }
    if (sprite) sprite->End();

    SetModulatedGridStates();

    // The skyline: its transparency is the texture's alpha, not the quad's.
    g_pRender->SetTexture("fx07_tlo", 0);
    g_pDevice->SetRenderState(D3DRS_WRAP0, 0);
    g_pRender->SetTextureMode(TM_ALPHABLEND, 0);
    g_pDevice->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
    g_pFx07Band->Render(g_pDevice);

    BeginSphereMappedMesh("tex3", D3DCULL_NONE, 0.25f);
    g_pFx07Mesh->m_vPos = Vector3(500.0f, 20.0f, 0.0f);
    g_pCamera->Set(0.0f, 2.0f, 280.0f, 0.0f, 0.0f, 0.01f);
    DepthOn();
    BlendByMaterial();

    g_pFx07Mesh->m_fScale = 0.3f;
    g_pRender->SetMaterial(0.7f, 1.0f, 1.0f, 1.0f);
    g_pFx07Mesh->SetRotation(0.0f, 15.0f * t, 0.0f);
    g_pRender->DrawObject(g_pFx07Mesh, 0);
}
