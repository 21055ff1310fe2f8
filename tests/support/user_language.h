#pragma once

// A language of the user's own, added as a user adds one: a file in Languages/User of the common
// data folder, which the language manager reads at its start. Its phrases may be as long as a
// translator makes them.
#include <boost/filesystem.hpp>

#include <fstream>
#include <map>
#include <string>

inline void WriteUserLanguage(const boost::filesystem::path& commonData, const std::string& label,
                              const std::map<std::string, std::string>& phrases)
{
    const auto escaped = [](const std::string& text) {
        std::string out;
        for (const char c : text)
            out += c == '&' ? "&amp;" : c == '<' ? "&lt;" : c == '"' ? "&quot;" : std::string(1, c);
        return out;
    };
    std::string file = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<show><languages><language label=\"" + label + "\">";
    for (const auto& [ref, phrase] : phrases)
        file += "<phrase ref=\"" + escaped(ref) + "\">" + escaped(phrase) + "</phrase>";
    file += "</language></languages></show>\n";
    const boost::filesystem::path folder = commonData / "Languages" / "User";
    boost::filesystem::create_directories(folder);
    std::ofstream((folder / (label + ".xml")).string(), std::ios::binary) << file;
}
