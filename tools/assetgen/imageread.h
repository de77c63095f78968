// imageread.h - decodes the generated JPEG and PNG files back, for checks and previews.
// Depends on: libjpeg, libpng.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace assetgen {

struct Decoded {
    int w = 0, h = 0;
    int channels = 0;            // as stored: 1 grey, 3 RGB, 4 RGBA
    bool progressive = false;    // JPEG only
    std::vector<uint8_t> rgba;   // w x h x 4, expanded
};

bool ReadJpeg(const std::string& path, Decoded& out);
bool ReadPng(const std::string& path, Decoded& out);
// By extension (.jpg or .png).
bool ReadImage(const std::string& path, Decoded& out);

}  // namespace assetgen
