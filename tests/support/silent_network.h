#pragma once

#include "link/udp_socket.h"

#include <memory>

// A network that goes nowhere: sockets bind and count what they send, nothing ever arrives.
// Gives a model root a device link that can never reach a real address.
class CSilentNetwork : public CUdpNetwork
{
public:
    std::unique_ptr<CUdpSocket> Open(uint16_t port) override { return std::make_unique<CSocket>(port, sends); }

    int sends = 0;

private:
    class CSocket : public CUdpSocket
    {
    public:
        CSocket(uint16_t port, int& sends) : m_port(port), m_sends(sends) {}
        bool Receive(uint8_t*, size_t, size_t&, CIpAddress&, uint32_t) override { return false; }
        bool Send(const CIpAddress&, const uint8_t*, size_t) override
        {
            ++m_sends;
            return true;
        }
        uint16_t GetPort() const override { return m_port; }

    private:
        uint16_t m_port;
        int& m_sends;
    };
};
