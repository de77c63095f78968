// libFuzzer target for the caption file: any file must give at most 128 cleaned one-line captions
// whose places and times stay in their ranges, through the latch and the respawns.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "fx/captions.h"
#include "support/fuzz_input.h"

namespace {

void Check(const Captions& c, float earliest, float latest) {
    if (c.Count() > Captions::kMaxCaptions) std::abort();
    for (int i = 0; i < c.Count(); ++i) {
        const std::string& s = c.m_texts[i];
        // A line of spaces cleans down to an empty caption, which draws nothing.
        if (s.find('\n') != std::string::npos || (!s.empty() && s.back() == ' ') || s.find("  ") != std::string::npos)
            std::abort();
        const float x = c.m_afPositions[i][0], y = c.m_afPositions[i][1];
        if (x < 50 || x > 749 || y < 125 || y > 524) std::abort();
        if (c.m_afAppear[i] < earliest || c.m_afAppear[i] > latest) std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = velunar_test::FuzzInputFile("captions_fuzz", "ini", data, size);
    if (path.empty()) return 0;
    // No renderer, device or font: only the reading and the timing arithmetic run.
    Captions captions(path.c_str());
    Check(captions, 1.0f, 5.95f);
    captions.Render(86.814f);
    Check(captions, 87.8f, 92.8f);
    captions.Render(95.0f);
    Check(captions, 87.8f, 97.5f);
    return 0;
}
