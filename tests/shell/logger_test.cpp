#include "shell/logger.h"

#include "foundation/clock.h"
#include "tests/shell/services_test_support.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utime.h>

#include <csignal>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <mutex>
#include <regex>
#include <set>
#include <thread>

namespace
{
// Sets a file's last write to noon of a local calendar day.
void SetWriteDay(const std::string& path, int year, int month, int day)
{
    std::tm local{};
    local.tm_year = year - 1900;
    local.tm_mon = month - 1;
    local.tm_mday = day;
    local.tm_hour = 12;
    local.tm_isdst = -1;
    const std::time_t when = std::mktime(&local);
    utimbuf times{when, when};
    ASSERT_EQ(utime(path.c_str(), &times), 0) << path;
}

// Files this process writes stop growing at the size given, as a full disk stops them: a write
// past it is cut short and fails (EFBIG) instead of ending the process.
class CFileSizeLimit
{
public:
    explicit CFileSizeLimit(rlim_t bytes) : m_signal(std::signal(SIGXFSZ, SIG_IGN))
    {
        getrlimit(RLIMIT_FSIZE, &m_saved);
        rlimit limit = m_saved;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~CFileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_signal);
    }
    CFileSizeLimit(const CFileSizeLimit&) = delete;
    CFileSizeLimit& operator=(const CFileSizeLimit&) = delete;

private:
    rlimit m_saved{};
    void (*m_signal)(int);
};

// While it lives, a thread waits a bounded while for the test to end: a test still running then
// (a loop that no longer ends) fails and ends the process, as nothing could stop it, rather than
// hold the suite.
class CDeadline
{
public:
    explicit CDeadline(std::chrono::seconds limit)
        : m_thread([this, limit] {
              std::unique_lock<std::mutex> lock(m_mutex);
              if (m_ended.wait_for(lock, limit, [this] { return m_over; }))
                  return;
              ADD_FAILURE() << "still running after " << limit.count() << " s";
              std::fflush(stdout);
              std::_Exit(1);
          })
    {
    }

    ~CDeadline()
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_over = true;
        }
        m_ended.notify_all();
        m_thread.join();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_ended;
    bool m_over = false;
    std::thread m_thread;
};

class LoggerTest : public testing::Test
{
protected:
    LoggerTest()
    {
        m_clock.SetDateAndTime(CDate(2015, 6, 30), CTime(14, 5, 9));
    }

    std::string LogsFolder() const { return m_temp / "Logs"; }
    std::string LogFile(const std::string& name) const { return LogsFolder() + "/" + name; }
    void MakeLogFile(const std::string& name, int year, int month, int day)
    {
        std::filesystem::create_directories(LogsFolder());
        WriteFile(LogFile(name), "old\n");
        SetWriteDay(LogFile(name), year, month, day);
    }

    CTempFolder m_temp;
    CClock m_clock;
};
}

TEST_F(LoggerTest, WritesDatedLinesOnlyWhenClosedWithinTheHour)
{
    const CDeadline deadline(std::chrono::seconds(30));
    CLogger log(2, m_temp.Path(), &m_clock);
    EXPECT_TRUE(IsFolder(LogsFolder()));
    EXPECT_EQ(log.GetCurrentFileName(), "20150630001.txt");
    log.Log("App", "Platform: Linux", 1);
    // Text from files keeps to its line, and the log to text: a file's line end, its control
    // bytes, what is no UTF-8 and the characters some viewers break lines at stand as escapes.
    log.Log("LanguageManager", "1.x\n[09:00:00] [Options] Options saved (forged)\r\t\x01\x7F\\n", 1);
    log.Log("Options", "\xFF\xC3(\xE2\x80\xA8\xC2\x85\xC3\xA9", 1);
    m_clock.SetTime(CTime(9, 0, 7));
    log.Log("DeviceManager", "detail", 2);
    log.Log("DeviceManager", "too detailed", 3);
    // A message longer than an entry may be keeps its start, cut between whole characters, and
    // between whole escapes.
    const std::string x(CLogger::kMaxMessageBytes - 1, 'x');
    log.Log("App", x + "\xC3\xA9" + "tail", 1);
    log.Log("App", x.substr(1) + "\x01", 1);
    for (int frame = 0; frame < 1000; ++frame)
        log.Tick(0.04f);
    // The file is the log's from the start, and empty until it is written.
    EXPECT_EQ(std::filesystem::file_size(LogFile("20150630001.txt")), 0u);

    log.Close();
    EXPECT_EQ(ReadLines(LogFile("20150630001.txt")),
              (std::vector<std::string>{
                  "[14:05:09] [Logger] Open",
                  "[14:05:09] [App] Platform: Linux",
                  "[14:05:09] [LanguageManager] 1.x\\n[09:00:00] [Options] Options saved (forged)\\r\\t\\x01\\x7F\\n",
                  "[14:05:09] [Options] \\xFF\\xC3(\\u2028\\u0085\xC3\xA9",
                  "[09:00:07] [DeviceManager] detail",
                  "[09:00:07] [App] " + x + "... (8197 bytes)",
                  "[09:00:07] [App] " + x.substr(1) + "... (8191 bytes)",
                  "[09:00:07] [Logger] Close"}));
    // Nothing reaches the log once it is closed.
    log.Log("App", "late", 1);
    log.Tick(4000.0f);
    log.Tick(0.04f);
    EXPECT_EQ(ReadLines(LogFile("20150630001.txt")).size(), 8u);
}

