#include "foundation/date.h"

#include "foundation/decimal.h"

#include <boost/date_time/gregorian/gregorian_types.hpp>
#include <boost/filesystem/operations.hpp>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <limits>

namespace {

const char* const kMonthNames[] = {
    "Don't care", "January", "February", "March",    "April",    "May",      "June",
    "July",       "August",  "September", "October", "November", "December", "Unknown",
};

const char* const kWeekdayNames[] = {
    "Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday",
};

constexpr int64_t kMillisecondsPerDay = 86400000;
constexpr uint64_t kMaxU32 = std::numeric_limits<uint32_t>::max();

// The day number of 1970-01-01.
int32_t EpochDayNumber()
{
    static const int32_t epoch = int32_t(boost::gregorian::date(1970, 1, 1).day_number());
    return epoch;
}

// "%u" as the date parsers read it: none, a number, or the largest number for one too large.
enum class ERead { kNone, kNumber, kTooLarge };

ERead ReadUnsigned(const char* text, uint32_t& value)
{
    const SDecimal scan = ScanDecimal(text, kMaxU32);
    if (scan.result == EDecimalScan::kOk) {
        value = uint32_t(scan.value);
        return ERead::kNumber;
    }
    if (scan.result == EDecimalScan::kOverflow) {
        value = uint32_t(kMaxU32);
        return ERead::kTooLarge;
    }
    return ERead::kNone;
}

bool FileSeconds(const std::string& path, std::time_t& seconds)
{
    try {
        boost::system::error_code error;
        const auto status = boost::filesystem::status(path, error);
        if (error || !boost::filesystem::exists(status))
            return false;
        seconds = boost::filesystem::last_write_time(path, error);
        return !error;
    } catch (const boost::filesystem::filesystem_error&) {
        return false;
    }
}

}  // namespace

CDate::CDate(uint32_t year, uint32_t month, uint32_t day)
    : m_year(year), m_month(std::min(month, 12u)), m_day(uint8_t(std::min(day, 31u)))
{
}

void CDate::SetFromDayNumber(int32_t dayNumber)
{
    *this = CDate();
    if (dayNumber == kNotADayNumber)
        return;
    try {
        const boost::gregorian::date date{boost::gregorian::date::date_int_type(dayNumber)};
        if (date.is_special())
            return;
        const auto ymd = date.year_month_day();
        m_year = uint32_t(ymd.year);
        m_month = uint32_t(ymd.month);
        m_day = uint8_t(ymd.day);
    } catch (const std::exception&) {
        *this = CDate();
    }
}

CDate CDate::FromDayNumber(int32_t dayNumber)
{
    CDate date;
    date.SetFromDayNumber(dayNumber);
    return date;
}

int32_t CDate::ToDayNumber() const
{
    if (m_year < 1 || m_year > 9999)
        return kNotADayNumber;
    try {
        const boost::gregorian::date date(static_cast<unsigned short>(m_year),
                                          static_cast<unsigned short>(m_month),
                                          static_cast<unsigned short>(m_day));
        return int32_t(date.day_number());
    } catch (const std::exception&) {
        return kNotADayNumber;
    }
}

int64_t CDate::ToMilliseconds() const
{
    const int32_t dayNumber = ToDayNumber();
    if (dayNumber == kNotADayNumber)
        return 0;
    return int64_t(dayNumber - EpochDayNumber()) * kMillisecondsPerDay;
}

void CDate::SetFromUnixSeconds(int64_t seconds)
{
    int64_t days = seconds / 86400;
    if (seconds % 86400 < 0)
        --days;
    *this = FromDayNumber(int32_t(days + EpochDayNumber()));
}

void CDate::SetFromFileTime(const std::string& path)
{
    std::time_t seconds = 0;
    if (FileSeconds(path, seconds))
        SetFromUnixSeconds(int64_t(seconds));
}

void CDate::SetFromFileLocalTime(const std::string& path)
{
    std::time_t seconds = 0;
    if (!FileSeconds(path, seconds))
        return;
    std::tm local{};
    if (localtime_r(&seconds, &local) == nullptr)
        return;
    m_year = uint32_t(local.tm_year + 1900);
    m_month = uint32_t(local.tm_mon + 1);
    m_day = uint8_t(local.tm_mday);
    m_weekday = kUnknownWeekday;
}

