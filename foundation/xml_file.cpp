#include "foundation/xml_file.h"

#include "foundation/ascii.h"
#include "foundation/file_helpers.h"
#include "foundation/utf8.h"

#include <iconv.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <vector>

namespace
{
bool IsXmlSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

bool StartsWith(const std::string& text, const char* start)
{
    return text.compare(0, std::strlen(start), start) == 0;
}

// The "encoding" of the declaration that opens the text, found as TinyXML finds its declaration
// (white space before it, its name in any letter case); empty without one. Only a name of the
// form XML allows is taken: a letter, then letters, digits, '.', '_' and '-'.
std::string DeclaredEncoding(const std::string& text)
{
    size_t at = 0;
    while (at < text.size() && IsXmlSpace(text[at]))
        ++at;
    if (text.size() < at + 6 || !EqualIgnoringAsciiCase(text.substr(at, 5), "<?xml") || !IsXmlSpace(text[at + 5]))
        return std::string();
    // A declaration is a line: a kilobyte is far more than any holds.
    const std::string declaration = text.substr(at, std::min(text.find("?>", at), at + 1024) - at);
    for (size_t p = 0; p + 9 < declaration.size(); ++p)
    {
        if (!IsXmlSpace(declaration[p]) || !EqualIgnoringAsciiCase(declaration.substr(p + 1, 8), "encoding"))
            continue;
        const size_t quote = declaration.find_first_not_of(" \t\r\n=", p + 9);
        if (quote == std::string::npos || (declaration[quote] != '"' && declaration[quote] != '\''))
            return std::string();
        const size_t close = declaration.find(declaration[quote], quote + 1);
        const std::string name = declaration.substr(quote + 1, close == std::string::npos ? 0 : close - quote - 1);
        const bool wellFormed =
            !name.empty() && name.size() <= 40 && std::isalpha(static_cast<unsigned char>(name[0])) &&
            name.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789._-") ==
                std::string::npos;
        return wellFormed ? name : std::string();
    }
    return std::string();
}

bool IsOneOf(const std::string& encoding, std::initializer_list<const char*> names)
{
    for (const char* name : names)
        if (EqualIgnoringAsciiCase(encoding, name))
            return true;
    return false;
}

int LineAt(const std::string& text, size_t end)
{
    int line = 1;
    for (size_t i = 0; i < end && i < text.size(); ++i)
        if (text[i] == '\n')
            ++line;
    return line;
}

// The text from an encoding the C library converts. False, with the reason, when it does not
// know the encoding or the bytes do not follow it.
bool ConvertToUtf8(const std::string& text, const std::string& encoding, std::string& out, CXmlRead& read)
{
    const iconv_t converter = iconv_open("UTF-8", encoding.c_str());
    if (converter == reinterpret_cast<iconv_t>(-1))
    {
        read.reason = "is in the encoding \"" + encoding + "\", which the program does not know";
        return false;
    }
    out.clear();
    std::vector<char> buffer(16384);
    char* in = const_cast<char*>(text.data());
    size_t inLeft = text.size();
    bool converted = true;
    while (converted)
    {
        char* next = buffer.data();
        size_t room = buffer.size();
        // With all input taken, one more call writes out what a stateful encoding still holds.
        const bool flushing = inLeft == 0;
        const size_t result = flushing ? iconv(converter, nullptr, nullptr, &next, &room)
                                       : iconv(converter, &in, &inLeft, &next, &room);
        const int error = errno;
        out.append(buffer.data(), size_t(next - buffer.data()));
        if (result == size_t(-1) && error != E2BIG)
            converted = false;
        else if (flushing && result != size_t(-1))
            break;
    }
    iconv_close(converter);
    if (!converted)
        read.reason =
            "is not in its encoding \"" + encoding + "\" (line " + std::to_string(LineAt(out, out.size())) + ")";
    return converted;
}

// The text in UTF-8, decoded once, by what it says of itself (see ReadXmlText). A byte-order mark
// for UTF-8 stays: the parser takes it for white space.
bool DecodeToUtf8(std::string& text, CXmlRead& read)
{
    if (StartsWith(text, "\xEF\xBB\xBF"))
        return true;
    if (StartsWith(text, "\xFF\xFE") || StartsWith(text, "\xFE\xFF"))
    {
        std::string converted;
        if (!ConvertToUtf8(text, "UTF-16", converted, read))
            return false;
        text = std::move(converted);
        return true;
    }
    const std::string encoding = DeclaredEncoding(text);
    if (encoding.empty() || IsOneOf(encoding, {"UTF-8", "UTF8", "US-ASCII", "ASCII"}))
        return true;
    if (IsOneOf(encoding, {"ISO-8859-1", "ISO8859-1", "ISO_8859-1", "Latin1", "Latin-1", "L1", "Windows-1252",
                           "CP1252"}))
    {
        text = Windows1252ToUtf8(text);
        return true;
    }
    std::string converted;
    if (!ConvertToUtf8(text, encoding, converted, read))
        return false;
    text = std::move(converted);
    return true;
}

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
// stray byte read as Windows-1252). The parser also skips the characters U+FEFF, U+FFFE and
// U+FFFF as white space in some places; past the byte-order mark at the very start they become
// U+FFFD, so the document reads alike either way.
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
// the walk stops too: nothing after that point is parsed. On the way it finds what the parser
// would silently change: an '&' that begins no reference (the parser drops it), a '<' in an
// element's text that begins no tag (the parser drops the text up to the next '>'), and a
// reference to no character (the parser writes broken UTF-8 or a NUL that ends the text).
class CXmlShape
{
public:
    explicit CXmlShape(const std::string& text) : m_start(text.c_str()), m_p(m_start) {}

