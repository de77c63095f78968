// x_session.h - the program as a process on an X server of its own: Xvfb on a free display, the
// program started in a private folder with the assets linked in, its window found and keys pressed
// with xdotool, what it logs, its F11 shots and its window's picture, its exit status. Shared by
// the end-to-end tests that need a real window.
// Depends on: GoogleTest, POSIX, support/x_window.h; Xvfb and xdotool found by CMake
// (VELUNAR_XVFB, VELUNAR_XDOTOOL).
#pragma once

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "support/image.h"
#include "support/x_window.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

inline constexpr const char* kTitle = "Velunar - a demo by Halvorine & Quill";

pid_t Spawn(const std::vector<std::string>& args, const std::vector<std::string>& env, const fs::path& cwd,
            bool quiet) {
    const pid_t pid = fork();
    if (pid != 0) return pid;
    setpgid(0, 0);
    if (!cwd.empty() && chdir(cwd.c_str()) != 0) _exit(127);
    for (const auto& kv : env) putenv(const_cast<char*>(kv.c_str()));
    if (quiet) {
        std::freopen("/dev/null", "w", stdout);
        std::freopen("/dev/null", "w", stderr);
    }
    std::vector<char*> argv;
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    _exit(127);
}

// Runs a command to completion and returns what it printed (empty on failure).
std::string Capture(const std::string& command) {
    std::string out;
    if (FILE* p = popen(command.c_str(), "r")) {
        char buf[512];
        while (std::fgets(buf, sizeof buf, p)) out += buf;
        pclose(p);
    }
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r')) out.pop_back();
    return out;
}

// The exit status, or nothing if the process outlived the limit (it is then killed).
std::optional<int> WaitFor(pid_t pid, std::chrono::milliseconds limit) {
    const auto until = std::chrono::steady_clock::now() + limit;
    int status = 0;
    while (std::chrono::steady_clock::now() < until) {
        const pid_t r = waitpid(pid, &status, WNOHANG);
        if (r == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        std::this_thread::sleep_for(20ms);
    }
    // Where it hangs, for the failure message (when gdb is installed).
    const std::string stacks = Capture("command -v gdb > /dev/null && timeout 60 gdb -p " + std::to_string(pid) +
                                       " -batch -ex 'thread apply all bt' 2>/dev/null | grep -E '^(Thread|#)'");
    if (!stacks.empty())
        std::fprintf(stderr, "program %d still running after the wait; its threads:\n%s\n", pid, stacks.c_str());
    kill(-pid, SIGKILL);
    waitpid(pid, &status, 0);
    return std::nullopt;
}

class Xvfb {
public:
    // `screen` is Xvfb's WIDTHxHEIGHTxDEPTH.
    explicit Xvfb(const std::string& screen) {
        // A display number nobody holds, from a range away from the usual ones.
        for (int n = 90 + getpid() % 100; n < 400; ++n) {
            if (fs::exists("/tmp/.X" + std::to_string(n) + "-lock") ||
                fs::exists("/tmp/.X11-unix/X" + std::to_string(n)))
                continue;
            display_ = ":" + std::to_string(n);
            pid_ = Spawn({VELUNAR_XVFB, display_, "-screen", "0", screen, "-nolisten", "tcp"}, {}, {}, true);
            const auto socket = "/tmp/.X11-unix/X" + std::to_string(n);
            for (int i = 0; i < 250 && !fs::exists(socket); ++i) std::this_thread::sleep_for(20ms);
            // The socket appears before the server answers; wait until it does.
            for (int i = 0; i < 100 && fs::exists(socket); ++i) {
                if (!Capture("DISPLAY=" + display_ + " timeout 5 " VELUNAR_XDOTOOL " getdisplaygeometry 2>/dev/null")
                         .empty())
                    return;
                std::this_thread::sleep_for(50ms);
            }
            Stop();
        }
    }
    ~Xvfb() { Stop(); }
    bool ok() const { return pid_ > 0; }
    const std::string& display() const { return display_; }

private:
    void Stop() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            WaitFor(pid_, 5s);
        }
        pid_ = -1;
    }
    std::string display_;
    pid_t pid_ = -1;
};

// A 24-bit BMP (an F11 shot) as top-down RGB; an empty picture when it cannot be read.
inline velunar_test::Image ReadBmp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<unsigned char> b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    velunar_test::Image f;
    if (b.size() < 54) return f;
    auto i32 = [&](size_t at) {
        return static_cast<std::int32_t>(b[at] | b[at + 1] << 8 | b[at + 2] << 16 |
                                         static_cast<std::uint32_t>(b[at + 3]) << 24);
    };
    const int w = i32(18), h = i32(22), offset = i32(10);
    const int rows = std::abs(h);
    const size_t stride = (static_cast<size_t>(w) * 3 + 3) / 4 * 4;
    if (w <= 0 || b.size() < static_cast<size_t>(offset) + stride * rows) return f;
    f = velunar_test::Image(w, rows);
    for (int y = 0; y < rows; ++y) {
        const unsigned char* src = &b[offset + stride * static_cast<size_t>(h > 0 ? rows - 1 - y : y)];
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < 3; ++c) f.at(x, y)[c] = src[x * 3 + 2 - c];
    }
    return f;
}

