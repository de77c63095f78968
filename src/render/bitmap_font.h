// bitmap_font.h - BitmapFont, a TrueType face rasterised once into a 4-bit-alpha texture atlas
// of the printable ASCII glyphs, then drawn as screen-space textured quads.
// Depends on: the Direct3D 8 layer, the glyph rasteriser of the GDI layer.
#pragma once

#include "platform/d3d8/d3d8.h"

class BitmapFont {
public:
    // flags bits: bold, italic, depth test on while drawing.
    static constexpr DWORD kBold = 1;
    static constexpr DWORD kItalic = 2;
    static constexpr DWORD kZEnable = 4;
    // One batch: 100 triangles.
    static constexpr UINT kMaxVertices = 300;

    BitmapFont(const char* faceName, DWORD size, DWORD flags);
    ~BitmapFont();
    BitmapFont(const BitmapFont&) = delete;
    BitmapFont& operator=(const BitmapFont&) = delete;

    HRESULT Create(IDirect3DDevice8* pDevice);
    HRESULT CreateBuffers();
    HRESULT ReleaseBuffers();
    HRESULT ReleaseTexture();
    HRESULT Release();

    // Size in atlas texels: widest line, line height times lines.
    HRESULT MeasureString(const char* text, int* pSize);
    // x, y in -1..1 across the viewport; scales as fractions of the viewport per line height.
    // flags bit 2: linear filtering.
    HRESULT DrawString(float x, float y, float z, float scaleX, float scaleY, D3DCOLOR color, const char* text,
                       DWORD flags);

    DWORD GetTextureWidth() const { return m_dwTexWidth; }
    DWORD GetTextureHeight() const { return m_dwTexHeight; }
    float GetTextScale() const { return m_fTextScale; }
    IDirect3DTexture8* GetTexture() const { return m_pTexture; }
    // tu1, tv1, tu2, tv2 of a code 32..126.
    const float* GetGlyph(int c) const { return m_fTexCoords[c - 32]; }

private:
    char m_strFontName[80] = {};
    DWORD m_dwFontHeight = 0;
    DWORD m_dwFontFlags = 0;
    IDirect3DDevice8* m_pDevice = nullptr;
    IDirect3DTexture8* m_pTexture = nullptr;
    IDirect3DVertexBuffer8* m_pVB = nullptr;
    DWORD m_dwTexWidth = 0;
    DWORD m_dwTexHeight = 0;
    float m_fTextScale = 1.0f;
    // Atlas texels per pixel of the picture: the back buffer's scale, so glyphs stay sharp on it.
    DWORD m_dwPixelScale = 1;
    float m_fTexCoords[128 - 32][4] = {};
    DWORD m_dwSavedStateBlock = 0;
    DWORD m_dwDrawTextStateBlock = 0;
};
