// The device manager's tick as the main loop calls it, 25 times a second for 20 s, beside whatever
// the machine's addresses do meanwhile: the longest tick and the median. bench/address_flood.sh
// runs it beside thousands of addresses of which hundreds come and go without pause. The link
// broadcasts to its namespace's loopback alone, and runs only in a namespace the script made.
#include "link/device_manager.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <thread>
#include <vector>

namespace
{
using Clock = std::chrono::steady_clock;

void LinkTickBesideAddressChanges(benchmark::State& state)
{
    if (!std::getenv("TANZO_ADDRESS_FLOOD_NETNS"))
    {
        state.SkipWithError("runs only through bench/address_flood.sh");
        return;
    }
    for (auto _ : state)
    {
        CLinkSetup setup;
        setup.broadcastTargets = std::vector<CIpAddress>{CIpAddress(127, 255, 255, 255)};
        CDeviceManager manager(setup);
        std::vector<double> ticks;
        for (int frame = 0; frame < 500; ++frame)
        {
            const Clock::time_point start = Clock::now();
            manager.Update(0.04f);
            ticks.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
            std::this_thread::sleep_for(std::chrono::milliseconds(40));
        }
        std::sort(ticks.begin(), ticks.end());
        state.counters["median_ms"] = ticks[ticks.size() / 2];
        state.counters["longest_ms"] = ticks.back();
    }
}
}  // namespace

BENCHMARK(LinkTickBesideAddressChanges)->Unit(benchmark::kSecond)->Iterations(1);
