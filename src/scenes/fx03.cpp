// fx03.cpp - the sculptures: three sphere-mapped meshes added onto black, each seen from its own
// height and spinning at its own rates, pushed towards the lower right of the band, with the
// captions popping up over them.
#include "core/carried_state.h"
#include "fx/captions.h"
#include "render/camera.h"
#include "render/render.h"
#include "render/render_globals.h"
#include "resources/object.h"
#include "scenes/scene_kit.h"
#include "scenes/scenes.h"

namespace {

Captions* g_pFx03Captions = nullptr;

}  // namespace
cObject* g_pFx03Geo1 = nullptr;
cObject* g_pFx03Geo2 = nullptr;
cObject* g_pFx03Geo3 = nullptr;

namespace {

// Stage 0: the texture times the lit colour, the alpha of the lit colour.
void TextureTimesLight() {
    g_pDevice->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    g_pDevice->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    g_pDevice->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_CURRENT);
    g_pDevice->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG2);
}

}  // namespace

void InitFx03() {
    g_pFx03Captions = new Captions("data/napisy.ini");
    CarryObjectBetweenFrames(g_pFx03Captions);
    g_pFx03Geo1 = LoadSphereMapped("data/geo1.obj");
    g_pFx03Geo1->m_fScale = 4.2f;
    g_pFx03Geo1->SetRotation(2005.3522f, 0.057295777f, 0.057295777f);
    g_pFx03Geo1->SetRotationSpeed(0.0f, 0.0f, 0.3f);
    g_pFx03Geo2 = LoadSphereMapped("data/geo2.obj");
    g_pFx03Geo3 = LoadSphereMapped("data/geo3.obj");
}

void RenderFx03(float t) {
    g_pRender->m_dwClearColor = 0;
    g_pRender->BeginScene(2);
    g_pRender->SetTexture("stq4", 0);
    g_pRender->SetMaterial(0.5f, 1.0f, 1.0f, 1.0f);
    g_pRender->SetTextureMode(TM_TEXTUREONLY, 0);
    g_pRender->SetTextureMode(TM_NOTEXGEN, 0);

    // Additive: the meshes glow through each other, so their order does not matter.
    g_pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    g_pDevice->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
    g_pDevice->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
    TextureTimesLight();

    g_pDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
    g_pDevice->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
    g_pDevice->SetRenderState(D3DRS_ZENABLE, TRUE);
    g_pDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    // For when texture transforms are on; they stay off here.
    SetSphereMapScale(0.5f);

    g_pCamera->Set(0.0f, 400.0f, 600.0f, 0.0f, 0.0f, 0.0f);
    g_pDevice->SetRenderState(D3DRS_ZENABLE, FALSE);
    // The 3D picture sits right of and below the band's centre.
    g_pRender->m_vProjOffset = Vector3(0.83f, -0.32f, 0.0f);

    UseVertexSphereMap();

    g_pRender->SetTexture("stq2", 0);
    g_pRender->SetMaterial(1.9f, 1.0f, 1.0f, 1.0f);

    g_pCamera->Set(0.0f, 300.0f, 600.0f, 0.0f, 0.0f, 0.0f);
    g_pFx03Geo2->m_fScale = 5.0f;
    g_pFx03Geo2->m_vRotation = Vector3(static_cast<float>(-0.2 * t), static_cast<float>(0.6 * t),
                                       static_cast<float>(0.1 * t));
    g_pRender->DrawObject(g_pFx03Geo2, 0);

    g_pCamera->Set(0.0f, 200.0f, 590.0f, 0.0f, 0.0f, 0.0f);
    g_pFx03Geo3->m_fScale = 5.0f;
    g_pFx03Geo3->m_vRotation = Vector3(static_cast<float>(0.4 * t), static_cast<float>(-0.8 * t),
                                       static_cast<float>(0.15 * t));
    g_pRender->DrawObject(g_pFx03Geo3, 0);

    g_pDevice->SetRenderState(D3DRS_ZENABLE, FALSE);
    g_pDevice->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
    g_pDevice->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
    TextureTimesLight();

    g_pRender->SetTexture("stq4", 0);
    g_pRender->SetMaterial(0.8f, 1.0f, 1.0f, 1.0f);

    g_pCamera->Set(0.0f, 400.0f, 400.0f, 0.0f, 0.0f, 0.0f);
    g_pFx03Geo1->m_fScale = 4.5f;
    // A fixed tilt, and a spin of 0.3 radians per second about z.
    g_pFx03Geo1->SetRotation(2005.3522f, 0.057295777f, static_cast<float>(t * 0.3 * 57.29577791868205));
    g_pRender->DrawObject(g_pFx03Geo1, 0);

    g_pFx03Captions->Render(t);
    g_pRender->m_vProjOffset = Vector3(0.0f, 0.0f, 0.0f);
}
