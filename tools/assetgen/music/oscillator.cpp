// oscillator.cpp - note pitches and the band-limited (PolyBLEP) oscillators.
#include "music/oscillator.h"

#include <cmath>

namespace music {

double NoteHz(double midiNote) { return 440.0 * std::exp2((midiNote - 69.0) / 12.0); }

namespace {

// Residual that rounds off a unit step at phase 0 over one sample either side.
double PolyBlep(double t, double dt) {
    if (t < dt) {
        t /= dt;
        return t + t - t * t - 1.0;
    }
    if (t > 1.0 - dt) {
        t = (t - 1.0) / dt;
        return t * t + t + t + 1.0;
    }
    return 0.0;
}

}  // namespace

float Oscillator::Next(double hz) {
    const double dt = hz / kSampleRate;
    const double t = m_phase;
    double v = 0.0;
    switch (m_wave) {
        case Wave::Sine: v = std::sin(2.0 * kPi * t); break;
        case Wave::Saw: v = 2.0 * t - 1.0 - PolyBlep(t, dt); break;
        case Wave::Square: {
            double t2 = t + 0.5;
            if (t2 >= 1.0) t2 -= 1.0;
            v = (t < 0.5 ? 1.0 : -1.0) + PolyBlep(t, dt) - PolyBlep(t2, dt);
            break;
        }
        case Wave::Triangle: v = 1.0 - 4.0 * std::fabs(t - 0.5); break;
    }
    m_phase += dt;
    m_phase -= std::floor(m_phase);
    return static_cast<float>(v);
}

}  // namespace music
