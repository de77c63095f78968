// The viewer's keys in a real window: a paused picture holds, a seek shows what --at shows at the
// same demo clock, Page Down lands on the next scene's first frame, and --loop starts the show
// again after its end. Every step waits on what the program logs or writes, never on a guess.
#include <fstream>
#include <regex>
#include <sstream>

#include "e2e/x_session.h"
#include "scenes/frame_runner.h"

namespace {

// A 24-bit BMP as top-down RGB.
Frame ReadBmp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<unsigned char> b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    Frame f;
    if (b.size() < 54) return f;
    auto i32 = [&](size_t at) {
        return static_cast<std::int32_t>(b[at] | b[at + 1] << 8 | b[at + 2] << 16 |
                                         static_cast<std::uint32_t>(b[at + 3]) << 24);
    };
    const int w = i32(18), h = i32(22), offset = i32(10);
    const int rows = std::abs(h);
    const size_t stride = (static_cast<size_t>(w) * 3 + 3) / 4 * 4;
    if (b.size() < static_cast<size_t>(offset) + stride * rows) return f;
    f.width = w;
    f.height = rows;
    f.rgb.resize(static_cast<size_t>(w) * rows * 3);
    for (int y = 0; y < rows; ++y) {
        const unsigned char* src = &b[offset + stride * static_cast<size_t>(h > 0 ? rows - 1 - y : y)];
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < 3; ++c) f.rgb[(static_cast<size_t>(y) * w + x) * 3 + c] = src[x * 3 + 2 - c];
    }
    return f;
}

// What the program logs when it pauses and when it jumps; the first group is the demo clock.
const char* const kPaused = R"(Viewer : paused \(clock ([0-9]+) ms\))";
const char* const kJump = R"(Viewer : jump to demo time -?[0-9.]+ \(clock ([0-9]+) ms\))";

