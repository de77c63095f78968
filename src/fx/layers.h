// layers.h - fxlayers, the image layers: horizontally scrolling bands cut from wide strip
// textures, each shown during its time window at a fixed height, blended additively. What is
// drawn where and when comes from data/layer.ini.
// Depends on: the layer tables and their reader, the renderer (textures, the D3DX sprite).
#pragma once

#include "fx/layer_file.h"

// Reads data/layer.ini and loads the textures it names. A missing or damaged file leaves fewer or
// no layers.
void LoadLayers();
// Draws every layer with start <= t < end, in file order; t in the file's unit (demo milliseconds).
void RenderLayers(float t);

// The tables LoadLayers filled.
const LayerTables& Layers();
