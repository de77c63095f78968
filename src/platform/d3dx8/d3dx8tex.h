// d3dx8tex.h - D3DX texture and surface file I/O over our Direct3D 8 device: textures from JPEG,
// PNG and BMP files (recognised by content), surfaces from memory, surfaces to BMP/PNG/JPEG files.
// Depends on: platform/d3d8/d3d8.h, image.h (pixel work), platform/jpeg, libpng (inside).
#pragma once

#include "platform/d3d8/d3d8.h"

#define D3DX_DEFAULT ((UINT)-1)

#define D3DX_FILTER_NONE (1 << 0)
#define D3DX_FILTER_POINT (2 << 0)
#define D3DX_FILTER_LINEAR (3 << 0)
#define D3DX_FILTER_TRIANGLE (4 << 0)
#define D3DX_FILTER_BOX (5 << 0)
#define D3DX_FILTER_MIRROR_U (1 << 16)
#define D3DX_FILTER_MIRROR_V (2 << 16)
#define D3DX_FILTER_MIRROR_W (4 << 16)
#define D3DX_FILTER_MIRROR (7 << 16)
#define D3DX_FILTER_DITHER (8 << 16)

enum D3DXIMAGE_FILEFORMAT : DWORD {
    D3DXIFF_BMP = 0,
    D3DXIFF_JPG = 1,
    D3DXIFF_TGA = 2,
    D3DXIFF_PNG = 3,
    D3DXIFF_DDS = 4,
    D3DXIFF_PPM = 5,
    D3DXIFF_DIB = 6,
    D3DXIFF_FORCE_DWORD = 0x7fffffff,
};

struct D3DXIMAGE_INFO {
    UINT Width;
    UINT Height;
    UINT Depth;
    UINT MipLevels;
    D3DFORMAT Format;
    D3DRESOURCETYPE ResourceType;
    D3DXIMAGE_FILEFORMAT ImageFileFormat;
};

#ifndef VELUNAR_PALETTEENTRY_DEFINED
#define VELUNAR_PALETTEENTRY_DEFINED
struct PALETTEENTRY {
    BYTE peRed, peGreen, peBlue, peFlags;
};
#endif

// Texture from a file: sizes rounded up to powers of two (the image stretched with a triangle
// filter), a full mip chain (box filtered), A8R8G8B8 when the file has alpha else X8R8G8B8, managed
// pool. GetLevelDesc(0) reports the rounded size. A missing file gives D3DERR_NOTFOUND, a damaged or
// unknown one D3DXERR_INVALIDDATA; neither leaves a texture behind.
HRESULT D3DXCreateTextureFromFileA(IDirect3DDevice8* pDevice, LPCSTR pSrcFile, IDirect3DTexture8** ppTexture);

// The same with every choice given: Width, Height, MipLevels and Format may be D3DX_DEFAULT (0 also
// means default for the sizes and levels); Filter and MipFilter take D3DX_FILTER_* (D3DX_DEFAULT:
// TRIANGLE | DITHER and BOX); a non-zero ColorKey turns matching opaque pixels into transparent black.
HRESULT D3DXCreateTextureFromFileExA(IDirect3DDevice8* pDevice, LPCSTR pSrcFile, UINT Width, UINT Height,
                                     UINT MipLevels, DWORD Usage, D3DFORMAT Format, D3DPOOL Pool, DWORD Filter,
                                     DWORD MipFilter, D3DCOLOR ColorKey, D3DXIMAGE_INFO* pSrcInfo,
                                     PALETTEENTRY* pPalette, IDirect3DTexture8** ppTexture);

// Copies a rectangle of pixels in memory into a surface (pDestRect null: the whole surface), scaling
// with Filter when the sizes differ. Sources: A8R8G8B8, X8R8G8B8 and the 16-bit formats below.
// Destinations: A8R8G8B8, X8R8G8B8, R8G8B8, A4R4G4B4, X4R4G4B4, A1R5G5B5, X1R5G5B5, R5G6B5;
// D3DX_FILTER_DITHER dithers the channels that lose bits. Palettes are not supported (must be null).
HRESULT D3DXLoadSurfaceFromMemory(IDirect3DSurface8* pDestSurface, const PALETTEENTRY* pDestPalette,
                                  const RECT* pDestRect, LPCVOID pSrcMemory, D3DFORMAT SrcFormat, UINT SrcPitch,
                                  const PALETTEENTRY* pSrcPalette, const RECT* pSrcRect, DWORD Filter,
                                  D3DCOLOR ColorKey);

// Saves a surface (or pSrcRect of it) as D3DXIFF_BMP / D3DXIFF_DIB (24-bit, bottom-up), D3DXIFF_PNG
// (opaque: the back buffer's alpha is a blending aid, not transparency) or D3DXIFF_JPG.
HRESULT D3DXSaveSurfaceToFileA(LPCSTR pDestFile, D3DXIMAGE_FILEFORMAT DestFormat, IDirect3DSurface8* pSrcSurface,
                               const PALETTEENTRY* pSrcPalette, const RECT* pSrcRect);
