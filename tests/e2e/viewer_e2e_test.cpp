// The viewer's keys in a real window: a paused picture holds, a seek shows what --at shows at the
// same demo clock and places the music there, Page Down lands on the next scene's first frame,
// and --loop starts the show again after its end. Every step waits on what the program logs or writes, never on a guess.
#include <cstring>

#include "e2e/x_session.h"
#include "platform/fsound/pcm.h"
#include "scenes/frame_runner.h"

namespace {

class ViewerRun : public WindowRun {
protected:
    // The F11 shot of the frame shown now equals --at at demo time t.
    void ExpectShotIsAt(const std::string& id, double t) {
        const Frame shot = ReadBmp(Shot(id));
        const Frame at = RenderAt(t);
        ASSERT_TRUE(shot.ok() && at.ok()) << t;
        EXPECT_TRUE(shot.rgb == at.rgb) << "the shot differs from --at " << t;
    }
};

double DemoTimeOfClock(const std::string& ms) { return std::stol(ms) / 1000.0 - 5.0; }

const std::string kJump = R"(Viewer : jump to demo time -?[0-9.]+ \(clock ([0-9]+) ms\))";

// Pause, two shots a second apart, a seek, a scene jump and Home while paused; shots against --at.
TEST_F(ViewerRun, PausedSeekSceneJumpAndHomeShowWhatAtShows) {
    // fx02, whose effects carry nothing from an earlier visit: a jump's replay reproduces --at.
    const std::string id = StartAndFind({"-win", "-debug", "--start", "30"});
    ASSERT_FALSE(id.empty());
    const std::string pausedMs = Pause(id);
    ASSERT_FALSE(pausedMs.empty()) << LogSoFar();

    const fs::path first = Shot(id);
    ASSERT_FALSE(first.empty()) << LogSoFar();
    std::this_thread::sleep_for(1s);
    const fs::path second = Shot(id);
    ASSERT_FALSE(second.empty()) << LogSoFar();
    const Frame a = ReadBmp(first), b = ReadBmp(second);
    ASSERT_TRUE(a.ok() && b.ok());
    EXPECT_TRUE(a.rgb == b.rgb) << "the paused picture changed between " << first << " and " << second;

    const std::string& jump = kJump;
    const std::string seekMs = PressUntilLogged(id, "Right", jump, 1);
    ASSERT_FALSE(seekMs.empty()) << LogSoFar();
    EXPECT_EQ(std::stol(seekMs), std::stol(pausedMs) + 5000);
    ExpectShotIsAt(id, DemoTimeOfClock(seekMs));

    // From fx02, the next scene is fx09, whose first millisecond is 50900 (45.899 s is fx02's).
    // Its first frame draws with what the shared grid holds: after the jump, what start-up left
    // there, as in --at, not what fx02's frames left.
    const std::string sceneMs = PressUntilLogged(id, "Next", jump, 2);
    ASSERT_FALSE(sceneMs.empty()) << LogSoFar();
    EXPECT_EQ(std::stol(sceneMs), 50900);
    ExpectShotIsAt(id, DemoTimeOfClock(sceneMs));
    // Home: the title picture, still paused.
    EXPECT_EQ(PressUntilLogged(id, "Home", jump, 3), "0") << LogSoFar();
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
    ASSERT_FALSE(Pause(id).empty()) << LogSoFar();
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

// Page Down from fx10 lands on fx07's first millisecond, showing what --at shows there.
TEST_F(ViewerRun, PageDownLandsOnTheNextScenesFirstFrame) {
    const std::string id = StartAndFind({"-win", "-debug", "--start", "60"});
    ASSERT_FALSE(id.empty());
    ASSERT_FALSE(Pause(id).empty()) << LogSoFar();
    const std::string sceneMs = PressUntilLogged(id, "Next", kJump, 1);
    ASSERT_FALSE(sceneMs.empty()) << LogSoFar();
    const double t = DemoTimeOfClock(sceneMs);
    // The first whole millisecond whose float demo time reaches 63.989.
    EXPECT_NEAR(t, 63.989, 0.0015);
    ExpectShotIsAt(id, t);
    ExpectCleanExit(id);
}

// Where in the track each stretch of the written sound comes from: the output is the decoded
// track at full volume, sample for sample, so every stretch is found exactly.
struct Stretch {
    size_t at = 0;        // first frame in the written sound
    size_t from = 0;      // its frame in the track
    size_t frames = 0;
};
std::vector<Stretch> StretchesOfTrack(const std::vector<float>& out, const std::vector<float>& track) {
    constexpr size_t kProbe = 256;
    const size_t outFrames = out.size() / 2, trackFrames = track.size() / 2;
    auto same = [&](size_t o, size_t t, size_t n) {
        return std::equal(out.begin() + 2 * o, out.begin() + 2 * (o + n), track.begin() + 2 * t);
    };
    auto silent = [&](size_t o) {
        return std::all_of(out.begin() + 2 * o, out.begin() + 2 * (o + kProbe), [](float v) { return v == 0.0f; });
    };
    std::vector<Stretch> found;
    for (size_t o = 0; o + kProbe <= outFrames;) {
        if (!found.empty() && found.back().at + found.back().frames == o && found.back().from + found.back().frames + kProbe <= trackFrames &&
            same(o, found.back().from + found.back().frames, kProbe)) {
            found.back().frames += kProbe;
            o += kProbe;
            continue;
        }
        if (silent(o)) {
            o += kProbe;
            continue;
        }
        bool hit = false;
        for (size_t t = 0; t + kProbe <= trackFrames && !hit; ++t) {
            if (out[2 * o] != track[2 * t] || !same(o, t, kProbe)) continue;
            // Back to where the stretch begins, so it starts at the sample the music was placed on.
            size_t back = 0;
            while (back < o && back < t && same(o - back - 1, t - back - 1, 1) && !(out[2 * (o - back - 1)] == 0.0f && out[2 * (o - back - 1) + 1] == 0.0f)) ++back;
            if (!found.empty() && found.back().at + found.back().frames > o - back) found.back().frames = o - back - found.back().at;
            found.push_back({o - back, t - back, kProbe + back});
            hit = true;
        }
        o += kProbe;
    }
    return found;
}

// With the disk sound driver the program writes what it plays to a file: after a seek the music
// goes on from the demo time the picture jumped to.
TEST_F(ViewerRun, MusicFollowsASeek) {
    const fs::path written = dir_ / "played.raw";
    const std::string id =
        StartAndFind({"-win", "-debug", "--start", "30"}, {"SDL_AUDIODRIVER=disk", "SDL_DISKAUDIOFILE=" + written.string()});
    ASSERT_FALSE(id.empty());
    std::this_thread::sleep_for(1s);
    const std::string seekMs = PressUntilLogged(id, "Right", kJump, 1);
    ASSERT_FALSE(seekMs.empty()) << LogSoFar();
    const double seekT = DemoTimeOfClock(seekMs);
    // Two seconds of music after the jump, then the end.
    std::this_thread::sleep_for(2s);
    ExpectCleanExit(id);

    std::ifstream in(written, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<float> out(bytes.size() / sizeof(float));
    std::memcpy(out.data(), bytes.data(), out.size() * sizeof(float));
    velunar::fsound::Pcm pcm;
    std::string error;
    ASSERT_TRUE(velunar::fsound::DecodeFile(std::string(VELUNAR_RUN_DIR) + "/velunar.mp3", 0, pcm, error)) << error;
    std::vector<float> track(pcm.samples.size());
    std::transform(pcm.samples.begin(), pcm.samples.end(), track.begin(), [](std::int16_t v) { return v / 32768.0f; });

    const std::vector<Stretch> stretches = StretchesOfTrack(out, track);
    std::string seen;
    for (const Stretch& s : stretches)
        seen += " [" + std::to_string(s.from / double(pcm.rate)) + " s for " + std::to_string(s.frames / double(pcm.rate)) + " s]";
    ASSERT_GE(stretches.size(), 2u) << "the written sound holds the track at:" << seen;
    // Before the seek, the music from about 30 s; after it, from the shown time on.
    EXPECT_NEAR(stretches.front().from / double(pcm.rate), 30.0, 0.2) << seen;
    const Stretch& after = stretches.back();
    // Placed on the frame's own sample (measured: 35.894 s for a jump to 35.894 s); the device's
    // buffer, 1024 frames, is the most it may be off.
    EXPECT_NEAR(after.from / double(pcm.rate), seekT, 0.025) << "the jump went to " << seekT << " s; the track at:" << seen;
    EXPECT_GT(after.frames / double(pcm.rate), 1.0) << seen;
}

}  // namespace
