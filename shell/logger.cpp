#include "shell/logger.h"

#include "foundation/ascii.h"
#include "foundation/clock.h"
#include "foundation/date.h"
#include "foundation/file_helpers.h"
#include "foundation/utf8.h"
#include "shell/platform.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <ctime>
#include <memory>

namespace
{
void SayOnStandardError(const std::string& line)
{
    std::fputs((line + "\n").c_str(), stderr);
    std::fflush(stderr);
}

// The local calendar day of a moment, as CDate numbers days.
int32_t LocalDayNumber(int64_t seconds)
{
    const std::time_t moment = std::time_t(seconds);
    std::tm local{};
    if (localtime_r(&moment, &local) == nullptr)
        return CDate::kNotADayNumber;
    return CDate(uint32_t(local.tm_year + 1900), uint32_t(local.tm_mon + 1), uint32_t(local.tm_mday)).ToDayNumber();
}

// How the character, or the stray byte, at pos stands in a log line; the bytes of the text it
// takes.
size_t EscapeAt(const std::string& text, size_t pos, std::string& piece)
{
    const auto at = [&](size_t i) { return static_cast<unsigned char>(text[pos + i]); };
    const size_t length = WellFormedCharacterLength(text, pos);
    char escape[8];
    if (length <= 1 && (at(0) < 0x20 || at(0) >= 0x7F))
    {
        if (at(0) == '\n' || at(0) == '\r' || at(0) == '\t')
            piece = at(0) == '\n' ? "\\n" : at(0) == '\r' ? "\\r" : "\\t";
        else
        {
            std::snprintf(escape, sizeof escape, "\\x%02X", unsigned(at(0)));
            piece = escape;
        }
        return 1;
    }
    // U+0080 to U+009F, and U+2028 and U+2029.
    if ((length == 2 && at(0) == 0xC2 && at(1) < 0xA0) ||
        (length == 3 && at(0) == 0xE2 && at(1) == 0x80 && (at(2) == 0xA8 || at(2) == 0xA9)))
    {
        std::snprintf(escape, sizeof escape, "\\u%04X", length == 2 ? unsigned(at(1)) : 0x2000u | (at(2) & 0x3Fu));
        piece = escape;
        return length;
    }
    piece.assign(text, pos, length);
    return length;
}

// The message as its log line holds it (see CLogger::Log). It costs what the line's first maxBytes
// cost, however long the message.
std::string EscapedForLog(const std::string& message, size_t maxBytes)
{
    std::string line;
    std::string piece;
    for (size_t pos = 0; pos < message.size();)
    {
        const size_t taken = EscapeAt(message, pos, piece);
        if (line.size() + piece.size() > maxBytes)
            return line + "... (" + std::to_string(message.size()) + " bytes)";
        line += piece;
        pos += taken;
    }
    return line;
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
    ReadFolder();
    // Made before the purge, so that it counts among the files the folder holds, and never takes
    // the name of a file the purge removes.
    NewFile();
    RemoveOldest(kMaxRemovedAtOnce);
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
    entry.message = EscapedForLog(message, kMaxMessageBytes);
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
        // Those of them a file already holds are no loss.
        const size_t saved = std::min(m_entriesSaved, kEntriesPerFile);
        m_entries.erase(m_entries.begin(), m_entries.begin() + kEntriesPerFile);
        m_lost += kEntriesPerFile - saved;
        m_entriesSaved -= saved;
        m_fileCut = m_fileWritten;
        m_entriesWritten = 0;
    }
}

void CLogger::WriteOut()
{
    CSdlMutexLock lock(m_mutex.get());
    if (!Flush() || m_entries.size() < kEntriesPerFile)
        return;
    m_entries.clear();
    m_entriesWritten = 0;
    m_entriesSaved = 0;
    m_lost = 0;
    Log("Logger", "Logging continued in new file", kLevelNormal);
    NewFile();
    // From what the log knows of the folder: no listing of a folder of any size.
    RemoveOldest(kMaxRemovedAtOnce);
}

