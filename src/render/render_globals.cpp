// render_globals.cpp - the renderer's process-wide instances.
#include "render/render_globals.h"

CRender* g_pRender = nullptr;
IDirect3DDevice8* g_pDevice = nullptr;
Camera* g_pCamera = nullptr;
BitmapFont* g_pFontSmall = nullptr;
BitmapFont* g_pFontLarge = nullptr;
CTextureRenderer* g_pTexRenderer = nullptr;
IDirect3D8* g_pD3D = nullptr;
D3DFORMAT g_d3dDesktopFormat = D3DFMT_UNKNOWN;
