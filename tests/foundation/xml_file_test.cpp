#include "foundation/xml_file.h"

#include "foundation/xml_element.h"
#include "tests/support/memory_use.h"
#include "tests/support/utf16_text.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace
{
// The bound of the text the documents below decode to.
constexpr size_t kMaxText = 4 << 20;

std::string Repeat(const std::string& text, size_t times)
{
    std::string out;
    for (size_t i = 0; i < times; ++i)
        out += text;
    return out;
}

std::string Nested(size_t depth)
{
    return Repeat("<a>", depth) + Repeat("</a>", depth);
}

std::string WithAttributes(size_t count)
{
    std::string element = "<a";
    for (size_t i = 0; i < count; ++i)
        element += " x" + std::to_string(i) + "=\"\"";
    return element + "/>";
}

// The element's attributes, names and values, in order.
std::vector<std::pair<std::string, std::string>> Attributes(const TiXmlElement& element)
{
    std::vector<std::pair<std::string, std::string>> attributes;
    for (const TiXmlAttribute* a = element.FirstAttribute(); a; a = a->Next())
        attributes.emplace_back(a->Name(), a->Value());
    return attributes;
}

// A converter that takes bytes as they stand, a call at a time as the C library's does, and gives
// each followed by spaces; past its first taken bytes it may stop taking any for a number of calls,
// answering "output full" with the bytes it repeats, before it goes on.
class CFakeConverter : public CXmlConverter
{
public:
    CFakeConverter(size_t spaces, size_t taken, size_t stalls, std::string repeated)
        : m_spaces(spaces), m_taken(taken), m_stalls(stalls), m_repeated(std::move(repeated))
    {
    }

    int Convert(char*& in, size_t& inLeft, char*& out, size_t& outLeft) override
    {
        while (inLeft > 0)
        {
            if (m_taken == 0 && m_stalls > 0)
            {
                --m_stalls;
                const size_t n = std::min(outLeft, m_repeated.size());
                std::memcpy(out, m_repeated.data(), n);
                out += n;
                outLeft -= n;
                return E2BIG;
            }
            if (outLeft < 1 + m_spaces)
                return E2BIG;
            *out++ = *in++;
            std::memset(out, ' ', m_spaces);
            out += m_spaces;
            outLeft -= 1 + m_spaces;
            --inLeft;
            m_taken -= m_taken > 0 ? 1 : 0;
        }
        return 0;
    }

    int Flush(char*&, size_t&) override { return 0; }

private:
    size_t m_spaces;
    size_t m_taken;
    size_t m_stalls;
    std::string m_repeated;
};

XmlConverterOpener FakeConverter(size_t spaces, size_t taken = 0, size_t stalls = 0, std::string repeated = "")
{
    return [=](const std::string&) { return std::make_unique<CFakeConverter>(spaces, taken, stalls, repeated); };
}

// A document that counts the bytes the parser is handed.
class CCountingDocument : public TiXmlDocument
{
public:
    const char* Parse(const char* text, TiXmlParsingData* data, TiXmlEncoding encoding) override
    {
        handed += text ? std::strlen(text) : 0;
        return TiXmlDocument::Parse(text, data, encoding);
    }

    size_t handed = 0;
};

// A document of parts, each given a number of times, handed out as a file is read, in pieces of
// at most the given size: counts the bytes handed out, and the most the heap held beyond what it
// held at the start whenever the reader asked for more.
class CCountingSource
{
public:
    CCountingSource(std::vector<std::pair<std::string, size_t>> parts, size_t piece)
        : m_parts(std::move(parts)), m_piece(piece), m_heap(HeapInUse())
    {
    }

    ssize_t operator()(char* buffer, size_t size)
    {
        m_held = std::max(m_held, HeapInUse() - std::min(m_heap, HeapInUse()));
        size_t given = 0;
        size = std::min(size, m_piece);
        while (given < size && m_part < m_parts.size())
        {
            const std::string& text = m_parts[m_part].first;
            const size_t n = std::min(size - given, text.size() - m_at);
            std::memcpy(buffer + given, text.data() + m_at, n);
            given += n;
            m_at += n;
            if (m_at == text.size())
            {
                m_at = 0;
                if (++m_times == m_parts[m_part].second)
                    m_times = 0, ++m_part;
            }
        }
        m_given += given;
        return ssize_t(given);
    }

    size_t Given() const { return m_given; }
    size_t HeapHeld() const { return m_held; }

private:
    std::vector<std::pair<std::string, size_t>> m_parts;
    size_t m_piece;
    size_t m_heap;
    size_t m_part = 0;
    size_t m_times = 0;
    size_t m_at = 0;
    size_t m_given = 0;
    size_t m_held = 0;
};
}  // namespace

