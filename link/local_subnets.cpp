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
        const bool readDue = always || HasElapsed(now, m_lastRead, kLeastMillisecondsBetweenReads);
        // The reports are taken before a read, so that it is not made again for them. Between
        // reads the socket is left alone while a change already waits for one, and for the pace
        // after a look that ended full: reports that come faster than they are taken (a flood,
        // forged or not) cost a bounded look a few times a second, not one before every frame.
        const bool flooded = m_lookFull && !HasElapsed(now, m_lastFullLook, kLeastMillisecondsBetweenReads);
        if (readDue || (!m_changed && !flooded))
        {
            if (m_watch->HasChanged(m_lookFull))
                m_changed = true;
            if (m_lookFull)
                m_lastFullLook = now;
        }
        if (!always && !(m_changed && readDue))
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

bool CLocalSubnets::IsUnitAddress(const CIpAddress& unit, const CIpAddress& sender) const
{
    CSdlMutexLock lock(m_mutex);
    return IsUsableUnitAddress(unit, sender, m_interfaces);
}
