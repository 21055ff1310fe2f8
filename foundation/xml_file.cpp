#include "foundation/xml_file.h"

#include "foundation/file_helpers.h"
#include "foundation/xml_decoder.h"
#include "foundation/xml_shape.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string_view>
#include <unordered_set>
#include <utility>
#include <vector>

namespace
{
// The first read of a file, which holds the root's start tag of nearly every document, and each
// read after it.
constexpr size_t kFirstPiece = 4096;
constexpr size_t kPiece = 64 * 1024;

// The column, as TinyXML counts them for its errors (from 0: characters, a tab to the next
// multiple of four), after the characters from from to to, which begin at the column given.
size_t ParserColumnAfter(const char* from, const char* to, size_t column)
{
    if (!std::memchr(from, '\t', size_t(to - from)))
    {
        // Every byte that continues no character is one, counted eight at a time.
        const char* p = from;
        for (; p + 8 <= to; p += 8)
        {
            uint64_t word;
            std::memcpy(&word, p, 8);
            const uint64_t continuing = (word & ~(word << 1) & 0x8080808080808080ull) >> 7;
            column += 8 - size_t((continuing * 0x0101010101010101ull) >> 56);
        }
        from = p;
    }
    for (const char* p = from; p < to; ++p)
    {
        if (*p == '\t')
            column = (column / 4 + 1) * 4;
        else if ((static_cast<unsigned char>(*p) & 0xC0) != 0x80)
            ++column;
    }
    return column;
}

// The line ends from from to to.
size_t CountLines(const char* from, const char* to)
{
    size_t lines = 0;
    for (const char* p = from; (p = static_cast<const char*>(std::memchr(p, '\n', size_t(to - p)))) != nullptr; ++p)
        ++lines;
    return lines;
}

int LineAt(const std::string& text, size_t end)
{
    return 1 + int(std::count(text.begin(), text.begin() + std::ptrdiff_t(std::min(end, text.size())), '\n'));
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

std::string DecodesToMore(size_t maxText)
{
    return "decodes to more than " + SizeText(maxText) + " of text";
}

ssize_t ReadSome(int file, char* buffer, size_t size)
{
    for (;;)
    {
        const ssize_t got = ::read(file, buffer, size);
        if (got >= 0 || errno != EINTR)
            return got;
    }
}

// Gives a document's bytes to the decoder as every reader gives them, so that the same bytes make
// the same text and the same verdict whoever reads them (the show list's check, the reader that
// opens the show, the reader of a root tag) and however the source hands them out: the first
// piece of the size asked for, then pieces of kPiece, each full but the last, and the last marked
// as the last before it is decoded (a character it leaves unfinished is then no longer waited for).
// The white space a document may begin with comes whole in the first piece, with what the decoder
// reads after it, however long it is: the decoder holds its first bytes until they tell how the
// text is encoded. Before each read of the source the stop, where given, is looked at, so that
// whoever reads a file of 32 MB can be stopped within 64 KB of it.
class CXmlPieces
{
public:
    // most: the bytes past which the source is too large; glance: the bytes past which none is
    // read, the piece that reaches it not being known as the last.
    CXmlPieces(const XmlByteSource& source, size_t first, size_t most, size_t glance, const std::atomic<bool>* stop)
        : m_source(source), m_first(first), m_most(most), m_glance(glance), m_stop(stop)
    {
    }
    // The next piece, and whether it is the last. False where none comes: past the last, where the
    // source fails (Failed), grows too large (TooLarge) or the stop is set (Stopped).
    bool Next(std::string_view& piece, bool& last)
    {
        if (m_over)
            return false;
        if (m_handed == 0)
        {
            Fill(m_piece, m_first);
            // Past a UTF-8 byte-order mark.
            const std::string_view start(m_piece.bytes.data(), m_piece.size);
            size_t space = PastWhiteSpace(m_piece, start.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0);
            while (!m_eof && !m_broken && m_piece.size < space + CXmlDecoder::kDeclarationSpan && m_taken < m_glance)
            {
                Fill(m_piece, m_piece.size + kPiece);
                space = PastWhiteSpace(m_piece, space);
            }
        }
        else
        {
            std::swap(m_piece, m_ahead);
            m_ahead.size = 0;
        }
        if (!m_eof && !m_broken && m_piece.size == 0)
            m_broken = true;  // at the glance
        if (!m_eof && !m_broken)
            Fill(m_ahead, kPiece);
        if (m_broken)
        {
            m_over = true;
            return false;
        }
        last = m_eof && m_ahead.size == 0;
        m_over = last;
        piece = std::string_view(m_piece.bytes.data(), m_piece.size);
        m_handed += m_piece.size;
        return true;
    }
    // The bytes handed out so far.
    size_t GetHanded() const { return m_handed; }
    // The source failed: the system's error number.
    int GetError() const { return m_error; }
    bool Failed() const { return m_error != 0; }
    bool TooLarge() const { return m_tooLarge; }
    bool Stopped() const { return m_stopped; }

private:
    // The first size bytes of bytes, which only grows.
    struct CBuffer
    {
        std::string bytes;
        size_t size = 0;
    };

    // Where the XML white space from at on ends.
    static size_t PastWhiteSpace(const CBuffer& buffer, size_t at)
    {
        const char* bytes = buffer.bytes.data();
        while (at < buffer.size && (bytes[at] == ' ' || bytes[at] == '\t' || bytes[at] == '\n' || bytes[at] == '\r'))
            ++at;
        return at;
    }
    // Reads into the buffer until it holds size bytes or the source ends.
    void Fill(CBuffer& buffer, size_t size)
    {
        size = std::min(size, buffer.size + (m_glance - m_taken));
        if (buffer.bytes.size() < size)
            buffer.bytes.resize(size);
        while (buffer.size < size && !m_eof && !m_broken)
        {
            if (m_stop && m_stop->load(std::memory_order_relaxed))
            {
                m_stopped = m_broken = true;
                break;
            }
            const ssize_t got = m_source(buffer.bytes.data() + buffer.size, size - buffer.size);
            if (got < 0)
            {
                m_error = errno != 0 ? errno : EIO;
                m_broken = true;
                break;
            }
            buffer.size += size_t(got);
            m_eof = got == 0;
            m_taken += size_t(got);
            if (m_taken > m_most)
                m_tooLarge = m_broken = true;
        }
    }

    const XmlByteSource& m_source;
    size_t m_first;
    size_t m_most;
    size_t m_glance;
    const std::atomic<bool>* m_stop;
    CBuffer m_piece;
    CBuffer m_ahead;  // read ahead, to know whether the piece handed out is the last
    size_t m_handed = 0;
    size_t m_taken = 0;
    bool m_eof = false;
    bool m_broken = false;
    bool m_over = false;
    bool m_tooLarge = false;
    bool m_stopped = false;
    int m_error = 0;
};

CXmlRead Stopped()
{
    CXmlRead read;
    read.status = XmlReadStatus::kStopped;
    read.reason = "was not read to its end: the reading was stopped";
    return read;
}

CXmlRead PastGlance(size_t glance)
{
    CXmlRead read;
    read.status = XmlReadStatus::kPastGlance;
    read.reason = "gives no start tag of its root element within its first " + SizeText(glance);
    return read;
}

// The text of the whole document the source gives, decoded as every reader decodes it
// (CXmlPieces), within maxBytes of bytes and maxText of text: kRead with the text, else why not.
CXmlRead DecodeDocument(const XmlByteSource& source, size_t maxBytes, size_t maxText, const XmlConverterOpener& open,
                        const std::atomic<bool>* stop, std::string& text)
{
    CXmlDecoder decoder(maxText, maxText, open);
    CXmlPieces pieces(source, kPiece, maxBytes, SIZE_MAX, stop);
    CXmlRead read;
    std::string_view piece;
    bool last = false;
    while (pieces.Next(piece, last))
    {
        const bool decoded = decoder.Decode(piece.data(), piece.size(), last, text, read);
        read.converted = decoder.Converts();
        read.text = text.size();
        if (!decoded)
            return read;
        if (last || decoder.HasEnded() || decoder.IsFull())
            break;
    }
    if (pieces.Stopped())
        return Stopped();
    if (pieces.TooLarge())
        return NotRead(FileReadStatus::kTooLarge, 0, maxBytes);
    if (pieces.Failed())
        return NotRead(FileReadStatus::kUnreadable, pieces.GetError(), maxBytes);
    if (decoder.IsFull())
    {
        read.status = XmlReadStatus::kRefused;
        read.reason = DecodesToMore(maxText);
    }
    return read;
}

// The source of an open file, which the caller closes.
XmlByteSource FileSource(int file)
{
    return [file](char* buffer, size_t size) { return ReadSome(file, buffer, size); };
}

// The text of the whole file, decoded as every reader decodes it. Its room is taken at once for
// twice as many bytes as the file's (as a converted encoding may make), of which the system gives
// only the pages the text fills: growing it as it comes would copy it, and hold it twice meanwhile.
CXmlRead DecodeFile(const std::string& path, size_t maxBytes, const std::atomic<bool>* stop, std::string& text)
{
    int error = 0;
    FileReadStatus status = FileReadStatus::kRead;
    const int file = OpenFileToRead(path, maxBytes, status, error);
    if (file < 0)
        return NotRead(status, error, maxBytes);
    struct stat info = {};
    if (::fstat(file, &info) == 0)
        text.reserve(std::min(2 * size_t(info.st_size), maxBytes) + 1);
    const CXmlRead read = DecodeDocument(FileSource(file), maxBytes, maxBytes, nullptr, stop, text);
    ::close(file);
    return read;
}

// The check of the whole file (CheckXmlFile), its text left in text.
CXmlRead CheckFile(const std::string& path, size_t maxBytes, const std::atomic<bool>* stop, std::string& text)
{
    CXmlRead read = DecodeFile(path, maxBytes, stop, text);
    if (!read.IsRead())
        return read;
    read.reason = CXmlShape(text).Check();
    if (!read.reason.empty())
        read.status = XmlReadStatus::kRefused;
    return read;
}

// Puts the line and column of an error (from 1) where they stand in the file, for text that is
// not the file's own: column counts bytes for the checks, and characters, a tab to the next
// multiple of four, as TinyXML counts them for its errors.
using XmlLocator = std::function<void(int& line, int& column, bool bytes)>;

// Parses text the decoder made, within the limits, into the document; read carries what the
// decoding found.
CXmlRead ParseDecoded(std::string text, CXmlRead read, TiXmlDocument& document, const XmlLocator& locate = nullptr)
{
    CXmlShape shape(text);
    read.reason = shape.Check();
    if (!read.reason.empty())
    {
        read.status = XmlReadStatus::kRefused;
        return read;
    }
    bool bytes = true;
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
        bytes = false;
    }
    if (read.line > 0 && locate)
        locate(read.line, read.column, bytes);
    read.reason = "is not well-formed XML: " + read.error;
    if (read.line > 0)
        read.reason += " (line " + std::to_string(read.line) + ", column " + std::to_string(read.column) + ")";
    return read;
}

// Looks for the root element's start tag in the text of a document given piece by piece (as
// CXmlDecoder makes it), keeping only what the parser needs of what stands before it, so that the
// parser finds in what is kept what it would find in the whole text, limits and errors alike, and
// the line and column of an error are those in the file. Whatever stands before the tag, the
// parser is given at most one stand-in ("<!>") for all the comments, CDATA sections, other markup
// and declarations it passes over, and a declaration as written only where the parser or the
// checks would fail on it; the tag's attribute values, which may be megabytes long, are read here
// and only their names go through the parser (which reads a value some ten times slower), but
// where a name is given twice and the parser's error must stand where the file has it.
class CRootTagSearch
{
public:
    // Searches the text given piece by piece into text, which it empties first; of the tag's
    // attributes only those named in wanted, where given, keep their values.
    CRootTagSearch(std::string& text, const std::vector<std::string>* wanted) : m_text(text), m_wanted(wanted)
    {
        m_text.clear();
    }
    // Where the next piece of text goes.
    std::string& Text() { return m_text; }
    // Goes through the text given so far. True once the search is over: the tag was found, the
    // document cannot have one, or the text has ended (ended: no more text comes).
    bool Search(bool ended);
    // Parses what was kept, as ReadXmlText parses a document.
    CXmlRead Parse(const CXmlRead& read, TiXmlDocument& document) const;

private:
    enum class State
    {
        kTop,
        kPassing,  // a comment, CDATA section or other markup, up to its end
        kKeeping,  // a declaration or the root's start tag
        kOver,
    };
    // A declaration or start tag kept: its first line in the kept text, the spaces before it
    // there, and its line and columns (from 0) in the file.
    struct CMark
    {
        int row = 0;
        size_t padding = 0;
        int line = 0;
        size_t byteColumn = 0;
        size_t parserColumn = 0;
    };

