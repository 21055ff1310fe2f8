#include "foundation/timecode.h"

#include <boost/regex.hpp>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

// Frame -> hundredths of a second, rounded to the nearest hundredth.
constexpr uint8_t kHundredths24[24] = {0,  4,  8,  13, 17, 21, 25, 29, 33, 38, 42, 46,
                                       50, 54, 58, 63, 67, 71, 75, 79, 83, 88, 92, 96};
constexpr uint8_t kHundredths30[30] = {0,  3,  7,  10, 13, 17, 20, 23, 27, 30,
                                       33, 37, 40, 43, 47, 50, 53, 57, 60, 63,
                                       67, 70, 73, 77, 80, 83, 87, 90, 93, 97};

// Hundredths -> frame at 30 frames per second.
uint8_t FrameAt30(uint32_t hundredths)
{
    hundredths = std::min<uint32_t>(hundredths, 99);
    return uint8_t(hundredths * 30 / 100);
}

uint32_t FrameToHundredths(uint32_t rate, uint32_t frame)
{
    // A frame past the rate's last one (stepping allows 29 at every rate) reads as the last one.
    switch (rate) {
    case CTimecode::kRate24:
        return kHundredths24[std::min<uint32_t>(frame, 23)];
    case CTimecode::kRate25:
        return std::min<uint32_t>(frame, 24) * 4;
    default:
        return kHundredths30[std::min<uint32_t>(frame, 29)];
    }
}

// The digits at text (at most two, as the pattern allows), or fallback when there are none.
uint8_t ReadField(const char* text, uint8_t fallback)
{
    if (*text < '0' || *text > '9')
        return fallback;
    uint32_t value = 0;
    for (int i = 0; i < 3 && *text >= '0' && *text <= '9'; ++i, ++text)
        value = value * 10 + uint32_t(*text - '0');
    return uint8_t(value);
}

const boost::regex& Pattern()
{
    static const boost::regex pattern(
        "\\b(2[0-3]|[01]?[0-9])[:.\\-]([012345]?[0-9])[:.\\-]([012345]?[0-9])[:.\\-]([012]?[0-9])\\b");
    return pattern;
}

void AppendField(std::string& text, uint8_t value, int wildcard, const char* separator)
{
    char buffer[8];
    if (int(value) == wildcard)
        std::snprintf(buffer, sizeof(buffer), "XX%s", separator);
    else
        std::snprintf(buffer, sizeof(buffer), "%02u%s", unsigned(value), separator);
    text += buffer;
}

}  // namespace

CTimecode::CTimecode(const CTime& time)
    : m_hours(uint8_t(time.GetHours())),
      m_minutes(uint8_t(time.GetMinutes())),
      m_seconds(uint8_t(time.GetSecondField())),
      m_frames(FrameAt30(time.GetMillisecondField() / 10u)),
      m_rate(kRate30)
{
}

uint32_t CTimecode::FramesPerSecond(uint32_t rate)
{
    switch (rate) {
    case kRate24:
        return 24;
    case kRate25:
        return 25;
    default:
        return 30;
    }
}

bool CTimecode::Parse(const std::string& text)
{
    if (!boost::regex_match(text, Pattern()))
        return false;
    // The first two separators are looked for among ':' and '-' only, so a '.' there shifts
    // which numbers the fields take; "10.20.30.15" changes nothing at all.
    const char* p = text.c_str();
    const char* separator = std::strpbrk(p, ":-");
    if (!separator)
        return true;
    m_hours = ReadField(p, kAnyHour);
    p = separator + 1;
    m_minutes = ReadField(p, kAnyMinute);
    separator = std::strpbrk(p, ":-");
    if (!separator)
        return true;
    p = separator + 1;
    m_seconds = ReadField(p, kAnySecond);
    separator = std::strpbrk(p, ":-.");
    if (!separator)
        return true;
    m_frames = ReadField(separator + 1, 0);
    return true;
}

std::string CTimecode::ToString() const
{
    std::string text;
    AppendField(text, m_hours, kAnyHour, ":");
    AppendField(text, m_minutes, kAnyMinute, ":");
    AppendField(text, m_seconds, kAnySecond, ":");
    AppendField(text, m_frames, -1, "");
    return text;
}

