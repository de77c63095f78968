// loudness.h - programme loudness, short-term loudness and loudness range (EBU R128, measured by
// libebur128), and the true peak the limiter works to.
// Depends on: libebur128.
#pragma once

#include <cstddef>
#include <vector>

namespace music {

// Integrated loudness in LUFS of one or two channels (right may be null for mono); -70 or below
// (or -inf) for silence. Absolute gate -70 LUFS, relative gate -10 LU.
double IntegratedLoudness(const float* left, const float* right, size_t frames, double fs);

// Short-term loudness (LUFS) of each 3 s window, 100 ms apart (EBU Tech 3341).
std::vector<double> ShortTermLoudness(const float* left, const float* right, size_t frames, double fs);

// Loudness range in LU (EBU Tech 3342): the spread between the 10th and 95th percentiles of the
// short-term loudness, after an absolute gate at -70 LUFS and a relative gate 20 LU under the
// gated mean. 0 for silence.
double LoudnessRange(const float* left, const float* right, size_t frames, double fs);

// Peak magnitude of the signal interpolated 4x (windowed-sinc polyphase), as a linear factor.
double TruePeak(const float* samples, size_t count);

// Per-sample true-peak envelope: the largest interpolated magnitude around each input sample.
void TruePeakEnvelope(const float* samples, size_t count, float* out);

double ToDb(double linear);
double FromDb(double db);

}  // namespace music
