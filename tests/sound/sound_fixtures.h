// sound_fixtures.h - small sound files the sound tests make for themselves: MP3 through libmp3lame,
// WAV and a four-channel ProTracker module.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace sound_fixtures {

// Interleaved stereo 16-bit frames from a generator of (frame, channel) -> -1 ... 1.
std::vector<std::int16_t> Synth(int frames, const std::function<double(int, int)>& sample);

bool WriteWav(const std::string& path, int rate, const std::vector<std::int16_t>& stereo);
// CBR 128 kbit/s with the LAME tag, so a gapless decoder gives back exactly `stereo`'s length.
bool WriteMp3(const std::string& path, int rate, const std::vector<std::int16_t>& stereo);
// Two patterns of 64 rows at speed 6 and 125 BPM (0.12 s a row, 15.36 s in all); a looping square
// wave sounds on channel 0 from row 0 of the first pattern.
bool WriteMod(const std::string& path);
bool WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);

std::string TempPath(const std::string& name);

}  // namespace sound_fixtures
