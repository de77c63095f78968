// score.h - the arrangement: which instrument plays what, section by section, on the beat grid of
// tempo.h. Each part renders into its own stereo buffer so the parts can be rendered side by side.
// Depends on: stereo.h, tempo.h, instruments.h.
#pragma once

#include <vector>

#include "music/stereo.h"

namespace music {

enum class Part { Drums, Bass, Pad, Lead, Arp, Effects, Count };

// Adds one part of the whole track into out (sized for the full track).
void RenderPart(Part part, Stereo& out);

// Times (s) of every kick, for the side-chain that makes the bass and pads breathe with the beat.
std::vector<double> KickTimes();

// Chord of bar `bar` (4 beats): pad voicing and bass root as MIDI notes.
struct Chord {
    int root;
    std::vector<int> notes;
};
const Chord& ChordAtBar(int bar);

}  // namespace music
