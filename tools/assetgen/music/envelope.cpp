// envelope.cpp - the attack, decay, sustain and release curves of a note.
#include "music/envelope.h"

#include <algorithm>
#include <cmath>

namespace music {

namespace {

double Held(const Envelope& e, double t) {
    if (t < e.attack) return t / e.attack;
    const double d = t - e.attack;
    // Decay: time constant decay/4, so the level is within 2 % of sustain after `decay` seconds.
    return e.sustain + (1.0 - e.sustain) * std::exp(-4.0 * d / std::max(e.decay, 1e-6));
}

}  // namespace

double Envelope::Level(double t, double gate) const {
    if (t < 0.0) return 0.0;
    if (t < gate) return Held(*this, t);
    const double r = t - gate;
    if (r >= release) return 0.0;
    return Held(*this, gate) * (1.0 - r / release);
}

}  // namespace music
