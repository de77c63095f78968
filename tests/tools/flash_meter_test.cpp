// The flash count of the photosensitivity guideline: what counts as a change, when two make a
// flash, and the worst seconds; and the band's relative luminance.
#include <gtest/gtest.h>

#include <vector>

#include "flash_meter.h"

namespace {

// `hits` dark frames a second at 60 fps, each two frames long, over a picture at `bright`.
std::vector<double> Strobe(double bright, double dark, int hits, int seconds = 2) {
    std::vector<double> l(static_cast<size_t>(60 * seconds), bright);
    for (int s = 0; s < seconds; ++s)
        for (int h = 0; h < hits; ++h) {
            const size_t at = static_cast<size_t>(s * 60 + 5 + h * (55 / hits));
            l[at] = l[at + 1] = dark;
        }
    return l;
}

int MostFlashes(const std::vector<double>& l) {
    const auto worst = flash::WorstWindows(flash::OpposingChanges(l), static_cast<int>(l.size()), 60, 3);
    return worst.empty() ? 0 : worst.front().flashes();
}

TEST(FlashMeter, ChangesCountOnlyWhenLargeEnoughAndDarkEnough) {
    // The drum break as measured: 0.11 down to 0.002, six hits a second.
    EXPECT_EQ(MostFlashes(Strobe(0.11, 0.002, 6)), 6);
    EXPECT_EQ(MostFlashes(Strobe(0.11, 0.002, 3)), 3);
    // Dimmed so the change stays under 0.1: no flash however often.
    EXPECT_EQ(MostFlashes(Strobe(0.11, 0.02, 8)), 0);
    // Bright flickers whose darker state stays at 0.80 or above are not flashes.
    EXPECT_EQ(MostFlashes(Strobe(1.0, 0.85, 8)), 0);
    EXPECT_EQ(MostFlashes(Strobe(1.0, 0.7, 4)), 4);
    // A slow change split over many frames still counts once it adds up, and a fade down and
    // back up is one flash.
    std::vector<double> fade;
    for (int i = 0; i <= 24; ++i) fade.push_back(0.5 - i / 64.0);
    for (int i = 1; i <= 25; ++i) fade.push_back(0.125 + i / 64.0);
    const std::vector<int> changes = flash::OpposingChanges(fade);
    ASSERT_EQ(changes.size(), 2u);
    EXPECT_EQ(changes[0], 7);   // 7/64 below the top
    EXPECT_EQ(changes[1], 31);  // 7/64 above the bottom, reached at frame 24
}

TEST(FlashMeter, WorstWindowsAreTheBestOfTheirStretchAndDoNotOverlap) {
    std::vector<double> l(600, 0.5);
    // Two bursts of dark frames four seconds apart, the second stronger.
    for (int k = 0; k < 4; ++k) l[static_cast<size_t>(30 + k * 10)] = 0.1;
    for (int k = 0; k < 6; ++k) l[static_cast<size_t>(300 + k * 8)] = 0.1;
    const std::vector<int> changes = flash::OpposingChanges(l);
    EXPECT_EQ(changes.size(), 20u);
    const auto worst = flash::WorstWindows(changes, 600, 60, 5);
    ASSERT_EQ(worst.size(), 2u);
    EXPECT_EQ(worst[0].flashes(), 6);
    EXPECT_GE(worst[0].start, 300 - 59);
    EXPECT_LE(worst[0].start, 300);
    EXPECT_EQ(worst[1].flashes(), 4);
    EXPECT_TRUE(flash::WorstWindows({}, 600, 60, 5).empty());
}

TEST(FlashMeter, MeanLuminanceDecodesSrgbOverTheRowsAsked) {
    // Two rows of 2 pixels, BGRA: white and black above, sRGB grey 128 and pure green below.
    const std::vector<std::uint8_t> picture = {255, 255, 255, 255, 0, 0, 0, 255,  //
                                               128, 128, 128, 255, 0, 255, 0, 255};
    EXPECT_DOUBLE_EQ(flash::MeanLuminance(picture.data(), 2, 0, 1), 0.5);
    EXPECT_NEAR(flash::MeanLuminance(picture.data(), 2, 1, 2), (0.21586 + 0.7152) / 2, 1e-4);
    EXPECT_EQ(flash::MeanLuminance(picture.data(), 2, 1, 1), 0.0);
}

}  // namespace
