#pragma once

#include "link/unit_packet.h"
#include "tools/standin/show_state.h"

#include <cstddef>
#include <cstdint>

namespace standin
{
// The unit-protocol side of one stand-in unit: it reports its settings to the polls and echoes
// every setter after storing it, so the reply answers the request by the protocol's match rule.
class CUnitResponder
{
public:
    explicit CUnitResponder(SUnitSettings& unit) : m_unit(unit) {}

    // The reply to one request datagram; false when the datagram is no packet.
    bool HandleRequest(const uint8_t* bytes, size_t count, CDevicePacket& reply);
    // The reply to one decoded request.
    CDevicePacket Answer(const CDevicePacket& request);

private:
    SUnitSettings& m_unit;
};
}  // namespace standin
