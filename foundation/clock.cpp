#include "foundation/clock.h"

#include <boost/date_time/posix_time/posix_time_types.hpp>

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
    const boost::posix_time::ptime now = boost::posix_time::microsec_clock::local_time();
    const CDate date = CDate::FromDayNumber(int32_t(now.date().day_number()));
    CTime time;
    time.SetFromLocalTime(now);
    SetDateAndTime(date, time);
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
