// The music generator's building blocks: pitch, envelopes, the loudness meter, the true-peak limiter,
// the beat grid under the show, and an MP3 round trip that must come back sample-aligned.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "assets/music/mp3_decode.h"
#include "music/envelope.h"
#include "music/limiter.h"
#include "music/loudness.h"
#include "music/mp3_writer.h"
#include "music/oscillator.h"
#include "music/tempo.h"

using namespace music;

namespace {

// Frequency from the spacing of upward zero crossings, interpolated between samples.
double MeasureHz(const std::vector<float>& s) {
    double first = -1.0, last = -1.0;
    int crossings = 0;
    for (size_t i = 1; i < s.size(); ++i) {
        if (s[i - 1] < 0.0f && s[i] >= 0.0f) {
            const double at = (i - 1) + s[i - 1] / (s[i - 1] - s[i]);
            if (first < 0.0) first = at;
            last = at;
            ++crossings;
        }
    }
    return crossings > 1 ? (crossings - 1) * kSampleRate / (last - first) : 0.0;
}

std::vector<float> Render(Oscillator osc, double hz, size_t n) {
    std::vector<float> s(n);
    for (float& v : s) v = osc.Next(hz);
    return s;
}

std::vector<float> Sine(double hz, double amp, double seconds, double phase = 0.0) {
    std::vector<float> s(static_cast<size_t>(seconds * kSampleRate));
    for (size_t i = 0; i < s.size(); ++i) s[i] = static_cast<float>(amp * std::sin(2.0 * kPi * hz * i / kSampleRate + phase));
    return s;
}

}  // namespace

TEST(MusicOscillator, PitchAndRange) {
    EXPECT_NEAR(NoteHz(69), 440.0, 1e-9);
    EXPECT_NEAR(NoteHz(81), 880.0, 1e-9);
    EXPECT_NEAR(MeasureHz(Render(Oscillator(Wave::Sine), NoteHz(69), 44100)), 440.0, 0.01);
    // The band-limited waves keep their pitch and stay within full scale (a little PolyBLEP overshoot at most).
    for (Wave w : {Wave::Saw, Wave::Square, Wave::Triangle}) {
        const std::vector<float> s = Render(Oscillator(w), 220.0, 44100);
        double mean = 0.0;
        for (float v : s) mean += v;
        mean /= s.size();
        std::vector<float> centred(s);
        for (float& v : centred) v -= static_cast<float>(mean);
        EXPECT_NEAR(MeasureHz(centred), 220.0, 0.5) << static_cast<int>(w);
        EXPECT_LE(*std::max_element(s.begin(), s.end()), 1.05f);
        EXPECT_GE(*std::min_element(s.begin(), s.end()), -1.05f);
    }
}

TEST(MusicOscillator, NoiseIsRepeatableAndCentred) {
    Noise a(7), b(7), c(8);
    double sum = 0.0;
    bool differs = false;
    for (int i = 0; i < 100000; ++i) {
        const float x = a.Next();
        ASSERT_EQ(x, b.Next());
        differs |= x != c.Next();
        ASSERT_LE(std::fabs(x), 1.0f);
        sum += x;
    }
    EXPECT_TRUE(differs);
    EXPECT_NEAR(sum / 100000.0, 0.0, 0.01);
}

TEST(MusicEnvelope, AttackAndReleaseRamps) {
    const Envelope e{0.01, 0.2, 0.5, 0.1};
    const double gate = 0.5;
    EXPECT_DOUBLE_EQ(e.Level(0.0, gate), 0.0);
    EXPECT_NEAR(e.Level(0.005, gate), 0.5, 1e-9);
    EXPECT_NEAR(e.Level(0.01, gate), 1.0, 1e-9);
    EXPECT_NEAR(e.Level(0.45, gate), 0.5, 0.02);  // settled on the sustain level
    const double atGate = e.Level(gate, gate);
    EXPECT_NEAR(e.Level(gate + 0.05, gate), atGate * 0.5, 1e-9);
    EXPECT_NEAR(e.Level(gate + 0.1, gate), 0.0, 1e-12);
    EXPECT_DOUBLE_EQ(e.Level(gate + 0.11, gate), 0.0);
    EXPECT_DOUBLE_EQ(e.Length(gate), 0.6);
    // No step anywhere: at 44.1 kHz no two neighbouring samples differ by more than one attack step.
    double prev = 0.0, worst = 0.0;
    for (int i = 0; i < static_cast<int>(0.7 * kSampleRate); ++i) {
        const double v = e.Level(i / kSampleRate, gate);
        worst = std::max(worst, std::fabs(v - prev));
        prev = v;
    }
    EXPECT_LE(worst, 1.0 / (0.01 * kSampleRate) + 1e-9);
    // A note released during its attack ramps down from where it got to.
    EXPECT_NEAR(e.Level(0.005, 0.004), 0.4 * 0.99, 1e-9);
}

