// The music player's state machine against a recording stand-in for the sound library.
#include <gtest/gtest.h>

#include "fake_fmod.h"
#include "sound/fmod_music_player.h"

namespace {

using fake_fmod::Called;

class MusicPlayerTest : public ::testing::Test {
protected:
    void SetUp() override { fake_fmod::Reset(); }
    const std::vector<std::string>& Calls() { return fake_fmod::Get().calls; }
    HWND Window() { return reinterpret_cast<HWND>(0x42); }
};

TEST(MusicPlayerBase, EveryOperationDoesNothing) {
    MusicPlayer base;
    EXPECT_EQ(base.ShowSetupDialog(), 0);
    EXPECT_FALSE(base.Init());
    EXPECT_FALSE(base.Load("velunar.mp3", 1));
    EXPECT_FALSE(base.Play(0));
    EXPECT_FALSE(base.Reserved1(0));
    EXPECT_FALSE(base.SetVolume(1.0f));
    EXPECT_FALSE(base.Stop());
    EXPECT_FALSE(base.Free());
    EXPECT_EQ(base.GetTime() + base.GetRow() + base.GetPosition() + base.GetOrder(), 0);
    EXPECT_EQ(base.m_bInitialized + base.m_bPlaying + base.m_bLoaded + base.m_nKind, 0);
    EXPECT_FLOAT_EQ(base.m_fVolume, 1.0f);
    EXPECT_EQ(base.m_nOutputRate, 44100);
}

TEST_F(MusicPlayerTest, NamesAreClassifiedBySubstringOfTheLoweredName) {
    struct Case {
        const char* name;
        int kind;
    } cases[] = {
        {"velunar.mp3", 1},      {"TRACK.MP3", 1},     {"a.MP3.bak", 1}, {"x.wav", 1}, {"x.raw", 1},
        {"x.mp2", 1},            {"x.ogg", 1},         {"x.wma", 1},     {"tune.xm", 2}, {"tune.mod", 2},
        {"mp3", 2},              {"dir.wav/tune.it", 1},
    };
    for (const Case& c : cases) {
        fake_fmod::Reset();
        FmodMusicPlayer p(Window());
        ASSERT_TRUE(p.Init());
        ASSERT_TRUE(p.Load(c.name, 1)) << c.name;
        EXPECT_EQ(p.m_nKind, c.kind) << c.name;
        EXPECT_EQ(Called("FSOUND_Stream_OpenFile"), c.kind == 1) << c.name;
        EXPECT_EQ(Called("FMUSIC_LoadSong"), c.kind == 2) << c.name;
    }
    FmodMusicPlayer p(Window());
    p.Init();
    p.Load("Dir/A.Mp3.Old", 1);
    EXPECT_STREQ(p.m_pszLoweredName, "dir/a.mp3.old");
    // The library gets the name as given, in mode 304 (FSOUND_NORMAL).
    EXPECT_EQ(Calls().back(), "FSOUND_Stream_OpenFile(Dir/A.Mp3.Old,304,0)");
}

TEST_F(MusicPlayerTest, StartUpSequenceAsTheDemoRunsIt) {
    FmodMusicPlayer p(Window());
    EXPECT_TRUE(p.Init());
    EXPECT_EQ(p.m_bInitialized, 1);
    EXPECT_EQ(Calls()[0], "FSOUND_SetHWND(0x42)");
    EXPECT_EQ(Calls()[1], "FSOUND_Init(44100,16,0)");
    EXPECT_TRUE(p.Load("velunar.mp3", 1));
    EXPECT_EQ(p.m_bLoaded, 1);
    // Before Play the volume is refused and the stored one kept.
    EXPECT_FALSE(p.SetVolume(0.1f));
    EXPECT_FLOAT_EQ(p.m_fVolume, 1.0f);
    EXPECT_FALSE(Called("FSOUND_SetVolumeAbsolute"));
    EXPECT_TRUE(p.Play(0));
    EXPECT_EQ(Calls().back(), "FSOUND_Stream_Play(-1,stream)");
    EXPECT_EQ(p.m_bPlaying, 1);
    EXPECT_TRUE(p.SetVolume(1.0f));
    EXPECT_EQ(Calls().back(), "FSOUND_SetVolumeAbsolute(-3,256)");
    EXPECT_EQ(p.GetTime(), 1234);
    EXPECT_EQ(p.GetPosition(), 777);
    EXPECT_EQ(p.GetOrder(), 0);  // no song
    EXPECT_EQ(p.GetRow(), 0);
    p.SetPosition(5);
    EXPECT_EQ(Calls().back(), "FSOUND_Stream_SetPosition(5)");
    EXPECT_FALSE(Called("FSOUND_Close"));
}

TEST_F(MusicPlayerTest, VolumeRangeAndTruncation) {
    FmodMusicPlayer p(Window());
    p.Init();
    p.Load("tune.xm", 1);
    p.Play(0);
    EXPECT_FALSE(p.SetVolume(1.01f));
    EXPECT_FALSE(p.SetVolume(-0.1f));
    EXPECT_FLOAT_EQ(p.m_fVolume, 1.0f);
    EXPECT_FALSE(Called("FMUSIC_SetMasterVolume"));
    EXPECT_TRUE(p.SetVolume(0.5f));
    EXPECT_EQ(Calls().back(), "FMUSIC_SetMasterVolume(128)");
    EXPECT_TRUE(p.SetVolume(0.999f));  // 255.74 truncates
    EXPECT_EQ(Calls().back(), "FMUSIC_SetMasterVolume(255)");
    EXPECT_TRUE(p.SetVolume(0.0f));
    EXPECT_EQ(Calls().back(), "FMUSIC_SetMasterVolume(0)");
    EXPECT_FLOAT_EQ(p.m_fVolume, 0.0f);
}

TEST_F(MusicPlayerTest, RefusalsBeforeInitAndLoad) {
    FmodMusicPlayer p(Window());
    EXPECT_FALSE(p.Load("velunar.mp3", 1));
    EXPECT_FALSE(p.Play(0));
    EXPECT_FALSE(p.Stop());
    EXPECT_FALSE(p.Free());
    EXPECT_EQ(p.GetTime(), 0);
    EXPECT_TRUE(Calls().empty());
    fake_fmod::Get().initResult = false;
    EXPECT_FALSE(p.Init());
    EXPECT_EQ(p.m_bInitialized, 0);
    fake_fmod::Get().initResult = true;
    ASSERT_TRUE(p.Init());
    EXPECT_FALSE(p.Play(0));  // nothing loaded
    EXPECT_FALSE(Called("FSOUND_Stream_Play"));
}

TEST_F(MusicPlayerTest, FailuresCloseTheLibraryButKeepInitialised) {
    {
        fake_fmod::Reset();
        fake_fmod::Get().openResult = false;
        FmodMusicPlayer p(Window());
        p.Init();
        EXPECT_FALSE(p.Load("missing.mp3", 1));
        EXPECT_EQ(Calls().back(), "FSOUND_Close()");
        EXPECT_EQ(p.m_bInitialized, 1);
        EXPECT_EQ(p.m_bLoaded, 0);
        EXPECT_FALSE(p.Play(0));
    }
    {
        fake_fmod::Reset();
        fake_fmod::Get().loadSongResult = false;
        FmodMusicPlayer p(Window());
        p.Init();
        EXPECT_FALSE(p.Load("broken.xm", 1));
        EXPECT_EQ(Calls().back(), "FSOUND_Close()");
    }
    {
        fake_fmod::Reset();
        fake_fmod::Get().streamPlayResult = -1;
        FmodMusicPlayer p(Window());
        p.Init();
        p.Load("velunar.mp3", 1);
        EXPECT_FALSE(p.Play(0));
        EXPECT_EQ(Calls().back(), "FSOUND_Close()");
        EXPECT_EQ(p.m_bPlaying, 0);
        EXPECT_EQ(p.m_bInitialized, 1);
    }
    {
        // Channel 0 is a channel, not a failure.
        fake_fmod::Reset();
        fake_fmod::Get().streamPlayResult = 0;
        FmodMusicPlayer p(Window());
        p.Init();
        p.Load("velunar.mp3", 1);
        EXPECT_TRUE(p.Play(0));
    }
    {
        fake_fmod::Reset();
        fake_fmod::Get().streamCloseResult = -1;
        FmodMusicPlayer p(Window());
        p.Init();
        p.Load("velunar.mp3", 1);
        p.Play(0);
        EXPECT_FALSE(p.Stop());
        EXPECT_EQ(Calls().back(), "FSOUND_Close()");
        EXPECT_EQ(p.m_bPlaying, 1);
    }
}

// The library's boolean FALSE is a failure too, not only -1: a song that does not start must not
// leave the player believing it plays (the frame tick would never retry).
TEST_F(MusicPlayerTest, BooleanFalseFromTheLibraryIsAFailure) {
    fake_fmod::Get().songPlayResult = FALSE;
    FmodMusicPlayer p(Window());
    p.Init();
    p.Load("tune.xm", 1);
    EXPECT_FALSE(p.Play(0));
    EXPECT_EQ(p.m_bPlaying, 0);
    EXPECT_EQ(Calls().back(), "FSOUND_Close()");

    fake_fmod::Reset();
    fake_fmod::Get().songStopResult = FALSE;
    FmodMusicPlayer q(Window());
    q.Init();
    q.Load("tune.xm", 1);
    ASSERT_TRUE(q.Play(0));
    EXPECT_FALSE(q.Stop());
    EXPECT_EQ(Calls().back(), "FSOUND_Close()");
}

TEST_F(MusicPlayerTest, StopClosesTheStreamAndFreeClosesTheLibrary) {
    FmodMusicPlayer p(Window());
    p.Init();
    p.Load("velunar.mp3", 1);
    p.Play(0);
    EXPECT_TRUE(p.Stop());
    EXPECT_EQ(Calls().back(), "FSOUND_Stream_Close()");
    EXPECT_EQ(p.m_bPlaying, 0);
    EXPECT_FALSE(p.Stop());
    EXPECT_TRUE(p.Free());
    EXPECT_EQ(Calls().back(), "FSOUND_Close()");
    EXPECT_EQ(p.m_bInitialized, 0);
    EXPECT_EQ(p.m_bLoaded, 0);
    EXPECT_FALSE(p.Free());
}

TEST_F(MusicPlayerTest, ModuleQueriesAndTime) {
    FmodMusicPlayer p(Window());
    p.Init();
    p.Load("tune.xm", 1);
    p.Play(0);
    EXPECT_EQ(p.GetTime(), 0);
    EXPECT_FALSE(Called("FSOUND_Stream_GetTime"));
    EXPECT_EQ(p.GetOrder(), 3);
    EXPECT_EQ(p.GetPosition(), 3);
    EXPECT_EQ(p.GetRow(), 17);
    p.SetOrder(2);
    EXPECT_EQ(Calls().back(), "FMUSIC_SetOrder(2)");
    EXPECT_TRUE(p.Stop());
    EXPECT_EQ(Calls().back(), "FMUSIC_StopSong()");
    EXPECT_TRUE(p.Free());
    EXPECT_EQ(Calls().back(), "FMUSIC_FreeSong()");
    EXPECT_FALSE(Called("FSOUND_Close"));
}

}  // namespace
