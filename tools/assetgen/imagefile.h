// imagefile.h - writes pictures as baseline JPEG (libjpeg) and PNG (libpng).
// Depends on: libjpeg, libpng.
#pragma once

#include <string>

#include "image.h"

namespace assetgen {

// Colour JPEG of the picture's RGB, quality 0 ... 100; false when the file cannot be written.
bool WriteJpeg(const std::string& path, const Image& img, int quality = 92);
// Greyscale JPEG of the picture's alpha channel (one component, so a decoder gives B = G = R).
bool WriteAlphaJpeg(const std::string& path, const Image& img, int quality = 95);
// 8-bit PNG, RGBA when withAlpha, else RGB.
bool WritePng(const std::string& path, const Image& img, bool withAlpha);

}  // namespace assetgen
