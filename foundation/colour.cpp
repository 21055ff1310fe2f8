#include "foundation/colour.h"

#include "foundation/ascii.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace
{
// Full stays full: 255 widens to 65535, every other byte v to v * 256.
uint16_t Widen(uint32_t byte)
{
    byte = std::min<uint32_t>(byte, 255);
    return byte == 255 ? uint16_t(65535) : uint16_t(byte << 8);
}

uint16_t FractionToLevel(float fraction)
{
    if (!(fraction > 0.0f))
        return 0;
    if (fraction >= 1.0f)
        return 65535;
    return uint16_t(fraction * 65535.0f);
}

uint32_t LimitSigned(int value)
{
    return uint32_t(std::clamp(value, 0, 255));
}

// The byte of two hex digits at text[first].
uint8_t HexByte(const std::string& text, size_t first)
{
    return uint8_t(HexDigitValue(text[first]) * 16 + HexDigitValue(text[first + 1]));
}

// True when the text is the prefix (in one of the two given spellings) followed by exactly
// digits hexadecimal digits.
bool Matches(const std::string& text, const char* lower, const char* upper, size_t digits)
{
    const std::string prefix(lower);
    if (text.size() != prefix.size() + digits)
        return false;
    if (text.compare(0, prefix.size(), lower) != 0 && text.compare(0, prefix.size(), upper) != 0)
        return false;
    return std::all_of(text.begin() + prefix.size(), text.end(), [](char c) { return HexDigitValue(c) >= 0; });
}
}  // namespace

CColour::CColour()
{
    std::fill(std::begin(m_level), std::end(m_level), uint16_t(0));
    m_level[kAlpha] = 65535;
}

CColour::CColour(const CRgbaColour& rgba)
    : CColour(uint32_t(rgba.GetRed()), uint32_t(rgba.GetGreen()), uint32_t(rgba.GetBlue()),
              uint32_t(rgba.GetAlpha()))
{
}

CColour::CColour(int red, int green, int blue, int alpha)
    : CColour(LimitSigned(red), LimitSigned(green), LimitSigned(blue), LimitSigned(alpha))
{
}

CColour::CColour(uint32_t red, uint32_t green, uint32_t blue, uint32_t alpha) : CColour()
{
    m_level[kRed] = Widen(red);
    m_level[kGreen] = Widen(green);
    m_level[kBlue] = Widen(blue);
    m_level[kAlpha] = Widen(alpha);
}

CColour::CColour(float red, float green, float blue) : CColour()
{
    m_level[kRed] = FractionToLevel(red);
    m_level[kGreen] = FractionToLevel(green);
    m_level[kBlue] = FractionToLevel(blue);
}

CRgbaColour CColour::ToDisplayRgba() const
{
    const CRgbaColour base = ToRgbaColour().Scale(0.75f);
    CRgbaColour tint = CRgbaColour(255, 255, 255).Scale(GetWhite() * 0.25f);
    tint.Add(CRgbaColour(255, 192, 118).Scale(GetWarmWhite() * 0.25f));
    tint.Add(CRgbaColour(255, 128, 0).Scale(GetAmber() * 0.5f));
    tint.Add(CRgbaColour(119, 12, 104).Scale(GetUv() * 0.5f));
    CRgbaColour result = base;
    result.Add(tint);
    return result;
}

uint32_t CColour::ToSdlPixel(const SDL_PixelFormat* format) const
{
    return SDL_MapRGB(format, GetRed8(), GetGreen8(), GetBlue8());
}

void CColour::SetFraction(EChannel channel, float fraction)
{
    m_level[channel] = FractionToLevel(fraction);
}

void CColour::SetInverseFraction(EChannel channel, float fraction)
{
    m_level[channel] = uint16_t(65535 - FractionToLevel(fraction));
}

void CColour::SetByte(EChannel channel, uint32_t byte)
{
    m_level[channel] = Widen(byte);
}

void CColour::SetInverseByte(EChannel channel, uint32_t byte)
{
    m_level[channel] = Widen(255 - std::min<uint32_t>(byte, 255));
}

bool CColour::operator==(const CColour& other) const
{
    return std::equal(std::begin(m_level), std::end(m_level), std::begin(other.m_level));
}

float CColour::GetBrightness() const
{
    return float(uint32_t(m_level[kRed]) + m_level[kGreen] + m_level[kBlue]) / 196605.0f;
}

float CColour::Distance(const CColour& other) const
{
    const float dr = float(GetRed8()) - other.GetRed8();
    const float dg = float(GetGreen8()) - other.GetGreen8();
    const float db = float(GetBlue8()) - other.GetBlue8();
    return std::sqrt(dr * dr + dg * dg + db * db);
}

