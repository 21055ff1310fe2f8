#include "foundation/clock.h"

#include <boost/date_time/c_time.hpp>
#include <boost/date_time/gregorian/gregorian_types.hpp>

#include <sys/time.h>

#include <ctime>
#include <limits>

CClock::CClock(const CClock& other) : CDateAndTime()
{
    std::lock_guard<std::mutex> lock(other.m_mutex);
    m_date = other.m_date;
    m_time = other.m_time;
}

CClock& CClock::operator=(const CClock& other)
{
    if (this != &other) {
        std::scoped_lock lock(m_mutex, other.m_mutex);
        m_date = other.m_date;
        m_time = other.m_time;
    }
    return *this;
}

void CClock::StoreDate(const CDate& date)
{
    if (m_date != date)
        m_date = date;
}

void CClock::StoreTime(const CTime& time)
{
    if (m_time != time)
        m_time = time;
}

void CClock::SetDate(const CDate& date)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    StoreDate(date);
}

void CClock::SetTime(const CTime& time)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    StoreTime(time);
}

void CClock::SetDateAndTime(const CDate& date, const CTime& time)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    StoreDate(date);
    StoreTime(time);
}

void CClock::SetNow()
{
    // The reading of the microsecond clock's local time (gettimeofday, then localtime_r), with the
    // date and the time of day worked out only when the second changes: a frame sets the clock
    // twice, 25 frames a second, and within a second only the milliseconds move.
    timeval now{};
    gettimeofday(&now, nullptr);
    std::lock_guard<std::mutex> lock(m_mutex);
    if (now.tv_sec != m_localSecond)
    {
        const std::time_t seconds = now.tv_sec;
        std::tm local{};
        boost::date_time::c_time::localtime(&seconds, &local);
        const boost::gregorian::date day(uint16_t(local.tm_year + 1900), uint16_t(local.tm_mon + 1),
                                         uint16_t(local.tm_mday));
        m_localDate = CDate::FromDayNumber(int32_t(day.day_number()));
        m_localSecondOfDay = uint32_t(local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec);
        m_localSecond = now.tv_sec;
    }
    // As a time of day counts them: a leap second (60) runs over into the next minute.
    CTime time(m_localSecondOfDay / 3600, m_localSecondOfDay % 3600 / 60, m_localSecondOfDay % 60);
    time.SetMillisecondField(uint32_t(now.tv_usec / 1000));
    StoreDate(m_localDate);
    StoreTime(time);
}

CDateAndTime CClock::Snapshot() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return CDateAndTime(m_date, m_time);
}

CDate CClock::GetDate() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_date;
}

CTime CClock::GetTime() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_time;
}

uint32_t CClock::GetMillisecondsSince(const CDateAndTime& earlier) const
{
    const CDateAndTime now = Snapshot();
    const CDate thenDate = earlier.GetDate();
    int64_t a = int64_t(now.GetTime().GetMilliseconds());
    int64_t b = int64_t(earlier.GetTime().GetMilliseconds());
    if (now.GetDate() != thenDate) {
        a += now.GetDate().ToMilliseconds();
        b += thenDate.ToMilliseconds();
    }
    if (a < b)
        return 0;
    const int64_t span = a - b;
    constexpr int64_t kMax = std::numeric_limits<uint32_t>::max();
    return uint32_t(span > kMax ? kMax : span);
}
