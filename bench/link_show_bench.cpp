// A full show sent to the stand-in controller over loopback: the model root, ticked like the main
// loop (25 frames a second), opens a show of 64 playbacks of 48 cues with four blocks each and
// keeps on until the controller has taken it and the model has read back what it announced. The
// records the link sent are counted and reported a second. Beside that show, forged notifications
// of each code cost the controller the records counted for each, set against what a genuine one
// asks; and beside a controller answering 1 ms late, under forged notifications that each ask
// one read of a cue (numbered one after another, or all under one number), a label changed at the
// controller is timed until the model holds it, and the full show until the model's digest equals
// the controller's, the requests the controller received counted. The stand-in (built beside the
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

#include <algorithm>
#include <atomic>
#include <chrono>
#include <fstream>
#include <functional>
#include <optional>
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
        if (m_control >= 0)
            close(m_control);
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
                    m_control = socket(AF_INET, SOCK_DGRAM, 0);
                    return port;
                }
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return 0;
    }

    // One control command (tools/standin); its reply, empty when none came within 10 s.
    std::string Command(const std::string& line) const
    {
        sockaddr_in to = {};
        to.sin_family = AF_INET;
        to.sin_port = htons(m_controlPort);
        to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        char buffer[256];
        // A reply that came after its command gave up must not pass for this command's.
        while (m_control >= 0 && recv(m_control, buffer, sizeof(buffer), MSG_DONTWAIT) >= 0)
        {
        }
        if (m_control < 0 ||
            sendto(m_control, line.data(), line.size(), 0, reinterpret_cast<const sockaddr*>(&to), sizeof(to)) < 0)
            return std::string();
        pollfd fd = {m_control, POLLIN, 0};
        const ssize_t count = poll(&fd, 1, 10000) > 0 ? recv(m_control, buffer, sizeof(buffer), 0) : -1;
        return count > 0 ? std::string(buffer, size_t(count)) : std::string();
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

private:
    std::string m_log;
    pid_t m_pid = -1;
    uint16_t m_controlPort = 0;
    int m_control = -1;
};

class CFrameCounter : public CObserver
{
public:
    void HandleNotify(CSubject*, uint32_t code) override { frames += code == NOTIFY_PROGRESS; }
    uint64_t frames = 0;
};

// Ticks the model root every 40 ms until the condition holds; the seconds it took, or a negative
// number after the limit.
double TickUntil(CCore& core, const std::function<bool()>& condition, std::chrono::seconds limit)
{
    const Clock::time_point start = Clock::now();
    for (Clock::time_point frame = start; Clock::now() < start + limit;)
    {
        frame += std::chrono::milliseconds(40);
        std::this_thread::sleep_until(frame);
        core.Update(0.04f);
        if (condition())
            return std::chrono::duration<double>(Clock::now() - start).count();
    }
    return -1.0;
}

