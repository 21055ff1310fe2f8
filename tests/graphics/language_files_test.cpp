// The language files: the factory copy under the version file, the two folders read at every
// start, and the missing-phrase report.
#include "graphics/graphics_log.h"
#include "graphics/language.h"
#include "graphics/language_manager_desktop.h"
#include "tests/support/test_folder.h"

#include <gtest/gtest.h>

#include <linux/capability.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <csignal>
#include <fstream>
#include <functional>
#include <sstream>

namespace fs = boost::filesystem;

namespace
{
const CVersion kProgram(1, 7, 0);

std::string Language(const std::string& label, const std::string& phrases)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<show><languages><language label=\"" + label + "\">" +
           phrases + "</language></languages></show>\n";
}

void Write(const fs::path& path, const std::string& content)
{
    fs::create_directories(path.parent_path());
    std::ofstream(path.string(), std::ios::binary) << content;
}

std::string Read(const fs::path& path)
{
    std::ifstream file(path.string(), std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

// While it lives, permission bits bind this thread as they bind a user's program: a process
// running as root otherwise reads and writes every folder whatever its mode.
class CBoundByPermissions
{
public:
    CBoundByPermissions()
    {
        m_header.version = _LINUX_CAPABILITY_VERSION_3;
        if (syscall(SYS_capget, &m_header, m_saved) != 0)
            return;
        __user_cap_data_struct bound[2] = {m_saved[0], m_saved[1]};
        bound[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
        m_dropped = syscall(SYS_capset, &m_header, bound) == 0;
    }
    ~CBoundByPermissions()
    {
        if (m_dropped)
            syscall(SYS_capset, &m_header, m_saved);
    }
    CBoundByPermissions(const CBoundByPermissions&) = delete;
    CBoundByPermissions& operator=(const CBoundByPermissions&) = delete;

private:
    __user_cap_header_struct m_header{};
    __user_cap_data_struct m_saved[2]{};
    bool m_dropped = false;
};

class LanguageFiles : public ::testing::Test
{
protected:
    void SetUp() override
    {
        SetGraphicsLogSink([this](const std::string& category, const std::string& message) {
            EXPECT_EQ(category, "LanguageManager");
            m_log.push_back(message);
        });
        m_root = FreshTestFolder();
        m_shipped = m_root / "Resources/languages";
        m_common = m_root / "Common";
        m_languages = m_common / "Languages";
        fs::create_directories(m_common);
        Write(m_shipped / "english.xml", Language("English", "<p ref=\"Cancel\">Cancel</p><p ref=\"Abort\">Abort</p>"));
        Write(m_shipped / "deutsch.xml", Language("Deutsch", "<p ref=\"Cancel\">Abbrechen</p>"));
    }
    void TearDown() override { SetGraphicsLogSink(nullptr); }

    std::unique_ptr<CLanguageManagerDesktop> Start(const CVersion& version = kProgram)
    {
        m_log.clear();
        return std::make_unique<CLanguageManagerDesktop>((m_root / "Resources").string(), m_common.string(), version);
    }
    bool Logged(const std::string& line) const { return std::find(m_log.begin(), m_log.end(), line) != m_log.end(); }

    fs::path m_root, m_shipped, m_common, m_languages;
    std::vector<std::string> m_log;
};
}  // namespace

TEST_F(LanguageFiles, FirstStartCopiesTheShippedFilesAndRecordsTheVersion)
{
    const auto manager = Start();
    EXPECT_EQ(Read(m_languages / "version.txt"), "1.7.0");
    EXPECT_EQ(Read(m_languages / "Factory/english.xml"), Read(m_shipped / "english.xml"));
    EXPECT_TRUE(fs::is_directory(m_languages / "User"));
    EXPECT_EQ(manager->GetLanguageName(), "English");
    EXPECT_EQ(m_log, (std::vector<std::string>{"Loading from \"" + m_languages.string() + "\"", "2 languages loaded",
                                               "\"Deutsch\" does not contain phrase \"Abort\""}));
}

TEST_F(LanguageFiles, OnlyANewerProgramRefreshesTheFactoryFolder)
{
    const struct
    {
        const char* stored;
        bool refreshed;
    } table[] = {{"1.7.0", false}, {"1.7", false}, {"2.0.1", false}, {"1.6.9", true}, {"garbage", true},
                 // Each part is read whole: "8x" is no 8. A byte-order mark and a line end are no part.
                 {"1.8x", true}, {"\xEF\xBB\xBF" "1.7.0\r\n", false}};
    for (const auto& row : table)
    {
        Write(m_languages / "version.txt", row.stored);
        Write(m_languages / "Factory/stale.xml", Language("Stale", ""));
        const auto manager = Start();
        EXPECT_EQ(fs::exists(m_languages / "Factory/stale.xml"), !row.refreshed) << row.stored;
        EXPECT_EQ(manager->FindLanguage("stale") == nullptr, row.refreshed) << row.stored;
        EXPECT_EQ(Read(m_languages / "version.txt"), row.refreshed ? "1.7.0" : row.stored);
    }
}

TEST_F(LanguageFiles, FactoryIsReadBeforeUserAndAPhraseNoLookupFindsIsReported)
{
    Write(m_languages / "User/mine.XML", Language("english", "<p ref=\"Cancel\">Stop</p><p ref=\"Extra\">More</p>"));
    Write(m_languages / "User/klingon.xml", Language("Klingon", "<p ref=\"CANCEL\">mev</p>"));
    Write(m_languages / "User/nested/aardvark.xml", Language("Aardvark", ""));
    Write(m_languages / "User/broken.xml", "<show><languages>");
    const auto manager = Start();

    ASSERT_EQ(manager->GetLanguageCount(), 3u);
    EXPECT_EQ(manager->GetLanguage(1)->GetName(), "English");
    EXPECT_EQ(manager->GetLanguage(1)->GetFileName(), "english");
    EXPECT_EQ(manager->GetLanguage(2)->GetName(), "Klingon");
    EXPECT_EQ(manager->Translate("Cancel", false), "Cancel");
    EXPECT_EQ(manager->Translate("Extra", false), "More");
    const std::string broken = "Error loading file \"" + (m_languages / "User/broken.xml").string() + "\", error = \"";
    ASSERT_EQ(m_log.size(), 7u);
    EXPECT_EQ(m_log[1].rfind(broken, 0), 0u) << m_log[1];
    // "Cancel" and "CANCEL" are found by a case-tolerant lookup in every language.
    EXPECT_EQ(std::vector<std::string>(m_log.begin() + 3, m_log.end()),
              (std::vector<std::string>{"\"Deutsch\" does not contain phrase \"Abort\"",
                                        "\"Klingon\" does not contain phrase \"Abort\"",
                                        "\"Deutsch\" does not contain phrase \"Extra\"",
                                        "\"Klingon\" does not contain phrase \"Extra\""}));
}

// The shortest names that differ ignoring ASCII case: "a" .. "9", "aa" ..
std::string ShortName(uint32_t n)
{
    static const char kAlphabet[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::string name;
    for (++n; n > 0; n = (n - 1) / 36)
        name += kAlphabet[(n - 1) % 36];
    return name;
}

// A user file of as many languages as the reader's bound lets one file hold, each made by the
// element the function gives for its number.
size_t WriteFullFile(const fs::path& path, const std::function<std::string(uint32_t)>& language)
{
    constexpr size_t kBound = 256 * 1024;
    const std::string head = "<show><languages>", tail = "</languages></show>";
    std::string body;
    uint32_t n = 0;
    for (std::string next = language(n); head.size() + body.size() + next.size() + tail.size() <= kBound;
         next = language(++n))
        body += next;
    Write(path, head + body + tail);
    return n;
}

TEST_F(LanguageFiles, AUserFileWithinItsBoundAddsAFewLinesToTheLog)
{
    const std::string longName(10000, 'N');
    const struct
    {
        const char* what;
        std::function<std::string(uint32_t)> language;
        bool ownPhrases;
    } table[] = {
        {"languages without phrases", [](uint32_t n) { return "<a label=\"" + ShortName(n) + "\"/>"; }, false},
        {"a phrase of its own each",
         [](uint32_t n) {
             return "<a label=\"" + ShortName(n) + "\"><p ref=\"" + ShortName(n) + "\">x</p></a>";
         },
         true},
        // Names and phrases as long as the bound allows: the log quotes their starts.
        {"long names and phrases",
         [&](uint32_t n) {
             return "<a label=\"" + ShortName(n) + longName + "\"><p ref=\"" + ShortName(n) + longName +
                    "\">x</p></a>";
         },
         true},
    };
    for (const auto& row : table)
    {
        const size_t added = WriteFullFile(m_languages / "User/crafted.xml", row.language);
        const auto manager = Start();
        ASSERT_EQ(manager->GetLanguageCount(), added + 2) << row.what;
        size_t bytes = 0;
        for (const std::string& line : m_log)
            bytes += line.size() + 1;
        // The loading's two lines, twenty named pairs and one sum.
        EXPECT_EQ(m_log.size(), 23u) << row.what;
        EXPECT_LT(bytes, 4096u) << row.what;
        // Deutsch lacks "Abort"; each language of the file lacks both shipped phrases, and its own
        // phrase is lacked by every other language, English then included.
        const size_t missing = 1 + added * 2 + (row.ownPhrases ? added * (added + 1) : 0);
        EXPECT_EQ(m_log.back(), std::to_string(missing - 20) + " further missing phrases are not listed (" +
                                    std::to_string(missing) + " in all, in " +
                                    std::to_string(added + (row.ownPhrases ? 2 : 1)) + " languages)")
            << row.what;
        fs::remove(m_languages / "User/crafted.xml");
    }

    // However many files a folder holds, a start reads what four full ones or 64 small ones
    // hold, the first by name, and one line names the rest: the user's folder and the shipped
    // files' one (emptied first) alike, and the copy of the shipped files takes no more.
    enum Kind
    {
        kFull,
        kSmall,
        // A language behind a comment of TSCII bytes (0x82, four characters each): a file whose
        // text is twelve times its bytes, and as large as the reader's bound.
        kEncoded,
        // Files past the reader's bound, each weighed as one at it, and an empty file last by
        // name: past the first 64 files, however much room is left.
        kRefused,
        // Pipes: a few named in the log, the rest summed up.
        kPipe,
    };
    const size_t fullFiles = CLanguageManagerDesktop::kMostBytes / CLanguageManager::kMaxFileBytes;
    const size_t mostFiles = CLanguageManagerDesktop::kMostFiles;
    const fs::path user = m_languages / "User", factory = m_languages / "Factory";
    const struct
    {
        const char* what;
        fs::path folder;
        Kind kind;
        size_t files;
        size_t read;
    } folders[] = {
        {"twice the files' bytes", user, kFull, 2 * fullFiles, fullFiles},
        {"twice the files", user, kSmall, 2 * mostFiles, mostFiles},
        {"twice the files' text", user, kEncoded, 2 * fullFiles, fullFiles},
        {"a file past the first files behind refused ones", user, kRefused, 2 * mostFiles, fullFiles},
        {"a hundred pipes", user, kPipe, 100, 0},
        {"twice the files' bytes in Factory", factory, kFull, 2 * fullFiles, fullFiles},
        {"twice the files in Factory", factory, kSmall, 2 * mostFiles, mostFiles},
        // Last: the copy that follows empties Factory and writes the version file.
        {"twice the files shipped", m_shipped, kSmall, 2 * mostFiles, mostFiles},
        {"twice the files' bytes shipped", m_shipped, kFull, 2 * fullFiles, fullFiles},
    };
    for (const auto& folder : folders)
    {
        fs::remove_all(folder.folder);
        fs::create_directories(folder.folder);
        size_t each = folder.kind == kRefused ? 0 : 1;
        for (size_t i = 0; i < folder.files; ++i)
        {
            const std::string prefix = "f" + std::to_string(100 + i) + "-";
            const fs::path path = folder.folder / (prefix + ".xml");
            if (folder.kind == kFull)
                each = WriteFullFile(path, [&](uint32_t n) { return "<a label=\"" + prefix + ShortName(n) + "\"/>"; });
            else if (folder.kind == kSmall)
                Write(path, Language(prefix, ""));
            else if (folder.kind == kEncoded)
            {
                const std::string head = "<?xml version=\"1.0\" encoding=\"TSCII\"?><show><languages><a label=\"" +
                                         prefix + "\"/></languages><!--";
                const std::string tail = "--></show>";
                const size_t expanding = CLanguageManager::kMaxFileBytes - head.size() - tail.size();
                Write(path, head + std::string(expanding % 12, ' ') + std::string(expanding / 12, '\x82') + tail);
            }
            else if (folder.kind == kPipe)
                ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
            else if (i + 1 == folder.files)
                Write(path, "");
            else if (i == 0)
                Write(path, std::string(CLanguageManager::kMaxFileBytes + 1, ' '));
            else
                fs::create_hard_link(folder.folder / "f100-.xml", path);
        }
        if (folder.folder == m_shipped)
            fs::remove(m_languages / "version.txt");
        const auto manager = Start();
        const size_t shipped = folder.folder == user ? 2 : 0;
        EXPECT_EQ(manager->GetLanguageCount(), shipped + folder.read * each) << folder.what;
        if (folder.read * each > 0)
        {
            EXPECT_NE(manager->FindLanguage(folder.kind == kFull ? "f100-a" : "f100-"), nullptr) << folder.what;
        }
        const std::string named = folder.folder.string();
        if (folder.kind == kPipe)
            EXPECT_TRUE(Logged("Not read: " + std::to_string(folder.files - 8) + " more entries of \"" + named +
                               "\" that are not regular files"))
                << folder.what;
        else
            EXPECT_TRUE(Logged("Not read: " + std::to_string(folder.files - folder.read) + " of the " +
                               std::to_string(folder.files) + " files in \"" + named + "\", past 64 files" +
                               (folder.folder == m_shipped ? ", 256 KB a file" : "") + " or 1024 KB in all"))
                << folder.what;
        EXPECT_LE(m_log.size(), 24u) << folder.what;
        if (folder.folder == m_shipped)
        {
            EXPECT_EQ(std::distance(fs::directory_iterator(factory), fs::directory_iterator()), long(folder.read));
            EXPECT_EQ(Read(m_languages / "version.txt"), "1.7.0");
        }
        fs::remove_all(folder.folder);
    }
}

TEST_F(LanguageFiles, AFailedCopyIsLoggedAndTriedAgainAtTheNextStart)
{
    Write(m_shipped / "large.xml", Language("Large", std::string(4096, ' ')));
    // A file size limit that the small files and the version file fit in, and the large one not.
    rlimit saved;
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit small = saved;
    small.rlim_cur = 1024;
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const auto failed = Start();
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_TRUE(Logged("Failed to copy file: " + (m_shipped / "large.xml").string()));
    EXPECT_NE(failed->FindLanguage("Large"), nullptr) << "read where it ships";
    EXPECT_TRUE(fs::exists(m_languages / "Factory/english.xml"));
    EXPECT_FALSE(fs::exists(m_languages / "version.txt"));

    const auto manager = Start();
    EXPECT_EQ(Read(m_languages / "version.txt"), "1.7.0");
    EXPECT_NE(manager->FindLanguage("Large"), nullptr);
}

TEST_F(LanguageFiles, WhatCannotBeCopiedIsReadWhereItShipsAndAFolderNotReadIsSaidOnce)
{
    const std::string languages = m_languages.string(), factory = (m_languages / "Factory").string(),
                      user = (m_languages / "User").string(), shipped = m_shipped.string();
    const std::string readShipped = "The shipped languages are read from \"" + shipped + "\"";
    const auto denied = [](const std::string& folder) { return "Could not read \"" + folder + "\": Permission denied"; };
    const struct
    {
        const char* what;
        bool outdated;  // the version file asks for a copy, which fails
        std::vector<std::string> unreadable, readOnly;
        bool deutsch;                   // the user's language is there
        std::vector<std::string> said;  // each line once
    } table[] = {
        {"a Languages folder that cannot be written", true, {}, {languages}, true, {readShipped}},
        {"a Factory folder that cannot be read", false, {factory}, {}, true, {denied(factory), readShipped}},
        {"a Factory folder that cannot be read, at a copy", true, {factory}, {}, true, {readShipped}},
        {"a User folder that cannot be read", false, {user}, {}, true, {denied(user)}},
        // Each is read where it ships instead.
        {"Factory files that cannot be read", false, {factory + "/deutsch.xml", factory + "/english.xml"}, {}, true,
         {"Read in its place: \"" + shipped + "/deutsch.xml\""}},
        // Factory keeps the copy it holds.
        {"a shipped folder that cannot be read", true, {shipped}, {}, true, {denied(shipped)}},
        {"no folder that can be read", true, {shipped, factory}, {}, false, {denied(shipped), denied(factory)}},
    };
    for (const auto& row : table)
    {
        fs::remove_all(m_languages);
        Start();
        ASSERT_TRUE(fs::exists(m_languages / "Factory/deutsch.xml")) << row.what;
        if (row.outdated)
            fs::remove(m_languages / "version.txt");
        for (const std::string& folder : row.unreadable)
            ::chmod(folder.c_str(), 0);
        for (const std::string& folder : row.readOnly)
            ::chmod(folder.c_str(), 0555);
        std::unique_ptr<CLanguageManagerDesktop> manager;
        {
            const CBoundByPermissions bound;
            manager = Start();
        }
        for (const std::string& folder : {languages, factory, user, shipped})
            ::chmod(folder.c_str(), 0755);

        EXPECT_EQ(manager->FindLanguage("Deutsch") != nullptr, row.deutsch) << row.what;
        for (const std::string& line : row.said)
            EXPECT_EQ(std::count(m_log.begin(), m_log.end(), line), 1) << row.what << ": " << line;
        // Tried again at the next start.
        if (row.outdated)
        {
            EXPECT_FALSE(fs::exists(m_languages / "version.txt")) << row.what;
        }
    }
}

TEST_F(LanguageFiles, WithoutACommonDataFolderNothingIsWrittenAnywhere)
{
    for (const std::string& common : {std::string(), (m_root / "missing").string()})
    {
        m_log.clear();
        CLanguageManagerDesktop manager((m_root / "Resources").string(), common, kProgram);
        // The shipped languages, read where they ship.
        EXPECT_TRUE(Logged("2 languages loaded"));
    }
    EXPECT_FALSE(fs::exists(m_root / "missing"));
    EXPECT_FALSE(fs::exists("Languages"));
}
