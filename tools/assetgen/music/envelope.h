// envelope.h - note envelopes: linear attack, exponential decay to sustain, linear release.
// Depends on: nothing.
#pragma once

namespace music {

// Times in seconds, levels 0 ... 1. Every note ramps in and out, so no note starts or ends with a click.
struct Envelope {
    double attack = 0.005;
    double decay = 0.1;
    double sustain = 1.0;
    double release = 0.05;

    // Level at time t (s) after note-on for a note held for gate seconds; 0 once the release has ended.
    double Level(double t, double gate) const;
    // Seconds the note sounds in all: gate plus release.
    double Length(double gate) const { return gate + release; }
};

}  // namespace music
