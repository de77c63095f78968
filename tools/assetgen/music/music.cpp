#include "music/music.h"

#include <cmath>

#include "music/loudness.h"
#include "music/mp3_writer.h"
#include "music/track.h"

namespace {

// Decoded true peak the file must stay under (dBTP), with a little room below the -1 dBTP limit.
constexpr double kDecodedCeilingDb = -1.2;

}  // namespace

bool WriteMusicTrack(const std::string& mp3Path) {
    music::Stereo track = music::RenderTrack(2);
    std::vector<unsigned char> mp3;
    if (!music::EncodeMp3(track.l, track.r, mp3)) return false;
    // The encoder's low-pass and quantisation lift peaks a little, most in noisy passages; while the
    // decoded peak crosses the ceiling, turn the whole track down by the excess and encode again.
    for (int round = 0; round < 3; ++round) {
        const double peak = music::DecodedTruePeak(mp3);
        if (peak < 0.0) return false;
        const double over = music::ToDb(peak) - kDecodedCeilingDb;
        if (over <= 0.0) break;
        const float g = static_cast<float>(music::FromDb(-over - 0.05));
        for (size_t i = 0; i < track.Frames(); ++i) {
            track.l[i] *= g;
            track.r[i] *= g;
        }
        if (!music::EncodeMp3(track.l, track.r, mp3)) return false;
    }
    return music::WriteFile(mp3Path, mp3);
}
