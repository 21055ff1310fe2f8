// The local subnets as the machine's interfaces change, in a network namespace of their own that
// local_subnets.cmake makes (the test adds addresses to its loopback); skipped elsewhere.
#include "link/local_subnets.h"

#include "link/device_manager.h"
#include "tests/link/link_fakes.h"
#include "tests/support/forged_address_reports.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace
{
constexpr uint32_t kPace = CLocalSubnets::kLeastMillisecondsBetweenReads;

void RunCommand(const std::string& command)
{
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
}

// Needs a namespace of its own, where the addresses a run before left are taken away first.
bool InOwnNamespace()
{
    if (!std::getenv("TANZO_OWN_NAMESPACE"))
        return false;
    RunCommand("ip addr flush dev lo to 10.99.0.0/16");
    return true;
}

// Whether the subnets refuse the address as a unit's: a broadcast of theirs.
bool Refuses(const CLocalSubnets& subnets, const CIpAddress& address)
{
    return !subnets.IsUnitAddress(address, address);
}

// The bytes of the reports waiting at the watch's socket, the one socket of the namespace in the
// address group: they fall only when the watch looks.
long WaitingReportBytes()
{
    std::ifstream table("/proc/net/netlink");
    std::string line;
    std::getline(table, line);
    while (std::getline(table, line))
    {
        std::istringstream fields(line);
        std::string socket, family, port, groups;
        long waiting = -1;
        fields >> socket >> family >> port >> groups >> waiting;
        if (family == "0" && groups == "00000010")
            return waiting;
    }
    return -1;
}
}  // namespace

TEST(LocalSubnetsNetns, ChangesAreReadAtOnceAfterAQuietWhileAndNoMoreOftenThanThePace)
{
    if (!InOwnNamespace())
        GTEST_SKIP() << "needs a namespace of its own (local_subnets.cmake)";
    CFakeClock clock;
    CLocalSubnets subnets(std::nullopt, clock);

    // A quiet while since the subnets were first read.
    clock.Advance(kPace + 1);
    subnets.Refresh();
    EXPECT_FALSE(Refuses(subnets, CIpAddress(10, 99, 2, 255)));

    // The first change after a quiet while is read at once.
    RunCommand("ip addr add 10.99.2.1/24 dev lo");
    subnets.Refresh();
    EXPECT_TRUE(Refuses(subnets, CIpAddress(10, 99, 2, 255)));

    // The next one within the pace waits for it, however often asked meanwhile.
    clock.Advance(kPace / 2);
    RunCommand("ip addr add 10.99.3.1/24 dev lo");
    subnets.Refresh();
    subnets.Refresh();
    EXPECT_FALSE(Refuses(subnets, CIpAddress(10, 99, 3, 255)));
    clock.Advance(kPace / 2 + 1);
    subnets.Refresh();
    EXPECT_TRUE(Refuses(subnets, CIpAddress(10, 99, 3, 255)));

    // Asked to, it reads them whatever the pace: a subnet taken away is gone.
    RunCommand("ip addr del 10.99.2.1/24 dev lo");
    subnets.Refresh(true);
    EXPECT_FALSE(Refuses(subnets, CIpAddress(10, 99, 2, 255)));
}

TEST(LocalSubnetsNetns, ForgedReportsCostABoundedLookAPaceWhateverIsDueAndHideNoChange)
{
    if (!InOwnNamespace())
        GTEST_SKIP() << "needs a namespace of its own (local_subnets.cmake)";
    constexpr int kMost = CLocalSubnets::kMostReportsPerPace;
    CFakeClock clock;
    {
        // The cheapest flood that costs the most, just under a pace's reports before every frame:
        // once the pace's reports are taken, no more are, however often asked.
        CLocalSubnets subnets(std::nullopt, clock);
        clock.Advance(kPace / 2);
        for (int i = 0; i < 3; ++i)
        {
            SendForgedAddressReports(kMost / 2);
            subnets.Refresh();
        }
        const long left = WaitingReportBytes();
        EXPECT_GT(left, 0);
        subnets.Refresh();
        EXPECT_EQ(WaitingReportBytes(), left);
    }

    CLocalSubnets subnets(std::nullopt, clock);
    // A flood halfway to the next read; the read falls due before the pace has passed: it is
    // made, and the reports are left alone.
    clock.Advance(kPace / 2);
    SendForgedAddressReports(3 * kMost);
    subnets.Refresh();
    const long left = WaitingReportBytes();
    EXPECT_GT(left, 0);
    clock.Advance(kPace / 2 + 1);
    for (int i = 0; i < 10; ++i)
        subnets.Refresh();
    EXPECT_EQ(WaitingReportBytes(), left);

    // A change behind the reports is read within a second: a pace's reports used up count as one.
    RunCommand("ip addr add 10.99.5.1/24 dev lo");
    for (int i = 0; i < 4 && !Refuses(subnets, CIpAddress(10, 99, 5, 255)); ++i)
    {
        clock.Advance(kPace + 1);
        subnets.Refresh();
    }
    EXPECT_TRUE(Refuses(subnets, CIpAddress(10, 99, 5, 255)));

    // So is one the socket lost while a flood kept it full, which the system tells only once.
    SendForgedAddressReports(20 * kMost);
    clock.Advance(kPace + 1);
    subnets.Refresh();
    SendForgedAddressReports(2 * kMost);
    RunCommand("ip addr add 10.99.6.1/24 dev lo");
    for (int i = 0; i < 4 && !Refuses(subnets, CIpAddress(10, 99, 6, 255)); ++i)
    {
        clock.Advance(kPace + 1);
        subnets.Refresh();
    }
    EXPECT_TRUE(Refuses(subnets, CIpAddress(10, 99, 6, 255)));
}

TEST(LocalSubnetsNetns, TheTickChecksUnitsByTheLastReadAndHasTheLinkReadAChange)
{
    if (!InOwnNamespace())
        GTEST_SKIP() << "needs a namespace of its own (local_subnets.cmake)";
    CFakeNetwork network;
    CFakeClock clock;
    CLinkSetup setup;
    setup.network = &network;
    setup.clock = &clock;
    setup.threads = false;
    CDeviceManager manager(setup);
    const CIpAddress unit(10, 99, 7, 255);
    ASSERT_TRUE(network.Deliver(setup.port, CIpAddress(10, 99, 7, 255, 16945), AnswerOf("KDX-1", "10.99.7.255", "16946")));
    manager.Pass(0);
    manager.Update(0.04f);
    ASSERT_NE(manager.FindDevice(unit), nullptr);

    // The unit's address becomes a broadcast of this machine's. Reading the interfaces may take
    // a second beside thousands of addresses that change: the tick that finds the change
    // reported wakes the link, which reads them, and the next tick lets the unit go.
    clock.Advance(kPace + 1);
    RunCommand("ip addr add 10.99.7.1/24 dev lo");
    network.TakeWakes();
    manager.Update(0.04f);
    EXPECT_NE(manager.FindDevice(unit), nullptr) << "the tick read the interfaces itself";
    EXPECT_GT(network.TakeWakes(), 0);
    manager.Pass(0);
    manager.Update(0.04f);
    EXPECT_EQ(manager.FindDevice(unit), nullptr);
}