    // Empty when the document is within the limits; else why not.
    std::string Check();
    // Not well-formed text that refuses the document, and where; empty when there is none.
    const std::string& GetError() const { return m_error; }
    size_t GetErrorOffset() const { return m_errorAt; }
    // Where an '&' stands that begins no reference, to be kept as written.
    const std::vector<size_t>& GetRawAmpersands() const { return m_rawAmpersands; }

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
    // Text up to the end character, its references read. Null where the parser fails, the text
    // ends first, or the text refuses the document.
    const char* SkipText(const char* p, char end);
    const char* SkipReference(const char* p);
    // An attribute's name, "=" and value; null where the parser fails.
    const char* SkipAttribute(const char* p);
    const char* SkipDeclaration(const char* p);
    // Past the end text, or null when it never comes.
    static const char* SkipPast(const char* p, const char* end);
    // Null, with the error noted.
    const char* Refuse(const char* at, const std::string& error);

    const char* m_start;
    const char* m_p;
    std::vector<size_t> m_rawAmpersands;
    std::string m_error;
    size_t m_errorAt = 0;
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
        else if (p[1] == '!' || p[1] == '?' || (depth == 0 && !IsNameStart(p[1])))
            p = SkipPast(p + 1, ">");
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

// "&amp;" for every '&' that begins no reference, so that the parser reads it as written.
std::string EscapeRawAmpersands(const std::string& text, const std::vector<size_t>& at)
{
    std::string out;
    out.reserve(text.size() + 4 * at.size());
    size_t from = 0;
    for (const size_t ampersand : at)
    {
        out.append(text, from, ampersand + 1 - from);
        out += "amp;";
        from = ampersand + 1;
    }
    out.append(text, from, std::string::npos);
    return out;
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

CXmlRead ReadXmlText(std::string text, TiXmlDocument& document)
{
    CXmlRead read;
    document.Clear();
    if (!DecodeToUtf8(text, read))
    {
        read.status = XmlReadStatus::kUndecodable;
        return read;
    }
    text = MakeSafe(NormaliseLineEnds(text));
    CXmlShape shape(text);
    read.reason = shape.Check();
    if (!read.reason.empty())
    {
        read.status = XmlReadStatus::kRefused;
        return read;
    }
    if (!shape.GetError().empty())
    {
        const size_t at = shape.GetErrorOffset();
        size_t lineStart = at;
        while (lineStart > 0 && text[lineStart - 1] != '\n')
            --lineStart;
        read.status = XmlReadStatus::kMalformed;
        read.error = shape.GetError();
        read.line = LineAt(text, at);
        read.column = int(at - lineStart) + 1;
    }
    else
    {
        if (!shape.GetRawAmpersands().empty())
            text = EscapeRawAmpersands(text, shape.GetRawAmpersands());
        // The text is UTF-8 by now, whatever the declaration says, so references are decoded
        // to UTF-8 too.
        document.Parse(text.c_str(), nullptr, TIXML_ENCODING_UTF8);
        if (!document.Error())
            return read;
        read.status = XmlReadStatus::kMalformed;
        read.error = document.ErrorDesc();
        read.line = document.ErrorRow();
        read.column = document.ErrorCol();
    }
    read.reason = "is not well-formed XML: " + read.error;
    if (read.line > 0)
        read.reason += " (line " + std::to_string(read.line) + ", column " + std::to_string(read.column) + ")";
    return read;
}

CXmlRead ReadXmlFile(const std::string& path, size_t maxBytes, TiXmlDocument& document)
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
    return ReadXmlText(std::move(text), document);
}

std::string DescribeXmlRead(const std::string& path, const CXmlRead& read)
{
    return "Not read: \"" + path + "\" " + read.reason;
}
