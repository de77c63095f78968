// The DirectInput layer: the key code table and the devices' contract over the window layer's
// input state (SDL offscreen driver, events pushed by hand).
#include <gtest/gtest.h>

#include <set>

#include "platform/dinput8/dinput8.h"
#include "platform/window/sdl_window.h"

namespace {

using velunar::dinput::DikFromScancode;

TEST(KeyTable, TheDemoKeysAndTheRestOfTheKeyboard) {
    EXPECT_EQ(DikFromScancode(SDL_SCANCODE_ESCAPE), 1);
    EXPECT_EQ(DikFromScancode(SDL_SCANCODE_F11), 87);
    EXPECT_EQ(DikFromScancode(SDL_SCANCODE_F12), 0x58);
    EXPECT_EQ(DikFromScancode(SDL_SCANCODE_A), 0x1E);
    EXPECT_EQ(DikFromScancode(SDL_SCANCODE_Q), 0x10);
    EXPECT_EQ(DikFromScancode(SDL_SCANCODE_Z), 0x2C);
    EXPECT_EQ(DikFromScancode(SDL_SCANCODE_SPACE), 0x39);
    EXPECT_EQ(DikFromScancode(SDL_SCANCODE_RETURN), 0x1C);
    // Extended keys carry the 0x80 bit; they must not alias their numeric-pad twins.
    EXPECT_EQ(DikFromScancode(SDL_SCANCODE_KP_ENTER), 0x9C);
    EXPECT_EQ(DikFromScancode(SDL_SCANCODE_RCTRL), 0x9D);
    EXPECT_EQ(DikFromScancode(SDL_SCANCODE_RALT), 0xB8);
    EXPECT_EQ(DikFromScancode(SDL_SCANCODE_UP), 0xC8);
    EXPECT_EQ(DikFromScancode(SDL_SCANCODE_KP_8), 0x48);
    EXPECT_EQ(DikFromScancode(SDL_SCANCODE_DELETE), 0xD3);
    EXPECT_EQ(DikFromScancode(SDL_SCANCODE_KP_PERIOD), 0x53);
    EXPECT_EQ(DikFromScancode(SDL_SCANCODE_UNKNOWN), 0);
    EXPECT_EQ(DikFromScancode(-1), 0);
    EXPECT_EQ(DikFromScancode(SDL_NUM_SCANCODES), 0);
}

TEST(KeyTable, EveryLetterDigitAndFunctionKeyHasItsOwnCode) {
    std::set<int> codes;
    int mapped = 0;
    auto add = [&](int sc) {
        const int dik = DikFromScancode(sc);
        EXPECT_NE(dik, 0) << SDL_GetScancodeName(static_cast<SDL_Scancode>(sc));
        codes.insert(dik);
        ++mapped;
    };
    for (int sc = SDL_SCANCODE_A; sc <= SDL_SCANCODE_Z; ++sc) add(sc);
    for (int sc = SDL_SCANCODE_1; sc <= SDL_SCANCODE_0; ++sc) add(sc);
    for (int sc = SDL_SCANCODE_F1; sc <= SDL_SCANCODE_F12; ++sc) add(sc);
    for (int sc = SDL_SCANCODE_KP_1; sc <= SDL_SCANCODE_KP_0; ++sc) add(sc);
    for (int sc = SDL_SCANCODE_RIGHT; sc <= SDL_SCANCODE_UP; ++sc) add(sc);
    for (int sc = SDL_SCANCODE_LCTRL; sc <= SDL_SCANCODE_RGUI; ++sc) add(sc);
    EXPECT_EQ(codes.size(), static_cast<size_t>(mapped));
}

class Devices : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(velunar::window::EnsureVideo());
        hwnd_ = velunar::window::CreateOffscreenWindow(32, 32);
        ASSERT_NE(hwnd_, nullptr);
        ASSERT_EQ(DirectInput8Create(GetModuleHandleA(nullptr), DIRECTINPUT_VERSION, IID_IDirectInput8A,
                                     reinterpret_cast<LPVOID*>(&di_), nullptr),
                  DI_OK);
    }
    void TearDown() override {
        if (di_) di_->Release();
        DestroyWindow(hwnd_);
    }
    void Key(SDL_Scancode sc, bool down) {
        SDL_Event e{};
        e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
        e.key.keysym.scancode = sc;
        SDL_PushEvent(&e);
        velunar::window::PumpEvents();
    }
    HWND hwnd_ = nullptr;
    LPDIRECTINPUT8A di_ = nullptr;
};

