#include "foundation/time.h"

#include "foundation/byte_order.h"
#include "foundation/decimal.h"

#include <boost/date_time/posix_time/posix_time_types.hpp>
#include <boost/filesystem/operations.hpp>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <limits>
#include <utility>

namespace {

constexpr uint64_t kMaxField = std::numeric_limits<uint32_t>::max();
constexpr uint64_t kMaxInt = std::numeric_limits<int32_t>::max();
// What no field holds: the hundredths are always written.
constexpr uint32_t kNoField = std::numeric_limits<uint32_t>::max();

// A clock field: the value in the format, or "XX" for a field that takes any value.
std::string FieldText(uint32_t value, uint32_t any, const char* format = "%02u")
{
    if (value == any)
        return "XX";
    char text[16];
    std::snprintf(text, sizeof(text), format, value);
    return text;
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

const char* SkipDigits(const char* p)
{
    while (IsDigit(*p))
        ++p;
    return p;
}

enum class EParse { kNoMatch, kNoNumber, kTooLarge, kDone };

// A run of digits [begin, end) as a number up to max.
EParse ReadRun(const char* begin, const char* end, uint64_t max, uint64_t& value)
{
    if (begin == end)
        return EParse::kNoNumber;
    value = 0;
    for (const char* p = begin; p != end; ++p) {
        const uint64_t digit = uint64_t(*p - '0');
        if (value > (max - digit) / 10)
            return EParse::kTooLarge;
        value = value * 10 + digit;
    }
    return EParse::kDone;
}

// Reads the runs in order into values; the first that does not read decides.
EParse ReadRuns(std::initializer_list<std::pair<const char*, const char*>> runs, uint64_t* values)
{
    for (const auto& run : runs) {
        const EParse read = ReadRun(run.first, run.second, kMaxField, *values++);
        if (read != EParse::kDone)
            return read;
    }
    return EParse::kDone;
}

// The unit forms: "Ns", "Nm", "Nh", "NhNm", "NmNs", "NhNmNs" (the trailing letter of the last
// number may be left out where a letter came before it). The first letter decides the form, so
// a text of this shape never falls through to the colon forms. A typed entry needs the number
// before the first letter ("h30" is a slip, not 0 s); the general reader takes "h" and "h30" as
// zero hours.
EParse ParseUnitForms(const char* text, bool entry, uint32_t& hours, uint32_t& minutes, uint32_t& seconds,
                      uint16_t& milliseconds)
{
    const char* d1 = text;
    const char* d1End = SkipDigits(d1);
    const char unit = *d1End;
    if (unit != 's' && unit != 'm' && unit != 'h')
        return EParse::kNoMatch;
    const char* d2 = d1End + 1;
    const char* d2End = SkipDigits(d2);
    uint64_t n[3] = {};

    if (unit == 's' || (unit == 'm' && *d2 == '\0')) {
        if (*d2 != '\0')
            return EParse::kNoMatch;
        if (const EParse read = ReadRuns({{d1, d1End}}, n); read != EParse::kDone)
            return read;
        milliseconds = 0;
        if (unit == 's') {
            seconds = uint32_t(n[0] % 60);
            minutes = uint32_t((n[0] / 60) % 60);
            hours = uint32_t(n[0] / 3600);
        } else {
            seconds = 0;
            minutes = uint32_t(n[0] % 60);
            hours = uint32_t(n[0] / 60);
        }
        return EParse::kDone;
    }

    if (unit == 'm') {
        // "NmN" or "NmNs": both numbers are needed, seconds carry into minutes and hours.
        const char* tail = d2End;
        if (*tail == 's')
            ++tail;
        if (*tail != '\0')
            return EParse::kNoMatch;
        if (const EParse read = ReadRuns({{d1, d1End}, {d2, d2End}}, n); read != EParse::kDone)
            return read;
        const uint64_t totalMinutes = n[0] + n[1] / 60;
        milliseconds = 0;
        seconds = uint32_t(n[1] % 60);
        minutes = uint32_t(totalMinutes % 60);
        hours = uint32_t(totalMinutes / 60);
        return EParse::kDone;
    }

    // unit == 'h'
    const char* tail = d2End;
    if (*tail == 'm')
        ++tail;
    if (*tail == '\0') {
        // "Nh", "NhN", "NhNm": minutes are kept as typed, without carrying into hours.
        if (d1 == d1End && entry)
            return EParse::kNoNumber;
        if (d1 != d1End) {
            if (const EParse read = ReadRuns({{d1, d1End}}, n); read != EParse::kDone)
                return read;
            if (d2 != d2End) {
                if (const EParse read = ReadRuns({{d2, d2End}}, n + 1); read != EParse::kDone)
                    return read;
            }
        }
        hours = uint32_t(n[0]);
        minutes = uint32_t(n[1]);
        seconds = 0;
        milliseconds = 0;
        return EParse::kDone;
    }
    if (*d2End != 'm')
        return EParse::kNoMatch;
    // "NhNmN" or "NhNmNs": what ToShortString writes for whole hours, minutes and seconds.
    const char* d3 = d2End + 1;
    const char* d3End = SkipDigits(d3);
    tail = d3End;
    if (*tail == 's')
        ++tail;
    if (*tail != '\0')
        return EParse::kNoMatch;
    if (const EParse read = ReadRuns({{d1, d1End}, {d2, d2End}, {d3, d3End}}, n); read != EParse::kDone)
        return read;
    const uint64_t total = n[0] * 3600 + n[1] * 60 + n[2];
    if (total / 3600 > kMaxField)
        return EParse::kTooLarge;
    hours = uint32_t(total / 3600);
    minutes = uint32_t((total / 60) % 60);
    seconds = uint32_t(total % 60);
    milliseconds = 0;
    return EParse::kDone;
}

// A number read by a colon form. Fractions ('F' in a form) keep at most their first two digits:
// only hundredths are kept.
struct SScanned
{
    uint64_t value = 0;
    int digits = 0;
    bool any = false;  // "XX" stood in a field that may be a wildcard
};

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

uint64_t FirstTwoDigits(const SDecimal& scan)
{
    return uint64_t(scan.firstDigit[0] - '0') * 10 + uint64_t(scan.firstDigit[1] - '0');
}

// The hundredths of the machine text: a count up to 100, which a rounded-up 1000 ms prints as.
// More digits count by their first two, as those of a fraction do.
uint64_t MachineHundredths(const SDecimal& scan)
{
    const bool hundred = scan.digits == 3 && scan.result == EDecimalScan::kOk && scan.value == 100;
    return scan.digits <= 2 || hundred ? scan.value : FirstTwoDigits(scan);
}

// What ScanForm returns when a number stands in the way of the whole parse.
constexpr int kScanNegative = -1;
constexpr int kScanTooLarge = -2;

// Matches a scanf-like form against the text. 'N' is a decimal number, 'W' a number or "XX" for
// a wildcard, 'F' the digits of a fraction, 'C' hundredths (0 to 100, which a rounded-up 1000 ms
// prints as), ' ' any run of blanks, possibly none; every other character must stand in the text
// as it is. Only hundredths are kept: a fraction or hundredths of more digits count by their
// first two ("1.125" and "00-00-01-123" are 1.12 s). Returns how many numbers were filled, or
// kScanNegative or kScanTooLarge when such a number stands in the way.
int ScanForm(const char* text, const char* form, SScanned* numbers, bool whole)
{
    int filled = 0;
    const char* p = text;
    for (const char* f = form; *f != '\0'; ++f) {
        if (*f == ' ') {
            while (IsBlank(*p))
                ++p;
            continue;
        }
        if (*f == 'W' && p[0] == 'X' && p[1] == 'X') {
            numbers[filled] = SScanned();
            numbers[filled].any = true;
            ++filled;
            p += 2;
            continue;
        }
        if (*f != 'N' && *f != 'W' && *f != 'F' && *f != 'C') {
            if (*p != *f)
                return whole ? 0 : filled;
            ++p;
            continue;
        }
        const bool fraction = *f == 'F' || *f == 'C';
        const SDecimal scan = ScanDecimal(p, fraction ? std::numeric_limits<uint64_t>::max() : kMaxInt);
        if (scan.result == EDecimalScan::kNegative)
            return kScanNegative;
        if (scan.result == EDecimalScan::kOverflow && !fraction)
            return kScanTooLarge;
        if (scan.result == EDecimalScan::kNone)
            return filled;
        numbers[filled] = SScanned();
        numbers[filled].value = *f == 'C' ? MachineHundredths(scan) : scan.value;
        numbers[filled].digits = scan.digits;
        if (*f == 'F' && scan.digits > 2) {
            numbers[filled].value = FirstTwoDigits(scan);
            numbers[filled].digits = 2;
        }
        ++filled;
        // Past every digit, also of a fraction too long for any number.
        p = scan.firstDigit + scan.digits;
    }
    // A form that leaves text unread ("1m 30s" read as 1) is no match for a whole text.
    if (whole && *p != '\0')
        return 0;
    return filled;
}

// After a '.': one digit counts tenths, two digits hundredths (1.5 is 500 ms, 1.05 50 ms).
uint16_t FractionMilliseconds(const SScanned& fraction)
{
    return uint16_t(fraction.digits >= 2 ? fraction.value * 10 : fraction.value * 100);
}

// What the numbers of a colon form stand for.
enum class EForm
{
    kMachine,          // hours-minutes-seconds-hundredths
    kClockFraction,    // hours:minutes:seconds.fraction
    kClock,            // hours:minutes:seconds
    kMinutesFraction,  // minutes:seconds.fraction
    kSecondsFraction,  // seconds.fraction
    kHoursMinutes,     // hours:minutes, not minutes:seconds
    kSeconds,          // a count of seconds, kept as typed
    kFraction,         // .fraction
};

struct SForm
{
    const char* pattern;
    int numbers;
    EForm form;
};

// Tried in this order; the first that fills all its numbers decides.
constexpr SForm kForms[] = {
    {"W-W-W-C", 4, EForm::kMachine},
    {"N:N:N.F", 4, EForm::kClockFraction},
    {"N:N:N", 3, EForm::kClock},
    {"N:N.F", 3, EForm::kMinutesFraction},
    {"N.F s", 2, EForm::kSecondsFraction},  // "2.5s" is the short text of 2.5 s
    {"N.F", 2, EForm::kSecondsFraction},
    {"N:N", 2, EForm::kHoursMinutes},
    {"N s", 1, EForm::kSeconds},
    {"N", 1, EForm::kSeconds},
    {".F", 1, EForm::kFraction},
};

// Whether the form's minutes and seconds stand in clock positions, where they count up to 59
// (and 60 is the wildcard), rather than being counts the value keeps as typed.
bool HasClockFields(EForm form)
{
    return form == EForm::kMachine || form == EForm::kClockFraction || form == EForm::kClock ||
           form == EForm::kMinutesFraction || form == EForm::kHoursMinutes;
}

}  // namespace

bool CTime::ParseCString(const char* text)
{
    return ParseText(text, false) == EEntry::kTime;
}

CTime::EEntry CTime::ParseEntry(const std::string& text)
{
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return EEntry::kNoTime;
    const size_t last = text.find_last_not_of(" \t");
    return ParseText(text.substr(first, last - first + 1).c_str(), true);
}

CTime::EEntry CTime::ParseText(const char* text, bool entry)
{
    if (text == nullptr)
        return EEntry::kNoTime;
    bool negative = false;
    if (*text == '-') {
        negative = true;
        ++text;
    }
    CTime parsed(*this);
    bool anyMinuteOrSecond = false;
    bool clock = false;
    const EParse unit = ParseUnitForms(text, entry, parsed.m_hours, parsed.m_minutes, parsed.m_seconds,
                                       parsed.m_milliseconds);
    if (unit == EParse::kNoNumber)
        return EEntry::kNoNumber;
    if (unit == EParse::kTooLarge)
        return EEntry::kTooLong;
    if (unit == EParse::kNoMatch) {
        std::string copy(text);
        for (char& c : copy) {
            if (c == ',')
                c = '.';
        }
        SScanned n[4];
        const SForm* match = nullptr;
        for (const SForm& form : kForms) {
            const int filled = ScanForm(copy.c_str(), form.pattern, n, entry);
            if (filled == kScanTooLarge)
                return EEntry::kTooLong;
            if (filled < 0)
                return EEntry::kNoTime;
            if (filled == form.numbers) {
                match = &form;
                break;
            }
        }
        if (match == nullptr)
            return EEntry::kNoTime;
        auto field = [](const SScanned& number, uint32_t any) {
            return number.any ? any : uint32_t(number.value);
        };
        parsed.m_hours = 0;
        parsed.m_minutes = 0;
        parsed.m_seconds = 0;
        parsed.m_milliseconds = 0;
        switch (match->form) {
        case EForm::kMachine:
            parsed.m_hours = field(n[0], kAnyHour);
            parsed.m_minutes = field(n[1], kAnyMinute);
            parsed.m_seconds = field(n[2], kAnySecond);
            parsed.m_milliseconds = uint16_t(n[3].value * 10);
            // Hours "XX" are also what the machine text of a 24-hour duration shows.
            anyMinuteOrSecond = n[1].any || n[2].any;
            break;
        case EForm::kClockFraction:
        case EForm::kClock:
            parsed.m_hours = uint32_t(n[0].value);
            parsed.m_minutes = uint32_t(n[1].value);
            parsed.m_seconds = uint32_t(n[2].value);
            if (match->form == EForm::kClockFraction)
                parsed.m_milliseconds = FractionMilliseconds(n[3]);
            break;
        case EForm::kMinutesFraction:
            parsed.m_minutes = uint32_t(n[0].value);
            parsed.m_seconds = uint32_t(n[1].value);
            parsed.m_milliseconds = FractionMilliseconds(n[2]);
            break;
        case EForm::kSecondsFraction:
            parsed.m_seconds = uint32_t(n[0].value);
            parsed.m_milliseconds = FractionMilliseconds(n[1]);
            break;
        case EForm::kHoursMinutes:
            parsed.m_hours = uint32_t(n[0].value);
            parsed.m_minutes = uint32_t(n[1].value);
            break;
        case EForm::kSeconds:
            parsed.m_seconds = uint32_t(n[0].value);
            break;
        case EForm::kFraction:
            parsed.m_milliseconds = FractionMilliseconds(n[0]);
            break;
        }
        clock = HasClockFields(match->form);
    }
    if (entry) {
        // A duration has no "any minute", and "1:75" is no clock reading: the operator meant
        // something else, and guessing what would put a wrong time into a cue.
        if (anyMinuteOrSecond)
            return EEntry::kNoTime;
        if (negative)
            return EEntry::kNegative;
        if (clock && parsed.m_minutes > 59)
            return EEntry::kMinutesOver59;
        if (clock && parsed.m_seconds > 59)
            return EEntry::kSecondsOver59;
        // The controller holds a duration as a 32-bit count of milliseconds.
        if (parsed.GetMilliseconds() > kMaxWireMilliseconds)
            return EEntry::kTooLong;
    }
    parsed.m_positive = negative ? 0 : 1;
    *this = parsed;
    return EEntry::kTime;
}

namespace {

// A field of the machine text: its number, or the wildcard when there is none ("XX").
bool ReadField(const char* p, uint64_t max, uint64_t wildcard, uint64_t& value)
{
    const SDecimal scan = ScanDecimal(p, max);
    if (scan.result == EDecimalScan::kNone) {
        value = wildcard;
        return true;
    }
    if (scan.result != EDecimalScan::kOk)
        return false;
    value = scan.value;
    return true;
}

}  // namespace

bool CTime::ParseFields(const std::string& text)
{
    const char* p = text.c_str();
    bool negative = false;
    if (*p == '-') {
        negative = true;
        ++p;
    }
    const char* sep = std::strpbrk(p, "-:");
    if (sep == nullptr)
        return false;
    CTime parsed(*this);
    uint64_t value = 0;
    if (!ReadField(p, kMaxField, kAnyHour, value))
        return false;
    parsed.m_hours = uint32_t(value);
    const char* rest = sep + 1;
    if (!ReadField(rest, kMaxField, kAnyMinute, value))
        return false;
    parsed.m_minutes = uint32_t(value);
    sep = std::strpbrk(rest, "-:");
    if (sep != nullptr) {
        rest = sep + 1;
        if (!ReadField(rest, kMaxField, kAnySecond, value))
            return false;
        parsed.m_seconds = uint32_t(value);
        sep = std::strpbrk(rest, "-:.");
        if (sep != nullptr) {
            const SDecimal scan = ScanDecimal(sep + 1, std::numeric_limits<uint64_t>::max());
            if (scan.result == EDecimalScan::kNegative)
                return false;
            parsed.m_milliseconds = scan.result == EDecimalScan::kNone ? 0 : uint16_t(MachineHundredths(scan) * 10);
        }
    }
    parsed.m_positive = negative ? 0 : 1;
    *this = parsed;
    return true;
}

std::string CTime::ToString() const
{
    return std::string(m_positive ? "" : "-") + FieldText(m_hours, kAnyHour) + "-" + FieldText(m_minutes, kAnyMinute) +
           "-" + FieldText(m_seconds, kAnySecond) + "-" + FieldText(m_milliseconds / 10u, kNoField);
}

std::string CTime::ToClockString(bool showHours, bool showSeconds, bool showHundredths) const
{
    std::string text = m_positive ? "" : "-";
    if (showHours)
        text += FieldText(m_hours, kAnyHour) + ":";
    text += FieldText(m_minutes, kAnyMinute);
    if (showSeconds) {
        text += ":" + FieldText(m_seconds, kAnySecond);
        if (showHundredths)
            text += "." + FieldText(m_milliseconds / 10u, kNoField);
    }
    return text;
}

std::string CTime::ToClockString12(bool showHours, bool showSeconds, bool showHundredths) const
{
    std::string text = m_positive ? "" : "-";
    if (showHours) {
        const uint32_t hours12 = m_hours % 12 == 0 ? 12 : m_hours % 12;
        text += FieldText(m_hours == kAnyHour ? kAnyHour : hours12, kAnyHour, "%2u") + ":";
    }
    // The minutes, seconds and hundredths read as in the 24-hour form.
    CTime rest(*this);
    rest.m_positive = 1;
    text += rest.ToClockString(false, showSeconds, showHundredths);
    text += m_hours < 12 ? " AM" : " PM";
    return text;
}

char* CTime::FormatClock(char* buffer, size_t size, bool showHundredths) const
{
    if (size == 0)
        return buffer;
    std::string text = FieldText(m_hours, kAnyHour) + ":" + FieldText(m_minutes, kAnyMinute) + ":" +
                       FieldText(m_seconds, kAnySecond);
    if (showHundredths)
        text += "." + FieldText(m_milliseconds / 10u, kNoField);
    const size_t length = std::min(text.size(), size - 1);
    std::memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
    return buffer + length;
}

std::string CTime::ToShortString() const
{
    const unsigned h = m_hours;
    const unsigned m = m_minutes;
    const unsigned s = m_seconds;
    const unsigned ms = m_milliseconds;
    char buffer[64];
    if (h == 0 && m == 0 && ms == 0)
        std::snprintf(buffer, sizeof(buffer), "%us", s);
    else if (m == 0 && s == 0 && ms == 0)
        std::snprintf(buffer, sizeof(buffer), "%uh", h);
    else if (m > 0 && s == 0 && ms == 0) {
        if (h > 0)
            std::snprintf(buffer, sizeof(buffer), "%uh%02um", h, m);
        else
            std::snprintf(buffer, sizeof(buffer), "%um", m);
    } else if (h == 0 && m > 0 && s > 0 && ms == 0)
        std::snprintf(buffer, sizeof(buffer), "%um%02us", m, s);
    else if (h == 0 && m == 0 && ms > 0 && ms % 100 == 0) {
        if (s == 0)
            std::snprintf(buffer, sizeof(buffer), "0.%us", ms / 100);
        else
            std::snprintf(buffer, sizeof(buffer), "%u.%us", s, ms / 100);
    } else if (h == 0 && m == 0 && ms > 0 && ms % 10 == 0) {
        if (s == 0)
            std::snprintf(buffer, sizeof(buffer), "0.%02us", ms / 10);
        else
            std::snprintf(buffer, sizeof(buffer), "%u.%02us", s, ms / 10);
    } else if (ms > 0)
        return ToString();
    else
        std::snprintf(buffer, sizeof(buffer), "%uh%02um%02us", h, m, s);
    return buffer;
}

double CTime::GetSeconds() const
{
    const uint64_t whole = uint64_t(m_hours) * 3600 + uint64_t(m_minutes) * 60 + m_seconds;
    const double seconds = double(whole) + m_milliseconds / 1000.0;
    return m_positive ? seconds : -seconds;
}

void CTime::SetSeconds(double value)
{
    if (!std::isfinite(value)) {
        *this = CTime();
        return;
    }
    m_positive = value >= 0 ? 1 : 0;
    double a = std::fabs(value);
    // Whole hours and minutes by floor division, corrected where the division rounded across a
    // boundary; subtracting whole multiples is exact, so this equals subtracting one by one.
    constexpr double kMaxHours = 4294967295.0;
    double hours = std::floor(a / 3600.0);
    if (hours > kMaxHours) {
        m_hours = uint32_t(kMaxHours);
        m_minutes = 59;
        m_seconds = 59;
        m_milliseconds = 999;
        return;
    }
    while (hours > 0 && hours * 3600.0 > a)
        hours -= 1;
    while ((hours + 1) * 3600.0 <= a && hours < kMaxHours)
        hours += 1;
    a -= hours * 3600.0;
    double minutes = std::floor(a / 60.0);
    while (minutes > 0 && minutes * 60.0 > a)
        minutes -= 1;
    while ((minutes + 1) * 60.0 <= a)
        minutes += 1;
    a -= minutes * 60.0;
    m_hours = uint32_t(hours);
    m_minutes = uint32_t(minutes);
    m_seconds = uint32_t(a);
    m_milliseconds = uint16_t((a - m_seconds) * 1000.0 + 0.5);
}

uint64_t CTime::GetMilliseconds() const
{
    return uint64_t(m_seconds) * 1000 + uint64_t(m_hours) * 3600000 + uint64_t(m_minutes) * 60000 +
           m_milliseconds;
}

uint32_t CTime::GetWireMilliseconds() const
{
    return uint32_t(std::min<uint64_t>(GetMilliseconds(), kMaxWireMilliseconds));
}

void CTime::SetMilliseconds(uint32_t milliseconds)
{
    m_hours = milliseconds / 3600000u;
    uint32_t c = milliseconds / 10u - m_hours * 360000u;
    m_minutes = c / 6000u;
    c %= 6000u;
    m_seconds = c / 100u;
    m_milliseconds = uint16_t((c % 100u) * 10u);
}

void CTime::ReadWire(const void* field)
{
    SetMilliseconds(ReadLe32(static_cast<const uint8_t*>(field)));
}

int64_t CTime::DifferenceMilliseconds(const CTime& other) const
{
    // In whole milliseconds: the fields are exact, where a product of seconds in floating point
    // can land a hair below a whole millisecond and truncate to the one before.
    const int64_t mine = int64_t(GetMilliseconds());
    const int64_t theirs = int64_t(other.GetMilliseconds());
    return (m_positive ? mine : -mine) - (other.m_positive ? theirs : -theirs);
}

int64_t CTime::DifferenceSeconds(const CTime& other) const
{
    return DifferenceMilliseconds(other) / 1000;
}

void CTime::SetFromLocalTime(const boost::posix_time::ptime& localTime)
{
    if (localTime.is_special())
        return;
    const boost::posix_time::time_duration day = localTime.time_of_day();
    m_hours = uint32_t(day.hours());
    m_minutes = uint32_t(day.minutes());
    m_seconds = uint32_t(day.seconds());
    m_milliseconds = uint16_t(day.total_milliseconds() % 1000);
    m_positive = 1;
}

void CTime::SetFromFileTime(const std::string& path)
{
    try {
        boost::system::error_code error;
        const auto status = boost::filesystem::status(path, error);
        if (error || !boost::filesystem::exists(status))
            return;
        const std::time_t written = boost::filesystem::last_write_time(path, error);
        if (error)
            return;
        // The time of day of that many seconds after 1970-01-01 00:00, without a zone.
        int64_t ofDay = int64_t(written) % 86400;
        if (ofDay < 0)
            ofDay += 86400;
        m_hours = uint32_t(ofDay / 3600);
        m_minutes = uint32_t(ofDay / 60 % 60);
        m_seconds = uint32_t(ofDay % 60);
        m_milliseconds = 0;
        m_positive = 1;
    } catch (const boost::filesystem::filesystem_error&) {
    }
}

CTime& CTime::operator+=(const CTime& other)
{
    SetSeconds(GetSeconds() + other.GetSeconds());
    return *this;
}

CTime& CTime::operator-=(const CTime& other)
{
    SetSeconds(GetSeconds() - other.GetSeconds());
    return *this;
}

CTime& CTime::operator*=(double factor)
{
    SetSeconds(GetSeconds() * factor);
    return *this;
}

CTime& CTime::operator/=(const CTime& other)
{
    SetSeconds(GetSeconds() / other.GetSeconds());
    return *this;
}

CTime CTime::operator+(const CTime& other) const
{
    CTime sum(*this);
    return sum += other;
}

CTime CTime::operator-(const CTime& other) const
{
    CTime difference(*this);
    return difference -= other;
}

CTime CTime::operator*(const CTime& other) const
{
    return CTime(GetSeconds() * other.GetSeconds());
}

bool CTime::operator==(const CTime& other) const
{
    return m_hours == other.m_hours && m_minutes == other.m_minutes &&
           m_seconds == other.m_seconds && m_milliseconds == other.m_milliseconds &&
           m_positive == other.m_positive;
}

bool CTime::Matches(const CTime& other) const
{
    return (m_hours == kAnyHour || m_hours == other.m_hours) &&
           (m_minutes == kAnyMinute || m_minutes == other.m_minutes) &&
           (m_seconds == kAnySecond || m_seconds == other.m_seconds);
}

bool CTime::EqualsHms(const CTime& other) const
{
    return m_hours == other.m_hours && m_minutes == other.m_minutes && m_seconds == other.m_seconds;
}

void CTime::SetMillisecondField(uint32_t milliseconds)
{
    if (milliseconds <= 999)
        m_milliseconds = uint16_t(milliseconds);
}

uint32_t CTime::IncrementMinutes()
{
    if (m_minutes < 59)
        ++m_minutes;
    return m_minutes;
}

uint32_t CTime::IncrementSeconds()
{
    if (m_seconds < 59)
        ++m_seconds;
    return m_seconds;
}

uint32_t CTime::DecrementMinutes()
{
    if (m_minutes != 0)
        --m_minutes;
    return m_minutes;
}

uint32_t CTime::DecrementSeconds()
{
    if (m_seconds != 0)
        --m_seconds;
    return m_seconds;
}

void CTime::IncrementHundredths()
{
    if (m_milliseconds < 990)
        m_milliseconds = uint16_t(m_milliseconds + 10);
}

void CTime::DecrementHundredths()
{
    // A value between hundredths (from SetSeconds) steps down to the hundredth below it.
    if (m_milliseconds >= 10)
        m_milliseconds = uint16_t(m_milliseconds - 10);
    else
        m_milliseconds = 0;
}
