// Texture and surface file I/O: decoding and pixel work in image.h, the device only for creating
// textures and locking their levels.
#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>

#include "platform/d3dx8/d3dx8core.h"
#include "platform/d3dx8/d3dx8tex.h"
#include "platform/d3dx8/d3dx8_ext.h"
#include "platform/d3dx8/image.h"

namespace velunar::d3dx {
namespace {

struct FilterChoice {
    bool valid = true;
    Filter filter = Filter::Triangle;
    bool none = false;  // D3DX_FILTER_NONE: no scaling, outside the source is transparent black
    bool dither = false;
};

FilterChoice ParseFilter(DWORD flags, DWORD fallback) {
    if (flags == D3DX_DEFAULT) flags = fallback;
    FilterChoice c;
    c.dither = (flags & D3DX_FILTER_DITHER) != 0;
    switch (flags & 0xffff) {
        case D3DX_FILTER_NONE: c.none = true; c.filter = Filter::Point; break;
        case D3DX_FILTER_POINT: c.filter = Filter::Point; break;
        case D3DX_FILTER_LINEAR: c.filter = Filter::Linear; break;
        // A box of the scale factor's width and our tent reduce alike; the tent also enlarges smoothly.
        case D3DX_FILTER_TRIANGLE:
        case D3DX_FILTER_BOX: c.filter = Filter::Triangle; break;
        default: c.valid = false; break;
    }
    return c;
}

Bitmap Fit(const Bitmap& src, int width, int height, const FilterChoice& f) {
    if (!f.none) return Resample(src, width, height, f.filter);
    Bitmap out;
    out.width = width;
    out.height = height;
    out.hasAlpha = src.hasAlpha;
    out.argb.assign(static_cast<std::size_t>(width) * height, 0);
    for (int y = 0; y < std::min(height, src.height); ++y)
        std::copy_n(src.argb.data() + static_cast<std::size_t>(y) * src.width, std::min(width, src.width),
                    out.argb.data() + static_cast<std::size_t>(y) * width);
    return out;
}

void ApplyColorKey(Bitmap& image, D3DCOLOR key) {
    if (key == 0) return;
    for (auto& p : image.argb)
        if (p == key) p = 0;
}

// Packs image into a locked rectangle of a surface of `format`.
void Store(const Bitmap& image, const D3DLOCKED_RECT& locked, D3DFORMAT format, bool dither) {
    auto* base = static_cast<std::uint8_t*>(locked.pBits);
    for (int y = 0; y < image.height; ++y)
        PackRow(image.argb.data() + static_cast<std::size_t>(y) * image.width, image.width, format, dither, y,
                base + static_cast<std::ptrdiff_t>(locked.Pitch) * y);
}

bool Packable(D3DFORMAT f) { return BytesPerPixel(f) != 0; }

// The surface's description and the rectangle `rect` of it (all of it when null);
// D3DERR_INVALIDCALL for a format we cannot pack or a rectangle reaching outside the surface.
HRESULT SurfaceRect(IDirect3DSurface8* surface, const RECT* rect, D3DSURFACE_DESC& desc, RECT& r) {
    const HRESULT hr = surface->GetDesc(&desc);
    if (FAILED(hr)) return hr;
    if (!Packable(desc.Format)) return D3DERR_INVALIDCALL;
    r = rect ? *rect : RECT{0, 0, static_cast<LONG>(desc.Width), static_cast<LONG>(desc.Height)};
    if (r.left < 0 || r.top < 0 || r.right <= r.left || r.bottom <= r.top ||
        r.right > static_cast<LONG>(desc.Width) || r.bottom > static_cast<LONG>(desc.Height))
        return D3DERR_INVALIDCALL;
    return D3D_OK;
}

}  // namespace

HRESULT ReadSurface(IDirect3DSurface8* surface, const RECT* rect, Bitmap& out) {
    if (!surface) return D3DERR_INVALIDCALL;
    D3DSURFACE_DESC desc{};
    RECT r{};
    HRESULT hr = SurfaceRect(surface, rect, desc, r);
    if (FAILED(hr)) return hr;

    D3DLOCKED_RECT locked{};
    hr = surface->LockRect(&locked, rect ? &r : nullptr, D3DLOCK_READONLY);
    if (FAILED(hr)) return hr;
    out.width = r.right - r.left;
    out.height = r.bottom - r.top;
    // Saved as a picture without alpha, whatever the surface holds there.
    out.hasAlpha = false;
    // Reused pictures (a capture's frames) keep their storage.
    out.argb.resize(static_cast<std::size_t>(out.width) * out.height);
    for (int y = 0; y < out.height; ++y) {
        const auto* row = static_cast<const std::uint8_t*>(locked.pBits) + static_cast<std::ptrdiff_t>(locked.Pitch) * y;
        std::uint32_t* dst = out.argb.data() + static_cast<std::size_t>(y) * out.width;
        // The back buffer's own format needs no unpacking: a capture reads one every frame.
        if (desc.Format == D3DFMT_A8R8G8B8)
            std::memcpy(dst, row, static_cast<std::size_t>(out.width) * 4);
        else
            UnpackRow(row, out.width, desc.Format, dst);
    }
    surface->UnlockRect();
    return D3D_OK;
}

}  // namespace velunar::d3dx

