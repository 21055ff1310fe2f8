#include "graphics/picture_file.h"
#include "graphics/zevral_image.h"
#include "tests/graphics/graphics_test_util.h"

#include <gtest/gtest.h>
#include <unistd.h>

using graphics_test::ImageMagickRgba;
using graphics_test::RandomImage;
using graphics_test::RawBytes;

namespace
{
constexpr uint32_t kBlack = 0xFF000000u;
constexpr uint32_t kWhite = 0xFFFFFFFFu;

uint32_t At(const CBaseImage& image, int x, int y)
{
    return image.GetPixel(uint32_t(x), uint32_t(y)).GetValue();
}

// Runs ImageMagick on the image's raw pixels with the given operation and reads the result back.
std::string ImageMagickTransform(const CZevralImage& image, const std::string& operation)
{
    CTempFolder folder;
    const std::string raw = folder / "in.rgba";
    folder.Write("in.rgba", RawBytes(image));
    return graphics_test::RunCommand(std::string(graphics_test::kImageMagick) + " -size " +
                                     std::to_string(image.GetWidth()) + "x" + std::to_string(image.GetHeight()) +
                                     " -depth 8 rgba:'" + raw + "' " + operation + " -depth 8 rgba:-");
}

// A picture with a different colour in every pixel and a few translucent ones.
CZevralImage Gradient(uint32_t width, uint32_t height)
{
    CZevralImage image(width, height);
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t x = 0; x < width; ++x)
            image.SetPixel(x, y, CRgbaColour(x * 20, y * 30, (x + y) * 7, (x * 11 + y * 5) % 3 ? 255 : 90 + x));
    return image;
}
}  // namespace

TEST(ZevralImage, SizesAreClampedAndNewImagesAreOpaqueBlack)
{
    CZevralImage big(6000, 100);
    EXPECT_EQ(big.GetWidth(), 5120);
    EXPECT_EQ(big.GetHeight(), 100);
    EXPECT_EQ(At(big, 5119, 99), kBlack);
    big.Resize(5121, 5121);
    EXPECT_EQ(big.GetWidth(), 5120);
    EXPECT_EQ(big.GetHeight(), 5120);
    EXPECT_EQ(CZevralImage(CRect(3, 4, 7000, 2)).GetWidth(), 5120);

    CZevralImage empty(0, 10);
    EXPECT_EQ(empty.GetPixels(), nullptr);
    EXPECT_EQ(empty.GetPixelCount(), 0u);
    EXPECT_EQ(empty.GetCentre(), CPoint(0, 5));
}

TEST(ZevralImage, ResizeKeepsBufferOrderOrClears)
{
    CZevralImage image(2, 2);
    for (uint32_t i = 0; i < 4; ++i)
        image.SetPixel(i, CRgbaColour(i + 1));
    CZevralImage same = image;
    same.Resize(2, 2, true);
    EXPECT_EQ(same, image);

    CZevralImage kept = image;
    kept.Resize(3, 2, false);
    for (uint32_t i = 0; i < 4; ++i)
        EXPECT_EQ(kept.GetPixel(i).GetValue(), i + 1);
    EXPECT_EQ(kept.GetPixel(4u).GetValue(), kBlack);
    EXPECT_EQ(kept.GetPixel(5u).GetValue(), kBlack);

    CZevralImage cleared = image;
    cleared.Resize(3, 2, true);
    for (uint32_t i = 0; i < 6; ++i)
        EXPECT_EQ(cleared.GetPixel(i).GetValue(), 0u);

    CZevralImage widened = image;
    widened.SetWidth(5);
    EXPECT_EQ(widened.GetPixel(0u).GetValue(), 0u);
    widened.SetHeight(1);
    EXPECT_EQ(widened.GetPixelCount(), 5u);
}

TEST(ZevralImage, CopiesComparisonAndMask)
{
    CZevralImage a = RandomImage(5, 3, 1);
    CZevralImage b(a);
    EXPECT_TRUE(a == b);
    b.SetPixel(14u, CRgbaColour(a.GetPixel(14u).GetValue() ^ 1));
    EXPECT_TRUE(a != b);
    EXPECT_TRUE(a != CZevralImage(5, 4));
    EXPECT_TRUE(CZevralImage(0, 7) == CZevralImage(0, 7));

    CZevralImage moved = std::move(b);
    EXPECT_EQ(moved.GetWidth(), 5);
    b = a;
    EXPECT_EQ(b, a);

    CZevralImage source(2, 1);
    source.SetPixel(1u, 0u, CRgbaColour(0xFF000001u));
    CZevralImage mask(source, CRgbaColour(0x11111111u), CRgbaColour(0x22222222u));
    EXPECT_EQ(At(mask, 0, 0), 0x22222222u);
    EXPECT_EQ(At(mask, 1, 0), 0x11111111u);
}

