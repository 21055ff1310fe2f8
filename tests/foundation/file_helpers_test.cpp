#include "foundation/file_helpers.h"
#include "tests/support/test_folder.h"

#include <boost/filesystem.hpp>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdio>
#include <fstream>
#include <sstream>

namespace fs = boost::filesystem;
using ::testing::UnorderedElementsAreArray;

namespace {

void Touch(const fs::path& path)
{
    std::ofstream(path.string()) << "x";
}

std::string ReadFile(const fs::path& path)
{
    std::ifstream in(path.string());
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class FileListing : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_dir = FreshTestFolder();
        for (const char* name : {"a.xml", "b.XML", "xml", ".xml", "c.show", "show", "SHOW.d",
                                 "archive.tar.gz", "name.", "README"})
            Touch(m_dir / name);
        fs::create_directory(m_dir / "sub.xml");
        fs::create_directory(m_dir / ".svn");
        ::mkfifo((m_dir / "pipe.xml").c_str(), 0600);
        fs::create_symlink(m_dir / "a.xml", m_dir / "link.xml");
        fs::create_symlink(m_dir / "gone.xml", m_dir / "broken.xml");
    }

    std::vector<std::string> Paths(std::initializer_list<const char*> names) const
    {
        std::vector<std::string> paths;
        for (const char* name : names)
            paths.push_back((m_dir / name).string());
        return paths;
    }

    std::vector<std::string> List(const std::string& pattern, bool filesOnly) const
    {
        std::vector<std::string> out;
        const int32_t count = ListDirectory(m_dir.string(), pattern, out, filesOnly);
        EXPECT_EQ(count, int32_t(out.size()));
        return out;
    }

    fs::path m_dir;
};

}  // namespace

TEST_F(FileListing, ExtensionsMatchIgnoringCase)
{
    // "xml" has no dot, so it is its own extension; ".xml" has an empty one.
    EXPECT_THAT(List("*.xml", true),
                UnorderedElementsAreArray(Paths({"a.xml", "b.XML", "xml", "link.xml"})));
    EXPECT_THAT(List("*.XML", true), UnorderedElementsAreArray(List("*.xml", true)));
    EXPECT_THAT(List("*.show", true), UnorderedElementsAreArray(Paths({"c.show", "show"})));
    EXPECT_THAT(List("*.", true), UnorderedElementsAreArray(Paths({".xml", "name."})));
    EXPECT_THAT(List("*.gz", true), UnorderedElementsAreArray(Paths({"archive.tar.gz"})));

    // What is passed over by a name that matches, for readers that say what they skip.
    std::vector<std::string> files;
    std::vector<std::string> passedOver;
    ListDirectory(m_dir.string(), "*.xml", files, true, &passedOver);
    EXPECT_THAT(passedOver, UnorderedElementsAreArray(Paths({"sub.xml", "pipe.xml", "broken.xml"})));
    passedOver.clear();
    ListDirectory(m_dir.string(), "*.xml", files, false, &passedOver);
    EXPECT_THAT(passedOver, UnorderedElementsAreArray(Paths({"pipe.xml", "broken.xml"})));
}

TEST_F(FileListing, StarListsEveryRegularFileAndFoldersButSvn)
{
    const std::vector<std::string> files =
        Paths({"a.xml", "b.XML", "xml", ".xml", "c.show", "show", "SHOW.d", "archive.tar.gz",
               "name.", "README", "link.xml"});
    EXPECT_THAT(List("*", true), UnorderedElementsAreArray(files));
    EXPECT_THAT(List("*.*", true), UnorderedElementsAreArray(files));
    std::vector<std::string> withFolders = files;
    withFolders.push_back((m_dir / "sub.xml").string());
    EXPECT_THAT(List("*.*", false), UnorderedElementsAreArray(withFolders));
    // A folder is listed whatever the pattern, when folders are asked for.
    std::vector<std::string> xmlAndFolders = Paths({"a.xml", "b.XML", "xml", "link.xml", "sub.xml"});
    EXPECT_THAT(List("*.xml", false), UnorderedElementsAreArray(xmlAndFolders));
}

TEST_F(FileListing, AppendsAndCountsWhatWasThere)
{
    std::vector<std::string> out = {"one", "two", "three"};
    EXPECT_EQ(ListDirectory(m_dir.string(), "*.show", out, true), 5);
    EXPECT_EQ(ListDirectory(m_dir.string(), "*.show", out, true), 7);
    EXPECT_EQ(out[0], "one");
    EXPECT_EQ(ListDirectory((m_dir / "missing").string(), "*", out, false), 7);
    EXPECT_EQ(ListDirectory((m_dir / "a.xml").string(), "*", out, false), 7);
}

