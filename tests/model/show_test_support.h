#pragma once

// Helpers of the show-file tests: files written and read whole, and an XML form in which two
// documents compare equal when they hold the same elements, attributes and texts, whatever the
// attribute order and layout.

#include "tests/support/utf16_text.h"

#include <tinyxml.h>

#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>

namespace showtest
{
inline void WriteText(const std::string& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

inline std::string ReadText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// One line per element: its path, its attributes sorted by name, and its text.
inline void Canonical(const TiXmlElement& element, const std::string& parent, std::ostringstream& out)
{
    const std::string path = parent + "/" + element.Value();
    std::map<std::string, std::string> attributes;
    for (const TiXmlAttribute* a = element.FirstAttribute(); a; a = a->Next())
        attributes[a->Name()] = a->Value();
    out << path;
    for (const auto& [name, value] : attributes)
        out << " " << name << "=\"" << value << "\"";
    if (const char* text = element.GetText())
        out << " text=" << text;
    out << "\n";
    for (const TiXmlElement* child = element.FirstChildElement(); child; child = child->NextSiblingElement())
        Canonical(*child, path, out);
}

inline std::string Canonical(const TiXmlElement* element)
{
    std::ostringstream out;
    if (element)
        Canonical(*element, "", out);
    return out.str();
}

// The canonical form of one child of a file's "show" element; "missing" without one.
inline std::string ShowPart(const std::string& path, const char* part)
{
    TiXmlDocument document;
    if (!document.LoadFile(path.c_str()) || !document.RootElement())
        return "unreadable";
    const TiXmlElement* element = document.RootElement()->FirstChildElement(part);
    return element ? Canonical(element) : "missing";
}
}  // namespace showtest
