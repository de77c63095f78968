// show_clock.h - the show's clock: the title picture's lead-in before the music, the end of the
// show, and the demo time in seconds that a reading of the demo clock in milliseconds stands for.
// Depends on: wintypes.h.
#pragma once

#include "platform/wintypes.h"

// The lead-in: the title picture shows this long before the music starts at demo time 0.
inline constexpr DWORD kLeadInMs = 5000;
// The end of the show in demo seconds: the last frame drawn shows it, the next ends the show.
inline constexpr double kShowEnd = 170.0;

// The lead-in in seconds, as the float the demo time is reckoned in.
inline constexpr float kLeadInSeconds = static_cast<float>(kLeadInMs) / 1000.0f;
// The first demo time of the show: the title picture's first frame.
inline constexpr double kShowStart = -static_cast<double>(kLeadInMs) / 1000.0;
// The demo clock's reading at the end of the show.
inline constexpr DWORD kShowEndMs = kLeadInMs + static_cast<DWORD>(kShowEnd * 1000.0);

// The demo time, in seconds, of a demo clock reading: elapsed x 0.001 - 5, the product rounded to
// float before the lead-in is taken off.
float DemoTimeOf(DWORD clockMs);
// The demo clock's whole milliseconds at a demo time in seconds: the millisecond the time falls in.
DWORD DemoClockMsFor(double seconds);
