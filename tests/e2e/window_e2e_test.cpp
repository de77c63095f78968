// The real program in a real X server: it opens its titled window, Escape or a termination
// signal ends it with status 0, and debug.txt stays only with -debug.
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
#include <regex>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

constexpr const char* kTitle = "Velunar - a demo by Halvorine & Quill";

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

// The exit status, or nothing if the process outlived the limit (it is then killed).
std::optional<int> WaitFor(pid_t pid, std::chrono::milliseconds limit) {
    const auto until = std::chrono::steady_clock::now() + limit;
    int status = 0;
    while (std::chrono::steady_clock::now() < until) {
        const pid_t r = waitpid(pid, &status, WNOHANG);
        if (r == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        std::this_thread::sleep_for(20ms);
    }
    kill(-pid, SIGKILL);
    waitpid(pid, &status, 0);
    return std::nullopt;
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
    Xvfb x_;
    fs::path dir_;
    pid_t pid_ = -1;
};

TEST_F(WindowRun, WindowedRunEndsOnEscapeWithStatusZeroAndDeletesTheLog) {
    Start({"-win"});
    const std::string id = FindWindow();
    ASSERT_FALSE(id.empty()) << "no window with the demo's class appeared";
    // Windowed, the title soon carries the demo time and frame rate instead.
    const std::string title = Xdotool("getwindowname " + id);
    EXPECT_TRUE(title == kTitle || std::regex_match(title, std::regex(R"(-?\d+\.\d\d - +\d+\.\d\d fps)"))) << title;
    EXPECT_TRUE(fs::exists(dir_ / "debug.txt"));
    const auto status = EscapeUntilExit(id, 30s);
    pid_ = -1;
    ASSERT_TRUE(status.has_value()) << "still running after Escape";
    EXPECT_EQ(*status, 0);
    EXPECT_FALSE(fs::exists(dir_ / "debug.txt"));
}

TEST_F(WindowRun, FullScreenKeepsTheTitleAndDebugKeepsTheLog) {
    Start({"-debug"});
    const std::string id = FindWindow();
    ASSERT_FALSE(id.empty()) << "no window with the demo's class appeared";
    EXPECT_EQ(Xdotool("getwindowname " + id), kTitle);
    const auto status = EscapeUntilExit(id, 30s);
    pid_ = -1;
    ASSERT_TRUE(status.has_value()) << "still running after Escape";
    EXPECT_EQ(*status, 0);
    ASSERT_TRUE(fs::exists(dir_ / "debug.txt"));
    std::FILE* f = std::fopen((dir_ / "debug.txt").c_str(), "r");
    ASSERT_NE(f, nullptr);
    std::string log;
    char buf[512];
    while (std::fgets(buf, sizeof buf, f)) log += buf;
    std::fclose(f);
    EXPECT_EQ(log.rfind("CLogger::CLogger : Starting debug session on ", 0), 0u);
    EXPECT_NE(log.find("CLogger::~CLogger : Ending debug session on "), std::string::npos);
}

TEST_F(WindowRun, TerminationSignalClosesTheWindowLikeTheCloseBox) {
    Start({"-win", "-debug"});
    ASSERT_FALSE(FindWindow().empty());
    kill(pid_, SIGTERM);
    const auto status = WaitFor(pid_, 30s);
    pid_ = -1;
    ASSERT_TRUE(status.has_value()) << "still running after SIGTERM";
    EXPECT_EQ(*status, 0);
    std::FILE* f = std::fopen((dir_ / "debug.txt").c_str(), "r");
    ASSERT_NE(f, nullptr);
    std::string log;
    char buf[512];
    while (std::fgets(buf, sizeof buf, f)) log += buf;
    std::fclose(f);
    EXPECT_NE(log.find("CLogger::~CLogger : Ending debug session on "), std::string::npos);
}

TEST(CommandLine, HelpAndUnknownOptions) {
    EXPECT_EQ(WEXITSTATUS(std::system(VELUNAR_EXE " --help > /dev/null")), 0);
    const std::string help = Capture(VELUNAR_EXE " --help");
    for (const char* word : {"-win", "-full", "-debug", "--start SECONDS", "--at SECONDS --shot FILE.png",
                             "--capture FILE.mp4", "--fps N", "--help", "--version"})
        EXPECT_NE(help.find(word), std::string::npos) << word;
    EXPECT_EQ(WEXITSTATUS(std::system(VELUNAR_EXE " --no-such-option 2> /dev/null")), 2);
    EXPECT_EQ(WEXITSTATUS(std::system(VELUNAR_EXE " --start 171 2> /dev/null")), 2);
    EXPECT_EQ(WEXITSTATUS(std::system(VELUNAR_EXE " --at -6 --shot x.png 2> /dev/null")), 2);
}

TEST(CommandLine, FailedWindowIsAFailureWithTheLogKept) {
    const fs::path dir = fs::path(VELUNAR_TEST_TMP) / "no_display";
    fs::remove_all(dir);
    fs::create_directories(dir);
    const std::string out = Capture("cd '" + dir.string() +
                                    "' && DISPLAY=:9999 SDL_VIDEODRIVER=x11 " VELUNAR_EXE " -win 2>&1; echo \"rc=$?\"");
    EXPECT_NE(out.find("velunar: could not create the window"), std::string::npos) << out;
    EXPECT_NE(out.find("rc=1"), std::string::npos) << out;
    EXPECT_TRUE(fs::exists(dir / "debug.txt"));
}

}  // namespace
