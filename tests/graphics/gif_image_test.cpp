#include "graphics/gif_frame.h"
#include "graphics/gif_image.h"
#include "graphics/picture_file.h"
#include "graphics/zevral_image.h"
#include "tests/graphics/gif_test_util.h"
#include "tests/support/memory_use.h"
#include "tests/support/test_folder.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>

using namespace gif_test;

namespace
{
CGifApplicationData SampleRecord()
{
    CGifApplicationData data;
    for (uint32_t i = 0; i < 5; ++i)
        data.values[i] = i + 1;
    data.colour = CRgbaColour(0x11, 0x22, 0x33, 0x44);
    for (uint8_t i = 0; i < 8; ++i)
        data.extra[i] = uint8_t(0xA0 + i);
    return data;
}
}  // namespace

TEST(GifImage, SaveWritesEveryBlockInOrder)
{
    CGifImage image(0, 2, 1);
    image.SetBits(1);
    image.SetPaletteEntry(1, CRgbaColour(255, 255, 255));
    image.SetLoop(0);
    image.SetApplicationData(SampleRecord());
    CGifFrame* frame = image.InsertFrame(0);
    frame->SetPixelIndex(1, 1);
    frame->SetDelay(0.1f);
    frame->SetDisposal(3);
    frame->SetTransparent(true);
    frame->SetTransparentIndex(1);

    Bytes expected;
    Append(expected, "GIF89a");
    Append(expected, {0x02, 0x00, 0x01, 0x00});  // width 2, height 1
    Append(expected, {0x80, 0x00, 0x00});        // global table of 2^1 entries; background, aspect
    Append(expected, {0, 0, 0, 255, 255, 255});  // black, white
    Append(expected, {0x21, 0xFF, 0x0B});        // application block, 11-byte identifier
    Append(expected, "ZevralDMX10");
    Append(expected, {0x20});  // the 32-byte record
    Append(expected, {1, 0, 0, 0, 2, 0, 0, 0, 3, 0, 0, 0, 4, 0, 0, 0, 5, 0, 0, 0});
    Append(expected, {0x11, 0x22, 0x33, 0x44, 0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6, 0xA7});
    Append(expected, {0x00});
    Append(expected, {0x21, 0xFF, 0x0B});
    Append(expected, "NETSCAPE2.0");
    Append(expected, {0x03, 0x00, 0x00, 0x00, 0x00});  // loop flag 0, count 0, terminator
    Append(expected, {0x21, 0xFE, 0x17});
    Append(expected, "Created with LumivoPro ");
    Append(expected, {0x00});
    Append(expected, {0x21, 0xF9, 0x04});  // graphic control
    Append(expected, {0x0D});              // disposal 3 << 2, transparent
    Append(expected, {0x0A, 0x00, 0x01, 0x00});  // delay 10, transparent index 1, terminator
    Append(expected, {0x2C, 0, 0, 0, 0, 2, 0, 1, 0, 0x00});  // descriptor, no local table
    Append(expected, {0x02});              // a 1-bit frame codes with size 2
    Append(expected, {0x02, 0x44, 0x0A});  // clear 4, 0, 1, end 5 at 3 bits
    Append(expected, {0x00, 0x3B});
    EXPECT_EQ(WriteBytes(image), expected);
}

TEST(GifImage, EveryDelayFieldSurvivesReadAndWrite)
{
    CGifImage image(0, 1, 1);
    CGifFrame* frame = image.InsertFrame(0);
    for (uint32_t field = 0; field < 65536; ++field)
    {
        frame->SetDelay(float(field) / 100.0f);  // as the reader computes it
        Bytes bytes;
        frame->Write(bytes);
        ASSERT_EQ(bytes[4] | bytes[5] << 8, int(field));
    }
    frame->SetDelay(-1.0f);
    Bytes negative;
    frame->Write(negative);
    EXPECT_EQ(negative[4] | negative[5] << 8, 0);
    frame->SetDelay(1000.0f);
    Bytes huge;
    frame->Write(huge);
    EXPECT_EQ(huge[4] | huge[5] << 8, 65535);
}

