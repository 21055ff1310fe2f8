#pragma once

#include "foundation/time.h"
#include "shell/held_file.h"
#include "shell/sdl_mutex.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <set>
#include <string>
#include <vector>

class CClock;

// One logged line.
struct CLogEntry
{
    std::string message;
    std::string category;  // the component: "App", "Logger", "DeviceManager", ...
    CTime time;            // time of day when it was logged
    uint32_t level = 1;
};

// The program's log: entries collected in memory and written out whole, as dated text files in
// the "Logs" folder of the application data folder ("YYYYMMDDnnn.txt", one line
// "[HH:MM:SS] [Category] message" per entry). What was added since is appended to the current
// file hourly, when the buffer reaches its limit and the log moves on to a new file, and at
// close: never written over, so that a process killed at any moment leaves every line the file
// held whole, and at most the line being written cut short. Files whose last write lies 15 or more days back are removed, and so are the
// oldest files while the folder holds more than kMaxFiles of them or more than kMaxFolderBytes.
//
// Each file is the log's own from the moment its name is chosen: made there and then, under a
// name nobody had, and held (CHeldFile) until the log moves on or closes, empty until its first
// write. Other instances of the program on the same folder therefore choose other names, and
// none of them removes a file another running instance holds.
//
// A message is written as a line of its own, whatever text it carries: control characters and
// bytes that are no UTF-8 stand as escapes in it (see Log).
//
// The folder is read when the log opens and at each hourly purge, at most kMaxListedEntries
// entries of it; in between the log keeps what it read and what it wrote itself, so that moving
// on to a new file costs the same however many files the folder holds. One start, roll-over or
// purge removes at most kMaxRemovedAtOnce files, and each tick at most kMaxRemovedPerTick of
// those still due, so that a folder filled far beyond its bounds never holds up the window.
//
// A log that cannot be written (the folder read-only or gone) says so once on standard error,
// with the reason, and keeps its entries, up to kMaxKeptEntries of the newest, trying again every
// kRetrySeconds; a "Logs" folder that went is made again when the data folder is there.
//
// Log may be called from any thread; it re-enters itself under its own (recursive) lock on a
// roll-over. Construction, Tick and Close belong to the main thread.
class CLogger
{
public:
    enum TLogLevel : int32_t
    {
        kLevelNormal = 1,
        kLevelDetail = 2,
    };
    // The entry that reaches this count is written to the old file, then a new file begins.
    static constexpr size_t kEntriesPerFile = 4097;
    static constexpr float kFlushSeconds = 3600.0f;
    static constexpr int32_t kKeepDays = 15;
    // What the folder may keep, the file being written included (which is never removed, nor are
    // those other running instances hold): a day of an entry a second fills some twenty files.
    static constexpr size_t kMaxFiles = 500;
    static constexpr uint64_t kMaxFolderBytes = 64ull * 1024 * 1024;
    // What the folder may cost. A listing reads at most this many entries, of any name, and asks
    // the file system about each log file among them: some 70 ms for 20,000 files where the
    // folder is in memory, where the folder the log keeps holds 500. One filled beyond that by
    // others is brought within the bounds from the entries each listing reads, the oldest of
    // those first.
    static constexpr size_t kMaxListedEntries = 32768;
    // Removals: at most this many at a start, a roll-over or an hourly purge (each some 0.05 to
    // 1 ms), and then one a frame until what the last listing found due has gone.
    static constexpr size_t kMaxRemovedAtOnce = 64;
    static constexpr size_t kMaxRemovedPerTick = 1;
    // A longer line of a message is kept as its start and the message's length, so that a file
    // holds at most kEntriesPerFile times this (and a path of any length still fits whole).
    static constexpr size_t kMaxMessageBytes = 8192;
    // While writes fail: the most entries kept (the oldest file's worth goes when they reach it)
    // and how often a write is tried again.
    static constexpr size_t kMaxKeptEntries = 4 * kEntriesPerFile;
    static constexpr float kRetrySeconds = 10.0f;
    // The date in file names when there is no clock.
    static constexpr const char* kNoClockDate = "20071227";

