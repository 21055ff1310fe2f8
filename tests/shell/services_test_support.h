#pragma once

// Helpers shared by the tests of the process services: files read and written whole, beside
// the scoped environment variable and the temporary folder of the test support.

#include "tests/support/scoped_env.h"
#include "tests/support/test_folder.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

inline bool IsFolder(const std::string& path)
{
    return std::filesystem::is_directory(path);
}

inline void WriteFile(const std::string& path, const std::string& content)
{
    std::ofstream(path, std::ios::binary) << content;
}

inline std::vector<std::string> ReadLines(const std::string& path)
{
    std::vector<std::string> lines;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}
