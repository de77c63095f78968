// d3d8_device.cpp - the device's life, its resources, render targets, clears and the recording of
// state, each change marking the GL state groups it makes stale. Binding happens at draw time
// (d3d8_device_draw.cpp); presentation is the swap chain's (d3d8_swapchain.cpp).
#include "platform/d3d8/d3d8_device.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "platform/d3d8/d3d8_buffer.h"
#include "platform/d3d8/d3d8_caps.h"
#include "platform/d3d8/d3d8_ext.h"
#include "platform/d3d8/d3d8_format.h"
#include "platform/d3d8/d3d8_stateblock.h"
#include "platform/d3d8/d3d8_texture.h"

namespace {
bool g_skipDraws = false;
unsigned g_backBufferScale = 1;
}  // namespace

void D3D8_SetSkipDraws(bool skip) { g_skipDraws = skip; }
bool D3D8_GetSkipDraws() { return g_skipDraws; }

void D3D8_SetBackBufferScale(unsigned scale) { g_backBufferScale = scale; }
unsigned D3D8_GetBackBufferScale(IDirect3DDevice8* device) {
    return device ? static_cast<velunar::d3d8::Device*>(device)->BackBufferScale() : 1;
}
unsigned D3D8_GetTargetScale(IDirect3DDevice8* device) {
    return device ? static_cast<velunar::d3d8::Device*>(device)->TargetScale() : 1;
}
void D3D8_SetBackBufferKeep(IDirect3DDevice8* device, const RECT* rect) {
    if (device) static_cast<velunar::d3d8::Device*>(device)->SetBackBufferKeep(rect);
}

namespace velunar::d3d8 {

IDirect3DDevice8* DeviceInterface(Device* device) { return device; }

namespace {

Surface* AsSurface(IDirect3DSurface8* s) { return static_cast<Surface*>(s); }

// Stores a value the program sets; true when it differs from the one held. Byte equality: these
// are plain records of floats and words, and a -0 taken for a change only costs a rebind.
template <typename T>
bool Store(T& slot, const T& value) {
    if (std::memcmp(&slot, &value, sizeof(T)) == 0) return false;
    slot = value;
    return true;
}

constexpr unsigned kMaxBackBufferScale = 4;

// The largest factor whose picture fits the window's display, for a scale of 0.
UINT FittingScale(SDL_Window* window, UINT width, UINT height) {
    SDL_DisplayMode mode{};
    if (IsHeadlessDriver() || SDL_GetDesktopDisplayMode(std::max(0, SDL_GetWindowDisplayIndex(window)), &mode) != 0)
        return 1;
    const UINT fit = std::min(static_cast<UINT>(mode.w) / width, static_cast<UINT>(mode.h) / height);
    return std::clamp<UINT>(fit, 1, kMaxBackBufferScale);
}

}  // namespace

// ---- life -------------------------------------------------------------------------------------

Device* Device::Create(IDirect3D8* d3d, SDL_Window* window, bool ownsWindow, const D3DPRESENT_PARAMETERS& pp) {
    auto* dev = new Device;
    if (!dev->Init(d3d, window, ownsWindow, pp)) {
        dev->Release();
        return nullptr;
    }
    return dev;
}

bool Device::Init(IDirect3D8* d3d, SDL_Window* window, bool ownsWindow, const D3DPRESENT_PARAMETERS& pp) {
    m_window = window;
    m_ownsWindow = ownsWindow;
    m_pp = pp;
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    m_context = SDL_GL_CreateContext(window);
    if (!m_context) {
        std::fprintf(stderr, "d3d8: no OpenGL 3.3 core context: %s\n", SDL_GetError());
        return false;
    }
    SDL_GL_MakeCurrent(window, m_context);
    m_d3d = d3d;
    m_d3d->AddRef();

    if (m_pp.BackBufferWidth == 0 || m_pp.BackBufferHeight == 0) {
        int w = 0, h = 0;
        SDL_GetWindowSize(window, &w, &h);
        m_pp.BackBufferWidth = static_cast<UINT>(std::max(1, w));
        m_pp.BackBufferHeight = static_cast<UINT>(std::max(1, h));
    }
    if (m_pp.BackBufferCount == 0) m_pp.BackBufferCount = 1;
    m_scale = g_backBufferScale == 0 ? FittingScale(window, m_pp.BackBufferWidth, m_pp.BackBufferHeight)
                                     : std::clamp<UINT>(g_backBufferScale, 1, kMaxBackBufferScale);
    const UINT backWidth = m_pp.BackBufferWidth * m_scale, backHeight = m_pp.BackBufferHeight * m_scale;

    glGenVertexArrays(1, &m_vao);
    glBindVertexArray(m_vao);
    glGenFramebuffers(1, &m_fbo);
    glGenBuffers(1, &m_userVertexBuffer);
    glGenBuffers(1, &m_userIndexBuffer);
    // Direct3D's flat shading takes the first vertex's colour; sprites' (0,0) is their top-left,
    // which in our top-row-first targets is GL's lower left.
    glProvokingVertex(GL_FIRST_VERTEX_CONVENTION);
    glEnable(GL_PROGRAM_POINT_SIZE);
    glPointParameteri(GL_POINT_SPRITE_COORD_ORIGIN, GL_LOWER_LEFT);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);

