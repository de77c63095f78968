// d3d8_interface.cpp - Direct3DCreate8 and the IDirect3D8 object: the adapter (the desktop), format
// checks and device creation on a window of the window layer.
#include <SDL.h>

#include <cstdio>
#include <set>

#include "platform/d3d8/d3d8.h"
#include "platform/d3d8/d3d8_caps.h"
#include "platform/d3d8/d3d8_device.h"
#include "platform/d3d8/d3d8_format.h"
#include "platform/d3d8/d3d8_object.h"
#include "platform/window/sdl_window.h"

namespace velunar::d3d8 {

void CheckGlError(const char* what, const char* file, int line) {
    for (GLenum e = glGetError(); e != GL_NO_ERROR; e = glGetError())
        std::fprintf(stderr, "d3d8: GL error 0x%04x after %s (%s:%d)\n", e, what, file, line);
}

void WarnOnce(const char* text) {
    static std::set<const char*> seen;
    if (seen.insert(text).second) std::fprintf(stderr, "%s\n", text);
}

void FillCaps(D3DCAPS8* c) {
    *c = D3DCAPS8{};
    c->DeviceType = D3DDEVTYPE_HAL;
    c->AdapterOrdinal = D3DADAPTER_DEFAULT;
    c->PresentationIntervals = D3DPRESENT_INTERVAL_ONE | D3DPRESENT_INTERVAL_IMMEDIATE;
    c->DevCaps = D3DDEVCAPS_HWTRANSFORMANDLIGHT;
    c->PrimitiveMiscCaps = D3DPMISCCAPS_CULLNONE | D3DPMISCCAPS_CULLCW | D3DPMISCCAPS_CULLCCW | D3DPMISCCAPS_BLENDOP;
    c->ZCmpCaps = c->AlphaCmpCaps = 0xff;
    c->SrcBlendCaps = c->DestBlendCaps = 0x1fff;
    c->TextureCaps = D3DPTEXTURECAPS_PERSPECTIVE | D3DPTEXTURECAPS_ALPHA | D3DPTEXTURECAPS_MIPMAP |
                     D3DPTEXTURECAPS_PROJECTED;
    c->TextureAddressCaps = 0x1f;
    c->MaxTextureWidth = c->MaxTextureHeight = 4096;
    c->MaxTextureRepeat = 8192;
    c->MaxTextureAspectRatio = 4096;
    c->MaxAnisotropy = 1;
    c->MaxVertexW = 1e10f;
    c->GuardBandLeft = c->GuardBandTop = -8192.0f;
    c->GuardBandRight = c->GuardBandBottom = 8192.0f;
    c->FVFCaps = D3DFVFCAPS_PSIZE | 8;
    c->TextureOpCaps = 0x03ffffff;
    c->MaxTextureBlendStages = 4;
    c->MaxSimultaneousTextures = 4;
    c->MaxActiveLights = 8;
    c->MaxPointSize = 64.0f;
    c->MaxPrimitiveCount = 0xfffff;
    c->MaxVertexIndex = 0xffffff;
    c->MaxStreams = 1;
    c->MaxStreamStride = 255;
}

namespace {

class Direct3D final : public RefCounted<IDirect3D8> {
public:
    Direct3D() { m_video = velunar::window::EnsureVideo(); }

    bool Ok() const { return m_video; }

    UINT GetAdapterCount() override { return 1; }

    HRESULT GetAdapterDisplayMode(UINT Adapter, D3DDISPLAYMODE* pMode) override {
        if (!pMode || Adapter != D3DADAPTER_DEFAULT) return D3DERR_INVALIDCALL;
        SDL_DisplayMode m{};
        if (SDL_GetDesktopDisplayMode(0, &m) != 0 || m.w <= 0 || m.h <= 0) {
            m.w = 800;
            m.h = 600;
            m.refresh_rate = 60;
        }
        pMode->Width = static_cast<UINT>(m.w);
        pMode->Height = static_cast<UINT>(m.h);
        pMode->RefreshRate = static_cast<UINT>(m.refresh_rate);
        pMode->Format = D3DFMT_X8R8G8B8;
        return D3D_OK;
    }

    HRESULT CheckDeviceFormat(UINT Adapter, D3DDEVTYPE, D3DFORMAT, DWORD Usage, D3DRESOURCETYPE RType,
                              D3DFORMAT CheckFormat) override {
        if (Adapter != D3DADAPTER_DEFAULT) return D3DERR_INVALIDCALL;
        const FormatInfo* f = FindFormat(CheckFormat);
        if (!f) return D3DERR_NOTAVAILABLE;
        if (Usage & D3DUSAGE_DEPTHSTENCIL) return f->depthStencil ? D3D_OK : D3DERR_NOTAVAILABLE;
        if (RType != D3DRTYPE_TEXTURE && RType != D3DRTYPE_SURFACE) return D3DERR_NOTAVAILABLE;
        return f->colour ? D3D_OK : D3DERR_NOTAVAILABLE;
    }

    HRESULT GetDeviceCaps(UINT Adapter, D3DDEVTYPE, D3DCAPS8* pCaps) override {
        if (!pCaps || Adapter != D3DADAPTER_DEFAULT) return D3DERR_INVALIDCALL;
        FillCaps(pCaps);
        return D3D_OK;
    }

    HRESULT CreateDevice(UINT Adapter, D3DDEVTYPE DeviceType, HWND hFocusWindow, DWORD,
                         D3DPRESENT_PARAMETERS* pp, IDirect3DDevice8** ppDevice) override {
        if (!ppDevice) return D3DERR_INVALIDCALL;
        *ppDevice = nullptr;
        if (!pp || Adapter != D3DADAPTER_DEFAULT || DeviceType != D3DDEVTYPE_HAL) return D3DERR_INVALIDCALL;
        HWND hwnd = pp->hDeviceWindow ? pp->hDeviceWindow : hFocusWindow;
        SDL_Window* window = hwnd ? velunar::window::GetSdlWindow(hwnd) : nullptr;
        bool owns = false;
        if (!window) {
            if (hwnd) return D3DERR_INVALIDCALL;
            // No window given: a hidden one of our own carries the context (tests, benchmarks).
            window = SDL_CreateWindow("d3d8", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED,
                                      pp->BackBufferWidth ? static_cast<int>(pp->BackBufferWidth) : 800,
                                      pp->BackBufferHeight ? static_cast<int>(pp->BackBufferHeight) : 600,
                                      SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
            if (!window) return D3DERR_NOTAVAILABLE;
            owns = true;
        }
        Device* dev = Device::Create(this, window, owns, *pp);
        if (!dev) {
            if (owns) SDL_DestroyWindow(window);
            return D3DERR_NOTAVAILABLE;
        }
        *ppDevice = dev;
        return D3D_OK;
    }

private:
    bool m_video = false;
};

}  // namespace
}  // namespace velunar::d3d8

IDirect3D8* Direct3DCreate8(UINT SDKVersion) {
    if (SDKVersion != D3D_SDK_VERSION) return nullptr;
    auto* d3d = new velunar::d3d8::Direct3D;
    if (!d3d->Ok()) {
        d3d->Release();
        return nullptr;
    }
    return d3d;
}
