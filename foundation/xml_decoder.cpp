#include "foundation/xml_decoder.h"

#include "foundation/ascii.h"
#include "foundation/utf8.h"
#include "foundation/xml_file.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <utility>

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

// The most bytes of UTF-8 that one character of an encoding the C library converts makes: TSCII
// makes four characters, 12 bytes, of some bytes, and the JIS X 0213 encodings two of some.
constexpr size_t kLongestCharacter = 16;
// The bytes of input a converter is given a call. The C library's JIS X 0213 converters lose their
// place when their output fills between the two characters some byte pairs make (KA with the
// semi-voiced mark): from then on every call gives the second again, and more, taking no input.
// Their output fills in two places, the buffer they are given and the one the C library keeps
// between the steps of a conversion, which holds what some 8,000 characters make; what this much
// input makes fits in either, so neither fills.
constexpr size_t kCallInput = 4095;
// The room a call is given: what its input makes, and a character the converter held back from
// the call before (as one does that waits to see whether the next character combines with it).
constexpr size_t kCallRoom = (kCallInput + 1) * kLongestCharacter;

// Converts what is left of the input, appending to out until out holds more than limit bytes;
// with flush, once the input is all taken, also what a stateful encoding still holds. 0 when it
// is all converted, or with full set when out has passed limit first; else the converter's error:
// EINVAL where the input ends inside a character, EILSEQ where it does not follow the encoding.
// A call that stops for want of room is called again once its output is taken. Each call takes
// input or gives output, unless it waits for the rest of a character at the end of the input,
// so that the input or the limit ends the loop: one that does neither, given all this room,
// would do so for ever, and the input counts as not in its encoding.
int Convert(CXmlConverter& converter, char*& in, size_t& inLeft, bool flush, std::string& out, size_t limit,
            bool& full)
{
    char buffer[kCallRoom];
    for (;;)
    {
        if (out.size() > limit)
        {
            full = true;
            return 0;
        }
        char* next = buffer;
        size_t room = sizeof(buffer);
        const bool flushing = inLeft == 0;
        if (flushing && !flush)
            return 0;
        const size_t before = inLeft;
        const size_t given = std::min(inLeft, kCallInput);
        size_t left = given;
        const int error = flushing ? converter.Flush(next, room) : converter.Convert(in, left, next, room);
        const size_t made = size_t(next - buffer);
        out.append(buffer, made);
        inLeft -= given - left;
        if (flushing)
        {
            if (error == 0)
                return 0;
            if (error != E2BIG || made == 0)
                return EILSEQ;
        }
        else if (error == EINVAL && given == before)
        {
            return EINVAL;
        }
        else if (error != 0 && error != E2BIG && error != EINVAL)
        {
            return error;
        }
        else if (inLeft == before && made == 0)
        {
            return EILSEQ;
        }
    }
}

std::string NotInEncoding(const std::string& encoding, size_t lines)
{
    return "is not in its encoding \"" + encoding + "\" (line " + std::to_string(lines + 1) + ")";
}

// The start of a text in an encoding the C library converts, as far as it goes; empty where the
// encoding is not known or the bytes do not follow it.
std::string ConvertStart(const std::string& text, const std::string& encoding, const XmlConverterOpener& open)
{
    std::string out;
    const std::unique_ptr<CXmlConverter> converter = open(encoding);
    if (!converter)
        return out;
    std::string bytes = text;
    char* in = bytes.data();
    size_t inLeft = bytes.size();
    bool full = false;
    const int error = Convert(*converter, in, inLeft, true, out, kCallRoom, full);
    if (error != 0 && error != EINVAL)
        out.clear();
    return out;
}

// How the bytes of a file become UTF-8.
enum DecodingKind
{
    kUtf8,         // as they stand (a stray byte read as Windows-1252 later)
    kWindows1252,  // byte by byte
    kConverted,    // by the C library, from the encoding named
};

