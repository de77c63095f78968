// frame_capture.cpp - render-target read-back and PNG output for the offscreen runs.
#include "capture/frame_capture.h"

#include <png.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace capture {

bool ReadRenderTarget(IDirect3DDevice8* device, Picture& out) {
    if (!device) return false;
    IDirect3DSurface8* surface = nullptr;
    if (FAILED(device->GetRenderTarget(&surface)) || !surface) return false;
    D3DSURFACE_DESC desc{};
    D3DLOCKED_RECT locked{};
    bool ok = SUCCEEDED(surface->GetDesc(&desc)) && SUCCEEDED(surface->LockRect(&locked, nullptr, D3DLOCK_READONLY));
    if (ok) {
        out.width = static_cast<int>(desc.Width);
        out.height = static_cast<int>(desc.Height);
        out.rgb.resize(static_cast<size_t>(out.width) * out.height * 3);
        // A8R8G8B8 in memory is B, G, R, A per pixel.
        for (int y = 0; y < out.height; ++y) {
            const auto* row = static_cast<const std::uint8_t*>(locked.pBits) + static_cast<size_t>(y) * locked.Pitch;
            std::uint8_t* dst = &out.rgb[static_cast<size_t>(y) * out.width * 3];
            for (int x = 0; x < out.width; ++x) {
                dst[x * 3 + 0] = row[x * 4 + 2];
                dst[x * 3 + 1] = row[x * 4 + 1];
                dst[x * 3 + 2] = row[x * 4 + 0];
            }
        }
        surface->UnlockRect();
    }
    surface->Release();
    return ok;
}

bool ReadRenderTargetBgra(IDirect3DDevice8* device, std::vector<std::uint8_t>& bgra, int& width, int& height) {
    if (!device) return false;
    IDirect3DSurface8* surface = nullptr;
    if (FAILED(device->GetRenderTarget(&surface)) || !surface) return false;
    D3DSURFACE_DESC desc{};
    D3DLOCKED_RECT locked{};
    bool ok = SUCCEEDED(surface->GetDesc(&desc)) &&
              (desc.Format == D3DFMT_A8R8G8B8 || desc.Format == D3DFMT_X8R8G8B8) &&
              SUCCEEDED(surface->LockRect(&locked, nullptr, D3DLOCK_READONLY));
    if (ok) {
        width = static_cast<int>(desc.Width);
        height = static_cast<int>(desc.Height);
        const size_t row = static_cast<size_t>(width) * 4;
        bgra.resize(row * height);
        // A8R8G8B8 in memory is already B, G, R, A per pixel.
        for (int y = 0; y < height; ++y)
            std::memcpy(&bgra[y * row], static_cast<const std::uint8_t*>(locked.pBits) + static_cast<size_t>(y) * locked.Pitch, row);
        surface->UnlockRect();
    }
    surface->Release();
    return ok;
}

bool WritePng(const std::string& path, const Picture& picture, std::string* error) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        if (error) *error = std::strerror(errno);
        return false;
    }
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
    for (int y = 0; y < picture.height; ++y)
        png_write_row(png, const_cast<png_bytep>(&picture.rgb[static_cast<size_t>(y) * picture.width * 3]));
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    const bool closed = std::fclose(file) == 0;
    if (!closed && error) *error = std::strerror(errno);
    return closed;
}

}  // namespace capture
