// A full show sent to the stand-in controller over loopback: the model root, ticked like the main
// loop (25 frames a second), opens a show of 64 playbacks of 48 cues with four blocks each and
// keeps on until the controller has taken it and the model has read back what it announced. The
// records the link sent are counted and reported a second. The stand-in (built beside the
// benchmarks) runs as a process of its own, so this runs only inside scripts/netns.sh.
#include "bench/full_show.h"
#include "foundation/notify_codes.h"
#include "foundation/observer.h"
#include "model/core.h"
#include "model/cue.h"
#include "model/playback.h"
#include "model/playback_manager.h"
#include "model/show_file.h"
#include "model/show_file_list.h"
#include "tests/support/network_links.h"

#include <benchmark/benchmark.h>
#include <boost/filesystem.hpp>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace
{
using Clock = std::chrono::steady_clock;

std::string BinaryFolder()
{
    char path[4096] = {};
    const ssize_t length = readlink("/proc/self/exe", path, sizeof(path) - 1);
    const std::string exe(path, length > 0 ? size_t(length) : 0);
    return exe.substr(0, exe.rfind('/'));
}

// The stand-in controller with one unit on 127.0.0.2 and a link port of the system's choosing.
class CStandin
{
public:
    explicit CStandin(const std::string& folder) : m_log(folder + "/events.txt")
    {
        const std::string binary = BinaryFolder() + "/standin";
        std::vector<std::string> arguments = {binary, "--unit", "127.0.0.2,KDX-1,0", "--link-port", "0",
                                              "--no-wildcard", "--log", m_log};
        std::vector<char*> argv;
        for (std::string& argument : arguments)
            argv.push_back(argument.data());
        argv.push_back(nullptr);
        if (posix_spawn(&m_pid, binary.c_str(), nullptr, nullptr, argv.data(), environ) != 0)
            m_pid = -1;
    }
    ~CStandin()
    {
        if (m_pid <= 0)
            return;
        kill(m_pid, SIGTERM);
        int status = 0;
        waitpid(m_pid, &status, 0);
    }

    // The unit's link port once the stand-in says it is ready; 0 when it does not within 30 s.
    uint16_t WaitForLinkPort() const
    {
        for (const Clock::time_point end = Clock::now() + std::chrono::seconds(30); m_pid > 0 && Clock::now() < end;)
        {
            std::ifstream in(m_log);
            std::string word;
            uint16_t port = 0;
            while (in >> word)
            {
                if (word.rfind("link=", 0) == 0)
                    port = uint16_t(std::stoi(word.substr(5)));
                else if (word.rfind("control=", 0) == 0 && port != 0)
                    return port;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return 0;
    }

private:
    std::string m_log;
    pid_t m_pid = -1;
};

class CFrameCounter : public CObserver
{
public:
    void HandleNotify(CSubject*, uint32_t code) override { frames += code == NOTIFY_PROGRESS; }
    uint64_t frames = 0;
};

// Ticks the model root every 40 ms until the link has been quiet for a second: nothing queued
// and nothing sent. False when that takes more than the limit.
bool TickUntilQuiet(CCore& core, const CFrameCounter& counter, std::chrono::seconds limit)
{
    const Clock::time_point end = Clock::now() + limit;
    Clock::time_point frame = Clock::now();
    uint64_t lastFrames = counter.frames;
    int quietTicks = 0;
    while (quietTicks < 25)
    {
        if (Clock::now() > end)
            return false;
        frame += std::chrono::milliseconds(40);
        std::this_thread::sleep_until(frame);
        core.Update(0.04f);
        const bool quiet = counter.frames == lastFrames && core.GetDeviceManager()->GetQueueLength() == 0 &&
                           !core.GetFileManager()->IsLoadPending();
        quietTicks = quiet ? quietTicks + 1 : 0;
        lastFrames = counter.frames;
    }
    return true;
}

void FullShowToTheStandin(benchmark::State& state)
{
    if (!InPrivateNamespace())
    {
        state.SkipWithError("the device link runs only in a private network namespace (scripts/netns.sh)");
        return;
    }
    std::string pattern = (boost::filesystem::temp_directory_path() / "tanzo-show-bench-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
    {
        state.SkipWithError("no temporary folder");
        return;
    }
    const std::string folder = pattern;
    boost::filesystem::create_directories(folder + "/shows");
    std::ofstream(folder + "/shows/full.show") << bench::FullShowXml();

    for (auto _ : state)
    {
        CStandin standin(folder);
        const uint16_t port = standin.WaitForLinkPort();
        if (port == 0)
        {
            state.SkipWithError("the stand-in did not start");
            break;
        }
        CCoreSetup setup;
        setup.link.port = port;
        setup.link.broadcastTargets = std::vector<CIpAddress>{CIpAddress(127, 0, 0, 2)};
        setup.optionsFolder = folder;
        setup.showFolder = folder + "/shows";
        std::unique_ptr<CCore> core = CCore::Create(0, nullptr, setup);
        CFrameCounter counter;
        counter.Observe(core->GetDeviceManager());
        core->GetDeviceManager()->SetConnectedAddress(CIpAddress(127, 0, 0, 2, port));
        CFile* show = nullptr;
        if (TickUntilQuiet(*core, counter, std::chrono::seconds(60)))
        {
            core->GetFileManager()->Refresh();
            show = core->GetFileManager()->FindFile("full");
        }
        if (!show)
        {
            state.SkipWithError("no controller or no show");
            break;
        }

        const uint64_t before = counter.frames;
        const Clock::time_point start = Clock::now();
        show->Load();
        const bool quiet = TickUntilQuiet(*core, counter, std::chrono::seconds(600));
        // The second of quiet that ends the wait is not part of the send.
        const double seconds = std::chrono::duration<double>(Clock::now() - start).count() - 1.0;
        if (!quiet || core->GetPlaybackManager()->GetPlayback(63)->GetCueCount() != CPlayback::kMaxCues)
        {
            state.SkipWithError("the show did not reach the controller");
            break;
        }
        state.SetIterationTime(seconds);
        state.counters["records"] = double(counter.frames - before);
        state.counters["records_per_second"] = double(counter.frames - before) / seconds;
        core.reset();
    }
    boost::filesystem::remove_all(folder);
}
BENCHMARK(FullShowToTheStandin)->Unit(benchmark::kSecond)->UseManualTime()->Iterations(1);
}  // namespace
