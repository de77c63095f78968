// d3d8_device.cpp - the device's life, its render targets and clears. The state the program sets
// is recorded in d3d8_device_state.cpp, its resources made in d3d8_device_resources.cpp; binding
// happens at draw time (d3d8_device_draw.cpp); presentation is the swap chain's (d3d8_swapchain.cpp).
#include "platform/d3d8/d3d8_device.h"

#include <algorithm>
#include <cstdio>

#include "platform/d3d8/d3d8_caps.h"
#include "platform/d3d8/d3d8_ext.h"
#include "platform/d3d8/d3d8_format.h"
#include "platform/d3d8/d3d8_stateblock.h"
#include "platform/d3d8/d3d8_texture.h"

namespace {
bool g_skipDraws = false;
unsigned g_backBufferScale = 1;
// The part of the back buffer new devices show; empty shows all of it.
RECT g_shownRect{};
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
void D3D8_SetShownRect(const RECT* rect) { g_shownRect = rect ? *rect : RECT{}; }
void D3D8_SetDeviceShownRect(IDirect3DDevice8* device, const RECT* rect) {
    if (device) static_cast<velunar::d3d8::Device*>(device)->SetShownRect(rect);
}
void D3D8_SetBackBufferKeep(IDirect3DDevice8* device, const RECT* rect) {
    if (device) static_cast<velunar::d3d8::Device*>(device)->SetBackBufferKeep(rect);
}

namespace velunar::d3d8 {

IDirect3DDevice8* DeviceInterface(Device* device) { return device; }

namespace {

Surface* AsSurface(IDirect3DSurface8* s) { return static_cast<Surface*>(s); }

constexpr unsigned kMaxBackBufferScale = 4;

// The largest factor whose shown picture fits the window's display, for a scale of 0.
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
    m_shownAtCreation = g_shownRect;
    SetShownRect(nullptr);
    m_scale = g_backBufferScale == 0 ? FittingScale(window, static_cast<UINT>(m_shown.right - m_shown.left),
                                                    static_cast<UINT>(m_shown.bottom - m_shown.top))
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
    m_swapChain.Init(m_gl, window, m_pp.Windowed != FALSE, back->Name(), ShownPixels());

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

void Device::SetShownRect(const RECT* rect) {
    const RECT whole{0, 0, static_cast<LONG>(m_pp.BackBufferWidth), static_cast<LONG>(m_pp.BackBufferHeight)};
    RECT r = rect ? *rect : m_shownAtCreation;
    // An empty or out-of-bounds rectangle shows the whole buffer rather than nothing.
    if (r.left < 0 || r.top < 0 || r.right > whole.right || r.bottom > whole.bottom || r.left >= r.right ||
        r.top >= r.bottom)
        r = whole;
    m_shown = r;
}

PresentRect Device::ShownPixels() const {
    const int s = static_cast<int>(m_scale);
    return PresentRect{m_shown.left * s, m_shown.top * s, (m_shown.right - m_shown.left) * s,
                       (m_shown.bottom - m_shown.top) * s};
}

HRESULT Device::Present(const RECT*, const RECT*, HWND, const void*) {
    // Replayed frames are never seen.
    if (D3D8_GetSkipDraws()) return D3D_OK;
    m_swapChain.Present(m_gl, ShownPixels());
    m_keepPromised = false;
    // The window's framebuffer is bound, and the scissor and colour mask are not the draws'.
    MarkDirty(kDirtyTargets | kDirtyRasteriser);
    return D3D_OK;
}

HRESULT Device::GetBackBuffer(UINT BackBuffer, D3DBACKBUFFER_TYPE, IDirect3DSurface8** ppBackBuffer) {
    if (!ppBackBuffer || BackBuffer != 0) return D3DERR_INVALIDCALL;
    return m_backBuffer->GetSurfaceLevel(0, ppBackBuffer);
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

}  // namespace velunar::d3d8
