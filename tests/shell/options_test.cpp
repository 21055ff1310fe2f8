#include "shell/options.h"

#include "foundation/version.h"
#include "shell/app.h"
#include "shell/logger.h"
#include "tests/shell/services_test_support.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/stat.h>
#include <sys/resource.h>
#include <tinyxml.h>

#include <cerrno>
#include <cstring>
#include <sstream>

namespace
{
// Records every call the options make, in order, as one line each.
class CRecorder : public COptionsLink, public COptionsLanguage, public COptionsHints
{
public:
    void SetConnectedAddress(const CIpAddress& address) override { calls.push_back("device " + address.ToText()); }
    void SetLocked(bool locked) override { calls.push_back(locked ? "lock" : "unlock"); }
    void SetLanguage(const std::string& name) override { calls.push_back("language " + name); }
    void DisableExplanation(int32_t id) override { calls.push_back("hide " + std::to_string(id)); }

    std::vector<std::string> calls;
};

std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string OptionsFile(const std::string& body)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\" ?>\n<zevral><options>" + body +
           "</options></zevral>\n";
}

// The program's log for the span of a test, in a data folder of its own: what the options say.
class COptionsLog
{
public:
    COptionsLog() : m_data("XDG_DATA_HOME", m_home.Path().c_str()), m_app(CVersion(1, 7, 0), 1, m_argv) {}

    // The options' lines logged since the last call, without their times.
    std::vector<std::string> Take()
    {
        const std::vector<std::string> all = CApp::GetLogger()->GetLines();
        std::vector<std::string> lines;
        for (size_t i = m_taken; i < all.size(); ++i)
            if (const size_t at = all[i].find("] [Options] "); at != std::string::npos)
                lines.push_back(all[i].substr(at + 12));
        m_taken = all.size();
        return lines;
    }

private:
    CTempFolder m_home;
    CScopedEnv m_data;
    char m_name[8] = "options";
    char* m_argv[2] = {m_name, nullptr};
    CApp m_app;
    size_t m_taken = 0;
};

// Ticks at the frame period for about the given time.
void Tick(COptions& options, float seconds)
{
    for (int frames = static_cast<int>(seconds / 0.04f + 0.5f); frames > 0; --frames)
        options.Update(0.04f);
}
}  // namespace

TEST(Options, SavedFileHasTheFixedShape)
{
    CTempFolder folder;
    {
        COptions options(folder.Path());
        options.SetDevice(CIpAddress(192, 168, 77, 2, 16945));
        options.SetLock(true);
        options.SetLanguage("Deutsch");
        options.AddIgnoredExplanation(3);
        options.AddIgnoredExplanation(-3);
        options.AddIgnoredExplanation(3);
        ASSERT_TRUE(options.Save());
        EXPECT_FALSE(options.IsModified());
    }
    // The port is never written; repeated hint ids stay as they were added.
    EXPECT_EQ(ReadAll(folder / "options.xml"),
              "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\" ?>\n<zevral>\n  <options>\n"
              "    <device lock=\"true\">192.168.77.2</device>\n    <language>Deutsch</language>\n"
              "    <ignore_explanations>\n      <id>3</id>\n      <id>-3</id>\n      <id>3</id>\n"
              "    </ignore_explanations>\n  </options>\n</zevral>\n");
    // No temporary file is left behind.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 1);
}

TEST(Options, DefaultsWriteNoLockAndNoHintList)
{
    CTempFolder folder;
    COptions options(folder.Path());
    ASSERT_TRUE(options.Save());
    const std::string text = ReadAll(folder / "options.xml");
    EXPECT_NE(text.find("<device>0.0.0.0</device>"), std::string::npos) << text;
    EXPECT_EQ(text.find("lock"), std::string::npos) << text;
    EXPECT_EQ(text.find("ignore_explanations"), std::string::npos) << text;
}