using namespace velunar::d3dx;

HRESULT D3DXCreateTextureFromFileA(IDirect3DDevice8* pDevice, LPCSTR pSrcFile, IDirect3DTexture8** ppTexture) {
    return D3DXCreateTextureFromFileExA(pDevice, pSrcFile, D3DX_DEFAULT, D3DX_DEFAULT, D3DX_DEFAULT, 0,
                                        D3DFMT_UNKNOWN, D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT, 0, nullptr,
                                        nullptr, ppTexture);
}

HRESULT D3DXCreateTextureFromFileExA(IDirect3DDevice8* pDevice, LPCSTR pSrcFile, UINT Width, UINT Height,
                                     UINT MipLevels, DWORD Usage, D3DFORMAT Format, D3DPOOL Pool, DWORD Filter,
                                     DWORD MipFilter, D3DCOLOR ColorKey, D3DXIMAGE_INFO* pSrcInfo,
                                     PALETTEENTRY* /*pPalette*/, IDirect3DTexture8** ppTexture) {
    if (!ppTexture) return D3DERR_INVALIDCALL;
    *ppTexture = nullptr;
    if (!pDevice || !pSrcFile) return D3DERR_INVALIDCALL;
    const FilterChoice filter = ParseFilter(Filter, D3DX_FILTER_TRIANGLE | D3DX_FILTER_DITHER);
    const FilterChoice mipFilter = ParseFilter(MipFilter, D3DX_FILTER_BOX);
    if (!filter.valid || !mipFilter.valid) return D3DERR_INVALIDCALL;

    Bitmap image;
    const DecodeResult decoded = DecodeImageFile(pSrcFile, image, nullptr);
    if (decoded == DecodeResult::NotFound) return D3DERR_NOTFOUND;
    if (decoded != DecodeResult::Ok) return D3DXERR_INVALIDDATA;
    if (pSrcInfo) {
        pSrcInfo->Width = static_cast<UINT>(image.width);
        pSrcInfo->Height = static_cast<UINT>(image.height);
        pSrcInfo->Depth = 1;
        pSrcInfo->MipLevels = 1;
        pSrcInfo->Format = image.hasAlpha ? D3DFMT_A8R8G8B8 : D3DFMT_X8R8G8B8;
        pSrcInfo->ResourceType = D3DRTYPE_TEXTURE;
        const std::string lower = [&] {
            std::string s = pSrcFile;
            for (auto& ch : s) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
            return s;
        }();
        pSrcInfo->ImageFileFormat = lower.ends_with(".png")   ? D3DXIFF_PNG
                                    : lower.ends_with(".bmp") ? D3DXIFF_BMP
                                                              : D3DXIFF_JPG;
    }

    ApplyColorKey(image, ColorKey);
    if (ColorKey != 0) image.hasAlpha = true;

    int width = NextPowerOfTwo(Width == D3DX_DEFAULT || Width == 0 ? image.width : static_cast<int>(Width));
    int height = NextPowerOfTwo(Height == D3DX_DEFAULT || Height == 0 ? image.height : static_cast<int>(Height));
    // Larger than the device takes: shrink to its limit, as the library does.
    D3DCAPS8 caps{};
    if (SUCCEEDED(pDevice->GetDeviceCaps(&caps))) {
        if (caps.MaxTextureWidth > 0) width = std::min(width, static_cast<int>(caps.MaxTextureWidth));
        if (caps.MaxTextureHeight > 0) height = std::min(height, static_cast<int>(caps.MaxTextureHeight));
    }
    if (Format == D3DFMT_UNKNOWN || Format == static_cast<D3DFORMAT>(D3DX_DEFAULT))
        Format = image.hasAlpha ? D3DFMT_A8R8G8B8 : D3DFMT_X8R8G8B8;
    if (!Packable(Format)) return D3DERR_INVALIDCALL;
    UINT levels = MipLevels;
    if (levels == D3DX_DEFAULT || levels == 0) {
        levels = 1;
        for (int s = std::max(width, height); s > 1; s >>= 1) ++levels;
    }

    IDirect3DTexture8* texture = nullptr;
    HRESULT hr = pDevice->CreateTexture(static_cast<UINT>(width), static_cast<UINT>(height), levels, Usage, Format,
                                        Pool, &texture);
    if (FAILED(hr) || !texture) return FAILED(hr) ? hr : D3DERR_INVALIDCALL;

    Bitmap level = Fit(image, width, height, filter);
    const DWORD count = texture->GetLevelCount();
    for (DWORD i = 0; i < count; ++i) {
        if (i > 0) level = HalveBox(level);
        D3DLOCKED_RECT locked{};
        hr = texture->LockRect(i, &locked, nullptr, 0);
        if (FAILED(hr)) {
            texture->Release();
            return hr;
        }
        Store(level, locked, Format, (i == 0 ? filter : mipFilter).dither);
        texture->UnlockRect(i);
    }
    *ppTexture = texture;
    return D3D_OK;
}

