// The local subnets as the machine's interfaces change, in a network namespace of their own that
// local_subnets.cmake makes (the test adds addresses to its loopback); skipped elsewhere.
#include "link/local_subnets.h"

#include "tests/link/link_fakes.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace
{
void RunCommand(const std::string& command)
{
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
}

// Whether the subnets refuse the address as a unit's: a broadcast of theirs.
bool Refuses(const CLocalSubnets& subnets, const CIpAddress& address)
{
    return !subnets.IsUnitAddress(address, address);
}
}  // namespace

TEST(LocalSubnetsNetns, ChangesAreReadAtOnceAfterAQuietWhileAndNoMoreOftenThanThePace)
{
    if (!std::getenv("TANZO_OWN_NAMESPACE"))
        GTEST_SKIP() << "needs a namespace of its own (local_subnets.cmake)";
    constexpr uint32_t kPace = CLocalSubnets::kLeastMillisecondsBetweenReads;
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
