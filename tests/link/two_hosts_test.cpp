// The program's device manager against the stand-in controller on another host: two network
// namespaces joined by a veth pair, made by two_hosts.sh, which runs these tests in host A with
// the stand-in's namespace named in the environment. Anywhere else they skip.
#include "foundation/notify_codes.h"
#include "link/device.h"
#include "link/device_manager.h"
#include "link/device_type.h"
#include "link/link_clock.h"
#include "shell/platform.h"
#include "tests/link/link_fakes.h"

#include <gtest/gtest.h>

#include <SDL_timer.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <utility>

extern char** environ;

namespace
{
const CIpAddress kStage(192, 168, 77, 2, 16946);
const CIpAddress kMurel(192, 168, 77, 3, 16947);
// A deadline only, for waits whose length the tests do not check: on an idle machine they take
// milliseconds, on a busy one seconds.
constexpr std::chrono::seconds kPatience(30);

std::string Environment(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

// Only loopback and the test's own veth end: nothing here reaches a real network.
bool IsTestHost()
{
    std::ifstream devices("/proc/net/dev");
    std::string line;
    int interfaces = 0;
    while (std::getline(devices, line))
    {
        const size_t colon = line.find(':');
        if (colon == std::string::npos)
            continue;
        std::string name = line.substr(0, colon);
        name.erase(0, name.find_first_not_of(' '));
        if (name != "lo" && name != "tz-program")
            return false;
        ++interfaces;
    }
    return interfaces == 2;
}

// The link's time running faster than the wall clock, so that seconds of silence pass quickly.
// The main loop's ticks follow the same clock.
class CScaledClock : public CLinkClock
{
public:
    explicit CScaledClock(uint32_t scale) : m_start(SDL_GetTicks()), m_scale(scale) {}
    uint32_t GetMilliseconds() override { return m_start + (SDL_GetTicks() - m_start) * m_scale; }
    uint32_t ToRealMilliseconds(uint32_t milliseconds) const override { return milliseconds / m_scale; }

private:
    uint32_t m_start;
    uint32_t m_scale;
};

// Lists the machine's addresses as the application does at start-up.
class CTestPlatform : public CPlatform
{
public:
    CTestPlatform() : CPlatform(kLinux) {}
    void OpenUrl(const std::string&) override {}
    int RunCommand(const std::string&) override { return -1; }
};

// The stand-in, started in host B; its event log is read back by the tests.
class CStandIn
{
public:
    CStandIn(const std::string& name, const std::vector<std::string>& options, const std::vector<std::string>& script)
    {
        const std::string folder = Environment("TANZO_TWO_HOSTS_DIR");
        m_log = folder + "/" + name + ".log";
        const std::string scriptPath = folder + "/" + name + ".script";
        std::ofstream(m_log, std::ios::trunc).close();
        std::ofstream out(scriptPath, std::ios::trunc);
        for (const std::string& line : script)
            out << line << "\n";
        out.close();

        std::vector<std::string> args = {"nsenter", "--target", Environment("TANZO_TWO_HOSTS_PEER"), "--net", "--",
                                         Environment("TANZO_STANDIN"), "--log", m_log, "--script", scriptPath};
        args.insert(args.end(), options.begin(), options.end());
        std::vector<char*> argv;
        for (std::string& arg : args)
            argv.push_back(&arg[0]);
        argv.push_back(nullptr);
        if (posix_spawnp(&m_pid, "nsenter", nullptr, nullptr, argv.data(), environ) != 0)
            m_pid = -1;
    }
    ~CStandIn()
    {
        if (m_pid > 0)
        {
            kill(m_pid, SIGTERM);
            int status = 0;
            waitpid(m_pid, &status, 0);
            // Anything but a clean end, a sanitizer's finding included, is a fault of the stand-in.
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the stand-in ended with status " << status;
        }
    }

    bool WaitReady() { return WaitForLine("ready", kPatience); }
    void Signal(int number) { kill(m_pid, number); }
    std::string Log() const
    {
        std::ifstream in(m_log);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    size_t CountLines(const std::string& part) const
    {
        std::istringstream lines(Log());
        std::string line;
        size_t count = 0;
        while (std::getline(lines, line))
            count += line.find(part) != std::string::npos;
        return count;
    }
    bool WaitForLine(const std::string& part, std::chrono::milliseconds limit, size_t count = 1) const
    {
        return WaitFor([&] { return CountLines(part) >= count; }, limit);
    }

private:
    pid_t m_pid = -1;
    std::string m_log;
};

// Changes this host's interfaces, and puts them back as they were when it goes.
class CHostChange
{
public:
    CHostChange(const std::string& make, std::string undo) : m_undo(std::move(undo))
    {
        m_made = std::system(make.c_str()) == 0;
    }
    ~CHostChange()
    {
        if (std::system(m_undo.c_str()) != 0)
            ADD_FAILURE() << "could not undo: " << m_undo;
    }
    bool IsMade() const { return m_made; }

private:
    std::string m_undo;
    bool m_made = false;
};

// The datagrams an interface of this host has sent.
size_t SentBy(const std::string& interface)
{
    std::ifstream counter("/sys/class/net/" + interface + "/statistics/tx_packets");
    size_t packets = 0;
    counter >> packets;
    return packets;
}

const std::vector<std::string> kUnits = {
    "--unit", "192.168.77.2,KDX-1,16946,Stage",
    "--unit", "192.168.77.3,Murel-2,16947",
    "--unit", "192.168.77.4,Lumivo,16948",  // a type this product does not serve
};
const std::vector<std::string> kSettings = {
    "settings dhcp on", "settings firmware 2.3", "settings pcb 4.5", "settings artnet on",
    "settings artnet-universe 18", "settings acn on", "settings acn-universe 7",
};

class TwoHosts : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (Environment("TANZO_TWO_HOSTS_PEER").empty())
            GTEST_SKIP() << "runs only inside the two-host setup of two_hosts.sh";
        ASSERT_TRUE(IsTestHost()) << "not inside the test's own namespace: refusing to open the link";
    }

    void Open(CLinkSetup setup)
    {
        manager = std::make_unique<CDeviceManager>(setup);
        manager->SetCore(&model);
        codes.Observe(manager.get());
        m_lastTick = setup.clock ? setup.clock->GetMilliseconds() : SDL_GetTicks();
        m_clock = setup.clock;
    }
    // One frame of the main loop, its period measured on the link's clock.
    void Tick()
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        const uint32_t now = m_clock ? m_clock->GetMilliseconds() : SDL_GetTicks();
        manager->Update(float(now - m_lastTick) / 1000.0f);
        m_lastTick = now;
    }
    // Ticks until the predicate holds; false once the link's clock has run the seconds given.
    // For what the tests time.
    bool TickUntil(const std::function<bool()>& predicate, float linkSeconds)
    {
        const uint32_t start = m_clock ? m_clock->GetMilliseconds() : SDL_GetTicks();
        while (!predicate())
        {
            const uint32_t now = m_clock ? m_clock->GetMilliseconds() : SDL_GetTicks();
            if (float(now - start) / 1000.0f > linkSeconds)
                return false;
            Tick();
        }
        return true;
    }
    // Ticks until the predicate holds, however long the link takes on a busy machine; false only
    // after the wall clock has run the patience out.
    bool Await(const std::function<bool()>& predicate)
    {
        const auto end = std::chrono::steady_clock::now() + kPatience;
        while (!predicate())
        {
            if (std::chrono::steady_clock::now() > end)
                return false;
            Tick();
        }
        return true;
    }
    float LinkSeconds() const { return float(m_clock ? m_clock->GetMilliseconds() : SDL_GetTicks()) / 1000.0f; }

