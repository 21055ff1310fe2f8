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
    size_t at = StartsWith(text, "\xEF\xBB\xBF") ? 3 : 0;
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

// The bytes of one code unit of the encoding a declaration names: 2 for UTF-16 and UCS-2, 4 for
// UTF-32 and UCS-4, 1 for every other.
size_t CodeUnitOf(const std::string& encoding)
{
    std::string name;
    for (const char c : encoding)
        if (c != '-' && c != '_')
            name += UpperAscii(c);
    for (const char* start : {"UTF16", "UCS2", "ISO10646UCS2", "UNICODE"})
        if (StartsWith(name, start))
            return 2;
    for (const char* start : {"UTF32", "UCS4", "ISO10646UCS4"})
        if (StartsWith(name, start))
            return 4;
    return 1;
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
// know the encoding or the bytes do not follow it. With prefix the text is the start of a longer
// one, and a character it ends inside is left out.
bool ConvertToUtf8(const std::string& text, const std::string& encoding, std::string& out, CXmlRead& read,
                   bool prefix)
{
    const iconv_t converter = iconv_open("UTF-8", encoding.c_str());
    if (converter == reinterpret_cast<iconv_t>(-1))
    {
        read.reason = "is in the encoding \"" + encoding + "\", which the program does not know";
        read.unknownEncoding = true;
        return false;
    }
    out.clear();
    std::vector<char> buffer(16384);
    char* in = const_cast<char*>(text.data());
    size_t inLeft = text.size();
    bool converted = true;
    for (;;)
    {
        char* next = buffer.data();
        size_t room = buffer.size();
        // With all input taken, one more call writes out what a stateful encoding still holds.
        const bool flushing = inLeft == 0;
        const size_t result = flushing ? iconv(converter, nullptr, nullptr, &next, &room)
                                       : iconv(converter, &in, &inLeft, &next, &room);
        const int error = errno;
        out.append(buffer.data(), size_t(next - buffer.data()));
        if (result != size_t(-1))
        {
            if (flushing)
                break;
        }
        else if (error != E2BIG)
        {
            converted = prefix && error == EINVAL;
            break;
        }
    }
    iconv_close(converter);
    if (!converted)
        read.reason =
            "is not in its encoding \"" + encoding + "\" (line " + std::to_string(LineAt(out, out.size())) + ")";
    return converted;
}

// How the bytes of a file become UTF-8.
struct CDecoding
{
    enum Kind
    {
        kUtf8,         // as they stand (a stray byte read as Windows-1252 later)
        kWindows1252,  // byte by byte
        kConverted,    // by the C library, from the encoding named
    } kind = kUtf8;
    std::string from;
};

// What the first bytes say of the encoding, as XML's appendix on detecting encodings reads them:
// a byte-order mark; else, since a document begins with '<' or white space, which are ASCII in
// every encoding XML allows, where the zero bytes stand among the first four (00 3C 00 3F is
// UTF-16 big-endian, 3C 00 3F 00 little-endian, 00 00 00 3C UTF-32); else EBCDIC's "<?xm";
// else single bytes of ASCII and its kin (encoding empty).
struct CFirstBytes
{
    std::string encoding;  // the C library's name
    size_t unit = 1;       // bytes per code unit
    bool mark = false;     // a byte-order mark says so
};

bool ReadFirstBytes(const std::string& text, CFirstBytes& first, CXmlRead& read)
{
    const std::string start = text.substr(0, 4);
    if (start == std::string("\0\0\xFE\xFF", 4) || start == std::string("\xFF\xFE\0\0", 4))
        first = {"UTF-32", 4, true};
    else if (StartsWith(text, "\xFE\xFF") || StartsWith(text, "\xFF\xFE"))
        first = {"UTF-16", 2, true};
    else if (StartsWith(text, "\xEF\xBB\xBF"))
        first = {"", 1, true};
    else if (text.size() >= 4)
    {
        unsigned zeros = 0;
        for (size_t i = 0; i < 4; ++i)
            zeros = zeros << 1 | (text[i] == '\0' ? 1u : 0u);
        if (zeros == 0b1110 || zeros == 0b0111)
            first = {zeros == 0b1110 ? "UTF-32BE" : "UTF-32LE", 4, false};
        else if (zeros == 0b1010 || zeros == 0b0101)
            first = {zeros == 0b1010 ? "UTF-16BE" : "UTF-16LE", 2, false};
        else if (zeros == 0b1101 || zeros == 0b1011)
        {
            read.reason = "is in UCS-4 of a byte order the program cannot read";
            read.unknownEncoding = true;
            return false;
        }
        else if (StartsWith(text, "\x4C\x6F\xA7\x94"))
            first = {"IBM037", 1, false};
    }
    return true;
}

// How to decode the text: by its first bytes, then by its declaration where they leave the
// choice open. A declaration they contradict gives way to them, and the notice says so.
bool ChooseDecoding(const std::string& text, CDecoding& decoding, CXmlRead& read)
{
    CFirstBytes first;
    if (!ReadFirstBytes(text, first, read))
        return false;
    std::string declared;
    if (first.encoding.empty())
    {
        declared = DeclaredEncoding(text);
    }
    else
    {
        // The declaration is read in the encoding the bytes are in.
        std::string start;
        CXmlRead ignored;
        if (ConvertToUtf8(text.substr(0, 1024), first.encoding, start, ignored, true))
            declared = DeclaredEncoding(start);
    }
    const std::string actual = first.encoding.empty() ? "UTF-8" : first.encoding;
    if (first.encoding == "IBM037")
    {
        // EBCDIC has many code pages; the declaration says which.
        decoding = {CDecoding::kConverted, declared.empty() ? first.encoding : declared};
        return true;
    }
    const bool singleBytesDeclared = IsOneOf(declared, {"UTF-8", "UTF8", "US-ASCII", "ASCII"});
    if (!declared.empty() &&
        (CodeUnitOf(declared) != first.unit || (first.mark && first.unit == 1 && !singleBytesDeclared)))
    {
        read.notice = "declares the encoding \"" + declared + "\", but " +
                      (first.mark ? "its byte-order mark says " : "its first characters say ") +
                      (first.mark || first.unit > 1 ? actual : std::string("single bytes")) + ": read as " + actual;
        declared.clear();
    }
    if (first.unit > 1)
        decoding = {CDecoding::kConverted, first.encoding};
    else if (declared.empty() || singleBytesDeclared)
        decoding = {CDecoding::kUtf8, ""};
    else if (IsOneOf(declared, {"ISO-8859-1", "ISO8859-1", "ISO_8859-1", "Latin1", "Latin-1", "L1", "Windows-1252",
                                "CP1252"}))
        decoding = {CDecoding::kWindows1252, ""};
    else
        decoding = {CDecoding::kConverted, declared};
    return true;
}

// The text in UTF-8, decoded once, by what it says of itself (see ReadXmlText). A byte-order mark
// for UTF-8 stays: the parser takes it for white space. With prefix the text is the start of a
// longer one and may end inside a character.
bool DecodeToUtf8(std::string& text, CXmlRead& read, bool prefix)
{
    CDecoding decoding;
    if (!ChooseDecoding(text, decoding, read))
        return false;
    if (decoding.kind == CDecoding::kWindows1252)
        text = Windows1252ToUtf8(text);
    if (decoding.kind != CDecoding::kConverted)
        return true;
    std::string converted;
    if (!ConvertToUtf8(text, decoding.from, converted, read, prefix))
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
    enum class Root
    {
        kFound,
        kEnded,  // the text ends before the root's start tag does, or what stands before it
        kNone,   // something else than an element follows what the parser passes over at the top
    };
    // Where the root element's start tag ends (just past its '>'), past whatever the parser
    // passes over before it; name gets the element's name, and closed whether it ends in "/>".
    Root FindRoot(size_t& end, std::string& name, bool& closed);
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
    // The bytes of the character at the very start of a document that the parser passes as white
    // space (a byte-order mark, or U+FFFE or U+FFFF, which MakeSafe leaves only there): 3, else 0.
    // The walk passes it too, so that a document behind one is held to the limits.
    static size_t MarkAtStart(const char* p);

    static const char* SkipSpace(const char* p);
    static const char* SkipName(const char* p);
    // Text up to the end character, its references read. Null where the parser fails, the text
    // ends first, or the text refuses the document.
    const char* SkipText(const char* p, char end);
    const char* SkipReference(const char* p);
    // An attribute's name, "=" and value; null where the parser fails.
    const char* SkipAttribute(const char* p);
    const char* SkipDeclaration(const char* p);
    // Past a declaration, comment, CDATA section or other markup that is no tag of an element, as
    // the parser passes it: null where it never ends, p itself where a tag begins.
    const char* SkipOtherMarkup(const char* p, size_t depth);
    // Past the attributes of a start tag, to the '>' or '/' that ends it; null where the parser
    // fails or the text ends. count gets their number, counted to one past the limit.
    const char* SkipAttributes(const char* p, size_t& count);
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

const char* CXmlShape::SkipOtherMarkup(const char* p, size_t depth)
{
    if (StartsWithIgnoringCase(p, "<?xml"))
        return SkipDeclaration(p);
    if (StartsWith(p, "<!--"))
        return SkipPast(p + 4, "-->");
    if (StartsWith(p, "<![CDATA["))
        return SkipPast(p + 9, "]]>");
    if (p[1] == '!' || p[1] == '?' || (depth == 0 && !IsNameStart(p[1])))
        return SkipPast(p + 1, ">");
    return p;
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

CXmlShape::Root CXmlShape::FindRoot(size_t& end, std::string& name, bool& closed)
{
    const char* p = m_p + MarkAtStart(m_p);
    for (;;)
    {
        p = SkipSpace(p);
        if (*p != '<')
            return *p ? Root::kNone : Root::kEnded;
        const char* past = SkipOtherMarkup(p, 0);
        if (!past)
            return Root::kEnded;
        if (past != p)
        {
            p = past;
            continue;
        }
        const char* nameStart = SkipSpace(p + 1);
        p = SkipName(nameStart);
        name.assign(nameStart, p);
        size_t attributes = 0;
        p = SkipAttributes(p, attributes);
        // Too many: the check refuses the tag as it would refuse the whole file.
        if (attributes > kXmlMaxAttributes)
            return Root::kNone;
        if (!p)
            return Root::kEnded;
        closed = *p == '/';
        if (closed && p[1] != '>')
            return p[1] ? Root::kNone : Root::kEnded;
        end = size_t(p + (closed ? 2 : 1) - m_start);
        return Root::kFound;
    }
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

// The status and reason of a file that was not read whole.
CXmlRead NotRead(FileReadStatus status, int error, size_t maxBytes)
{
    CXmlRead read;
    read.reason = DescribeFileRead(status, error);
    switch (status)
    {
    case FileReadStatus::kRead:
        break;
    case FileReadStatus::kMissing:
        read.status = XmlReadStatus::kMissing;
        break;
    case FileReadStatus::kNotRegular:
    case FileReadStatus::kUnreadable:
        read.status = XmlReadStatus::kUnreadable;
        break;
    case FileReadStatus::kTooLarge:
        read.status = XmlReadStatus::kRefused;
        read.reason = "is larger than " + SizeText(maxBytes);
        break;
    }
    return read;
}

// Parses text already decoded to UTF-8 (its line ends and NULs still as the file has them),
// within the limits, into the document; read carries what the decoding found.
CXmlRead ParseDecoded(const std::string& decoded, CXmlRead read, TiXmlDocument& document)
{
    std::string text = MakeSafe(NormaliseLineEnds(decoded));
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
}  // namespace

CXmlRead ReadXmlText(std::string text, TiXmlDocument& document)
{
    CXmlRead read;
    document.Clear();
    if (!DecodeToUtf8(text, read, false))
    {
        read.status = XmlReadStatus::kUndecodable;
        return read;
    }
    return ParseDecoded(text, read, document);
}

CXmlRead ReadXmlFile(const std::string& path, size_t maxBytes, TiXmlDocument& document)
{
    std::string text;
    int error = 0;
    const FileReadStatus status = ReadFileBounded(path, maxBytes, text, error);
    if (status != FileReadStatus::kRead)
        return NotRead(status, error, maxBytes);
    // As TinyXML's own file reader does: the document carries the file's name.
    document.SetValue(path);
    return ReadXmlText(std::move(text), document);
}

CXmlRead ReadXmlRootTag(const std::string& path, size_t maxBytes, TiXmlDocument& document)
{
    document.Clear();
    document.SetValue(path);
    // A root's start tag stands in the first hundred bytes as a rule; a longer start is read as
    // far as it goes, each read twice the last, which costs at most twice the bytes before the
    // tag.
    for (size_t count = std::min<size_t>(4096, maxBytes);; count = std::min(count * 2, maxBytes))
    {
        std::string text;
        int error = 0;
        const FileReadStatus status = ReadFileStart(path, count, text, error, maxBytes);
        if (status != FileReadStatus::kRead)
            return NotRead(status, error, maxBytes);
        const bool whole = text.size() < count || count >= maxBytes;
        CXmlRead read;
        if (!DecodeToUtf8(text, read, !whole))
        {
            read.status = XmlReadStatus::kUndecodable;
            return read;
        }
        // The parser stops at a NUL: what follows it does not count.
        const bool ended = whole || text.find('\0') != std::string::npos;
        size_t end = 0;
        std::string name;
        bool closed = false;
        const std::string safe = MakeSafe(NormaliseLineEnds(text));
        const CXmlShape::Root root = CXmlShape(safe).FindRoot(end, name, closed);
        if (root == CXmlShape::Root::kEnded && !ended)
            continue;
        if (root == CXmlShape::Root::kFound)
        {
            // The start tag alone, closed at once, reads as the whole file's root reads.
            text = safe.substr(0, end);
            if (!closed)
                text += "</" + name + ">";
        }
        return ParseDecoded(text, read, document);
    }
}

std::string DescribeXmlRead(const std::string& path, const CXmlRead& read)
{
    return "Not read: \"" + path + "\" " + read.reason;
}

std::string DescribeXmlNotice(const std::string& path, const CXmlRead& read)
{
    return "Read: \"" + path + "\" " + read.notice;
}
