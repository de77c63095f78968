// libFuzzer target for CIni: any file must read without a crash or an out-of-bounds field.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <unistd.h>

#include "core/ini.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string path = "/tmp/velunar_ini_fuzz_" + std::to_string(getpid()) + ".ini";
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return 0;
    std::fwrite(data, 1, size, f);
    std::fclose(f);
    CIni ini;
    if (!ini.Open(path.c_str())) return 0;
    while (ini.Read()) {
        if (ini.m_nFields > CIni::kMaxFields || std::strlen(ini.m_szFormat) != static_cast<size_t>(ini.m_nFields))
            std::abort();
        ini.MatchFormat("dddddss");
    }
    return 0;
}
