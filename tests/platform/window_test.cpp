// The window layer as the window procedure sees it: which messages come, in which order, and
// what the event pump keeps for the input layer.
#include <gtest/gtest.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/window/clock.h"
#include "platform/window/sdl_window.h"
#include "platform/files/files.h"
#include "platform/window/window.h"

namespace {

struct Seen {
    UINT message;
    WPARAM wParam;
};
std::vector<Seen> g_seen;
bool g_quitOnDestroy = true;

LRESULT RecordingProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    g_seen.push_back({msg, wParam});
    if (msg == WM_DESTROY && g_quitOnDestroy) PostQuitMessage(7);
    return DefWindowProcA(hWnd, msg, wParam, lParam);
}

constexpr const char* kClass = "Velunar window test";

class WindowLayer : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        WNDCLASSEXA wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = RecordingProc;
        wc.lpszClassName = kClass;
        wc.hIcon = LoadIconA(nullptr, MAKEINTRESOURCEA(101));
        ASSERT_NE(RegisterClassExA(&wc), 0);
    }
    void SetUp() override {
        g_seen.clear();
        g_quitOnDestroy = true;
    }
    void TearDown() override {
        for (HWND h : windows_)
            if (IsWindow(h)) DestroyWindow(h);
        Drain();
    }
    HWND Create(DWORD style = WS_VISIBLE | WS_OVERLAPPEDWINDOW) {
        HWND h = CreateWindowExA(0, kClass, "Velunar - a demo by Halvorine & Quill", style, 112, 84, 805, 627, nullptr,
                                 nullptr, nullptr, nullptr);
        windows_.push_back(h);
        return h;
    }
    // Everything queued, and the quit flag, without letting paints loop forever.
    static void Drain() {
        MSG m;
        for (int i = 0; i < 1000 && PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE); ++i)
            if (m.message == WM_PAINT) break;
    }
    // The next message that is not an idle paint, dispatched; WM_QUIT ends it.
    static MSG NextNonPaint() {
        MSG m{};
        for (int i = 0; i < 1000; ++i) {
            if (!GetMessageA(&m, nullptr, 0, 0)) return m;
            if (m.message != WM_PAINT) {
                DispatchMessageA(&m);
                return m;
            }
        }
        ADD_FAILURE() << "only paints";
        return m;
    }
    static void PushWindowEvent(HWND h, Uint8 event) {
        SDL_Event e{};
        e.type = SDL_WINDOWEVENT;
        e.window.event = event;
        e.window.windowID = SDL_GetWindowID(velunar::window::GetSdlWindow(h));
        SDL_PushEvent(&e);
    }
    std::vector<HWND> windows_;
};

TEST_F(WindowLayer, ShownWindowIsActivatedThenPaintedWheneverIdle) {
    HWND h = Create();
    ASSERT_NE(h, nullptr);
    MSG m{};
    ASSERT_TRUE(GetMessageA(&m, nullptr, 0, 0));
    EXPECT_EQ(m.message, static_cast<UINT>(WM_ACTIVATEAPP));
    EXPECT_EQ(m.wParam, 1u);
    ASSERT_TRUE(GetMessageA(&m, nullptr, 0, 0));
    EXPECT_EQ(m.message, static_cast<UINT>(WM_ACTIVATE));
    EXPECT_EQ(LOWORD(m.wParam), WA_ACTIVE);
    EXPECT_EQ(HIWORD(m.wParam), 0);
    // Nobody validates the window, so paint follows paint.
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(GetMessageA(&m, nullptr, 0, 0));
        EXPECT_EQ(m.message, static_cast<UINT>(WM_PAINT));
        EXPECT_EQ(m.hwnd, h);
        DispatchMessageA(&m);
    }
    EXPECT_EQ(g_seen.size(), 3u);
}

TEST_F(WindowLayer, TitleAndClientSize) {
    HWND h = Create();
    char title[128];
    EXPECT_EQ(GetWindowTextA(h, title, sizeof title), 37);
    EXPECT_STREQ(title, "Velunar - a demo by Halvorine & Quill");
    EXPECT_STREQ(SDL_GetWindowTitle(velunar::window::GetSdlWindow(h)), title);
    RECT rc{};
    ASSERT_TRUE(GetClientRect(h, &rc));
    EXPECT_EQ(rc.right, 800);
    EXPECT_EQ(rc.bottom, 600);
    EXPECT_TRUE(SDL_GetWindowFlags(velunar::window::GetSdlWindow(h)) & SDL_WINDOW_OPENGL);
    SetWindowTextA(h, "t = 1.00 s");
    EXPECT_STREQ(SDL_GetWindowTitle(velunar::window::GetSdlWindow(h)), "t = 1.00 s");
    // Truncated to the buffer, always terminated.
    EXPECT_EQ(GetWindowTextA(h, title, 4), 3);
    EXPECT_STREQ(title, "t =");
}

