#include "graphics/gif_frame.h"
#include "graphics/gif_image.h"
#include "graphics/zevral_image.h"
#include "tests/graphics/gif_test_util.h"

#include <gtest/gtest.h>

using namespace gif_test;

namespace
{
const CRgbaColour kRed(255, 0, 0);
const CRgbaColour kGreen(0, 255, 0);
const CRgbaColour kBlue(0, 0, 255);
const CRgbaColour kBlack(0, 0, 0);

// Where the minimum code size byte sits in a written frame without a local palette.
constexpr size_t kCodeSizeAt = 8 + 10;
}  // namespace

TEST(GifFrame, SizeAndPlaceAreLimited)
{
    CGifImage image(0, 12, 5);
    CGifFrame frame(&image);
    EXPECT_EQ(frame.GetWidth(), 12u);
    EXPECT_EQ(frame.GetPixelCount(), 60u);
    frame.SetPixelIndex(59, 3);

    frame.SetWidth(0);
    EXPECT_EQ(frame.GetWidth(), 1u);
    EXPECT_EQ(frame.GetPixelCount(), 5u);
    frame.SetWidth(150);
    EXPECT_EQ(frame.GetWidth(), 150u);
    frame.SetWidth(151);
    EXPECT_EQ(frame.GetWidth(), 149u);
    frame.SetHeight(70000);
    EXPECT_EQ(frame.GetHeight(), 149u);
    EXPECT_EQ(frame.GetPixelCount(), 149u * 149u);
    EXPECT_EQ(frame.GetPixelIndex(59), 0);

    frame.SetLeft(150);
    frame.SetTop(151);
    EXPECT_EQ(frame.GetLeft(), 150u);
    EXPECT_EQ(frame.GetTop(), 149u);

    CGifImage empty;
    EXPECT_EQ(CGifFrame(&empty).GetPixelCount(), 1u);
}

TEST(GifFrame, LocalPaletteTakesOverColoursAndBits)
{
    CGifImage image(0, 2, 2);  // 3 bits
    image.SetPaletteEntry(1, kRed);
    CGifFrame frame(&image);
    EXPECT_EQ(frame.GetEffectiveBits(), 3u);
    frame.SetTransparentIndex(9);
    EXPECT_EQ(frame.GetTransparentIndex(), 7u);

    frame.SetBits(1);
    frame.SetLocalPalette(true);
    frame.SetPaletteEntry(1, kGreen);
    frame.SetPaletteEntry(2, kBlue);  // past the 1-bit palette: nothing
    EXPECT_EQ(frame.GetEffectiveBits(), 1u);
    EXPECT_EQ(frame.GetIndexColour(1), kGreen);
    EXPECT_EQ(frame.GetIndexColour(2), CRgbaColour(0xFF000000u));
    frame.SetTransparentIndex(9);
    EXPECT_EQ(frame.GetTransparentIndex(), 1u);
    EXPECT_EQ(frame.GetTransparentColour(), kGreen);

    frame.SetBits(2);  // a new, black palette of 4 entries
    EXPECT_EQ(frame.GetIndexColour(1), kBlack);
    EXPECT_EQ(frame.GetIndexColour(3), kBlack);
    frame.SetLocalPalette(false);
    EXPECT_EQ(frame.GetIndexColour(1), kRed);
}

TEST(GifFrame, ToImageSwapsTheTransparentColourForTheBackgroundOnlyWhenAsked)
{
    CGifImage image(0, 3, 1);
    image.SetPaletteEntry(0, kRed);
    image.SetPaletteEntry(1, kGreen);
    image.SetPaletteEntry(2, kRed);  // same colour as the transparent index
    CGifFrame frame(&image);
    frame.SetPixelIndex(1, 1);
    frame.SetPixelIndex(2, 2);
    frame.SetTransparentIndex(0);
    const CRgbaColour background(1, 2, 3, 0);

    CZevralImage picture(9, 9);
    frame.ToImage(picture, true, background);  // flag off: nothing is transparent
    EXPECT_EQ(picture.GetWidth(), 3);
    EXPECT_EQ(picture.GetHeight(), 1);
    EXPECT_EQ(picture.GetPixel(0u), kRed);

    frame.SetTransparent(true);
    frame.ToImage(picture, true, background);
    EXPECT_EQ(picture.GetPixel(0u), background);
    EXPECT_EQ(picture.GetPixel(1u), kGreen);
    EXPECT_EQ(picture.GetPixel(2u), background);

    frame.ToImage(picture, false, background);
    EXPECT_EQ(picture.GetPixel(2u), kRed);
}

