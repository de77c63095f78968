// velunar_run.h - the built program as a process for tests and benchmarks: a working folder that
// sees the runnable tree, a start with its error output kept, a bounded wait, and the one-frame
// render `velunar --at T --shot FILE.png`.
//
// Depends on: POSIX (fork, exec, waitpid); VELUNAR_RUN_DIR and VELUNAR_EXE (set by CMake).
#pragma once

#include <sys/types.h>

#include <functional>
#include <string>
#include <vector>

namespace velunar_test {

// The runnable tree the build made (data/, velunar.mp3, the program).
const char* RunDir();
// Makes `work` (and its parents) and links the runnable tree's data/ into it, and the music
// track unless `track` is false; files a test has already put there are kept.
void LinkRunTree(const std::string& work, bool track = true);

struct Outcome {
    int status = -1;  // the exit status; 128 + signal when killed by one; -1 when it outlived the wait
    std::string err;  // what it wrote to its error output
};

// Starts the program in `work` (offscreen video, dummy sound) with the arguments; its error output
// goes to work/err.txt, its standard output nowhere. `child` runs in the child just before exec.
pid_t StartVelunar(const std::string& work, const std::vector<std::string>& args,
                   const std::function<void()>& child = {});
// Waits up to `seconds` for the process (then kills it) and reads its error output.
Outcome FinishVelunar(const std::string& work, pid_t pid, int seconds = 240);
Outcome RunVelunar(const std::string& work, const std::vector<std::string>& args, int seconds = 240);
// Renders demo time t into `shot` (relative to `work` or absolute), with further arguments.
Outcome ShotAt(const std::string& work, double t, const std::string& shot, const std::vector<std::string>& more = {},
               int seconds = 240);

}  // namespace velunar_test
