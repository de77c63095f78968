// mp3_writer.h - encodes a stereo float track to MP3 with libmp3lame, with the LAME/Xing header that
// lets decoders trim the encoder delay and padding (gapless: decoded sample 0 is track sample 0).
// Depends on: libmp3lame (its encoder, and its decoder to check what listeners will get).
#pragma once

#include <string>
#include <vector>

namespace music {

// Samples -1 ... 1 at 44.1 kHz, VBR (about 190 kbit/s). False when encoding fails.
bool EncodeMp3(const std::vector<float>& left, const std::vector<float>& right, std::vector<unsigned char>& mp3);

// Largest decoded sample of an MP3 stream, interpolated 4x (a linear factor; 1 = full scale);
// negative when the stream does not decode.
double DecodedTruePeak(const std::vector<unsigned char>& mp3);

// The same, per block of `block` decoded samples (both channels), for finding where the peaks are.
// Decoded block k starts about one block later in the stream than the input block k (encoder and
// decoder delay); callers allow for that. Empty when the stream does not decode.
std::vector<float> DecodedBlockPeaks(const std::vector<unsigned char>& mp3, size_t block);

bool WriteFile(const std::string& path, const std::vector<unsigned char>& bytes);

}  // namespace music
