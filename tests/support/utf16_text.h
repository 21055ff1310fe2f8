#pragma once

#include <string>

// Text of ASCII characters in UTF-16, as editors on Windows write it: little-endian behind a
// byte-order mark, or as given.
inline std::string Utf16(const std::string& ascii, bool mark = true, bool bigEndian = false)
{
    std::string out = !mark ? "" : bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (const char c : ascii)
        out += bigEndian ? std::string{'\0', c} : std::string{c, '\0'};
    return out;
}
