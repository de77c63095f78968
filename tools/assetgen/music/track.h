// track.h - the whole music track as samples: every part rendered, mixed, trimmed section by section,
// faded out, normalised to the target loudness and limited under the true-peak ceiling.
// Depends on: score.h, reverb.h, loudness.h, limiter.h.
#pragma once

#include "music/score.h"
#include "music/stereo.h"

namespace music {

// Programme loudness of the finished track (LUFS) and its ceiling (dBTP, before MP3 encoding). The
// coder lifts the sharpest hits by up to about 1.4 dB; this margin keeps the decoded track under
// -1 dBTP from the first encode, so the writer seldom has to dip a peak and encode again.
constexpr double kTargetLufs = -14.0;
constexpr double kCeilingDbtp = -2.8;

// Renders the finished track (kTrackSeconds at 44.1 kHz). threads > 1 renders parts side by side;
// the result is the same for any thread count.
Stereo RenderTrack(unsigned threads = 2);

// The level trim (dB) of the section playing at `seconds`, moving smoothly into the next one's just
// before each join.
double SectionTrimDb(double seconds);

// The level a part is mixed at (before the track's loudness normalisation).
float PartMixLevel(Part part);

}  // namespace music
