#pragma once

#include "foundation/time.h"

#include <cstddef>
#include <cstdint>
#include <string>

class CDateAndTime;

// A recurring time: a set of weekdays (bit n for weekday n, Sunday 0) and a time of day whose
// wildcard fields match any hour, minute or second. "Weekdays 07:30:00", "MoWeFr 18:00:00".
class CWeekdayAndTime
{
public:
    static constexpr uint8_t kNever = 0x00;
    static constexpr uint8_t kWeekdays = 0x3E;
    static constexpr uint8_t kWeekend = 0x41;
    static constexpr uint8_t kEveryday = 0x7F;

    CWeekdayAndTime() = default;
    CWeekdayAndTime(const CTime& time, uint8_t mask) : m_time(time), m_days(mask) {}
    // The moment's time of day, on the one weekday of its date (no day when the date has none).
    explicit CWeekdayAndTime(const CDateAndTime& moment);
    CWeekdayAndTime(const CWeekdayAndTime&) = default;
    CWeekdayAndTime& operator=(const CWeekdayAndTime&) = default;
    virtual ~CWeekdayAndTime() = default;

    virtual void SetTime(const CTime& time) { m_time = time; }
    CTime GetTime() const { return m_time; }

    uint8_t GetMask() const { return m_days; }
    void SetMask(uint8_t mask) { m_days = mask; }
    // The mask becomes that one day; a weekday past 7 leaves no day.
    void SetWeekday(uint32_t weekday);
    void SetDay(uint32_t weekday, bool on);
    bool HasDay(uint32_t weekday) const;

    // This is the pattern: some day in common, and this time matches the other's.
    bool Matches(const CWeekdayAndTime& other) const;

    // The days ("Never", "Weekdays", "Weekend", "Everyday", one full day name, or two letters per
    // day from Sunday on), a blank and the time "hh:mm:ss" with "XX" for wildcards.
    std::string ToString() const;
    // The same into buffer, cut to fit; returns the terminating NUL.
    char* Format(char* buffer, size_t size) const;
    // Reads the text form. Keywords and day letters are case-sensitive; what cannot be read
    // leaves no day for it, and a time that reads as nothing leaves the time as it was.
    void Parse(const char* text);
    void Parse(const std::string& text) { Parse(text.c_str()); }

    // Two letters per day, Sunday first: "MoWeFr".
    std::string GetDayLetters() const;
    // "MoWeFr 18:00:00".
    std::string ToDaysAndTimeString() const;
    // " 18:00:00".
    std::string ToTimeOnlyString() const;

private:
    CTime m_time;
    uint8_t m_days = kNever;
};
