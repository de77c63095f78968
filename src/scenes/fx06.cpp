// fx06.cpp - the closing credits: ten translucent copies of one chrome mesh tumbling on white
// under a bobbing camera, the signature card, seven credits popping in, then the closing image
// across the band while everything else fades and the show goes to black.
// Depends on: the renderer (2D and 3D), the image quad, cObject, the fades, the credit arithmetic.
#include <cmath>

#include "core/screen_layout.h"
#include "fx/fades.h"
#include "math/matrix.h"
#include "render/camera.h"
#include "render/image_quad.h"
#include "render/render.h"
#include "render/render_globals.h"
#include "resources/object.h"
#include "scenes/scenes.h"
#include "scenes/second_half_math.h"

cObject* g_pFx06Object = nullptr;
CImageQuad* g_pFx06Band = nullptr;

namespace {
// Halves of a credit texture, in texture pixels.
constexpr RECT kUpper{0, 0, 256, 128};
constexpr RECT kLower{0, 128, 256, 256};
constexpr RECT kSignature{0, 0, 256, 256};
}  // namespace

void InitFx06() {
    g_pFx06Object = new cObject("data/sys.obj", g_pDevice, 0);
    g_pFx06Object->ComputeNormals();
    g_pFx06Object->SphereMapUV();
    g_pFx06Object->UpdateBuffers();
    g_pFx06Object->SetRotation(0.0f, 0.0f, 0.0f);
    g_pFx06Object->SetRotationSpeed(0.0f, 0.0f, 0.0f);

    g_pRender->LoadTexture("data/cre1.png", "cre1");
    g_pRender->LoadTexture("data/cre2.png", "cre2");
    g_pRender->LoadTexture("data/cre3.png", "cre3");
    g_pRender->LoadTexture("data/cre4.png", "cre4");
    g_pRender->LoadTexture("data/vosk.png", "vosk");
    g_pRender->LoadTexture("data/news.jpg", "fx06_tlo");
    g_pRender->LoadTexture("data/pod.jpg", "pod");

    // "fx06_tlo" is never drawn: it gives the band's height (and stays current for fx07's init).
    g_pRender->SetTexture("fx06_tlo", 0);
    g_pFx06Band = new CImageQuad(g_pDevice, 0, kBandTop, kScreenWidth, kBandBottom);
    g_pFx06Band->SetAlpha(1);
    g_pFx06Band->SetUV(0.0f, 0.0f, 1.0f, g_pRender->PixelToV(384));
}

void RenderFx06(float t) {
    g_pRender->m_dwClearColor = 0x00FFFFFFu;
    g_pRender->BeginScene(2);
    const float k = Fx06CreditLevel(t);

    g_pRender->SetTexture("tex1", 0);
    g_pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    g_pDevice->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
    g_pDevice->SetRenderState(D3DRS_ZENABLE, FALSE);
    g_pRender->SetTextureMode(TM_SPHEREMAP, 0);
    g_pDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
    // Sphere-map coordinates n * 0.5 + 0.5.
    Matrix4 texture = MatrixScaling(0.5f) * MatrixTranslation(0.5f, 0.5f, 0.5f);
    g_pDevice->SetTransform(D3DTS_TEXTURE0, texture);

    // Straight down, bobbing between heights 190 and 250 every 2 s.
    g_pCamera->Set(0.0f, 220.0f + 30.0f * static_cast<float>(std::sin(3.141592653589793 * t)), 0.0f, 0.0f, 0.0f, 0.01f);

    g_pDevice->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    g_pDevice->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    g_pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    g_pDevice->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);

    // The signature does not fade; it is simply gone from 160 s.
    if (t < 160.0f) {
        g_pRender->SetTexture("pod", 0);
        g_pRender->DrawImage(672.0f, 450.0f, 0.0f, 0.9f, 1.0f, 0.0f, &kSignature);
    }

    // Without the depth test the ten copies blend over each other in drawing order.
    g_pRender->SetTexture("tex1", 0);
    g_pFx06Object->m_fScale = 0.7f;
    g_pRender->SetMaterial(0.2f * k, 1.0f, 1.0f, 1.0f);
    for (int j = 0; j < 10; ++j) {
        const float fj = static_cast<float>(j);
        g_pFx06Object->SetRotation(10.0f * fj + 130.0f * t, 13.0f * fj + 150.0f * t, 18.0f * fj + 80.0f * t);
        g_pRender->DrawObject(g_pFx06Object, 0);
    }

    for (const CreditPlacement& c : g_aFx06Credits) {
        if (t < c.from) continue;
        g_pRender->SetTexture(c.texture, 0);
        g_pRender->DrawImage(c.x, c.y, 0.0f, k, 1.0f, 0.0f, c.lower ? &kLower : &kUpper);
    }

    if (t >= 155.0f) {
        g_pRender->SetTexture("vosk", 0);
        g_pDevice->SetRenderState(D3DRS_WRAP0, 0);
        g_pRender->SetTextureMode(TM_TEXTUREONLY, 0);
        g_pRender->SetTextureMode(TM_ALPHABLEND, 0);
        // Alpha from the quad's vertices, colour from the texture.
        g_pDevice->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG2);
        g_pDevice->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
        g_pFx06Band->SetAlpha(Fx06BandAlpha(t));
        g_pFx06Band->Render(g_pDevice);
        FadeToBlack(Fx06FadeTime(t), 165.0f, 5.0f);
    }
}
