// stereo.h - a stereo float buffer covering the whole track, and the helpers that write notes into it.
// Depends on: oscillator.h.
#pragma once

#include <cmath>
#include <cstddef>
#include <vector>

#include "music/oscillator.h"

namespace music {

// Constant-power pan position: -1 left ... 1 right.
struct PanGain {
    float l, r;
    explicit PanGain(float pan)
        : l(static_cast<float>(std::cos((pan + 1.0) * kPi * 0.25))),
          r(static_cast<float>(std::sin((pan + 1.0) * kPi * 0.25))) {}
};

struct Stereo {
    std::vector<float> l, r;
    explicit Stereo(size_t frames = 0) : l(frames, 0.0f), r(frames, 0.0f) {}
    size_t Frames() const { return l.size(); }
    // Adds a mono sample at frame i, placed by a pan.
    void Add(size_t i, float v, const struct PanGain& pan);
    void AddStereo(size_t i, float vl, float vr) {
        if (i >= l.size()) return;
        l[i] += vl;
        r[i] += vr;
    }
};

inline void Stereo::Add(size_t i, float v, const PanGain& pan) {
    if (i >= l.size()) return;
    l[i] += v * pan.l;
    r[i] += v * pan.r;
}

// First frame at or after time t seconds.
inline size_t FrameAt(double t) { return t <= 0.0 ? 0 : static_cast<size_t>(std::ceil(t * kSampleRate)); }

}  // namespace music