// Ticks the model root every 40 ms until the link has been quiet for the ticks given: nothing
// queued and nothing sent. False when that takes more than the limit.
bool TickUntilQuiet(CCore& core, const CFrameCounter& counter, std::chrono::seconds limit, int quietTicks = 25)
{
    uint64_t lastFrames = counter.frames;
    int quiet = 0;
    return TickUntil(
               core,
               [&] {
                   const bool still = counter.frames == lastFrames && core.GetDeviceManager()->GetQueueLength() == 0 &&
                                      !core.GetFileManager()->IsLoadPending();
                   quiet = still ? quiet + 1 : 0;
                   lastFrames = counter.frames;
                   return quiet >= quietTicks;
               },
               limit) >= 0.0;
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
            m_core->GetFileManager()->FinishListing();
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
    std::string Command(const std::string& line) const { return m_standin->Command(line); }
    uint16_t GetProgramPort() const { return m_standin->ProgramPort(); }
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
        OpenFullShow();
        const bool quiet = TickUntilQuiet(std::chrono::seconds(600));
        // The second of quiet that ends the wait is not part of the send.
        const double seconds = std::chrono::duration<double>(Clock::now() - start).count() - 1.0;
        if (!quiet || m_core->GetPlaybackManager()->GetPlayback(63)->GetCueCount() != CPlayback::kMaxCues)
            return -1.0;
        return seconds;
    }

    void OpenFullShow() { m_show->Load(); }
    // The full show with every playback's and cue's label changed, written beside it: null when
    // it cannot be found.
    CFile* WriteRelabelledShow()
    {
        std::string xml = bench::FullShowXml();
        for (const std::string from : {"label=\"Look ", "label=\"Cue "})
        {
            const std::string to = from + "again ";
            for (size_t at = xml.find(from); at != std::string::npos; at = xml.find(from, at + to.size()))
                xml.replace(at, from.size(), to);
        }
        std::ofstream(m_folder + "/shows/relabelled.show") << xml;
        // The list is filled by a thread of its own: the show is there once it has read it.
        m_core->GetFileManager()->Refresh();
        m_core->GetFileManager()->FinishListing();
        return m_core->GetFileManager()->FindFile("relabelled");
    }
    // The controller is chosen again, as by the user: the model reads all of it again.
    void ChooseAgain()
    {
        m_core->GetDeviceManager()->SetConnectedAddress(CIpAddress());
        m_core->GetDeviceManager()->SetConnectedAddress(CIpAddress(127, 0, 0, 2, m_port));
    }
    // Whether the model holds what the controller holds, and the controller's show did not change
    // since the last look (a look asks the stand-in for its digest: at most one a second, as it
    // costs the stand-in the hashing of its whole show).
    bool IsSettled()
    {
        const std::string controller = Command("digest");
        const bool still = controller == m_lastDigest;
        m_lastDigest = controller;
        return still && controller == "ok " + m_core->ComputeDigest().ToString() &&
               !m_core->GetFileManager()->IsLoadPending();
    }

private:
    std::string m_error;
    std::string m_folder;
    std::string m_lastDigest;
    std::unique_ptr<CStandin> m_standin;
    uint16_t m_port = 0;
    CFrameCounter m_counter;
    std::unique_ptr<CCore> m_core;
    CFile* m_show = nullptr;
};

// Whether a run may go on beside the stand-in, the show set up as it asks: else the run is
// skipped, saying why.
bool ReadyBeside(benchmark::State& state, const CShowBeside& beside, bool ready,
                 const char* failure = "the show did not reach the controller")
{
    if (ready)
        return true;
    state.SkipWithError(beside.GetError().empty() ? failure : beside.GetError().c_str());
    return false;
}

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

// Beside the stand-in holding the full show, answering at once and 1 ms late (the argument), the
// unit is chosen again after every playback's label changed at the controller unannounced: the
// seconds from the choice until the model holds all 64 labels, the playback page's, which the
// reading after the choice asks before any fixture's or the programmer's.
void PlaybackPageAfterChoosingTheUnit(benchmark::State& state)
{
    for (auto _ : state)
    {
        CShowBeside beside;
        if (!ReadyBeside(state, beside, beside.GetError().empty() && beside.LoadFullShow() >= 0.0))
            break;
        CCore& core = beside.GetCore();
        CDeviceManager& link = *core.GetDeviceManager();
        const CPlaybackManager& playbacks = *core.GetPlaybackManager();
        auto label = [](uint32_t playback) { return "chosen " + std::to_string(playback); };
        bool changed = beside.Command("notify-frames off") == "ok";
        for (uint32_t playback = 0; changed && playback < CPlaybackManager::kPlaybackCount; ++playback)
            changed = beside.Command("playback " + std::to_string(playback) + " label " + label(playback)) == "ok";
        if (!changed || beside.Command("notify-frames on") != "ok" ||
            beside.Command("delay " + std::to_string(state.range(0))) != "ok")
        {
            state.SkipWithError("the controller took no change");
            break;
        }
        const CIpAddress unit = link.GetConnectedAddress();
        link.SetConnectedAddress(CIpAddress());
        link.SetConnectedAddress(unit);
        const double seconds = TickUntil(
            core,
            [&] {
                for (uint32_t playback = 0; playback < CPlaybackManager::kPlaybackCount; ++playback)
                {
                    if (playbacks.GetPlayback(playback)->GetLabel() != label(playback))
                        return false;
                }
                return true;
            },
            std::chrono::seconds(120));
        if (seconds < 0.0)
        {
            state.SkipWithError("the labels were not all read within two minutes");
            break;
        }
        state.SetIterationTime(seconds);
        state.counters["page_ms"] = 1000.0 * seconds;
    }
}
BENCHMARK(PlaybackPageAfterChoosingTheUnit)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(1);