    auto* back = new Texture(this, backWidth, backHeight, 1, D3DUSAGE_RENDERTARGET, *FindFormat(D3DFMT_A8R8G8B8),
                             D3DPOOL_DEFAULT);
    m_backBuffer.Reset(back, false);
    m_renderTarget.Reset(back->LevelSurface(0), true);
    m_swapChain.Init(m_gl, window, m_pp.Windowed != FALSE, back->Name(), static_cast<int>(backWidth),
                     static_cast<int>(backHeight));

    bool autoDepth = m_pp.EnableAutoDepthStencil && FindFormat(m_pp.AutoDepthStencilFormat) &&
                     FindFormat(m_pp.AutoDepthStencilFormat)->depthStencil;
    if (autoDepth) {
        IDirect3DSurface8* ds = nullptr;
        if (SUCCEEDED(CreateDepthStencilSurface(backWidth, backHeight, m_pp.AutoDepthStencilFormat,
                                                D3DMULTISAMPLE_NONE, &ds))) {
            m_autoDepth.Reset(ds, false);
            m_depthStencil = m_autoDepth;
        }
    }
    m_autoDepthMade = true;
    m_state.SetDefaults(autoDepth);
    m_state.viewport = {0, 0, m_pp.BackBufferWidth, m_pp.BackBufferHeight, 0.0f, 1.0f};

    // Start from a known black, transparent back buffer.
    BindTargets();
    glClearColor(0, 0, 0, 0);
    glClearDepth(1.0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    D3D8_GL_CHECK("device init");
    return true;
}

Device::~Device() {
    m_blocks.clear();
    m_recording.reset();
    if (m_context) {
        SDL_GL_MakeCurrent(m_window, m_context);
        m_state = DeviceState{};
        m_renderTarget.Reset(nullptr, false);
        m_depthStencil.Reset(nullptr, false);
        m_autoDepth.Reset(nullptr, false);
        m_backBuffer.Reset(nullptr, false);
        for (auto& [key, sampler] : m_samplers) glDeleteSamplers(1, &sampler);
        m_programs = ProgramCache{};
        glDeleteBuffers(1, &m_userVertexBuffer);
        glDeleteBuffers(1, &m_userIndexBuffer);
        glDeleteFramebuffers(1, &m_fbo);
        m_swapChain.Release();
        glDeleteVertexArrays(1, &m_vao);
        SDL_GL_MakeCurrent(m_window, nullptr);
        SDL_GL_DeleteContext(m_context);
    }
    if (m_ownsWindow && m_window) SDL_DestroyWindow(m_window);
    if (m_d3d) m_d3d->Release();
}

HRESULT Device::GetDirect3D(IDirect3D8** ppD3D8) {
    if (!ppD3D8) return D3DERR_INVALIDCALL;
    m_d3d->AddRef();
    *ppD3D8 = m_d3d;
    return D3D_OK;
}

HRESULT Device::GetDeviceCaps(D3DCAPS8* pCaps) {
    if (!pCaps) return D3DERR_INVALIDCALL;
    FillCaps(pCaps);
    return D3D_OK;
}

HRESULT Device::GetDisplayMode(D3DDISPLAYMODE* pMode) {
    if (!pMode) return D3DERR_INVALIDCALL;
    return m_d3d->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, pMode);
}

// ---- presentation -----------------------------------------------------------------------------