TEST(MusicLoudness, KnownSignals) {
    const std::vector<float> tone = Sine(1000.0, 1.0, 5.0);
    // A full-scale 1 kHz sine in one channel reads -3.01 LUFS; in both, 3 dB more.
    EXPECT_NEAR(IntegratedLoudness(tone.data(), nullptr, tone.size(), kSampleRate), -3.01, 0.05);
    EXPECT_NEAR(IntegratedLoudness(tone.data(), tone.data(), tone.size(), kSampleRate), 0.0, 0.05);
    const std::vector<float> quiet = Sine(1000.0, FromDb(-20.0), 5.0);
    EXPECT_NEAR(IntegratedLoudness(quiet.data(), quiet.data(), quiet.size(), kSampleRate), -20.0, 0.05);
    // Gating: silence does not pull (ungated, two thirds of silence would read -24.8) the reading down, and silence alone reads nothing.
    std::vector<float> gapped(quiet);
    gapped.resize(quiet.size() * 3, 0.0f);
    EXPECT_NEAR(IntegratedLoudness(gapped.data(), gapped.data(), gapped.size(), kSampleRate), -20.0, 0.2);
    const std::vector<float> silence(44100 * 2, 0.0f);
    EXPECT_FALSE(std::isfinite(IntegratedLoudness(silence.data(), silence.data(), silence.size(), kSampleRate)));
    // Low rumble counts for less than mid-range of the same level.
    const std::vector<float> rumble = Sine(30.0, 1.0, 5.0);
    EXPECT_LT(IntegratedLoudness(rumble.data(), nullptr, rumble.size(), kSampleRate), -5.0);
}

TEST(MusicLoudness, LoudnessRangeSpansTheQuietAndLoudPassages) {
    // 20 s at -20 LUFS, then 20 s at -30: the range is the 10 dB between them (short-term windows
    // across the step fall between and do not reach the 10th or 95th percentile).
    std::vector<float> steps = Sine(1000.0, FromDb(-20.0), 20.0);
    const std::vector<float> quiet = Sine(1000.0, FromDb(-30.0), 20.0);
    steps.insert(steps.end(), quiet.begin(), quiet.end());
    EXPECT_NEAR(LoudnessRange(steps.data(), steps.data(), steps.size(), kSampleRate), 10.0, 0.3);
    // A steady tone has no range, and neither has silence.
    const std::vector<float> steady = Sine(1000.0, FromDb(-20.0), 20.0);
    EXPECT_NEAR(LoudnessRange(steady.data(), steady.data(), steady.size(), kSampleRate), 0.0, 0.05);
    const std::vector<float> silence(44100 * 10, 0.0f);
    EXPECT_EQ(LoudnessRange(silence.data(), silence.data(), silence.size(), kSampleRate), 0.0);
    // Passages more than 20 LU under the rest are gated out: a -45 LUFS stretch does not widen it
    // (only the few windows across the step remain, under a tenth of the whole).
    std::vector<float> gated = Sine(1000.0, FromDb(-20.0), 60.0);
    const std::vector<float> faint = Sine(1000.0, FromDb(-45.0), 20.0);
    gated.insert(gated.end(), faint.begin(), faint.end());
    EXPECT_LT(LoudnessRange(gated.data(), gated.data(), gated.size(), kSampleRate), 0.5);
    // Short-term windows are 3 s long, 100 ms apart, and read a steady tone like the integrated meter.
    const std::vector<double> st = ShortTermLoudness(steady.data(), steady.data(), steady.size(), kSampleRate);
    EXPECT_EQ(st.size(), 200u - 29u);
    EXPECT_NEAR(st.front(), -20.0, 0.05);
}

TEST(MusicLoudness, TruePeakSeesBetweenSamples) {
    // A quarter-rate sine sampled 45 degrees off its crests: every sample is at 0.707, the wave at 1.
    const std::vector<float> s = Sine(kSampleRate / 4.0, 1.0, 0.1, kPi / 4.0);
    EXPECT_NEAR(*std::max_element(s.begin(), s.end()), 0.7071, 0.001);
    EXPECT_NEAR(TruePeak(s.data(), s.size()), 1.0, 0.02);
    const std::vector<float> low = Sine(1000.0, 0.5, 0.1);
    EXPECT_NEAR(TruePeak(low.data(), low.size()), 0.5, 0.005);
}