TEST_F(LoggerTest, WritesHourlyAndOnlyWhenSomethingWasAdded)
{
    CLogger log(2, m_temp.Path(), &m_clock);
    const std::string file = LogFile("20150630001.txt");
    log.Tick(1800.0f);
    log.Tick(1800.0f);
    EXPECT_EQ(std::filesystem::file_size(file), 0u);
    log.Tick(0.04f);  // the hour is full: write
    EXPECT_EQ(ReadLines(file), std::vector<std::string>{"[14:05:09] [Logger] Open"});
    EXPECT_FALSE(log.IsDirty());

    std::filesystem::remove(file);
    log.Tick(3600.0f);
    log.Tick(0.04f);  // nothing new: no write
    EXPECT_FALSE(std::filesystem::exists(file));

    log.Log("App", "more", 1);
    log.Tick(3600.0f);
    log.Tick(0.04f);
    EXPECT_EQ(ReadLines(file).size(), 2u);
}

TEST_F(LoggerTest, RollsOverAtTheLimitIntoTheNextFile)
{
    CLogger log(2, m_temp.Path(), &m_clock);
    // "Open" is the first entry; the 4097th entry is written with the old file.
    for (size_t i = 2; i <= CLogger::kEntriesPerFile; ++i)
        log.Log("App", "entry " + std::to_string(i), 1);

    const std::vector<std::string> first = ReadLines(LogFile("20150630001.txt"));
    ASSERT_EQ(first.size(), 4097u);
    EXPECT_EQ(first.front(), "[14:05:09] [Logger] Open");
    EXPECT_EQ(first.back(), "[14:05:09] [App] entry 4097");
    EXPECT_EQ(log.GetCurrentFileName(), "20150630002.txt");
    EXPECT_EQ(log.GetLines(),
              std::vector<std::string>{"[14:05:09] [Logger] Logging continued in new file"});

    log.Log("App", "after", 1);
    log.Close();
    EXPECT_EQ(ReadLines(LogFile("20150630002.txt")),
              (std::vector<std::string>{"[14:05:09] [Logger] Logging continued in new file",
                                        "[14:05:09] [App] after", "[14:05:09] [Logger] Close"}));
    EXPECT_EQ(ReadLines(LogFile("20150630001.txt")).size(), 4097u);
}

TEST_F(LoggerTest, NewFileTakesTheLowestFreeNumberIgnoringCase)
{
    MakeLogFile("20150630001.txt", 2015, 6, 30);
    MakeLogFile("20150630002.TXT", 2015, 6, 30);
    MakeLogFile("20150629003.txt", 2015, 6, 29);
    // A name that a pipe or a folder holds is taken too: writing a pipe would wait for ever.
    ASSERT_EQ(mkfifo(LogFile("20150630003.txt").c_str(), 0600), 0);
    std::filesystem::create_directory(LogFile("20150630004.txt"));
    {
        CLogger log(2, m_temp.Path(), &m_clock);
        EXPECT_EQ(log.GetCurrentFileName(), "20150630005.txt");
    }
    std::filesystem::remove(LogFile("20150630001.txt"));
    std::filesystem::remove(LogFile("20150630003.txt"));
    std::filesystem::remove(LogFile("20150630004.txt"));
    std::filesystem::remove(LogFile("20150630005.txt"));
    CLogger log(2, m_temp.Path(), &m_clock);
    EXPECT_EQ(log.GetCurrentFileName(), "20150630001.txt");
}

