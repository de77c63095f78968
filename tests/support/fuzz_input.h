// fuzz_input.h - the file-reading fuzz targets hand each input to the program as a file: this
// writes it to a path of the fuzzing process's own, named after the target.
// Depends on: POSIX.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

namespace velunar_test {

// The input written to /tmp/velunar_<stem>_<pid>.<extension>; "" when it cannot be written.
inline std::string FuzzInputFile(const char* stem, const char* extension, const std::uint8_t* data, std::size_t size) {
    const std::string path =
        std::string("/tmp/velunar_") + stem + "_" + std::to_string(getpid()) + "." + extension;
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return {};
    std::fwrite(data, 1, size, f);
    std::fclose(f);
    return path;
}

}  // namespace velunar_test
