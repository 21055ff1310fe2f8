#include "foundation/file_stamp.h"

#include <sys/stat.h>

#include <ctime>

namespace
{
int64_t Nanoseconds(const struct timespec& time)
{
    return int64_t(time.tv_sec) * 1000000000 + time.tv_nsec;
}
}  // namespace

CFileStamp CFileStamp::Of(const struct stat& status)
{
    CFileStamp stamp;
    stamp.device = uint64_t(status.st_dev);
    stamp.inode = uint64_t(status.st_ino);
    stamp.size = int64_t(status.st_size);
    stamp.written = Nanoseconds(status.st_mtim);
    stamp.changed = Nanoseconds(status.st_ctim);
    return stamp;
}

bool CFileStamp::operator==(const CFileStamp& other) const
{
    return device == other.device && inode == other.inode && size == other.size && written == other.written &&
           changed == other.changed;
}
