// mouse.cpp - CMouse over DirectInput 8.
#include "input/mouse.h"

#include "core/logger.h"
#include "input/input_device.h"

CMouse::CMouse(HWND hWnd, BOOL bExclusive, BOOL bForeground, BOOL bImmediate)
    : m_bExclusive(bExclusive), m_bForeground(bForeground), m_bImmediate(bImmediate), m_hWnd(hWnd) {
    if (FAILED(OnCreateDevice(hWnd))) {
        if (g_pLogger) g_pLogger->LogMessage("CMouse::CMouse : Couldn't create the DirectInput device\n");
        ReleaseDevice();
    } else {
        if (g_pLogger) g_pLogger->LogMessage("CMouse::CMouse : DirectInput device created\n");
    }
}

CMouse::~CMouse() {
    if (g_pLogger) g_pLogger->LogMessage("CMouse::~CMouse : DirectInput interface destroyed\n");
    ReleaseDevice();
}

HRESULT CMouse::OnCreateDevice(HWND hWnd) {
    ReleaseDevice();
    const DWORD flags = (m_bExclusive ? DISCL_EXCLUSIVE : DISCL_NONEXCLUSIVE) |
                        (m_bForeground ? DISCL_FOREGROUND : DISCL_BACKGROUND);
    const InputDeviceResult r =
        OpenInputDevice(hWnd, GUID_SysMouse, &c_dfDIMouse2, flags, m_bImmediate != FALSE, m_pDI, m_pDevice);
    if (r.refused) {
        ReleaseDevice();
        if (g_pLogger)
            g_pLogger->LogMessage(
                "CMouse::OnCreateDevice : SetCooperativeLevel() returned DIERR_UNSUPPORTED. For security reasons, "
                "background exclusive mouse access is not allowed\n");
    }
    return r.hr;
}

void CMouse::Poll() {
    if (!m_pDevice) return;
    DIMOUSESTATE2 state{};
    if (FAILED(m_pDevice->GetDeviceState(sizeof state, &state))) {
        while (m_pDevice->Acquire() == DIERR_INPUTLOST) {
        }
        return;
    }
    m_fDX = static_cast<float>(state.lX) * m_fSensitivity;
    m_fDY = static_cast<float>(state.lY) * m_fSensitivity;
    m_fX += m_fDX;
    m_fY += m_fDY;
    // Both edges are reachable: the cursor may sit on x = 800 and y = 600.
    if (m_fX < 0.0f) m_fX = 0.0f;
    if (m_fX > 800.0f) m_fX = 800.0f;
    if (m_fY < 0.0f) m_fY = 0.0f;
    if (m_fY > 600.0f) m_fY = 600.0f;
    m_bLeft = (state.rgbButtons[0] & 0x80) ? 1 : 0;
    m_bRight = (state.rgbButtons[1] & 0x80) ? 1 : 0;
}

void CMouse::ReleaseDevice() {
    if (m_pDevice) {
        m_pDevice->Unacquire();
        m_pDevice->Release();
        m_pDevice = nullptr;
    }
    if (m_pDI) {
        m_pDI->Release();
        m_pDI = nullptr;
    }
}
