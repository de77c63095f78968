// asset_tree.h - the fixture shared by the data-tree tests: one freshly generated tree per
// test process, read back from disk.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "assets.h"
#include "imageread.h"

namespace assettest {

inline std::string GenDir() { return std::string(VELUNAR_TEST_TMP) + "/gen"; }

class AssetTree : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        std::filesystem::remove_all(GenDir());
        failed_ = assetgen::WriteDataTree(GenDir(), 2);
    }
    static std::string Data(const std::string& f) { return GenDir() + "/data/" + f; }
    static assetgen::Decoded Load(const std::string& f) {
        assetgen::Decoded d;
        EXPECT_TRUE(assetgen::ReadImage(Data(f), d)) << f << " does not decode";
        return d;
    }
    static void TearDownTestSuite() { std::filesystem::remove_all(GenDir()); }
    static inline std::vector<std::string> failed_;
};

}  // namespace assettest
