// fx01.cpp - the opening: a tile stacked into the render target as brightly as the music is loud,
// that target wrapped over the three shared grids (tunnel, turning sphere, rings) with pulsing
// transparency, the spectrum as black bars growing into the band from its edges, and from
// 18.301 s a scrolling ornament band on the left and the logo at the lower right.
#include "core/screen_layout.h"
#include "fx/grid.h"
#include "render/image_quad.h"
#include "render/render.h"
#include "render/render_globals.h"
#include "render/texture_renderer.h"
#include "scenes/fx01_math.h"
#include "scenes/scene_kit.h"
#include "scenes/scenes.h"

#include <algorithm>

namespace {

CImageQuad* g_pFx01Tile = nullptr;
CImageQuad* g_pFx01Band = nullptr;

// The step that makes the grid's columns pulse, `offset` columns out of step.
auto Pulse(float ms, int offset) {
    return [ms, offset](fx& grid) {
        SetGridColumnColours(grid, [ms, offset](int c) { return Fx01PulseColour(ms, static_cast<unsigned>(c), offset); });
    };
}

// The tile once, then ten additive passes at the level's opacity, each colour times four.
void DrawTarget(int level) {
    g_pTexRenderer->BeginRender(g_pDevice);
    g_pDevice->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 0.0f, 0);
    g_pDevice->BeginScene();

    g_pRender->SetTexture("stq2", 0);
    g_pRender->SetTextureMode(TM_TEXTUREONLY, 0);
    g_pFx01Tile->SetAlpha(255);
    g_pFx01Tile->Render(g_pDevice);

    g_pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    g_pDevice->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    g_pDevice->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
    g_pDevice->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_DISABLE);
    g_pDevice->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    g_pDevice->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE4X);
    g_pDevice->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_CURRENT);
    for (int i = 0; i < 10; ++i) {
        g_pFx01Tile->SetAlpha(static_cast<DWORD>(level));
        g_pFx01Tile->Render(g_pDevice);
    }

    g_pDevice->EndScene();
    g_pTexRenderer->EndRender(g_pDevice);
}

void DrawGrids(float ms) {
    SetModulatedGridStates();
    g_pRender->SetTexturePtr(g_pTexRenderer->GetTexture(), 0);

    // The tunnel, opaque.
    GridPassModeFirst(*g_pFx1, 0.1f, ms, false, FX_TUNNEL);
    // The sphere turns with the rotation of the previous frame; its columns pulse.
    GridPassModeFirst(*g_pFx2, -0.1f, ms, true, FX_SPHERE, [ms](fx& grid) {
        g_pDevice->SetRenderState(D3DRS_WRAP0, D3DWRAP_V);
        Pulse(ms, 0)(grid);
    });
    // The rings, pulsing out of step with the sphere.
    WrapBothWays();
    GridPassModeFirst(*g_pFx3, -0.1f, ms, false, FX_RADIAL, Pulse(ms, 345));
}

// Sixty-four bands two pixels wide, six times across: low bands hang from the top edge, high
// bands rise from the bottom edge.
void DrawBars(const float* spectrum) {
    g_pRender->SetTextureMode(TM_TEXTUREONLY, 0);
    g_pDevice->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG2);
    g_pDevice->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG2);
    if (!spectrum) return;
    for (int k = 0; k < 64; ++k)
        for (int m = 0; m < 6; ++m) {
            const float x = static_cast<float>(2 * k + 128 * m);
            g_pRender->DrawRect(x, kBandTop, x + 2.0f, kBandTop + 150.0f * spectrum[k], 0.1f, 0xFF000000u);
            g_pRender->DrawRect(x, kBandBottom, x + 2.0f, kBandBottom - 150.0f * spectrum[63 - k], 0.1f, 0xFF000000u);
        }
}

}  // namespace

void InitFx01() {
    g_pRender->LoadTextureA("data/layerbok.jpg", "data/layerbok.jpg", "layerbok");
    g_pFx01Tile = new CImageQuad(g_pDevice, 0, 0, 256, 256);
    g_pFx01Tile->SetAlpha(1);
    g_pFx01Tile->SetUV(0.0f, 0.0f, 2.0f, 2.0f);
    g_pRender->SetTexture("layerbok", 0);
    g_pFx01Band = new CImageQuad(g_pDevice, 0, kBandTop - 1, 256, kBandBottom);
    g_pFx01Band->SetAlpha(1);
    g_pFx01Band->SetUV(0.0f, 0.0f, 1.0f, g_pRender->PixelToV(kBandHeight));
}

void RenderFx01(float t) {
    const float* spectrum = Spectrum();
    const int level = Fx01Level(spectrum);
    // The grids run on the demo clock's milliseconds, not on the demo time.
    const float ms = DemoMs();

    DrawTarget(level);

    g_pRender->m_dwClearColor = 0x000000FFu;
    g_pRender->BeginScene(2);
    DrawGrids(ms);
    DrawBars(spectrum);

    g_pRender->SetTextureMode(TM_ALPHABLEND, 0);
    g_pDevice->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    g_pDevice->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
    g_pRender->SetTexture("layerbok", 0);
    g_pDevice->SetRenderState(D3DRS_WRAP0, 0);
    if (t < 18.301) {
        g_pFx01Band->SetAlpha(0);
    } else {
        g_pFx01Band->SetAlpha(static_cast<DWORD>(Fx01BandAlpha(t)));
        const double top = Fx01BandTop(t);
        g_pFx01Band->SetUV(0.0f, static_cast<float>(top), 1.0f, static_cast<float>(top + g_pRender->PixelToV(kBandHeight)));
    }
    g_pFx01Band->Render(g_pDevice);

    g_pRender->SetTextureMode(TM_TEXTUREONLY, 0);
    g_pDevice->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG2);
    g_pDevice->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG2);
    g_pDevice->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    g_pDevice->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);

    if (t >= 18.301) {
        g_pRender->SetTextureMode(TM_ALPHABLEND, 0);
        g_pRender->SetTexture("logo", 0);
        g_pRender->DrawImage(544.0f, 422.0f, 0.1f, static_cast<float>(std::min((t - 18.301) * 0.5, 0.9)), 1.0f, 0.0f, nullptr);
    }
}
