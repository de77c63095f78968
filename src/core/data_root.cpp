// data_root.cpp - the current directory, beside the program, then the installed share/velunar/.
#include "core/data_root.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "core/logger.h"

namespace {

namespace fs = std::filesystem;

std::string s_root;

bool HoldsData(const std::string& root) {
    std::error_code ec;
    return fs::is_directory(fs::path(root.empty() ? "." : root) / "data", ec);
}

// How a candidate reads in the log and on stderr.
std::string Describe(const std::string& root) {
    if (!root.empty()) return root;
    std::error_code ec;
    const fs::path cwd = fs::current_path(ec);
    return "the current directory" + (ec ? std::string() : " (" + cwd.string() + ")");
}

}  // namespace

std::vector<std::string> DataRootCandidates(const std::string& exePath) {
    std::vector<std::string> out{""};
    if (exePath.empty()) return out;
    const fs::path dir = fs::path(exePath).parent_path();
    out.push_back(dir.string());
    out.push_back((dir / ".." / "share" / "velunar").lexically_normal().string());
    // "dir/../share/velunar/" normalises with a trailing separator; the root is joined with '/'.
    if (out.back().size() > 1 && out.back().back() == '/') out.back().pop_back();
    return out;
}

bool ChooseDataRoot() {
    // The program itself, links resolved: a prefix reached through a symbolic link still finds its share/.
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    const std::vector<std::string> candidates = DataRootCandidates(ec ? std::string() : exe.string());
    for (const std::string& root : candidates) {
        if (!HoldsData(root)) continue;
        s_root = root;
        if (g_pLogger) g_pLogger->LogMessage("ChooseDataRoot : Reading data/ and velunar.mp3 from %s\n", Describe(root).c_str());
        return true;
    }
    std::string tried;
    for (const std::string& root : candidates) tried += "\n  " + Describe(root);
    if (g_pLogger) g_pLogger->LogMessage("ChooseDataRoot : No data/ found in any of:%s\n", tried.c_str());
    std::fprintf(stderr, "velunar: no data/ found in any of:%s\n", tried.c_str());
    return false;
}

const std::string& GetDataRoot() { return s_root; }

void SetDataRoot(const std::string& root) { s_root = root; }

std::string DataPath(const char* path) {
    if (!path) return {};
    if (s_root.empty() || path[0] == '/') return path;
    return s_root + "/" + path;
}
