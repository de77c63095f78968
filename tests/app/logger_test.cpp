// The debug log on disk: its exact lines, where it goes, and what it does with odd messages.
#include <gtest/gtest.h>

#include <cstdlib>
#include <regex>
#include <string>

#include "core/logger.h"
#include "test_dir.h"

namespace {

const std::string kStamp = R"([A-Z][a-z]{2} [A-Z][a-z]{2} [ 0-9]\d \d\d:\d\d:\d\d \d{4}\n)";

TEST(Logger, OpeningMessagesAndClosingLinesExactly) {
    ScratchDir dir("logger_lines");
    {
        CLogger log("debug.txt", 20);
        ASSERT_TRUE(log.IsUsable());
        EXPECT_EQ(std::string(log.GetPath()), (dir.path() / "debug.txt").string());
        log.LogMessage("CRender::Init : Error creating Direct3D device\n");
        // No newline: the next message runs on in the same line.
        log.LogMessage("fx : %d of %s", 3, "five");
        log.LogMessage("CIni::Open : cannot open %s \n", "data/layer.ini");
        // What the formatting produced is written as is, never formatted again.
        log.LogMessage("%s\n", "100% done %d %s");
        log.LogMessage("%d%%\n", 50);
    }
    const std::string text = ReadFile(dir.path() / "debug.txt");
    const std::regex expected("CLogger::CLogger : Starting debug session on " + kStamp +
                              "CRender::Init : Error creating Direct3D device\n"
                              "fx : 3 of fiveCIni::Open : cannot open data/layer.ini \n"
                              "100% done %d %s\n"
                              "50%\n"
                              "CLogger::~CLogger : Ending debug session on " +
                              kStamp);
    EXPECT_TRUE(std::regex_match(text, expected)) << text;
}

TEST(Logger, FreshFileUnlessAppendAndEachMessageIsOnDiskAtOnce) {
    ScratchDir dir("logger_modes");
    WriteFile(dir.path() / "debug.txt", "old content\n");
    {
        CLogger log("debug.txt", 20);
        log.LogMessage("first\n");
        const std::string mid = ReadFile(dir.path() / "debug.txt");
        EXPECT_EQ(mid.find("old content"), std::string::npos);
        EXPECT_NE(mid.find("first\n"), std::string::npos);
    }
    {
        CLogger log("debug.txt", CLogger::kAppend);
        log.LogMessage("second\n");
    }
    const std::string text = ReadFile(dir.path() / "debug.txt");
    EXPECT_NE(text.find("first\n"), std::string::npos);
    EXPECT_NE(text.find("second\n"), std::string::npos);
    EXPECT_LT(text.find("first\n"), text.find("second\n"));
}

TEST(Logger, FallsBackToTheTemporaryDirectoryWhenTheNameCannotBeOpened) {
    ScratchDir dir("logger_fallback");
    // A directory by that name cannot be opened as a file, not even by root.
    std::filesystem::create_directory(dir.path() / "debug.txt");
    const auto tmp = dir.path() / "tmp";
    std::filesystem::create_directory(tmp);
    const char* oldTmp = std::getenv("TMPDIR");
    const std::string saved = oldTmp ? oldTmp : "";
    setenv("TMPDIR", tmp.c_str(), 1);
    {
        CLogger log("debug.txt", 20);
        ASSERT_TRUE(log.IsUsable());
        EXPECT_EQ(std::string(log.GetPath()), (tmp / "debug.txt").string());
        log.LogMessage("kept\n");
    }
    {
        CLogger none("debug.txt", 20 | CLogger::kNoFallback);
        EXPECT_FALSE(none.IsUsable());
        EXPECT_EQ(none.GetPath(), nullptr);
        none.LogMessage("lost\n");
    }
    if (oldTmp) {
        setenv("TMPDIR", saved.c_str(), 1);
    } else {
        unsetenv("TMPDIR");
    }
    const std::string text = ReadFile(tmp / "debug.txt");
    EXPECT_EQ(text.rfind("CLogger::CLogger : Starting debug session on ", 0), 0u);
    EXPECT_NE(text.find("kept\n"), std::string::npos);
    EXPECT_EQ(text.find("lost"), std::string::npos);
}

TEST(Logger, OverlongMessagesAreCutAtTheBuffer) {
    ScratchDir dir("logger_long");
    {
        CLogger log("debug.txt", 20);
        log.LogMessage("%s", std::string(5000, 'x').c_str());
        log.LogMessage("\nafter\n");
    }
    const std::string text = ReadFile(dir.path() / "debug.txt");
    const auto start = text.find('x');
    ASSERT_NE(start, std::string::npos);
    EXPECT_EQ(text.find_first_not_of('x', start) - start, 1023u);
    EXPECT_NE(text.find("\nafter\n"), std::string::npos);
}

}  // namespace
