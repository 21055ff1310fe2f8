#pragma once

#include <gtest/gtest.h>

#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <sys/socket.h>
#include <unistd.h>

// What a process with the rights to send on the routing socket can make of an address report: a
// message to the address group, which the kernel itself passes over (it asks for nothing). Sent
// to every watch in the network namespace.
inline void SendForgedAddressReports(int count)
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
    {
        // A watch whose socket is full loses the rest, as the kernel's own reports would be.
        ASSERT_EQ(sendto(sender, &report, sizeof(report), 0, reinterpret_cast<const sockaddr*>(&group), sizeof(group)),
                  ssize_t(sizeof(report)));
    }
    close(sender);
}
