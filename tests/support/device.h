// device.h - the windowed Direct3D 8 device tests and benchmarks draw on: one back buffer of the
// given size and format, discarded on present, with a D24S8 depth buffer unless asked otherwise.
// Header only, so only the programs that draw link the platform layers.
//
// Depends on: the Direct3D 8 face of the platform layer.
#pragma once

#include "platform/d3d8/d3d8.h"

namespace velunar_test {

// The device on `window` (may be null: the current GL window); null when it cannot be created.
inline IDirect3DDevice8* CreateDevice(IDirect3D8* d3d, HWND window, UINT width, UINT height,
                                      D3DFORMAT format = D3DFMT_UNKNOWN, bool depth = true) {
    D3DPRESENT_PARAMETERS pp{};
    pp.BackBufferWidth = width;
    pp.BackBufferHeight = height;
    pp.BackBufferFormat = format;
    pp.BackBufferCount = 1;
    pp.SwapEffect = D3DSWAPEFFECT_DISCARD;
    pp.hDeviceWindow = window;
    pp.Windowed = TRUE;
    pp.EnableAutoDepthStencil = depth ? TRUE : FALSE;
    pp.AutoDepthStencilFormat = D3DFMT_D24S8;
    IDirect3DDevice8* dev = nullptr;
    if (FAILED(d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window, D3DCREATE_SOFTWARE_VERTEXPROCESSING, &pp, &dev)))
        return nullptr;
    return dev;
}

}  // namespace velunar_test