    // Three link seconds pass in one. No faster: the link thread looks at its clock only between
    // waits of up to 50 real milliseconds, and a busy machine stretches them, so the windows the
    // tests time must stay long in real time. Declared before the manager, whose threads read it.
    CScaledClock fastClock{3};
    CFakeModel model;
    CCodeRecorder codes;
    std::unique_ptr<CDeviceManager> manager;
    CLinkClock* m_clock = nullptr;
    uint32_t m_lastTick = 0;
};

TEST_F(TwoHosts, DiscoversAndPollsTheStandInWithinOneIdentifyPeriod)
{
    CStandIn standIn("discovery", kUnits, kSettings);
    ASSERT_TRUE(standIn.WaitReady()) << standIn.Log();

    CTestPlatform platform;
    std::vector<CIpAddress> locals;
    platform.GetLocalAddresses(locals);
    // Limited broadcast alone, directed broadcast alone, and both as the machine's addresses give.
    const std::vector<std::vector<CIpAddress>> targetSets = {
        {CIpAddress(255, 255, 255, 255)}, {CIpAddress(192, 168, 77, 255)}, {}};
    for (const std::vector<CIpAddress>& targets : targetSets)
    {
        CLinkSetup setup;
        if (!targets.empty())
            setup.broadcastTargets = targets;
        else
            setup.localAddresses = locals;
        Open(setup);
        if (targets.empty())
        {
            // The limited broadcast and the class broadcasts of 192.168.77.1, 10.0.0.1 and 192.168.0.1.
            EXPECT_EQ(manager->GetBroadcastTargets().size(), 4u);
        }
        ASSERT_TRUE(TickUntil([&] { return manager->GetDeviceCount() == 2; }, 3.0f))
            << "targets: " << manager->GetBroadcastTargets().size();

        CDevice* stage = manager->GetDevice(0);
        CDevice* murel = manager->GetDevice(1);
        EXPECT_EQ(FormatIpAddressPort(stage->GetAddress()), "192.168.77.2:16946");
        EXPECT_EQ(stage->GetType(), DEVICE_TYPE_KDX1);
        EXPECT_EQ(FormatIpAddressPort(murel->GetAddress()), "192.168.77.3:16947");
        EXPECT_EQ(murel->GetType(), DEVICE_TYPE_MUREL2);
        EXPECT_EQ(murel->GetLabel(), "Murel-2");

        // The unit's own settings arrive with the first poll.
        ASSERT_TRUE(TickUntil([&] { return stage->GetAcnText() == "7" && stage->GetLabel() == "Stage"; }, 3.0f));
        EXPECT_EQ(stage->GetMac(), (std::array<uint8_t, 6>{0x02, 0x00, 192, 168, 77, 2}));
        EXPECT_EQ(FormatIpAddressPort(stage->GetSubnet()), "255.255.255.0:0");
        EXPECT_TRUE(stage->GetDhcp());
        EXPECT_EQ(FormatVersion(stage->GetFirmwareVersion()), "2.3.0");
        EXPECT_EQ(FormatVersion(stage->GetPcbVersion()), "4.5.0");
        EXPECT_EQ(stage->GetArtNetText(), "1.2");
        EXPECT_TRUE(stage->IsOnline());
        manager.reset();
    }
}

