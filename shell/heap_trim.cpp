#include "shell/heap_trim.h"

#include <malloc.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>

namespace
{
// None before the first trim: the first large work trims.
std::atomic<uint64_t> g_leastSinceLastTrim{0};

// The process's resident bytes, 0 when they cannot be read.
uint64_t ResidentBytes()
{
    std::FILE* file = std::fopen("/proc/self/statm", "r");
    if (!file)
        return 0;
    unsigned long long size = 0;
    unsigned long long resident = 0;
    const bool read = std::fscanf(file, "%llu %llu", &size, &resident) == 2;
    std::fclose(file);
    const long page = ::sysconf(_SC_PAGESIZE);
    return read && page > 0 ? uint64_t(resident) * uint64_t(page) : 0;
}
}  // namespace

bool CHeapTrim::IsDue(uint64_t residentBytes, uint64_t leastSinceLastTrim)
{
    return residentBytes == 0 || residentBytes >= leastSinceLastTrim + kMinGrowthBytes;
}

void CHeapTrim::BeforeLargeWork()
{
    const uint64_t now = ResidentBytes();
    if (now != 0 && now < g_leastSinceLastTrim.load())
        g_leastSinceLastTrim.store(now);
}

bool CHeapTrim::AfterLargeWork()
{
    if (!IsDue(ResidentBytes(), g_leastSinceLastTrim.load()))
        return false;
    ::malloc_trim(0);
    g_leastSinceLastTrim.store(ResidentBytes());
    return true;
}
