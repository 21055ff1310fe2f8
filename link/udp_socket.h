#pragma once

#include "foundation/ip_address.h"

#include <cstddef>
#include <cstdint>
#include <memory>

// One bound UDP socket: the only way the device link reaches the network. A socket is used by
// one thread at a time, except Wake, which any thread may call.
class CUdpSocket
{
public:
    virtual ~CUdpSocket() = default;

    // Waits up to the given time for a datagram and copies at most capacity bytes of it (the rest
    // of a longer one is lost). False when nothing arrived in time, the wait was woken, or the
    // receive failed.
    virtual bool Receive(uint8_t* buffer, size_t capacity, size_t& count, CIpAddress& sender,
                         uint32_t waitMilliseconds) = 0;
    // Ends the wait of the Receive under way, or of the next one, at once. A socket whose
    // Receive never waits has nothing to end.
    virtual void Wake() {}
    // Sends one datagram to the address at its port; false when it could not be sent.
    virtual bool Send(const CIpAddress& destination, const uint8_t* bytes, size_t count) = 0;
    // The local port the socket is bound to.
    virtual uint16_t GetPort() const = 0;
    // How many datagrams the system dropped at this socket since it opened that it would have
    // handed over: for want of room in its queue or of memory (or, rarely, for a checksum found
    // bad only as the datagram was read), as the last datagram received told: drops after it are
    // told by the next. It wraps. A socket that cannot tell says 0.
    virtual uint32_t GetDropped() const { return 0; }
};

// Where sockets come from: the system in the program, a fake in tests. Open may be called from
// any thread.
class CUdpNetwork
{
public:
    virtual ~CUdpNetwork() = default;

    // A socket bound to the port on every local address, 0 for any free port; null when the port
    // is taken or no socket can be had.
    virtual std::unique_ptr<CUdpSocket> Open(uint16_t port) = 0;
};

// The real network through the system's sockets. Its sockets may send broadcasts, and never hand
// over a datagram longer than 2047 bytes, which nothing the link or a unit answers comes near.
class CSystemUdpNetwork : public CUdpNetwork
{
public:
    std::unique_ptr<CUdpSocket> Open(uint16_t port) override;
};
