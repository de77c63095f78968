// capture_run.h - --capture: the show, or a span of it, rendered offscreen on the virtual clock and
// written into one video file with its music.
// Depends on: options.h, the capture layer's picture.
#pragma once

#include "app/options.h"
#include "capture/frame_capture.h"

#include <functional>

// What a capture run does with its frames. Only kEncode writes a file; the others are for the
// benchmark that weighs encoding against rendering the same frames.
enum class CaptureWork {
    kEncode,      // read back, mix the sound, encode and write
    kReadBack,    // read back and mix the sound, then drop both
    kRenderOnly,  // only render
};

// Frame n of the run shows demo clock from + floor(n x 1000 / fps) ms, for every such time before
// `to`. Returns the exit status: 0 when the file is complete, and also when Ctrl+C, SIGTERM or
// Escape stopped the run early (the file then holds the frames done, finalised); 1 when the file
// cannot be written or start-up fails, with a message on stderr.
// `seen`, when given, sees every frame read back (a measuring tool's look at the pictures).
using FrameSeen = std::function<void(const capture::Picture&)>;
int RunCapture(const VelunarOptions& opts, CaptureWork work = CaptureWork::kEncode, const FrameSeen& seen = {});