TEST_F(WindowLayer, MinimiseDeactivatesAndRestoreActivates) {
    HWND h = Create();
    Drain();
    PushWindowEvent(h, SDL_WINDOWEVENT_MINIMIZED);
    MSG m = NextNonPaint();
    EXPECT_EQ(m.message, static_cast<UINT>(WM_ACTIVATE));
    EXPECT_EQ(LOWORD(m.wParam), WA_INACTIVE);
    EXPECT_EQ(HIWORD(m.wParam), 1);
    PushWindowEvent(h, SDL_WINDOWEVENT_RESTORED);
    m = NextNonPaint();
    EXPECT_EQ(m.message, static_cast<UINT>(WM_ACTIVATEAPP));
    EXPECT_EQ(m.wParam, 1u);
    m = NextNonPaint();
    EXPECT_EQ(m.message, static_cast<UINT>(WM_ACTIVATE));
    EXPECT_EQ(HIWORD(m.wParam), 0);
}

TEST_F(WindowLayer, FocusLossDeactivatesTheApp) {
    HWND h = Create();
    Drain();
    PushWindowEvent(h, SDL_WINDOWEVENT_FOCUS_LOST);
    MSG m = NextNonPaint();
    EXPECT_EQ(m.message, static_cast<UINT>(WM_ACTIVATE));
    EXPECT_EQ(LOWORD(m.wParam), WA_INACTIVE);
    EXPECT_EQ(HIWORD(m.wParam), 0);
    m = NextNonPaint();
    EXPECT_EQ(m.message, static_cast<UINT>(WM_ACTIVATEAPP));
    EXPECT_EQ(m.wParam, 0u);
}

