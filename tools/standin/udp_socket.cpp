#include "tools/standin/udp_socket.h"

#include "link/message_frame.h"
#include "link/system_datagram.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace standin
{
namespace
{
sockaddr_in ToSockaddr(const SEndpoint& endpoint)
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(endpoint.address);
    address.sin_port = htons(endpoint.port);
    return address;
}
}  // namespace

bool SEndpoint::Parse(const std::string& text, SEndpoint& out)
{
    const size_t colon = text.find(':');
    const std::string host = text.substr(0, colon);
    in_addr address{};
    if (inet_pton(AF_INET, host.c_str(), &address) != 1)
        return false;
    SEndpoint endpoint;
    endpoint.address = ntohl(address.s_addr);
    if (colon != std::string::npos)
    {
        const std::string port = text.substr(colon + 1);
        if (port.empty() || port.size() > 5 || port.find_first_not_of("0123456789") != std::string::npos)
            return false;
        const unsigned long value = std::stoul(port);
        if (value > 65535)
            return false;
        endpoint.port = static_cast<uint16_t>(value);
    }
    out = endpoint;
    return true;
}

std::string SEndpoint::AddressText() const
{
    return std::to_string(address >> 24) + "." + std::to_string((address >> 16) & 0xFF) + "." +
           std::to_string((address >> 8) & 0xFF) + "." + std::to_string(address & 0xFF);
}

std::string SEndpoint::ToText() const
{
    return AddressText() + ":" + std::to_string(port);
}

CUdpSocket::~CUdpSocket()
{
    Close();
}

bool CUdpSocket::Open(const SEndpoint& local, std::string& error)
{
    Close();
    const int fd = socket(AF_INET, SOCK_DGRAM, 0);
    if (fd < 0)
    {
        error = std::string("socket: ") + std::strerror(errno);
        return false;
    }
    const int one = 1;
    if (local.port != 0)
        setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof(one));
    setsockopt(fd, SOL_SOCKET, SO_BROADCAST, &one, sizeof(one));
    // A link frame that never came may have been dropped here: the count tells such a frame from
    // a program that skipped a number.
    setsockopt(fd, SOL_SOCKET, SO_RXQ_OVFL, &one, sizeof(one));
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
    sockaddr_in address = ToSockaddr(local);
    if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0)
    {
        error = "bind " + local.ToText() + ": " + std::strerror(errno);
        close(fd);
        return false;
    }
    socklen_t size = sizeof(address);
    getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size);
    m_fd = fd;
    m_local.address = ntohl(address.sin_addr.s_addr);
    m_local.port = ntohs(address.sin_port);
    return true;
}

void CUdpSocket::Close()
{
    if (m_fd >= 0)
        close(m_fd);
    m_fd = -1;
}

bool CUdpSocket::SendTo(const SEndpoint& to, const std::vector<uint8_t>& bytes) const
{
    if (m_fd < 0)
        return false;
    const sockaddr_in address = ToSockaddr(to);
    return sendto(m_fd, bytes.data(), bytes.size(), 0, reinterpret_cast<const sockaddr*>(&address),
                  sizeof(address)) == static_cast<ssize_t>(bytes.size());
}

bool CUdpSocket::Receive(std::vector<uint8_t>& bytes, SEndpoint& from, uint32_t* dropped) const
{
    if (m_fd < 0)
        return false;
    bytes.resize(CMessageFrame::kMaxDatagram);
    sockaddr_in address{};
    uint32_t drops = 0;
    const ssize_t count = ReceiveDatagram(m_fd, bytes.data(), bytes.size(), 0, address, drops);
    if (count < 0)
        return false;
    bytes.resize(static_cast<size_t>(count));
    from.address = ntohl(address.sin_addr.s_addr);
    from.port = ntohs(address.sin_port);
    if (dropped)
        *dropped = drops;
    return true;
}
}  // namespace standin
