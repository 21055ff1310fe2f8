// Builds the shipped personality library from the fixture definitions of Debian's qlcplus-data
// package, or checks a library file.
//
//   personality_converter [FIXTURES_FOLDER] OUTPUT_FILE
//       FIXTURES_FOLDER holds <Manufacturer>/*.qxf (default /usr/share/qlcplus/fixtures).
//   personality_converter --check LIBRARY_FILE
//
// The summary of what was dropped or cleaned goes to standard error.

#include "tools/personality_converter/fixture_definition.h"
#include "tools/personality_converter/library_check.h"
#include "tools/personality_converter/personality_library.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace {

const char* const kDefaultFixtures = "/usr/share/qlcplus/fixtures";

int Usage()
{
    std::cerr << "usage: personality_converter [FIXTURES_FOLDER] OUTPUT_FILE\n"
                 "       personality_converter --check LIBRARY_FILE\n";
    return 2;
}

int Check(const std::string& path)
{
    const SLibraryCheck check = CheckLibraryFile(path);
    std::cout << path << ": " << check.manufacturers << " manufacturers, " << check.models << " models, "
              << check.modes << " modes, longest personality text " << check.longestText << " bytes\n";
    for (const std::string& problem : check.problems)
        std::cout << "  problem: " << problem << "\n";
    return check.problems.empty() ? 0 : 1;
}

// <folder>/<Manufacturer>/*.qxf, sorted by relative path so that every run reads them in the same
// order (the first of two duplicates is the one kept).
std::vector<std::string> ListDefinitions(const fs::path& folder, std::error_code& error)
{
    std::vector<std::string> files;
    for (fs::directory_iterator maker(folder, error), end; !error && maker != end; maker.increment(error))
    {
        if (!maker->is_directory(error))
            continue;
        for (fs::directory_iterator file(maker->path(), error); !error && file != end; file.increment(error))
            if (file->path().extension() == ".qxf" && file->is_regular_file(error))
                files.push_back(file->path().lexically_relative(folder).generic_string());
    }
    std::sort(files.begin(), files.end());
    return files;
}

// Written beside the target and renamed over it, so that a failed run leaves the old file whole.
bool WriteFile(const std::string& path, const std::string& text)
{
    const std::string temporary = path + ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << text;
        out.close();
        if (!out)
        {
            std::remove(temporary.c_str());
            return false;
        }
    }
    std::error_code error;
    fs::rename(temporary, path, error);
    if (error)
        std::remove(temporary.c_str());
    return !error;
}

}  // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 2 && args[0] == "--check")
        return Check(args[1]);
    if (args.empty() || args.size() > 2 || args[0].rfind("--", 0) == 0)
        return Usage();
    const fs::path folder = args.size() == 2 ? args[0] : kDefaultFixtures;
    const std::string output = args.back();

    std::error_code error;
    const std::vector<std::string> files = ListDefinitions(folder, error);
    if (error)
    {
        std::cerr << "personality_converter: " << folder.string() << ": " << error.message() << "\n";
        return 1;
    }
    if (files.empty())
    {
        std::cerr << "personality_converter: no fixture definitions in " << folder.string() << "\n";
        return 1;
    }

    CPersonalityLibrary library;
    for (const std::string& file : files)
    {
        CFixtureDefinition definition;
        std::string why;
        if (definition.ReadFile((folder / file).string(), why))
            library.Add(definition, file);
        else
            library.AddUnreadable(file, why);
    }
    library.Finish();

    if (!WriteFile(output, library.ToXml()))
    {
        std::cerr << "personality_converter: cannot write " << output << "\n";
        return 1;
    }
    std::cerr << "personality_converter: " << files.size() << " definitions read from " << folder.string() << "\n"
              << "  written to " << output << ": " << library.GetManufacturerCount() << " manufacturers, "
              << library.GetModelCount() << " models, " << library.GetModeCount()
              << " modes; longest personality text " << library.GetLongestText() << " of "
              << kMaxPersonalityText << " bytes\n"
              << library.GetReport().Summary();
    return 0;
}