TEST(GifImage, OnlyFilesStartingWithGiAndWithinTheSizeLimitLoad)
{
    Bytes good = Header(2, 2, 2);
    Append(good, SmallImage());
    Append(good, {0x3B});
    CGifImage image;
    LoadBytes(image, good);
    EXPECT_EQ(image.GetFrameCount(), 1u);

    Bytes wrong = good;
    wrong[1] = 'X';
    LoadBytes(image, wrong);
    EXPECT_EQ(image.GetFrameCount(), 0u);

    Bytes big = Header(151, 2, 2);
    Append(big, SmallImage());
    testing::internal::CaptureStdout();
    LoadBytes(image, big);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "Dimensions too big: 151x2 pixels. Maximum allowed dimensions are 150x150 pixels. Cannot load GIF.\n");
    EXPECT_EQ(image.GetFrameCount(), 0u);

    Bytes largest = Header(150, 150, 2);
    Append(largest, SmallImage());
    LoadBytes(image, largest);
    EXPECT_EQ(image.GetFrameCount(), 1u);

    CGifImage missing;
    missing.Load("/nowhere/at/all.gif");
    EXPECT_EQ(missing.GetFrameCount(), 0u);
}

TEST(GifImage, LoopBlockSetsTheFlagFromItsFirstByte)
{
    struct Case
    {
        Bytes block;
        uint8_t before;
        uint8_t after;
    };
    const Case cases[] = {
        {{0x03, 0x01, 0x00, 0x00, 0x00}, 0, 1},  // the usual "loop forever"
        {{0x03, 0x01, 0x05, 0x00, 0x00}, 0, 1},  // a loop count
        {{0x03, 0x00, 0x00, 0x00, 0x00}, 1, 0},  // as written for loop flag 0
        {{0x00}, 1, 1},                          // no data: unchanged
        {{0x00}, 0, 0},
    };
    for (const Case& c : cases)
    {
        Bytes bytes = Header(2, 2, 2);
        Append(bytes, {0x21, 0xFF, 0x0B});
        Append(bytes, "NETSCAPE2.0");
        Append(bytes, c.block);
        Append(bytes, SmallImage());
        CGifImage image;
        image.SetLoop(c.before);
        LoadBytes(image, bytes);
        EXPECT_EQ(image.GetLoop(), c.after);
        EXPECT_EQ(image.GetFrameCount(), 1u);
        EXPECT_FALSE(image.HasApplicationData());
    }
}

TEST(GifImage, ApplicationRecordIsTakenFromTheBlockAfterItsName)
{
    uint8_t record[32];
    SampleRecord().ToBytes(record);
    Bytes full = Header(2, 2, 2);
    Append(full, {0x21, 0xFF, 0x0B});
    Append(full, "ZevralDMXab");
    Append(full, {0x20});
    full.insert(full.end(), record, record + 32);
    Append(full, {0x00});
    Append(full, SmallImage());
    CGifImage image;
    LoadBytes(image, full);
    EXPECT_TRUE(image.HasApplicationData());
    EXPECT_EQ(image.GetApplicationData(), SampleRecord());
    EXPECT_EQ(image.GetFrameCount(), 1u);

    // A short record fills the rest with zero.
    Bytes shorter = Header(2, 2, 2);
    Append(shorter, {0x21, 0xFF, 0x09});
    Append(shorter, "ZevralDMX");
    Append(shorter, {0x04, 0x2A, 0x00, 0x00, 0x00, 0x00});
    Append(shorter, SmallImage());
    CGifImage other;
    other.SetApplicationData(SampleRecord());
    LoadBytes(other, shorter);
    CGifApplicationData expected;
    expected.values[0] = 42;
    expected.colour = CRgbaColour(0u);
    EXPECT_EQ(other.GetApplicationData(), expected);
    EXPECT_EQ(other.GetFrameCount(), 1u);
}

