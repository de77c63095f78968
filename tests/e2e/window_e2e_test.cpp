// The real program in a real X server: it opens its titled window, Escape or a termination
// signal ends it with status 0, and debug.txt stays only with -debug.
#include <regex>

#include "e2e/x_session.h"

namespace {

TEST_F(WindowRun, WindowedRunEndsOnEscapeWithStatusZeroAndDeletesTheLog) {
    Start({"-win"});
    const std::string id = FindWindow();
    ASSERT_FALSE(id.empty()) << "no window with the demo's class appeared" << LogSoFar();
    // Windowed, the title soon carries the demo time and frame rate instead.
    const std::string title = Xdotool("getwindowname " + id);
    EXPECT_TRUE(title == kTitle || std::regex_match(title, std::regex(R"(-?\d+\.\d\d - +\d+\.\d\d fps)"))) << title;
    EXPECT_TRUE(fs::exists(dir_ / "debug.txt"));
    const auto status = EscapeUntilExit(id, 30s);
    pid_ = -1;
    ASSERT_TRUE(status.has_value()) << "still running after Escape" << LogSoFar();
    EXPECT_EQ(*status, 0);
    EXPECT_FALSE(fs::exists(dir_ / "debug.txt"));
}

TEST_F(WindowRun, FullScreenKeepsTheTitleAndDebugKeepsTheLog) {
    Start({"-debug"});
    const std::string id = FindWindow();
    ASSERT_FALSE(id.empty()) << "no window with the demo's class appeared" << LogSoFar();
    EXPECT_EQ(Xdotool("getwindowname " + id), kTitle);
    const auto status = EscapeUntilExit(id, 30s);
    pid_ = -1;
    ASSERT_TRUE(status.has_value()) << "still running after Escape" << LogSoFar();
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

// --scale 2 in a window: the 1600 x 1200 picture does not fit the 1024 x 768 screen, so the window
// takes the largest size of its shape that does; F11 still saves the whole 1600 x 1200 picture.
TEST_F(WindowRun, ScaledWindowFitsTheScreenAndShotsKeepTheFullPicture) {
    Start({"-win", "--scale", "2"});
    const std::string id = FindWindow();
    ASSERT_FALSE(id.empty()) << "no window with the demo's class appeared" << LogSoFar();
    std::string geometry;
    for (int i = 0; i < 100 && geometry.find("1024x768") == std::string::npos; ++i) {
        std::this_thread::sleep_for(100ms);
        geometry = Xdotool("getwindowgeometry " + id);
    }
    EXPECT_NE(geometry.find("Geometry: 1024x768"), std::string::npos) << geometry;
    const fs::path shot = dir_ / "shot00000.bmp";
    for (int i = 0; i < 10 && !fs::exists(shot); ++i) {
        Xdotool("windowfocus --sync " + id);
        Xdotool("keydown F11");
        std::this_thread::sleep_for(300ms);
        Xdotool("keyup F11");
        std::this_thread::sleep_for(700ms);
    }
    ASSERT_TRUE(fs::exists(shot));
    std::FILE* f = std::fopen(shot.c_str(), "rb");
    ASSERT_NE(f, nullptr);
    unsigned char header[26] = {};
    const size_t n = std::fread(header, 1, sizeof header, f);
    std::fclose(f);
    ASSERT_EQ(n, sizeof header);
    auto int32 = [&](int at) {
        return static_cast<std::int32_t>(header[at] | header[at + 1] << 8 | header[at + 2] << 16 |
                                         static_cast<std::uint32_t>(header[at + 3]) << 24);
    };
    EXPECT_EQ(int32(18), 1600);
    EXPECT_EQ(std::abs(int32(22)), 1200);
    const auto status = EscapeUntilExit(id, 30s);
    pid_ = -1;
    ASSERT_TRUE(status.has_value()) << "still running after Escape" << LogSoFar();
    EXPECT_EQ(*status, 0);
}

TEST(CommandLine, HelpAndUnknownOptions) {
    EXPECT_EQ(WEXITSTATUS(std::system(VELUNAR_EXE " --help > /dev/null")), 0);
    const std::string help = Capture(VELUNAR_EXE " --help");
    for (const char* word : {"-win", "-full", "-debug", "--start SECONDS", "--at SECONDS --shot FILE.png",
                             "--capture FILE.mp4", "--fps N", "--setup", "--help", "--version"})
        EXPECT_NE(help.find(word), std::string::npos) << word;
    EXPECT_EQ(WEXITSTATUS(std::system(VELUNAR_EXE " --no-such-option 2> /dev/null")), 2);
    EXPECT_EQ(WEXITSTATUS(std::system(VELUNAR_EXE " --win --debug --fullscreen --version > /dev/null")), 0);
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
