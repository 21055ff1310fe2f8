// The watch on this machine's addresses, in a network namespace of its own that
// interface_watch.cmake makes (the test adds addresses to its loopback); skipped elsewhere.
#include "shell/interface_watch.h"

#include "tests/support/forged_address_reports.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace
{
bool InOwnNamespace()
{
    return std::getenv("TANZO_OWN_NAMESPACE") != nullptr;
}

void RunCommand(const std::string& command)
{
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
}
}  // namespace

TEST(InterfaceWatchNetns, TakesOnlyTheKernelsReportsABoundedNumberAtATime)
{
    if (!InOwnNamespace())
        GTEST_SKIP() << "needs a namespace of its own (interface_watch.cmake)";
    constexpr int kLook = 64;
    CInterfaceWatch watch;
    int taken = 0;
    EXPECT_FALSE(watch.HasChanged(kLook, taken)) << "nothing reported yet";
    EXPECT_EQ(taken, 0);

    RunCommand("ip addr add 10.99.1.1/24 dev lo");
    EXPECT_TRUE(watch.HasChanged(kLook, taken)) << "an address added";
    EXPECT_FALSE(watch.HasChanged(kLook, taken)) << "the report was taken";

    SendForgedAddressReports(1);
    EXPECT_FALSE(watch.HasChanged(kLook, taken)) << "a report from a process, not the kernel";

    // More forged reports than one look takes: each look ends at its bound while more wait, and
    // none says anything changed.
    SendForgedAddressReports(kLook + 1);
    EXPECT_FALSE(watch.HasChanged(kLook, taken));
    EXPECT_EQ(taken, kLook);
    EXPECT_FALSE(watch.HasChanged(kLook, taken));
    EXPECT_EQ(taken, 1);
    // A kernel report behind a look's worth of forged ones is taken by the look that reaches it.
    SendForgedAddressReports(kLook);
    RunCommand("ip addr del 10.99.1.1/24 dev lo");
    EXPECT_FALSE(watch.HasChanged(kLook, taken));
    EXPECT_TRUE(watch.HasChanged(kLook, taken)) << "the address taken away";
}
