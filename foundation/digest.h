#pragma once

#include "foundation/sha1.h"

#include <cstdint>
#include <string>

class CColour;
class CDate;
class CIpAddress;
class CRgbaColour;
class CTime;

// A 160-bit SHA-1 result as a value: five words in the order the hasher gives them, kept in host
// byte order (GetData is the 20 bytes as they lie in memory, which is what a digest record carries).
// A default digest is all zero.
class CDigest
{
public:
    static constexpr int kWords = SHA1::kWords;
    static constexpr int kSize = kWords * 4;

    CDigest();
    explicit CDigest(const uint32_t words[kWords]);

    bool operator==(const CDigest& other) const;
    bool operator!=(const CDigest& other) const { return !(*this == other); }

    uint32_t GetWord(int index) const { return m_words[index]; }
    const uint8_t* GetData() const { return reinterpret_cast<const uint8_t*>(m_words); }
    // Copies kSize bytes in the layout of GetData.
    void SetData(const void* data);

    // 40 upper-case hex digits, word 0 first.
    std::string ToString() const;
    // Reads a text of exactly 40 characters as five groups of 8 hex digits; a group counts only
    // its leading hex digits (none gives 0). A text of any other length changes nothing and
    // returns false.
    bool FromString(const std::string& text);

private:
    uint32_t m_words[kWords];
};

// Feeds values into SHA-1 as their texts, so that 1 fed as a number and "1" fed as text give the
// same digest. Each builder makes one digest.
class CDigestBuilder
{
public:
    CDigestBuilder() = default;

    void AddString(const std::string& text);
    void AddString(const char* text);
    void AddUnsigned(uint32_t value);
    void AddInt(int32_t value);
    // Six decimals.
    void AddFloat(float value);
    // The five words as decimal numbers.
    void AddDigest(const CDigest& digest);
    // "a.b.c.d:port".
    void AddIpAddress(const CIpAddress& address);
    // The values' own texts: "0xRRGGBB", "0xRRGGBB", "hh-mm-ss-cc", "YYYY-MM-DD".
    void AddRgbaColour(const CRgbaColour& colour);
    void AddColour(const CColour& colour);
    void AddTime(const CTime& time);
    void AddDate(const CDate& date);

    // The digest of everything added so far; asking again without new input gives the same.
    // Input added after a result spoils the hasher: the digest is then all zero.
    CDigest GetDigest();

private:
    void Add(const char* bytes, size_t count);

    SHA1 m_sha;
    bool m_pending = true;
    CDigest m_result;
};
