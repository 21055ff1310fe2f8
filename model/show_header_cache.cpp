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

bool CShowHeaderCache::CStamp::operator==(const CStamp& other) const
{
    return device == other.device && inode == other.inode && size == other.size && written == other.written &&
           changed == other.changed;
}

CShowHeaderCache::CShowHeaderCache(std::chrono::nanoseconds settle) : m_settle(settle)
{
}

bool CShowHeaderCache::StampOf(const std::string& path, CStamp& stamp)
{
    struct stat status;
    if (::stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode))
        return false;
    stamp.device = uint64_t(status.st_dev);
    stamp.inode = uint64_t(status.st_ino);
    stamp.size = int64_t(status.st_size);
    stamp.written = Nanoseconds(status.st_mtim);
    stamp.changed = Nanoseconds(status.st_ctim);
    return true;
}

const CShowHeaderCache::CHeader& CShowHeaderCache::Read(const std::string& path)
{
    CStamp before;
    const bool regular = StampOf(path, before);
    const auto kept = m_entries.find(path);
    if (regular && kept != m_entries.end() && kept->second.stamp == before &&
        (kept->second.settled || (m_listingOpen && kept->second.listing == m_listing)))
    {
        kept->second.listing = m_listing;
        return kept->second.header;
    }
    struct timespec now = {};
    ::clock_gettime(CLOCK_REALTIME, &now);
    CHeader header;
    header.read = CFile::ReadHeader(path, header.document);
    // Kept only when nothing changed the file while it was read.
    CStamp after;
    if (!regular || !StampOf(path, after) || !(after == before))
    {
        if (kept != m_entries.end())
            m_entries.erase(kept);
        m_unkept = std::move(header);
        return m_unkept;
    }
    CEntry& entry = m_entries[path];
    entry.stamp = before;
    entry.header = std::move(header);
    entry.settled = before.changed + m_settle.count() <= Nanoseconds(now);
    entry.listing = m_listing;
    return entry.header;
}

void CShowHeaderCache::BeginListing()
{
    ++m_listing;
    m_listingOpen = true;
}

void CShowHeaderCache::EndListing()
{
    m_listingOpen = false;
    for (auto entry = m_entries.begin(); entry != m_entries.end();)
    {
        if (entry->second.listing != m_listing)
            entry = m_entries.erase(entry);
        else
            ++entry;
    }
}