    // Moves past the next count bytes of the text; their lines and columns are counted when
    // next needed, so that thousands of short markups cost one count.
    void Pass(size_t count) { m_at += count; }
    // Counts the lines and columns of what was passed since last counted.
    void Follow();
    // Keeps the first count bytes of the text (as given, where given), on a line of their own;
    // their first line keeps its columns as the parser counts them, to the next multiple of four.
    // What is given in their place has as many lines, but where it leaves out what stands last
    // (a value, with no error in it), what follows is kept on a line of its own.
    void Keep(size_t count, const std::string* as = nullptr);
    // What passes over markup leaves for the parser: the one stand-in.
    void StandIn();
    // Keeps the start tag measured, of end bytes: its attribute values stand in m_values.
    void KeepStartTag(size_t end, const std::vector<CXmlShape::CAttribute>& attributes);
    // Keeps it with its values left out, its lines and the columns between the values as in the
    // file: for the parser to fail on a name given twice where the file has it.
    void KeepLayoutOfStartTag(size_t end, const std::vector<CXmlShape::CAttribute>& attributes);
    // The values of the first count attributes of the tag at the text's start, as the parser
    // reads them, those named in m_wanted alone where it is given.
    void KeepValues(const CXmlShape::CAttribute* attributes, size_t count);
    void Locate(int& line, int& column, bool bytes) const;

