#include "tools/standin/unit_responder.h"

#include "foundation/byte_order.h"

#include <string>

namespace standin
{
namespace
{
void SetU32(CDevicePacket& packet, uint32_t value)
{
    uint8_t bytes[4];
    WriteLe32(bytes, value);
    packet.SetData(bytes, 4);
}
}  // namespace

bool CUnitResponder::HandleRequest(const uint8_t* bytes, size_t count, CDevicePacket& reply)
{
    CDevicePacket request;
    if (!request.Decode(bytes, count))
        return false;
    reply = Answer(request);
    return true;
}

CDevicePacket CUnitResponder::Answer(const CDevicePacket& request)
{
    CDevicePacket reply(request.GetCommand());
    reply.SetIndexes(request.GetIndex0(), request.GetIndex1(), request.GetIndex2());
    const uint8_t* data = request.GetData();
    const uint8_t length = request.GetLength();

    switch (request.GetCommand())
    {
    case DEVICE_GET_MAC:
        reply.SetData(m_unit.mac.data(), 6);
        return reply;
    case DEVICE_GET_SUBNET:
    {
        const uint8_t subnet[6] = {m_unit.subnet[0], m_unit.subnet[1], m_unit.subnet[2], m_unit.subnet[3], 0, 0};
        reply.SetData(subnet, 6);
        return reply;
    }
    case DEVICE_GET_DHCP:
        SetU32(reply, m_unit.dhcp ? 1 : 0);
        return reply;
    case DEVICE_GET_LABEL:
        reply.SetDataText(m_unit.label);
        return reply;
    case DEVICE_GET_VERSION_FIRMWARE:
        reply.SetData(m_unit.firmware.data(), 2);
        return reply;
    case DEVICE_GET_VERSION_PCB:
        reply.SetData(m_unit.pcb.data(), 2);
        return reply;
    case DEVICE_GET_ARTNET_ENABLED:
        SetU32(reply, m_unit.artNetEnabled ? 1 : 0);
        return reply;
    case DEVICE_GET_ARTNET_UNIVERSE:
        SetU32(reply, m_unit.artNetUniverse);
        return reply;
    case DEVICE_GET_ACN_ENABLED:
        SetU32(reply, m_unit.acnEnabled ? 1 : 0);
        return reply;
    case DEVICE_GET_ACN_UNIVERSE:
        reply.SetDataText(std::to_string(m_unit.acnUniverse));
        return reply;

    // Setters store what they can read and are echoed as they came.
    case DEVICE_SET_LABEL:
        m_unit.label = request.GetDataText();
        break;
    case DEVICE_SET_IP:
        if (length == 6)
        {
            for (int i = 0; i < 4; ++i)
                m_unit.ip[i] = data[i];
            m_unit.ipPort = ReadLe16(data + 4);
        }
        break;
    case DEVICE_SET_SUBNET:
        if (length == 6)
        {
            for (int i = 0; i < 4; ++i)
                m_unit.subnet[i] = data[i];
        }
        break;
    case DEVICE_SET_DHCP:
        if (length == 4)
            m_unit.dhcp = ReadLe32(data) != 0;
        break;
    case DEVICE_BLINK:
        ++m_unit.blinks;
        break;
    case DEVICE_RESET_UNIT:
        ++m_unit.resets;
        break;
    default:
        break;
    }
    return request;
}
}  // namespace standin
