#include "tools/standin/sequence_check.h"

#include <algorithm>

namespace standin
{
CSequenceCheck::TVerdict CSequenceCheck::Take(const SEndpoint& peer, uint16_t sequence, size_t socket,
                                              uint32_t drops, uint16_t& last)
{
    auto found = std::find_if(m_peers.begin(), m_peers.end(), [&](const SPeer& p) { return p.endpoint == peer; });
    if (found == m_peers.end())
    {
        if (m_peers.size() >= kMostPeers)
            m_peers.erase(m_peers.begin());
        m_peers.push_back(SPeer{peer, sequence, socket, drops});
        last = sequence;
        return kInSequence;
    }
    // The peer heard from last stays at the back.
    std::rotate(found, found + 1, m_peers.end());
    SPeer& entry = m_peers.back();
    last = entry.last;
    // The count is the system's, taken as each datagram was queued: those dropped between the
    // peer's two frames are the difference, whatever was read in between.
    const uint16_t jump = uint16_t(sequence - last);
    TVerdict verdict = kOutOfSequence;
    if (jump <= 1 || sequence == 0)
        verdict = kInSequence;
    else if (jump < kLongestJump && socket == entry.socket && drops - entry.drops >= uint32_t(jump - 1))
        verdict = kDropped;
    entry.last = sequence;
    entry.socket = socket;
    entry.drops = drops;
    m_outOfSequence += verdict == kOutOfSequence ? 1 : 0;
    m_dropped += verdict == kDropped ? jump - 1 : 0;
    return verdict;
}
}  // namespace standin
