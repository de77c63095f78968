// The sprite's frame clock and its defaults, without a device.
#include "resources/sprite.h"

#include <gtest/gtest.h>

namespace {

TEST(SpriteConstruction, NullPathLeavesItUnloadedWithDefaults) {
    CSprite s(nullptr, false, nullptr, nullptr);
    EXPECT_FALSE(s.m_bLoaded);
    EXPECT_EQ(s.m_dwColor, 0xffffffffu);
    EXPECT_EQ(s.m_fScale, 1.0f);
    EXPECT_EQ(s.m_nSingleFrame, 1);
    EXPECT_EQ(s.GetFrameTexture(), -1);
}

TEST(SpriteFrames, SingleFrameStaysAtZeroAndTheClockStartsOnFirstUpdate) {
    CSprite s(nullptr, false, nullptr, nullptr);
    s.UpdateFrame(1234.0f);
    EXPECT_EQ(s.m_fStartTime, 1234.0f);
    s.UpdateFrame(99999.0f);
    EXPECT_EQ(s.m_nCurrentFrame, 0);
    EXPECT_EQ(s.m_fStartTime, 1234.0f);
}

TEST(SpriteFrames, AnimationCyclesOverItsRangeAtItsRate) {
    CSprite s(nullptr, false, nullptr, nullptr);
    for (int i = 0; i < 4; ++i) s.AddFrameTexture(10 + i);
    ASSERT_EQ(s.GetFrameCount(), 4);
    s.m_nSingleFrame = 0;
    s.m_fFrameRate = 10.0f;  // one frame per 100 ms
    s.m_nFirstFrame = 1;
    s.m_nLastFrame = 3;
    const struct {
        float t;
        int frame;
    } steps[] = {{1000, 1}, {1099, 1}, {1100, 2}, {1250, 3}, {1300, 1}, {1900, 1}, {2050, 2}, {2150, 3}, {2199, 3}, {2200, 1}};
    for (const auto& st : steps) {
        s.UpdateFrame(st.t);
        EXPECT_EQ(s.m_nCurrentFrame, st.frame) << "t " << st.t;
        EXPECT_EQ(s.GetFrameTexture(), 10 + st.frame);
    }
}

TEST(SpriteFrames, ARangePastTheFramesPresentNeverIndexesOutside) {
    CSprite s(nullptr, false, nullptr, nullptr);
    s.AddFrameTexture(5);
    s.AddFrameTexture(6);
    s.m_nSingleFrame = 0;
    s.m_fFrameRate = 1000.0f;
    s.m_nFirstFrame = 0;
    s.m_nLastFrame = 7;
    for (int ms = 1; ms < 40; ++ms) {
        s.UpdateFrame(static_cast<float>(ms));
        EXPECT_GE(s.m_nCurrentFrame, 0);
        EXPECT_LT(s.m_nCurrentFrame, 2);
        EXPECT_TRUE(s.GetFrameTexture() == 5 || s.GetFrameTexture() == 6);
    }
}

}  // namespace
