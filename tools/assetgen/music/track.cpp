// track.cpp - renders every part, mixes, fades, normalises loudness and limits the peak.
#include "music/track.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "music/filter.h"
#include "music/limiter.h"
#include "music/loudness.h"
#include "music/reverb.h"
#include "music/score.h"
#include "music/tempo.h"

namespace music {

namespace {

constexpr size_t kParts = static_cast<size_t>(Part::Count);

// Mix levels of the parts (kick, snare, hats, perc, bass, pad, lead, arp, bells, fx), how much of each
// goes to the room, which go to the lead's echo, and which breathe with the kick.
constexpr float kLevel[kParts] = {1.0f, 1.0f, 1.0f, 1.0f, 0.55f, 0.4f, 0.5f, 0.5f, 0.5f, 0.5f};
constexpr float kRoomSend[kParts] = {0.04f, 0.18f, 0.1f, 0.12f, 0.0f, 0.35f, 0.3f, 0.35f, 0.4f, 0.2f};
constexpr bool kEcho[kParts] = {false, false, false, false, false, false, true, false, true, false};
constexpr bool kDucked[kParts] = {false, false, false, false, true, true, false, true, false, false};

// Seconds over which the mix moves from one section's trim to the next, ending on the join.
constexpr double kTrimRamp = 0.04;

// Side-chain gain: dips to 1 - depth on each kick and recovers over ~150 ms.
std::vector<float> Pump(size_t frames, double depth) {
    std::vector<float> g(frames, 1.0f);
    for (double t : KickTimes()) {
        const size_t a = FrameAt(t - 0.003);
        const size_t len = static_cast<size_t>(0.4 * kSampleRate);
        for (size_t i = 0; i < len && a + i < frames; ++i) {
            const double x = i / kSampleRate;
            // 3 ms ramp down, then an exponential recovery.
            const double duck = x < 0.003 ? x / 0.003 : std::exp(-(x - 0.003) / 0.09);
            g[a + i] = std::min(g[a + i], static_cast<float>(1.0 - depth * duck));
        }
    }
    return g;
}

}  // namespace

double SectionTrimDb(double seconds) {
    const std::vector<Section>& sections = Sections();
    for (size_t s = 0; s < sections.size(); ++s) {
        const double end = BeatTime(sections[s].toBeat);
        if (seconds >= end && s + 1 < sections.size()) continue;
        const double from = sections[s].gainDb;
        if (s + 1 == sections.size() || seconds < end - kTrimRamp) return from;
        // Raised-cosine move to the next trim over the ramp before the join.
        const double p = (seconds - (end - kTrimRamp)) / kTrimRamp;
        return from + (sections[s + 1].gainDb - from) * 0.5 * (1.0 - std::cos(kPi * p));
    }
    return sections.back().gainDb;
}

float PartMixLevel(Part part) { return kLevel[static_cast<size_t>(part)]; }

Stereo RenderTrack(unsigned threads) {
    const size_t frames = static_cast<size_t>(kTrackSeconds * kSampleRate);
    const std::vector<float> pump = Pump(frames, 0.75);
    Stereo dry(frames), send(frames), echo(frames);
    {
        // Parts render side by side on workers; each is mixed in part order, so the sums (and the
        // bytes of the track) are the same for any thread count, and only a few parts are held at once.
        std::atomic<size_t> next{0};
        size_t mixed = 0;
        std::mutex m;
        std::condition_variable turn;
        auto work = [&] {
            for (size_t p; (p = next.fetch_add(1)) < kParts;) {
                Stereo part(frames);
                RenderPart(static_cast<Part>(p), part);
                std::unique_lock<std::mutex> lock(m);
                turn.wait(lock, [&] { return mixed == p; });
                for (size_t i = 0; i < frames; ++i) {
                    const float g = kLevel[p] * (kDucked[p] ? pump[i] : 1.0f);
                    const float l = part.l[i] * g, r = part.r[i] * g;
                    dry.l[i] += l;
                    dry.r[i] += r;
                    send.l[i] += l * kRoomSend[p];
                    send.r[i] += r * kRoomSend[p];
                    if (kEcho[p]) {
                        echo.l[i] += l;
                        echo.r[i] += r;
                    }
                }
                ++mixed;
                turn.notify_all();
            }
        };
        std::vector<std::thread> pool;
        for (unsigned i = 1; i < std::max(1u, threads); ++i) pool.emplace_back(work);
        work();
        for (std::thread& t : pool) t.join();
    }
    const Stereo delayed = PingPong(echo, 0.75 * 60.0 / 105.0, 0.35);
    for (size_t i = 0; i < frames; ++i) {
        send.l[i] += 0.3f * delayed.l[i];
        send.r[i] += 0.3f * delayed.r[i];
    }
    const Stereo room = Reverb(send, 0.75, 0.5);

    Stereo out(frames);
    const size_t fade0 = FrameAt(kFadeStart), fade1 = FrameAt(kFadeEnd);
    for (size_t i = 0; i < frames; ++i) {
        // Linear fade 165 -> 170 s in level, silence after.
        const float f = i < fade0 ? 1.0f : (i >= fade1 ? 0.0f : static_cast<float>(fade1 - i) / (fade1 - fade0));
        out.l[i] = (dry.l[i] + 0.25f * delayed.l[i] + room.l[i]) * f;
        out.r[i] = (dry.r[i] + 0.25f * delayed.r[i] + room.r[i]) * f;
    }
    // The sections' trims, after the room so a tail keeps the level of the section that made it.
    // Computed every 16 samples (0.4 ms), fine steps even within the 40 ms ramps.
    float g = 1.0f;
    for (size_t i = 0; i < frames; ++i) {
        if (i % 16 == 0) g = static_cast<float>(FromDb(SectionTrimDb(i / kSampleRate)));
        out.l[i] *= g;
        out.r[i] *= g;
    }

    // Roll off the top octave's last few kHz, as the MP3 coder will: the limiter then sees the
    // peaks the coder would make there, and hats and crashes lose their glassy edge.
    {
        Biquad bl = Biquad::LowPass(16500.0, 0.707, kSampleRate), br = Biquad::LowPass(16500.0, 0.707, kSampleRate);
        for (size_t i = 0; i < frames; ++i) {
            out.l[i] = static_cast<float>(bl.Process(out.l[i]));
            out.r[i] = static_cast<float>(br.Process(out.r[i]));
        }
    }

    // Normalise, then limit twice. Limiting takes a little loudness away; the second round aims
    // higher by what the first one lost, so the limited track lands on the target.
    const double ceiling = FromDb(kCeilingDbtp);
    double lost = 0.0;
    for (int pass = 0; pass < 3; ++pass) {
        const double lufs = IntegratedLoudness(out.l.data(), out.r.data(), frames, kSampleRate);
        if (!std::isfinite(lufs)) break;
        const float gain = static_cast<float>(FromDb(kTargetLufs + lost - lufs));
        for (size_t i = 0; i < frames; ++i) {
            out.l[i] *= gain;
            out.r[i] *= gain;
        }
        if (pass == 0) continue;
        LimitTruePeak(out.l, out.r, ceiling);
        const double limited = IntegratedLoudness(out.l.data(), out.r.data(), frames, kSampleRate);
        // The second round loses less than the first; any overshoot comes off in plain gain, which
        // only lowers the peaks.
        if (pass == 2 && limited > kTargetLufs) {
            const float down = static_cast<float>(FromDb(kTargetLufs - limited));
            for (size_t i = 0; i < frames; ++i) {
                out.l[i] *= down;
                out.r[i] *= down;
            }
        }
        lost += kTargetLufs - limited;
    }
    return out;
}

}  // namespace music