TEST_F(Devices, CreationRejectsWhatDirectInputRejects) {
    LPVOID out = reinterpret_cast<LPVOID>(1);
    EXPECT_EQ(DirectInput8Create(nullptr, 0x0700, IID_IDirectInput8A, &out, nullptr), DIERR_INVALIDPARAM);
    EXPECT_EQ(out, nullptr);
    LPDIRECTINPUTDEVICE8A dev = nullptr;
    EXPECT_EQ(di_->CreateDevice(IID_IDirectInput8A, &dev, nullptr), DIERR_DEVICENOTREG);
    EXPECT_EQ(dev, nullptr);
    ASSERT_EQ(di_->CreateDevice(GUID_SysKeyboard, &dev, nullptr), DI_OK);
    EXPECT_EQ(dev->SetDataFormat(&c_dfDIMouse2), DIERR_INVALIDPARAM);
    EXPECT_EQ(dev->SetDataFormat(&c_dfDIKeyboard), DI_OK);
    EXPECT_EQ(dev->SetCooperativeLevel(hwnd_, DISCL_EXCLUSIVE | DISCL_BACKGROUND), DIERR_UNSUPPORTED);
    EXPECT_EQ(dev->SetCooperativeLevel(hwnd_, DISCL_EXCLUSIVE | DISCL_NONEXCLUSIVE | DISCL_FOREGROUND),
              DIERR_INVALIDPARAM);
    EXPECT_EQ(dev->SetCooperativeLevel(hwnd_, DISCL_EXCLUSIVE | DISCL_FOREGROUND | DISCL_NOWINKEY),
              DIERR_INVALIDPARAM);
    EXPECT_EQ(dev->SetCooperativeLevel(hwnd_, DISCL_NONEXCLUSIVE | DISCL_FOREGROUND | DISCL_NOWINKEY), DI_OK);
    dev->Release();
}

TEST_F(Devices, KeyboardStateFollowsTheKeysUnderTheirCodes) {
    LPDIRECTINPUTDEVICE8A kb = nullptr;
    ASSERT_EQ(di_->CreateDevice(GUID_SysKeyboard, &kb, nullptr), DI_OK);
    ASSERT_EQ(kb->SetDataFormat(&c_dfDIKeyboard), DI_OK);
    ASSERT_EQ(kb->SetCooperativeLevel(hwnd_, DISCL_EXCLUSIVE | DISCL_FOREGROUND), DI_OK);
    BYTE keys[256];
    EXPECT_EQ(kb->GetDeviceState(sizeof keys, keys), DIERR_NOTACQUIRED);
    ASSERT_EQ(kb->Acquire(), DI_OK);
    EXPECT_EQ(kb->GetDeviceState(100, keys), DIERR_INVALIDPARAM);
    Key(SDL_SCANCODE_ESCAPE, true);
    Key(SDL_SCANCODE_F11, true);
    ASSERT_EQ(kb->GetDeviceState(sizeof keys, keys), DI_OK);
    EXPECT_EQ(keys[DIK_ESCAPE], 0x80);
    EXPECT_EQ(keys[DIK_F11], 0x80);
    int down = 0;
    for (BYTE k : keys) down += k ? 1 : 0;
    EXPECT_EQ(down, 2);
    Key(SDL_SCANCODE_ESCAPE, false);
    ASSERT_EQ(kb->GetDeviceState(sizeof keys, keys), DI_OK);
    EXPECT_EQ(keys[DIK_ESCAPE], 0);
    EXPECT_EQ(keys[DIK_F11], 0x80);
    Key(SDL_SCANCODE_F11, false);
    kb->Release();
}

