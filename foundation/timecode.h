#pragma once

#include "foundation/time.h"

#include <cstdint>
#include <string>

// A timecode position hh:mm:ss:ff with its frame-rate code (0: 24 frames per second, 1: 25,
// anything else: 30). Hours 24 and minutes or seconds 60 are wildcards, printed "XX".
class CTimecode
{
public:
    static constexpr uint32_t kRate24 = 0;
    static constexpr uint32_t kRate25 = 1;
    static constexpr uint32_t kRate30 = 3;
    static constexpr uint8_t kAnyHour = 24;
    static constexpr uint8_t kAnyMinute = 60;
    static constexpr uint8_t kAnySecond = 60;

    CTimecode() = default;
    explicit CTimecode(const std::string& text) { Parse(text); }
    // At 30 frames per second; the hundredths pick the frame.
    explicit CTimecode(const CTime& time);

    static uint32_t FramesPerSecond(uint32_t rate);

    // "h:m:s:f" with one or two digits each (hours 0..23, minutes and seconds 0..59, frames 0..29)
    // separated by ':', '.' or '-'. False, value unchanged, for any other text. The rate stays.
    bool Parse(const std::string& text);
    // "01:02:03:04".
    std::string ToString() const;

    // Carries and borrows at this value's frame rate, 60 and 24.
    CTimecode& operator+=(const CTimecode& other);
    CTimecode& operator-=(const CTimecode& other);

    // Equality includes the rate; the ordering looks at the position only.
    bool operator==(const CTimecode& other) const;
    bool operator!=(const CTimecode& other) const { return !(*this == other); }
    bool operator<(const CTimecode& other) const;
    bool operator>(const CTimecode& other) const { return other < *this; }
    bool operator<=(const CTimecode& other) const { return !(other < *this); }
    bool operator>=(const CTimecode& other) const { return !(*this < other); }

    // Frames past the last one of the rate count as the last one.
    CTime ToTime() const;

    uint32_t GetFrameRate() const { return m_rate; }
    void SetFrameRate(uint32_t rate) { m_rate = rate; }
    uint8_t GetHours() const { return m_hours; }
    uint8_t GetMinutes() const { return m_minutes; }
    uint8_t GetSeconds() const { return m_seconds; }
    uint8_t GetFrames() const { return m_frames; }
    void SetHours(uint8_t hours) { m_hours = hours; }
    void SetMinutes(uint8_t minutes) { m_minutes = minutes; }
    void SetSeconds(uint8_t seconds) { m_seconds = seconds; }
    // Only frames below 30 are stored, whatever the rate.
    void SetFrames(uint8_t frames);

    // The steppers stop at the ends of each field's range and return the field afterwards.
    uint8_t IncrementHours();
    uint8_t IncrementMinutes();
    uint8_t IncrementSeconds();
    uint8_t IncrementFrames();
    uint8_t DecrementHours();
    uint8_t DecrementMinutes();
    uint8_t DecrementSeconds();
    uint8_t DecrementFrames();
    bool CanIncrementMinutes() const { return m_minutes < 59; }
    bool CanIncrementSeconds() const { return m_seconds < 59; }
    bool CanIncrementFrames() const { return m_frames < 29; }
    bool CanDecrementMinutes() const { return m_minutes != 0; }
    bool CanDecrementSeconds() const { return m_seconds != 0; }
    bool CanDecrementFrames() const { return m_frames != 0; }

private:
    uint8_t m_hours = 0;
    uint8_t m_minutes = 0;
    uint8_t m_seconds = 0;
    uint8_t m_frames = 0;
    uint32_t m_rate = kRate30;
};
