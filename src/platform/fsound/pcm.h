// pcm.h - decoded sampled sound: whole files as 16-bit interleaved stereo in memory, so the
// playback position is exact, seeking is trivial and the spectrum can be taken at any time.
// Depends on: the C++ standard library; pcm.cpp uses libmpg123.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace velunar::fsound {

struct Pcm {
    int rate = 0;
    // Interleaved left/right.
    std::vector<std::int16_t> samples;

    std::size_t Frames() const { return samples.size() / 2; }
};

enum class Resampling { kNearest, kCubic };

// Decodes a whole sampled file: MPEG audio (layers 1-3, gapless, exact length), RIFF WAVE
// (integer or float PCM) or, for names ending in ".raw", headerless samples laid out as `mode`
// says (FSOUND_8BITS/16BITS, MONO/STEREO, SIGNED/UNSIGNED) at 44100 Hz. Mono becomes stereo.
// Returns false with a reason in `error` when the file is missing, damaged or holds no sound.
bool DecodeFile(const std::string& path, unsigned int mode, Pcm& out, std::string& error);

// The same decoders on bytes already in memory; `lowerName` chooses between them as above.
bool DecodeBytes(const std::vector<std::uint8_t>& bytes, const std::string& lowerName,
                 unsigned int mode, Pcm& out, std::string& error);

// Converts to `rate`, keeping the duration: frames = round(in frames x rate / in rate).
Pcm Resample(const Pcm& in, int rate, Resampling quality);

}  // namespace velunar::fsound
