#include "shell/frame_timer.h"

#include "foundation/clock.h"
#include "shell/app.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <limits>

namespace
{
// Milliseconds from an earlier stamp to a later one; a clock that went back counts as no time.
uint32_t MillisecondsSince(uint64_t later, uint64_t earlier)
{
    if (later < earlier)
        return 0;
    return static_cast<uint32_t>(std::min<uint64_t>(later - earlier, std::numeric_limits<uint32_t>::max()));
}

int32_t ClampToInt32(int64_t value)
{
    return static_cast<int32_t>(std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}
}

uint64_t CProgramFrameClock::Stamp()
{
    CClock* clock = CApp::GetClock();
    if (!clock)
        return SDL_GetTicks64();
    clock->SetNow();
    const CDateAndTime now = clock->Snapshot();
    return static_cast<uint64_t>(now.GetDate().ToMilliseconds()) + now.GetTime().GetMilliseconds();
}

void CProgramFrameClock::Sleep(uint32_t milliseconds)
{
    SDL_Delay(milliseconds);
}

CFrameTimer::CFrameTimer(float framesPerSecond, CFrameClock& clock)
    : m_clock(clock), m_period(1000.0f / framesPerSecond)
{
}

void CFrameTimer::BeginFrame()
{
    m_frameStart = m_clock.Stamp();
    // Only a frame that slept has something left to settle: what it overslept (or failed to
    // sleep). A frame that did not sleep has already booked its overrun or its repayment in
    // EndFrame, so the lag stays as it is.
    if (m_plannedSleep > 0)
    {
        const int64_t slept = MillisecondsSince(m_frameStart, m_frameEnd);
        m_lag = ClampToInt32(int64_t(m_lag) + slept - m_plannedSleep);
    }
}

void CFrameTimer::EndFrame()
{
    m_frameEnd = m_clock.Stamp();
    const uint32_t work = MillisecondsSince(m_frameEnd, m_frameStart);
    const int64_t remaining = static_cast<int64_t>(std::trunc(double(m_period) - double(work)));

    if (remaining <= 0)
    {
        // Overrun: the time beyond the period is owed.
        m_lag = ClampToInt32(int64_t(m_lag) - remaining);
        m_plannedSleep = ClampToInt32(remaining);
    }
    else if (m_lag > remaining)
    {
        // Pay back part of the lag by not sleeping at all.
        m_lag = ClampToInt32(int64_t(m_lag) - remaining);
        m_plannedSleep = 0;
    }
    else
    {
        const int64_t sleep = remaining - m_lag;
        m_lag = 0;
        m_plannedSleep = ClampToInt32(sleep);
        if (sleep == 0)
            return;
        m_clock.Sleep(static_cast<uint32_t>(std::min<int64_t>(sleep, kMaxSleep)));
    }

    // So far behind that catching up is pointless: start afresh.
    if (m_lag > kMaxLag)
        m_lag = 0;
}