TEST(Options, LoadHandsTheDeviceOverBeforeTheLock)
{
    CTempFolder folder;
    WriteFile(folder / "options.xml",
              OptionsFile("<language>Fran\xC3\xA7" "ais</language><!-- a note --><other>x</other>"
                          "<device lock=\"TRUE\">10.0.0.7</device>"
                          "<ignore_explanations><id>12</id><id/><name>5</name><id>-3</id><id>1<!-- c -->5</id>"
                          "<id>7x</id><id>x</id></ignore_explanations>"));
    CRecorder recorder;
    COptions options(folder.Path());
    options.SetCore(&recorder, &recorder, &recorder);
    // An id that does not read whole silences no hint.
    EXPECT_EQ(recorder.calls, (std::vector<std::string>{"language Fran\xC3\xA7" "ais", "device 10.0.0.7", "lock",
                                                        "hide 12", "hide -3", "hide 15"}));
    EXPECT_EQ(options.GetDevice(), CIpAddress(10, 0, 0, 7));
    EXPECT_TRUE(options.GetLock());
    EXPECT_EQ(options.GetLanguage(), "Fran\xC3\xA7" "ais");
    EXPECT_EQ(options.GetIgnoredExplanations(), (std::vector<int32_t>{12, -3, 15}));
    EXPECT_FALSE(options.IsModified());
}

TEST(Options, LockReadsAsEveryYesOrNoOfTheProgramsFilesAndAnythingElseIsSaid)
{
    COptionsLog log;
    const struct
    {
        const char* text;
        bool locked;
        bool said;
    } rows[] = {
        {"true", true, false}, {"TRUE", true, false},  {"yes", true, false},    {"On", true, false},
        {"false", false, false}, {"no", false, false}, {"off", false, false},   {"0", false, false},
        {"1", false, true},    {"enabled", false, true}, {"truer", false, true}, {"", false, true},
    };
    for (const auto& row : rows)
    {
        CTempFolder folder;
        WriteFile(folder / "options.xml", OptionsFile(std::string("<device lock=\"") + row.text + "\">1.2.3.4</device>"));
        CRecorder recorder;
        COptions options(folder.Path());
        options.SetCore(&recorder, nullptr, nullptr);
        EXPECT_EQ(options.GetLock(), row.locked) << row.text;
        EXPECT_EQ(recorder.calls.size(), row.locked ? 2u : 1u) << row.text;
        const std::vector<std::string> said = log.Take();
        if (row.said)
            EXPECT_EQ(said, std::vector<std::string>{"Not read, unlocked: \"" + (folder / "options.xml") +
                                                     "\": device lock=\"" + row.text + "\""});
        else
            EXPECT_TRUE(said.empty()) << row.text << ": " << said.front();
    }
}

TEST(Options, SurviveARestart)
{
    CTempFolder folder;
    {
        COptions options(folder.Path());
        options.SetCore(nullptr, nullptr, nullptr);
        options.SetDevice(CIpAddress(192, 168, 77, 2));
        options.SetLock(true);
        options.SetLanguage("English");
        options.AddIgnoredExplanation(-3);
        // Shutdown writes what the 5-second rhythm has not written yet.
    }
    CRecorder recorder;
    COptions options(folder.Path());
    options.SetCore(&recorder, &recorder, &recorder);
    EXPECT_EQ(recorder.calls,
              (std::vector<std::string>{"device 192.168.77.2", "lock", "language English", "hide -3"}));
    EXPECT_EQ(options.GetIgnoredExplanations(), std::vector<int32_t>{-3});
}

