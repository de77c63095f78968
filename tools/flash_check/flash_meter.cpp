// flash_meter.cpp - relative luminance and the flash count.
#include "flash_meter.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace flash {
namespace {

// sRGB code value to linear light, 0 ... 1.
std::array<double, 256> LinearTable() {
    std::array<double, 256> t{};
    for (int i = 0; i < 256; ++i) {
        const double c = i / 255.0;
        t[static_cast<std::size_t>(i)] = c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    }
    return t;
}

}  // namespace

double MeanLuminance(const std::uint8_t* bgra, int width, int top, int bottom) {
    static const std::array<double, 256> linear = LinearTable();
    if (width <= 0 || bottom <= top) return 0.0;
    double sum = 0.0;
    for (int y = top; y < bottom; ++y) {
        const std::uint8_t* p = bgra + static_cast<std::size_t>(y) * width * 4;
        for (int x = 0; x < width; ++x, p += 4)
            sum += 0.2126 * linear[p[2]] + 0.7152 * linear[p[1]] + 0.0722 * linear[p[0]];
    }
    return sum / (static_cast<double>(width) * (bottom - top));
}

std::vector<int> OpposingChanges(const std::vector<double>& luminance) {
    std::vector<int> changes;
    if (luminance.empty()) return changes;
    // 0: no change yet; +1: the last change rose (a fall comes next); -1: it fell.
    int last = 0;
    double high = luminance[0], low = luminance[0];
    for (int i = 1; i < static_cast<int>(luminance.size()); ++i) {
        const double l = luminance[static_cast<std::size_t>(i)];
        high = std::max(high, l);
        low = std::min(low, l);
        const bool fell = last >= 0 && high - l >= kMinChange && l < kDarkBelow;
        const bool rose = last <= 0 && l - low >= kMinChange && low < kDarkBelow;
        if (fell) {
            changes.push_back(i);
            last = -1;
            low = high = l;
        } else if (rose) {
            changes.push_back(i);
            last = +1;
            low = high = l;
        }
    }
    return changes;
}

std::vector<Window> WorstWindows(const std::vector<int>& changes, int frameCount, int window, int count) {
    std::vector<Window> all;
    // Windows start at every frame; the count changes only where a change enters or leaves.
    std::size_t first = 0, end = 0;
    for (int s = 0; s + window <= std::max(frameCount, window); ++s) {
        while (first < changes.size() && changes[first] < s) ++first;
        while (end < changes.size() && changes[end] < s + window) ++end;
        const int n = static_cast<int>(end - first);
        if (n > 0) all.push_back({s, n});
    }
    std::stable_sort(all.begin(), all.end(), [](const Window& a, const Window& b) { return a.changes > b.changes; });
    std::vector<Window> worst;
    for (const Window& w : all) {
        if (static_cast<int>(worst.size()) >= count) break;
        const bool overlaps = std::any_of(worst.begin(), worst.end(),
                                          [&](const Window& o) { return std::abs(o.start - w.start) < window; });
        if (!overlaps) worst.push_back(w);
    }
    return worst;
}

}  // namespace flash
