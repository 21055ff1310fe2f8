#include "graphics/graphics_log.h"
#include "graphics/skin_manager.h"
#include "tests/graphics/graphics_test_util.h"

#include <gtest/gtest.h>

using graphics_test::SaveSolidPng;

namespace
{
constexpr uint32_t kFallbackColour = 0xFF0000AAu;
constexpr uint32_t kSkinColour = 0xFF00BB00u;

class SkinManagerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        SetGraphicsLogSink([this](const std::string& category, const std::string& message) {
            m_log.push_back(category + ": " + message);
        });
        m_skin = m_folder.MakeFolder("skin");
        const std::string lumivo = m_folder.MakeFolder("skin/Lumivo");
        m_folder.MakeFolder("skin/other");
        ASSERT_TRUE(SaveSolidPng(m_skin + "/fader_track.png", 20, 50, kFallbackColour));
        ASSERT_TRUE(SaveSolidPng(m_skin + "/cap.png", 10, 10, kFallbackColour));
        ASSERT_TRUE(SaveSolidPng(m_skin + "/cap-128.png", 128, 10, kFallbackColour));
        ASSERT_TRUE(SaveSolidPng(m_skin + "/button_file_save_off_up.png", 30, 20, kFallbackColour));
        ASSERT_TRUE(SaveSolidPng(lumivo + "/button_file_save_off_up.png", 30, 20, kSkinColour));
        ASSERT_TRUE(SaveSolidPng(lumivo + "/glyph.png", 8, 8, 0x80FFFFFFu));
    }

    void TearDown() override { SetGraphicsLogSink(nullptr); }

    CTempFolder m_folder;
    std::string m_skin;
    std::vector<std::string> m_log;
};
}  // namespace

TEST_F(SkinManagerTest, PagesAreTheFolderAndItsSubfolders)
{
    CSkinManager skin;
    EXPECT_EQ(skin.GetSkinName(), "lumivo");
    skin.LoadFolder(m_skin);
    ASSERT_EQ(skin.GetPageCount(), 3u);
    EXPECT_EQ(skin.GetPage(0)->GetName(), "skin");
    EXPECT_EQ(skin.GetPage(3), nullptr);
    EXPECT_EQ(skin.FindPage("lumivo")->GetName(), "Lumivo");
    EXPECT_EQ(skin.FindPage("LUMIVO"), skin.FindPage("Lumivo"));
    EXPECT_EQ(skin.FindPage("lumiv"), nullptr);

    // cap.png and cap-128.png are one picture in two variants, counted once per file.
    const CGlyphPage* fallback = skin.GetPage(0);
    EXPECT_EQ(fallback->GetImageCount(), 4u);
    ASSERT_NE(fallback->FindImageSet("cap"), nullptr);
    EXPECT_EQ(fallback->FindImageSet("CAP"), fallback->FindImageSet("cap"));
    EXPECT_EQ(skin.GetImage("cap", 100).GetWidth(), 128);
    EXPECT_EQ(skin.GetImage("cap", 32).GetWidth(), 10);

    ASSERT_GE(m_log.size(), 5u);
    EXPECT_EQ(m_log[0], "SkinManager: Loading from \"" + m_skin + "\"");
    EXPECT_EQ(m_log[1], "SkinManager: 3 glyph pages loaded:");
    EXPECT_EQ(m_log[2], "SkinManager: Page \"skin\" loaded 4 images from " + m_skin);
}

TEST_F(SkinManagerTest, LookupsPreferTheCurrentSkinAndFallBackToPageZero)
{
    CSkinManager skin;
    skin.LoadFolder(m_skin);
    EXPECT_EQ(skin.GetImage("button_file_save_off_up", 32).GetPixel(0u).GetValue(), kSkinColour);
    EXPECT_EQ(skin.GetImage("button file save off up", 32).GetPixel(0u).GetValue(), kSkinColour);
    // The skin's page lacks the fader track: page 0 has it.
    EXPECT_EQ(skin.GetImage("fader_track", 32).GetWidth(), 20);

    const CZevralImage* pointer = nullptr;
    EXPECT_TRUE(skin.GetImagePointer(pointer, "fader_track", 32));
    ASSERT_NE(pointer, nullptr);
    EXPECT_EQ(pointer->GetPixel(0u).GetValue(), kFallbackColour);
    const CZevralImage* again = nullptr;
    skin.GetImagePointer(again, "fader_track", 32);
    EXPECT_EQ(again, pointer);

    skin.SetSkinName("nothing");
    EXPECT_EQ(skin.GetImage("button_file_save_off_up", 32).GetPixel(0u).GetValue(), kFallbackColour);

    // A name known nowhere leaves the target and the pointer alone.
    CZevralImage target(2, 2);
    EXPECT_FALSE(skin.FindImage(target, "missing", 32));
    EXPECT_EQ(target.GetWidth(), 2);
    const CZevralImage* unset = &target;
    EXPECT_FALSE(skin.GetImagePointer(unset, "missing", 32));
    EXPECT_EQ(unset, &target);
    EXPECT_EQ(skin.GetImage("missing", 32).GetWidth(), 0);
}

