// test_tmp.cpp - the per-process test folder: its name, its fresh creation, and the switch of
// the working directory into it before the first case starts.
//
// Depends on: GoogleTest, <filesystem>; VELUNAR_TEST_ROOT (the program's folder, set by CMake).
#include "test_tmp.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

namespace velunar_test {
namespace {

// CTest starts each case with --gtest_filter=Suite.Case: that name is the folder's. A run of
// many cases at once (no filter, or a pattern) is keyed by its process id instead.
std::string FolderName() {
    const std::string filter = GTEST_FLAG_GET(filter);
    const bool single = !filter.empty() && filter.find_first_of("*?:-") == std::string::npos;
    if (!single) return "run." + std::to_string(::getpid());
    std::string name;
    for (char c : filter) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                           c == '.' || c == '_' || c == '-';
        name += plain ? c : '_';
    }
    return name;
}

std::string MakeFolder() {
    namespace fs = std::filesystem;
    const fs::path dir = fs::path(VELUNAR_TEST_ROOT) / FolderName();
    std::error_code ec;
    fs::remove_all(dir, ec);
    fs::create_directories(dir, ec);
    if (ec) {
        std::fprintf(stderr, "test folder %s: %s\n", dir.c_str(), ec.message().c_str());
        std::abort();
    }
    return dir.string();
}

// Enters the folder before the first case, after the command line has been read. The temporary
// directory moves inside it too, for this process and the programs it starts.
class EnterFolder : public ::testing::EmptyTestEventListener {
    void OnTestProgramStart(const ::testing::UnitTest&) override {
        const std::string tmp = std::string(ProcessDir()) + "/tmp";
        std::error_code ec;
        std::filesystem::create_directories(tmp, ec);
        ::setenv("TMPDIR", tmp.c_str(), 1);
        if (::chdir(ProcessDir()) != 0) std::perror("chdir into the test folder");
    }
};

const bool g_registered = [] {
    ::testing::UnitTest::GetInstance()->listeners().Append(new EnterFolder);
    return true;
}();

}  // namespace

const char* ProcessDir() {
    static const std::string dir = MakeFolder();
    return dir.c_str();
}

}  // namespace velunar_test
