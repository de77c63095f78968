// d3d8_warn.cpp - the record of the warnings already written.
#include "platform/d3d8/d3d8_warn.h"

#include <atomic>
#include <cstdio>

namespace velunar::d3d8 {
namespace {

constexpr int kCount = static_cast<int>(Unimplemented::Count);

constexpr const char* kTexts[kCount] = {
#define VELUNAR_D3D8_TEXT(id, text) text,
    VELUNAR_D3D8_UNIMPLEMENTED(VELUNAR_D3D8_TEXT)
#undef VELUNAR_D3D8_TEXT
};

std::atomic<bool> g_warned[kCount];

bool Known(Unimplemented what) { return static_cast<int>(what) >= 0 && static_cast<int>(what) < kCount; }

}  // namespace

const char* WarningText(Unimplemented what) { return Known(what) ? kTexts[static_cast<int>(what)] : ""; }

void WarnOnce(Unimplemented what) {
    if (!Known(what)) return;
    if (!g_warned[static_cast<int>(what)].exchange(true)) std::fprintf(stderr, "%s\n", WarningText(what));
}

bool Warned(Unimplemented what) { return Known(what) && g_warned[static_cast<int>(what)].load(); }

}  // namespace velunar::d3d8
