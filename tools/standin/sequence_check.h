#pragma once

#include "tools/standin/udp_socket.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace standin
{
// Whether each peer numbers its link frames as a controller may rely on: a frame carries either
// the last sequence the peer sent (a resend) or the next one (65535 is followed by 0). Any other
// frame is counted. A peer is an address and port, one program's link, whichever unit it talks
// to: a program that turns to another unit and back goes on with its own numbers. A peer's first
// frame sets where it starts, and so does a frame numbered 0, with which a program that started
// again on the same port begins.
class CSequenceCheck
{
public:
    // Takes one frame's sequence; false when it is counted, with the sequence the peer sent before.
    bool Take(const SEndpoint& peer, uint16_t sequence, uint16_t& last);
    uint64_t GetOutOfSequence() const { return m_outOfSequence; }

private:
    // Far more programs than a test puts beside one stand-in: the one heard from longest ago goes.
    static constexpr size_t kMostPeers = 64;
    struct SPeer
    {
        SEndpoint endpoint;
        uint16_t last;
    };

    std::vector<SPeer> m_peers;
    uint64_t m_outOfSequence = 0;
};
}  // namespace standin
