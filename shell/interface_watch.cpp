#include "shell/interface_watch.h"

#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

CInterfaceWatch::CInterfaceWatch()
{
    m_socket = socket(AF_NETLINK, SOCK_RAW | SOCK_NONBLOCK | SOCK_CLOEXEC, NETLINK_ROUTE);
    if (m_socket < 0)
        return;
    sockaddr_nl local = {};
    local.nl_family = AF_NETLINK;
    local.nl_groups = RTMGRP_IPV4_IFADDR;
    if (bind(m_socket, reinterpret_cast<const sockaddr*>(&local), sizeof(local)) != 0)
    {
        close(m_socket);
        m_socket = -1;
    }
}

CInterfaceWatch::~CInterfaceWatch()
{
    if (m_socket >= 0)
        close(m_socket);
}

bool CInterfaceWatch::HasChanged(int most, int& taken)
{
    taken = 0;
    if (m_socket < 0)
        return false;
    bool changed = false;
    // What a report says does not matter: the caller reads the addresses afresh.
    uint8_t buffer[4096];
    for (; taken < most; ++taken)
    {
        sockaddr_nl sender = {};
        socklen_t senderSize = sizeof(sender);
        const ssize_t count = recvfrom(m_socket, buffer, sizeof(buffer), MSG_DONTWAIT,
                                       reinterpret_cast<sockaddr*>(&sender), &senderSize);
        if (count >= 0)
            // Port 0 is the kernel's alone; any other is a process.
            changed = changed || (senderSize == sizeof(sender) && sender.nl_family == AF_NETLINK && sender.nl_pid == 0);
        else if (errno == ENOBUFS)
            changed = true;  // reports overflowed the socket and were lost
        else if (errno != EINTR)
            return changed;
    }
    return changed;
}