HRESULT Device::Present(const RECT*, const RECT*, HWND, const void*) {
    // Replayed frames are never seen.
    if (D3D8_GetSkipDraws()) return D3D_OK;
    m_swapChain.Present(m_gl);
    m_keepPromised = false;
    // The window's framebuffer is bound, and the scissor and colour mask are not the draws'.
    MarkDirty(kDirtyTargets | kDirtyRasteriser);
    return D3D_OK;
}

HRESULT Device::GetBackBuffer(UINT BackBuffer, D3DBACKBUFFER_TYPE, IDirect3DSurface8** ppBackBuffer) {
    if (!ppBackBuffer || BackBuffer != 0) return D3DERR_INVALIDCALL;
    return m_backBuffer->GetSurfaceLevel(0, ppBackBuffer);
}

// ---- resources --------------------------------------------------------------------------------

HRESULT Device::CreateTexture(UINT Width, UINT Height, UINT Levels, DWORD Usage, D3DFORMAT Format, D3DPOOL Pool,
                              IDirect3DTexture8** ppTexture) {
    if (!ppTexture) return D3DERR_INVALIDCALL;
    *ppTexture = nullptr;
    const FormatInfo* f = FindFormat(Format);
    if (!f || !f->colour || Width == 0 || Height == 0) return D3DERR_INVALIDCALL;
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    if (Width > static_cast<UINT>(maxSize) || Height > static_cast<UINT>(maxSize)) return D3DERR_INVALIDCALL;
    auto* tex = new Texture(this, Width, Height, Levels, Usage, *f, Pool);
    tex->HoldDevice();
    *ppTexture = tex;
    return D3D_OK;
}

HRESULT Device::CreateVertexBuffer(UINT Length, DWORD Usage, DWORD FVF, D3DPOOL Pool,
                                   IDirect3DVertexBuffer8** ppVertexBuffer) {
    if (!ppVertexBuffer) return D3DERR_INVALIDCALL;
    *ppVertexBuffer = nullptr;
    if (Length == 0) return D3DERR_INVALIDCALL;
    auto* vb = new VertexBuffer(this, Length, Usage, FVF, Pool);
    vb->HoldDevice();
    *ppVertexBuffer = vb;
    return D3D_OK;
}

HRESULT Device::CreateIndexBuffer(UINT Length, DWORD Usage, D3DFORMAT Format, D3DPOOL Pool,
                                  IDirect3DIndexBuffer8** ppIndexBuffer) {
    if (!ppIndexBuffer) return D3DERR_INVALIDCALL;
    *ppIndexBuffer = nullptr;
    if (Length == 0 || (Format != D3DFMT_INDEX16 && Format != D3DFMT_INDEX32)) return D3DERR_INVALIDCALL;
    auto* ib = new IndexBuffer(this, Length, Usage, Format, Pool);
    ib->HoldDevice();
    *ppIndexBuffer = ib;
    return D3D_OK;
}

HRESULT Device::CreateRenderTarget(UINT Width, UINT Height, D3DFORMAT Format, D3DMULTISAMPLE_TYPE, BOOL,
                                   IDirect3DSurface8** ppSurface) {
    if (!ppSurface) return D3DERR_INVALIDCALL;
    *ppSurface = nullptr;
    IDirect3DTexture8* tex = nullptr;
    HRESULT hr = CreateTexture(Width, Height, 1, D3DUSAGE_RENDERTARGET, Format, D3DPOOL_DEFAULT, &tex);
    if (FAILED(hr)) return hr;
    // The surface keeps its texture alive from here on.
    tex->GetSurfaceLevel(0, ppSurface);
    tex->Release();
    return D3D_OK;
}

HRESULT Device::CreateDepthStencilSurface(UINT Width, UINT Height, D3DFORMAT Format, D3DMULTISAMPLE_TYPE,
                                          IDirect3DSurface8** ppSurface) {
    if (!ppSurface) return D3DERR_INVALIDCALL;
    *ppSurface = nullptr;
    const FormatInfo* f = FindFormat(Format);
    if (!f || !f->depthStencil || Width == 0 || Height == 0) return D3DERR_INVALIDCALL;
    D3DSURFACE_DESC d{Format, D3DRTYPE_SURFACE, D3DUSAGE_DEPTHSTENCIL, D3DPOOL_DEFAULT, Width * Height * f->bytesPerPixel,
                      D3DMULTISAMPLE_NONE, Width, Height};
    *ppSurface = new Surface(this, d, true);
    // The device's own depth buffer must not keep the device alive.
    if (m_autoDepthMade) static_cast<Surface*>(*ppSurface)->HoldDevice();
    return D3D_OK;
}

