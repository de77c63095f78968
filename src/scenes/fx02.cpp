// fx02.cpp - the planes: four translucent floor-and-ceiling passes of the first shared grid, each
// rolled to its own angle, a sphere-mapped mesh swelling with the music added on top, and last
// the image layers of data/layer.ini scrolling across the band.
#include "fx/grid.h"
#include "fx/layers.h"
#include "render/camera.h"
#include "render/render.h"
#include "render/render_globals.h"
#include "resources/object.h"
#include "scenes/fx02_math.h"
#include "scenes/scene_kit.h"
#include "scenes/scenes.h"

#include <cmath>

namespace {

cObject* g_pFx02Mesh = nullptr;

void PlanesPass(float ms, float speed, const Vector3& angles) {
    g_pFx1->angleOffset = angles;
    // No rate: the roll is exactly the offset.
    g_pFx1->angleRate = Vector3(0.0f, 0.0f, 0.0f);
    GridPass(*g_pFx1, speed, ms, true, FX_PLANES);
}

}  // namespace

void InitFx02() {
    LoadLayers();
    g_pFx02Mesh = LoadSphereMapped("data/2.obj");
}

void RenderFx02(float t) {
    const float level = Fx02Level(Spectrum());
    // The grid runs on the demo clock's milliseconds; the angles and the mesh on the demo time.
    const float ms = DemoMs();

    g_pRender->m_dwClearColor = 0;
    g_pRender->BeginScene(2);

    SetModulatedGridStates();
    g_pRender->SetTexture("stq1", 0);

    PlanesPass(ms, 0.1f, Vector3(5.0f * t, 5.0f * t, 5.0f * t));
    PlanesPass(ms, 0.1f, Vector3(0.0f, 0.0f, 0.0f));
    // Two rolls of about 30 degrees either way with a slow sway; the first moves 2.4 times faster.
    PlanesPass(ms, 0.24f, Vector3(0.0f, 0.0f, static_cast<float>(13 * std::sin(2.199114857512855 * t) + 30)));
    PlanesPass(ms, 0.1f, Vector3(0.0f, 0.0f, static_cast<float>(-30 - 19 * std::sin(1.5707963267948966 * t))));

    g_pRender->SetTexture("stq4", 0);
    g_pRender->SetMaterial(0.2f, 1.0f, 1.0f, 1.0f);
    g_pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    g_pDevice->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
    g_pDevice->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
    g_pDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
    g_pDevice->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
    g_pDevice->SetRenderState(D3DRS_ZENABLE, TRUE);
    UseVertexSphereMap();
    g_pDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
    SetSphereMapScale(0.5f);

    // High above the mesh, looking down.
    g_pCamera->Set(1.0f, 500.0f, 15.0f, 0.0f, 0.0f, 1.0f);
    g_pFx02Mesh->m_fScale = 8.0f * level + 1.1f;
    g_pFx02Mesh->SetRotation(10.0f * t, 20.3f * t, 20.7f * t);
    g_pFx02Mesh->Rotate();
    g_pRender->DrawObject(g_pFx02Mesh, 0);

    // The layer file's times are demo milliseconds.
    RenderLayers(t * 1000);
}