TEST(Options, WhatIsWrittenIsWithinWhatTheReaderTakes)
{
    // However many hints are silenced, the oldest go before the file grows past what its reader
    // takes, and the log sums them up in one line; a name of more than a kilobyte is no language's.
    COptionsLog log;
    CTempFolder folder;
    {
        COptions options(folder.Path());
        options.SetLanguage("English");
        options.SetLanguage(std::string(2000, 'x'));
        for (int32_t n = 0; n < 50000; ++n)
            options.AddIgnoredExplanation(INT32_MIN + n);
    }
    EXPECT_EQ(log.Take(), (std::vector<std::string>{"Not kept: a language name of 2000 bytes",
                                                    "The oldest 40000 of the ignored hints are forgotten: 10000 are "
                                                    "kept"}));
    COptions options(folder.Path());
    options.SetCore(nullptr, nullptr, nullptr);
    EXPECT_FALSE(options.IsModified());
    ASSERT_EQ(options.GetIgnoredExplanations().size(), 10000u);
    EXPECT_EQ(options.GetIgnoredExplanations().front(), INT32_MIN + 40000);
    EXPECT_EQ(options.GetLanguage(), "English");
    EXPECT_TRUE(log.Take().empty());
}

TEST(Options, RepeatedValuesChangeNothing)
{
    CTempFolder folder;
    WriteFile(folder / "options.xml", OptionsFile("<device>1.2.3.4</device><language>English</language>"));
    CRecorder recorder;
    COptions options(folder.Path());
    options.SetCore(&recorder, &recorder, &recorder);
    recorder.calls.clear();
    options.SetLanguage("English");
    options.SetDevice(CIpAddress(1, 2, 3, 4));
    options.SetLock(false);
    EXPECT_FALSE(options.IsModified());
    EXPECT_TRUE(recorder.calls.empty());

    // A new port alone is a new choice.
    options.SetDevice(CIpAddress(1, 2, 3, 4, 99));
    EXPECT_TRUE(options.IsModified());
    options.SetLanguage("english");
    EXPECT_EQ(recorder.calls, (std::vector<std::string>{"device 1.2.3.4", "language english"}));
}

TEST(Options, ChangesAreWrittenOnAFixedFiveSecondRhythm)
{
    CTempFolder folder;
    COptions options(folder.Path());
    options.SetCore(nullptr, nullptr, nullptr);
    // No file yet: the defaults are written at the first point. (Steps are exact binary fractions
    // so that the points fall where the test says.)
    options.Update(4.875f);
    EXPECT_FALSE(std::filesystem::exists(folder / "options.xml"));
    options.Update(0.125f);
    EXPECT_TRUE(std::filesystem::exists(folder / "options.xml"));
    EXPECT_FALSE(options.IsModified());

    // A change late in a period is written at the end of that period.
    options.Update(4.875f);
    options.SetLanguage("Late");
    options.Update(0.0625f);
    EXPECT_TRUE(options.IsModified());
    options.Update(0.0625f);
    EXPECT_FALSE(options.IsModified());

    // A change early in a period waits for its end.
    options.Update(0.125f);
    options.SetLanguage("Early");
    options.Update(4.75f);
    EXPECT_TRUE(options.IsModified());
    options.Update(0.125f);
    EXPECT_FALSE(options.IsModified());
    EXPECT_NE(ReadAll(folder / "options.xml").find("Early"), std::string::npos);

    // At the frame period the points keep coming, about every five seconds.
    options.SetLanguage("Frames");
    Tick(options, 5.2f);
    EXPECT_FALSE(options.IsModified());
}

