#include "foundation/xml_file.h"
#include "model/show_file.h"
#include "model/show_file_list.h"

#include <benchmark/benchmark.h>
#include <tinyxml.h>

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>

namespace
{
constexpr int kShows = 10;

// A folder of ten shows of just under the 32 MB a show may have: playbacks full of cues, each
// with its four blocks of channel data. One file under ten names, so the disk holds it once.
class CLargeShows
{
public:
    CLargeShows()
    {
        char pattern[] = "/tmp/tanzo-show-list-XXXXXX";
        m_folder = ::mkdtemp(pattern) ? pattern : "";
        const std::string block(1068, 'A');  // 800 bytes in Base64
        std::string cue = "<cue label=\"Look\" fade=\"3s\"><blocks>";
        for (int i = 0; i < 4; ++i)
            cue += "<block>" + block + "</block>";
        cue += "</blocks></cue>";
        std::string show = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\" ?>\n"
                           "<show application=\"Tanzo\" version=\"1.7.0\"><system/><fixtures/><playbacks>";
        for (int playback = 1; show.size() + 200 * cue.size() < CFile::kMaxBytes - 4096; ++playback)
        {
            show += "<playback index=\"" + std::to_string(playback) + "\"><cues>";
            for (int i = 0; i < 200; ++i)
                show += cue;
            show += "</cues></playback>";
        }
        show += "</playbacks></show>\n";
        m_bytes = show.size();
        std::ofstream(Path(0), std::ios::binary) << show;
        for (int i = 1; i < kShows; ++i)
            ::link(Path(0).c_str(), Path(i).c_str());
    }
    ~CLargeShows() { std::system(("rm -rf '" + m_folder + "'").c_str()); }

    std::string Path(int i) const { return m_folder + "/show" + std::to_string(i) + ".show"; }
    const std::string& Folder() const { return m_folder; }
    size_t Bytes() const { return m_bytes; }

private:
    std::string m_folder;
    size_t m_bytes = 0;
};

const CLargeShows& Shows()
{
    static const CLargeShows shows;
    return shows;
}

// What the program's start pays for the list of shows: every show described (name, date, size,
// read-only) from its root's start tag.
void BM_ShowListOfTenLargeShows(benchmark::State& state)
{
    const CLargeShows& shows = Shows();
    for (auto _ : state)
    {
        CFileManager files(shows.Folder());
        files.SetCore(nullptr);
        benchmark::DoNotOptimize(files.GetCount());
    }
    state.counters["show MB"] = double(shows.Bytes()) / (1024 * 1024);
}
BENCHMARK(BM_ShowListOfTenLargeShows)->Unit(benchmark::kMillisecond);

// One such show read and parsed whole: what opening it costs, and what each entry of the list
// cost while the list read every show whole.
void BM_ShowReadWhole(benchmark::State& state)
{
    for (auto _ : state)
    {
        TiXmlDocument document;
        benchmark::DoNotOptimize(ReadXmlFile(Shows().Path(0), CFile::kMaxBytes, document).IsRead());
    }
}
BENCHMARK(BM_ShowReadWhole)->Unit(benchmark::kMillisecond);
}  // namespace
