#include "foundation/digest.h"

#include "foundation/ascii.h"
#include "foundation/colour.h"
#include "foundation/date.h"
#include "foundation/ip_address.h"
#include "foundation/rgba_colour.h"
#include "foundation/time.h"

#include <cstdio>
#include <cstring>

CDigest::CDigest()
{
    std::memset(m_words, 0, sizeof m_words);
}

CDigest::CDigest(const uint32_t words[kWords])
{
    std::memcpy(m_words, words, sizeof m_words);
}

bool CDigest::operator==(const CDigest& other) const
{
    return std::memcmp(m_words, other.m_words, sizeof m_words) == 0;
}

void CDigest::SetData(const void* data)
{
    std::memcpy(m_words, data, sizeof m_words);
}

std::string CDigest::ToString() const
{
    char text[kWords * 8 + 1];
    for (int i = 0; i < kWords; ++i)
        std::snprintf(text + 8 * i, 9, "%08X", m_words[i]);
    return text;
}

bool CDigest::FromString(const std::string& text)
{
    if (text.size() != size_t(kWords * 8))
        return false;
    for (int i = 0; i < kWords; ++i)
    {
        uint32_t word = 0;
        for (int j = 0; j < 8; ++j)
        {
            const int digit = HexDigitValue(text[size_t(8 * i + j)]);
            if (digit < 0)
                break;
            word = word << 4 | uint32_t(digit);
        }
        m_words[i] = word;
    }
    return true;
}

void CDigestBuilder::Add(const char* bytes, size_t count)
{
    m_pending = true;
    // Texts longer than the hasher takes at once go in pieces.
    while (count > 0)
    {
        const uint32_t piece = count > 0x40000000u ? 0x40000000u : uint32_t(count);
        m_sha.Input(bytes, piece);
        bytes += piece;
        count -= piece;
    }
}

void CDigestBuilder::AddString(const std::string& text)
{
    Add(text.data(), text.size());
}

void CDigestBuilder::AddString(const char* text)
{
    Add(text, std::strlen(text));
}

void CDigestBuilder::AddUnsigned(uint32_t value)
{
    char text[16];
    Add(text, size_t(std::snprintf(text, sizeof text, "%u", value)));
}

void CDigestBuilder::AddInt(int32_t value)
{
    char text[16];
    Add(text, size_t(std::snprintf(text, sizeof text, "%i", value)));
}

void CDigestBuilder::AddFloat(float value)
{
    AddString(std::to_string(double(value)));
}

void CDigestBuilder::AddDigest(const CDigest& digest)
{
    for (int i = 0; i < CDigest::kWords; ++i)
        AddUnsigned(digest.GetWord(i));
}

void CDigestBuilder::AddIpAddress(const CIpAddress& address)
{
    AddString(FormatIpAddressPort(address));
}

void CDigestBuilder::AddRgbaColour(const CRgbaColour& colour)
{
    AddString(colour.ToString());
}

void CDigestBuilder::AddColour(const CColour& colour)
{
    AddString(colour.ToHexString());
}

void CDigestBuilder::AddTime(const CTime& time)
{
    AddString(time.ToString());
}

void CDigestBuilder::AddDate(const CDate& date)
{
    AddString(date.ToString());
}

CDigest CDigestBuilder::GetDigest()
{
    if (m_pending)
    {
        uint32_t words[CDigest::kWords];
        m_result = m_sha.Result(words) ? CDigest(words) : CDigest();
        m_pending = false;
    }
    return m_result;
}
