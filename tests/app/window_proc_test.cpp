// The window procedure's table and the exit sequence, with the real window layer underneath.
#include <gtest/gtest.h>

#include <filesystem>

#include "core/globals.h"
#include "core/logger.h"
#include "app/window_proc.h"
#include "input/input_globals.h"
#include "input/keyboard.h"
#include "input/mouse.h"
#include "platform/window/sdl_window.h"
#include "test_dir.h"

namespace {

TEST(WndProc, ActivationFollowsTheMinimisedFlagAndTheAppFlag) {
    g_bActive = 0;
    EXPECT_EQ(WndProc(nullptr, WM_ACTIVATE, MAKEWPARAM(WA_ACTIVE, 0), 0), 0);
    EXPECT_EQ(g_bActive, 1);
    // Minimised: inactive even though the low word says active.
    WndProc(nullptr, WM_ACTIVATE, MAKEWPARAM(WA_ACTIVE, 1), 0);
    EXPECT_EQ(g_bActive, 0);
    WndProc(nullptr, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 0), 0);
    EXPECT_EQ(g_bActive, 1);
    WndProc(nullptr, WM_ACTIVATEAPP, 0, 0);
    EXPECT_EQ(g_bActive, 0);
    WndProc(nullptr, WM_ACTIVATEAPP, 1, 0);
    EXPECT_EQ(g_bActive, 1);
}

TEST(Shutdown, DeletesInOrderAndLeavesNullPointers) {
    ScratchDir dir("shutdown_order");
    g_pLogger = new CLogger("debug.txt", 20);
    HWND h = velunar::window::CreateOffscreenWindow(16, 16);
    ASSERT_NE(h, nullptr);
    g_pKeyboard = new CKeyboard(h, TRUE, TRUE, TRUE, TRUE);
    g_pMouse = new CMouse(h, TRUE, TRUE, TRUE);
    ShutdownDemo();
    EXPECT_EQ(g_pMouse, nullptr);
    EXPECT_EQ(g_pKeyboard, nullptr);
    EXPECT_EQ(g_pLogger, nullptr);
    const std::string log = ReadFile(dir.path() / "debug.txt");
    const auto mouse = log.find("CMouse::~CMouse : DirectInput interface destroyed\n");
    const auto keyboard = log.find("CKeyboard::~CKeyboard : DirectInput(keyboard) interface destroyed\n");
    const auto end = log.find("CLogger::~CLogger : Ending debug session on ");
    ASSERT_NE(mouse, std::string::npos);
    ASSERT_NE(keyboard, std::string::npos);
    ASSERT_NE(end, std::string::npos);
    EXPECT_LT(mouse, keyboard);
    EXPECT_LT(keyboard, end);
    // A second shutdown finds nothing left to delete.
    ShutdownDemo();
    DestroyWindow(h);
}

using WndProcDeathTest = ::testing::Test;

TEST(WndProcDeathTest, DestroyEndsTheProcessWithStatusZeroAndDeletesTheLog) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    ScratchDir dir("destroy_plain");
    EXPECT_EXIT(
        {
            g_bDebug = 0;
            g_pLogger = new CLogger("debug.txt", 20);
            WndProc(nullptr, WM_DESTROY, 0, 0);
        },
        ::testing::ExitedWithCode(0), "");
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "debug.txt"));
}

TEST(WndProcDeathTest, DestroyKeepsTheLogWithDebug) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    ScratchDir dir("destroy_debug");
    EXPECT_EXIT(
        {
            g_bDebug = 1;
            g_pLogger = new CLogger("debug.txt", 20);
            WndProc(nullptr, WM_DESTROY, 0, 0);
        },
        ::testing::ExitedWithCode(0), "");
    const std::string log = ReadFile(dir.path() / "debug.txt");
    EXPECT_NE(log.find("CLogger::~CLogger : Ending debug session on "), std::string::npos);
}

}  // namespace
