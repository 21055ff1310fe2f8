#include "foundation/colour.h"
#include "foundation/rgba_colour.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>

namespace
{
void ExpectRgba(const CRgbaColour& c, int r, int g, int b, int a)
{
    EXPECT_EQ(c.GetRed(), r);
    EXPECT_EQ(c.GetGreen(), g);
    EXPECT_EQ(c.GetBlue(), b);
    EXPECT_EQ(c.GetAlpha(), a);
}
}  // namespace

TEST(RgbaColour, RedIsTheLowByteAndTheDefaultIsOpaqueBlack)
{
    EXPECT_EQ(CRgbaColour().GetValue(), 0xFF000000u);
    EXPECT_EQ(CRgbaColour().ToString(), "0x000000");
    EXPECT_EQ(CRgbaColour(1, 2, 3, 4).GetValue(), 0x04030201u);
    EXPECT_EQ(CRgbaColour(0x12, 0xAB, 0x0F).ToString(), "0x12AB0F");

    // The packed value is the pixel of an ABGR8888 surface as it stands.
    SDL_PixelFormat* format = SDL_AllocFormat(SDL_PIXELFORMAT_ABGR8888);
    ASSERT_NE(format, nullptr);
    EXPECT_EQ(CRgbaColour(10, 20, 30).ToSdlPixel(format), CRgbaColour(10, 20, 30).GetValue());
    SDL_FreeFormat(format);
}

TEST(RgbaColour, ConstructorsAndSettersLimitTheirArguments)
{
    ExpectRgba(CRgbaColour(300.5f, 12.9f, -4.0f), 255, 12, 0, 255);
    ExpectRgba(CRgbaColour(256u, 7u, 8u, 9u), 255, 7, 8, 9);
    CRgbaColour c(10, 20, 30, 40);
    c.SetRed(1000);
    c.SetInverseGreen(5);
    c.SetBlueFloat(2.0f);
    c.SetAlphaFloat(0.5f);
    ExpectRgba(c, 255, 250, 255, 127);
    c.SetInverseRedFloat(1.5f);
    c.SetGreenFloat(-1.0f);
    ExpectRgba(c, 0, 0, 255, 127);
    c.SetRgbFrom(CRgbaColour(1, 2, 3, 200));
    ExpectRgba(c, 1, 2, 3, 127);
    c.SetRgb(9, 8, 7);
    ExpectRgba(c, 9, 8, 7, 255);
}

TEST(RgbaColour, ParseReadsHexAfterZeroXOrHashAndRefusesAnythingElse)
{
    CRgbaColour hash, hex, upper;
    EXPECT_TRUE(hash.Parse("#FF8000"));
    EXPECT_TRUE(hex.Parse("0xff8000"));
    EXPECT_TRUE(upper.Parse("0XFF8000"));
    ExpectRgba(hash, 255, 128, 0, 255);
    EXPECT_EQ(hex, hash);
    EXPECT_EQ(upper, hash);

    CRgbaColour c(1, 2, 3, 4);
    for (const char* bad : {"oXFF8000", "0xFF800", "0xFF80001", "#FF800G", "FF8000", "", "0x", " 0xFF8000"})
    {
        EXPECT_FALSE(c.Parse(bad)) << bad;
        EXPECT_EQ(c, CRgbaColour(1, 2, 3, 4)) << bad;
    }
}

TEST(RgbaColour, ScaleKeepsAlphaAndTruncates)
{
    const CRgbaColour c(0x80FF8040u);
    EXPECT_EQ(c.Scale(0.5f).GetValue(), 0x807F4020u);
    EXPECT_EQ(c.Scale(0.0f).GetValue(), 0x80000000u);
    EXPECT_EQ(c.Scale(-3.0f).GetValue(), 0x80000000u);
    EXPECT_EQ(c.Scale(1.5f), c);

    CRgbaColour a(10, 10, 10, 200);
    a.ScaleAlpha(2.0f);
    EXPECT_EQ(a.GetAlpha(), 200);
    a.ScaleAlpha(0.5f);
    EXPECT_EQ(a.GetAlpha(), 100);
    a.ScaleAlpha(-1.0f);
    EXPECT_EQ(a.GetAlpha(), 0);
}

TEST(RgbaColour, ChannelArithmeticSaturates)
{
    CRgbaColour c(200, 100, 0, 77);
    c.Add(CRgbaColour(100, 100, 100, 255));
    ExpectRgba(c, 255, 200, 100, 77);
    c.Subtract(CRgbaColour(10, 250, 50));
    ExpectRgba(c, 245, 0, 50, 77);

    CRgbaColour m(10, 200, 30, 40);
    m.Max(CRgbaColour(20, 100, 30, 50));
    ExpectRgba(m, 20, 200, 30, 50);
    m.Min(CRgbaColour(15, 255, 0, 45));
    ExpectRgba(m, 15, 200, 0, 45);
    m.MaxRgb(CRgbaColour(0, 0, 5, 0));
    ExpectRgba(m, 15, 200, 5, 255);
}

TEST(RgbaColour, MultiplyHasWhiteAndBlackShortcuts)
{
    CRgbaColour c(100, 150, 200, 90);
    c.Multiply(CRgbaColour(255, 255, 255, 255));
    ExpectRgba(c, 100, 150, 200, 90);
    c.Multiply(CRgbaColour(255, 128, 0, 255));
    ExpectRgba(c, 100, 75, 0, 90);
    c.Multiply(CRgbaColour(0, 0, 0, 255));
    ExpectRgba(c, 0, 0, 0, 255);
}

