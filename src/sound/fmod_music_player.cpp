// fmod_music_player.cpp - the music player's state machine over FSOUND_ and FMUSIC_ calls.
// Any failure inside Load, Play or Stop shuts the whole library down but keeps m_bInitialized,
// so later calls reach the library closed (the library refuses them safely).
#include "sound/fmod_music_player.h"

#include <cctype>
#include <cstring>

#include "sound/setup_dialog.h"

namespace {

// FMOD 3's FSOUND_NORMAL: 16-bit, signed, mono; only raw data looks at it.
constexpr unsigned int kStreamMode = 304;

// The library's boolean results are TRUE/FALSE; -1 is also taken as failure.
bool Failed(signed char result) { return result != TRUE; }

}  // namespace

FmodMusicPlayer::FmodMusicPlayer(HWND hWnd) {
    m_hWnd = hWnd;
    m_nOutputRate = 44100;
    m_fVolume = 1.0f;
}

int FmodMusicPlayer::ShowSetupDialog() { return RunSoundSetupDialog(&m_nOutputRate); }

bool FmodMusicPlayer::Init() {
    FSOUND_SetHWND(m_hWnd);
    if (!FSOUND_Init(m_nOutputRate, 16, 0)) return false;
    m_bInitialized = 1;
    return true;
}

int FmodMusicPlayer::ClassifyName(const char* pszLoweredName) {
    static const char* const kStreamExtensions[] = {".raw", ".wav", ".mp2", ".mp3", ".ogg", ".wma"};
    for (const char* ext : kStreamExtensions)
        if (std::strstr(pszLoweredName, ext)) return kStream;
    return kModule;
}

bool FmodMusicPlayer::Load(const char* pszFileName, int) {
    if (!m_bInitialized || !pszFileName) return false;
    std::size_t n = std::strlen(pszFileName);
    delete[] m_pszLoweredName;
    m_pszLoweredName = new char[n + 1];
    for (std::size_t i = 0; i <= n; ++i)
        m_pszLoweredName[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(pszFileName[i])));
    m_nKind = ClassifyName(m_pszLoweredName);
    if (m_nKind == kStream) {
        m_pStream = FSOUND_Stream_OpenFile(pszFileName, kStreamMode, 0);
        if (!m_pStream) {
            FSOUND_Close();
            return false;
        }
    } else {
        m_pSong = FMUSIC_LoadSong(pszFileName);
        if (!m_pSong) {
            FSOUND_Close();
            return false;
        }
    }
    m_bLoaded = 1;
    return true;
}

bool FmodMusicPlayer::Play(int) {
    if (!m_bInitialized || !m_bLoaded) return false;
    bool failed;
    if (m_nKind == kModule)
        failed = Failed(FMUSIC_PlaySong(m_pSong));
    else
        failed = FSOUND_Stream_Play(FSOUND_FREE, m_pStream) == -1;
    if (failed) {
        FSOUND_Close();
        return false;
    }
    m_bPlaying = 1;
    return true;
}

bool FmodMusicPlayer::Reserved1(int) { return false; }

bool FmodMusicPlayer::SetVolume(float fVolume) {
    if (!m_bInitialized || !m_bPlaying) return false;
    if (fVolume < 0.0f || fVolume > 1.0f) return false;
    // Truncated toward zero: 1.0 is 256, full volume.
    int level = static_cast<int>(fVolume * 256.0f);
    if (m_nKind == kModule)
        FMUSIC_SetMasterVolume(m_pSong, level);
    else
        FSOUND_SetVolumeAbsolute(FSOUND_ALL, level);
    m_fVolume = fVolume;
    return true;
}

bool FmodMusicPlayer::Stop() {
    if (!m_bInitialized || !m_bPlaying) return false;
    // A stream is closed, not merely stopped.
    signed char result = m_nKind == kModule ? FMUSIC_StopSong(m_pSong) : FSOUND_Stream_Close(m_pStream);
    if (Failed(result)) {
        FSOUND_Close();
        return false;
    }
    m_bPlaying = 0;
    return true;
}

bool FmodMusicPlayer::Free() {
    if (!m_bInitialized) return false;
    if (m_nKind == kModule)
        FMUSIC_FreeSong(m_pSong);
    else if (m_nKind == kStream)
        FSOUND_Close();
    m_bInitialized = 0;
    m_bLoaded = 0;
    return true;
}

int FmodMusicPlayer::GetTime() {
    if (!m_bInitialized || m_nKind == kModule) return 0;
    return FSOUND_Stream_GetTime(m_pStream);
}

int FmodMusicPlayer::GetRow() { return m_pSong ? FMUSIC_GetRow(m_pSong) : 0; }

int FmodMusicPlayer::GetPosition() {
    if (m_nKind == kModule) return m_pSong ? FMUSIC_GetOrder(m_pSong) : 0;
    if (m_nKind == kStream) return m_pStream ? static_cast<int>(FSOUND_Stream_GetPosition(m_pStream)) : 0;
    return 0;
}

int FmodMusicPlayer::GetOrder() { return m_pSong ? FMUSIC_GetOrder(m_pSong) : 0; }

void FmodMusicPlayer::SetOrder(int nOrder) {
    if (m_pSong) FMUSIC_SetOrder(m_pSong, nOrder);
}

void FmodMusicPlayer::SetPosition(int nPosition) {
    if (m_pStream) FSOUND_Stream_SetPosition(m_pStream, static_cast<unsigned int>(nPosition));
}

void FmodMusicPlayer::Reserved2() {}
