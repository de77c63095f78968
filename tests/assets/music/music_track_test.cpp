// The finished music track in the runnable tree, decoded the way the program decodes it: its format
// and length, loudness and peak, the contrast between its sections, the drum break under the black
// flashes, the low bands that the scenes read, and the silence at the end. And the render itself:
// the same samples whatever the number of threads.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <filesystem>
#include <vector>

#include "assets/music/mp3_decode.h"
#include "music/loudness.h"
#include "music/track.h"

using namespace music;

namespace {

const DecodedPcm* Track() {
    static DecodedPcm pcm;
    static bool tried = false, ok = false;
    if (!tried) {
        tried = true;
        const std::string path = std::string(VELUNAR_RUN_DIR) + "/velunar.mp3";
        ok = std::filesystem::exists(path) && DecodeMp3(path, pcm);
    }
    return ok ? &pcm : nullptr;
}

#define REQUIRE_TRACK()                                                     \
    const DecodedPcm* pcm = Track();                                        \
    if (!pcm) GTEST_SKIP() << "no velunar.mp3 in the run tree (build assets)"; \
    [[maybe_unused]] const size_t frames = pcm->left.size()

// RMS of the mid signal over [t0, t1) seconds.
double Rms(const DecodedPcm& p, double t0, double t1) {
    const size_t a = static_cast<size_t>(t0 * p.rate), b = std::min(p.left.size(), static_cast<size_t>(t1 * p.rate));
    double acc = 0.0;
    for (size_t i = a; i < b; ++i) {
        const double m = 0.5 * (p.left[i] + p.right[i]);
        acc += m * m;
    }
    return b > a ? std::sqrt(acc / (b - a)) : 0.0;
}

// Mean magnitude of the first 64 of 512 bands of the 1024 samples ending at t (Hann window,
// a full-scale sine = 1): the level the scenes read from the spectrum, before its gain.
double LowBands(const DecodedPcm& p, double t) {
    const size_t end = static_cast<size_t>(t * p.rate);
    double sum = 0.0;
    for (int k = 0; k < 64; ++k) {
        std::complex<double> acc = 0.0;
        for (size_t i = 0; i < 1024; ++i) {
            const size_t j = end - 1024 + i;
            const double w = 0.5 - 0.5 * std::cos(2.0 * M_PI * i / 1024.0);
            acc += 0.5 * (p.left[j] + p.right[j]) * w * std::polar(1.0, -2.0 * M_PI * k * i / 1024.0);
        }
        sum += std::abs(acc) * 4.0 / 1024.0;
    }
    return sum / 64.0;
}

}  // namespace

TEST(MusicTrack, FormatAndLength) {
    REQUIRE_TRACK();
    EXPECT_EQ(pcm->rate, 44100);
    EXPECT_EQ(pcm->channels, 2);
    EXPECT_NEAR(frames / 44100.0, 172.0, 0.5);
}

TEST(MusicTrack, LoudnessAndPeak) {
    REQUIRE_TRACK();
    const double lufs = IntegratedLoudness(pcm->left.data(), pcm->right.data(), frames, 44100.0);
    EXPECT_GE(lufs, -15.0);
    EXPECT_LE(lufs, -13.0);
    float sampled = 0.0f;
    for (size_t i = 0; i < frames; ++i) sampled = std::max({sampled, std::fabs(pcm->left[i]), std::fabs(pcm->right[i])});
    EXPECT_LT(ToDb(sampled), -1.0);
    EXPECT_LE(ToDb(std::max(TruePeak(pcm->left.data(), frames), TruePeak(pcm->right.data(), frames))), -1.0);
}

// Integrated loudness of [t0, t1) s.
double Lufs(const DecodedPcm& p, double t0, double t1) {
    const size_t a = static_cast<size_t>(t0 * p.rate), b = std::min(p.left.size(), static_cast<size_t>(t1 * p.rate));
    return IntegratedLoudness(p.left.data() + a, p.right.data() + a, b - a, p.rate);
}

