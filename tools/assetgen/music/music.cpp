// music.cpp - renders the track and writes it out as the show's MP3.
#include "music/music.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "music/loudness.h"
#include "music/mp3_writer.h"
#include "music/track.h"

namespace {

// Decoded true peak the file must stay under (dBTP), with a little room below the -1 dBTP limit.
constexpr double kDecodedCeilingDb = -1.2;
constexpr size_t kBlock = 1024;

// Lowers the track around every block whose decoded peak is over the ceiling; false when none is.
// Each block's gain is the lowest needed within 3 blocks either side, faded linearly between block
// centres, so the dip is a 150 ms swell, never a step. Later rounds dip a little deeper.
bool DipOverPeaks(music::Stereo& track, const std::vector<float>& peaks, int round) {
    const float ceiling = static_cast<float>(music::FromDb(kDecodedCeilingDb - 0.1 * round));
    const size_t blocks = track.Frames() / kBlock + 1;
    std::vector<float> need(blocks, 1.0f);
    bool any = false;
    for (size_t k = 0; k < peaks.size(); ++k) {
        if (peaks[k] <= static_cast<float>(music::FromDb(kDecodedCeilingDb))) continue;
        any = true;
        const float g = ceiling / peaks[k];
        for (size_t j = k > 4 ? k - 4 : 0; j <= k + 2 && j < blocks; ++j) need[j] = std::min(need[j], g);
    }
    if (!any) return false;
    for (size_t i = 0; i < track.Frames(); ++i) {
        const double pos = (i + 0.5) / kBlock - 0.5;
        const size_t k = pos < 0.0 ? 0 : static_cast<size_t>(pos);
        const double f = std::clamp(pos - k, 0.0, 1.0);
        const float g = static_cast<float>(need[k] * (1.0 - f) + need[std::min(k + 1, blocks - 1)] * f);
        track.l[i] *= g;
        track.r[i] *= g;
    }
    return true;
}

}  // namespace

bool WriteMusicTrack(const std::string& mp3Path) {
    music::Stereo track = music::RenderTrack(2);
    std::vector<unsigned char> mp3;
    if (!music::EncodeMp3(track.l, track.r, mp3)) return false;
    // The encoder's low-pass and quantisation lift peaks a little, most in noisy passages. Where the
    // decoded peak crosses the ceiling, dip the gain there (smoothly, over a window wide enough to
    // cover the coder's delay) and encode again.
    for (int round = 0; round < 3; ++round) {
        const std::vector<float> peaks = music::DecodedBlockPeaks(mp3, kBlock);
        if (peaks.empty()) return false;
        if (!DipOverPeaks(track, peaks, round)) break;
        if (!music::EncodeMp3(track.l, track.r, mp3)) return false;
    }
    return music::WriteFile(mp3Path, mp3);
}
