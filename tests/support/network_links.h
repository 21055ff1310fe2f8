#pragma once

#include <fstream>
#include <set>
#include <string>

// The links of this network namespace, from the kernel's per-namespace table. Tests that start
// the device link or broadcast check them first.
inline std::set<std::string> NetworkLinks()
{
    std::set<std::string> links;
    std::ifstream table("/proc/net/dev");
    std::string line;
    while (std::getline(table, line))
    {
        const size_t colon = line.find(':');
        if (colon == std::string::npos)
            continue;
        const size_t start = line.find_first_not_of(' ');
        links.insert(line.substr(start, colon - start));
    }
    return links;
}

// A private namespace whose one link is loopback.
inline bool InPrivateNamespace()
{
    return NetworkLinks() == std::set<std::string>{"lo"};
}
