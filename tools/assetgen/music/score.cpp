// score.cpp - the parts of the arrangement, section by section, each into its own buffer.
#include "music/score.h"

#include <cmath>
#include <cstdint>
#include <functional>

#include "music/instruments.h"
#include "music/tempo.h"

namespace music {

namespace {

// Voicings: Am7, Fmaj7, C, G, Em7, E7 (A minor).
const Chord kAm{45, {57, 60, 64, 67}};
const Chord kF{41, {53, 57, 60, 64}};
const Chord kC{48, {52, 55, 60, 64}};
const Chord kG{43, {55, 59, 62, 67}};
const Chord kEm{40, {52, 55, 59, 62}};
const Chord kE{40, {56, 59, 62, 64}};

// The last beat of music; the fade ends at 170 s, just under beat 298.
constexpr int kLastBar = 74;

bool In(double beat, double a, double b) { return beat >= a && beat < b; }

struct MelodyNote {
    double beat, length;
    int note;
};

// Main theme (4 bars over Am F C G), its answer, and the second theme over F G Em Am.
const std::vector<MelodyNote> kTheme = {
    {0, 1, 76},   {1, .5, 72},  {1.5, .5, 74}, {2, 1, 76},   {3, .5, 79},    {3.5, .5, 76},
    {4, 1.5, 77}, {5.5, .5, 76}, {6, 1, 72},   {7, 1, 69},   {8, .5, 67},    {8.5, .5, 72},
    {9, 1, 76},   {10, .5, 74}, {10.5, .5, 72}, {11, 1, 74}, {12, 1.5, 71},  {13.5, .5, 74},
    {14, 1, 79},  {15, 1, 74},
};
const std::vector<MelodyNote> kAnswer = {
    {0, 1, 81},   {1, .5, 79},  {1.5, .5, 76}, {2, 1, 72},   {3, 1, 76},   {4, .5, 77},   {4.5, .5, 79},
    {5, 1, 81},   {6, 1, 84},   {7, 1, 81},    {8, 1.5, 79}, {9.5, .5, 76}, {10, 1, 72},  {11, .5, 76},
    {11.5, .5, 74}, {12, 2, 74}, {14, 1, 71},  {15, 1, 67},
};
const std::vector<MelodyNote> kSecond = {
    {0, 2, 81},  {2, 1, 79},   {3, 1, 76},   {4, 2, 74},  {6, 1, 71},  {7, 1, 74},
    {8, 1.5, 76}, {9.5, .5, 79}, {10, 1, 83}, {11, 1, 79}, {12, 3, 81}, {15, 1, 76},
};

}  // namespace

const Chord& ChordAtBar(int bar) {
    static const Chord* prog1[4] = {&kAm, &kF, &kC, &kG};
    static const Chord* prog2[4] = {&kF, &kG, &kEm, &kAm};
    if (bar >= 12 && bar < 20) return *prog2[bar % 4];
    if (bar == 20) return kAm;
    if (bar == 28) return kF;
    if (bar == 29) return kG;
    if (bar >= 38 && bar < 46) return *prog2[bar % 4];
    if (bar == 46) return kF;
    if (bar == 47) return kE;
    if (bar >= 72) return kAm;
    return *prog1[bar % 4];
}

namespace {

double T(double beat) { return BeatTime(beat); }
double Dur(double beat, double beats) { return T(beat + beats) - T(beat); }

// Seeds differ per hit so no two noise hits are the same, but every build draws the same ones.
uint32_t Seed(double beat, uint32_t salt) { return static_cast<uint32_t>(beat * 1000.0 + 0.5) * 2654435761u + salt; }

// Calls fn(beat) for every step of `step` beats in [a, b).
void Each(double a, double b, double step, const std::function<void(double)>& fn) {
    const int n = static_cast<int>(std::lround((b - a) / step));
    for (int i = 0; i < n; ++i) fn(a + i * step);
}

void FourOnFloor(std::vector<double>& kicks, double a, double b) { Each(a, b, 1.0, [&](double x) { kicks.push_back(x); }); }

// Kick beats of the whole track (shared by the drums and the side-chain).
std::vector<double> KickBeats() {
    std::vector<double> k;
    k.push_back(6.0);
    FourOnFloor(k, 8, 80);
    Each(48, 80, 4, [&](double bar) { k.push_back(bar + 2.75); });
    for (int s : kBreakSteps) k.push_back(kBreakStartBeat + s / 8.0);
    FourOnFloor(k, 85, 112);
    FourOnFloor(k, 120, 152);
    Each(152, 184, 4, [&](double bar) {
        for (double o : {0.0, 1.5, 2.5}) k.push_back(bar + o);
        if (static_cast<int>(bar / 4) % 2) k.push_back(bar + 3.0);
    });
    FourOnFloor(k, 184, 190);
    FourOnFloor(k, 192, 272);
    return k;
}

void Drums(Stereo& out) {
    for (double b : KickBeats()) {
        if (b >= kBreakStartBeat && b < 84.0) continue;  // the break has hits of its own
        Kick(out, T(b), b < 32 ? 0.75f : (In(b, 192, 256) ? 0.95f : 0.85f));
    }
    // Pick-up fill into the first groove.
    Each(6, 8, 0.25, [&](double b) { Tom(out, T(b), 0.15f + 0.2f * static_cast<float>(b - 6), 110.0 - 10.0 * (b - 6)); });
    // Back-beat.
    auto backbeat = [&](double a, double z, float snareVel, float clapVel) {
        Each(a, z, 2, [&](double b) {
            if (snareVel > 0) Snare(out, T(b + 1), snareVel, Seed(b, 1));
            if (clapVel > 0) Clap(out, T(b + 1), clapVel, Seed(b, 2));
        });
    };
    backbeat(8, 32, 0.0f, 0.35f);
    backbeat(32, 78, 0.45f, 0.35f);
    backbeat(84, 112, 0.45f, 0.4f);
    backbeat(120, 152, 0.5f, 0.4f);
    backbeat(184, 186, 0.5f, 0.0f);
    backbeat(192, 256, 0.55f, 0.45f);
    backbeat(256, 264, 0.3f, 0.25f);
    // Broken beat: snare on beats 1 and 3 of each bar.
    Each(152, 184, 4, [&](double bar) {
        Snare(out, T(bar + 1), 0.5f, Seed(bar, 3));
        Snare(out, T(bar + 3), 0.5f, Seed(bar, 4));
        Snare(out, T(bar + 3.75), 0.15f, Seed(bar, 5));
    });
    // Rolls into the break and into the climax, each rising in density and level.
    Each(78, 80, 0.25, [&](double b) { Snare(out, T(b), 0.15f + 0.35f * static_cast<float>((b - 78) / 2), Seed(b, 6)); });
    Each(118, 120, 0.25, [&](double b) { Snare(out, T(b), 0.05f + 0.25f * static_cast<float>((b - 118) / 2), Seed(b, 7)); });
    Each(186, 189, 0.25, [&](double b) { Snare(out, T(b), 0.2f + 0.1f * static_cast<float>(b - 186), Seed(b, 8)); });
    Each(189, 191.5, 0.125, [&](double b) { Snare(out, T(b), 0.4f + 0.08f * static_cast<float>(b - 189), Seed(b, 9)); });
    // The break: a sharp burst on every hit, the last one the downbeat of the next section.
    for (int s : kBreakSteps) {
        const double b = kBreakStartBeat + s / 8.0;
        if (b < 84.0) BreakHit(out, T(b), 1.0f, Seed(b, 10));
    }
    Snare(out, T(84), 0.6f, Seed(84, 10));
    // Hats.
    auto hats = [&](double a, double z, double step, float vel, bool offbeatOnly) {
        Each(a, z, step, [&](double b) {
            const bool off = std::fmod(b, 1.0) > 0.01;
            if (offbeatOnly && !off) return;
            Hat(out, T(b), off ? vel : vel * 0.6f, false, Seed(b, 11));
        });
    };
    hats(8, 32, 0.5, 0.25f, true);
    hats(32, 78, 0.25, 0.2f, false);
    hats(84, 112, 0.25, 0.22f, false);
    hats(120, 152, 0.25, 0.22f, false);
    hats(152, 184, 0.25, 0.2f, false);
    hats(192, 256, 0.25, 0.25f, false);
    hats(256, 272, 0.5, 0.15f, true);
    Each(48, 80, 1, [&](double b) { Hat(out, T(b + 0.5), 0.18f, true, Seed(b, 12)); });
    Each(192, 256, 1, [&](double b) { Hat(out, T(b + 0.5), b >= 224 ? 0.3f : 0.18f, true, Seed(b, 13)); });
    for (double b : {6.0, 32.0, 48.0, 64.0, 84.0, 120.0, 136.0, 152.0, 168.0, 192.0, 208.0, 224.0, 240.0, 256.0}) {
        Crash(out, T(b), b == 224.0 || b == 192.0 ? 0.5f : 0.35f, Seed(b, 14));
    }
}

void BassLine(Stereo& out) {
    // Octave bass: root on the beat, the octave on the off-beat.
    auto octave = [&](double a, double z, float vel) {
        Each(a, z, 0.5, [&](double b) {
            const int root = ChordAtBar(static_cast<int>(b / 4)).root;
            const bool off = std::fmod(b, 1.0) > 0.01;
            Bass(out, T(b), Dur(b, 0.4), root + (off ? 12 : 0), vel);
        });
    };
    // Syncopated bass of the second theme.
    auto syncopated = [&](double a, double z, float vel) {
        Each(a, z, 4, [&](double bar) {
            const int root = ChordAtBar(static_cast<int>(bar / 4)).root;
            for (double o : {0.0, 0.75, 1.5, 2.0, 2.75, 3.5}) {
                Bass(out, T(bar + o), Dur(bar + o, 0.45), root + (o == 2.75 ? 7 : 0), vel);
            }
        });
    };
    auto held = [&](double a, double z, float vel) {
        Each(a, z, 4, [&](double bar) {
            Bass(out, T(bar), Dur(bar, 3.8), ChordAtBar(static_cast<int>(bar / 4)).root, vel);
        });
    };
    octave(8, 48, 0.5f);
    syncopated(48, 80, 0.55f);
    for (int s : kBreakSteps) {
        const double b = kBreakStartBeat + s / 8.0;
        if (b < 84.0) Bass(out, T(b), Dur(b, 0.05), 33, 0.5f);
    }
    octave(84, 112, 0.55f);
    held(112, 120, 0.35f);
    octave(120, 152, 0.55f);
    syncopated(152, 184, 0.55f);
    octave(184, 190, 0.5f);
    octave(192, 256, 0.6f);
    held(256, 288, 0.4f);
    Bass(out, T(288), Dur(288, 8), 33, 0.4f);
}

void Pads(Stereo& out) {
    for (int bar = 0; bar <= kLastBar; ++bar) {
        const double b = bar * 4.0;
        if (bar == 20) continue;  // the break has only its hits
        double c0 = 1800, c1 = 1800;
        float vel = 0.35f;
        double beats = 4.0;
        if (bar < 2) {
            c0 = 400 + 700 * bar, c1 = c0 + 700;
            vel = 0.3f;
        } else if (bar < 8) {
            c0 = c1 = 1400;
        } else if (bar < 12) {
            c0 = c1 = 1800;
        } else if (bar < 20) {
            c0 = c1 = 2200;
            if (bar == 19) beats = 3.9;  // leaves the gap before the break clean
        } else if (bar < 28) {
            c0 = c1 = 2400;
        } else if (bar < 30) {
            c0 = 900 + 600 * (bar - 28), c1 = c0 + 600;
            vel = 0.4f;
        } else if (bar < 46) {
            c0 = c1 = 2300;
        } else if (bar < 48) {
            c0 = 1200 + 2000 * (bar - 46), c1 = c0 + 2000;
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
            c0 = 1200, c1 = 700;
            beats = 4.0 * (kLastBar - bar + 1);
            Pad(out, T(b), Dur(b, beats), ChordAtBar(bar).notes, 0.35f, c0, c1);
            break;
        }
        Pad(out, T(b), Dur(b, beats), ChordAtBar(bar).notes, vel, c0, c1);
    }
    // Stabs on the break: the chord cut short on each hit.
    for (int s : kBreakSteps) {
        const double b = kBreakStartBeat + s / 8.0;
        if (b < 84.0) Pluck(out, T(b), 57 + (s % 3) * 3, 0.25f, 3000, 0.0f);
    }
}

void Melody(Stereo& out, const std::vector<MelodyNote>& m, double at, int transpose, float vel, float bright,
            double untilBeat = 1e9) {
    for (const MelodyNote& n : m) {
        const double b = at + n.beat;
        if (b >= untilBeat) break;
        Lead(out, T(b), Dur(b, n.length * 0.9), n.note + transpose, vel, bright, -0.1f);
    }
}

void BellMelody(Stereo& out, const std::vector<MelodyNote>& m, double at, float vel) {
    for (const MelodyNote& n : m) Bell(out, T(at + n.beat), n.note, vel, 0.2f);
}

void Leads(Stereo& out) {
    Melody(out, kTheme, 32, 0, 0.3f, 0.0f);
    Melody(out, kSecond, 48, 0, 0.32f, 0.2f);
    Melody(out, kSecond, 64, 0, 0.32f, 0.3f, 78);
    Melody(out, kTheme, 84, 0, 0.34f, 0.4f);
    Melody(out, kAnswer, 100, 0, 0.34f, 0.4f, 112);
    Melody(out, kTheme, 120, 0, 0.34f, 0.6f);
    Melody(out, kAnswer, 136, 0, 0.34f, 0.6f);
    Melody(out, kSecond, 152, -12, 0.36f, 0.3f);
    Melody(out, kSecond, 168, 0, 0.32f, 0.5f);
    Melody(out, kTheme, 192, 0, 0.36f, 1.0f);
    Melody(out, kAnswer, 208, 0, 0.36f, 1.0f);
    // The lift: the theme doubled an octave up.
    Melody(out, kTheme, 224, 0, 0.34f, 1.0f);
    Melody(out, kTheme, 224, 12, 0.2f, 0.8f);
    Melody(out, kAnswer, 240, 0, 0.34f, 1.0f);
    Melody(out, kAnswer, 240, 12, 0.2f, 0.8f);
    BellMelody(out, kTheme, 256, 0.22f);
    BellMelody(out, kAnswer, 272, 0.18f);
}

void Arps(Stereo& out) {
    static const int kOrder[8] = {0, 1, 2, 3, 2, 1, 0, 2};
    auto arp = [&](double a, double z, double step, int octave, float vel, double cutoff) {
        int i = 0;
        Each(a, z, step, [&](double b) {
            const std::vector<int>& notes = ChordAtBar(static_cast<int>(b / 4)).notes;
            const float pan = (i % 2) ? 0.4f : -0.4f;
            Pluck(out, T(b), notes[kOrder[i % 8] % notes.size()] + 12 * octave, vel, cutoff, pan);
            ++i;
        });
    };
    arp(8, 32, 0.5, 0, 0.18f, 1500);
    arp(84, 112, 0.25, 0, 0.2f, 2500);
    arp(112, 120, 0.25, 0, 0.22f, 1500);
    arp(120, 152, 0.25, 1, 0.14f, 2500);
    arp(224, 256, 0.25, 1, 0.18f, 4000);
}

void Effects(Stereo& out) {
    Riser(out, T(0), T(6), 0.35f, 101);
    Impact(out, T(6), 0.5f);
    Riser(out, T(76), T(80), 0.3f, 102);
    Riser(out, T(116), T(120), 0.3f, 103);
    Riser(out, T(184), T(192), 0.3f, 104);
    Impact(out, T(192), 0.6f);
    Riser(out, T(220), T(224), 0.4f, 105);
    Impact(out, T(224), 0.6f);
}

}  // namespace

std::vector<double> KickTimes() {
    std::vector<double> t;
    for (double b : KickBeats()) t.push_back(T(b));
    return t;
}

void RenderPart(Part part, Stereo& out) {
    switch (part) {
        case Part::Drums: Drums(out); break;
        case Part::Bass: BassLine(out); break;
        case Part::Pad: Pads(out); break;
        case Part::Lead: Leads(out); break;
        case Part::Arp: Arps(out); break;
        case Part::Effects: Effects(out); break;
        case Part::Count: break;
    }
}

}  // namespace music
