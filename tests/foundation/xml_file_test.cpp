#include "foundation/xml_file.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace
{
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
}  // namespace

TEST(XmlFile, DocumentsBeyondTheLimitsAreRefusedBeforeTheParserSeesThem)
{
    struct
    {
        const char* what;
        std::string text;
        XmlReadStatus status;
        const char* reason;
    } const rows[] = {
        {"as deep as allowed", Nested(kXmlMaxDepth), XmlReadStatus::kRead, ""},
        {"one level deeper", Nested(kXmlMaxDepth + 1), XmlReadStatus::kRefused,
         "nests its elements deeper than 64 levels"},
        {"deep and never closed", Repeat("<a>", 100000), XmlReadStatus::kRefused, "deeper than 64"},
        // The parser takes "&#" up to the next ';' for one character, end tags and all.
        {"end tags hidden in a character reference", "<r>" + Repeat("<a>&#</a>#5;", 100),
         XmlReadStatus::kRefused, "deeper than 64"},
        // A declaration's quoted value may hold '>' and end tags.
        {"end tags hidden in a declaration", Repeat("<r><?xml version=\"></r>\" ?>", 100),
         XmlReadStatus::kRefused, "deeper than 64"},
        {"as many attributes as allowed", WithAttributes(kXmlMaxAttributes), XmlReadStatus::kRead, ""},
        {"one attribute more", WithAttributes(kXmlMaxAttributes + 1), XmlReadStatus::kRefused,
         "gives an element more than 64 attributes"},
        {"too many elements", "<r>" + Repeat("<a/>", kXmlMaxNodes) + "</r>", XmlReadStatus::kRefused,
         "holds more than 200000 tags and texts"},
        {"ends inside a UTF-8 character", "<?xml version=\"1.0\" ?>\n<a b=\"B\xc3\xbchne \xe2\x82",
         XmlReadStatus::kMalformed, "is not well-formed XML: "},
        {"not XML", "hello", XmlReadStatus::kMalformed, "is not well-formed XML: "},
    };
    for (const auto& row : rows)
    {
        TiXmlDocument document;
        const CXmlRead read = ReadXmlText(row.text, document);
        EXPECT_EQ(read.status, row.status) << row.what;
        EXPECT_NE(read.reason.find(row.reason), std::string::npos) << row.what << ": " << read.reason;
        if (row.status == XmlReadStatus::kRefused)
        {
            EXPECT_EQ(document.FirstChild(), nullptr) << row.what;
        }
    }
}

TEST(XmlFile, TextIsReadAsUtf8WithStrayBytesAsWindows1252AndLineEndsAsTheParserReadsFiles)
{
    struct
    {
        std::string text;
        const char* label;
    } const rows[] = {
        {"<a label=\"B\xc3\xbchne\"/>", "B\xc3\xbchne"},
        {"<a label=\"Caf\xe9\"/>", "Caf\xc3\xa9"},         // a byte that hid the closing quote
        {"<a label=\"\x80 \x93x\x94\"/>", "\xe2\x82\xac \xe2\x80\x9cx\xe2\x80\x9d"},  // a euro sign and quotes
        {"<a label=\"\xe2\x82\"/>", "\xc3\xa2\xe2\x80\x9a"},   // a character cut short
        {"<a label=\"\xed\xa0\xbf\"/>", "\xc3\xad\xc2\xa0\xc2\xbf"},  // no surrogates
        {"\xef\xbb\xbf<a label=\"x\xef\xbb\xbfy\"/>", "x\xef\xbf\xbdy"},  // a mark past the start
        {"<a label=\"x\r\ny\ry\"/>", "x\ny\ny"},
    };
    for (const auto& row : rows)
    {
        TiXmlDocument document;
        ASSERT_TRUE(ReadXmlText(row.text, document).IsRead()) << row.text;
        const TiXmlElement* a = document.FirstChildElement("a");
        ASSERT_NE(a, nullptr) << row.text;
        EXPECT_STREQ(a->Attribute("label"), row.label) << row.text;
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

    const CXmlRead large = ReadXmlFile(small, 7, document);
    EXPECT_EQ(large.status, XmlReadStatus::kRefused);
    EXPECT_EQ(DescribeXmlRead(small, large), "Not read: \"" + small + "\" is larger than 7 bytes");
    const std::string huge = (folder / "huge.xml").string();
    std::ofstream(huge).close();
    std::filesystem::resize_file(huge, 100u << 20);
    EXPECT_EQ(ReadXmlFile(huge, 1 << 20, document).reason, "is larger than 1 MB");

    // A pipe in a file's place would hold a reader that waits for its writer.
    const std::string pipe = (folder / "pipe.xml").string();
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    EXPECT_EQ(ReadXmlFile(pipe, 1 << 20, document).reason, "is not a regular file");
    EXPECT_EQ(ReadXmlFile((folder / "none.xml").string(), 1 << 20, document).status, XmlReadStatus::kMissing);
    EXPECT_EQ(ReadXmlFile(folder.string(), 1 << 20, document).status, XmlReadStatus::kUnreadable);
    std::filesystem::remove_all(folder);
}
