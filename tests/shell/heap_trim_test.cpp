#include "shell/heap_trim.h"

#include <gtest/gtest.h>

// A trim costs in proportion to the heap: work that took little of it never pays one.
TEST(HeapTrim, TrimsOnlyOnceTheProcessGrewByTheBound)
{
    constexpr uint64_t kMb = 1024 * 1024;
    const struct
    {
        uint64_t resident;
        uint64_t least;
        bool due;
    } table[] = {
        {0, 100 * kMb, true},  // the size unknown: as before
        {100 * kMb, 0, true},  // no trim yet
        {100 * kMb + CHeapTrim::kMinGrowthBytes - 1, 100 * kMb, false},
        {100 * kMb + CHeapTrim::kMinGrowthBytes, 100 * kMb, true},
        {90 * kMb, 100 * kMb, false},
    };
    for (const auto& row : table)
        EXPECT_EQ(CHeapTrim::IsDue(row.resident, row.least), row.due) << row.resident << " " << row.least;

    // Nothing taken since the last trim: no second one.
    CHeapTrim::AfterLargeWork();
    CHeapTrim::BeforeLargeWork();
    EXPECT_FALSE(CHeapTrim::AfterLargeWork());
}
