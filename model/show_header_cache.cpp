#include "model/show_header_cache.h"

#include "model/show_file.h"

#include <sys/stat.h>

#include <ctime>

namespace
{
int64_t Nanoseconds(const struct timespec& time)
{
    return int64_t(time.tv_sec) * 1000000000 + time.tv_nsec;
}
}  // namespace

CShowHeaderCache::CShowHeaderCache(std::chrono::nanoseconds settle, TShowHeaderRead read)
    : m_settle(settle), m_read(read ? std::move(read) : TShowHeaderRead(&CFile::ReadStart))
{
}

const CShowHeader& CShowHeaderCache::Read(const std::string& path, const struct stat* status)
{
    struct stat own;
    if (!status && ::stat(path.c_str(), &own) == 0)
        status = &own;
    const auto kept = m_entries.find(path);
    // Only a regular file is kept: anything else is read afresh each time.
    if (!status || !S_ISREG(status->st_mode))
    {
        if (kept != m_entries.end())
            m_entries.erase(kept);
        m_unkept = m_read(path, m_reader.get());
        return m_unkept;
    }
    const CFileStamp stamp = CFileStamp::Of(*status);
    if (kept != m_entries.end() && kept->second.stamp == stamp &&
        (kept->second.settled || (m_listingOpen && kept->second.listing == m_listing)))
    {
        kept->second.listing = m_listing;
        return kept->second.header;
    }
    struct timespec now = {};
    ::clock_gettime(CLOCK_REALTIME, &now);
    // Kept under the times the file had before it was read: whatever changes it from then on
    // changes them too.
    CEntry& entry = kept != m_entries.end() ? kept->second : m_entries[path];
    entry.stamp = stamp;
    entry.settled = stamp.changed + m_settle.count() <= Nanoseconds(now);
    entry.listing = m_listing;
    entry.checked = false;
    entry.verdict = CXmlRead();
    entry.header = m_read(path, m_reader.get());
    if (entry.header.read.status == XmlReadStatus::kStopped || entry.header.read.status == XmlReadStatus::kPastGlance)
    {
        // Says nothing of the file.
        m_unkept = std::move(entry.header);
        m_entries.erase(path);
        return m_unkept;
    }
    return entry.header;
}

const CXmlRead& CShowHeaderCache::Check(const std::string& path, CFileStamp& stamp)
{
    struct stat status;
    const bool regular = ::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
    stamp = regular ? CFileStamp::Of(status) : CFileStamp();
    const auto kept = m_entries.find(path);
    // Kept with the header it completes, of the same file.
    const bool keep = regular && kept != m_entries.end() && kept->second.stamp == stamp;
    if (keep && kept->second.checked)
        return kept->second.verdict;
    CXmlRead& verdict = keep ? kept->second.verdict : m_unkeptVerdict;
    verdict = CFile::CheckWhole(path, m_reader.get());
    if (keep)
        kept->second.checked = verdict.status != XmlReadStatus::kStopped;
    return verdict;
}

void CShowHeaderCache::BeginListing(const std::atomic<bool>* stop)
{
    ++m_listing;
    m_listingOpen = true;
    m_reader = std::make_unique<CXmlRootTagReader>(stop);
}

void CShowHeaderCache::EndListing()
{
    m_listingOpen = false;
    m_reader.reset();
    for (auto entry = m_entries.begin(); entry != m_entries.end();)
    {
        if (entry->second.listing != m_listing)
            entry = m_entries.erase(entry);
        else
            ++entry;
    }
}

void CShowHeaderCache::SetGlance(size_t bytes)
{
    if (m_reader)
        m_reader->SetGlance(bytes);
}
