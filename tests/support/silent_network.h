#pragma once

#include "link/udp_socket.h"

#include <algorithm>
#include <deque>
#include <memory>
#include <string>
#include <utility>
#include <vector>

// A network that goes nowhere: sockets bind and record what they send, and receive only what the
// test hands in, without waiting. Gives a model root a device link that can never reach a real
// address; for a link without threads, whose passes the test runs itself.
class CSilentNetwork : public CUdpNetwork
{
public:
    std::unique_ptr<CUdpSocket> Open(uint16_t port) override { return std::make_unique<CSocket>(port, *this); }

    // The next receive of any socket takes this datagram, as from the sender.
    void Arrive(const CIpAddress& sender, const std::vector<uint8_t>& bytes) { m_inbox.emplace_back(sender, bytes); }
    void Arrive(const CIpAddress& sender, const std::string& text) { Arrive(sender, std::vector<uint8_t>(text.begin(), text.end())); }

    // Every datagram sent, in order.
    std::vector<std::vector<uint8_t>> sent;

private:
    class CSocket : public CUdpSocket
    {
    public:
        CSocket(uint16_t port, CSilentNetwork& network) : m_port(port), m_network(network) {}
        bool Receive(uint8_t* buffer, size_t capacity, size_t& count, CIpAddress& sender, uint32_t) override
        {
            if (m_network.m_inbox.empty())
                return false;
            const auto& [from, bytes] = m_network.m_inbox.front();
            count = std::min(capacity, bytes.size());
            std::copy(bytes.begin(), bytes.begin() + std::ptrdiff_t(count), buffer);
            sender = from;
            m_network.m_inbox.pop_front();
            return true;
        }
        bool Send(const CIpAddress&, const uint8_t* bytes, size_t count) override
        {
            m_network.sent.emplace_back(bytes, bytes + count);
            return true;
        }
        uint16_t GetPort() const override { return m_port; }

    private:
        uint16_t m_port;
        CSilentNetwork& m_network;
    };

    std::deque<std::pair<CIpAddress, std::vector<uint8_t>>> m_inbox;
};
