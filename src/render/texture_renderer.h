// texture_renderer.h - CTextureRenderer, a texture the demo draws into and then uses as an
// ordinary texture; it saves and restores the device's own targets around the drawing.
// Depends on: the Direct3D 8 layer, the debug log.
#pragma once

#include "platform/d3d8/d3d8.h"

class CTextureRenderer {
public:
    CTextureRenderer(IDirect3DDevice8* pDevice, int bWithDepth, UINT width, UINT height, D3DFORMAT colorFormat,
                     D3DFORMAT depthFormat);
    ~CTextureRenderer();
    CTextureRenderer(const CTextureRenderer&) = delete;
    CTextureRenderer& operator=(const CTextureRenderer&) = delete;

    // 1 on success or when already drawing into the texture.
    int BeginRender(IDirect3DDevice8* pDevice);
    // 1 on success or when not drawing into the texture.
    int EndRender(IDirect3DDevice8* pDevice);
    // Borrowed.
    IDirect3DTexture8* GetTexture() { return m_lpTexture; }
    bool IsActive() const { return m_bActive != 0; }

private:
    IDirect3DTexture8* m_lpTexture = nullptr;
    IDirect3DSurface8* m_lpDepth = nullptr;
    IDirect3DSurface8* m_lpSavedTarget = nullptr;
    IDirect3DSurface8* m_lpSavedDepth = nullptr;
    BYTE m_bActive = 0;
};
