// command_line.h - the two readings of the command line: the Win32-style switches ("-debug",
// "-full", "-win"), found by plain substring search of the whole line, and our own double-dash
// options, parsed word by word.
// Depends on: options.h.
#pragma once

#include <cstdio>
#include <string>

#include "app/options.h"

// The arguments after the program name, joined by single spaces: the line the switches are found in.
std::string JoinCommandLine(int argc, char** argv);

// Sets g_bDebug and g_bFullScreen from the line; "-win" is tested last, so it beats "-full".
void ScanSwitches(const char* commandLine);

// The largest --scale factor.
constexpr int kMaxScale = 4;

// Fills opts from the double-dash words; words with a single dash belong to ScanSwitches and
// anything else is ignored. A double-dash word that holds a switch ("--win", "--debug",
// "--fullscreen") is that switch, never an unknown option. False with a one-line reason in error.
bool ParseOptions(int argc, char** argv, VelunarOptions& opts, std::string& error);

void PrintUsage(std::FILE* out);
void PrintVersion(std::FILE* out);
