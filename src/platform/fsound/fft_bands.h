// fft_bands.h - the FFT unit: 512 band levels from a 1024-sample mono window of the output.
// Depends on: FFTW (single precision) inside fft_bands.cpp.
#pragma once

#include <array>

namespace velunar::fsound {

// The gain the scenes' spectrum levels are tuned for (fx01, fx04 and fx10 read the mean of the
// first 64 bands). Measured on our own velunar.mp3 (172 s) with bench/sound's tool,
// `band_level velunar.mp3`: at gain 1 that mean has p10 0.0069, median 0.0138, p95 0.0250 and
// max 0.0360 (windows every 16.7 ms). Section by section, as the scenes read it at gain 14 (each
// band clamped at 1; `velunar-music quick velunar.mp3 --gain 14`): 0.083 on average over the
// opening's first 9 s, 0.103 in fx07's breakdown, 0.138 in the credits; on the kicks it peaks at a
// median of 0.22-0.25 in the grooves and 0.29-0.31 in fx01's logo and fx08's climax, 0.39 at most.
// So the quiet passages sit in 0.05-0.15 and the loudest beats reach 0.3, the range the scenes were
// designed for (clamping holds the beats back: a higher gain lifts the quiet passages more).
// fsound_test checks it on the built track. Re-measure when the track changes.
constexpr float kSpectrumGain = 14.0f;

class SpectrumAnalyser {
public:
    static constexpr int kWindow = 1024;
    static constexpr int kBands = 512;

    SpectrumAnalyser();
    ~SpectrumAnalyser();
    SpectrumAnalyser(const SpectrumAnalyser&) = delete;
    SpectrumAnalyser& operator=(const SpectrumAnalyser&) = delete;

    // mono: kWindow samples in -1 ... 1, oldest first. Band k covers k x rate / 1024 Hz; a
    // full-scale sine centred on a band reads 1.0 there before `gain`; results are clamped to 0 ... 1.
    void Analyse(const float* mono, float gain, float* bands);

private:
    struct Fft;
    Fft* m_fft;
    std::array<float, kWindow> m_hann{};
};

}  // namespace velunar::fsound
