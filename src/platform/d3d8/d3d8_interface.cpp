// d3d8_interface.cpp - Direct3DCreate8 and the IDirect3D8 object: the adapter (the desktop), format
// checks and device creation on a window of the window layer.
#include <SDL.h>

#include "platform/d3d8/d3d8.h"
#include "platform/d3d8/d3d8_caps.h"
#include "platform/d3d8/d3d8_device.h"
#include "platform/d3d8/d3d8_format.h"
#include "platform/d3d8/d3d8_object.h"
#include "platform/window/sdl_window.h"

namespace velunar::d3d8 {
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
