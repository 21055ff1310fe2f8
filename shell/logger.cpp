#include "shell/logger.h"

#include "foundation/ascii.h"
#include "foundation/clock.h"
#include "foundation/file_helpers.h"
#include "shell/platform.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace
{
void SayOnStandardError(const std::string& line)
{
    std::fputs((line + "\n").c_str(), stderr);
    std::fflush(stderr);
}
}  // namespace

CLogger::CLogger(int32_t threshold, const std::string& applicationDataPath, const CClock* clock)
    : m_mutex(std::make_unique<CSdlMutex>()), m_threshold(threshold), m_clock(clock)
{
    // Without a data folder the log would land wherever the program was started.
    int error = 0;
    if (!applicationDataPath.empty())
    {
        m_folder = JoinPath(applicationDataPath, "Logs");
        if (!IsFolder(m_folder) && mkdir(m_folder.c_str(), 0777) != 0)
        {
            // Something that is no folder holds the name.
            error = errno == EEXIST ? ENOTDIR : errno;
            std::printf("Could not create \"Logs\" directory\n");
            std::fflush(stdout);
        }
        else if (access(m_folder.c_str(), W_OK | X_OK) != 0)
        {
            error = errno;
        }
    }
    Purge();
    NewFile();
    // Said now, not at the first write an hour or a session later.
    if (error != 0)
        OnWriteFailed(error);
    Log("Logger", "Open", kLevelNormal);
}

CLogger::~CLogger()
{
    if (!m_closed)
        Close();
}

CTime CLogger::Now() const
{
    return m_clock ? m_clock->GetTime() : CTime();
}

void CLogger::Log(const std::string& category, const std::string& message, uint32_t level)
{
    if (m_closed || static_cast<int64_t>(m_threshold) < static_cast<int64_t>(level))
        return;
    CSdlMutexLock lock(m_mutex.get());
    CLogEntry entry;
    entry.message = message;
    entry.category = category;
    entry.time = Now();
    entry.level = level;
    m_entries.push_back(std::move(entry));
    m_dirty = true;

    if (!m_failing)
    {
        if (m_entries.size() >= kEntriesPerFile)
            WriteOut();
    }
    else if (m_entries.size() >= kMaxKeptEntries)
    {
        // A file's worth at a time, the oldest first: the newest say most about what goes on.
        m_entries.erase(m_entries.begin(), m_entries.begin() + kEntriesPerFile);
        m_lost += kEntriesPerFile;
        m_fileCut = m_fileWritten;
    }
}

void CLogger::WriteOut()
{
    CSdlMutexLock lock(m_mutex.get());
    if (!Flush() || m_entries.size() < kEntriesPerFile)
        return;
    m_entries.clear();
    m_lost = 0;
    Log("Logger", "Logging continued in new file", kLevelNormal);
    Purge();
    NewFile();
}

void CLogger::Tick(float seconds)
{
    if (m_closed)
        return;
    bool retry = false;
    {
        CSdlMutexLock lock(m_mutex.get());
        if (m_failing)
        {
            m_secondsSinceFailure += seconds;
            retry = m_secondsSinceFailure >= kRetrySeconds;
        }
    }
    if (m_secondsSinceFlush >= kFlushSeconds)
    {
        {
            CSdlMutexLock lock(m_mutex.get());
            if (m_dirty)
                WriteOut();
        }
        Purge();
        m_secondsSinceFlush = 0.0f;
    }
    else
    {
        m_secondsSinceFlush += seconds;
        if (retry)
            WriteOut();
    }
}

void CLogger::Close()
{
    if (m_closed)
        return;
    Log("Logger", "Close", kLevelNormal);
    {
        CSdlMutexLock lock(m_mutex.get());
        // Those dropped while writes failed were never written either.
        if (!Flush())
            SayOnStandardError("The log's last " + std::to_string(m_entries.size() + m_lost) + " entries are lost");
        m_entries.clear();
    }
    m_closed = true;
    m_mutex->Destroy();
    m_mutex.reset();
    std::vector<CLogEntry>().swap(m_entries);
}

std::string CLogger::FormatLine(const CLogEntry& entry) const
{
    return "[" + entry.time.ToClockString(true, true, false) + "] [" + entry.category + "] " +
           entry.message;
}

