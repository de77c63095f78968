// render.h - CRender, the one renderer of the demo: the Direct3D 8 device, the frame bracket, the
// texture-stage presets, the frame-rate title, screenshots, 3D transformations, screen-space
// drawing with the sprite batch, and the forwarders to the texture table it owns.
// Depends on: the Direct3D 8 and D3DX 8 layers, the window layer, CTextureManager, the debug log.
#pragma once

#include <string>

#include "platform/d3d8/d3d8.h"
#include "platform/wintypes.h"
#include "math/vector3.h"
#include "math/vertex.h"

class Camera;
class CSprite;
class CTextureManager;
class cObject;
struct ID3DXSprite;

// Texture-stage presets of CRender::SetTextureMode.
constexpr int TM_ALPHABLEND = 0;
constexpr int TM_SPHEREMAP = 1;
constexpr int TM_NOTEXGEN = 2;
constexpr int TM_TEXTUREONLY = 3;

class CRender {
public:
    // Vertex capacities of the temporary buffers.
    static constexpr UINT kTmpVertices = 4096;
    // Sprites per batch: six vertices each in kTmpVertices.
    static constexpr int kMaxBatchSprites = 682;

    CRender();
    ~CRender();
    CRender(const CRender&) = delete;
    CRender& operator=(const CRender&) = delete;

    bool Init(HWND hWnd, unsigned width, unsigned height, bool bFullScreen);
    void SetFieldOfView(float fFov) { m_fFov = fFov; }
    IDirect3DDevice8* GetDevice() { return m_lpDevice; }
    CTextureManager* GetTextureManager() { return m_pTextureManager; }
    // The D3DX sprite that DrawImage and the effects' own sprite batches draw through.
    ID3DXSprite* GetSprite() const { return m_lpSprite; }

    // clearMode 0: colour only, 1: depth only, other: both.
    bool BeginScene(int clearMode);
    bool EndScene();
    void UpdateStats();
    // Frames per second over the last whole second that UpdateStats measured.
    static float GetFrameRate();
    // Measures the rate afresh from now, reporting `rate` until then: frames replayed for a seek,
    // drawn or not, say nothing about how fast the show is drawn.
    static void RestartStats(float rate);
    // mode TM_ALPHABLEND .. TM_TEXTUREONLY; others do nothing.
    void SetTextureMode(int mode, int stage);
    // Alpha first.
    bool SetMaterial(float a, float r, float g, float b);
    void ScreenShot();

    // 3D: the camera is borrowed; rotations in radians.
    bool SetCamera(Camera* pCamera);
    Camera* GetCamera() const { return m_pCamera; }
    bool SetTransformations(float px, float py, float pz, float rx, float ry, float rz, float s);
    // mode 0: indexed triangle list; 1: the vertices as points; others draw nothing.
    bool DrawObject(cObject* pObject, int mode);

    // Screen space, in back-buffer pixels.
    bool DrawRect(float x1, float y1, float x2, float y2, float z, DWORD color);
    // Centred on (x, y). Flat sprites draw at once, textured ones join the batch.
    bool Render(float x, float y, CSprite* pSprite);
    bool FlushSprites();
    // The current texture (or pRect of it) centred on (x, y); rotation in degrees; z unused.
    bool DrawImage(float x, float y, float z, float alpha, float scale, float rotation, const RECT* pRect);

    // The texture table.
    bool LoadTexture(const char* file, const char* name);
    bool LoadTextureA(const char* file, const char* alphaFile, const char* name);
    bool SetTexture(const char* name, int stage);
    bool SetTextureByIndex(int index, int stage);
    bool SetTexturePtr(IDirect3DTexture8* pTexture, int stage);
    float PixelToU(unsigned x) const;
    float PixelToV(unsigned y) const;

    IDirect3DTexture8* GetCurrentTexture() const { return m_lpCurrentTexture; }
    DWORD GetCurrentTextureWidth() const { return m_dwTexWidth; }
    DWORD GetCurrentTextureHeight() const { return m_dwTexHeight; }
    bool InScene() const { return m_bInScene != 0; }
    HRESULT GetLastResult() const { return m_hr; }
    const char* GetLastError() const { return m_szError; }

private:
    void LogDeviceError(HRESULT hr);
    // Saves the shot surface as the first free shotNNNNN.bmp in folder ("" or ending in '/').
    bool SaveShot(const std::string& folder);

    IDirect3D8* m_lpD3D = nullptr;
    IDirect3DDevice8* m_lpDevice = nullptr;
    IDirect3DVertexBuffer8* m_lpTmpMyVB = nullptr;
    IDirect3DVertexBuffer8* m_lpTmpFlatVB = nullptr;
    IDirect3DVertexBuffer8* m_lpRectVB = nullptr;
    IDirect3DTexture8* m_lpCurrentTexture = nullptr;
    DWORD m_dwTexWidth = 0;
    DWORD m_dwTexHeight = 0;
    ID3DXSprite* m_lpSprite = nullptr;
    IDirect3DSurface8* m_lpShotSurface = nullptr;
    CTextureManager* m_pTextureManager = nullptr;
    Camera* m_pCamera = nullptr;
    DWORD m_dwHeight = 0;
    DWORD m_dwWidth = 0;

public:
    D3DCOLOR m_dwClearColor = 0;
    int m_nSpriteTris = 0;
    float m_fFov = 0.0f;
    // Added after the projection: x moves the 3D picture by half-screen widths, y by heights.
    Vector3 m_vProjOffset{0.0f, 0.0f, 0.0f};

private:
    BYTE m_bFullScreen = 0;
    BYTE m_bInScene = 0;
    HWND m_hWnd = nullptr;
    HRESULT m_hr = S_OK;
    char m_szError[128] = {};
};