TEST(XmlFile, DocumentsBeyondTheLimitsAreRefusedBeforeTheParserSeesThem)
{
    struct
    {
        const char* what;
        std::string text;
        XmlReadStatus status;
        const char* reason;
        XmlConverterOpener converter = nullptr;
    } const rows[] = {
        {"as deep as allowed", Nested(kXmlMaxDepth), XmlReadStatus::kRead, ""},
        {"one level deeper", Nested(kXmlMaxDepth + 1), XmlReadStatus::kRefused,
         "nests its elements deeper than 64 levels"},
        {"deep and never closed", Repeat("<a>", 100000), XmlReadStatus::kRefused, "deeper than 64"},
        // The parser passes U+FFFE at the start as white space: what follows is held to the limits.
        {"deep behind a reversed byte-order mark", "\xEF\xBF\xBE" + Repeat("<a>", 100000), XmlReadStatus::kRefused,
         "deeper than 64"},
        // The parser would take "&#" up to the next ';' for one character, end tags and all; an
        // '&' that begins no reference is read as written instead.
        {"no end tags hidden in a character reference", "<r>" + Repeat("<a>&#</a>#5;", 100) + "</r>",
         XmlReadStatus::kRead, ""},
        // A declaration's quoted value may hold '>' and end tags.
        {"end tags hidden in a declaration", Repeat("<r><?xml version=\"></r>\" ?>", 100),
         XmlReadStatus::kRefused, "deeper than 64"},
        {"as many attributes as allowed", WithAttributes(kXmlMaxAttributes), XmlReadStatus::kRead, ""},
        {"one attribute more", WithAttributes(kXmlMaxAttributes + 1), XmlReadStatus::kRefused,
         "gives an element more than 64 attributes"},
        {"too many elements", "<r>" + Repeat("<a/>", kXmlMaxNodes) + "</r>", XmlReadStatus::kRefused,
         "holds more than 200000 tags and texts"},
        // What the parser keeps for each is far more than what it takes to write it.
        {"as many attributes in all as allowed", Repeat(WithAttributes(kXmlMaxAttributes), kXmlMaxAttributesInAll / 64),
         XmlReadStatus::kRead, ""},
        {"one attribute more in all", "<r>" + Repeat(WithAttributes(kXmlMaxAttributes), kXmlMaxAttributesInAll / 64) +
                                          "<a b=''/></r>",
         XmlReadStatus::kRefused, "gives its elements more than 200000 attributes in all"},
        {"as many lone '&' as allowed", "<r>" + Repeat("&", kXmlMaxRawAmpersands) + "</r>", XmlReadStatus::kRead, ""},
        {"one lone '&' more", "<r a='&'>" + Repeat("&", kXmlMaxRawAmpersands) + "</r>", XmlReadStatus::kRefused,
         "holds more than 100000 '&' that begin no reference"},
        {"ends inside a UTF-8 character", "<?xml version=\"1.0\" ?>\n<a b=\"B\xc3\xbchne \xe2\x82",
         XmlReadStatus::kMalformed, "is not well-formed XML: "},
        {"not XML", "hello", XmlReadStatus::kMalformed, "is not well-formed XML: "},
        // What the parser would silently change refuses the document, with its line.
        {"a '<' that begins no tag", "<a>\n<b>x < y</b></a>", XmlReadStatus::kMalformed,
         "a \"<\" that begins no tag (line 2, column 6)"},
        {"a reference to no character", "<a>\n\n<b t=\"&#xD800;\"/></a>", XmlReadStatus::kMalformed,
         "a reference to no character, \"&#xD800;\" (line 3, column 7)"},
        {"a reference past the last character", "<a>&#1114112;</a>", XmlReadStatus::kMalformed, "(line 1"},
        {"a NUL by reference", "<a>&#0;</a>", XmlReadStatus::kMalformed, "no character"},
        {"a long reference to no character", "<a>&#" + std::string(1 << 20, '0') + ";</a>", XmlReadStatus::kMalformed,
         "a reference to no character, \"&#00000000000000...\" (line 1, column 4)"},
        {"an encoding nobody knows", "<?xml version=\"1.0\" encoding=\"x-martian\"?><a/>",
         XmlReadStatus::kUndecodable, "is in the encoding \"x-martian\", which the program does not know"},
        {"bytes that are not in the declared encoding",
         "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\n<a label=\"\x81 \"/>", XmlReadStatus::kUndecodable,
         "is not in its encoding \"Shift_JIS\" (line 2)"},
        {"UCS-4 in an order nobody converts", std::string("\0\0<\0\0\0a\0\0\0/\0\0\0>\0", 16),
         XmlReadStatus::kUndecodable, "is in UCS-4 of a byte order the program cannot read"},
        // A converter call must take input or give output; one that does neither with all the
        // room it could want (and would go on only after a thousand calls) is a document not in
        // its encoding. One that gives without taking is held by the bound.
        {"a converter that stops taking input", "<?xml version=\"1.0\" encoding=\"x-stuck\"?><a>" + Repeat("b", 100) + "</a>",
         XmlReadStatus::kUndecodable, "is not in its encoding \"x-stuck\"", FakeConverter(0, 45, 1000)},
        {"a converter that repeats itself at output full",
         "<?xml version=\"1.0\" encoding=\"x-stuck\"?><a>" + Repeat("b", 100) + "</a>", XmlReadStatus::kRefused,
         "decodes to more than 4 MB of text", FakeConverter(0, 45, SIZE_MAX, Repeat("\xe3\x82\x9a", 1000))},
        // The C library's own lose their place where their output fills between the two
        // characters of KA with the semi-voiced mark, as 16 KB of them filled it.
        {"EUC-JISX0213 that makes two characters of a byte pair",
         "<?xml version=\"1.0\" encoding=\"EUC-JISX0213\"?><a>" + Repeat("\xa4\xf7", 8000) + "</a>",
         XmlReadStatus::kRead, ""},
        {"Shift_JISX0213 that makes two characters of a byte pair",
         "<?xml version=\"1.0\" encoding=\"SHIFT_JISX0213\"?><a>" + Repeat("\x82\xf5", 8000) + "</a>",
         XmlReadStatus::kRead, ""},
        // What a converter makes of each slice is weighed as it is made.
        {"a converter that makes 8 KB of each byte", "<?xml version=\"1.0\" encoding=\"x-wide\"?><a>" + Repeat("b", 1000) + "</a>",
         XmlReadStatus::kRefused, "decodes to more than 4 MB of text", FakeConverter(8191)},
    };
    for (const auto& row : rows)
    {
        TiXmlDocument document;
        const CXmlRead read = ReadXmlText(row.text, document, kMaxText, row.converter);
        EXPECT_EQ(read.status, row.status) << row.what;
        EXPECT_NE(read.reason.find(row.reason), std::string::npos) << row.what << ": " << read.reason;
        EXPECT_LE(read.text, kMaxText + 65536) << row.what;
        if (row.status == XmlReadStatus::kRefused)
        {
            EXPECT_EQ(document.FirstChild(), nullptr) << row.what;
        }
    }
}