TEST(Options, DamagedFileLeavesDefaultsIsKeptAsideAndReplacedAtTheFirstPoint)
{
    // 400 KB that decode to 1.2 MB of text, past the reader's bound.
    const std::string wide = "<?xml version=\"1.0\" encoding=\"windows-1252\"?><zevral><options><device>1.2.3.4</device>"
                             "<!--" + std::string(400 * 1024, '\x80') + "--></options></zevral>";
    const char* damaged[] = {
        "",
        "<?xml version=\"1.0\" ?><zevral><options><device>1.2.3.4</dev",  // cut off mid-write
        "<zevral><settings><device>1.2.3.4</device></settings></zevral>",
        "<other><options><device>1.2.3.4</device></options></other>",
        "\x01\x02 not xml at all",
        wide.c_str(),
        nullptr,  // a file that cannot be read: set aside too, never written over
    };
    for (const char* text : damaged)
    {
        const std::string row = text ? text : "(unreadable)";
        CTempFolder folder;
        if (text)
            WriteFile(folder / "options.xml", text);
        else
            MakeUnreadable(folder / "options.xml");
        // A hidden file of the user's that looks a little like a save's leftover stays.
        WriteFile(folder / ".keep.partial-1", "mine");
        CRecorder recorder;
        COptions options(folder.Path());
        options.SetCore(&recorder, &recorder, &recorder);
        EXPECT_TRUE(recorder.calls.empty()) << row;
        EXPECT_EQ(options.GetDevice(), CIpAddress()) << row;
        EXPECT_TRUE(options.IsModified()) << row;
        options.Update(5.0f);
        EXPECT_NE(ReadAll(folder / "options.xml").find("<device>0.0.0.0</device>"), std::string::npos) << row;
        // The damaged file is kept beside the new one under a name that says so.
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(folder.Path()))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        ASSERT_EQ(names.size(), 3u) << row;
        EXPECT_EQ(names[0], ".keep.partial-1");
        EXPECT_EQ(names[1].rfind("options.damaged-", 0), 0u) << names[1];
        EXPECT_EQ(ReadAll(folder / names[1]), text ? text : "") << row;
        EXPECT_EQ(names[2], "options.xml");
    }
}

TEST(Options, FailedWriteKeepsTheOldFileIsRetriedAndIsSaidOncePerReason)
{
    COptionsLog log;
    CTempFolder folder;
    WriteFile(folder / "options.xml", OptionsFile("<device>1.2.3.4</device><language>Good</language>"));
    const std::string good = ReadAll(folder / "options.xml");
    COptions options(folder.Path());
    options.SetCore(nullptr, nullptr, nullptr);
    options.SetLanguage("Changed");

    // A disk that takes no more than a few bytes: the write fails, the good file stays whole and
    // nothing is left beside it.
    rlimit before = {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &before), 0);
    rlimit tiny = before;
    tiny.rlim_cur = 16;
    void (*oldHandler)(int) = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &tiny), 0);
    EXPECT_FALSE(options.Save());
    EXPECT_TRUE(options.IsModified());
    options.Update(5.0f);
    options.Update(5.0f);
    setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_TRUE(options.IsModified());
    EXPECT_EQ(ReadAll(folder / "options.xml"), good);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 1);

    // Another reason is said once in its turn: the folder has gone.
    const std::string moved = folder.Path() + ".moved";
    std::filesystem::rename(folder.Path(), moved);
    options.Update(5.0f);
    options.Update(5.0f);
    std::filesystem::rename(moved, folder.Path());
    EXPECT_EQ(log.Take(), (std::vector<std::string>{"Could not write " + (folder / "options.xml") + ": " +
                                                        std::strerror(EFBIG),
                                                    "Could not write " + (folder / "options.xml") + ": " +
                                                        std::strerror(ENOENT)}));

    // Once there is room, the next point writes it, and says so once.
    options.Update(5.0f);
    EXPECT_FALSE(options.IsModified());
    EXPECT_NE(ReadAll(folder / "options.xml").find("Changed"), std::string::npos);
    options.SetLanguage("Again");
    options.Update(5.0f);
    EXPECT_FALSE(options.IsModified());
    EXPECT_EQ(log.Take(), std::vector<std::string>{"Wrote " + (folder / "options.xml") + " again"});
}

