// x_session.h - the program as a process on an X server of its own: Xvfb on a free display, the
// program started in a private folder with the assets linked in, its window found and keys pressed
// with xdotool, its exit status. Shared by the end-to-end tests that need a real window.
// Depends on: GoogleTest, POSIX; Xvfb and xdotool found by CMake (VELUNAR_XVFB, VELUNAR_XDOTOOL).
#pragma once

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <vector>

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
    Xvfb() {
        // A display number nobody holds, from a range away from the usual ones.
        for (int n = 90 + getpid() % 100; n < 400; ++n) {
            if (fs::exists("/tmp/.X" + std::to_string(n) + "-lock") ||
                fs::exists("/tmp/.X11-unix/X" + std::to_string(n)))
                continue;
            display_ = ":" + std::to_string(n);
            pid_ = Spawn({VELUNAR_XVFB, display_, "-screen", "0", "1024x768x24", "-nolisten", "tcp"}, {}, {}, true);
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

class WindowRun : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(x_.ok()) << "Xvfb did not start";
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
    void Start(std::vector<std::string> args) {
        args.insert(args.begin(), VELUNAR_EXE);
        args_ = args;
        pid_ = Spawn(args, {"DISPLAY=" + x_.display(), "SDL_VIDEODRIVER=x11", "SDL_AUDIODRIVER=dummy"}, dir_, true);
    }
    std::vector<std::string> args_;
    std::string Xdotool(const std::string& args) {
        return Capture("DISPLAY=" + x_.display() + " timeout 20 " VELUNAR_XDOTOOL " " + args + " 2>/dev/null");
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
            std::fprintf(stderr, "no window yet on %s (program %s); starting it again\n", x_.display().c_str(),
                         ended ? "ended" : "still running");
            if (!ended) WaitFor(pid_, 1ms);
            pid_ = Spawn(args_, {"DISPLAY=" + x_.display(), "SDL_VIDEODRIVER=x11", "SDL_AUDIODRIVER=dummy"}, dir_, true);
        }
        return {};
    }
    void PressEscape(const std::string& id) {
        Xdotool("windowfocus --sync " + id);
        // Held for a few frames so a poll sees it.
        Xdotool("keydown Escape");
        std::this_thread::sleep_for(300ms);
        Xdotool("keyup Escape");
    }
    // Escape, pressed again every half second until the program ends: the first presses may fall
    // into start-up, before the keyboard exists or while the window is still settling.
    std::optional<int> EscapeUntilExit(const std::string& id, std::chrono::seconds limit) {
        const auto until = std::chrono::steady_clock::now() + limit;
        while (std::chrono::steady_clock::now() < until) {
            PressEscape(id);
            for (int i = 0; i < 25; ++i) {
                int status = 0;
                if (waitpid(pid_, &status, WNOHANG) == pid_)
                    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
                std::this_thread::sleep_for(20ms);
            }
        }
        return WaitFor(pid_, 1ms);
    }
    // What the program logged so far, for the message of a failed wait.
    std::string LogSoFar() const {
        return "\ndebug.txt so far:\n" + Capture("cat '" + (dir_ / "debug.txt").string() + "' 2>/dev/null");
    }
    Xvfb x_;
    fs::path dir_;
    pid_t pid_ = -1;
};

}  // namespace
