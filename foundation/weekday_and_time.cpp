#include "foundation/weekday_and_time.h"

#include "foundation/date.h"

#include <algorithm>
#include <cstring>

namespace {

bool IsAsciiLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

std::string ClockText(const CTime& time)
{
    char buffer[CTime::kClockBufferSize];
    time.FormatClock(buffer, sizeof(buffer), false);
    return buffer;
}

struct SKeyword
{
    const char* text;
    uint8_t mask;
};

// In the order they are tried; each is compared over its own length.
constexpr SKeyword kKeywords[] = {
    {"Everyday", CWeekdayAndTime::kEveryday},
    {"Weekend", CWeekdayAndTime::kWeekend},
    {"Weekdays", CWeekdayAndTime::kWeekdays},
    {"Never", CWeekdayAndTime::kNever},
};

}  // namespace

CWeekdayAndTime::CWeekdayAndTime(const CDateAndTime& moment) : m_time(moment.GetTime())
{
    SetWeekday(uint32_t(moment.GetDate().GetWeekday()));
}

void CWeekdayAndTime::SetWeekday(uint32_t weekday)
{
    m_days = weekday < 8 ? uint8_t(1u << weekday) : kNever;
}

void CWeekdayAndTime::SetDay(uint32_t weekday, bool on)
{
    if (weekday >= 8)
        return;
    if (on)
        m_days = uint8_t(m_days | (1u << weekday));
    else
        m_days = uint8_t(m_days & ~(1u << weekday));
}

bool CWeekdayAndTime::HasDay(uint32_t weekday) const
{
    return weekday < 8 && (m_days & (1u << weekday)) != 0;
}

bool CWeekdayAndTime::Matches(const CWeekdayAndTime& other) const
{
    return (m_days & other.m_days) != 0 && m_time.Matches(other.m_time);
}

std::string CWeekdayAndTime::GetDayLetters() const
{
    std::string letters;
    for (int32_t day = 0; day < 7; ++day) {
        if (m_days & (1u << day))
            letters.append(CDate::WeekdayName(day), 2);
    }
    return letters;
}

std::string CWeekdayAndTime::ToString() const
{
    std::string text;
    switch (m_days) {
    case kNever:
        text = "Never";
        break;
    case kWeekdays:
        text = "Weekdays";
        break;
    case kWeekend:
        text = "Weekend";
        break;
    case kEveryday:
        text = "Everyday";
        break;
    default: {
        int32_t single = -1;
        int count = 0;
        for (int32_t day = 0; day < 7; ++day) {
            if (m_days & (1u << day)) {
                single = day;
                ++count;
            }
        }
        text = count == 1 ? std::string(CDate::WeekdayName(single)) : GetDayLetters();
        break;
    }
    }
    return text + " " + ClockText(m_time);
}

char* CWeekdayAndTime::Format(char* buffer, size_t size) const
{
    if (size == 0)
        return buffer;
    const std::string text = ToString();
    const size_t length = std::min(text.size(), size - 1);
    std::memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
    return buffer + length;
}

std::string CWeekdayAndTime::ToDaysAndTimeString() const
{
    return GetDayLetters() + ToTimeOnlyString();
}

std::string CWeekdayAndTime::ToTimeOnlyString() const
{
    return " " + ClockText(m_time);
}

void CWeekdayAndTime::Parse(const char* text)
{
    m_days = kNever;
    for (const SKeyword& keyword : kKeywords) {
        const size_t length = std::strlen(keyword.text);
        if (std::strncmp(text, keyword.text, length) == 0) {
            m_days = keyword.mask;
            const char* rest = text + length;
            if (*rest == ' ')
                ++rest;
            m_time.ParseCString(rest);
            return;
        }
    }
    const char* p = text;
    if (IsAsciiLetter(*p)) {
        while (IsAsciiLetter(*p)) {
            int32_t found = -1;
            for (int32_t day = 0; day < 7 && found < 0; ++day) {
                const char* name = CDate::WeekdayName(day);
                if (p[0] == name[0] && p[1] == name[1])
                    found = day;
            }
            if (found >= 0) {
                m_days = uint8_t(m_days | (1u << found));
                p += 2;
            } else {
                ++p;
            }
        }
    }
    if (*p == ' ')
        ++p;
    m_time.ParseCString(p);
}
