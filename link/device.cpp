#include "link/device.h"

#include "link/device_manager.h"
#include "link/device_type.h"
#include "link/link_clock.h"
#include "link/udp_socket.h"

#include <SDL_thread.h>

#include <algorithm>
#include <vector>

namespace
{
// The five-second poll, in this order: MAC, subnet, DHCP, label, firmware and board versions,
// Art-Net state and universe, sACN state and universe.
constexpr uint32_t kPollCommands[] = {
    DEVICE_GET_MAC,         DEVICE_GET_SUBNET,      DEVICE_GET_DHCP,
    DEVICE_GET_LABEL,       DEVICE_GET_VERSION_FIRMWARE, DEVICE_GET_VERSION_PCB,
    DEVICE_GET_ARTNET_ENABLED, DEVICE_GET_ARTNET_UNIVERSE, DEVICE_GET_ACN_ENABLED,
    DEVICE_GET_ACN_UNIVERSE,
};

// Commands that go to every unit on the segment rather than to this one.
bool IsBroadcastCommand(uint32_t command)
{
    return command == 236 || command == 237;
}

bool IsFrom(const CIpAddress& sender, const CIpAddress& unit)
{
    return sender == unit && sender.GetPort() == unit.GetPort();
}
}  // namespace

CDevice::CDevice(CDeviceManager* owner, const CIpAddress& address, uint32_t type)
    : m_owner(owner), m_label(DeviceTypeName(type)), m_address(address), m_type(type)
{
    if (!m_owner)
        return;
    if (m_owner->HasThreads())
        m_thread = SDL_CreateThread(ThreadEntry, "DeviceThread", this);
    else
        m_socket = m_owner->GetNetwork().Open(0);
}

CDevice::~CDevice()
{
    m_stop = true;
    {
        CSdlMutexLock lock(m_requestMutex);
        WakeLocked();
    }
    if (m_thread)
        SDL_WaitThread(m_thread, nullptr);
    m_thread = nullptr;
    m_socket.reset();
}

int CDevice::ThreadEntry(void* argument)
{
    if (argument)
        static_cast<CDevice*>(argument)->Run();
    return 0;
}

void CDevice::Run()
{
    std::unique_ptr<CUdpSocket> socket = m_owner->GetNetwork().Open(0);
    if (!socket)
        return;
    {
        CSdlMutexLock lock(m_requestMutex);
        m_socket = std::move(socket);
    }
    while (!m_stop)
        Pass(*m_socket, NextWait());
    CSdlMutexLock lock(m_requestMutex);
    m_socket.reset();
}

uint32_t CDevice::NextWait()
{
    CLinkClock& clock = m_owner->GetClock();
    {
        CSdlMutexLock lock(m_requestMutex);
        if (m_requests.empty())
            return clock.ToRealMilliseconds(kIdleWaitMilliseconds);
    }
    const uint32_t due = UntilElapsed(clock.GetMilliseconds(), m_resendTick, kResendMilliseconds);
    return clock.ToRealMilliseconds(std::min(due, kIdleWaitMilliseconds));
}

void CDevice::WakeLocked()
{
    if (m_socket)
        m_socket->Wake();
}

void CDevice::Pass(uint32_t waitMilliseconds)
{
    if (m_socket)
        Pass(*m_socket, waitMilliseconds);
}

void CDevice::Pass(CUdpSocket& socket, uint32_t waitMilliseconds)
{
    uint8_t buffer[kReceiveSize];
    size_t count = 0;
    CIpAddress sender;
    if (socket.Receive(buffer, sizeof(buffer), count, sender, waitMilliseconds) &&
        IsFrom(sender, m_address))
    {
        // Only the answer to the request in flight is a value. Anyone on the network can send a
        // datagram from the unit's address and port: a reply nobody asked for would show on the
        // settings page until the next poll and, compared by the setters, keep the user's change
        // from being sent. Nor does it say the unit is online.
        CDevicePacket reply;
        if (reply.Decode(buffer, count) && CompleteRequest(reply))
        {
            if (SendHeadRequest(socket))
                m_resendTick = m_owner->GetClock().GetMilliseconds();
            PushReply(reply);
        }
    }
    const uint32_t now = m_owner->GetClock().GetMilliseconds();
    if (HasElapsed(now, m_resendTick, kResendMilliseconds) && SendHeadRequest(socket))
        m_resendTick = now;
}

bool CDevice::SendHeadRequest(CUdpSocket& socket)
{
    CDevicePacket head;
    {
        CSdlMutexLock lock(m_requestMutex);
        if (m_requests.empty())
            return false;
        head = m_requests.front();
    }
    SendPacket(head, socket);
    return true;
}

bool CDevice::CompleteRequest(const CDevicePacket& reply)
{
    CSdlMutexLock lock(m_requestMutex);
    if (m_requests.empty() || !m_requests.front().IsAnsweredBy(reply))
        return false;
    m_requests.pop_front();
    return true;
}

void CDevice::PushReply(const CDevicePacket& answer)
{
    m_replies.Post(answer, CReplyMailbox<CDevicePacket>::kAnswer, sizeof(CDevicePacket));
}

void CDevice::SendPacket(const CDevicePacket& packet, CUdpSocket& socket)
{
    const size_t length = packet.GetWireLength();
    // Only packets within the data area can be written out; and nothing goes to an address that
    // became a broadcast of this machine's since the unit was found, in the moment before the
    // list lets the unit go.
    if (length > CDevicePacket::kHeaderSize + CDevicePacket::kDataSize || !m_owner->MaySendTo(m_address))
        return;
    std::vector<uint8_t> bytes(length);
    packet.Encode(bytes.data());
    CIpAddress destination = m_address;
    if (IsBroadcastCommand(packet.GetCommand()))
        destination = CIpAddress(255, 255, 255, 255, m_address.GetPort());
    socket.Send(destination, bytes.data(), bytes.size());
}

void CDevice::Update(float seconds)
{
    m_sinceSeen += seconds;
    m_pollTimer += seconds;
    if (m_pollTimer > kPollSeconds)
    {
        m_pollTimer -= kPollSeconds;
        for (uint32_t command : kPollCommands)
            QueuePoll(command);
    }
    ProcessReplies();
}

void CDevice::QueueRequest(const CDevicePacket& packet)
{
    CSdlMutexLock lock(m_requestMutex);
    m_requests.push_back(packet);
    WakeLocked();
}

void CDevice::Request(uint32_t command)
{
    QueueRequest(CDevicePacket(command));
}

void CDevice::QueuePoll(uint32_t command)
{
    // A unit that never answers would otherwise gain ten requests every five seconds for ever.
    const CDevicePacket packet(command);
    CSdlMutexLock lock(m_requestMutex);
    if (std::find(m_requests.begin(), m_requests.end(), packet) == m_requests.end())
    {
        m_requests.push_back(packet);
        WakeLocked();
    }
}

size_t CDevice::GetRequestCount() const
{
    CSdlMutexLock lock(m_requestMutex);
    return m_requests.size();
}

void CDevice::ProcessReplies()
{
    CReplyMailbox<CDevicePacket>::SDropped dropped;
    m_replies.Take(
        [this](const CDevicePacket& reply, CReplyMailbox<CDevicePacket>::TRank) {
            HandleReply(reply);
            return true;
        },
        dropped);
}

int CDevice::GetIndex() const
{
    return m_owner ? m_owner->GetDeviceIndex(this) : -1;
}
