#include "link/udp_socket.h"

#include "link/system_datagram.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace
{
sockaddr_in ToSockaddr(const CIpAddress& address)
{
    sockaddr_in out{};
    out.sin_family = AF_INET;
    out.sin_port = htons(address.GetPort());
    uint8_t* host = reinterpret_cast<uint8_t*>(&out.sin_addr.s_addr);
    for (int i = 0; i < 4; ++i)
        host[i] = address.GetOctet(i);
    return out;
}

// What a socket keeps for its reader. No datagram of the link or the unit protocol comes near
// 2047 bytes, the most their readers take. The queue holds 1 MB (the system doubles it for its
// bookkeeping and keeps it within net.core.rmem_max), hundreds of datagrams at the least, where a
// controller sends one answer for each record and a few notifications for each change, which the
// link takes up to 128 at a time. What comes faster is dropped by the system, which counts the
// drops (SO_RXQ_OVFL, GetDropped) so that the link can read again what they may have said; a
// larger queue would only let a flood hold the link longer.
//
// Longer datagrams are thrown away here as they are read, not by a filter in the kernel: the
// kernel counts what a socket's filter refuses among that socket's drops, which would then tell
// the link of losses that were never its own. So the count rises only for what the socket would
// have handed over, and a flood of long datagrams costs a receive each (at most 2 KB copied, at
// most kMostRefusedAtOnce of them before a receive gives up); while such a flood fills the queue
// (a few dozen of 64 KB do) the system drops whatever else comes, which is a loss like any other.
constexpr uint32_t kLongestDatagram = 2047;
constexpr int kReceiveBufferBytes = 1 << 20;
constexpr int kMostRefusedAtOnce = 128;

void SetUpReceiving(int socket)
{
    // Neither is more than a defence: a socket without them still works, and one without the
    // count of drops tells none.
    setsockopt(socket, SOL_SOCKET, SO_RCVBUF, &kReceiveBufferBytes, sizeof(kReceiveBufferBytes));
    const int on = 1;
    setsockopt(socket, SOL_SOCKET, SO_RXQ_OVFL, &on, sizeof(on));
}

// The wait is poll on the socket and an event counter that Wake raises: no descriptor number is
// too large for it, and a record queued while the link waits ends the wait at once.
class CSystemUdpSocket : public CUdpSocket
{
public:
    CSystemUdpSocket(int socket, int wake) : m_socket(socket), m_wake(wake) {}

    ~CSystemUdpSocket() override
    {
        close(m_socket);
        close(m_wake);
    }

    bool Receive(uint8_t* buffer, size_t capacity, size_t& count, CIpAddress& sender,
                 uint32_t waitMilliseconds) override
    {
        count = 0;
        pollfd fds[2] = {{m_socket, POLLIN, 0}, {m_wake, POLLIN, 0}};
        const int timeout = waitMilliseconds > 0x7FFFFFFFu ? -1 : int(waitMilliseconds);
        if (poll(fds, 2, timeout) <= 0)
            return false;
        if (fds[1].revents & POLLIN)
        {
            uint64_t raised = 0;
            // Reset the counter: one wake ends one wait, however often it was raised.
            [[maybe_unused]] const ssize_t taken = read(m_wake, &raised, sizeof(raised));
        }
        if (!(fds[0].revents & POLLIN))
            return false;
        // Refused datagrams are taken without waiting for the next, but only so many in one call,
        // so that the call ends however fast they come.
        for (int refused = 0; refused < kMostRefusedAtOnce; ++refused)
        {
            sockaddr_in from{};
            // MSG_TRUNC: the datagram's whole length, however little of it was copied.
            const ssize_t received =
                ReceiveDatagram(m_socket, buffer, capacity, MSG_DONTWAIT | MSG_TRUNC, from, m_dropped);
            if (received < 0)
                return false;
            if (size_t(received) > kLongestDatagram)
                continue;
            count = std::min(size_t(received), capacity);
            const uint8_t* octets = reinterpret_cast<const uint8_t*>(&from.sin_addr.s_addr);
            sender = CIpAddress(octets[0], octets[1], octets[2], octets[3], ntohs(from.sin_port));
            return true;
        }
        return false;
    }

    void Wake() override
    {
        const uint64_t one = 1;
        [[maybe_unused]] const ssize_t written = write(m_wake, &one, sizeof(one));
    }

    bool Send(const CIpAddress& destination, const uint8_t* bytes, size_t count) override
    {
        const sockaddr_in to = ToSockaddr(destination);
        const ssize_t sent =
            sendto(m_socket, bytes, count, MSG_DONTWAIT, reinterpret_cast<const sockaddr*>(&to), sizeof(to));
        return sent >= 0 && size_t(sent) == count;
    }

    uint32_t GetDropped() const override { return m_dropped; }

    uint16_t GetPort() const override
    {
        sockaddr_in local{};
        socklen_t length = sizeof(local);
        if (getsockname(m_socket, reinterpret_cast<sockaddr*>(&local), &length) != 0)
            return 0;
        return ntohs(local.sin_port);
    }

private:
    int m_socket;
    int m_wake;
    uint32_t m_dropped = 0;
};
}  // namespace

std::unique_ptr<CUdpSocket> CSystemUdpNetwork::Open(uint16_t port)
{
    const int socket = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (socket < 0)
        return nullptr;
    const int on = 1;
    const sockaddr_in local = ToSockaddr(CIpAddress(0, 0, 0, 0, port));
    const int wake = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (wake < 0 || setsockopt(socket, SOL_SOCKET, SO_BROADCAST, &on, sizeof(on)) != 0 ||
        bind(socket, reinterpret_cast<const sockaddr*>(&local), sizeof(local)) != 0)
    {
        close(socket);
        if (wake >= 0)
            close(wake);
        return nullptr;
    }
    SetUpReceiving(socket);
    return std::make_unique<CSystemUdpSocket>(socket, wake);
}
