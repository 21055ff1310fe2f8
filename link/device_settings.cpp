#include "link/device.h"

#include "link/device_manager.h"
#include "foundation/byte_order.h"
#include "foundation/notify_codes.h"
#include "foundation/utf8.h"
#include "link/message.h"

#include <algorithm>
#include <cstdio>

namespace
{
// The controller's code for a changed universe.
constexpr uint32_t kNotifyValue = 23;

// Four octets, then the port little-endian.
CDevicePacket AddressRequest(uint32_t command, const CIpAddress& address)
{
    uint8_t bytes[6] = {address.GetOctet(0), address.GetOctet(1), address.GetOctet(2), address.GetOctet(3)};
    WriteLe16(bytes + 4, address.GetPort());
    CDevicePacket packet(command);
    packet.SetData(bytes, sizeof(bytes));
    return packet;
}

// A two-byte version reply: (major, minor, 0); anything else clears it.
CVersion ReadVersion(const CDevicePacket& reply)
{
    if (reply.GetLength() != 2)
        return CVersion();
    return CVersion(reply.GetData()[0], reply.GetData()[1], 0);
}

// Addresses and masks differ by their port too.
bool Differs(const CIpAddress& a, const CIpAddress& b)
{
    return !SameAddressAndPort(a, b);
}

// A four-byte flag reply; any other length reads as false.
bool ReadFlag(const CDevicePacket& reply)
{
    return reply.GetLength() == 4 && ReadLe32(reply.GetData()) != 0;
}
}  // namespace

std::string CDevice::GetArtNetText() const
{
    if (!m_artNetEnabled)
        return "-";
    return std::to_string(m_artNetUniverse >> 4) + "." + std::to_string(m_artNetUniverse & 0x0F);
}

std::string CDevice::GetAcnText() const
{
    return m_acnEnabled ? std::to_string(m_acnUniverse) : "-";
}

void CDevice::SetLabel(const std::string& label)
{
    if (!m_askedLabel.Ask(label, m_label))
        return;
    CDevicePacket packet(DEVICE_SET_LABEL);
    packet.SetDataText(label);
    QueueRequest(packet);
}

void CDevice::SetIp(const CIpAddress& address)
{
    if (!m_askedIp.NeedsSending(address, m_address, Differs))
        return;
    m_askedIp.Asked(address);
    QueueRequest(AddressRequest(DEVICE_SET_IP, address));
}

void CDevice::SetSubnet(const CIpAddress& subnet)
{
    if (!m_askedSubnet.NeedsSending(subnet, m_subnet, Differs))
        return;
    m_askedSubnet.Asked(subnet);
    QueueRequest(AddressRequest(DEVICE_SET_SUBNET, subnet));
}

void CDevice::SetDhcp(bool dhcp)
{
    if (!m_askedDhcp.Ask(dhcp, m_dhcp))
        return;
    const uint8_t bytes[4] = {uint8_t(dhcp ? 1 : 0), 0, 0, 0};
    CDevicePacket packet(DEVICE_SET_DHCP);
    packet.SetData(bytes, sizeof(bytes));
    QueueRequest(packet);
}

void CDevice::Blink()
{
    Request(DEVICE_BLINK);
}

void CDevice::ResetUnit()
{
    Request(DEVICE_RESET_UNIT);
}

bool CDevice::QueueLinkMessage(const CMessage& message)
{
    return m_owner && m_owner->QueueMessage(message);
}

template <typename T>
void CDevice::QueueLinkSetting(CAskedValue<T>& asked, const T& value, const T& reported, const CMessage& message)
{
    // A record of the setting that still waits may be one this object never asked: queued before
    // the unit went from the list and was found again as a new object. The choice goes after it.
    const bool waiting = m_owner && m_owner->IsWaiting(message);
    if (!asked.Ask(value, reported, waiting))
        return;
    if (!QueueLinkMessage(message))
        asked.Forget(TForget::kLastAsk);
}

void CDevice::SetArtNetEnabled(bool enabled)
{
    CMessage message(MANAGER_ARTNET, COMMAND_SET_ENABLED);
    message.SetValue(CMessageValue(enabled));
    QueueLinkSetting(m_askedArtNetEnabled, enabled, m_artNetEnabled, message);
}

void CDevice::SetArtNetUniverse(int universe)
{
    CMessage message(MANAGER_ARTNET, COMMAND_SET_VALUE);
    message.SetValue(CMessageValue(uint32_t(universe) & 0xFFu));
    QueueLinkSetting(m_askedArtNetUniverse, universe, int(m_artNetUniverse), message);
}

void CDevice::SetAcnEnabled(bool enabled)
{
    CMessage message(MANAGER_ACN, COMMAND_SET_ENABLED);
    message.SetValue(CMessageValue(enabled));
    QueueLinkSetting(m_askedAcnEnabled, enabled, m_acnEnabled, message);
}

void CDevice::SetAcnUniverse(uint16_t universe)
{
    if (universe == 0)
        universe = 1;
    CMessage message(MANAGER_ACN, COMMAND_SET_VALUE);
    message.SetValue(CMessageValue(uint32_t(universe)));
    QueueLinkSetting(m_askedAcnUniverse, universe, m_acnUniverse, message);
}

void CDevice::SendMessage(uint32_t manager, uint32_t command)
{
    QueueLinkMessage(CMessage(manager, command));
}

