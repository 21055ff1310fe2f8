#pragma once

#include "foundation/file_stamp.h"
#include "foundation/xml_file.h"

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>

struct stat;

// What the show list keeps of a show file (CFile::ReadHeader): what the start tag of its root
// says, and how that was read. Some two hundred bytes whatever the file holds, the reader's reason
// and notice being a line each.
struct CShowHeader
{
    CXmlRead read;
    // An element stands at the top of the file; where none does, or the file was not read, the
    // flags are unknown.
    bool root = false;
    // What a root named "show" says with "readonly" (true for "true" in any letter case) and
    // "application" (true for the main product), where it gives them.
    std::optional<bool> readOnly;
    std::optional<bool> mainProduct;
    // Its start alone does not tell whether the reader refuses the show (CFile::ReadStart): the
    // whole file is still to be checked.
    bool checkDue = false;
};

class CXmlRootTagReader;

// How a show's header is read (CFile::ReadStart): the path, and the reader that lends its memory
// and its stop.
using TShowHeaderRead = std::function<CShowHeader(const std::string& path, CXmlRootTagReader* reader)>;

// What the show list reads of each show file, kept for as long as the file stays as it was read:
// the same file at the path, of the same size, last written and changed at the same times.
// Listing the folder again, as after a save, then reads only the shows that changed. A file
// changed less than settle before it was read is kept only for the rest of the listing that read
// it: a change that follows within the file system's clock tick would not show in its times.
// One thread only: that of the show list's reader (CShowListReader).
class CShowHeaderCache
{
public:
    // read, where given, reads the headers instead of CFile::ReadStart.
    explicit CShowHeaderCache(std::chrono::nanoseconds settle = std::chrono::seconds(2), TShowHeaderRead read = nullptr);

    // The file's header, from an earlier read while the file has not changed since; else read
    // now. status, where given, is the file's as the caller has just asked for it (following a
    // link), which is then not asked for again. Valid until the next call.
    const CShowHeader& Read(const std::string& path, const struct stat* status = nullptr);
    // The verdict of the whole file's check that its header said is due (CFile::CheckWhole), kept
    // with the header while the file stays as it was; stamp gets the file's as it was checked.
    // Valid until the next call.
    const CXmlRead& Check(const std::string& path, CFileStamp& stamp);
    // A listing of the folder begins, and ends: the files it did not read are forgotten, and so
    // is the memory the listing read them with. Once the stop, where given, is set, the read or
    // check under way ends within 64 KB of the file, and what it found is not kept.
    void BeginListing(const std::atomic<bool>* stop = nullptr);
    void EndListing();
    // The reads of the listing look no further than that many bytes into a file for its root's
    // start tag, and keep nothing of one whose tag stands further in (CXmlRootTagReader::SetGlance);
    // SIZE_MAX: they read as far as the reader of the whole file.
    void SetGlance(size_t bytes);

private:
    struct CEntry
    {
        CFileStamp stamp;
        CShowHeader header;
        bool checked = false;
        CXmlRead verdict;
        bool settled = false;
        uint64_t listing = 0;  // the last that read it
    };


    std::chrono::nanoseconds m_settle;
    TShowHeaderRead m_read;
    std::unordered_map<std::string, CEntry> m_entries;
    uint64_t m_listing = 0;
    bool m_listingOpen = false;
    CShowHeader m_unkept;
    CXmlRead m_unkeptVerdict;
    std::unique_ptr<CXmlRootTagReader> m_reader;  // while a listing is open
};
