// d3d8_device.h - the one Direct3D 8 device: it records every state the program sets, marks the
// groups of GL state a change makes stale, and at each draw binds those groups: targets, blend,
// depth, rasteriser, viewport, the generated program, its uniforms and the textures.
// Depends on: d3d8.h, d3d8_state.h, d3d8_fixed_function.h, d3d8_gl_cache.h, d3d8_swapchain.h, SDL2.
#pragma once

#include <SDL.h>

#include <map>
#include <memory>
#include <vector>

#include "platform/d3d8/d3d8.h"
#include "platform/d3d8/d3d8_fixed_function.h"
#include "platform/d3d8/d3d8_gl.h"
#include "platform/d3d8/d3d8_gl_cache.h"
#include "platform/d3d8/d3d8_no_op_draws.h"
#include "platform/d3d8/d3d8_object.h"
#include "platform/d3d8/d3d8_state.h"
#include "platform/d3d8/d3d8_swapchain.h"

namespace velunar::d3d8 {

class Texture;
class Surface;
class StateBlock;

class Device final : public RefCounted<IDirect3DDevice8> {
public:
    // Creates the GL context on the window; null (and a reason on stderr) when GL cannot start.
    static Device* Create(IDirect3D8* d3d, SDL_Window* window, bool ownsWindow, const D3DPRESENT_PARAMETERS& pp);
    ~Device() override;

