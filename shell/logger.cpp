#include "shell/logger.h"

#include "foundation/ascii.h"
#include "foundation/clock.h"
#include "foundation/file_helpers.h"
#include "shell/platform.h"

#include <sys/stat.h>

#include <cstdio>

CLogger::CLogger(int32_t threshold, const std::string& applicationDataPath, const CClock* clock)
    : m_mutex(std::make_unique<CSdlMutex>()), m_threshold(threshold), m_clock(clock)
{
    // Without a data folder the log would land wherever the program was started.
    if (!applicationDataPath.empty())
    {
        m_folder = JoinPath(applicationDataPath, "Logs");
        if (!IsFolder(m_folder) && mkdir(m_folder.c_str(), 0777) != 0)
        {
            std::printf("Could not create \"Logs\" directory\n");
            std::fflush(stdout);
        }
    }
    Purge();
    NewFile();
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

    if (m_entries.size() >= kEntriesPerFile)
    {
        FlushAndClear();
        Log("Logger", "Logging continued in new file", kLevelNormal);
        Purge();
        NewFile();
    }
}

void CLogger::Tick(float seconds)
{
    if (m_closed)
        return;
    if (m_secondsSinceFlush >= kFlushSeconds)
    {
        {
            CSdlMutexLock lock(m_mutex.get());
            if (m_dirty)
                Flush();
        }
        Purge();
        m_secondsSinceFlush = 0.0f;
    }
    else
    {
        m_secondsSinceFlush += seconds;
    }
}

void CLogger::Close()
{
    if (m_closed)
        return;
    Log("Logger", "Close", kLevelNormal);
    FlushAndClear();
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

void CLogger::Flush()
{
    CSdlMutexLock lock(m_mutex.get());
    if (!m_folder.empty())
    {
        std::vector<std::string> lines;
        lines.reserve(m_entries.size());
        for (const CLogEntry& entry : m_entries)
            lines.push_back(FormatLine(entry));
        int error = 0;
        if (!WriteLines(JoinPath(m_folder, m_fileName), lines, &error) && error == kErrorNotRegularFile)
        {
            // Something that is no file took the name (a pipe would have held the program for
            // ever): the log moves on to the next free name, which passes such names over.
            std::printf("Log file %s is not a regular file; logging continues in another\n", m_fileName.c_str());
            std::fflush(stdout);
            NewFile();
            WriteLines(JoinPath(m_folder, m_fileName), lines);
        }
    }
    m_dirty = false;
}

void CLogger::FlushAndClear()
{
    CSdlMutexLock lock(m_mutex.get());
    Flush();
    m_entries.clear();
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
