// Scene fx03 through `velunar --at`: the sculptures right of and below the centre, the captions in
// the scene's first seconds, one picture per time, and a show without its caption file.
#include "frame_runner.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;

constexpr double kSceneStart = 86.814;
// Left of this column the sculptures do not reach in the frames these cases render: only captions.
constexpr int kCaptionsOnly = 400;

// Caption pixels: white text, so grey and clearly lit.
int GreyPixels(const Frame& f, int x0, int x1) {
    int n = 0;
    for (int y = 100; y < 500; ++y)
        for (int x = x0; x < x1; ++x) {
            const std::uint8_t* p = f.at(x, y);
            if (p[0] > 60 && p[0] == p[1] && p[1] == p[2]) ++n;
        }
    return n;
}

// A run folder in this process's own folder whose data/ holds everything but the caption file.
Frame RenderWithoutCaptions(double t, std::string* log) {
    const std::string work = std::string(VELUNAR_TEST_TMP) + "/nocaptions";
    std::error_code ec;
    fs::remove_all(work, ec);
    fs::create_directories(work + "/data");
    for (const auto& e : fs::directory_iterator(std::string(VELUNAR_RUN_DIR) + "/data"))
        if (e.path().filename() != "napisy.ini") fs::create_symlink(e.path(), work + "/data/" + e.path().filename().string());
    fs::create_symlink(std::string(VELUNAR_RUN_DIR) + "/velunar.mp3", work + "/velunar.mp3", ec);
    const std::string shot = work + "/frame.png";
    char cmd[1024];
    std::snprintf(cmd, sizeof cmd,
                  "cd '%s' && SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy '%s' --at %.4f --shot '%s' -debug >/dev/null 2>&1",
                  work.c_str(), VELUNAR_EXE, t, shot.c_str());
    if (std::system(cmd) != 0) return {};
    std::ifstream in(work + "/debug.txt");
    std::stringstream ss;
    ss << in.rdbuf();
    *log = ss.str();
    return ReadPng(shot);
}

TEST(Fx03Frames, SculpturesSitRightOfAndBelowTheCentre) {
    // Past the fade from white, before the first caption (at least a second into the scene).
    Frame f = RenderAt(kSceneStart + 0.9);
    ExpectBars(f);
    EXPECT_EQ(f.Max(0, 100, kCaptionsOnly, 500), 0);
    long count = 0;
    double sx = 0, sy = 0;
    for (int y = 100; y < 500; ++y)
        for (int x = 0; x < 800; ++x) {
            const std::uint8_t* p = f.at(x, y);
            if (p[0] + p[1] + p[2] < 60) continue;
            ++count;
            sx += x;
            sy += y;
        }
    ASSERT_GT(count, 5000);
    // Shifted 0.83 half-widths right and 0.32 half-heights down: about (732, 396).
    EXPECT_GT(sx / count, 620.0);
    EXPECT_GT(sy / count, 320.0);
}

TEST(Fx03Frames, CaptionsShowWithinTheFirstSixSeconds) {
    EXPECT_EQ(GreyPixels(RenderAt(kSceneStart + 0.95), 0, kCaptionsOnly), 0);
    // Every caption has shown by 5.95 s into the scene and stays for 3 s.
    int shown = 0;
    for (double t : {90.0, 91.5, 92.8}) {
        Frame f = RenderAt(t);
        ExpectBars(f);
        shown += GreyPixels(f, 0, kCaptionsOnly);
    }
    EXPECT_GT(shown, 300);
}

TEST(Fx03Frames, SameTimeSamePicture) { ExpectSameFrameTwice(97.0); }

TEST(Fx03Frames, WithoutTheCaptionFileOnlyTheSculptures) {
    std::string log;
    Frame bare = RenderWithoutCaptions(92.8, &log);
    ExpectBars(bare);
    EXPECT_NE(log.find("CIni::Open : cannot open data/napisy.ini"), std::string::npos);
    EXPECT_EQ(bare.Max(0, 100, kCaptionsOnly, 500), 0);
    EXPECT_GT(bare.Mean(kCaptionsOnly, 100, 800, 500), 10.0);
    // The captioned frame is the same sculptures with text blended over some of them.
    Frame captioned = RenderAt(92.8);
    ASSERT_TRUE(captioned.ok());
    long sculpture = 0, untouched = 0;
    int lighter = 0;
    for (size_t i = 0; i < bare.rgb.size(); ++i) {
        if (captioned.rgb[i] > bare.rgb[i] + 1) ++lighter;
        if (bare.rgb[i] == 0) continue;
        ++sculpture;
        if (captioned.rgb[i] == bare.rgb[i]) ++untouched;
    }
    EXPECT_GT(lighter, 300);
    EXPECT_GT(untouched, sculpture * 9 / 10) << untouched << " of " << sculpture;
}

}  // namespace
