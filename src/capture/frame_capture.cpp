// frame_capture.cpp - back-buffer read-back and PNG output for the offscreen runs.
#include "capture/frame_capture.h"

#include <png.h>

#include <cerrno>
#include <cstdio>
#include <cstdint>
#include <cstring>
#include <vector>

namespace capture {

bool ReadBackBuffer(IDirect3DDevice8* device, Picture& out) {
    if (!device) return false;
    IDirect3DSurface8* surface = nullptr;
    if (FAILED(device->GetRenderTarget(&surface)) || !surface) return false;
    const bool ok = SUCCEEDED(velunar::d3dx::ReadSurface(surface, nullptr, out));
    surface->Release();
    return ok;
}

bool WritePng(const std::string& path, const Picture& picture, std::string* error) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        if (error) *error = std::strerror(errno);
        return false;
    }
    // Made before the encoder can jump back on an error, so the jump crosses no constructor.
    std::vector<std::uint8_t> rgb(static_cast<size_t>(picture.width) * 3);
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(file);
        if (error) *error = "PNG encoding failed";
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(picture.width), static_cast<png_uint_32>(picture.height), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < picture.height; ++y) {
        const std::uint32_t* row = &picture.argb[static_cast<size_t>(y) * picture.width];
        for (int x = 0; x < picture.width; ++x) {
            rgb[x * 3 + 0] = static_cast<std::uint8_t>(row[x] >> 16);
            rgb[x * 3 + 1] = static_cast<std::uint8_t>(row[x] >> 8);
            rgb[x * 3 + 2] = static_cast<std::uint8_t>(row[x]);
        }
        png_write_row(png, rgb.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    const bool closed = std::fclose(file) == 0;
    if (!closed && error) *error = std::strerror(errno);
    return closed;
}

}  // namespace capture
