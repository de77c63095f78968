// logger.h - CLogger, the plain-text debug log "debug.txt", reopened and closed for every message
// so the file on disk is complete up to the last message even if the process dies.
// Depends on: the C runtime only.
#pragma once

#include <string>

#include "platform/wintypes.h"

class CLogger {
public:
    // Mode bits: append to the existing file instead of starting afresh.
    static constexpr DWORD kAppend = 2;
    // Mode bits: never fall back to another directory when the file cannot be opened.
    static constexpr DWORD kNoFallback = 8;

    CLogger(const char* fileName, DWORD modeFlags);
    ~CLogger();
    CLogger(const CLogger&) = delete;
    CLogger& operator=(const CLogger&) = delete;

    void LogMessage(const char* format, ...) __attribute__((format(printf, 2, 3)));

    // The full path the log is written to, or null when no file could be opened.
    const char* GetPath() const;
    bool IsUsable() const;

private:
    char* m_pszPath = nullptr;
    void* m_pFile = nullptr;
    BYTE m_bUsable = 0;
    char m_szMessage[1024] = {};
};

// Where the log, and screenshots, go when the current directory refuses them: the system's
// temporary directory ($TMPDIR, else /tmp), without a trailing '/'.
std::string FallbackDirectory();

// The one debug log of the program; may be null, so every writer tests it first.
extern CLogger* g_pLogger;
