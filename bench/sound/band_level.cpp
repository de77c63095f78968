// band_level FILE [STEP_MS] [--trace]: the level the scenes read from a track, to calibrate kSpectrumGain.
// Walks the decoded track in steps (default 1000/60 ms, one frame at 60 fps) and takes the mean of
// the first 64 bands, as fx01, fx04 and fx10 do, of the window that ends at each step: at gain 1
// (unclamped) and at the current gain (clamped per band, as the scenes see it). Prints percentiles
// and the gains that would put the median at 0.1 and the 95th percentile at 0.4. --trace also
// prints, for every second, the lowest and highest level at gain 1.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/fsound/fmod.h"
#include "platform/fsound/pcm.h"
#include "platform/fsound/fft_bands.h"

using velunar::fsound::SpectrumAnalyser;

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: band_level FILE [STEP_MS]\n");
        return 2;
    }
    double stepMs = argc > 2 ? std::atof(argv[2]) : 1000.0 / 60;
    if (stepMs <= 0) stepMs = 1000.0 / 60;
    const bool trace = argc > 3 && std::string(argv[3]) == "--trace";
    velunar::fsound::Pcm pcm;
    std::string error;
    if (!velunar::fsound::DecodeFile(argv[1], FSOUND_NORMAL, pcm, error)) {
        std::fprintf(stderr, "band_level: %s\n", error.c_str());
        return 1;
    }
    pcm = velunar::fsound::Resample(pcm, 44100, velunar::fsound::Resampling::kCubic);
    SpectrumAnalyser fft;
    std::vector<float> mono(SpectrumAnalyser::kWindow), raw(SpectrumAnalyser::kBands), seen(SpectrumAnalyser::kBands);
    std::vector<double> rawMeans, seenMeans;
    const double seconds = static_cast<double>(pcm.Frames()) / pcm.rate;
    for (double t = stepMs / 1000; t < seconds; t += stepMs / 1000) {
        long end = static_cast<long>(t * pcm.rate);
        for (int i = 0; i < SpectrumAnalyser::kWindow; ++i) {
            long f = end - SpectrumAnalyser::kWindow + i;
            mono[i] = f < 0 ? 0.0f : (pcm.samples[2 * f] + pcm.samples[2 * f + 1]) / 65536.0f;
        }
        // Gain 1 is clamped too, but a level above 1 at gain 1 would need a louder-than-full-scale sine.
        fft.Analyse(mono.data(), 1.0f, raw.data());
        fft.Analyse(mono.data(), velunar::fsound::kSpectrumGain, seen.data());
        double r = 0, s = 0;
        for (int k = 0; k < 64; ++k) {
            r += raw[k];
            s += seen[k];
        }
        rawMeans.push_back(r / 64);
        seenMeans.push_back(s / 64);
    }
    if (rawMeans.empty()) {
        std::fprintf(stderr, "band_level: the track is shorter than one step\n");
        return 1;
    }
    if (trace) {
        const std::size_t perSecond = static_cast<std::size_t>(1000.0 / stepMs);
        for (std::size_t i = 0; i + perSecond <= rawMeans.size(); i += perSecond) {
            auto [lo, hi] = std::minmax_element(rawMeans.begin() + i, rawMeans.begin() + i + perSecond);
            std::printf("%5zu s  %.4f  %.4f\n", i / perSecond, *lo, *hi);
        }
    }
    auto pct = [](std::vector<double> v, double p) {
        std::sort(v.begin(), v.end());
        return v[static_cast<std::size_t>(p * (v.size() - 1))];
    };
    std::printf("%s: %.1f s, %zu windows every %.2f ms\n", argv[1], seconds, rawMeans.size(), stepMs);
    std::printf("%-22s %8s %8s %8s %8s %8s\n", "mean of bands 0-63", "p10", "p50", "p90", "p95", "max");
    std::printf("%-22s %8.4f %8.4f %8.4f %8.4f %8.4f\n", "gain 1", pct(rawMeans, .1), pct(rawMeans, .5),
                pct(rawMeans, .9), pct(rawMeans, .95), pct(rawMeans, 1));
    std::printf("gain %-17.2f %8.4f %8.4f %8.4f %8.4f %8.4f\n", velunar::fsound::kSpectrumGain, pct(seenMeans, .1),
                pct(seenMeans, .5), pct(seenMeans, .9), pct(seenMeans, .95), pct(seenMeans, 1));
    std::printf("gain for median 0.1: %.2f; gain for p95 0.4: %.2f\n", 0.1 / std::max(pct(rawMeans, .5), 1e-9),
                0.4 / std::max(pct(rawMeans, .95), 1e-9));
    return 0;
}