class ViewerRun : public WindowRun {
protected:
    // Starts the program with args; its window's id, or "" after reporting that none appeared.
    std::string StartAndFind(std::vector<std::string> args) {
        Start(std::move(args));
        const std::string id = FindWindow();
        if (id.empty()) ADD_FAILURE() << "no window with the demo's class appeared" << LogSoFar();
        return id;
    }
    // Escape ends the program with status 0.
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
    // Waits for the n-th (from 1) line matching `re`; its first group, or "" after the limit.
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
    void Press(const std::string& id, const std::string& key) {
        Xdotool("windowfocus --sync " + id);
        Xdotool("keydown " + key);
        std::this_thread::sleep_for(150ms);
        Xdotool("keyup " + key);
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
    // The F11 shot of the frame shown now equals --at at demo time t.
    void ExpectShotIsAt(const std::string& id, double t) {
        const Frame shot = ReadBmp(Shot(id));
        const Frame at = RenderAt(t);
        ASSERT_TRUE(shot.ok() && at.ok()) << t;
        EXPECT_TRUE(shot.rgb == at.rgb) << "the shot differs from --at " << t;
    }
    std::vector<fs::path> Shots() const {
        std::vector<fs::path> shots;
        for (const auto& e : fs::directory_iterator(dir_))
            if (e.path().filename().string().rfind("shot", 0) == 0) shots.push_back(e.path());
        std::sort(shots.begin(), shots.end());
        return shots;
    }
};

double DemoTimeOfClock(const std::string& ms) { return std::stol(ms) / 1000.0 - 5.0; }

// Pause, two shots a second apart, a seek, a scene jump and Home while paused; shots against --at.
TEST_F(ViewerRun, PausedSeekSceneJumpAndHomeShowWhatAtShows) {
    // fx02, whose effects carry nothing from an earlier visit: a jump's replay reproduces --at.
    const std::string id = StartAndFind({"-win", "-debug", "--start", "30"});
    ASSERT_FALSE(id.empty());
    const std::string pausedMs = PressUntilLogged(id, "space", kPaused, 1);
    ASSERT_FALSE(pausedMs.empty()) << LogSoFar();

    const fs::path first = Shot(id);
    ASSERT_FALSE(first.empty()) << LogSoFar();
    std::this_thread::sleep_for(1s);
    const fs::path second = Shot(id);
    ASSERT_FALSE(second.empty()) << LogSoFar();
    const Frame a = ReadBmp(first), b = ReadBmp(second);
    ASSERT_TRUE(a.ok() && b.ok());
    EXPECT_TRUE(a.rgb == b.rgb) << "the paused picture changed between " << first << " and " << second;

    const std::string seekMs = PressUntilLogged(id, "Right", kJump, 1);
    ASSERT_FALSE(seekMs.empty()) << LogSoFar();
    EXPECT_EQ(std::stol(seekMs), std::stol(pausedMs) + 5000);
    ExpectShotIsAt(id, DemoTimeOfClock(seekMs));

    // From fx02, the next scene is fx09, whose first millisecond is 50900 (45.899 s is fx02's).
    // Its first frame draws with what the shared grid holds: after the jump, what start-up left
    // there, as in --at, not what fx02's frames left.
    const std::string sceneMs = PressUntilLogged(id, "Next", kJump, 2);
    ASSERT_FALSE(sceneMs.empty()) << LogSoFar();
    EXPECT_EQ(std::stol(sceneMs), 50900);
    ExpectShotIsAt(id, DemoTimeOfClock(sceneMs));
    // Home: the title picture, still paused.
    EXPECT_EQ(PressUntilLogged(id, "Home", kJump, 3), "0") << LogSoFar();
    ExpectShotIsAt(id, -5.0);

    ExpectCleanExit(id);
}

// fx04's stripes (from 70 s), fx03's captions (90 s) and fx08's rising points (129 s) take their
// start from the first frame they are drawn in: seeking away and back must not keep what this
// run's frames left in them, but show what a run started at the shown time shows.
class SeekRun : public ViewerRun, public ::testing::WithParamInterface<int> {};

TEST_P(SeekRun, BackAndForthShowsWhatAtShows) {
    const std::string id = StartAndFind({"-win", "-debug", "--start", std::to_string(GetParam())});
    ASSERT_FALSE(id.empty());
    const std::string pausedMs = PressUntilLogged(id, "space", kPaused, 1);
    ASSERT_FALSE(pausedMs.empty()) << LogSoFar();

    const char* keys[] = {"Right", "Left", "Left", "Right"};
    for (int i = 0; i < 4; ++i) {
        const std::string ms = PressUntilLogged(id, keys[i], kJump, i + 1);
        ASSERT_FALSE(ms.empty()) << keys[i] << LogSoFar();
        ExpectShotIsAt(id, DemoTimeOfClock(ms));
    }

    ExpectCleanExit(id);
}

INSTANTIATE_TEST_SUITE_P(CarriedState, SeekRun, ::testing::Values(70, 90, 129));

// Started near the end with --loop, the show passes 170 s, jumps to the title and plays on.
TEST_F(ViewerRun, LoopStartsAgainFromTheTitle) {
    const std::string id = StartAndFind({"-win", "-debug", "--loop", "--start", "168"});
    ASSERT_FALSE(id.empty());
    ASSERT_FALSE(WaitForLog(R"(Viewer : jump to demo time (-5\.000))", 1, 60s).empty()) << LogSoFar();
    // The second pass runs on: the window title's demo time leaves the lead-in.
    std::string title;
    for (int i = 0; i < 600; ++i) {
        title = Xdotool("getwindowname " + id);
        if (std::regex_search(title, std::regex(R"(^ *[0-9]+\.[0-9]+ -)"))) break;
        std::this_thread::sleep_for(100ms);
    }
    EXPECT_TRUE(std::regex_search(title, std::regex(R"(^ *[0-9]+\.[0-9]+ -)"))) << title;
    ExpectCleanExit(id);
}

}  // namespace
