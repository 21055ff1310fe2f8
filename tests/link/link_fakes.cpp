#include "tests/link/link_fakes.h"

#include "link/device.h"
#include "link/device_manager.h"
#include "link/device_type.h"
#include "link/message_frame.h"

#include <string>
#include <thread>
#include <utility>

class CFakeNetwork::CSocket : public CUdpSocket
{
public:
    CSocket(CFakeNetwork& network, uint16_t port) : m_network(network), m_port(port) {}
    ~CSocket() override { m_network.Close(m_port); }

    bool Receive(uint8_t* buffer, size_t capacity, size_t& count, CIpAddress& sender,
                 uint32_t waitMilliseconds) override
    {
        Bytes bytes;
        count = 0;
        if (!m_network.Receive(m_port, bytes, sender, waitMilliseconds))
            return false;
        count = std::min(bytes.size(), capacity);
        std::copy(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(count), buffer);
        return true;
    }

    void Wake() override { m_network.Wake(m_port); }

    bool Send(const CIpAddress& destination, const uint8_t* bytes, size_t count) override
    {
        m_network.Sent(m_port, destination, bytes, count);
        return true;
    }

    uint16_t GetPort() const override { return m_port; }
    uint32_t GetDropped() const override { return m_network.GetDropped(m_port); }

private:
    CFakeNetwork& m_network;
    uint16_t m_port;
};

std::unique_ptr<CUdpSocket> CFakeNetwork::Open(uint16_t port)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (port == 0)
        port = m_nextPort++;
    if (int(port) == m_refused || m_bound.count(port))
        return nullptr;
    m_bound[port];
    return std::make_unique<CSocket>(*this, port);
}

bool CFakeNetwork::Deliver(uint16_t port, const CIpAddress& from, const Bytes& bytes)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        auto bound = m_bound.find(port);
        if (bound == m_bound.end())
            return false;
        bound->second.emplace_back(from, bytes);
    }
    m_arrived.notify_all();
    return true;
}

void CFakeNetwork::Drop(uint16_t port, uint32_t count)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_dropped[port] += count;
}

uint32_t CFakeNetwork::GetDropped(uint16_t port) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto dropped = m_dropped.find(port);
    return dropped == m_dropped.end() ? 0 : dropped->second;
}

std::vector<SDatagram> CFakeNetwork::TakeSent()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    std::vector<SDatagram> sent;
    sent.swap(m_sent);
    return sent;
}

std::vector<uint16_t> CFakeNetwork::GetBoundPorts() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    std::vector<uint16_t> ports;
    for (const auto& bound : m_bound)
        ports.push_back(bound.first);
    return ports;
}

void CFakeNetwork::SetResponder(std::function<void(const SDatagram&)> responder)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_responder = std::move(responder);
}

int CFakeNetwork::TakeWakes()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const int wakes = m_wakes;
    m_wakes = 0;
    return wakes;
}

void CFakeNetwork::Wake(uint16_t port)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_woken.insert(port);
        ++m_wakes;
    }
    m_arrived.notify_all();
}

bool CFakeNetwork::Receive(uint16_t port, Bytes& bytes, CIpAddress& sender, uint32_t waitMilliseconds)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    auto ready = [&] {
        const auto bound = m_bound.find(port);
        return bound != m_bound.end() && !bound->second.empty();
    };
    if (!ready() && waitMilliseconds > 0)
        m_arrived.wait_for(lock, std::chrono::milliseconds(waitMilliseconds),
                           [&] { return ready() || m_woken.count(port) != 0; });
    m_woken.erase(port);
    if (!ready())
        return false;
    auto& queue = m_bound.find(port)->second;
    sender = queue.front().first;
    bytes = std::move(queue.front().second);
    queue.pop_front();
    return true;
}

void CFakeNetwork::Sent(uint16_t port, const CIpAddress& to, const uint8_t* bytes, size_t count)
{
    SDatagram datagram;
    datagram.from = m_host;
    datagram.from.SetPort(port);
    datagram.to = to;
    datagram.bytes.assign(bytes, bytes + count);
    std::function<void(const SDatagram&)> responder;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_sent.push_back(datagram);
        responder = m_responder;
    }
    if (responder)
        responder(datagram);
}

void CFakeNetwork::Close(uint16_t port)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_bound.erase(port);
    m_dropped.erase(port);
}

Bytes FrameOf(const CMessage& message)
{
    Bytes bytes;
    CMessageFrame::Encode(message, bytes);
    return bytes;
}

Bytes AnswerOf(const char* label, const char* ip, const char* port)
{
    const std::string text = std::string("<?xml version=\"1.0\" ?> <zevral_identify label=\"") + label +
                             "\"><ip>" + ip + "</ip><port>" + port + "</port></zevral_identify>";
    return Bytes(text.begin(), text.end());
}

bool WaitFor(const std::function<bool()>& predicate, std::chrono::milliseconds limit)
{
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!predicate())
    {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

std::vector<CMessage> DrainLink(CDeviceManager& manager, CFakeNetwork& network, CFakeClock& clock,
                                const CIpAddress& controller, uint16_t linkPort)
{
    std::vector<CMessage> sent;
    for (int guard = 0; guard < 1000 && manager.GetQueueLength() > 0; ++guard)
    {
        manager.Pass(0);
        bool any = false;
        for (const SDatagram& datagram : network.TakeSent())
        {
            CMessage record;
            if (datagram.to != controller || datagram.to.GetPort() != linkPort ||
                !CMessageFrame::Decode(datagram.bytes.data(), datagram.bytes.size(), record))
                continue;
            any = true;
            sent.push_back(record);
            // The acknowledgement: same target and sequence, no payload; the next pass takes it.
            CMessage ack(record.GetManager(), record.GetCommand());
            ack.SetIndex0(record.GetIndex0());
            ack.SetIndex1(record.GetIndex1());
            ack.SetIndex2(record.GetIndex2());
            ack.SetSequence(record.GetSequence());
            network.Deliver(linkPort, controller, FrameOf(ack));
        }
        if (!any)
            clock.Advance(1001);
    }
    return sent;
}

SFakeUnitLink::SFakeUnitLink(const CIpAddress& unit, bool chosen)
{
    CLinkSetup setup;
    setup.network = &network;
    setup.clock = &clock;
    setup.threads = false;
    setup.broadcastTargets = std::vector<CIpAddress>();
    manager = std::make_unique<CDeviceManager>(setup);
    if (chosen)
        manager->SetConnectedAddress(unit);
    device = std::make_unique<CDevice>(manager.get(), unit, DEVICE_TYPE_KDX1);
    port = network.GetBoundPorts().back();
}

SFakeUnitLink::~SFakeUnitLink() = default;