HRESULT Device::CreateImageSurface(UINT Width, UINT Height, D3DFORMAT Format, IDirect3DSurface8** ppSurface) {
    if (!ppSurface) return D3DERR_INVALIDCALL;
    *ppSurface = nullptr;
    const FormatInfo* f = FindFormat(Format);
    if (!f || !f->colour || Width == 0 || Height == 0) return D3DERR_INVALIDCALL;
    D3DSURFACE_DESC d{Format, D3DRTYPE_SURFACE, 0, D3DPOOL_SYSTEMMEM, Width * Height * f->bytesPerPixel,
                      D3DMULTISAMPLE_NONE, Width, Height};
    auto* image = new Surface(this, d, false);
    image->HoldDevice();
    *ppSurface = image;
    return D3D_OK;
}

HRESULT Device::CopyRects(IDirect3DSurface8* pSrc, const RECT* pSrcRects, UINT cRects, IDirect3DSurface8* pDst,
                          const POINT* pDstPoints) {
    if (!pSrc || !pDst || pSrc == pDst) return D3DERR_INVALIDCALL;
    D3DSURFACE_DESC sd{}, dd{};
    pSrc->GetDesc(&sd);
    pDst->GetDesc(&dd);
    const FormatInfo* f = FindFormat(sd.Format);
    if (sd.Format != dd.Format || !f || !f->colour) return D3DERR_INVALIDCALL;
    RECT whole{0, 0, static_cast<LONG>(sd.Width), static_cast<LONG>(sd.Height)};
    POINT origin{0, 0};
    if (cRects == 0) {
        pSrcRects = &whole;
        pDstPoints = &origin;
        cRects = 1;
    }
    for (UINT i = 0; i < cRects; ++i) {
        const RECT& r = pSrcRects[i];
        POINT at = pDstPoints ? pDstPoints[i] : POINT{r.left, r.top};
        LONG w = r.right - r.left, h = r.bottom - r.top;
        if (r.left < 0 || r.top < 0 || w <= 0 || h <= 0 || r.right > static_cast<LONG>(sd.Width) ||
            r.bottom > static_cast<LONG>(sd.Height) || at.x < 0 || at.y < 0 ||
            at.x + w > static_cast<LONG>(dd.Width) || at.y + h > static_cast<LONG>(dd.Height))
            return D3DERR_INVALIDCALL;
    }
    D3DLOCKED_RECT sl{}, dl{};
    if (FAILED(pSrc->LockRect(&sl, nullptr, D3DLOCK_READONLY))) return D3DERR_INVALIDCALL;
    if (FAILED(pDst->LockRect(&dl, nullptr, 0))) {
        pSrc->UnlockRect();
        return D3DERR_INVALIDCALL;
    }
    for (UINT i = 0; i < cRects; ++i) {
        const RECT& r = pSrcRects[i];
        POINT at = pDstPoints ? pDstPoints[i] : POINT{r.left, r.top};
        size_t rowBytes = static_cast<size_t>(r.right - r.left) * f->bytesPerPixel;
        for (LONG y = r.top; y < r.bottom; ++y)
            std::memcpy(static_cast<BYTE*>(dl.pBits) + (at.y + y - r.top) * dl.Pitch + at.x * f->bytesPerPixel,
                        static_cast<const BYTE*>(sl.pBits) + y * sl.Pitch + r.left * f->bytesPerPixel, rowBytes);
    }
    pDst->UnlockRect();
    pSrc->UnlockRect();
    return D3D_OK;
}

void Device::BindTextureForUpload(GLuint name) {
    m_gl.BindTextureForTransfer(name);
    MarkDirty(kDirtyTextures);
}

void Device::ForgetBuffer(GLuint name) { m_gl.ForgetBuffer(name); }

void Device::ForgetTextureName(GLuint name) {
    m_gl.ForgetTexture(name);
    MarkDirty(kDirtyTextures);
}

void Device::ForgetSurface(Surface* surface) {
    // The device's own references keep its targets alive, so this only matters while it is torn down.
    if (m_renderTarget.Get() == surface || m_depthStencil.Get() == surface) MarkDirty(kDirtyTargets);
}

// ---- render targets ---------------------------------------------------------------------------

