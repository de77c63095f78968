// keyboard.h - CKeyboard: the DirectInput keyboard, polled once per frame.
// Depends on: the DirectInput layer, the debug log.
#pragma once

#include "platform/dinput8/dinput8.h"

class CKeyboard {
public:
    CKeyboard(HWND hWnd, BOOL bExclusive, BOOL bForeground, BOOL bNoWinKey, BOOL bImmediate);
    ~CKeyboard();
    CKeyboard(const CKeyboard&) = delete;
    CKeyboard& operator=(const CKeyboard&) = delete;

    HRESULT OnCreateDevice(HWND hWnd);
    void Poll();
    // True when the key (a DirectInput code, DIK_ESCAPE ...) was down at the last Poll.
    bool IsKeyDown(unsigned int nKey) const;
    void ReleaseDevice();

    bool HasDevice() const { return m_pDevice != nullptr; }

private:
    LPDIRECTINPUT8A m_pDI = nullptr;
    LPDIRECTINPUTDEVICE8A m_pDevice = nullptr;
    BOOL m_bExclusive;
    BOOL m_bForeground;
    BOOL m_bImmediate;
    BOOL m_bNoWinKey;
    BYTE m_abKeys[256] = {};
};
