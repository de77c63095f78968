// keyboard.cpp - CKeyboard over DirectInput 8.
#include "input/keyboard.h"

#include <cstring>

#include "core/logger.h"
#include "input/input_device.h"

CKeyboard::CKeyboard(HWND hWnd, BOOL bExclusive, BOOL bForeground, BOOL bNoWinKey, BOOL bImmediate)
    : m_bExclusive(bExclusive), m_bForeground(bForeground), m_bImmediate(bImmediate), m_bNoWinKey(bNoWinKey) {
    if (FAILED(OnCreateDevice(hWnd))) {
        if (g_pLogger) g_pLogger->LogMessage("CKeyboard::CKeyboard : Couldn't create the DirectInput device\n");
        ReleaseDevice();
    } else {
        if (g_pLogger) g_pLogger->LogMessage("CKeyboard::CKeyboard : DirectInput device created\n");
    }
}

CKeyboard::~CKeyboard() {
    if (g_pLogger) g_pLogger->LogMessage("CKeyboard::~CKeyboard : DirectInput(keyboard) interface destroyed\n");
    ReleaseDevice();
}

HRESULT CKeyboard::OnCreateDevice(HWND hWnd) {
    ReleaseDevice();
    DWORD flags = (m_bExclusive ? DISCL_EXCLUSIVE : DISCL_NONEXCLUSIVE) |
                  (m_bForeground ? DISCL_FOREGROUND : DISCL_BACKGROUND);
    if (m_bNoWinKey && !m_bExclusive && m_bForeground) flags |= DISCL_NOWINKEY;
    const InputDeviceResult r =
        OpenInputDevice(hWnd, GUID_SysKeyboard, &c_dfDIKeyboard, flags, m_bImmediate != FALSE, m_pDI, m_pDevice);
    if (r.refused) {
        ReleaseDevice();
        if (g_pLogger)
            g_pLogger->LogMessage(
                "CKeyboard::OnCreateDevice : SetCooperativeLevel() returned DIERR_UNSUPPORTED. For security "
                "reasons, background exclusive keyboard access is not allowed\n");
    }
    return r.hr;
}

void CKeyboard::Poll() {
    if (!m_pDevice) return;
    std::memset(m_abKeys, 0, sizeof m_abKeys);
    if (FAILED(m_pDevice->GetDeviceState(sizeof m_abKeys, m_abKeys))) {
        // Lost to another window: this frame sees no keys, the next one has them back.
        std::memset(m_abKeys, 0, sizeof m_abKeys);
        while (m_pDevice->Acquire() == DIERR_INPUTLOST) {
        }
    }
}

bool CKeyboard::IsKeyDown(unsigned int nKey) const {
    if (nKey > 255) return false;
    return (m_abKeys[nKey] & 0x80) != 0;
}

void CKeyboard::ReleaseDevice() {
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
