// instruments.h - the drum kit and the pitched voices. Each call adds one hit or one note, starting at
// time t seconds, into a stereo buffer; loudness (vel) is 0 ... 1, pitches are MIDI note numbers.
// Depends on: stereo.h, envelope.h, filter.h, oscillator.h.
#pragma once

#include <cstdint>
#include <vector>

#include "music/stereo.h"

namespace music {

void Kick(Stereo& out, double t, float vel);
void Snare(Stereo& out, double t, float vel, uint32_t seed);
void Clap(Stereo& out, double t, float vel, uint32_t seed);
void Hat(Stereo& out, double t, float vel, bool open, uint32_t seed);
void Crash(Stereo& out, double t, float vel, uint32_t seed);
void Tom(Stereo& out, double t, float vel, double hz);
// One hit of the drum break: kick, snare and a low tom together, short enough (under 70 ms of
// body) that hits a 32nd note apart stay apart.
void BreakHit(Stereo& out, double t, float vel, uint32_t seed);
// A low boom that marks the start of a section.
void Impact(Stereo& out, double t, float vel);
// Filtered noise that rises in pitch and level from t0 to t1, then stops with a short ramp.
void Riser(Stereo& out, double t0, double t1, float vel, uint32_t seed);

// Sub-and-saw bass with a plucked filter; gate in seconds.
void Bass(Stereo& out, double t, double gate, double note, float vel);
// A chord of detuned saws through a low-pass at cutoff Hz; slow attack and release.
void Pad(Stereo& out, double t, double gate, const std::vector<int>& notes, float vel, double cutoffStart,
         double cutoffEnd);
// Lead line: `bright` 0 gives a soft square-and-triangle voice, 1 a stack of detuned saws.
void Lead(Stereo& out, double t, double gate, double note, float vel, float bright, float pan);
// Short plucked saw for arpeggios.
void Pluck(Stereo& out, double t, double note, float vel, double cutoff, float pan);
// Bell (two sine partials), for the closing credits.
void Bell(Stereo& out, double t, double note, float vel, float pan);

}  // namespace music
