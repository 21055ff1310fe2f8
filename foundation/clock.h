#pragma once

#include "foundation/date.h"

#include <cstdint>
#include <mutex>

// The local wall clock. The main thread sets the program's clock as frames begin and end, while
// the log and the device thread read it: every write and the reading operations below take the
// clock's lock, so a reader never sees half of a date or time. Other threads read only through
// Snapshot, GetDate, GetTime or GetMillisecondsSince.
class CClock : public CDateAndTime
{
public:
    CClock() = default;
    CClock(const CClock& other);
    CClock& operator=(const CClock& other);
    ~CClock() override = default;

    // Store only what differs, so an unchanged date keeps its worked-out weekday.
    void SetDate(const CDate& date) override;
    void SetTime(const CTime& time) override;
    // Both at once, so that no reader sees the new date with the old time.
    void SetDateAndTime(const CDate& date, const CTime& time);
    // Reads the local time to the microsecond (kept to the millisecond).
    void SetNow();

    // A consistent copy of date and time, for other threads.
    CDateAndTime Snapshot() const;
    CDate GetDate() const;
    CTime GetTime() const;

    // Milliseconds from an earlier instant to this one, across midnight; 0 when the other is
    // later, at most 4294967295. The signs of the times are ignored.
    uint32_t GetMillisecondsSince(const CDateAndTime& earlier) const;

private:
    void StoreDate(const CDate& date);
    void StoreTime(const CTime& time);

    mutable std::mutex m_mutex;
    // SetNow's last second since 1970 and its local date and time of day.
    int64_t m_localSecond = INT64_MIN;
    CDate m_localDate;
    uint32_t m_localSecondOfDay = 0;
};