uint32_t CDate::GetDayCount() const
{
    const uint32_t years = m_year >= 2007 ? (m_year - kAnyYear) * 365u : 0u;
    return years + m_month * 30u + m_day;
}

bool CDate::Matches(const CDate& date) const
{
    return (m_year == kAnyYear || m_year == date.m_year) &&
           (m_month == kAnyMonth || m_month == date.m_month) &&
           (m_day == kAnyDay || m_day == date.m_day);
}

bool CDate::operator==(const CDate& other) const
{
    return m_year == other.m_year && m_month == other.m_month && m_day == other.m_day;
}

bool CDate::operator<=(const CDate& other) const
{
    return m_year <= other.m_year && m_month <= other.m_month && m_day <= other.m_day;
}

bool CDate::IsLeapYear() const
{
    return (m_year % 4 == 0 && m_year % 100 != 0) || m_year % 400 == 0;
}

bool CDate::IsValid() const
{
    if (m_month > 12)
        return false;
    if (m_month == 0)
        return true;
    uint32_t length = 31;
    if (m_month == 4 || m_month == 6 || m_month == 9 || m_month == 11)
        length = 30;
    else if (m_month == 2)
        length = IsLeapYear() ? 29 : 28;
    return m_day <= length;
}

int32_t CDate::GetWeekday() const
{
    if (m_weekday >= 0 && m_weekday < 7)
        return m_weekday;
    return ComputeWeekday();
}

int32_t CDate::ComputeWeekday() const
{
    // Noon, with the zone deciding on daylight saving: where the clocks jump at midnight, a
    // midnight that does not exist could be moved into the day before.
    m_weekday = kUnknownWeekday;
    if (m_year > 100000)
        return m_weekday;
    std::tm local{};
    local.tm_year = int(m_year) - 1900;
    local.tm_mon = int(m_month) - 1;
    local.tm_mday = m_day;
    local.tm_hour = 12;
    local.tm_isdst = -1;
    local.tm_wday = -1;  // mktime fills it only when it can place the date
    std::mktime(&local);
    if (local.tm_wday >= 0 && local.tm_wday < 7)
        m_weekday = local.tm_wday;
    return m_weekday;
}

char* CDate::ToWeekdayName(char* buffer, size_t size) const
{
    if (size == 0)
        return buffer;
    const char* name = WeekdayName(GetWeekday());
    const size_t length = std::min(std::strlen(name), size - 1);
    std::memcpy(buffer, name, length);
    buffer[length] = '\0';
    return buffer + length;
}

const char* CDate::MonthName(uint32_t index)
{
    return index < 14 ? kMonthNames[index] : "";
}

const char* CDate::WeekdayName(int32_t index)
{
    return index >= 0 && index < 7 ? kWeekdayNames[index] : "";
}

uint32_t CDate::MonthFromName(const std::string& name)
{
    for (uint32_t i = 0; i <= 12; ++i) {
        const char* month = kMonthNames[i];
        if (std::strlen(month) != name.size())
            continue;
        bool same = true;
        for (size_t k = 0; k < name.size() && same; ++k) {
            const auto upper = [](char c) { return c >= 'a' && c <= 'z' ? char(c - 32) : c; };
            same = upper(month[k]) == upper(name[k]);
        }
        if (same)
            return i;
    }
    return 13;
}

std::string CDate::ToString() const
{
    char buffer[48];
    char* p = buffer;
    const char* end = buffer + sizeof(buffer);
    if (m_year == kAnyYear)
        p += std::snprintf(p, size_t(end - p), "XXXX-");
    else
        p += std::snprintf(p, size_t(end - p), "%04u-", m_year);
    if (m_month == kAnyMonth)
        p += std::snprintf(p, size_t(end - p), "XX-");
    else
        p += std::snprintf(p, size_t(end - p), "%02u-", m_month);
    if (m_day == kAnyDay)
        std::snprintf(p, size_t(end - p), "XX");
    else
        std::snprintf(p, size_t(end - p), "%02u", unsigned(m_day));
    return buffer;
}