CTimecode& CTimecode::operator+=(const CTimecode& other)
{
    const uint8_t fps = uint8_t(FramesPerSecond(m_rate));
    m_hours = uint8_t(m_hours + other.m_hours);
    m_minutes = uint8_t(m_minutes + other.m_minutes);
    m_seconds = uint8_t(m_seconds + other.m_seconds);
    m_frames = uint8_t(m_frames + other.m_frames);
    while (m_frames >= fps) {
        m_frames = uint8_t(m_frames - fps);
        m_seconds = uint8_t(m_seconds + 1);
    }
    if (m_seconds >= 60) {
        m_minutes = uint8_t(m_minutes + m_seconds / 60);
        m_seconds = uint8_t(m_seconds % 60);
    }
    if (m_minutes >= 60) {
        m_hours = uint8_t(m_hours + m_minutes / 60);
        m_minutes = uint8_t(m_minutes % 60);
    }
    if (m_hours >= 24)
        m_hours = uint8_t(m_hours % 24);
    return *this;
}

CTimecode& CTimecode::operator-=(const CTimecode& other)
{
    const uint8_t fps = uint8_t(FramesPerSecond(m_rate));
    uint8_t borrow = 0;
    if (m_frames < other.m_frames) {
        m_frames = uint8_t(m_frames + fps);
        borrow = 1;
    }
    m_frames = uint8_t(m_frames - other.m_frames);

    uint8_t next = 0;
    if (m_seconds < other.m_seconds + borrow) {
        m_seconds = uint8_t(m_seconds + 60);
        next = 1;
    }
    m_seconds = uint8_t(m_seconds - borrow - other.m_seconds);
    borrow = next;

    next = 0;
    if (m_minutes < other.m_minutes + borrow) {
        m_minutes = uint8_t(m_minutes + 60);
        next = 1;
    }
    m_minutes = uint8_t(m_minutes - borrow - other.m_minutes);
    borrow = next;

    if (m_hours < other.m_hours + borrow)
        m_hours = uint8_t(m_hours + 24);
    m_hours = uint8_t(m_hours - borrow - other.m_hours);
    return *this;
}

bool CTimecode::operator==(const CTimecode& other) const
{
    return m_hours == other.m_hours && m_minutes == other.m_minutes &&
           m_seconds == other.m_seconds && m_frames == other.m_frames && m_rate == other.m_rate;
}

bool CTimecode::operator<(const CTimecode& other) const
{
    if (m_hours != other.m_hours)
        return m_hours < other.m_hours;
    if (m_minutes != other.m_minutes)
        return m_minutes < other.m_minutes;
    if (m_seconds != other.m_seconds)
        return m_seconds < other.m_seconds;
    return m_frames < other.m_frames;
}

CTime CTimecode::ToTime() const
{
    CTime time(m_hours, m_minutes, m_seconds);
    time.SetHundredths(FrameToHundredths(m_rate, m_frames));
    return time;
}

void CTimecode::SetFrames(uint8_t frames)
{
    if (frames < 30)
        m_frames = frames;
}

uint8_t CTimecode::IncrementHours()
{
    if (m_hours < 23)
        ++m_hours;
    return m_hours;
}

uint8_t CTimecode::IncrementMinutes()
{
    if (m_minutes < 59)
        ++m_minutes;
    return m_minutes;
}

uint8_t CTimecode::IncrementSeconds()
{
    if (m_seconds < 59)
        ++m_seconds;
    return m_seconds;
}

uint8_t CTimecode::IncrementFrames()
{
    if (m_frames < 29)
        ++m_frames;
    return m_frames;
}

uint8_t CTimecode::DecrementHours()
{
    if (m_hours != 0)
        --m_hours;
    return m_hours;
}

uint8_t CTimecode::DecrementMinutes()
{
    if (m_minutes != 0)
        --m_minutes;
    return m_minutes;
}

uint8_t CTimecode::DecrementSeconds()
{
    if (m_seconds != 0)
        --m_seconds;
    return m_seconds;
}

uint8_t CTimecode::DecrementFrames()
{
    if (m_frames != 0)
        --m_frames;
    return m_frames;
}
