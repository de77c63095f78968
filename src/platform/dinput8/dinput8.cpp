// dinput8.cpp - DirectInput 8's keyboard and mouse in immediate mode. A device reads the state
// the window layer's event pump keeps; acquisition is lost when the app loses the focus.
#include "platform/dinput8/dinput8.h"

#include <SDL.h>

#include <cstring>

#include "platform/window/sdl_window.h"

const GUID IID_IDirectInput8A = {0xBF798030, 0x483A, 0x4DA2, {0xAA, 0x99, 0x5D, 0x64, 0xED, 0x36, 0x97, 0x00}};
const GUID GUID_SysKeyboard = {0x6F1D2B61, 0xD5A0, 0x11CF, {0xBF, 0xC7, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
const GUID GUID_SysMouse = {0x6F1D2B60, 0xD5A0, 0x11CF, {0xBF, 0xC7, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
const GUID DIPROP_BUFFERSIZE = {1, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}};

const DIDATAFORMAT c_dfDIKeyboard = {24, 16, 0x2 /* DIDF_RELAXIS */, 256, 0, nullptr};
const DIDATAFORMAT c_dfDIMouse2 = {24, 16, 0x2 /* DIDF_RELAXIS */, sizeof(DIMOUSESTATE2), 0, nullptr};

namespace velunar::dinput {
namespace {

enum class Kind { Keyboard, Mouse };

class Device final : public IDirectInputDevice8A {
public:
    explicit Device(Kind kind) : m_kind(kind) {}

    ULONG AddRef() override { return ++m_refs; }
    ULONG Release() override {
        const ULONG left = --m_refs;
        if (left == 0) {
            Unacquire();
            delete this;
        }
        return left;
    }

    HRESULT SetDataFormat(LPCDIDATAFORMAT format) override {
        if (!format) return DIERR_INVALIDPARAM;
        if (m_acquired) return DIERR_ACQUIRED;
        const DWORD want = m_kind == Kind::Keyboard ? 256u : static_cast<DWORD>(sizeof(DIMOUSESTATE2));
        if (format->dwDataSize != want) return DIERR_INVALIDPARAM;
        m_formatSet = true;
        return DI_OK;
    }

    HRESULT SetCooperativeLevel(HWND hWnd, DWORD flags) override {
        const bool exclusive = (flags & DISCL_EXCLUSIVE) != 0;
        const bool nonExclusive = (flags & DISCL_NONEXCLUSIVE) != 0;
        const bool foreground = (flags & DISCL_FOREGROUND) != 0;
        const bool background = (flags & DISCL_BACKGROUND) != 0;
        if (exclusive == nonExclusive || foreground == background) return DIERR_INVALIDPARAM;
        if ((flags & DISCL_NOWINKEY) && (m_kind != Kind::Keyboard || exclusive)) return DIERR_INVALIDPARAM;
        // As on Windows: nobody gets exclusive input while in the background.
        if (exclusive && background) return DIERR_UNSUPPORTED;
        if (foreground && !IsWindow(hWnd)) return DIERR_INVALIDPARAM;
        m_foreground = foreground;
        return DI_OK;
    }

    HRESULT SetProperty(REFGUID prop, LPCDIPROPHEADER header) override {
        if (!header || header->dwHeaderSize != sizeof(DIPROPHEADER)) return DIERR_INVALIDPARAM;
        if (prop == DIPROP_BUFFERSIZE) {
            if (header->dwSize != sizeof(DIPROPDWORD) || header->dwHow != DIPH_DEVICE) return DIERR_INVALIDPARAM;
            m_bufferSize = reinterpret_cast<const DIPROPDWORD*>(header)->dwData;
            return DI_OK;
        }
        return DIERR_UNSUPPORTED;
    }

    HRESULT Acquire() override {
        if (!m_formatSet) return DIERR_INVALIDPARAM;
        if (m_acquired) return S_FALSE;
        if (m_foreground && !velunar::window::HasFocus()) return DIERR_OTHERAPPHASPRIO;
        m_acquired = true;
        m_focusLosses = velunar::window::GetFocusLossCount();
        // Motion from before the acquisition is not this device's.
        if (m_kind == Kind::Mouse) velunar::window::TakeMouseMotion(nullptr, nullptr);
        return DI_OK;
    }

    HRESULT Unacquire() override {
        if (!m_acquired) return DI_NOEFFECT;
        m_acquired = false;
        return DI_OK;
    }

    HRESULT GetDeviceState(DWORD size, LPVOID data) override {
        if (!data) return DIERR_INVALIDPARAM;
        if (!m_acquired) return DIERR_NOTACQUIRED;
        if (m_foreground && velunar::window::GetFocusLossCount() != m_focusLosses) {
            m_acquired = false;
            return DIERR_INPUTLOST;
        }
        if (m_kind == Kind::Keyboard) {
            if (size != 256) return DIERR_INVALIDPARAM;
            auto* keys = static_cast<BYTE*>(data);
            std::memset(keys, 0, 256);
            for (int sc = 0; sc < SDL_NUM_SCANCODES; ++sc) {
                if (!velunar::window::IsScancodeDown(sc)) continue;
                const BYTE dik = DikFromScancode(sc);
                if (dik) keys[dik] = 0x80;
            }
            return DI_OK;
        }
        if (size != sizeof(DIMOUSESTATE2)) return DIERR_INVALIDPARAM;
        DIMOUSESTATE2 st{};
        int dx = 0, dy = 0;
        velunar::window::TakeMouseMotion(&dx, &dy);
        st.lX = dx;
        st.lY = dy;
        const Uint32 buttons = velunar::window::GetMouseButtons();
        // DirectInput's button order: left, right, middle, then the side buttons.
        const Uint32 masks[8] = {SDL_BUTTON_LMASK, SDL_BUTTON_RMASK, SDL_BUTTON_MMASK, SDL_BUTTON_X1MASK,
                                 SDL_BUTTON_X2MASK, 0, 0, 0};
        for (int i = 0; i < 8; ++i) st.rgbButtons[i] = (buttons & masks[i]) ? 0x80 : 0;
        std::memcpy(data, &st, sizeof st);
        return DI_OK;
    }

private:
    ~Device() override = default;

    Kind m_kind;
    ULONG m_refs = 1;
    bool m_formatSet = false;
    bool m_foreground = false;
    bool m_acquired = false;
    unsigned m_focusLosses = 0;
    DWORD m_bufferSize = 0;
};

class DirectInput final : public IDirectInput8A {
public:
    ULONG AddRef() override { return ++m_refs; }
    ULONG Release() override {
        const ULONG left = --m_refs;
        if (left == 0) delete this;
        return left;
    }
    HRESULT CreateDevice(REFGUID guid, LPDIRECTINPUTDEVICE8A* device, LPUNKNOWN outer) override {
        if (!device) return DIERR_INVALIDPARAM;
        *device = nullptr;
        if (outer) return DIERR_NOINTERFACE;
        if (guid == GUID_SysKeyboard) {
            *device = new Device(Kind::Keyboard);
        } else if (guid == GUID_SysMouse) {
            *device = new Device(Kind::Mouse);
        } else {
            return DIERR_DEVICENOTREG;
        }
        return DI_OK;
    }

private:
    ~DirectInput() override = default;
    ULONG m_refs = 1;
};

}  // namespace
}  // namespace velunar::dinput

HRESULT DirectInput8Create(HINSTANCE, DWORD version, REFIID riid, LPVOID* out, LPUNKNOWN outer) {
    if (!out) return DIERR_INVALIDPARAM;
    *out = nullptr;
    if (version != DIRECTINPUT_VERSION) return DIERR_INVALIDPARAM;
    if (!(riid == IID_IDirectInput8A)) return DIERR_NOINTERFACE;
    if (outer) return DIERR_NOINTERFACE;
    if (!velunar::window::EnsureVideo()) return DIERR_NOTINITIALIZED;
    *out = static_cast<IDirectInput8A*>(new velunar::dinput::DirectInput());
    return DI_OK;
}