TEST_F(WindowLayer, CloseBoxDestroysThenQuits) {
    HWND h = Create();
    Drain();
    PushWindowEvent(h, SDL_WINDOWEVENT_CLOSE);
    MSG m = NextNonPaint();
    EXPECT_EQ(m.message, static_cast<UINT>(WM_CLOSE));
    // DefWindowProc turned the close into a destruction, and the procedure posted the quit.
    ASSERT_GE(g_seen.size(), 2u);
    EXPECT_EQ(g_seen[g_seen.size() - 2].message, static_cast<UINT>(WM_CLOSE));
    EXPECT_EQ(g_seen.back().message, static_cast<UINT>(WM_DESTROY));
    EXPECT_FALSE(IsWindow(h));
    ASSERT_FALSE(GetMessageA(&m, nullptr, 0, 0));
    EXPECT_EQ(m.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(m.wParam, 7u);
}

TEST_F(WindowLayer, DestroyWindowSendsDestroyAtOnceAndDropsQueuedMessages) {
    HWND h = Create();
    g_quitOnDestroy = false;
    PostMessageA(h, WM_USER, 1, 2);
    ASSERT_TRUE(DestroyWindow(h));
    ASSERT_EQ(g_seen.size(), 1u);
    EXPECT_EQ(g_seen[0].message, static_cast<UINT>(WM_DESTROY));
    EXPECT_FALSE(DestroyWindow(h));
    MSG m;
    // Neither the activation nor the user message of a dead window, and no paint without a window.
    EXPECT_FALSE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(WindowLayer, TerminationSignalClosesLikeTheCloseBox) {
    HWND h = Create();
    Drain();
    std::raise(SIGTERM);
    MSG m = NextNonPaint();
    EXPECT_EQ(m.message, static_cast<UINT>(WM_CLOSE));
    EXPECT_FALSE(IsWindow(h));
    ASSERT_FALSE(GetMessageA(&m, nullptr, 0, 0));
}

TEST_F(WindowLayer, HiddenWindowsAreNeverPainted) {
    HWND off = velunar::window::CreateOffscreenWindow(64, 32);
    ASSERT_NE(off, nullptr);
    windows_.push_back(off);
    EXPECT_TRUE(SDL_GetWindowFlags(velunar::window::GetSdlWindow(off)) & SDL_WINDOW_HIDDEN);
    MSG m;
    EXPECT_FALSE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
    EXPECT_TRUE(velunar::window::IsHeadless());
}

TEST_F(WindowLayer, UnknownClassAndSecondRegistrationFail) {
    EXPECT_EQ(CreateWindowExA(0, "no such class", "x", WS_VISIBLE, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr),
              nullptr);
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = RecordingProc;
    wc.lpszClassName = kClass;
    EXPECT_EQ(RegisterClassExA(&wc), 0);
}

TEST_F(WindowLayer, PumpKeepsKeysMotionAndButtons) {
    HWND h = Create();
    const Uint32 id = SDL_GetWindowID(velunar::window::GetSdlWindow(h));
    velunar::window::TakeMouseMotion(nullptr, nullptr);
    SDL_Event e{};
    e.type = SDL_KEYDOWN;
    e.key.windowID = id;
    e.key.keysym.scancode = SDL_SCANCODE_F11;
    SDL_PushEvent(&e);
    SDL_Event mv{};
    mv.type = SDL_MOUSEMOTION;
    mv.motion.windowID = id;
    mv.motion.xrel = 5;
    mv.motion.yrel = -3;
    SDL_PushEvent(&mv);
    SDL_PushEvent(&mv);
    SDL_Event b{};
    b.type = SDL_MOUSEBUTTONDOWN;
    b.button.windowID = id;
    b.button.button = SDL_BUTTON_RIGHT;
    SDL_PushEvent(&b);
    velunar::window::PumpEvents();
    EXPECT_TRUE(velunar::window::IsScancodeDown(SDL_SCANCODE_F11));
    EXPECT_FALSE(velunar::window::IsScancodeDown(SDL_SCANCODE_ESCAPE));
    EXPECT_FALSE(velunar::window::IsScancodeDown(-1));
    EXPECT_FALSE(velunar::window::IsScancodeDown(SDL_NUM_SCANCODES));
    int dx = 0, dy = 0;
    velunar::window::TakeMouseMotion(&dx, &dy);
    EXPECT_EQ(dx, 10);
    EXPECT_EQ(dy, -6);
    velunar::window::TakeMouseMotion(&dx, &dy);
    EXPECT_EQ(dx, 0);
    EXPECT_EQ(velunar::window::GetMouseButtons(), static_cast<Uint32>(SDL_BUTTON_RMASK));
    // Motion over the window asks for the cursor once, however many moves were queued.
    MSG m;
    int setCursor = 0;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE) && m.message != WM_PAINT)
        if (m.message == WM_SETCURSOR) ++setCursor;
    EXPECT_EQ(setCursor, 1);
    // Focus loss forgets what was held.
    PushWindowEvent(h, SDL_WINDOWEVENT_FOCUS_LOST);
    velunar::window::PumpEvents();
    EXPECT_FALSE(velunar::window::IsScancodeDown(SDL_SCANCODE_F11));
    EXPECT_EQ(velunar::window::GetMouseButtons(), 0u);
}

TEST(Clock, VirtualClockReturnsExactlyWhatWasSetAndWallClockRuns) {
    using namespace velunar::clock;
    const DWORD a = timeGetTime();
    SDL_Delay(20);
    const DWORD b = timeGetTime();
    EXPECT_GE(b - a, 15u);
    UseVirtual(true);
    SetVirtualTime(0);
    EXPECT_EQ(timeGetTime(), 0u);
    SetVirtualTime(16);
    EXPECT_EQ(timeGetTime(), 16u);
    UseVirtual(false);
    EXPECT_GE(timeGetTime(), b);
}

TEST(CurrentDirectory, ReportsNeededSizeWhenTheBufferIsShort) {
    char cwd[4096];
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    const DWORD len = static_cast<DWORD>(std::string(cwd).size());
    char small[2];
    EXPECT_EQ(GetCurrentDirectoryA(sizeof small, small), len + 1);
    std::vector<char> buf(len + 1);
    EXPECT_EQ(GetCurrentDirectoryA(len + 1, buf.data()), len);
    EXPECT_STREQ(buf.data(), cwd);
}

TEST(RasterThreads, TwoMoreThanProcessorsUnlessTheUserChose) {
    unsetenv("LP_NUM_THREADS");
    velunar::window::SuggestRasterThreads();
    ASSERT_NE(getenv("LP_NUM_THREADS"), nullptr);
    EXPECT_EQ(std::string(getenv("LP_NUM_THREADS")), std::to_string(SDL_GetCPUCount() + 2));
    setenv("LP_NUM_THREADS", "1", 1);
    velunar::window::SuggestRasterThreads();
    EXPECT_STREQ(getenv("LP_NUM_THREADS"), "1");
}

}  // namespace
