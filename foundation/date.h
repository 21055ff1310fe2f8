#pragma once

#include "foundation/time.h"

#include <cstddef>
#include <cstdint>
#include <string>

// A calendar date whose year (2006), month (0) and day (0) may each mean "any", with its weekday
// worked out on first use and kept until the date changes.
class CDate
{
public:
    static constexpr uint32_t kAnyYear = 2006;
    static constexpr uint32_t kAnyMonth = 0;
    static constexpr uint32_t kAnyDay = 0;
    static constexpr uint32_t kLastYear = 2037;  // the last year text entry accepts
    static constexpr int32_t kUnknownWeekday = 255;
    static constexpr int32_t kNotADayNumber = -2;

    CDate() = default;  // 2007-01-01
    // Month limited to 12 and day to 31; the year as given.
    CDate(uint32_t year, uint32_t month, uint32_t day);

    // Day numbers are the calendar library's (Julian day numbers, 2015-06-30 is 2457204).
    void SetFromDayNumber(int32_t dayNumber);
    static CDate FromDayNumber(int32_t dayNumber);
    // kNotADayNumber for a wildcard or a date the calendar does not have.
    int32_t ToDayNumber() const;
    // Milliseconds from 1970-01-01 00:00 to 00:00 of this date, no zone; 0 for a date the
    // calendar does not have.
    int64_t ToMilliseconds() const;
    // The date of the file's last change, as seconds since 1970-01-01 00:00 without a zone;
    // unchanged when the file cannot be examined.
    void SetFromFileTime(const std::string& path);
    // The same in the local time zone, to compare with a local "today".
    void SetFromFileLocalTime(const std::string& path);

    // An ordering number: every year counts 365 days and every month 30.
    uint32_t GetDayCount() const;
    // This is the pattern: its wildcard fields match anything.
    bool Matches(const CDate& date) const;
    bool operator==(const CDate& other) const;
    bool operator!=(const CDate& other) const { return !(*this == other); }
    // Field by field, not a calendar order.
    bool operator<=(const CDate& other) const;
    // Month 0..12 and a day that the month has (day 0 passes).
    bool IsValid() const;
    bool IsLeapYear() const;

    // 0 = Sunday .. 6 = Saturday (kUnknownWeekday if the calendar cannot place the date).
    int32_t GetWeekday() const;
    int32_t ComputeWeekday() const;
    // Copies the weekday's name into buffer; returns the terminating NUL.
    char* ToWeekdayName(char* buffer, size_t size) const;
    // 0 "Don't care", 1 "January" .. 12 "December", 13 "Unknown", then "".
    static const char* MonthName(uint32_t index);
    // 0 "Sunday" .. 6 "Saturday", "" outside.
    static const char* WeekdayName(int32_t index);
    // The index 0..12 of a month name in any letter case; 13 when none matches.
    static uint32_t MonthFromName(const std::string& name);

    // "2015-06-30", wildcards as "XXXX", "XX".
    std::string ToString() const;
    // "20150630" (log file names).
    std::string ToCompactString() const;
    // Reads "YYYY-MM-DD": year clamped to 2006..2037, month to 12, day to 31; a part without a
    // number is the wildcard.
    void Parse(const std::string& text);
    // Reads "YYYY-MM-DD" from the start of a longer text; missing parts are wildcards, a day
    // above 31 is ignored.
    void ParseCString(const char* text);
    // Reads "YYYYMMDD"; a part the text is too short for stays as it was.
    void ParseCompact(const std::string& text);

    uint32_t GetYear() const { return m_year; }
    uint32_t GetMonth() const { return m_month; }
    uint32_t GetDay() const { return m_day; }
    void SetYear(uint32_t year);  // clamped to 2006..2037
    void SetMonth(uint32_t month);
    void SetDay(uint32_t day);

    // Just past the first '-', or the terminating NUL.
    static const char* SkipPastDash(const char* text);

private:
    void SetFromUnixSeconds(int64_t seconds);

    uint32_t m_year = 2007;
    uint32_t m_month = 1;
    uint8_t m_day = 1;
    mutable int32_t m_weekday = kUnknownWeekday;
};

// A date and a time of day; the clock overrides the two setters.
class CDateAndTime
{
public:
    CDateAndTime() = default;
    CDateAndTime(const CDate& date, const CTime& time) : m_date(date), m_time(time) {}
    CDateAndTime(const CDateAndTime&) = default;
    CDateAndTime& operator=(const CDateAndTime&) = default;
    virtual ~CDateAndTime() = default;

    CDate GetDate() const { return m_date; }
    CTime GetTime() const { return m_time; }
    virtual void SetDate(const CDate& date);
    virtual void SetTime(const CTime& time);

    // "2015-06-30 14:05:09".
    std::string ToString() const;
    // The date from the start of the text, the time from after its first blank.
    void Parse(const char* text);
    void Parse(const std::string& text) { Parse(text.c_str()); }
    // This is the pattern: wildcard date fields, then wildcard time fields.
    bool Matches(const CDateAndTime& other) const;

    // Just past the first blank, or the terminating NUL.
    static const char* SkipToTime(const char* text);

protected:
    CDate m_date;
    CTime m_time;
};
