#include "foundation/rgba_colour.h"

#include "foundation/ascii.h"
#include "foundation/colour.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace
{
uint32_t Limit(uint32_t value)
{
    return std::min<uint32_t>(value, 255);
}

uint32_t LimitSigned(int value)
{
    return uint32_t(std::clamp(value, 0, 255));
}

// A fraction 0..1 (NaN counts as 0) on the byte scale, truncated.
uint32_t FractionToByte(float fraction)
{
    if (!(fraction > 0.0f))
        return 0;
    if (fraction >= 1.0f)
        return 255;
    return Limit(uint32_t(fraction * 255.0f));
}

uint32_t Pack(uint32_t red, uint32_t green, uint32_t blue, uint32_t alpha)
{
    return Limit(red) | (Limit(green) << 8) | (Limit(blue) << 16) | (Limit(alpha) << 24);
}

// Six hex digits at text[first] as a 24-bit number, or -1.
long ReadHex6(const std::string& text, size_t first)
{
    long value = 0;
    for (size_t i = first; i < first + 6; ++i)
    {
        const int digit = HexDigitValue(text[i]);
        if (digit < 0)
            return -1;
        value = value * 16 + digit;
    }
    return value;
}

// One channel of a blend: a + trunc((b - a) * t).
uint32_t BlendChannel(uint8_t a, uint8_t b, float t)
{
    const int delta = int(b) - int(a);
    return LimitSigned(int(a) + int(float(delta) * t));
}
}  // namespace

CRgbaColour::CRgbaColour(int red, int green, int blue, int alpha)
    : m_value(Pack(LimitSigned(red), LimitSigned(green), LimitSigned(blue), LimitSigned(alpha)))
{
}

CRgbaColour::CRgbaColour(uint32_t red, uint32_t green, uint32_t blue, uint32_t alpha)
    : m_value(Pack(red, green, blue, alpha))
{
}

CRgbaColour::CRgbaColour(float red, float green, float blue)
{
    const auto byte = [](float v) { return v > 0.0f ? (v >= 255.0f ? 255u : uint32_t(v)) : 0u; };
    m_value = Pack(byte(red), byte(green), byte(blue), 255);
}

CRgbaColour::CRgbaColour(const CColour& colour)
    : m_value(Pack(colour.GetRed8(), colour.GetGreen8(), colour.GetBlue8(), colour.GetAlpha8()))
{
}

float CRgbaColour::GetBrightness() const
{
    return float(GetRed() + GetGreen() + GetBlue()) / 765.0f;
}

void CRgbaColour::SetByte(int shift, uint32_t byte)
{
    m_value = (m_value & ~(0xFFu << shift)) | (Limit(byte) << shift);
}

void CRgbaColour::Set(uint32_t red, uint32_t green, uint32_t blue, uint32_t alpha)
{
    m_value = Pack(red, green, blue, alpha);
}

void CRgbaColour::SetRgb(uint32_t red, uint32_t green, uint32_t blue)
{
    m_value = Pack(red, green, blue, 255);
}

void CRgbaColour::SetRed(uint32_t red) { SetByte(0, red); }
void CRgbaColour::SetGreen(uint32_t green) { SetByte(8, green); }
void CRgbaColour::SetBlue(uint32_t blue) { SetByte(16, blue); }
void CRgbaColour::SetAlpha(uint8_t alpha) { SetByte(24, alpha); }

void CRgbaColour::SetRgbFrom(const CRgbaColour& other)
{
    m_value = (m_value & 0xFF000000u) | (other.m_value & 0x00FFFFFFu);
}

void CRgbaColour::SetFromColour(const CColour& colour)
{
    *this = CRgbaColour(colour);
}

void CRgbaColour::SetRedFloat(float red) { SetByte(0, FractionToByte(red)); }
void CRgbaColour::SetGreenFloat(float green) { SetByte(8, FractionToByte(green)); }
void CRgbaColour::SetBlueFloat(float blue) { SetByte(16, FractionToByte(blue)); }
void CRgbaColour::SetAlphaFloat(float alpha) { SetByte(24, FractionToByte(alpha)); }
void CRgbaColour::SetInverseRedFloat(float red) { SetByte(0, 255 - FractionToByte(red)); }
void CRgbaColour::SetInverseGreenFloat(float green) { SetByte(8, 255 - FractionToByte(green)); }
void CRgbaColour::SetInverseBlueFloat(float blue) { SetByte(16, 255 - FractionToByte(blue)); }
void CRgbaColour::SetInverseRed(uint32_t red) { SetByte(0, 255 - Limit(red)); }
void CRgbaColour::SetInverseGreen(uint32_t green) { SetByte(8, 255 - Limit(green)); }
void CRgbaColour::SetInverseBlue(uint32_t blue) { SetByte(16, 255 - Limit(blue)); }

