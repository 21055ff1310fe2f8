#include "foundation/xml_shape.h"

#include "foundation/ascii.h"
#include "foundation/utf8.h"
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
    for (; *tag; ++p, ++tag)
        if (*p != *tag)
            return false;
    return true;
}

bool CXmlShape::StartsWithIgnoringCase(const char* p, const char* tag)
{
    // As the parser compares, ASCII letters alone in either case.
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
    for (; *tag; ++p, ++tag)
        if (lower(*p) != lower(*tag))
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

const char* CXmlShape::FindEnd(const char* from, const char* stop, const char* end)
{
    // By its last character, '>', which a memory scan finds fastest: such markup may come by the
    // hundred thousand ("<!---->").
    const size_t length = std::strlen(end);
    for (const char* p = from + length - 1; p < stop;)
    {
        const char* last = static_cast<const char*>(std::memchr(p, '>', size_t(stop - p)));
        if (!last)
            break;
        const char* start = last + 1 - length;
        if (std::equal(end, end + length - 1, start))
            return start;
        p = last + 1;
    }
    return nullptr;
}

const char* CXmlShape::SkipPast(const char* p, const char* end) const
{
    const char* found = FindEnd(p, m_stop, end);
    return found ? found + std::strlen(end) : nullptr;
}

const char* CXmlShape::Refuse(const char* at, const std::string& error)
{
    m_error = error;
    m_errorAt = size_t(at - m_start);
    return nullptr;
}

const char* CXmlShape::Exceed(const std::string& reason)
{
    m_exceeded = reason;
    return nullptr;
}

std::string CXmlShape::TooManyNodes()
{
    return "holds more than " + std::to_string(kXmlMaxNodes) + " tags and texts";
}

const char* CXmlShape::ReadReference(const char* p, uint32_t& code)
{
    static const struct
    {
        const char* name;
        char character;
    } kEntities[] = {{"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}};
    for (const auto& entity : kEntities)
    {
        if (StartsWith(p, entity.name))
        {
            code = uint32_t(entity.character);
            return p + std::strlen(entity.name);
        }
    }
    // "&#" and decimal digits, or "&#x" and hexadecimal ones, then ';'.
    if (p[1] != '#')
        return nullptr;
    const bool hex = p[2] == 'x';
    const char* digits = p + (hex ? 3 : 2);
    const char* q = digits;
    code = 0;
    while (hex ? std::isxdigit(static_cast<unsigned char>(*q)) : std::isdigit(static_cast<unsigned char>(*q)))
    {
        code = std::min<uint32_t>(code * (hex ? 16 : 10) + uint32_t(HexDigitValue(*q)), 0x110000);
        ++q;
    }
    return q > digits && *q == ';' ? q + 1 : nullptr;
}

const char* CXmlShape::SkipReference(const char* p)
{
    uint32_t code = 0;
    if (const char* past = ReadReference(p, code))
    {
        if (code == 0 || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF)
        {
            // Quoted by its start: its digits may run on for megabytes.
            const size_t length = size_t(past - p);
            return Refuse(p, "a reference to no character, \"" + std::string(p, std::min<size_t>(length, 16)) +
                                 (length > 16 ? "...\"" : "\""));
        }
        return past;
    }
    // Not a reference the parser knows: the '&' stands for itself.
    if (m_rawAmpersands.size() == kXmlMaxRawAmpersands)
        return Exceed("holds more than " + std::to_string(kXmlMaxRawAmpersands) + " '&' that begin no reference");
    m_rawAmpersands.push_back(size_t(p - m_start));
    return p + 1;
}

const char* CXmlShape::SkipText(const char* p, char end)
{
    // By memory scans, a text of megabytes in a few hundred microseconds. The end is looked for
    // once: no reference holds it.
    const char* found = static_cast<const char*>(std::memchr(p, end, size_t(m_stop - p)));
    const char* stop = found ? found : m_stop;
    while ((p = static_cast<const char*>(std::memchr(p, '&', size_t(stop - p)))) != nullptr)
    {
        p = SkipReference(p);
        if (!p)
            return nullptr;
    }
    return found;
}

const char* CXmlShape::SkipAttribute(const char* p, CAttribute* span)
{
    p = SkipSpace(p);
    if (!IsNameStart(*p))
        return nullptr;
    const char* name = p;
    const char* nameEnd = SkipName(p);
    p = SkipSpace(nameEnd);
    if (*p != '=')
        return nullptr;
    p = SkipSpace(p + 1);
    const char* value = p;
    const bool quoted = *p == '\'' || *p == '"';
    if (quoted)
    {
        value = p + 1;
        p = SkipText(p + 1, *p);
        if (!p || !p[1])
            return nullptr;
    }
    else
    {
        // Without quotes the parser takes the value as it stands, references and all.
        for (; *p && !IsSpace(*p) && *p != '/' && *p != '>'; ++p)
            if (*p == '\'' || *p == '"')
                return nullptr;
        if (!*p)
            return nullptr;
    }
    if (span)
        *span = {size_t(name - m_p), size_t(nameEnd - m_p), size_t(value - m_p), size_t(p - m_p), quoted};
    return quoted ? p + 1 : p;
}

std::string CXmlShape::ValueOf(const char* begin, const char* end, bool quoted)
{
    std::string value;
    value.reserve(size_t(end - begin));
    if (!quoted)
        return value.assign(begin, end);
    for (const char* p = begin; p < end;)
    {
        const char* ampersand = static_cast<const char*>(std::memchr(p, '&', size_t(end - p)));
        value.append(p, ampersand ? ampersand : end);
        if (!ampersand)
            break;
        // A reference ends before the value's closing quote, which none holds.
        uint32_t code = 0;
        const char* past = ReadReference(ampersand, code);
        if (past)
            AppendUtf8(value, code);
        else
            value += '&';
        p = past ? past : ampersand + 1;
    }
    return value;
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
    if (p[1] == '?')
        return StartsWithIgnoringCase(p, "<?xml") ? Markup::kDeclaration : Markup::kOther;
    if (p[1] == '!')
        return StartsWith(p, "<!--") ? Markup::kComment : StartsWith(p, "<![CDATA[") ? Markup::kCdata : Markup::kOther;
    return top && !IsNameStart(p[1]) ? Markup::kOther : Markup::kElement;
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

const char* CXmlShape::SkipAttributes(const char* p, size_t& count, std::vector<CAttribute>* spans)
{
    for (;;)
    {
        p = SkipSpace(p);
        if (*p == '>' || *p == '/' || ++count > kXmlMaxAttributes)
            return p;
        if (++m_attributes > kXmlMaxAttributesInAll)
            return Exceed("gives its elements more than " + std::to_string(kXmlMaxAttributesInAll) +
                          " attributes in all");
        CAttribute span;
        p = SkipAttribute(p, spans ? &span : nullptr);
        if (!p)
            return nullptr;
        if (spans)
            spans->push_back(span);
    }
}

size_t CXmlShape::MeasureDeclaration()
{
    const char* end = SkipDeclaration(m_p);
    return end ? size_t(end - m_p) : 0;
}

size_t CXmlShape::MeasureStartTag(std::string& name, bool& closed, std::vector<CAttribute>* spans)
{
    const char* nameStart = SkipSpace(m_p + 1);
    const char* p = SkipName(nameStart);
    name.assign(nameStart, p);
    size_t attributes = 0;
    p = SkipAttributes(p, attributes, spans);
    if (attributes > kXmlMaxAttributes || !m_exceeded.empty())
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
    const std::string reason = Walk();
    return m_exceeded.empty() ? reason : m_exceeded;
}

std::string CXmlShape::Walk()
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
            return TooManyNodes();
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