// A rectangle of a picture in its pixels: [x, x + w) x [y, y + h).
struct Area {
    double x = 0, y = 0, w = 0, h = 0;
};

// How far a window shows `picture`'s area `from` at its own area `at`: the largest difference of
// mean level over a grid of cells laid over both (scaling and filtering aside, a picture that
// landed elsewhere or at another size differs by far more than a few levels somewhere).
inline double CellDifference(const velunar_test::Image& window, Area at, const velunar_test::Image& picture,
                             Area from, int columns = 16, int rows = 8) {
    double worst = 0.0;
    auto cell = [](const Area& a, int c, int r, int columns, int rows) {
        // Cells a pixel inside their bounds, so the filter's blend across a cell edge stays out.
        const int x0 = static_cast<int>(a.x + a.w * c / columns) + 1, x1 = static_cast<int>(a.x + a.w * (c + 1) / columns) - 1;
        const int y0 = static_cast<int>(a.y + a.h * r / rows) + 1, y1 = static_cast<int>(a.y + a.h * (r + 1) / rows) - 1;
        return std::array<int, 4>{x0, y0, std::max(x1, x0 + 1), std::max(y1, y0 + 1)};
    };
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c) {
            const auto w = cell(at, c, r, columns, rows), p = cell(from, c, r, columns, rows);
            worst = std::max(worst, std::abs(window.Mean(w[0], w[1], w[2], w[3]) - picture.Mean(p[0], p[1], p[2], p[3])));
        }
    return worst;
}

