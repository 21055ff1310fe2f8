#include "graphics/base_image.h"
#include "graphics/pixel_math.h"
#include "graphics/zevral_image.h"
#include "tests/graphics/graphics_test_util.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>

using graphics_test::RandomImage;

namespace
{
constexpr uint32_t kBlack = 0xFF000000u;

uint32_t Rgba(uint32_t r, uint32_t g, uint32_t b, uint32_t a)
{
    return r | g << 8 | b << 16 | a << 24;
}

uint32_t At(const CBaseImage& image, int x, int y)
{
    return image.GetPixel(uint32_t(x), uint32_t(y)).GetValue();
}

CZevralImage Solid(uint32_t width, uint32_t height, uint32_t colour)
{
    CZevralImage image(width, height);
    image.Fill(CRgbaColour(colour));
    return image;
}

// The pixels set to the colour, as "x,y" pairs in row order.
std::vector<std::pair<int, int>> PixelsOf(const CBaseImage& image, uint32_t colour)
{
    std::vector<std::pair<int, int>> result;
    for (int y = 0; y < image.GetHeight(); ++y)
        for (int x = 0; x < image.GetWidth(); ++x)
            if (At(image, x, y) == colour)
                result.emplace_back(x, y);
    return result;
}

using Pixels = std::vector<std::pair<int, int>>;
}  // namespace

TEST(BaseImage, OutOfRangeReadsDifferByAccessor)
{
    CZevralImage image(4, 3);
    image.Fill(CRgbaColour(0x11223344u));
    EXPECT_EQ(image.GetPixel(4u, 0u).GetValue(), 0u);
    EXPECT_EQ(image.GetPixel(CPoint(4, 0)).GetValue(), kBlack);
    EXPECT_EQ(image.GetPixel(CPoint(-1, 0)).GetValue(), kBlack);
    EXPECT_EQ(image.GetPixel(12u).GetValue(), kBlack);
    EXPECT_EQ(image.GetPixel(11u).GetValue(), 0x11223344u);
    EXPECT_EQ(image.GetRow(3), nullptr);
    EXPECT_EQ(image.GetConstRow(uint32_t(-1)), nullptr);
    EXPECT_NE(image.GetRow(2), nullptr);

    image.SetPixel(CPoint(-1, 1), CRgbaColour(0u));
    image.SetPixel(4u, 1u, CRgbaColour(0u));
    image.SetPixel(12u, CRgbaColour(0u));
    EXPECT_EQ(graphics_test::RawBytes(image), graphics_test::RawBytes(Solid(4, 3, 0x11223344u)));

    CZevralImage empty;
    EXPECT_EQ(empty.GetRow(0), nullptr);
    empty.Fill(CRgbaColour(0u));
    empty.CompositeImage(image);
    empty.DrawLine(0, 0, 5, 5, CRgbaColour(0u));
}

TEST(BaseImage, PixelArithmeticMatchesTheColourType)
{
    std::mt19937 random(7);
    for (int i = 0; i < 20000; ++i)
    {
        const uint32_t a = uint32_t(random());
        const uint32_t b = i % 5 == 0 ? a : uint32_t(random());
        const float t = float(random() % 1201) / 1000.0f - 0.1f;
        EXPECT_EQ(pixel::Blend(a, b, t), CRgbaColour::Blend(CRgbaColour(a), CRgbaColour(b), t).GetValue());
        EXPECT_EQ(pixel::BlendRgb(a, b, t), CRgbaColour::BlendRgb(CRgbaColour(a), CRgbaColour(b), t).GetValue());
        CRgbaColour flat(a);
        flat.FlattenAlpha();
        EXPECT_EQ(pixel::Premultiply(a), flat.GetValue());
    }
}

TEST(BaseImage, CompositeFollowsTheAlphaRules)
{
    // Alpha 128 over an opaque pixel: the colour moves by trunc(difference * 128 / 255), alpha stays.
    CZevralImage target = Solid(1, 1, Rgba(0, 100, 200, 255));
    target.CompositeImage(Solid(1, 1, Rgba(255, 0, 100, 128)));
    const float t = 128.0f / 255.0f;
    EXPECT_EQ(At(target, 0, 0), Rgba(uint32_t(255 * t), 100 - uint32_t(100 * t), 200 - uint32_t(100 * t), 255));

    // Alpha 200 over alpha 100: all four channels mix by 200 / 300.
    target = Solid(1, 1, Rgba(0, 0, 0, 100));
    target.CompositeImage(Solid(1, 1, Rgba(255, 30, 0, 200)));
    const float u = 200.0f / 300.0f;
    EXPECT_EQ(At(target, 0, 0), Rgba(uint32_t(255 * u), uint32_t(30 * u), 0, 100 + uint32_t(100 * u)));

    // A transparent target takes the source as it is; an opaque source always replaces.
    target = Solid(1, 1, Rgba(9, 9, 9, 0));
    target.CompositeImage(Solid(1, 1, Rgba(1, 2, 3, 4)));
    EXPECT_EQ(At(target, 0, 0), Rgba(1, 2, 3, 4));
    target = Solid(1, 1, Rgba(9, 9, 9, 200));
    target.CompositeImage(Solid(1, 1, Rgba(1, 2, 3, 255)));
    EXPECT_EQ(At(target, 0, 0), Rgba(1, 2, 3, 255));
    // A transparent source leaves the target alone.
    target.CompositeImage(Solid(1, 1, Rgba(200, 200, 200, 0)));
    EXPECT_EQ(At(target, 0, 0), Rgba(1, 2, 3, 255));
}

