#pragma once

#include "foundation/rgba_colour.h"

#include <cstdint>
#include <string>

struct SDL_PixelFormat;

// The colour of light set on fixtures: a 16-bit level (full scale 65535) for each emitter a fixture
// may have, and an alpha. Bytes widen by the rule 255 -> 65535, v -> v * 256, so that full stays
// full; 16-bit levels narrow to their high byte.
// Integer channel arguments are bytes 0..255; larger ones are limited to 255.
class CColour
{
public:
    enum EChannel : int
    {
        kRed,
        kGreen,
        kBlue,
        kWhite,
        kWarmWhite,
        kAmber,
        kUv,
        kAlpha,
        kChannelCount
    };

    // Every emitter off, alpha full.
    CColour();
    // Red, green, blue and alpha widened; white, warm white, amber and UV 0.
    CColour(const CRgbaColour& rgba);
    explicit CColour(uint32_t rgba) : CColour(CRgbaColour(rgba)) {}
    CColour(int red, int green, int blue, int alpha = 255);
    CColour(uint32_t red, uint32_t green, uint32_t blue, uint32_t alpha = 255);
    // Each clamped to 0..1; alpha full.
    CColour(float red, float green, float blue);
    CColour& operator=(uint32_t rgba) { return *this = CColour(rgba); }

    // The high bytes of red, green, blue and alpha; the other emitters are dropped.
    CRgbaColour ToRgbaColour() const { return CRgbaColour(*this); }
    uint32_t ToRgbaValue() const { return ToRgbaColour().GetValue(); }
    // An on-screen preview that mixes every emitter into red, green and blue.
    CRgbaColour ToDisplayRgba() const;
    uint32_t ToSdlPixel(const SDL_PixelFormat* format) const;

    // The raw 16-bit level of a channel.
    uint16_t GetLevel(EChannel channel) const { return m_level[channel]; }
    void SetLevel(EChannel channel, uint16_t level) { m_level[channel] = level; }

    // Levels as fractions of full scale.
    float GetRed() const { return GetFraction(kRed); }
    float GetGreen() const { return GetFraction(kGreen); }
    float GetBlue() const { return GetFraction(kBlue); }
    float GetWhite() const { return GetFraction(kWhite); }
    float GetWarmWhite() const { return GetFraction(kWarmWhite); }
    float GetAmber() const { return GetFraction(kAmber); }
    float GetUv() const { return GetFraction(kUv); }
    // The fraction is clamped to 0..1.
    void SetRed(float red) { SetFraction(kRed, red); }
    void SetGreen(float green) { SetFraction(kGreen, green); }
    void SetBlue(float blue) { SetFraction(kBlue, blue); }
    void SetWhite(float white) { SetFraction(kWhite, white); }
    void SetWarmWhite(float warmWhite) { SetFraction(kWarmWhite, warmWhite); }
    void SetAmber(float amber) { SetFraction(kAmber, amber); }
    void SetUv(float uv) { SetFraction(kUv, uv); }

    // High bytes.
    uint8_t GetRed8() const { return GetByte(kRed); }
    uint8_t GetGreen8() const { return GetByte(kGreen); }
    uint8_t GetBlue8() const { return GetByte(kBlue); }
    uint8_t GetWhite8() const { return GetByte(kWhite); }
    uint8_t GetWarmWhite8() const { return GetByte(kWarmWhite); }
    uint8_t GetAmber8() const { return GetByte(kAmber); }
    uint8_t GetUv8() const { return GetByte(kUv); }
    uint8_t GetAlpha8() const { return GetByte(kAlpha); }
    void SetRed8(uint32_t red) { SetByte(kRed, red); }
    void SetGreen8(uint32_t green) { SetByte(kGreen, green); }
    void SetBlue8(uint32_t blue) { SetByte(kBlue, blue); }
    void SetWhite8(uint8_t white) { SetByte(kWhite, white); }
    void SetWarmWhite8(uint8_t warmWhite) { SetByte(kWarmWhite, warmWhite); }
    void SetAmber8(uint8_t amber) { SetByte(kAmber, amber); }
    void SetUv8(uint8_t uv) { SetByte(kUv, uv); }
    void SetAlpha8(uint8_t alpha) { SetByte(kAlpha, alpha); }