TEST(ZevralImage, WholeImageColourOperations)
{
    CZevralImage image(2, 2);
    image.Fill(CRgbaColour(10, 20, 30, 40));
    image.SetAlpha(0.6f);
    EXPECT_EQ(At(image, 1, 1), CRgbaColour(10, 20, 30, 153).GetValue());
    image.SetAlpha(0.65f);
    EXPECT_EQ(image.GetPixel(0u).GetAlpha(), 165);
    image.SetAlpha(1.0f);
    EXPECT_EQ(image.GetPixel(0u).GetAlpha(), 255);

    CZevralImage before = image;
    image.ScaleBrightness(1.0f);
    EXPECT_EQ(image, before);
    image.ScaleBrightness(0.5f);
    EXPECT_EQ(At(image, 0, 0), CRgbaColour(5, 10, 15, 255).GetValue());
    image.Fill(CRgbaColour(1, 2, 3, 0));
    image.ScaleBrightness(0.0f);
    EXPECT_EQ(At(image, 0, 0), kBlack);

    image.Fill(CRgbaColour(255, 255, 255, 128));
    image.FlattenAlpha();
    EXPECT_EQ(image.GetPixel(0u).GetAlpha(), 255);
    EXPECT_LT(image.GetPixel(0u).GetRed(), 255);

    CZevralImage stripes(3, 3);
    stripes.Fill(CRgbaColour(0x12345678u));
    stripes.FillStripes();
    EXPECT_EQ(At(stripes, 2, 0), kBlack);
    EXPECT_EQ(At(stripes, 2, 1), 0u);
    EXPECT_EQ(At(stripes, 2, 2), kBlack);
}

TEST(ZevralImage, MergeTakesTheMoreOpaquePixelClipped)
{
    CZevralImage target(3, 1);
    target.SetPixel(0u, 0u, CRgbaColour(0x50000001u));
    target.SetPixel(1u, 0u, CRgbaColour(0x50000001u));
    target.SetPixel(2u, 0u, CRgbaColour(0x50000001u));
    CZevralImage source(3, 1);
    source.SetPixel(0u, 0u, CRgbaColour(0x40000002u));
    source.SetPixel(1u, 0u, CRgbaColour(0x50000003u));
    source.SetPixel(2u, 0u, CRgbaColour(0x60000004u));
    target.MergeImage(CPoint(1, 0), source);
    EXPECT_EQ(At(target, 0, 0), 0x50000001u);
    EXPECT_EQ(At(target, 1, 0), 0x50000001u);  // alpha 0x40 is less opaque
    EXPECT_EQ(At(target, 2, 0), 0x50000003u);  // equal alpha replaces
    target.MergeImage(CPoint(-5, 7), source);
}

TEST(ZevralImage, QuarterTurnsAndFlipAgreeWithImageMagick)
{
    if (!graphics_test::HaveImageMagick())
        GTEST_SKIP() << "ImageMagick is not installed";
    const CZevralImage original = Gradient(5, 3);
    for (uint32_t degrees : {90u, 180u, 270u})
    {
        CZevralImage turned = original;
        turned.RotateQuarter(degrees);
        EXPECT_EQ(RawBytes(turned), ImageMagickTransform(original, "-rotate " + std::to_string(degrees)))
            << degrees;
        EXPECT_EQ(turned.GetWidth(), degrees == 180 ? 5 : 3);
    }
    CZevralImage flipped = original;
    flipped.FlipVertical();
    EXPECT_EQ(RawBytes(flipped), ImageMagickTransform(original, "-flip"));

    CZevralImage a = original, b = original;
    a.RotateQuarter(450);
    b.RotateQuarter(90);
    EXPECT_EQ(a, b);
    a = original;
    a.RotateQuarter(360);
    EXPECT_EQ(a, original);
}

TEST(ZevralImage, FreeRotationIsASquareHoldingTheOldPixels)
{
    const CZevralImage original = Gradient(5, 3);
    for (double fraction : {0.0, 1.0})
    {
        CZevralImage turned = original;
        turned.Rotate(fraction);
        ASSERT_EQ(turned.GetWidth(), 5);
        ASSERT_EQ(turned.GetHeight(), 5);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 5; ++x)
                EXPECT_EQ(At(turned, x, y), At(original, x, y));
        EXPECT_EQ(At(turned, 0, 4), kBlack);
    }
    // A half turn about the centre (2, 1) maps column x to 4 - x and row y to 2 - y.
    CZevralImage half = original;
    half.Rotate(0.5);
    EXPECT_EQ(At(half, 0, 0), At(original, 4, 2));
    EXPECT_EQ(At(half, 3, 1), At(original, 1, 1));

    // A quarter turn by an angle that is not a multiple of 90 turns by that angle: 89 degrees
    // takes a dot above the centre to the right of it, as 90 does.
    CZevralImage dot(21, 21);
    dot.SetPixel(10u, 3u, CRgbaColour(kWhite));
    CZevralImage nearly = dot;
    nearly.RotateQuarter(89);
    dot.RotateQuarter(90);
    ASSERT_EQ(At(dot, 17, 10), kWhite);
    int whiteNear = 0;
    for (int y = 9; y <= 11; ++y)
        for (int x = 16; x <= 18; ++x)
            whiteNear += At(nearly, x, y) == kWhite;
    EXPECT_GE(whiteNear, 1);
}

