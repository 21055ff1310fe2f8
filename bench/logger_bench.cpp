#include "foundation/clock.h"
#include "shell/logger.h"

#include <benchmark/benchmark.h>

#include <stdlib.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace
{
// A data folder whose "Logs" holds the day's earlier log files, as a day of many starts or a flood
// of entries leaves it.
class CLogFolder
{
public:
    explicit CLogFolder(int64_t files)
    {
        char pattern[] = "/tmp/tanzo-logs-XXXXXX";
        m_root = ::mkdtemp(pattern) ? pattern : "";
        std::system(("mkdir -p '" + m_root + "/Logs'").c_str());
        for (int64_t i = 1; i <= files; ++i)
        {
            char name[32];
            std::snprintf(name, sizeof name, "20150630%03d.txt", int(i));
            std::ofstream(m_root + "/Logs/" + name) << "[14:05:09] [Logger] Open\n";
        }
    }
    ~CLogFolder() { std::system(("rm -rf '" + m_root + "'").c_str()); }

    const std::string& Data() const { return m_root; }

private:
    std::string m_root;
};

// What moving on to a new file costs the entry that fills the current one: the file written, the
// folder kept within its bounds, the next name chosen. The folder's size must not show.
void BM_LogRollOver(benchmark::State& state)
{
    const CLogFolder folder(state.range(0));
    CClock clock;
    clock.SetDateAndTime(CDate(2015, 6, 30), CTime(14, 5, 9));
    CLogger log(2, folder.Data(), &clock);
    for (auto _ : state)
    {
        state.PauseTiming();
        // The buffer holds one entry ("Open", then "Logging continued in new file").
        for (size_t i = 2; i < CLogger::kEntriesPerFile; ++i)
            log.Log("Bench", "entry", 1);
        state.ResumeTiming();
        log.Log("Bench", "entry", 1);
    }
}
BENCHMARK(BM_LogRollOver)->Arg(0)->Arg(1000)->ArgName("files")->Iterations(100)->Unit(benchmark::kMicrosecond);
}  // namespace