TEST(GifImage, MalformedApplicationBlocksEndAtTheirTerminator)
{
    CGifImage image;
    image.SetApplicationData(SampleRecord());
    // A name sub-block too short to hold the name, then a named block whose data is missing.
    Bytes bytes = Header(2, 2, 2);
    Append(bytes, {0x21, 0xFF, 0x06});
    Append(bytes, "Zevral");
    Append(bytes, {0x00});
    Append(bytes, {0x21, 0xFF, 0x0B});
    Append(bytes, "NETSCAPE2.0");
    Append(bytes, {0x00});
    Append(bytes, {0x21, 0xFF, 0x09});
    Append(bytes, "ZevralDMX");
    Append(bytes, {0x00});
    Append(bytes, {0x21, 0xFE, 0x02, 'h', 'i', 0x00});  // a comment is skipped
    Append(bytes, SmallImage());
    Append(bytes, {0x3B});
    image.SetLoop(0);
    LoadBytes(image, bytes);
    EXPECT_EQ(image.GetLoop(), 0);
    EXPECT_EQ(image.GetApplicationData(), SampleRecord());
    ASSERT_EQ(image.GetFrameCount(), 1u);
    EXPECT_EQ(image.GetFrame(0)->GetPixelIndex(3), 3);
}

TEST(GifImage, GraphicControlAppliesToTheNextImageOnly)
{
    Bytes bytes = Header(2, 2, 2);
    Append(bytes, Control(0x08 | 0x01, 10, 2));  // disposal 2, transparent index 2
    Append(bytes, Control(0x04, 99, 0));          // a second one before the image is ignored
    Append(bytes, SmallImage());
    Append(bytes, SmallImage());  // no control: the defaults
    CGifImage image;
    LoadBytes(image, bytes);
    ASSERT_EQ(image.GetFrameCount(), 2u);
    const CGifFrame& first = *image.GetFrame(0);
    EXPECT_FLOAT_EQ(first.GetDelay(), 0.1f);
    EXPECT_EQ(first.GetDisposal(), 2u);
    EXPECT_TRUE(first.IsTransparent());
    EXPECT_EQ(first.GetTransparentIndex(), 2u);
    const CGifFrame& second = *image.GetFrame(1);
    EXPECT_FLOAT_EQ(second.GetDelay(), 1.0f);
    EXPECT_FALSE(second.IsTransparent());
}

TEST(GifImage, DisposalOutsideNoneKeepAndPreviousReadsAsRestoreToBackground)
{
    const uint32_t expected[8] = {0, 1, 2, 3, 2, 2, 2, 2};
    for (uint8_t field = 0; field < 8; ++field)
    {
        Bytes bytes = Header(2, 2, 2);
        Append(bytes, Control(uint8_t(field << 2), 0, 0));
        Append(bytes, SmallImage());
        CGifImage image;
        LoadBytes(image, bytes);
        ASSERT_EQ(image.GetFrameCount(), 1u);
        EXPECT_EQ(image.GetFrame(0)->GetDisposal(), expected[field]);
        Bytes written;
        image.GetFrame(0)->Write(written);
        EXPECT_EQ(written[3], uint8_t(expected[field] << 2)) << int(field);
    }
}

TEST(GifImage, DamagedBlocksEndReadingAndKeepWhatWasRead)
{
    // A graphic control without its terminator.
    Bytes control = Header(2, 2, 2);
    Append(control, SmallImage());
    Append(control, {0x21, 0xF9, 0x04, 0x00, 0x00, 0x00, 0x00, 0x07});
    Append(control, SmallImage());
    CGifImage image;
    LoadBytes(image, control);
    EXPECT_EQ(image.GetFrameCount(), 1u);

    // Code sizes that cannot hold byte pixels fail their frame; it stays, the next is not read.
    for (uint8_t size : {0, 1, 9, 12, 255})
    {
        Bytes bytes = Header(2, 2, 2);
        Append(bytes, SmallImage());
        Bytes bad = SmallImage();
        bad[10] = size;
        Append(bytes, bad);
        Append(bytes, SmallImage());
        LoadBytes(image, bytes);
        EXPECT_EQ(image.GetFrameCount(), 2u) << int(size);
    }

    // A file cut inside the image data keeps the frame with the pixels decoded so far: here the
    // first data byte holds the clear code and pixel 1 of the pixels 1, 2, 3, 1.
    Bytes cut = Header(2, 2, 2);
    Append(cut, Image(2, 2, 0x00, 2, {{4, 3}, {1, 3}, {2, 3}, {3, 3}, {1, 4}, {5, 4}}));
    cut.resize(cut.size() - 3);
    LoadBytes(image, cut);
    ASSERT_EQ(image.GetFrameCount(), 1u);
    EXPECT_EQ(image.GetFrame(0)->GetPixelIndex(0), 1);
    EXPECT_EQ(image.GetFrame(0)->GetPixelIndex(1), 0);
}

