// fft_bands.h - the FFT unit: 512 band levels from a 1024-sample mono window of the output.
// Depends on: FFTW (single precision) inside fft_bands.cpp.
#pragma once

#include <array>

namespace velunar::fsound {

// The gain the scenes' spectrum levels are tuned for (fx01, fx04 and fx10 read the mean of the
// first 64 bands). Measured on our own velunar.mp3 (172 s) with bench/sound's tool,
// `band_level velunar.mp3`: at gain 1 that mean has p10 0.0083, median 0.0126, p95 0.0231 and
// max 0.0353 (windows every 16.7 ms). Gain 13 puts the median at about 0.16, the p95 at 0.30 and
// the loudest beats near 0.4 as the scenes read them (each band clamped at 1), the range they were
// designed for; fsound_test checks it on the built track. Re-run the tool when the track changes.
constexpr float kSpectrumGain = 13.0f;

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
