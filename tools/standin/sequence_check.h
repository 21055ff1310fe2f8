#pragma once

#include "tools/standin/udp_socket.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace standin
{
// Whether each peer numbers its link frames as a controller may rely on: a frame carries either
// the last sequence the peer sent (a resend) or the next one (65535 is followed by 0). A peer is
// an address and port, one program's link, whichever unit it talks to: a program that turns to
// another unit and back goes on with its own numbers. A peer's first frame sets where it starts,
// and so does a frame numbered 0, with which a program that started again on the same port
// begins.
//
// A frame may skip numbers that the stand-in's own socket dropped for want of room, which says
// nothing of the program's numbering: a jump forward of k on the socket of the peer's frame
// before, while that socket's drop count rose by at least k - 1, counts k - 1 frames dropped.
// Any other frame is out of sequence: a jump back (but to 0), a number repeated out of place, a
// jump forward over fewer drops, or one on another socket, whose count says nothing of the
// frames the peer sent to the first.
class CSequenceCheck
{
public:
    enum TVerdict
    {
        kInSequence,
        kDropped,
        kOutOfSequence,
    };

    // Takes one frame's sequence, with the socket it came on (any number that tells the
    // stand-in's sockets apart) and that socket's drop count when it came; gives the sequence the
    // peer sent before.
    TVerdict Take(const SEndpoint& peer, uint16_t sequence, size_t socket, uint32_t drops, uint16_t& last);
    uint64_t GetOutOfSequence() const { return m_outOfSequence; }
    // The frames of every peer that jumps showed the stand-in's sockets to have dropped.
    uint64_t GetDropped() const { return m_dropped; }

private:
    // Far more programs than a test puts beside one stand-in: the one heard from longest ago goes.
    static constexpr size_t kMostPeers = 64;
    // A jump this far forward is taken as one back.
    static constexpr uint16_t kLongestJump = 0x8000;
    struct SPeer
    {
        SEndpoint endpoint;
        uint16_t last;
        size_t socket;
        uint32_t drops;
    };

    std::vector<SPeer> m_peers;
    uint64_t m_outOfSequence = 0;
    uint64_t m_dropped = 0;
};
}  // namespace standin
