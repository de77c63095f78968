// A hidden 800 x 600 window with an initialised CRender, the debug log captured in the test's
// scratch folder, and helpers to make textures and read the back buffer.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "core/logger.h"
#include "platform/d3d8/d3d8.h"
#include "platform/d3dx8/image.h"
#include "platform/window/offscreen_window.h"
#include "platform/window/window.h"
#include "render/render.h"
#include "render/render_globals.h"

// One 8-bit channel of a colour: shift 16 red, 8 green, 0 blue.
inline int Channel(std::uint32_t c, int shift) { return static_cast<int>((c >> shift) & 0xff); }

class RenderTest : public ::testing::Test {
protected:
    static constexpr int kW = 800;
    static constexpr int kH = 600;

    void SetUp() override {
        std::filesystem::create_directories(Dir());
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        m_logPath = Dir() + "/" + info->test_suite_name() + "." + info->name() + ".log";
        std::filesystem::remove(m_logPath);
        m_pSavedLogger = g_pLogger;
        m_pLogger = new CLogger(m_logPath.c_str(), CLogger::kNoFallback);
        g_pLogger = m_pLogger;

        m_hWnd = velunar::window::CreateOffscreenWindow(kW, kH);
        ASSERT_NE(m_hWnd, nullptr);
        m_pRender = new CRender;
        ASSERT_TRUE(m_pRender->Init(m_hWnd, kW, kH, FullScreen()));
        m_pRender->SetFieldOfView(2.0f);
        m_pDevice = m_pRender->GetDevice();
        g_pRender = m_pRender;
        g_pDevice = m_pDevice;
    }

    void TearDown() override {
        delete m_pRender;
        g_pRender = nullptr;
        g_pDevice = nullptr;
        if (m_hWnd) DestroyWindow(m_hWnd);
        g_pLogger = m_pSavedLogger;
        delete m_pLogger;
    }

    virtual bool FullScreen() const { return false; }

    static std::string Dir() { return std::string(VELUNAR_TEST_TMP); }
    static std::string Path(const std::string& name) { return Dir() + "/" + name; }

    std::string LogText() const {
        const char* path = m_pLogger->GetPath();
        std::ifstream in(path ? path : m_logPath.c_str(), std::ios::binary);
        std::stringstream ss;
        ss << in.rdbuf();
        return ss.str();
    }
    bool Logged(const std::string& piece) const { return LogText().find(piece) != std::string::npos; }

    // The back buffer as 0xAARRGGBB words, top row first.
    std::vector<std::uint32_t> ReadBack() {
        std::vector<std::uint32_t> out;
        IDirect3DSurface8* target = nullptr;
        if (FAILED(m_pDevice->GetRenderTarget(&target)) || !target) return out;
        D3DSURFACE_DESC desc{};
        target->GetDesc(&desc);
        D3DLOCKED_RECT lr{};
        if (SUCCEEDED(target->LockRect(&lr, nullptr, D3DLOCK_READONLY))) {
            out.resize(static_cast<std::size_t>(desc.Width) * desc.Height);
            for (UINT y = 0; y < desc.Height; ++y) {
                const auto* row = reinterpret_cast<const std::uint32_t*>(static_cast<const BYTE*>(lr.pBits) +
                                                                         static_cast<std::ptrdiff_t>(y) * lr.Pitch);
                for (UINT x = 0; x < desc.Width; ++x) out[y * desc.Width + x] = row[x];
            }
            target->UnlockRect();
        }
        m_readWidth = static_cast<int>(desc.Width);
        target->Release();
        return out;
    }
    std::uint32_t At(const std::vector<std::uint32_t>& px, int x, int y) const {
        return px[static_cast<std::size_t>(y) * m_readWidth + x] & 0x00ffffffu;
    }

    // A w x h image file written by the test, colours from f(x, y) as 0xAARRGGBB.
    static std::string WriteImage(const std::string& name, int w, int h,
                                  const std::function<std::uint32_t(int, int)>& f) {
        velunar::d3dx::Bitmap bm;
        bm.width = w;
        bm.height = h;
        bm.hasAlpha = true;
        bm.argb.resize(static_cast<std::size_t>(w) * h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) bm.argb[static_cast<std::size_t>(y) * w + x] = f(x, y);
        const std::string path = Path(name);
        EXPECT_TRUE(velunar::d3dx::WritePng(path.c_str(), bm));
        return path;
    }

    // A managed A8R8G8B8 texture filled from f(x, y).
    IDirect3DTexture8* MakeTexture(UINT w, UINT h, const std::function<std::uint32_t(int, int)>& f) {
        IDirect3DTexture8* tex = nullptr;
        if (FAILED(m_pDevice->CreateTexture(w, h, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &tex))) return nullptr;
        D3DLOCKED_RECT lr{};
        if (SUCCEEDED(tex->LockRect(0, &lr, nullptr, 0))) {
            for (UINT y = 0; y < h; ++y) {
                auto* row = reinterpret_cast<std::uint32_t*>(static_cast<BYTE*>(lr.pBits) +
                                                             static_cast<std::ptrdiff_t>(y) * lr.Pitch);
                for (UINT x = 0; x < w; ++x) row[x] = f(static_cast<int>(x), static_cast<int>(y));
            }
            tex->UnlockRect(0);
        }
        return tex;
    }

    DWORD RS(D3DRENDERSTATETYPE s) {
        DWORD v = 0;
        m_pDevice->GetRenderState(s, &v);
        return v;
    }
    DWORD TSS(DWORD stage, D3DTEXTURESTAGESTATETYPE s) {
        DWORD v = 0;
        m_pDevice->GetTextureStageState(stage, s, &v);
        return v;
    }

    HWND m_hWnd = nullptr;
    CRender* m_pRender = nullptr;
    IDirect3DDevice8* m_pDevice = nullptr;
    int m_readWidth = kW;

private:
    std::string m_logPath;
    CLogger* m_pLogger = nullptr;
    CLogger* m_pSavedLogger = nullptr;
};