    std::string& m_text;
    const std::vector<std::string>* m_wanted;
    size_t m_at = 0;        // where the text not yet gone through begins
    size_t m_followed = 0;  // how far the line and columns are counted
    State m_state = State::kTop;
    CXmlShape::Markup m_kind = CXmlShape::Markup::kOther;
    const char* m_end = "";  // what ends the markup passed over
    size_t m_endLength = 0;
    size_t m_measured = 0;   // the bytes of the markup kept when last measured
    size_t m_nodes = 0;
    bool m_started = false;  // a byte-order mark at the very start is passed
    int m_line = 1;
    size_t m_byteColumn = 0;
    size_t m_parserColumn = 0;
    std::string m_kept;
    int m_keptRows = 1;
    std::vector<CMark> m_marks;
    bool m_stoodIn = false;
    bool m_tooManyNodes = false;
    // The attributes of the tag, by name, values as the parser reads them.
    std::vector<std::pair<std::string, std::string>> m_values;
};

bool CRootTagSearch::Search(bool ended)
{
    for (;;)
    {
        const size_t left = m_text.size() - m_at;
        if (m_state == State::kOver)
            return true;
        if (m_state == State::kTop)
        {
            if (!m_started)
            {
                if (left < 3 && !ended)
                    return false;
                m_started = true;
                if (CXmlShape::MarkAtStart(m_text.c_str() + m_at) > 0)
                {
                    // The parser passes it as white space, and counts it in no column.
                    m_at += 3;
                    m_followed = m_at;
                    m_byteColumn += 3;
                    continue;
                }
            }
            size_t space = 0;
            while (space < left && (m_text[m_at + space] == ' ' ||
                                    (m_text[m_at + space] >= '\t' && m_text[m_at + space] <= '\r')))
                ++space;
            Pass(space);
            const size_t rest = left - space;
            if (rest == 0 || (m_text[m_at] == '<' && rest < CXmlShape::kLongestOpening && !ended))
            {
                if (!ended)
                    break;
                m_state = State::kOver;
                continue;
            }
            if (m_text[m_at] != '<')
            {
                // Text at the top: the parser stops there, whatever follows.
                m_kept += 'x';
                m_state = State::kOver;
                continue;
            }
            if (++m_nodes > kXmlMaxNodes)
            {
                // Refused as the check would refuse the whole.
                m_tooManyNodes = true;
                m_state = State::kOver;
                continue;
            }
            m_kind = CXmlShape::KindOf(m_text.c_str() + m_at, true);
            if (m_kind == CXmlShape::Markup::kDeclaration || m_kind == CXmlShape::Markup::kElement)
            {
                // Measured from its first byte on.
                m_measured = 0;
                m_state = State::kKeeping;
                continue;
            }
            size_t from = 0;
            m_end = CXmlShape::EndOf(m_kind, from);
            m_endLength = std::strlen(m_end);
            Pass(from);
            m_state = State::kPassing;
            continue;
        }
        if (m_state == State::kPassing)
        {
            const size_t length = m_endLength;
            const char* text = m_text.data();
            const char* found = CXmlShape::FindEnd(text + m_at, text + m_text.size(), m_end);
            if (found)
            {
                Pass(size_t(found - text) + length - m_at);
                StandIn();
                m_state = State::kTop;
                continue;
            }
            if (ended)
            {
                // Never ended: the parser takes the rest for it.
                m_kept += "<!";
                m_state = State::kOver;
                continue;
            }
            // Its end may begin in what is left.
            if (left >= length)
                Pass(left - (length - 1));
            break;
        }
        // Keeping: measured again only once it has doubled, so that a long one costs no more
        // than twice its length however thin the pieces.
        if (!ended && m_measured > 0 && left < 2 * m_measured)
            break;
        m_measured = left;
        CXmlShape shape(m_text.c_str() + m_at, left);
        std::string name;
        bool closed = false;
        std::vector<CXmlShape::CAttribute> attributes;
        const size_t end = m_kind == CXmlShape::Markup::kDeclaration ? shape.MeasureDeclaration()
                                                                     : shape.MeasureStartTag(name, closed, &attributes);
        if (end == 0 && !ended)
            break;
        if (end == 0 || end == std::string::npos)
        {
            // Never ended, or what the parser fails on: kept as far as it goes, for its error.
            Keep(left);
            m_state = State::kOver;
            continue;
        }
        if (m_kind == CXmlShape::Markup::kDeclaration)
        {
            // One that ends is one the parser and the checks read (where they would fail, the
            // walk finds no end), and it holds nothing that matters here.
            Pass(end);
            StandIn();
            m_state = State::kTop;
            continue;
        }
        KeepStartTag(end, attributes);
        // The start tag alone, closed at once, reads as the whole file's root reads.
        if (!closed)
            m_kept += "</" + name + ">";
        m_state = State::kOver;
    }
    Follow();
    m_text.erase(0, m_at);
    m_at = 0;
    m_followed = 0;
    return false;
}

void CRootTagSearch::Follow()
{
    const char* from = m_text.data() + m_followed;
    const char* to = m_text.data() + m_at;
    m_followed = m_at;
    const char* lineStart = from;
    for (const char* p = from; (p = static_cast<const char*>(std::memchr(p, '\n', size_t(to - p)))) != nullptr; ++p)
    {
        ++m_line;
        lineStart = p + 1;
    }
    if (lineStart != from)
    {
        m_byteColumn = 0;
        m_parserColumn = 0;
    }
    m_byteColumn += size_t(to - lineStart);
    m_parserColumn = ParserColumnAfter(lineStart, to, m_parserColumn);
}

void CRootTagSearch::Keep(size_t count, const std::string* as)
{
    Follow();
    CMark mark;
    mark.row = ++m_keptRows;
    mark.padding = m_parserColumn % 4;
    mark.line = m_line;
    mark.byteColumn = m_byteColumn;
    mark.parserColumn = m_parserColumn;
    m_marks.push_back(mark);
    m_kept += '\n';
    m_kept.append(mark.padding, ' ');
    if (as)
        m_kept += *as;
    else
        m_kept.append(m_text, m_at, count);
    m_keptRows += int(as ? CountLines(as->data(), as->data() + as->size())
                         : CountLines(m_text.data() + m_at, m_text.data() + m_at + count));
    Pass(count);
}

void CRootTagSearch::StandIn()
{
    if (!m_stoodIn)
        m_kept += "<!>";
    m_stoodIn = true;
}

void CRootTagSearch::KeepStartTag(size_t end, const std::vector<CXmlShape::CAttribute>& attributes)
{
    const char* tag = m_text.data() + m_at;
    std::unordered_set<std::string_view> names;
    for (size_t i = 0; i < attributes.size(); ++i)
    {
        const CXmlShape::CAttribute& a = attributes[i];
        if (!names.insert(std::string_view(tag + a.name, a.nameEnd - a.name)).second)
        {
            // The parser's error stands after the values before it: they go as spaces to where
            // they end, which it passes over far faster than it reads a value, and are given to
            // the element it leaves as it would have read them.
            KeepValues(attributes.data(), i);
            KeepLayoutOfStartTag(end, attributes);
            return;
        }
    }
    // Each value goes as its lines alone, so that the lines of the tag stay those of the file.
    std::string namesOnly;
    size_t from = 0;
    for (const CXmlShape::CAttribute& a : attributes)
    {
        namesOnly.append(tag + from, a.value - from);
        if (!a.quoted)
            namesOnly += "\"\"";
        namesOnly.append(CountLines(tag + a.value, tag + a.valueEnd), '\n');
        from = a.valueEnd;
    }
    KeepValues(attributes.data(), attributes.size());
    namesOnly.append(tag + from, end - from);
    Keep(end, &namesOnly);
}

void CRootTagSearch::KeepValues(const CXmlShape::CAttribute* attributes, size_t count)
{
    const char* tag = m_text.data() + m_at;
    for (const CXmlShape::CAttribute* a = attributes; a != attributes + count; ++a)
    {
        std::string name(tag + a->name, a->nameEnd - a->name);
        if (!m_wanted || std::find(m_wanted->begin(), m_wanted->end(), name) != m_wanted->end())
            m_values.emplace_back(std::move(name), CXmlShape::ValueOf(tag + a->value, tag + a->valueEnd, a->quoted));
    }
}

void CRootTagSearch::KeepLayoutOfStartTag(size_t end, const std::vector<CXmlShape::CAttribute>& attributes)
{
    // Each value goes as nothing (one character without quotes), and what follows it on a kept
    // line of its own, which Locate tells from where the value ends in the file.
    const size_t tag = m_at;
    size_t from = 0;
    for (const CXmlShape::CAttribute& a : attributes)
    {
        std::string piece(m_text, tag + from, a.value - from);
        size_t past = a.valueEnd;
        if (a.quoted)
            piece += m_text[tag + past++];
        else if (a.valueEnd > a.value)
            piece += 'x';
        Keep(past - from, &piece);
        from = past;
    }
    Keep(end - from);
}

void CRootTagSearch::Locate(int& line, int& column, bool bytes) const
{
    for (auto mark = m_marks.rbegin(); mark != m_marks.rend(); ++mark)
    {
        if (mark->row > line)
            continue;
        if (line == mark->row)
            column = int((bytes ? mark->byteColumn : mark->parserColumn) + size_t(column) - mark->padding);
        line = mark->line + (line - mark->row);
        return;
    }
}

CXmlRead CRootTagSearch::Parse(const CXmlRead& read, TiXmlDocument& document) const
{
    if (m_tooManyNodes)
    {
        CXmlRead refused = read;
        refused.status = XmlReadStatus::kRefused;
        refused.reason = CXmlShape::TooManyNodes();
        return refused;
    }
    CXmlRead parsed = ParseDecoded(m_kept, read, document,
                                   [this](int& line, int& column, bool bytes) { Locate(line, column, bytes); });
    // Also where the parser failed, on the attributes it left on the element.
    if (TiXmlElement* root = document.RootElement())
    {
        for (const auto& [name, value] : m_values)
        {
            if (parsed.IsRead() || root->Attribute(name))
                root->SetAttribute(name, value);
        }
    }
    return parsed;
}
}  // namespace

