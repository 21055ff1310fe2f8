#include "graphics/graphics_log.h"
#include "graphics/skin_manager.h"
#include "tests/graphics/graphics_test_util.h"
#include "tests/support/memory_use.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>

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

TEST_F(SkinManagerTest, FoldersAndPicturesPastTheirBoundsAreLeftOut)
{
    // The largest sides a picture may have, in a file of a few kilobytes.
    ASSERT_TRUE(SaveSolidPng(m_folder / "largest.png", 2048, 2048, kSkinColour));
    std::ifstream in(m_folder / "largest.png", std::ios::binary);
    const std::string largest((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    using Files = std::vector<std::pair<std::string, std::string>>;
    auto numbered = [](const char* format, size_t count, const std::string& bytes) {
        Files files;
        for (size_t i = 0; i < count; ++i)
        {
            char name[32];
            std::snprintf(name, sizeof name, format, unsigned(i));
            files.emplace_back(name, bytes);
        }
        return files;
    };
    Files largeAndBroken = {{"big-1.png", largest}};
    for (const char* name : {"big-2.png", "big-3.png", "big-4.png"})
        largeAndBroken.emplace_back(name, "not a picture");
    const size_t mostFiles = CGlyphPage::kMostFiles;
    const size_t mostVariants = CImageSet::kMostVariants;
    const struct
    {
        const char* what;
        Files files;
        size_t folders;
        uint32_t pages;
        uint32_t images;
        // Pictures decoded ahead, then asked for at 2048 pixels, and the widths they come in.
        std::vector<std::string> names;
        std::vector<int32_t> widths;
        // What the pictures keep once asked for, at most.
        size_t keptMB;
        // A line of the log ("%s" for the folder) or of standard output.
        std::string logged;
        std::string printed;
    } rows[] = {
        {"one file past a folder's count", numbered("a%04u.png", mostFiles + 1, ""), 0, 1, uint32_t(mostFiles),
         {"a0000", "a1024"}, {0, -1}, 1,
         "GlyphPage: Not read: 1 of the " + std::to_string(mostFiles + 1) + " files in \"%s\", past " +
             std::to_string(mostFiles) + " files",
         ""},
        {"one folder past the count of pages", {}, kMostGlyphPages + 1, uint32_t(kMostGlyphPages + 1), 0, {}, {}, 1,
         "GlyphPage: Not read: 1 of the " + std::to_string(kMostGlyphPages + 1) + " folders in \"%s\", past " +
             std::to_string(kMostGlyphPages) + " pages",
         ""},
        {"one file past a picture's variants", numbered("pic-%02u.png", mostVariants + 1, ""), 0, 1,
         uint32_t(mostVariants), {}, {}, 1,
         "GlyphPage: Not read: 1 of the " + std::to_string(mostVariants + 1) + " files in \"%s\", past " +
             std::to_string(mostVariants) + " variants of their picture",
         ""},
        // 80 MB where the pictures may keep 64.
        {"five of the largest pictures", numbered("big%u.png", 5, largest), 0, 1, 5,
         {"big0", "big1", "big2", "big3", "big4"}, {2048, 2048, 2048, 2048, 0}, 65, "",
         "big4.png: its 16384 KB of pixels would pass the 64 MB the pictures beside it may keep in all (0 KB left)"},
        {"two variants of the largest picture", numbered("big-%u.png", 2, largest), 0, 1, 2, {"big"}, {2048}, 17, "",
         "big-1.png: its 16384 KB of pixels would pass the 16 MB the variants of its picture may keep (0 KB left)"},
        // Each broken file stands for the variant before it, which is not copied for it.
        {"the largest picture and three that cannot be decoded", largeAndBroken, 0, 1, 4, {"big"}, {2048}, 17, "",
         "big-4.png: not a PNG picture"},
    };
    for (const auto& row : rows)
    {
        CTempFolder folder;
        for (const auto& file : row.files)
            folder.Write(file.first, file.second);
        for (size_t i = 0; i < row.folders; ++i)
            folder.MakeFolder("page" + std::to_string(100 + i));
        m_log.clear();
        CSkinManager skin;
        skin.LoadFolder(folder.Path());
        EXPECT_EQ(skin.GetPageCount(), row.pages) << row.what;
        EXPECT_EQ(skin.GetPage(0)->GetImageCount(), row.images) << row.what;

        const size_t before = HeapInUse();
        testing::internal::CaptureStdout();
        for (const std::string& name : row.names)
            skin.DecodeAhead(name);
        for (size_t i = 0; i < row.names.size(); ++i)
        {
            const CZevralImage* image = nullptr;
            skin.GetImagePointer(image, row.names[i], 2048);
            EXPECT_EQ(image ? image->GetWidth() : -1, row.widths[i]) << row.what << ": " << row.names[i];
        }
        const size_t kept = HeapInUse() - std::min(before, HeapInUse());
        const std::string printed = testing::internal::GetCapturedStdout();
        EXPECT_LE(kept, row.keptMB << 20) << row.what;
        EXPECT_NE(printed.find(row.printed), std::string::npos) << row.what << ": " << printed;
        std::string logged = row.logged;
        const size_t at = logged.find("%s");
        if (at != std::string::npos)
            logged.replace(at, 2, folder.Path());
        EXPECT_TRUE(logged.empty() || std::find(m_log.begin(), m_log.end(), logged) != m_log.end()) << row.what;
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
