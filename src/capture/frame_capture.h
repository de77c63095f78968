// frame_capture.h - reading the finished picture back from the device and writing it as PNG.
// Depends on: the Direct3D 8 layer, libpng.
#pragma once

#include "platform/d3d8/d3d8.h"

#include <cstdint>
#include <string>
#include <vector>

namespace capture {

// An 8-bit RGB picture, top row first.
struct Picture {
    int width = 0, height = 0;
    std::vector<std::uint8_t> rgb;
};

// The device's current render target as RGB; false when it cannot be read.
bool ReadRenderTarget(IDirect3DDevice8* device, Picture& out);
// The same as B, G, R, A bytes per pixel, rows packed, top row first (what the video encoder takes).
bool ReadRenderTargetBgra(IDirect3DDevice8* device, std::vector<std::uint8_t>& bgra, int& width, int& height);
// Writes a PNG; false (with errno-style text in *error) when the file cannot be written.
bool WritePng(const std::string& path, const Picture& picture, std::string* error);

}  // namespace capture