TEST_F(TwoHosts, UnitAddressesAreCheckedByTheInterfacesOwnNetmasks)
{
    // A unit at the .255 of the /23's first half, one whose answer names the /24's broadcast, and
    // two whose answers name the broadcasts of subnets this host is about to get.
    CStandIn standIn("netmask",
                     {"--unit", "192.168.0.255,KDX-1,16946,Edge", "--unit", "192.168.77.4,KDX-2,16947", "--advertise",
                      "10.0.0.255", "--unit", "192.168.77.2,KDX-1,16948", "--advertise", "172.20.0.255", "--unit",
                      "192.168.77.3,KDX-1,16949", "--advertise", "10.0.255.255"},
                     kSettings);
    ASSERT_TRUE(standIn.WaitReady()) << standIn.Log();

    std::vector<std::string> subnets;
    for (const CInterfaceAddress& local : ReadLocalInterfaces())
        subnets.push_back(local.address.ToText() + "/" + local.netmask.ToText());
    std::sort(subnets.begin(), subnets.end());
    EXPECT_EQ(subnets, (std::vector<std::string>{"10.0.0.1/255.255.255.0", "127.0.0.1/255.0.0.0",
                                                 "192.168.0.1/255.255.254.0", "192.168.77.1/255.255.255.0"}));
    // The interfaces as the machine has them.
    CLinkSetup setup;
    setup.clock = &fastClock;
    Open(setup);

    // Found, and its own settings read from it: requests to it reach that one host.
    ASSERT_TRUE(Await([&] {
        const CDevice* edge = manager->FindDevice(CIpAddress(192, 168, 0, 255));
        return edge && edge->GetLabel() == "Edge";
    })) << standIn.Log();
    // Two rounds of answers naming the broadcast have come, and none made a unit.
    ASSERT_TRUE(Await([&] { return standIn.CountLines("address=10.0.0.255") >= 4; })) << standIn.Log();
    Tick();
    EXPECT_EQ(manager->FindDevice(CIpAddress(10, 0, 0, 255)), nullptr);

    // While the link runs, an interface is added, and another one's netmask widens: the unit that
    // has become a broadcast goes, its answers bring it back no more, and nothing is sent to it.
    // Once the interface is removed, or the netmask narrowed again, the address is a plain one on
    // nothing of this host's and its answers list the unit again.
    struct SChange
    {
        const char* what;
        const char* make;
        const char* undo;
        CIpAddress broadcast;
        // Where what is sent to the broadcast leaves; none: the veth, which carries everything.
        const char* interface;
    };
    const SChange changes[] = {
        {"an interface added",
         "ip link add tz-extra type veth peer name tz-extra-end && sysctl -qw net.ipv6.conf.tz-extra.disable_ipv6=1 "
         "net.ipv6.conf.tz-extra-end.disable_ipv6=1 && ip addr add 172.20.0.1/24 brd + dev tz-extra && "
         "ip link set tz-extra-end up && ip link set tz-extra up",
         "ip link del tz-extra", CIpAddress(172, 20, 0, 255), "tz-extra"},
        {"an interface re-addressed from /24 to /16",
         "ip addr del 10.0.0.1/24 dev tz-program && ip addr add 10.0.0.1/16 brd + dev tz-program",
         "ip addr del 10.0.0.1/16 dev tz-program && ip addr add 10.0.0.1/24 brd + dev tz-program",
         CIpAddress(10, 0, 255, 255), nullptr},
    };
    for (const SChange& c : changes)
    {
        const std::string answers = "address=" + c.broadcast.ToText();
        ASSERT_TRUE(Await([&] { return manager->FindDevice(c.broadcast) != nullptr; })) << c.what << standIn.Log();
        {
            CHostChange change(c.make, c.undo);
            ASSERT_TRUE(change.IsMade()) << c.what;
            const size_t before = standIn.CountLines(answers);
            ASSERT_TRUE(Await([&] { return manager->FindDevice(c.broadcast) == nullptr; })) << c.what;
            ASSERT_TRUE(Await([&] { return standIn.CountLines(answers) >= before + 2; })) << c.what;
            Tick();
            EXPECT_EQ(manager->FindDevice(c.broadcast), nullptr) << c.what;
            if (c.interface)
            {
                EXPECT_EQ(SentBy(c.interface), 0u) << c.what;
            }
        }
        EXPECT_TRUE(Await([&] { return manager->FindDevice(c.broadcast) != nullptr; })) << c.what << ", undone";
    }
}

