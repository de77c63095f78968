// reverb.h - a small stereo room (parallel damped combs into series all-passes) for the send bus.
// Depends on: stereo.h.
#pragma once

#include "music/stereo.h"

namespace music {

// Returns the wet signal of `in` (roomSize 0 ... 1 sets the tail, damp 0 ... 1 darkens it).
Stereo Reverb(const Stereo& in, double roomSize, double damp);

// Ping-pong echo: delay in seconds, feedback 0 ... 0.9; returns the wet signal only.
Stereo PingPong(const Stereo& in, double delay, double feedback);

}  // namespace music