HRESULT Device::SetRenderTarget(IDirect3DSurface8* pRenderTarget, IDirect3DSurface8* pNewZStencil) {
    if (pRenderTarget) {
        Surface* rt = AsSurface(pRenderTarget);
        if (!rt->Container() || !rt->Container()->IsRenderTarget()) return D3DERR_INVALIDCALL;
        m_renderTarget.Reset(rt, true);
    }
    if (pNewZStencil && !AsSurface(pNewZStencil)->IsDepthStencil()) return D3DERR_INVALIDCALL;
    m_depthStencil.Reset(pNewZStencil, true);
    // As Direct3D does, the viewport becomes the whole new target (in the program's coordinates).
    const D3DSURFACE_DESC& d = AsSurface(m_renderTarget.Get())->Desc();
    m_state.viewport = {0, 0, d.Width / TargetScale(), d.Height / TargetScale(), 0.0f, 1.0f};
    MarkDirty(kDirtyTargets | kDirtyFixedFunction | kDirtyUniforms);
    return D3D_OK;
}

UINT Device::TargetScale() const {
    return m_backBuffer && m_renderTarget.Get() == static_cast<Texture*>(m_backBuffer.Get())->LevelSurface(0) ? m_scale
                                                                                                             : 1;
}

HRESULT Device::GetRenderTarget(IDirect3DSurface8** ppRenderTarget) {
    if (!ppRenderTarget) return D3DERR_INVALIDCALL;
    m_renderTarget->AddRef();
    *ppRenderTarget = m_renderTarget.Get();
    return D3D_OK;
}

HRESULT Device::GetDepthStencilSurface(IDirect3DSurface8** ppZStencilSurface) {
    if (!ppZStencilSurface) return D3DERR_INVALIDCALL;
    *ppZStencilSurface = m_depthStencil.Get();
    if (!*ppZStencilSurface) return D3DERR_NOTFOUND;
    m_depthStencil->AddRef();
    return D3D_OK;
}

// ---- frame ------------------------------------------------------------------------------------

HRESULT Device::BeginScene() {
    if (m_inScene) return D3DERR_INVALIDCALL;
    m_inScene = true;
    return D3D_OK;
}

HRESULT Device::EndScene() {
    if (!m_inScene) return D3DERR_INVALIDCALL;
    m_inScene = false;
    return D3D_OK;
}

HRESULT Device::Clear(DWORD Count, const D3DRECT* pRects, DWORD Flags, D3DCOLOR Color, float Z, DWORD Stencil) {
    if (Count > 0 && !pRects) return D3DERR_INVALIDCALL;
    if (D3D8_GetSkipDraws()) return D3D_OK;
    if (m_dirty & kDirtyTargets) BindTargets();
    GLbitfield bits = 0;
    if (Flags & D3DCLEAR_TARGET) {
        bits |= GL_COLOR_BUFFER_BIT;
        glClearColor(((Color >> 16) & 0xff) / 255.0f, ((Color >> 8) & 0xff) / 255.0f, (Color & 0xff) / 255.0f,
                     ((Color >> 24) & 0xff) / 255.0f);
        m_gl.ColorMask(0xf);
        MarkDirty(kDirtyRasteriser);
    }
    if ((Flags & D3DCLEAR_ZBUFFER) && m_hasDepth) {
        bits |= GL_DEPTH_BUFFER_BIT;
        glClearDepth(std::clamp(Z, 0.0f, 1.0f));
        m_gl.DepthMask(true);
        MarkDirty(kDirtyDepth);
    }
    if ((Flags & D3DCLEAR_STENCIL) && m_hasDepth) {
        bits |= GL_STENCIL_BUFFER_BIT;
        glClearStencil(static_cast<GLint>(Stencil & 0xff));
        glStencilMask(0xff);
    }
    if (!bits) return D3D_OK;
    // The scissor set here is not what the draws ask for.
    MarkDirty(kDirtyRasteriser);
    // Clears are limited to the viewport, and to each rectangle when some are given; both are in
    // the program's coordinates, which a scaled back buffer multiplies.
    const D3DVIEWPORT8& vp = m_state.viewport;
    const LONG k = static_cast<LONG>(TargetScale());
    LONG vx0 = static_cast<LONG>(vp.X) * k, vy0 = static_cast<LONG>(vp.Y) * k;
    LONG vx1 = vx0 + static_cast<LONG>(vp.Width) * k, vy1 = vy0 + static_cast<LONG>(vp.Height) * k;
    m_gl.Enable(GlStateCache::kScissorTest, true);
    auto clearRect = [&](LONG x0, LONG y0, LONG x1, LONG y1) {
        x0 = std::max(x0, vx0), y0 = std::max(y0, vy0), x1 = std::min(x1, vx1), y1 = std::min(y1, vy1);
        if (x1 <= x0 || y1 <= y0) return;
        m_gl.Scissor(x0, y0, x1 - x0, y1 - y0);
        glClear(bits);
    };
    if (Count == 0)
        clearRect(vx0, vy0, vx1, vy1);
    else
        for (DWORD i = 0; i < Count; ++i)
            clearRect(pRects[i].x1 * k, pRects[i].y1 * k, pRects[i].x2 * k, pRects[i].y2 * k);
    D3D8_GL_CHECK("clear");
    return D3D_OK;
}

