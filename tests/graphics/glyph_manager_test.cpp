#include "graphics/glyph_manager.h"
#include "graphics/graphics_log.h"
#include "tests/graphics/graphics_test_util.h"

#include <gtest/gtest.h>

#include <algorithm>

using graphics_test::RawBytes;
using graphics_test::SavePng;
using graphics_test::SaveSolidPng;

namespace
{
uint32_t At(const CBaseImage& image, int x, int y)
{
    return image.GetPixel(uint32_t(x), uint32_t(y)).GetValue();
}

// A 3 x 3 corner with nine different, never fully transparent pixels, drawn for the top-left.
CZevralImage Corner(uint32_t tint)
{
    CZevralImage corner(3, 3);
    for (uint32_t y = 0; y < 3; ++y)
        for (uint32_t x = 0; x < 3; ++x)
            corner.SetPixel(x, y, CRgbaColour(40 + 60 * x, 40 + 60 * y, tint, 120 + 40 * x + 10 * y));
    return corner;
}

// A side one pixel along the edge and three across it.
CZevralImage Side(uint32_t tint)
{
    CZevralImage side(1, 3);
    for (uint32_t y = 0; y < 3; ++y)
        side.SetPixel(0u, y, CRgbaColour(200u, 30 + 80 * y, tint, 90 + 70 * y));
    return side;
}

class GlyphManagerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        SetGraphicsLogSink([this](const std::string& category, const std::string& message) {
            m_log.push_back(category + ": " + message);
        });
        m_glyphs = m_folder.MakeFolder("glyphs");
        m_display = m_folder.MakeFolder("glyphs/Display");
        m_folder.MakeFolder("glyphs/device");
        m_folder.MakeFolder("glyphs/Gobo");
        m_folder.MakeFolder("glyphs/GOBO");
        ASSERT_TRUE(SaveSolidPng(m_folder / "glyphs/device/loose.png", 4, 4, 0xFF000000u));
        ASSERT_TRUE(SaveSolidPng(m_folder / "glyphs/Gobo/gobo1.png", 4, 4, 0xFF000000u));
        ASSERT_TRUE(SaveSolidPng(m_glyphs + "/stray.png", 4, 4, 0xFF000000u));
        uint32_t tint = 0;
        for (const char* state : {"off_up", "off_down", "on_up", "fill_up", "fill_down"})
        {
            ASSERT_TRUE(SavePng(Corner(tint), m_display + "/corner_" + state + ".png"));
            ASSERT_TRUE(SavePng(Side(tint), m_display + "/side_" + state + ".png"));
            tint += 40;
        }
        ASSERT_TRUE(SavePng(Corner(250), m_display + "/corner_caption.png"));
        // The pressed pieces come in a narrow and a wide variant; so does the pressed fill corner.
        ASSERT_TRUE(SaveSolidPng(m_display + "/corner_on_down-20.png", 20, 20, 0xFF00FF00u));
        ASSERT_TRUE(SaveSolidPng(m_display + "/corner_on_down-50.png", 50, 50, 0xFFFF0000u));
        ASSERT_TRUE(SaveSolidPng(m_display + "/side_on_down.png", 1, 20, 0xFF00FF00u));
        ASSERT_TRUE(SaveSolidPng(m_display + "/wide-20.png", 20, 2, 0xFF000001u));
        ASSERT_TRUE(SaveSolidPng(m_display + "/wide-50.png", 50, 2, 0xFF000002u));
        m_manager.LoadFolder(m_glyphs);
    }

    void TearDown() override { SetGraphicsLogSink(nullptr); }

    // The frame ImageMagick composes from the same pieces: the body, the four corners turned
    // clockwise, and the four runs of the side piece tiled along the edges.
    std::string ImageMagickFrame(const std::string& state, uint32_t w, uint32_t h, const std::string& body)
    {
        const std::string corner = "'" + m_display + "/corner_" + state + ".png'";
        const std::string side = "'" + m_display + "/side_" + state + ".png'";
        auto at = [](int64_t x, int64_t y) { return " -geometry +" + std::to_string(x) + "+" + std::to_string(y); };
        auto run = [&](uint32_t length, int degrees) {
            return " \\( -size " + std::to_string(length) + "x3 tile:" + side + " -rotate " + std::to_string(degrees) +
                   " \\)";
        };
        std::string command = std::string(graphics_test::kImageMagick) + " -size " + std::to_string(w) + "x" +
                              std::to_string(h) + " xc:'" + body + "' -compose Copy";
        command += " " + corner + at(0, 0) + " -composite";
        command += " \\( " + corner + " -rotate 90 \\)" + at(w - 3, 0) + " -composite";
        command += " \\( " + corner + " -rotate 180 \\)" + at(w - 3, h - 3) + " -composite";
        command += " \\( " + corner + " -rotate 270 \\)" + at(0, h - 3) + " -composite";
        command += run(w - 6, 0) + at(3, 0) + " -composite";
        command += run(h - 6, 90) + at(w - 3, 3) + " -composite";
        command += run(w - 6, 180) + at(3, h - 3) + " -composite";
        command += run(h - 6, 270) + at(0, 3) + " -composite";
        return graphics_test::RunCommand(command + " -depth 8 rgba:-");
    }

    CTempFolder m_folder;
    std::string m_glyphs;
    std::string m_display;
    std::vector<std::string> m_log;
    CGlyphManager m_manager;
};
}  // namespace

