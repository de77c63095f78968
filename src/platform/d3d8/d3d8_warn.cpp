// d3d8_warn.cpp - the warning texts and the record of those already written.
#include "platform/d3d8/d3d8_warn.h"

#include <atomic>
#include <cstdio>

namespace velunar::d3d8 {
namespace {

constexpr int kCount = static_cast<int>(Unimplemented::Count);

constexpr const char* kTexts[kCount] = {
    "d3d8: the stencil test is not carried out",
    "d3d8: fog is not drawn",
    "d3d8: point and spot lights are lit as directional lights",
    "d3d8: a texture op without an equivalent here (bump mapping, premodulate) selects arg1",
    "d3d8: a fixed-function program failed to build; its draws are skipped",
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