void CLogger::Tick(float seconds)
{
    if (m_closed)
        return;
    bool retry = false;
    bool removalsLeft = false;
    {
        CSdlMutexLock lock(m_mutex.get());
        if (m_failing)
        {
            m_secondsSinceFailure += seconds;
            retry = m_secondsSinceFailure >= kRetrySeconds;
        }
        removalsLeft = m_removalsLeft;
    }
    if (removalsLeft)
        RemoveOldest(kMaxRemovedPerTick);
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
            SayOnStandardError("The log's last " + std::to_string(m_entries.size() - m_entriesSaved + m_lost) +
                               " entries are lost");
        m_entries.clear();
    }
    m_closed = true;
    m_file.Release();
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
    if (m_fileCut)
        NewFile();
    int error = 0;
    if (!WriteFile(error))
    {
        OnWriteFailed(error);
        return false;
    }
    OnWriteSucceeded();
    return true;
}

bool CLogger::WriteFile(int& error)
{
    const std::string path = JoinPath(m_folder, m_fileName);
    if (!m_file.IsAt(path))
    {
        // Whatever file it is written to now holds none of the entries.
        m_entriesWritten = 0;
        // The file went (removed, or its folder), or could not be made: made again under its
        // name, and the folder too where the data folder still is, or is again.
        if (!IsFolder(m_folder) && mkdir(m_folder.c_str(), 0777) != 0 && errno != EEXIST)
        {
            error = errno;
            return false;
        }
        if (!m_file.Create(path, error))
        {
            if (error != EEXIST)
                return false;
            // Something took the name meanwhile; one that is no file (a pipe would have held the
            // program for ever) is said.
            if (!IsRegularFile(path))
            {
                std::printf("Log file %s is not a regular file; logging continues in another\n", m_fileName.c_str());
                std::fflush(stdout);
            }
            if (!TakeName(error))
                return false;
        }
    }
    std::string text;
    if (m_entriesWritten == 0 && m_lost > 0 && !m_entries.empty())
    {
        CLogEntry lost = m_entries.front();
        lost.category = "Logger";
        lost.message = std::to_string(m_lost) + " earlier entries are lost: the log could not be written";
        text += FormatLine(lost);
        text += '\n';
    }
    for (size_t i = m_entriesWritten; i < m_entries.size(); ++i)
    {
        text += FormatLine(m_entries[i]);
        text += '\n';
    }
    if (!m_file.Append(text, error))
        return false;
    m_entriesWritten = m_entries.size();
    m_entriesSaved = m_entries.size();
    return true;
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
    NoteWritten();
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
    ReadFolder();
    RemoveOldest(kMaxRemovedAtOnce);
}

void CLogger::ReadFolder()
{
    if (m_folder.empty())
        return;
    std::deque<CLogFile> files;
    std::set<std::string> names;
    uint64_t bytes = 0;
    const std::unique_ptr<DIR, int (*)(DIR*)> directory(::opendir(m_folder.c_str()), ::closedir);
    for (size_t read = 0; directory && read < kMaxListedEntries; ++read)
    {
        const dirent* entry = ::readdir(directory.get());
        if (entry == nullptr)
            break;
        const std::string name = entry->d_name;
        if (name == "." || name == ".." || !EqualIgnoringAsciiCase(GetExtension(name), "txt"))
            continue;
        // Whatever it names (a pipe, a folder): a new file must not take it.
        names.insert(ToLowerAscii(name));
        struct stat status;
        if (::fstatat(::dirfd(directory.get()), entry->d_name, &status, 0) == 0 && S_ISREG(status.st_mode))
        {
            files.push_back({name, int64_t(status.st_mtime), uint64_t(status.st_size)});
            bytes += uint64_t(status.st_size);
        }
    }
    std::sort(files.begin(), files.end(), [](const CLogFile& a, const CLogFile& b) {
        return a.written != b.written ? a.written < b.written : a.name < b.name;
    });

    CSdlMutexLock lock(m_mutex.get());
    // The file being written is the newest, whatever the clock said of the others.
    const auto current = std::find_if(files.begin(), files.end(), [this](const CLogFile& file) {
        return file.name == m_fileName;
    });
    if (current != files.end())
    {
        const CLogFile kept = *current;
        files.erase(current);
        files.push_back(kept);
    }
    if (!m_fileName.empty())
        names.insert(ToLowerAscii(m_fileName));
    m_files = std::move(files);
    m_bytes = bytes;
    m_names = std::move(names);
}

