#include "foundation/colour.h"

#include <gtest/gtest.h>

#include <limits>

namespace
{
// The seven emitters and alpha as raw levels.
void ExpectLevels(const CColour& c, std::initializer_list<int> levels)
{
    int channel = 0;
    for (int level : levels)
    {
        EXPECT_EQ(c.GetLevel(CColour::EChannel(channel)), level) << "channel " << channel;
        ++channel;
    }
}
}  // namespace

TEST(Colour, DefaultIsDarkWithFullAlpha)
{
    const CColour c;
    EXPECT_EQ(c.ToRgbcwauString(), "rgbcwau00000000000000");
    ExpectLevels(c, {0, 0, 0, 0, 0, 0, 0, 65535});
}

TEST(Colour, BytesWidenSoThatFullStaysFull)
{
    const CColour c(CRgbaColour(255, 128, 0, 255));
    ExpectLevels(c, {65535, 32768, 0, 0, 0, 0, 0, 65535});
    EXPECT_EQ(c.ToRgbaColour(), CRgbaColour(255, 128, 0, 255));
    EXPECT_TRUE(CRgbaColour(255, 128, 0).EqualsColour(c));
    EXPECT_TRUE(EqualsColour(c, CRgbaColour(255, 128, 0)));
    EXPECT_EQ(CColour(0x80010203u).GetLevel(CColour::kAlpha), 0x8000);

    CColour d;
    d.SetRed8(254);
    d.SetGreen8(1000);
    d.SetUv8(1);
    d.SetInverseBlue8(0);
    ExpectLevels(d, {65024, 65535, 65535, 0, 0, 0, 256, 65535});
    d.SetLevel(CColour::kAmber, 0x12FF);
    EXPECT_EQ(d.GetAmber8(), 0x12);
    EXPECT_EQ(d.GetInverseRed8(), 1);
}

TEST(Colour, FloatsAreClampedFractionsOfFullScale)
{
    CColour c(1.5f, 0.5f, -1.0f);
    ExpectLevels(c, {65535, 32767, 0, 0, 0, 0, 0, 65535});
    c.SetWhite(0.25f);
    c.SetInverseRed(0.25f);
    EXPECT_EQ(c.GetLevel(CColour::kWhite), 16383);
    EXPECT_EQ(c.GetLevel(CColour::kRed), 65535 - 16383);
    EXPECT_FLOAT_EQ(c.GetGreen(), 32767 / 65535.0f);
    EXPECT_FLOAT_EQ(c.GetInverseBlue(), 1.0f);
}

TEST(Colour, TextFormsRoundTripTheirHighBytes)
{
    CColour c;
    ASSERT_TRUE(c.Parse("rgbawFF80000040"));
    ExpectLevels(c, {65535, 32768, 0, 16384, 0, 0, 0, 65535});
    EXPECT_EQ(c.ToRgbawString(), "rgbawFF80000040");
    EXPECT_EQ(c.ToHexString(), "0xFF8000");

    ASSERT_TRUE(c.Parse("RGBCWAU0102030405FFab"));
    ExpectLevels(c, {0x100, 0x200, 0x300, 0x400, 0x500, 65535, 0xAB00, 65535});
    EXPECT_EQ(c.ToRgbcwauString(), "rgbcwau0102030405FFAB");
    EXPECT_EQ(c.ToRgbawString(), "rgbaw010203FF04");

    ASSERT_TRUE(c.Parse("0X0A0B0C"));
    ExpectLevels(c, {0xA00, 0xB00, 0xC00, 0, 0, 0, 0, 65535});
}

TEST(Colour, ParseRefusesOtherTextAndKeepsTheValue)
{
    CColour c;
    c.Parse("rgbcwau01020304050607");
    const CColour before = c;
    for (const char* bad : {"rgbawFF8000004", "rgbawFF800000400", "RgbawFF80000040", "oXFF8000", "0xFF80",
                            "rgbcwau0102030405060", "rgbcwau0102030405060G", "", "#FF8000"})
    {
        EXPECT_FALSE(c.Parse(bad)) << bad;
        EXPECT_EQ(c, before) << bad;
    }
}

