// The synthesiser's voices and effects: filters that pass and stop what they should, every hit and
// note starting and ending without a click, and a room whose tail dies away.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "music/filter.h"
#include "music/instruments.h"
#include "music/oscillator.h"
#include "music/reverb.h"
#include "music/score.h"
#include "music/tempo.h"
#include "music/track.h"

using namespace music;

namespace {

double SineRmsThrough(double hz, const std::function<float(float)>& filter) {
    double acc = 0.0;
    const int n = 44100;
    for (int i = 0; i < n; ++i) {
        const float y = filter(static_cast<float>(std::sin(2.0 * kPi * hz * i / kSampleRate)));
        if (i >= n / 2) acc += y * y;  // after the filter has settled
    }
    return std::sqrt(acc / (n / 2)) * std::sqrt(2.0);
}

}  // namespace

TEST(MusicFilter, LowPassAndHighPassResponses) {
    for (double cutoff : {200.0, 1000.0, 5000.0}) {
        Svf a, b, c;
        EXPECT_NEAR(SineRmsThrough(cutoff / 8, [&](float x) { return a.Low(x, cutoff, 0.707); }), 1.0, 0.02) << cutoff;
        EXPECT_NEAR(SineRmsThrough(cutoff, [&](float x) { return b.Low(x, cutoff, 0.707); }), 0.707, 0.02) << cutoff;
        // Three octaves up (or near the top of the band) a two-pole low-pass is down by 36 dB or more.
        const double high = std::min(cutoff * 8, 20000.0);
        EXPECT_LT(SineRmsThrough(high, [&](float x) { return c.Low(x, cutoff, 0.707); }), 0.05) << cutoff;
    }
    Biquad hp = Biquad::HighPass(1000.0, 0.707, kSampleRate), lp = Biquad::LowPass(1000.0, 0.707, kSampleRate);
    EXPECT_LT(SineRmsThrough(100.0, [&](float x) { return static_cast<float>(hp.Process(x)); }), 0.02);
    EXPECT_LT(SineRmsThrough(10000.0, [&](float x) { return static_cast<float>(lp.Process(x)); }), 0.02);
}

TEST(MusicVoices, EveryHitAndNoteStartsAndEndsQuietly) {
    const std::vector<std::pair<std::string, std::function<void(Stereo&)>>> voices = {
        {"kick", [](Stereo& s) { Kick(s, 0.1, 1.0f); }},
        {"snare", [](Stereo& s) { Snare(s, 0.1, 1.0f, 3); }},
        {"clap", [](Stereo& s) { Clap(s, 0.1, 1.0f, 3); }},
        {"hat", [](Stereo& s) { Hat(s, 0.1, 1.0f, false, 3); }},
        {"open hat", [](Stereo& s) { Hat(s, 0.1, 1.0f, true, 3); }},
        {"crash", [](Stereo& s) { Crash(s, 0.1, 1.0f, 3); }},
        {"tom", [](Stereo& s) { Tom(s, 0.1, 1.0f, 100.0); }},
        {"break hit", [](Stereo& s) { BreakHit(s, 0.1, 1.0f, 3); }},
        {"impact", [](Stereo& s) { Impact(s, 0.1, 1.0f); }},
        {"riser", [](Stereo& s) { Riser(s, 0.1, 1.5, 1.0f, 3); }},
        {"bass", [](Stereo& s) { Bass(s, 0.1, 0.3, 33, 1.0f); }},
        {"pad", [](Stereo& s) { Pad(s, 0.1, 1.0, {57, 60, 64}, 1.0f, 500, 3000); }},
        {"lead", [](Stereo& s) { Lead(s, 0.1, 0.5, 76, 1.0f, 0.5f, 0.0f); }},
        {"pluck", [](Stereo& s) { Pluck(s, 0.1, 64, 1.0f, 3000, 0.3f); }},
        {"bell", [](Stereo& s) { Bell(s, 0.1, 76, 1.0f, 0.0f); }},
    };
    for (const auto& [name, play] : voices) {
        Stereo s(static_cast<size_t>(3.0 * kSampleRate));
        play(s);
        size_t first = s.Frames(), last = 0;
        float peak = 0.0f;
        for (size_t i = 0; i < s.Frames(); ++i) {
            const float m = std::max(std::fabs(s.l[i]), std::fabs(s.r[i]));
            ASSERT_TRUE(std::isfinite(m)) << name;
            if (m > 0.0f) {
                first = std::min(first, i);
                last = i;
            }
            peak = std::max(peak, m);
        }
        ASSERT_LT(first, s.Frames()) << name << " is silent";
        EXPECT_GE(first, FrameAt(0.1)) << name << " starts early";
        EXPECT_GT(peak, 0.05f) << name;
        // The first and the last sounding samples are tiny against the voice's own peak.
        const auto at = [&](size_t i) { return std::max(std::fabs(s.l[i]), std::fabs(s.r[i])); };
        EXPECT_LT(at(first), 0.02f * peak) << name << " starts with a click";
        EXPECT_LT(at(last), 0.02f * peak) << name << " ends with a click";
        EXPECT_LT(last, s.Frames() - 1) << name << " runs past its buffer";
    }
}

TEST(MusicVoices, HitsWithTheSameSeedAreIdentical) {
    Stereo a(20000), b(20000), c(20000);
    Snare(a, 0.0, 1.0f, 5);
    Snare(b, 0.0, 1.0f, 5);
    Snare(c, 0.0, 1.0f, 6);
    EXPECT_EQ(a.l, b.l);
    EXPECT_NE(a.l, c.l);
}

