#include "foundation/version.h"

#include "foundation/decimal.h"

#include <algorithm>
#include <limits>
#include <tuple>

namespace {

constexpr uint64_t kMaxU32 = std::numeric_limits<uint32_t>::max();

// "%u" at the start of a part: a number, or nothing (a sign or a number too large reads nothing).
bool ReadPart(const std::string& part, uint32_t& value)
{
    if (part.empty())
        return false;
    const SDecimal scan = ScanDecimal(part.c_str(), kMaxU32);
    if (scan.result != EDecimalScan::kOk)
        return false;
    value = uint32_t(scan.value);
    return true;
}

// The text up to its first '.', and what follows that '.' (empty without one).
std::pair<std::string, std::string> SplitAtDot(const std::string& text)
{
    const size_t dot = text.find('.');
    if (dot == std::string::npos)
        return {text, std::string()};
    return {text.substr(0, dot), text.substr(dot + 1)};
}

void ReadCueParts(const std::string& text, uint32_t& major, uint32_t& minor, bool& hasMajor,
                  bool& hasMinor)
{
    const auto [first, rest] = SplitAtDot(text);
    const std::string second = SplitAtDot(rest).first;
    hasMajor = ReadPart(first, major);
    hasMinor = ReadPart(second, minor);
}

}  // namespace

CVersion::CVersion(const std::string& text)
{
    const auto [first, rest] = SplitAtDot(text);
    const auto [second, third] = SplitAtDot(rest);
    ReadPart(first, m_major);
    ReadPart(second, m_minor);
    ReadPart(third, m_build);
}

bool CVersion::operator==(const CVersion& other) const
{
    return m_major == other.m_major && m_minor == other.m_minor && m_build == other.m_build;
}

bool CVersion::operator>(const CVersion& other) const
{
    return std::tie(m_major, m_minor, m_build) > std::tie(other.m_major, other.m_minor, other.m_build);
}

std::string FormatVersion(const CVersion& version)
{
    return FormatVersionMajorMinor(version) + "." + std::to_string(version.GetBuild());
}

std::string FormatVersionMajorMinor(const CVersion& version)
{
    return std::to_string(version.GetMajor()) + "." + std::to_string(version.GetMinor());
}

CCueNumber::CCueNumber(const std::string& text)
{
    uint32_t major = 0;
    uint32_t minor = 0;
    bool hasMajor = false;
    bool hasMinor = false;
    ReadCueParts(text, major, minor, hasMajor, hasMinor);
    if (hasMajor)
        m_major = uint16_t(major);
    if (hasMinor)
        m_minor = uint16_t(minor);
}

CCueNumber CCueNumber::FromTextLessOne(const std::string& text)
{
    const CCueNumber number(text);
    return CCueNumber(uint16_t(number.m_major - 1u), uint16_t(number.m_minor - 1u));
}

bool CCueNumber::operator==(const CCueNumber& other) const
{
    return m_major == other.m_major && m_minor == other.m_minor;
}

bool CCueNumber::operator>(const CCueNumber& other) const
{
    return std::tie(m_major, m_minor) > std::tie(other.m_major, other.m_minor);
}

std::string FormatCueNumber(const CCueNumber& number)
{
    return std::to_string(number.GetMajor()) + "." + std::to_string(number.GetMinor());
}

CShortVersion::CShortVersion(const char* text)
{
    if (text == nullptr)
        return;
    // Each number is clamped to 255, so anything longer than three digits reads as 255.
    const SDecimal major = ScanDecimal(text, 255);
    const char* dot = major.firstDigit;
    if (major.result == EDecimalScan::kNone || major.result == EDecimalScan::kNegative)
        return;
    while (*dot >= '0' && *dot <= '9')
        ++dot;
    if (*dot != '.')
        return;
    const SDecimal minor = ScanDecimal(dot + 1, 255);
    if (minor.result == EDecimalScan::kNone || minor.result == EDecimalScan::kNegative)
        return;
    m_major = major.result == EDecimalScan::kOk ? uint8_t(major.value) : 255;
    m_minor = minor.result == EDecimalScan::kOk ? uint8_t(minor.value) : 255;
}

bool CShortVersion::operator==(const CShortVersion& other) const
{
    return m_major == other.m_major && m_minor == other.m_minor;
}

bool CShortVersion::operator<=(const CShortVersion& other) const
{
    return std::tie(m_major, m_minor) <= std::tie(other.m_major, other.m_minor);
}
