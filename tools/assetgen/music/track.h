// track.h - the whole music track as samples: every part rendered, mixed, faded out, normalised to
// the target loudness and limited under the true-peak ceiling.
// Depends on: score.h, reverb.h, loudness.h, limiter.h.
#pragma once

#include "music/stereo.h"

namespace music {

// Programme loudness of the finished track (LUFS) and its ceiling (dBTP, before MP3 encoding, which
// adds a few tenths of a dB of overshoot; hence the margin under -1).
constexpr double kTargetLufs = -14.0;
constexpr double kCeilingDbtp = -2.0;

// Renders the finished track (kTrackSeconds at 44.1 kHz). threads > 1 renders parts side by side;
// the result is the same for any thread count.
Stereo RenderTrack(unsigned threads = 2);

}  // namespace music
