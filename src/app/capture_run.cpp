// capture_run.cpp - the capture's frame loop: the virtual clock steps by whole milliseconds of
// floor(n x 1000 / fps), every frame is read back just before it is presented, and the sound of
// each frame's span is mixed by the sound layer on the same clock. The file's sound is the track
// placed so that demo time 0 falls at sample floor((5000 - first frame's ms) x rate / 1000), the
// silent lead-in before it; frames and samples therefore stay aligned to the sample for any --fps.
#include "app/capture_run.h"

#include "app/demo.h"
#include "app/offscreen.h"
#include "capture/encode_worker.h"
#include "capture/frame_capture.h"
#include "capture/progress.h"
#include "capture/video_file.h"
#include "core/globals.h"
#include "core/logger.h"
#include "core/show_clock.h"
#include "platform/fsound/fmod.h"
#include "platform/fsound/fsound_ext.h"
#include "platform/window/window.h"
#include "sound/music_player.h"

#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

namespace {

// Frames rendered but not yet encoded: enough to ride out an encoder's slow key frame, few enough
// that the queue stays near 20 MB.
constexpr std::size_t kQueuedFrames = 8;

std::atomic<int> g_stopSignal{0};
void OnStopSignal(int sig) { g_stopSignal = sig; }

// Rounds towards minus infinity (the lead-in is negative for runs that begin after demo time 0).
std::int64_t FloorDiv(std::int64_t a, std::int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

// Milliseconds after the first frame at which frame n is shown.
std::int64_t FrameOffsetMs(long n, int fps) { return static_cast<std::int64_t>(n) * 1000 / fps; }

// Fills `sound` with file samples [from, to): the track at positions from - lead onwards, as the
// sound layer plays it, or silence while the music is not playing.
void MixSound(std::vector<float>& sound, std::int64_t from, std::int64_t to, std::int64_t lead) {
    const int count = static_cast<int>(to - from);
    sound.assign(2 * static_cast<std::size_t>(count), 0.0f);
    if (count <= 0 || !g_pMusic || !g_pMusic->m_bPlaying) return;
    // The playing stream's position follows the virtual clock in whole milliseconds; the offset
    // from it makes the samples exact. Songs report no sample position: their span just heard.
    const std::int64_t offset = g_pMusic->m_nKind == MusicPlayer::kStream
                                    ? (from - lead) - static_cast<std::int64_t>(g_pMusic->GetPosition())
                                    : -count;
    FSOUND_Velunar_MixFrom(offset, sound.data(), count);
}

void InstallStopHandlers() {
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    // Writes to the file must not fail half-way because a signal arrived.
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

std::string Minutes(double seconds) {
    char text[32];
    const long s = static_cast<long>(seconds + 0.5);
    std::snprintf(text, sizeof text, "%ld:%02ld", s / 60, s % 60);
    return text;
}

int Capture(const VelunarOptions& opts, CaptureWork work, const FrameSeen& seen) {
    const auto wallStart = std::chrono::steady_clock::now();
    const int fps = opts.fps;
    const std::int64_t firstMs = DemoClockMsFor(opts.from);
    const std::int64_t endMs = DemoClockMsFor(opts.to);
    const long total = static_cast<long>(FloorDiv((endMs - firstMs) * fps + 999, 1000));
    const bool encode = work == CaptureWork::kEncode;
    const bool readBack = work != CaptureWork::kRenderOnly;

    // Installed before start-up, so the window layer keeps its hands off these two signals.
    InstallStopHandlers();

    // The file is created before start-up, so a bad name fails at once. The encoder threads and
    // the worker do not take the stop signals: the frame loop does, and then finishes the file.
    sigset_t stopSignals, previous;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, &previous);
    const int rate = FSOUND_GetOutputRate();
    std::unique_ptr<capture::VideoFile> file;
    std::unique_ptr<capture::EncodeWorker> worker;
    if (encode) {
        capture::VideoSettings settings;
        settings.path = opts.capture;
        settings.fps = fps;
        settings.crf = opts.crf;
        settings.width *= opts.scale;
        settings.height *= opts.scale;
        settings.sampleRate = rate;
        std::string error;
        file = std::make_unique<capture::VideoFile>();
        if (!file->Open(settings, error)) {
            pthread_sigmask(SIG_SETMASK, &previous, nullptr);
            std::fprintf(stderr, "velunar: %s\n", error.c_str());
            return 1;
        }
        worker = std::make_unique<capture::EncodeWorker>(*file, kQueuedFrames);
    }
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    // Start-up failed: the file holds nothing worth keeping.
    auto abandon = [&]() {
        worker.reset();
        file.reset();
        if (encode) std::remove(opts.capture.c_str());
    };

    // The same log as a real run, from start-up on; kept only with "-debug" or when the run failed.
    g_pLogger = new CLogger("debug.txt", 20);
    if (const int status = StartOffscreen()) {
        abandon();
        return status;
    }
    if (FSOUND_GetOutputRate() != rate) {
        std::fprintf(stderr, "velunar: the sound changed its rate during start-up\n");
        abandon();
        return 1;
    }
    if (encode)
        std::fprintf(stderr, "velunar: capturing demo times %g to %g s at %d fps into %s (%ld frames)\n", opts.from,
                     opts.to, fps, opts.capture.c_str(), total);

    ReplayTo(static_cast<DWORD>(firstMs));
    const std::int64_t lead = FloorDiv((static_cast<std::int64_t>(kLeadInMs) - firstMs) * rate, 1000);
    auto sampleOf = [&](long n) { return FrameOffsetMs(n, fps) * rate / 1000; };

    capture::Progress progress(stderr, total, isatty(STDERR_FILENO) == 1);
    // A frame's sound is mixed at the next frame, once the music that starts there has started.
    capture::FrameJob pending, spare;
    bool havePending = false, failed = false, escaped = false;
    auto send = [&](capture::FrameJob& job, long n) {
        if (readBack) MixSound(job.sound, sampleOf(n), sampleOf(n + 1), lead);
        if (!encode)
            spare = std::move(job);
        else if (!worker->Push(std::move(job)))
            failed = true;
    };
    long done = 0;
    for (; done < total && !g_stopSignal && !failed; ++done) {
        capture::FrameJob job = encode ? worker->TakeEmpty() : std::move(spare);
        const bool read = RunFrameAt(static_cast<DWORD>(firstMs + FrameOffsetMs(done, fps)),
                                     readBack ? &job.picture : nullptr);
        if (!IsWindow(g_hWnd)) {
            escaped = true;  // Escape: this frame ends the show and is not kept
            break;
        }
        if (!read) {
            std::fprintf(stderr, "\nvelunar: could not read frame %ld back\n", done);
            failed = true;
            break;
        }
        if (readBack && seen) seen(job.picture);
        if (havePending) send(pending, done - 1);
        pending = std::move(job);
        havePending = true;
        progress.Update(done + 1);
    }
    if (havePending && !failed) {
        SetClockAt(static_cast<DWORD>(firstMs + FrameOffsetMs(done, fps)));
        send(pending, done - 1);
    }
    progress.Finish(done);

    std::string error;
    if (encode && !worker->Finish(error)) {
        std::fprintf(stderr, "velunar: %s (%s is incomplete)\n", error.c_str(), opts.capture.c_str());
        return 1;
    }
    if (failed) return 1;
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
    const double seconds = static_cast<double>(FrameOffsetMs(done, fps)) / 1000.0;
    if (done < total) {
        const char* why = escaped ? "Escape" : (g_stopSignal == SIGINT ? "Ctrl+C" : "SIGTERM");
        std::fprintf(stderr, "velunar: stopped by %s at demo time %.3f s", why, opts.from + seconds);
        if (encode) std::fprintf(stderr, "; %s holds the %ld frames done (%.3f s)", opts.capture.c_str(), done, seconds);
        std::fputc('\n', stderr);
    } else if (encode) {
        std::fprintf(stderr, "velunar: wrote %s: %ld frames, %.3f s at %d fps, in %s\n", opts.capture.c_str(), done,
                     seconds, fps, Minutes(wall).c_str());
    }
    return 0;
}

}  // namespace

int RunCapture(const VelunarOptions& opts, CaptureWork work, const FrameSeen& seen) {
    const int status = Capture(opts, work, seen);
    if (g_pLogger) {
        delete g_pLogger;
        g_pLogger = nullptr;
        if (!g_bDebug && status == 0) std::remove("debug.txt");
    }
    return status;
}