TEST(MusicLimiter, HoldsTheCeilingAndLeavesQuietPartsAlone) {
    std::vector<float> l = Sine(440.0, 0.2, 2.0), r = Sine(440.0, 0.2, 2.0);
    // A loud burst (a kick-like hit) in the second half, with inter-sample peaks of its own.
    for (size_t i = 44100; i < 44100 + 8000; ++i) {
        const double x = (i - 44100) / kSampleRate;
        l[i] += static_cast<float>(1.3 * std::sin(2.0 * kPi * 11025.0 * x + kPi / 4.0) * std::exp(-x * 20.0));
        r[i] = l[i];
    }
    const std::vector<float> before = l;
    const double ceiling = FromDb(-2.0);
    LimitTruePeak(l, r, ceiling);
    EXPECT_LE(TruePeak(l.data(), l.size()), ceiling * 1.01);
    EXPECT_EQ(l, r);
    // Far from the burst the signal is untouched.
    for (size_t i = 0; i < 40000; ++i) ASSERT_EQ(l[i], before[i]) << i;
    // And the gain moves smoothly: no sample jumps by more than the signal itself could.
    double worst = 0.0;
    for (size_t i = 1; i < l.size(); ++i) worst = std::max(worst, std::fabs(static_cast<double>(l[i] - l[i - 1])));
    EXPECT_LT(worst, 2.0 * ceiling);
}

TEST(MusicTempo, SceneChangesFallOnBeats) {
    EXPECT_DOUBLE_EQ(BeatTime(0), 0.0);
    const double anchors[][2] = {{6, 3.4525},   {32, 18.301},  {84, 47.972},   {112, 63.989},
                                 {120, 68.549}, {152, 86.814}, {184, 105.088}, {192, 109.665},
                                 {224, 127.909}, {256, 146.221}};
    for (const auto& a : anchors) EXPECT_NEAR(BeatTime(a[0]), a[1], 1e-9) << a[0];
    // The grid stays within 1.5 % of 105 BPM everywhere and never runs backwards.
    for (double b = 0; b < 300; b += 0.25) {
        const double spb = (BeatTime(b + 0.25) - BeatTime(b)) * 4.0;
        ASSERT_NEAR(spb, 60.0 / 105.0, 0.015 * 60.0 / 105.0) << b;
    }
    EXPECT_GT(BeatTime(298), 170.0);
}

TEST(MusicTempo, BreakHitsAreTheFlashTimes) {
    const double flashes[18] = {45.9,   46.113, 46.187, 46.258, 46.471, 46.686, 46.827, 46.97,  47.043,
                                47.113, 47.258, 47.401, 47.542, 47.614, 47.684, 47.829, 47.898, 47.972};
    // The hits sound at the flashes, and the flashes lie on the break's 32nd-note steps.
    for (int i = 0; i < 18; ++i) {
        EXPECT_DOUBLE_EQ(kBreakHitSeconds[i], flashes[i]) << i;
        EXPECT_NEAR(BeatTime(kBreakStartBeat + kBreakSteps[i] / 8.0), flashes[i], 0.003) << i;
    }
}

TEST(MusicMp3, RoundTripIsGaplessAndAligned) {
    // Two seconds of a 440 Hz tone with a click-free onset at 0.5 s: the decoded file must have the
    // same length and the onset in the same place, or the show's beats would drift off the picture.
    const size_t n = 2 * 44100;
    std::vector<float> l(n, 0.0f), r(n, 0.0f);
    for (size_t i = 22050; i < n; ++i) {
        const double ramp = std::min(1.0, (i - 22050) / 44.1);
        l[i] = r[i] = static_cast<float>(0.5 * ramp * std::sin(2.0 * kPi * 440.0 * (i - 22050) / kSampleRate));
    }
    std::vector<unsigned char> mp3;
    ASSERT_TRUE(EncodeMp3(l, r, mp3));
    const std::string path = std::string(VELUNAR_TEST_TMP) + "/roundtrip.mp3";
    ASSERT_TRUE(WriteFile(path, mp3));
    DecodedPcm pcm;
    ASSERT_TRUE(DecodeMp3(path, pcm));
    EXPECT_EQ(pcm.rate, 44100);
    EXPECT_EQ(pcm.channels, 2);
    EXPECT_EQ(pcm.left.size(), n);
    size_t onset = 0;
    while (onset < pcm.left.size() && std::fabs(pcm.left[onset]) < 0.05f) ++onset;
    EXPECT_NEAR(static_cast<double>(onset), 22050.0 + 4.0, 8.0);
    EXPECT_NEAR(DecodedTruePeak(mp3), 0.5, 0.03);
    EXPECT_LT(DecodedTruePeak(std::vector<unsigned char>(100, 0x55)), 0.0);
}
