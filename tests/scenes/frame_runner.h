// frame_runner.h - runs the program offscreen for one demo time and reads the frame it wrote.
#pragma once

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
// With true, runs without the music track: the show plays silently (spectrum level 0).
extern bool g_silent;
std::string RunLogPath();
// The folder the runs work in, inside the process's own folder: data/ and the track are linked
// into it unless a test has put files of its own there.
std::string WorkDir();
