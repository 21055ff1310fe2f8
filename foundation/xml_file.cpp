#include "foundation/xml_file.h"

#include "foundation/file_helpers.h"
#include "foundation/utf8.h"

#include <cctype>
#include <cstring>

namespace
{
// Line ends as TinyXML's file reader leaves them: CR LF and a lone CR become LF. The text ends at
// its first NUL, where the parser stops anyway.
std::string NormaliseLineEnds(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size() && text[i] != '\0'; ++i)
    {
        if (text[i] == '\r')
        {
            out += '\n';
            if (i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        }
        else
        {
            out += text[i];
        }
    }
    return out;
}

// TinyXML takes a byte from C0 up for the first of a several-byte character and steps over the
// whole length it announces: a file that is not UTF-8 would hide markup from it, and one that
// ends inside a character sends it past the end. So the text is made valid UTF-8 first (a
// stray byte read as Windows-1252). The
// parser also skips the characters U+FEFF, U+FFFE and U+FFFF as white space in some places and
// only when it reads UTF-8; past the byte-order mark at the very start they become U+FFFD, so the
// document reads alike either way.
std::string MakeSafe(const std::string& text)
{
    std::string out = ToValidUtf8(text);
    for (const char* skipped : {"\xEF\xBB\xBF", "\xEF\xBF\xBE", "\xEF\xBF\xBF"})
        for (size_t at = out.find(skipped, 1); at != std::string::npos; at = out.find(skipped, at + 3))
            out.replace(at, 3, "\xEF\xBF\xBD");
    return out;
}

// Walks a document as TinyXML's parser does, without building it, to learn how deep its
// elements nest before the recursive parser meets them. Where the parser would stop at an error,
// the walk stops too: nothing after that point is parsed.
class CXmlShape
{
public:
    explicit CXmlShape(const char* text) : m_p(text) {}

    // Empty when the document is within the limits; else why not.
    std::string Check();

private:
    static bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
    static bool IsNameStart(char c)
    {
        const unsigned char u = static_cast<unsigned char>(c);
        return u >= 127 || std::isalpha(u) || c == '_';
    }
    static bool IsNameChar(char c)
    {
        const unsigned char u = static_cast<unsigned char>(c);
        return u >= 127 || std::isalnum(u) || c == '_' || c == '-' || c == '.' || c == ':';
    }
    static bool StartsWith(const char* p, const char* tag) { return std::strncmp(p, tag, std::strlen(tag)) == 0; }
    static bool StartsWithIgnoringCase(const char* p, const char* tag);

    static const char* SkipSpace(const char* p);
    static const char* SkipName(const char* p);
    // Text up to the end character, its entities read as the parser reads them: a numeric
    // entity reaches to the next ';'. Null where the parser fails or the text ends first.
    static const char* SkipText(const char* p, char end);
    static const char* SkipEntity(const char* p);
    // An attribute's name, "=" and value; null where the parser fails.
    static const char* SkipAttribute(const char* p);
    static const char* SkipDeclaration(const char* p);
    // Past the end text, or null when it never comes.
    static const char* SkipPast(const char* p, const char* end);

