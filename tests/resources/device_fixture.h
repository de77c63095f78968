// A hidden window and a Direct3D 8 device for the tests that need real textures and buffers.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/d3d8/d3d8.h"
#include "platform/window/offscreen_window.h"
#include "platform/window/window.h"
#include "support/device.h"

class DeviceTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_hWnd = velunar::window::CreateOffscreenWindow(64, 64);
        ASSERT_NE(m_hWnd, nullptr);
        m_pD3D = Direct3DCreate8(D3D_SDK_VERSION);
        ASSERT_NE(m_pD3D, nullptr);
        D3DDISPLAYMODE mode{};
        ASSERT_TRUE(SUCCEEDED(m_pD3D->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &mode)));
        m_desktopFormat = mode.Format;
        m_pDevice = velunar_test::CreateDevice(m_pD3D, m_hWnd, 64, 64, mode.Format);
        ASSERT_NE(m_pDevice, nullptr);
        std::filesystem::create_directories(Dir());
    }
    void TearDown() override {
        if (m_pDevice) m_pDevice->Release();
        if (m_pD3D) m_pD3D->Release();
        if (m_hWnd) DestroyWindow(m_hWnd);
    }
    static std::string Dir() { return std::string(VELUNAR_TEST_TMP) + "/data"; }
    static std::string Path(const std::string& name) { return Dir() + "/" + name; }

    HWND m_hWnd = nullptr;
    IDirect3D8* m_pD3D = nullptr;
    IDirect3DDevice8* m_pDevice = nullptr;
    D3DFORMAT m_desktopFormat = D3DFMT_UNKNOWN;
};
