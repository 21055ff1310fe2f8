#include "foundation/xml_file.h"

#include "foundation/file_helpers.h"
#include "foundation/xml_decoder.h"
#include "foundation/xml_shape.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <vector>

namespace
{
// The first read of a file, which holds the root's start tag of nearly every document, and each
// read after it.
constexpr size_t kFirstPiece = 4096;
constexpr size_t kPiece = 64 * 1024;

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
// CXmlDecoder makes it), keeping only what the parser needs of what stands before it: each
// declaration and the tag as written, and a short stand-in ("<!>") for each comment, CDATA
// section or other markup it passes over, so that the parser finds in what is kept what it would
// find in the whole text, limits and errors alike, and the line and column of an error are those
// in the file.
class CRootTagSearch
{
public:
    // Where the next piece of text goes.
    std::string& Text() { return m_text; }
    // Goes through the text given so far. True once the search is over: the tag was found, the
    // document cannot have one, or the text has ended (ended: no more text comes).
    bool Search(bool ended);
    // The bytes held: what is kept, and the markup being read.
    size_t GetHeld() const { return m_kept.size() + (m_state == State::kKeeping ? m_text.size() : 0); }
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

    // Moves past the next count bytes of the text, following the line and columns.
    void Pass(size_t count);
    // Keeps the first count bytes of the text, on a line of their own; their first line keeps
    // its columns as the parser counts them, to the next multiple of four.
    void Keep(size_t count);
    void Locate(int& line, int& column, bool bytes) const;

    std::string m_text;
    size_t m_at = 0;  // where the text not yet gone through begins
    State m_state = State::kTop;
    CXmlShape::Markup m_kind = CXmlShape::Markup::kOther;
    const char* m_end = "";  // what ends the markup passed over
    size_t m_measured = 0;   // the bytes of the markup kept when last measured
    size_t m_nodes = 0;
    bool m_started = false;  // a byte-order mark at the very start is passed
    int m_line = 1;
    size_t m_byteColumn = 0;
    size_t m_parserColumn = 0;
    std::string m_kept;
    int m_keptRows = 1;
    std::vector<CMark> m_marks;
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
                m_kept += "<!>";  // for the check to refuse the document as it would the whole
                m_state = State::kOver;
                continue;
            }
            m_kind = CXmlShape::KindOf(m_text.c_str() + m_at, true);
            if (m_kind == CXmlShape::Markup::kDeclaration || m_kind == CXmlShape::Markup::kElement)
            {
                // Measured from its first byte on.
                m_text.erase(0, m_at);
                m_at = 0;
                m_measured = 0;
                m_state = State::kKeeping;
                continue;
            }
            size_t from = 0;
            m_end = CXmlShape::EndOf(m_kind, from);
            Pass(from);
            m_state = State::kPassing;
            continue;
        }
        if (m_state == State::kPassing)
        {
            const size_t length = std::strlen(m_end);
            const size_t found = m_text.find(m_end, m_at);
            if (found != std::string::npos)
            {
                Pass(found + length - m_at);
                m_kept += "<!>";
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
        if (!ended && m_measured > 0 && m_text.size() < 2 * m_measured)
            return false;
        m_measured = m_text.size();
        CXmlShape shape(m_text);
        std::string name;
        bool closed = false;
        const size_t end = m_kind == CXmlShape::Markup::kDeclaration ? shape.MeasureDeclaration()
                                                                     : shape.MeasureStartTag(name, closed);
        if (end == 0 && !ended)
            return false;
        if (end == 0 || end == std::string::npos)
        {
            // Never ended, or what the parser fails on: kept as far as it goes, for its error.
            Keep(m_text.size());
            m_state = State::kOver;
            continue;
        }
        Keep(end);
        if (m_kind == CXmlShape::Markup::kDeclaration)
        {
            m_state = State::kTop;
            continue;
        }
        // The start tag alone, closed at once, reads as the whole file's root reads.
        if (!closed)
            m_kept += "</" + name + ">";
        m_state = State::kOver;
    }
    m_text.erase(0, m_at);
    m_at = 0;
    return false;
}

