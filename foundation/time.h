#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace boost { namespace posix_time { class ptime; } }

// A time of day or a signed duration: the magnitude in four unsigned fields, the sign on its own.
// Hours 24, minutes 60 and seconds 60 are wildcards ("any"), printed as "XX" and honoured by
// Matches. Text and wire forms carry hundredths of a second.
class CTime
{
public:
    static constexpr uint32_t kAnyHour = 24;
    static constexpr uint32_t kAnyMinute = 60;
    static constexpr uint32_t kAnySecond = 60;
    // Enough for every FormatClock text, whatever the hours.
    static constexpr size_t kClockBufferSize = 24;

    CTime() = default;
    CTime(uint32_t hours, uint32_t minutes, uint32_t seconds)
        : m_hours(hours), m_minutes(minutes), m_seconds(seconds) {}
    explicit CTime(double seconds) { SetSeconds(seconds); }
    explicit CTime(const std::string& text) { Parse(text); }

    // The most the 4-byte millisecond field of the wire holds: 1193 h 2 min 47.295 s.
    static constexpr uint64_t kMaxWireMilliseconds = 0xFFFFFFFFu;

    // Why a typed duration is not taken (kTime: it is). kNoNumber: a unit without a number before
    // it ("h", "h30m"); kTooLong: more than kMaxWireMilliseconds.
    enum class EEntry { kTime, kNoTime, kNegative, kMinutesOver59, kSecondsOver59, kNoNumber, kTooLong };

    // What an operator types or a file holds: "90s", "75m", "1h30m", "1m30s", "1h00m30s",
    // "1:02:03.45", "2:03.5" (a fraction is decimal: 3.5 s), "1.5", "1,5", ".25", "90", "2.5 s",
    // the machine text with its wildcards ("XX-30-00-00"), each optionally after a '-' that makes
    // the value negative. Numbers are decimal. Returns false, value unchanged, for text that
    // reads as none of them.
    bool Parse(const std::string& text) { return ParseCString(text.c_str()); }
    bool ParseCString(const char* text);
    // What an operator types into a duration field: the same forms, but only when all of the text
    // (blanks around it aside) reads as one of them, so "1m 30s" or "2 min" is no time rather
    // than 1 s or 2 s; and only a duration the controller can hold: no sign, no wildcard, a
    // number before the first unit, minutes and seconds after a colon up to 59, and at most
    // kMaxWireMilliseconds. The value changes only when the result is kTime.
    EEntry ParseEntry(const std::string& text);
    // Reads the machine text of ToString ("01-02-03-45", "-00-01-30-00", "XX-30-00-00").
    bool ParseFields(const std::string& text);

    // "hh-mm-ss-cc" with a leading '-' when negative, wildcards as "XX".
    std::string ToString() const;
    // "hh:mm:ss.cc" with the parts asked for; a leading '-' when negative.
    std::string ToClockString(bool showHours = true, bool showSeconds = true,
                              bool showHundredths = false) const;
    // The compact text of a duration, without its sign: "0s", "2h", "1h05m", "5m", "1m30s",
    // "2.5s", "0.05s", "1h00m30s", or the machine text for what those cannot show.
    std::string ToShortString() const;
    // "hh:mm:ss" (and ".cc") into buffer, never a sign; returns the terminating NUL.
    char* FormatClock(char* buffer, size_t size, bool showHundredths) const;
    // 12-hour form: " 1:05 PM".
    std::string ToClockString12(bool showHours = true, bool showSeconds = true,
                                bool showHundredths = false) const;
    bool IsPM() const { return m_hours > 11; }

    // Signed seconds.
    double GetSeconds() const;
    // Any double is accepted: infinities and NaN give zero, huge values saturate the hours.
    void SetSeconds(double seconds);
    // The magnitude in milliseconds (the sign is ignored).
    uint64_t GetMilliseconds() const;
    // The same as the wire carries it: a longer time gives kMaxWireMilliseconds, never a wrapped
    // count.
    uint32_t GetWireMilliseconds() const;
    uint32_t GetWholeSeconds() const { return m_hours * 3600 + m_minutes * 60 + m_seconds; }
    // Sets the magnitude from a millisecond count, truncated to hundredths; keeps the sign.
    void SetMilliseconds(uint32_t milliseconds);
    // The same from a 4-byte little-endian millisecond field of a link frame.
    void ReadWire(const void* field);
    int64_t DifferenceMilliseconds(const CTime& other) const;
    int64_t DifferenceSeconds(const CTime& other) const;
    void SetFromLocalTime(const boost::posix_time::ptime& localTime);
    // The time of day of the file's last change; unchanged when the file cannot be examined.
    void SetFromFileTime(const std::string& path);

    CTime& operator+=(const CTime& other);
    CTime& operator-=(const CTime& other);
    CTime& operator*=(double factor);
    CTime& operator/=(const CTime& other);
    CTime operator+(const CTime& other) const;
    CTime operator-(const CTime& other) const;
    CTime operator*(const CTime& other) const;

    bool operator==(const CTime& other) const;
    bool operator!=(const CTime& other) const { return !(*this == other); }
    bool operator<(const CTime& other) const { return GetSeconds() < other.GetSeconds(); }
    bool operator>(const CTime& other) const { return GetSeconds() > other.GetSeconds(); }
    bool operator<=(const CTime& other) const { return GetSeconds() <= other.GetSeconds(); }
    bool operator>=(const CTime& other) const { return GetSeconds() >= other.GetSeconds(); }
    bool IsBefore(double seconds) const { return *this < CTime(seconds); }
    // This is the pattern: its wildcard hours, minutes or seconds match anything.
    bool Matches(const CTime& other) const;
    bool EqualsHms(const CTime& other) const;

    uint32_t GetHours() const { return m_hours; }
    uint32_t GetMinutes() const { return m_minutes; }
    uint32_t GetSecondField() const { return m_seconds; }
    uint32_t GetMillisecondField() const { return m_milliseconds; }
    uint32_t GetHundredths() const { return m_milliseconds / 10u; }
    bool IsPositive() const { return m_positive != 0; }
    void SetPositive(bool positive) { m_positive = positive ? 1 : 0; }
    void SetHours(uint32_t hours) { m_hours = hours; }
    void SetMinutes(uint32_t minutes) { m_minutes = minutes; }
    void SetSecondField(uint32_t seconds) { m_seconds = seconds; }
    void SetHundredths(uint32_t hundredths) { m_milliseconds = uint16_t(hundredths * 10u); }
    void SetMillisecondField(uint32_t milliseconds);

    // The steppers of the duration dialog: they stop at the ends of the field's range.
    uint32_t IncrementMinutes();
    uint32_t IncrementSeconds();
    uint32_t DecrementMinutes();
    uint32_t DecrementSeconds();
    void IncrementHundredths();
    void DecrementHundredths();
    bool CanIncrementMinutes() const { return m_minutes < 59; }
    bool CanIncrementSeconds() const { return m_seconds < 59; }
    bool CanIncrementHundredths() const { return m_milliseconds < 990; }
    bool CanDecrementMinutes() const { return m_minutes != 0; }
    bool CanDecrementSeconds() const { return m_seconds != 0; }
    bool CanDecrementHundredths() const { return m_milliseconds != 0; }

private:
    EEntry ParseText(const char* text, bool entry);

    uint32_t m_hours = 0;
    uint32_t m_minutes = 0;
    uint32_t m_seconds = 0;
    uint16_t m_milliseconds = 0;
    uint8_t m_positive = 1;
};
