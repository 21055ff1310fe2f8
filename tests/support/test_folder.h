#pragma once

#include <boost/filesystem.hpp>
#include <gtest/gtest.h>

#include <string>

// A fresh, empty folder for the running test case. ctest runs test cases in parallel
// processes, so every case gets a folder of its own, named after its suite and case.
inline boost::filesystem::path FreshTestFolder(const std::string& part = "")
{
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = info ? std::string(info->test_suite_name()) + "." + info->name() : "outside-tests";
    if (!part.empty())
        name += "." + part;
    const boost::filesystem::path dir = boost::filesystem::path(TANZO_BINARY_DIR) / "test-files" / name;
    boost::filesystem::remove_all(dir);
    boost::filesystem::create_directories(dir);
    return dir;
}
