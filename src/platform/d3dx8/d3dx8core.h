// d3dx8core.h - ID3DXSprite over our Direct3D 8 device, and D3DX's result codes and their texts.
// Depends on: platform/d3d8/d3d8.h, d3dx8math.h. Draws only through the device's public calls.
#pragma once

#include "platform/d3d8/d3d8.h"
#include "platform/d3dx8/d3dx8math.h"

#define _FACDD 0x876
#define MAKE_DDHRESULT(code) MAKE_HRESULT(1, _FACDD, code)

#define D3DXERR_CANNOTMODIFYINDEXBUFFER MAKE_DDHRESULT(2900)
#define D3DXERR_INVALIDMESH MAKE_DDHRESULT(2901)
#define D3DXERR_CANNOTATTRSORT MAKE_DDHRESULT(2902)
#define D3DXERR_SKINNINGNOTSUPPORTED MAKE_DDHRESULT(2903)
#define D3DXERR_TOOMANYINFLUENCES MAKE_DDHRESULT(2904)
#define D3DXERR_INVALIDDATA MAKE_DDHRESULT(2905)
#define D3DXERR_LOADEDMESHASNODATA MAKE_DDHRESULT(2906)

// Draws textured screen-space quads. Begin records the states it changes and sets its own: alpha
// blending SRCALPHA / INVSRCALPHA with BLENDOP ADD, alpha test GREATER 0, no culling, lighting or
// fog, WRAP0 0, stage 0 colour and alpha MODULATE (TEXTURE, DIFFUSE) with untransformed texture
// coordinates, stage 1 disabled, CLAMP addressing, LINEAR magnification and minification. Depth
// states are left alone. States the caller sets between Begin and End apply to the draws in
// between; End restores everything recorded at Begin. Draw outside Begin / End brackets itself.
struct ID3DXSprite : IUnknown {
    virtual HRESULT GetDevice(IDirect3DDevice8** ppDevice) = 0;
    virtual HRESULT Begin() = 0;
    // The quad is the source rectangle (null: the whole level 0) in pixels, scaled about its
    // top-left, turned by Rotation radians (clockwise on screen) about pRotationCenter (in scaled
    // pixels), then moved by pTranslation. Any vector may be null (no scaling, centre 0, no move).
    // Color multiplies the texture in colour and alpha.
    virtual HRESULT Draw(IDirect3DTexture8* pSrcTexture, const RECT* pSrcRect, const D3DXVECTOR2* pScaling,
                         const D3DXVECTOR2* pRotationCenter, FLOAT Rotation, const D3DXVECTOR2* pTranslation,
                         D3DCOLOR Color) = 0;
    // Same quad, placed by a 2D affine matrix (x' = x _11 + y _21 + _41, y' = x _12 + y _22 + _42).
    virtual HRESULT DrawTransform(IDirect3DTexture8* pSrcTexture, const RECT* pSrcRect,
                                  const D3DXMATRIX* pTransform, D3DCOLOR Color) = 0;
    virtual HRESULT End() = 0;
    virtual HRESULT OnLostDevice() = 0;
    virtual HRESULT OnResetDevice() = 0;
};
using LPD3DXSPRITE = ID3DXSprite*;

HRESULT D3DXCreateSprite(IDirect3DDevice8* pDevice, ID3DXSprite** ppSprite);

// Writes a NUL-terminated text for hr into pBuffer (cut to BufferLen - 1 characters). Every code
// the device and D3DX return has its own text; others read "Unknown error 0x........".
HRESULT D3DXGetErrorStringA(HRESULT hr, LPSTR pBuffer, UINT BufferLen);