CXmlRead ReadXmlText(std::string text, TiXmlDocument& document, size_t maxText, const XmlConverterOpener& open)
{
    document.Clear();
    size_t at = 0;
    const XmlByteSource source = [&text, &at](char* buffer, size_t size) {
        const size_t n = std::min(size, text.size() - at);
        std::memcpy(buffer, text.data() + at, n);
        at += n;
        return ssize_t(n);
    };
    std::string decoded;
    decoded.reserve(std::min(text.size(), maxText) + 1);
    const CXmlRead read = DecodeDocument(source, SIZE_MAX, maxText, open, nullptr, decoded);
    if (!read.IsRead())
        return read;
    text.clear();
    text.shrink_to_fit();
    return ParseDecoded(std::move(decoded), read, document);
}

CXmlRead ReadXmlFile(const std::string& path, size_t maxBytes, TiXmlDocument& document)
{
    document.Clear();
    // As TinyXML's own file reader does: the document carries the file's name.
    document.SetValue(path);
    std::string text;
    const CXmlRead read = DecodeFile(path, maxBytes, nullptr, text);
    if (!read.IsRead())
        return read;
    return ParseDecoded(std::move(text), read, document);
}

CXmlRead CheckXmlFile(const std::string& path, size_t maxBytes, const std::atomic<bool>* stop)
{
    std::string text;
    return CheckFile(path, maxBytes, stop, text);
}