TEST_F(LoggerTest, PurgeRemovesFilesFifteenCalendarDaysOld)
{
    MakeLogFile("a.txt", 2015, 6, 15);   // 15 days: removed
    MakeLogFile("b.txt", 2015, 6, 16);   // 14 days: kept
    MakeLogFile("c.txt", 2015, 7, 1);    // tomorrow (the clock was set back): kept
    MakeLogFile("d.TXT", 2014, 12, 31);  // removed whatever the case of its extension
    MakeLogFile("e.dat", 2014, 12, 31);  // not a log file
    CLogger log(2, m_temp.Path(), &m_clock);
    EXPECT_FALSE(std::filesystem::exists(LogFile("a.txt")));
    EXPECT_TRUE(std::filesystem::exists(LogFile("b.txt")));
    EXPECT_TRUE(std::filesystem::exists(LogFile("c.txt")));
    EXPECT_FALSE(std::filesystem::exists(LogFile("d.TXT")));
    EXPECT_TRUE(std::filesystem::exists(LogFile("e.dat")));
}

TEST_F(LoggerTest, TheFolderKeepsItsBoundInFilesAndBytesTheOldestGoingFirst)
{
    const struct
    {
        size_t files;
        uint64_t bytes;  // of each
        size_t removed;        // the oldest, at the start
        size_t rolledRemoved;  // and once the log has written a file and moved on to the next
    } table[] = {
        // The log's own file counts from the start.
        {CLogger::kMaxFiles - 1, 1, 0, 1},
        {CLogger::kMaxFiles, 1, 1, 2},
        {CLogger::kMaxFiles + 1, 1, 2, 3},
        {4, CLogger::kMaxFolderBytes / 4, 0, 1},
        {4, CLogger::kMaxFolderBytes / 4 + 1, 1, 1},
        // A folder far beyond the bound costs a start no more than its budget; the rest goes a
        // file a tick.
        {CLogger::kMaxFiles + 2 * CLogger::kMaxRemovedAtOnce, 1, CLogger::kMaxRemovedAtOnce,
         2 * CLogger::kMaxRemovedAtOnce},
    };
    for (const auto& row : table)
    {
        std::filesystem::remove_all(LogsFolder());
        std::filesystem::create_directories(LogsFolder());
        // A second apart, the oldest first; sparse, so a large folder costs no disk.
        for (size_t i = 0; i < row.files; ++i)
        {
            const std::string path = LogFile("old" + std::to_string(i) + ".txt");
            WriteFile(path, "");
            std::filesystem::resize_file(path, row.bytes);
            const std::time_t when = std::time(nullptr) - 3600 + std::time_t(i);
            utimbuf times{when, when};
            ASSERT_EQ(utime(path.c_str(), &times), 0);
        }
        CLogger log(2, m_temp.Path(), &m_clock);
        for (size_t i = 0; i < row.files; ++i)
            EXPECT_EQ(std::filesystem::exists(LogFile("old" + std::to_string(i) + ".txt")), i >= row.removed)
                << row.files << " files of " << row.bytes << " bytes: " << i;
        // The log's own files count as well: at a roll-over the oldest makes room for them.
        log.Flush();
        for (size_t i = 1; i < CLogger::kEntriesPerFile; ++i)
            log.Log("App", "entry", 1);
        EXPECT_EQ(log.GetCurrentFileName(), "20150630002.txt");
        for (size_t i = 0; i < row.files; ++i)
            EXPECT_EQ(std::filesystem::exists(LogFile("old" + std::to_string(i) + ".txt")), i >= row.rolledRemoved)
                << row.files << " files of " << row.bytes << " bytes, rolled over: " << i;
        EXPECT_TRUE(std::filesystem::exists(LogFile("20150630001.txt")));
        for (int frame = 0; frame < 3; ++frame)
            log.Tick(0.04f);
        const auto files = std::distance(std::filesystem::directory_iterator(LogsFolder()),
                                         std::filesystem::directory_iterator());
        EXPECT_LE(size_t(files), CLogger::kMaxFiles) << row.files << " files of " << row.bytes << " bytes";
    }
}