std::string CDate::ToCompactString() const
{
    char buffer[48];
    std::snprintf(buffer, sizeof(buffer), "%04u%02u%02u", m_year, m_month, unsigned(m_day));
    return buffer;
}

void CDate::Parse(const std::string& text)
{
    // A part without a '-' of its own stands for the parts after it too.
    const char* first = text.c_str();
    const char* dash = std::strchr(first, '-');
    const char* second = dash ? dash + 1 : first;
    const char* dash2 = std::strchr(second, '-');
    const char* third = dash2 ? dash2 + 1 : second;

    uint32_t value = 0;
    uint32_t year = kAnyYear;
    if (ReadUnsigned(first, value) != ERead::kNone)
        year = std::clamp(value, kAnyYear, kLastYear);
    uint32_t month = kAnyMonth;
    if (ReadUnsigned(second, value) != ERead::kNone)
        month = std::min(value, 12u);
    uint32_t day = kAnyDay;
    if (ReadUnsigned(third, value) != ERead::kNone)
        day = std::min(value, 31u);
    if (year != m_year || month != m_month || day != m_day)
        m_weekday = kUnknownWeekday;
    m_year = year;
    m_month = month;
    m_day = uint8_t(day);
}

void CDate::ParseCString(const char* text)
{
    m_year = kAnyYear;
    m_month = kAnyMonth;
    m_day = kAnyDay;
    m_weekday = kUnknownWeekday;
    if (text == nullptr)
        return;
    uint32_t value = 0;
    if (ReadUnsigned(text, value) != ERead::kNone)
        m_year = value;
    const char* p = SkipPastDash(text);
    if (ReadUnsigned(p, value) != ERead::kNone)
        m_month = value;
    p = SkipPastDash(p);
    if (ReadUnsigned(p, value) != ERead::kNone && value <= 31)
        m_day = uint8_t(value);
}

void CDate::ParseCompact(const std::string& text)
{
    uint32_t value = 0;
    if (text.size() >= 4 && ReadUnsigned(text.substr(0, 4).c_str(), value) != ERead::kNone)
        m_year = value;
    if (text.size() >= 6 && ReadUnsigned(text.substr(4, 2).c_str(), value) != ERead::kNone)
        m_month = std::min(value, 12u);
    if (text.size() >= 8 && ReadUnsigned(text.substr(6, 2).c_str(), value) != ERead::kNone)
        m_day = uint8_t(value);
    m_weekday = kUnknownWeekday;
}

void CDate::SetYear(uint32_t year)
{
    const int32_t signedYear = int32_t(year);
    m_year = uint32_t(std::clamp(signedYear, int32_t(kAnyYear), int32_t(kLastYear)));
    m_weekday = kUnknownWeekday;
}

void CDate::SetMonth(uint32_t month)
{
    m_month = month;
    m_weekday = kUnknownWeekday;
}

void CDate::SetDay(uint32_t day)
{
    m_day = uint8_t(day);
    m_weekday = kUnknownWeekday;
}

const char* CDate::SkipPastDash(const char* text)
{
    const char* dash = std::strchr(text, '-');
    return dash ? dash + 1 : text + std::strlen(text);
}

void CDateAndTime::SetDate(const CDate& date)
{
    m_date = date;
}

void CDateAndTime::SetTime(const CTime& time)
{
    m_time = time;
}

std::string CDateAndTime::ToString() const
{
    return m_date.ToString() + " " + m_time.ToClockString(true, true, false);
}

void CDateAndTime::Parse(const char* text)
{
    if (text == nullptr)
        return;
    m_date.ParseCString(text);
    m_time.ParseCString(SkipToTime(text));
}

bool CDateAndTime::Matches(const CDateAndTime& other) const
{
    return m_date.Matches(other.m_date) && m_time.Matches(other.m_time);
}

const char* CDateAndTime::SkipToTime(const char* text)
{
    const char* blank = std::strchr(text, ' ');
    return blank ? blank + 1 : text + std::strlen(text);
}
