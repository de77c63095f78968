// The real program in a real X server: it opens its titled window, Escape or a termination
// signal ends it with status 0, and debug.txt stays only with -debug; resized, scaled or filled
// with the band alone (--fill), the window shows the picture where it belongs.
#include "e2e/x_session.h"

namespace {

TEST_F(WindowRun, WindowedRunEndsOnEscapeWithStatusZeroAndDeletesTheLog) {
    const std::string id = StartAndFind({"-win"});
    ASSERT_FALSE(id.empty());
    // Windowed, the title soon carries the demo time and frame rate instead.
    const std::string title = Xdotool("getwindowname " + id);
    EXPECT_TRUE(title == kTitle || std::regex_match(title, std::regex(R"(-?\d+\.\d\d - +\d+\.\d\d fps)"))) << title;
    EXPECT_TRUE(fs::exists(dir_ / "debug.txt"));
    ExpectCleanExit(id);
    EXPECT_FALSE(fs::exists(dir_ / "debug.txt"));
}

TEST_F(WindowRun, FullScreenKeepsTheTitleAndDebugKeepsTheLog) {
    const std::string id = StartAndFind({"-debug"});
    ASSERT_FALSE(id.empty());
    EXPECT_EQ(Xdotool("getwindowname " + id), kTitle);
    ExpectCleanExit(id);
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
    const std::string id = StartAndFind({"-win", "--scale", "2"});
    ASSERT_FALSE(id.empty());
    EXPECT_EQ(WindowSize(id, "1024x768"), "1024x768");
    const velunar_test::Image shot = ReadBmp(Shot(id));
    EXPECT_EQ(shot.width, 1600);
    EXPECT_EQ(shot.height, 1200);
    ExpectCleanExit(id);
}

// A resized window shows the whole picture, scaled with its aspect kept, black beside it.
TEST_F(WindowRun, ResizedWindowScalesThePictureWithItsAspectKept) {
    const std::string id = StartAndFind({"-win", "-debug", "--start", "30"});
    ASSERT_FALSE(id.empty());
    // Paused, the window shows the picture the shot holds.
    ASSERT_FALSE(Pause(id).empty()) << LogSoFar();
    const velunar_test::Image shot = ReadBmp(Shot(id));
    ASSERT_TRUE(shot.ok());
    const Area whole{0, 0, 800, 600};

    // Wider than 4:3: the picture 800 x 600 in the middle, black columns beside it.
    const velunar_test::Image wide = ResizeAndGrab(id, 1000, 600);
    ASSERT_EQ(wide.width, 1000);
    EXPECT_LE(CellDifference(wide, {100, 0, 800, 600}, shot, whole), 4.0);
    EXPECT_EQ(wide.Max(0, 0, 100, 600), 0);
    EXPECT_EQ(wide.Max(900, 0, 1000, 600), 0);

    // Taller: 480 x 360 from row 120, black rows above and below.
    const velunar_test::Image tall = ResizeAndGrab(id, 480, 600);
    ASSERT_EQ(tall.width, 480);
    EXPECT_LE(CellDifference(tall, {0, 120, 480, 360}, shot, whole), 6.0);
    EXPECT_EQ(tall.Max(0, 0, 480, 119), 0);
    EXPECT_EQ(tall.Max(0, 481, 480, 600), 0);
    ExpectCleanExit(id);
}

// --fill in a window: the bars are cropped, the window takes the 2:1 band's shape, and made 4:3
// again the band fills its width, 1024 x 512 from row 128, as on a 4:3 screen; an F11 shot
// still holds the whole 800 x 600 picture, bars included.
TEST_F(WindowRun, FillShowsTheBandAloneAndShotsKeepTheWholePicture) {
    const std::string id = StartAndFind({"-win", "--fill", "-debug", "--start", "30"});
    ASSERT_FALSE(id.empty());
    ASSERT_EQ(WindowSize(id, "800x400"), "800x400");
    ASSERT_FALSE(Pause(id).empty()) << LogSoFar();
    const velunar_test::Image shot = ReadBmp(Shot(id));
    ASSERT_EQ(shot.width, 800);
    ASSERT_EQ(shot.height, 600);
    EXPECT_EQ(shot.Max(0, 0, 800, 100), 0) << "the shot lost its top bar";
    Xdotool("windowmove " + id + " 0 0");
    std::this_thread::sleep_for(300ms);
    const velunar_test::Image band = Grab(id);
    ASSERT_EQ(band.height, 400);
    EXPECT_TRUE(band.rgb == shot.Rows(100, 500).rgb) << "the window does not show the band pixel for pixel";

    const velunar_test::Image screen = ResizeAndGrab(id, 1024, 768);
    ASSERT_EQ(screen.width, 1024);
    EXPECT_LE(CellDifference(screen, {0, 128, 1024, 512}, shot, {0, 100, 800, 400}), 4.0);
    EXPECT_EQ(screen.Max(0, 0, 1024, 127), 0);
    EXPECT_EQ(screen.Max(0, 641, 1024, 768), 0);
    ExpectCleanExit(id);
}

// On a 1920 x 1080 display.
class WideScreenRun : public WindowRun {
protected:
    std::string Screen() const override { return "1920x1080x24"; }
};

// -win --fill --scale auto: the band alone decides the factor (2: 1600 x 800 fits, where the whole
// 4:3 picture would only fit at 1), the window takes the band's shape at that size and shows the
// band pixel for pixel; shots keep the whole 1600 x 1200 picture. Tab's line goes above the band,
// never into the band or a shot.
TEST_F(WideScreenRun, FillWindowTakesTheBandsShapeAndAutoScaleFitsTheBand) {
    const std::string id = StartAndFind({"-win", "--fill", "--scale", "auto", "-debug", "--start", "30"});
    ASSERT_FALSE(id.empty());
    ASSERT_EQ(WindowSize(id, "1600x800"), "1600x800");
    ASSERT_FALSE(Pause(id).empty()) << LogSoFar();
    const velunar_test::Image shot = ReadBmp(Shot(id));
    ASSERT_EQ(shot.width, 1600);
    ASSERT_EQ(shot.height, 1200);
    Xdotool("windowmove " + id + " 0 0");
    std::this_thread::sleep_for(300ms);
    const velunar_test::Image window = Grab(id);
    ASSERT_EQ(window.width, 1600);
    ASSERT_EQ(window.height, 800);
    EXPECT_TRUE(window.rgb == shot.Rows(200, 1000).rgb) << "the window does not show the band pixel for pixel";

    // The display: the band and a line of the top bar above it share the window, the line lit.
    Press(id, "Tab");
    bool lit = false;
    velunar_test::Image withLine;
    for (int i = 0; i < 50 && !lit; ++i) {
        std::this_thread::sleep_for(100ms);
        withLine = Grab(id);
        lit = withLine.ok() && withLine.Max(0, 0, 800, 60) > 128;
    }
    EXPECT_TRUE(lit) << "no display line at the top of the window";
    // 800 x 424 of the picture in 1600 x 800: 1509 x 800, centred.
    EXPECT_LE(CellDifference(withLine, {45.5, 800.0 * 24 / 424, 1509, 800.0 * 400 / 424}, shot, {0, 200, 1600, 800}), 6.0);
    const velunar_test::Image shotWithLine = ReadBmp(Shot(id));
    EXPECT_TRUE(shotWithLine.rgb == shot.rgb) << "the display went into the shot";
    ExpectCleanExit(id);
}

TEST(CommandLine, HelpAndUnknownOptions) {
    EXPECT_EQ(WEXITSTATUS(std::system(VELUNAR_EXE " --help > /dev/null")), 0);
    const std::string help = Capture(VELUNAR_EXE " --help");
    for (const char* word : {"-win", "-full", "-debug", "--start SECONDS", "--at SECONDS --shot FILE.png",
                             "--capture FILE.mp4", "--fps N", "--setup", "--fill", "--scale N | auto", "--help",
                             "--version"})
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
