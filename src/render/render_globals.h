// render_globals.h - the renderer's process-wide instances, set by start-up (and by
// CRender::Init for the Direct3D object and the desktop format).
// Depends on: the Direct3D 8 types.
#pragma once

#include "platform/d3d8/d3d8types.h"

struct IDirect3D8;
struct IDirect3DDevice8;
class CRender;
class Camera;
class BitmapFont;
class CTextureRenderer;

extern CRender* g_pRender;
extern IDirect3DDevice8* g_pDevice;
extern Camera* g_pCamera;
extern BitmapFont* g_pFontSmall;
extern BitmapFont* g_pFontLarge;
extern CTextureRenderer* g_pTexRenderer;

// The Direct3D object and the desktop display format CRender::Init found; the texture table
// probes its formats against them.
extern IDirect3D8* g_pD3D;
extern D3DFORMAT g_d3dDesktopFormat;
