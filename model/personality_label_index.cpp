#include "model/personality_label_index.h"

#include "foundation/ascii.h"

namespace
{
// Counted for each thread apart: the library is read ahead on a worker of its own.
thread_local uint64_t g_comparisons = 0;
}  // namespace

int ComparePersonalityLabels(const std::string& a, const std::string& b)
{
    ++g_comparisons;
    const size_t common = std::min(a.size(), b.size());
    for (size_t i = 0; i < common; ++i)
    {
        const unsigned char x = static_cast<unsigned char>(UpperAscii(a[i]));
        const unsigned char y = static_cast<unsigned char>(UpperAscii(b[i]));
        if (x != y)
            return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

uint32_t HashPersonalityLabel(const std::string& label)
{
    // FNV-1a.
    uint32_t hash = 2166136261u;
    for (char c : label)
        hash = (hash ^ static_cast<unsigned char>(UpperAscii(c))) * 16777619u;
    return hash;
}

uint64_t CountPersonalityLabelComparisons()
{
    return g_comparisons;
}
