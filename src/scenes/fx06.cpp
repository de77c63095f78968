// fx06.cpp - the closing credits: ten translucent copies of one chrome mesh tumbling on white
// under a bobbing camera, the signature card, seven credits popping in, then the closing image
// across the band while everything else fades and the show goes to black.
// Depends on: the renderer (2D and 3D), the image quad, cObject, the fades, the credit arithmetic.
#include <cmath>

#include "core/screen_layout.h"
#include "fx/fades.h"
#include "render/camera.h"
#include "render/image_quad.h"
#include "render/render.h"
#include "render/render_globals.h"
#include "resources/object.h"
#include "scenes/scene_kit.h"
#include "scenes/scenes.h"
#include "scenes/fx06_math.h"

namespace {

cObject* g_pFx06Object = nullptr;
CImageQuad* g_pFx06Band = nullptr;

// Halves of a credit texture, in texture pixels.
constexpr RECT kUpper{0, 0, 256, 128};
constexpr RECT kLower{0, 128, 256, 256};
constexpr RECT kSignature{0, 0, 256, 256};
}  // namespace

void InitFx06() {
    g_pFx06Object = LoadSphereMapped("data/sys.obj");
    HoldStill(*g_pFx06Object);

    g_pRender->LoadTexture("data/cre1.png", "cre1");
    g_pRender->LoadTexture("data/cre2.png", "cre2");
    g_pRender->LoadTexture("data/cre3.png", "cre3");
    g_pRender->LoadTexture("data/cre4.png", "cre4");
    g_pRender->LoadTexture("data/vosk.png", "vosk");
    g_pRender->LoadTexture("data/news.jpg", "fx06_tlo");
    g_pRender->LoadTexture("data/pod.jpg", "pod");

    // "fx06_tlo" is never drawn: it gives the band's height (and stays current for fx07's init).
    g_pRender->SetTexture("fx06_tlo", 0);
    g_pFx06Band = NewBandQuad(kBandTop);
}

void RenderFx06(float t) {
    g_pRender->m_dwClearColor = 0x00FFFFFFu;
    g_pRender->BeginScene(2);
    const float k = Fx06CreditLevel(t);

    BeginSphereMappedMesh("tex1", D3DCULL_CW, 0.5f);

    // Straight down, bobbing between heights 190 and 250 every 2 s.
    g_pCamera->Set(0.0f, 220.0f + 30.0f * static_cast<float>(std::sin(3.141592653589793 * t)), 0.0f, 0.0f, 0.0f, 0.01f);

    BlendByMaterial();

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
        DrawBandOver(*g_pFx06Band, "vosk", Fx06BandAlpha(t));
        FadeToBlack(Fx06FadeTime(t), 165.0f, 5.0f);
    }
}
