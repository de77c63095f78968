// d3d8_fixture.h - a headless device with an 800 x 600 back buffer for the device tests, plus
// helpers to draw screen-space quads and read pixels back.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/d3d8/d3d8.h"
#include "support/device.h"

namespace d3d8test {

struct ScreenVertex {  // FVF 0x44
    float x, y, z, rhw;
    D3DCOLOR color;
};
struct TexturedVertex {  // FVF 0x144
    float x, y, z, rhw;
    D3DCOLOR color;
    float u, v;
};
struct MeshVertex {  // FVF 0x112
    float x, y, z, nx, ny, nz, u, v;
};
struct ColorVertex {  // FVF 0x42
    float x, y, z;
    D3DCOLOR color;
};

constexpr DWORD kScreenFvf = D3DFVF_XYZRHW | D3DFVF_DIFFUSE;
constexpr DWORD kTexturedFvf = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1;
constexpr DWORD kMeshFvf = D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1;

inline int Channel(D3DCOLOR c, int shift) { return static_cast<int>((c >> shift) & 0xff); }

// True when every colour channel (and alpha when withAlpha) lies within tol of the expected value.
inline ::testing::AssertionResult Near(D3DCOLOR actual, D3DCOLOR expected, int tol = 3, bool withAlpha = false) {
    for (int shift : {0, 8, 16, 24}) {
        if (shift == 24 && !withAlpha) continue;
        if (std::abs(Channel(actual, shift) - Channel(expected, shift)) > tol)
        {
            char text[64];
            std::snprintf(text, sizeof text, "got 0x%08x, expected 0x%08x", actual, expected);
            return ::testing::AssertionFailure() << text;
        }
    }
    return ::testing::AssertionSuccess();
}

inline D3DMATRIX Identity() {
    D3DMATRIX m{};
    m._11 = m._22 = m._33 = m._44 = 1.0f;
    return m;
}

class DeviceTest : public ::testing::Test {
protected:
    static constexpr int kWidth = 800, kHeight = 600;

    void SetUp() override {
        d3d = Direct3DCreate8(D3D_SDK_VERSION);
        ASSERT_NE(d3d, nullptr);
        dev = velunar_test::CreateDevice(d3d, nullptr, kWidth, kHeight, D3DFMT_X8R8G8B8);
        ASSERT_NE(dev, nullptr);
        dev->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    }

    void TearDown() override {
        if (dev) {
            EXPECT_EQ(dev->Release(), 0u);
        }
        if (d3d) {
            EXPECT_EQ(d3d->Release(), 0u);
        }
    }

    // The whole current render target, top row first.
    std::vector<D3DCOLOR> ReadTarget(UINT* width = nullptr) {
        IDirect3DSurface8* rt = nullptr;
        EXPECT_EQ(dev->GetRenderTarget(&rt), D3D_OK);
        D3DSURFACE_DESC d{};
        rt->GetDesc(&d);
        D3DLOCKED_RECT lr{};
        EXPECT_EQ(rt->LockRect(&lr, nullptr, D3DLOCK_READONLY), D3D_OK);
        std::vector<D3DCOLOR> px(static_cast<size_t>(d.Width) * d.Height);
        for (UINT y = 0; y < d.Height; ++y)
            for (UINT x = 0; x < d.Width; ++x)
                px[y * d.Width + x] = static_cast<const D3DCOLOR*>(lr.pBits)[y * (lr.Pitch / 4) + x];
        rt->UnlockRect();
        rt->Release();
        if (width) *width = d.Width;
        return px;
    }

    D3DCOLOR Pixel(int x, int y) {
        UINT w = 0;
        std::vector<D3DCOLOR> px = ReadTarget(&w);
        return px[static_cast<size_t>(y) * w + x];
    }

    void ClearTo(D3DCOLOR c) { ASSERT_EQ(dev->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, c, 1.0f, 0), D3D_OK); }

    // A pre-transformed quad from (x0, y0) to (x1, y1) in one colour.
    HRESULT Quad(float x0, float y0, float x1, float y1, D3DCOLOR c, float z = 0.5f, float rhw = 1.0f) {
        ScreenVertex v[4] = {{x0, y0, z, rhw, c}, {x1, y0, z, rhw, c}, {x0, y1, z, rhw, c}, {x1, y1, z, rhw, c}};
        dev->SetVertexShader(kScreenFvf);
        return dev->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, v, sizeof(ScreenVertex));
    }

    // A pre-transformed textured quad with texture coordinates u0..u1, v0..v1.
    HRESULT TexturedQuad(float x0, float y0, float x1, float y1, D3DCOLOR c, float u0 = 0, float v0 = 0, float u1 = 1,
                         float v1 = 1) {
        TexturedVertex v[4] = {{x0, y0, 0.5f, 1, c, u0, v0}, {x1, y0, 0.5f, 1, c, u1, v0},
                               {x0, y1, 0.5f, 1, c, u0, v1}, {x1, y1, 0.5f, 1, c, u1, v1}};
        dev->SetVertexShader(kTexturedFvf);
        return dev->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, v, sizeof(TexturedVertex));
    }

    // An A8R8G8B8 texture of one level whose texel (x, y) is fill(x, y).
    template <typename Fill>
    IDirect3DTexture8* MakeTexture(UINT w, UINT h, Fill fill) {
        IDirect3DTexture8* t = nullptr;
        EXPECT_EQ(dev->CreateTexture(w, h, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &t), D3D_OK);
        D3DLOCKED_RECT lr{};
        EXPECT_EQ(t->LockRect(0, &lr, nullptr, 0), D3D_OK);
        for (UINT y = 0; y < h; ++y)
            for (UINT x = 0; x < w; ++x) static_cast<D3DCOLOR*>(lr.pBits)[y * (lr.Pitch / 4) + x] = fill(x, y);
        EXPECT_EQ(t->UnlockRect(0), D3D_OK);
        return t;
    }

    IDirect3D8* d3d = nullptr;
    IDirect3DDevice8* dev = nullptr;
};

}  // namespace d3d8test
