// Damaged and hostile GIF files: mutated copies of valid files must load without fault (the
// sanitizer build checks every access), within the limits, and whatever loads must write and
// read back unchanged.

#include "graphics/gif_frame.h"
#include "graphics/gif_image.h"
#include "graphics/zevral_image.h"
#include "tests/graphics/gif_test_util.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>

using namespace gif_test;

namespace
{
// A written file with every kind of block: global and local palettes, three frames, the loop
// and "ZevralDMX" blocks, the comment.
Bytes WrittenSeed()
{
    std::mt19937 random(2);
    CGifImage gif(0, 24, 17);
    gif.SetBits(3);
    for (uint32_t i = 0; i < 8; ++i)
        gif.SetPaletteEntry(i, CRgbaColour(uint32_t(random())));
    for (int f = 0; f < 3; ++f)
    {
        CGifFrame* frame = gif.InsertFrame(f);
        if (f == 2)
        {
            frame->SetBits(5);
            frame->SetLocalPalette(true);
            frame->SetWidth(9);
            frame->SetLeft(3);
        }
        frame->SetTransparent(f == 1);
        frame->SetTransparentIndex(uint32_t(f));
        for (uint32_t p = 0; p < frame->GetPixelCount(); ++p)
            frame->SetPixelIndex(p, uint8_t(random() % 3 == 0 ? random() % 8 : p / 7 % 8));
    }
    return WriteBytes(gif);
}

// A hand-built file with an interlaced image, control blocks and a foreign application block.
Bytes BuiltSeed()
{
    Bytes bytes = Header(3, 10, 2);
    Append(bytes, Control(0x05, 7, 3));
    Append(bytes, {0x21, 0xFF, 0x0B});
    Append(bytes, "ANOTHERAPP1");
    Append(bytes, {0x02, 0x01, 0x02, 0x00});
    Codes codes = {{4, 3}};
    uint32_t next = 6;
    uint32_t width = 3;
    for (uint32_t i = 0; i < 30; ++i)
    {
        codes.push_back({i % 4, width});
        if (i > 0 && ++next == (1u << width) && width < 12)
            ++width;
    }
    codes.push_back({5, width});
    Append(bytes, Image(3, 10, 0x40, 2, codes));
    Append(bytes, {0x21, 0xFE, 0x01, 'x', 0x00});
    Append(bytes, SmallImage());
    Append(bytes, {0x3B});
    return bytes;
}

Bytes Mutate(const Bytes& seed, std::mt19937& random)
{
    static const uint8_t kInteresting[] = {0x00, 0x01, 0x02, 0x07, 0x08, 0x0B, 0x21, 0x2C, 0x3B,
                                           0x40, 0x7F, 0x80, 0x87, 0xF9, 0xFE, 0xFF};
    Bytes bytes = seed;
    const int edits = 1 + int(random() % 6);
    for (int e = 0; e < edits && !bytes.empty(); ++e)
    {
        const size_t at = random() % bytes.size();
        switch (random() % 7)
        {
        case 0:
            bytes[at] ^= uint8_t(1u << (random() % 8));
            break;
        case 1:
            bytes[at] = kInteresting[random() % sizeof kInteresting];
            break;
        case 2:
            bytes[at] = uint8_t(random());
            break;
        case 3:
            bytes.resize(at);
            break;
        case 4:
        {
            const size_t length = std::min<size_t>(random() % 64 + 1, bytes.size() - at);
            const Bytes slice(bytes.begin() + long(at), bytes.begin() + long(at + length));
            bytes.insert(bytes.begin() + long(random() % bytes.size()), slice.begin(), slice.end());
            break;
        }
        case 5:
            bytes.erase(bytes.begin() + long(at), bytes.begin() + long(std::min(bytes.size(), at + random() % 16 + 1)));
            break;
        default:
            bytes.insert(bytes.begin() + long(at), uint8_t(random()));
            break;
        }
    }
    return bytes;
}

// TANZO_GIF_FUZZ_ROUNDS lets a longer run be made by hand.
int Rounds(int usual)
{
    const char* text = std::getenv("TANZO_GIF_FUZZ_ROUNDS");
    const int rounds = text ? std::atoi(text) : 0;
    return rounds > 0 ? rounds : usual;
}

void ExpectSameFrames(const CGifImage& a, const CGifImage& b)
{
    ASSERT_EQ(a.GetFrameCount(), b.GetFrameCount());
    EXPECT_EQ(a.GetWidth(), b.GetWidth());
    EXPECT_EQ(a.GetHeight(), b.GetHeight());
    EXPECT_EQ(a.GetBits(), b.GetBits());
    EXPECT_EQ(a.GetLoop(), b.GetLoop());
    EXPECT_EQ(a.GetApplicationData(), b.GetApplicationData());
    for (uint32_t f = 0; f < a.GetFrameCount(); ++f)
    {
        const CGifFrame& x = *a.GetFrame(int32_t(f));
        const CGifFrame& y = *b.GetFrame(int32_t(f));
        ASSERT_EQ(x.GetWidth(), y.GetWidth());
        ASSERT_EQ(x.GetHeight(), y.GetHeight());
        EXPECT_EQ(x.GetLeft(), y.GetLeft());
        EXPECT_EQ(x.GetTop(), y.GetTop());
        EXPECT_EQ(x.GetDelay(), y.GetDelay());
        EXPECT_EQ(x.GetDisposal(), y.GetDisposal());
        EXPECT_EQ(x.IsTransparent(), y.IsTransparent());
        EXPECT_EQ(x.GetTransparentIndex(), y.GetTransparentIndex());
        EXPECT_EQ(x.HasLocalPalette(), y.HasLocalPalette());
        for (uint32_t i = 0; i < 256; ++i)
            ASSERT_EQ(x.GetIndexColour(i), y.GetIndexColour(i)) << f << " " << i;
        for (uint32_t p = 0; p < x.GetPixelCount(); ++p)
            ASSERT_EQ(x.GetPixelIndex(p), y.GetPixelIndex(p)) << f << " " << p;
    }
}
void LoadsWithinLimitsAndRoundTrips(const Bytes& bytes)
{
    CGifImage loaded;
    LoadBytes(loaded, bytes);
    ASSERT_LE(loaded.GetFrameCount(), CGifImage::kMaxFrames);
    ASSERT_LE(loaded.GetWidth(), CGifImage::kMaxSide);
    ASSERT_LE(loaded.GetHeight(), CGifImage::kMaxSide);
    for (uint32_t f = 0; f < loaded.GetFrameCount(); ++f)
    {
        const CGifFrame& frame = *loaded.GetFrame(int32_t(f));
        ASSERT_GE(frame.GetWidth(), 1u);
        ASSERT_LE(frame.GetWidth(), CGifFrame::kMaxSide);
        ASSERT_LE(frame.GetHeight(), CGifFrame::kMaxSide);
        ASSERT_LT(frame.GetTransparentIndex(), 1u << frame.GetEffectiveBits());
        CZevralImage picture;
        frame.ToImage(picture, true, CRgbaColour(0u));
        ASSERT_EQ(uint32_t(picture.GetWidth()), frame.GetWidth());
    }
    CGifImage again;
    LoadBytes(again, WriteBytes(loaded));
    ExpectSameFrames(loaded, again);
}
}  // namespace