class WindowRun : public ::testing::Test {
protected:
    // The X server's screen; fixtures for other displays say theirs.
    virtual std::string Screen() const { return "1024x768x24"; }
    void SetUp() override {
        x_.emplace(Screen());
        ASSERT_TRUE(x_->ok()) << "Xvfb did not start";
        dir_ = fs::path(VELUNAR_TEST_TMP) / ::testing::UnitTest::GetInstance()->current_test_info()->name();
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        // The show reads its assets from the current directory.
        const fs::path run = VELUNAR_RUN_DIR;
        if (fs::exists(run / "data")) fs::create_directory_symlink(run / "data", dir_ / "data");
        if (fs::exists(run / "velunar.mp3")) fs::create_symlink(run / "velunar.mp3", dir_ / "velunar.mp3");
    }
    void TearDown() override {
        if (pid_ > 0) WaitFor(pid_, 1ms);
    }
    // Starts the program on the server, with the dummy sound driver unless `env` names another.
    void Start(std::vector<std::string> args, std::vector<std::string> env = {}) {
        args.insert(args.begin(), VELUNAR_EXE);
        args_ = args;
        env_ = {"DISPLAY=" + x_->display(), "SDL_VIDEODRIVER=x11", "SDL_AUDIODRIVER=dummy"};
        env_.insert(env_.end(), env.begin(), env.end());
        pid_ = Spawn(args_, env_, dir_, true);
    }
    // Starts the program with args; its window's id, or "" after reporting that none appeared.
    std::string StartAndFind(std::vector<std::string> args, std::vector<std::string> env = {}) {
        Start(std::move(args), std::move(env));
        const std::string id = FindWindow();
        if (id.empty()) ADD_FAILURE() << "no window with the demo's class appeared" << LogSoFar();
        return id;
    }
    std::string Xdotool(const std::string& args) {
        return Capture("DISPLAY=" + x_->display() + " timeout 20 " VELUNAR_XDOTOOL " " + args + " 2>/dev/null");
    }
    // The window id, found by its class name once it is mapped.
    std::string FindWindow() {
        // Generous: on a loaded machine start-up takes seconds before the window maps. A program
        // that has not shown its window after 15 s is started once more on the same server.
        for (int attempt = 0; attempt < 2; ++attempt) {
            for (int i = 0; i < 150; ++i) {
                const std::string id = Xdotool(std::string("search --onlyvisible --classname '^") + kTitle + "$'");
                if (!id.empty()) return id.substr(0, id.find('\n'));
                std::this_thread::sleep_for(100ms);
            }
            int status = 0;
            const bool ended = waitpid(pid_, &status, WNOHANG) == pid_;
            std::fprintf(stderr, "no window yet on %s (program %s); starting it again\n", x_->display().c_str(),
                         ended ? "ended" : "still running");
            if (!ended) WaitFor(pid_, 1ms);
            pid_ = Spawn(args_, env_, dir_, true);
        }
        return {};
    }
    // A key held for a few frames, so a poll sees it.
    void Press(const std::string& id, const std::string& key, std::chrono::milliseconds hold = 150ms) {
        Xdotool("windowfocus --sync " + id);
        Xdotool("keydown " + key);
        std::this_thread::sleep_for(hold);
        Xdotool("keyup " + key);
    }
    // Escape, pressed again every half second until the program ends: the first presses may fall
    // into start-up, before the keyboard exists or while the window is still settling.
    std::optional<int> EscapeUntilExit(const std::string& id, std::chrono::seconds limit) {
        const auto until = std::chrono::steady_clock::now() + limit;
        while (std::chrono::steady_clock::now() < until) {
            Press(id, "Escape", 300ms);
            for (int i = 0; i < 25; ++i) {
                int status = 0;
                if (waitpid(pid_, &status, WNOHANG) == pid_)
                    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
                std::this_thread::sleep_for(20ms);
            }
        }
        return WaitFor(pid_, 1ms);
    }
    // Escape until the program ends, which it must do with status 0.
    void ExpectCleanExit(const std::string& id) {
        const auto status = EscapeUntilExit(id, 30s);
        pid_ = -1;
        ASSERT_TRUE(status.has_value()) << "still running after Escape" << LogSoFar();
        EXPECT_EQ(*status, 0);
    }
    std::string Log() const {
        std::ifstream in(dir_ / "debug.txt");
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    // What the program logged so far, for the message of a failed wait.
    std::string LogSoFar() const { return "\ndebug.txt so far:\n" + Log(); }
    // Waits for the n-th (from 1) log line matching `re`; its first group, or "" after the limit.
    std::string WaitForLog(const std::string& re, int n, std::chrono::seconds limit) {
        const std::regex pattern(re);
        const auto until = std::chrono::steady_clock::now() + limit;
        while (std::chrono::steady_clock::now() < until) {
            const std::string log = Log();
            int seen = 0;
            for (auto it = std::sregex_iterator(log.begin(), log.end(), pattern); it != std::sregex_iterator(); ++it)
                if (++seen == n) return (*it).size() > 1 ? (*it)[1].str() : (*it)[0].str();
            std::this_thread::sleep_for(50ms);
        }
        return {};
    }
    // Presses a key until the n-th line matching `re` is logged (a press may fall between polls
    // while the window settles); its first group.
    std::string PressUntilLogged(const std::string& id, const std::string& key, const std::string& re, int n) {
        for (int i = 0; i < 10; ++i) {
            Press(id, key);
            const std::string got = WaitForLog(re, n, 3s);
            if (!got.empty()) return got;
        }
        return {};
    }
    // Space until the show is paused (logged with -debug); the demo clock it holds, or "".
    std::string Pause(const std::string& id) {
        return PressUntilLogged(id, "space", R"(Viewer : paused \(clock ([0-9]+) ms\))", 1);
    }
    // F11 until a shot file newer than those before appears; the newest shot's path.
    fs::path Shot(const std::string& id) {
        const size_t before = Shots().size();
        for (int i = 0; i < 10; ++i) {
            Press(id, "F11");
            for (int w = 0; w < 40 && Shots().size() == before; ++w) std::this_thread::sleep_for(50ms);
            if (Shots().size() > before) {
                // The last of the frames F11 was held for, once written.
                std::this_thread::sleep_for(200ms);
                return Shots().back();
            }
        }
        return {};
    }
    std::vector<fs::path> Shots() const {
        std::vector<fs::path> shots;
        for (const auto& e : fs::directory_iterator(dir_))
            if (e.path().filename().string().rfind("shot", 0) == 0) shots.push_back(e.path());
        std::sort(shots.begin(), shots.end());
        return shots;
    }
    // What the window shows now, as the X server has it.
    velunar_test::Image Grab(const std::string& id) { return velunar_test::GrabWindow(x_->display(), id); }
    // The window's size as xdotool reports it ("800x400"), once it has settled to `want` or after 10 s.
    std::string WindowSize(const std::string& id, const std::string& want) {
        std::string size;
        for (int i = 0; i < 100; ++i) {
            const std::string g = Xdotool("getwindowgeometry " + id);
            const auto at = g.find("Geometry: ");
            size = at == std::string::npos ? g : g.substr(at + 10);
            if (size == want) break;
            std::this_thread::sleep_for(100ms);
        }
        return size;
    }
    // The window moved to the screen's corner and given that size (as a user drags its frame),
    // then what it shows once it has drawn at the new size; an empty picture when it never took it.
    velunar_test::Image ResizeAndGrab(const std::string& id, int width, int height) {
        const std::string size = std::to_string(width) + "x" + std::to_string(height);
        Xdotool("windowmove " + id + " 0 0");
        Xdotool("windowsize " + id + " " + std::to_string(width) + " " + std::to_string(height));
        if (WindowSize(id, size) != size) return {};
        std::this_thread::sleep_for(500ms);
        return Grab(id);
    }
    std::optional<Xvfb> x_;
    std::vector<std::string> args_, env_;
    fs::path dir_;
    pid_t pid_ = -1;
};

}  // namespace