CXmlRead ReadXmlRootTag(const std::string& path, size_t maxBytes, TiXmlDocument& document)
{
    return CXmlRootTagReader().Read(path, maxBytes, document);
}

CXmlRead ReadXmlRootTag(const XmlByteSource& source, size_t maxBytes, TiXmlDocument& document)
{
    return CXmlRootTagReader().Read(source, maxBytes, document);
}

CXmlRootTagReader::CXmlRootTagReader(const std::atomic<bool>* stop) : m_stop(stop)
{
}

CXmlRootTagReader::~CXmlRootTagReader() = default;

CXmlRead CXmlRootTagReader::Read(const std::string& path, size_t maxBytes, TiXmlDocument& document,
                                 const std::vector<std::string>* wanted)
{
    document.Clear();
    document.SetValue(path);
    int error = 0;
    FileReadStatus status = FileReadStatus::kRead;
    const int file = OpenFileToRead(path, maxBytes, status, error);
    if (file < 0)
        return NotRead(status, error, maxBytes);
    const CXmlRead read = Read(FileSource(file), maxBytes, document, wanted);
    ::close(file);
    document.SetValue(path);
    return read;
}

CXmlRead CXmlRootTagReader::Read(const XmlByteSource& source, size_t maxBytes, TiXmlDocument& document,
                                 const std::vector<std::string>* wanted)
{
    document.Clear();
    // Bounded as ReadXmlFile bounds the whole file, so that the tag is found wherever it would be.
    CXmlDecoder decoder(maxBytes, maxBytes);
    CRootTagSearch search(m_text, wanted);
    CXmlRead read;
    // A short document is read whole into the first, small piece; a longer one in large ones.
    CXmlPieces pieces(source, kFirstPiece, maxBytes, m_glance, m_stop);
    std::string_view piece;
    bool last = false;
    while (pieces.Next(piece, last))
    {
        const size_t taken = pieces.GetHanded();
        const bool decoded = decoder.Decode(piece.data(), piece.size(), last, search.Text(), read);
        read.converted = decoder.Converts();
        if (!decoded)
            return read;
        if (search.Search(!decoder.IsFull() && (last || decoder.HasEnded())))
            return search.Parse(read, document);
        if (decoder.IsFull())
        {
            read.status = XmlReadStatus::kRefused;
            read.reason = DecodesToMore(decoder.GetMaxText());
            return read;
        }
        if (taken >= m_glance)
            return PastGlance(m_glance);
    }
    if (pieces.Stopped())
        return Stopped();
    if (pieces.TooLarge())
        return NotRead(FileReadStatus::kTooLarge, 0, maxBytes);
    return NotRead(FileReadStatus::kUnreadable, pieces.GetError(), 0);
}

