#pragma once

#include <cstddef>
#include <cstdint>

// One fuzz target per reader of outside input: each hands the bytes to the reader as the program
// meets them (a file where the reader looks for it, a datagram as the link receives it) and
// aborts when a guarantee breaks. Built as libFuzzer programs and replayed by a GoogleTest.
struct SReaderTarget
{
    const char* name;
    void (*read)(const uint8_t* data, size_t size);
};

extern const SReaderTarget kReaderTargets[];
extern const size_t kReaderTargetCount;
// Null for a name no target has.
const SReaderTarget* FindReaderTarget(const char* name);
