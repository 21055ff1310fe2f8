#pragma once

#include <malloc.h>

#include <cstddef>
#include <fstream>
#include <string>

#if defined(__SANITIZE_ADDRESS__)
// The sanitizer's allocator keeps the heap under AddressSanitizer.
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#endif

// The bytes the heap holds now.
inline size_t HeapInUse()
{
#if defined(__SANITIZE_ADDRESS__)
    return __sanitizer_get_current_allocated_bytes();
#else
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
#endif
}

// The process's resident bytes now ("VmRSS:"), or at their peak since ResetResidentPeak
// ("VmHWM:"). Under a sanitizer they hold its own bookkeeping too.
inline size_t ResidentBytes(const char* field = "VmRSS:")
{
    std::ifstream status("/proc/self/status");
    std::string name;
    while (status >> name)
    {
        size_t kilobytes = 0;
        if (name == field && status >> kilobytes)
            return kilobytes * 1024;
    }
    return 0;
}

inline void ResetResidentPeak()
{
    std::ofstream("/proc/self/clear_refs") << "5";
}