CXmlRead CXmlRootTagReader::Check(const std::string& path, size_t maxBytes)
{
    return CheckXmlFile(path, maxBytes, m_stop);
}

CXmlRead CXmlRootTagReader::ReadWhole(const std::string& path, size_t maxBytes, TiXmlDocument& document,
                                      CXmlRead& verdict, const std::vector<std::string>* wanted)
{
    document.Clear();
    document.SetValue(path);
    std::string text;
    verdict = CheckFile(path, maxBytes, m_stop, text);
    if (!verdict.IsRead())
        return verdict;
    // The text is gone through a piece at a time, as it came, the stop looked at before each.
    CRootTagSearch search(m_text, wanted);
    for (size_t at = 0;; at += kPiece)
    {
        if (m_stop && m_stop->load(std::memory_order_relaxed))
        {
            verdict = Stopped();
            return verdict;
        }
        const bool ended = text.size() - at <= kPiece;
        search.Text().append(text, at, kPiece);
        if (search.Search(ended) || ended)
            break;
    }
    CXmlRead read = search.Parse(verdict, document);
    document.SetValue(path);
    return read;
}

std::string DescribeXmlRead(const std::string& path, const CXmlRead& read)
{
    return "Not read: \"" + path + "\" " + read.reason;
}

std::string DescribeXmlNotice(const std::string& path, const CXmlRead& read)
{
    return "Read: \"" + path + "\" " + read.notice;
}
