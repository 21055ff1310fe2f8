#pragma once

#include "model/show_header_cache.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// What a listing of the show folder costs, read where no frame waits for it: a thread of its own
// walks the folder, reads the start of each show (CShowHeaderCache) and hands what it finds, show
// by show, through one lock-guarded mailbox to the show list (CFileManager), which makes its rows
// on the main thread; then it checks whole the shows whose start does not tell whether the reader
// would open them, and hands those it would refuse, which the list then marks read-only. The
// thread touches nothing of the model, the log or the screens: it reads names, file status and
// files, and words the log lines the list then writes. A thread lives for one listing: joined
// once its end is taken, or when a listing asked for while it reads or the reader's going ends it,
// within 64 KB of the file it reads or one entry of a walk.
class CShowListReader
{
public:
    struct CRequest
    {
        std::string folder;  // empty: nothing is listed
        size_t mostFiles = 0;       // of each kind, ".show" and ".xml", by name
        // Listed whatever the bound, where they are regular files: the shows the user made or
        // saved.
        std::vector<std::string> kept;
    };
    struct CShow
    {
        std::string path;
        CShowHeader header;
    };
    struct CLine
    {
        std::string category;
        std::string text;
        bool aboutFile = false;  // within the list's bound of such lines (else always logged)
    };
    // A show found before that the reader would refuse, as its file stood when checked.
    struct CRefusal
    {
        std::string path;
        CFileStamp stamp;
    };
    // What the reader found since it was last asked, in the order found.
    struct CFound
    {
        std::vector<CShow> shows;
        std::vector<CLine> lines;
        std::vector<CRefusal> refusals;
        bool ended = false;  // the listing is read whole
    };

    explicit CShowListReader(TShowHeaderRead read = nullptr);
    ~CShowListReader();
    CShowListReader(const CShowListReader&) = delete;
    CShowListReader& operator=(const CShowListReader&) = delete;

    // Ends the listing under way, forgetting what it found and had not handed over, and begins
    // this one.
    void Start(CRequest request);
    // Moves what was found since the last call into found (emptied first). False while there is
    // nothing new.
    bool Take(CFound& found);
    // Waits, at most the time given, for something to take.
    void Wait(std::chrono::milliseconds most);
    // Whether the header read of an XML file is that of a main-product show; why says for the
    // log why a file was not read, where it was not.
    static bool IsMainProductShow(const std::string& path, const CShowHeader& header, std::string& why);

private:
    // Reads one listing, on the thread; false where it was ended early.
    bool List(CRequest request, uint64_t listing);
    // Hands over under the lock.
    bool Hand(uint64_t listing, CShow* show, CLine* line, bool ended = false, CRefusal* refusal = nullptr);
    bool Interrupted() const { return m_interrupt.load(std::memory_order_relaxed); }
    // Ends the listing under way and joins its thread.
    void Stop();

    CShowHeaderCache m_headers;  // the thread's while it runs
    std::mutex m_mutex;
    std::condition_variable m_changed;
    // Under the mutex: what was found and not yet taken.
    CFound m_found;
    bool m_new = false;
    uint64_t m_listing = 0;  // the number of the last begun
    // Set by Start and the destructor: the listing under way ends.
    std::atomic<bool> m_interrupt{false};
    std::thread m_thread;
};
