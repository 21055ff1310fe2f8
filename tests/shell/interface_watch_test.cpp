// The watch on this machine's addresses, in a network namespace of its own that
// interface_watch.cmake makes (the test adds addresses to its loopback); skipped elsewhere.
#include "shell/interface_watch.h"

#include <gtest/gtest.h>

#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

namespace
{
bool InOwnNamespace()
{
    return std::getenv("TANZO_OWN_NAMESPACE") != nullptr;
}

// What a process with the rights to send on the routing socket can make of an address report: a
// message to the address group, which the kernel itself passes over (it asks for nothing).
void SendForgedReports(int count)
{
    const int sender = socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC, NETLINK_ROUTE);
    ASSERT_GE(sender, 0);
    sockaddr_nl group = {};
    group.nl_family = AF_NETLINK;
    group.nl_groups = RTMGRP_IPV4_IFADDR;
    struct
    {
        nlmsghdr header;
        ifaddrmsg address;
    } report = {};
    report.header.nlmsg_len = sizeof(report);
    report.header.nlmsg_type = RTM_NEWADDR;
    report.address.ifa_family = AF_INET;
    report.address.ifa_prefixlen = 24;
    report.address.ifa_index = 1;
    for (int i = 0; i < count; ++i)
        ASSERT_EQ(sendto(sender, &report, sizeof(report), 0, reinterpret_cast<const sockaddr*>(&group), sizeof(group)),
                  ssize_t(sizeof(report)));
    close(sender);
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
    CInterfaceWatch watch;
    bool full = false;
    EXPECT_FALSE(watch.HasChanged(full)) << "nothing reported yet";
    EXPECT_FALSE(full);

    RunCommand("ip addr add 10.99.1.1/24 dev lo");
    EXPECT_TRUE(watch.HasChanged(full)) << "an address added";
    EXPECT_FALSE(watch.HasChanged(full)) << "the report was taken";

    SendForgedReports(1);
    EXPECT_FALSE(watch.HasChanged(full)) << "a report from a process, not the kernel";

    // More forged reports than one look takes: each look ends, full while more wait, and none
    // says anything changed.
    SendForgedReports(CInterfaceWatch::kMostReportsPerLook + 1);
    EXPECT_FALSE(watch.HasChanged(full));
    EXPECT_TRUE(full);
    EXPECT_FALSE(watch.HasChanged(full));
    EXPECT_FALSE(full);
    // A kernel report behind a look's worth of forged ones is taken by the look that reaches it.
    SendForgedReports(CInterfaceWatch::kMostReportsPerLook);
    RunCommand("ip addr del 10.99.1.1/24 dev lo");
    EXPECT_FALSE(watch.HasChanged(full));
    EXPECT_TRUE(watch.HasChanged(full)) << "the address taken away";
}