struct CDecoding
{
    DecodingKind kind = kUtf8;
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

// Whether the first bytes say all that ChooseDecoding reads of them: the byte-order mark or the
// zero bytes among the first four, and the declaration, which it reads from the first kilobyte of
// a document in wider units, and else up to its "?>" or a kilobyte past the white space before it.
bool SayEnough(const std::string& held)
{
    if (held.size() < 4)
        return false;
    CFirstBytes first;
    CXmlRead ignored;
    if (!ReadFirstBytes(held, first, ignored))
        return true;
    if (!first.encoding.empty())
        return held.size() >= 1024;
    size_t at = StartsWith(held, "\xEF\xBB\xBF") ? 3 : 0;
    while (at < held.size() && IsXmlSpace(held[at]))
        ++at;
    return held.size() >= at + CXmlDecoder::kDeclarationSpan;
}

// How to decode the text: by its first bytes, then by its declaration where they leave the
// choice open. A declaration they contradict gives way to them, and the notice says so.
bool ChooseDecoding(const std::string& text, CDecoding& decoding, CXmlRead& read, const XmlConverterOpener& open)
{
    CFirstBytes first;
    if (!ReadFirstBytes(text, first, read))
        return false;
    // The declaration is read in the encoding the bytes are in.
    std::string declared =
        DeclaredEncoding(first.encoding.empty() ? text : ConvertStart(text.substr(0, 1024), first.encoding, open));
    const std::string actual = first.encoding.empty() ? "UTF-8" : first.encoding;
    if (first.encoding == "IBM037")
    {
        // EBCDIC has many code pages; the declaration says which.
        decoding = {kConverted, declared.empty() ? first.encoding : declared};
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
        decoding = {kConverted, first.encoding};
    else if (declared.empty() || singleBytesDeclared)
        decoding = {kUtf8, ""};
    else if (IsOneOf(declared, {"ISO-8859-1", "ISO8859-1", "ISO_8859-1", "Latin1", "Latin-1", "L1", "Windows-1252",
                                "CP1252"}))
        decoding = {kWindows1252, ""};
    else
        decoding = {kConverted, declared};
    return true;
}

bool HasHighByte(const char* text, size_t size)
{
    uint64_t bits = 0;
    size_t i = 0;
    for (; i + 8 <= size; i += 8)
    {
        uint64_t word;
        std::memcpy(&word, text + i, 8);
        bits |= word;
    }
    for (; i < size; ++i)
        bits |= static_cast<unsigned char>(text[i]);
    return (bits & 0x8080808080808080ull) != 0;
}

// How many bytes at the end of the text begin a character that the text ends inside of.
size_t UnfinishedCharacter(const std::string& text, size_t from)
{
    for (size_t back = 1; back <= 3 && back <= text.size() - from; ++back)
    {
        const unsigned char byte = static_cast<unsigned char>(text[text.size() - back]);
        if (byte < 0xC0)
            continue;
        const size_t length = byte >= 0xC2 && byte <= 0xDF ? 2 : byte >= 0xE0 && byte <= 0xEF ? 3
                            : byte >= 0xF0 && byte <= 0xF4 ? 4
                                                           : 0;
        return length > back ? back : 0;
    }
    return 0;
}
}  // namespace

struct CXmlDecoder::CConverter
{
    std::unique_ptr<CXmlConverter> converter;
    std::string from;
    std::string pending;  // bytes that begin a character the next ones end
    size_t lines = 0;     // line feeds converted so far, for the line of a failure
};

CXmlDecoder::CXmlDecoder(size_t maxText, size_t maxConvertedText, XmlConverterOpener open)
    : m_open(open ? std::move(open) : XmlConverterOpener(OpenSystemXmlConverter)),
      m_maxText(maxText),
      m_maxConvertedText(maxConvertedText)
{
}

CXmlDecoder::~CXmlDecoder() = default;

bool CXmlDecoder::Decode(const char* bytes, size_t size, bool last, std::string& out, CXmlRead& read)
{
    if (m_ended || m_full)
        return true;
    if (m_chosen)
        return PassSlices(bytes, size, last, out, read);
    m_held.append(bytes, size);
    if (!last && !SayEnough(m_held))
    {
        if (m_held.size() <= kMaxHeld)
            return true;
        read.status = XmlReadStatus::kRefused;
        read.reason = "begins with more than 1 MB of white space";
        return false;
    }
    if (!Choose(read))
    {
        read.status = XmlReadStatus::kUndecodable;
        return false;
    }
    const std::string held = std::move(m_held);
    m_held.clear();
    m_held.shrink_to_fit();
    return PassSlices(held.data(), held.size(), last, out, read);
}

bool CXmlDecoder::Choose(CXmlRead& read)
{
    CDecoding decoding;
    if (!ChooseDecoding(m_held, decoding, read, m_open))
        return false;
    m_kind = decoding.kind;
    if (decoding.kind == kConverted)
    {
        std::unique_ptr<CXmlConverter> converter = m_open(decoding.from);
        if (!converter)
        {
            read.reason = "is in the encoding \"" + decoding.from + "\", which the program does not know";
            read.unknownEncoding = true;
            return false;
        }
        m_converter = std::make_unique<CConverter>();
        m_converter->converter = std::move(converter);
        m_converter->from = decoding.from;
        m_maxText = std::min(m_maxText, m_maxConvertedText);
    }
    m_chosen = true;
    return true;
}

bool CXmlDecoder::PassSlices(const char* bytes, size_t size, bool last, std::string& out, CXmlRead& read)
{
    // A document given whole goes into one allocation where its text is as long as its bytes.
    const size_t expected = std::min(size, m_maxText);
    if (out.empty() && out.capacity() < expected)
        out.reserve(expected);
    do
    {
        const size_t slice = std::min(size, kSlice);
        if (!Pass(bytes, slice, last && slice == size, out, read))
            return false;
        bytes += slice;
        size -= slice;
        m_full = m_full || m_produced > m_maxText;
    } while (size > 0 && !m_ended && !m_full);
    return true;
}

bool CXmlDecoder::Pass(const char* bytes, size_t size, bool last, std::string& out, CXmlRead& read)
{
    const size_t from = out.size();
    out += m_carry;
    m_carry.clear();
    if (m_kind == kUtf8)
    {
        out.append(bytes, size);
    }
    else if (m_kind == kWindows1252)
    {
        out += Windows1252ToUtf8(std::string(bytes, size));
    }
    else
    {
        CConverter& c = *m_converter;
        c.pending.append(bytes, size);
        char* in = c.pending.data();
        size_t inLeft = c.pending.size();
        const size_t converted = out.size();
        // Weighed as it is made: one slice of a converter that makes much of little could
        // otherwise make far more than the bound.
        const size_t room = m_maxText > m_produced ? m_maxText - m_produced : 0;
        bool full = false;
        const int error = Convert(*c.converter, in, inLeft, last, out, from + room, full);
        // The text ends at a NUL (Finish): what the bytes after it make, or cannot make, is none of
        // it, whether the same slice carries them or the next.
        const bool ended = std::memchr(out.data() + from, '\0', out.size() - from) != nullptr;
        m_full = m_full || (full && !ended);
        for (const char* p = out.data() + converted, *end = out.data() + out.size();
             (p = static_cast<const char*>(std::memchr(p, '\n', size_t(end - p)))) != nullptr; ++p)
            ++c.lines;
        if (!ended && error != 0 && (last || error != EINVAL))
        {
            out.resize(from);
            read.status = XmlReadStatus::kUndecodable;
            read.reason = NotInEncoding(c.from, c.lines);
            return false;
        }
        c.pending.erase(0, c.pending.size() - inLeft);
    }
    Finish(out, from, last);
    return true;
}

void CXmlDecoder::Finish(std::string& out, size_t from, bool last)
{
    const size_t nul = out.find('\0', from);
    if (nul != std::string::npos)
    {
        out.resize(nul);
        m_ended = true;
        last = true;
    }
    if (!last)
    {
        // Wait for the rest of a character, or for the LF that may follow a CR.
        size_t held = UnfinishedCharacter(out, from);
        if (held == 0 && out.size() > from && out.back() == '\r')
            held = 1;
        m_carry.assign(out, out.size() - held, held);
        out.resize(out.size() - held);
    }
    if (out.find('\r', from) != std::string::npos)
    {
        size_t to = from;
        for (size_t i = from; i < out.size(); ++i)
        {
            if (out[i] == '\r')
            {
                out[to++] = '\n';
                if (i + 1 < out.size() && out[i + 1] == '\n')
                    ++i;
            }
            else
            {
                out[to++] = out[i];
            }
        }
        out.resize(to);
    }
    if (HasHighByte(out.data() + from, out.size() - from))
    {
        // Only bytes taken as they stand may be no UTF-8: what a conversion makes is.
        if (m_kind == kUtf8)
        {
            const std::string text = out.substr(from);
            if (!IsValidUtf8(text))
            {
                out.resize(from);
                out += ToValidUtf8(text);
            }
        }
        // Past the very start of the text (where a byte-order mark stays), characters the parser
        // would skip become U+FFFD, so that the document reads alike either way.
        for (const char* skipped : {"\xEF\xBB\xBF", "\xEF\xBF\xBE", "\xEF\xBF\xBF"})
        {
            for (size_t at = out.find(skipped, from); at != std::string::npos; at = out.find(skipped, at + 3))
            {
                if (m_produced + (at - from) > 0)
                    out.replace(at, 3, "\xEF\xBF\xBD");
            }
        }
    }
    m_produced += out.size() - from;
}
