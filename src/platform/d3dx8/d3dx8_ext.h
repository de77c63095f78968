// d3dx8_ext.h - the surface read-back behind D3DXSaveSurfaceToFileA, for the program's own
// read-backs (not D3DX API): one way of reading a picture off the device.
// Depends on: the Direct3D 8 layer, image.h.
#pragma once

#include "platform/d3d8/d3d8.h"
#include "platform/d3dx8/image.h"

namespace velunar::d3dx {

// The surface, or the rectangle `rect` of it, as A8R8G8B8 words, top row first; X formats read as
// opaque; hasAlpha is false (files saved from it have no alpha channel). D3DERR_INVALIDCALL for a format we cannot unpack or a rectangle outside the surface.
HRESULT ReadSurface(IDirect3DSurface8* surface, const RECT* rect, Bitmap& out);

}  // namespace velunar::d3dx
