#include "link/udp_socket.h"

#include <arpa/inet.h>
#include <linux/filter.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

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

// No datagram of the link or the unit protocol comes near 2047 bytes, the most their readers
// take. Longer ones are dropped by the kernel before they are queued, so a flood of them costs the
// program nothing; and the queue holds some milliseconds of a flood of short ones, which the link
// takes in batches.
constexpr uint32_t kLongestDatagram = 2047;
constexpr int kReceiveBufferBytes = 1 << 20;

void LimitDatagrams(int socket)
{
    // The filter sees the UDP header (8 bytes) and the payload.
    sock_filter program[] = {
        BPF_STMT(BPF_LD | BPF_W | BPF_LEN, 0),
        BPF_JUMP(BPF_JMP | BPF_JGT | BPF_K, 8 + kLongestDatagram, 1, 0),
        BPF_STMT(BPF_RET | BPF_K, 0xFFFFFFFFu),
        BPF_STMT(BPF_RET | BPF_K, 0),
    };
    const sock_fprog filter = {static_cast<unsigned short>(sizeof(program) / sizeof(program[0])), program};
    // Both are only a defence: a socket without them still works.
    setsockopt(socket, SOL_SOCKET, SO_ATTACH_FILTER, &filter, sizeof(filter));
    setsockopt(socket, SOL_SOCKET, SO_RCVBUF, &kReceiveBufferBytes, sizeof(kReceiveBufferBytes));
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
        sockaddr_in from{};
        socklen_t length = sizeof(from);
        const ssize_t received =
            recvfrom(m_socket, buffer, capacity, MSG_DONTWAIT, reinterpret_cast<sockaddr*>(&from), &length);
        if (received < 0)
            return false;
        count = size_t(received);
        const uint8_t* octets = reinterpret_cast<const uint8_t*>(&from.sin_addr.s_addr);
        sender = CIpAddress(octets[0], octets[1], octets[2], octets[3], ntohs(from.sin_port));
        return true;
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
    LimitDatagrams(socket);
    return std::make_unique<CSystemUdpSocket>(socket, wake);
}
