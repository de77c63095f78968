// layer_file.cpp - data/layer.ini into the layer tables, and the scroll window of a layer.
#include "fx/layer_file.h"

#include "core/ini.h"
#include "core/logger.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

void LogError() {
    if (g_pLogger) g_pLogger->LogMessage("fxlayers : error in layer.ini\n");
}

// One texture line: the file name (also the texture's name), the boundary count, the boundaries.
void ReadTextureLine(const CIni& ini, LayerTexture& entry, const LayerTextureLoader& load) {
    if (ini.m_nStrings < 1 || ini.m_nInts < 1) {
        // Kept as an entry without strips so the later entries keep their indices.
        LogError();
        return;
    }
    entry.texture = load(ini.m_apszStrings[0]);
    // A count larger than the numbers on the line takes the numbers there are.
    const int count = std::min({ini.m_anInts[0], ini.m_nInts - 1, LayerTexture::kMaxBoundaries});
    entry.stripCount = count;
    for (int i = 0; i < count; ++i) {
        entry.boundaries[i] = ini.m_anInts[1 + i];
        if (g_pLogger) g_pLogger->LogMessage("%d - ", entry.boundaries[i]);
    }
    if (g_pLogger) g_pLogger->LogMessage("\n");
}

// A layer needs a texture line of its own index and a strip with both of its boundaries; a rate
// of zero would leave the window nowhere.
bool Usable(const Layer& layer, const LayerTables& tables) {
    if (layer.textureIndex < 0 || layer.textureIndex >= tables.textureCount) return false;
    const LayerTexture& tex = tables.textures[layer.textureIndex];
    if (layer.strip < 0 || layer.strip >= tex.stripCount - 1) return false;
    return std::isfinite(layer.timePerTexel) && layer.timePerTexel != 0.0f;
}

}  // namespace

void ReadLayerFile(CIni& ini, LayerTables& tables, const LayerTextureLoader& load) {
    tables.textureCount = 0;
    tables.layerCount = 0;
    if (!ini.Read()) return;
    int lines = ini.m_nInts > 0 ? ini.m_anInts[0] : 0;
    if (ini.m_nInts == 0) LogError();

    for (int n = 0; n < lines; ++n) {
        if (!ini.Read()) return;
        if (tables.textureCount >= LayerTables::kMaxTextures) continue;
        LayerTexture& entry = tables.textures[tables.textureCount++];
        entry = LayerTexture{};
        ReadTextureLine(ini, entry, load);
    }

    while (ini.Read()) {
        if (!ini.MatchFormat("dddddss")) {
            LogError();
            continue;
        }
        if (tables.layerCount >= LayerTables::kMaxLayers) continue;
        Layer layer;
        layer.start = static_cast<float>(ini.m_anInts[0]);
        layer.end = static_cast<float>(ini.m_anInts[1]);
        layer.textureIndex = ini.m_anInts[2];
        layer.strip = ini.m_anInts[3];
        layer.y = static_cast<float>(ini.m_anInts[4]);
        layer.timePerTexel = static_cast<float>(std::atof(ini.m_apszStrings[0]));
        layer.alpha = static_cast<float>(std::atof(ini.m_apszStrings[1]));
        if (!Usable(layer, tables)) {
            LogError();
            continue;
        }
        tables.layers[tables.layerCount++] = layer;
    }
}

LayerWindow LayerSourceWindow(const Layer& layer, float t) {
    constexpr int kWidth = 1023;
    double c = (t - layer.start) / layer.timePerTexel;
    // Far from the start the window is first brought near 0, so the whole numbers below fit.
    if (!(std::fabs(c) < 1073741824.0)) c = std::isfinite(c) ? std::fmod(c, double{kWidth}) : 0.0;
    LayerWindow w;
    w.left = static_cast<int>(static_cast<float>(c));
    w.right = static_cast<int>(static_cast<float>(c) + 1023.0);
    if (w.left > kWidth) {
        const int q = w.left / kWidth;
        w.left -= q * kWidth;
        w.right -= q * kWidth;
    }
    if (w.left < 0) {
        const int q = -w.left / kWidth + 1;
        w.left += q * kWidth;
        w.right += q * kWidth;
    }
    return w;
}