HRESULT D3DXLoadSurfaceFromMemory(IDirect3DSurface8* pDestSurface, const PALETTEENTRY* pDestPalette,
                                  const RECT* pDestRect, LPCVOID pSrcMemory, D3DFORMAT SrcFormat, UINT SrcPitch,
                                  const PALETTEENTRY* pSrcPalette, const RECT* pSrcRect, DWORD Filter,
                                  D3DCOLOR ColorKey) {
    if (!pDestSurface || !pSrcMemory || !pSrcRect || pDestPalette || pSrcPalette) return D3DERR_INVALIDCALL;
    const FilterChoice filter = ParseFilter(Filter, D3DX_FILTER_TRIANGLE | D3DX_FILTER_DITHER);
    if (!filter.valid || !Packable(SrcFormat)) return D3DERR_INVALIDCALL;
    const RECT& s = *pSrcRect;
    if (s.right <= s.left || s.bottom <= s.top || s.left < 0 || s.top < 0) return D3DERR_INVALIDCALL;
    const int srcW = s.right - s.left, srcH = s.bottom - s.top;
    const int bpp = BytesPerPixel(SrcFormat);
    if (SrcPitch < static_cast<UINT>(s.right) * bpp) return D3DERR_INVALIDCALL;

    D3DSURFACE_DESC desc{};
    RECT d{};
    HRESULT hr = SurfaceRect(pDestSurface, pDestRect, desc, d);
    if (FAILED(hr)) return hr;

    Bitmap src;
    src.width = srcW;
    src.height = srcH;
    src.argb.resize(static_cast<std::size_t>(srcW) * srcH);
    const auto* mem = static_cast<const std::uint8_t*>(pSrcMemory);
    for (int y = 0; y < srcH; ++y)
        UnpackRow(mem + static_cast<std::size_t>(SrcPitch) * (s.top + y) + static_cast<std::size_t>(s.left) * bpp,
                  srcW, SrcFormat, src.argb.data() + static_cast<std::size_t>(y) * srcW);
    ApplyColorKey(src, ColorKey);

    const Bitmap fitted = Fit(src, d.right - d.left, d.bottom - d.top, filter);
    D3DLOCKED_RECT locked{};
    hr = pDestSurface->LockRect(&locked, pDestRect ? &d : nullptr, 0);
    if (FAILED(hr)) return hr;
    Store(fitted, locked, desc.Format, filter.dither);
    pDestSurface->UnlockRect();
    return D3D_OK;
}

HRESULT D3DXSaveSurfaceToFileA(LPCSTR pDestFile, D3DXIMAGE_FILEFORMAT DestFormat, IDirect3DSurface8* pSrcSurface,
                               const PALETTEENTRY* /*pSrcPalette*/, const RECT* pSrcRect) {
    if (!pDestFile || !pSrcSurface) return D3DERR_INVALIDCALL;
    if (DestFormat != D3DXIFF_BMP && DestFormat != D3DXIFF_DIB && DestFormat != D3DXIFF_PNG &&
        DestFormat != D3DXIFF_JPG)
        return D3DERR_INVALIDCALL;
    Bitmap image;
    const HRESULT hr = velunar::d3dx::ReadSurface(pSrcSurface, pSrcRect, image);
    if (FAILED(hr)) return hr;

    bool ok;
    switch (DestFormat) {
        case D3DXIFF_PNG: ok = WritePng(pDestFile, image); break;
        case D3DXIFF_JPG: ok = WriteJpeg(pDestFile, image, 90); break;
        default: ok = WriteBmp24(pDestFile, image); break;
    }
    return ok ? D3D_OK : E_FAIL;
}
