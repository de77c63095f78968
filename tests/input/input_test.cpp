// CKeyboard and CMouse: their log lines, what a poll sees, and the cursor's clamping.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "core/logger.h"
#include "input/keyboard.h"
#include "input/mouse.h"
#include "platform/window/sdl_window.h"

namespace {

class Input : public ::testing::Test {
protected:
    void SetUp() override {
        logPath_ = std::filesystem::path(VELUNAR_TEST_TMP) /
                   (std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + ".txt");
        std::filesystem::create_directories(logPath_.parent_path());
        g_pLogger = new CLogger(logPath_.c_str(), 20);
        hwnd_ = velunar::window::CreateOffscreenWindow(16, 16);
        ASSERT_NE(hwnd_, nullptr);
    }
    void TearDown() override {
        delete g_pLogger;
        g_pLogger = nullptr;
        DestroyWindow(hwnd_);
    }
    std::string Log() const {
        std::ifstream in(logPath_);
        std::stringstream ss;
        ss << in.rdbuf();
        return ss.str();
    }
    static void Push(const SDL_Event& e) {
        SDL_Event copy = e;
        SDL_PushEvent(&copy);
        velunar::window::PumpEvents();
    }
    static void Key(SDL_Scancode sc, bool down) {
        SDL_Event e{};
        e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
        e.key.keysym.scancode = sc;
        Push(e);
    }
    static void Move(int dx, int dy) {
        SDL_Event e{};
        e.type = SDL_MOUSEMOTION;
        e.motion.xrel = dx;
        e.motion.yrel = dy;
        Push(e);
    }
    std::filesystem::path logPath_;
    HWND hwnd_ = nullptr;
};

TEST_F(Input, KeyboardSeesEscapeAndF11AndLogsItsLife) {
    {
        CKeyboard kb(hwnd_, TRUE, TRUE, TRUE, TRUE);
        ASSERT_TRUE(kb.HasDevice());
        Key(SDL_SCANCODE_F11, true);
        kb.Poll();
        EXPECT_TRUE(kb.IsKeyDown(DIK_F11));
        EXPECT_FALSE(kb.IsKeyDown(DIK_ESCAPE));
        EXPECT_FALSE(kb.IsKeyDown(256));
        EXPECT_FALSE(kb.IsKeyDown(0xffffffffu));
        Key(SDL_SCANCODE_F11, false);
        Key(SDL_SCANCODE_ESCAPE, true);
        kb.Poll();
        EXPECT_FALSE(kb.IsKeyDown(DIK_F11));
        EXPECT_TRUE(kb.IsKeyDown(DIK_ESCAPE));
        Key(SDL_SCANCODE_ESCAPE, false);
    }
    const std::string log = Log();
    const auto created = log.find("CKeyboard::CKeyboard : DirectInput device created\n");
    const auto destroyed = log.find("CKeyboard::~CKeyboard : DirectInput(keyboard) interface destroyed\n");
    ASSERT_NE(created, std::string::npos);
    ASSERT_NE(destroyed, std::string::npos);
    EXPECT_LT(created, destroyed);
}

TEST_F(Input, AKeyboardWithoutADeviceReportsNothing) {
    // Foreground access needs a window: creation fails and the object carries on without a device.
    CKeyboard kb(nullptr, TRUE, TRUE, TRUE, TRUE);
    EXPECT_FALSE(kb.HasDevice());
    Key(SDL_SCANCODE_ESCAPE, true);
    kb.Poll();
    EXPECT_FALSE(kb.IsKeyDown(DIK_ESCAPE));
    Key(SDL_SCANCODE_ESCAPE, false);
    EXPECT_NE(Log().find("CKeyboard::CKeyboard : Couldn't create the DirectInput device\n"), std::string::npos);
}

TEST_F(Input, BackgroundExclusiveIsRefusedButNotAFailure) {
    CKeyboard kb(hwnd_, TRUE, FALSE, FALSE, TRUE);
    CMouse mouse(hwnd_, TRUE, FALSE, TRUE);
    EXPECT_FALSE(kb.HasDevice());
    EXPECT_FALSE(mouse.HasDevice());
    const std::string log = Log();
    EXPECT_NE(log.find("CKeyboard::OnCreateDevice : SetCooperativeLevel() returned DIERR_UNSUPPORTED. For security "
                       "reasons, background exclusive keyboard access is not allowed\n"),
              std::string::npos);
    EXPECT_NE(log.find("CMouse::OnCreateDevice : SetCooperativeLevel() returned DIERR_UNSUPPORTED. For security "
                       "reasons, background exclusive mouse access is not allowed\n"),
              std::string::npos);
    EXPECT_NE(log.find("CKeyboard::CKeyboard : DirectInput device created\n"), std::string::npos);
}

TEST_F(Input, BufferedModeSetsUpItsBuffer) {
    CKeyboard kb(hwnd_, FALSE, TRUE, TRUE, FALSE);
    CMouse mouse(hwnd_, FALSE, TRUE, FALSE);
    EXPECT_TRUE(kb.HasDevice());
    EXPECT_TRUE(mouse.HasDevice());
}

TEST_F(Input, MouseCursorIsClampedToTheScreenEdgesInclusive) {
    {
        CMouse mouse(hwnd_, TRUE, TRUE, TRUE);
        ASSERT_TRUE(mouse.HasDevice());
        mouse.m_fX = 400.0f;
        mouse.m_fY = 300.0f;
        Move(-1000, 30);
        mouse.Poll();
        EXPECT_FLOAT_EQ(mouse.m_fX, 0.0f);
        EXPECT_FLOAT_EQ(mouse.m_fY, 330.0f);
        EXPECT_FLOAT_EQ(mouse.m_fDX, -1000.0f);
        Move(5000, -5000);
        mouse.Poll();
        EXPECT_FLOAT_EQ(mouse.m_fX, 800.0f);
        EXPECT_FLOAT_EQ(mouse.m_fY, 0.0f);
        Move(0, 1000);
        mouse.m_fSensitivity = 0.5f;
        mouse.Poll();
        EXPECT_FLOAT_EQ(mouse.m_fDY, 500.0f);
        EXPECT_FLOAT_EQ(mouse.m_fY, 500.0f);
        SDL_Event b{};
        b.type = SDL_MOUSEBUTTONDOWN;
        b.button.button = SDL_BUTTON_RIGHT;
        Push(b);
        mouse.Poll();
        EXPECT_EQ(mouse.m_bLeft, 0);
        EXPECT_EQ(mouse.m_bRight, 1);
        EXPECT_FLOAT_EQ(mouse.m_fDX, 0.0f);
        b.type = SDL_MOUSEBUTTONUP;
        Push(b);
        mouse.Poll();
        EXPECT_EQ(mouse.m_bRight, 0);
    }
    const std::string log = Log();
    EXPECT_NE(log.find("CMouse::CMouse : DirectInput device created\n"), std::string::npos);
    EXPECT_NE(log.find("CMouse::~CMouse : DirectInput interface destroyed\n"), std::string::npos);
}

TEST_F(Input, LostFocusCostsOneFrameOfKeys) {
    CKeyboard kb(hwnd_, TRUE, TRUE, TRUE, TRUE);
    Key(SDL_SCANCODE_ESCAPE, true);
    SDL_Event e{};
    e.type = SDL_WINDOWEVENT;
    e.window.event = SDL_WINDOWEVENT_FOCUS_LOST;
    e.window.windowID = SDL_GetWindowID(velunar::window::GetSdlWindow(hwnd_));
    Push(e);
    Key(SDL_SCANCODE_ESCAPE, true);
    kb.Poll();
    EXPECT_FALSE(kb.IsKeyDown(DIK_ESCAPE));
    kb.Poll();
    EXPECT_TRUE(kb.IsKeyDown(DIK_ESCAPE));
    Key(SDL_SCANCODE_ESCAPE, false);
}

}  // namespace