TEST(RgbaColour, FlattenAlphaPremultipliesOnlyTranslucentColours)
{
    CRgbaColour c(200, 100, 50, 128);
    c.FlattenAlpha();
    ExpectRgba(c, 100, 50, 25, 255);
    c.FlattenAlpha();
    ExpectRgba(c, 100, 50, 25, 255);
}

TEST(RgbaColour, BlendTruncatesTowardsTheFirstColour)
{
    const CRgbaColour black(0, 0, 0), white(255, 255, 255);
    ExpectRgba(CRgbaColour::Blend(black, white, 0.5f), 127, 127, 127, 255);
    ExpectRgba(CRgbaColour::Blend(white, black, 0.5f), 128, 128, 128, 255);
    EXPECT_EQ(CRgbaColour::Blend(black, white, -1.0f), black);
    EXPECT_EQ(CRgbaColour::Blend(black, white, 1.0f), white);
    const CRgbaColour clear(0, 0, 0, 0);
    ExpectRgba(CRgbaColour::Blend(clear, white, 0.25f), 63, 63, 63, 63);
    ExpectRgba(CRgbaColour::BlendRgb(clear, white, 0.25f), 63, 63, 63, 0);
}

TEST(RgbaColour, HslOfThePrimariesAndBack)
{
    float h, s, l;
    CRgbaColour(255, 0, 0).ToHsl(h, s, l);
    EXPECT_FLOAT_EQ(h, 0.0f);
    EXPECT_FLOAT_EQ(s, 1.0f);
    EXPECT_FLOAT_EQ(l, 0.5f);
    EXPECT_NEAR(CRgbaColour(0, 0, 255).GetHue(), 2.0f / 3.0f, 1e-6);
    EXPECT_NEAR(CRgbaColour(255, 0, 255).GetHue(), 5.0f / 6.0f, 1e-6);
    EXPECT_EQ(CRgbaColour(90, 90, 90).GetSaturation(), 0.0f);

    CRgbaColour c(1, 2, 3, 44);
    c.SetHsl(0.0, 1.0, 0.5);
    ExpectRgba(c, 255, 0, 0, 44);
    c.SetHsl(1.0 / 3.0, 1.0, 0.5);
    ExpectRgba(c, 0, 255, 0, 44);
    c.SetHsl(-2.0 / 3.0, 1.0, 0.5);  // the hue's magnitude counts
    ExpectRgba(c, 0, 0, 255, 44);
    c.SetHsl(0.5, 1.0, 0.0);
    ExpectRgba(c, 0, 0, 0, 44);
    c.SetHsl(std::numeric_limits<double>::quiet_NaN(), 1.0, 0.5);
    ExpectRgba(c, 255, 0, 0, 44);
}

TEST(RgbaColour, HslRoundTripStaysWithinOneStep)
{
    std::mt19937 random(7);
    for (int i = 0; i < 2000; ++i)
    {
        const CRgbaColour original(int(random() % 256), int(random() % 256), int(random() % 256));
        float h, s, l;
        original.ToHsl(h, s, l);
        CRgbaColour back;
        back.SetHsl(h, s, l);
        EXPECT_NEAR(back.GetRed(), original.GetRed(), 1) << original.ToString();
        EXPECT_NEAR(back.GetGreen(), original.GetGreen(), 1) << original.ToString();
        EXPECT_NEAR(back.GetBlue(), original.GetBlue(), 1) << original.ToString();
    }
}

TEST(RgbaColour, AddSaturationStopsAtFull)
{
    CRgbaColour c(150, 100, 100);
    c.AddSaturation(5.0f);
    EXPECT_FLOAT_EQ(c.GetSaturation(), 1.0f);
    EXPECT_NEAR(c.GetHue(), 0.0f, 1e-6);
}

TEST(RgbaColour, SetRandomWithoutWeightsGivesGrey)
{
    // Find a place in the rand() stream where the three weight draws are all 0, then start
    // SetRandom exactly there.
    std::srand(1);
    int window[4] = {std::rand(), std::rand(), std::rand(), std::rand()};
    long skip = 0;
    while (!(window[1] % 100 == 0 && window[2] % 100 == 0 && window[3] % 100 == 0))
    {
        window[0] = window[1];
        window[1] = window[2];
        window[2] = window[3];
        window[3] = std::rand();
        ++skip;
        ASSERT_LT(skip, 100000000L);
    }
    std::srand(1);
    for (long i = 0; i < skip; ++i)
        std::rand();
    CRgbaColour c(1, 2, 3, 4);
    c.SetRandom();
    const int grey = (window[0] % 510 + 255) / 3;
    ExpectRgba(c, grey, grey, grey, 255);
}

TEST(RgbaColour, ComparisonsAndDistance)
{
    EXPECT_TRUE(CRgbaColour(10, 10, 10).IsDarkerThan(CRgbaColour(10, 10, 11)));
    EXPECT_FALSE(CRgbaColour(10, 10, 11).IsDarkerThan(CRgbaColour(11, 10, 10)));
    EXPECT_FLOAT_EQ(CRgbaColour(0, 0, 0).Distance(CRgbaColour(3, 4, 0, 0)), 5.0f);
    EXPECT_NE(CRgbaColour(0, 0, 0, 0), CRgbaColour(0, 0, 0, 1));
}
