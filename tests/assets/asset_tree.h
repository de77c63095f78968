// asset_tree.h - the fixture shared by the data-tree tests: one freshly generated tree per
// test program, read back from disk.
#pragma once

#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "assets.h"
#include "imageread.h"

namespace assettest {

// CTest runs the cases of one program as parallel processes: each gets a folder of its own.
inline std::string ProcessTmp() { return std::string(VELUNAR_TEST_TMP) + "/p" + std::to_string(::getpid()); }
inline std::string GenDir() { return ProcessTmp() + "/gen"; }

class AssetTree : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        std::filesystem::remove_all(ProcessTmp());
        failed_ = assetgen::WriteDataTree(GenDir(), 2);
    }
    static std::string Data(const std::string& f) { return GenDir() + "/data/" + f; }
    static assetgen::Decoded Load(const std::string& f) {
        assetgen::Decoded d;
        EXPECT_TRUE(assetgen::ReadImage(Data(f), d)) << f << " does not decode";
        return d;
    }
    static void TearDownTestSuite() { std::filesystem::remove_all(ProcessTmp()); }
    static inline std::vector<std::string> failed_;
};

}  // namespace assettest