// Two instances of the program on one data folder, each with a log of its own: started at once,
// and the second at the folder's bound beside the first's file, the oldest of the folder.
TEST_F(LoggerTest, TwoInstancesOnOneFolderKeepEachTheirLogWhole)
{
    for (const size_t oldFiles : {size_t(0), CLogger::kMaxFiles})
    {
        std::filesystem::remove_all(LogsFolder());
        CLogger first(2, m_temp.Path(), &m_clock);
        for (size_t i = 0; i < oldFiles; ++i)
            MakeLogFile("old" + std::to_string(i) + ".txt", 2015, 6, 29);
        if (oldFiles > 0)
            SetWriteDay(LogFile(first.GetCurrentFileName()), 2015, 6, 28);
        CLogger second(2, m_temp.Path(), &m_clock);
        EXPECT_TRUE(std::filesystem::exists(LogFile(first.GetCurrentFileName()))) << oldFiles << " old files";
        ASSERT_NE(first.GetCurrentFileName(), second.GetCurrentFileName());
        first.Log("App", "first", 1);
        second.Log("App", "second", 1);
        second.Close();
        first.Close();
        for (CLogger* log : {&first, &second})
            EXPECT_EQ(ReadLines(LogFile(log->GetCurrentFileName())),
                      (std::vector<std::string>{"[14:05:09] [Logger] Open",
                                                std::string("[14:05:09] [App] ") + (log == &first ? "first" : "second"),
                                                "[14:05:09] [Logger] Close"}))
                << oldFiles << " old files";
    }
}

TEST_F(LoggerTest, PurgeCountsRealDaysAcrossTheYearEnd)
{
    // Twelve real days; a count of 365-day years and 30-day months would make it sixteen.
    MakeLogFile("december.txt", 2015, 12, 20);
    MakeLogFile("older.txt", 2015, 12, 17);  // exactly fifteen days
    m_clock.SetDate(CDate(2016, 1, 1));
    CLogger log(2, m_temp.Path(), &m_clock);
    EXPECT_TRUE(std::filesystem::exists(LogFile("december.txt")));
    EXPECT_FALSE(std::filesystem::exists(LogFile("older.txt")));

    // The hourly tick purges as well, by the clock's date at that moment.
    m_clock.SetDate(CDate(2016, 1, 4));
    log.Tick(3600.0f);
    log.Tick(0.04f);
    EXPECT_FALSE(std::filesystem::exists(LogFile("december.txt")));
    EXPECT_TRUE(std::filesystem::exists(LogFile("20160101001.txt")));
}

TEST_F(LoggerTest, WithoutAClockEntriesCarryMidnightAndNothingIsPurged)
{
    MakeLogFile("ancient.txt", 2010, 1, 1);
    {
        CLogger log(2, m_temp.Path(), nullptr);
        EXPECT_EQ(log.GetCurrentFileName(), "20071227001.txt");
        log.Log("App", "x", 1);
        log.Tick(3600.0f);
        log.Tick(0.04f);
    }
    EXPECT_TRUE(std::filesystem::exists(LogFile("ancient.txt")));
    EXPECT_EQ(ReadLines(LogFile("20071227001.txt")),
              (std::vector<std::string>{"[00:00:00] [Logger] Open", "[00:00:00] [App] x",
                                        "[00:00:00] [Logger] Close"}));
}

TEST_F(LoggerTest, WithoutADataFolderTheLogStaysInMemory)
{
    const std::filesystem::path saved = std::filesystem::current_path();
    std::filesystem::current_path(m_temp.Path());
    {
        CLogger log(2, "", &m_clock);
        for (size_t i = 0; i < CLogger::kEntriesPerFile + 10; ++i)
            log.Log("App", "entry", 1);
        EXPECT_EQ(log.GetLines().size(), 12u);  // "continued" and the last 11
        log.Tick(3600.0f);
        log.Tick(0.04f);
    }
    std::filesystem::current_path(saved);
    EXPECT_TRUE(std::filesystem::is_empty(m_temp.Path()));
}