bool CLogger::Flush()
{
    CSdlMutexLock lock(m_mutex.get());
    if (m_folder.empty())
    {
        m_dirty = false;
        return true;
    }
    std::vector<std::string> lines;
    lines.reserve(m_entries.size() + 1);
    if (m_lost > 0 && !m_entries.empty())
    {
        CLogEntry lost = m_entries.front();
        lost.category = "Logger";
        lost.message = std::to_string(m_lost) + " earlier entries are lost: the log could not be written";
        lines.push_back(FormatLine(lost));
    }
    for (const CLogEntry& entry : m_entries)
        lines.push_back(FormatLine(entry));
    if (m_fileCut)
        NewFile();
    int error = 0;
    if (!WriteFile(lines, error))
    {
        OnWriteFailed(error);
        return false;
    }
    OnWriteSucceeded();
    return true;
}

bool CLogger::WriteFile(const std::vector<std::string>& lines, int& error)
{
    if (WriteLines(JoinPath(m_folder, m_fileName), lines, &error))
        return true;
    if (error == kErrorNotRegularFile)
    {
        // Something that is no file took the name (a pipe would have held the program for
        // ever): the log moves on to the next free name, which passes such names over.
        std::printf("Log file %s is not a regular file; logging continues in another\n", m_fileName.c_str());
        std::fflush(stdout);
        NewFile();
    }
    else if (error == ENOENT)
    {
        // The folder went while the program ran: made again where the data folder still is, or
        // is again.
        if (mkdir(m_folder.c_str(), 0777) != 0 && errno != EEXIST)
            return false;
    }
    else
    {
        return false;
    }
    return WriteLines(JoinPath(m_folder, m_fileName), lines, &error);
}

void CLogger::OnWriteFailed(int error)
{
    m_secondsSinceFailure = 0.0f;
    if (m_failing)
        return;
    m_failing = true;
    SayOnStandardError("The log cannot be written to \"" + m_folder + "\": " + DescribeFileError(error) +
                       "; it keeps its entries until a write succeeds");
}

void CLogger::OnWriteSucceeded()
{
    m_dirty = false;
    m_fileWritten = true;
    m_fileCut = false;
    if (!m_failing)
        return;
    m_failing = false;
    SayOnStandardError("The log is written again to \"" + JoinPath(m_folder, m_fileName) + "\"");
}

void CLogger::Purge()
{
    if (!m_clock || m_folder.empty())
        return;
    const int32_t today = m_clock->GetDate().ToDayNumber();
    if (today == CDate::kNotADayNumber)
        return;
    std::vector<std::string> files;
    ListDirectory(m_folder, "*.txt", files, true);
    for (const std::string& path : files)
    {
        // A file that cannot be examined any more keeps today's date and stays.
        CDate written = m_clock->GetDate();
        written.SetFromFileLocalTime(path);
        const int32_t day = written.ToDayNumber();
        if (day == CDate::kNotADayNumber || today - day < kKeepDays)
            continue;
        if (std::remove(path.c_str()) != 0)
            Log("Logger", "Failed to remove file: " + path, kLevelNormal);
    }
}

void CLogger::NewFile()
{
    const std::string date = m_clock ? m_clock->GetDate().ToCompactString() : kNoClockDate;
    std::vector<std::string> files;
    if (!m_folder.empty())
    {
        // A name that something other than a file holds is taken as well.
        std::vector<std::string> others;
        ListDirectory(m_folder, "*.txt", files, true, &others);
        files.insert(files.end(), others.begin(), others.end());
    }
    std::string name;
    for (int n = 1;; ++n)
    {
        char number[16];
        std::snprintf(number, sizeof number, "%03i", n);
        name = date + number + ".txt";
        bool taken = false;
        for (const std::string& path : files)
            if (EqualIgnoringAsciiCase(FileNameOf(path), name))
            {
                taken = true;
                break;
            }
        if (!taken)
            break;
    }
    CSdlMutexLock lock(m_mutex.get());
    m_fileName = name;
    m_fileWritten = false;
    m_fileCut = false;
}

std::string CLogger::GetCurrentFileName() const
{
    CSdlMutexLock lock(m_mutex.get());
    return m_fileName;
}

std::vector<std::string> CLogger::GetLines() const
{
    CSdlMutexLock lock(m_mutex.get());
    std::vector<std::string> lines;
    for (const CLogEntry& entry : m_entries)
        lines.push_back(FormatLine(entry));
    return lines;
}

bool CLogger::IsDirty() const
{
    CSdlMutexLock lock(m_mutex.get());
    return m_dirty;
}
