// limiter.cpp - the true-peak limiter over a stereo pair.
#include "music/limiter.h"

#include <algorithm>
#include <cmath>
#include <deque>
#include <thread>

#include "music/loudness.h"
#include "music/oscillator.h"

namespace music {

void LimitTruePeak(std::vector<float>& left, std::vector<float>& right, double ceiling, double lookahead,
                   double release) {
    const size_t n = left.size();
    const size_t la = std::max<size_t>(1, static_cast<size_t>(lookahead * kSampleRate));
    std::vector<float> el(n), er(n);
    // The two channels' envelopes are independent: one on a worker, one here.
    std::thread worker([&] { TruePeakEnvelope(left.data(), n, el.data()); });
    TruePeakEnvelope(right.data(), n, er.data());
    worker.join();
    // Gain each sample needs on its own.
    std::vector<float> need(n);
    for (size_t i = 0; i < n; ++i) {
        const float p = std::max(el[i], er[i]);
        need[i] = p > ceiling ? static_cast<float>(ceiling / p) : 1.0f;
    }
    // Running minimum over the coming `la` samples (monotonic deque), then release towards 1.
    std::vector<float> held(n);
    std::deque<size_t> q;
    const double rel = 1.0 - std::exp(-1.0 / (release * kSampleRate));
    double g = 1.0;
    // The last window starts at sample n - 1: held has n entries, none past it.
    for (size_t i = 0; i + 1 < n + la; ++i) {
        if (i < n) {
            while (!q.empty() && need[q.back()] >= need[i]) q.pop_back();
            q.push_back(i);
        }
        if (i + 1 < la) continue;
        const size_t out = i + 1 - la;
        while (!q.empty() && q.front() < out) q.pop_front();
        const double m = q.empty() ? 1.0 : need[q.front()];
        g = std::min(m, g + (1.0 - g) * rel);
        held[out] = static_cast<float>(g);
    }
    // held[j] covers samples j ... j+la-1, so the mean of held[i-la+1 ... i] never exceeds what
    // sample i needs, and it ramps the gain down over the look-ahead instead of stepping it.
    std::vector<float> gain(n, 1.0f);
    double acc = 0.0;
    for (size_t i = 0; i < n; ++i) {
        acc += held[i];
        if (i >= la) acc -= held[i - la];
        gain[i] = static_cast<float>(acc / static_cast<double>(std::min(i + 1, la)));
    }
    for (size_t i = 0; i < n; ++i) {
        left[i] *= gain[i];
        right[i] *= gain[i];
    }
}

}  // namespace music