TEST_F(GlyphManagerTest, PagesAreTheSubfoldersButGobo)
{
    ASSERT_EQ(m_manager.GetPageCount(), 2u);
    EXPECT_EQ(m_manager.GetPage(2), nullptr);
    ASSERT_NE(m_manager.FindPage("display"), nullptr);
    EXPECT_EQ(m_manager.FindPage("display")->GetName(), "Display");
    EXPECT_EQ(m_manager.FindPage("gobo"), nullptr);
    EXPECT_EQ(m_manager.GetImageCount("device"), 1u);
    EXPECT_EQ(m_manager.GetImageCount("nowhere"), 0u);
    EXPECT_EQ(m_manager.GetFolder(), m_glyphs);
    EXPECT_NE(m_manager.FindImageSet("DISPLAY", "corner caption"), nullptr);
    EXPECT_EQ(m_manager.FindImageSet("nowhere", "corner caption"), nullptr);

    ASSERT_EQ(m_log.size(), 4u);
    EXPECT_EQ(m_log[0], "GlyphManager: Loading from \"" + m_glyphs + "\"");
    EXPECT_EQ(m_log[1], "GlyphManager: 2 glyph pages loaded:");
    const std::string devicePage = "GlyphManager: Page \"device\" loaded 1 images from " + (m_folder / "glyphs/device");
    EXPECT_TRUE(m_log[2] == devicePage || m_log[3] == devicePage);

    CGlyphManager empty;
    m_log.clear();
    empty.LoadFolder(m_folder / "none");
    EXPECT_EQ(m_log, (std::vector<std::string>{"GlyphManager: Loading from \"" + (m_folder / "none") + "\"",
                                               "GlyphManager: 0 glyph pages loaded:"}));
}