TEST_F(TwoHosts, ChosenUnitCarriesRecordsKeepsAliveAndIsDroppedWhenSilent)
{
    CStandIn standIn("link", kUnits, kSettings);
    ASSERT_TRUE(standIn.WaitReady()) << standIn.Log();
    CLinkSetup setup;
    setup.clock = &fastClock;
    setup.broadcastTargets = std::vector<CIpAddress>{CIpAddress(192, 168, 77, 255)};
    Open(setup);
    ASSERT_TRUE(Await([&] { return manager->GetDeviceCount() == 2; }));

    manager->SetConnectedAddress(kStage);
    EXPECT_TRUE(manager->IsConnected());
    EXPECT_EQ(manager->GetStatusColour().GetValue(), CRgbaColour(0, 255, 0, 255).GetValue());

    // Gets come back as replies, on this thread, in the order they arrived.
    for (uint32_t playback = 0; playback < 8; ++playback)
    {
        CMessage set(MANAGER_PLAYBACK, COMMAND_SET_LABEL);
        set.SetIndex0(playback);
        set.SetValue(CMessageValue("Label " + std::to_string(playback)));
        manager->QueueMessage(set);
        CMessage get(MANAGER_PLAYBACK, COMMAND_GET_LABEL);
        get.SetIndex0(playback);
        manager->QueueMessage(get);
    }
    ASSERT_TRUE(Await([&] { return manager->GetQueueLength() == 0; }));
    Tick();
    std::vector<std::string> labels;
    int previous = -1;
    for (size_t i = 0; i < model.playbacks.messages.size(); ++i)
    {
        const CMessage& reply = model.playbacks.messages[i];
        EXPECT_EQ(model.playbacks.threads[i], SDL_ThreadID());
        if (reply.GetCommand() != COMMAND_GET_LABEL)
            continue;
        EXPECT_GT(int(reply.GetSequence()), previous);
        previous = reply.GetSequence();
        labels.push_back(reply.GetValue().GetString());
    }
    ASSERT_EQ(labels.size(), 8u);
    EXPECT_EQ(labels.front(), "Label 0");
    EXPECT_EQ(labels.back(), "Label 7");

    // The controller falls silent: three Sets of one property wait as one record, or as two when
    // the first left before the others came (nothing merges into a record in flight); the head
    // is resent every second, and the controller ends up with the third value. The sends are
    // counted where the link makes them (each is told in the tick after it), so a stand-in slow
    // to log them cannot shorten the count; it must have had every one all the same.
    standIn.Signal(SIGUSR1);
    ASSERT_TRUE(standIn.WaitForLine("silent on", kPatience));
    Tick();
    const size_t sentBefore = codes.Count(NOTIFY_PROGRESS);
    const size_t ignoredBefore = standIn.CountLines("ignore link");
    for (float value : {0.1f, 0.2f, 0.3f})
    {
        CMessage set(MANAGER_PLAYBACK, COMMAND_SET_INTENSITY);
        set.SetIndex0(5);
        set.SetValue(CMessageValue(value));
        manager->QueueMessage(set);
    }
    EXPECT_GE(manager->GetQueueLength(), 1u);
    EXPECT_LE(manager->GetQueueLength(), 2u);
    const float silentFrom = LinkSeconds();
    TickUntil([] { return false; }, 3.5f);
    // A busy machine may hold the last tick back well past 3.5 s: the resends are bounded by
    // the time the link's clock really ran, not by the time asked for.
    const size_t silentSeconds = size_t(LinkSeconds() - silentFrom);
    const size_t sent = codes.Count(NOTIFY_PROGRESS) - sentBefore;
    EXPECT_GE(sent, 3u) << "sent, then again every second";
    EXPECT_LE(sent, 3u + silentSeconds) << "over " << silentSeconds << " s of the link's clock";
    EXPECT_TRUE(standIn.WaitForLine("ignore link", kPatience, ignoredBefore + sent))
        << "the sends reached the controller";
    standIn.Signal(SIGUSR2);
    ASSERT_TRUE(standIn.WaitForLine("silent off", kPatience));
    ASSERT_TRUE(Await([&] { return manager->GetQueueLength() == 0; }));
    CMessage get(MANAGER_PLAYBACK, COMMAND_GET_INTENSITY);
    get.SetIndex0(5);
    model.playbacks.messages.clear();
    manager->QueueMessage(get);
    ASSERT_TRUE(Await([&] {
        return !model.playbacks.messages.empty() &&
               model.playbacks.messages.back().GetCommand() == COMMAND_GET_INTENSITY;
    }));
    EXPECT_FLOAT_EQ(model.playbacks.messages.back().GetValue().GetFloat(), 0.3f);

    // Ten idle seconds bring a Hello, which the controller acknowledges.
    const size_t hellos = standIn.CountLines("command=74:Hello");
    ASSERT_TRUE(TickUntil([&] { return standIn.CountLines("command=74:Hello") > hellos; }, 12.0f));
    ASSERT_TRUE(Await([&] { return manager->GetQueueLength() == 0; }));
    EXPECT_TRUE(manager->IsConnected());

    // Silent for good: both units go within ten seconds of their last answer. Timed from before
    // the signal, which the stand-in may take a while to act on.
    const float quietFrom = LinkSeconds();
    standIn.Signal(SIGUSR1);
    ASSERT_TRUE(standIn.WaitForLine("silent on", kPatience, 2));
    ASSERT_TRUE(TickUntil([&] { return manager->GetDeviceCount() == 0; }, 15.0f));
    const float quiet = LinkSeconds() - quietFrom;
    EXPECT_GT(quiet, 6.5f) << "an answer up to three seconds old, then ten seconds of silence";
    EXPECT_LT(quiet, 14.0f);
    EXPECT_FALSE(manager->IsConnected());
    EXPECT_EQ(manager->GetStatusColour().GetValue(), CRgbaColour(255, 0, 0, 255).GetValue());

    // Back again: found, connected, and the model reads it again.
    const int resyncs = model.resyncs;
    standIn.Signal(SIGUSR2);
    ASSERT_TRUE(Await([&] { return manager->IsConnected(); }));
    EXPECT_EQ(model.resyncs, resyncs + 1);
}

