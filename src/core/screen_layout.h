// screen_layout.h - where the show draws on its 800 x 600 screen: the picture band between two
// black bars. Every layer that places something on the band takes its rows from here.
// Depends on: nothing.
#pragma once

// The screen every scene draws on, in pixels.
constexpr int kScreenWidth = 800;
constexpr int kScreenHeight = 600;

// The picture band: rows kBandTop (inclusive) to kBandBottom (exclusive); the bars cover the rest.
constexpr int kBandTop = 100;
constexpr int kBandBottom = 500;
constexpr int kBandHeight = kBandBottom - kBandTop;
