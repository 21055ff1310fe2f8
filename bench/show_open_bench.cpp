// Opening a show on the main thread: the file read whole and its fixtures and playbacks handed to
// a model root whose controller never answers, so that the records the load queues stay counted.
// Beside the largest show a user makes, shows a hostile folder may hold, each within the reader's
// size bound. Reports the time, the records queued, the process's peak memory during the open and
// what it keeps after it, both beyond what it held before.
#include "bench/full_show.h"
#include "foundation/xml_file.h"
#include "link/device_manager.h"
#include "model/core.h"
#include "model/personality_entries.h"
#include "model/personality_label_index.h"
#include "model/personality_manager.h"
#include "model/show_file.h"
#include "tests/support/silent_network.h"

#include <benchmark/benchmark.h>
#include <boost/filesystem.hpp>
#include <tinyxml.h>

#include <malloc.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <memory>
#include <string>

namespace
{
const char* const kShapes[] = {"genuine",          "attributes",        "ampersands",       "references",
                               "text",             "cue lists",         "repeated playback", "repeated fixture",
                               "at every limit",   "TSCII label",       "Windows-1252 label"};

// The show of a shape: the largest genuine one, or a crafted one as large as the reader takes.
std::string ShowOf(int shape)
{
    if (shape == 0)
        return bench::FullShowXml();
    const std::string open = "<show application=\"Tanzo\"><system>";
    const std::string close = "</system><fixtures/><playbacks/></show>";
    std::string unit;
    switch (shape)
    {
    case 1:  // elements of 64 empty attributes each
        unit = "<a";
        for (int i = 0; i < 64; ++i)
            unit += " a" + std::to_string(i) + "=\"\"";
        unit += "/>";
        break;
    case 2:  // '&' that begins no reference
        unit = "&";
        break;
    case 3:
        unit = "&#65;";
        break;
    case 4:
        unit = "x";
        break;
    default:
        break;
    }
    std::string show;
    show.reserve(CFile::kMaxBytes);
    const auto repeat = [&](const std::string& what, size_t times) {
        for (size_t i = 0; i < times; ++i)
            show += what;
    };
    if (shape == 5)
    {
        // One playback holding 3,990 lists of 48 empty cues.
        show = "<show application=\"Tanzo\"><fixtures/><playbacks><playback index=\"0\">";
        std::string list = "<cues>";
        for (int i = 0; i < 48; ++i)
            list += "<cue/>";
        repeat(list + "</cues>", 3990);
        return show + "</playback></playbacks></show>";
    }
    if (shape == 6)
    {
        show = "<show application=\"Tanzo\"><fixtures/><playbacks>";
        repeat("<playback index=\"3\"/>", 199990);
        return show + "</playbacks></show>";
    }
    if (shape == 9 || shape == 10)
    {
        // A label in an encoding whose every byte becomes more text: in TSCII 0x82 is four
        // characters, 12 bytes of UTF-8; in Windows-1252 0x80 is the euro sign, 3 bytes.
        show = std::string("<?xml version=\"1.0\" encoding=\"") + (shape == 9 ? "TSCII" : "Windows-1252") +
               "\"?>\n<show application=\"Tanzo\"><fixtures/><playbacks><playback index=\"0\" label=\"";
        const std::string end = "\"/></playbacks></show>";
        show.append(CFile::kMaxBytes - 4096 - show.size() - end.size(), shape == 9 ? '\x82' : '\x80');
        return show + end;
    }
    if (shape == 7)
    {
        show = "<show application=\"Tanzo\"><fixtures>";
        repeat("<fixture index=\"3\" invert_pan=\"true\"/>", 99990);
        return show + "</fixtures><playbacks/></show>";
    }
    show = open;
    if (shape == 8)
    {
        // As many elements and attributes as the reader takes, the costliest for their bytes,
        // and as many lone '&', then text.
        repeat("<a b=\"\"/>", 199990);
        repeat("&", kXmlMaxRawAmpersands);
        unit = "x";
    }
    repeat(unit, (CFile::kMaxBytes - 4096 - show.size() - close.size()) / unit.size());
    return show + close;
}

// The process's resident memory now, and at its peak since ResetPeak, in MB.
double ResidentMegabytes(const char* field)
{
    std::ifstream status("/proc/self/status");
    std::string name;
    while (status >> name)
    {
        double kilobytes = 0;
        if (name == field && status >> kilobytes)
            return kilobytes / 1024;
    }
    return 0;
}

void ResetPeak()
{
    std::ofstream("/proc/self/clear_refs") << "5";
}

// A model root whose controller never answers: what a load queues stays queued.
std::unique_ptr<CCore> SilentCore(CSilentNetwork& network, const std::string& folder)
{
    CCoreSetup setup;
    setup.link.network = &network;
    setup.link.threads = false;
    setup.link.broadcastTargets = std::vector<CIpAddress>();
    setup.optionsFolder = folder;
    setup.showFolder = folder;
    std::unique_ptr<CCore> core = CCore::Create(0, nullptr, setup);
    core->GetDeviceManager()->SetConnectedAddress(CIpAddress(10, 0, 0, 9));
    core->GetDeviceManager()->ClearQueue();
    core->Update(0.04f);
    core->Update(0.04f);
    return core;
}

void BM_ShowOpen(benchmark::State& state)
{
    const int shape = int(state.range(0));
    state.SetLabel(kShapes[shape]);
    const boost::filesystem::path folder =
        boost::filesystem::temp_directory_path() / ("tanzo-show-open-" + std::to_string(::getpid()));
    boost::filesystem::create_directories(folder);
    const std::string path = (folder / "a.show").string();
    {
        std::ofstream out(path, std::ios::binary);
        const std::string show = ShowOf(shape);
        out << show;
        state.counters["file_MB"] = double(show.size()) / (1024 * 1024);
    }
    CSilentNetwork network;
    for (auto _ : state)
    {
        state.PauseTiming();
        std::unique_ptr<CCore> core = SilentCore(network, folder.string());
        CFile file(nullptr, core.get(), path);
        ::malloc_trim(0);
        const double before = ResidentMegabytes("VmRSS:");
        ResetPeak();
        state.ResumeTiming();
        file.Load();
        state.PauseTiming();
        state.counters["records"] = double(core->GetDeviceManager()->GetQueueLength());
        state.counters["peak_MB"] = ResidentMegabytes("VmHWM:") - before;
        state.counters["kept_MB"] = ResidentMegabytes("VmRSS:") - before;
        core.reset();
        state.ResumeTiming();
    }
    boost::filesystem::remove_all(folder);
}
BENCHMARK(BM_ShowOpen)->DenseRange(0, 10)->Unit(benchmark::kMillisecond)->Iterations(1);

// A show of 64 fixtures that name their personalities without profiles, each found in the library
// as the load reads it: the shipped library alone, or behind a user library of 199,990
// manufacturers (as many as the reader takes), which a look-up must not walk. The fixtures name the
// last 64 manufacturers of the shipped library, each with its first model and mode. Reports also
// how long the library took to read, and how many labels one load compares.
void BM_ShowOpenOfPatchedFixtures(benchmark::State& state)
{
    const std::string library = std::string(TANZO_SOURCE_DIR) + "/resources/personalities/personalities.xml";
    const boost::filesystem::path folder =
        boost::filesystem::temp_directory_path() / ("tanzo-show-patch-" + std::to_string(::getpid()));
    boost::filesystem::create_directories(folder);
    const std::string user = (folder / "user.personality").string();
    {
        std::ofstream out(user, std::ios::binary);
        out << "<personalities>";
        for (int64_t i = 0; i < state.range(0); ++i)
            out << "<manufacturer label=\"Maker " << i << "\"/>";
        out << "</personalities>";
    }
    CPersonalityManager shipped;
    shipped.LoadFile(library, false);
    TiXmlElement fixtures("fixtures");
    for (uint32_t i = 0; i < 64; ++i)
    {
        const CManufacturer* maker = shipped.GetManufacturer(shipped.GetManufacturerCount() - 64 + i);
        const CModel* model = maker->GetModel(0);
        TiXmlElement fixture("fixture");
        fixture.SetAttribute("index", int(i));
        fixture.SetAttribute("address", int(1 + 8 * i));
        fixture.SetAttribute("manufacturer", maker->GetLabel());
        fixture.SetAttribute("model", model->GetLabel());
        fixture.SetAttribute("mode", model->GetModeCount() > 0 ? model->GetMode(0)->GetLabel() : std::string());
        fixtures.InsertEndChild(fixture);
    }
    TiXmlPrinter printer;
    fixtures.Accept(&printer);
    const std::string path = (folder / "a.show").string();
    std::ofstream(path, std::ios::binary) << "<show application=\"Tanzo\">" << printer.Str() << "<playbacks/></show>";
    CSilentNetwork network;
    std::unique_ptr<CCore> core = SilentCore(network, folder.string());
    const auto read = std::chrono::steady_clock::now();
    core->GetPersonalityManager()->LoadFile(user, true);
    core->GetPersonalityManager()->LoadFile(library, false);
    state.counters["library_read_ms"] =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - read).count();
    state.counters["manufacturers"] = core->GetPersonalityManager()->GetManufacturerCount();
    CFile file(nullptr, core.get(), path);
    const uint64_t compared = CountPersonalityLabelComparisons();
    for (auto _ : state)
    {
        file.Load();
        state.PauseTiming();
        core->GetDeviceManager()->ClearQueue();
        state.ResumeTiming();
    }
    state.counters["comparisons"] = double(CountPersonalityLabelComparisons() - compared) / double(state.iterations());
    boost::filesystem::remove_all(folder);
}
BENCHMARK(BM_ShowOpenOfPatchedFixtures)->Arg(0)->Arg(199990)->Unit(benchmark::kMillisecond);
}  // namespace