TEST_F(LoggerTest, AFailedWriteKeepsTheEntriesForTheNextOne)
{
    CLogger log(2, m_temp.Path(), &m_clock);
    log.Log("App", "first", 1);
    // A "Logs" folder removed while the program runs is made again.
    std::filesystem::remove_all(LogsFolder());
    EXPECT_TRUE(log.Flush());
    EXPECT_EQ(ReadLines(LogFile("20150630001.txt")).size(), 2u);

    // Without the data folder there is nowhere to write: said once, with the reason, however
    // often it is tried again, and the entries stay.
    std::filesystem::remove_all(m_temp.Path());
    testing::internal::CaptureStderr();
    log.Log("App", "second", 1);
    EXPECT_FALSE(log.Flush());
    for (int frame = 0; frame < 1000; ++frame)
        log.Tick(0.04f);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "The log cannot be written to \"" + LogsFolder() +
                  "\": No such file or directory; it keeps its entries until a write succeeds\n");
    EXPECT_EQ(log.GetLines().size(), 3u);

    std::filesystem::create_directories(LogsFolder());
    // A pipe that took the log's name since: the log moves on to the next name, without waiting.
    ASSERT_EQ(mkfifo(LogFile("20150630001.txt").c_str(), 0600), 0);
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    log.Tick(CLogger::kRetrySeconds);
    EXPECT_NE(testing::internal::GetCapturedStdout().find("is not a regular file"), std::string::npos);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "The log is written again to \"" + LogFile("20150630002.txt") + "\"\n");
    EXPECT_EQ(ReadLines(LogFile("20150630002.txt")).size(), 3u);
    log.Close();
    EXPECT_EQ(ReadLines(LogFile("20150630002.txt")).size(), 4u);
}

// A write cut short, as by a kill or a full disk, leaves every line the file held whole, and
// the next write adds what is missing once.
TEST_F(LoggerTest, AWriteCutShortKeepsTheLinesTheFileHeld)
{
    // Where the file stops growing, beside what it holds when the write begins: below it (a
    // file written again from its start is cut there), and a part of the new line into it.
    for (const int beside : {-4, 5})
    {
        std::filesystem::remove_all(LogsFolder());
        CLogger log(2, m_temp.Path(), &m_clock);
        log.Log("App", "first", 1);
        ASSERT_TRUE(log.Flush());
        const std::string file = LogFile(log.GetCurrentFileName());
        const std::vector<std::string> held{"[14:05:09] [Logger] Open", "[14:05:09] [App] first"};
        log.Log("App", "second", 1);
        testing::internal::CaptureStderr();
        {
            const CFileSizeLimit limit(rlim_t(std::filesystem::file_size(file) + beside));
            EXPECT_FALSE(log.Flush()) << beside;
        }
        EXPECT_EQ(ReadLines(file), held) << beside;
        log.Tick(CLogger::kRetrySeconds);
        testing::internal::GetCapturedStderr();
        std::vector<std::string> whole = held;
        whole.push_back("[14:05:09] [App] second");
        EXPECT_EQ(ReadLines(file), whole) << beside;
    }
}

TEST_F(LoggerTest, WhileWritesFailTheNewestEntriesAreKeptWithinABound)
{
    CLogger log(2, m_temp.Path(), &m_clock);
    log.Log("App", "written", 1);
    ASSERT_TRUE(log.Flush());
    const std::string away = m_temp.Path() + "/away";
    std::filesystem::rename(LogsFolder(), away);
    WriteFile(LogsFolder(), "in the way");
    testing::internal::CaptureStderr();
    // With "Open" and "written", a file's worth more than the bound: the oldest file's worth goes.
    for (size_t i = 0; i < CLogger::kMaxKeptEntries + 10; ++i)
        log.Log("App", "entry " + std::to_string(i), 1);
    EXPECT_EQ(log.GetLines().size(), CLogger::kMaxKeptEntries + 12 - CLogger::kEntriesPerFile);

    std::filesystem::remove(LogsFolder());
    std::filesystem::rename(away, LogsFolder());
    log.Tick(CLogger::kRetrySeconds);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "The log cannot be written to \"" + LogsFolder() +
                  "\": Not a directory; it keeps its entries until a write succeeds\n"
                  "The log is written again to \"" + LogFile("20150630002.txt") + "\"\n");
    // What was written stays; the rest goes to the next file, which says what was lost: of the
    // oldest file's worth that went, all but the two written before.
    EXPECT_EQ(ReadLines(LogFile("20150630001.txt")).size(), 2u);
    const std::vector<std::string> kept = ReadLines(LogFile("20150630002.txt"));
    ASSERT_EQ(kept.size(), CLogger::kMaxKeptEntries + 13 - CLogger::kEntriesPerFile);
    EXPECT_EQ(kept[0], "[14:05:09] [Logger] 4095 earlier entries are lost: the log could not be written");
    EXPECT_EQ(kept[1], "[14:05:09] [App] entry 4095");
    EXPECT_EQ(kept.back(), "[14:05:09] [App] entry " + std::to_string(CLogger::kMaxKeptEntries + 9));
    EXPECT_EQ(log.GetCurrentFileName(), "20150630003.txt");
}

