// tempo.h - the track's beat grid: 105 BPM, bent by a fraction of a percent so that the scene changes
// of the show fall exactly on beats (and the drum break on 32nd notes).
// Depends on: nothing.
#pragma once

namespace music {

// Seconds of demo time at beat b (b may be fractional; beats past the last anchor run at 105 BPM).
double BeatTime(double beat);

constexpr double kTrackSeconds = 172.0;
constexpr double kFadeStart = 165.0;
constexpr double kFadeEnd = 170.0;

// The drum break: 32nd-note steps from beat 80.375; a hit on each of these steps. The hits sound at
// the show's black flashes, which lie on those steps to within 3 ms: placed there exactly, hit and
// flash coincide on screen.
constexpr double kBreakStartBeat = 80.375;
constexpr int kBreakSteps[18] = {0, 3, 4, 5, 8, 11, 13, 15, 16, 17, 19, 21, 23, 24, 25, 27, 28, 29};
constexpr double kBreakHitSeconds[18] = {45.9,   46.113, 46.187, 46.258, 46.471, 46.686, 46.827, 46.97,  47.043,
                                         47.113, 47.258, 47.401, 47.542, 47.614, 47.684, 47.829, 47.898, 47.972};

}  // namespace music
