#include "graphics/font_manager.h"
#include "graphics/glyph_manager.h"
#include "graphics/graphics_log.h"
#include "graphics/skin_manager.h"
#include "shell/app.h"
#include "tests/graphics/graphics_test_util.h"
#include "tests/support/scoped_env.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>


namespace
{
class ResourceLoadingTest : public ::testing::Test
{
protected:
    void SetUp() override { SetGraphicsLogSink([](const std::string&, const std::string&) {}); }
    void TearDown() override { SetGraphicsLogSink(nullptr); }
};
}  // namespace

TEST_F(ResourceLoadingTest, WithoutResourceFoldersNothingIsRead)
{
    ASSERT_EQ(CApp::GetResourcesSharedPath(), "");
    CSkinManager skin;
    skin.Load();
    ASSERT_EQ(skin.GetPageCount(), 1u);
    EXPECT_EQ(skin.GetPage(0)->GetImageCount(), 0u);
    CGlyphManager glyphs;
    glyphs.Load();
    EXPECT_EQ(glyphs.GetPageCount(), 0u);
    CFontManager fonts;
    fonts.ScanFonts();
    EXPECT_EQ(fonts.GetFontFileCount(), 0u);
}

TEST_F(ResourceLoadingTest, TheManagersReadTheApplicationsResourceFolders)
{
    CTempFolder resources;
    resources.MakeFolder("skin");
    resources.MakeFolder("glyphs/display");
    resources.MakeFolder("fonts");
    ASSERT_TRUE(graphics_test::SaveSolidPng(resources / "skin/background_settings.png", 8, 8, 0xFF000000u));
    ASSERT_TRUE(graphics_test::SaveSolidPng(resources / "glyphs/display/corner_off_up.png", 3, 3, 0xFF000000u));
    resources.Write("fonts/arial.ttf", "not opened here");

    CScopedEnv variable("TANZO_RESOURCES", resources.Path().c_str());
    char name[] = "Programmer";
    char* argv[] = {name, nullptr};
    {
        CApp app(CVersion(1, 7, 0), 1, argv);
        CSkinManager skin;
        skin.Load();
        EXPECT_EQ(skin.GetPage(0)->GetFolder(), resources / "skin");
        EXPECT_EQ(skin.GetImage("background_settings", 32).GetWidth(), 8);
        CGlyphManager glyphs;
        glyphs.Load();
        EXPECT_EQ(glyphs.GetFolder(), resources / "glyphs");
        EXPECT_EQ(glyphs.GetImageCount("display"), 1u);
        CFontManager fonts;
        fonts.ScanFonts();
        EXPECT_EQ(fonts.FindFontFile("Arial"), 0);
    }
}