    // An empty application data path keeps the log in memory only (no folder, no files). The
    // clock, when given, must outlive the log; without one entries carry 00:00:00, files use
    // kNoClockDate and nothing is purged for its age.
    CLogger(int32_t threshold, const std::string& applicationDataPath, const CClock* clock);
    // Closes the log when Close has not run.
    ~CLogger();
    CLogger(const CLogger&) = delete;
    CLogger& operator=(const CLogger&) = delete;

    // Recorded when the threshold is at least the level. The message is written as its line holds
    // it: a line feed as "\n", a carriage return "\r", a tab "\t", any other control byte (below
    // 0x20, and 0x7F) and every byte that belongs to no well-formed UTF-8 character "\xNN" (two
    // upper-case hex digits), and the controls U+0080 to U+009F and the line and paragraph
    // separators U+2028 and U+2029 "\uNNNN"; a backslash stands as it is, so that the program's
    // own lines read as they always did. A line that would hold more than kMaxMessageBytes ends
    // before the first character or escape that does not fit, with "... (N bytes)", N the
    // message's own length.
    void Log(const std::string& category, const std::string& message, uint32_t level);
    // Once per frame: the hourly write and purge, and a removal left over by the last one.
    void Tick(float seconds);
    // Logs "Close", writes the file and releases the buffer; later entries are dropped.
    void Close();

    // Adds to the current file the buffered entries it does not hold yet; false when they could
    // not be written.
    bool Flush();
    // Reads the folder again and removes the log files that are kKeepDays or more days old by the
    // local calendar, and the oldest while there are too many or they are too large.
    void Purge();
    // Lets go of the current file and takes the lowest file number of today that no name in the
    // folder has yet, making the file.
    void NewFile();

    const std::string& GetFolder() const { return m_folder; }
    std::string GetCurrentFileName() const;
    // The buffered entries as they will be written.
    std::vector<std::string> GetLines() const;
    bool IsDirty() const;

private:
    // A "*.txt" file of the folder as last read or written.
    struct CLogFile
    {
        std::string name;
        int64_t written;  // seconds since 1970
        uint64_t bytes;
    };

    std::string FormatLine(const CLogEntry& entry) const;
    // What the folder holds: its log files, the oldest first, and every name a new file must not
    // take.
    void ReadFolder();
    // Removes the oldest files while one is too old or there are too many or too large, at most
    // budget of them; notes whether some are left.
    void RemoveOldest(size_t budget);
    // From the lowest number on, makes the first file of today's names not in m_names; false
    // with the error when one cannot be made (the name is kept: the next write tries again).
    bool TakeName(int& error);
    // The current file as just written: the newest.
    void NoteWritten();
    CTime Now() const;
    // Flush, and once the buffer holds a file's worth, on to a new file.
    void WriteOut();
    // Adds to the current file the entries it does not hold yet.
    bool WriteFile(int& error);
    void OnWriteFailed(int error);
    void OnWriteSucceeded();

    bool m_dirty = true;
    std::string m_fileName;
    CHeldFile m_file;
    std::string m_folder;
    std::unique_ptr<CSdlMutex> m_mutex;
    std::vector<CLogEntry> m_entries;
    // The first this many of m_entries stand in the current file, and this many in some file: the
    // current one or one the log has moved on from.
    size_t m_entriesWritten = 0;
    size_t m_entriesSaved = 0;
    int32_t m_threshold;
    const CClock* m_clock;
    float m_secondsSinceFlush = 0.0f;
    bool m_closed = false;
    // Since the last write failed, until one succeeds.
    bool m_failing = false;
    float m_secondsSinceFailure = 0.0f;
    // Entries dropped while writes failed; the next write says how many.
    size_t m_lost = 0;
    // The current file holds lines of this session; one the buffer no longer holds in whole goes
    // to a new file rather than cutting those lines out of it.
    bool m_fileWritten = false;
    bool m_fileCut = false;
    std::deque<CLogFile> m_files;
    uint64_t m_bytes = 0;  // of m_files
    // The last removal stopped at its budget with files due.
    bool m_removalsLeft = false;
    // Lower-cased: the folder's "*.txt" names, whatever they name, and the names the log chose.
    std::set<std::string> m_names;
};