TEST(XmlFile, TextIsDecodedOnceByWhatTheFileSaysAndKeptAsWritten)
{
    // Japanese, a smiling face and the euro sign.
    const std::string references = "&#x65E5;&#x672C; &#x263A; &#x20AC;";
    const std::string decoded = "\xe6\x97\xa5\xe6\x9c\xac \xe2\x98\xba \xe2\x82\xac";
    struct
    {
        std::string input;
        const char* label;
        const char* text;
        // What the log is told the reader set right.
        const char* notice = "";
    } const rows[] = {
        {"<a label=\"B\xc3\xbchne\"/>", "B\xc3\xbchne", ""},
        // Bytes that are no UTF-8 are Windows-1252: Latin-1 letters, and a euro sign and quotes.
        {"<a label=\"Caf\xe9\"/>", "Caf\xc3\xa9", ""},  // the byte hid the closing quote
        {"<a label=\"\x80 \x93x\x94\"/>", "\xe2\x82\xac \xe2\x80\x9cx\xe2\x80\x9d", ""},
        {"<a label=\"\xe2\x82\"/>", "\xc3\xa2\xe2\x80\x9a", ""},   // a character cut short
        {"<a label=\"\xed\xa0\xbf\"/>", "\xc3\xad\xc2\xa0\xc2\xbf", ""},  // no surrogates
        {"\xef\xbb\xbf<a label=\"x\xef\xbb\xbfy\"/>", "x\xef\xbf\xbdy", ""},  // a mark past the start
        {"<a label=\"x\r\ny\ry\"/>", "x\ny\ny", ""},
        // References decode to the same characters with no declaration, UTF-8 or Latin-1.
        {"<a label=\"" + references + "\">" + references + "</a>", decoded.c_str(), decoded.c_str()},
        {"<?xml version=\"1.0\" encoding=\"UTF-8\"?><a label=\"" + references + "\"/>", decoded.c_str(), ""},
        {"<?xml version=\"1.0\" encoding=\"ISO-8859-1\" ?>\n<a label=\"" + references + "\">" + references + "</a>",
         decoded.c_str(), decoded.c_str()},
        // A declared single-byte file is read byte by byte, whatever UTF-8 its bytes spell.
        {"<?xml version='1.0' encoding='iso-8859-1'?><a label=\"\xc3\xa9 \x80\"/>", "\xc3\x83\xc2\xa9 \xe2\x82\xac",
         ""},
        {"<?xml version=\"1.0\" encoding=\"windows-1250\"?><a label=\"\x8a\xe8\"/>", "\xc5\xa0\xc4\x8d", ""},
        // UTF-16 as its byte-order mark says, or without one as its first characters say.
        {std::string("\xff\xfe<\0a\0 \0l\0a\0b\0e\0l\0=\0\"\0\xac\x20\"\0/\0>\0", 30), "\xe2\x82\xac", ""},
        {Utf16("<?xml version=\"1.0\" encoding=\"UTF-16\"?>\n<a label=\"&#x20AC;\">x</a>", false), "\xe2\x82\xac", "x"},
        {Utf16("<a label=\"B\"/>", false, true), "B", ""},
        // A declaration the bytes contradict gives way to them, whatever the length.
        {"<?xml version=\"1.0\" encoding=\"utf-16\"?><a label=\"B\xc3\xbchne\"/>", "B\xc3\xbchne", "",
         "declares the encoding \"utf-16\", but its first characters say single bytes: read as UTF-8"},
        {"<?xml version=\"1.0\" encoding=\"UTF-16\" ?><a label=\"B\xc3\xbchne\"/>", "B\xc3\xbchne", "", "UTF-16"},
        {Utf16("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a label=\"x\"/>"), "x", "",
         "declares the encoding \"ISO-8859-1\", but its byte-order mark says UTF-16: read as UTF-16"},
        {"\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a label=\"B\xc3\xbchne\"/>", "B\xc3\xbchne", "",
         "its byte-order mark says UTF-8: read as UTF-8"},
        // An '&' that begins no reference is kept as written, and so is a '<' in a value.
        {"<a label=\"Sound & Light &nbsp;&#x;&#X41; &amp; <3\">A & B<![CDATA[ & C]]></a>",
         "Sound & Light &nbsp;&#x;&#X41; & <3", "A & B & C"},
        // The whole text: every text and CDATA part, comments and instructions passed over.
        {"<a>AB<!-- c -->CD<![CDATA[EF]]><?pi x?>GH<b>no</b>IJ</a>", "", "ABCDEFGHIJ"},
    };
    for (const auto& row : rows)
    {
        TiXmlDocument document;
        const CXmlRead read = ReadXmlText(row.input, document, kMaxText);
        ASSERT_TRUE(read.IsRead()) << row.input << ": " << read.reason;
        const TiXmlElement* a = document.FirstChildElement("a");
        ASSERT_NE(a, nullptr) << row.input;
        EXPECT_EQ(a->Attribute("label") ? a->Attribute("label") : "", std::string(row.label)) << row.input;
        EXPECT_EQ(XmlText(a), row.text) << row.input;
        EXPECT_EQ(read.notice.empty(), !*row.notice) << row.input << ": " << read.notice;
        EXPECT_NE(read.notice.find(row.notice), std::string::npos) << row.input << ": " << read.notice;
    }
}

