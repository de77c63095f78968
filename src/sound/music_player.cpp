// music_player.cpp - the do-nothing base of the sound interface.
#include "sound/music_player.h"

MusicPlayer::MusicPlayer() : m_bInitialized(0), m_bPlaying(0), m_bLoaded(0), m_nKind(kNothing) {}

int MusicPlayer::ShowSetupDialog() { return 0; }
bool MusicPlayer::Init() { return false; }
bool MusicPlayer::Load(const char*, int) { return false; }
bool MusicPlayer::Play(int) { return false; }
bool MusicPlayer::Reserved1(int) { return false; }
bool MusicPlayer::SetVolume(float) { return false; }
bool MusicPlayer::Stop() { return false; }
bool MusicPlayer::Free() { return false; }
int MusicPlayer::GetTime() { return 0; }
int MusicPlayer::GetRow() { return 0; }
int MusicPlayer::GetPosition() { return 0; }
int MusicPlayer::GetOrder() { return 0; }
void MusicPlayer::SetOrder(int) {}
void MusicPlayer::SetPosition(int) {}
void MusicPlayer::Reserved2() {}
