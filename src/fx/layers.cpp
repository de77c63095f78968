// layers.cpp - the one set of layer tables, filled at start-up and drawn through the renderer's
// D3DX sprite, begun once per call and only when some layer is active.
#include "fx/layers.h"

#include "core/ini.h"
#include "core/screen_layout.h"
#include "platform/d3dx8/d3dx8.h"
#include "render/render.h"
#include "render/render_globals.h"
#include "resources/texture_manager.h"

#include <algorithm>
#include <climits>

namespace {

LayerTables g_layers;
bool g_bSpriteBegun = false;

LONG ClampedRow(long long row) { return static_cast<LONG>(std::clamp<long long>(row, INT_MIN, INT_MAX)); }

void BeginBatch(ID3DXSprite* sprite) {
    sprite->Begin();
    g_pDevice->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_DISABLE);
    g_pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    g_pDevice->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    g_pDevice->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
    g_pDevice->SetTextureStageState(0, D3DTSS_ADDRESSU, D3DTADDRESS_WRAP);
    g_pDevice->SetTextureStageState(0, D3DTSS_ADDRESSV, D3DTADDRESS_WRAP);
    g_bSpriteBegun = true;
}

}  // namespace

const LayerTables& Layers() { return g_layers; }

void LoadLayers() {
    CIni ini;
    if (!ini.Open("data/layer.ini")) {
        g_layers = LayerTables{};
        return;
    }
    ReadLayerFile(ini, g_layers, [](const char* name) -> IDirect3DTexture8* {
        if (!g_pRender || !g_pRender->GetTextureManager()) return nullptr;
        g_pRender->LoadTexture(name, name);
        return g_pRender->GetTextureManager()->GetTexture(name);
    });
}

void RenderLayers(float t) {
    if (!g_pRender || !g_pDevice) return;
    ID3DXSprite* sprite = g_pRender->GetSprite();
    int lastTexture = -1;
    for (int i = 0; i < g_layers.layerCount; ++i) {
        const Layer& layer = g_layers.layers[i];
        if (!(layer.start <= t && t < layer.end)) continue;
        const LayerTexture& tex = g_layers.textures[layer.textureIndex];
        // A strip picture that did not load has nothing to show.
        if (!tex.texture || !sprite) continue;
        if (!g_bSpriteBegun) BeginBatch(sprite);
        if (layer.textureIndex != lastTexture) {
            g_pRender->SetTexturePtr(tex.texture, 0);
            lastTexture = layer.textureIndex;
        }
        const LayerWindow w = LayerSourceWindow(layer, t);
        const RECT source{w.left, ClampedRow(tex.boundaries[layer.strip] + 2LL), w.right,
                          ClampedRow(tex.boundaries[layer.strip + 1] - 1LL)};
        // Centred across the screen.
        g_pRender->DrawImage(kScreenWidth / 2, layer.y, 0.9f, layer.alpha, 1.0f, 0.0f, &source);
    }
    if (g_bSpriteBegun) {
        sprite->End();
        g_bSpriteBegun = false;
    }
}
