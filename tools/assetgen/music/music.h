// music.h - the show's music track: synthesised by our own small synthesiser and encoded as MP3.
// Depends on: libmp3lame.
#pragma once

#include <string>

// Writes the whole track (about 172 s, 44.1 kHz stereo) to mp3Path; false on failure.
bool WriteMusicTrack(const std::string& mp3Path);