void CLogger::RemoveOldest(size_t budget)
{
    std::vector<std::string> failed;
    {
        CSdlMutexLock lock(m_mutex.get());
        m_removalsLeft = false;
        const int32_t today = m_clock ? m_clock->GetDate().ToDayNumber() : CDate::kNotADayNumber;
        size_t i = 0;
        while (i < m_files.size())
        {
            const CLogFile& file = m_files[i];
            const bool tooMany = m_files.size() > kMaxFiles || m_bytes > kMaxFolderBytes;
            // Without a clock (or a day it knows) no file is too old.
            const int32_t day = LocalDayNumber(file.written);
            const bool tooOld =
                today != CDate::kNotADayNumber && day != CDate::kNotADayNumber && today - day >= kKeepDays;
            // The oldest first: once one may stay, so may the newer ones.
            if (!tooMany && !tooOld)
                break;
            if (budget == 0)
            {
                m_removalsLeft = true;
                break;
            }
            const std::string path = JoinPath(m_folder, file.name);
            const TRemoval removal = file.name == m_fileName ? TRemoval::kHeld : RemoveUnlessHeld(path);
            if (removal == TRemoval::kHeld)
            {
                ++i;
                continue;
            }
            --budget;
            if (removal == TRemoval::kRemoved)
                m_names.erase(ToLowerAscii(file.name));
            else
                failed.push_back(path);
            // A file that cannot be removed is not tried again before the folder is read again.
            m_bytes -= file.bytes;
            m_files.erase(m_files.begin() + std::ptrdiff_t(i));
        }
    }
    // Logged once the list is whole again: the entry may start a new file, which trims it.
    for (const std::string& path : failed)
        Log("Logger", "Failed to remove file: " + path, kLevelNormal);
}

void CLogger::NoteWritten()
{
    CSdlMutexLock lock(m_mutex.get());
    struct stat status;
    if (m_folder.empty() || stat(JoinPath(m_folder, m_fileName).c_str(), &status) != 0)
        return;
    if (!m_files.empty() && m_files.back().name == m_fileName)
    {
        m_bytes -= m_files.back().bytes;
        m_files.pop_back();
    }
    m_files.push_back({m_fileName, int64_t(status.st_mtime), uint64_t(status.st_size)});
    m_bytes += uint64_t(status.st_size);
}

void CLogger::NewFile()
{
    CSdlMutexLock lock(m_mutex.get());
    m_file.Release();
    m_fileWritten = false;
    m_fileCut = false;
    m_entriesWritten = 0;
    int error = 0;
    TakeName(error);
}

bool CLogger::TakeName(int& error)
{
    CSdlMutexLock lock(m_mutex.get());
    const std::string date = m_clock ? m_clock->GetDate().ToCompactString() : kNoClockDate;
    for (int n = 1;; ++n)
    {
        char number[16];
        std::snprintf(number, sizeof number, "%03i", n);
        m_fileName = date + number + ".txt";
        if (m_folder.empty())
            return true;
        const std::string key = ToLowerAscii(m_fileName);
        if (m_names.count(key) != 0)
            continue;
        m_names.insert(key);
        // Taken by the making itself: another instance (or anything else) may have made the name
        // since the folder was read.
        if (m_file.Create(JoinPath(m_folder, m_fileName), error))
        {
            NoteWritten();
            return true;
        }
        if (error != EEXIST)
            return false;
    }
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
