// frame_rate_bench.cpp - whole frames rasterised offscreen at 800 x 600, a second of each scene row,
// each frame timed to the end of its GL work; beside it, in the same run, a replay of the very same
// frame's GL calls recorded once from our device, giving each scene the ratio of our frame's cost to
// its raw draws'. Also start-up to the first frame and peak resident memory.
// Usage: bench_frames [rounds (default 3)] [scene name, "" for all] [profile]
// With "profile", each row's first frame is also replayed draw by draw, and its costliest draws listed.
#include "app/scene_schedule.h"

#include "gl_stream.h"
#include "headless_show.h"

#include <SDL.h>
#include <epoxy/gl.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using velunar::bench::GlStream;

using velunar::bench::Tick;

constexpr int kFrames = 60;

// Demo time t is 5 s behind the clock's elapsed time.
DWORD MsAt(double t) { return static_cast<DWORD>(std::lround((t + 5.0) * 1000.0)); }

double Seconds(Clock::time_point a, Clock::time_point b) { return std::chrono::duration<double>(b - a).count(); }

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : 0.5 * (v[n / 2 - 1] + v[n / 2]);
}

struct Rates {
    double median, p5;
};

// Frame rates of the frame times: the median, and the rate 95 % of the frames reach or beat.
Rates RatesOf(std::vector<double> seconds) {
    const double mid = Median(seconds);
    std::sort(seconds.begin(), seconds.end());
    const size_t n = seconds.size();
    const double slow = seconds[static_cast<size_t>(std::ceil(0.95 * static_cast<double>(n - 1)))];
    return {1.0 / mid, 1.0 / slow};
}

// CPU time of the calling thread: the main thread's share of a frame (our code, and llvmpipe's
// vertex work, set-up and binning, which it does before its raster threads start).
double ThreadCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

long PeakRssKb() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

double LoadAverage() {
    double l[1] = {0};
    return getloadavg(l, 1) == 1 ? l[0] : -1.0;
}

void ReadWindow(std::vector<unsigned char>& pixels) {
    pixels.resize(800 * 600 * 4);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    glReadPixels(0, 0, 800, 600, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    const char* only = argc > 2 ? argv[2] : nullptr;
    const bool profile = argc > 3 && std::strcmp(argv[3], "profile") == 0;
    const auto t0 = Clock::now();
    if (!velunar::bench::OpenHeadless()) return 1;
    const long windowRss = PeakRssKb();
    if (!velunar::bench::StartShow()) return 1;
    glFinish();
    const double startup = Seconds(t0, Clock::now());
    const long startRss = PeakRssKb();
    SDL_Window* window = SDL_GL_GetCurrentWindow();

    velunar::bench::InstallGlRecorder();
    std::printf("load average at start %.2f; %d round(s) of %d frames per row\n\n", LoadAverage(), rounds, kFrames);
    std::printf("| scene (demo s) | median fps | 5th pct fps | raw median fps | raw 5th pct fps | frame/raw cost | draws | main thread ms |\n");
    std::printf("|---|---|---|---|---|---|---|---|\n");

    int count = 0;
    const SceneRow* rows = SceneRows(&count);
    for (int r = 0; r < count; ++r) {
        const SceneRow& row = rows[r];
        if (only && *only && std::strcmp(only, row.name) != 0) continue;
        // The second in the middle of the row's window (the intro's starts at -5).
        const double lo = std::isfinite(row.lo) ? row.lo : -5.0;
        const double start = std::max(lo, 0.5 * (lo + row.hi) - 0.5);
        std::vector<DWORD> ms(kFrames);
        for (int i = 0; i < kFrames; ++i) ms[i] = MsAt(start + i / 60.0);

        // Once to create what the frames create on first use, once more to record.
        for (DWORD m : ms) Tick(m);
        std::vector<GlStream> streams(kFrames);
        bool churn = false;
        long draws = 0;
        std::vector<std::vector<unsigned char>> shots(4);
        for (int i = 0; i < kFrames; ++i) {
            velunar::bench::RecordGlInto(&streams[i]);
            Tick(ms[i]);
            velunar::bench::RecordGlInto(nullptr);
            if (i % (kFrames / 4) == 0) ReadWindow(shots[i / (kFrames / 4)]);
            churn = churn || streams[i].churn;
            draws += streams[i].draws;
        }
        glFinish();
        // The replay must draw what the recorded frame drew (a scene may not draw a time the same way
        // twice): compare the window's pixels.
        int replayDiffers = 0;
        for (int i = 0; i < kFrames; i += kFrames / 4) {
            std::vector<unsigned char> b(shots[i / (kFrames / 4)].size());
            velunar::bench::Replay(streams[i]);
            SDL_GL_SwapWindow(window);
            ReadWindow(b);
            replayDiffers += b != shots[i / (kFrames / 4)];
        }

        // Our frame and its replay one after the other, so both see the same load.
        std::vector<double> ours, raw, mainCpu;
        for (int k = 0; k < rounds; ++k) {
            for (int i = 0; i < kFrames; ++i) {
                const double cpu = ThreadCpuSeconds();
                auto a = Clock::now();
                Tick(ms[i]);
                glFinish();
                auto b = Clock::now();
                mainCpu.push_back(ThreadCpuSeconds() - cpu);
                velunar::bench::Replay(streams[i]);
                SDL_GL_SwapWindow(window);
                glFinish();
                auto c = Clock::now();
                ours.push_back(Seconds(a, b));
                raw.push_back(Seconds(b, c));
            }
        }
        if (profile) {
            const std::vector<double> cost = velunar::bench::ReplayTimingDraws(streams[0]);
            std::vector<size_t> order(cost.size());
            double total = 0;
            for (size_t d = 0; d < cost.size(); ++d) order[d] = d, total += cost[d];
            std::sort(order.begin(), order.end(), [&](size_t a, size_t b) { return cost[a] > cost[b]; });
            std::printf("  %s: %zu draws take %.2f ms when finished one by one; the costliest:\n", row.name,
                        cost.size(), total * 1e3);
            for (size_t k = 0; k < order.size() && k < 8; ++k)
                std::printf("    draw %zu: %.2f ms, %s\n", order[k], cost[order[k]] * 1e3,
                            streams[0].drawNotes[order[k]].c_str());
        }
        streams.clear();
        velunar::bench::ReleaseHeldGlObjects();
        const Rates o = RatesOf(ours), w = RatesOf(raw);
        std::printf("| %s (%.2f) | %.1f | %.1f | %.1f | %.1f | %.3f%s | %ld | %.2f |\n", row.name, start, o.median,
                    o.p5, w.median, w.p5, w.median / o.median, churn ? " (programs built in frame)" : "",
                    draws / kFrames, Median(mainCpu) * 1e3);
        if (replayDiffers) std::printf("  (%s: %d of 4 replayed frames differ from ours)\n", row.name, replayDiffers);
        std::fflush(stdout);
    }
    std::printf("\nstart-up to the first frame: %.3f s\n", startup);
    std::printf("peak resident memory: %.1f MB with the window and GL context, %.1f MB after the first frame, "
                "%.1f MB at the end (recorded streams included)\n",
                windowRss / 1024.0, startRss / 1024.0, PeakRssKb() / 1024.0);
    std::printf("load average at end %.2f\n", LoadAverage());
    return 0;
}
