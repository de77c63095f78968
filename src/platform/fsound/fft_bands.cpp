// fft_bands.cpp - Hann window, real FFT through FFTW, magnitudes normalised to a sine's amplitude.
#include "platform/fsound/fft_bands.h"

#include <fftw3.h>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace velunar::fsound {

struct SpectrumAnalyser::Fft {
    float* in = nullptr;
    fftwf_complex* out = nullptr;
    fftwf_plan plan = nullptr;
};

SpectrumAnalyser::SpectrumAnalyser() : m_fft(new Fft) {
    m_fft->in = fftwf_alloc_real(kWindow);
    m_fft->out = fftwf_alloc_complex(kWindow / 2 + 1);
    // ESTIMATE: planning is deterministic and instant, so the same window always gives the same bands.
    m_fft->plan = fftwf_plan_dft_r2c_1d(kWindow, m_fft->in, m_fft->out, FFTW_ESTIMATE);
    for (int i = 0; i < kWindow; ++i)
        m_hann[i] = 0.5f - 0.5f * std::cos(2.0f * std::numbers::pi_v<float> * i / kWindow);
}

SpectrumAnalyser::~SpectrumAnalyser() {
    fftwf_destroy_plan(m_fft->plan);
    fftwf_free(m_fft->out);
    fftwf_free(m_fft->in);
    delete m_fft;
}

void SpectrumAnalyser::Analyse(const float* mono, float gain, float* bands) {
    for (int i = 0; i < kWindow; ++i) m_fft->in[i] = mono[i] * m_hann[i];
    fftwf_execute(m_fft->plan);
    // A sine of amplitude A centred on a band gives |X| = A x (sum of the window) / 2 = A x N / 4.
    const float scale = gain * 4.0f / kWindow;
    for (int k = 0; k < kBands; ++k) {
        float re = m_fft->out[k][0], im = m_fft->out[k][1];
        bands[k] = std::clamp(std::sqrt(re * re + im * im) * scale, 0.0f, 1.0f);
    }
}

}  // namespace velunar::fsound
