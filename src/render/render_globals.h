// render_globals.h - the renderer's process-wide instances, set by start-up.
// Depends on: nothing (forward declarations only).
#pragma once

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
