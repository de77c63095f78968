// Present into a real X window (run under Xvfb): the 800 x 600 back buffer reaches the window the
// right way up, scaled with its aspect kept and black borders around it.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "platform/d3d8/d3d8.h"
#include "support/device.h"
#include "platform/d3d8/d3d8_ext.h"
#include "platform/window/sdl_window.h"

struct ScreenVertex {
    float x, y, z, rhw;
    D3DCOLOR color;
};

// The window's client pixel (x, y) as 0xRRGGBB, read from the X server (d3d8_x11_pixel.cpp).
unsigned long WindowPixel(SDL_Window* window, int x, int y);

namespace {

LRESULT Proc(HWND h, UINT m, WPARAM w, LPARAM l) { return DefWindowProcA(h, m, w, l); }

bool NearRgb(unsigned long a, unsigned long b) {
    for (int s : {0, 8, 16})
        if (std::abs(static_cast<int>((a >> s) & 0xff) - static_cast<int>((b >> s) & 0xff)) > 8) return false;
    return true;
}

TEST(PresentUnderX, FrameReachesTheWindowUprightAndLetterboxed) {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "needs an X display (run under xvfb-run)";
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = Proc;
    wc.lpszClassName = "d3d8 present test";
    ASSERT_NE(RegisterClassExA(&wc), 0);
    HWND hwnd = CreateWindowExA(0, "d3d8 present test", "d3d8 present test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                805, 627, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(hwnd, nullptr);
    ShowWindow(hwnd, SW_SHOW);
    SDL_Window* window = velunar::window::GetSdlWindow(hwnd);
    ASSERT_NE(window, nullptr);
    ASSERT_STREQ(SDL_GetCurrentVideoDriver(), "x11");

    IDirect3D8* d3d = Direct3DCreate8(D3D_SDK_VERSION);
    ASSERT_NE(d3d, nullptr);
    IDirect3DDevice8* dev = velunar_test::CreateDevice(d3d, hwnd, 800, 600);
    ASSERT_NE(dev, nullptr);
    D3D8_SetVsync(false);

    auto frame = [&]() {
        dev->BeginScene();
        dev->Clear(0, nullptr, D3DCLEAR_TARGET, 0xffff0000, 1.0f, 0);
        ScreenVertex v[4] = {{0, 0, 0.5f, 1, 0xff00ff00}, {200, 0, 0.5f, 1, 0xff00ff00},
                             {0, 150, 0.5f, 1, 0xff00ff00}, {200, 150, 0.5f, 1, 0xff00ff00}};
        dev->SetVertexShader(D3DFVF_XYZRHW | D3DFVF_DIFFUSE);
        dev->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, v, sizeof(ScreenVertex));
        dev->EndScene();
        ASSERT_EQ(dev->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
        velunar::window::PumpEvents();
        SDL_Delay(100);
    };
    int w = 0, h = 0;
    SDL_GetWindowSize(window, &w, &h);
    for (int i = 0; i < 3; ++i) frame();
    // Green is the picture's top-left quarter.
    EXPECT_TRUE(NearRgb(WindowPixel(window, w / 8, h / 8), 0x00ff00)) << std::hex << WindowPixel(window, w / 8, h / 8);
    EXPECT_TRUE(NearRgb(WindowPixel(window, w / 2, h / 2), 0xff0000));
    EXPECT_TRUE(NearRgb(WindowPixel(window, w / 8, h - h / 8), 0xff0000));

    // A wider window: the 4:3 picture in the middle, black bars left and right.
    SDL_SetWindowSize(window, 1000, 600);
    velunar::window::PumpEvents();
    SDL_Delay(200);
    SDL_GetWindowSize(window, &w, &h);
    for (int i = 0; i < 3; ++i) frame();
    ASSERT_EQ(w, 1000);
    ASSERT_EQ(h, 600);
    {
        EXPECT_TRUE(NearRgb(WindowPixel(window, 50, 300), 0x000000));
        EXPECT_TRUE(NearRgb(WindowPixel(window, 950, 300), 0x000000));
        EXPECT_TRUE(NearRgb(WindowPixel(window, 500, 300), 0xff0000));
        EXPECT_TRUE(NearRgb(WindowPixel(window, 150, 50), 0x00ff00));
    }
    EXPECT_EQ(dev->Release(), 0u);
    EXPECT_EQ(d3d->Release(), 0u);
    DestroyWindow(hwnd);
}

}  // namespace
