// inifiles.cpp - the two configuration texts.
#include "inifiles.h"

#include <cmath>
#include <cstdio>

namespace assetgen {
namespace {

// Beat n of the 105 BPM grid in demo milliseconds (beat 32 falls on 18 301 ms).
int BeatMs(double beat) { return static_cast<int>(std::lround(18301.0 + (beat - 32) * 60000.0 / 105.0)); }

constexpr int kSceneStart = 27345, kSceneEnd = 45900;

}  // namespace

std::string LayerIni() {
    std::string s =
        "# image layers of the planes scene\n"
        "# texture lines: file, boundary count, boundaries (texel rows between the strips)\n"
        "2\n"
        "data/strip1.jpg 5 0 64 128 192 256\n"
        "data/strip2.jpg 5 0 64 128 192 256\n"
        "# layers: start end texture strip y ms-per-texel alpha\n";
    struct Row {
        double fromBeat, toBeat;
        int tex, strip, y;
        const char* rate;
        const char* alpha;
    };
    // Beats 48 ... 80 cover the scene; the rows enter in pairs, one bar apart, and leave late.
    const Row rows[] = {
        {0, 64, 0, 0, 140, "9.0", "0.65"},      {0, 80, 1, 1, 462, "-6.0", "0.55"},
        {52, 72, 0, 1, 188, "-14.0", "0.60"},   {56, 76, 1, 0, 300, "11.0", "0.70"},
        {60, 76, 0, 2, 420, "7.5", "0.60"},     {64, 80, 1, 2, 236, "-8.0", "0.75"},
        {68, 80, 0, 3, 372, "-10.0", "0.65"},   {72, 80, 1, 3, 150, "5.0", "0.60"},
        {76, 80, 0, 0, 300, "-4.0", "0.70"},
    };
    for (const Row& r : rows) {
        int start = r.fromBeat == 0 ? kSceneStart : BeatMs(r.fromBeat);
        int end = r.toBeat >= 80 ? kSceneEnd : BeatMs(r.toBeat);
        char line[128];
        std::snprintf(line, sizeof line, "%d %d %d %d %d %s %s\n", start, end, r.tex, r.strip, r.y, r.rate, r.alpha);
        s += line;
    }
    return s;
}

std::string CaptionsIni() {
    // Twelve short lines: about eight are up at once, and each comes back four or five times in
    // the scene's eighteen seconds. A caption is placed by its width in font texels, well over
    // twice what is drawn, so short lines are what keeps them on screen near the left edge.
    return "# captions of the sculptures scene, one per line\n"
           "hello party!\n"
           "velunar\n"
           "halvorine\n"
           "moonrise\n"
           "quill\n"
           "keep dancing\n"
           "105 bpm\n"
           "greetings!\n"
           "hands up!\n"
           "full moon\n"
           "stay up late\n"
           "hi mom!\n";
}

}  // namespace assetgen