void CColour::Add(const CColour& other)
{
    for (int i = 0; i < kAlpha; ++i)
        m_level[i] = uint16_t(std::min(uint32_t(m_level[i]) + other.m_level[i], 65535u));
}

void CColour::Subtract(const CColour& other)
{
    for (int i = 0; i < kAlpha; ++i)
        m_level[i] = m_level[i] > other.m_level[i] ? uint16_t(m_level[i] - other.m_level[i]) : uint16_t(0);
}

void CColour::ScaleInPlace(float f)
{
    if (f >= 1.0f)
        return;
    for (int i = 0; i < kAlpha; ++i)
        m_level[i] = f > 0.0f ? uint16_t(m_level[i] * f) : uint16_t(0);
}

void CColour::DivideInPlace(float divisor)
{
    // A divisor below 1 raises the levels; they stop at full rather than wrap around.
    if (!(divisor > 0.0f))
        return;
    for (int i = 0; i < kAlpha; ++i)
    {
        const float level = m_level[i] / divisor;
        m_level[i] = level >= 65535.0f ? uint16_t(65535) : uint16_t(level);
    }
}

void CColour::MaxInPlace(const CColour& other)
{
    for (int i = 0; i < kAlpha; ++i)
        m_level[i] = std::max(m_level[i], other.m_level[i]);
}

CColour CColour::GetScaled(float f) const
{
    CColour result(*this);
    result.ScaleInPlace(f);
    return result;
}

CColour CColour::Blend(const CColour& a, const CColour& b, float t)
{
    if (!(t > 0.0f) || a == b)
        return a;
    if (t >= 1.0f)
        return b;
    CColour result;
    for (int i = 0; i < kChannelCount; ++i)
    {
        const int delta = int(b.m_level[i]) - int(a.m_level[i]);
        result.m_level[i] = uint16_t(std::clamp(int(a.m_level[i]) + int(float(delta) * t), 0, 65535));
    }
    return result;
}

void CColour::MaxWithRgba(const CRgbaColour& rgba)
{
    const uint8_t red = std::max(GetRed8(), rgba.GetRed());
    const uint8_t green = std::max(GetGreen8(), rgba.GetGreen());
    const uint8_t blue = std::max(GetBlue8(), rgba.GetBlue());
    *this = CColour(uint32_t(red), uint32_t(green), uint32_t(blue));
}

std::string CColour::ToHexString() const
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%02X%02X%02X", GetRed8(), GetGreen8(), GetBlue8());
    return text;
}

std::string CColour::ToRgbawString() const
{
    char text[24];
    std::snprintf(text, sizeof text, "rgbaw%02X%02X%02X%02X%02X", GetRed8(), GetGreen8(), GetBlue8(),
                  GetAmber8(), GetWhite8());
    return text;
}

std::string CColour::ToRgbcwauString() const
{
    char text[32];
    std::snprintf(text, sizeof text, "rgbcwau%02X%02X%02X%02X%02X%02X%02X", GetRed8(), GetGreen8(),
                  GetBlue8(), GetWhite8(), GetWarmWhite8(), GetAmber8(), GetUv8());
    return text;
}

bool CColour::Parse(const std::string& text)
{
    if (Matches(text, "0x", "0X", 6))
    {
        *this = CColour(uint32_t(HexByte(text, 2)), uint32_t(HexByte(text, 4)), uint32_t(HexByte(text, 6)));
        return true;
    }
    if (Matches(text, "rgbaw", "RGBAW", 10))
    {
        *this = CColour(uint32_t(HexByte(text, 5)), uint32_t(HexByte(text, 7)), uint32_t(HexByte(text, 9)));
        SetAmber8(HexByte(text, 11));
        SetWhite8(HexByte(text, 13));
        return true;
    }
    if (Matches(text, "rgbcwau", "RGBCWAU", 14))
    {
        *this = CColour();
        for (int i = 0; i < kAlpha; ++i)
            m_level[i] = Widen(HexByte(text, 7 + 2 * size_t(i)));
        return true;
    }
    return false;
}

int CColour::WriteWire(uint16_t out[5]) const
{
    out[0] = m_level[kRed];
    out[1] = m_level[kGreen];
    out[2] = m_level[kBlue];
    out[3] = m_level[kAmber];
    out[4] = m_level[kWhite];
    return 10;
}

void CColour::ReadWire(const uint16_t in[5])
{
    *this = CColour();
    m_level[kRed] = in[0];
    m_level[kGreen] = in[1];
    m_level[kBlue] = in[2];
    m_level[kAmber] = in[3];
    m_level[kWhite] = in[4];
}
