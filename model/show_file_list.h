#pragma once

#include "foundation/subject.h"
#include "model/show_header_cache.h"
#include "model/show_list_reader.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

class CCore;
class CFile;
class CObserver;
class CShowMessage;
class CSubjectSet;
class TiXmlDocument;

// The list of show files that the settings page offers: the "*.show" files of the data folder
// and the "*.xml" files there that are shows of the main product, within kMostShowFiles. It keeps
// which show is open, makes new empty shows under free names and removes shows from disk. Tells
// its observers NOTIFY_LIST when the list changes and NOTIFY_SELECTION when the open show changes.
// Main thread only: the folder is read on the thread of its reader (CShowListReader), whose
// findings become rows in Update, a tick at a time.
class CFileManager : public CSubject
{
public:
    // Lists the application data folder.
    CFileManager();
    // Lists the given folder instead; an empty folder lists nothing and makes no files. read,
    // where given, reads the shows' headers instead of CFile::ReadHeader.
    explicit CFileManager(const std::string& folder, TShowHeaderRead read = nullptr);
    ~CFileManager() override;
    CFileManager(const CFileManager&) = delete;
    CFileManager& operator=(const CFileManager&) = delete;

    // Keeps the model root, handed to every file, and lists the folder.
    void SetCore(CCore* core);
    CCore* GetCore() const { return m_core; }
    const std::string& GetFolder() const { return m_folder; }

    // What a listing reads, however many files the folder holds: a walk over its names, and the
    // first kMostShowFiles ".show" files by name and as many ".xml" files, each read as far as the
    // reader reads it (CFile::ReadStart: a plain show some 10 us, one of 32 MB up to a second in
    // the slowest encodings), of which the shows are listed, and the shows made or saved here
    // whatever the bound; then the shows listed from their start alone are checked whole, those
    // the reader refuses marked read-only as the check finds them. Genuine folders hold some
    // hundreds. One log line says how many files were left.
    static constexpr size_t kMostShowFiles = 16384;
    // The lines a listing logs about single files; one more says how many were left out.
    static constexpr size_t kMostFileLines = 8;
    // The rows a tick makes of what the reader found, a few milliseconds of the frame.
    static constexpr size_t kMostRowsPerTick = 256;

    // Lists the folder again: the list is emptied at once (an open show is closed first, and
    // observers hear NOTIFY_SELECTION and NOTIFY_LIST), and the shows come back, sorted by name,
    // as the reader finds them (Update).
    void Refresh();
    // Makes rows of what the reader has found since, within kMostRowsPerTick, and tells the
    // observers NOTIFY_LIST where it made any. Called every tick.
    void Update();
    // Whether a listing is still under way.
    bool IsListing() const { return m_listing; }
    // Makes every row of the listing under way as soon as the reader has found it, for callers
    // that need the whole list before they go on (tests, benchmarks): false where the reader
    // finds nothing more within quiet.
    bool FinishListing(std::chrono::milliseconds quiet = std::chrono::seconds(60));
    uint32_t GetCount() const { return static_cast<uint32_t>(m_files.size()); }
    // Null past the end.
    CFile* GetFile(uint32_t index) const;
    int32_t IndexOf(const CFile* file) const;
    // The first file whose name (without extension) is exactly the text, or null.
    CFile* FindFile(const std::string& name) const;

    CFile* GetCurrentFile() const { return m_current; }
    void SetCurrentFile(CFile* file);
    // The observer follows the files in list order, as many as its set holds.
    void AttachFiles(CObserver* observer, CSubjectSet* set);

    // "show1", "show2", ...: the first that names neither a listed file nor a file on disk.
    std::string NewShowName() const;
    // Writes a new empty show under a new name and appends it to the list (it does not become
    // the open show). Null, with nothing listed, when the folder cannot be written.
    CFile* CreateShowFile();
    // Deletes the file from disk and from the list (a symbolic link goes, not the file it leads
    // to). False, with the reason and nothing changed, for a read-only file (CFile::CheckWritable)
    // or one the file system refuses to delete; a file already gone from disk is still taken off
    // the list.
    bool RemoveFile(CFile* file);
    // Whether the file is a show of the main product: an XML file whose "show" root names
    // "Lumivo" as its application.
    static bool IsShowFile(const std::string& path);
    // What CFile::ReadHeader reads of the file: as the reader found it for a row being made, else
    // read now. Valid until the next call.
    const CShowHeader& ReadHeader(const std::string& path, const struct stat* status = nullptr);
    // The show at the path, made or saved by the user, is listed whatever the bound.
    void KeepListed(const std::string& path);
    // Logs a line about one of the files, within a listing only the first kMostFileLines.
    void LogAboutFile(const std::string& category, const std::string& line);
    // Why the last CreateShowFile or RemoveFile failed, ready to show in the interface's
    // language.
    const std::string& GetError() const { return m_error; }
    // The show the error names (CShowMessage::Name).
    const std::string& GetErrorName() const { return m_errorName; }

    // A show opened while the model reads a newly chosen controller; it is sent once the model
    // root finds the link settled. A later show takes the place of one still waiting.
    void DeferLoad(std::unique_ptr<TiXmlDocument> show, bool mainProduct);
    bool IsLoadPending() const { return m_pending != nullptr; }
    void CancelPendingLoad();
    // Called by the model root when the outgoing queue has drained after a resync.
    void ResyncSettled();

private:
    // Keeps the message to show and logs it.
    void Fail(const CShowMessage& message);
    // Takes what the reader found and makes at most mostRows rows of it; whether anything came.
    bool Advance(size_t mostRows);
    // Marks the rows of the shows the reader refuses, and keeps them for the rows still to come.
    void TakeRefusals(const std::vector<CShowListReader::CRefusal>& refusals);
    // NOTIFY_LIST, where rows were made since last told.
    void TellOfRows();
    void Log(const CShowListReader::CLine& line);

    std::vector<std::unique_ptr<CFile>> m_files;
    CCore* m_core = nullptr;
    CFile* m_current = nullptr;
    std::string m_folder;
    bool m_folderGiven = false;
    std::string m_error;
    std::string m_errorName;
    std::unique_ptr<TiXmlDocument> m_pending;
    bool m_pendingMainProduct = false;
    TShowHeaderRead m_read;
    std::unique_ptr<CShowListReader> m_reader;
    bool m_listing = false;
    size_t m_fileLines = 0;  // of the listing
    // Found by the reader, made into rows from m_arrivedAt on.
    CShowListReader::CFound m_arrived;
    size_t m_arrivedAt = 0;
    // The shows made by NEW while the listing is read, which it may find as well.
    std::vector<std::string> m_madeWhileListing;
    // The shows of the listing the reader refuses, as their files stood when checked.
    std::unordered_map<std::string, CFileStamp> m_refusals;
    const CShowListReader::CShow* m_handed = nullptr;  // the row being made
    bool m_rowsUntold = false;
    CShowHeader m_unkept;
    std::vector<std::string> m_kept;
};
