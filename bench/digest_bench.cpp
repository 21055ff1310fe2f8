#include "foundation/colour.h"
#include "foundation/digest.h"
#include "foundation/rgba_colour.h"
#include "foundation/sha1.h"

#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

namespace
{
void BM_Sha1Of64KiB(benchmark::State& state)
{
    std::vector<uint8_t> buffer(64 * 1024);
    std::mt19937 random(1);
    for (uint8_t& b : buffer)
        b = uint8_t(random());
    for (auto _ : state)
    {
        SHA1 sha;
        sha.Input(buffer.data(), uint32_t(buffer.size()));
        uint32_t words[SHA1::kWords];
        sha.Result(words);
        benchmark::DoNotOptimize(words);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(buffer.size()));
}
BENCHMARK(BM_Sha1Of64KiB);

// About what one playback with its cues feeds: labels, numbers, floats and child digests.
void BM_DigestBuilderOfMixedValues(benchmark::State& state)
{
    const int count = int(state.range(0));
    std::vector<std::string> labels;
    for (int i = 0; i < count; ++i)
        labels.push_back("Cue " + std::to_string(i));
    const uint32_t words[] = {0x01234567, 0x89ABCDEF, 0xDEADBEEF, 0, 42};
    const CDigest child(words);
    const CColour colour(255, 128, 0);
    for (auto _ : state)
    {
        CDigestBuilder builder;
        for (int i = 0; i < count; ++i)
        {
            switch (i % 6)
            {
            case 0: builder.AddString(labels[size_t(i)]); break;
            case 1: builder.AddUnsigned(uint32_t(i) * 1000u); break;
            case 2: builder.AddInt(-i); break;
            case 3: builder.AddFloat(float(i) * 0.37f); break;
            case 4: builder.AddDigest(child); break;
            default: builder.AddColour(colour); break;
            }
        }
        benchmark::DoNotOptimize(builder.GetDigest());
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * count);
}
BENCHMARK(BM_DigestBuilderOfMixedValues)->Arg(300);
}  // namespace
