// score.h - the arrangement: the sections of the piece (one or two per scene of the show, on the beat
// grid of tempo.h), the chords, and what each instrument plays in each section. Each part renders
// into its own stereo buffer so the parts can be rendered side by side and measured one by one.
// Depends on: stereo.h, tempo.h, instruments.h.
#pragma once

#include <vector>

#include "music/stereo.h"

namespace music {

enum class Part { Kick, Snare, Hats, Perc, Bass, Pad, Lead, Arp, Bells, Effects, Count };

// Short name of a part ("kick", "lead", ...), for reports.
const char* PartName(Part part);

// A stretch of the piece with one character. Sections tile beat 0 to the end without gaps; their
// joins are the scene changes (and the lift inside fx08). gainDb trims the section's level; the
// mix moves between trims over a short ramp that ends on the join.
struct Section {
    const char* name;
    double fromBeat, toBeat;
    double gainDb;
};
const std::vector<Section>& Sections();

// Adds one part of the whole track into out (sized for the full track).
void RenderPart(Part part, Stereo& out);

// Times (s) of every kick, for the side-chain that makes the bass and pads breathe with the beat.
std::vector<double> KickTimes();

// Chord of bar `bar` (4 beats): pad voicing and bass root as MIDI notes.
struct Chord {
    int root;
    std::vector<int> notes;
};
Chord ChordAtBar(int bar);

// The harmony under a melody note: the highest note of the chord at least a minor third below it.
int HarmonyBelow(int note, const Chord& chord);

}  // namespace music
