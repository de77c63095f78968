// libFuzzer target for CIni: any file must read without a crash or an out-of-bounds field.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/ini.h"
#include "support/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = velunar_test::FuzzInputFile("ini_fuzz", "ini", data, size);
    CIni ini;
    if (path.empty() || !ini.Open(path.c_str())) return 0;
    while (ini.Read()) {
        if (ini.m_nFields > CIni::kMaxFields || std::strlen(ini.m_szFormat) != static_cast<size_t>(ini.m_nFields))
            std::abort();
        ini.MatchFormat("dddddss");
    }
    return 0;
}
