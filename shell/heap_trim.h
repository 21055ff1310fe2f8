#pragma once

#include <cstdint>

// Gives back to the system what the C library keeps of the heap that work freed, where the work
// took much of it: a large show's document, freed under the records its load queued, would else
// stay resident. A trim walks every free chunk of every arena and gives back each free page it
// finds, so that it costs in proportion to the heap, not to what the work freed; it is done only
// once the process holds kMinGrowthBytes more than at the least since the last one (just after
// it, or before work that began lower). What work that took less freed is taken again by the next
// such work instead.
class CHeapTrim
{
public:
    static constexpr uint64_t kMinGrowthBytes = 4ull * 1024 * 1024;

    // Notes what the process holds before work that may take much, where memory went back to the
    // system since the last trim. For the main thread.
    static void BeforeLargeWork();
    // Trims when the process has grown by the bound since the last trim (or where its size
    // cannot be read); true when it did. For the thread that did the work, after it has freed its
    // memory: work on a thread of its own gives back its own arena where no frame waits for it.
    static bool AfterLargeWork();
    // The rule: the bytes resident now (0 when unknown) against the least noted since the last
    // trim.
    static bool IsDue(uint64_t residentBytes, uint64_t leastSinceLastTrim);
};
