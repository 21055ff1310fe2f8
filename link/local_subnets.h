#pragma once

#include "foundation/ip_address.h"
#include "shell/sdl_mutex.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

class CInterfaceWatch;
class CLinkClock;

// The subnets of this machine's interfaces, whose broadcasts are never one unit's address, as
// they are at the moment asked: interfaces come and go and change their netmasks while the
// program runs. Refresh reads them again when the system has reported a change since the last
// look, and whenever asked to. Reading them may take long (a second and more beside thousands of
// addresses that change fast), so a thread that draws frames never does once they are made (they
// read them first as they are made): it asks IsReadDue and has a thread that may wait read them. Any thread: under a lock of its own, never held with
// another, and never while the interfaces are read.
class CLocalSubnets
{
public:
    // However many changes the system reports, the interfaces are read again at most once in this
    // long (a first change after a quiet while is read at once): the look comes before every
    // record and unit packet sent, and a flood of reports must not cost the link its pace.
    static constexpr uint32_t kLeastMillisecondsBetweenReads = 250;
    // The most reports taken from the watch in that long, whoever sends them: a report costs one
    // receive, and nothing is kept of it. More wait for the next pace, and count as a change.
    static constexpr int kMostReportsPerPace = 64;

    // Handed in: these stand for the machine's interfaces for good. Unset: the machine's own,
    // watched. The clock paces the reads.
    CLocalSubnets(std::optional<std::vector<CInterfaceAddress>> fixed, CLinkClock& clock);
    ~CLocalSubnets();
    CLocalSubnets(const CLocalSubnets&) = delete;
    CLocalSubnets& operator=(const CLocalSubnets&) = delete;

    // Reads the interfaces again when the system reported a change since the last look (at the
    // pace above), or always.
    void Refresh(bool always = false);
    // Takes the reports waiting as Refresh does, without reading: whether Refresh would read now.
    bool IsReadDue();
    // Whether a unit can have the address (IsUsableUnitAddress) by the interfaces last read.
    bool IsUnitAddress(const CIpAddress& unit, const CIpAddress& sender) const;

private:
    // Under the lock: takes the reports waiting, at the pace; whether a read is due.
    bool TakeReports(bool always, uint32_t now);

    CLinkClock& m_clock;
    mutable CSdlMutex m_mutex;
    std::vector<CInterfaceAddress> m_interfaces;
    // Null: the interfaces were handed in.
    std::unique_ptr<CInterfaceWatch> m_watch;
    // A change was reported that no read has taken yet.
    bool m_changed = false;
    uint32_t m_lastRead = 0;
    // The reports taken since this pace began.
    uint32_t m_paceBegun = 0;
    int m_takenInPace = 0;
    // Reads begun, and the one whose interfaces are held: a read that ends after a later one does
    // not replace what that one found.
    uint64_t m_readsBegun = 0;
    uint64_t m_readHeld = 0;
};