    // ---- IDirect3DDevice8 ----
    HRESULT TestCooperativeLevel() override { return D3D_OK; }
    HRESULT GetDirect3D(IDirect3D8** ppD3D8) override;
    HRESULT GetDeviceCaps(D3DCAPS8* pCaps) override;
    HRESULT GetDisplayMode(D3DDISPLAYMODE* pMode) override;
    HRESULT Present(const RECT* pSourceRect, const RECT* pDestRect, HWND hDestWindowOverride,
                    const void* pDirtyRegion) override;
    HRESULT GetBackBuffer(UINT BackBuffer, D3DBACKBUFFER_TYPE Type, IDirect3DSurface8** ppBackBuffer) override;
    HRESULT CreateTexture(UINT Width, UINT Height, UINT Levels, DWORD Usage, D3DFORMAT Format, D3DPOOL Pool,
                          IDirect3DTexture8** ppTexture) override;
    HRESULT CreateVertexBuffer(UINT Length, DWORD Usage, DWORD FVF, D3DPOOL Pool,
                               IDirect3DVertexBuffer8** ppVertexBuffer) override;
    HRESULT CreateIndexBuffer(UINT Length, DWORD Usage, D3DFORMAT Format, D3DPOOL Pool,
                              IDirect3DIndexBuffer8** ppIndexBuffer) override;
    HRESULT CreateRenderTarget(UINT Width, UINT Height, D3DFORMAT Format, D3DMULTISAMPLE_TYPE MultiSample,
                               BOOL Lockable, IDirect3DSurface8** ppSurface) override;
    HRESULT CreateDepthStencilSurface(UINT Width, UINT Height, D3DFORMAT Format, D3DMULTISAMPLE_TYPE MultiSample,
                                      IDirect3DSurface8** ppSurface) override;
    HRESULT CreateImageSurface(UINT Width, UINT Height, D3DFORMAT Format, IDirect3DSurface8** ppSurface) override;
    HRESULT CopyRects(IDirect3DSurface8* pSourceSurface, const RECT* pSourceRectsArray, UINT cRects,
                      IDirect3DSurface8* pDestinationSurface, const POINT* pDestPointsArray) override;
    HRESULT SetRenderTarget(IDirect3DSurface8* pRenderTarget, IDirect3DSurface8* pNewZStencil) override;
    HRESULT GetRenderTarget(IDirect3DSurface8** ppRenderTarget) override;
    HRESULT GetDepthStencilSurface(IDirect3DSurface8** ppZStencilSurface) override;
    HRESULT BeginScene() override;
    HRESULT EndScene() override;
    HRESULT Clear(DWORD Count, const D3DRECT* pRects, DWORD Flags, D3DCOLOR Color, float Z, DWORD Stencil) override;
    HRESULT SetTransform(D3DTRANSFORMSTATETYPE State, const D3DMATRIX* pMatrix) override;
    HRESULT GetTransform(D3DTRANSFORMSTATETYPE State, D3DMATRIX* pMatrix) override;
    HRESULT MultiplyTransform(D3DTRANSFORMSTATETYPE State, const D3DMATRIX* pMatrix) override;
    HRESULT SetViewport(const D3DVIEWPORT8* pViewport) override;
    HRESULT GetViewport(D3DVIEWPORT8* pViewport) override;
    HRESULT SetMaterial(const D3DMATERIAL8* pMaterial) override;
    HRESULT GetMaterial(D3DMATERIAL8* pMaterial) override;
    HRESULT SetLight(DWORD Index, const D3DLIGHT8* pLight) override;
    HRESULT GetLight(DWORD Index, D3DLIGHT8* pLight) override;
    HRESULT LightEnable(DWORD Index, BOOL Enable) override;
    HRESULT GetLightEnable(DWORD Index, BOOL* pEnable) override;
    HRESULT SetRenderState(D3DRENDERSTATETYPE State, DWORD Value) override;
    HRESULT GetRenderState(D3DRENDERSTATETYPE State, DWORD* pValue) override;
    HRESULT SetTexture(DWORD Stage, IDirect3DBaseTexture8* pTexture) override;
    HRESULT GetTexture(DWORD Stage, IDirect3DBaseTexture8** ppTexture) override;
    HRESULT SetTextureStageState(DWORD Stage, D3DTEXTURESTAGESTATETYPE Type, DWORD Value) override;
    HRESULT GetTextureStageState(DWORD Stage, D3DTEXTURESTAGESTATETYPE Type, DWORD* pValue) override;
    HRESULT BeginStateBlock() override;
    HRESULT EndStateBlock(DWORD* pToken) override;
    HRESULT ApplyStateBlock(DWORD Token) override;
    HRESULT CaptureStateBlock(DWORD Token) override;
    HRESULT DeleteStateBlock(DWORD Token) override;
    HRESULT CreateStateBlock(D3DSTATEBLOCKTYPE Type, DWORD* pToken) override;
    HRESULT SetVertexShader(DWORD Handle) override;
    HRESULT GetVertexShader(DWORD* pHandle) override;
    HRESULT SetStreamSource(UINT StreamNumber, IDirect3DVertexBuffer8* pStreamData, UINT Stride) override;
    HRESULT GetStreamSource(UINT StreamNumber, IDirect3DVertexBuffer8** ppStreamData, UINT* pStride) override;
    HRESULT SetIndices(IDirect3DIndexBuffer8* pIndexData, UINT BaseVertexIndex) override;
    HRESULT GetIndices(IDirect3DIndexBuffer8** ppIndexData, UINT* pBaseVertexIndex) override;
    HRESULT DrawPrimitive(D3DPRIMITIVETYPE PrimitiveType, UINT StartVertex, UINT PrimitiveCount) override;
    HRESULT DrawIndexedPrimitive(D3DPRIMITIVETYPE PrimitiveType, UINT MinIndex, UINT NumVertices, UINT StartIndex,
                                 UINT PrimitiveCount) override;
    HRESULT DrawPrimitiveUP(D3DPRIMITIVETYPE PrimitiveType, UINT PrimitiveCount, const void* pVertexStreamZeroData,
                            UINT VertexStreamZeroStride) override;
    HRESULT DrawIndexedPrimitiveUP(D3DPRIMITIVETYPE PrimitiveType, UINT MinVertexIndex, UINT NumVertexIndices,
                                   UINT PrimitiveCount, const void* pIndexData, D3DFORMAT IndexDataFormat,
                                   const void* pVertexStreamZeroData, UINT VertexStreamZeroStride) override;

    // ---- for the resources ----
    // Binds a texture on unit 0 for an upload or read-back, keeping the binding cache true.
    void BindTextureForUpload(GLuint name);
    void ForgetTextureName(GLuint name);   // a texture is being deleted
    void ForgetBuffer(GLuint name);        // a buffer is being deleted (GL may reuse its name)
    void ForgetSurface(Surface* surface);  // a surface is being deleted
    void FlushForReadback() {}

    // ---- the scaled back buffer ----
    // Physical pixels per pixel of the program's coordinates on the back buffer, and on the
    // target bound now (1 on the program's own render targets).
    UINT BackBufferScale() const { return m_scale; }
    UINT TargetScale() const;
    // Draws into the back buffer touch only this rectangle until Present (null: all of it).
    void SetBackBufferKeep(const RECT* rect);
    // The part of the back buffer Present shows, in the program's coordinates (null: the part
    // chosen when the device was made, else all of it).
    void SetShownRect(const RECT* rect);