TEST_F(SkinManagerTest, AMissingFolderGivesAnEmptyFallbackPage)
{
    CSkinManager skin;
    skin.LoadFolder(m_folder / "none");
    ASSERT_EQ(skin.GetPageCount(), 1u);
    EXPECT_EQ(skin.GetPage(0)->GetImageCount(), 0u);
    EXPECT_EQ(skin.GetImage("cap", 32).GetWidth(), 0);
    EXPECT_EQ(m_log[1], "SkinManager: 1 glyph pages loaded:");

    CSkinManager empty;
    const CZevralImage* pointer = nullptr;
    EXPECT_FALSE(empty.GetImagePointer(pointer, "cap", 32));
}

TEST_F(SkinManagerTest, ASubfolderNamedLikeAnExistingPageLoadsThatPageAgain)
{
    // "skin/skin" has the name of page 0, so page 0 loads its own folder once more and stands in
    // the list twice; it is still destroyed once.
    m_folder.MakeFolder("skin/skin");
    {
        CSkinManager skin;
        skin.LoadFolder(m_skin);
        ASSERT_EQ(skin.GetPageCount(), 4u);
        int fallbackEntries = 0;
        for (uint32_t i = 0; i < skin.GetPageCount(); ++i)
            fallbackEntries += skin.GetPage(i) == skin.GetPage(0);
        EXPECT_EQ(fallbackEntries, 2);
        EXPECT_EQ(skin.GetPage(0)->GetImageCount(), 8u);
        skin.LoadFolder(m_skin);  // a reload replaces the pages
        EXPECT_EQ(skin.GetPageCount(), 4u);
    }
}

TEST_F(SkinManagerTest, ColouredGlyphsAreScaledOnceAndRecolouredFromTheCache)
{
    CSkinManager skin;
    skin.LoadFolder(m_skin);
    CGlyphPage* page = skin.FindPage("lumivo");
    CZevralImage red, again, green, own;
    ASSERT_TRUE(page->GetColouredGlyph(red, "glyph", 16, 12, CRgbaColour(255, 0, 0, 255), 8));
    EXPECT_EQ(red.GetWidth(), 16);
    EXPECT_EQ(red.GetPixel(5u).GetValue(), 0x800000FFu);  // red, keeping the glyph's alpha
    EXPECT_EQ(page->GetGlyphCacheSize(), 1u);

    ASSERT_TRUE(page->GetColouredGlyph(again, "glyph", 16, 12, CRgbaColour(255, 0, 0, 255), 8));
    EXPECT_EQ(again, red);
    EXPECT_EQ(page->GetGlyphCacheSize(), 1u);

    ASSERT_TRUE(page->GetColouredGlyph(green, "glyph", 16, 12, CRgbaColour(0, 255, 0, 255), 8));
    EXPECT_EQ(green.GetPixel(5u).GetValue(), 0x8000FF00u);
    EXPECT_EQ(page->GetGlyphCacheSize(), 2u);

    // Colour 0 keeps the picture's own colours, also after other colours were made.
    ASSERT_TRUE(page->GetColouredGlyph(own, "glyph", 16, 12, CRgbaColour(0u), 8));
    EXPECT_EQ(own.GetPixel(5u).GetValue(), 0x80FFFFFFu);

    CZevralImage untouched(1, 1);
    EXPECT_FALSE(page->GetColouredGlyph(untouched, "nothing", 16, 12, CRgbaColour(0u), 8));
    EXPECT_EQ(untouched.GetWidth(), 1);
    page->ClearGlyphCache();
    EXPECT_EQ(page->GetGlyphCacheSize(), 0u);
}

TEST(GlyphPage, ImageNamesComeFromFileNames)
{
    EXPECT_EQ(CGlyphPage::ImageNameOf("/a/b/fader_track-64.png"), "fader_track");
    EXPECT_EQ(CGlyphPage::ImageNameOf("/a/b/fader_track.png"), "fader_track");
    EXPECT_EQ(CGlyphPage::ImageNameOf("/a/b.c/README"), "README");
    EXPECT_EQ(CGlyphPage::ImageNameOf("x/pt-br-32.png"), "pt-br");
    EXPECT_EQ(CGlyphPage::ImageNameOf("x/a.b-c.png"), "a.b");
    EXPECT_EQ(CGlyphPage("/res/glyphs/display/").GetName(), "display");
}
