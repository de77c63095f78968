// CIni: how tokens are classified, comments and end of file, and the bound on fields per line.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "core/ini.h"
#include "core/logger.h"
#include "damage.h"
#include "test_dir.h"

namespace {

class Ini : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = std::make_unique<ScratchDir>(::testing::UnitTest::GetInstance()->current_test_info()->name());
        g_pLogger = new CLogger("debug.txt", 20);
    }
    void TearDown() override {
        delete g_pLogger;
        g_pLogger = nullptr;
        dir_.reset();
    }
    std::string Log() const { return ReadFile(dir_->path() / "debug.txt"); }
    std::string File(const std::string& text) {
        WriteFile(dir_->path() / "t.ini", text);
        return (dir_->path() / "t.ini").string();
    }
    std::unique_ptr<ScratchDir> dir_;
};

TEST_F(Ini, FieldsAreNumberedPerKindInLineOrder) {
    CIni ini;
    ASSERT_TRUE(ini.Open(File("10 20 a.jpg 30 b\n").c_str()));
    ASSERT_TRUE(ini.Read());
    EXPECT_STREQ(ini.m_szFormat, "ddsds");
    EXPECT_EQ(ini.m_nFields, 5);
    ASSERT_EQ(ini.m_nInts, 3);
    EXPECT_EQ(ini.m_anInts[0], 10);
    EXPECT_EQ(ini.m_anInts[1], 20);
    EXPECT_EQ(ini.m_anInts[2], 30);
    ASSERT_EQ(ini.m_nStrings, 2);
    EXPECT_STREQ(ini.m_apszStrings[0], "a.jpg");
    EXPECT_STREQ(ini.m_apszStrings[1], "b");
    EXPECT_TRUE(ini.MatchFormat("ddsds"));
    EXPECT_FALSE(ini.MatchFormat("ddsd"));
    EXPECT_FALSE(ini.MatchFormat("ddsdd"));
    EXPECT_FALSE(ini.MatchFormat(""));
}

TEST_F(Ini, SpacesSignsPointsAndTabs) {
    CIni ini;
    ASSERT_TRUE(ini.Open(File("5 abc\n"
                              "   5 abc\n"
                              "5    abc    \n"
                              "-5 2.5 +1 007\n"
                              "a\tb 1\n")
                             .c_str()));
    ASSERT_TRUE(ini.Read());
    EXPECT_STREQ(ini.m_szFormat, "ds");
    // Leading spaces make an empty first token, which counts as the number 0.
    ASSERT_TRUE(ini.Read());
    EXPECT_STREQ(ini.m_szFormat, "dds");
    EXPECT_EQ(ini.m_anInts[0], 0);
    EXPECT_EQ(ini.m_anInts[1], 5);
    ASSERT_TRUE(ini.Read());
    EXPECT_STREQ(ini.m_szFormat, "ds");
    EXPECT_STREQ(ini.m_apszStrings[0], "abc");
    ASSERT_TRUE(ini.Read());
    EXPECT_STREQ(ini.m_szFormat, "sssd");
    EXPECT_STREQ(ini.m_apszStrings[0], "-5");
    EXPECT_STREQ(ini.m_apszStrings[1], "2.5");
    EXPECT_EQ(ini.m_anInts[0], 7);
    ASSERT_TRUE(ini.Read());
    EXPECT_STREQ(ini.m_szFormat, "sd");
    EXPECT_STREQ(ini.m_apszStrings[0], "a\tb");
    EXPECT_EQ(ini.m_nFloats, 0);
}

TEST_F(Ini, CommentsEmptyLinesAndTheEndOfTheFile) {
    CIni ini;
    ASSERT_TRUE(ini.Open(File("# comment\n\n; another\r\n1 x\r\n\n#last").c_str()));
    ASSERT_TRUE(ini.Read());
    EXPECT_STREQ(ini.m_szFormat, "ds");
    EXPECT_STREQ(ini.m_apszStrings[0], "x");
    EXPECT_FALSE(ini.Read());
    // The end closed the file: nothing matches any more, and reading again is logged.
    EXPECT_FALSE(ini.MatchFormat("ds"));
    EXPECT_FALSE(ini.Read());
    EXPECT_NE(Log().find("CIni::Read : Couldn't read a line, no ini file was open\n"), std::string::npos);
    EXPECT_FALSE(ini.Close());
    EXPECT_NE(Log().find("CIni::Close : couldn't close the file - file wasn't open\n"), std::string::npos);
}

