// The entry of one libFuzzer program: the target is named when the program is built
// (tests/fuzz/fuzz.cmake). Compiled to nothing in the test build.
#ifdef TANZO_FUZZ_TARGET
#include "tests/fuzz/reader_targets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const SReaderTarget* target = FindReaderTarget(TANZO_FUZZ_TARGET);
    target->read(data, size);
    return 0;
}
#endif
