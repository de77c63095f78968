// shell.h - runs a shell command line for the install and package tests and keeps what it printed.
#pragma once

#include <sys/wait.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

struct ShellResult {
    int status = -1;  // the exit status, -1 when the command did not exit on its own
    std::string output;  // stdout and stderr together
};

inline ShellResult Shell(const std::string& command) {
    ShellResult r;
    std::FILE* p = popen((command + " 2>&1").c_str(), "r");
    if (!p) return r;
    char buf[4096];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;) r.output.append(buf, n);
    const int rc = pclose(p);
    r.status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
    return r;
}

// A path quoted for the shell (single quotes; the test folders hold none).
inline std::string Q(const std::string& s) { return "'" + s + "'"; }

inline std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

// The offscreen frame at demo time t, run in `cwd` by the program at `exe`; "-debug" keeps the log.
inline ShellResult Shot(const std::string& exe, const std::string& cwd, double t, const std::string& png,
                        const std::string& env = "") {
    char at[32];
    std::snprintf(at, sizeof at, "%.3f", t);
    return Shell("cd " + Q(cwd) + " && " + env + " SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy " + Q(exe) +
                 " --at " + at + " --shot " + Q(png) + " -debug");
}
