// ini.h - CIni, the line reader of data/layer.ini and data/napisy.ini: each data line is a list of
// space-separated tokens, classified as integers ('d') or strings ('s'); the caller checks the
// pattern of kinds with MatchFormat before it uses the fields.
// Depends on: the debug log.
#pragma once

#include <cstdio>

class CIni {
public:
    static constexpr int kMaxFields = 127;
    static constexpr int kLineSize = 1024;

    CIni();
    ~CIni();
    CIni(const CIni&) = delete;
    CIni& operator=(const CIni&) = delete;

    bool Open(const char* path);
    // The next data line (comments and empty lines skipped); false at end of file, which closes it.
    bool Read();
    bool MatchFormat(const char* pattern) const;
    bool Close();
    // The last data line as cleaned: trailing spaces gone, every run of spaces one space.
    const char* Line() const { return m_pszCompact; }

    // Fields of the last line, numbered per kind in line order.
    char* m_apszStrings[128] = {};
    int m_anInts[128] = {};
    float m_afFloats[128] = {};
    int m_nStrings = 0;
    int m_nInts = 0;
    int m_nFloats = 0;
    int m_nFields = 0;
    char m_szFormat[128] = {};

private:
    void ReleaseStrings();

    std::FILE* m_pFile = nullptr;
    unsigned char m_bOpen = 0;
    char* m_pszLine = nullptr;
    char* m_pszWork = nullptr;
    char* m_pszCompact = nullptr;
    char* m_pszToken = nullptr;
};