TEST(XmlFile, FilesAreReadWithinTheirSizeAndNeverWaitedFor)
{
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / ("xml_file_test_" + std::to_string(getpid()));
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    const std::string small = (folder / "small.xml").string();
    std::ofstream(small) << "<a>x</a>";
    TiXmlDocument document;
    EXPECT_TRUE(ReadXmlFile(small, 8, document).IsRead());
    EXPECT_EQ(document.ValueStr(), small);
    // A value that does not read is logged with the file it came from.
    EXPECT_EQ(DescribeXmlValue(*document.RootElement(), "index", "3x"), "\"" + small + "\": a index=\"3x\"");
    // A long one by its start, cut between characters, and its length.
    EXPECT_EQ(DescribeXmlValue(*document.RootElement(), nullptr, std::string(63, 'A') + "\u00e9" + std::string(998, 'B')),
              "\"" + small + "\": a \"" + std::string(63, 'A') + "... (1063 bytes)\"");

    const CXmlRead large = ReadXmlFile(small, 7, document);
    EXPECT_EQ(large.status, XmlReadStatus::kRefused);
    EXPECT_EQ(DescribeXmlRead(small, large), "Not read: \"" + small + "\" is larger than 7 bytes");
    const std::string huge = (folder / "huge.xml").string();
    std::ofstream(huge).close();
    std::filesystem::resize_file(huge, 100u << 20);
    EXPECT_EQ(ReadXmlFile(huge, 1 << 20, document).reason, "is larger than 1 MB");
    EXPECT_EQ(ReadXmlRootTag(huge, 1 << 20, document).reason, "is larger than 1 MB");

    // A pipe in a file's place would hold a reader that waits for its writer.
    const std::string pipe = (folder / "pipe.xml").string();
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    EXPECT_EQ(ReadXmlFile(pipe, 1 << 20, document).reason, "is not a regular file");
    EXPECT_EQ(ReadXmlRootTag(pipe, 1 << 20, document).reason, "is not a regular file");
    EXPECT_EQ(ReadXmlFile((folder / "none.xml").string(), 1 << 20, document).status, XmlReadStatus::kMissing);
    EXPECT_EQ(ReadXmlFile(folder.string(), 1 << 20, document).status, XmlReadStatus::kUnreadable);

    // Stopped from outside, a read or a check ends before its next piece, whatever the file holds.
    const std::string longFile = (folder / "long.xml").string();
    std::ofstream(longFile) << "<!--" << std::string(8 << 20, 'x') << "--><a/>";
    std::atomic<bool> stop{true};
    CXmlRootTagReader stopped(&stop);
    EXPECT_EQ(stopped.Read(longFile, 16 << 20, document).status, XmlReadStatus::kStopped);
    EXPECT_EQ(stopped.Check(longFile, 16 << 20).status, XmlReadStatus::kStopped);
    EXPECT_EQ(CheckXmlFile(longFile, 16 << 20, &stop).status, XmlReadStatus::kStopped);
    stop = false;
    EXPECT_TRUE(stopped.Check(longFile, 16 << 20).IsRead());
    std::filesystem::remove_all(folder);
}