TEST_F(GlyphManagerTest, PicturesAreChosenNearTwiceTheSizeOrTheSizeItself)
{
    EXPECT_EQ(m_manager.GetImage("display", "wide", 32).GetWidth(), 50);
    CZevralImage narrow;
    m_manager.FindImage(narrow, "display", "wide", 32);
    EXPECT_EQ(narrow.GetWidth(), 20);
    EXPECT_TRUE(m_log.size() == 4u);

    EXPECT_EQ(m_manager.GetImage("display", "missing", 32).GetWidth(), 0);
    EXPECT_EQ(m_log.size(), 4u);  // a missing picture is silent
    EXPECT_EQ(m_manager.GetImage("nowhere", "wide", 32).GetWidth(), 0);
    CZevralImage untouched(3, 3);
    m_manager.FindImage(untouched, "nowhere", "wide", 32);
    EXPECT_EQ(untouched.GetWidth(), 3);
    EXPECT_EQ(std::count(m_log.begin(), m_log.end(), "CGlyphManager: Could not find \"nowhere\" page"), 2);

    CZevralImage glyph;
    EXPECT_FALSE(m_manager.GetColouredGlyph(glyph, "nowhere", "wide", 4, 4, CRgbaColour(0u), 32));
    EXPECT_TRUE(m_manager.GetColouredGlyph(glyph, "display", "wide", 4, 4, CRgbaColour(0u), 32));

    // The pages' pictures are weighed before they are decoded, as a skin's are: a second variant
    // of the largest picture would pass what the variants of one picture may keep.
    ASSERT_TRUE(SaveSolidPng(m_display + "/big-1.png", 2048, 2048, 0xFF000001u));
    boost::filesystem::copy_file(m_display + "/big-1.png", m_display + "/big-2.png");
    m_manager.LoadFolder(m_glyphs);
    testing::internal::CaptureStdout();
    EXPECT_EQ(m_manager.GetImage("display", "big", 1024).GetWidth(), 2048);
    EXPECT_NE(testing::internal::GetCapturedStdout().find("big-2.png: its 16384 KB of pixels would pass"),
              std::string::npos);
}

TEST_F(GlyphManagerTest, FramesAgreeWithImageMagickComposingTheSamePieces)
{
    if (!graphics_test::HaveImageMagick())
        GTEST_SKIP() << "ImageMagick is not installed";
    CZevralImage frame;
    m_manager.GetButtonFrame(frame, 10, 8, false, false);
    EXPECT_EQ(RawBytes(frame), ImageMagickFrame("off_up", 10, 8, "#00000000"));
    m_manager.GetButtonFrame(frame, 37, 23, true, false);
    EXPECT_EQ(RawBytes(frame), ImageMagickFrame("on_up", 37, 23, "#000000A5"));
    m_manager.GetButtonFrame(frame, 7, 31, false, true);
    EXPECT_EQ(RawBytes(frame), ImageMagickFrame("off_down", 7, 31, "#00000000"));
    m_manager.GetFillFrame(frame, 12, 9, false);
    EXPECT_EQ(RawBytes(frame), ImageMagickFrame("fill_up", 12, 9, "#00000099"));
    m_manager.GetFillFrame(frame, 8, 7, true);
    EXPECT_EQ(RawBytes(frame), ImageMagickFrame("fill_down", 8, 7, "#000000FF"));
}

TEST_F(GlyphManagerTest, EachFrameSizeAndStateIsBuiltOnce)
{
    const uint32_t before = CGlyphManager::GetButtonFrameBuildCount();
    CZevralImage first, second(20, 11);
    second.Fill(CRgbaColour(9, 9, 9, 9));
    m_manager.GetButtonFrame(first, 20, 11, false, false);
    m_manager.GetButtonFrame(second, 20, 11, false, false);
    EXPECT_EQ(CGlyphManager::GetButtonFrameBuildCount(), before + 1);
    EXPECT_EQ(second, first);
    m_log.clear();
    m_manager.LogDebugCount();
    EXPECT_EQ(m_log, std::vector<std::string>{"GlyphManager: Debug: " + std::to_string(before + 1)});

    // A target that already has the size does not leak its colours into the frame.
    CZevralImage stale(21, 11);
    stale.Fill(CRgbaColour(9, 9, 9, 9));
    m_manager.GetButtonFrame(stale, 21, 11, false, false);
    CZevralImage fresh;
    m_manager.GetButtonFrame(fresh, 21, 11, false, false);
    EXPECT_EQ(stale, fresh);
    EXPECT_EQ(At(fresh, 10, 5), 0u);

    m_manager.GetButtonFrame(first, 20, 11, true, false);
    EXPECT_EQ(CGlyphManager::GetButtonFrameBuildCount(), before + 3);
    EXPECT_EQ(At(first, 10, 5), CRgbaColour(0, 0, 0, 165).GetValue());

    CZevralImage fill;
    m_manager.GetFillFrame(fill, 20, 11, true);
    EXPECT_EQ(At(fill, 10, 5), 0xFF000000u);
    CZevralImage fillAgain(20, 11);
    m_manager.GetFillFrame(fillAgain, 20, 11, true);
    EXPECT_EQ(fillAgain, fill);

    EXPECT_EQ(m_manager.ClearCaches(), 2u);
    m_manager.GetButtonFrame(first, 20, 11, false, false);
    EXPECT_EQ(CGlyphManager::GetButtonFrameBuildCount(), before + 4);
}

