// Frames of fx07, fx08 and fx06 through `velunar --at`. Each case gives the program a data folder
// of its own in which the pictures that would hide what is checked are replaced by plain ones
// (a red point sprite on a black stage, white logos, red credits, a blue closing image).
#include "frame_runner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

void WritePng(const std::string& name, int w, int h, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    ASSERT_TRUE(velunar_test::WritePng(Replace(name), Frame(w, h, r, g, b)));
}

void WriteJpeg(const std::string& name, int w, int h, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    ASSERT_TRUE(velunar_test::WriteJpeg(Replace(name), Frame(w, h, r, g, b), 100));
}

::testing::AssertionResult PixelNear(const Frame& f, int x, int y, int r, int g, int b, int tol) {
    const std::uint8_t* p = f.at(x, y);
    if (std::abs(p[0] - r) <= tol && std::abs(p[1] - g) <= tol && std::abs(p[2] - b) <= tol)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "(" << x << ", " << y << ") is " << int(p[0]) << ", " << int(p[1]) << ", "
                                         << int(p[2]) << "; expected " << r << ", " << g << ", " << b;
}

TEST(FinaleFrames, Fx07FlaresDarkenOnlyTheBandsEdges) {
    PrivateData();
    // A skyline that is transparent everywhere leaves the flares and the white frame in view.
    WriteJpeg("8802alpha.jpg", 1024, 512, 0, 0, 0);
    WriteJpeg("flarainv.jpg", 128, 128, 128, 128, 128);
    Frame f = RenderAt(66.0);
    ExpectBars(f);
    // Top flares sit on rows 115-122 at a fifth of 128 pixels, bottom ones on 457-470 at two fifths.
    EXPECT_GE(f.Mean(200, 140, 800, 430), 254.5);
    EXPECT_LT(f.Mean(0, 110, 800, 128), 160.0);
    EXPECT_LT(f.Mean(0, 450, 800, 480), 160.0);
    // Multiplied into white: where a flare lies the frame is at most the flare's grey.
    EXPECT_GT(Count(f, 0, 112, 800, 126, [](const std::uint8_t* p) { return p[0] <= 130; }), 4000);
}

TEST(FinaleFrames, Fx08StripsShowUntilTheirFadeAndPointsRiseAfter127909) {
    PrivateData();
    // A black stage: band, grid texture, flare and the rings' map; red point sprites; white logos.
    WriteJpeg("under.jpg", 64, 64, 0, 0, 0);
    WriteJpeg("h3.jpg", 64, 64, 0, 0, 0);
    WriteJpeg("flara1.jpg", 128, 128, 0, 0, 0);
    WriteJpeg("flarabezinv.jpg", 64, 64, 255, 0, 0);
    WriteJpeg("qll.jpg", 256, 64, 255, 255, 255);
    WriteJpeg("hlv.jpg", 256, 64, 255, 255, 255);
    auto red = [](const std::uint8_t* p) { return p[0] > 60 && p[1] < 30 && p[2] < 30; };

    // At 120 s the strips add white at alpha 139; the rings stay clear of the band's left edge.
    Frame strips = RenderAt(120.0);
    ExpectBars(strips);
    EXPECT_NEAR(strips.Mean(0, 110, 80, 240), 139.0, 4.0);
    EXPECT_NEAR(strips.Mean(0, 260, 80, 490), 139.0, 4.0);
    EXPECT_EQ(Count(strips, 0, 100, 800, 500, red), 0);

    // 127.9 s: the strips have faded out and the points have not begun.
    Frame before = RenderAt(127.9);
    ExpectBars(before);
    EXPECT_LT(before.Max(0, 110, 80, 490), 8);
    EXPECT_EQ(Count(before, 0, 100, 800, 500, red), 0);

    // 131.5 s: the points are up at half opacity, red from their texture, added to black.
    Frame points = RenderAt(131.5);
    ExpectBars(points);
    EXPECT_GT(Count(points, 0, 100, 800, 500, red), 200);
    int brightest = 0;
    for (int y = 100; y < 500; ++y)
        for (int x = 0; x < 800; ++x) brightest = std::max(brightest, int(points.at(x, y)[1]));
    EXPECT_LT(brightest, 30);  // no green or blue: the colour is the texture's
}

TEST(FinaleFrames, Fx06CreditsPopInThenTheClosingBandTakesOver) {
    PrivateData();
    for (const char* name : {"cre1.png", "cre2.png", "cre3.png", "cre4.png"}) WritePng(name, 256, 256, 255, 0, 0);
    WritePng("vosk.png", 256, 256, 0, 0, 255);
    // The credits' centres, in the order they appear.
    const int centres[7][2] = {{128, 150}, {95, 250}, {100, 350}, {138, 430}, {660, 170}, {695, 225}, {675, 355}};
    auto isRed = [](const Frame& f, int x, int y) {
        const std::uint8_t* p = f.at(x, y);
        return p[0] > 240 && p[1] < 8 && p[2] < 8;
    };

    Frame none = RenderAt(151.45);
    ExpectBars(none);
    for (const auto& c : centres) EXPECT_FALSE(isRed(none, c[0], c[1])) << c[0] << ", " << c[1];

    Frame all = RenderAt(152.1);
    ExpectBars(all);
    for (const auto& c : centres) EXPECT_TRUE(isRed(all, c[0], c[1])) << c[0] << ", " << c[1];

    // 157.5 s: a credit at half opacity over white, then the band's blue at alpha 127.
    Frame half = RenderAt(157.5);
    ExpectBars(half);
    EXPECT_TRUE(PixelNear(half, 30, 150, 128, 64, 191, 4));

    // 162 s: the band is opaque.
    Frame opaque = RenderAt(162.0);
    ExpectBars(opaque);
    EXPECT_TRUE(PixelNear(opaque, 400, 300, 0, 0, 255, 1));
    EXPECT_TRUE(PixelNear(opaque, 30, 150, 0, 0, 255, 1));

    // 167.5 s: the band half gone over white, the black fade half up.
    Frame fading = RenderAt(167.5);
    ExpectBars(fading);
    EXPECT_TRUE(PixelNear(fading, 400, 300, 64, 64, 128, 4));

    // 170 s, the last frame: dark, not the closing image again.
    Frame last = RenderAt(170.0);
    ExpectBars(last);
    EXPECT_LT(last.Max(0, 100, 800, 500), 4);
}

}  // namespace
