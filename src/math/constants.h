// constants.h - the program's mathematical constants, one home each.
// Depends on: nothing.
#pragma once

inline constexpr double kPi = 3.14159265358979323846;
