#pragma once

#include <cstddef>
#include <string>
#include <vector>

// What a library file holds and what in it would misbehave in the program: nodes the reader would
// turn into empty entries, labels that break the personality text, profiles that are not hex
// pairs, personality texts too long for a link frame, names the finders could not tell apart, and
// manufacturers out of the order the letter jump relies on.
struct SLibraryCheck
{
    size_t manufacturers = 0;
    size_t models = 0;
    size_t modes = 0;
    size_t longestText = 0;
    std::vector<std::string> problems;
};

SLibraryCheck CheckLibraryText(const std::string& text);
SLibraryCheck CheckLibraryFile(const std::string& path);
