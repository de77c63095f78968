// Fuzz target for the sampled-sound decoders (MPEG audio, WAVE, raw) that read velunar.mp3 and
// for the resampler behind them. The first byte picks the decoder and the mixing rate.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/fsound/fmod.h"
#include "platform/fsound/pcm.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    static const char* const kNames[] = {"track.mp3", "track.wav", "track.raw", "track.mp2"};
    static const int kRates[] = {44100, 48000, 22050, 8000};
    const std::uint8_t pick = data[0];
    std::vector<std::uint8_t> bytes(data + 1, data + size);
    velunar::fsound::Pcm pcm;
    std::string error;
    if (velunar::fsound::DecodeBytes(bytes, kNames[pick & 3], FSOUND_NORMAL | ((pick & 4) ? FSOUND_STEREO : 0), pcm,
                                     error) &&
        pcm.Frames() < 1'000'000) {
        velunar::fsound::Resample(pcm, kRates[(pick >> 4) & 3],
                                  (pick & 8) ? velunar::fsound::Resampling::kNearest : velunar::fsound::Resampling::kCubic);
    }
    return 0;
}
