// command_line.cpp - the switch scan and the double-dash options.
#include "app/command_line.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/globals.h"

std::string JoinCommandLine(int argc, char** argv) {
    std::string line;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) line += ' ';
        line += argv[i] ? argv[i] : "";
    }
    return line;
}

namespace {

constexpr const char* kDebugSwitch = "-debug";
constexpr const char* kFullSwitch = "-full";
constexpr const char* kWinSwitch = "-win";

// A word that holds a switch has been read by the scan ("--win", "--fullscreen", "x-debugger").
bool HoldsSwitch(const std::string& word) {
    for (const char* s : {kDebugSwitch, kFullSwitch, kWinSwitch}) {
        if (word.find(s) != std::string::npos) return true;
    }
    return false;
}

bool ParseSeconds(const std::string& name, const std::string& text, double& out, std::string& error) {
    char* end = nullptr;
    const double v = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || !std::isfinite(v)) {
        error = name + " needs a number of seconds, not '" + text + "'";
        return false;
    }
    if (v < kShowStart || v > kShowEnd) {
        char range[48];
        std::snprintf(range, sizeof range, "%g ... %g seconds", kShowStart, kShowEnd);
        error = name + " " + text + " is outside the show's " + range;
        return false;
    }
    out = v;
    return true;
}

}  // namespace

void ScanSwitches(const char* commandLine) {
    const char* line = commandLine ? commandLine : "";
    if (std::strstr(line, kDebugSwitch)) g_bDebug = 1;
    if (std::strstr(line, kFullSwitch)) g_bFullScreen = 1;
    if (std::strstr(line, kWinSwitch)) g_bFullScreen = 0;
}

bool ParseOptions(int argc, char** argv, VelunarOptions& opts, std::string& error) {
    opts = VelunarOptions{};
    // Options that only make sense with --capture, by name, for the error below.
    std::string captureOnly;
    for (int i = 1; i < argc; ++i) {
        const std::string word = argv[i] ? argv[i] : "";
        if (word.rfind("--", 0) != 0) continue;
        std::string name = word, value;
        bool inlineValue = false;
        if (const auto eq = word.find('='); eq != std::string::npos) {
            name = word.substr(0, eq);
            value = word.substr(eq + 1);
            inlineValue = true;
        }
        auto takeValue = [&](std::string& into) {
            if (inlineValue) {
                into = value;
                return true;
            }
            if (i + 1 >= argc) {
                error = name + " needs a value";
                return false;
            }
            into = argv[++i];
            return true;
        };
        auto noValue = [&]() {
            if (!inlineValue) return true;
            error = name + " takes no value";
            return false;
        };

        if (name == "--help") {
            if (!noValue()) return false;
            opts.help = true;
        } else if (name == "--version") {
            if (!noValue()) return false;
            opts.version = true;
        } else if (name == "--setup") {
            if (!noValue()) return false;
            opts.setup = true;
        } else if (name == "--gentle") {
            if (!noValue()) return false;
            opts.gentle = true;
        } else if (name == "--fill") {
            if (!noValue()) return false;
            opts.fill = true;
        } else if (name == "--loop") {
            if (!noValue()) return false;
            opts.loop = true;
        } else if (name == "--at") {
            std::string v;
            if (!takeValue(v) || !ParseSeconds(name, v, opts.at, error)) return false;
            opts.hasAt = true;
        } else if (name == "--start") {
            std::string v;
            if (!takeValue(v) || !ParseSeconds(name, v, opts.start, error)) return false;
            opts.hasStart = true;
        } else if (name == "--shot") {
            if (!takeValue(opts.shot)) return false;
            if (opts.shot.empty()) {
                error = "--shot needs a file name";
                return false;
            }
        } else if (name == "--capture") {
            if (!takeValue(opts.capture)) return false;
            if (opts.capture.empty()) {
                error = "--capture needs a file name";
                return false;
            }
        } else if (name == "--fps") {
            std::string v;
            if (!takeValue(v)) return false;
            char* end = nullptr;
            const long fps = std::strtol(v.c_str(), &end, 10);
            if (v.empty() || *end != '\0' || fps < 1 || fps > 1000) {
                error = "--fps needs a whole number of frames per second from 1 to 1000, not '" + v + "'";
                return false;
            }
            opts.fps = static_cast<int>(fps);
            captureOnly = name;
        } else if (name == "--from" || name == "--to") {
            std::string v;
            if (!takeValue(v) || !ParseSeconds(name, v, name == "--from" ? opts.from : opts.to, error)) return false;
            captureOnly = name;
        } else if (name == "--crf") {
            std::string v;
            if (!takeValue(v)) return false;
            char* end = nullptr;
            const double crf = std::strtod(v.c_str(), &end);
            if (v.empty() || *end != '\0' || !(crf >= 0.0 && crf <= 51.0)) {
                error = "--crf needs a quality from 0 (lossless) to 51 (smallest), not '" + v + "'";
                return false;
            }
            opts.crf = crf;
            captureOnly = name;
        } else if (name == "--scale") {
            std::string v;
            if (!takeValue(v)) return false;
            if (v == "auto") {
                opts.scale = 0;
            } else {
                char* end = nullptr;
                const long n = std::strtol(v.c_str(), &end, 10);
                if (v.empty() || *end != '\0' || n < 1 || n > kMaxScale) {
                    error = "--scale needs a factor from 1 to 4, or auto, not '" + v + "'";
                    return false;
                }
                opts.scale = static_cast<int>(n);
            }
        } else if (!HoldsSwitch(word)) {
            error = "unknown option '" + word + "'";
            return false;
        }
    }
    if (opts.help || opts.version) return true;
    if (opts.hasAt != !opts.shot.empty()) {
        error = "--at SECONDS and --shot FILE.png go together";
        return false;
    }
    if (!captureOnly.empty() && opts.capture.empty()) {
        error = captureOnly + " goes with --capture FILE.mp4";
        return false;
    }
    if (opts.from >= opts.to) {
        error = "--from must come before --to";
        return false;
    }
    if (opts.setup && (opts.hasAt || !opts.capture.empty())) {
        error = "--setup goes with a run in a window, not with --at or --capture";
        return false;
    }
    if (opts.scale == 0 && (opts.hasAt || !opts.capture.empty())) {
        error = "--scale auto fits the picture to a display; --at and --capture need a factor from 1 to 4";
        return false;
    }
    const int modes = (opts.hasAt ? 1 : 0) + (opts.capture.empty() ? 0 : 1) + (opts.hasStart ? 1 : 0);
    if (modes > 1) {
        error = "--at, --capture and --start exclude each other";
        return false;
    }
    return true;
}

