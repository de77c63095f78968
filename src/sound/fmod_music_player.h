// fmod_music_player.h - FmodMusicPlayer: one piece of music at a time over the FMOD 3 library,
// a stream for sampled formats and a module for tracker formats, chosen by the file name.
// Depends on: music_player.h, platform/fsound/fmod.h.
#pragma once

#include "sound/music_player.h"

class FmodMusicPlayer : public MusicPlayer {
public:
    explicit FmodMusicPlayer(HWND hWnd);

    int ShowSetupDialog() override;
    bool Init() override;
    bool Load(const char* pszFileName, int nUnused) override;
    bool Play(int nUnused) override;
    bool Reserved1(int nUnused) override;
    bool SetVolume(float fVolume) override;
    bool Stop() override;
    bool Free() override;
    int GetTime() override;
    int GetRow() override;
    int GetPosition() override;
    int GetOrder() override;
    void SetOrder(int nOrder) override;
    void SetPosition(int nPosition) override;
    void Reserved2() override;

    // 1 when the name (lower-cased) holds a sampled-format extension anywhere, else 2.
    static int ClassifyName(const char* pszLoweredName);
};
