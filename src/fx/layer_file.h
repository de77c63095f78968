// layer_file.h - the tables of the image layers and the reader of data/layer.ini that fills them:
// which strip textures exist, the texel rows that cut each into strips, and which strip scrolls
// where and when. Also the source window a layer shows at a given time.
// Depends on: CIni and the debug log (core) only; textures are obtained through a callback.
#pragma once

#include <functional>

class CIni;
struct IDirect3DTexture8;

struct LayerTexture {
    static constexpr int kMaxBoundaries = 128;
    IDirect3DTexture8* texture = nullptr;
    int stripCount = 0;  // boundaries in use
    int boundaries[kMaxBoundaries] = {};
};

struct Layer {
    float start = 0.0f;         // first time drawn, in the caller's unit (demo milliseconds)
    float end = 0.0f;           // drawn while time < end
    float timePerTexel = 0.0f;  // the source window moves one texel per this much time
    float alpha = 0.0f;
    int textureIndex = 0;
    int strip = 0;
    float y = 0.0f;  // screen row of the band's centre
};

struct LayerTables {
    static constexpr int kMaxTextures = 16;
    static constexpr int kMaxLayers = 256;
    LayerTexture textures[kMaxTextures];
    int textureCount = 0;
    Layer layers[kMaxLayers];
    int layerCount = 0;
};

// Loads the named image as a texture of that name and returns it (null when it cannot).
using LayerTextureLoader = std::function<IDirect3DTexture8*(const char* name)>;

// Reads an opened layer file to its end into `tables` (emptied first). Texture lines beyond the
// table, boundaries beyond 128 and layers beyond 256 are ignored. A layer line of the wrong shape,
// or one naming a texture or strip the file does not define, or with no scroll rate, is logged and
// skipped.
void ReadLayerFile(CIni& ini, LayerTables& tables, const LayerTextureLoader& load);

// The texel columns [left, right) of the strip a layer shows at time t: 1023 texels that slide one
// texel per timePerTexel, brought back into 0 ... 1023 on the left.
struct LayerWindow {
    int left = 0, right = 0;
};
LayerWindow LayerSourceWindow(const Layer& layer, float t);
