#include "model/personality_manager.h"
#include "model/personality_ref.h"

#include <benchmark/benchmark.h>

#include <string>

namespace
{
const std::string kLibraryPath = std::string(TANZO_SOURCE_DIR) + "/resources/personalities/personalities.xml";

// The start-up cost of the shipped library: reading, parsing and building every entry.
void BM_PersonalityLibraryLoad(benchmark::State& state)
{
    uint32_t models = 0;
    for (auto _ : state)
    {
        CPersonalityManager library;
        library.LoadFile(kLibraryPath, false);
        models = library.CountModels();
        benchmark::DoNotOptimize(models);
    }
    state.counters["models"] = models;
}
BENCHMARK(BM_PersonalityLibraryLoad)->Unit(benchmark::kMillisecond);

// A show naming its fixtures without profiles looks each one up by name: two lookups.
void BM_PersonalityProfileLookup(benchmark::State& state)
{
    CPersonalityManager library;
    library.LoadFile(kLibraryPath, false);
    // The last manufacturer of the list, which a walk of the list would reach last.
    const CPersonalityRef found("xstatic", "x-240bar rgb", "2 channel", "");
    const CPersonalityRef missing("No Such Maker", "Spot", "", "");
    for (auto _ : state)
    {
        benchmark::DoNotOptimize(library.GetProfile(found));
        benchmark::DoNotOptimize(library.GetProfile(missing));
    }
}
BENCHMARK(BM_PersonalityProfileLookup);
}  // namespace
