// frame_capture.h - reading the finished picture back from the device and writing it as PNG.
// Depends on: the Direct3D 8 layer, the D3DX layer's surface read-back, libpng.
#pragma once

#include "platform/d3d8/d3d8.h"
#include "platform/d3dx8/d3dx8_ext.h"

#include <string>

namespace capture {

// A picture read off the device: A8R8G8B8 words (B, G, R, A bytes in memory), top row first.
using Picture = velunar::d3dx::Bitmap;

// The device's back buffer (its current render target), read the way F11's shots read it; false
// when it cannot be read.
bool ReadBackBuffer(IDirect3DDevice8* device, Picture& out);
// Writes the picture as an RGB PNG (alpha dropped); false (with errno-style text in *error) when
// the file cannot be written.
bool WritePng(const std::string& path, const Picture& picture, std::string* error);

}  // namespace capture