TEST(XmlFile, ARootTagIsReadFromEachByteOnceHoldingLittleOfWhatStandsBeforeIt)
{
    const std::string line = "\t< \xc3\xa9 -- >" + std::string(52, 'x') + "\r\n";  // 64 bytes
    const size_t megabyte = 1 << 20;
    const std::string declaration = "<?xml version=\"1.0\"?>\n<!--\n";
    const std::string show = "-->\n<show readonly=\"true\"><fixtures/></show>";
    struct
    {
        const char* what;
        std::vector<std::pair<std::string, size_t>> parts;
        size_t piece;
        XmlReadStatus status;
        const char* reason;  // or the root found
        size_t read;         // the bytes it may read at most
        size_t most = 32 * megabyte;  // the bytes of the file, and of its text, the reader takes
    } const rows[] = {
        {"behind a comment of 3 MB", {{declaration, 1}, {line, 3 * megabyte / 64}, {show, 1}}, 65536,
         XmlReadStatus::kRead, "show", 3 * megabyte + 4096},
        {"read as thin pieces come", {{declaration, 1}, {line, 1000}, {show, 1}}, 7, XmlReadStatus::kRead, "show",
         64000 + 1024},
        // As far as the reader of the whole file reads, however it is encoded.
        {"behind a comment of 31 MB", {{declaration, 1}, {line, 31 * megabyte / 64}, {show, 1}}, 65536,
         XmlReadStatus::kRead, "show", 31 * megabyte + 65536},
        {"behind a converted comment of 2 MB",
         {{"<?xml version=\"1.0\" encoding=\"TSCII\"?>\n<!--\n", 1}, {Repeat("x", 63) + "\n", 2 * megabyte / 64},
          {show, 1}},
         65536, XmlReadStatus::kRead, "show", 2 * megabyte + 65536},
        // Refused where the reader refuses: in TSCII the byte 0x82 is 12 bytes of text.
        {"behind a converted comment past the text's bound",
         {{"<?xml version=\"1.0\" encoding=\"TSCII\"?>\n<!--\n", 1}, {Repeat("\x82", 64), megabyte / 64}, {show, 1}},
         65536, XmlReadStatus::kRefused, "decodes to more than 1 MB of text", megabyte / 12 + 2 * 65536, megabyte},
        {"a declaration of 1 MB", {{"<?xml version=\"", 1}, {Repeat("x", 64), megabyte / 64}, {"\"?>" + show.substr(4), 1}},
         65536, XmlReadStatus::kRead, "show", megabyte + 65536},
        // White space first, however long, reads as it reads whole: here no root follows it.
        {"2 MB of white space first", {{"\r\n\t ", megabyte / 2}, {show, 1}}, 65536, XmlReadStatus::kMalformed,
         "is not well-formed XML: Error document empty.", 2 * megabyte + 65536},
        // However much markup stands before the tag, it leaves the parser one node in its place.
        {"behind 199,990 empty comments", {{"<?xml version=\"1.0\"?>", 1}, {"<!---->", 199990}, {show.substr(4), 1}},
         65536, XmlReadStatus::kRead, "show", 1500000},
        {"behind declarations and instructions", {{"<?xml?><?pi?>", 99990}, {show.substr(4), 1}}, 65536,
         XmlReadStatus::kRead, "show", 1400000},
        {"a root attribute of 1 MB", {{"<show label=\"", 1}, {line, megabyte / 64}, {"\"" + show.substr(9), 1}}, 65536,
         XmlReadStatus::kRead, "show", megabyte + 65536},
        {"a root attribute of 1 MB whose name is given again",
         {{"<show label=\"", 1}, {line, megabyte / 64}, {"\" label=\"\"" + show.substr(9), 1}}, 65536,
         XmlReadStatus::kMalformed, "is not well-formed XML: Error parsing Element. (line 16385, column 3)",
         megabyte + 65536},
    };
    for (const auto& row : rows)
    {
        CCountingSource source(row.parts, row.piece);
        CCountingDocument document;
        const CXmlRead read = ReadXmlRootTag(std::ref(source), row.most, document);
        EXPECT_EQ(read.status, row.status) << row.what << ": " << read.reason;
        if (row.status == XmlReadStatus::kRead)
        {
            ASSERT_NE(document.RootElement(), nullptr) << row.what;
            EXPECT_EQ(document.RootElement()->ValueStr(), row.reason) << row.what;
            EXPECT_STREQ(document.RootElement()->Attribute("readonly"), "true") << row.what;
            EXPECT_EQ(document.RootElement()->FirstChild(), nullptr) << row.what;
            size_t nodes = 0;
            for (const TiXmlNode* node = document.FirstChild(); node; node = node->NextSibling())
                ++nodes;
            EXPECT_LE(nodes, 2u) << row.what;
        }
        else
        {
            EXPECT_EQ(read.reason, row.reason) << row.what;
        }
        EXPECT_LE(source.Given(), row.read) << row.what;
        EXPECT_LT(source.HeapHeld(), 4 * megabyte) << row.what;
        // The tag's values are read without the parser, which reads them ten times slower.
        EXPECT_LT(document.handed, 65536u) << row.what;
    }
}