TEST(GifFrame, FromImagePicksTheNearestColourAndTheFirstOfEqualOnes)
{
    CGifImage image(0, 2, 2);
    image.SetBits(2);
    image.SetPaletteEntry(0, kBlack);
    image.SetPaletteEntry(1, CRgbaColour(100, 0, 0));
    image.SetPaletteEntry(2, CRgbaColour(100, 0, 0));
    image.SetPaletteEntry(3, CRgbaColour(255, 255, 255));
    CZevralImage source(3, 1);
    source.SetPixel(0u, CRgbaColour(90, 10, 0, 0));  // alpha plays no part
    source.SetPixel(1u, CRgbaColour(250, 250, 240));
    source.SetPixel(2u, CRgbaColour(0, 0, 1));

    CGifFrame kept(&image);
    kept.FromImage(source, true);
    EXPECT_EQ(kept.GetWidth(), 2u);
    EXPECT_EQ(kept.GetPixelIndex(0), 1);
    EXPECT_EQ(kept.GetPixelIndex(1), 3);
    EXPECT_EQ(kept.GetPixelIndex(2), 0);  // below the source: transparent black

    CGifFrame sized(&image);
    sized.FromImage(source, false);
    EXPECT_EQ(sized.GetWidth(), 3u);
    EXPECT_EQ(sized.GetHeight(), 1u);
    EXPECT_EQ(sized.GetPixelIndex(2), 0);

    sized.FromImage(CZevralImage(), false);
    EXPECT_EQ(sized.GetPixelCount(), 1u);
}

TEST(GifFrame, AssignmentRemapsColoursToTheDestinationPalette)
{
    CGifImage from(0, 2, 1);
    from.SetPaletteEntry(0, kRed);
    from.SetPaletteEntry(1, kBlue);
    CGifFrame* source = from.InsertFrame(0);
    source->SetPixelIndex(1, 1);
    source->SetDelay(0.3f);
    source->SetLeft(4);
    source->SetTop(5);
    source->SetTransparent(true);
    source->SetInterlaced(true);
    source->SetTransparentIndex(6);
    source->SetDisposal(1);

    CGifImage to(0, 7, 7);
    to.SetPaletteEntry(0, kBlue);
    to.SetPaletteEntry(1, kRed);
    CGifFrame* target = to.InsertFrame(0);
    *target = *source;
    EXPECT_EQ(target->GetWidth(), 2u);
    EXPECT_EQ(target->GetHeight(), 1u);
    EXPECT_EQ(target->GetPixelIndex(0), 1);
    EXPECT_EQ(target->GetPixelIndex(1), 0);
    EXPECT_FLOAT_EQ(target->GetDelay(), 0.3f);
    EXPECT_EQ(target->GetLeft(), 4u);
    EXPECT_EQ(target->GetTop(), 5u);
    EXPECT_TRUE(target->IsTransparent());
    EXPECT_TRUE(target->IsInterlaced());
    EXPECT_EQ(target->GetTransparentIndex(), 6u);
    EXPECT_EQ(target->GetDisposal(), 2u);  // not copied
    EXPECT_EQ(target->GetBits(), 4u);      // 3 effective bits are not copied

    source->SetBits(2);
    source->SetLocalPalette(true);
    *target = *source;
    EXPECT_EQ(target->GetBits(), 2u);
    EXPECT_FALSE(target->HasLocalPalette());
}

TEST(GifFrame, WrittenCodeSizeHoldsThePaletteAndEveryPixel)
{
    CGifImage image(0, 4, 1);
    image.SetBits(1);
    CGifFrame* frame = image.InsertFrame(0);
    frame->SetPixelIndex(1, 1);
    Bytes bytes;
    frame->Write(bytes);
    EXPECT_EQ(bytes[kCodeSizeAt], 2);

    // An index past the palette (as read from some files) is kept, with a code size to hold it.
    frame->SetPixelIndex(2, 200);
    bytes.clear();
    frame->Write(bytes);
    EXPECT_EQ(bytes[kCodeSizeAt], 8);
    Bytes file = Header(4, 1, 1);
    Append(file, bytes);
    CGifImage loaded;
    LoadBytes(loaded, file);
    ASSERT_EQ(loaded.GetFrameCount(), 1u);
    EXPECT_EQ(loaded.GetFrame(0)->GetPixelIndex(1), 1);
    EXPECT_EQ(loaded.GetFrame(0)->GetPixelIndex(2), 200);
}
