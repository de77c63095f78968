// loudness.cpp - K-weighting, gated block loudness and the interpolated true peak.
#include "music/loudness.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include "music/oscillator.h"

namespace music {

double ToDb(double linear) { return 20.0 * std::log10(linear); }
double FromDb(double db) { return std::pow(10.0, db / 20.0); }

// The analogue prototypes behind the 48 kHz coefficients of the standard, re-derived for any rate.
KWeighting::KWeighting(double fs) {
    {
        const double f0 = 1681.974450955533, gainDb = 3.999843853973347, q = 0.7071752369554196;
        const double k = std::tan(kPi * f0 / fs);
        const double vh = std::pow(10.0, gainDb / 20.0);
        const double vb = std::pow(vh, 0.4996667741545416);
        const double a0 = 1.0 + k / q + k * k;
        shelf = Biquad((vh + vb * k / q + k * k) / a0, 2.0 * (k * k - vh) / a0, (vh - vb * k / q + k * k) / a0,
                       2.0 * (k * k - 1.0) / a0, (1.0 - k / q + k * k) / a0);
    }
    {
        const double f0 = 38.13547087602444, q = 0.5003270373238773;
        const double k = std::tan(kPi * f0 / fs);
        const double a0 = 1.0 + k / q + k * k;
        highPass = Biquad(1.0, -2.0, 1.0, 2.0 * (k * k - 1.0) / a0, (1.0 - k / q + k * k) / a0);
    }
}

namespace {

// Weighted power per 100 ms step, summed over channels.
std::vector<double> StepPower(const float* left, const float* right, size_t frames, double fs, size_t step) {
    std::vector<double> steps(frames / step, 0.0);
    const float* chans[2] = {left, right};
    for (const float* ch : chans) {
        if (!ch) continue;
        KWeighting k(fs);
        for (size_t s = 0; s < steps.size(); ++s) {
            double acc = 0.0;
            for (size_t i = s * step; i < (s + 1) * step; ++i) {
                const double y = k.Process(ch[i]);
                acc += y * y;
            }
            steps[s] += acc;
        }
    }
    return steps;
}

double PowerToLufs(double p) { return p > 0.0 ? -0.691 + 10.0 * std::log10(p) : -std::numeric_limits<double>::infinity(); }

}  // namespace

std::vector<double> BlockLoudness(const float* left, const float* right, size_t frames, double fs) {
    const size_t step = static_cast<size_t>(fs * 0.1 + 0.5);
    const std::vector<double> steps = StepPower(left, right, frames, fs, step);
    std::vector<double> blocks;
    for (size_t b = 0; b + 4 <= steps.size(); ++b) {
        blocks.push_back((steps[b] + steps[b + 1] + steps[b + 2] + steps[b + 3]) / (4.0 * step));
    }
    return blocks;
}

std::vector<double> ShortTermLoudness(const float* left, const float* right, size_t frames, double fs) {
    const size_t step = static_cast<size_t>(fs * 0.1 + 0.5);
    const std::vector<double> steps = StepPower(left, right, frames, fs, step);
    std::vector<double> windows;
    double acc = 0.0;
    for (size_t s = 0; s < steps.size(); ++s) {
        acc += steps[s];
        if (s >= 30) acc -= steps[s - 30];
        if (s + 1 >= 30) windows.push_back(PowerToLufs(std::max(acc, 0.0) / (30.0 * step)));
    }
    return windows;
}

double LoudnessRange(const float* left, const float* right, size_t frames, double fs) {
    std::vector<double> st;
    double sum = 0.0;
    for (double l : ShortTermLoudness(left, right, frames, fs)) {
        if (l <= -70.0) continue;
        st.push_back(l);
        sum += std::pow(10.0, (l + 0.691) / 10.0);
    }
    if (st.empty()) return 0.0;
    const double relativeGate = PowerToLufs(sum / st.size()) - 20.0;
    std::vector<double> kept;
    for (double l : st) {
        if (l > relativeGate) kept.push_back(l);
    }
    std::sort(kept.begin(), kept.end());
    const auto at = [&](double p) { return kept[static_cast<size_t>(std::lround(p * (kept.size() - 1)))]; };
    return at(0.95) - at(0.10);
}

double IntegratedLoudness(const float* left, const float* right, size_t frames, double fs) {
    const std::vector<double> blocks = BlockLoudness(left, right, frames, fs);
    double sum = 0.0;
    size_t n = 0;
    for (double p : blocks) {
        if (PowerToLufs(p) > -70.0) {
            sum += p;
            ++n;
        }
    }
    if (n == 0) return -std::numeric_limits<double>::infinity();
    const double relativeGate = PowerToLufs(sum / n) - 10.0;
    sum = 0.0;
    n = 0;
    for (double p : blocks) {
        const double l = PowerToLufs(p);
        if (l > -70.0 && l > relativeGate) {
            sum += p;
            ++n;
        }
    }
    return n ? PowerToLufs(sum / n) : -std::numeric_limits<double>::infinity();
}

namespace {

constexpr int kPhases = 4;
constexpr int kTapsPerPhase = 16;

// Polyphase interpolation kernel: Blackman-windowed sinc cut at the original Nyquist frequency.
const std::array<std::array<float, kTapsPerPhase>, kPhases>& Kernel() {
    static const auto table = [] {
        std::array<std::array<float, kTapsPerPhase>, kPhases> t{};
        const int len = kPhases * kTapsPerPhase;
        for (int p = 0; p < kPhases; ++p) {
            for (int k = 0; k < kTapsPerPhase; ++k) {
                const int n = k * kPhases + p;
                const double x = (n - len / 2.0) / kPhases;
                const double sinc = std::fabs(x) < 1e-12 ? 1.0 : std::sin(kPi * x) / (kPi * x);
                const double w = 0.42 - 0.5 * std::cos(2.0 * kPi * n / len) + 0.08 * std::cos(4.0 * kPi * n / len);
                t[p][k] = static_cast<float>(sinc * w);
            }
        }
        return t;
    }();
    return table;
}

}  // namespace

void TruePeakEnvelope(const float* samples, size_t count, float* out) {
    const auto& kernel = Kernel();
    const long n = static_cast<long>(count);
    constexpr long kHalf = kTapsPerPhase / 2;
    for (long i = 0; i < n; ++i) {
        float peak = std::fabs(samples[i]);
        const bool inside = i >= kTapsPerPhase && i + kHalf < n;
        for (int p = 0; p < kPhases; ++p) {
            float acc = 0.0f;
            if (inside) {
                // The hot path: no bounds to check, so the taps vectorise.
                const float* x = samples + i + kHalf;
                for (int k = 0; k < kTapsPerPhase; ++k) acc += kernel[p][k] * x[-k];
            } else {
                for (int k = 0; k < kTapsPerPhase; ++k) {
                    const long j = i + kHalf - k;
                    if (j >= 0 && j < n) acc += kernel[p][k] * samples[j];
                }
            }
            peak = std::max(peak, std::fabs(acc));
        }
        out[i] = peak;
    }
}

double TruePeak(const float* samples, size_t count) {
    std::vector<float> env(count);
    TruePeakEnvelope(samples, count, env.data());
    float m = 0.0f;
    for (float v : env) m = std::max(m, v);
    return m;
}

}  // namespace music
