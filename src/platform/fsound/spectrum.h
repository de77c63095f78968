// spectrum.h - the FFT unit: 512 band levels from a 1024-sample mono window of the output.
// Depends on: FFTW (single precision) inside spectrum.cpp.
#pragma once

#include <array>

namespace velunar::fsound {

// The gain the scenes' spectrum levels are tuned for. Provisional: 6.0, chosen so that a mix
// whose energy in 0 ... 2.7 kHz sits at about -18 dB per band (typical of a mastered electronic
// track between beats) gives a mean of the first 64 bands near 0.1, and a kick drum near full
// scale near 0.4. Recalibrate on the real track with bench/sound's spectrum_level tool
// (`spectrum_level velunar.mp3` prints the mean of the first 64 bands at gain 1 over time): pick
// the gain that puts the quiet passages' median at about 0.1 and the beats at 0.3 ... 0.5.
constexpr float kSpectrumGain = 6.0f;

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