TEST_F(GlyphManagerTest, FramesSmallerThanTwoCornersHaveNoRuns)
{
    CZevralImage frame;
    for (const auto& size : {std::pair<uint32_t, uint32_t>{0, 0}, {0, 10}, {3, 3}, {1, 100}, {5000, 2}, {2, 5000}})
    {
        m_manager.GetButtonFrame(frame, size.first, size.second, false, false);
        EXPECT_EQ(uint32_t(frame.GetWidth()), size.first);
        m_manager.GetFillFrame(frame, size.first, size.second, false);
        EXPECT_EQ(uint32_t(frame.GetHeight()), size.second);
        m_manager.GetCaptionFrame(frame, size.first, size.second);
    }
    // At 4 x 4 the corners overlap and the one drawn last lies on top.
    m_manager.GetButtonFrame(frame, 4, 4, false, false);
    CZevralImage last = Corner(0);
    last.RotateQuarter(270);
    EXPECT_EQ(At(frame, 1, 1), At(last, 1, 0));
    EXPECT_EQ(At(frame, 0, 0), At(Corner(0), 0, 0));

    // Sizes past the image limit are cut, and such frames are built every time.
    const uint32_t before = CGlyphManager::GetButtonFrameBuildCount();
    m_manager.GetButtonFrame(frame, 4000000000u, 3, false, false);
    m_manager.GetButtonFrame(frame, 4000000000u, 3, false, false);
    EXPECT_EQ(frame.GetWidth(), 5120);
    EXPECT_EQ(CGlyphManager::GetButtonFrameBuildCount(), before + 2);
}

TEST_F(GlyphManagerTest, PressedPiecesAreTheNarrowVariants)
{
    m_log.clear();
    CZevralImage frame;
    m_manager.GetButtonFrame(frame, 60, 60, true, true);
    EXPECT_EQ(m_log, std::vector<std::string>{"CGlyphManager: Get(display, corner_on_down) returns 20,20"});
    EXPECT_EQ(At(frame, 19, 19), 0xFF00FF00u);
    EXPECT_EQ(At(frame, 30, 30), 0xFF000000u);  // the body, opaque when on and down
    m_manager.GetButtonFrame(frame, 60, 60, true, true);
    EXPECT_EQ(m_log.size(), 1u);
}

TEST_F(GlyphManagerTest, CaptionFramesHaveOnlyTopCorners)
{
    CZevralImage frame(30, 10);
    frame.Fill(CRgbaColour(1, 2, 3, 4));
    m_manager.GetCaptionFrame(frame, 30, 10);
    const CZevralImage corner = Corner(250);
    CZevralImage turned = corner;
    turned.RotateQuarter(90);
    EXPECT_EQ(At(frame, 0, 0), At(corner, 0, 0));
    EXPECT_EQ(At(frame, 29, 2), At(turned, 2, 2));
    EXPECT_EQ(At(frame, 0, 9), CRgbaColour(0, 0, 0, 153).GetValue());
    EXPECT_EQ(At(frame, 29, 9), CRgbaColour(0, 0, 0, 153).GetValue());
    EXPECT_EQ(At(frame, 15, 0), CRgbaColour(0, 0, 0, 153).GetValue());
}