// Sends records from the controller's address to the program's link, as anyone on that network
// could.
class CForger
{
public:
    explicit CForger(uint16_t programPort) : m_socket(socket(AF_INET, SOCK_DGRAM, 0))
    {
        sockaddr_in from = {};
        from.sin_family = AF_INET;
        from.sin_addr.s_addr = htonl(0x7F000002);
        m_to.sin_family = AF_INET;
        m_to.sin_port = htons(programPort);
        m_to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (m_socket >= 0 && bind(m_socket, reinterpret_cast<const sockaddr*>(&from), sizeof(from)) != 0)
        {
            close(m_socket);
            m_socket = -1;
        }
    }
    ~CForger()
    {
        if (m_socket >= 0)
            close(m_socket);
    }
    CForger(const CForger&) = delete;
    CForger& operator=(const CForger&) = delete;

    bool IsOpen() const { return m_socket >= 0; }
    void Send(const CMessage& record) const
    {
        std::vector<uint8_t> frame;
        CMessageFrame::Encode(record, frame);
        sendto(m_socket, frame.data(), frame.size(), 0, reinterpret_cast<const sockaddr*>(&m_to), sizeof(m_to));
    }

private:
    int m_socket;
    sockaddr_in m_to = {};
};

// The number of the first forged frame; the n-th frame of a forger who counts carries it plus n.
constexpr uint16_t kFirstForgedNumber = 40000;

CMessage ForgedNotification(uint32_t manager, uint32_t index0, uint32_t index1, uint32_t index2, uint32_t code,
                            uint32_t n)
{
    CMessage notify(manager, COMMAND_NOTIFY);
    notify.SetIndex0(index0);
    notify.SetIndex1(index1);
    notify.SetIndex2(index2);
    notify.SetSequence(uint16_t(kFirstForgedNumber + n));
    notify.SetValue(CMessageValue(code));
    return notify;
}

// The n-th notification that asks one read of a cue: its label, condition, fade or delay time, or
// one of its blocks, every cue value of 64 playbacks of 48 cues in turn (as datagram_flood's
// "cue-reads").
CMessage ForgedCueRead(uint32_t n)
{
    const uint32_t codes[] = {289, 90, 293, 54};
    const uint32_t read = n % 8;
    return ForgedNotification(MANAGER_CUE, n / (8 * CPlayback::kMaxCues) % 64, n / 8 % CPlayback::kMaxCues,
                              read < 4 ? 0 : read - 4, read < 4 ? codes[read] : 296, n);
}

// How a flood numbers its frames: one after another, as a blind forger who counts does (its
// number then meets that of the record in flight whenever the two cross), or all under one.
enum TNumbering
{
    kOneAfterAnother,
    kOneNumber,
};

