// main.cpp - the process entry: our own double-dash options first, then the offscreen frame or
// the Win32-shaped entry point with the whole command line.
#include <cstdio>
#include <string>

#include "app/capture_run.h"
#include "app/command_line.h"
#include "app/offscreen.h"
#include "app/options.h"
#include "app/scene_schedule.h"
#include "core/globals.h"
#include "core/screen_layout.h"
#include "app/viewer_keys.h"
#include "app/window_proc.h"
#include "platform/d3d8/d3d8_ext.h"
#include "platform/window/window.h"

int main(int argc, char** argv) {
    VelunarOptions opts;
    std::string error;
    if (!ParseOptions(argc, argv, opts, error)) {
        std::fprintf(stderr, "velunar: %s\nTry 'velunar --help' for the options.\n", error.c_str());
        return 2;
    }
    if (opts.help) {
        PrintUsage(stdout);
        return 0;
    }
    if (opts.version) {
        PrintVersion(stdout);
        return 0;
    }
    g_options = opts;
    g_bGentle = g_options.gentle ? 1 : 0;
    SetGentleFlashes(g_options.gentle);
    // The device makes its back buffer this much larger; the program keeps its 800 x 600.
    D3D8_SetBackBufferScale(static_cast<unsigned>(g_options.scale));
    // --fill shows the band alone on screen; whatever reads the picture back still gets all of it.
    if (g_options.fill) {
        const RECT band{0, kBandTop, kScreenWidth, kBandBottom};
        D3D8_SetShownRect(&band);
    }
    if (g_options.hasAt) {
        ScanSwitches(JoinCommandLine(argc, argv).c_str());
        return RunAt(g_options);
    }
    if (!g_options.capture.empty()) {
        ScanSwitches(JoinCommandLine(argc, argv).c_str());
        return RunCapture(g_options);
    }
    PrepareStart(g_options);
    EnableViewerKeys(g_options.loop, g_options.fill);
    std::string line = JoinCommandLine(argc, argv);
    return WinMain(GetModuleHandleA(nullptr), nullptr, line.data(), SW_SHOWNORMAL);
}
