#pragma once

#include "foundation/subject.h"
#include "model/show_header_cache.h"

#include <cstdint>
#include <memory>
#include <string>
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
// Main thread only.
class CFileManager : public CSubject
{
public:
    // Lists the application data folder.
    CFileManager();
    // Lists the given folder instead; an empty folder lists nothing and makes no files.
    explicit CFileManager(const std::string& folder);
    ~CFileManager() override;
    CFileManager(const CFileManager&) = delete;
    CFileManager& operator=(const CFileManager&) = delete;

    // Keeps the model root, handed to every file, and lists the folder.
    void SetCore(CCore* core);
    CCore* GetCore() const { return m_core; }
    const std::string& GetFolder() const { return m_folder; }

    // What a listing costs, however many files the folder holds: a walk over its names, and the
    // first kMostShowFiles ".show" files by name and as many ".xml" files, each read up to its
    // root's start tag (a plain show some 10 us, one read to the list's reach some 0.75 ms) within
    // kListingReadBudget in all, of which the shows are listed. Genuine folders hold some
    // hundreds. One log line says how many files were left.
    static constexpr size_t kMostShowFiles = 4096;
    // What one listing reads of the files it has not kept from an earlier one (CXmlRootTagReader):
    // some 64 shows read to the list's reach, 50 ms, where a genuine show costs 4 KB. The shows
    // past it are listed read-only for this listing, and the ".xml" files past it not listed.
    static constexpr size_t kListingReadBudget = 256 * 1024 * 1024;
    // The lines a listing logs about single files; one more says how many were left out.
    static constexpr size_t kMostFileLines = 8;

    // Lists the folder again, sorted by name. Every file object is made anew, so an open show
    // is closed first (observers hear NOTIFY_SELECTION).
    void Refresh();
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
    // What CFile::ReadHeader reads of the file, kept from when the list last read it while the
    // file has not changed since (CShowHeaderCache::Read). Valid until the next call.
    const CShowHeader& ReadHeader(const std::string& path, const struct stat* status = nullptr);
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

    std::vector<std::unique_ptr<CFile>> m_files;
    CCore* m_core = nullptr;
    CFile* m_current = nullptr;
    std::string m_folder;
    bool m_folderGiven = false;
    std::string m_error;
    std::string m_errorName;
    std::unique_ptr<TiXmlDocument> m_pending;
    bool m_pendingMainProduct = false;
    CShowHeaderCache m_headers;
    bool m_listing = false;
    size_t m_fileLines = 0;  // of the listing
};
