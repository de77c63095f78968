// d3d8_texture.cpp - texture storage, level locks and the memory and depth surfaces.
#include "platform/d3d8/d3d8_texture.h"

#include <algorithm>

#include "platform/d3d8/d3d8_device.h"

namespace velunar::d3d8 {
namespace {

bool ValidRect(const RECT* r, UINT width, UINT height) {
    return !r || (r->left >= 0 && r->top >= 0 && r->left < r->right && r->top < r->bottom &&
                  static_cast<UINT>(r->right) <= width && static_cast<UINT>(r->bottom) <= height);
}

void* RectStart(BYTE* bits, UINT pitch, UINT bpp, const RECT* r) {
    if (!r) return bits;
    return bits + static_cast<size_t>(r->top) * pitch + static_cast<size_t>(r->left) * bpp;
}

}  // namespace

// ---- Surface ----------------------------------------------------------------------------------

Surface::Surface(Texture* container, UINT level, const D3DSURFACE_DESC& desc)
    : DeviceChild(container->Owner()), m_container(container), m_level(level), m_desc(desc) {}

Surface::Surface(Device* device, const D3DSURFACE_DESC& desc, bool depthStencil)
    : DeviceChild(device), m_desc(desc) {
    if (depthStencil) {
        glGenRenderbuffers(1, &m_renderbuffer);
        glBindRenderbuffer(GL_RENDERBUFFER, m_renderbuffer);
        glRenderbufferStorage(GL_RENDERBUFFER, FindFormat(desc.Format)->internalFormat, desc.Width, desc.Height);
        D3D8_GL_CHECK("glRenderbufferStorage");
    } else {
        m_memory.resize(static_cast<size_t>(desc.Size));
    }
}

Surface::~Surface() {
    if (m_renderbuffer) {
        m_device->ForgetSurface(this);
        glDeleteRenderbuffers(1, &m_renderbuffer);
    }
}

ULONG Surface::AddRef() { return m_container ? m_container->AddRef() : ++m_refs; }

ULONG Surface::Release() {
    if (m_container) return m_container->Release();
    ULONG left = --m_refs;
    if (left == 0) delete this;
    return left;
}

HRESULT Surface::GetDesc(D3DSURFACE_DESC* pDesc) {
    if (!pDesc) return D3DERR_INVALIDCALL;
    *pDesc = m_desc;
    return D3D_OK;
}

HRESULT Surface::LockRect(D3DLOCKED_RECT* pLockedRect, const RECT* pRect, DWORD Flags) {
    if (m_container) return m_container->LockRect(m_level, pLockedRect, pRect, Flags);
    if (!pLockedRect || m_renderbuffer || !ValidRect(pRect, m_desc.Width, m_desc.Height)) return D3DERR_INVALIDCALL;
    UINT bpp = FindFormat(m_desc.Format)->bytesPerPixel;
    pLockedRect->Pitch = static_cast<INT>(m_desc.Width * bpp);
    pLockedRect->pBits = RectStart(m_memory.data(), m_desc.Width * bpp, bpp, pRect);
    return D3D_OK;
}

HRESULT Surface::UnlockRect() {
    if (m_container) return m_container->UnlockRect(m_level);
    return m_renderbuffer ? D3DERR_INVALIDCALL : D3D_OK;
}

// ---- Texture ----------------------------------------------------------------------------------

Texture::Texture(Device* device, UINT width, UINT height, UINT levels, DWORD usage, const FormatInfo& format,
                 D3DPOOL pool)
    : RefCounted(device), m_format(&format), m_usage(usage) {
    UINT full = 1;
    for (UINT w = width, h = height; w > 1 || h > 1; w = std::max(1u, w / 2), h = std::max(1u, h / 2)) ++full;
    if (levels == 0 || levels > full) levels = full;
    if (usage & D3DUSAGE_RENDERTARGET) levels = 1;

    glGenTextures(1, &m_name);
    m_device->BindTextureForUpload(m_name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_BASE_LEVEL, 0);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, static_cast<GLint>(levels - 1));
    glTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_SWIZZLE_RGBA, format.swizzle);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    m_levels.resize(levels);
    for (UINT l = 0; l < levels; ++l) {
        UINT w = std::max(1u, width >> l), h = std::max(1u, height >> l);
        glTexImage2D(GL_TEXTURE_2D, static_cast<GLint>(l), static_cast<GLint>(format.internalFormat), w, h, 0,
                     format.uploadFormat, format.uploadType, nullptr);
        D3DSURFACE_DESC d{};
        d.Format = format.format;
        d.Type = D3DRTYPE_SURFACE;
        d.Usage = usage;
        d.Pool = pool;
        d.Size = w * h * format.bytesPerPixel;
        d.MultiSampleType = D3DMULTISAMPLE_NONE;
        d.Width = w;
        d.Height = h;
        m_levels[l].surface = std::make_unique<Surface>(this, l, d);
    }
    D3D8_GL_CHECK("glTexImage2D");
}

