// The playback page on a model root without a network: building the root area with it (as start-up
// does, its pictures already decoded), a full repaint of the page, the frame in which one fader's
// cap moves to the value the controller reported, and a frame in which nothing changes.
#include "bench/bench_support.h"
#include "graphics/font_manager.h"
#include "graphics/skin_manager.h"
#include "graphics/texture_adapter.h"
#include "link/message.h"
#include "link/udp_socket.h"
#include "model/core.h"
#include "model/playback_manager.h"
#include "screens/pages/area_main.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>

namespace
{
// No socket at all: the page never reaches a network.
struct CNoNetwork : CUdpNetwork
{
    std::unique_ptr<CUdpSocket> Open(uint16_t) override { return nullptr; }
};

struct CPlaybackPageBench
{
    CPlaybackPageBench()
    {
        CSkinManager::Instance().LoadFolder(bench::ResourcesFolder() + "/skin");
        CFontManager::Instance().ScanFolder(bench::ResourcesFolder() + "/fonts");
        char folder[] = "/tmp/tanzo-bench-XXXXXX";
        m_folder = mkdtemp(folder) ? folder : "";
        CCoreSetup setup;
        setup.link.network = &m_network;
        setup.link.threads = false;
        setup.link.broadcastTargets = std::vector<CIpAddress>();
        setup.optionsFolder = m_folder;
        core = CCore::Create(0, nullptr, setup);
        root = std::make_unique<CAreaMain>(nullptr, 768, 1024, core.get());
        Render(true);
    }
    ~CPlaybackPageBench()
    {
        root.reset();
        core.reset();
        if (!m_folder.empty())
            std::filesystem::remove_all(m_folder);
    }
    void Render(bool force) { root->Render(CTextureAdapter(canvas), CPoint(), force); }

    CNoNetwork m_network;
    std::string m_folder;
    std::unique_ptr<CCore> core;
    std::unique_ptr<CAreaMain> root;
    CZevralImage canvas{768, 1024};
};

void BM_PlaybackPageBuild(benchmark::State& state)
{
    CPlaybackPageBench bench;
    for (auto _ : state)
        bench.root = std::make_unique<CAreaMain>(nullptr, 768, 1024, bench.core.get());
}
BENCHMARK(BM_PlaybackPageBuild)->Unit(benchmark::kMillisecond);

void BM_PlaybackPageFullRepaint(benchmark::State& state)
{
    CPlaybackPageBench bench;
    for (auto _ : state)
        bench.Render(true);
    benchmark::DoNotOptimize(bench.canvas.GetPixels());
}
BENCHMARK(BM_PlaybackPageFullRepaint)->Unit(benchmark::kMillisecond);

// The controller reports a new intensity for the first strip's playback; the frame repaints what
// that dirtied (the fader's cap and the playback button's bar).
void BM_PlaybackPageFaderFrame(benchmark::State& state)
{
    CPlaybackPageBench bench;
    CPlaybackManager* manager = bench.core->GetPlaybackManager();
    int step = 0;
    for (auto _ : state)
    {
        step = (step + 1) % 100;
        CMessage reply(MANAGER_PLAYBACK, COMMAND_GET_INTENSITY);
        reply.SetValue(CMessageValue(float(step) / 100.0f));
        manager->ApplyMessage(reply);
        bench.Render(false);
    }
    benchmark::DoNotOptimize(bench.canvas.GetPixels());
}
BENCHMARK(BM_PlaybackPageFaderFrame)->Unit(benchmark::kMicrosecond);

// What the main loop does in a frame in which nothing changes: the model root's tick, the area
// tree's tick and the question whether anything needs drawing (it does not). In the program the
// frame starts after 40 ms of sleep with colder caches than here.
void BM_PlaybackPageIdleFrame(benchmark::State& state)
{
    CPlaybackPageBench bench;
    for (auto _ : state)
    {
        bench.core->Update(0.04f);
        bench.root->Tick(0.04f);
        benchmark::DoNotOptimize(bench.root->NeedsRender());
    }
}
BENCHMARK(BM_PlaybackPageIdleFrame)->Unit(benchmark::kMicrosecond);
}  // namespace
