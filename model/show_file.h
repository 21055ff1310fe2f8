#pragma once

#include "foundation/file_stamp.h"

#include "foundation/subject.h"
#include "foundation/time.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

class CCore;
class CFileManager;
class CShowMessage;
struct CShowHeader;
class CXmlRootTagReader;
struct CXmlRead;
struct stat;
class TiXmlDocument;
class TiXmlElement;

// What a show file tells its observers besides NOTIFY_UNKNOWN (after every refresh) and
// NOTIFY_LABEL (after a rename).
enum : uint32_t
{
    FILE_NOTIFY_SAVED = 105,
};

// One show file of the data folder: what the show list shows of it (name, date, size, whether
// it may be written), the writer of the whole show into it, and the reader that sends a show
// from it to the controller. The model never fills itself from a file: the readers send Set
// records and the model mirrors what the controller reports back.
//
// Shows of the main product ("Lumivo") are read here but never written. Main thread only.
class CFile : public CSubject
{
public:
    // A day number meaning "no date".
    static constexpr int32_t kNoDate = -2;
    // The largest show file read: a show of every playback with every cue written is some
    // 14 MB.
    static constexpr size_t kMaxBytes = 32 * 1024 * 1024;

    // Describes the file at once (Refresh).
    CFile(CFileManager* manager, CCore* core, const std::string& path);
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;

    const std::string& GetPath() const { return m_path; }
    // The file name without folder and without the part from its last '.'.
    std::string GetName() const;
    // The position in the show list; -1 outside it.
    int32_t GetIndex() const;
    // Read-only by its flags, or because they could not be read (a show in which the reader finds
    // no element at the top may be a read-only show it cannot make out), or because the reader
    // refuses the file as it stands (ReadHeader, the show list's check, Load, CheckWritable:
    // nothing is written over a show the program cannot open; a show listed from its start before
    // its check is writable until the check says otherwise), or because the file system keeps it
    // from being written: no write permission bit at all, or none for this process.
    bool IsReadOnly() const { return m_readOnly || m_flagsUnknown || m_writeProtected || m_refused; }
    bool IsMainProductShow() const { return m_mainProduct; }
    uint64_t GetSize() const { return m_size; }
    // The gregorian day number of the last change; kNoDate until known.
    int32_t GetDate() const { return m_date; }
    const CTime& GetTime() const { return m_time; }
    // "2024-Mar-05 14:07"; the date reads "not-a-date-time" until known.
    std::string GetDateText() const;
    // "1023 bytes", "1 kB", "1 MB".
    std::string GetSizeText() const;
    // Why the last save, load or rename failed, ready to show in the interface's language; empty
    // after one that worked. The log has it in English.
    const std::string& GetError() const { return m_error; }
    // The show the error names (CShowMessage::Name).
    const std::string& GetErrorName() const { return m_errorName; }

    // Reads the size, date and flags again; notifies NOTIFY_UNKNOWN.
    void Refresh();
    // Whether the show may be written, renamed or removed: it is not read-only, nor has the file
    // on disk become so since it was described, nor would the reader refuse it (ReadHeader, which
    // reads it whole); it is then described again, and observers hear NOTIFY_UNKNOWN. A show
    // refused as its file stood once is checked again once the file has changed.
    bool CheckWritable();
    // Writes the whole show, or with empty a show without fixtures and playbacks. The old file
    // stays whole until the new one is complete on disk; a file that is a symbolic link keeps
    // leading to it. False, with the reason in GetError and nothing notified, when the file is
    // read-only (CheckWritable) or could not be written; otherwise notifies FILE_NOTIFY_SAVED and
    // refreshes.
    bool Save(bool empty = false);
    // Sends the show to the controller. A show that cannot be read changes nothing and returns
    // false with the reason in GetError; one the reader refuses is read-only from then on, while
    // the file stays as it was, and observers hear NOTIFY_UNKNOWN. A show opened while the model still reads a newly
    // chosen controller waits in the file manager until that has settled, so that only what
    // differs from the controller's real state is left out.
    //
    // What one file may cost, whatever it holds: it is read whole only within kMaxBytes, its text
    // only within kMaxBytes too however its declared encoding makes characters of its bytes, and
    // parsed only within the limits of xml_file.h (nodes, attributes, '&' that begin no
    // reference, depth), so that the main thread spends at most some three times what the
    // largest show a user makes takes (64 playbacks of 48 cues, 13 MB), and the memory peaks at
    // some 200 MB for the costliest file of 32 MB (the nodes and attributes the limits allow take
    // some 70 MB whatever the size, the text three times its own). The load queues at
    // most one clear and every value of each fixture, playback and cue, some 26,000 records, as
    // the largest show does, and gives the log at most CShowReadLog::kMaxLines lines; the
    // document goes once it is sent, and nothing else of the file is kept.
    bool Load();
    // Gives the file a new name in its folder, with the extension ".show". Refused (false, with
    // the reason) when read-only, when the name is empty or holds a path separator, when another
    // file has that name, or when the file system refuses; the path then stays as it was.
    bool Rename(const std::string& name);

