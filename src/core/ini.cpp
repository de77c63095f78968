// ini.cpp - CIni: one data line at a time, tokens split at single spaces.
#include "core/ini.h"

#include <climits>
#include <cstdlib>
#include <cstring>

#include "core/logger.h"
#include "core/data_root.h"

CIni::CIni()
    : m_pszLine(new char[kLineSize]()),
      m_pszWork(new char[kLineSize]()),
      m_pszCompact(new char[kLineSize]()),
      m_pszToken(new char[kLineSize]()) {}

CIni::~CIni() {
    if (m_bOpen) {
        std::fclose(m_pFile);
        m_bOpen = 0;
    }
    ReleaseStrings();
    delete[] m_pszLine;
    delete[] m_pszWork;
    delete[] m_pszCompact;
    delete[] m_pszToken;
}

void CIni::ReleaseStrings() {
    for (int i = 0; i < m_nStrings; ++i) {
        delete[] m_apszStrings[i];
        m_apszStrings[i] = nullptr;
    }
    m_nStrings = 0;
}

bool CIni::Open(const char* path) {
    if (m_bOpen) {
        if (g_pLogger) g_pLogger->LogMessage("CIni::Open : this file is already open\n");
        return false;
    }
    m_pFile = path ? std::fopen(DataPath(path).c_str(), "rt") : nullptr;
    if (!m_pFile) {
        if (g_pLogger) g_pLogger->LogMessage("CIni::Open : cannot open %s \n", path ? path : "(null)");
        return false;
    }
    m_bOpen = 1;
    return true;
}

bool CIni::Close() {
    if (!m_bOpen) {
        if (g_pLogger) g_pLogger->LogMessage("CIni::Close : couldn't close the file - file wasn't open\n");
        return false;
    }
    std::fclose(m_pFile);
    m_pFile = nullptr;
    m_bOpen = 0;
    return true;
}

bool CIni::Read() {
    if (!m_bOpen) {
        if (g_pLogger) g_pLogger->LogMessage("CIni::Read : Couldn't read a line, no ini file was open\n");
        return false;
    }
    for (;;) {
        if (!std::fgets(m_pszLine, kLineSize, m_pFile)) {
            Close();
            return false;
        }
        size_t len = std::strlen(m_pszLine);
        if (len > 0 && m_pszLine[len - 1] == '\n') m_pszLine[--len] = '\0';
        if (len > 0 && m_pszLine[len - 1] == '\r') m_pszLine[--len] = '\0';
        if (len == 0 || m_pszLine[0] == '#' || m_pszLine[0] == ';') continue;
        break;
    }

    std::strcpy(m_pszWork, m_pszLine);
    size_t len = std::strlen(m_pszWork);
    while (len > 0 && m_pszWork[len - 1] == ' ') m_pszWork[--len] = '\0';
    // Runs of spaces become one; a leading run stays as one space, the mark of an empty first token.
    size_t out = 0;
    for (size_t i = 0; i < len; ++i) {
        if (m_pszWork[i] == ' ' && out > 0 && m_pszCompact[out - 1] == ' ') continue;
        m_pszCompact[out++] = m_pszWork[i];
    }
    m_pszCompact[out] = '\0';

    ReleaseStrings();
    m_nInts = 0;
    m_nFloats = 0;
    int fields = 0;
    const char* p = m_pszCompact;
    for (;;) {
        const char* end = std::strchr(p, ' ');
        const size_t n = end ? static_cast<size_t>(end - p) : std::strlen(p);
        // Fields past the record's room are dropped, the line's first ones kept.
        if (fields < kMaxFields) {
            std::memcpy(m_pszToken, p, n);
            m_pszToken[n] = '\0';
            bool digits = true;
            for (size_t i = 0; i < n; ++i)
                if (m_pszToken[i] < '0' || m_pszToken[i] > '9') digits = false;
            if (digits) {
                // atol of the original runtime, whose long is 32 bits: too many digits saturate.
                const long long v = std::strtoll(m_pszToken, nullptr, 10);
                m_anInts[m_nInts++] = static_cast<int>(v > INT_MAX ? INT_MAX : v);
                m_szFormat[fields++] = 'd';
            } else {
                char* copy = new char[n + 1];
                std::memcpy(copy, m_pszToken, n + 1);
                m_apszStrings[m_nStrings++] = copy;
                m_szFormat[fields++] = 's';
            }
        }
        if (!end) break;
        p = end + 1;
    }
    m_szFormat[fields] = '\0';
    m_nFields = m_nStrings + m_nInts + m_nFloats;
    return true;
}

bool CIni::MatchFormat(const char* pattern) const {
    if (!m_bOpen || m_nFields <= 0 || !pattern) return false;
    if (std::strlen(pattern) != static_cast<size_t>(m_nFields)) return false;
    return std::strcmp(pattern, m_szFormat) == 0;
}
