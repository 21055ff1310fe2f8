#include "tools/standin/sequence_check.h"

#include <algorithm>

namespace standin
{
bool CSequenceCheck::Take(const SEndpoint& peer, uint16_t sequence, uint16_t& last)
{
    auto found = std::find_if(m_peers.begin(), m_peers.end(), [&](const SPeer& p) { return p.endpoint == peer; });
    if (found == m_peers.end())
    {
        if (m_peers.size() >= kMostPeers)
            m_peers.erase(m_peers.begin());
        m_peers.push_back(SPeer{peer, sequence});
        last = sequence;
        return true;
    }
    // The peer heard from last stays at the back.
    std::rotate(found, found + 1, m_peers.end());
    SPeer& entry = m_peers.back();
    last = entry.last;
    const bool inSequence = sequence == last || sequence == uint16_t(last + 1) || sequence == 0;
    entry.last = sequence;
    m_outOfSequence += inSequence ? 0 : 1;
    return inSequence;
}
}  // namespace standin