    const char* m_p;
};

bool CXmlShape::StartsWithIgnoringCase(const char* p, const char* tag)
{
    for (; *tag; ++p, ++tag)
        if (std::tolower(static_cast<unsigned char>(*p)) != std::tolower(static_cast<unsigned char>(*tag)))
            return false;
    return true;
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

const char* CXmlShape::SkipEntity(const char* p)
{
    if (p[1] == '#' && p[2] != '\0')
    {
        const bool hex = p[2] == 'x';
        if (hex && p[3] == '\0')
            return nullptr;
        const char* semicolon = std::strchr(p + (hex ? 3 : 2), ';');
        if (!semicolon)
            return nullptr;
        // Back from the ';' to the nearest 'x' or '#': only digits may stand between.
        for (const char* q = semicolon - 1; *q != (hex ? 'x' : '#'); --q)
            if (!(hex ? std::isxdigit(static_cast<unsigned char>(*q)) : std::isdigit(static_cast<unsigned char>(*q))))
                return nullptr;
        return semicolon + 1;
    }
    for (const char* entity : {"&amp;", "&lt;", "&gt;", "&quot;", "&apos;"})
        if (StartsWith(p, entity))
            return p + std::strlen(entity);
    return p + 1;
}

const char* CXmlShape::SkipText(const char* p, char end)
{
    while (*p && *p != end)
    {
        p = *p == '&' ? SkipEntity(p) : p + 1;
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

std::string CXmlShape::Check()
{
    // A byte-order mark at the start is white space to the parser.
    const char* p = StartsWith(m_p, "\xEF\xBB\xBF") ? m_p + 3 : m_p;
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
        if (StartsWithIgnoringCase(p, "<?xml"))
            p = SkipDeclaration(p);
        else if (StartsWith(p, "<!--"))
            p = SkipPast(p + 4, "-->");
        else if (StartsWith(p, "<![CDATA["))
            p = SkipPast(p + 9, "]]>");
        else if (p[1] == '!' || !IsNameStart(p[1]))
            p = SkipPast(p + 1, ">");
        else
        {
            if (++depth > kXmlMaxDepth)
                return "nests its elements deeper than " + std::to_string(kXmlMaxDepth) + " levels";
            p = SkipName(SkipSpace(p + 1));
            for (size_t attributes = 0;;)
            {
                p = SkipSpace(p);
                if (*p == '>')
                {
                    ++p;
                    break;
                }
                if (*p == '/')
                {
                    if (p[1] != '>')
                        return std::string();
                    p += 2;
                    --depth;
                    break;
                }
                if (++attributes > kXmlMaxAttributes)
                    return "gives an element more than " + std::to_string(kXmlMaxAttributes) + " attributes";
                p = SkipAttribute(p);
                if (!p)
                    return std::string();
            }
        }
        if (!p)
            return std::string();
    }
}

std::string SizeText(size_t bytes)
{
    if (bytes % (1024 * 1024) == 0)
        return std::to_string(bytes / (1024 * 1024)) + " MB";
    if (bytes % 1024 == 0)
        return std::to_string(bytes / 1024) + " KB";
    return std::to_string(bytes) + " bytes";
}
}  // namespace

CXmlRead ReadXmlText(std::string text, TiXmlDocument& document, TiXmlEncoding encoding)
{
    CXmlRead read;
    text = MakeSafe(NormaliseLineEnds(text));
    read.reason = CXmlShape(text.c_str()).Check();
    if (!read.reason.empty())
    {
        read.status = XmlReadStatus::kRefused;
        return read;
    }
    document.Clear();
    document.Parse(text.c_str(), nullptr, encoding);
    if (document.Error())
    {
        read.status = XmlReadStatus::kMalformed;
        read.reason = std::string("is not well-formed XML: ") + document.ErrorDesc();
        if (document.ErrorRow() > 0)
            read.reason += " (line " + std::to_string(document.ErrorRow()) + ", column " +
                           std::to_string(document.ErrorCol()) + ")";
    }
    return read;
}

CXmlRead ReadXmlFile(const std::string& path, size_t maxBytes, TiXmlDocument& document, TiXmlEncoding encoding)
{
    CXmlRead read;
    std::string text;
    int error = 0;
    switch (ReadFileBounded(path, maxBytes, text, error))
    {
    case FileReadStatus::kRead:
        break;
    case FileReadStatus::kMissing:
        read.status = XmlReadStatus::kMissing;
        read.reason = "is missing";
        return read;
    case FileReadStatus::kNotRegular:
        read.status = XmlReadStatus::kUnreadable;
        read.reason = DescribeFileError(kErrorNotRegularFile);
        return read;
    case FileReadStatus::kUnreadable:
        read.status = XmlReadStatus::kUnreadable;
        read.reason = std::string("cannot be read: ") + std::strerror(error);
        return read;
    case FileReadStatus::kTooLarge:
        read.status = XmlReadStatus::kRefused;
        read.reason = "is larger than " + SizeText(maxBytes);
        return read;
    }
    // As TinyXML's own file reader does: the document carries the file's name.
    document.SetValue(path);
    return ReadXmlText(std::move(text), document, encoding);
}

std::string DescribeXmlRead(const std::string& path, const CXmlRead& read)
{
    return "Not read: \"" + path + "\" " + read.reason;
}