    // The document Save writes.
    void BuildDocument(TiXmlDocument& document, bool empty) const;
    // What the start tag of the file's root element says, which is all the show list needs of a
    // show of up to 32 MB, however it is encoded, where the reader would open the file: read with
    // the check of the whole file in one decoding (CXmlRootTagReader::ReadWhole), as far as the
    // reader reads, so that a file the reader refuses, for its size, its text or its encoding, has
    // unknown flags whatever its start says, and one it opens has its root's flags wherever the
    // root stands. Of what stands before the tag nothing is kept but the flags. A reader, where
    // given, lends the memory it keeps and its stop.
    static CShowHeader ReadHeader(const std::string& path, CXmlRootTagReader* reader = nullptr);
    // What the show list reads of a show for its row, as far as the reader glances
    // (CXmlRootTagReader::SetGlance): a file smaller than the glance, or any where none is set, as
    // ReadHeader reads it; of a larger one only the root's start tag within the glance, the check
    // of the whole file being then due (checkDue), or nothing where the tag stands further in
    // (kPastGlance).
    static CShowHeader ReadStart(const std::string& path, CXmlRootTagReader* reader = nullptr);
    // The check ReadHeader makes of the whole file: the verdict of the reader that opens it, from
    // the same decoding (CheckXmlFile).
    static CXmlRead CheckWhole(const std::string& path, CXmlRootTagReader* reader = nullptr);
    // Whether the reader would not give the show: refused by its bounds or its encoding, or not read
    // at all. Not well-formed is no refusal: the reader gives where the damage is.
    static bool Refuses(const CXmlRead& read);
    // The show list's check found that the reader refuses the file as it stood at stamp: read-only
    // while it stays so. Notifies NOTIFY_UNKNOWN.
    void MarkRefused(const CFileStamp& stamp);
    // Hands the "fixtures" and "playbacks" of the document's "show" to their readers (the
    // playbacks of a main-product show are the children of "playbacks/buttons"), then lets the
    // document go, and with it the memory it took.
    static void SendShow(CCore* core, std::unique_ptr<TiXmlDocument> document, bool mainProduct);

private:
    // Keeps the message to show and logs it; false.
    bool Fail(const CShowMessage& message);
    // The reader refuses the file as it stands now: read-only until it changes. Notifies
    // NOTIFY_UNKNOWN.
    void MarkRefused();
    // A file refused as it stood once and changed since is described afresh: a show put right is
    // checked again by the save or opening that comes next.
    void ForgetRefusalOfAnotherFile();

    CFileManager* m_manager;
    CCore* m_core;
    std::string m_path;
    int32_t m_date = kNoDate;
    CTime m_time;
    uint64_t m_size = 0;
    bool m_readOnly = false;
    bool m_mainProduct = false;
    bool m_flagsUnknown = false;
    bool m_writeProtected = false;
    bool m_refused = false;
    // The file as it stood when the reader refused it.
    CFileStamp m_refusedStamp;
    std::string m_error;
    std::string m_errorName;
};
