// flash_check - renders the show (or a span of it) offscreen at 60 frames per second, as the
// capture does, measures the band's mean relative luminance frame by frame and counts flashes by
// the photosensitivity guideline (WCAG 2.3.1). Prints the worst seconds; exits 1 when a second
// holds more than three flashes, 0 otherwise, 2 on a bad command line.
//   flash_check [--from SECONDS] [--to SECONDS] [--gentle] [--scale N] [--luminance FILE.csv]
// It runs in the runnable tree (data/ and the track beside the program).
#include "app/capture_run.h"
#include "app/command_line.h"
#include "app/scene_schedule.h"
#include "core/globals.h"
#include "core/screen_layout.h"
#include "flash_meter.h"
#include "platform/d3d8/d3d8_ext.h"

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

std::vector<double> g_luminance;

void Measure(const capture::Picture& picture) {
    // The band between the bars, at whatever scale the picture has; A8R8G8B8 words are B, G, R, A bytes.
    const int scale = picture.height / kScreenHeight;
    const auto* bgra = reinterpret_cast<const std::uint8_t*>(picture.argb.data());
    g_luminance.push_back(flash::MeanLuminance(bgra, picture.width, kBandTop * scale, kBandBottom * scale));
}

}  // namespace

int main(int argc, char** argv) {
    if (chdir(VELUNAR_RUN_DIR) != 0) {
        std::fprintf(stderr, "flash_check: cannot enter %s\n", VELUNAR_RUN_DIR);
        return 2;
    }
    // The program's own parser reads the options, as a capture's that writes no file.
    std::vector<char*> args{argv[0]};
    std::string csv;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--luminance") == 0 && i + 1 < argc) {
            csv = argv[++i];
            continue;
        }
        args.push_back(argv[i]);
    }
    char capture[] = "--capture", file[] = "flash_check.mp4";
    args.push_back(capture);
    args.push_back(file);
    VelunarOptions opts;
    std::string error;
    if (!ParseOptions(static_cast<int>(args.size()), args.data(), opts, error) || opts.fps != 60) {
        std::fprintf(stderr, "flash_check: %s\nusage: flash_check [--from S] [--to S] [--gentle] [--scale N] "
                     "[--luminance FILE.csv]\n", error.empty() ? "the check runs at 60 fps" : error.c_str());
        return 2;
    }
    D3D8_SetBackBufferScale(static_cast<unsigned>(opts.scale));
    g_bGentle = opts.gentle ? 1 : 0;
    SetGentleFlashes(opts.gentle);
    if (const int status = RunCapture(opts, CaptureWork::kReadBack, Measure)) return status == 1 ? 2 : status;

    const int fps = opts.fps;
    const std::vector<int> changes = flash::OpposingChanges(g_luminance);
    const int frames = static_cast<int>(g_luminance.size());
    const std::vector<flash::Window> worst = flash::WorstWindows(changes, frames, fps, 5);
    auto timeOf = [&](int frame) { return opts.from + static_cast<double>(frame) / fps; };
    std::printf("flash check%s: demo times %g ... %g s, %d frames at %d fps, %zu changes of luminance\n",
                opts.gentle ? " (--gentle)" : "", opts.from, opts.to, frames, fps, changes.size());
    int most = 0;
    for (const flash::Window& w : worst) {
        most = std::max(most, w.flashes());
        double low = 1.0, high = 0.0;
        for (int i = w.start; i < std::min(frames, w.start + fps); ++i) {
            low = std::min(low, g_luminance[static_cast<std::size_t>(i)]);
            high = std::max(high, g_luminance[static_cast<std::size_t>(i)]);
        }
        std::printf("  %8.3f ... %8.3f s: %d flashes (%d changes), luminance %.3f ... %.3f%s\n", timeOf(w.start),
                    timeOf(w.start + fps), w.flashes(), w.changes, low, high,
                    w.flashes() > flash::kMaxFlashesPerSecond ? "  OVER" : "");
    }
    if (!csv.empty()) {
        if (std::FILE* f = std::fopen(csv.c_str(), "w")) {
            std::fprintf(f, "demo_time,luminance\n");
            for (int i = 0; i < frames; ++i) std::fprintf(f, "%.4f,%.5f\n", timeOf(i), g_luminance[static_cast<std::size_t>(i)]);
            std::fclose(f);
        }
    }
    const bool over = most > flash::kMaxFlashesPerSecond;
    std::printf("%s: at most %d flashes in any second (the limit is %d)\n", over ? "FAIL" : "ok", most,
                flash::kMaxFlashesPerSecond);
    return over ? 1 : 0;
}
