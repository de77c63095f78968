// track.cpp - renders every part, mixes, fades, normalises loudness and limits the peak.
#include "music/track.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <thread>
#include <vector>

#include "music/limiter.h"
#include "music/loudness.h"
#include "music/reverb.h"
#include "music/score.h"
#include "music/tempo.h"

namespace music {

namespace {

constexpr size_t kParts = static_cast<size_t>(Part::Count);

// Mix levels of the parts, and how much of each goes to the room.
constexpr float kLevel[kParts] = {1.0f, 0.55f, 0.4f, 0.5f, 0.5f, 0.5f};
constexpr float kRoomSend[kParts] = {0.12f, 0.0f, 0.35f, 0.3f, 0.35f, 0.2f};

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

Stereo RenderTrack(unsigned threads) {
    const size_t frames = static_cast<size_t>(kTrackSeconds * kSampleRate);
    std::vector<Stereo> parts(kParts, Stereo(frames));
    {
        // Parts are independent, so rendering them on workers gives the same samples as in turn.
        std::atomic<size_t> next{0};
        auto work = [&] {
            for (size_t p; (p = next.fetch_add(1)) < kParts;) RenderPart(static_cast<Part>(p), parts[p]);
        };
        std::vector<std::thread> pool;
        for (unsigned i = 1; i < std::max(1u, threads); ++i) pool.emplace_back(work);
        work();
        for (std::thread& t : pool) t.join();
    }

    const std::vector<float> pump = Pump(frames, 0.75);
    Stereo dry(frames), send(frames), echo(frames);
    for (size_t p = 0; p < kParts; ++p) {
        const bool ducked = p == static_cast<size_t>(Part::Bass) || p == static_cast<size_t>(Part::Pad) ||
                            p == static_cast<size_t>(Part::Arp);
        for (size_t i = 0; i < frames; ++i) {
            const float g = kLevel[p] * (ducked ? pump[i] : 1.0f);
            const float l = parts[p].l[i] * g, r = parts[p].r[i] * g;
            dry.l[i] += l;
            dry.r[i] += r;
            send.l[i] += l * kRoomSend[p];
            send.r[i] += r * kRoomSend[p];
            if (p == static_cast<size_t>(Part::Lead)) {
                echo.l[i] += l;
                echo.r[i] += r;
            }
        }
    }
    parts.clear();
    // Dotted-eighth echo on the lead (0.75 beat at 105 BPM).
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

    // Normalise; then limit and normalise again twice, as limiting takes a little loudness away.
    const double ceiling = FromDb(kCeilingDbtp);
    for (int pass = 0; pass < 3; ++pass) {
        const double lufs = IntegratedLoudness(out.l.data(), out.r.data(), frames, kSampleRate);
        if (!std::isfinite(lufs)) break;
        const float gain = static_cast<float>(FromDb(kTargetLufs - lufs));
        for (size_t i = 0; i < frames; ++i) {
            out.l[i] *= gain;
            out.r[i] *= gain;
        }
        if (pass > 0) LimitTruePeak(out.l, out.r, ceiling);
    }
    return out;
}

}  // namespace music