TEST(BaseImage, BlendImageMixesAllChannelsWhereTheSourceIsLessOpaque)
{
    CZevralImage target = Solid(1, 1, Rgba(0, 0, 0, 255));
    target.BlendImage(CPoint(), Solid(1, 1, Rgba(200, 200, 200, 0)));
    EXPECT_EQ(At(target, 0, 0), Rgba(0, 0, 0, 255));
    target.BlendImage(CPoint(), Solid(1, 1, Rgba(255, 255, 255, 85)));
    const float t = 85.0f / 340.0f;
    const uint32_t c = uint32_t(255 * t);
    EXPECT_EQ(At(target, 0, 0), Rgba(c, c, c, 255 - uint32_t(170 * t)));
    target = Solid(1, 1, Rgba(5, 5, 5, 0));
    target.BlendImage(CPoint(), Solid(1, 1, Rgba(1, 2, 3, 4)));
    EXPECT_EQ(At(target, 0, 0), Rgba(1, 2, 3, 4));
}

TEST(BaseImage, CompositeOntoAnOpaqueTargetAgreesWithSdlBlending)
{
    // SDL blends into a 24-bit target with its exact per-channel rule; its 32-bit fast path
    // divides by 256 instead of 255 and strays by up to 3 levels, so it is no reference.
    const int w = 64, h = 48;
    CZevralImage source = RandomImage(w, h, 1);
    CZevralImage target = RandomImage(w, h, 2);
    std::vector<uint8_t> expected;
    for (uint32_t i = 0; i < target.GetPixelCount(); ++i)
    {
        const uint32_t p = target.GetPixel(i).GetValue() | 0xFF000000u;
        target.SetPixel(i, CRgbaColour(p));
        for (int shift = 0; shift < 24; shift += 8)
            expected.push_back(uint8_t(p >> shift));
    }
    SDL_Surface* s = SDL_CreateRGBSurfaceWithFormatFrom(source.GetPixels(), w, h, 32, w * 4, SDL_PIXELFORMAT_ABGR8888);
    SDL_Surface* d = SDL_CreateRGBSurfaceWithFormatFrom(expected.data(), w, h, 24, w * 3, SDL_PIXELFORMAT_RGB24);
    ASSERT_TRUE(s && d);
    SDL_SetSurfaceBlendMode(s, SDL_BLENDMODE_BLEND);
    ASSERT_EQ(SDL_BlitSurface(s, nullptr, d, nullptr), 0);
    SDL_FreeSurface(s);
    SDL_FreeSurface(d);

    target.CompositeImage(source);
    int worst = 0;
    for (uint32_t i = 0; i < target.GetPixelCount(); ++i)
    {
        const uint32_t ours = target.GetPixel(i).GetValue();
        EXPECT_EQ(ours >> 24, 255u);
        for (int c = 0; c < 3; ++c)
            worst = std::max(worst, std::abs(int((ours >> (8 * c)) & 0xFF) - int(expected[i * 3 + c])));
    }
    EXPECT_LE(worst, 2);
}

TEST(BaseImage, CompositeAndCopyAreClippedToTheTarget)
{
    CZevralImage source = RandomImage(5, 5, 3);
    for (const CPoint& at : {CPoint(-3, -2), CPoint(2, 3), CPoint(-10, 0), CPoint(0, 10), CPoint(INT32_MIN, INT32_MAX)})
    {
        CZevralImage target = Solid(4, 4, kBlack);
        target.CopyImage(at, source);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x)
            {
                const int64_t sx = int64_t(x) - at.GetX(), sy = int64_t(y) - at.GetY();
                const bool inside = sx >= 0 && sy >= 0 && sx < 5 && sy < 5;
                EXPECT_EQ(At(target, x, y), inside ? At(source, int(sx), int(sy)) : kBlack);
            }
    }
    // keepAlpha keeps the replaced pixel's alpha.
    CZevralImage target = Solid(2, 1, Rgba(0, 0, 0, 77));
    target.CopyImage(CPoint(1, 0), Solid(1, 1, Rgba(1, 2, 3, 255)), true);
    EXPECT_EQ(At(target, 0, 0), Rgba(0, 0, 0, 77));
    EXPECT_EQ(At(target, 1, 0), Rgba(1, 2, 3, 77));
}

