// ImageMagick as an outside reader and writer of GIF files: it must see the pixels we wrote, and
// we must see the pixels it wrote.

#include "graphics/gif_frame.h"
#include "graphics/gif_image.h"
#include "graphics/zevral_image.h"
#include "tests/graphics/graphics_test_util.h"
#include "tests/support/test_folder.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>

using graphics_test::HaveImageMagick;
using graphics_test::ImageMagickRgba;
using graphics_test::RawBytes;
using graphics_test::RunCommand;

namespace
{
const CRgbaColour kOpaqueBlack(0xFF000000u);

std::string Convert(const std::string& arguments)
{
    return RunCommand(std::string(graphics_test::kImageMagick) + " " + arguments + " 2>&1 && echo ok");
}

// The frame's picture as ImageMagick reads it from the file.
std::string FrameAsImageMagickSees(const std::string& path, uint32_t frame, const std::string& options = "")
{
    return ImageMagickRgba(path + "[" + std::to_string(frame) + "]", options);
}

std::string OurFrame(const CGifImage& gif, uint32_t index, bool transparency = false,
                     CRgbaColour background = kOpaqueBlack)
{
    CZevralImage picture;
    gif.GetFrame(int32_t(index))->ToImage(picture, transparency, background);
    return RawBytes(picture);
}

void FillRandomly(CGifImage& gif, CGifFrame& frame, std::mt19937& random, bool noise = false)
{
    const uint32_t entries = 1u << frame.GetEffectiveBits();
    for (uint32_t i = 0; i < entries; ++i)
    {
        const CRgbaColour colour(uint32_t(random()) | 0xFF000000u);
        if (frame.HasLocalPalette())
            frame.SetPaletteEntry(i, colour);
        else
            gif.SetPaletteEntry(i, colour);
    }
    // Runs of equal indexes as well as noise, so that long strings get built.
    for (uint32_t p = 0; p < frame.GetPixelCount();)
    {
        const uint8_t index = uint8_t(random() % entries);
        const uint32_t run = !noise && random() % 3 == 0 ? random() % 40 + 1 : 1;
        for (uint32_t r = 0; r < run && p < frame.GetPixelCount(); ++r)
            frame.SetPixelIndex(p++, index);
    }
}

size_t WriteSize(CGifImage& gif)
{
    std::vector<uint8_t> bytes;
    gif.Write(bytes);
    return bytes.size();
}

// The values ImageMagick reports for one field of each frame, e.g. "Delay" or "Iterations".
std::vector<std::string> Verbose(const std::string& path, const std::string& field)
{
    std::vector<std::string> values;
    std::istringstream lines(RunCommand("/usr/bin/identify -verbose '" + path + "'"));
    std::string line;
    const std::string key = field + ": ";
    while (std::getline(lines, line))
    {
        const size_t at = line.find(key);
        if (at != std::string::npos && line.find_first_not_of(' ') == at)
            values.push_back(line.substr(at + key.size()));
    }
    return values;
}

class GifImageMagick : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!HaveImageMagick())
            GTEST_SKIP() << "ImageMagick is not installed";
        m_folder = FreshTestFolder().string();
    }

    std::string Path(const std::string& name) const { return m_folder + "/" + name; }

    std::string m_folder;
};
}  // namespace

TEST_F(GifImageMagick, ReadsOurFilesWithTheSamePixels)
{
    std::mt19937 random(5);
    struct Case
    {
        uint32_t bits, width, height;
        bool noise;
    };
    // The last is noise whose code is longer than twenty thousand bytes.
    for (const Case& c : {Case{1, 37, 23, false}, Case{2, 1, 1, false}, Case{3, 64, 3, false},
                          Case{4, 150, 150, false}, Case{8, 99, 150, false}, Case{8, 150, 150, true}})
    {
        CGifImage gif(0, c.width, c.height);
        gif.SetBits(c.bits);
        CGifFrame* frame = gif.InsertFrame(0);
        FillRandomly(gif, *frame, random, c.noise);
        const std::string path = Path("ours" + std::to_string(c.bits) + ".gif");
        ASSERT_TRUE(gif.Save(path));
        EXPECT_EQ(FrameAsImageMagickSees(path, 0), OurFrame(gif, 0)) << c.bits;
        if (c.noise)
        {
            EXPECT_GT(WriteSize(gif), 25000u);
        }
    }
}

