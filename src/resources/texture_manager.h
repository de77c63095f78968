// texture_manager.h - CTextureManager, the demo's table of named textures. Every image is loaded
// once under a short name and looked up by that name or by its index while drawing.
// Depends on: the Direct3D 8 and D3DX 8 layers, LoadJpg, the debug log.
#pragma once

#include "platform/wintypes.h"

struct IDirect3D8;
struct IDirect3DDevice8;
struct IDirect3DTexture8;

// One loaded texture; owned by the table.
struct TextureEntry {
    int nIndex = 0;
    char* pszName = nullptr;
    DWORD dwWidth = 0;
    DWORD dwHeight = 0;
    char* pszFileName = nullptr;
    char* pszAlphaFileName = nullptr;  // LoadA only
    IDirect3DTexture8* pTexture = nullptr;
};

class CTextureManager {
public:
    static constexpr int kMaxTextures = 1024;

    // Probes the texture formats for the alpha loaders against pD3D and dwDesktopFormat; with pD3D
    // null, against the device's own Direct3D object and the default adapter's desktop mode.
    explicit CTextureManager(IDirect3DDevice8* pDevice, IDirect3D8* pD3D = nullptr, DWORD dwDesktopFormat = 0);
    ~CTextureManager();
    CTextureManager(const CTextureManager&) = delete;
    CTextureManager& operator=(const CTextureManager&) = delete;

    // Any image file D3DX reads.
    bool Load(const char* file, const char* name, int* pIndex = nullptr);
    // A JPEG colour image plus a JPEG whose grey level becomes the alpha channel.
    bool LoadA(const char* file, const char* alphaFile, const char* name, int* pIndex = nullptr);
    // A JPEG whose alpha follows its own brightness: dark pixels fade out, the rest is opaque.
    bool LoadAutoAlpha(const char* file, const char* name, int* pIndex = nullptr);

    // Borrowed pointers: the caller neither adds nor releases a reference.
    IDirect3DTexture8* GetTexture(int index, DWORD* pWidth = nullptr, DWORD* pHeight = nullptr);
    IDirect3DTexture8* GetTexture(const char* name, DWORD* pWidth = nullptr, DWORD* pHeight = nullptr);
    bool GetTextureMetrics(int index, DWORD* pWidth, DWORD* pHeight);
    // As GetTexture by name, without logging a miss.
    IDirect3DTexture8* FindTexture(const char* name) const;

    int GetCount() const { return m_nCount; }
    DWORD GetPreferredFormat() const { return m_dwPreferredFormat; }
    const TextureEntry* GetEntry(int index) const;

private:
    const TextureEntry* FindEntry(const char* name) const;
    bool TableFull(const char* method, const char* file, const char* name) const;
    bool CreateFromPixels(const char* method, const char* what, const BYTE* pixels, DWORD width,
                          DWORD height, IDirect3DTexture8** ppTexture);
    void AddEntry(const char* name, const char* file, const char* alphaFile, DWORD width, DWORD height,
                  IDirect3DTexture8* pTexture, int* pIndex);

    IDirect3DDevice8* m_pDevice = nullptr;
    TextureEntry* m_pTextures[kMaxTextures] = {};
    int m_nCount = 0;
    DWORD m_dwPreferredFormat = 0;  // a D3DFORMAT; 0 when no candidate is supported
};
