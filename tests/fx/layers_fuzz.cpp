// libFuzzer target for the layer file: any file must fill the tables within their bounds, with
// every kept layer naming a texture and a strip that exist and a window inside the strip's width.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/ini.h"
#include "fx/layer_file.h"
#include "support/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = velunar_test::FuzzInputFile("layers_fuzz", "ini", data, size);
    CIni ini;
    if (path.empty() || !ini.Open(path.c_str())) return 0;
    static LayerTables tables;
    // No renderer: every named picture "loads" as the same dummy handle.
    ReadLayerFile(ini, tables, [](const char*) { return reinterpret_cast<IDirect3DTexture8*>(&tables); });
    if (tables.textureCount < 0 || tables.textureCount > LayerTables::kMaxTextures) std::abort();
    if (tables.layerCount < 0 || tables.layerCount > LayerTables::kMaxLayers) std::abort();
    for (int i = 0; i < tables.textureCount; ++i)
        if (tables.textures[i].stripCount < 0 || tables.textures[i].stripCount > LayerTexture::kMaxBoundaries)
            std::abort();
    for (int i = 0; i < tables.layerCount; ++i) {
        const Layer& l = tables.layers[i];
        if (l.textureIndex < 0 || l.textureIndex >= tables.textureCount) std::abort();
        if (l.strip < 0 || l.strip + 1 >= tables.textures[l.textureIndex].stripCount) std::abort();
        for (float t : {l.start, l.end, l.start + 12345.0f, 1e30f, -1e30f}) {
            const LayerWindow w = LayerSourceWindow(l, t);
            if (w.left < 0 || w.left > 1023) std::abort();
        }
    }
    return 0;
}