TEST(BaseImage, FillsAndTranslucentFills)
{
    CZevralImage image = Solid(3, 2, Rgba(10, 20, 30, 40));
    image.Fill(CRgbaColour(Rgba(1, 2, 3, 250)), true);
    EXPECT_EQ(At(image, 2, 1), Rgba(1, 2, 3, 40));

    CZevralImage a = RandomImage(4, 4, 5);
    CZevralImage b = a;
    a.FillTranslucent(CRgbaColour(Rgba(9, 8, 7, 255)));
    b.Fill(CRgbaColour(Rgba(9, 8, 7, 255)));
    EXPECT_EQ(a, b);
    b = RandomImage(4, 4, 5);
    a = b;
    a.FillTranslucent(CRgbaColour(Rgba(9, 8, 7, 0)));
    EXPECT_EQ(a, b);

    // Half-transparent white over opaque black: premultiplied to 127 grey, mixed by 128 / 255.
    image = Solid(1, 1, kBlack);
    image.FillTranslucent(CRgbaColour(Rgba(255, 255, 255, 128)));
    const uint32_t grey = uint32_t(128.0f / 255.0f * 255.0f);
    const uint32_t mixed = uint32_t(float(grey) * (128.0f / 255.0f));
    EXPECT_EQ(At(image, 0, 0), Rgba(mixed, mixed, mixed, 255));
}

TEST(BaseImage, LinesIncludeBothEnds)
{
    CZevralImage image = Solid(6, 4, 0);
    image.DrawLine(0, 0, 3, 1, CRgbaColour(kBlack));
    EXPECT_EQ(PixelsOf(image, kBlack), (Pixels{{0, 0}, {1, 0}, {2, 1}, {3, 1}}));

    image = Solid(6, 4, 0);
    image.DrawLine(CPoint(3, 1), CPoint(0, 0), CRgbaColour(kBlack));
    EXPECT_EQ(PixelsOf(image, kBlack).size(), 4u);

    image = Solid(6, 4, 0);
    image.DrawLine(2, 2, 2, 2, CRgbaColour(kBlack));
    EXPECT_EQ(PixelsOf(image, kBlack), (Pixels{{2, 2}}));

    image = Solid(6, 4, 0);
    image.DrawLine(1, 3, 1, 0, CRgbaColour(kBlack));
    EXPECT_EQ(PixelsOf(image, kBlack), (Pixels{{1, 0}, {1, 1}, {1, 2}, {1, 3}}));

    // End points far off the image: only the visible part is walked, and it is still the line.
    image = Solid(6, 4, 0);
    image.DrawLine(-2000000000, 2, 2000000000, 2, CRgbaColour(kBlack));
    EXPECT_EQ(PixelsOf(image, kBlack).size(), 6u);
    image = Solid(6, 4, 0);
    image.DrawLine(INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX, CRgbaColour(kBlack));
    image.DrawLine(5, INT32_MAX, 5, INT32_MIN, CRgbaColour(kBlack));
    EXPECT_EQ(PixelsOf(image, kBlack).size(), 8u);
}

TEST(BaseImage, RectanglesAndHatches)
{
    CZevralImage image = Solid(8, 12, 0);
    image.FillRect(CRgbaColour(kBlack), CRect(1, 1, 3, 0));
    EXPECT_TRUE(PixelsOf(image, kBlack).empty());
    image.FillRect(CRgbaColour(kBlack), CRect(2, 1, 1, 3));
    EXPECT_EQ(PixelsOf(image, kBlack), (Pixels{{2, 1}, {2, 2}, {2, 3}}));
    image = Solid(8, 12, 0);
    image.FillRect(CRgbaColour(kBlack), CRect(-5, 10, 7, 50));
    EXPECT_EQ(PixelsOf(image, kBlack), (Pixels{{0, 10}, {1, 10}, {0, 11}, {1, 11}}));

    image = Solid(8, 12, 0);
    image.DrawRect(CRgbaColour(kBlack), CRect(1, 1, 3, 3));
    EXPECT_EQ(PixelsOf(image, kBlack), (Pixels{{1, 1}, {2, 1}, {3, 1}, {1, 2}, {3, 2}, {1, 3}, {2, 3}, {3, 3}}));

    image = Solid(8, 12, 0);
    image.FillHatched(CRect(1, 1, 3, 10), CRgbaColour(kBlack), 1);
    Pixels rows;
    for (int y : {1, 5, 9})
        for (int x : {1, 2, 3})
            rows.emplace_back(x, y);
    EXPECT_EQ(PixelsOf(image, kBlack), rows);

    image = Solid(8, 12, 0);
    image.FillHatched(CRect(-3, -1, 6, 3), CRgbaColour(kBlack), 0);
    // Row y starts at x = rect.x + y mod 2 and steps by two.
    EXPECT_EQ(PixelsOf(image, kBlack), (Pixels{{1, 0}, {0, 1}, {2, 1}}));
}

