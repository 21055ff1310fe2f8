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
    : m_settle(settle), m_read(read ? std::move(read) : TShowHeaderRead(&CFile::ReadHeader))
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
    // Refused unread, and read afresh by a listing with budget to spare.
    if (m_reader && m_reader->IsSpent())
    {
        m_unkept = m_read(path, m_reader.get());
        return m_unkept;
    }
    struct timespec now = {};
    ::clock_gettime(CLOCK_REALTIME, &now);
    // Kept under the times the file had before it was read: whatever changes it from then on
    // changes them too.
    CEntry& entry = kept != m_entries.end() ? kept->second : m_entries[path];
    entry.stamp = stamp;
    entry.settled = stamp.changed + m_settle.count() <= Nanoseconds(now);
    entry.listing = m_listing;
    entry.header = m_read(path, m_reader.get());
    return entry.header;
}

void CShowHeaderCache::BeginListing(size_t readBudget)
{
    ++m_listing;
    m_listingOpen = true;
    m_reader = std::make_unique<CXmlRootTagReader>(readBudget);
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