void Device::SetBackBufferKeep(const RECT* rect) {
    m_keepPromised = rect != nullptr;
    if (rect) m_keep = *rect;
    MarkDirty(kDirtyRasteriser);
}

// ---- recorded state ---------------------------------------------------------------------------

DeviceState& Device::Target() { return m_recording ? m_recording->values : m_state; }
StateMask* Device::RecordMask() { return m_recording ? &m_recording->mask : nullptr; }

HRESULT Device::SetTransform(D3DTRANSFORMSTATETYPE State, const D3DMATRIX* pMatrix) {
    int slot = TransformSlotOf(State);
    if (!pMatrix || slot < 0) return D3DERR_INVALIDCALL;
    const bool changed = Store(Target().transforms[slot], *pMatrix);
    if (StateMask* m = RecordMask()) m->transforms.set(slot);
    else if (changed) MarkDirty(kDirtyUniforms);
    return D3D_OK;
}

HRESULT Device::GetTransform(D3DTRANSFORMSTATETYPE State, D3DMATRIX* pMatrix) {
    int slot = TransformSlotOf(State);
    if (!pMatrix || slot < 0) return D3DERR_INVALIDCALL;
    *pMatrix = m_state.transforms[slot];
    return D3D_OK;
}

HRESULT Device::MultiplyTransform(D3DTRANSFORMSTATETYPE State, const D3DMATRIX* pMatrix) {
    int slot = TransformSlotOf(State);
    if (!pMatrix || slot < 0) return D3DERR_INVALIDCALL;
    const D3DMATRIX a = m_state.transforms[slot];
    D3DMATRIX r{};
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            for (int k = 0; k < 4; ++k) r.m[i][j] += pMatrix->m[i][k] * a.m[k][j];
    return SetTransform(State, &r);
}

HRESULT Device::SetViewport(const D3DVIEWPORT8* pViewport) {
    if (!pViewport) return D3DERR_INVALIDCALL;
    const D3DSURFACE_DESC& d = AsSurface(m_renderTarget.Get())->Desc();
    if (pViewport->Width == 0 || pViewport->Height == 0 || pViewport->X + pViewport->Width > d.Width / TargetScale() ||
        pViewport->Y + pViewport->Height > d.Height / TargetScale())
        return D3DERR_INVALIDCALL;
    const bool changed = Store(Target().viewport, *pViewport);
    if (StateMask* m = RecordMask()) m->viewport = true;
    else if (changed) MarkDirty(kDirtyViewport | kDirtyUniforms);
    return D3D_OK;
}

HRESULT Device::GetViewport(D3DVIEWPORT8* pViewport) {
    if (!pViewport) return D3DERR_INVALIDCALL;
    *pViewport = m_state.viewport;
    return D3D_OK;
}

HRESULT Device::SetMaterial(const D3DMATERIAL8* pMaterial) {
    if (!pMaterial) return D3DERR_INVALIDCALL;
    const bool changed = Store(Target().material, *pMaterial);
    if (StateMask* m = RecordMask()) m->material = true;
    else if (changed) MarkDirty(kDirtyUniforms);
    return D3D_OK;
}

HRESULT Device::GetMaterial(D3DMATERIAL8* pMaterial) {
    if (!pMaterial) return D3DERR_INVALIDCALL;
    *pMaterial = m_state.material;
    return D3D_OK;
}

