// Sound layer costs, each next to a reference measured in the same run:
//  - decoding the whole track at start-up, against the track's own duration (real-time factor);
//  - one FSOUND_DSP_GetSpectrum call, against the bare 1024-point FFT inside it;
//  - one audio callback's mix, against the callback period (its share of one core).
// The track is run/velunar.mp3 when the build has made it, else a generated 60 s stand-in.
#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/fsound/fmod.h"
#include "platform/fsound/fsound_ext.h"
#include "platform/fsound/library.h"
#include "platform/fsound/pcm.h"
#include "platform/fsound/fft_bands.h"
#include "platform/window/clock.h"
#include "sound_fixtures.h"

namespace {

constexpr int kRate = 44100;

const std::string& TrackPath() {
    static const std::string path = [] {
        std::string real = std::string(VELUNAR_RUN_DIR) + "/velunar.mp3";
        if (std::filesystem::exists(real)) return real;
        std::string standIn = sound_fixtures::TempPath("standin.mp3");
        if (!std::filesystem::exists(standIn)) {
            // Chords and a kick at 105 BPM: a busy enough signal for the decoder.
            auto pcm = sound_fixtures::Synth(kRate * 60, [](int i, int c) {
                double t = static_cast<double>(i) / kRate, beat = std::fmod(t, 60.0 / 105);
                double kick = std::exp(-beat * 20) * std::sin(2 * M_PI * 55 * beat);
                return 0.3 * std::sin(2 * M_PI * (220 + 3 * c) * t) + 0.2 * std::sin(2 * M_PI * 277 * t) + 0.4 * kick;
            });
            sound_fixtures::WriteMp3(standIn, kRate, pcm);
        }
        return standIn;
    }();
    return path;
}

void BM_DecodeWholeTrack(benchmark::State& state) {
    velunar::fsound::Pcm pcm;
    std::string error;
    for (auto _ : state) {
        velunar::fsound::DecodeFile(TrackPath(), FSOUND_NORMAL, pcm, error);
        benchmark::DoNotOptimize(pcm.samples.data());
    }
    double seconds = static_cast<double>(pcm.Frames()) / std::max(pcm.rate, 1);
    state.counters["track_s"] = seconds;
    // Seconds of music decoded per second of decoding.
    state.counters["realtime_x"] = benchmark::Counter(seconds * state.iterations(), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_DecodeWholeTrack)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ResampleTrackTo48k(benchmark::State& state) {
    velunar::fsound::Pcm pcm;
    std::string error;
    velunar::fsound::DecodeFile(TrackPath(), FSOUND_NORMAL, pcm, error);
    for (auto _ : state) {
        auto out = velunar::fsound::Resample(pcm, 48000, velunar::fsound::Resampling::kCubic);
        benchmark::DoNotOptimize(out.samples.data());
    }
}
BENCHMARK(BM_ResampleTrackTo48k)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_FftOnly(benchmark::State& state) {
    velunar::fsound::SpectrumAnalyser fft;
    std::vector<float> window(1024), bands(512);
    for (int i = 0; i < 1024; ++i) window[i] = std::sin(i * 0.1f);
    for (auto _ : state) {
        fft.Analyse(window.data(), velunar::fsound::kSpectrumGain, bands.data());
        benchmark::DoNotOptimize(bands.data());
    }
}
BENCHMARK(BM_FftOnly);

// The whole call the scenes make each frame: gather the heard window, mono, FFT.
void BM_GetSpectrum(benchmark::State& state) {
    velunar::clock::UseVirtual(true);
    velunar::clock::SetVirtualTime(0);
    FSOUND_Velunar_UseVirtualClock(true);
    FSOUND_Init(kRate, 16, 0);
    FSOUND_STREAM* s = FSOUND_Stream_OpenFile(TrackPath().c_str(), FSOUND_NORMAL, 0);
    FSOUND_Stream_Play(FSOUND_FREE, s);
    FSOUND_DSP_SetActive(FSOUND_DSP_GetFFTUnit(), TRUE);
    DWORD ms = 5000;
    for (auto _ : state) {
        velunar::clock::SetVirtualTime(ms);
        ms = 5000 + (ms + 16) % 20000;
        benchmark::DoNotOptimize(FSOUND_DSP_GetSpectrum());
    }
    FSOUND_Close();
    FSOUND_Velunar_UseVirtualClock(false);
    velunar::clock::UseVirtual(false);
}
BENCHMARK(BM_GetSpectrum);

// One device callback mixing the playing track; its share of a core is the time per call over the
// callback period, 1024 / 44100 s = 23.2 ms.
void BM_CallbackMix(benchmark::State& state) {
    velunar::clock::UseVirtual(true);
    FSOUND_Velunar_UseVirtualClock(true);  // no device thread competing for the lock
    FSOUND_Init(kRate, 16, 0);
    FSOUND_STREAM* s = FSOUND_Stream_OpenFile(TrackPath().c_str(), FSOUND_NORMAL, 0);
    FSOUND_Stream_Play(FSOUND_FREE, s);
    std::vector<float> out(2 * 1024);
    auto& lib = velunar::fsound::Library::Get();
    int calls = 0;
    for (auto _ : state) {
        if (++calls % 1000 == 0) FSOUND_Stream_SetPosition(s, 0);
        lib.Mix(out.data(), 1024);
        benchmark::DoNotOptimize(out.data());
    }
    state.counters["core_share"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * 1024.0 / kRate, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    FSOUND_Close();
    FSOUND_Velunar_UseVirtualClock(false);
    velunar::clock::UseVirtual(false);
}
BENCHMARK(BM_CallbackMix);

}  // namespace

BENCHMARK_MAIN();
