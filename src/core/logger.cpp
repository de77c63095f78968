// logger.cpp - the debug log: opening line, one open-append-close per message, closing line.
#include "core/logger.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <string>
#include <system_error>

#include "platform/files/files.h"

namespace {

char* CopyString(const std::string& s) {
    char* p = new char[s.size() + 1];
    std::memcpy(p, s.c_str(), s.size() + 1);
    return p;
}

void WriteSessionLine(std::FILE* f, const char* format) {
    const std::time_t now = std::time(nullptr);
    const std::tm* local = std::localtime(&now);
    std::fprintf(f, format, local ? std::asctime(local) : "?\n");
}

}  // namespace

std::string FallbackDirectory() {
    std::error_code ec;
    std::string dir = std::filesystem::temp_directory_path(ec).string();
    if (ec || dir.empty()) dir = "/tmp";
    if (dir.size() > 1 && dir.back() == '/') dir.pop_back();
    return dir;
}

CLogger::CLogger(const char* fileName, DWORD modeFlags) {
    const char* mode = (modeFlags & kAppend) ? "at" : "wt";
    const std::string name = fileName ? fileName : "";
    std::FILE* f = name.empty() ? nullptr : std::fopen(name.c_str(), mode);
    if (f) {
        // A name that already carries its directory is kept as it is.
        if (name.size() <= 2 || name[1] == ':' || name[0] == '/') {
            m_pszPath = CopyString(name);
        } else {
            char cwd[256] = {};
            const DWORD n = GetCurrentDirectoryA(sizeof cwd, cwd);
            std::string dir;
            if (n > 0 && n < sizeof cwd) {
                dir = cwd;
            } else {
                // Deeper than the buffer: ask for the whole path rather than cut it.
                std::string big(n + 1, '\0');
                const DWORD m = GetCurrentDirectoryA(static_cast<DWORD>(big.size()), big.data());
                dir = big.substr(0, m);
            }
            m_pszPath = CopyString(dir + "/" + name);
        }
        m_bUsable = 1;
    } else if (!(modeFlags & kNoFallback) && !name.empty()) {
        const std::string path = FallbackDirectory() + "/" + name;
        m_pszPath = CopyString(path);
        f = std::fopen(path.c_str(), mode);
        m_bUsable = f ? 1 : 0;
    } else {
        m_bUsable = 0;
    }
    if (f) {
        m_pFile = f;
        WriteSessionLine(f, "CLogger::CLogger : Starting debug session on %s");
        std::fclose(f);
        m_pFile = nullptr;
    }
}

CLogger::~CLogger() {
    if (m_bUsable == 1) {
        if (std::FILE* f = std::fopen(m_pszPath, "at")) {
            WriteSessionLine(f, "CLogger::~CLogger : Ending debug session on %s");
            std::fclose(f);
        }
    }
    delete[] m_pszPath;
    m_pszPath = nullptr;
    m_bUsable = 0;
}

void CLogger::LogMessage(const char* format, ...) {
    if (m_bUsable != 1 || !format) return;
    va_list args;
    va_start(args, format);
    // A longer message is cut at the buffer's end, never written past it.
    std::vsnprintf(m_szMessage, sizeof m_szMessage, format, args);
    va_end(args);
    std::FILE* f = std::fopen(m_pszPath, "at");
    if (!f) return;
    m_pFile = f;
    std::fputs(m_szMessage, f);
    std::fclose(f);
    m_pFile = nullptr;
}

const char* CLogger::GetPath() const { return m_bUsable ? m_pszPath : nullptr; }

bool CLogger::IsUsable() const { return m_bUsable == 1; }
