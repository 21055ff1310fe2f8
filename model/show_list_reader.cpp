#include "model/show_list_reader.h"

#include "foundation/file_helpers.h"
#include "foundation/xml_file.h"
#include "model/show_file.h"

#include <algorithm>
#include <utility>

namespace
{
const char* const kLogCategory = "FileManager";
// Entries named like shows that are not regular files, named one a line in the log; the rest are
// summed up in one line.
constexpr size_t kMostPassedOverLines = 8;
// How far into each show the listing looks first, and the size under which it reads a show whole
// at once (CFile::ReadStart): a show the program writes gives its root's start tag within its first
// kilobyte, and is listed at once however long the starts of others go on. A pace, not a bound: the
// shows whose tag stands further in are read as far as the reader reads once every glance is made.
constexpr size_t kGlance = 64 * 1024;

}  // namespace

CShowListReader::CShowListReader(TShowHeaderRead read) : m_headers(std::chrono::seconds(2), std::move(read))
{
}

CShowListReader::~CShowListReader()
{
    Stop();
}

void CShowListReader::Stop()
{
    m_interrupt = true;
    if (m_thread.joinable())
        m_thread.join();
    m_interrupt = false;
}

void CShowListReader::Start(CRequest request)
{
    Stop();
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        ++m_listing;
        m_found = CFound();
        m_new = false;
    }
    m_thread = std::thread(&CShowListReader::List, this, std::move(request), m_listing);
}

bool CShowListReader::Take(CFound& found)
{
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        found = CFound();
        if (!m_new)
            return false;
        std::swap(found, m_found);
        m_new = false;
    }
    // Its work done, the thread is on its way out, and leaves nothing behind.
    if (found.ended && m_thread.joinable())
        m_thread.join();
    return true;
}

void CShowListReader::Wait(std::chrono::milliseconds most)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait_for(lock, most, [this] { return m_new; });
}

bool CShowListReader::List(CRequest request, uint64_t listing)
{
    const std::string& folder = request.folder;
    // Without a data folder nothing is listed (an empty path would list the working folder).
    if (folder.empty())
        return Hand(listing, nullptr, nullptr, true);
    std::vector<std::string> shows;
    CPassedOver passedOver(kMostPassedOverLines);
    size_t left = ListFirstFiles(folder, "*.show", request.mostFiles, shows, &passedOver, &m_interrupt);
    if (Interrupted())
        return false;
    for (const std::string& text : DescribePassedOver("Not listed", folder, passedOver))
    {
        CLine line{kLogCategory, text, false};
        Hand(listing, nullptr, &line);
    }
    std::vector<std::string> xmls;
    left += ListFirstFiles(folder, "*.xml", request.mostFiles, xmls, nullptr, &m_interrupt);
    if (Interrupted())
        return false;
    const size_t listed = shows.size() + xmls.size();
    // What the user made stays listed past the bound: the paths of one folder order as their
    // names do.
    const size_t bounded = shows.size();
    for (const std::string& path : request.kept)
    {
        if (!std::binary_search(shows.begin(), shows.begin() + std::ptrdiff_t(bounded), path) &&
            !std::binary_search(xmls.begin(), xmls.end(), path) && IsRegularFile(path))
            shows.push_back(path);
    }
    if (left > 0)
    {
        CLine line{kLogCategory,
                   DescribeLeft(folder, left, left + listed, "files",
                                std::to_string(request.mostFiles) + " \".show\" and as many \".xml\" files"),
                   false};
        Hand(listing, nullptr, &line);
    }
    m_headers.BeginListing(&m_interrupt);
    // The rows first: a glance at every show, which lists each show as the program writes it and
    // reads a small one whole, then the shows whose root stands further in, each read whole as the
    // reader reads it. Then the shows listed from their start are checked whole, and those the
    // reader would refuse are told of as refused. A show not yet checked is listed as its start
    // reads.
    std::vector<std::string> due;
    std::vector<std::pair<std::string, bool>> further;  // and whether it is an ".xml" file
    // False where the listing is ended.
    const auto list = [&](const std::string& path, bool xml) {
        CShow show{path, m_headers.Read(path)};
        if (Interrupted())
            return false;
        if (show.header.read.status == XmlReadStatus::kPastGlance)
        {
            further.emplace_back(path, xml);
            return true;
        }
        std::string why;
        if (xml && !IsMainProductShow(path, show.header, why))
        {
            if (!why.empty())
            {
                CLine line{kLogCategory, why, true};
                Hand(listing, nullptr, &line);
            }
            return true;
        }
        if (show.header.checkDue)
            due.push_back(path);
        Hand(listing, &show, nullptr);
        return true;
    };
    m_headers.SetGlance(kGlance);
    for (const std::string& path : shows)
        if (!list(path, false))
            return false;
    for (const std::string& path : xmls)
        if (!list(path, true))
            return false;
    m_headers.SetGlance(SIZE_MAX);
    const std::vector<std::pair<std::string, bool>> glanced = std::move(further);
    further.clear();
    for (const auto& [path, xml] : glanced)
        if (!list(path, xml))
            return false;
    for (const std::string& path : due)
    {
        CRefusal refusal{path, CFileStamp()};
        const CXmlRead& verdict = m_headers.Check(path, refusal.stamp);
        if (Interrupted())
            return false;
        if (!CFile::Refuses(verdict))
            continue;
        CLine line{"File", DescribeXmlRead(path, verdict) + "; the show is taken as read-only", true};
        Hand(listing, nullptr, &line, false, &refusal);
    }
    m_headers.EndListing();
    return Hand(listing, nullptr, nullptr, true);
}

bool CShowListReader::IsMainProductShow(const std::string& path, const CShowHeader& header, std::string& why)
{
    const CXmlRead& read = header.read;
    if (read.status == XmlReadStatus::kRefused || read.status == XmlReadStatus::kUnreadable)
        why = DescribeXmlRead(path, read);
    return read.IsRead() && header.mainProduct.value_or(false);
}

bool CShowListReader::Hand(uint64_t listing, CShow* show, CLine* line, bool ended, CRefusal* refusal)
{
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        if (listing != m_listing)
            return false;
        if (show)
            m_found.shows.push_back(std::move(*show));
        if (line)
            m_found.lines.push_back(std::move(*line));
        if (refusal)
            m_found.refusals.push_back(std::move(*refusal));
        m_found.ended = m_found.ended || ended;
        m_new = true;
    }
    m_changed.notify_all();
    return true;
}
