#include "link/local_subnets.h"

#include "link/discovery.h"
#include "shell/interface_watch.h"
#include "shell/platform.h"

#include <utility>

CLocalSubnets::CLocalSubnets(std::optional<std::vector<CInterfaceAddress>> fixed)
{
    if (fixed)
    {
        m_interfaces = std::move(*fixed);
        return;
    }
    // Watched before the first look, so that no change falls between the two.
    m_watch = std::make_unique<CInterfaceWatch>();
    m_interfaces = ReadLocalInterfaces();
}

CLocalSubnets::~CLocalSubnets() = default;

void CLocalSubnets::Refresh(bool always)
{
    if (!m_watch)
        return;
    CSdlMutexLock lock(m_mutex);
    // The reports are taken either way, so that a look now is not made again for them.
    if (m_watch->HasChanged() || always)
        m_interfaces = ReadLocalInterfaces();
}

bool CLocalSubnets::IsUnitAddress(const CIpAddress& unit, const CIpAddress& sender) const
{
    CSdlMutexLock lock(m_mutex);
    return IsUsableUnitAddress(unit, sender, m_interfaces);
}