TEST_F(Devices, FocusLossLosesTheDeviceUntilReacquired) {
    LPDIRECTINPUTDEVICE8A kb = nullptr;
    ASSERT_EQ(di_->CreateDevice(GUID_SysKeyboard, &kb, nullptr), DI_OK);
    ASSERT_EQ(kb->SetDataFormat(&c_dfDIKeyboard), DI_OK);
    ASSERT_EQ(kb->SetCooperativeLevel(hwnd_, DISCL_NONEXCLUSIVE | DISCL_FOREGROUND), DI_OK);
    ASSERT_EQ(kb->Acquire(), DI_OK);
    SDL_Event e{};
    e.type = SDL_WINDOWEVENT;
    e.window.event = SDL_WINDOWEVENT_FOCUS_LOST;
    e.window.windowID = SDL_GetWindowID(velunar::window::GetSdlWindow(hwnd_));
    SDL_PushEvent(&e);
    velunar::window::PumpEvents();
    BYTE keys[256];
    EXPECT_EQ(kb->GetDeviceState(sizeof keys, keys), DIERR_INPUTLOST);
    EXPECT_EQ(kb->GetDeviceState(sizeof keys, keys), DIERR_NOTACQUIRED);
    // Headless there is no other application to take the focus; the device comes back at once.
    EXPECT_EQ(kb->Acquire(), DI_OK);
    EXPECT_EQ(kb->GetDeviceState(sizeof keys, keys), DI_OK);
    kb->Release();
}

TEST_F(Devices, MouseReportsRelativeMotionAndTwoButtons) {
    LPDIRECTINPUTDEVICE8A mouse = nullptr;
    ASSERT_EQ(di_->CreateDevice(GUID_SysMouse, &mouse, nullptr), DI_OK);
    ASSERT_EQ(mouse->SetDataFormat(&c_dfDIMouse2), DI_OK);
    ASSERT_EQ(mouse->SetCooperativeLevel(hwnd_, DISCL_EXCLUSIVE | DISCL_FOREGROUND), DI_OK);
    // Motion before the acquisition belongs to nobody.
    SDL_Event mv{};
    mv.type = SDL_MOUSEMOTION;
    mv.motion.xrel = 100;
    SDL_PushEvent(&mv);
    velunar::window::PumpEvents();
    ASSERT_EQ(mouse->Acquire(), DI_OK);
    mv.motion.xrel = -4;
    mv.motion.yrel = 9;
    SDL_PushEvent(&mv);
    SDL_Event b{};
    b.type = SDL_MOUSEBUTTONDOWN;
    b.button.button = SDL_BUTTON_LEFT;
    SDL_PushEvent(&b);
    velunar::window::PumpEvents();
    DIMOUSESTATE2 st{};
    static_assert(sizeof(DIMOUSESTATE2) == 20);
    ASSERT_EQ(mouse->GetDeviceState(sizeof st, &st), DI_OK);
    EXPECT_EQ(st.lX, -4);
    EXPECT_EQ(st.lY, 9);
    EXPECT_EQ(st.rgbButtons[0], 0x80);
    EXPECT_EQ(st.rgbButtons[1], 0);
    ASSERT_EQ(mouse->GetDeviceState(sizeof st, &st), DI_OK);
    EXPECT_EQ(st.lX, 0);
    b.type = SDL_MOUSEBUTTONUP;
    SDL_PushEvent(&b);
    velunar::window::PumpEvents();
    mouse->Release();
}

}  // namespace