TEST(MusicTrack, SectionsContrast) {
    REQUIRE_TRACK();
    EXPECT_GE(LoudnessRange(pcm->left.data(), pcm->right.data(), frames, 44100.0), 7.0);
    const double opening = Lufs(*pcm, 0.0, 8.0), fx10 = Lufs(*pcm, 47.972, 63.989), fx07 = Lufs(*pcm, 63.989, 68.549);
    const double fx04 = Lufs(*pcm, 68.549, 86.814), fx03 = Lufs(*pcm, 86.814, 105.088), lift = Lufs(*pcm, 127.909, 146.221);
    // The climax after the lift is the loudest stretch; the opening starts well under it; the
    // breakdown dips under both its neighbours.
    EXPECT_GE(lift - fx03, 2.0);
    EXPECT_GE(lift - fx04, 2.0);
    EXPECT_GE(lift - opening, 6.0);
    EXPECT_GE(fx10 - fx07, 5.0);
    EXPECT_GE(fx04 - fx07, 5.0);
}

TEST(MusicTrack, DrumBreakHitsTheFlashes) {
    REQUIRE_TRACK();
    const double flashes[18] = {45.9,   46.113, 46.187, 46.258, 46.471, 46.686, 46.827, 46.97,  47.043,
                                47.113, 47.258, 47.401, 47.542, 47.614, 47.684, 47.829, 47.898, 47.972};
    // Energy in 5 ms frames; an onset is a frame at least 4x (6 dB in amplitude) over the 20 ms before.
    for (double f : flashes) {
        double best = 0.0;
        for (double t = f - 0.015; t <= f + 0.015; t += 0.0025) {
            const double before = Rms(*pcm, t - 0.025, t - 0.005) + 1e-6;
            best = std::max(best, Rms(*pcm, t, t + 0.005) / before);
        }
        EXPECT_GT(best, 2.0) << "no onset at " << f;
    }
    // Between two hits 3 steps apart (45.9 -> 46.113) the sound falls back well under the hit.
    EXPECT_LT(Rms(*pcm, 46.07, 46.11), 0.7 * Rms(*pcm, 45.9, 45.94));
}

TEST(MusicTrack, LowBandsFollowTheBeatAndTheSections) {
    REQUIRE_TRACK();
    // In a groove (fx04, beats every 0.571 s) the low-band level swings with the kick: the loudest
    // tenth of the frames against the quietest tenth.
    std::vector<double> groove;
    for (double t = 70.0; t < 80.0; t += 0.02) groove.push_back(LowBands(*pcm, t));
    std::sort(groove.begin(), groove.end());
    EXPECT_GT(groove[groove.size() * 9 / 10], 1.6 * groove[groove.size() / 10]);
    // Quiet passages sit lower than the climax.
    auto mean = [&](double t0, double t1) {
        double s = 0.0;
        int n = 0;
        for (double t = t0; t < t1; t += 0.05, ++n) s += LowBands(*pcm, t);
        return s / n;
    };
    const double intro = mean(0.5, 3.0), breakdown = mean(64.5, 67.5), climax = mean(130.0, 140.0), credits = mean(158.0, 164.0);
    EXPECT_LT(intro, 0.6 * climax);
    EXPECT_LT(breakdown, 0.8 * climax);
    EXPECT_LT(credits, 0.85 * climax);
}

TEST(MusicTrack, FadesToSilence) {
    REQUIRE_TRACK();
    EXPECT_LT(ToDb(Rms(*pcm, 168.5, 169.5)), ToDb(Rms(*pcm, 160.0, 164.0)) - 12.0);
    float tail = 0.0f;
    for (size_t i = static_cast<size_t>(170.0 * 44100); i < frames; ++i) tail = std::max({tail, std::fabs(pcm->left[i]), std::fabs(pcm->right[i])});
    EXPECT_LT(ToDb(tail + 1e-9), -60.0);
}

TEST(MusicRender, SameSamplesForAnyThreadCount) {
#if defined(__SANITIZE_ADDRESS__)
    // Two whole renders take minutes under the sanitizers, which already watch the one the build makes.
    GTEST_SKIP() << "the whole track twice is too slow under the sanitizers";
#endif
    // Parts render on workers but mix in a fixed order: one thread and three give the same track.
    const Stereo one = RenderTrack(1), three = RenderTrack(3);
    ASSERT_EQ(one.Frames(), three.Frames());
    EXPECT_TRUE(one.l == three.l);
    EXPECT_TRUE(one.r == three.r);
}
