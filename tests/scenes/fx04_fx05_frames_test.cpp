// fx04 and fx05 as the show draws them: frames rendered offscreen with --at.
#include "frame_runner.h"

#include <gtest/gtest.h>

namespace {

// Black letterbox bars, and a band filled edge to edge: almost no pixel is near black.
void ExpectFilledBand(const Frame& f) {
    ASSERT_TRUE(f.ok());
    EXPECT_EQ(f.Max(0, 0, 800, 100), 0);
    EXPECT_EQ(f.Max(0, 500, 800, 600), 0);
    int dark = 0, total = 0;
    for (int y = 100; y < 500; y += 2)
        for (int x = 0; x < 800; x += 2) {
            const std::uint8_t* p = f.at(x, y);
            dark += p[0] + p[1] + p[2] < 45;
            ++total;
        }
    EXPECT_LT(dark, total / 100);
    EXPECT_GT(f.Mean(0, 100, 800, 500), 40.0);
}

int Luma(const Frame& f, int x, int y) {
    const std::uint8_t* p = f.at(x, y);
    return p[0] + p[1] + p[2];
}

// Pixels on thin horizontal lines of light: brighter than the rows 4 above and below, here and
// 24 pixels either side.
int StreakPixels(const Frame& f) {
    int n = 0;
    for (int y = 110; y < 490; ++y)
        for (int x = 30; x < 770; x += 3) {
            bool streak = true;
            for (int dx : {-24, 0, 24}) {
                const int c = Luma(f, x + dx, y);
                if (c - Luma(f, x + dx, y - 4) <= 20 || c - Luma(f, x + dx, y + 4) <= 20) {
                    streak = false;
                    break;
                }
            }
            n += streak;
        }
    return n;
}

TEST(Fx04Frames, GridsFoilAndBandFillTheBand) {
    for (double t : {70.0, 75.0, 80.0, 85.0}) {
        SCOPED_TRACE(t);
        ExpectFilledBand(RenderAt(t));
    }
}

TEST(Fx04Frames, StripesPulseWithTime) {
    // In silence the band over them stays at its faintest, so only the stripes' alpha changes:
    // 0 at 70 s and 73.333 s, close to 128 at 71.667 s.
    const int off = StreakPixels(RenderSilentAt(70.0));
    const int on = StreakPixels(RenderSilentAt(71.667));
    const int offAgain = StreakPixels(RenderSilentAt(73.333));
    EXPECT_GT(on, 4 * off);
    EXPECT_GT(on, 4 * offAgain);
}

TEST(Fx05Frames, GridsBandAndKnotFillTheBand) {
    for (double t : {106.0, 108.0}) {
        SCOPED_TRACE(t);
        ExpectFilledBand(RenderAt(t));
    }
}

}  // namespace
