#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>

// A fresh scratch folder per test, under MELODRIFT_TEST_TMP or the system's temp.
inline std::filesystem::path make_test_folder()
{
    const char* root = std::getenv("MELODRIFT_TEST_TMP");
    const auto* info = testing::UnitTest::GetInstance()->current_test_info();
    std::filesystem::path folder = std::filesystem::path(root && *root ? root : testing::TempDir()) / "os" /
                                   (std::string(info->test_suite_name()) + "." + info->name());
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    return folder;
}

inline void write_file(const std::filesystem::path& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}