TEST(BaseImage, NearestAndSmoothScaling)
{
    CZevralImage source(4, 1);
    for (uint32_t x = 0; x < 4; ++x)
        source.SetPixel(x, 0u, CRgbaColour(Rgba(x * 10, 0, 0, 255)));
    CZevralImage nearest(2, 1);
    nearest.ScaleImage(source, false);
    EXPECT_EQ(At(nearest, 0, 0), Rgba(0, 0, 0, 255));
    EXPECT_EQ(At(nearest, 1, 0), Rgba(20, 0, 0, 255));

    // 3 to 5 columns samples 0, 0.5, 1, 1.5 and 2.
    CZevralImage three(3, 1);
    three.SetPixel(0u, 0u, CRgbaColour(Rgba(0, 0, 0, 255)));
    three.SetPixel(1u, 0u, CRgbaColour(Rgba(100, 0, 0, 255)));
    three.SetPixel(2u, 0u, CRgbaColour(Rgba(201, 0, 0, 255)));
    CZevralImage five(5, 1);
    five.ScaleImage(three, true);
    const uint32_t expected[] = {0, 50, 100, 150, 201};
    for (int x = 0; x < 5; ++x)
        EXPECT_EQ(At(five, x, 0), Rgba(expected[x], 0, 0, 255)) << x;

    // The same size is an exact copy, even smooth.
    CZevralImage random = RandomImage(7, 5, 9);
    CZevralImage copy(7, 5);
    copy.ScaleImage(random, true);
    EXPECT_EQ(copy, random);

    // A one-pixel-wide or -high target takes the first column or row.
    CZevralImage column(1, 2);
    column.ScaleImage(random, true);
    EXPECT_EQ(At(column, 0, 0), At(random, 0, 0));
    EXPECT_EQ(At(column, 0, 1), At(random, 0, 4));
    CZevralImage dot(1, 1);
    dot.ScaleImage(random, true);
    EXPECT_EQ(At(dot, 0, 0), At(random, 0, 0));

    // Into a rectangle: only the rectangle changes, and its corners land on the source's.
    CZevralImage canvas = Solid(10, 10, 0);
    canvas.ScaleImageIntoRect(random, CRect(2, 3, 4, 4));
    EXPECT_EQ(At(canvas, 2, 3), At(random, 0, 0));
    EXPECT_EQ(At(canvas, 5, 6), At(random, 6, 4));
    EXPECT_EQ(At(canvas, 1, 3), 0u);
    EXPECT_EQ(At(canvas, 6, 6), 0u);
    canvas.ScaleImageIntoRect(random, CRect(-100, -100, 1, 1));
    canvas.ScaleImageIntoRect(random, CRect(8, 8, 1, 50));
}

TEST(BaseImage, ExtractCropAndRegionCopy)
{
    CZevralImage source = RandomImage(6, 5, 11);
    CZevralImage crop = source.Crop(CRect(4, 3, 3, 3));
    EXPECT_EQ(crop.GetWidth(), 3);
    EXPECT_EQ(At(crop, 0, 0), At(source, 4, 3));
    EXPECT_EQ(At(crop, 1, 1), At(source, 5, 4));
    EXPECT_EQ(At(crop, 2, 0), 0u);  // past the source: transparent
    EXPECT_EQ(At(crop, 0, 2), 0u);

    CZevralImage target = Solid(6, 6, Rgba(1, 1, 1, 1));
    target.CopyImageRegion(CPoint(3, 3), Solid(2, 2, Rgba(2, 2, 2, 2)), CRect(2, 2, 3, 3));
    EXPECT_EQ(At(target, 2, 2), kBlack);  // in the rectangle, not covered
    EXPECT_EQ(At(target, 3, 3), Rgba(2, 2, 2, 2));
    EXPECT_EQ(At(target, 4, 4), Rgba(2, 2, 2, 2));
    EXPECT_EQ(At(target, 5, 5), Rgba(1, 1, 1, 1));  // outside the rectangle
    EXPECT_EQ(At(target, 1, 1), Rgba(1, 1, 1, 1));
}
