#pragma once

#include <cstdint>
#include <string>

class CColour;
struct SDL_PixelFormat;

// The colour of everything drawn on screen: one packed 32-bit value with red in the low byte, then
// green, blue and alpha (255 = opaque). In memory that is R, G, B, A, which is SDL's ABGR8888 on a
// little-endian machine, so pixels can be copied to textures as they stand.
// Integer arguments are channel values 0..255; larger ones are limited to 255.
class CRgbaColour
{
public:
    CRgbaColour() = default;
    explicit CRgbaColour(uint32_t value) : m_value(value) {}
    CRgbaColour(int red, int green, int blue, int alpha = 255);
    CRgbaColour(uint32_t red, uint32_t green, uint32_t blue, uint32_t alpha = 255);
    // Each on the 0..255 scale, truncated; alpha 255.
    CRgbaColour(float red, float green, float blue);
    // The high bytes of the fixture colour's red, green, blue and alpha.
    explicit CRgbaColour(const CColour& colour);

    uint32_t GetValue() const { return m_value; }
    uint8_t GetRed() const { return uint8_t(m_value); }
    uint8_t GetGreen() const { return uint8_t(m_value >> 8); }
    uint8_t GetBlue() const { return uint8_t(m_value >> 16); }
    uint8_t GetAlpha() const { return uint8_t(m_value >> 24); }
    float GetRedFloat() const { return GetRed() / 255.0f; }
    float GetGreenFloat() const { return GetGreen() / 255.0f; }
    float GetBlueFloat() const { return GetBlue() / 255.0f; }
    float GetAlphaFloat() const { return GetAlpha() / 255.0f; }
    uint8_t GetInverseRed() const { return uint8_t(255 - GetRed()); }
    uint8_t GetInverseGreen() const { return uint8_t(255 - GetGreen()); }
    uint8_t GetInverseBlue() const { return uint8_t(255 - GetBlue()); }
    // (red + green + blue) / 765.
    float GetBrightness() const;

    void Set(uint32_t red, uint32_t green, uint32_t blue, uint32_t alpha);
    // Alpha becomes 255.
    void SetRgb(uint32_t red, uint32_t green, uint32_t blue);
    void SetRed(uint32_t red);
    void SetGreen(uint32_t green);
    void SetBlue(uint32_t blue);
    void SetAlpha(uint8_t alpha);
    // Red, green and blue of the other colour; this alpha stays.
    void SetRgbFrom(const CRgbaColour& other);
    void SetFromColour(const CColour& colour);
    // The float is clamped to 0..1 and scaled to 0..255.
    void SetRedFloat(float red);
    void SetGreenFloat(float green);
    void SetBlueFloat(float blue);
    void SetAlphaFloat(float alpha);
    void SetInverseRedFloat(float red);
    void SetInverseGreenFloat(float green);
    void SetInverseBlueFloat(float blue);
    void SetInverseRed(uint32_t red);
    void SetInverseGreen(uint32_t green);
    void SetInverseBlue(uint32_t blue);

    CColour ToColour() const;
    uint32_t ToSdlPixel(const SDL_PixelFormat* format) const;

    bool operator==(const CRgbaColour& other) const { return m_value == other.m_value; }
    bool operator!=(const CRgbaColour& other) const { return m_value != other.m_value; }
    bool IsDarkerThan(const CRgbaColour& other) const;
    // Red, green, blue and alpha equal the fixture colour's high bytes.
    bool EqualsColour(const CColour& colour) const;
    // Euclidean distance of red, green and blue.
    float Distance(const CRgbaColour& other) const;

    // "0x" and six upper-case hex digits of red, green, blue; alpha is not written.
    std::string ToString() const;
    // Reads "0xRRGGBB", "0XRRGGBB" or "#RRGGBB" (alpha 255). Any other text leaves the colour
    // unchanged and returns false.
    bool Parse(const std::string& text);

    // Red, green and blue times f (f <= 0 gives black, f >= 1 no change); alpha kept.
    CRgbaColour Scale(float f) const;
    void ScaleInPlace(float f) { *this = Scale(f); }
    // Only ever lowers alpha.
    void ScaleAlpha(float f);
    // Saturating per channel on red, green, blue; alpha kept.
    void Add(const CRgbaColour& other);
    void Subtract(const CRgbaColour& other);
    // Per channel, alpha included.
    void Max(const CRgbaColour& other);
    void Min(const CRgbaColour& other);
    // Per channel on red, green, blue; alpha becomes 255.
    void MaxRgb(const CRgbaColour& other);
    // Channel products on the 0..1 scale; alpha kept.
    void Multiply(const CRgbaColour& other);
    // Premultiplies red, green, blue by alpha and makes the colour opaque.
    void FlattenAlpha();
    // From a towards b by t in 0..1, each of the four channels.
    static CRgbaColour Blend(const CRgbaColour& a, const CRgbaColour& b, float t);
    // As Blend for red, green, blue; alpha of a.
    static CRgbaColour BlendRgb(const CRgbaColour& a, const CRgbaColour& b, float t);
    // A random opaque colour of random brightness, drawn with rand().
    void SetRandom();

    // Hue, saturation and lightness, each 0..1.
    void ToHsl(float& hue, float& saturation, float& lightness) const;
    float GetHue() const;
    float GetSaturation() const;
    // Red, green, blue from hue, saturation, lightness; alpha kept.
    void SetHsl(double hue, double saturation, double lightness);
    // Raises the saturation by amount, at most to 1.
    void AddSaturation(float amount);

private:
    void SetByte(int shift, uint32_t byte);

    uint32_t m_value = 0xFF000000u;
};

bool EqualsColour(const CColour& colour, const CRgbaColour& rgba);
