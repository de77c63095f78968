// flash_meter.h - the photosensitivity guideline's general-flash count (WCAG 2.3.1) over a run of
// frames: the band's mean relative luminance per frame, the opposing changes of 0.1 or more whose
// darker state is below 0.80, and the flashes (pairs of such changes) in every one-second window.
// Depends on: nothing.
#pragma once

#include <cstdint>
#include <vector>

namespace flash {

// A change counts when the luminance has moved this far from the last turn, in relative luminance.
constexpr double kMinChange = 0.1;
// ... and the darker of its two states lies below this.
constexpr double kDarkBelow = 0.8;
// More flashes than this in any one second fail.
constexpr int kMaxFlashesPerSecond = 3;

// Mean relative luminance (sRGB decoded to linear, 0.2126 R + 0.7152 G + 0.0722 B; 0 ... 1) of
// rows [top, bottom) of a top-row-first BGRA picture `width` pixels wide.
double MeanLuminance(const std::uint8_t* bgra, int width, int top, int bottom);

// The frames at which a change completes: the luminance has moved kMinChange or more from the
// extreme since the previous change, in the opposite direction to it, with the darker state below
// kDarkBelow. Changes therefore alternate falling and rising.
std::vector<int> OpposingChanges(const std::vector<double>& luminance);

// One window of `window` frames starting at frame `start`, with its flash count (changes / 2,
// whole flashes only).
struct Window {
    int start = 0;
    int changes = 0;
    int flashes() const { return changes / 2; }
};
// The windows with the most changes, each the best of its stretch, in decreasing order, none
// overlapping another: at most `count` of them, and only those with at least one change.
std::vector<Window> WorstWindows(const std::vector<int>& changes, int frameCount, int window, int count);

}  // namespace flash