HRESULT Device::SetLight(DWORD Index, const D3DLIGHT8* pLight) {
    if (!pLight || pLight->Type < D3DLIGHT_POINT || pLight->Type > D3DLIGHT_DIRECTIONAL) return D3DERR_INVALIDCALL;
    const bool changed = Store(Target().lights[Index].light, *pLight);
    if (StateMask* m = RecordMask()) m->lights[Index] = true;
    else if (changed) MarkDirty(kDirtyUniforms);
    return D3D_OK;
}

HRESULT Device::GetLight(DWORD Index, D3DLIGHT8* pLight) {
    auto it = m_state.lights.find(Index);
    if (!pLight || it == m_state.lights.end()) return D3DERR_INVALIDCALL;
    *pLight = it->second.light;
    return D3D_OK;
}

HRESULT Device::LightEnable(DWORD Index, BOOL Enable) {
    DeviceState& st = Target();
    auto it = st.lights.find(Index);
    if (it == st.lights.end()) {
        // Enabling a light never set gives Direct3D's default: white, directional, along +z.
        LightSlot slot;
        slot.light.Type = D3DLIGHT_DIRECTIONAL;
        slot.light.Diffuse = {1.0f, 1.0f, 1.0f, 0.0f};
        slot.light.Direction = {0.0f, 0.0f, 1.0f};
        it = st.lights.emplace(Index, slot).first;
    }
    it->second.enabled = Enable != FALSE;
    if (StateMask* m = RecordMask()) {
        m->lightEnables[Index] = true;
    } else {
        MarkDirty(kDirtyProgramKey | kDirtyUniforms);
    }
    return D3D_OK;
}

HRESULT Device::GetLightEnable(DWORD Index, BOOL* pEnable) {
    auto it = m_state.lights.find(Index);
    if (!pEnable || it == m_state.lights.end()) return D3DERR_INVALIDCALL;
    *pEnable = it->second.enabled ? TRUE : FALSE;
    return D3D_OK;
}

HRESULT Device::SetRenderState(D3DRENDERSTATETYPE State, DWORD Value) {
    if (State >= D3D8_RENDERSTATE_COUNT) return D3DERR_INVALIDCALL;
    DWORD& slot = Target().renderStates[State];
    if (StateMask* m = RecordMask()) {
        slot = Value;
        m->renderStates.set(State);
        return D3D_OK;
    }
    if (slot == Value) return D3D_OK;
    slot = Value;
    MarkDirty(DirtyGroupsOf(State));
    return D3D_OK;
}

HRESULT Device::GetRenderState(D3DRENDERSTATETYPE State, DWORD* pValue) {
    if (!pValue || State >= D3D8_RENDERSTATE_COUNT) return D3DERR_INVALIDCALL;
    *pValue = m_state.renderStates[State];
    return D3D_OK;
}

HRESULT Device::SetTexture(DWORD Stage, IDirect3DBaseTexture8* pTexture) {
    if (Stage >= D3D8_MAX_TEXTURE_STAGES) return D3DERR_INVALIDCALL;
    // The slot's reference keeps its texture alive, so the same pointer is the same texture.
    ComPtr<IDirect3DBaseTexture8>& slot = Target().textures[Stage];
    const bool changed = slot.Get() != pTexture;
    if (changed) slot.Reset(pTexture, true);
    if (StateMask* m = RecordMask()) m->textures.set(Stage);
    else if (changed) MarkDirty(kDirtyProgramKey | kDirtyTextures);
    return D3D_OK;
}

HRESULT Device::GetTexture(DWORD Stage, IDirect3DBaseTexture8** ppTexture) {
    if (!ppTexture || Stage >= D3D8_MAX_TEXTURE_STAGES) return D3DERR_INVALIDCALL;
    *ppTexture = m_state.textures[Stage].Get();
    if (*ppTexture) (*ppTexture)->AddRef();
    return D3D_OK;
}

HRESULT Device::SetTextureStageState(DWORD Stage, D3DTEXTURESTAGESTATETYPE Type, DWORD Value) {
    if (Stage >= D3D8_MAX_TEXTURE_STAGES || Type >= D3D8_TSS_COUNT) return D3DERR_INVALIDCALL;
    DWORD& slot = Target().stageStates[Stage][Type];
    if (StateMask* m = RecordMask()) {
        slot = Value;
        m->stageStates[Stage].set(Type);
        return D3D_OK;
    }
    if (slot == Value) return D3D_OK;
    slot = Value;
    // Stage states select the program and the samplers.
    MarkDirty(kDirtyProgramKey | kDirtyTextures);
    return D3D_OK;
}

