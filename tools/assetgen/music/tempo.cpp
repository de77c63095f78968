// tempo.cpp - the beat grid: beat times, bent so the scene changes land on beats.
#include "music/tempo.h"

#include <iterator>

namespace music {

namespace {

struct Anchor {
    double beat, seconds;
};

// Beats and the scene boundaries that they carry.
constexpr Anchor kAnchors[] = {
    {0, 0.0},          {6, 3.4525},   {32, 18.301},  {48, 27.345},  {80.375, 45.9}, {84, 47.972},
    {112, 63.989},     {120, 68.549}, {152, 86.814}, {184, 105.088}, {192, 109.665}, {224, 127.909},
    {256, 146.221},
};

}  // namespace

double BeatTime(double beat) {
    constexpr double kBeat = 60.0 / 105.0;
    if (beat <= 0.0) return beat * kBeat;
    for (size_t i = 1; i < std::size(kAnchors); ++i) {
        const Anchor& a = kAnchors[i - 1];
        const Anchor& b = kAnchors[i];
        if (beat <= b.beat) return a.seconds + (beat - a.beat) * (b.seconds - a.seconds) / (b.beat - a.beat);
    }
    const Anchor& last = kAnchors[std::size(kAnchors) - 1];
    return last.seconds + (beat - last.beat) * kBeat;
}

}  // namespace music
