// d3d8_texture.h - textures and surfaces over GL textures and renderbuffers. Rows are stored top
// row first, as Direct3D surfaces are, so locks, render-to-texture and read-back need no flips.
// Depends on: d3d8.h, d3d8_format.h, d3d8_object.h.
#pragma once

#include <memory>
#include <vector>

#include "platform/d3d8/d3d8.h"
#include "platform/d3d8/d3d8_format.h"
#include "platform/d3d8/d3d8_gl.h"
#include "platform/d3d8/d3d8_object.h"

namespace velunar::d3d8 {

class Device;
class Texture;

// One level of a texture, a depth-stencil renderbuffer, or an image surface in system memory.
// A texture's level surfaces count references on the texture, as Direct3D's do.
class Surface final : public DeviceChild<IDirect3DSurface8> {
public:
    // A level of a texture.
    Surface(Texture* container, UINT level, const D3DSURFACE_DESC& desc);
    // A depth-stencil (renderbuffer) or an image surface (memory only), owning its references.
    Surface(Device* device, const D3DSURFACE_DESC& desc, bool depthStencil);
    ~Surface() override;

    ULONG AddRef() override;
    ULONG Release() override;
    HRESULT GetDesc(D3DSURFACE_DESC* pDesc) override;
    HRESULT LockRect(D3DLOCKED_RECT* pLockedRect, const RECT* pRect, DWORD Flags) override;
    HRESULT UnlockRect() override;

    Texture* Container() const { return m_container; }
    UINT Level() const { return m_level; }
    GLuint Renderbuffer() const { return m_renderbuffer; }
    const D3DSURFACE_DESC& Desc() const { return m_desc; }
    bool IsDepthStencil() const { return m_renderbuffer != 0; }

private:
    Texture* m_container = nullptr;
    UINT m_level = 0;
    D3DSURFACE_DESC m_desc{};
    GLuint m_renderbuffer = 0;
    std::vector<BYTE> m_memory;  // image surfaces only
    ULONG m_refs = 1;
};

class Texture final : public RefCounted<DeviceChild<IDirect3DTexture8>> {
public:
    // levels 0 asks for the full chain down to 1 x 1.
    Texture(Device* device, UINT width, UINT height, UINT levels, DWORD usage, const FormatInfo& format, D3DPOOL pool);
    ~Texture() override;

    D3DRESOURCETYPE GetType() override { return D3DRTYPE_TEXTURE; }
    DWORD GetLevelCount() override { return static_cast<DWORD>(m_levels.size()); }
    HRESULT GetLevelDesc(UINT Level, D3DSURFACE_DESC* pDesc) override;
    HRESULT GetSurfaceLevel(UINT Level, IDirect3DSurface8** ppSurfaceLevel) override;
    HRESULT LockRect(UINT Level, D3DLOCKED_RECT* pLockedRect, const RECT* pRect, DWORD Flags) override;
    HRESULT UnlockRect(UINT Level) override;

    GLuint Name() const { return m_name; }
    bool IsRenderTarget() const { return (m_usage & D3DUSAGE_RENDERTARGET) != 0; }
    Surface* LevelSurface(UINT level) const { return m_levels[level].surface.get(); }
    const FormatInfo& Format() const { return *m_format; }

private:
    struct LevelData {
        std::unique_ptr<Surface> surface;
        std::vector<BYTE> bytes;  // held while locked; GL holds the content in between
        int locks = 0;
        bool readOnly = true;
        bool inGl = false;  // GL holds content the program wrote: a lock reads it back
    };

    const FormatInfo* m_format;
    DWORD m_usage;
    GLuint m_name = 0;
    std::vector<LevelData> m_levels;
};

}  // namespace velunar::d3d8
