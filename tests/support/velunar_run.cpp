// velunar_run.cpp - fork and exec of the built program, and the bounded wait for it.
#include "support/velunar_run.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

namespace velunar_test {

namespace fs = std::filesystem;

const char* RunDir() { return VELUNAR_RUN_DIR; }

void LinkRunTree(const std::string& work, bool track) {
    std::error_code ec;
    fs::create_directories(work, ec);
    fs::create_directory_symlink(fs::path(VELUNAR_RUN_DIR) / "data", fs::path(work) / "data", ec);
    if (track) fs::create_symlink(fs::path(VELUNAR_RUN_DIR) / "velunar.mp3", fs::path(work) / "velunar.mp3", ec);
}

pid_t StartVelunar(const std::string& work, const std::vector<std::string>& args, const std::function<void()>& child) {
    // Output buffered here would be written again by the child.
    std::fflush(stdout);
    std::fflush(stderr);
    const pid_t pid = fork();
    if (pid != 0) return pid;
    if (chdir(work.c_str()) != 0) _exit(127);
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    if (!std::freopen("err.txt", "w", stderr) || !std::freopen("/dev/null", "w", stdout)) _exit(127);
    if (child) child();
    std::vector<char*> argv{const_cast<char*>(VELUNAR_EXE)};
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(VELUNAR_EXE, argv.data());
    _exit(127);
}

Outcome FinishVelunar(const std::string& work, pid_t pid, int seconds) {
    using namespace std::chrono_literals;
    Outcome r;
    int status = 0;
    for (auto until = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
         std::chrono::steady_clock::now() < until;) {
        if (waitpid(pid, &status, WNOHANG) == pid) {
            r.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            break;
        }
        std::this_thread::sleep_for(10ms);
    }
    if (r.status < 0) {
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
    }
    std::ifstream in(fs::path(work) / "err.txt");
    r.err.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return r;
}

Outcome RunVelunar(const std::string& work, const std::vector<std::string>& args, int seconds) {
    return FinishVelunar(work, StartVelunar(work, args), seconds);
}

Outcome ShotAt(const std::string& work, double t, const std::string& shot, const std::vector<std::string>& more,
               int seconds) {
    char at[32];
    std::snprintf(at, sizeof at, "%.4f", t);
    std::vector<std::string> args{"--at", at, "--shot", shot};
    args.insert(args.end(), more.begin(), more.end());
    std::error_code ec;
    fs::remove(fs::path(work) / shot, ec);
    return RunVelunar(work, args, seconds);
}

}  // namespace velunar_test
