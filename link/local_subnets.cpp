#include "link/local_subnets.h"

#include "link/discovery.h"
#include "link/link_clock.h"
#include "shell/interface_watch.h"
#include "shell/platform.h"

#include <utility>

CLocalSubnets::CLocalSubnets(std::optional<std::vector<CInterfaceAddress>> fixed, CLinkClock& clock)
    : m_clock(clock)
{
    if (fixed)
    {
        m_interfaces = std::move(*fixed);
        return;
    }
    // Watched before the first look, so that no change falls between the two.
    m_watch = std::make_unique<CInterfaceWatch>();
    m_interfaces = ReadLocalInterfaces();
    m_lastRead = m_clock.GetMilliseconds();
}

CLocalSubnets::~CLocalSubnets() = default;

void CLocalSubnets::Refresh(bool always)
{
    if (!m_watch)
        return;
    const uint32_t now = m_clock.GetMilliseconds();
    uint64_t read;
    {
        CSdlMutexLock lock(m_mutex);
        if (!TakeReports(always, now))
            return;
        m_changed = false;
        m_lastRead = now;
        read = ++m_readsBegun;
    }
    std::vector<CInterfaceAddress> interfaces = ReadLocalInterfaces();
    CSdlMutexLock lock(m_mutex);
    if (read < m_readHeld)
        return;
    m_interfaces = std::move(interfaces);
    m_readHeld = read;
}

bool CLocalSubnets::IsReadDue()
{
    if (!m_watch)
        return false;
    const uint32_t now = m_clock.GetMilliseconds();
    CSdlMutexLock lock(m_mutex);
    return TakeReports(false, now);
}

bool CLocalSubnets::TakeReports(bool always, uint32_t now)
{
    const bool readDue = always || HasElapsed(now, m_lastRead, kLeastMillisecondsBetweenReads);
    // The reports are taken before a read, so that it is not made again for them, and left
    // alone between reads while a change already waits for one; at most a bounded number in
    // each pace, whatever is due, so that reports that come faster (a flood, forged or not)
    // cost that many receives a pace, never a look before every frame. A kernel's report may
    // wait behind those left, or be lost to a full socket, which the system tells only once:
    // a pace's reports used up count as a change, so that the interfaces are read at the pace
    // while the flood lasts.
    if (HasElapsed(now, m_paceBegun, kLeastMillisecondsBetweenReads))
    {
        m_paceBegun = now;
        m_takenInPace = 0;
    }
    if (m_takenInPace < kMostReportsPerPace && (readDue || !m_changed))
    {
        int taken = 0;
        if (m_watch->HasChanged(kMostReportsPerPace - m_takenInPace, taken))
            m_changed = true;
        m_takenInPace += taken;
        if (m_takenInPace == kMostReportsPerPace)
            m_changed = true;
    }
    return always || (m_changed && readDue);
}

bool CLocalSubnets::IsUnitAddress(const CIpAddress& unit, const CIpAddress& sender) const
{
    CSdlMutexLock lock(m_mutex);
    return IsUsableUnitAddress(unit, sender, m_interfaces);
}
