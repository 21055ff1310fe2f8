// A full show sent to the stand-in controller over loopback: the model root, ticked like the main
// loop (25 frames a second), opens a show of 64 playbacks of 48 cues with four blocks each and
// keeps on until the controller has taken it and the model has read back what it announced. The
// records the link sent are counted and reported a second. Beside that show, forged notifications
// of each code cost the controller the records counted for each. The stand-in (built beside the
// benchmarks) runs as a process of its own, so this runs only inside scripts/netns.sh.
#include "bench/full_show.h"
#include "foundation/notify_codes.h"
#include "foundation/observer.h"
#include "link/message_frame.h"
#include "model/core.h"
#include "model/cue.h"
#include "model/playback.h"
#include "model/playback_manager.h"
#include "model/show_file.h"
#include "model/show_file_list.h"
#include "tests/support/network_links.h"

#include <benchmark/benchmark.h>
#include <boost/filesystem.hpp>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
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
                                              "--no-wildcard", "--control", "0", "--log", m_log};
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
    uint16_t WaitForLinkPort()
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
                {
                    m_controlPort = uint16_t(std::stoi(word.substr(8)));
                    return port;
                }
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return 0;
    }

    // The port the program's link sends from, as the stand-in logged the frames it took; 0
    // before the first.
    uint16_t ProgramPort() const
    {
        std::ifstream in(m_log);
        std::string line;
        while (std::getline(in, line))
        {
            const size_t from = line.rfind("rx link ", 0) == 0 ? line.find(" from=") : std::string::npos;
            const size_t colon = from == std::string::npos ? from : line.find(':', from);
            if (colon != std::string::npos)
                return uint16_t(std::stoi(line.substr(colon + 1)));
        }
        return 0;
    }

    // One control command (see standin --help) and the stand-in's reply; empty when none came.
    std::string Command(const std::string& line) const
    {
        const int control = socket(AF_INET, SOCK_DGRAM, 0);
        sockaddr_in to = {};
        to.sin_family = AF_INET;
        to.sin_port = htons(m_controlPort);
        to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        char reply[256] = {};
        ssize_t count = -1;
        pollfd answered = {control, POLLIN, 0};
        if (control >= 0 &&
            sendto(control, line.data(), line.size(), 0, reinterpret_cast<const sockaddr*>(&to), sizeof(to)) >= 0 &&
            poll(&answered, 1, 10000) > 0)
            count = recv(control, reply, sizeof(reply), 0);
        if (control >= 0)
            close(control);
        return std::string(reply, count > 0 ? size_t(count) : 0);
    }

private:
    std::string m_log;
    pid_t m_pid = -1;
    uint16_t m_controlPort = 0;
};

class CFrameCounter : public CObserver
{
public:
    void HandleNotify(CSubject*, uint32_t code) override { frames += code == NOTIFY_PROGRESS; }
    uint64_t frames = 0;
};

// Ticks the model root every 40 ms until the link has been quiet for the ticks given: nothing
// queued and nothing sent. False when that takes more than the limit.
bool TickUntilQuiet(CCore& core, const CFrameCounter& counter, std::chrono::seconds limit, int quietTicks = 25)
{
    const Clock::time_point end = Clock::now() + limit;
    Clock::time_point frame = Clock::now();
    uint64_t lastFrames = counter.frames;
    int quiet = 0;
    while (quiet < quietTicks)
    {
        if (Clock::now() > end)
            return false;
        frame += std::chrono::milliseconds(40);
        std::this_thread::sleep_until(frame);
        core.Update(0.04f);
        const bool still = counter.frames == lastFrames && core.GetDeviceManager()->GetQueueLength() == 0 &&
                           !core.GetFileManager()->IsLoadPending();
        quiet = still ? quiet + 1 : 0;
        lastFrames = counter.frames;
    }
    return true;
}

