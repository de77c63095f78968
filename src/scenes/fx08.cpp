// fx08.cpp - the climax: a pale band under two translucent grid passes, the makers' names
// scrolling across in two strips, a flare, three spinning chrome rings seen from above and, from
// 127.909 s, 800 point sprites rising through the picture.
// Depends on: the renderer (sprite batch, 3D), the image quad, the shared grid and flare sprite,
// cObject, the strip and point arithmetic.
#include <bit>
#include <memory>
#include <vector>

#include "core/carried_state.h"
#include "core/screen_layout.h"
#include "fx/grid.h"
#include "render/camera.h"
#include "render/image_quad.h"
#include "render/render.h"
#include "render/render_globals.h"
#include "resources/object.h"
#include "resources/sprite.h"
#include "scenes/scene_kit.h"
#include "scenes/scenes.h"
#include "scenes/fx08_math.h"

namespace {

POINTVERTEX* g_pFx08Points = nullptr;
POINTVERTEX* g_pFx08BasePoints = nullptr;
float g_fFx08RiseStart[kFx08Points] = {};
cObject* g_pFx08Ring = nullptr;
CImageQuad* g_pFx08StripTop = nullptr;
CImageQuad* g_pFx08StripBottom = nullptr;
CImageQuad* g_pFx08Band = nullptr;

// Float render states (point sizes and scales) travel as their bits.
DWORD FloatState(float f) { return std::bit_cast<DWORD>(f); }

struct RingDraw {
    float y, scale, alpha;
};
// Top to bottom, each smaller, fainter (and turning faster).
constexpr RingDraw kRings[3] = {{0.0f, 0.8f, 0.8f}, {-100.0f, 0.6f, 0.72f}, {-160.0f, 0.4f, 0.66f}};

}  // namespace

void InitFx08() {
    g_pFx08Points = new POINTVERTEX[kFx08Points];
    g_pFx08BasePoints = new POINTVERTEX[kFx08Points];
    InitRisingPoints(g_pFx08Points, g_pFx08BasePoints, g_fFx08RiseStart, kFx08Points);
    // Each point's rise starts at its first frame and again whenever it passes the top.
    CarryBetweenFrames(g_fFx08RiseStart);
    auto points = std::make_shared<std::vector<POINTVERTEX>>();
    CarryBetweenFrames(
        &g_pFx08Points, [points] { points->assign(g_pFx08Points, g_pFx08Points + kFx08Points); },
        [points] { std::copy(points->begin(), points->end(), g_pFx08Points); });

    g_pFx08Ring = LoadSphereMapped("data/ring.obj");
    HoldStill(*g_pFx08Ring);

    g_pRender->LoadTexture("data/under.jpg", "fx08_tlo");
    g_pRender->LoadTexture("data/h3.jpg", "h3");
    g_pRender->LoadTexture("data/flarabezinv.jpg", "flarabezinv");
    // The logos' brightness is their alpha.
    g_pRender->LoadTextureA("data/qll.jpg", "data/qll.jpg", "logoqll");
    g_pRender->LoadTextureA("data/hlv.jpg", "data/hlv.jpg", "logohlv");

    // Every extent below divides by this texture's height, the horizontal ones too.
    g_pRender->SetTexture("layerbok", 0);
    g_pFx08StripTop = new CImageQuad(g_pDevice, 0, 0, 799, 255);
    g_pFx08StripTop->SetAlpha(1);
    g_pFx08StripTop->SetUV(0.0f, 0.0f, g_pRender->PixelToV(799), 1.0f);
    g_pFx08StripBottom = new CImageQuad(g_pDevice, 0, 245, 799, 500);
    g_pFx08StripBottom->SetAlpha(1);
    g_pFx08StripBottom->SetUV(0.0f, 0.0f, g_pRender->PixelToV(799), 1.0f);
    g_pFx08Band = NewBandQuad(kBandTop);
}

