// The scenes' arithmetic: fx09's alpha rewrite, fx10's camera and music level.
#include "scenes/scene_kit_math.h"
#include "scenes/fx10_math.h"

#include <gtest/gtest.h>

#include <vector>

TEST(SceneMath, QuarterAlphaKeepsWhite) {
    EXPECT_EQ(QuarterAlphaWhite(0xFC123456u), 0x3FFFFFFFu);
    EXPECT_EQ(QuarterAlphaWhite(0xFFFFFFFFu), 0x3FFFFFFFu);
    EXPECT_EQ(QuarterAlphaWhite(0x03FFFFFFu), 0x00FFFFFFu);
    EXPECT_EQ(QuarterAlphaWhite(0x04000000u), 0x01FFFFFFu);
}

TEST(SceneMath, Fx10CameraDescendsThenStays) {
    EXPECT_FLOAT_EQ(Fx10CameraHeight(47.972f), 200.1f);
    EXPECT_NEAR(Fx10CameraHeight(52.722f), 105.1f, 1e-3);
    EXPECT_NEAR(Fx10CameraHeight(57.472f), 10.1f, 1e-3);
    EXPECT_NEAR(Fx10CameraHeight(60.0f), 10.1f, 1e-4);
    EXPECT_EQ(Fx10CameraHeight(63.9f), Fx10CameraHeight(60.0f));
}

TEST(SceneMath, SpectrumLevelIsTheMeanOfTheLowBands) {
    EXPECT_EQ(SpectrumLevel(nullptr), 0.0f);
    std::vector<float> s(512, 0.0f);
    EXPECT_EQ(SpectrumLevel(s.data()), 0.0f);
    for (int i = 0; i < 64; ++i) s[i] = 0.1f;
    for (int i = 64; i < 512; ++i) s[i] = 1.0f;
    EXPECT_NEAR(SpectrumLevel(s.data()), 0.1f, 1e-6);
}
