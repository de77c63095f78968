// render_globals.cpp - the renderer's process-wide instances.
#include "render/render_globals.h"

CRender* g_pRender = nullptr;
IDirect3DDevice8* g_pDevice = nullptr;
Camera* g_pCamera = nullptr;
BitmapFont* g_pFontSmall = nullptr;
BitmapFont* g_pFontLarge = nullptr;
CTextureRenderer* g_pTexRenderer = nullptr;