void CRootTagSearch::Pass(size_t count)
{
    const char* from = m_text.data() + m_at;
    const char* to = from + count;
    m_at += count;
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
    for (const char* p = lineStart; p < to; ++p)
    {
        if (*p == '\t')
            m_parserColumn = (m_parserColumn / 4 + 1) * 4;
        else if ((static_cast<unsigned char>(*p) & 0xC0) != 0x80)
            ++m_parserColumn;
    }
}

void CRootTagSearch::Keep(size_t count)
{
    CMark mark;
    mark.row = ++m_keptRows;
    mark.padding = m_parserColumn % 4;
    mark.line = m_line;
    mark.byteColumn = m_byteColumn;
    mark.parserColumn = m_parserColumn;
    m_marks.push_back(mark);
    m_kept += '\n';
    m_kept.append(mark.padding, ' ');
    m_kept.append(m_text, m_at, count);
    m_keptRows += int(std::count(m_text.begin() + std::ptrdiff_t(m_at), m_text.begin() + std::ptrdiff_t(m_at + count), '\n'));
    Pass(count);
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
    return ParseDecoded(m_kept, read, document,
                        [this](int& line, int& column, bool bytes) { Locate(line, column, bytes); });
}
}  // namespace

CXmlRead ReadXmlText(std::string text, TiXmlDocument& document)
{
    CXmlRead read;
    document.Clear();
    CXmlDecoder decoder;
    std::string decoded;
    if (!decoder.Decode(text.data(), text.size(), true, decoded, read))
        return read;
    text.clear();
    text.shrink_to_fit();
    return ParseDecoded(std::move(decoded), read, document);
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
    int error = 0;
    FileReadStatus status = FileReadStatus::kRead;
    const int file = OpenFileToRead(path, maxBytes, status, error);
    if (file < 0)
        return NotRead(status, error, maxBytes);
    const CXmlRead read = ReadXmlRootTag(
        [file](char* buffer, size_t size) {
            for (;;)
            {
                const ssize_t got = ::read(file, buffer, size);
                if (got >= 0 || errno != EINTR)
                    return got;
            }
        },
        document);
    ::close(file);
    document.SetValue(path);
    return read;
}

CXmlRead ReadXmlRootTag(const XmlByteSource& source, TiXmlDocument& document)
{
    document.Clear();
    CXmlDecoder decoder;
    CRootTagSearch search;
    CXmlRead read;
    // A short document is read whole into the first, small piece; a longer one in large ones.
    char first[kFirstPiece];
    std::unique_ptr<char[]> large;
    size_t taken = 0;
    for (size_t size = kFirstPiece;;)
    {
        char* const piece = size == kFirstPiece ? first : large.get();
        const ssize_t got = source(piece, size);
        if (got < 0)
            return NotRead(FileReadStatus::kUnreadable, errno, 0);
        taken += size_t(got);
        if (!decoder.Decode(piece, size_t(got), got == 0, search.Text(), read))
            return read;
        if (search.Search(got == 0 || decoder.HasEnded()))
            return search.Parse(read, document);
        if (taken >= kXmlRootTagReach || search.GetHeld() > kXmlRootTagKept)
        {
            read.status = XmlReadStatus::kRefused;
            read.reason = taken >= kXmlRootTagReach
                              ? "gives no start tag of its root element within its first " + SizeText(kXmlRootTagReach)
                              : "has declarations or a root start tag longer than " + SizeText(kXmlRootTagKept);
            return read;
        }
        if (size == kFirstPiece && (size_t(got) == kFirstPiece || taken > size_t(got)))
        {
            large.reset(new char[kPiece]);
            size = kPiece;
        }
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
