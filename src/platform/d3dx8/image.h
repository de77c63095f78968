// image.h - the pixel work behind the D3DX texture and surface calls, as pure functions without a
// device: file decoding (JPEG, PNG, BMP, recognised by content), BMP and PNG writing, resampling,
// mip reduction and packing into the 16- and 32-bit surface formats.
// Depends on: platform/d3d8/d3d8types.h, platform/jpeg (JPEG), libpng (inside). No GL.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/d3d8/d3d8types.h"

namespace velunar::d3dx {

// Pixels as A8R8G8B8 words (0xAARRGGBB), top row first, no gap between rows.
struct Bitmap {
    int width = 0, height = 0;
    bool hasAlpha = false;  // false: every alpha is 0xff and the file had no alpha channel
    std::vector<std::uint32_t> argb;
};

enum class DecodeResult { Ok, NotFound, Unsupported, Corrupt };

// Largest image a decoder accepts (256 MB of pixels); a damaged header claiming more is Corrupt
// instead of an allocation that ends the process.
constexpr std::uint64_t kMaxImagePixels = 64ull * 1024 * 1024;

// The format is taken from the first bytes, not from the name. errorText (may be null) gets a reason.
DecodeResult DecodeImageFile(const char* path, Bitmap& out, std::string* errorText);
DecodeResult DecodeImageMemory(const std::uint8_t* data, std::size_t size, Bitmap& out, std::string* errorText);

// Uncompressed 1-, 4-, 8-, 24- and 32-bit BMPs (bottom-up or top-down), and 16/32-bit bitfields.
DecodeResult DecodeBmp(const std::uint8_t* data, std::size_t size, Bitmap& out, std::string* errorText);
DecodeResult DecodePng(const std::uint8_t* data, std::size_t size, Bitmap& out, std::string* errorText);

// 24-bit BMP, bottom row first and rows padded to 4 bytes as the format requires; alpha dropped.
std::vector<std::uint8_t> EncodeBmp24(const Bitmap& image);
bool WriteBmp24(const char* path, const Bitmap& image);
bool WritePng(const char* path, const Bitmap& image);
bool WriteJpeg(const char* path, const Bitmap& image, int quality);

// Smallest power of two >= n (n >= 1).
int NextPowerOfTwo(int n);

enum class Filter { Point, Linear, Triangle };

// Resize to width x height. Point takes the nearest texel, Linear interpolates the four nearest,
// Triangle weighs a tent as wide as the scale factor (so reductions average every source texel).
// Same-size resampling copies exactly with every filter. Edges clamp.
Bitmap Resample(const Bitmap& src, int width, int height, Filter filter);

// Next level of a mip chain: each side halved (never below 1), 2 x 2 box average, rounded.
Bitmap HalveBox(const Bitmap& src);

// Bytes per pixel of the surface formats we pack; 0 for any other.
int BytesPerPixel(D3DFORMAT format);

// Packs one row of A8R8G8B8 pixels into `format`; `y` picks the dither row (ordered 4 x 4 Bayer
// dither for the channels that lose bits). X formats store their unused bits as ones.
void PackRow(const std::uint32_t* src, int count, D3DFORMAT format, bool dither, int y, void* dst);

// Unpacks one row of a surface format into A8R8G8B8; X formats read as opaque.
void UnpackRow(const void* src, int count, D3DFORMAT format, std::uint32_t* dst);

}  // namespace velunar::d3dx
