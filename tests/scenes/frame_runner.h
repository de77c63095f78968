// frame_runner.h - runs the program offscreen for one demo time and reads the frame it wrote.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "support/image.h"

using Frame = velunar_test::Image;
using velunar_test::ReadJpeg;
using velunar_test::ReadPng;

// Renders demo time t with `velunar --at t --shot` (at --scale `scale`) in WorkDir(); an empty
// frame when the program failed (its exit status goes to *status).
Frame RenderAt(double t, int* status = nullptr, int scale = 1);
// With true, runs pass "-debug" so RunLogPath() keeps the last run's log.
extern bool g_keepLog;
// RenderAt without the music track: the show plays silently (spectrum level 0).
Frame RenderSilentAt(double t);
std::string RunLogPath();
// The folder the runs work in, inside the process's own folder: data/ and the track are linked
// into it unless a test has put files of its own there.
std::string WorkDir();

// data/ in WorkDir() becomes a folder of links to the runnable tree's files, so single files can
// be replaced; velunar.mp3 links to the real track until a case writes its own.
void PrivateData();
// Removes data/<name> (or the track, for "velunar.mp3") from WorkDir(); the path to write anew.
std::filesystem::path Replace(const std::string& name);

// The letterbox: rows 0-99 and 500-599 are black.
void ExpectBars(const Frame& f);
// The same demo time rendered twice gives the same frame.
void ExpectSameFrameTwice(double t);
// Pixels of the rectangle (x0, y0)-(x1, y1), right and bottom edges out, for which test(pixel)
// holds; Share gives them as a share of all.
template <class F>
int Count(const Frame& f, int x0, int y0, int x1, int y1, F test) {
    int n = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) n += test(f.at(x, y)) ? 1 : 0;
    return n;
}
template <class F>
double Share(const Frame& f, int x0, int y0, int x1, int y1, F test) {
    return static_cast<double>(Count(f, x0, y0, x1, y1, test)) / ((x1 - x0) * (y1 - y0));
}
