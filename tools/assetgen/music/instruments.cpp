// instruments.cpp - the drum hits and pitched notes, each synthesised into a stereo buffer.
#include "music/instruments.h"

#include <algorithm>
#include <cmath>

#include "music/envelope.h"
#include "music/filter.h"

namespace music {

namespace {

constexpr double kDt = 1.0 / kSampleRate;
// Swept filters are retuned every 32 samples (0.7 ms): smooth to the ear, and a tangent saved per sample.
constexpr size_t kControlRate = 32;

// Multiplier that takes a level down by 60 dB in `seconds`.
double DecayPerSample(double seconds) { return std::exp(std::log(0.001) / (seconds * kSampleRate)); }

// Short linear ramp at the start of every hit, so even drums never begin with a step.
double HitRamp(double x) { return std::min(1.0, x / 0.0015); }

}  // namespace

void Kick(Stereo& out, double t, float vel) {
    const size_t start = FrameAt(t);
    const PanGain pg(0.0f);
    const size_t len = static_cast<size_t>(0.45 * kSampleRate);
    double phase = 0.0, amp = 1.0;
    const double decay = DecayPerSample(0.42);
    for (size_t i = 0; i < len; ++i) {
        const double x = i * kDt;
        // Pitch sweep 160 Hz -> 48 Hz: the thump that carries the beat in the low bands.
        const double hz = 48.0 + 112.0 * std::exp(-x / 0.03);
        phase += hz * kDt;
        const double body = std::sin(2.0 * kPi * phase);
        const double click = std::exp(-x / 0.004) * std::sin(2.0 * kPi * 1800.0 * x) * 0.15;
        const double tail = i > len - 800 ? (len - i) / 800.0 : 1.0;
        const double v = (std::tanh(1.6 * body) * amp + click) * vel * HitRamp(x) * tail;
        out.Add(start + i, static_cast<float>(v), pg);
        amp *= decay;
    }
}

void Snare(Stereo& out, double t, float vel, uint32_t seed) {
    const size_t start = FrameAt(t);
    const PanGain pg(0.05f);
    const size_t len = static_cast<size_t>(0.3 * kSampleRate);
    Noise noise(seed);
    Biquad hp = Biquad::HighPass(1200.0, 0.7, kSampleRate);
    double phase = 0.0;
    for (size_t i = 0; i < len; ++i) {
        const double x = i * kDt;
        phase += (185.0 + 60.0 * std::exp(-x / 0.01)) * kDt;
        const double tone = std::sin(2.0 * kPi * phase) * std::exp(-x / 0.05);
        const double rattle = hp.Process(noise.Next()) * std::exp(-x / 0.07);
        const double tail = i > len - 600 ? (len - i) / 600.0 : 1.0;
        const double v = (0.55 * tone + 0.6 * rattle) * vel * HitRamp(x) * tail;
        out.Add(start + i, static_cast<float>(v), pg);
    }
}

void Clap(Stereo& out, double t, float vel, uint32_t seed) {
    const size_t start = FrameAt(t);
    const PanGain pg(-0.1f);
    const size_t len = static_cast<size_t>(0.25 * kSampleRate);
    Noise noise(seed);
    Svf bp;
    for (size_t i = 0; i < len; ++i) {
        const double x = i * kDt;
        // Three quick bursts, then the body.
        const double burst = std::fmod(x, 0.011);
        const double env = x < 0.033 ? std::exp(-burst / 0.003) : std::exp(-(x - 0.033) / 0.06);
        const double tail = i > len - 600 ? (len - i) / 600.0 : 1.0;
        const double v = bp.Process(noise.Next(), 1300.0, 1.4).band * env * vel * 1.8 * HitRamp(x) * tail;
        out.Add(start + i, static_cast<float>(v), pg);
    }
}

void Hat(Stereo& out, double t, float vel, bool open, uint32_t seed) {
    const size_t start = FrameAt(t);
    const PanGain pg(0.3f);
    const double length = open ? 0.3 : 0.06;
    const size_t len = static_cast<size_t>(length * kSampleRate);
    Noise noise(seed);
    Biquad hp = Biquad::HighPass(7500.0, 0.8, kSampleRate);
    for (size_t i = 0; i < len; ++i) {
        const double x = i * kDt;
        const double env = std::exp(-x / (open ? 0.08 : 0.015));
        const double tail = 1.0 - static_cast<double>(i) / len;
        const double v = hp.Process(noise.Next()) * env * vel * HitRamp(x) * tail;
        out.Add(start + i, static_cast<float>(v), pg);
    }
}

void Crash(Stereo& out, double t, float vel, uint32_t seed) {
    const size_t start = FrameAt(t);
    const size_t len = static_cast<size_t>(2.0 * kSampleRate);
    Noise nl(seed), nr(seed * 7u + 1u);
    Biquad hl = Biquad::HighPass(4000.0, 0.7, kSampleRate), hr = Biquad::HighPass(4000.0, 0.7, kSampleRate);
    for (size_t i = 0; i < len; ++i) {
        const double x = i * kDt;
        const double env = std::exp(-x / 0.45) * HitRamp(x) * (1.0 - static_cast<double>(i) / len) * vel;
        out.AddStereo(start + i, static_cast<float>(hl.Process(nl.Next()) * env),
                      static_cast<float>(hr.Process(nr.Next()) * env));
    }
}

void Tom(Stereo& out, double t, float vel, double hz) {
    const size_t start = FrameAt(t);
    const PanGain pg(-0.2f);
    const size_t len = static_cast<size_t>(0.3 * kSampleRate);
    double phase = 0.0;
    for (size_t i = 0; i < len; ++i) {
        const double x = i * kDt;
        phase += hz * (1.0 + 0.5 * std::exp(-x / 0.02)) * kDt;
        const double tail = 1.0 - static_cast<double>(i) / len;
        const double v = std::sin(2.0 * kPi * phase) * std::exp(-x / 0.09) * vel * HitRamp(x) * tail;
        out.Add(start + i, static_cast<float>(v), pg);
    }
}

void BreakHit(Stereo& out, double t, float vel, uint32_t seed) {
    const size_t start = FrameAt(t);
    const size_t len = static_cast<size_t>(0.12 * kSampleRate);
    const PanGain pg(0.0f);
    Noise noise(seed);
    Biquad hp = Biquad::HighPass(900.0, 0.7, kSampleRate);
    double kick = 0.0, tom = 0.0;
    for (size_t i = 0; i < len; ++i) {
        const double x = i * kDt;
        kick += (55.0 + 130.0 * std::exp(-x / 0.02)) * kDt;
        tom += (95.0 + 40.0 * std::exp(-x / 0.02)) * kDt;
        const double body = std::tanh(1.8 * std::sin(2.0 * kPi * kick)) * std::exp(-x / 0.035);
        const double low = 0.5 * std::sin(2.0 * kPi * tom) * std::exp(-x / 0.03);
        const double snap = 0.5 * hp.Process(noise.Next()) * std::exp(-x / 0.02);
        const double tail = 1.0 - static_cast<double>(i) / len;
        const double v = (body + low + snap) * vel * HitRamp(x) * tail;
        out.Add(start + i, static_cast<float>(v), pg);
    }
}

void Impact(Stereo& out, double t, float vel) {
    const size_t start = FrameAt(t);
    const PanGain pg(0.0f);
    const size_t len = static_cast<size_t>(1.6 * kSampleRate);
    double phase = 0.0;
    for (size_t i = 0; i < len; ++i) {
        const double x = i * kDt;
        phase += (38.0 + 60.0 * std::exp(-x / 0.08)) * kDt;
        const double tail = 1.0 - static_cast<double>(i) / len;
        const double v = std::sin(2.0 * kPi * phase) * std::exp(-x / 0.5) * vel * HitRamp(x) * tail;
        out.Add(start + i, static_cast<float>(v), pg);
    }
}

void Riser(Stereo& out, double t0, double t1, float vel, uint32_t seed) {
    const size_t a = FrameAt(t0), b = FrameAt(t1);
    Noise nl(seed), nr(seed ^ 0x5bd1e995u);
    Svf fl, fr;
    for (size_t i = a; i < b; ++i) {
        const double p = static_cast<double>(i - a) / (b - a);
        if ((i - a) % kControlRate == 0) {
            fl.Set(300.0 * std::pow(30.0, p), 2.0);
            fr.Set(315.0 * std::pow(30.0, p), 2.0);
        }
        const double end = std::min(1.0, (b - i) / (0.01 * kSampleRate));
        const double env = p * p * vel * end * std::min(1.0, (i - a) / 2000.0);
        out.AddStereo(i, static_cast<float>(fl.Process(nl.Next()).band * env),
                      static_cast<float>(fr.Process(nr.Next()).band * env));
    }
}

void Bass(Stereo& out, double t, double gate, double note, float vel) {
    const Envelope env{0.004, 0.2, 0.7, 0.03};
    const size_t start = FrameAt(t);
    const PanGain pg(0.0f);
    const size_t len = static_cast<size_t>(env.Length(gate) * kSampleRate);
    const double hz = NoteHz(note);
    Oscillator sub(Wave::Sine), saw(Wave::Saw);
    Svf lp;
    for (size_t i = 0; i < len; ++i) {
        const double x = i * kDt;
        if (i % kControlRate == 0) lp.Set(220.0 + 1400.0 * std::exp(-x / 0.06), 1.2);
        const double v = (0.8 * sub.Next(hz) + 0.45 * lp.Process(saw.Next(hz)).low) * env.Level(x, gate) * vel;
        out.Add(start + i, static_cast<float>(v), pg);
    }
}

void Pad(Stereo& out, double t, double gate, const std::vector<int>& notes, float vel, double cutoffStart,
         double cutoffEnd) {
    const Envelope env{0.25, 1.0, 0.85, 0.6};
    const size_t start = FrameAt(t);
    const size_t len = static_cast<size_t>(env.Length(gate) * kSampleRate);
    const double detune[3] = {-0.09, 0.0, 0.11};
    const PanGain pans[3] = {PanGain(-0.6f), PanGain(0.0f), PanGain(0.6f)};
    const float norm = vel / static_cast<float>(notes.size());
    for (size_t n = 0; n < notes.size(); ++n) {
        Oscillator osc[3] = {Oscillator(Wave::Saw, 0.1 * n), Oscillator(Wave::Saw, 0.37 + 0.1 * n),
                             Oscillator(Wave::Saw, 0.71 + 0.1 * n)};
        Svf lp[3];
        double hz[3];
        for (int k = 0; k < 3; ++k) hz[k] = NoteHz(notes[n] + detune[k]);
        for (size_t i = 0; i < len; ++i) {
            const double x = i * kDt;
            if (i % kControlRate == 0) {
                const double p = std::min(1.0, x / std::max(gate, 1e-3));
                for (Svf& f : lp) f.Set(cutoffStart + (cutoffEnd - cutoffStart) * p, 0.8);
            }
            const double e = env.Level(x, gate) * norm;
            float vl = 0.0f, vr = 0.0f;
            for (int k = 0; k < 3; ++k) {
                const float s = lp[k].Process(osc[k].Next(hz[k])).low;
                vl += s * pans[k].l;
                vr += s * pans[k].r;
            }
            out.AddStereo(start + i, static_cast<float>(vl * e), static_cast<float>(vr * e));
        }
    }
}

void Lead(Stereo& out, double t, double gate, double note, float vel, float bright, float pan) {
    const Envelope env{0.01, 0.3, 0.75, 0.12};
    const size_t start = FrameAt(t);
    const PanGain pg(pan);
    const size_t len = static_cast<size_t>(env.Length(gate) * kSampleRate);
    Oscillator sq(Wave::Square), tri(Wave::Triangle), s1(Wave::Saw, 0.2), s2(Wave::Saw, 0.6), vib(Wave::Sine);
    Svf lp;
    for (size_t i = 0; i < len; ++i) {
        const double x = i * kDt;
        // Vibrato fades in after a quarter second, as a player would.
        const double depth = std::min(1.0, std::max(0.0, (x - 0.25) / 0.3)) * 0.12;
        const double hz = NoteHz(note + depth * vib.Next(5.5));
        const double soft = 0.35 * sq.Next(hz) + 0.65 * tri.Next(hz);
        const double hard = 0.5 * (s1.Next(hz * 1.004) + s2.Next(hz * 0.996));
        const double mixed = soft * (1.0 - bright) + hard * bright;
        if (i % kControlRate == 0) lp.Set(900.0 + 3500.0 * bright + 2500.0 * std::exp(-x / 0.15), 0.9);
        const double v = lp.Process(static_cast<float>(mixed)).low * env.Level(x, gate) * vel;
        out.Add(start + i, static_cast<float>(v), pg);
    }
}

void Pluck(Stereo& out, double t, double note, float vel, double cutoff, float pan) {
    const Envelope env{0.002, 0.12, 0.0, 0.05};
    const double gate = 0.2;
    const size_t start = FrameAt(t);
    const PanGain pg(pan);
    const size_t len = static_cast<size_t>(env.Length(gate) * kSampleRate);
    Oscillator saw(Wave::Saw), sq(Wave::Square, 0.25);
    Svf lp;
    const double hz = NoteHz(note);
    for (size_t i = 0; i < len; ++i) {
        const double x = i * kDt;
        if (i % kControlRate == 0) lp.Set(200.0 + cutoff * std::exp(-x / 0.05), 1.5);
        const double v = lp.Process(0.6f * saw.Next(hz) + 0.4f * sq.Next(hz * 0.5)).low * env.Level(x, gate) * vel;
        out.Add(start + i, static_cast<float>(v), pg);
    }
}

void Bell(Stereo& out, double t, double note, float vel, float pan) {
    const Envelope env{0.003, 1.2, 0.0, 0.2};
    const double gate = 1.4;
    const size_t start = FrameAt(t);
    const PanGain pg(pan);
    const size_t len = static_cast<size_t>(env.Length(gate) * kSampleRate);
    Oscillator a(Wave::Sine), b(Wave::Sine);
    const double hz = NoteHz(note);
    for (size_t i = 0; i < len; ++i) {
        const double x = i * kDt;
        const double v = (a.Next(hz) + 0.35 * b.Next(hz * 2.76) * std::exp(-x / 0.3)) * env.Level(x, gate) * vel;
        out.Add(start + i, static_cast<float>(v), pg);
    }
}

}  // namespace music
