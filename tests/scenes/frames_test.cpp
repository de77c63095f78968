// Frames of the show rendered offscreen with --at and checked against what must be on screen.
#include "frame_runner.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

const std::string kData = std::string(VELUNAR_RUN_DIR) + "/data/";

TEST(ShowFrames, IntroStartsBlack) {
    Frame f = RenderAt(-5.0);
    ASSERT_TRUE(f.ok());
    EXPECT_EQ(f.width, 800);
    EXPECT_EQ(f.height, 600);
    EXPECT_EQ(f.Max(0, 0, 800, 600), 0);
}

TEST(ShowFrames, IntroPictureTexelForTexel) {
    Frame picture = ReadJpeg(kData + "hlvqll.jpg");
    ASSERT_TRUE(picture.ok());
    Frame f = RenderAt(-3.0);
    ExpectBars(f);
    // Centred on (400, 300) at scale 1, alpha 254/255 over black.
    const int x0 = 400 - picture.width / 2, y0 = 300 - picture.height / 2;
    int worst = 0;
    for (int y = 0; y < picture.height; y += 3) {
        const int sy = y0 + y;
        if (sy < 100 || sy >= 500) continue;
        for (int x = 0; x < picture.width; x += 3) {
            const int sx = x0 + x;
            if (sx < 0 || sx >= 800) continue;
            for (int c = 0; c < 3; ++c) {
                int want = picture.at(x, y)[c] * 254 / 255;
                worst = std::max(worst, std::abs(f.at(sx, sy)[c] - want));
            }
        }
    }
    EXPECT_LE(worst, 2);
}

TEST(ShowFrames, IntroWashesToWhiteAndTheMusicStartsWhite) {
    Frame half = RenderAt(-0.5);
    Frame picture = RenderAt(-3.0);
    ExpectBars(half);
    // Half-way through the wash every band pixel lies half-way between the picture and white.
    int worst = 0;
    for (int y = 100; y < 500; y += 7)
        for (int x = 0; x < 800; x += 7)
            for (int c = 0; c < 3; ++c) {
                int want = (picture.at(x, y)[c] + 255) / 2;
                worst = std::max(worst, std::abs(half.at(x, y)[c] - want));
            }
    EXPECT_LE(worst, 3);
    Frame first = RenderAt(0.0);
    ExpectBars(first);
    EXPECT_GE(first.Mean(0, 100, 800, 500), 254.0);
}

TEST(ShowFrames, SameTimeSameFrame) { ExpectSameFrameTwice(50.0); }

TEST(ShowFrames, FlashDarkensTheBridge) {
    Frame flash = RenderAt(45.95);
    Frame clear = RenderAt(46.05);
    ExpectBars(flash);
    ExpectBars(clear);
    EXPECT_LT(flash.Mean(0, 100, 800, 500), 0.7 * clear.Mean(0, 100, 800, 500));
}

TEST(ShowFrames, FlowerSceneFadesToWhite) {
    Frame f = RenderAt(63.95);
    ExpectBars(f);
    EXPECT_GT(f.Mean(0, 100, 800, 500), 200.0);
}

// Pixels of the flower's chrome (bright cyan from its sphere map) in the band.
int ChromePixels(const Frame& f) {
    int n = 0;
    for (int y = 100; y < 500; y += 2)
        for (int x = 0; x < 800; x += 2) {
            const std::uint8_t* p = f.at(x, y);
            n += p[1] > 140 && p[2] > 170 && p[0] < 150;
        }
    return n;
}

// In silence the ghost is not shaken and stays on the flower, so only the descent changes the
// picture; with music its place follows the start-up's random draws.
TEST(ShowFrames, FlowerGrowsAsTheCameraDescends) {
    const int early = ChromePixels(RenderSilentAt(48.7));
    const int middle = ChromePixels(RenderSilentAt(52.7));
    const int low = ChromePixels(RenderSilentAt(57.5));
    EXPECT_LT(early, middle);
    EXPECT_LT(middle, low);
}

TEST(ShowFrames, StartUpLogInOrder) {
    g_keepLog = true;
    Frame f = RenderAt(-5.0);
    g_keepLog = false;
    ASSERT_TRUE(f.ok());
    std::FILE* file = std::fopen(RunLogPath().c_str(), "r");
    ASSERT_NE(file, nullptr);
    std::string log;
    char buf[4096];
    for (size_t n; (n = std::fread(buf, 1, sizeof buf, file)) > 0;) log.append(buf, n);
    std::fclose(file);
    const char* lines[] = {
        "CLogger::CLogger : Starting debug session on ",
        "CTextureManager::CTextureManager : Initialized and waiting for orders...",
        "Successfully loaded [tex1] from  data/back2.jpg",
        "Successfully loaded [white] from  data/white.jpg",
        "[CPaski]",
        "CMouse::CMouse : DirectInput device created",
        "CKeyboard::CKeyboard : DirectInput device created",
        "[flarencja]",
        "[hlvqll]",
        "[fx09_tlo]",
        "[fx10_tlo]",
        "cObject : Loaded data/flower.obj",
        "CLogger::~CLogger : Ending debug session on ",
    };
    size_t at = 0;
    for (const char* line : lines) {
        size_t found = log.find(line, at);
        EXPECT_NE(found, std::string::npos) << line;
        if (found != std::string::npos) at = found;
    }
}

TEST(ShowFrames, TimesOutsideTheShowAreRefused) {
    int status = 0;
    EXPECT_FALSE(RenderAt(171.0, &status).ok());
    EXPECT_EQ(status, 2);
    EXPECT_FALSE(RenderAt(-6.0, &status).ok());
    EXPECT_EQ(status, 2);
}

}  // namespace
