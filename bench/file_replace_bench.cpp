#include "foundation/file_replace.h"

#include <benchmark/benchmark.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>

namespace
{
constexpr int kShows = 500;

// A data folder of 500 small shows and the options, as the start-up sweep meets it; with linked,
// each show is a link to its file in a folder of its own beside (a shared folder of shows).
class CDataFolder
{
public:
    explicit CDataFolder(bool linked)
    {
        char pattern[] = "/tmp/tanzo-sweep-XXXXXX";
        m_root = ::mkdtemp(pattern) ? pattern : "";
        ::mkdir((m_root + "/data").c_str(), 0755);
        ::mkdir((m_root + "/shared").c_str(), 0755);
        std::ofstream(m_root + "/data/options.xml") << "<zevral><options/></zevral>\n";
        for (int i = 0; i < kShows; ++i)
        {
            const std::string name = "show" + std::to_string(i) + ".show";
            const std::string file = m_root + (linked ? "/shared/" : "/data/") + name;
            std::ofstream(file) << "<show application=\"Tanzo\"/>\n";
            if (linked)
                ::symlink(("../shared/" + name).c_str(), (m_root + "/data/" + name).c_str());
        }
    }
    ~CDataFolder() { std::system(("rm -rf '" + m_root + "'").c_str()); }

    std::string Data() const { return m_root + "/data"; }

private:
    std::string m_root;
};

// What each start pays, twice (the show list and the options sweep the same folder), for the
// leftovers of saves cut short: nothing is found, so every pass reads the same folders.
void BM_StartSweepOfADataFolder(benchmark::State& state)
{
    const CDataFolder folder(state.range(0) != 0);
    for (auto _ : state)
        benchmark::DoNotOptimize(RemoveInterruptedReplaces(folder.Data()).size());
}
BENCHMARK(BM_StartSweepOfADataFolder)->Arg(0)->Arg(1)->ArgName("linked")->Unit(benchmark::kMicrosecond);
}  // namespace