TEST(ZevralImage, PngFilesLoadAsImageMagickReadsThem)
{
    if (!graphics_test::HaveImageMagick())
        GTEST_SKIP() << "ImageMagick is not installed";
    CTempFolder folder;
    const std::string convert = graphics_test::kImageMagick;
    // RGBA written by SDL_image, and the other PNG kinds written by ImageMagick: RGB, grey, grey
    // with alpha, 16-bit, and a palette with one transparent entry.
    ASSERT_TRUE(graphics_test::SavePng(Gradient(13, 7), folder / "rgba.png"));
    const std::string rgba = folder / "rgba.png";
    graphics_test::RunCommand(convert + " '" + rgba + "' -alpha off PNG24:'" + (folder / "rgb.png") + "'");
    graphics_test::RunCommand(convert + " '" + rgba + "' -alpha off -colorspace Gray PNG8:'" + (folder / "grey.png") + "'");
    graphics_test::RunCommand(convert + " '" + rgba + "' -colorspace Gray -define png:color-type=4 '" +
                              (folder / "greyalpha.png") + "'");
    graphics_test::RunCommand(convert + " '" + rgba + "' -depth 16 PNG64:'" + (folder / "deep.png") + "'");
    CZevralImage few(6, 4);
    few.Fill(CRgbaColour(255, 0, 0, 255));
    few.SetPixel(1u, 1u, CRgbaColour(0, 0, 255, 255));
    few.SetPixel(2u, 2u, CRgbaColour(0u));
    folder.Write("few.rgba", RawBytes(few));
    graphics_test::RunCommand(convert + " -size 6x4 -depth 8 rgba:'" + (folder / "few.rgba") + "' PNG8:'" +
                              (folder / "palette.png") + "'");
    for (const char* name : {"rgba.png", "rgb.png", "grey.png", "greyalpha.png", "deep.png", "palette.png"})
    {
        const std::string path = folder / name;
        const std::string expected = ImageMagickRgba(path);
        ASSERT_FALSE(expected.empty()) << name;
        CZevralImage image;
        image.Load(path);
        EXPECT_EQ(RawBytes(image), expected) << name;
    }
    // The palette picture keeps its transparent pixel.
    CZevralImage palette;
    palette.Load(folder / "palette.png");
    EXPECT_EQ(palette.GetPixel(2u, 2u).GetAlpha(), 0);
    EXPECT_EQ(palette.GetPixel(1u, 1u).GetValue(), CRgbaColour(0, 0, 255, 255).GetValue());
}

TEST(ZevralImage, LoadLeavesTheImageAloneWhenThereIsNothingToRead)
{
    CTempFolder folder;
    CZevralImage image(2, 2);
    const CZevralImage before = image;

    testing::internal::CaptureStdout();
    image.Load(folder / "missing.png");
    image.Load(folder.Path());
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(image, before);

    // What cannot be read, is refused unread or undecoded for the bounds, or is no PNG, says why.
    SDL_Surface* pixel = SDL_CreateRGBSurfaceWithFormat(0, 1, 1, 32, SDL_PIXELFORMAT_ABGR8888);
    ASSERT_EQ(SDL_SaveBMP(pixel, (folder / "picture.bmp").c_str()), 0);
    SDL_FreeSurface(pixel);
    ASSERT_TRUE(graphics_test::SaveSolidPng(folder / "large.png", 1, 1, kWhite));
    ASSERT_EQ(truncate((folder / "large.png").c_str(), off_t(picture_file::kMaxBytes + 1)), 0);
    folder.Write("broken.png", "not a picture");
    folder.Write("wide.png", graphics_test::PngDeclaring(2049, 2048));
    const struct
    {
        const char* name;
        const char* why;
    } rows[] = {
        {"broken.png", "not a PNG picture"},
        {"picture.bmp", "not a PNG picture"},
        // A sparse file: a picture of one pixel, then zeros.
        {"large.png", "the file is too large (more than 16 MB)"},
        // One column past the pixels a picture may have, declared by a picture of one.
        {"wide.png", "declares 2049 x 2048 pixels, more than the 4194304 a picture may have"},
    };
    for (const auto& row : rows)
    {
        testing::internal::CaptureStdout();
        image.Load(folder / row.name);
        EXPECT_EQ(testing::internal::GetCapturedStdout(),
                  "IMG_Load error for " + (folder / row.name) + ": " + row.why + "\n");
        EXPECT_EQ(image, before) << row.name;
    }
}

