// mouse.h - CMouse: the DirectInput mouse, its relative motion summed into a cursor that stays
// inside the 800 x 600 screen.
// Depends on: the DirectInput layer, the debug log.
#pragma once

#include "platform/dinput8/dinput8.h"

class CMouse {
public:
    CMouse(HWND hWnd, BOOL bExclusive, BOOL bForeground, BOOL bImmediate);
    ~CMouse();
    CMouse(const CMouse&) = delete;
    CMouse& operator=(const CMouse&) = delete;

    HRESULT OnCreateDevice(HWND hWnd);
    void Poll();
    void ReleaseDevice();

    bool HasDevice() const { return m_pDevice != nullptr; }

    float m_fX = 0.0f;
    float m_fY = 0.0f;
    float m_fDX = 0.0f;
    float m_fDY = 0.0f;
    BYTE m_bLeft = 0;
    BYTE m_bRight = 0;
    float m_fSensitivity = 1.0f;

private:
    BOOL m_bExclusive;
    BOOL m_bForeground;
    BOOL m_bImmediate;
    LPDIRECTINPUT8A m_pDI = nullptr;
    LPDIRECTINPUTDEVICE8A m_pDevice = nullptr;
    HWND m_hWnd;
};