TEST_F(GlyphManagerTest, AMissingDisplayPageGivesPlainBodiesAndLogsOncePerFrame)
{
    CGlyphManager bare;
    bare.LoadFolder(m_folder / "none");
    m_log.clear();
    CZevralImage frame;
    bare.GetButtonFrame(frame, 8, 6, true, false);
    EXPECT_EQ(std::count(m_log.begin(), m_log.end(), "CGlyphManager: Could not find \"display\" page"), 2);
    for (uint32_t i = 0; i < frame.GetPixelCount(); ++i)
        ASSERT_EQ(frame.GetPixel(i).GetValue(), CRgbaColour(0, 0, 0, 165).GetValue());
    bare.GetButtonFrame(frame, 8, 6, true, false);
    EXPECT_EQ(m_log.size(), 2u);
}

TEST_F(GlyphManagerTest, GridPanelPieces)
{
    CZevralImage top, left, bottom;
    m_manager.BuildDisplayFrame(top, left, bottom, 20, 50, 35);
    EXPECT_EQ(top.GetWidth(), 20);
    EXPECT_EQ(top.GetHeight(), 37);
    EXPECT_EQ(bottom.GetHeight(), 3);
    EXPECT_EQ(left.GetWidth(), 3);
    EXPECT_EQ(left.GetHeight(), 10);
    const CZevralImage corner = Corner(0), side = Side(0);
    EXPECT_EQ(At(top, 0, 0), At(corner, 0, 0));
    EXPECT_EQ(At(top, 19, 1), At(side, 0, 1));     // the top edge runs to the right border
    EXPECT_EQ(At(top, 1, 20), At(side, 0, 1));     // the left edge, turned three quarters
    EXPECT_EQ(At(top, 10, 10), 0u);                // the header band is clear
    EXPECT_EQ(At(top, 3, 36), CRgbaColour(208, 208, 208, 153).GetValue());
    EXPECT_EQ(At(top, 19, 36), CRgbaColour(208, 208, 208, 153).GetValue());
    EXPECT_EQ(At(top, 2, 36), At(side, 0, 2));
    EXPECT_EQ(At(left, 2, 9), At(side, 0, 2));
    CZevralImage turned = corner;
    turned.RotateQuarter(270);
    EXPECT_EQ(At(bottom, 0, 2), At(turned, 0, 2));

    // A panel lower than its header has an empty left piece.
    m_manager.BuildDisplayFrame(top, left, bottom, 20, 10, 35);
    EXPECT_EQ(left.GetHeight(), 0);
    m_manager.BuildDisplayFrame(top, left, bottom, 0, 0, 0xFFFFFFFFu);
}

TEST_F(GlyphManagerTest, EdgeStrips)
{
    CZevralImage top, left, bottom, right;
    m_manager.BuildFrameStrips(top, left, bottom, right, 12, 9);
    EXPECT_EQ(top.GetWidth(), 12);
    EXPECT_EQ(top.GetHeight(), 3);
    EXPECT_EQ(right.GetWidth(), 3);
    EXPECT_EQ(right.GetHeight(), 3);
    EXPECT_EQ(bottom.GetHeight(), 3);
    EXPECT_EQ(left.GetHeight(), 3);
    const CZevralImage corner = Corner(0), side = Side(0);
    CZevralImage turned = corner;
    turned.RotateQuarter(90);
    EXPECT_EQ(At(top, 11, 0), At(turned, 2, 0));
    EXPECT_EQ(At(top, 5, 2), At(side, 0, 2));
    EXPECT_EQ(At(right, 0, 1), At(side, 0, 2));
    EXPECT_EQ(At(left, 0, 1), At(side, 0, 0));

    m_manager.BuildFrameStrips(top, left, bottom, right, 2, 4);
    EXPECT_EQ(right.GetHeight(), 0);
    EXPECT_EQ(left.GetHeight(), 0);
}

TEST_F(GlyphManagerTest, StripeMasksAreCachedBySize)
{
    CZevralImage mask(3, 4);
    m_manager.GetStripeMask(mask);
    EXPECT_EQ(At(mask, 2, 0), 0xFF000000u);
    EXPECT_EQ(At(mask, 2, 1), 0u);
    EXPECT_EQ(At(mask, 0, 3), 0u);
    CZevralImage again(3, 4);
    again.Fill(CRgbaColour(0x12345678u));
    m_manager.GetStripeMask(again);
    EXPECT_EQ(again, mask);
}
