// files.cpp - the current directory over POSIX getcwd.
#include "platform/files/files.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

DWORD GetCurrentDirectoryA(DWORD bufferLength, LPSTR buffer) {
    std::string cwd;
    std::vector<char> tmp(256);
    while (!getcwd(tmp.data(), tmp.size())) {
        if (errno != ERANGE) return 0;
        tmp.resize(tmp.size() * 2);
    }
    cwd = tmp.data();
    if (!buffer || bufferLength < cwd.size() + 1) return static_cast<DWORD>(cwd.size() + 1);
    std::memcpy(buffer, cwd.c_str(), cwd.size() + 1);
    return static_cast<DWORD>(cwd.size());
}