TEST(GifImage, InterlacedRowsAreReordered)
{
    // A 1 x 10 image whose stored rows hold their own stored position.
    Codes codes = {{16, 5}};
    for (uint32_t stored = 0; stored < 10; ++stored)
        codes.push_back({stored, 5});
    codes.push_back({17, 5});
    Bytes bytes = Header(1, 10, 4);
    Append(bytes, Image(1, 10, 0x40, 4, codes));
    CGifImage image;
    LoadBytes(image, bytes);
    ASSERT_EQ(image.GetFrameCount(), 1u);
    const CGifFrame& frame = *image.GetFrame(0);
    EXPECT_TRUE(frame.IsInterlaced());
    // Rows 0 and 8, then 4, then 2 and 6, then 1, 3, 5, 7, 9.
    const uint8_t storedAt[10] = {0, 5, 3, 6, 2, 7, 4, 8, 1, 9};
    for (uint32_t row = 0; row < 10; ++row)
        EXPECT_EQ(frame.GetPixelIndex(row), storedAt[row]) << row;
}

TEST(GifImage, ReadingStopsAtTheFrameLimit)
{
    Bytes bytes = Header(1, 1, 1);
    const Bytes frame = Image(1, 1, 0x00, 2, {{4, 3}, {1, 3}, {5, 3}});
    for (uint32_t i = 0; i < CGifImage::kMaxFrames + 10; ++i)
        Append(bytes, frame);
    CGifImage image;
    LoadBytes(image, bytes);
    EXPECT_EQ(image.GetFrameCount(), CGifImage::kMaxFrames);
}

TEST(GifImage, OverlongImageDataIsSkippedNotKept)
{
    Bytes bytes = Header(2, 2, 2);
    Bytes first = SmallImage();
    first.pop_back();  // the terminator: more sub-blocks follow
    Append(bytes, first);
    for (size_t i = 0; i * 255 < CGifFrame::kMaxImageData + 10000; ++i)
    {
        bytes.push_back(255);
        bytes.insert(bytes.end(), 255, uint8_t(0x55));
    }
    Append(bytes, {0x00});
    Append(bytes, SmallImage());
    CGifImage image;
    LoadBytes(image, bytes);
    ASSERT_EQ(image.GetFrameCount(), 2u);
    EXPECT_EQ(image.GetFrame(0)->GetPixelIndex(3), 3);
    EXPECT_EQ(image.GetFrame(1)->GetPixelIndex(3), 3);
}

TEST(GifImage, FrameListInsertsCopiesAndRemoves)
{
    CGifImage image(0, 4, 4);
    for (uint32_t i = 0; i < 8; ++i)
        image.SetPaletteEntry(i, CRgbaColour(i * 30, 0u, 0u));
    CGifFrame* a = image.InsertFrame(0);
    a->SetPixelIndex(0, 5);
    a->SetDelay(0.5f);
    CGifFrame* b = image.InsertFrame(0);     // before a
    CGifFrame* c = image.InsertFrame(99, 1); // appended copy of a
    CGifFrame* d = image.InsertFrame(-1);    // appended
    EXPECT_EQ(image.GetFrameCount(), 4u);
    EXPECT_EQ(image.GetFrameIndex(b), 0);
    EXPECT_EQ(a->GetIndex(), 1);
    EXPECT_EQ(image.GetFrame(2), c);
    EXPECT_EQ(image.GetFrame(3), d);
    EXPECT_EQ(image.GetFrame(4), nullptr);
    EXPECT_EQ(image.GetFrame(-1), nullptr);
    EXPECT_EQ(c->GetPixelIndex(0), 5);
    EXPECT_FLOAT_EQ(c->GetDelay(), 0.5f);
    EXPECT_FLOAT_EQ(image.GetTotalDelay(), 3.0f);

    image.RemoveFrame(b);
    EXPECT_EQ(image.GetFrameCount(), 3u);
    EXPECT_EQ(image.GetFrameIndex(a), 0);
    CGifImage other;
    CGifFrame* stranger = other.InsertFrame(0);
    image.RemoveFrame(stranger);
    EXPECT_EQ(image.GetFrameCount(), 3u);
    EXPECT_EQ(image.GetFrameIndex(stranger), -1);
}

