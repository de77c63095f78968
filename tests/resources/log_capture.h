// A debug log in the test's scratch folder, read back so tests can check the exact lines.
#pragma once

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "core/logger.h"

class LogCapture {
public:
    explicit LogCapture(const std::string& name) {
        std::filesystem::create_directories(VELUNAR_TEST_TMP);
        m_path = std::string(VELUNAR_TEST_TMP) + "/" + name + ".log";
        std::filesystem::remove(m_path);
        m_saved = g_pLogger;
        m_logger = new CLogger(m_path.c_str(), CLogger::kNoFallback);
        g_pLogger = m_logger;
    }
    ~LogCapture() {
        g_pLogger = m_saved;
        delete m_logger;
    }
    // Everything logged so far (the logger's own opening line included).
    std::string Text() const {
        const char* path = m_logger->GetPath();
        std::ifstream in(path ? path : m_path.c_str(), std::ios::binary);
        std::stringstream ss;
        ss << in.rdbuf();
        return ss.str();
    }
    bool Has(const std::string& piece) const { return Text().find(piece) != std::string::npos; }

private:
    std::string m_path;
    CLogger* m_logger = nullptr;
    CLogger* m_saved = nullptr;
};