HRESULT Device::GetTextureStageState(DWORD Stage, D3DTEXTURESTAGESTATETYPE Type, DWORD* pValue) {
    if (!pValue || Stage >= D3D8_MAX_TEXTURE_STAGES || Type >= D3D8_TSS_COUNT) return D3DERR_INVALIDCALL;
    *pValue = m_state.stageStates[Stage][Type];
    return D3D_OK;
}

// ---- state blocks -----------------------------------------------------------------------------

HRESULT Device::BeginStateBlock() {
    if (m_recording) return D3DERR_INVALIDCALL;
    m_recording = std::make_unique<StateBlock>();
    return D3D_OK;
}

HRESULT Device::EndStateBlock(DWORD* pToken) {
    if (!pToken || !m_recording) return D3DERR_INVALIDCALL;
    *pToken = m_nextBlock++;
    m_blocks[*pToken] = std::move(m_recording);
    return D3D_OK;
}

HRESULT Device::ApplyStateBlock(DWORD Token) {
    auto it = m_blocks.find(Token);
    if (it == m_blocks.end() || m_recording) return D3DERR_INVALIDCALL;
    it->second->Apply(*this);
    return D3D_OK;
}

HRESULT Device::CaptureStateBlock(DWORD Token) {
    auto it = m_blocks.find(Token);
    if (it == m_blocks.end() || m_recording) return D3DERR_INVALIDCALL;
    it->second->Capture(m_state);
    return D3D_OK;
}

HRESULT Device::DeleteStateBlock(DWORD Token) {
    if (m_recording) return D3DERR_INVALIDCALL;
    return m_blocks.erase(Token) ? D3D_OK : D3DERR_INVALIDCALL;
}

HRESULT Device::CreateStateBlock(D3DSTATEBLOCKTYPE Type, DWORD* pToken) {
    if (!pToken || Type < D3DSBT_ALL || Type > D3DSBT_VERTEXSTATE || m_recording) return D3DERR_INVALIDCALL;
    *pToken = m_nextBlock++;
    m_blocks[*pToken].reset(StateBlock::CreateOfType(Type, m_state));
    return D3D_OK;
}

// ---- streams ----------------------------------------------------------------------------------

HRESULT Device::SetVertexShader(DWORD Handle) {
    Target().vertexShader = Handle;
    if (StateMask* m = RecordMask()) m->vertexShader = true;
    else MarkDirty(kDirtyProgramKey);
    return D3D_OK;
}

HRESULT Device::GetVertexShader(DWORD* pHandle) {
    if (!pHandle) return D3DERR_INVALIDCALL;
    *pHandle = m_state.vertexShader;
    return D3D_OK;
}

HRESULT Device::SetStreamSource(UINT StreamNumber, IDirect3DVertexBuffer8* pStreamData, UINT Stride) {
    if (StreamNumber != 0) return D3DERR_INVALIDCALL;
    DeviceState& st = Target();
    st.stream.Reset(pStreamData, true);
    st.streamStride = Stride;
    if (StateMask* m = RecordMask()) m->stream = true;
    return D3D_OK;
}

HRESULT Device::GetStreamSource(UINT StreamNumber, IDirect3DVertexBuffer8** ppStreamData, UINT* pStride) {
    if (StreamNumber != 0 || !ppStreamData || !pStride) return D3DERR_INVALIDCALL;
    *ppStreamData = m_state.stream.Get();
    if (*ppStreamData) (*ppStreamData)->AddRef();
    *pStride = m_state.streamStride;
    return D3D_OK;
}

HRESULT Device::SetIndices(IDirect3DIndexBuffer8* pIndexData, UINT BaseVertexIndex) {
    DeviceState& st = Target();
    st.indices.Reset(pIndexData, true);
    st.baseVertexIndex = BaseVertexIndex;
    if (StateMask* m = RecordMask()) m->indices = true;
    return D3D_OK;
}

HRESULT Device::GetIndices(IDirect3DIndexBuffer8** ppIndexData, UINT* pBaseVertexIndex) {
    if (!ppIndexData || !pBaseVertexIndex) return D3DERR_INVALIDCALL;
    *ppIndexData = m_state.indices.Get();
    if (*ppIndexData) (*ppIndexData)->AddRef();
    *pBaseVertexIndex = m_state.baseVertexIndex;
    return D3D_OK;
}

}  // namespace velunar::d3d8