    // ---- for tests and benchmarks ----
    size_t ProgramCount() const { return m_programs.Size(); }
    const DeviceState& State() const { return m_state; }

private:
    Device() = default;
    bool Init(IDirect3D8* d3d, SDL_Window* window, bool ownsWindow, const D3DPRESENT_PARAMETERS& pp);

    // Marks groups stale. Uniforms are a generation rather than a flag: each program remembers the
    // generation it last received, so a program bound again later catches up.
    void MarkDirty(uint32_t groups) {
        m_dirty |= groups & ~kDirtyUniforms;
        if (groups & kDirtyUniforms) ++m_uniformStamp;
    }

    // Drawing (d3d8_device_draw.cpp). What every draw does once its arguments hold: nothing while
    // frames are replayed or when it would leave the target as it is, else bind every stale group,
    // one function each. False when the draw stops there, with what it returns in `result`.
    bool StartDraw(D3DPRIMITIVETYPE type, const DrawVertices& vertices, HRESULT& result);
    void BindTargets();
    void BindBlend();
    void BindDepth();
    void BindRasteriser();
    void BindViewport();
    bool BindProgram(D3DPRIMITIVETYPE type, bool dropWraps);
    void BindUniforms();
    void BindTextures();
    void BuildKey(D3DPRIMITIVETYPE type, ProgramKey& key) const;
    void SetupVertexLayout(GLuint buffer, const void* base, DWORD fvf, UINT stride);
    GLuint SamplerFor(DWORD stage);

    // Where Set* writes: the block being recorded (which leaves the device untouched) or the device.
    DeviceState& Target();
    StateMask* RecordMask();
    bool Recording() const { return m_recording != nullptr; }
    friend class StateBlock;

    IDirect3D8* m_d3d = nullptr;
    SDL_Window* m_window = nullptr;
    bool m_ownsWindow = false;
    SDL_GLContext m_context = nullptr;
    D3DPRESENT_PARAMETERS m_pp{};
    // The back buffer and its depth buffer are m_scale times the size m_pp names.
    UINT m_scale = 1;
    // What Present shows, in the program's coordinates, and what it showed at creation.
    RECT m_shown{};
    RECT m_shownAtCreation{};
    PresentRect ShownPixels() const;

    DeviceState m_state;
    ProgramCache m_programs;
    GlStateCache m_gl;
    SwapChain m_swapChain;
    uint32_t m_dirty = kDirtyAll;
    uint64_t m_uniformStamp = 1;
    ProgramKey m_key{};
    Program* m_program = nullptr;
    D3DPRIMITIVETYPE m_keyPrimitive = D3DPT_TRIANGLELIST;
    bool m_keyDropsWraps = false;  // the key was built for a draw whose wrapped coordinates need no moving
    bool m_inScene = false;

    GLuint m_vao = 0, m_fbo = 0;
    // What DrawPrimitiveUP and DrawIndexedPrimitiveUP copy the caller's memory into.
    GLuint m_userVertexBuffer = 0, m_userIndexBuffer = 0;
    bool m_hasDepth = false;
    // The part of the back buffer the frame keeps (D3D8_SetBackBufferKeep), while it is promised.
    bool m_keepPromised = false;
    RECT m_keep{};
    // False while drawing into a back buffer whose format has no alpha (the desktop's X8R8G8B8):
    // Direct3D then blends as if its alpha were 1, whatever our storage holds.
    bool m_targetKeepsAlpha = true;
    bool m_autoDepthMade = false;
    std::map<uint64_t, GLuint> m_samplers;

    ComPtr<IDirect3DTexture8> m_backBuffer;  // level 0 is the back buffer surface
    ComPtr<IDirect3DSurface8> m_autoDepth;
    ComPtr<IDirect3DSurface8> m_renderTarget;
    ComPtr<IDirect3DSurface8> m_depthStencil;

    std::map<DWORD, std::unique_ptr<StateBlock>> m_blocks;
    std::unique_ptr<StateBlock> m_recording;
    DWORD m_nextBlock = 1;
};

}  // namespace velunar::d3d8
