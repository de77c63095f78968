// A fresh scratch directory per test, entered for the test's duration.
#pragma once

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

class ScratchDir {
public:
    explicit ScratchDir(const std::string& name) : path_(std::filesystem::path(VELUNAR_TEST_TMP) / name) {
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
        old_ = std::filesystem::current_path();
        std::filesystem::current_path(path_);
    }
    ~ScratchDir() { std::filesystem::current_path(old_); }
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_, old_;
};

inline std::string ReadFile(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

inline void WriteFile(const std::filesystem::path& p, const std::string& text) {
    std::ofstream out(p, std::ios::binary);
    out << text;
}