CColour CRgbaColour::ToColour() const
{
    return CColour(*this);
}

uint32_t CRgbaColour::ToSdlPixel(const SDL_PixelFormat* format) const
{
    return SDL_MapRGB(format, GetRed(), GetGreen(), GetBlue());
}

bool CRgbaColour::IsDarkerThan(const CRgbaColour& other) const
{
    return GetBrightness() < other.GetBrightness();
}

bool CRgbaColour::EqualsColour(const CColour& colour) const
{
    return *this == CRgbaColour(colour);
}

bool EqualsColour(const CColour& colour, const CRgbaColour& rgba)
{
    return rgba.EqualsColour(colour);
}

float CRgbaColour::Distance(const CRgbaColour& other) const
{
    const float dr = float(GetRed()) - other.GetRed();
    const float dg = float(GetGreen()) - other.GetGreen();
    const float db = float(GetBlue()) - other.GetBlue();
    return std::sqrt(dr * dr + dg * dg + db * db);
}

std::string CRgbaColour::ToString() const
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%02X%02X%02X", GetRed(), GetGreen(), GetBlue());
    return text;
}

bool CRgbaColour::Parse(const std::string& text)
{
    long value = -1;
    if (text.size() == 8 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
        value = ReadHex6(text, 2);
    else if (text.size() == 7 && text[0] == '#')
        value = ReadHex6(text, 1);
    if (value < 0)
        return false;
    SetRgb(uint32_t(value >> 16) & 255, uint32_t(value >> 8) & 255, uint32_t(value) & 255);
    return true;
}

CRgbaColour CRgbaColour::Scale(float f) const
{
    if (f >= 1.0f)
        return *this;
    CRgbaColour result(*this);
    if (!(f > 0.0f))
    {
        result.m_value &= 0xFF000000u;
        return result;
    }
    result.Set(uint32_t(GetRed() * f), uint32_t(GetGreen() * f), uint32_t(GetBlue() * f), GetAlpha());
    return result;
}

void CRgbaColour::ScaleAlpha(float f)
{
    if (f < 1.0f)
        SetAlpha(uint8_t(GetAlpha() * std::max(f, 0.0f)));
}

void CRgbaColour::Add(const CRgbaColour& other)
{
    Set(uint32_t(GetRed()) + other.GetRed(), uint32_t(GetGreen()) + other.GetGreen(),
        uint32_t(GetBlue()) + other.GetBlue(), GetAlpha());
}

void CRgbaColour::Subtract(const CRgbaColour& other)
{
    const auto minus = [](uint8_t a, uint8_t b) { return a > b ? uint32_t(a - b) : 0u; };
    Set(minus(GetRed(), other.GetRed()), minus(GetGreen(), other.GetGreen()),
        minus(GetBlue(), other.GetBlue()), GetAlpha());
}

void CRgbaColour::Max(const CRgbaColour& other)
{
    Set(std::max(GetRed(), other.GetRed()), std::max(GetGreen(), other.GetGreen()),
        std::max(GetBlue(), other.GetBlue()), std::max(GetAlpha(), other.GetAlpha()));
}

void CRgbaColour::Min(const CRgbaColour& other)
{
    Set(std::min(GetRed(), other.GetRed()), std::min(GetGreen(), other.GetGreen()),
        std::min(GetBlue(), other.GetBlue()), std::min(GetAlpha(), other.GetAlpha()));
}

void CRgbaColour::MaxRgb(const CRgbaColour& other)
{
    SetRgb(std::max(GetRed(), other.GetRed()), std::max(GetGreen(), other.GetGreen()),
           std::max(GetBlue(), other.GetBlue()));
}

void CRgbaColour::Multiply(const CRgbaColour& other)
{
    if (other.m_value == 0xFFFFFFFFu)
        return;
    if (other.m_value == 0xFF000000u)
    {
        m_value = 0xFF000000u;
        return;
    }
    const auto product = [](uint8_t a, uint8_t b) {
        const float p = std::clamp(a / 255.0f * (b / 255.0f), 0.0f, 1.0f);
        return uint32_t(p * 255.0f);
    };
    Set(product(GetRed(), other.GetRed()), product(GetGreen(), other.GetGreen()),
        product(GetBlue(), other.GetBlue()), GetAlpha());
}

void CRgbaColour::FlattenAlpha()
{
    const uint8_t alpha = GetAlpha();
    if (alpha == 255)
        return;
    const float f = alpha / 255.0f;
    SetRgb(FractionToByte(GetRedFloat() * f), FractionToByte(GetGreenFloat() * f),
           FractionToByte(GetBlueFloat() * f));
}

CRgbaColour CRgbaColour::Blend(const CRgbaColour& a, const CRgbaColour& b, float t)
{
    if (!(t > 0.0f) || a == b)
        return a;
    if (t >= 1.0f)
        return b;
    return CRgbaColour(BlendChannel(a.GetRed(), b.GetRed(), t), BlendChannel(a.GetGreen(), b.GetGreen(), t),
                       BlendChannel(a.GetBlue(), b.GetBlue(), t), BlendChannel(a.GetAlpha(), b.GetAlpha(), t));
}

CRgbaColour CRgbaColour::BlendRgb(const CRgbaColour& a, const CRgbaColour& b, float t)
{
    CRgbaColour result = Blend(a, b, t);
    result.SetAlpha(a.GetAlpha());
    return result;
}

void CRgbaColour::SetRandom()
{
    const int total = std::rand() % 510 + 255;
    const int w1 = std::rand() % 100;
    const int w2 = std::rand() % 100;
    const int w3 = std::rand() % 100;
    const int weights = w1 + w2 + w3;
    // With no weight at all the brightness is shared out evenly: a grey.
    const auto share = [&](int w) {
        const double part = weights > 0 ? double(w) / weights * total : total / 3.0;
        return part >= 255.0 ? 255u : uint32_t(part);
    };
    SetRgb(share(w1), share(w2), share(w3));
}

void CRgbaColour::ToHsl(float& hue, float& saturation, float& lightness) const
{
    const double r = GetRed() / 255.0;
    const double g = GetGreen() / 255.0;
    const double b = GetBlue() / 255.0;
    const double max = std::max({r, g, b});
    const double min = std::min({r, g, b});
    const double l = (max + min) / 2.0;
    lightness = float(l);
    if (max == min)
    {
        hue = 0.0f;
        saturation = 0.0f;
        return;
    }
    const double d = max - min;
    saturation = float(l < 0.5 ? d / (max + min) : d / (2.0 - max - min));
    double h;
    if (r == max)
        h = (g - b) / d;
    else if (g == max)
        h = (b - r) / d + 2.0;
    else
        h = (r - g) / d + 4.0;
    h /= 6.0;
    if (h < 0.0)
        h += 1.0;
    hue = float(h);
}

float CRgbaColour::GetHue() const
{
    float h, s, l;
    ToHsl(h, s, l);
    return h;
}

float CRgbaColour::GetSaturation() const
{
    float h, s, l;
    ToHsl(h, s, l);
    return s;
}

void CRgbaColour::SetHsl(double hue, double saturation, double lightness)
{
    const double l = lightness;
    const double s = saturation;
    const double q = l <= 0.5 ? l * (1.0 + s) : l + s - l * s;
    const double p = 2.0 * l - q;
    if (!(q > 0.0))
    {
        m_value &= 0xFF000000u;
        return;
    }
    // A hue that is not a finite number would make the sector undefined: read it as red.
    double h = std::isfinite(hue) ? std::fabs(hue) : 0.0;
    if (h >= 1.0)
        h -= std::floor(h);
    const double h6 = h * 6.0;
    const int sector = std::min(int(h6), 5);
    const double f = h6 - sector;
    const double v = (q - p) * f;
    const double up = p + v;
    const double down = q - v;
    double r, g, b;
    switch (sector)
    {
    case 0: r = q; g = up; b = p; break;
    case 1: r = down; g = q; b = p; break;
    case 2: r = p; g = q; b = up; break;
    case 3: r = p; g = down; b = q; break;
    case 4: r = up; g = p; b = q; break;
    default: r = q; g = p; b = down; break;
    }
    const auto byte = [](double c) {
        if (!(c > 0.0))
            return 0u;
        return c >= 1.0 ? 255u : std::min(uint32_t(c * 255.0), 255u);
    };
    Set(byte(r), byte(g), byte(b), GetAlpha());
}

void CRgbaColour::AddSaturation(float amount)
{
    float h, s, l;
    ToHsl(h, s, l);
    SetHsl(h, std::min(s + amount, 1.0f), l);
}