    float GetInverseRed() const { return 1.0f - GetRed(); }
    float GetInverseGreen() const { return 1.0f - GetGreen(); }
    float GetInverseBlue() const { return 1.0f - GetBlue(); }
    uint8_t GetInverseRed8() const { return uint8_t(255 - GetRed8()); }
    uint8_t GetInverseGreen8() const { return uint8_t(255 - GetGreen8()); }
    uint8_t GetInverseBlue8() const { return uint8_t(255 - GetBlue8()); }
    void SetInverseRed(float red) { SetInverseFraction(kRed, red); }
    void SetInverseGreen(float green) { SetInverseFraction(kGreen, green); }
    void SetInverseBlue(float blue) { SetInverseFraction(kBlue, blue); }
    void SetInverseRed8(uint32_t red) { SetInverseByte(kRed, red); }
    void SetInverseGreen8(uint32_t green) { SetInverseByte(kGreen, green); }
    void SetInverseBlue8(uint32_t blue) { SetInverseByte(kBlue, blue); }

    // All eight channels.
    bool operator==(const CColour& other) const;
    bool operator!=(const CColour& other) const { return !(*this == other); }
    // (red + green + blue) / (3 * 65535).
    float GetBrightness() const;
    bool IsDarkerThan(const CColour& other) const { return GetBrightness() < other.GetBrightness(); }
    // Euclidean distance of the red, green and blue high bytes.
    float Distance(const CColour& other) const;

    // The arithmetic changes the seven emitters; alpha stays as it was.
    // Saturating at 65535 and at 0.
    void Add(const CColour& other);
    void Subtract(const CColour& other);
    // f <= 0 turns every emitter off, f >= 1 changes nothing.
    void ScaleInPlace(float f);
    // Results are limited to 65535; a divisor that is not above 0 changes nothing.
    void DivideInPlace(float divisor);
    void MaxInPlace(const CColour& other);
    CColour GetScaled(float f) const;
    // From a towards b by t in 0..1, every channel including alpha.
    static CColour Blend(const CColour& a, const CColour& b, float t);
    // Red, green, blue the larger of this and the drawing colour; other emitters off, alpha full.
    void MaxWithRgba(const CRgbaColour& rgba);

    // "0xRRGGBB" of the high bytes.
    std::string ToHexString() const;
    // "rgbaw" and the high bytes of red, green, blue, amber, white, in that order.
    std::string ToRgbawString() const;
    // "rgbcwau" and the high bytes of the seven emitters in channel order.
    std::string ToRgbcwauString() const;
    // Reads any of the three text forms ("0X", "RGBAW", "RGBCWAU" also accepted). Any other text
    // leaves the colour unchanged and returns false.
    bool Parse(const std::string& text);

    // Red, green, blue, amber, white at full 16 bits; returns the byte count, 10. Warm white, UV and
    // alpha are not sent.
    int WriteWire(uint16_t out[5]) const;
    // The reverse; warm white and UV off, alpha full.
    void ReadWire(const uint16_t in[5]);

private:
    float GetFraction(EChannel channel) const { return m_level[channel] / 65535.0f; }
    void SetFraction(EChannel channel, float fraction);
    void SetInverseFraction(EChannel channel, float fraction);
    uint8_t GetByte(EChannel channel) const { return uint8_t(m_level[channel] >> 8); }
    void SetByte(EChannel channel, uint32_t byte);
    void SetInverseByte(EChannel channel, uint32_t byte);

    uint16_t m_level[kChannelCount];
};