TEST(XmlFile, ARootTagBehindALongStartIsToldAsTheWholeFileTellsIt)
{
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / ("xml_root_test_" + std::to_string(getpid()));
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    const std::string lines = "<!--" + Repeat("\t\xe2\x82\xac x\r\n", 40000) + "-->";
    // What stands before an error on its line counts in its column: bytes for the checks,
    // characters and tab stops for the parser.
    const std::string rows[] = {
        lines + "\t<!--\xc3\xa9\t-->\t <show\tlabel=\"a\"\tb>",
        lines + "<?pi \xc3\xa9?>\t<show\n\tlabel=\"&#xD800;\">",
        lines + "\r\n  <?xml version=\"&#0;\"?><show/>",
        lines + "<?xml version=\"1.0\"?>\t<!DOCTYPE show>\xef\xbb\xbf<show/>",
        "\xEF\xBB\xBF" + lines + "\t<show a=\"1\" b=\"2\" c/>",
        Utf16(lines.substr(0, 1000) + "-->\t<show a=\"1\" b>", false),
        // The text ends at a NUL, 64 KB in, before bytes that are no UTF-16 (a lone low surrogate)
        // in the next piece of the whole file's and the same piece of the tag's reading.
        Utf16("<!--" + std::string(32700, 'x') + '\0' + std::string(100, 'x')) + std::string("\x00\xdc", 2) +
            Utf16("--><show/>", false),
        lines + "\t<show application=\"Tanzo\" label='a > b'><a/></show>",
        // Values as the parser reads them, whichever way they are written.
        lines + "\t<show a=\"x &amp; &#x41;&#0066;&lt;\r\n&quot;'\xc3\xa9\" b='Sound & Light &#' c=plain&amp; d=\"\"/>",
        // A name given twice, after values over lines and tabs.
        lines + "\t<show a=\"1\n\t2\" b=\"\" a=\"3\">",
        lines + "\t<show a='\t\t' b=\"\xc3\xa9\" b=''>",
        lines + "\t<show c=plain&amp;\tb=\"\xc3\xa9\t\"d='x\ny'\t\xc3\xa9=\"\" c=\"\">",
    };
    for (const std::string& text : rows)
    {
        const std::string path = (folder / "a.xml").string();
        std::ofstream(path, std::ios::binary) << text;
        TiXmlDocument whole;
        TiXmlDocument start;
        const CXmlRead all = ReadXmlText(text, whole, kMaxText);
        const CXmlRead tag = ReadXmlRootTag(path, 1 << 20, start);
        const std::string at = text.substr(text.size() - 40);
        EXPECT_EQ(tag.status, all.status) << at;
        EXPECT_EQ(tag.reason, all.reason) << at;
        EXPECT_EQ(tag.line, all.line) << at;
        EXPECT_EQ(tag.column, all.column) << at;
        EXPECT_EQ(start.RootElement() != nullptr, whole.RootElement() != nullptr) << at;
        if (start.RootElement() && whole.RootElement())
        {
            EXPECT_EQ(Attributes(*start.RootElement()), Attributes(*whole.RootElement())) << at;
        }
    }
    std::filesystem::remove_all(folder);
}

