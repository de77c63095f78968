// input_device.h - the DirectInput set-up the keyboard and the mouse share: the DirectInput
// object, the device with its data format and cooperation, a 16-event buffer unless immediate,
// and the first Acquire.
// Depends on: the DirectInput 8 layer.
#pragma once

#include "platform/dinput8/dinput8.h"

// What OpenInputDevice ended with. refused: DirectInput will not share the device in the
// background exclusively; the caller releases what was made and goes on without it.
struct InputDeviceResult {
    HRESULT hr = S_OK;
    bool refused = false;
};

// Fills di and device as far as the set-up gets; on a failure they hold what was made so far.
InputDeviceResult OpenInputDevice(HWND hWnd, REFGUID guid, LPCDIDATAFORMAT format, DWORD flags, bool immediate,
                                  LPDIRECTINPUT8A& di, LPDIRECTINPUTDEVICE8A& device);
