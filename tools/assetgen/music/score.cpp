// score.cpp - the sections, the chords, and the parts of the arrangement, each into its own buffer.
#include "music/score.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <iterator>
#include <utility>

#include "music/instruments.h"
#include "music/tempo.h"

namespace music {

const char* PartName(Part part) {
    static const char* const kNames[] = {"kick", "snare", "hats", "perc", "bass", "pad", "lead", "arp", "bells", "fx"};
    const size_t i = static_cast<size_t>(part);
    return i < std::size(kNames) ? kNames[i] : "?";
}

// The piece follows the show: a build over fx01's opening that lands with the logo, a driving fx02,
// the drum break under fx09's flashes, fx10 open and melodic, fx07 a breakdown, fx04 and fx03
// building again, fx05 a short riser, fx08 the climax (fuller still after the lift, a tone higher),
// and calm credits that fade out. The trims only steady what the arrangement already does.
const std::vector<Section>& Sections() {
    static const std::vector<Section> kSections = {
        {"fx01 opening", 0, 16, -2.0},    {"fx01 build", 16, 32, -1.0},   {"fx01 logo", 32, 48, 0.0},     {"fx02 drive", 48, 80.375, 0.0},
        {"fx09 break", 80.375, 84, 0.0},  {"fx10 open", 84, 112, -1.0},   {"fx07 breakdown", 112, 120, -4.0},
        {"fx04 rebuild", 120, 152, -1.0}, {"fx03 rise", 152, 184, -0.5},  {"fx05 riser", 184, 192, 0.0},
        {"fx08 climax", 192, 224, 0.5},   {"fx08 lift", 224, 256, 1.5},   {"fx06 credits", 256, 298, -2.0},
    };
    return kSections;
}

namespace {

// Voicings (A minor): Am7, Fmaj7, C, G, Em7, E7, Dm7.
const Chord kAm{45, {57, 60, 64, 67}};
const Chord kF{41, {53, 57, 60, 64}};
const Chord kC{48, {52, 55, 60, 64}};
const Chord kG{43, {55, 59, 62, 67}};
const Chord kEm{40, {52, 55, 59, 62}};
const Chord kE{40, {56, 59, 62, 64}};
const Chord kDm{38, {53, 57, 60, 62}};

// Bars of the lift (fx08's second half): everything a whole tone up.
constexpr int kLiftFirstBar = 56, kLiftEndBar = 64;
constexpr int kLift = 2;

// The last bar with music; the fade ends at 170 s, just under beat 298.
constexpr int kLastBar = 74;

bool In(double beat, double a, double b) { return beat >= a && beat < b; }

struct MelodyNote {
    double beat, length;
    int note;
};

// Main theme (4 bars over Am F C G) and its answer.
const std::vector<MelodyNote> kTheme = {
    {0, 1, 76},   {1, .5, 72},   {1.5, .5, 74},  {2, 1, 76},   {3, .5, 79},   {3.5, .5, 76}, {4, 1.5, 77},
    {5.5, .5, 76}, {6, 1, 72},   {7, 1, 69},     {8, .5, 67},  {8.5, .5, 72}, {9, 1, 76},    {10, .5, 74},
    {10.5, .5, 72}, {11, 1, 74}, {12, 1.5, 71},  {13.5, .5, 74}, {14, 1, 79}, {15, 1, 74},
};
const std::vector<MelodyNote> kAnswer = {
    {0, 1, 81},    {1, .5, 79},  {1.5, .5, 76}, {2, 1, 72},   {3, 1, 76},    {4, .5, 77},  {4.5, .5, 79},
    {5, 1, 81},    {6, 1, 84},   {7, 1, 81},    {8, 1.5, 79}, {9.5, .5, 76}, {10, 1, 72},  {11, .5, 76},
    {11.5, .5, 74}, {12, 2, 74}, {14, 1, 71},   {15, 1, 67},
};
// Second theme over F G Em Am; its turn ends on E (G# and B) to lead on.
const std::vector<MelodyNote> kSecond = {
    {0, 2, 81},   {2, 1, 79},    {3, 1, 76},  {4, 2, 74},  {6, 1, 71},  {7, 1, 74},
    {8, 1.5, 76}, {9.5, .5, 79}, {10, 1, 83}, {11, 1, 79}, {12, 3, 81}, {15, 1, 76},
};
const std::vector<MelodyNote> kSecondTurn = {
    {0, 2, 81},   {2, 1, 79},    {3, 1, 76},  {4, 2, 74},  {6, 1, 71},  {7, 1, 74},
    {8, 1.5, 76}, {9.5, .5, 79}, {10, 1, 83}, {11, 1, 79}, {12, 2, 80}, {14, 1, 83}, {15, 1, 76},
};
// fx10's long-breathed line over F G Em Am Dm E.
const std::vector<MelodyNote> kOpen = {
    {0, 2, 76},   {2, 1, 77},    {3, 1, 81},  {4, 3, 79},  {7, 1, 74},  {8, 2, 76},   {10, 1, 79},
    {11, 1, 83},  {12, 4, 81},   {16, 1.5, 77}, {17.5, .5, 76}, {18, 1, 74}, {19, 1, 77}, {20, 2, 76},
    {22, 1, 80},  {23, 1, 83},
};
// fx03's rising sequence over C G Am Em F C Dm E.
const std::vector<MelodyNote> kRise = {
    {0, 1, 72},   {1, 1, 76},    {2, 2, 79},  {4, 1.5, 74}, {5.5, .5, 71}, {6, 2, 74},  {8, 1, 72},
    {9, 1, 76},   {10, 2, 81},   {12, 1.5, 79}, {13.5, .5, 76}, {14, 2, 71}, {16, 1, 72}, {17, 1, 77},
    {18, 2, 81},  {20, 1.5, 79}, {21.5, .5, 76}, {22, 2, 72}, {24, 1, 74},  {25, 1, 77}, {26, 1, 81},
    {27, 1, 77},  {28, 2, 76},   {30, 1, 80}, {31, 1, 83},
};
// Bells of the opening (two bars per chord: Am F C G), and of the breakdown (F G).
const std::vector<MelodyNote> kOpeningBells = {
    {0, 1, 76},  {1.5, 1, 72},  {3, 1, 69},  {6, 1, 76},  {8, 1, 77},  {9.5, 1, 72},  {11, 1, 69},
    {14, 1, 77}, {16, 1, 79},  {17.5, 1, 76}, {19, 1, 72}, {22, 1, 79}, {24, 1, 79},  {25.5, 1, 74},
    {27, 1, 71}, {28, 1, 74},  {29, 1, 79},  {30, 1, 83}, {31, 1, 86},
};
const std::vector<MelodyNote> kBreakdownBells = {
    {0, 2, 81}, {2, 1, 76}, {3, 1, 72}, {4, 2, 79}, {6, 1, 74}, {7, 1, 71},
};

}  // namespace

Chord ChordAtBar(int bar) {
    static const Chord* const kProgression[kLastBar + 1] = {
        // fx01: the build (two bars a chord), then the theme's chords under the logo.
        &kAm, &kAm, &kF, &kF, &kC, &kC, &kG, &kG, &kAm, &kF, &kC, &kG,
        // fx02 (its last chord leads into the break), the break, fx10, fx07.
        &kF, &kG, &kEm, &kAm, &kF, &kG, &kEm, &kE, &kAm, &kAm, &kF, &kG, &kEm, &kAm, &kDm, &kE, &kF, &kG,
        // fx04, fx03, fx05.
        &kAm, &kF, &kC, &kG, &kAm, &kF, &kC, &kG, &kC, &kG, &kAm, &kEm, &kF, &kC, &kDm, &kE, &kF, &kE,
        // fx08, before and after the lift.
        &kAm, &kF, &kC, &kG, &kAm, &kF, &kC, &kG, &kAm, &kF, &kC, &kG, &kAm, &kF, &kC, &kG,
        // The credits; the home chord rings through the fade.
        &kAm, &kF, &kC, &kG, &kAm, &kF, &kC, &kG, &kAm, &kAm, &kAm,
    };
    Chord c = *kProgression[bar < 0 ? 0 : (bar > kLastBar ? kLastBar : bar)];
    const int shift = bar >= kLiftFirstBar && bar < kLiftEndBar ? kLift : 0;
    c.root += shift;
    for (int& n : c.notes) n += shift;
    return c;
}

int HarmonyBelow(int note, const Chord& chord) {
    int best = note - 12;
    for (int n : chord.notes) {
        for (int octave = -3; octave <= 3; ++octave) {
            const int candidate = n + 12 * octave;
            if (candidate <= note - 3 && candidate > best) best = candidate;
        }
    }
    return best;
}

namespace {

double T(double beat) { return BeatTime(beat); }
double Dur(double beat, double beats) { return T(beat + beats) - T(beat); }
Chord ChordAt(double beat) { return ChordAtBar(static_cast<int>(beat / 4)); }

// Seeds differ per hit so no two noise hits are the same, but every build draws the same ones.
uint32_t Seed(double beat, uint32_t salt) { return static_cast<uint32_t>(beat * 1000.0 + 0.5) * 2654435761u + salt; }

// Calls fn(beat) for every step of `step` beats in [a, b).
void Each(double a, double b, double step, const std::function<void(double)>& fn) {
    const int n = static_cast<int>(std::lround((b - a) / step));
    for (int i = 0; i < n; ++i) fn(a + i * step);
}

// Linear ramp from v0 at beat a to v1 at beat b.
float Ramp(double beat, double a, double b, float v0, float v1) {
    const double p = std::clamp((beat - a) / (b - a), 0.0, 1.0);
    return static_cast<float>(v0 + (v1 - v0) * p);
}

void EveryBar(std::vector<double>& k, double a, double b, std::initializer_list<double> offsets) {
    Each(a, b, 4, [&](double bar) {
        for (double o : offsets) k.push_back(bar + o);
    });
}

// Break hits before the downbeat of fx10 (the last flash is that downbeat itself): fn(seconds, step).
template <typename Fn>
void BreakHits(Fn fn) {
    for (size_t i = 0; i + 1 < std::size(kBreakSteps); ++i) fn(kBreakHitSeconds[i], kBreakSteps[i]);
}

// Kick beats of the whole track (the break's hits aside, which KickTimes adds for the side-chain).
std::vector<double> KickBeats() {
    std::vector<double> k;
    EveryBar(k, 16, 32, {0, 1, 2, 3});
    EveryBar(k, 32, 48, {0, 1, 2, 3});
    EveryBar(k, 48, 80, {0, 1, 2, 2.75, 3});
    k.push_back(84);
    // fx10: half-time, so the line above it can breathe.
    EveryBar(k, 88, 112, {0, 1.5});
    EveryBar(k, 120, 152, {0, 1, 2, 3});
    // fx03: broken beat, with a fourth kick every other bar.
    Each(152, 184, 4, [&](double bar) {
        for (double o : {0.0, 1.5, 2.5}) k.push_back(bar + o);
        if (static_cast<int>(bar / 4) % 2) k.push_back(bar + 3.0);
    });
    Each(184, 188, 1, [&](double b) { k.push_back(b); });
    Each(188, 190, 0.5, [&](double b) { k.push_back(b); });
    EveryBar(k, 192, 256, {0, 1, 2, 3});
    return k;
}

float KickVelocity(double b) {
    if (b < 32) return Ramp(b, 16, 32, 0.55f, 0.8f);
    if (In(b, 84, 112)) return std::fmod(b, 4.0) < 0.01 ? 0.8f : 0.6f;
    if (In(b, 120, 136)) return 0.75f;
    if (In(b, 184, 192)) return Ramp(b, 184, 190, 0.6f, 0.9f);
    if (b >= 192) return 0.95f;
    return 0.85f;
}

void Kicks(Stereo& out) {
    for (double b : KickBeats()) Kick(out, T(b), KickVelocity(b));
}

void Snares(Stereo& out) {
    auto backbeat = [&](double a, double z, float snareVel, float clapVel) {
        Each(a, z, 2, [&](double b) {
            if (snareVel > 0) Snare(out, T(b + 1), snareVel, Seed(b, 1));
            if (clapVel > 0) Clap(out, T(b + 1), clapVel, Seed(b, 2));
        });
    };
    // Rising in density and level from `a` to `z`.
    auto roll = [&](double a, double z, double step, float v0, float v1, uint32_t salt) {
        Each(a, z, step, [&](double b) { Snare(out, T(b), Ramp(b, a, z, v0, v1), Seed(b, salt)); });
    };
    backbeat(24, 30, 0.0f, 0.3f);
    roll(30, 32, 0.25, 0.1f, 0.4f, 3);
    backbeat(32, 48, 0.45f, 0.35f);
    backbeat(48, 78, 0.45f, 0.38f);
    roll(78, 80, 0.25, 0.15f, 0.5f, 4);
    Snare(out, T(84), 0.6f, Seed(84, 5));
    // fx10: one back-beat a bar, on the third beat.
    Each(88, 112, 4, [&](double bar) {
        Snare(out, T(bar + 2), 0.4f, Seed(bar, 6));
        Clap(out, T(bar + 2), 0.3f, Seed(bar, 7));
    });
    backbeat(120, 136, 0.0f, 0.3f);
    backbeat(136, 150, 0.45f, 0.38f);
    roll(150, 152, 0.25, 0.15f, 0.45f, 8);
    // fx03: snare on beats 2 and 4 of the broken beat, a ghost before the bar line.
    Each(152, 184, 4, [&](double bar) {
        Snare(out, T(bar + 1), 0.5f, Seed(bar, 9));
        Snare(out, T(bar + 3), 0.5f, Seed(bar, 10));
        Snare(out, T(bar + 3.75), 0.15f, Seed(bar, 11));
        if (bar >= 168) Clap(out, T(bar + 3), 0.35f, Seed(bar, 12));
    });
    // fx05: the roll tightens from eighths to 32nds, then a beat of silence before the drop.
    roll(184, 186, 0.5, 0.2f, 0.3f, 13);
    roll(186, 189, 0.25, 0.3f, 0.45f, 14);
    roll(189, 191, 0.125, 0.45f, 0.65f, 15);
    backbeat(192, 224, 0.55f, 0.45f);
    backbeat(224, 256, 0.6f, 0.5f);
    Each(224, 256, 4, [&](double bar) { Snare(out, T(bar + 3.75), 0.2f, Seed(bar, 16)); });
}

void HatsAndCymbals(Stereo& out) {
    auto hats = [&](double a, double z, double step, float v0, float v1, bool offbeatOnly, uint32_t salt) {
        Each(a, z, step, [&](double b) {
            const bool off = std::fmod(b, 1.0) > 0.01;
            if (offbeatOnly && !off) return;
            const float vel = Ramp(b, a, z, v0, v1);
            Hat(out, T(b), off ? vel : vel * 0.6f, false, Seed(b, salt));
        });
    };
    auto openHats = [&](double a, double z, float vel, uint32_t salt) {
        Each(a, z, 1, [&](double b) { Hat(out, T(b + 0.5), vel, true, Seed(b, salt)); });
    };
    hats(8, 16, 0.5, 0.08f, 0.14f, true, 1);
    hats(16, 24, 0.5, 0.16f, 0.2f, true, 1);
    hats(24, 32, 0.25, 0.16f, 0.22f, false, 1);
    hats(32, 48, 0.25, 0.2f, 0.2f, false, 2);
    hats(48, 80, 0.25, 0.2f, 0.2f, false, 3);
    openHats(48, 78, 0.16f, 4);
    hats(88, 112, 0.5, 0.16f, 0.16f, false, 5);
    Each(88, 112, 4, [&](double bar) { Hat(out, T(bar + 3.5), 0.12f, true, Seed(bar, 6)); });
    hats(120, 136, 0.5, 0.18f, 0.2f, true, 7);
    hats(136, 152, 0.25, 0.2f, 0.22f, false, 8);
    hats(152, 184, 0.25, 0.2f, 0.2f, false, 9);
    openHats(168, 184, 0.14f, 10);
    hats(184, 190, 0.25, 0.14f, 0.3f, false, 11);
    hats(192, 256, 0.25, 0.24f, 0.26f, false, 12);
    openHats(192, 224, 0.18f, 13);
    openHats(224, 256, 0.24f, 14);
    hats(256, 272, 0.5, 0.12f, 0.04f, true, 15);
    for (double b : {32.0, 48.0, 84.0, 120.0, 136.0, 152.0, 168.0, 192.0, 208.0, 224.0, 240.0, 256.0}) {
        Crash(out, T(b), b == 192.0 || b == 224.0 ? 0.5f : (b == 256.0 ? 0.25f : 0.35f), Seed(b, 17));
    }
}

void Percussion(Stereo& out) {
    // Tom fills into fx02 and into fx03.
    for (double a : {46.0, 150.0}) {
        Each(a, a + 2, 0.25, [&](double b) { Tom(out, T(b), Ramp(b, a, a + 2, 0.2f, 0.45f), 180.0 - 45.0 * (b - a)); });
    }
    // The break: a sharp burst on every hit, the last one the downbeat of fx10.
    BreakHits([&](double t, int s) { BreakHit(out, t, 1.0f, Seed(kBreakStartBeat + s / 8.0, 10)); });
}

void BassLine(Stereo& out) {
    // Octave bass: root on the beat, the octave on the off-beat.
    auto octave = [&](double a, double z, float vel) {
        Each(a, z, 0.5, [&](double b) {
            const bool off = std::fmod(b, 1.0) > 0.01;
            Bass(out, T(b), Dur(b, 0.4), ChordAt(b).root + (off ? 12 : 0), vel);
        });
    };
    // Syncopated bass: pushes across the beat, with a fifth.
    auto syncopated = [&](double a, double z, float vel) {
        Each(a, z, 4, [&](double bar) {
            const int root = ChordAt(bar).root;
            for (double o : {0.0, 0.75, 1.5, 2.0, 2.75, 3.5}) {
                Bass(out, T(bar + o), Dur(bar + o, 0.45), root + (o == 2.75 ? 7 : 0), vel);
            }
        });
    };
    // Long notes, `beats` each: the root, then (when `fifth`) the fifth above it.
    auto held = [&](double a, double z, double beats, bool fifth, float vel) {
        Each(a, z, beats, [&](double b) {
            const bool second = fifth && std::fmod(b, 4.0) > 0.01;
            Bass(out, T(b), Dur(b, beats * 0.95), ChordAt(b).root + (second ? 7 : 0), vel);
        });
    };
    held(8, 16, 4, false, 0.3f);
    octave(16, 32, 0.45f);
    octave(32, 48, 0.5f);
    syncopated(48, 80, 0.55f);
    BreakHits([&](double t, int) { Bass(out, t, Dur(82, 0.05), 33, 0.5f); });
    held(84, 112, 2, true, 0.45f);
    held(112, 120, 4, false, 0.3f);
    octave(120, 152, 0.5f);
    syncopated(152, 184, 0.55f);
    Each(184, 190, 0.5, [&](double b) { Bass(out, T(b), Dur(b, 0.4), ChordAt(b).root, Ramp(b, 184, 190, 0.4f, 0.55f)); });
    octave(192, 256, 0.6f);
    held(256, 288, 4, false, 0.35f);
    Bass(out, T(288), Dur(288, 8), 33, 0.35f);
}

void Pads(Stereo& out) {
    for (int bar = 0; bar <= kLastBar; ++bar) {
        const double b = bar * 4.0;
        if (bar == 20) continue;  // the break has only its hits
        double c0 = 2000, c1 = 2000, beats = 4.0;
        float vel = 0.35f;
        if (bar < 8) {
            // The opening: the filter opens bar by bar.
            c0 = 350 + 230 * bar, c1 = c0 + 230;
            vel = 0.3f;
        } else if (bar < 12) {
            c0 = c1 = 2000;
        } else if (bar < 20) {
            c0 = c1 = 2400;
            if (bar == 19) beats = 3.9;  // leaves the gap before the break clean
        } else if (bar < 28) {
            c0 = c1 = 3000;
            vel = 0.4f;
        } else if (bar < 30) {
            c0 = 800 + 400 * (bar - 28), c1 = c0 + 400;
            vel = 0.38f;
        } else if (bar < 38) {
            c0 = 1500 + 140 * (bar - 30), c1 = c0 + 140;
        } else if (bar < 46) {
            c0 = 2400 + 100 * (bar - 38), c1 = c0 + 100;
        } else if (bar < 48) {
            c0 = 1200 + 1900 * (bar - 46), c1 = c0 + 1900;
            vel = 0.4f;
        } else if (bar < 56) {
            c0 = c1 = 3800;
            vel = 0.4f;
        } else if (bar < 64) {
            c0 = c1 = 5000;
            vel = 0.42f;
        } else if (bar < 72) {
            c0 = 2600 - 150 * (bar - 64), c1 = c0 - 150;
        } else {
            // The last chord rings through the fade.
            Pad(out, T(b), Dur(b, 4.0 * (kLastBar - bar + 1)), ChordAtBar(bar).notes, 0.35f, 1200, 700);
            break;
        }
        Pad(out, T(b), Dur(b, beats), ChordAtBar(bar).notes, vel, c0, c1);
    }
    // Stabs on the break: the chord cut short on each hit.
    BreakHits([&](double t, int s) { Pluck(out, t, 57 + (s % 3) * 3, 0.25f, 3000, 0.0f); });
}

struct Voice {
    float vel, bright, pan;
};

void Melody(Stereo& out, const std::vector<MelodyNote>& m, double at, int transpose, Voice v, bool harmony = false) {
    for (const MelodyNote& n : m) {
        const double b = at + n.beat;
        const int note = n.note + transpose;
        Lead(out, T(b), Dur(b, n.length * 0.9), note, v.vel, v.bright, v.pan);
        if (harmony) Lead(out, T(b), Dur(b, n.length * 0.9), HarmonyBelow(note, ChordAt(b)), v.vel * 0.55f, v.bright, -v.pan);
    }
}

void Leads(Stereo& out) {
    Melody(out, kTheme, 32, 0, {0.3f, 0.1f, -0.1f});
    Melody(out, kSecond, 48, 0, {0.32f, 0.3f, -0.1f});
    Melody(out, kSecondTurn, 64, 0, {0.32f, 0.4f, -0.1f});
    Melody(out, kOpen, 88, 0, {0.34f, 0.0f, -0.15f});
    Melody(out, kTheme, 120, 0, {0.32f, 0.3f, -0.1f});
    Melody(out, kAnswer, 136, 0, {0.34f, 0.5f, -0.1f});
    Melody(out, kRise, 152, 0, {0.34f, 0.5f, -0.1f});
    Melody(out, kTheme, 192, 0, {0.36f, 0.9f, -0.1f});
    Melody(out, kAnswer, 208, 0, {0.36f, 0.9f, -0.1f}, true);
    // The lift: a tone up, the line doubled an octave higher and harmonised.
    for (double at : {224.0, 240.0}) {
        const std::vector<MelodyNote>& m = at == 224.0 ? kTheme : kAnswer;
        Melody(out, m, at, kLift, {0.36f, 1.0f, -0.1f}, true);
        Melody(out, m, at, kLift + 12, {0.16f, 0.8f, 0.25f});
    }
}

void Arps(Stereo& out) {
    static const int kOrder[8] = {0, 1, 2, 3, 2, 1, 0, 2};
    auto arp = [&](double a, double z, double step, int octave, float vel, double cut0, double cut1) {
        int i = 0;
        Each(a, z, step, [&](double b) {
            const std::vector<int> notes = ChordAt(b).notes;
            const float pan = (i % 2) ? 0.4f : -0.4f;
            const double cutoff = cut0 + (cut1 - cut0) * (b - a) / (z - a);
            Pluck(out, T(b), notes[kOrder[i % 8] % notes.size()] + 12 * octave, vel, cutoff, pan);
            ++i;
        });
    };
    arp(8, 32, 0.5, 0, 0.16f, 500, 2500);
    arp(32, 48, 0.25, 0, 0.15f, 2000, 2000);
    arp(48, 78, 0.25, 0, 0.17f, 2500, 2500);
    arp(84, 112, 0.5, 1, 0.12f, 1500, 1500);
    arp(120, 136, 0.5, 0, 0.16f, 1200, 1800);
    arp(136, 152, 0.25, 0, 0.17f, 1800, 2400);
    arp(152, 168, 0.25, 0, 0.16f, 2500, 2500);
    arp(168, 184, 0.25, 1, 0.14f, 3000, 3000);
    arp(184, 192, 0.25, 0, 0.17f, 1000, 5000);
    arp(192, 224, 0.25, 1, 0.15f, 3500, 3500);
    arp(224, 256, 0.25, 1, 0.17f, 4500, 4500);
    arp(224, 256, 0.5, 0, 0.12f, 2000, 2000);
    arp(256, 272, 0.5, 0, 0.1f, 1200, 800);
}

void Bells(Stereo& out) {
    auto bells = [&](const std::vector<MelodyNote>& m, double at, int transpose, float vel) {
        for (const MelodyNote& n : m) Bell(out, T(at + n.beat), n.note + transpose, vel, 0.2f);
    };
    bells(kOpeningBells, 0, 0, 0.2f);
    // fx10's landing after the break, before its line begins.
    for (const auto& [b, note] : {std::pair{84.0, 81}, {85.5, 76}, {86.5, 79}, {87.0, 72}}) Bell(out, T(b), note, 0.18f, -0.2f);
    bells(kBreakdownBells, 112, 0, 0.24f);
    bells(kTheme, 256, 0, 0.22f);
    bells(kAnswer, 272, 0, 0.18f);
    Bell(out, T(288), 69, 0.16f, 0.0f);
    Bell(out, T(288), 76, 0.12f, 0.3f);
}

void Effects(Stereo& out) {
    Riser(out, T(0), T(6), 0.25f, 101);
    Impact(out, T(6), 0.35f);
    Riser(out, T(24), T(32), 0.3f, 102);
    Impact(out, T(32), 0.45f);
    Riser(out, T(76), T(80), 0.3f, 103);
    Impact(out, T(84), 0.5f);
    Riser(out, T(116), T(120), 0.25f, 104);
    Riser(out, T(148), T(152), 0.25f, 105);
    Riser(out, T(184), T(192), 0.4f, 106);
    Impact(out, T(192), 0.6f);
    Riser(out, T(220), T(224), 0.4f, 107);
    Impact(out, T(224), 0.6f);
    Impact(out, T(256), 0.35f);
}

}  // namespace

std::vector<double> KickTimes() {
    std::vector<double> t;
    for (double b : KickBeats()) t.push_back(T(b));
    BreakHits([&](double hit, int) { t.push_back(hit); });
    return t;
}

void RenderPart(Part part, Stereo& out) {
    switch (part) {
        case Part::Kick: Kicks(out); break;
        case Part::Snare: Snares(out); break;
        case Part::Hats: HatsAndCymbals(out); break;
        case Part::Perc: Percussion(out); break;
        case Part::Bass: BassLine(out); break;
        case Part::Pad: Pads(out); break;
        case Part::Lead: Leads(out); break;
        case Part::Arp: Arps(out); break;
        case Part::Bells: Bells(out); break;
        case Part::Effects: Effects(out); break;
        case Part::Count: break;
    }
}

}  // namespace music
