#include "foundation/xml_shape.h"

#include "foundation/ascii.h"
#include "foundation/xml_file.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstring>

bool CXmlShape::IsNameStart(char c)
{
    const unsigned char u = static_cast<unsigned char>(c);
    return u >= 127 || std::isalpha(u) || c == '_';
}

bool CXmlShape::IsNameChar(char c)
{
    const unsigned char u = static_cast<unsigned char>(c);
    return u >= 127 || std::isalnum(u) || c == '_' || c == '-' || c == '.' || c == ':';
}

bool CXmlShape::StartsWith(const char* p, const char* tag)
{
    return std::strncmp(p, tag, std::strlen(tag)) == 0;
}

bool CXmlShape::StartsWithIgnoringCase(const char* p, const char* tag)
{
    for (; *tag; ++p, ++tag)
        if (std::tolower(static_cast<unsigned char>(*p)) != std::tolower(static_cast<unsigned char>(*tag)))
            return false;
    return true;
}

size_t CXmlShape::MarkAtStart(const char* p)
{
    for (const char* mark : {"\xEF\xBB\xBF", "\xEF\xBF\xBE", "\xEF\xBF\xBF"})
        if (StartsWith(p, mark))
            return 3;
    return 0;
}

const char* CXmlShape::SkipSpace(const char* p)
{
    while (IsSpace(*p))
        ++p;
    return p;
}

const char* CXmlShape::SkipName(const char* p)
{
    while (IsNameChar(*p))
        ++p;
    return p;
}

const char* CXmlShape::SkipPast(const char* p, const char* end)
{
    const char* found = std::strstr(p, end);
    return found ? found + std::strlen(end) : nullptr;
}

const char* CXmlShape::Refuse(const char* at, const std::string& error)
{
    m_error = error;
    m_errorAt = size_t(at - m_start);
    return nullptr;
}

const char* CXmlShape::SkipReference(const char* p)
{
    for (const char* entity : {"&amp;", "&lt;", "&gt;", "&quot;", "&apos;"})
        if (StartsWith(p, entity))
            return p + std::strlen(entity);
    // "&#" and decimal digits, or "&#x" and hexadecimal ones, then ';'.
    if (p[1] == '#')
    {
        const bool hex = p[2] == 'x';
        const char* digits = p + (hex ? 3 : 2);
        const char* q = digits;
        uint32_t code = 0;
        while (hex ? std::isxdigit(static_cast<unsigned char>(*q)) : std::isdigit(static_cast<unsigned char>(*q)))
        {
            code = std::min<uint32_t>(code * (hex ? 16 : 10) + uint32_t(HexDigitValue(*q)), 0x110000);
            ++q;
        }
        if (q > digits && *q == ';')
        {
            if (code == 0 || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF)
                return Refuse(p, "a reference to no character, \"" + std::string(p, size_t(q + 1 - p)) + "\"");
            return q + 1;
        }
    }
    // Not a reference the parser knows: the '&' stands for itself.
    m_rawAmpersands.push_back(size_t(p - m_start));
    return p + 1;
}

const char* CXmlShape::SkipText(const char* p, char end)
{
    while (*p && *p != end)
    {
        p = *p == '&' ? SkipReference(p) : p + 1;
        if (!p)
            return nullptr;
    }
    return *p ? p : nullptr;
}

const char* CXmlShape::SkipAttribute(const char* p)
{
    p = SkipSpace(p);
    if (!IsNameStart(*p))
        return nullptr;
    p = SkipSpace(SkipName(p));
    if (*p != '=')
        return nullptr;
    p = SkipSpace(p + 1);
    if (*p == '\'' || *p == '"')
    {
        p = SkipText(p + 1, *p);
        return p && p[1] ? p + 1 : nullptr;
    }
    // Without quotes the parser takes the value as it stands, references and all.
    for (; *p && !IsSpace(*p) && *p != '/' && *p != '>'; ++p)
        if (*p == '\'' || *p == '"')
            return nullptr;
    return *p ? p : nullptr;
}

const char* CXmlShape::SkipDeclaration(const char* p)
{
    p += 5;  // "<?xml"
    while (*p)
    {
        if (*p == '>')
            return p + 1;
        p = SkipSpace(p);
        if (StartsWithIgnoringCase(p, "version") || StartsWithIgnoringCase(p, "encoding") ||
            StartsWithIgnoringCase(p, "standalone"))
        {
            p = SkipAttribute(p);
            if (!p)
                return nullptr;
        }
        else
        {
            while (*p && *p != '>' && !IsSpace(*p))
                ++p;
        }
    }
    return nullptr;
}

