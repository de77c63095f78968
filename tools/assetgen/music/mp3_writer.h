// mp3_writer.h - encodes a stereo float track to MP3 with libmp3lame, with the LAME/Xing header that
// lets decoders trim the encoder delay and padding (gapless: decoded sample 0 is track sample 0).
// Depends on: libmp3lame.
#pragma once

#include <string>
#include <vector>

namespace music {

// Samples -1 ... 1 at 44.1 kHz; VBR around 190 kbit/s. False when encoding or writing fails.
bool WriteMp3(const std::string& path, const std::vector<float>& left, const std::vector<float>& right);

}  // namespace music
