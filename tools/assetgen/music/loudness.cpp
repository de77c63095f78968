// loudness.cpp - the loudness readings through libebur128, and the interpolated true peak.
#include "music/loudness.h"

#include <ebur128.h>

#include <algorithm>
#include <array>
#include <cmath>

#include "music/oscillator.h"

namespace music {

double ToDb(double linear) { return 20.0 * std::log10(linear); }
double FromDb(double db) { return std::pow(10.0, db / 20.0); }

namespace {

// A libebur128 meter fed one or two channels (right null for mono).
class Meter {
public:
    Meter(const float* left, const float* right, size_t frames, double fs, int mode)
        : m_left(left), m_right(right), m_frames(frames),
          m_state(ebur128_init(right ? 2u : 1u, static_cast<unsigned long>(fs + 0.5), mode)) {}
    ~Meter() { ebur128_destroy(&m_state); }
    Meter(const Meter&) = delete;
    Meter& operator=(const Meter&) = delete;

    // Feeds frames [from, to): the library takes them interleaved.
    void Add(size_t from, size_t to) {
        const size_t channels = m_right ? 2 : 1;
        m_buffer.resize((to - from) * channels);
        for (size_t i = from; i < to; ++i) {
            m_buffer[(i - from) * channels] = m_left[i];
            if (m_right) m_buffer[(i - from) * channels + 1] = m_right[i];
        }
        ebur128_add_frames_float(m_state, m_buffer.data(), to - from);
    }
    void AddAll() { Add(0, m_frames); }
    ebur128_state* State() { return m_state; }

private:
    const float* m_left;
    const float* m_right;
    size_t m_frames;
    ebur128_state* m_state;
    std::vector<float> m_buffer;
};

// A reading of the meter, or -inf where the library has none.
double Reading(ebur128_state* state, int (*read)(ebur128_state*, double*)) {
    double value = 0.0;
    return read(state, &value) == EBUR128_SUCCESS ? value : -HUGE_VAL;
}

}  // namespace

double IntegratedLoudness(const float* left, const float* right, size_t frames, double fs) {
    Meter m(left, right, frames, fs, EBUR128_MODE_I);
    m.AddAll();
    return Reading(m.State(), ebur128_loudness_global);
}

std::vector<double> ShortTermLoudness(const float* left, const float* right, size_t frames, double fs) {
    Meter m(left, right, frames, fs, EBUR128_MODE_S);
    const size_t step = static_cast<size_t>(fs * 0.1 + 0.5);
    std::vector<double> windows;
    for (size_t s = 0; (s + 1) * step <= frames; ++s) {
        m.Add(s * step, (s + 1) * step);
        if (s + 1 >= 30) windows.push_back(Reading(m.State(), ebur128_loudness_shortterm));
    }
    return windows;
}

double LoudnessRange(const float* left, const float* right, size_t frames, double fs) {
    Meter m(left, right, frames, fs, EBUR128_MODE_LRA);
    m.AddAll();
    const double lra = Reading(m.State(), ebur128_loudness_range);
    return std::isfinite(lra) ? lra : 0.0;
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