Texture::~Texture() {
    for (LevelData& l : m_levels) m_device->ForgetSurface(l.surface.get());
    m_device->ForgetTextureName(m_name);
    glDeleteTextures(1, &m_name);
}

HRESULT Texture::GetLevelDesc(UINT Level, D3DSURFACE_DESC* pDesc) {
    if (!pDesc || Level >= m_levels.size()) return D3DERR_INVALIDCALL;
    *pDesc = m_levels[Level].surface->Desc();
    return D3D_OK;
}

HRESULT Texture::GetSurfaceLevel(UINT Level, IDirect3DSurface8** ppSurfaceLevel) {
    if (!ppSurfaceLevel || Level >= m_levels.size()) return D3DERR_INVALIDCALL;
    AddRef();
    *ppSurfaceLevel = m_levels[Level].surface.get();
    return D3D_OK;
}

HRESULT Texture::LockRect(UINT Level, D3DLOCKED_RECT* pLockedRect, const RECT* pRect, DWORD Flags) {
    if (!pLockedRect || Level >= m_levels.size()) return D3DERR_INVALIDCALL;
    LevelData& lv = m_levels[Level];
    const D3DSURFACE_DESC& d = lv.surface->Desc();
    if (!ValidRect(pRect, d.Width, d.Height)) return D3DERR_INVALIDCALL;
    UINT bpp = m_format->bytesPerPixel;
    UINT pitch = d.Width * bpp;
    if (lv.bytes.empty()) lv.bytes.assign(static_cast<size_t>(pitch) * d.Height, 0);
    if (lv.locks == 0) {
        lv.readOnly = true;
        // Whatever was drawn into a render target since is only in GL, and so is what the program
        // wrote before (the copy is let go at unlock).
        if (IsRenderTarget() || lv.inGl) {
            if (IsRenderTarget()) m_device->FlushForReadback();
            glPixelStorei(GL_PACK_ALIGNMENT, 1);
            m_device->BindTextureForUpload(m_name);
            glGetTexImage(GL_TEXTURE_2D, static_cast<GLint>(Level), m_format->uploadFormat, m_format->uploadType,
                          lv.bytes.data());
            D3D8_GL_CHECK("glGetTexImage");
        }
    }
    ++lv.locks;
    if (!(Flags & D3DLOCK_READONLY)) lv.readOnly = false;
    pLockedRect->Pitch = static_cast<INT>(pitch);
    pLockedRect->pBits = RectStart(lv.bytes.data(), pitch, bpp, pRect);
    return D3D_OK;
}

HRESULT Texture::UnlockRect(UINT Level) {
    if (Level >= m_levels.size() || m_levels[Level].locks == 0) return D3DERR_INVALIDCALL;
    LevelData& lv = m_levels[Level];
    if (--lv.locks > 0) return D3D_OK;
    if (!lv.readOnly) {
        const D3DSURFACE_DESC& d = lv.surface->Desc();
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
        m_device->BindTextureForUpload(m_name);
        glTexSubImage2D(GL_TEXTURE_2D, static_cast<GLint>(Level), 0, 0, d.Width, d.Height, m_format->uploadFormat,
                        m_format->uploadType, lv.bytes.data());
        D3D8_GL_CHECK("glTexSubImage2D");
    }
    // A render target's copy would go stale at the next draw. Any other copy would only double the
    // memory the texture takes: GL gives the same bytes back at the next lock, as long as every
    // channel is stored as the eight bits it was given.
    const bool exact = m_format->internalFormat == GL_RGBA8 || m_format->internalFormat == GL_RG8 ||
                       m_format->internalFormat == GL_R8;
    if (IsRenderTarget()) {
        std::vector<BYTE>().swap(lv.bytes);
    } else if (exact && (!lv.readOnly || lv.inGl)) {
        std::vector<BYTE>().swap(lv.bytes);
        lv.inGl = true;
    }
    return D3D_OK;
}

}  // namespace velunar::d3d8
