// image.h - 8-bit RGB pictures for tests and benchmarks: read from and written to PNG and JPEG
// files, with the few measures the frame tests take of them.
//
// Depends on: libpng, libjpeg.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace velunar_test {

struct Image {
    int width = 0, height = 0;
    std::vector<std::uint8_t> rgb;  // rows top to bottom, 3 bytes a pixel

    Image() = default;
    // A picture of one colour.
    Image(int w, int h, std::uint8_t r = 0, std::uint8_t g = 0, std::uint8_t b = 0);
    bool ok() const { return width > 0; }
    const std::uint8_t* at(int x, int y) const { return &rgb[(static_cast<std::size_t>(y) * width + x) * 3]; }
    std::uint8_t* at(int x, int y) { return &rgb[(static_cast<std::size_t>(y) * width + x) * 3]; }
    // Mean of R, G and B over a rectangle [x0, x1) x [y0, y1).
    double Mean(int x0, int y0, int x1, int y1) const;
    // Largest channel value over a rectangle.
    int Max(int x0, int y0, int x1, int y1) const;
    // Rows [y0, y1) as a picture of their own.
    Image Rows(int y0, int y1) const;
};

// An 8-bit PNG (grey, RGB or RGBA, alpha dropped) or a JPEG, as RGB; an empty image when the file
// cannot be read.
Image ReadPng(const std::string& path);
Image ReadJpeg(const std::string& path);
// Writes RGB as PNG (zlib level 9 where `smallest`, for files kept in the repository) or as a
// baseline JPEG of the given quality. False when the file cannot be written.
bool WritePng(const std::string& path, const Image& image, bool smallest = false);
bool WriteJpeg(const std::string& path, const Image& image, int quality = 90);

}  // namespace velunar_test
