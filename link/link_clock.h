#pragma once

#include <cstdint>

// The time the device link's threads go by: milliseconds from an arbitrary start that never go
// back (wrapping after 49 days). Read from several threads at once.
class CLinkClock
{
public:
    virtual ~CLinkClock() = default;
    virtual uint32_t GetMilliseconds() = 0;
    // How long a thread waits in real time for that many of this clock's milliseconds to pass.
    virtual uint32_t ToRealMilliseconds(uint32_t milliseconds) const { return milliseconds; }
};

// SDL's tick count.
class CSdlTickClock : public CLinkClock
{
public:
    uint32_t GetMilliseconds() override;
};

// Whether more than period milliseconds have passed from then to now. A "now" that lies before
// "then" (read on another thread a moment earlier) counts as no time at all.
inline bool HasElapsed(uint32_t now, uint32_t then, uint32_t period)
{
    const uint32_t passed = now - then;
    return passed > period && passed < 0x80000000u;
}

// Milliseconds until HasElapsed(now, then, period) holds: 0 when it does already.
inline uint32_t UntilElapsed(uint32_t now, uint32_t then, uint32_t period)
{
    const uint32_t passed = now - then;
    if (passed >= 0x80000000u)
        return period + 1;
    return passed > period ? 0 : period - passed + 1;
}
