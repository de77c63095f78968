// filter.cpp - the state-variable filter and the biquads: coefficients and per-sample steps.
#include "music/filter.h"

#include <algorithm>
#include <cmath>

#include "music/oscillator.h"

namespace music {

void Svf::Set(double cutoffHz, double q) {
    if (cutoffHz == m_hz && q == m_q) return;
    m_hz = cutoffHz;
    m_q = q;
    const double fc = std::clamp(cutoffHz, 10.0, kSampleRate * 0.45);
    const double g = std::tan(kPi * fc / kSampleRate);
    m_k = 1.0 / q;
    m_a1 = 1.0 / (1.0 + g * (g + m_k));
    m_a2 = g * m_a1;
    m_a3 = g * m_a2;
}

Svf::Out Svf::Process(float x) {
    const double v3 = x - m_ic2;
    const double v1 = m_a1 * m_ic1 + m_a2 * v3;
    const double v2 = m_ic2 + m_a2 * m_ic1 + m_a3 * v3;
    m_ic1 = 2.0 * v1 - m_ic1;
    m_ic2 = 2.0 * v2 - m_ic2;
    return {static_cast<float>(v2), static_cast<float>(v1), static_cast<float>(x - m_k * v1 - v2)};
}

// Audio EQ cookbook forms (bilinear transform with prewarping).
Biquad Biquad::HighPass(double hz, double q, double fs) {
    const double w = 2.0 * kPi * hz / fs;
    const double alpha = std::sin(w) / (2.0 * q);
    const double c = std::cos(w);
    const double a0 = 1.0 + alpha;
    return Biquad((1.0 + c) / 2.0 / a0, -(1.0 + c) / a0, (1.0 + c) / 2.0 / a0, -2.0 * c / a0, (1.0 - alpha) / a0);
}

Biquad Biquad::LowPass(double hz, double q, double fs) {
    const double w = 2.0 * kPi * hz / fs;
    const double alpha = std::sin(w) / (2.0 * q);
    const double c = std::cos(w);
    const double a0 = 1.0 + alpha;
    return Biquad((1.0 - c) / 2.0 / a0, (1.0 - c) / a0, (1.0 - c) / 2.0 / a0, -2.0 * c / a0, (1.0 - alpha) / a0);
}

}  // namespace music