TEST(Options, AFileTheUserMadeReadOnlyIsLeftAsItIs)
{
    // Also behind a link, in the folder the link leads to; the bits decide, though root may write.
    COptionsLog log;
    CTempFolder folder;
    CTempFolder shared;
    WriteFile(shared / "options.xml", OptionsFile("<device>1.2.3.4</device><language>Good</language>"));
    ASSERT_EQ(::symlink((shared / "options.xml").c_str(), (folder / "options.xml").c_str()), 0);
    ASSERT_EQ(::chmod((shared / "options.xml").c_str(), 0444), 0);
    const std::string good = ReadAll(shared / "options.xml");
    {
        COptions options(folder.Path());
        options.SetCore(nullptr, nullptr, nullptr);
        EXPECT_EQ(options.GetLanguage(), "Good");
        options.SetLanguage("Changed");
        EXPECT_FALSE(options.Save());
        Tick(options, 12.0f);
        // The settings hold for the session.
        EXPECT_TRUE(options.IsModified());
        EXPECT_EQ(options.GetLanguage(), "Changed");
    }
    EXPECT_EQ(ReadAll(shared / "options.xml"), good);
    EXPECT_TRUE(std::filesystem::is_symlink(folder / "options.xml"));
    struct stat status;
    ASSERT_EQ(::stat((shared / "options.xml").c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0444u);
    for (const CTempFolder* inside : {&folder, &shared})
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(inside->Path()), {}), 1);
    EXPECT_EQ(log.Take(), std::vector<std::string>{"Not written: " + (folder / "options.xml") +
                                                   " is read-only; the settings hold until the program ends"});

    // Made writable again, it is written at the next point.
    ASSERT_EQ(::chmod((shared / "options.xml").c_str(), 0644), 0);
    COptions options(folder.Path());
    options.SetCore(nullptr, nullptr, nullptr);
    options.SetLanguage("Changed");
    options.Update(5.0f);
    EXPECT_FALSE(options.IsModified());
    EXPECT_NE(ReadAll(shared / "options.xml").find("Changed"), std::string::npos);
}

TEST(Options, FileThatIsNoRegularFileIsNeitherReadNorLost)
{
    // A pipe would hold a reader or writer that waited for its other end.
    for (const char* kind : {"folder", "pipe"})
    {
        CTempFolder folder;
        const std::string path = folder / "options.xml";
        if (std::string(kind) == "folder")
            std::filesystem::create_directory(path);
        else
            ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
        {
            COptions options(folder.Path());
            options.SetCore(nullptr, nullptr, nullptr);
            options.SetLanguage("Changed");
            EXPECT_FALSE(options.Save()) << kind;
            EXPECT_TRUE(options.IsModified()) << kind;
            options.Update(5.0f);
        }
        EXPECT_EQ(std::filesystem::status(path).type(),
                  std::string(kind) == "folder" ? std::filesystem::file_type::directory
                                                : std::filesystem::file_type::fifo)
            << kind;
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 1) << kind;
    }
}

TEST(Options, ShutdownSaveNeedsNoneOfItsPartners)
{
    CTempFolder folder;
    {
        COptions options(folder.Path());
        auto recorder = std::make_unique<CRecorder>();
        options.SetCore(recorder.get(), recorder.get(), recorder.get());
        options.SetLock(true);
        options.SetDevice(CIpAddress(10, 1, 1, 1));
        // The device link goes before the options do, as at shutdown.
        recorder.reset();
    }
    const std::string text = ReadAll(folder / "options.xml");
    EXPECT_NE(text.find("<device lock=\"true\">10.1.1.1</device>"), std::string::npos) << text;
}

TEST(Options, WithoutADataFolderNothingIsReadOrWritten)
{
    CTempFolder folder;
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(folder.Path());
    WriteFile(folder / "options.xml", OptionsFile("<language>Here</language>"));
    {
        COptions options(std::string{});
        CRecorder recorder;
        options.SetCore(&recorder, &recorder, &recorder);
        EXPECT_TRUE(recorder.calls.empty());
        options.SetLanguage("Elsewhere");
        EXPECT_FALSE(options.Save());
        Tick(options, 10.0f);
    }
    std::filesystem::current_path(before);
    EXPECT_NE(ReadAll(folder / "options.xml").find("Here"), std::string::npos);
    const auto entries = std::distance(std::filesystem::directory_iterator(folder.Path()),
                                       std::filesystem::directory_iterator());
    EXPECT_EQ(entries, 1);
}