TEST(FileHelpers, PathTexts)
{
    EXPECT_EQ(GetExtension("archive.tar.gz"), "gz");
    EXPECT_EQ(GetExtension("README"), "README");
    EXPECT_EQ(GetExtension(".svn"), "");
    EXPECT_EQ(GetExtension("name."), "");
    EXPECT_EQ(GetExtension("*"), "*");
    EXPECT_EQ(GetExtension("*.*"), "*");

    EXPECT_EQ(RemoveExtension("archive.tar.gz"), "archive.tar");
    EXPECT_EQ(RemoveExtension("README"), "README");
    EXPECT_EQ(RemoveExtension(".svn"), "");

    std::string path = "C:\\shows\\main.show";
    RemoveLastPathPart(path);
    EXPECT_EQ(path, "C:\\shows");
    path = "/home/user/main.show";
    RemoveLastPathPart(path);
    EXPECT_EQ(path, "/home/user/main.show");
}

TEST(FileHelpers, Quotes)
{
    EXPECT_EQ(Unquote("say \"a \"b\" c\" now"), "a \"b\" c");
    EXPECT_EQ(Unquote("\"\""), "");
    EXPECT_EQ(Unquote("no quotes"), "no quotes");
    EXPECT_EQ(Unquote("one \" quote"), "one \" quote");

    std::string text = "\"a\" and \"b\"";
    UnquoteLast(text);
    EXPECT_EQ(text, "b");
    text = "x \"\"";
    UnquoteLast(text);
    EXPECT_EQ(text, "");
    for (const char* unchanged : {"plain", "\"", "lone \" quote"}) {
        text = unchanged;
        UnquoteLast(text);
        EXPECT_EQ(text, unchanged);
    }
}

TEST(FileHelpers, WriteLinesReplacesTheFile)
{
    const fs::path dir = FreshTestFolder();
    const fs::path file = dir / "lines.txt";
    std::ofstream(file.string()) << "old content that is longer than the new\n";
    WriteLines(file.string(), std::vector<std::string>{"first", "", "third"});
    EXPECT_EQ(ReadFile(file), "first\n\nthird\n");
    WriteLines(file.string(), std::deque<std::string>{"only"});
    EXPECT_EQ(ReadFile(file), "only\n");
    WriteLines(file.string(), std::vector<std::string>{});
    EXPECT_EQ(ReadFile(file), "");
    // Text with a '%' is written as it stands.
    WriteLines(file.string(), std::vector<std::string>{"100% %s"});
    EXPECT_EQ(ReadFile(file), "100% %s\n");
    // A folder cannot be opened as a file: nothing happens.
    WriteLines(dir.string(), std::vector<std::string>{"lost"});
    EXPECT_TRUE(fs::is_directory(dir));
}

TEST(FileHelpers, WhatIsNoRegularFileIsRefusedWithoutWaitingForIt)
{
    const fs::path dir = FreshTestFolder();
    struct Row
    {
        const char* name;
        FileReadStatus read;
        bool written;  // by WriteLines
    };
    // A pipe opened as a file waits for its other end; a device is no file either.
    const Row rows[] = {
        {"pipe", FileReadStatus::kNotRegular, false},   {"folder", FileReadStatus::kNotRegular, false},
        {"device", FileReadStatus::kNotRegular, false}, {"unreadable", FileReadStatus::kUnreadable, false},
        {"missing", FileReadStatus::kMissing, true},
    };
    ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0600), 0);
    fs::create_directory(dir / "folder");
    fs::create_symlink("/dev/null", dir / "device");
    MakeUnreadable((dir / "unreadable").string());
    for (const Row& row : rows) {
        const std::string path = (dir / row.name).string();
        std::string bytes;
        int error = 0;
        EXPECT_EQ(ReadFileBounded(path, 100, bytes, error), row.read) << row.name;
        if (row.read == FileReadStatus::kUnreadable)
            continue;  // written it would be: it is a regular file
        EXPECT_EQ(WriteLines(path, std::vector<std::string>{"x"}, &error), row.written) << row.name;
        EXPECT_EQ(error, row.written ? 0 : kErrorNotRegularFile) << row.name;
    }
    EXPECT_EQ(DescribeFileError(kErrorNotRegularFile), "is not a regular file");
    // Made only when nothing is there yet.
    int error = 0;
    EXPECT_FALSE(WriteFileBytes((dir / "missing").string(), "new", error, true));
    EXPECT_EQ(error, EEXIST);
    EXPECT_EQ(ReadFile(dir / "missing"), "x\n");
}

TEST(FileHelpers, DumpLines)
{
    std::vector<std::string> lines;
    AddDumpLine(lines, std::string("Main"), "label", 1, 12);
    AddDumpLine(lines, "text", "name", 0, 0);
    AddDumpLine(lines, true, "enabled", 0, 10);
    AddDumpLine(lines, false, "locked", 2, 4);
    AddDumpLine(lines, 1.5f, "level", 0, 8);
    AddDumpLine(lines, uint32_t(4000000000u), "count", 0, 8);
    EXPECT_THAT(lines, ::testing::ElementsAre("    label   = \"Main\"", "name= \"text\"",
                                              "enabled   = ON", "        locked= OFF",
                                              "level   = 1.500000", "count   = 4000000000"));
}