void CDevice::HandleReply(const CDevicePacket& reply)
{
    if (!m_online)
    {
        m_online = true;
        Notify(DEVICE_NOTIFY_ONLINE);
    }
    const uint8_t* data = reply.GetData();
    const uint8_t length = reply.GetLength();
    switch (reply.GetCommand())
    {
    case DEVICE_GET_MAC:
    {
        std::array<uint8_t, 6> mac = {};
        if (length == 6)
            std::copy(data, data + 6, mac.begin());
        if (mac != m_mac)
        {
            m_mac = mac;
            Notify(DEVICE_NOTIFY_NETWORK);
        }
        break;
    }
    case DEVICE_GET_SUBNET:
    {
        CIpAddress subnet;
        if (length == 6)
            subnet = CIpAddress(data[0], data[1], data[2], data[3], ReadLe16(data + 4));
        if (!SameAddressAndPort(subnet, m_subnet))
        {
            m_subnet = subnet;
            Notify(DEVICE_NOTIFY_NETWORK);
        }
        break;
    }
    case DEVICE_GET_VERSION_FIRMWARE:
    {
        const CVersion version = ReadVersion(reply);
        if (version != m_firmware)
        {
            m_firmware = version;
            Notify(DEVICE_NOTIFY_FIRMWARE);
        }
        break;
    }
    case DEVICE_GET_VERSION_PCB:
    {
        const CVersion version = ReadVersion(reply);
        if (version != m_pcb)
        {
            m_pcb = version;
            Notify(DEVICE_NOTIFY_PCB);
        }
        break;
    }
    case DEVICE_GET_LABEL:
    {
        // Mended to UTF-8 like every text the model takes in.
        const std::string label = ToValidUtf8(reply.GetDataText());
        if (label != m_label)
        {
            m_label = label;
            Notify(DEVICE_NOTIFY_LABEL);
        }
        break;
    }
    case DEVICE_GET_ARTNET_UNIVERSE:
    {
        const uint8_t universe = length == 4 ? data[0] : 0;
        if (universe != m_artNetUniverse)
        {
            m_artNetUniverse = universe;
            Notify(DEVICE_NOTIFY_ARTNET);
        }
        break;
    }
    case DEVICE_GET_ARTNET_ENABLED:
        if (ReadFlag(reply) != m_artNetEnabled)
        {
            m_artNetEnabled = !m_artNetEnabled;
            Notify(DEVICE_NOTIFY_ARTNET);
        }
        break;
    case DEVICE_GET_DHCP:
        if (ReadFlag(reply) != m_dhcp)
        {
            m_dhcp = !m_dhcp;
            Notify(DEVICE_NOTIFY_DHCP);
        }
        break;
    case DEVICE_GET_ACN_ENABLED:
        if (ReadFlag(reply) != m_acnEnabled)
        {
            m_acnEnabled = !m_acnEnabled;
            Notify(DEVICE_NOTIFY_ACN);
        }
        break;
    case DEVICE_GET_ACN_UNIVERSE:
    {
        unsigned int number = 0;
        if (std::sscanf(reply.GetDataText().c_str(), "%u", &number) != 1)
            break;
        const uint16_t universe = uint16_t(number);
        if (universe != m_acnUniverse)
        {
            m_acnUniverse = universe;
            Notify(DEVICE_NOTIFY_ACN);
        }
        break;
    }
    default:
        break;
    }
}

void CDevice::HandleMessage(const CMessage& message)
{
    const uint32_t manager = message.GetManager();
    if (manager != MANAGER_ARTNET && manager != MANAGER_ACN)
        return;
    const bool artNet = manager == MANAGER_ARTNET;
    const CMessageValue& value = message.GetValueRef();
    switch (message.GetCommand())
    {
    case COMMAND_GET_VALUE:
        // Compared whole, kept as the setting's own width.
        if (artNet && value.GetUnsigned() != m_artNetUniverse)
        {
            m_artNetUniverse = uint8_t(value.GetUnsigned());
            Notify(DEVICE_NOTIFY_ARTNET);
        }
        else if (!artNet && value.GetUnsigned() != m_acnUniverse)
        {
            m_acnUniverse = uint16_t(value.GetUnsigned());
            Notify(DEVICE_NOTIFY_ACN);
        }
        break;
    case COMMAND_GET_ENABLED:
    {
        bool& enabled = artNet ? m_artNetEnabled : m_acnEnabled;
        if (value.GetBool() != enabled)
        {
            enabled = value.GetBool();
            Notify(artNet ? DEVICE_NOTIFY_ARTNET : DEVICE_NOTIFY_ACN);
        }
        break;
    }
    case COMMAND_NOTIFY:
    {
        // What one notification may cost, since anyone on the network can send one: at most the
        // two reads of the manager's state and universe, each left out while a read of its target
        // waits (COutgoingQueue), so that a flood keeps at most two waiting for each manager. The
        // answers keep a flag or a number and ask for nothing more.
        const uint32_t code = value.GetUnsigned();
        if (code == 0 || code == NOTIFY_ENABLED)
            SendMessage(manager, COMMAND_GET_ENABLED);
        if (code == 0 || code == kNotifyValue)
            SendMessage(manager, COMMAND_GET_VALUE);
        break;
    }
    default:
        break;
    }
}
