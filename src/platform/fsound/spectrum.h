// spectrum.h - the FFT unit: 512 band levels from a 1024-sample mono window of the output.
// Depends on: FFTW (single precision) inside spectrum.cpp.
#pragma once

#include <array>

namespace velunar::fsound {

// The gain the scenes' spectrum levels are tuned for (fx01, fx04 and fx10 read the mean of the
// first 64 bands). Measured on our own velunar.mp3 of 8 Dec (172 s) with bench/sound's tool,
// `spectrum_level velunar.mp3 16.6667 --trace`: at gain 1 that mean sits at 0.005-0.010 between
// beats and peaks at 0.030-0.038 on them (median 0.012, 95th percentile 0.025). Gain 12 puts the
// quiet passages at 0.06-0.14 and the beats' peaks at about 0.3 as the scenes read them (each band
// clamped at 1), the range they were designed for; fsound_test checks it on the built track.
// Re-run the tool when the track changes and pick the gain that keeps the beats' peaks near 0.4.
constexpr float kSpectrumGain = 12.0f;

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