TEST_F(GifImageMagick, ReadsOurAnimationWithLocalPalettesDelaysAndLoop)
{
    std::mt19937 random(6);
    CGifImage gif(0, 30, 20);
    gif.SetBits(4);
    for (int f = 0; f < 3; ++f)
    {
        CGifFrame* frame = gif.InsertFrame(f);
        if (f == 1)
        {
            frame->SetBits(2);
            frame->SetLocalPalette(true);
        }
        frame->SetDelay(0.37f * float(f + 1));
        frame->SetDisposal(1);
        FillRandomly(gif, *frame, random);
    }
    const std::string path = Path("animation.gif");
    ASSERT_TRUE(gif.Save(path));
    for (uint32_t f = 0; f < 3; ++f)
        EXPECT_EQ(FrameAsImageMagickSees(path, f), OurFrame(gif, f)) << f;
    EXPECT_EQ(Verbose(path, "Delay"), std::vector<std::string>({"37x100", "74x100", "111x100"}));
    EXPECT_EQ(Verbose(path, "Iterations"), std::vector<std::string>(3, "0"));  // forever
    EXPECT_EQ(Verbose(path, "Dispose"), std::vector<std::string>(3, "None"));
}

TEST_F(GifImageMagick, WeReadItsFilesWithTheSamePixels)
{
    CZevralImage noise = graphics_test::RandomImage(150, 150, 3);
    noise.SetAlpha(1.0f);
    ASSERT_TRUE(graphics_test::SavePng(noise, Path("noise.png")));
    ASSERT_EQ(Convert("-size 97x61 gradient:red-blue -swirl 200 '" + Path("smooth.png") + "'"), "ok\n");
    struct Case
    {
        std::string source, options;
    };
    const Case cases[] = {
        {"smooth.png", "-colors 2"},
        {"smooth.png", "-colors 4"},
        {"smooth.png", "-colors 16"},
        {"smooth.png", "-colors 200 -interlace GIF"},
        {"noise.png", "-colors 256"},
        {"noise.png", "-colors 7 -interlace GIF"},
        {"noise.png", "-crop 1x1+0+0"},
    };
    int n = 0;
    for (const Case& c : cases)
    {
        const std::string path = Path("theirs" + std::to_string(n++) + ".gif");
        ASSERT_EQ(Convert("'" + Path(c.source) + "' " + c.options + " '" + path + "'"), "ok\n") << c.options;
        CGifImage gif;
        gif.Load(path);
        ASSERT_EQ(gif.GetFrameCount(), 1u) << c.options;
        EXPECT_EQ(OurFrame(gif, 0), FrameAsImageMagickSees(path, 0)) << c.options;
    }
}

TEST_F(GifImageMagick, WeReadItsAnimationWithDelaysAndLoopCount)
{
    for (const std::string colour : {"red", "lime", "blue"})
        ASSERT_EQ(Convert("-size 40x25 plasma:" + colour + "-white -seed 4 '" + Path(colour + ".png") + "'"), "ok\n");
    for (const std::string loop : {"0", "3"})
    {
        const std::string path = Path("loop" + loop + ".gif");
        ASSERT_EQ(Convert("-delay 10 -loop " + loop + " '" + Path("red.png") + "' '" + Path("lime.png") + "' -delay 250 '" +
                          Path("blue.png") + "' '" + path + "'"),
                  "ok\n");
        CGifImage gif;
        gif.SetLoop(0);
        gif.Load(path);
        ASSERT_EQ(gif.GetFrameCount(), 3u);
        EXPECT_EQ(gif.GetLoop(), 1);
        EXPECT_FLOAT_EQ(gif.GetFrame(0)->GetDelay(), 0.1f);
        EXPECT_FLOAT_EQ(gif.GetTotalDelay(), 2.7f);
        for (uint32_t f = 0; f < 3; ++f)
            EXPECT_EQ(OurFrame(gif, f), FrameAsImageMagickSees(path, f)) << loop << " " << f;
    }
}

TEST_F(GifImageMagick, TransparentPixelsAgreeWithItsAlpha)
{
    CZevralImage source = graphics_test::RandomImage(20, 10, 8);
    for (uint32_t i = 0; i < source.GetPixelCount(); i += 3)
        source.SetPixel(i, CRgbaColour(0u));
    ASSERT_TRUE(graphics_test::SavePng(source, Path("holes.png")));
    const std::string path = Path("holes.gif");
    ASSERT_EQ(Convert("'" + Path("holes.png") + "' -colors 32 '" + path + "'"), "ok\n");
    CGifImage gif;
    gif.Load(path);
    ASSERT_EQ(gif.GetFrameCount(), 1u);
    ASSERT_TRUE(gif.GetFrame(0)->IsTransparent());

    EXPECT_EQ(OurFrame(gif, 0), FrameAsImageMagickSees(path, 0, "-alpha off"));
    const std::string theirs = FrameAsImageMagickSees(path, 0);
    const std::string ours = OurFrame(gif, 0, true, CRgbaColour(0u));
    ASSERT_EQ(ours.size(), theirs.size());
    for (size_t p = 0; p < ours.size(); p += 4)
    {
        EXPECT_EQ(ours[p + 3], theirs[p + 3]) << p / 4;
        if (theirs[p + 3] != 0)
        {
            EXPECT_EQ(ours.substr(p, 3), theirs.substr(p, 3)) << p / 4;
        }
    }
}