CXmlShape::Markup CXmlShape::KindOf(const char* p, bool top)
{
    if (StartsWithIgnoringCase(p, "<?xml"))
        return Markup::kDeclaration;
    if (StartsWith(p, "<!--"))
        return Markup::kComment;
    if (StartsWith(p, "<![CDATA["))
        return Markup::kCdata;
    if (p[1] == '!' || p[1] == '?' || (top && !IsNameStart(p[1])))
        return Markup::kOther;
    return Markup::kElement;
}

const char* CXmlShape::EndOf(Markup kind, size_t& from)
{
    from = kind == Markup::kComment ? 4 : kind == Markup::kCdata ? 9 : 1;
    return kind == Markup::kComment ? "-->" : kind == Markup::kCdata ? "]]>" : ">";
}

const char* CXmlShape::SkipOtherMarkup(const char* p, size_t depth)
{
    const Markup kind = KindOf(p, depth == 0);
    if (kind == Markup::kDeclaration)
        return SkipDeclaration(p);
    if (kind == Markup::kElement)
        return p;
    size_t from = 0;
    const char* end = EndOf(kind, from);
    return SkipPast(p + from, end);
}

const char* CXmlShape::SkipAttributes(const char* p, size_t& count)
{
    for (;;)
    {
        p = SkipSpace(p);
        if (*p == '>' || *p == '/' || ++count > kXmlMaxAttributes)
            return p;
        p = SkipAttribute(p);
        if (!p)
            return nullptr;
    }
}

size_t CXmlShape::MeasureDeclaration()
{
    const char* end = SkipDeclaration(m_p);
    return end ? size_t(end - m_p) : 0;
}

size_t CXmlShape::MeasureStartTag(std::string& name, bool& closed)
{
    const char* nameStart = SkipSpace(m_p + 1);
    const char* p = SkipName(nameStart);
    name.assign(nameStart, p);
    size_t attributes = 0;
    p = SkipAttributes(p, attributes);
    if (attributes > kXmlMaxAttributes)
        return std::string::npos;
    if (!p)
        return 0;
    closed = *p == '/';
    if (closed && p[1] != '>')
        return p[1] ? std::string::npos : 0;
    return size_t(p + (closed ? 2 : 1) - m_p);
}

std::string CXmlShape::Check()
{
    const char* p = m_p + MarkAtStart(m_p);
    size_t depth = 0;
    size_t nodes = 0;
    for (;;)
    {
        p = SkipSpace(p);
        if (!*p)
            return std::string();
        if (*p != '<')
        {
            // Text: the parser stops at text outside the root and reads it inside an element.
            if (depth == 0)
                return std::string();
            p = SkipText(p, '<');
            if (!p)
                return std::string();
            ++nodes;
        }
        if (++nodes > kXmlMaxNodes)
            return "holds more than " + std::to_string(kXmlMaxNodes) + " tags and texts";
        if (depth > 0 && p[1] == '/')
        {
            // The end tag of the element open: its name, white space and '>'.
            p = SkipSpace(SkipName(p + 2));
            if (*p != '>')
                return std::string();
            ++p;
            --depth;
            continue;
        }
        const char* past = SkipOtherMarkup(p, depth);
        if (past != p)
            p = past;
        else if (!IsNameStart(p[1]))
        {
            // In an element's text: "a < b" would lose " b" and whatever follows up to a '>'.
            Refuse(p, "a \"<\" that begins no tag");
            return std::string();
        }
        else
        {
            if (++depth > kXmlMaxDepth)
                return "nests its elements deeper than " + std::to_string(kXmlMaxDepth) + " levels";
            size_t attributes = 0;
            p = SkipAttributes(SkipName(SkipSpace(p + 1)), attributes);
            if (attributes > kXmlMaxAttributes)
                return "gives an element more than " + std::to_string(kXmlMaxAttributes) + " attributes";
            if (!p || (*p == '/' && p[1] != '>'))
                return std::string();
            if (*p == '/')
                --depth;
            p += *p == '/' ? 2 : 1;
        }
        if (!p)
            return std::string();
    }
}

