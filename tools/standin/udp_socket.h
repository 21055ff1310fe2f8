#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace standin
{
// An IPv4 address (host order) and port.
struct SEndpoint
{
    uint32_t address = 0;
    uint16_t port = 0;

    // "a.b.c.d" or "a.b.c.d:port"; false for anything else.
    static bool Parse(const std::string& text, SEndpoint& out);
    std::string AddressText() const;
    std::string ToText() const;
    bool operator==(const SEndpoint& other) const { return address == other.address && port == other.port; }
};

// A non-blocking UDP socket bound to one local address. The stand-in binds several sockets to
// one named port (each unit's address and the wildcard that hears broadcasts), so a socket on a
// named port allows its address to be shared. A socket on a port of the system's choosing never
// does: the system would hand such a port to another sharing socket too, which would then take
// this one's datagrams.
class CUdpSocket
{
public:
    CUdpSocket() = default;
    ~CUdpSocket();
    CUdpSocket(const CUdpSocket&) = delete;
    CUdpSocket& operator=(const CUdpSocket&) = delete;

    bool Open(const SEndpoint& local, std::string& error);
    void Close();
    bool IsOpen() const { return m_fd >= 0; }
    int GetFd() const { return m_fd; }
    // The bound address, with the port the system chose when 0 was asked for.
    const SEndpoint& GetLocal() const { return m_local; }

    bool SendTo(const SEndpoint& to, const std::vector<uint8_t>& bytes) const;
    // One waiting datagram, at most 2047 bytes of it; false when none waits. dropped, when given:
    // the datagrams the system had dropped on this socket for want of room when this one came, a
    // count since the socket was opened that wraps.
    bool Receive(std::vector<uint8_t>& bytes, SEndpoint& from, uint32_t* dropped = nullptr) const;

private:
    int m_fd = -1;
    SEndpoint m_local;
};
}  // namespace standin
