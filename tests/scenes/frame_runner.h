// frame_runner.h - runs the program offscreen for one demo time and reads the frame it wrote.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct Frame {
    int width = 0, height = 0;
    std::vector<std::uint8_t> rgb;
    bool ok() const { return width > 0; }
    const std::uint8_t* at(int x, int y) const { return &rgb[(static_cast<size_t>(y) * width + x) * 3]; }
    // Mean of R, G and B over a rectangle [x0, x1) x [y0, y1).
    double Mean(int x0, int y0, int x1, int y1) const;
    // Largest channel value over a rectangle.
    int Max(int x0, int y0, int x1, int y1) const;
};

// Renders demo time t with `velunar --at t --shot` run in the runnable tree; an empty frame when
// the program failed (its exit status goes to *status).
Frame RenderAt(double t, int* status = nullptr);
// With true, runs pass "-debug" so RunLogPath() keeps the last run's log.
extern bool g_keepLog;
// With true, runs without the music track: the show plays silently (spectrum level 0).
extern bool g_silent;
std::string RunLogPath();
// The folder the runs work in, inside the process's own folder: data/ and the track are linked
// into it unless a test has put files of its own there.
std::string WorkDir();
// Reads an 8-bit RGB or RGBA PNG (alpha dropped).
Frame ReadPng(const std::string& path);
// Reads a JPEG as RGB.
Frame ReadJpeg(const std::string& path);
