// The capture's cost split: the same frames of the show rendered only, rendered and read back with
// their sound mixed, and fully captured (encoded and written). Run it once per kind, side by side:
//   bench_capture render|readback|encode [velunar's --capture options]
// It works in the runnable tree and reports the wall time of the frame loop and start-up together.
#include "app/capture_run.h"
#include "app/command_line.h"
#include "platform/d3d8/d3d8_ext.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

int main(int argc, char** argv) {
    if (argc < 2 || chdir(VELUNAR_RUN_DIR) != 0) {
        std::fprintf(stderr, "usage: bench_capture render|readback|encode [--capture FILE] [--fps N] ...\n");
        return 2;
    }
    const std::string kind = argv[1];
    CaptureWork work = CaptureWork::kEncode;
    if (kind == "render")
        work = CaptureWork::kRenderOnly;
    else if (kind == "readback")
        work = CaptureWork::kReadBack;
    else if (kind != "encode")
        return 2;
    // The program's own parser sees the rest of the line, with a file name if none was given.
    std::vector<char*> args{argv[0]};
    for (int i = 2; i < argc; ++i) args.push_back(argv[i]);
    char capture[] = "--capture", file[] = "/tmp/bench_capture.mp4";
    bool named = false;
    for (int i = 2; i < argc; ++i) named = named || std::strncmp(argv[i], "--capture", 9) == 0;
    if (!named) {
        args.push_back(capture);
        args.push_back(file);
    }
    VelunarOptions opts;
    std::string error;
    if (!ParseOptions(static_cast<int>(args.size()), args.data(), opts, error)) {
        std::fprintf(stderr, "bench_capture: %s\n", error.c_str());
        return 2;
    }
    // As the program's entry does: --scale is a setting of the device it creates.
    D3D8_SetBackBufferScale(static_cast<unsigned>(opts.scale));
    const auto t0 = std::chrono::steady_clock::now();
    const int status = RunCapture(opts, work);
    const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    std::printf("%-8s %d fps, demo %g ... %g s: %.1f s wall (status %d)\n", kind.c_str(), opts.fps, opts.from, opts.to,
                s, status);
    return status;
}