TEST_F(TwoHosts, MalformedFramesFromTheControllerNeverDisturbTheQueue)
{
    std::vector<std::string> options = kUnits;
    options.push_back("--garbage");
    CStandIn standIn("garbage", options, {});
    ASSERT_TRUE(standIn.WaitReady()) << standIn.Log();
    CLinkSetup setup;
    setup.clock = &fastClock;
    setup.broadcastTargets = std::vector<CIpAddress>{CIpAddress(255, 255, 255, 255)};
    Open(setup);
    ASSERT_TRUE(Await([&] { return manager->GetDeviceCount() == 2; }));
    manager->SetConnectedAddress(kStage);
    for (uint32_t step = 1; step <= 20; ++step)
    {
        CMessage set(MANAGER_PLAYBACK, COMMAND_SET_INTENSITY);
        set.SetIndex0(step % 4);
        set.SetValue(CMessageValue(float(step) / 20.0f));
        manager->QueueMessage(set);
        Tick();
    }
    for (uint32_t playback = 0; playback < 4; ++playback)
    {
        CMessage get(MANAGER_PLAYBACK, COMMAND_GET_INTENSITY);
        get.SetIndex0(playback);
        manager->QueueMessage(get);
    }
    ASSERT_TRUE(Await([&] { return manager->GetQueueLength() == 0; }));
    Tick();
    std::vector<float> intensities(4, -1.0f);
    for (const CMessage& reply : model.playbacks.messages)
        if (reply.GetCommand() == COMMAND_GET_INTENSITY)
            intensities[reply.GetIndex0()] = reply.GetValue().GetFloat();
    EXPECT_EQ(intensities, (std::vector<float>{1.0f, 17.0f / 20.0f, 18.0f / 20.0f, 19.0f / 20.0f}));
    EXPECT_GT(standIn.CountLines("garbage"), 0u) << standIn.Log();
}
}  // namespace
