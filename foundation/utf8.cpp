#include "foundation/utf8.h"

namespace
{
bool IsContinuation(unsigned char byte)
{
    return (byte & 0xC0) == 0x80;
}

// The length of the well-formed character at pos, 0 when the bytes there are none.
size_t CharacterLength(const std::string& text, size_t pos)
{
    const size_t left = text.size() - pos;
    const auto at = [&](size_t i) { return static_cast<unsigned char>(text[pos + i]); };
    const unsigned char lead = at(0);
    if (lead < 0x80)
        return 1;
    size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF)
        length = 2;
    else if (lead >= 0xE0 && lead <= 0xEF)
    {
        length = 3;
        if (lead == 0xE0)
            low = 0xA0;  // overlong
        else if (lead == 0xED)
            high = 0x9F;  // surrogates
    }
    else if (lead >= 0xF0 && lead <= 0xF4)
    {
        length = 4;
        if (lead == 0xF0)
            low = 0x90;  // overlong
        else if (lead == 0xF4)
            high = 0x8F;  // above U+10FFFF
    }
    if (length == 0 || left < length || at(1) < low || at(1) > high)
        return 0;
    for (size_t i = 2; i < length; ++i)
    {
        if (!IsContinuation(at(i)))
            return 0;
    }
    return length;
}

// 0x80..0x9F of Windows-1252; 0 where it defines no character.
constexpr char16_t kWindows1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

void AppendWindows1252(std::string& out, unsigned char byte)
{
    char32_t code = byte;
    if (byte >= 0x80 && byte < 0xA0)
        code = kWindows1252High[byte - 0x80] ? kWindows1252High[byte - 0x80] : 0xFFFD;
    AppendUtf8(out, code);
}
}  // namespace

void AppendUtf8(std::string& out, char32_t code)
{
    if (code < 0x80)
    {
        out += static_cast<char>(code);
    }
    else if (code < 0x800)
    {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
    else if (code < 0x10000)
    {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
    else
    {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

bool IsValidUtf8(const std::string& text)
{
    for (size_t pos = 0; pos < text.size();)
    {
        const size_t length = CharacterLength(text, pos);
        if (length == 0)
            return false;
        pos += length;
    }
    return true;
}

std::string ToValidUtf8(const std::string& text)
{
    if (IsValidUtf8(text))
        return text;
    std::string valid;
    valid.reserve(text.size() + text.size() / 2);
    for (size_t pos = 0; pos < text.size();)
    {
        const size_t length = CharacterLength(text, pos);
        if (length > 0)
        {
            valid.append(text, pos, length);
            pos += length;
            continue;
        }
        AppendWindows1252(valid, static_cast<unsigned char>(text[pos++]));
    }
    return valid;
}

std::string Windows1252ToUtf8(const std::string& text)
{
    std::string out;
    out.reserve(text.size() + text.size() / 2);
    for (const char byte : text)
        AppendWindows1252(out, static_cast<unsigned char>(byte));
    return out;
}

size_t WellFormedCharacterLength(const std::string& text, size_t pos)
{
    return pos < text.size() ? CharacterLength(text, pos) : 0;
}

size_t PreviousCharacter(const std::string& text, size_t pos)
{
    if (pos > text.size())
        pos = text.size();
    if (pos == 0)
        return 0;
    size_t start = pos;
    while (start > 0 && IsContinuation(static_cast<unsigned char>(text[start - 1])))
        --start;
    if (start > 0 && start < pos && (static_cast<unsigned char>(text[start - 1]) & 0xC0) == 0xC0)
        return start - 1;
    return start == pos ? pos - 1 : start;
}

size_t NextCharacter(const std::string& text, size_t pos)
{
    if (pos >= text.size())
        return text.size();
    ++pos;
    while (pos < text.size() && IsContinuation(static_cast<unsigned char>(text[pos])))
        ++pos;
    return pos;
}

std::string QuotedForLog(const std::string& text, size_t maxBytes)
{
    if (text.size() <= maxBytes)
        return text;
    return text.substr(0, PreviousCharacter(text, maxBytes + 1)) + "... (" + std::to_string(text.size()) + " bytes)";
}
