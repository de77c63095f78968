// The music player over the real sound library, with a short MP3 and a tiny module made here.
#include <gtest/gtest.h>

#include <cmath>

#include "platform/fsound/fmod.h"
#include "platform/fsound/fsound_ext.h"
#include "platform/window/clock.h"
#include "sound/fmod_music_player.h"
#include "sound_fixtures.h"

namespace {

using namespace sound_fixtures;

class PlayerOverLibrary : public ::testing::Test {
protected:
    void SetUp() override {
        velunar::clock::UseVirtual(true);
        velunar::clock::SetVirtualTime(10000);
        FSOUND_Velunar_UseVirtualClock(true);
    }
    void TearDown() override {
        FSOUND_Close();
        FSOUND_Velunar_UseVirtualClock(false);
        velunar::clock::UseVirtual(false);
    }
    static std::string Track() {
        std::string path = TempPath("Track.MP3");
        WriteMp3(path, 44100, Synth(44100 * 2, [](int i, int) { return 0.4 * std::sin(i * 0.02); }));
        return path;
    }
};

TEST_F(PlayerOverLibrary, TheDemoSequenceStartsTheTrackAtFullVolume) {
    FmodMusicPlayer player(reinterpret_cast<HWND>(0x1));
    ASSERT_TRUE(player.Init());
    ASSERT_TRUE(player.Load(Track().c_str(), 1));
    EXPECT_EQ(player.m_nKind, MusicPlayer::kStream);
    EXPECT_FALSE(player.SetVolume(0.1f));
    ASSERT_TRUE(player.Play(0));
    ASSERT_TRUE(player.SetVolume(1.0f));
    EXPECT_EQ(FSOUND_GetVolume(0), 256);
    FSOUND_DSP_SetActive(FSOUND_DSP_GetFFTUnit(), TRUE);
    velunar::clock::SetVirtualTime(11250);
    EXPECT_EQ(player.GetTime(), 1250);
    EXPECT_EQ(player.GetPosition(), 1250 * 441 / 10);
    ASSERT_NE(FSOUND_DSP_GetSpectrum(), nullptr);
    player.SetPosition(0);
    EXPECT_EQ(player.GetTime(), 0);
    EXPECT_TRUE(player.Stop());
    EXPECT_EQ(player.GetTime(), 0);  // the stream is closed; its handle stays harmless
    EXPECT_TRUE(player.Free());
}

TEST_F(PlayerOverLibrary, AMissingTrackLeavesTheShowSilentAndPlayRefused) {
    FmodMusicPlayer player(nullptr);
    ASSERT_TRUE(player.Init());
    EXPECT_FALSE(player.Load(TempPath("absent.mp3").c_str(), 1));
    EXPECT_EQ(player.m_bInitialized, 1);
    // The library is closed now: every later call is refused, frame after frame.
    for (int frame = 0; frame < 3; ++frame) {
        EXPECT_FALSE(player.Play(0));
        EXPECT_FALSE(player.SetVolume(1.0f));
        FSOUND_DSP_SetActive(FSOUND_DSP_GetFFTUnit(), TRUE);
        EXPECT_EQ(FSOUND_DSP_GetSpectrum(), nullptr);
    }
    EXPECT_EQ(player.m_bPlaying, 0);
    // Loading again reaches the closed library and fails the same way.
    EXPECT_FALSE(player.Load(Track().c_str(), 1));
}

TEST_F(PlayerOverLibrary, ModuleTimeIsZeroAndItsOrderFollowsTheClock) {
    std::string path = TempPath("tiny.mod");
    ASSERT_TRUE(WriteMod(path));
    FmodMusicPlayer player(nullptr);
    ASSERT_TRUE(player.Init());
    ASSERT_TRUE(player.Load(path.c_str(), 1));
    EXPECT_EQ(player.m_nKind, MusicPlayer::kModule);
    ASSERT_TRUE(player.Play(0));
    EXPECT_TRUE(player.SetVolume(1.0f));
    velunar::clock::SetVirtualTime(10000 + 8400);
    EXPECT_EQ(player.GetTime(), 0);
    EXPECT_EQ(player.GetOrder(), 1);
    EXPECT_EQ(player.GetPosition(), 1);
    player.SetOrder(0);
    EXPECT_EQ(player.GetOrder(), 0);
    EXPECT_TRUE(player.Stop());
    EXPECT_TRUE(player.Free());
}

TEST_F(PlayerOverLibrary, TheOutputRateChosenBeforeInitIsTheMixingRate) {
    FmodMusicPlayer player(nullptr);
    player.m_nOutputRate = 22050;
    ASSERT_TRUE(player.Init());
    EXPECT_EQ(FSOUND_GetOutputRate(), 22050);
    ASSERT_TRUE(player.Load(Track().c_str(), 1));
    ASSERT_TRUE(player.Play(0));
    // The 44.1 kHz track was resampled: 2 s are 44100 frames at 22.05 kHz.
    EXPECT_EQ(FSOUND_Stream_GetLength(player.m_pStream), 44100);
    velunar::clock::SetVirtualTime(11000);
    EXPECT_EQ(player.GetTime(), 1000);
}

}  // namespace