TEST(XmlFile, ACharacterOfTwoCodePointsDecodesWhereverItStands)
{
    // KA with the semi-voiced mark, one byte pair for two characters, in a label of ASCII, its
    // first byte at every offset around 16 KB of text, where a converter's output may fill (the
    // C library keeps some 16,000 characters between the steps of a conversion), and around
    // 20 KB, the same for the root-tag reader, which decodes the file's first 4 KB alone.
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / ("xml_jis_test_" + std::to_string(getpid()));
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    const std::string path = (folder / "a.xml").string();
    struct
    {
        const char* what;
        std::function<CXmlRead(TiXmlDocument&)> read;
        bool label;  // the document holds the root's label
    } const readers[] = {
        {"ReadXmlFile", [&](TiXmlDocument& document) { return ReadXmlFile(path, 1 << 20, document); }, true},
        {"ReadXmlRootTag", [&](TiXmlDocument& document) { return ReadXmlRootTag(path, 1 << 20, document); }, true},
        {"CheckXmlFile", [&](TiXmlDocument&) { return CheckXmlFile(path, 1 << 20); }, false},
    };
    const std::pair<const char*, const char*> encodings[] = {{"EUC-JISX0213", "\xa4\xf7"}, {"SHIFT_JISX0213", "\x82\xf5"}};
    for (const auto& [encoding, ka] : encodings)
    {
        const std::string start = std::string("<?xml version=\"1.0\" encoding=\"") + encoding + "\"?>\n<show label=\"";
        for (const size_t end : {16384, 4096 + 16384})
        {
            for (size_t at = end - 96; at < end + 16; ++at)
            {
                const std::string label = std::string(at - start.size(), 'a') + "\xe3\x81\x8b\xe3\x82\x9a" + "bc";
                std::ofstream(path, std::ios::binary | std::ios::trunc)
                    << start << std::string(at - start.size(), 'a') << ka << "bc\"/>";
                for (const auto& reader : readers)
                {
                    TiXmlDocument document;
                    const CXmlRead read = reader.read(document);
                    ASSERT_TRUE(read.IsRead()) << reader.what << " " << encoding << " at " << at << ": " << read.reason;
                    if (reader.label)
                    {
                        const TiXmlElement* root = document.RootElement();
                        const char* value = root ? root->Attribute("label") : nullptr;
                        ASSERT_TRUE(value && value == label) << reader.what << " " << encoding << " at " << at;
                    }
                }
            }
        }
    }
    std::filesystem::remove_all(folder);
}