void RenderFx08(float t) {
    // The grid runs on the demo clock's milliseconds, not on the demo time.
    const float ms = DemoMs();
    BeginGridsOverBand(0xFFFFFFFFu, *g_pFx08Band, "fx08_tlo", "h3");
    GridPass(*g_pFx1, 0.061f, ms, false, FX_RADIAL, GridColourWrapped(0x4FFFFFFFu));
    GridPass(*g_pFx1, 0.061f, ms, true, FX_TUNNEL, GridColour(0x3FFFFFFFu));

    // Additive from here on.
    g_pDevice->SetRenderState(D3DRS_WRAP0, 0);
    g_pRender->SetTextureMode(TM_ALPHABLEND, 0);
    g_pDevice->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    g_pDevice->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);

    // The strips scroll opposite ways by a ninth of the logo's width per second.
    const DWORD stripAlpha = Fx08StripAlpha(t);
    g_pRender->SetTexture("logoqll", 0);
    const float u = t / 9.0f;
    g_pFx08StripTop->SetUV(u, 0.0f, g_pRender->PixelToU(799) + u, 1.0f);
    g_pFx08StripBottom->SetUV(-u, 0.0f, g_pRender->PixelToU(799) - u, 1.0f);
    g_pFx08StripTop->SetAlpha(stripAlpha);
    g_pFx08StripTop->Render(g_pDevice);
    g_pRender->SetTexture("logohlv", 0);
    g_pFx08StripBottom->SetAlpha(stripAlpha);
    g_pFx08StripBottom->Render(g_pDevice);

    // The flare shows the sprite's own image: queuing it binds that texture over "flara2".
    g_pRender->SetTexture("flara2", 0);
    g_pDevice->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
    g_pDevice->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_DESTALPHA);
    g_pDevice->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    g_pDevice->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    g_pDevice->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_CURRENT);
    g_pDevice->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG2);
    if (g_pFlareSprite) {
        g_pFlareSprite->m_fScale = 3.0f;
        g_pFlareSprite->m_fAlpha = 0.0f;
    }
    g_pRender->Render(348.0f, 376.0f, g_pFlareSprite);
    g_pRender->FlushSprites();

    BeginSphereMappedMesh("h3", D3DCULL_CW, 0.25f);
    // From above; the picture moves 40 pixels left and 63 down.
    g_pCamera->Set(0.0f, 200.0f, 2.0f, 0.0f, 0.0f, 0.01f);
    g_pRender->m_vProjOffset = Vector3(-0.1f, -0.21f, 0.0f);
    DepthOn();
    BlendByMaterial();
    g_pDevice->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG2);

    for (int r = 0; r < 3; ++r) {
        g_pFx08Ring->m_vPos = Vector3(0.0f, kRings[r].y, 0.0f);
        g_pFx08Ring->m_fScale = kRings[r].scale;
        g_pRender->SetMaterial(kRings[r].alpha, 1.0f, 1.0f, 1.0f);
        g_pFx08Ring->SetRotation(0.0f, Fx08RingDegrees(r, t), 0.0f);
        g_pRender->DrawObject(g_pFx08Ring, 0);
    }

    // Point-sprite states, every frame whether or not the points are drawn: colour from the
    // texture, alpha from the vertex, size shrinking with distance.
    g_pRender->SetTexture("flarabezinv", 0);
    g_pRender->SetTextureMode(TM_TEXTUREONLY, 0);
    g_pDevice->SetRenderState(D3DRS_POINTSPRITEENABLE, TRUE);
    g_pDevice->SetRenderState(D3DRS_POINTSCALEENABLE, TRUE);
    g_pDevice->SetRenderState(D3DRS_POINTSIZE, FloatState(20.22f));
    g_pDevice->SetRenderState(D3DRS_POINTSIZE_MIN, FloatState(0.0f));
    g_pDevice->SetRenderState(D3DRS_POINTSCALE_A, FloatState(0.0f));
    g_pDevice->SetRenderState(D3DRS_POINTSCALE_B, FloatState(1.0f));
    g_pDevice->SetRenderState(D3DRS_POINTSCALE_C, FloatState(0.0f));
    g_pDevice->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
    g_pDevice->SetRenderState(D3DRS_ZENABLE, FALSE);
    g_pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    g_pDevice->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    g_pDevice->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
    g_pDevice->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG2);
    g_pDevice->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);

    if (Fx08PointsShown(t)) {
        RisePoints(g_pFx08Points, g_pFx08BasePoints, g_fFx08RiseStart, kFx08Points, t);
        // Identity world; the camera's view and projection, offset still in force.
        g_pRender->SetTransformations(0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f);
        g_pDevice->SetVertexShader(D3DFVF_POINTVERTEX);
        g_pDevice->DrawPrimitiveUP(D3DPT_POINTLIST, kFx08Points, g_pFx08Points, sizeof(POINTVERTEX));
    }

    g_pDevice->SetRenderState(D3DRS_POINTSPRITEENABLE, FALSE);
    g_pDevice->SetRenderState(D3DRS_POINTSCALEENABLE, FALSE);
    g_pRender->m_vProjOffset = Vector3(0.0f, 0.0f, 0.0f);
}
