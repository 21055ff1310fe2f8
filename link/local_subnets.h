#pragma once

#include "foundation/ip_address.h"
#include "shell/sdl_mutex.h"

#include <memory>
#include <optional>
#include <vector>

class CInterfaceWatch;

// The subnets of this machine's interfaces, whose broadcasts are never one unit's address, as
// they are at the moment asked: interfaces come and go and change their netmasks while the
// program runs. Refresh reads them again when the system has reported a change since the last
// look, and whenever asked to. Any thread: under a lock of its own, never held with another.
class CLocalSubnets
{
public:
    // Handed in: these stand for the machine's interfaces for good. Unset: the machine's own,
    // watched.
    explicit CLocalSubnets(std::optional<std::vector<CInterfaceAddress>> fixed);
    ~CLocalSubnets();
    CLocalSubnets(const CLocalSubnets&) = delete;
    CLocalSubnets& operator=(const CLocalSubnets&) = delete;

    // Reads the interfaces again when the system reported a change since the last look, or
    // always.
    void Refresh(bool always = false);
    // Whether a unit can have the address (IsUsableUnitAddress) by the interfaces last read.
    bool IsUnitAddress(const CIpAddress& unit, const CIpAddress& sender) const;

private:
    mutable CSdlMutex m_mutex;
    std::vector<CInterfaceAddress> m_interfaces;
    // Null: the interfaces were handed in.
    std::unique_ptr<CInterfaceWatch> m_watch;
};
