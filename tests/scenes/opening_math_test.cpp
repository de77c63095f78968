// The opening scenes' arithmetic: the music levels, the pulse across the grid columns, and the
// band that scrolls in at 18.301 s.
#include "scenes/fx01_math.h"
#include "scenes/fx02_math.h"

#include <gtest/gtest.h>

#include <vector>

TEST(OpeningMath, LevelsFollowTheirBandsOnly) {
    EXPECT_EQ(Fx01Level(nullptr), 0);
    EXPECT_EQ(Fx02Level(nullptr), 0.0f);
    std::vector<float> s(512, 0.0f);
    EXPECT_EQ(Fx01Level(s.data()), 0);
    EXPECT_EQ(Fx02Level(s.data()), 0.0f);

    // Loud above band 128: neither level hears it.
    for (int i = 128; i < 512; ++i) s[i] = 1.0f;
    EXPECT_EQ(Fx01Level(s.data()), 0);
    EXPECT_EQ(Fx02Level(s.data()), 0.0f);
    // Bands 64 ... 127 count for fx02 only: a mean of one half, squared.
    for (int i = 64; i < 128; ++i) s[i] = 1.0f;
    EXPECT_EQ(Fx01Level(s.data()), 0);
    EXPECT_FLOAT_EQ(Fx02Level(s.data()), 0.25f);
    // Full scale everywhere: 255, and the mesh scale 8 L + 1.1 reaches 9.1.
    for (int i = 0; i < 64; ++i) s[i] = 1.0f;
    EXPECT_EQ(Fx01Level(s.data()), 255);
    EXPECT_FLOAT_EQ(8.0f * Fx02Level(s.data()) + 1.1f, 9.1f);
    // The level is truncated, not rounded: a mean of 0.5 gives 127.
    for (int i = 0; i < 64; ++i) s[i] = 0.5f;
    EXPECT_EQ(Fx01Level(s.data()), 127);
}

TEST(OpeningMath, PulseIsAWaveAcrossTheColumns) {
    // White always; alpha 128 |sin((ms / 100 + c + offset) pi / 10)|, with the tenth in single
    // precision: a shade above 0.1, so the crest truncates to 127.
    EXPECT_EQ(Fx01PulseColour(0.0f, 0, 0), 0x00FFFFFFu);
    EXPECT_EQ(Fx01PulseColour(0.0f, 5, 0), 0x7FFFFFFFu);
    EXPECT_EQ(Fx01PulseColour(0.0f, 10, 0) >> 24, 0u);
    EXPECT_EQ(Fx01PulseColour(0.0f, 0, 345), 0x7FFFFFFFu);
    EXPECT_EQ(Fx01PulseColour(0.0f, 1, 0), 0x27FFFFFFu);
    // The wave travels one column every 100 ms.
    for (unsigned c = 0; c < 52; ++c) {
        EXPECT_EQ(Fx01PulseColour(1300.0f, c, 0), Fx01PulseColour(0.0f, c + 13, 0)) << c;
        EXPECT_LE(Fx01PulseColour(4321.0f, c, 345) >> 24, 128u);
    }
}

TEST(OpeningMath, BandFadesInAndScrollsFrom18301) {
    EXPECT_EQ(Fx01BandAlpha(18.3f), 0);
    EXPECT_EQ(Fx01BandTop(18.3f), 0.0);
    // At 18.301 exactly the band shows at 15; it rises to 193 over 1.4 s and stays there.
    EXPECT_EQ(Fx01BandAlpha(18.301f), 15);
    EXPECT_EQ(Fx01BandAlpha(19.301f), 142);
    EXPECT_EQ(Fx01BandAlpha(19.701f), 193);
    EXPECT_EQ(Fx01BandAlpha(27.3f), 193);
    // One texture height every nine seconds.
    EXPECT_NEAR(Fx01BandTop(18.301f), 0.0, 1e-6);
    EXPECT_NEAR(Fx01BandTop(22.801f), 0.5, 1e-6);
    EXPECT_NEAR(Fx01BandTop(27.301f), 1.0, 1e-6);
}
