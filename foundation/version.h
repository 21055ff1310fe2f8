#pragma once

#include <cstdint>
#include <string>

// A three-part version (program, firmware, hardware, show files), ordered part by part.
// There is deliberately no "<": "newer than" is written !(a <= b).
class CVersion
{
public:
    CVersion() = default;
    CVersion(uint32_t major, uint32_t minor, uint32_t build)
        : m_major(major), m_minor(minor), m_build(build) {}
    // "1.7.0"; missing or unreadable parts are 0, and what follows a part's number is ignored
    // ("1.7" is 1.7.0, "1..2" is 1.0.2, "1.2b" is 1.2.0, "1.2.3.4" is 1.2.3).
    explicit CVersion(const std::string& text);

    bool operator==(const CVersion& other) const;
    bool operator!=(const CVersion& other) const { return !(*this == other); }
    bool operator>(const CVersion& other) const;
    bool operator>=(const CVersion& other) const { return !(other > *this); }
    bool operator<=(const CVersion& other) const { return !(*this > other); }

    uint32_t GetMajor() const { return m_major; }
    uint32_t GetMinor() const { return m_minor; }
    uint32_t GetBuild() const { return m_build; }

private:
    uint32_t m_major = 0;
    uint32_t m_minor = 0;
    uint32_t m_build = 0;
};

// "1.7.0".
std::string FormatVersion(const CVersion& version);
// "1.7": the major and minor numbers only, as the settings page and show files show a version.
std::string FormatVersionMajorMinor(const CVersion& version);

// The two-part number of a cue, such as 3.1.
class CCueNumber
{
public:
    CCueNumber() = default;
    CCueNumber(uint16_t major, uint16_t minor) : m_major(major), m_minor(minor) {}
    // "3.25"; a part without a number is 0, a number keeps its low 16 bits (70000 is 4464).
    explicit CCueNumber(const std::string& text);
    // The same text read as zero-based: each part one less (0 wraps to 65535).
    static CCueNumber FromTextLessOne(const std::string& text);

    bool operator==(const CCueNumber& other) const;
    bool operator!=(const CCueNumber& other) const { return !(*this == other); }
    bool operator>(const CCueNumber& other) const;
    bool operator>=(const CCueNumber& other) const { return !(other > *this); }
    bool operator<=(const CCueNumber& other) const { return !(*this > other); }

    uint16_t GetMajor() const { return m_major; }
    uint16_t GetMinor() const { return m_minor; }

private:
    uint16_t m_major = 0;
    uint16_t m_minor = 0;
};

// "3.0".
std::string FormatCueNumber(const CCueNumber& number);

// A two-byte version "major.minor", each part at most 255.
class CShortVersion
{
public:
    CShortVersion() = default;
    CShortVersion(uint8_t major, uint8_t minor) : m_major(major), m_minor(minor) {}
    // Only a text with both numbers sets the version; otherwise it is 0.0.
    explicit CShortVersion(const char* text);

    bool operator==(const CShortVersion& other) const;
    bool operator!=(const CShortVersion& other) const { return !(*this == other); }
    bool operator<=(const CShortVersion& other) const;
    bool operator>=(const CShortVersion& other) const { return other <= *this; }

    uint8_t GetMajor() const { return m_major; }
    uint8_t GetMinor() const { return m_minor; }

private:
    uint8_t m_major = 0;
    uint8_t m_minor = 0;
};
