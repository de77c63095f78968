// input_device.cpp - OpenInputDevice, the set-up steps in DirectInput's order.
#include "input/input_device.h"

InputDeviceResult OpenInputDevice(HWND hWnd, REFGUID guid, LPCDIDATAFORMAT format, DWORD flags, bool immediate,
                                  LPDIRECTINPUT8A& di, LPDIRECTINPUTDEVICE8A& device) {
    HRESULT hr = DirectInput8Create(GetModuleHandleA(nullptr), DIRECTINPUT_VERSION, IID_IDirectInput8A,
                                    reinterpret_cast<LPVOID*>(&di), nullptr);
    if (FAILED(hr)) return {hr, false};
    hr = di->CreateDevice(guid, &device, nullptr);
    if (FAILED(hr)) return {hr, false};
    hr = device->SetDataFormat(format);
    if (FAILED(hr)) return {hr, false};
    hr = device->SetCooperativeLevel(hWnd, flags);
    const bool backgroundExclusive = (flags & DISCL_EXCLUSIVE) && (flags & DISCL_BACKGROUND);
    if (hr == DIERR_UNSUPPORTED && backgroundExclusive) return {S_OK, true};
    if (FAILED(hr)) return {hr, false};
    if (!immediate) {
        DIPROPDWORD prop{};
        prop.diph.dwSize = sizeof(DIPROPDWORD);
        prop.diph.dwHeaderSize = sizeof(DIPROPHEADER);
        prop.diph.dwObj = 0;
        prop.diph.dwHow = DIPH_DEVICE;
        prop.dwData = 16;
        hr = device->SetProperty(DIPROP_BUFFERSIZE, &prop.diph);
        if (FAILED(hr)) return {hr, false};
    }
    device->Acquire();
    return {S_OK, false};
}