// The model root beside the stand-in, in a temporary folder that holds the full show, chosen and
// read: what the benchmarks start from.
class CShowBeside
{
public:
    CShowBeside()
    {
        if (!InPrivateNamespace())
        {
            m_error = "the device link runs only in a private network namespace (scripts/netns.sh)";
            return;
        }
        std::string pattern = (boost::filesystem::temp_directory_path() / "tanzo-show-bench-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
        {
            m_error = "no temporary folder";
            return;
        }
        m_folder = pattern;
        boost::filesystem::create_directories(m_folder + "/shows");
        std::ofstream(m_folder + "/shows/full.show") << bench::FullShowXml();
        m_standin = std::make_unique<CStandin>(m_folder);
        m_port = m_standin->WaitForLinkPort();
        if (m_port == 0)
        {
            m_error = "the stand-in did not start";
            return;
        }
        CCoreSetup setup;
        setup.link.port = m_port;
        setup.link.broadcastTargets = std::vector<CIpAddress>{CIpAddress(127, 0, 0, 2)};
        setup.optionsFolder = m_folder;
        setup.showFolder = m_folder + "/shows";
        m_core = CCore::Create(0, nullptr, setup);
        m_counter.Observe(m_core->GetDeviceManager());
        m_core->GetDeviceManager()->SetConnectedAddress(CIpAddress(127, 0, 0, 2, m_port));
        if (TickUntilQuiet(std::chrono::seconds(60)))
        {
            m_core->GetFileManager()->Refresh();
            m_show = m_core->GetFileManager()->FindFile("full");
        }
        if (!m_show)
            m_error = "no controller or no show";
    }
    ~CShowBeside()
    {
        m_core.reset();
        if (!m_folder.empty())
            boost::filesystem::remove_all(m_folder);
    }
    CShowBeside(const CShowBeside&) = delete;
    CShowBeside& operator=(const CShowBeside&) = delete;

    // Empty once the model has read the controller; else why not.
    const std::string& GetError() const { return m_error; }
    CCore& GetCore() { return *m_core; }
    uint16_t GetProgramPort() const { return m_standin->ProgramPort(); }
    std::string Command(const std::string& line) const { return m_standin->Command(line); }
    // Whether the model's picture is the controller's.
    bool InStep() { return Command("digest") == "ok " + m_core->ComputeDigest().ToString(); }
    // Frames the link has sent.
    uint64_t GetFrames() const { return m_counter.frames; }
    bool TickUntilQuiet(std::chrono::seconds limit, int quietTicks = 25)
    {
        return ::TickUntilQuiet(*m_core, m_counter, limit, quietTicks);
    }
    // Opens the full show and waits until the controller has taken it and the link is quiet: the
    // seconds that took, or a negative number when the show did not reach the controller.
    double LoadFullShow()
    {
        const Clock::time_point start = Clock::now();
        m_show->Load();
        const bool quiet = TickUntilQuiet(std::chrono::seconds(600));
        // The second of quiet that ends the wait is not part of the send.
        const double seconds = std::chrono::duration<double>(Clock::now() - start).count() - 1.0;
        if (!quiet || m_core->GetPlaybackManager()->GetPlayback(63)->GetCueCount() != CPlayback::kMaxCues)
            return -1.0;
        return seconds;
    }

private:
    std::string m_error;
    std::string m_folder;
    std::unique_ptr<CStandin> m_standin;
    uint16_t m_port = 0;
    CFrameCounter m_counter;
    std::unique_ptr<CCore> m_core;
    CFile* m_show = nullptr;
};

void FullShowToTheStandin(benchmark::State& state)
{
    for (auto _ : state)
    {
        CShowBeside beside;
        if (!beside.GetError().empty())
        {
            state.SkipWithError(beside.GetError().c_str());
            break;
        }
        const uint64_t before = beside.GetFrames();
        const double seconds = beside.LoadFullShow();
        if (seconds < 0.0)
        {
            state.SkipWithError("the show did not reach the controller");
            break;
        }
        state.SetIterationTime(seconds);
        state.counters["records"] = double(beside.GetFrames() - before);
        state.counters["records_per_second"] = double(beside.GetFrames() - before) / seconds;
    }
}
BENCHMARK(FullShowToTheStandin)->Unit(benchmark::kSecond)->UseManualTime()->Iterations(1);

// Forged notifications of one kind, each naming the next playback, cue or fixture where the code
// names one (two for a pair, the second of the same playback).
struct SForgery
{
    const char* name;
    uint32_t manager;
    uint32_t code;
    // Then "cue count changed" of the same playback.
    bool thenCount = false;
};

const SForgery kForgeries[] = {
    // "Cue count changed" first, while no "everything changed" has come since the cues were read.
    {"playback_count", MANAGER_PLAYBACK, 3},
    {"playback_label", MANAGER_PLAYBACK, 289},
    {"playback_level", MANAGER_PLAYBACK, 290},
    {"playback_status", MANAGER_PLAYBACK, 144},
    {"playback_mode", MANAGER_PLAYBACK, 121},
    {"cue_all", MANAGER_CUE, 0},
    {"cue_label", MANAGER_CUE, 289},
    {"cue_block", MANAGER_CUE, 296},
    {"fixture_all", MANAGER_FIXTURE, 0},
    {"fixture_address", MANAGER_FIXTURE, 20},
    {"programmer_all", MANAGER_PROGRAMMER, 0},
    {"programmer_selection", MANAGER_PROGRAMMER, 38},
    {"group", MANAGER_PROGRAMMER_CHANGE, 1},
    {"artnet_all", MANAGER_ARTNET, 0},
    {"fixtures_all", MANAGER_FIXTURE_MANAGER, 0},
    {"playbacks_all", MANAGER_PLAYBACK_MANAGER, 0},
    {"playback_all", MANAGER_PLAYBACK, 0},
    // "Everything changed" and "cue count changed" of each playback, as a swap is told.
    {"playback_all_then_count", MANAGER_PLAYBACK, 0, true},
};

// Beside the stand-in holding the full show, 64 forged notifications of each kind above at 64 a
// second from the controller's address, which the link cannot tell from the controller's own:
// the records the program sends the controller for each, counted once the link is quiet again.
void RequestsPerForgedNotification(benchmark::State& state)
{
    for (auto _ : state)
    {
        CShowBeside beside;
        if (!beside.GetError().empty() || beside.LoadFullShow() < 0.0)
        {
            state.SkipWithError(beside.GetError().empty() ? "the show did not reach the controller"
                                                           : beside.GetError().c_str());
            break;
        }
        const int forger = socket(AF_INET, SOCK_DGRAM, 0);
        sockaddr_in from = {};
        from.sin_family = AF_INET;
        from.sin_addr.s_addr = htonl(0x7F000002);
        sockaddr_in to = {};
        to.sin_family = AF_INET;
        to.sin_port = htons(beside.GetProgramPort());
        to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (forger < 0 || bind(forger, reinterpret_cast<const sockaddr*>(&from), sizeof(from)) != 0)
        {
            state.SkipWithError("no socket on the controller's address");
            break;
        }
        auto forge = [&](const SForgery& forgery, uint32_t code, uint32_t n) {
            CMessage notify(forgery.manager, COMMAND_NOTIFY);
            notify.SetIndex0(n % 64);
            notify.SetIndex1(n % CPlayback::kMaxCues);
            notify.SetIndex2(n % CCue::kBlockCount);
            notify.SetSequence(uint16_t(40000 + n));
            notify.SetValue(CMessageValue(code));
            std::vector<uint8_t> frame;
            CMessageFrame::Encode(notify, frame);
            sendto(forger, frame.data(), frame.size(), 0, reinterpret_cast<const sockaddr*>(&to), sizeof(to));
        };
        constexpr uint32_t kForged = 64;
        for (const SForgery& forgery : kForgeries)
        {
            const uint64_t before = beside.GetFrames();
            Clock::time_point frame = Clock::now();
            for (uint32_t n = 0, ticks = 1; n < kForged; ++ticks)
            {
                // 64 a second: two or three each frame of the main loop.
                for (; n < kForged && n * 25 < ticks * 64; ++n)
                {
                    forge(forgery, forgery.code, n);
                    if (forgery.thenCount)
                        forge(forgery, 3, n);
                }
                frame += std::chrono::milliseconds(40);
                std::this_thread::sleep_until(frame);
                beside.GetCore().Update(0.04f);
            }
            beside.TickUntilQuiet(std::chrono::seconds(120), 5);
            const double each = double(beside.GetFrames() - before) / (forgery.thenCount ? 2 * kForged : kForged);
            state.counters[forgery.name] = each;
        }
        close(forger);
    }
}
BENCHMARK(RequestsPerForgedNotification)->Unit(benchmark::kSecond)->Iterations(1);

// Beside the stand-in holding the full show and answering 1 ms late, one-byte datagrams sent to
// the program's link at 240,000 a second for 10 s, faster than the link takes them (the system
// drops the rest, the controller's notifications among them), while a playback's label or a
// cue's, in turn, changes at the controller about twice a second: the seconds from the flood's end
// until the model's picture is the controller's (their digests, compared once a second), at most
// 180 (in_step 0: never).
void PictureAfterAFloodTheLinkCannotTakeIn(benchmark::State& state)
{
    constexpr int kFloodSeconds = 10;
    constexpr double kRate = 240000.0;
    for (auto _ : state)
    {
        CShowBeside beside;
        if (!beside.GetError().empty() || beside.LoadFullShow() < 0.0 || !beside.InStep())
        {
            state.SkipWithError(beside.GetError().empty() ? "the show did not reach the controller whole"
                                                           : beside.GetError().c_str());
            break;
        }
        beside.Command("delay 1");
        std::atomic<uint64_t> sent{0};
        std::thread flood([&] {
            const int sender = socket(AF_INET, SOCK_DGRAM, 0);
            sockaddr_in to = {};
            to.sin_family = AF_INET;
            to.sin_port = htons(beside.GetProgramPort());
            to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
            const uint8_t byte = 0;
            const Clock::time_point start = Clock::now();
            for (uint64_t n = 0; n < uint64_t(kRate) * kFloodSeconds; ++n)
            {
                // A millisecond's worth at a time.
                if (n % uint64_t(kRate / 1000) == 0)
                    std::this_thread::sleep_until(start + std::chrono::microseconds(n * 1000000 / uint64_t(kRate)));
                if (sendto(sender, &byte, 1, 0, reinterpret_cast<const sockaddr*>(&to), sizeof(to)) == 1)
                    ++sent;
            }
            close(sender);
        });
        Clock::time_point frame = Clock::now();
        const Clock::time_point end = frame + std::chrono::seconds(kFloodSeconds);
        int changes = 0;
        for (int tick = 0; frame < end; ++tick)
        {
            if (tick % 12 == 0)
            {
                const std::string where = std::to_string(changes % 64);
                beside.Command(changes % 2 ? "cue " + where + " " + std::to_string(changes % 48) + " label flood-" + where
                                           : "playback " + where + " label flood-" + where);
                ++changes;
            }
            frame += std::chrono::milliseconds(40);
            std::this_thread::sleep_until(frame);
            beside.GetCore().Update(0.04f);
        }
        flood.join();
        const Clock::time_point flooded = Clock::now();
        const uint64_t before = beside.GetFrames();
        bool inStep = false;
        for (int tick = 1; !inStep && Clock::now() - flooded < std::chrono::seconds(180); ++tick)
        {
            frame += std::chrono::milliseconds(40);
            std::this_thread::sleep_until(frame);
            beside.GetCore().Update(0.04f);
            inStep = tick % 25 == 0 && beside.InStep();
        }
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - flooded).count());
        state.counters["in_step"] = inStep;
        state.counters["changes"] = changes;
        state.counters["sent"] = double(sent);
        state.counters["records_after"] = double(beside.GetFrames() - before);
    }
}
BENCHMARK(PictureAfterAFloodTheLinkCannotTakeIn)->Unit(benchmark::kSecond)->UseManualTime()->Iterations(1);
}  // namespace