TEST(MusicEffects, RoomTailDiesAwayAndEchoRepeats) {
    Stereo in(static_cast<size_t>(8.0 * kSampleRate));
    in.l[100] = in.r[100] = 1.0f;
    const Stereo wet = Reverb(in, 0.75, 0.5);
    auto energy = [&](const Stereo& s, double t0, double t1) {
        double e = 0.0;
        for (size_t i = FrameAt(t0); i < FrameAt(t1); ++i) e += s.l[i] * s.l[i] + s.r[i] * s.r[i];
        return e;
    };
    const double early = energy(wet, 0.0, 0.5), late = energy(wet, 6.0, 8.0);
    EXPECT_GT(early, 0.0);
    EXPECT_LT(late, early * 1e-4);
    EXPECT_NE(wet.l, wet.r);  // the room is wide
    const Stereo echo = PingPong(in, 0.25, 0.5);
    EXPECT_NEAR(echo.l[100 + FrameAt(0.25) - 1], 0.0f, 1e-9);
    const size_t d = static_cast<size_t>(0.25 * kSampleRate);
    EXPECT_FLOAT_EQ(echo.l[100 + d], 1.0f);
    EXPECT_FLOAT_EQ(echo.r[100 + 2 * d], 0.5f);
    EXPECT_FLOAT_EQ(echo.l[100 + 3 * d], 0.25f);
}

TEST(MusicScore, SectionsJoinOnTheSceneChanges) {
    const std::vector<Section>& sections = Sections();
    ASSERT_FALSE(sections.empty());
    EXPECT_EQ(sections.front().fromBeat, 0.0);
    for (size_t s = 1; s < sections.size(); ++s) {
        EXPECT_EQ(sections[s].fromBeat, sections[s - 1].toBeat) << sections[s].name;
        EXPECT_GT(sections[s].toBeat, sections[s].fromBeat) << sections[s].name;
    }
    EXPECT_GE(BeatTime(sections.back().toBeat), kFadeEnd);
    // Every scene change, and the lift inside fx08, starts a section.
    for (double change : {18.301, 27.345, 45.9, 47.972, 63.989, 68.549, 86.814, 105.088, 109.665, 127.909, 146.221}) {
        bool found = false;
        for (const Section& s : sections) found |= std::fabs(BeatTime(s.fromBeat) - change) < 1e-6;
        EXPECT_TRUE(found) << change;
    }
}

TEST(MusicScore, TrimsMoveSmoothlyAndLandOnTheJoins) {
    const std::vector<Section>& sections = Sections();
    for (size_t s = 0; s + 1 < sections.size(); ++s) {
        const double join = BeatTime(sections[s].toBeat);
        // The section's own trim until just before the join, the next one's from the join on.
        EXPECT_DOUBLE_EQ(SectionTrimDb(join - 0.1), sections[s].gainDb) << sections[s].name;
        EXPECT_NEAR(SectionTrimDb(join), sections[s + 1].gainDb, 1e-9) << sections[s].name;
        // In between, no sample steps by more than a twentieth of a dB: no click at the join.
        double worst = 0.0;
        for (double t = join - 0.06; t < join + 0.01; t += 1.0 / kSampleRate) {
            worst = std::max(worst, std::fabs(SectionTrimDb(t + 1.0 / kSampleRate) - SectionTrimDb(t)));
        }
        EXPECT_LT(worst, 0.05) << sections[s].name;
    }
}

TEST(MusicScore, ChordsFollowTheShow) {
    // Every bar has a chord whose bass root lies under its voicing; the climax (from bar 48) and the
    // credits begin on the home chord, A minor, and the credits end there.
    for (int bar = 0; bar <= 74; ++bar) {
        const Chord c = ChordAtBar(bar);
        ASSERT_FALSE(c.notes.empty());
        EXPECT_LT(c.root, c.notes.front()) << bar;
    }
    EXPECT_EQ(ChordAtBar(48).root % 12, 9);
    EXPECT_EQ(ChordAtBar(64).root % 12, 9);
    EXPECT_EQ(ChordAtBar(74).root % 12, 9);
    // The lift (bars 56-63) plays fx08's first half a whole tone higher.
    for (int bar = 56; bar < 64; ++bar) {
        EXPECT_EQ(ChordAtBar(bar).root, ChordAtBar(bar - 8).root + 2) << bar;
        EXPECT_EQ(ChordAtBar(bar).notes.front(), ChordAtBar(bar - 8).notes.front() + 2) << bar;
    }
    // The harmony line takes the nearest chord tone a minor third or more below the melody.
    const Chord am = ChordAtBar(48);
    EXPECT_EQ(HarmonyBelow(76, am), 72);  // E over A minor: C
    EXPECT_EQ(HarmonyBelow(72, am), 69);  // C: A
    EXPECT_EQ(HarmonyBelow(81, am), 76);  // A: E
    for (int note = 60; note < 90; ++note) {
        const int h = HarmonyBelow(note, am);
        EXPECT_GE(note - h, 3) << note;
        EXPECT_LE(note - h, 12) << note;
    }
}

TEST(MusicScore, KicksFollowTheSections) {
    // The side-chain knows every hit of the break.
    const std::vector<double> kicks = KickTimes();
    for (double f : kBreakHitSeconds) {
        bool found = false;
        for (double k : kicks) found |= std::fabs(k - f) < 1e-9;
        EXPECT_TRUE(found) << f;
    }
    // No kick in the first 8 s of the opening, in the breakdown under fx07, in the beat of silence
    // before the climax, nor in the credits.
    for (double k : kicks) {
        EXPECT_FALSE(k < 8.0) << k;
        EXPECT_FALSE(k > 64.0 && k < 68.5) << k;
        EXPECT_FALSE(k > BeatTime(190.5) && k < 109.6) << k;
        EXPECT_LT(k, 146.2);
    }
}