TEST_F(LoggerTest, ALogsPathThatIsAFileIsReportedOnce)
{
    WriteFile(LogsFolder(), "in the way");
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    {
        CLogger log(2, m_temp.Path(), &m_clock);
        log.Log("App", "x", 1);
        log.Tick(3600.0f);
        log.Tick(0.04f);
        // Past the bound: what goes to keep it is lost as well.
        for (size_t i = 0; i < CLogger::kMaxKeptEntries; ++i)
            log.Log("App", "more", 1);
    }
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Could not create \"Logs\" directory\n");
    // Standard error says why, at the start, and what was lost in the end.
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "The log cannot be written to \"" + LogsFolder() +
                  "\": Not a directory; it keeps its entries until a write succeeds\n"
                  "The log's last " + std::to_string(CLogger::kMaxKeptEntries + 3) + " entries are lost\n");
    EXPECT_EQ(ReadLines(LogsFolder()), std::vector<std::string>{"in the way"});
}

// Four threads log across two roll-overs; every entry must land exactly once, in each thread's
// order, and no file may exceed the limit. Runs under ThreadSanitizer as well.
TEST(LoggerThreads, EntriesFromManyThreadsAreAllWritten)
{
    CTempFolder temp;
    CClock clock;
    clock.SetDateAndTime(CDate(2015, 6, 30), CTime(14, 5, 9));
    constexpr int kThreads = 4;
    constexpr int kEntries = 3000;
    {
        CLogger log(2, temp.Path(), &clock);
        std::vector<std::thread> threads;
        for (int t = 0; t < kThreads; ++t)
            threads.emplace_back([&log, t] {
                for (int i = 0; i < kEntries; ++i)
                    log.Log("T" + std::to_string(t), std::to_string(i), 1);
            });
        for (std::thread& thread : threads)
            thread.join();
    }

    std::vector<int> next(kThreads, 0);
    size_t total = 0;
    size_t continued = 0;
    const std::regex entry(R"(\[14:05:09\] \[T(\d)\] (\d+))");
    for (const char* name : {"20150630001.txt", "20150630002.txt", "20150630003.txt"})
    {
        const std::vector<std::string> lines = ReadLines(temp.Path() + "/Logs/" + name);
        EXPECT_LE(lines.size(), CLogger::kEntriesPerFile) << name;
        total += lines.size();
        for (const std::string& line : lines)
        {
            std::smatch match;
            if (std::regex_match(line, match, entry))
            {
                const int t = std::stoi(match[1]);
                EXPECT_EQ(std::stoi(match[2]), next[t]) << line;
                next[t] = std::stoi(match[2]) + 1;
            }
            else if (line == "[14:05:09] [Logger] Logging continued in new file")
                ++continued;
            else
                EXPECT_TRUE(line == "[14:05:09] [Logger] Open" ||
                            line == "[14:05:09] [Logger] Close") << line;
        }
    }
    EXPECT_EQ(next, std::vector<int>(kThreads, kEntries));
    EXPECT_EQ(continued, 2u);
    EXPECT_EQ(total, size_t(kThreads * kEntries) + 2 + continued);
    EXPECT_FALSE(std::filesystem::exists(temp.Path() + "/Logs/20150630004.txt"));
}
