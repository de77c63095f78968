// music_player.h - MusicPlayer, the program's abstract sound interface: every operation virtual
// and doing nothing in the base; slots in this order are the interface.
// Depends on: platform/wintypes.h, platform/fsound/fmod.h (handle types only).
#pragma once

#include "platform/fsound/fmod.h"
#include "platform/wintypes.h"

class MusicPlayer {
public:
    MusicPlayer();
    virtual int ShowSetupDialog();
    virtual bool Init();
    virtual bool Load(const char* pszFileName, int nUnused);
    virtual bool Play(int nUnused);
    virtual bool Reserved1(int nUnused);
    virtual bool SetVolume(float fVolume);
    virtual bool Stop();
    virtual bool Free();
    virtual int GetTime();
    virtual int GetRow();
    virtual int GetPosition();
    virtual int GetOrder();
    virtual void SetOrder(int nOrder);
    virtual void SetPosition(int nPosition);
    virtual void Reserved2();

    // Kinds of what is loaded.
    static constexpr int kNothing = 0;
    static constexpr int kStream = 1;
    static constexpr int kModule = 2;

    HWND m_hWnd = nullptr;
    BYTE m_bInitialized;
    // Read by the frame tick: the music is started until this is set.
    BYTE m_bPlaying;
    BYTE m_bLoaded;
    int m_nKind;
    char* m_pszLoweredName = nullptr;
    float m_fVolume = 1.0f;
    FSOUND_STREAM* m_pStream = nullptr;
    FMUSIC_MODULE* m_pSong = nullptr;
    // Hz; the setup dialog may change it before Init.
    int m_nOutputRate = 44100;
};