// Forged notifications on a thread of their own, at a rate a second, while it lives.
class CFlood
{
public:
    CFlood(uint16_t programPort, double rate, std::function<CMessage(uint32_t)> make,
           TNumbering numbering = kOneAfterAnother)
        : m_forger(programPort), m_thread([this, rate, make, numbering] {
              const Clock::time_point start = Clock::now();
              for (uint32_t n = 0; rate > 0.0 && !m_stop; ++n)
              {
                  std::this_thread::sleep_until(start + std::chrono::duration_cast<Clock::duration>(
                                                            std::chrono::duration<double>(n / rate)));
                  CMessage forged = make(n);
                  if (numbering == kOneNumber)
                      forged.SetSequence(kFirstForgedNumber);
                  m_forger.Send(forged);
              }
          })
    {
    }
    ~CFlood()
    {
        m_stop = true;
        m_thread.join();
    }
    CFlood(const CFlood&) = delete;
    CFlood& operator=(const CFlood&) = delete;

private:
    CForger m_forger;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

// Forged notifications of one kind, each naming the next playback, cue or fixture where the code
// names one (two for a pair, the second of the same playback), with what a genuine one asks of
// the controller: the budget a forged one keeps within.
struct SForgery
{
    const char* name;
    uint32_t manager;
    uint32_t code;
    // The records a genuine one asks for (each datagram of a pair); 0: none of the link, as the
    // unit's own protocol carries its reads.
    double genuine;
    // Then "cue count changed" of the same playback.
    bool thenCount = false;
};

// A count reads the count and then every cue, eight values each.
constexpr double kCountReads = 1 + CPlayback::kMaxCues * 8;

const SForgery kForgeries[] = {
    {"playback_count", MANAGER_PLAYBACK, 3, kCountReads},
    {"playback_label", MANAGER_PLAYBACK, 289, 1},
    {"playback_level", MANAGER_PLAYBACK, 290, 1},
    {"playback_status", MANAGER_PLAYBACK, 144, 1},
    {"playback_mode", MANAGER_PLAYBACK, 121, 1},
    {"cue_all", MANAGER_CUE, 0, 8},
    {"cue_label", MANAGER_CUE, 289, 1},
    {"cue_block", MANAGER_CUE, 296, 1},
    {"fixture_all", MANAGER_FIXTURE, 0, 4},
    {"fixture_address", MANAGER_FIXTURE, 20, 1},
    // Four of its own and one for each of the 17 groups' changes.
    {"programmer_all", MANAGER_PROGRAMMER, 0, 21},
    {"programmer_selection", MANAGER_PROGRAMMER, 38, 1},
    {"group", MANAGER_PROGRAMMER_CHANGE, 1, 1},
    {"artnet_all", MANAGER_ARTNET, 0, 0},
    {"fixtures_all", MANAGER_FIXTURE_MANAGER, 0, 64 * 4},
    {"playbacks_all", MANAGER_PLAYBACK_MANAGER, 0, 64 * 4},
    {"playback_all", MANAGER_PLAYBACK, 0, 4},
    // "Everything changed" and "cue count changed" of each playback, as a swap is told.
    {"playback_all_then_count", MANAGER_PLAYBACK, 0, (4 + kCountReads) / 2, true},
};

// Beside the stand-in holding the full show, 64 forged notifications of each kind above at 64 a
// second from the controller's address, which the link cannot tell from the controller's own:
// the records the program sends the controller for each, counted once the link is quiet again,
// and the most of them against what a genuine one asks (most_of_genuine, at most 1; a kind whose
// genuine notification asks nothing of the link is left out).
void RequestsPerForgedNotification(benchmark::State& state)
{
    for (auto _ : state)
    {
        CShowBeside beside;
        if (!ReadyBeside(state, beside, beside.GetError().empty() && beside.LoadFullShow() >= 0.0))
            break;
        const CForger forger(beside.GetProgramPort());
        if (!forger.IsOpen())
        {
            state.SkipWithError("no socket on the controller's address");
            break;
        }
        constexpr uint32_t kForged = 64;
        double most = 0.0;
        for (const SForgery& forgery : kForgeries)
        {
            auto forge = [&](uint32_t code, uint32_t n) {
                forger.Send(ForgedNotification(forgery.manager, n % 64, n % CPlayback::kMaxCues, n % CCue::kBlockCount,
                                               code, n));
            };
            const uint64_t before = beside.GetFrames();
            Clock::time_point frame = Clock::now();
            for (uint32_t n = 0, ticks = 1; n < kForged; ++ticks)
            {
                // 64 a second: two or three each frame of the main loop.
                for (; n < kForged && n * 25 < ticks * 64; ++n)
                {
                    forge(forgery.code, n);
                    if (forgery.thenCount)
                        forge(3, n);
                }
                frame += std::chrono::milliseconds(40);
                std::this_thread::sleep_until(frame);
                beside.GetCore().Update(0.04f);
            }
            beside.TickUntilQuiet(std::chrono::seconds(120), 5);
            const double each = double(beside.GetFrames() - before) / (forgery.thenCount ? 2 * kForged : kForged);
            state.counters[forgery.name] = each;
            if (forgery.genuine > 0.0)
                most = std::max(most, each / forgery.genuine);
        }
        state.counters["most_of_genuine"] = most;
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
        if (!ReadyBeside(state, beside, beside.GetError().empty() && beside.LoadFullShow() >= 0.0 && beside.InStep(),
                         "the show did not reach the controller whole"))
            break;
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

// Beside a controller answering 1 ms late that holds the full show, forged notifications that
// each ask one read of a cue, every cue value in turn, at the rate given a second (0: none),
// numbered as the second argument says (TNumbering): a label of playback 5 changed at the
// controller (and announced) every 2 s, eight times, is timed until the model holds it. Reported:
// the median and the longest of those times, and the requests the controller received a second
// meanwhile.
void GenuineLabelUnderForgedCueReads(benchmark::State& state)
{
    for (auto _ : state)
    {
        CShowBeside beside;
        if (!ReadyBeside(state, beside,
                         beside.GetError().empty() && beside.LoadFullShow() >= 0.0 && beside.Command("delay 1") == "ok"))
            break;
        const CFlood flood(beside.GetProgramPort(), double(state.range(0)), ForgedCueRead, TNumbering(state.range(1)));
        const uint64_t frames = beside.GetFrames();
        const Clock::time_point start = Clock::now();
        CCore& core = beside.GetCore();
        const CPlayback& playback = *core.GetPlaybackManager()->GetPlayback(5);
        std::vector<double> waits;
        for (int probe = 0; probe < 8; ++probe)
        {
            TickUntil(core, [] { return false; }, std::chrono::seconds(2));
            const std::string label = "genuine " + std::to_string(probe);
            beside.Command("playback 5 label " + label);
            waits.push_back(TickUntil(core, [&] { return playback.GetLabel() == label; }, std::chrono::seconds(60)));
        }
        const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        std::sort(waits.begin(), waits.end());
        if (waits.front() < 0.0)
        {
            state.SkipWithError("a label was not read within a minute");
            break;
        }
        state.SetIterationTime(waits[waits.size() / 2]);
        state.counters["median_ms"] = 1000.0 * waits[waits.size() / 2];
        state.counters["longest_ms"] = 1000.0 * waits.back();
        state.counters["requests_per_second"] = double(beside.GetFrames() - frames) / seconds;
    }
}
BENCHMARK(GenuineLabelUnderForgedCueReads)
    ->Args({0, kOneAfterAnother})
    ->Args({2000, kOneAfterAnother})
    ->Args({2000, kOneNumber})
    ->Args({10000, kOneAfterAnother})
    ->Args({10000, kOneNumber})
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(1);

// The full show opened beside a controller answering 1 ms late, alone and under forged
// notifications that each ask one read of a cue at the rate given a second, numbered as the
// second argument says (TNumbering): the seconds until the model's digest equals the
// controller's (looked at once a second, with the controller's show as it was a second before,
// so that the show has all arrived), and the requests the controller received a second meanwhile.
void FullShowSettlesBesideALateController(benchmark::State& state)
{
    for (auto _ : state)
    {
        CShowBeside beside;
        if (!beside.GetError().empty() || beside.Command("delay 1") != "ok")
        {
            state.SkipWithError(beside.GetError().empty() ? "no delay at the controller" : beside.GetError().c_str());
            break;
        }
        const CFlood flood(beside.GetProgramPort(), double(state.range(0)), ForgedCueRead, TNumbering(state.range(1)));
        const uint64_t frames = beside.GetFrames();
        beside.OpenFullShow();
        int tick = 0;
        const double seconds = TickUntil(
            beside.GetCore(), [&] { return ++tick % 25 == 0 && beside.IsSettled(); }, std::chrono::seconds(900));
        if (seconds < 0.0)
        {
            state.SkipWithError("the model did not settle within 15 minutes");
            break;
        }
        state.SetIterationTime(seconds);
        state.counters["requests_per_second"] = double(beside.GetFrames() - frames) / seconds;
    }
}
// Beside a controller answering 1 ms late that holds the full show, the controller is chosen
// again and a show of other labels opened at once, while the resync settles, under forged
// notifications that each ask one read of a cue at 2,000 a second for the seconds given (0:
// none): the seconds from the opening until the controller holds the show and the model what the
// controller holds (their digests, looked at once a second).
void ShowOpenedWhileTheResyncSettles(benchmark::State& state)
{
    for (auto _ : state)
    {
        CShowBeside beside;
        if (!ReadyBeside(state, beside,
                         beside.GetError().empty() && beside.LoadFullShow() >= 0.0 && beside.Command("delay 1") == "ok"))
            break;
        CFile* relabelled = beside.WriteRelabelledShow();
        const std::string before = beside.Command("digest");
        if (!relabelled)
        {
            state.SkipWithError("no relabelled show");
            break;
        }
        std::optional<CFlood> flood;
        if (state.range(0) > 0)
            flood.emplace(beside.GetProgramPort(), 2000.0, ForgedCueRead);
        const Clock::time_point start = Clock::now();
        beside.ChooseAgain();
        relabelled->Load();
        int tick = 0;
        const double seconds = TickUntil(
            beside.GetCore(),
            [&] {
                if (flood && Clock::now() - start >= std::chrono::seconds(state.range(0)))
                    flood.reset();
                return ++tick % 25 == 0 && beside.IsSettled() && beside.Command("digest") != before;
            },
            std::chrono::seconds(600));
        if (seconds < 0.0)
        {
            state.SkipWithError("the show did not settle within 10 minutes");
            break;
        }
        state.SetIterationTime(seconds);
    }
}
BENCHMARK(ShowOpenedWhileTheResyncSettles)
    ->Arg(0)
    ->Arg(40)
    ->Arg(90)
    ->Unit(benchmark::kSecond)
    ->UseManualTime()
    ->Iterations(1);

// Beside the stand-in answering some reads with another target (the argument: 0 none, 1 every
// group's value read as the programmer's, 2 every read of playback 5 as playback 6's), the unit is
// chosen again, and 10 s later a playback's label is changed at the controller: the seconds until
// the model root says the resync has settled, and the milliseconds until the model holds the label.
void ResyncBesideAControllerAnsweringAnotherTarget(benchmark::State& state)
{
    static const char* const kFaults[] = {"misanswer off", "misanswer group", "misanswer playback 5"};
    for (auto _ : state)
    {
        CShowBeside beside;
        if (!ReadyBeside(state, beside, beside.GetError().empty() && beside.Command(kFaults[state.range(0)]) == "ok",
                         "the controller took no fault"))
            break;
        CCore& core = beside.GetCore();
        const CPlayback& playback = *core.GetPlaybackManager()->GetPlayback(0);
        const Clock::time_point start = Clock::now();
        auto since = [](Clock::time_point from) { return std::chrono::duration<double>(Clock::now() - from).count(); };
        std::optional<double> settled;
        auto lookAtResync = [&] {
            if (!settled && !core.IsResyncSettling())
                settled = since(start);
        };
        beside.ChooseAgain();
        TickUntil(core, [&] { return lookAtResync(), since(start) >= 10.0; }, std::chrono::seconds(11));
        beside.Command("playback 0 label news");
        const Clock::time_point changed = Clock::now();
        std::optional<double> read;
        const double end = TickUntil(
            core,
            [&] {
                lookAtResync();
                if (!read && playback.GetLabel() == "news")
                    read = since(changed);
                return settled && read;
            },
            std::chrono::seconds(120));
        if (end < 0.0)
        {
            state.SkipWithError("the resync did not settle or the label was not read within two minutes");
            break;
        }
        state.SetIterationTime(*settled);
        state.counters["settle_s"] = *settled;
        state.counters["label_ms"] = 1000.0 * *read;
    }
}
BENCHMARK(ResyncBesideAControllerAnsweringAnotherTarget)
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kSecond)
    ->UseManualTime()
    ->Iterations(1);

BENCHMARK(FullShowSettlesBesideALateController)
    ->Args({0, kOneAfterAnother})
    ->Args({2000, kOneAfterAnother})
    ->Args({2000, kOneNumber})
    ->Args({10000, kOneAfterAnother})
    ->Args({10000, kOneNumber})
    ->Unit(benchmark::kSecond)
    ->UseManualTime()
    ->Iterations(1);
}  // namespace
