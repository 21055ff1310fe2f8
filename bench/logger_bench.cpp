#include "foundation/clock.h"
#include "shell/logger.h"

#include <benchmark/benchmark.h>

#include <stdlib.h>
#include <unistd.h>
#include <utime.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <memory>
#include <string>

namespace
{
// A data folder whose "Logs" holds earlier log files of one day, as a day of many starts or a
// flood of entries leaves it, each last written at noon of that day.
class CLogFolder
{
public:
    CLogFolder(int64_t files, const char* day = "20150630") : m_files(files), m_day(day)
    {
        char pattern[] = "/tmp/tanzo-logs-XXXXXX";
        m_root = ::mkdtemp(pattern) ? pattern : "";
        std::system(("mkdir -p '" + m_root + "/Logs'").c_str());
        Refill();
    }
    ~CLogFolder() { std::system(("rm -rf '" + m_root + "'").c_str()); }

    const std::string& Data() const { return m_root; }
    // Makes again the files that went.
    void Refill() const
    {
        std::tm noon{};
        noon.tm_year = std::atoi(m_day.substr(0, 4).c_str()) - 1900;
        noon.tm_mon = std::atoi(m_day.substr(4, 2).c_str()) - 1;
        noon.tm_mday = std::atoi(m_day.substr(6, 2).c_str());
        noon.tm_hour = 12;
        noon.tm_isdst = -1;
        const utimbuf times{std::mktime(&noon), std::mktime(&noon)};
        for (int64_t i = 1; i <= m_files; ++i)
        {
            char name[32];
            std::snprintf(name, sizeof name, "%s%03d.txt", m_day.c_str(), int(i));
            const std::string path = m_root + "/Logs/" + name;
            if (::access(path.c_str(), F_OK) == 0)
                continue;
            std::ofstream(path) << "[14:05:09] [Logger] Open\n";
            ::utime(path.c_str(), &times);
        }
    }

private:
    std::string m_root;
    int64_t m_files;
    std::string m_day;
};

// What moving on to a new file costs the entry that fills the current one: the file written, the
// folder kept within its bounds, the next name chosen. The folder's size must not show.
void BM_LogRollOver(benchmark::State& state)
{
    const CLogFolder folder(state.range(0));
    CClock clock;
    clock.SetDateAndTime(CDate(2015, 6, 30), CTime(14, 5, 9));
    CLogger log(2, folder.Data(), &clock);
    // What the start left due goes a file a frame, as in the program's first seconds.
    for (int frame = 0; frame < 1000; ++frame)
        log.Tick(0.04f);
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

// What opening the log costs the start over a folder of old files, every one of them due to go:
// the folder read, the new file made, and as many removed as a start may. The folder's size may
// show in the reading only.
void BM_LogOpen(benchmark::State& state)
{
    const CLogFolder folder(state.range(0), "20150610");
    CClock clock;
    clock.SetDateAndTime(CDate(2015, 6, 30), CTime(14, 5, 9));
    for (auto _ : state)
    {
        auto log = std::make_unique<CLogger>(2, folder.Data(), &clock);
        state.PauseTiming();
        const std::string file = log->GetFolder() + "/" + log->GetCurrentFileName();
        log.reset();
        std::remove(file.c_str());
        folder.Refill();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_LogOpen)->Arg(0)->Arg(5000)->Arg(20000)->ArgName("files")->Iterations(20)->Unit(benchmark::kMillisecond);
}  // namespace