TEST(GifFuzz, SeedsLoadWhole)
{
    CGifImage written;
    LoadBytes(written, WrittenSeed());
    EXPECT_EQ(written.GetFrameCount(), 3u);
    CGifImage built;
    LoadBytes(built, BuiltSeed());
    ASSERT_EQ(built.GetFrameCount(), 2u);
    EXPECT_TRUE(built.GetFrame(0)->IsInterlaced());
}

TEST(GifFuzz, MutatedFilesLoadSafelyAndRoundTrip)
{
    std::mt19937 random(20240601);
    const Bytes seeds[] = {WrittenSeed(), BuiltSeed()};
    testing::internal::CaptureStdout();  // the oversize messages
    const int rounds = Rounds(15000);
    for (int round = 0; round < rounds && !HasFailure(); ++round)
    {
        LoadsWithinLimitsAndRoundTrips(Mutate(seeds[round % 2], random));
        if (HasFailure())
            ADD_FAILURE() << "round " << round;
    }
    testing::internal::GetCapturedStdout();
}

TEST(GifFuzz, RandomBytesAfterAValidHeaderLoadSafely)
{
    std::mt19937 random(77);
    const int rounds = Rounds(10000);
    for (int round = 0; round < rounds; ++round)
    {
        Bytes bytes = Header(uint16_t(random() % 151), uint16_t(random() % 151), random() % 9);
        const size_t length = random() % 400;
        for (size_t i = 0; i < length; ++i)
            bytes.push_back(random() % 4 == 0 ? uint8_t(0x2C) : uint8_t(random()));
        CGifImage loaded;
        LoadBytes(loaded, bytes);
        ASSERT_LE(loaded.GetFrameCount(), length);
    }
}
