// gl_stream.h - records the GL calls our Direct3D 8 device issues for a frame and replays them
// straight to GL, so a frame's cost can be set beside the cost of its raw draws.
// Depends on: libepoxy (its entry points are global pointers, which the recorder swaps).
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace velunar::bench {

struct GlStream {
    std::vector<std::function<void()>> calls;
    // The frame built shaders or programs: its replay leaves that work out.
    bool churn = false;
    long draws = 0;
    // Where each draw stands in calls, and the state it drew with (mode, count, blend, depth, mask).
    std::vector<size_t> drawAt;
    std::vector<std::string> drawNotes;
};

// Routes every GL entry point the device uses through the recorder. Call with a current context,
// after at least one frame, so the entry points are resolved.
void InstallGlRecorder();
// Calls made while a stream is set are appended to it (and still reach GL); null stops recording.
void RecordGlInto(GlStream* stream);
// Deletes asked for while recording wait until this, so recorded streams keep their objects.
void ReleaseHeldGlObjects();
// Issues the recorded calls again, straight to GL.
void Replay(const GlStream& stream);
// Replays with the GL work finished after every draw; the seconds each draw took, in draw order.
std::vector<double> ReplayTimingDraws(const GlStream& stream);

}  // namespace velunar::bench