TEST_F(Ini, OnlyCommentsGivesNoLineAndCloses) {
    CIni ini;
    ASSERT_TRUE(ini.Open(File("#a\n;b\n\n").c_str()));
    EXPECT_FALSE(ini.Read());
    EXPECT_FALSE(ini.MatchFormat("d"));
    // Closed, so it can be opened again.
    EXPECT_TRUE(ini.Open(File("1\n").c_str()));
    EXPECT_TRUE(ini.Read());
    EXPECT_TRUE(ini.MatchFormat("d"));
}

TEST_F(Ini, OpenFailuresAreLogged) {
    CIni ini;
    EXPECT_FALSE(ini.Open("no/such.ini"));
    EXPECT_NE(Log().find("CIni::Open : cannot open no/such.ini \n"), std::string::npos);
    ASSERT_TRUE(ini.Open(File("1\n").c_str()));
    EXPECT_FALSE(ini.Open(File("1\n").c_str()));
    EXPECT_NE(Log().find("CIni::Open : this file is already open\n"), std::string::npos);
    EXPECT_FALSE(ini.MatchFormat("d"));
    EXPECT_TRUE(ini.Close());
}

TEST_F(Ini, FieldsPastTheBoundAreDropped) {
    std::string line;
    for (int i = 0; i < 300; ++i) line += (i % 2 ? "s " : "1 ");
    CIni ini;
    ASSERT_TRUE(ini.Open(File(line + "\n2 z\n").c_str()));
    ASSERT_TRUE(ini.Read());
    EXPECT_EQ(ini.m_nFields, CIni::kMaxFields);
    EXPECT_EQ(std::string(ini.m_szFormat).size(), 127u);
    EXPECT_EQ(ini.m_nInts, 64);
    EXPECT_EQ(ini.m_nStrings, 63);
    // The next line starts clean.
    ASSERT_TRUE(ini.Read());
    EXPECT_STREQ(ini.m_szFormat, "ds");
    EXPECT_EQ(ini.m_anInts[0], 2);
}

TEST_F(Ini, OverlongLinesAndHugeNumbersStayInBounds) {
    CIni ini;
    ASSERT_TRUE(ini.Open(File(std::string(1500, 'a') + "\n99999999999999999999\n").c_str()));
    // fgets hands the long line over in two pieces.
    ASSERT_TRUE(ini.Read());
    EXPECT_EQ(std::string(ini.m_apszStrings[0]).size(), 1023u);
    ASSERT_TRUE(ini.Read());
    EXPECT_EQ(std::string(ini.m_apszStrings[0]).size(), 477u);
    ASSERT_TRUE(ini.Read());
    EXPECT_STREQ(ini.m_szFormat, "d");
    EXPECT_EQ(ini.m_anInts[0], 2147483647);
}

TEST_F(Ini, BinaryGarbageIsReadWithoutHarm) {
    std::string junk;
    unsigned state = 12345;
    for (int i = 0; i < 20000; ++i) {
        state = state * 1103515245u + 12345u;
        junk += static_cast<char>((state >> 16) & 0xff);
    }
    CIni ini;
    ASSERT_TRUE(ini.Open(File(junk).c_str()));
    int lines = 0;
    while (ini.Read()) {
        ASSERT_LE(ini.m_nFields, CIni::kMaxFields);
        ASSERT_EQ(std::string(ini.m_szFormat).size(), static_cast<size_t>(ini.m_nFields));
        ++lines;
    }
    EXPECT_GT(lines, 0);
}

// A file in the shape the show reads (comments, names, numbers, blank lines) cut at every length
// and with each byte inverted: every line read keeps its fields within their bounds.
TEST_F(Ini, EveryCutAndInvertedByteReadsWithinBounds) {
    const std::string good =
        "; layers\n12 345 -6 back.jpg 0 120\n\n7 8 9 strip1.jpg 1 2 3 4 5 6 7 8\n"
        "; captions\n0.5 2.25 some words here\n99999999999 -0 x\n";
    const damage::Bytes bytes(good.begin(), good.end());
    damage::ForEach(bytes, 1, [&](const damage::Bytes& variant, const std::string& what) {
        const std::string path = File(std::string(variant.begin(), variant.end()));
        CIni ini;
        if (!ini.Open(path.c_str())) return;
        int lines = 0;
        while (ini.Read() && ++lines < 100) {
            ASSERT_GE(ini.m_nFields, 0) << what;
            ASSERT_LE(ini.m_nFields, CIni::kMaxFields) << what;
            ASSERT_EQ(std::strlen(ini.m_szFormat), static_cast<std::size_t>(ini.m_nFields)) << what;
            ini.MatchFormat("dddsd");
        }
        EXPECT_LT(lines, 100) << what;
    });
}

}  // namespace