void PrintUsage(std::FILE* out) {
    std::fputs(
        "Usage: velunar [-win | -full] [-debug] [--setup] [--start SECONDS] [--loop] [--gentle]\n"
        "               [--fill] [--scale N | auto]\n"
        "       velunar --at SECONDS --shot FILE.png [--gentle] [--scale N]\n"
        "       velunar --capture FILE.mp4 [--fps N] [--from SECONDS] [--to SECONDS] [--crf Q] [--gentle] [--scale N]\n"
        "\n"
        "Velunar, a real-time demo by Halvorine & Quill: 175 seconds of music and pictures.\n"
        "It reads data/ and velunar.mp3 from the current directory when that holds data/,\n"
        "else from the program's own folder (build/run/ after a build), else from the\n"
        "share/velunar/ of its installed prefix.\n"
        "\n"
        "  -win               play in an 800 x 600 window (the title shows time and frame rate)\n"
        "  -full              play full screen (the default; -win wins when both are given)\n"
        "  -debug             keep the log debug.txt after exit\n"
        "  --setup            choose the sound output before the show, in a dialog: OK plays with\n"
        "                     the choices, Cancel (or closing the window) ends. Output types:\n"
        "                     Direct Sound = PulseAudio, Windows Multimedia WaveOut = ALSA,\n"
        "                     A3D = PipeWire (silence on the dummy driver where it cannot open);\n"
        "                     drivers are that system's output devices; the mixers without\n"
        "                     interpolation take the nearest sample, the others interpolate\n"
        "  --start SECONDS    begin the show at that demo time, the music seeked to match\n"
        "  --gentle           at most three flashes in any second (the photosensitivity guideline):\n"
        "                     the drum break dimmed, fx10's flower shaken less; with any option\n"
        "  --loop             at its end the show starts again from the title picture, until Escape\n"
        "  --fill             for wide displays: the black bars are cropped and the 2:1 picture fills\n"
        "                     the window (made its shape) or the screen as far as its aspect allows\n"
        "                     (1920 x 960 on a 1920 x 1080 display); F11 shots, --at and --capture\n"
        "                     keep the whole picture\n"
        "  --at SECONDS --shot FILE.png\n"
        "                     render the frame at that demo time offscreen and save it as PNG;\n"
        "                     the frames before it are replayed from the start of that time's\n"
        "                     scene at 60 fps, so state carried between frames is as in a real run\n"
        "  --capture FILE.mp4 render the show offscreen into one video with its music: H.264 and\n"
        "                     AAC, in the container the file name's extension names (.mp4, .mkv);\n"
        "                     .webm holds VP9 and Opus\n"
        "  --fps N            frame rate of --capture (60 unless given)\n"
        "  --from SECONDS     the demo time --capture begins at (-5, the title picture, unless given)\n"
        "  --to SECONDS       the demo time --capture ends before (170, the end, unless given)\n"
        "  --crf Q            picture quality of --capture, 0 (lossless) to 51 (smallest); 18\n"
        "  --scale N          render the picture N times wider and taller, N from 1 (the default,\n"
        "                     800 x 600) to 4: in the window (as large as the display allows),\n"
        "                     full screen, F11 shots, --at shots and --capture video (N = 2 gives\n"
        "                     1600 x 1200); auto, on screen only, takes the largest N that fits\n"
        "                     the display (with --fill, the largest whose 2:1 picture fits)\n"
        "  --help             show this help\n"
        "  --version          show the version\n"
        "\n"
        "Demo times run from -5 (the title picture) to 170 seconds.\n"
        "Keys while playing: Escape quits, F11 saves shot00000.bmp, shot00001.bmp, ...; Space pauses\n"
        "and resumes; Left / Right seek 5 s; Page Up / Page Down jump to the previous / next scene;\n"
        "Home to the title picture; Tab shows or hides the time, scene and frame rate.\n",
        out);
}

void PrintVersion(std::FILE* out) { std::fputs("velunar " VELUNAR_VERSION "\n", out); }
