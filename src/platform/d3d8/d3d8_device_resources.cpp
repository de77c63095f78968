// d3d8_device_resources.cpp - the device's resources: textures, buffers and surfaces made for the
// program, copies between surfaces, and what the device forgets as they are deleted.
#include <cstring>

#include "platform/d3d8/d3d8_buffer.h"
#include "platform/d3d8/d3d8_device.h"
#include "platform/d3d8/d3d8_format.h"
#include "platform/d3d8/d3d8_texture.h"

namespace velunar::d3d8 {

// ---- resources --------------------------------------------------------------------------------

HRESULT Device::CreateTexture(UINT Width, UINT Height, UINT Levels, DWORD Usage, D3DFORMAT Format, D3DPOOL Pool,
                              IDirect3DTexture8** ppTexture) {
    if (!ppTexture) return D3DERR_INVALIDCALL;
    *ppTexture = nullptr;
    const FormatInfo* f = FindFormat(Format);
    if (!f || !f->colour || Width == 0 || Height == 0) return D3DERR_INVALIDCALL;
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    if (Width > static_cast<UINT>(maxSize) || Height > static_cast<UINT>(maxSize)) return D3DERR_INVALIDCALL;
    auto* tex = new Texture(this, Width, Height, Levels, Usage, *f, Pool);
    tex->HoldDevice();
    *ppTexture = tex;
    return D3D_OK;
}

HRESULT Device::CreateVertexBuffer(UINT Length, DWORD Usage, DWORD FVF, D3DPOOL Pool,
                                   IDirect3DVertexBuffer8** ppVertexBuffer) {
    if (!ppVertexBuffer) return D3DERR_INVALIDCALL;
    *ppVertexBuffer = nullptr;
    if (Length == 0) return D3DERR_INVALIDCALL;
    auto* vb = new VertexBuffer(this, Length, Usage, FVF, Pool);
    vb->HoldDevice();
    *ppVertexBuffer = vb;
    return D3D_OK;
}

HRESULT Device::CreateIndexBuffer(UINT Length, DWORD Usage, D3DFORMAT Format, D3DPOOL Pool,
                                  IDirect3DIndexBuffer8** ppIndexBuffer) {
    if (!ppIndexBuffer) return D3DERR_INVALIDCALL;
    *ppIndexBuffer = nullptr;
    if (Length == 0 || (Format != D3DFMT_INDEX16 && Format != D3DFMT_INDEX32)) return D3DERR_INVALIDCALL;
    auto* ib = new IndexBuffer(this, Length, Usage, Format, Pool);
    ib->HoldDevice();
    *ppIndexBuffer = ib;
    return D3D_OK;
}

HRESULT Device::CreateRenderTarget(UINT Width, UINT Height, D3DFORMAT Format, D3DMULTISAMPLE_TYPE, BOOL,
                                   IDirect3DSurface8** ppSurface) {
    if (!ppSurface) return D3DERR_INVALIDCALL;
    *ppSurface = nullptr;
    IDirect3DTexture8* tex = nullptr;
    HRESULT hr = CreateTexture(Width, Height, 1, D3DUSAGE_RENDERTARGET, Format, D3DPOOL_DEFAULT, &tex);
    if (FAILED(hr)) return hr;
    // The surface keeps its texture alive from here on.
    tex->GetSurfaceLevel(0, ppSurface);
    tex->Release();
    return D3D_OK;
}

HRESULT Device::CreateDepthStencilSurface(UINT Width, UINT Height, D3DFORMAT Format, D3DMULTISAMPLE_TYPE,
                                          IDirect3DSurface8** ppSurface) {
    if (!ppSurface) return D3DERR_INVALIDCALL;
    *ppSurface = nullptr;
    const FormatInfo* f = FindFormat(Format);
    if (!f || !f->depthStencil || Width == 0 || Height == 0) return D3DERR_INVALIDCALL;
    D3DSURFACE_DESC d{Format, D3DRTYPE_SURFACE, D3DUSAGE_DEPTHSTENCIL, D3DPOOL_DEFAULT, Width * Height * f->bytesPerPixel,
                      D3DMULTISAMPLE_NONE, Width, Height};
    *ppSurface = new Surface(this, d, true);
    // The device's own depth buffer must not keep the device alive.
    if (m_autoDepthMade) static_cast<Surface*>(*ppSurface)->HoldDevice();
    return D3D_OK;
}

HRESULT Device::CreateImageSurface(UINT Width, UINT Height, D3DFORMAT Format, IDirect3DSurface8** ppSurface) {
    if (!ppSurface) return D3DERR_INVALIDCALL;
    *ppSurface = nullptr;
    const FormatInfo* f = FindFormat(Format);
    if (!f || !f->colour || Width == 0 || Height == 0) return D3DERR_INVALIDCALL;
    D3DSURFACE_DESC d{Format, D3DRTYPE_SURFACE, 0, D3DPOOL_SYSTEMMEM, Width * Height * f->bytesPerPixel,
                      D3DMULTISAMPLE_NONE, Width, Height};
    auto* image = new Surface(this, d, false);
    image->HoldDevice();
    *ppSurface = image;
    return D3D_OK;
}

HRESULT Device::CopyRects(IDirect3DSurface8* pSrc, const RECT* pSrcRects, UINT cRects, IDirect3DSurface8* pDst,
                          const POINT* pDstPoints) {
    if (!pSrc || !pDst || pSrc == pDst) return D3DERR_INVALIDCALL;
    D3DSURFACE_DESC sd{}, dd{};
    pSrc->GetDesc(&sd);
    pDst->GetDesc(&dd);
    const FormatInfo* f = FindFormat(sd.Format);
    if (sd.Format != dd.Format || !f || !f->colour) return D3DERR_INVALIDCALL;
    RECT whole{0, 0, static_cast<LONG>(sd.Width), static_cast<LONG>(sd.Height)};
    POINT origin{0, 0};
    if (cRects == 0) {
        pSrcRects = &whole;
        pDstPoints = &origin;
        cRects = 1;
    }
    for (UINT i = 0; i < cRects; ++i) {
        const RECT& r = pSrcRects[i];
        POINT at = pDstPoints ? pDstPoints[i] : POINT{r.left, r.top};
        LONG w = r.right - r.left, h = r.bottom - r.top;
        if (r.left < 0 || r.top < 0 || w <= 0 || h <= 0 || r.right > static_cast<LONG>(sd.Width) ||
            r.bottom > static_cast<LONG>(sd.Height) || at.x < 0 || at.y < 0 ||
            at.x + w > static_cast<LONG>(dd.Width) || at.y + h > static_cast<LONG>(dd.Height))
            return D3DERR_INVALIDCALL;
    }
    D3DLOCKED_RECT sl{}, dl{};
    if (FAILED(pSrc->LockRect(&sl, nullptr, D3DLOCK_READONLY))) return D3DERR_INVALIDCALL;
    if (FAILED(pDst->LockRect(&dl, nullptr, 0))) {
        pSrc->UnlockRect();
        return D3DERR_INVALIDCALL;
    }
    for (UINT i = 0; i < cRects; ++i) {
        const RECT& r = pSrcRects[i];
        POINT at = pDstPoints ? pDstPoints[i] : POINT{r.left, r.top};
        size_t rowBytes = static_cast<size_t>(r.right - r.left) * f->bytesPerPixel;
        for (LONG y = r.top; y < r.bottom; ++y)
            std::memcpy(static_cast<BYTE*>(dl.pBits) + (at.y + y - r.top) * dl.Pitch + at.x * f->bytesPerPixel,
                        static_cast<const BYTE*>(sl.pBits) + y * sl.Pitch + r.left * f->bytesPerPixel, rowBytes);
    }
    pDst->UnlockRect();
    pSrc->UnlockRect();
    return D3D_OK;
}

void Device::BindTextureForUpload(GLuint name) {
    m_gl.BindTextureForTransfer(name);
    MarkDirty(kDirtyTextures);
}

void Device::ForgetBuffer(GLuint name) { m_gl.ForgetBuffer(name); }

void Device::ForgetTextureName(GLuint name) {
    m_gl.ForgetTexture(name);
    MarkDirty(kDirtyTextures);
}

void Device::ForgetSurface(Surface* surface) {
    // The device's own references keep its targets alive, so this only matters while it is torn down.
    if (m_renderTarget.Get() == surface || m_depthStencil.Get() == surface) MarkDirty(kDirtyTargets);
}

}  // namespace velunar::d3d8
