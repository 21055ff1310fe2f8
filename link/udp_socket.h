#pragma once

#include "foundation/ip_address.h"

#include <cstddef>
#include <cstdint>
#include <memory>

// One bound UDP socket: the only way the device link reaches the network. A socket is used by
// one thread at a time.
class CUdpSocket
{
public:
    virtual ~CUdpSocket() = default;

    // Waits up to the given time for a datagram and copies at most capacity bytes of it (the rest
    // of a longer one is lost). False when nothing arrived in time or the receive failed.
    virtual bool Receive(uint8_t* buffer, size_t capacity, size_t& count, CIpAddress& sender,
                         uint32_t waitMilliseconds) = 0;
    // Sends one datagram to the address at its port; false when it could not be sent.
    virtual bool Send(const CIpAddress& destination, const uint8_t* bytes, size_t count) = 0;
    // The local port the socket is bound to.
    virtual uint16_t GetPort() const = 0;
};

// Where sockets come from: SDL_net in the program, a fake in tests. Open may be called from
// any thread.
class CUdpNetwork
{
public:
    virtual ~CUdpNetwork() = default;

    // A socket bound to the port on every local address, 0 for any free port; null when the port
    // is taken or no socket can be had.
    virtual std::unique_ptr<CUdpSocket> Open(uint16_t port) = 0;
};

// The real network through SDL_net. Its sockets may send broadcasts.
class CSdlUdpNetwork : public CUdpNetwork
{
public:
    // Initialises SDL_net; a failure is printed and the object stays usable (its sockets fail).
    CSdlUdpNetwork();
    ~CSdlUdpNetwork() override;
    CSdlUdpNetwork(const CSdlUdpNetwork&) = delete;
    CSdlUdpNetwork& operator=(const CSdlUdpNetwork&) = delete;

    std::unique_ptr<CUdpSocket> Open(uint16_t port) override;

private:
    bool m_initialised = false;
};
