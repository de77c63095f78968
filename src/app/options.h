// options.h - the program's own double-dash options. They are parsed apart from the Win32-style
// switches ("-win", "-full", "-debug"), which are found by substring search of the whole line.
// Depends on: the show clock (the default span of --capture).
#pragma once

#include <string>

#include "core/show_clock.h"

struct VelunarOptions {
    bool help = false;
    bool version = false;
    // --at SECONDS --shot FILE.png: render that demo time offscreen and exit.
    bool hasAt = false;
    double at = 0.0;
    std::string shot;
    // --start SECONDS: play the show from that demo time, music seeked to match.
    bool hasStart = false;
    double start = 0.0;
    // --capture FILE [--fps N] [--from T] [--to T] [--crf Q]: render the show, or the demo times
    // from <= t < to of it, offscreen into one video file with its music.
    std::string capture;
    int fps = 60;
    double from = kShowStart;
    double to = kShowEnd;
    // x264's constant rate factor: 0 is lossless, 51 the smallest file; 18 looks like the show.
    double crf = 18.0;
    // --setup: the sound setup dialog before start-up.
    bool setup = false;
    // --scale N: the picture is rendered N (1 ... 4) times wider and taller; 0 is "auto", the
    // largest N whose picture fits the display.
    int scale = 1;
    // --loop: at its end the show starts again from the title picture, until Escape.
    bool loop = false;
    // --fill: on screen, the band between the black bars fills the window or the display as far
    // as its aspect allows; shots and captures keep the whole picture.
    bool fill = false;
    // --gentle: fx09's drum-break flashes dimmed to at most three flashes in any second.
    bool gentle = false;
};

// The options of this run, filled by the entry point before start-up.
extern VelunarOptions g_options;
