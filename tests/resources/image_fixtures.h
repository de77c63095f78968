// Small JPEG fixtures written by the tests: flat colours, so lossy coding barely moves them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/jpeg/jpeg.h"

inline bool WriteFlatJpeg(const std::string& path, int w, int h, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(w) * h * 3);
    for (std::size_t i = 0; i < rgb.size(); i += 3) {
        rgb[i] = r;
        rgb[i + 1] = g;
        rgb[i + 2] = b;
    }
    return velunar::jpeg::EncodeFile(path.c_str(), rgb.data(), w, h, 100);
}