TEST(GifImage, SaveReportsAFileThatCannotBeWritten)
{
    CGifImage image(0, 2, 2);
    image.InsertFrame(0);
    EXPECT_FALSE(image.Save("/nowhere/at/all.gif"));
    EXPECT_FALSE(image.Save("/dev/full"));
}

TEST(GifImage, ImageLoaderReadsTheFirstFrameOpaque)
{
    CGifImage::RegisterWithImageLoader();
    CGifImage gif(0, 3, 2);
    gif.SetPaletteEntry(1, CRgbaColour(10, 20, 30));
    CGifFrame* first = gif.InsertFrame(0);
    first->SetPixelIndex(4, 1);
    first->SetTransparent(true);  // not honoured: pictures from GIF files are opaque
    gif.InsertFrame(1)->SetPixelIndex(0, 1);
    const auto folder = FreshTestFolder();
    const std::string path = (folder / "Picture.GIF").string();
    ASSERT_TRUE(gif.Save(path));

    CZevralImage image(7, 7);
    image.Load(path);
    ASSERT_EQ(image.GetWidth(), 3);
    ASSERT_EQ(image.GetHeight(), 2);
    for (uint32_t i = 0; i < 6; ++i)
        EXPECT_EQ(image.GetPixel(i), i == 4 ? CRgbaColour(10, 20, 30) : CRgbaColour(0, 0, 0)) << i;

    CZevralImage untouched(5, 5);
    untouched.Fill(CRgbaColour(1, 2, 3));
    untouched.Load((folder / "missing.gif").string());
    EXPECT_EQ(untouched.GetWidth(), 5);
    EXPECT_EQ(untouched.GetPixel(0u), CRgbaColour(1, 2, 3));

    // A file past the bound of a picture's bytes (the picture above, then zeros) is not read.
    const std::string large = (folder / "large.gif").string();
    ASSERT_TRUE(gif.Save(large));
    ASSERT_EQ(truncate(large.c_str(), off_t(picture_file::kMaxBytes + 1)), 0);
    testing::internal::CaptureStdout();
    untouched.Load(large);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "IMG_Load error for " + large + ": the file is too large (more than 16 MB)\n");
    EXPECT_EQ(untouched.GetWidth(), 5);

    // As many frames as a GIF may hold, each of the largest size in a few bytes: only the first is
    // decoded, where all of them would take 46 MB.
    Bytes frames = Header(150, 150, 2);
    for (uint32_t i = 0; i < CGifImage::kMaxFrames; ++i)
        Append(frames, Image(150, 150, 0x00, 2, {{4, 3}, {5, 3}}));
    Append(frames, {0x3B});
    const std::string many = (folder / "many.gif").string();
    std::ofstream(many, std::ios::binary)
        .write(reinterpret_cast<const char*>(frames.data()), std::streamsize(frames.size()));
    ::malloc_trim(0);
    const size_t before = ResidentBytes();
    ResetResidentPeak();
    untouched.Load(many);
    [[maybe_unused]] const size_t peak = ResidentBytes("VmHWM:") - before;
    EXPECT_EQ(untouched.GetWidth(), 150);
#if !defined(__SANITIZE_ADDRESS__)
    EXPECT_LE(peak, size_t(4) << 20);
#endif
}
