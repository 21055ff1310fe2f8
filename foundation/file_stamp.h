#pragma once

#include <cstdint>

struct stat;

// What tells a file as it stood from the same name changed since: the same file (device and
// inode), of the same size, last written and changed at the same times, to the nanosecond.
struct CFileStamp
{
    uint64_t device = 0;
    uint64_t inode = 0;
    int64_t size = 0;
    int64_t written = 0;  // nanoseconds since the epoch
    int64_t changed = 0;

    static CFileStamp Of(const struct stat& status);
    bool operator==(const CFileStamp& other) const;
    bool operator!=(const CFileStamp& other) const { return !(*this == other); }
};