TEST(Colour, ArithmeticSaturatesAndLeavesAlpha)
{
    CColour a, b;
    a.SetLevel(CColour::kRed, 60000);
    a.SetLevel(CColour::kAlpha, 100);
    b.SetLevel(CColour::kRed, 10000);
    b.SetLevel(CColour::kUv, 5);
    CColour sum = a;
    sum.Add(b);
    ExpectLevels(sum, {65535, 0, 0, 0, 0, 0, 5, 100});
    CColour difference = a;
    difference.Subtract(b);
    ExpectLevels(difference, {50000, 0, 0, 0, 0, 0, 0, 100});
    difference = b;
    difference.Subtract(a);
    ExpectLevels(difference, {0, 0, 0, 0, 0, 0, 5, 65535});

    CColour max = a;
    max.MaxInPlace(b);
    ExpectLevels(max, {60000, 0, 0, 0, 0, 0, 5, 100});

    CColour scaled = a.GetScaled(0.5f);
    ExpectLevels(scaled, {30000, 0, 0, 0, 0, 0, 0, 100});
    scaled.ScaleInPlace(-1.0f);
    ExpectLevels(scaled, {0, 0, 0, 0, 0, 0, 0, 100});
}

TEST(Colour, DivisionClampsAtFullAndIgnoresNonPositiveDivisors)
{
    CColour c;
    c.SetLevel(CColour::kRed, 40000);
    c.SetLevel(CColour::kGreen, 1000);
    c.DivideInPlace(2.0f);
    ExpectLevels(c, {20000, 500, 0, 0, 0, 0, 0, 65535});
    c.DivideInPlace(0.25f);
    ExpectLevels(c, {65535, 2000, 0, 0, 0, 0, 0, 65535});
    const CColour before = c;
    for (float d : {0.0f, -2.0f, std::numeric_limits<float>::quiet_NaN()})
    {
        c.DivideInPlace(d);
        EXPECT_EQ(c, before) << d;
    }
}

TEST(Colour, BlendMovesEveryChannelIncludingAlpha)
{
    CColour a, b;
    a.SetLevel(CColour::kAlpha, 0);
    b.SetLevel(CColour::kRed, 1001);
    b.SetLevel(CColour::kUv, 65535);
    const CColour half = CColour::Blend(a, b, 0.5f);
    ExpectLevels(half, {500, 0, 0, 0, 0, 0, 32767, 32767});
    EXPECT_EQ(CColour::Blend(a, b, 0.0f), a);
    EXPECT_EQ(CColour::Blend(a, b, 2.0f), b);
}

TEST(Colour, WireCarriesRedGreenBlueAmberWhite)
{
    CColour c;
    ASSERT_TRUE(c.Parse("rgbcwau11223344556677"));
    c.SetLevel(CColour::kRed, 0x1234);
    uint16_t wire[5];
    EXPECT_EQ(c.WriteWire(wire), 10);
    EXPECT_EQ(wire[0], 0x1234);  // red, all 16 bits
    EXPECT_EQ(wire[1], 0x2200);  // green
    EXPECT_EQ(wire[2], 0x3300);  // blue
    EXPECT_EQ(wire[3], 0x6600);  // amber
    EXPECT_EQ(wire[4], 0x4400);  // white; warm white and UV are not sent
    CColour back(1, 2, 3, 4);
    back.ReadWire(wire);
    ExpectLevels(back, {0x1234, 0x2200, 0x3300, 0x4400, 0, 0x6600, 0, 65535});
}

TEST(Colour, PreviewMixesEveryEmitter)
{
    CColour white;
    white.SetWhite8(255);
    EXPECT_EQ(white.ToDisplayRgba(), CRgbaColour(63, 63, 63));
    CColour mix(200, 0, 0);
    mix.SetAmber8(255);
    mix.SetUv8(255);
    // red 200 * 0.75 + amber 127 + UV 59 saturates; green 64 + 6; blue 52
    EXPECT_EQ(mix.ToDisplayRgba(), CRgbaColour(255, 70, 52));

    CColour m(10, 200, 30);
    m.SetWhite8(9);
    m.MaxWithRgba(CRgbaColour(255, 100, 40, 0));
    ExpectLevels(m, {65535, 200 * 256, 40 * 256, 0, 0, 0, 0, 65535});
}

TEST(Colour, BrightnessOrdersColours)
{
    EXPECT_TRUE(CColour(10, 0, 0).IsDarkerThan(CColour(0, 0, 11)));
    EXPECT_FALSE(CColour(0, 0, 11).IsDarkerThan(CColour(10, 0, 0)));
    EXPECT_FLOAT_EQ(CColour(255, 255, 255).GetBrightness(), 1.0f);
    EXPECT_FLOAT_EQ(CColour(0, 0, 0).Distance(CColour(3, 4, 0)), 5.0f);
}
